#include "SyncSchedule.h"

#include "SyncFiles.h"
#include "core/DebugLog.h"
#include "core/SettingsModel.h"

#include <QLocale>

namespace qel {

namespace {

constexpr int kRetryMinutes = 15;

} // namespace

void SyncSchedule::restart(const QDateTime& now) {
    mMinutes = 0;
    mPrevious = now;
}

bool SyncSchedule::tick(const QDateTime& now, bool busy) {
    if (busy)
        return false;
    if (mSettings.intervalSync) {
        const int interval = static_cast<int>(mSettings.interval.trimmed().toDouble());
        if (mSettings.syncRetry) {
            mMinutes = interval - kRetryMinutes;
            mSettings.syncRetry = false;
            return false;
        }
        ++mMinutes;
        if (interval <= 0 || interval > mMinutes)
            return false;
        if (debugOn())
            debug(QStringLiteral(":Timer fired at ") + generalDate(now));
        mMinutes = 0;
        return true;
    }
    // A previous tick in the future (the clock was set back) or none: one minute ago.
    QDateTime previous = mPrevious;
    if (!previous.isValid() || previous > now)
        previous = now.addSecs(-60);
    mPrevious = now;
    const QTime chosen = QLocale::c().toTime(effectiveSyncTime(mSettings), QStringLiteral("hh:mm AP"));
    if (!chosen.isValid())
        return false;
    for (const QDate& day : {now.date(), now.date().addDays(-1)}) {
        const QDateTime due(day, chosen);
        if (previous < due && due <= now)
            return true;
    }
    return false;
}

} // namespace qel
