#include "outlook/Outlook.h"
#include "storetool/StoreTool.h"
#include "support/SeamScope.h"
#include "support/TestEnvironment.h"

#include <QTemporaryDir>

namespace {

struct Run {
    int status;
    QString out;
    QString err;
};

} // namespace

class TestStoreTool : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;

    Run tool(QStringList args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        args.prepend(mDir.path());
        args.prepend(QStringLiteral("--dir"));
        const int status = qel::runStoreTool(args, o, e);
        o.flush();
        e.flush();
        return {status, out, err};
    }

private Q_SLOTS:
    void init() {
        QDir(mDir.path()).removeRecursively();
        QDir().mkpath(mDir.path());
    }

    void foldersAndMkfolder() {
        Run r = tool({"folders"});
        QCOMPARE(r.status, 0);
        QCOMPARE(
            r.out.split('\n', Qt::SkipEmptyParts),
            QStringList({"0\tPersonal Folders", "0\tPersonal Folders\\Inbox", "1\tPersonal Folders\\Calendar",
                         "2\tPersonal Folders\\Contacts", "3\tPersonal Folders\\Tasks",
                         "5\tPersonal Folders\\Notes", "0\tPersonal Folders\\Deleted Items"}));
        QCOMPARE(tool({"mkfolder", "Personal Folders\\Contacts\\Golf Club", "contacts"}).status, 0);
        QCOMPARE(tool({"mkfolder", "Archive\\Old Calendar", "1"}).status, 0);
        r = tool({"folders"});
        QVERIFY(r.out.contains("2\tPersonal Folders\\Contacts\\Golf Club\n"));
        QVERIFY(r.out.contains("0\tArchive\n1\tArchive\\Old Calendar\n"));
        // An existing folder and an unknown type are refused.
        QCOMPARE(tool({"mkfolder", "Personal Folders\\Contacts", "2"}).status, 1);
        r = tool({"mkfolder", "Personal Folders\\X", "spreadsheets"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("unknown folder type"));
    }

    void addGetRestrictDelete() {
        Run r =
            tool({"add", "Personal Folders\\Contacts", "FullName=Sean O'Brien", "Birthday=03/15/1970",
                  "HomeAddress=1 Main St\\nSpringfield, IL 62701", "Categories=Work,Golf", "Journal=True"});
        QCOMPARE(r.status, 0);
        const QString id = r.out.trimmed();
        QVERIFY(!id.isEmpty());
        r = tool(
            {"get", id, "LastName", "Birthday", "HomeAddressCity", "HomeAddress", "Journal", "Categories"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("LastName=O'Brien\nBirthday=03/15/1970\nHomeAddressCity=Springfield\n"
                                       "HomeAddress=1 Main St\\r\\nSpringfield, IL 62701\nJournal=True\n"
                                       "Categories=Work, Golf\n"));
        tool({"add", "Personal Folders\\Contacts", "FullName=Amy Adams", "Categories=Golf"});
        tool({"add", "Personal Folders\\Contacts", "FullName=Zed Zulu"});
        r = tool({"restrict", "Personal Folders\\Contacts", "[Categories] = 'golf'", "--sort", "LastName",
                  "--show", "FirstName,LastName"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Amy\tAdams\nSean\tO'Brien\n"));
        r = tool(
            {"restrict", "Personal Folders\\Contacts", "[LastName] <> ''", "--sort", "Subject", "--desc"});
        QCOMPARE(r.out, QStringLiteral("Zed Zulu\nSean O'Brien\nAmy Adams\n"));
        // A rejected filter: a message on stderr and status 2, nothing on stdout.
        r = tool({"restrict", "Personal Folders\\Contacts", "[LastName] = 'open"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!r.err.isEmpty());
        // A bad value, a missing folder and a deleted item fail with status 1.
        QCOMPARE(tool({"add", "Personal Folders\\Contacts", "Birthday=tomorrowish"}).status, 1);
        QCOMPARE(tool({"add", "Personal Folders\\Nowhere", "FullName=X Y"}).status, 1);
        QCOMPARE(tool({"delete", id}).status, 0);
        r = tool({"get", id});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("not found"));
        QCOMPARE(tool({"add", "Personal Folders\\Contacts", "NoEquals"}).status, 2);
        QCOMPARE(tool({"bogus"}).status, 2);
        QCOMPARE(tool({}).status, 2);
    }

    void recurringAppointmentsFromTheCommandLine() {
        Run r = tool({"add", "Personal Folders\\Calendar", "Subject=Standup", "Start=03/16/2026 09:00 AM",
                      "RecurrencePattern.RecurrenceType=1", "RecurrencePattern.Occurrences=5"});
        QCOMPARE(r.status, 0);
        r = tool({"restrict", "Personal Folders\\Calendar", "[Recurring] = 'Yes'", "--show",
                  "Subject,Start,End,RecurrencePattern.Occurrences"});
        QCOMPARE(r.out, QStringLiteral("Standup\t03/16/2026 09:00 AM\t03/16/2026 09:30 AM\t5\n"));
    }

    void demoContactsAreVariedAndReproducible() {
        QCOMPARE(tool({"demo", "Personal Folders\\Contacts", "400", "--seed", "5"}).status, 0);
        QCOMPARE(tool({"demo", "Demo Copy\\People", "400", "--seed", "5"}).status, 0);
        const QString bounds =
            QStringLiteral("[MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu'");
        const QStringList show = {"--show", "Subject,LastName,Email1Address,User1,Categories"};
        Run a = tool(QStringList{"restrict", "Personal Folders\\Contacts", bounds} + show);
        Run b = tool(QStringList{"restrict", "Demo Copy\\People", bounds} + show);
        QCOMPARE(a.out.count('\n'), 400);
        QCOMPARE(a.out, b.out);
        Run other = tool({"demo", "Third\\People", "400", "--seed", "6"});
        QCOMPARE(other.status, 0);
        QVERIFY(tool(QStringList{"restrict", "Third\\People", bounds} + show).out != a.out);

        ol::ApplicationPtr app = ol::Application::create(mDir.path());
        ol::ItemsPtr items = app->GetNamespace()->folderByPath("Personal Folders\\Contacts")->Items();
        const auto count = [&](const QString& filter) { return items->Restrict(filter)->Count(); };
        QVERIFY(count("[LastName] = ''") > 0);                         // companies and single names
        QVERIFY(count("[LastName] > 'ZZZZ' OR [LastName] < 'A'") > 0); // the MISC tab has entries
        QVERIFY(count("[User1] > ''") > 0);                            // special-day lines
        QVERIFY(count("[Categories] = ''") > 0);
        QVERIFY(count("[Categories] <> ''") > 0);
        bool apostrophe = false, accent = false, lower = false;
        for (const ol::ItemPtr& item : items) {
            const QString last = item->Get("LastName").toString();
            apostrophe |= last.contains('\'');
            accent |= last != last.normalized(QString::NormalizationForm_D);
            lower |= !last.isEmpty() && last.at(0).isLower();
        }
        QVERIFY(apostrophe);
        QVERIFY(accent);
        QVERIFY(lower);
        QCOMPARE(tool({"demo", "Personal Folders\\Contacts", "many"}).status, 2);
    }

    // The quiet rescan from the command line: the folders and the field of the settings file, bad
    // lines skipped and listed; then the removal, all or from today on.
    void rescanAndRemoveQELDays() {
        qeltest::SeamScope seams; // no prompt may appear; the day is fixed
        seams.clock.setNow(QDateTime(QDate(2025, 3, 1), QTime(10, 0)));
        QCOMPARE(tool({"mkfolder", "Personal Folders\\Days", "1"}).status, 0);
        const QString ini = mDir.filePath("settings.ini");
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(
                "[QELDays]\nCustomField=1\n[DataFolders]\nCalendarRoot=Personal Folders\nCalendar=Days\n");
        }
        QCOMPARE(tool({"add", "Personal Folders\\Contacts", "FirstName=Ann", "LastName=Lee",
                       "User2=2/29/2000\\r\\n* Bad\\r\\n*A .Us&Them 12/24"})
                     .status,
                 0);
        Run r = tool({"rescan", "--settings", ini});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Re-Scan complete. 4 QEL Days added\nSkipped: * Bad\n"));
        const auto days = [&] {
            return tool({"restrict", "Personal Folders\\Days", "[Categories] = 'QELDay'", "--sort", "Start",
                         "--show", "Start,Subject,Location"})
                .out;
        };
        QCOMPARE(days(), QStringLiteral("12/24/2025\tUs and Them's Anniversary\t\n"
                                        "02/28/2026\tAnn Lee's Birthday\t26\n"
                                        "12/24/2026\tUs and Them's Anniversary\t\n"
                                        "02/28/2027\tAnn Lee's Birthday\t27\n"
                                        "03/01/2027 08:00 AM\tQEL Day Scan Needed!\t\n"));
        QCOMPARE(tool({"remove-qeldays", "--future", "--bogus"}).status, 2);
        seams.clock.setNow(QDateTime(QDate(2026, 3, 1), QTime(10, 0)));
        r = tool({"remove-qeldays", "--future", "--settings", ini});
        QCOMPARE(r.out, QStringLiteral("3 QEL Days were removed\n"));
        r = tool({"remove-qeldays", "--settings", ini});
        QCOMPARE(r.out, QStringLiteral("2 QEL Days were removed\n"));
        QCOMPARE(days(), QString());
    }
};

QEL_TEST_MAIN(TestStoreTool)
#include "test_storetool.moc"
