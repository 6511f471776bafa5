#pragma once

// Data the benchmarks share: appointments as users keep them.
#include "outlook/Outlook.h"

#include <QDate>

namespace bench {

// `count` appointments from `first` on, spread over 150 days, one in ten recurring (ten times
// daily), written in one batch.
inline void addAppointments(const ol::FolderPtr& calendar, int count, const QDate& first) {
    ol::Batch batch(calendar);
    for (int i = 0; i < count; ++i) {
        ol::ItemPtr a = calendar->Items()->Add(ol::olAppointmentItem);
        a->set(ol::prop::Subject, QStringLiteral("Appointment %1").arg(i));
        a->set(ol::prop::Location, QStringLiteral("Room %1").arg(i % 40));
        a->set(ol::prop::Body, QStringLiteral("Agenda\r\nline %1").arg(i));
        a->set(ol::prop::Start, QDateTime(first.addDays(i % 150), QTime(8 + i % 9, 0)));
        a->set(ol::prop::Duration, 60);
        if (i % 10 == 0) {
            const ol::RecurrencePatternPtr p = a->GetRecurrencePattern();
            p->set(ol::pattern::RecurrenceType, 1);
            p->set(ol::pattern::Occurrences, 10);
        }
        a->Save();
    }
    batch.commit();
}

} // namespace bench
