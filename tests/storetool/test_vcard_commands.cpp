// qel-store's export-vcard and import-vcard: what they write, what they refuse, and that a failed
// command changes nothing.

#include "outlook/Outlook.h"
#include "platform/ProgramFolder.h"
#include "storetool/StoreTool.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct Run {
    int status;
    QString out;
    QString err;
};

const QString kContacts = QStringLiteral("Personal Folders\\Contacts");

} // namespace

class TestVcardCommands : public QObject {
    Q_OBJECT

    QTemporaryDir mFiles;
    QString mStore;

    Run tool(const QStringList& args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status = qel::runStoreTool(QStringList{"--dir", mStore} + args, o, e);
        o.flush();
        e.flush();
        return {status, out, err};
    }

    int count(const QString& folder) {
        return ol::Application::create(mStore)->GetNamespace()->folderByPath(folder)->Items()->Count();
    }

private Q_SLOTS:
    void init() { mStore = qeltest::freshStoreDir(QStringLiteral("tool")); }

    // Out to a folder of files and into another contact folder; in again updates, never doubles.
    void exportThenImportTwice() {
        QCOMPARE(tool({"demo", kContacts, "7"}).status, 0);
        const QString cards = mFiles.filePath("cards");
        Run r = tool({"export-vcard", cards, "--folder", kContacts, "--version", "4.0"});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("Exported 7 contacts to %1.\n").arg(cards));
        const QStringList files = QDir(cards).entryList({"*.vcf"}, QDir::Files);
        QCOMPARE(files.size(), 7);
        QVERIFY(QDir(cards).entryList(QDir::AllDirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
        QFile first(QDir(cards).filePath(files.first()));
        QVERIFY(first.open(QIODevice::ReadOnly));
        QVERIFY(first.readAll().startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n"));

        const QString copy = kContacts + QStringLiteral("\\Copy");
        QCOMPARE(tool({"mkfolder", copy, "contacts"}).status, 0);
        r = tool({"import-vcard", cards, "--folder", copy});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("Imported 7 contacts from %1 (7 new, 0 updated).\n").arg(cards));
        r = tool({"import-vcard", cards, "--folder", copy});
        QCOMPARE(r.out, QStringLiteral("Imported 7 contacts from %1 (0 new, 7 updated).\n").arg(cards));
        QCOMPARE(count(copy), 7);
        QCOMPARE(count(kContacts), 7);
    }

    // The command line's rescan keeps QELDays.ics in the program folder too, when the settings ask.
    void rescanWritesTheSpecialDaysCalendar() {
        const QString ics = qel::programFile(QStringLiteral("QELDays.ics"));
        QFile::remove(ics);
        QCOMPARE(tool({"add", kContacts, "FirstName=Ann", "LastName=Lee", "User1=2/29/2000"}).status, 0);
        const QString ini = mFiles.filePath("days.ini");
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[QELDays]\nQELDayCalendarFile=No\n");
        f.close();
        QCOMPARE(tool({"rescan", "--settings", ini}).status, 0);
        QVERIFY(!QFile::exists(ics));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[QELDays]\nQELDayCalendarFile=Yes\n");
        f.close();
        const Run r = tool({"rescan", "--settings", ini});
        QCOMPARE(r.status, 0);
        QFile written(ics);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        QCOMPARE(text.count("BEGIN:VEVENT"), 3); // two birthdays and the reminder to scan again
        QVERIFY(text.contains("Ann Lee"));
    }

    // Refusals: exit 1 with the reason, and the store and the files as they were.
    void failedCommandsWriteNothing() {
        QCOMPARE(tool({"demo", kContacts, "2"}).status, 0);
        const QString bad = mFiles.filePath("bad.vcf");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Fine;;;;\r\nEND:VCARD\r\n"
                "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Broken;;;;\r\nBDAY:31/31/31\r\nEND:VCARD\r\n");
        f.close();
        Run r = tool({"import-vcard", bad, "--folder", kContacts});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err,
                 QStringLiteral("qel-store: %1, line 8: BDAY \"31/31/31\" is not a date (write yyyy-mm-dd)\n")
                     .arg(bad));
        QCOMPARE(count(kContacts), 2);

        r = tool({"export-vcard", mFiles.filePath("cal.vcf"), "--folder", "Personal Folders\\Calendar"});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("is not a contact folder"));
        r = tool({"import-vcard", bad, "--folder", "Personal Folders\\Nowhere"});
        QCOMPARE(r.status, 1);
        QVERIFY(!QFile::exists(mFiles.filePath("cal.vcf")));

        // Below a file nothing can be written; the file stays as it was.
        r = tool({"export-vcard", bad + QStringLiteral("/out.vcf"), "--folder", kContacts});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("cannot be written"));
        QVERIFY(QFileInfo(bad).isFile());

        QCOMPARE(tool({"export-vcard"}).status, 2);
        QCOMPARE(tool({"export-vcard", "x.vcf", "--version", "2.1"}).status, 2);
        QCOMPARE(tool({"import-vcard", "x.vcf", "--version", "4.0"}).status, 2);
    }
};

QEL_TEST_MAIN(TestVcardCommands)
#include "test_vcard_commands.moc"
