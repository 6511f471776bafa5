#pragma once

#include "Fakes.h"
#include "ScriptedDialogs.h"

namespace qeltest {

// Installs a ScriptedDialogs, FakeClock, RecordingShell and RecordingSound for its lifetime and puts
// the previous implementations back afterwards. Scopes nest.
class SeamScope {
public:
    SeamScope();
    ~SeamScope();
    SeamScope(const SeamScope&) = delete;
    SeamScope& operator=(const SeamScope&) = delete;

    ScriptedDialogs dialogs;
    FakeClock clock;
    RecordingShell shell;
    RecordingSound sound;

private:
    qel::Dialogs* mPreviousDialogs;
    qel::Clock* mPreviousClock;
    qel::Shell* mPreviousShell;
    qel::Sound* mPreviousSound;
};

} // namespace qeltest
