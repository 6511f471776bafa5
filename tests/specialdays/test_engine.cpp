// The special-day engine without a window: the line format, the two appointments of a line, the
// rescan with its error choices and fix loop, removal and the coming week, on a fixed clock. What
// the calendar holds is read through a fresh connection.

#include "SpecialDaysTesting.h"

#include "core/Tag.h"

using namespace daystest;

namespace {

const QString kError = QStringLiteral("QEL Day Error!");

} // namespace

class SpecialDayEngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // "1/1/2001" before, on and after 1 January: the first appointment is the next 1 January that
    // is today or later, the second a year after; the location counts the years from 2001.
    void aDateAloneIsTheNextBirthdayFromToday() {
        struct Case {
            QDateTime now;
            int firstYear;
        };
        for (const Case& c :
             {Case{at(2024, 12, 31), 2025}, Case{at(2025, 1, 1), 2025}, Case{at(2025, 1, 2), 2026}}) {
            qeltest::SeamScope seams;
            seams.clock.setNow(c.now);
            Harness h(QStringLiteral("birthday"));
            const ol::ItemPtr john = h.addContact(QStringLiteral("John"), QStringLiteral("Smith"), QString());
            QVERIFY(h.engine->AddQELDay(john->EntryID(), QStringLiteral("1/1/2001"), QStringLiteral("Smith"),
                                        QStringLiteral("John")));
            const std::vector<Day> days = h.days();
            QCOMPARE(days.size(), size_t(2));
            for (int i = 0; i < 2; ++i) {
                const Day& d = days[size_t(i)];
                QCOMPARE(d.start, QDateTime(QDate(c.firstYear + i, 1, 1), QTime(0, 0)));
                QCOMPARE(d.subject, QStringLiteral("John Smith's Birthday"));
                QCOMPARE(d.location, QString::number(c.firstYear + i - 2001));
                QCOMPARE(d.body, john->EntryID());
                QVERIFY(d.allDay);
                QVERIFY(d.reminder);
                QCOMPARE(d.minutes, 15);
                QCOMPARE(d.colour.toInt(), 8); // the birthday colour's default
            }
        }
    }

    // The name token, the type token and the subject's replacements; the colour by type; the
    // subject preference; no location without a year; no colour from a store of version 9.
    void namesTypesAndColours() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Harness h(QStringLiteral("names"));
        h.settings.specialDayColours = {1, 2, 3};
        const QString id = QStringLiteral("ID-1");
        const auto add = [&](const QString& line) {
            return h.engine->AddQELDay(id, line, QStringLiteral("Smith"), QStringLiteral("Mary_Ann"));
        };
        QVERIFY(add(QStringLiteral("* Name1 7/1/2001")));
        QVERIFY(add(QStringLiteral("* .Name1_Name2 7/2/2001")));
        QVERIFY(add(QStringLiteral("*A .Tom&Ann 7/3/1990")));
        QVERIFY(add(QStringLiteral("*Bar_Mitzvah .Sam 07/04")));
        QVERIFY(add(QStringLiteral("*anniversary .Lower 7/5/2000")));
        QVERIFY(add(QStringLiteral("7/6/1980")));
        QStringList expected;
        for (int year : {2024, 2025}) {
            const QString y = QString::number(year);
            const auto age = [&](int from) { return QString::number(year - from); };
            expected << y + QStringLiteral("-07-01 00:00 Name1 Smith's Birthday (") + age(2001) + ')'
                     << y + QStringLiteral("-07-02 00:00 Name1 Name2's Birthday (") + age(2001) + ')'
                     << y + QStringLiteral("-07-03 00:00 Tom and Ann's Anniversary (") + age(1990) + ')'
                     << y + QStringLiteral("-07-04 00:00 Sam's Bar Mitzvah")
                     << y + QStringLiteral("-07-05 00:00 Lower's anniversary (") + age(2000) + ')'
                     << y + QStringLiteral("-07-06 00:00 Mary Ann Smith's Birthday (") + age(1980) + ')';
        }
        QCOMPARE(h.dayTexts(), expected);
        QList<int> colours;
        for (const Day& d : h.days())
            colours << d.colour.toInt();
        QCOMPARE(colours.mid(0, 6), (QList<int>{1, 1, 2, 3, 3, 1}));

        // The subject preference; the reminder preference off; a store of version 9: no label.
        h.settings.qelDaySubject = true;
        h.settings.qelDayRemind = false;
        h.gOlApp->setVersion(QStringLiteral("9.0.0.2"));
        QVERIFY(h.engine->AddQELDay(QStringLiteral("ID-2"), QStringLiteral("*A .Pat&Lee 8/1/2000"),
                                    QStringLiteral("X"), QStringLiteral("Y")));
        const std::vector<Day> days = h.days();
        const auto it = std::find_if(days.begin(), days.end(), [](const Day& d) { return d.body == "ID-2"; });
        QVERIFY(it != days.end());
        QCOMPARE(it->subject, QStringLiteral("Pat and Lee"));
        QVERIFY(!it->reminder);
        QVERIFY(!it->colour.isValid());
    }

    // 29 February: on 28 February in common years, with or without a year, and never a stop.
    void twentyNinthOfFebruary() {
        qeltest::SeamScope seams;
        Harness h(QStringLiteral("leap"));
        const auto add = [&](const QString& line) {
            return h.engine->AddQELDay(QStringLiteral("L"), line, QStringLiteral("Leap"),
                                       QStringLiteral("Lee"));
        };
        seams.clock.setNow(at(2025, 1, 10));
        QVERIFY(add(QStringLiteral("2/29/2000")));
        QVERIFY(add(QStringLiteral("*Party .NoYear 02/29")));
        seams.clock.setNow(at(2027, 3, 1)); // passed in 2027: 2028 (leap) and 2029
        QVERIFY(add(QStringLiteral("2/29/2000")));
        QCOMPARE(h.dayTexts(), (QStringList{QStringLiteral("2025-02-28 00:00 Lee Leap's Birthday (25)"),
                                            QStringLiteral("2025-02-28 00:00 NoYear's Party"),
                                            QStringLiteral("2026-02-28 00:00 Lee Leap's Birthday (26)"),
                                            QStringLiteral("2026-02-28 00:00 NoYear's Party"),
                                            QStringLiteral("2028-02-29 00:00 Lee Leap's Birthday (28)"),
                                            QStringLiteral("2029-02-28 00:00 Lee Leap's Birthday (29)")}));
        QCOMPARE(h.engine->marker(), QString());
        // 29 February of a common year is no date: a bad line.
        seams.dialogs.expectChoice(QStringLiteral("* Lee 2/29/2001"), 0);
        QVERIFY(!add(QStringLiteral("2/29/2001")));
        QVERIFY(seams.dialogs.verify());
    }

    // An entry dated today is this year's and next year's.
    void anEntryOfTodayIsThisYears() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 3, 5, 23, 59));
        Harness h(QStringLiteral("today"));
        QVERIFY(h.engine->AddQELDay(QStringLiteral("T"), QStringLiteral("03/05"), QStringLiteral("Day"),
                                    QStringLiteral("To")));
        QCOMPARE(h.dayTexts(), (QStringList{QStringLiteral("2024-03-05 00:00 To Day's Birthday"),
                                            QStringLiteral("2025-03-05 00:00 To Day's Birthday")}));
    }

    // Bad lines: two or four tokens, a date that is none; the dialog's four answers.
    void badLinesAndTheFourAnswers() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Harness h(QStringLiteral("bad"));
        h.addContact(
            QStringLiteral("Ann"), QStringLiteral("Bad"),
            QStringLiteral("1/1/2001\r\n* Two\r\n*A one two 1/1/2000\r\n* Ok 13/45/2001\r\n7/4/1990"));
        h.addContact(QStringLiteral("Zed"), QStringLiteral("Good"), QStringLiteral("* Odd"));

        // Skip each: three dialogs for Ann, one for Zed; Ann's two good lines count 4.
        seams.dialogs.expectChoice(QStringLiteral("Ann Bad's User field.  The line is:\r\n\r\n* Two\r\n"), 0)
            .expectChoice(QStringLiteral("*A one two 1/1/2000"), 0)
            .expectChoice(QStringLiteral("* Ok 13/45/2001"), 0)
            .expectChoice(QStringLiteral("* Odd"), 0);
        qel::RescanResult r = h.engine->rescanContacts({});
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(seams.dialogs.prompts().at(0).title, kError);
        QCOMPARE(seams.dialogs.prompts().at(0).captions, (QStringList{"Skip", "Skip All", "Fix", "Stop"}));
        QCOMPARE(r.added, 4);
        QCOMPARE(h.engine->skipped().size(), 4);
        QCOMPARE(h.days().size(), size_t(5)); // and the scan reminder
        QCOMPARE(h.engine->lastStatus(), QStringLiteral("QEL DAy Skipped - * Odd"));

        // Skip All: one dialog, then status lines only (Zed's line too).
        h.engine->removeQELDays(false);
        h.engine->clearSkipped();
        seams.dialogs.expectChoice(QStringLiteral("* Two"), 1);
        r = h.engine->rescanContacts({});
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(r.added, 4);
        QCOMPARE(h.engine->skipped().size(), 4);
        QCOMPARE(h.engine->marker(), QString()); // cleared at the end of the run

        // Stop: the run ends at once; no scan reminder; the marker is cleared.
        h.engine->removeQELDays(false);
        seams.dialogs.expectChoice(QStringLiteral("* Two"), 3);
        r = h.engine->rescanContacts({});
        QVERIFY(seams.dialogs.verify());
        QVERIFY(r.stopped);
        QCOMPARE(r.added, 2);
        QCOMPARE(h.dayTexts(), (QStringList{QStringLiteral("2025-01-01 00:00 Ann Bad's Birthday (24)"),
                                            QStringLiteral("2026-01-01 00:00 Ann Bad's Birthday (25)")}));
        QCOMPARE(h.engine->marker(), QString());
    }

    // Fix: the fix dialog gets the line number and the text; the corrected text is stored and the
    // contact processed again from its first line, without doubling what the first pass made.
    void fixStoresTheTextAndStartsTheContactAgain() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Harness h(QStringLiteral("fix"));
        const ol::ItemPtr ann = h.addContact(QStringLiteral("Ann"), QStringLiteral("Fix"),
                                             QStringLiteral("1/1/2001\r\n* Two\r\n7/4/1990"));
        seams.dialogs.expectChoice(QStringLiteral("* Two"), 2);
        int fixes = 0;
        const qel::RescanResult r =
            h.engine->rescanContacts([&](int line, const QString& subject, const QString& text) {
                ++fixes;
                [&] {
                    QCOMPARE(line, 2);
                    QCOMPARE(subject, QStringLiteral("Ann Fix"));
                    QCOMPARE(text, QStringLiteral("1/1/2001\r\n* Two\r\n7/4/1990"));
                }();
                return std::optional<QString>(QStringLiteral("1/1/2001\r\n* Two 2/2/2002\r\n7/4/1990"));
            });
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(fixes, 1);
        QCOMPARE(r.added, 6);
        const ol::ItemPtr stored =
            ol::Application::create(h.dir)->GetNamespace()->GetItemFromID(ann->EntryID());
        QCOMPARE(stored->text(ol::prop::User1), QStringLiteral("1/1/2001\r\n* Two 2/2/2002\r\n7/4/1990"));
        QCOMPARE(h.days().size(), size_t(7)); // 3 lines x 2 and the scan reminder
    }

    // The count, the scan reminder two years ahead at 8:00 AM; no contacts: nothing made.
    void rescanCountAndScanReminder() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15, 14, 30));
        Harness h(QStringLiteral("count"));
        qel::RescanResult r = h.engine->rescanContacts({});
        QCOMPARE(r.contacts, 0);
        QCOMPARE(h.engine->lastStatus(), QStringLiteral("No QEL Days found"));
        QVERIFY(h.days().empty());

        h.addContact(QStringLiteral("Two"), QStringLiteral("Lines"),
                     QStringLiteral("1/1/2001\r\n*A .Us 9/9/1999\r\n"));
        r = h.engine->rescanContacts({});
        QCOMPARE(r.added, 4); // the trailing line break is no line
        const std::vector<Day> days = h.days();
        QCOMPARE(days.size(), size_t(5));
        const Day& scan = days.back();
        QCOMPARE(scan.subject, QStringLiteral("QEL Day Scan Needed!"));
        QCOMPARE(scan.start, at(2026, 6, 15, 8, 0));
        QVERIFY(scan.reminder);
        QCOMPARE(scan.minutes, 15);
    }

    // Remove all, or only from today on: past ones stay, the scan reminder goes.
    void removeAllOrFutureOnly() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Harness h(QStringLiteral("remove"));
        h.addContact(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("12/1/2000"));
        QCOMPARE(h.engine->rescanContacts({}).added, 2); // 12/2024, 12/2025, reminder 6/2026
        seams.clock.setNow(at(2025, 1, 10));
        QCOMPARE(h.engine->removeQELDays(true), 2); // 12/2025 and the reminder
        QCOMPARE(h.dayTexts(), QStringList{QStringLiteral("2024-12-01 00:00 A B's Birthday (24)")});
        QCOMPARE(h.engine->removeQELDays(false), 1);
        QVERIFY(h.days().empty());
    }

    // The coming week: nothing; one today; several on one day with their contact's id.
    void upcomingWeek() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Harness h(QStringLiteral("upcoming"));
        std::array<qel::UpcomingDay, 7> week = h.engine->upcoming();
        for (int k = 0; k < 7; ++k) {
            QCOMPARE(week[size_t(k)].date, QDate(2024, 6, 15).addDays(k));
            QVERIFY(week[size_t(k)].entries.empty());
        }
        const ol::ItemPtr a =
            h.addContact(QStringLiteral("Al"), QStringLiteral("A"), QStringLiteral("6/15/2000"));
        const ol::ItemPtr b = h.addContact(QStringLiteral("Bo"), QStringLiteral("B"),
                                           QStringLiteral("6/18/1990\r\n*Party .Fun 06/18\r\n6/22"));
        h.engine->rescanContacts({});
        week = h.engine->upcoming();
        QCOMPARE(week[0].entries.size(), size_t(1));
        QCOMPARE(week[0].entries[0].text, QStringLiteral("Al A's Birthday (24)"));
        QCOMPARE(week[0].entries[0].entryId, a->EntryID());
        QCOMPARE(week[3].entries.size(), size_t(2));
        QCOMPARE(week[3].entries[0].text, QStringLiteral("Bo B's Birthday (34)"));
        QCOMPARE(week[3].entries[1].text, QStringLiteral("Fun's Party"));
        QCOMPARE(week[3].entries[1].entryId, b->EntryID());
        QVERIFY(week[6].entries.empty()); // 6/22 is the eighth day
        // Without safe items the entries carry no id; opening such an entry fails.
        h.gNoRedemption = true;
        QVERIFY(h.engine->upcoming()[0].entries[0].entryId.isEmpty());
        QVERIFY(!h.engine->openContact(QString()));
    }
};

QEL_TEST_MAIN(SpecialDayEngineTest)
#include "test_engine.moc"
