#include "SeamScope.h"

namespace qeltest {

SeamScope::SeamScope()
    : mPreviousDialogs(qel::DialogsSeam::set(&dialogs)), mPreviousClock(qel::ClockSeam::set(&clock)),
      mPreviousShell(qel::ShellSeam::set(&shell)), mPreviousSound(qel::SoundSeam::set(&sound)) {}

SeamScope::~SeamScope() {
    qel::DialogsSeam::set(mPreviousDialogs);
    qel::ClockSeam::set(mPreviousClock);
    qel::ShellSeam::set(mPreviousShell);
    qel::SoundSeam::set(mPreviousSound);
}

} // namespace qeltest
