#pragma once

// When the sync timer (one tick a minute) starts a timed sync: in interval mode every `Interval`
// ticks (15 minutes later after a busy server asked for a retry), in timed mode once the chosen
// time of day has passed since the previous tick, so a tick that comes late (a busy or suspended
// computer) still runs the day's sync. No widgets, no timer: the host ticks it.

#include <QDateTime>

namespace qel {

class SettingsModel;

class SyncSchedule {
public:
    explicit SyncSchedule(SettingsModel& settings) : mSettings(settings) {}

    // The timer starts: the minute counter at 0, the previous tick now.
    void restart(const QDateTime& now);
    // One tick; true when a timed sync is due. busy: a sync or a special-day command runs, the tick
    // is skipped (and a time of day passed meanwhile is still due at the next free tick).
    bool tick(const QDateTime& now, bool busy);
    int minuteCounter() const { return mMinutes; }

private:
    SettingsModel& mSettings;
    int mMinutes = 0;
    QDateTime mPrevious;
};

} // namespace qel
