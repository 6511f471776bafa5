// The calendar as an iCalendar file, read back by python3-vobject: all-day special days with their
// reminders, timed and recurring appointments, and only the special days on request.

#include "VcardTesting.h"

#include "vcard/IcsExport.h"
#include "vcard/VcardFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace vcardtest;
using namespace ol::prop;

namespace {

QJsonObject readWithVobject(const QString& file) {
    QProcess p;
    p.start(
        QStringLiteral("/usr/bin/python3"),
        {qEnvironmentVariable("QEL_TEST_SOURCE_DIR") + QStringLiteral("/tests/vcard/vobject_ics.py"), file});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("%s", p.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonObject eventNamed(const QJsonObject& cal, const QString& summary) {
    for (const QJsonValue& v : cal.value("events").toArray())
        if (v.toObject().value("summary").toString() == summary)
            return v.toObject();
    return {};
}

} // namespace

class TestIcs : public QObject {
    Q_OBJECT

    QTemporaryDir mFiles;

private Q_SLOTS:
    void calendarReadByVobject() {
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"), {"-c", "import vobject"});
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
            QSKIP(
                "/usr/bin/python3 cannot import vobject (install python3-vobject, scripts/install-deps.sh)");
        const QString dir = qeltest::freshStoreDir(QStringLiteral("ics"));
        ol::ApplicationPtr app = ol::Application::create(dir);
        ol::FolderPtr calendar =
            app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        ol::ItemsPtr items = calendar->Items();
        ol::ItemPtr birthday = items->Add();
        birthday->set(Subject, QStringLiteral("Birthday: Ada Lovelace; 211, \"really\""));
        birthday->set(AllDayEvent, true);
        birthday->set(Start, QDateTime(QDate(2026, 12, 10), QTime(0, 0)));
        birthday->set(Categories, QStringLiteral("QELDay"));
        birthday->set(Location, QStringLiteral("211"));
        birthday->set(ReminderSet, true);
        birthday->set(ReminderMinutesBeforeStart, 15);
        birthday->Save();
        ol::ItemPtr meeting = items->Add();
        meeting->set(Subject, QStringLiteral("Choir practice"));
        meeting->set(Start, QDateTime(QDate(2026, 1, 5), QTime(19, 30)));
        meeting->set(Duration, 90);
        ol::RecurrencePatternPtr p = meeting->GetRecurrencePattern();
        p->set(ol::pattern::RecurrenceType, 1);
        p->set(ol::pattern::DayOfWeekMask, 2 | 8); // Monday and Wednesday
        p->set(ol::pattern::NoEndDate, false);
        p->set(ol::pattern::Occurrences, 10);
        meeting->Save();
        ol::ItemPtr lastFriday = items->Add();
        lastFriday->set(Subject, QStringLiteral("Team lunch"));
        lastFriday->set(Start, QDateTime(QDate(2026, 1, 30), QTime(12, 0)));
        p = lastFriday->GetRecurrencePattern();
        p->set(ol::pattern::RecurrenceType, 3);
        p->set(ol::pattern::DayOfWeekMask, 32);
        p->set(ol::pattern::Instance, 5);
        lastFriday->Save();

        const QString all = mFiles.filePath("all.ics");
        QCOMPARE(qel::ical::exportCalendar(calendar, all, false).events, 3);
        QJsonObject cal = readWithVobject(all);
        QCOMPARE(cal.value("version").toString(), QStringLiteral("2.0"));
        QCOMPARE(cal.value("events").toArray().size(), 3);
        const QJsonObject day = eventNamed(cal, QStringLiteral("Birthday: Ada Lovelace; 211, \"really\""));
        QVERIFY2(!day.isEmpty(), qPrintable(QJsonDocument(cal).toJson()));
        QVERIFY(day.value("allday").toBool());
        QCOMPARE(day.value("start").toString(), QStringLiteral("2026-12-10"));
        QCOMPARE(day.value("end").toString(), QStringLiteral("2026-12-11"));
        QCOMPARE(day.value("alarms").toArray(), QJsonArray({-900}));
        QCOMPARE(day.value("categories").toArray(), QJsonArray({"QELDay"}));
        QCOMPARE(day.value("location").toString(), QStringLiteral("211"));
        const QJsonObject choir = eventNamed(cal, QStringLiteral("Choir practice"));
        QVERIFY(!choir.value("allday").toBool());
        QCOMPARE(choir.value("start").toString(), QStringLiteral("2026-01-05T19:30:00"));
        QCOMPARE(choir.value("end").toString(), QStringLiteral("2026-01-05T21:00:00"));
        QCOMPARE(choir.value("occurrences").toArray(),
                 QJsonArray({"2026-01-05T19:30:00", "2026-01-07T19:30:00", "2026-01-12T19:30:00"}));
        QVERIFY(choir.value("rrule").toString().contains("COUNT=10"));
        QVERIFY(choir.value("alarms").toArray().isEmpty());
        const QJsonObject lunch = eventNamed(cal, QStringLiteral("Team lunch"));
        QCOMPARE(lunch.value("occurrences").toArray(),
                 QJsonArray({"2026-01-30T12:00:00", "2026-02-27T12:00:00", "2026-03-27T12:00:00"}));

        // Only the special days; a file that cannot be written is reported and left alone.
        const QString days = mFiles.filePath("days.ics");
        QCOMPARE(qel::ical::exportCalendar(calendar, days, true).events, 1);
        cal = readWithVobject(days);
        QCOMPARE(cal.value("events").toArray().size(), 1);
        QVERIFY(!eventNamed(cal, QStringLiteral("Birthday: Ada Lovelace; 211, \"really\"")).isEmpty());
        QVERIFY_THROWS_EXCEPTION(qel::vcard::VcardError,
                                 qel::ical::exportCalendar(calendar, days + QStringLiteral("/x.ics"), true));
    }
};

QEL_TEST_MAIN(TestIcs)
#include "test_ics.moc"
