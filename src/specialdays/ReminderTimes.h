#pragma once

// The times of the one-shot reminder, without widgets: the choices of the delay list, the due
// time of a choice, the due time as its text, and the remaining time as the status shows it.

#include <QDateTime>
#include <QStringList>
#include <optional>

namespace qel {

// The 57 entries of cmbRemind: eight delays, the separator (index 8), then the times of day at
// half-hour steps from "8:00 AM" round to "7:30 AM".
const QStringList& remindChoices();
constexpr int kRemindSeparator = 8;

// The due time of the choice at `index` chosen at `now`; std::nullopt for the separator (or an
// index outside the list). A time of day later than now (to the minute) is today, else tomorrow.
std::optional<QDateTime> remindDueTime(int index, const QDateTime& now);

// The due time as the timer's tag keeps it, and back (an invalid QDateTime for a text that is none).
QString dueTimeText(const QDateTime& due);
QDateTime dueTimeFromText(const QString& text);

// "N hour(s) remaining" (hour boundaries crossed) when 60 or more minute boundaries lie between
// now and the due time, else "N minutes(s) remaining".
QString remainingText(const QDateTime& now, const QDateTime& due);

} // namespace qel
