#pragma once

// Appointments as an iCalendar file (RFC 5545, written through libical): all-day events as dates,
// reminders as display alarms, recurrence as RRULE. Nothing here reads .ics files.

#include "outlook/Outlook.h"

#include <QByteArray>
#include <QString>

namespace qel::ical {

// The special-day file kept in the program folder when the preference asks for it.
inline const QString kSpecialDaysFile = QStringLiteral("QELDays.ics");

struct IcsSummary {
    int events = 0;
};

// The appointments of `calendar` (only the special days, category "QELDay", with
// `specialDaysOnly`) as one VCALENDAR; `events` receives their number.
QByteArray calendarText(const ol::FolderPtr& calendar, bool specialDaysOnly, int* events = nullptr);

// Writes calendarText to `path`, replaced whole or not at all. Throws vcard::VcardError.
IcsSummary exportCalendar(const ol::FolderPtr& calendar, const QString& path, bool specialDaysOnly);

} // namespace qel::ical
