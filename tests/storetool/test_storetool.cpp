#include "outlook/Outlook.h"
#include "storetool/StoreTool.h"
#include "support/SeamScope.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <SQLiteCpp/SQLiteCpp.h>

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

    // The tool as another process.
    Run process(const QStringList& args) {
        QProcess p;
        p.start(QString::fromUtf8(QEL_STORE_TOOL), QStringList{"--dir", mDir.path()} + args);
        if (!p.waitForFinished(30000))
            return {-1, {}, {}};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    QStringList storeFiles() const {
        return QDir(mDir.path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
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

    void aDeleteInOneProcessNeverRemovesAnotherProcesssItem() {
        const QString older = tool({"add", "Personal Folders\\Contacts", "FullName=Ann Older"}).out.trimmed();
        const QString held = tool({"add", "Personal Folders\\Contacts", "FullName=Bea Held"}).out.trimmed();
        // This process holds Bea; another deletes her and adds Cal, who would take her row.
        ol::ApplicationPtr app = ol::Application::create(mDir.path());
        ol::ItemPtr bea = app->GetNamespace()->GetItemFromID(held);
        QCOMPARE(process({"delete", held}).status, 0);
        const Run added =
            process({"add", "Personal Folders\\Contacts", "FullName=Cal Newer", "User1=theirs"});
        QCOMPARE(added.status, 0);
        const QString cal = added.out.trimmed();
        try {
            bea->Delete();
            QFAIL("a delete of an item another process deleted succeeded");
        } catch (const ol::Error& e) {
            QCOMPARE(e.number(), qint64(ol::kErrNotFound));
        }
        bea->Set("User1", "mine");
        try {
            bea->Save();
            QFAIL("a save of an item another process deleted succeeded");
        } catch (const ol::Error& e) {
            QCOMPARE(e.number(), qint64(ol::kErrNotFound));
        }
        // A second delete by another process fails too, and Cal is untouched throughout.
        const Run again = process({"delete", held});
        QCOMPARE(again.status, 1);
        QVERIFY(again.err.contains("not found"));
        QCOMPARE(process({"get", cal, "Subject", "User1"}).out,
                 QStringLiteral("Subject=Cal Newer\nUser1=theirs\n"));
        QCOMPARE(tool({"restrict", "Personal Folders\\Contacts", "[LastName] <> ''"}).out,
                 QStringLiteral("Ann Older\nCal Newer\n"));
        QVERIFY(!older.isEmpty());
    }

    void aKilledFirstStartLeavesAStoreThatOpens() {
        // Killed at random moments of its first start, the tool leaves either no store or a whole one.
        QRandomGenerator random(42);
        int killedEarly = 0;
        for (int round = 0; round < 25; ++round) {
            init();
            QProcess p;
            p.start(QString::fromUtf8(QEL_STORE_TOOL), {"--dir", mDir.path(), "folders"});
            QVERIFY(p.waitForStarted());
            QElapsedTimer t;
            t.start();
            const int delay = int(random.bounded(40));
            while (t.elapsed() < delay && p.state() == QProcess::Running)
                QThread::usleep(200);
            if (p.state() == QProcess::Running) {
                p.kill();
                ++killedEarly;
            }
            p.waitForFinished();
            const Run after = tool({"folders"});
            QVERIFY2(after.status == 0, qPrintable(after.err));
            QCOMPARE(after.out.count('\n'), 7);
        }
        QVERIFY(killedEarly > 0);
    }

    void aCreationLockLeftHalfWrittenIsTakenOver() {
        // A first start killed between making the creation lock and writing its process id into
        // it leaves an empty lock file: a later start waits for it to age, then takes it over.
        QFile lock(mDir.filePath(".store-create.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(
            lock.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-8), QFileDevice::FileModificationTime));
        lock.close();
        const Run r = tool({"folders"});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out.count('\n'), 7);
    }

    void damagedFilesAndItemsAreNamedOnStandardError() {
        // Every store file unreadable: said so, status 1, nothing made.
        QFile empty(mDir.filePath("Personal Folders.store"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        Run r = tool({"folders"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("Personal Folders.store: it is empty (0 bytes)"), qPrintable(r.err));
        QCOMPARE(storeFiles(), QStringList({"Personal Folders.store"}));
        // A sound store beside it: it is listed, the bad one named on stderr.
        QVERIFY(QFile::rename(mDir.filePath("Personal Folders.store"), mDir.filePath("Empty.store")));
        ol::Application::create(mDir.filePath("fresh"));
        for (const QString& name : QDir(mDir.filePath("fresh")).entryList(QDir::Files))
            QVERIFY(QFile::rename(mDir.filePath("fresh/" + name), mDir.filePath(name)));
        r = tool({"folders"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith("0\tPersonal Folders\n"));
        QVERIFY2(r.err.contains("skipped " + mDir.filePath("Empty.store") + ": it is empty"),
                 qPrintable(r.err));
        QCOMPARE(QFileInfo(mDir.filePath("Empty.store")).size(), qint64(0));

        // A damaged item: left out of its folder and named; get and delete reach it by EntryID.
        const QString good = tool({"add", "Personal Folders\\Contacts", "FullName=Good One"}).out.trimmed();
        const QString bad = tool({"add", "Personal Folders\\Contacts", "FullName=Bad One"}).out.trimmed();
        {
            SQLite::Database db(mDir.filePath("Personal Folders.store").toStdString(),
                                SQLite::OPEN_READWRITE);
            SQLite::Statement q(db, "UPDATE items SET props = x'07' WHERE entry_id = ?");
            q.bind(1, bad.toStdString());
            QCOMPARE(q.exec(), 1);
        }
        r = tool({"restrict", "Personal Folders\\Contacts", "[LastName] <> ''"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Good One\n"));
        QVERIFY2(r.err.contains(bad) && r.err.contains("damaged"), qPrintable(r.err));
        r = tool({"get", bad});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("damaged"), qPrintable(r.err));
        QCOMPARE(tool({"delete", bad}).status, 0);
        r = tool({"restrict", "Personal Folders\\Contacts", "[LastName] <> ''"});
        QCOMPARE(r.out, QStringLiteral("Good One\n"));
        QVERIFY2(!r.err.contains("damaged"), qPrintable(r.err));
        QCOMPARE(tool({"get", good, "LastName"}).out, QStringLiteral("LastName=One\n"));
    }

    void badCommandLinesChangeNothing() {
        // A mistyped command, a wrong --dir and a read of a fresh folder create nothing.
        Run r = tool({"folderz"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("unknown command folderz"));
        QCOMPARE(storeFiles(), QStringList());
        QCOMPARE(
            tool({"restrict", "Personal Folders\\Contacts", "[LastName] = 'x'", "--show", "Nonsense"}).status,
            2);
        QCOMPARE(tool({"get", "00DEADBEEF"}).status, 1);
        QCOMPARE(tool({"delete", "00DEADBEEF"}).status, 1);
        QCOMPARE(tool({"mkfolder", "X", "spreadsheets"}).status, 2);
        QCOMPARE(tool({"add", "Personal Folders\\Contacts", "NoEquals"}).status, 2);
        QCOMPARE(storeFiles(), QStringList());
        // Commands that would make the first store and then fail leave no store behind either.
        QCOMPARE(tool({"add", "Personal Folders\\No Such Folder", "FullName=A B"}).status, 1);
        QCOMPARE(tool({"mkfolder", "Personal Folders\\Inbox", "0"}).status, 1);
        QCOMPARE(storeFiles(), QStringList());
        const QString typo = mDir.filePath("no-such-folder");
        QString out, err;
        QTextStream o(&out), e(&err);
        QCOMPARE(
            qel::runStoreTool({"--dir", typo, "add", "Personal Folders\\Contacts", "FullName=A B"}, o, e), 1);
        e.flush();
        QVERIFY2(err.contains("does not exist"), qPrintable(err));
        QVERIFY(!QFileInfo::exists(typo));
        // An empty --dir is refused rather than read as the per-user folder.
        QCOMPARE(qel::runStoreTool({"--dir", "", "folders"}, o, e), 2);
        QCOMPARE(qel::runStoreTool({"--dir=", "folders"}, o, e), 2);
        QCOMPARE(storeFiles(), QStringList());

        // --show with an unknown property is refused; known ones missing from an item stay empty.
        tool({"add", "Personal Folders\\Contacts", "FullName=Ann Able"});
        r = tool(
            {"restrict", "Personal Folders\\Contacts", "[LastName] = 'Able'", "--show", "Subject,Bogus"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains("unknown property Bogus"));
        r = tool(
            {"restrict", "Personal Folders\\Contacts", "[LastName] = 'Able'", "--show", "Subject,Start"});
        QCOMPARE(r.out, QStringLiteral("Ann Able\t\n"));

        // Arguments that are not UTF-8 are refused, by the real tool too.
        QStringList args;
        QString why;
        const char* argv[] = {"qel-store", "add", "Personal Folders\\Contacts",
                              "FullName=Bad \xff\xfe Bytes"};
        QVERIFY(!qel::decodeArguments(4, argv, args, why));
        QVERIFY(why.contains("argument 3"));
        const char* fine[] = {"qel-store", "add", "FullName=Zo\xc3\xab"};
        QVERIFY(qel::decodeArguments(3, fine, args, why));
        QCOMPARE(args.last(), QString::fromUtf8("FullName=Zo\u00eb"));
        QProcess p;
        p.start(QStringLiteral("/bin/sh"),
                QStringList{"-c",
                            "exec \"$0\" --dir \"$1\" add 'Personal Folders\\Contacts' \"$(printf "
                            "'FullName=Bad \\377 Bytes')\"",
                            QString::fromUtf8(QEL_STORE_TOOL), mDir.path()});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        QCOMPARE(tool({"restrict", "Personal Folders\\Contacts", "[LastName] <> ''"}).out,
                 QStringLiteral("Ann Able\n"));
    }

    void controlCharactersRoundTrip() {
        // get prints what add reads: every control character escaped, none raw.
        const QString value = QStringLiteral("bell\x07 esc\x1b one\x01 del\x7f tab\t cr\r lf\n back\\ end");
        ol::ApplicationPtr app = ol::Application::create(mDir.path());
        ol::ItemPtr c = app->GetNamespace()->folderByPath("Personal Folders\\Contacts")->Items()->Add();
        c->Set("FullName", "Ctrl Chars");
        c->Set("Body", value);
        c->Save();
        const Run r = tool({"get", c->EntryID(), "Body"});
        QCOMPARE(r.out, QStringLiteral(
                            "Body=bell\\x07 esc\\x1b one\\x01 del\\x7f tab\\t cr\\r lf\\n back\\\\ end\n"));
        for (const QChar ch : r.out.chopped(1))
            QVERIFY(ch.unicode() >= 0x20);
        const QString id =
            tool({"add", "Personal Folders\\Contacts", "FullName=Copy Chars", r.out.trimmed()}).out.trimmed();
        QCOMPARE(app->GetNamespace()->GetItemFromID(id)->Get("Body").toString(), value);
        // A backslash-x not followed by two hex digits stays as written.
        const QString literal =
            tool({"add", "Personal Folders\\Contacts", "FullName=Lit Eral", "Body=\\xg1 \\x4"}).out.trimmed();
        QCOMPARE(app->GetNamespace()->GetItemFromID(literal)->Get("Body").toString(),
                 QStringLiteral("\\xg1 \\x4"));
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

    // export and import as another process: the summary on standard output, status 0; a file
    // that is not an exchange file refused with status 1 and its reason, the store untouched; a
    // bad filter refused the same way.
    void exportAndImportAnExchangeFile() {
        QCOMPARE(tool({"add", "Personal Folders\\Contacts", "FirstName=Ann", "LastName=Lee"}).status, 0);
        QCOMPARE(tool({"add", "Personal Folders\\Calendar", "Subject=Series", "Start=01/06/2020 09:00 AM",
                       "RecurrencePattern.RecurrenceType=1"})
                     .status,
                 0);
        const QString ini = mDir.filePath("settings.ini");
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[OutlookDataSync]\nContactSync=Yes\nCalendarSync=Yes\n");
        }
        const QString file = mDir.filePath("out.mdb");
        Run r = process({"export", file, "--settings", ini});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out,
                 QStringLiteral("Export finished:\n\n1 Contact(s) Exported\n1 Appointment(s) Exported\n"
                                "0 Task(s) Exported\n0 Note(s) Exported\n"));
        r = process({"import", file, "--settings", ini});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out,
                 QStringLiteral("Import finished:\n\n1 Contact(s) Imported\n1 Appointment(s) Imported\n"
                                "0 Task(s) Imported\n0 Note(s) Imported\n"));
        const auto listing = [&] {
            return tool({"restrict", "Personal Folders\\Contacts", "[LastName] = 'Lee'", "--show",
                         "Subject,Categories"})
                .out;
        };
        QCOMPARE(listing(), QStringLiteral("Ann Lee\t\nAnn Lee\tQELSync\n"));
        const QString text = mDir.filePath("text.mdb");
        {
            QFile f(text);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a database");
        }
        r = process({"import", text, "--settings", ini});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("not a database")), qPrintable(r.err));
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::Append));
            f.write("SQLConI=[LastName] = \n");
        }
        r = process({"import", file, "--settings", ini});
        QCOMPARE(r.status, 1);
        QVERIFY2(!r.err.isEmpty(), qPrintable(r.out));
        QCOMPARE(listing(), QStringLiteral("Ann Lee\t\nAnn Lee\tQELSync\n"));
        QCOMPARE(process({"export"}).status, 2);
    }
};

QEL_TEST_MAIN(TestStoreTool)
#include "test_storetool.moc"
