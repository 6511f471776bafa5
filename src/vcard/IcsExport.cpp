#include "IcsExport.h"

#include "VcardFormat.h"

#include <QSaveFile>
#include <libical/ical.h>
#include <memory>

namespace qel::ical {

namespace {

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

icaltimetype dateOf(const QDate& d) {
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

// A floating local time: the store keeps wall-clock times without a zone.
icaltimetype timeOf(const QDateTime& dt) {
    icaltimetype t = icaltime_null_time();
    t.year = dt.date().year();
    t.month = dt.date().month();
    t.day = dt.date().day();
    t.hour = dt.time().hour();
    t.minute = dt.time().minute();
    t.second = dt.time().second();
    return t;
}

// The pattern as an RRULE text; "" for a pattern the rule cannot say.
QString ruleOf(const ol::RecurrencePattern& p, bool allDay) {
    static const char* const kDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    const int type = p.get(ol::pattern::RecurrenceType).toInt();
    const int interval = std::max(1, p.get(ol::pattern::Interval).toInt());
    const int mask = p.get(ol::pattern::DayOfWeekMask).toInt();
    const int instance = p.get(ol::pattern::Instance).toInt();
    QStringList days;
    for (int i = 0; i < 7; ++i)
        if (mask & (1 << i))
            days << QString::fromLatin1(kDays[i]);
    const QString setPos = instance == 5 ? QStringLiteral("-1") : QString::number(instance);
    QString rule;
    switch (type) {
    case 0: // daily
        rule = QStringLiteral("FREQ=DAILY");
        break;
    case 1: // weekly
        rule = QStringLiteral("FREQ=WEEKLY");
        if (!days.isEmpty())
            rule += QStringLiteral(";BYDAY=") + days.join(QLatin1Char(','));
        break;
    case 2: // monthly on a day of the month
        rule = QStringLiteral("FREQ=MONTHLY");
        if (const int day = p.get(ol::pattern::DayOfMonth).toInt(); day > 0)
            rule += QStringLiteral(";BYMONTHDAY=%1").arg(day);
        break;
    case 3: // monthly on the nth weekday
        if (days.isEmpty() || instance < 1)
            return {};
        rule = QStringLiteral("FREQ=MONTHLY;BYDAY=%1;BYSETPOS=%2").arg(days.join(QLatin1Char(',')), setPos);
        break;
    case 5: // yearly
        rule = QStringLiteral("FREQ=YEARLY");
        break;
    case 6: // yearly on the nth weekday of a month
        if (days.isEmpty() || instance < 1)
            return {};
        rule = QStringLiteral("FREQ=YEARLY;BYMONTH=%1;BYDAY=%2;BYSETPOS=%3")
                   .arg(p.get(ol::pattern::MonthOfYear).toInt())
                   .arg(days.join(QLatin1Char(',')), setPos);
        break;
    default:
        return {};
    }
    // The object model may count a yearly interval in months (12 a year); the rule counts years.
    const int step = (type == 5 || type == 6) && interval >= 12 ? interval / 12 : interval;
    if (step > 1)
        rule += QStringLiteral(";INTERVAL=%1").arg(step);
    const int occurrences = p.get(ol::pattern::Occurrences).toInt();
    const QDateTime until = p.get(ol::pattern::PatternEndDate).toDateTime();
    if (!p.get(ol::pattern::NoEndDate).toBool()) {
        if (occurrences > 0)
            rule += QStringLiteral(";COUNT=%1").arg(occurrences);
        else if (until.isValid())
            rule += QStringLiteral(";UNTIL=") + (allDay ? until.toString(QStringLiteral("yyyyMMdd"))
                                                        : QDateTime(until.date(), QTime(23, 59, 59))
                                                              .toString(QStringLiteral("yyyyMMdd'T'HHmmss")));
    }
    return rule;
}

icalcomponent* eventOf(ol::Item& item) {
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    const QString uid = item.EntryID() + QStringLiteral("@vantrel");
    icalcomponent_add_property(event, icalproperty_new_uid(uid.toUtf8().constData()));
    const QDateTime stamp = item.get(ol::prop::LastModificationTime).toDateTime().toUTC();
    icaltimetype dtstamp = timeOf(stamp.isValid() ? stamp : QDateTime::currentDateTimeUtc());
    dtstamp.zone = icaltimezone_get_utc_timezone();
    icalcomponent_add_property(event, icalproperty_new_dtstamp(dtstamp));
    icalcomponent_add_property(event, icalproperty_new_summary(item.Subject().toUtf8().constData()));
    const bool allDay = item.get(ol::prop::AllDayEvent).toBool();
    const QDateTime start = item.get(ol::prop::Start).toDateTime();
    const QDateTime end = item.get(ol::prop::End).toDateTime();
    if (allDay) {
        const QDate last = end.isValid() && end.date() > start.date() ? end.date() : start.date().addDays(1);
        icalcomponent_add_property(event, icalproperty_new_dtstart(dateOf(start.date())));
        icalcomponent_add_property(event, icalproperty_new_dtend(dateOf(last)));
    } else {
        icalcomponent_add_property(event, icalproperty_new_dtstart(timeOf(start)));
        icalcomponent_add_property(event, icalproperty_new_dtend(timeOf(end.isValid() ? end : start)));
    }
    if (const QString location = item.text(ol::prop::Location); !location.isEmpty())
        icalcomponent_add_property(event, icalproperty_new_location(location.toUtf8().constData()));
    if (const QString body = item.text(ol::prop::Body); !body.isEmpty())
        icalcomponent_add_property(event, icalproperty_new_description(body.toUtf8().constData()));
    for (const QString& category : ol::splitKeywords(item.text(ol::prop::Categories)))
        icalcomponent_add_property(event, icalproperty_new_categories(category.toUtf8().constData()));
    if (item.hasRecurrencePattern()) {
        const QString rule = ruleOf(*item.GetRecurrencePattern(), allDay);
        if (!rule.isEmpty())
            icalcomponent_add_property(
                event, icalproperty_new_rrule(icalrecurrencetype_from_string(rule.toLatin1().constData())));
    }
    if (item.get(ol::prop::ReminderSet).toBool()) {
        icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icalcomponent_add_property(alarm, icalproperty_new_description(item.Subject().toUtf8().constData()));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration =
            icaldurationtype_from_int(-60 * item.get(ol::prop::ReminderMinutesBeforeStart).toInt());
        icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_component(event, alarm);
    }
    return event;
}

} // namespace

QByteArray calendarText(const ol::FolderPtr& calendar, bool specialDaysOnly, int* events) {
    Component cal(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Vantrel//Calendar//EN"));
    icalcomponent_add_property(cal.get(), icalproperty_new_calscale("GREGORIAN"));
    const ol::ItemsPtr items = specialDaysOnly
                                   ? calendar->Items()->Restrict(QStringLiteral("[Categories] = 'QELDay'"))
                                   : calendar->Items();
    int count = 0;
    for (const ol::ItemPtr& item : items) {
        if (item->Class() != ol::kAppointment || !item->damage().isEmpty())
            continue;
        icalcomponent_add_component(cal.get(), eventOf(*item));
        ++count;
    }
    if (events)
        *events = count;
    char* text = icalcomponent_as_ical_string_r(cal.get());
    QByteArray out(text);
    free(text);
    return out;
}

IcsSummary exportCalendar(const ol::FolderPtr& calendar, const QString& path, bool specialDaysOnly) {
    IcsSummary summary;
    const QByteArray text = calendarText(calendar, specialDaysOnly, &summary.events);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw vcard::VcardError(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    return summary;
}

} // namespace qel::ical
