#include "ReminderTimes.h"

#include <QTimeZone>

namespace qel {

namespace {

const QString kDueFormat = QStringLiteral("M/d/yyyy h:mm:ss AP");

// Whole units crossed between two times: the difference of both truncated to the unit.
qint64 boundariesCrossed(const QDateTime& from, const QDateTime& to, qint64 unitSecs) {
    const auto floorDiv = [](qint64 a, qint64 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const qint64 a =
        floorDiv(QDateTime(from.date(), from.time(), QTimeZone::utc()).toSecsSinceEpoch(), unitSecs);
    const qint64 b = floorDiv(QDateTime(to.date(), to.time(), QTimeZone::utc()).toSecsSinceEpoch(), unitSecs);
    return b - a;
}

QTime timeOfChoice(int index) {
    // Index 9 is 8:00 AM; each further entry half an hour later, round midnight.
    return QTime(8, 0).addSecs(qint64(index - 9) * 30 * 60);
}

} // namespace

const QStringList& remindChoices() {
    static const QStringList choices = [] {
        QStringList list{
            QStringLiteral("5 Minutes"),  QStringLiteral("10 Minutes"), QStringLiteral("15 Minutes"),
            QStringLiteral("20 Minutes"), QStringLiteral("30 Minutes"), QStringLiteral("45 Minutes"),
            QStringLiteral("1 Hour"),     QStringLiteral("2 Hours"),    QStringLiteral("----------------")};
        for (int index = 9; index <= 56; ++index)
            list << timeOfChoice(index).toString(QStringLiteral("h:mm AP"));
        return list;
    }();
    return choices;
}

std::optional<QDateTime> remindDueTime(int index, const QDateTime& now) {
    static const int delays[] = {5, 10, 15, 20, 30, 45, 60, 120};
    if (index >= 0 && index < kRemindSeparator)
        return now.addSecs(qint64(delays[index]) * 60);
    if (index <= kRemindSeparator || index >= remindChoices().size())
        return std::nullopt;
    const QTime time = timeOfChoice(index);
    const QTime nowMinute(now.time().hour(), now.time().minute());
    const QDate day = time > nowMinute ? now.date() : now.date().addDays(1);
    return QDateTime(day, time);
}

QString dueTimeText(const QDateTime& due) {
    return due.toString(kDueFormat);
}

QDateTime dueTimeFromText(const QString& text) {
    return QDateTime::fromString(text, kDueFormat);
}

QString remainingText(const QDateTime& now, const QDateTime& due) {
    const qint64 minutes = boundariesCrossed(now, due, 60);
    if (minutes >= 60)
        return QString::number(boundariesCrossed(now, due, 3600)) + QStringLiteral(" hour(s) remaining");
    return QString::number(minutes) + QStringLiteral(" minutes(s) remaining");
}

} // namespace qel
