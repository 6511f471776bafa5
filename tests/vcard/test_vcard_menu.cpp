// The File menu's vCard commands on their own: the file dialogs, the summary, errors as messages,
// the reload after an import and none after a failed one.

#include "VcardTesting.h"

#include "core/Tag.h"
#include "support/SeamScope.h"
#include "vcard/VcardCommands.h"

#include <QTemporaryDir>
#include <QTimer>

using namespace vcardtest;
using namespace ol::prop;

class TestVcardMenu : public QObject {
    Q_OBJECT

    QTemporaryDir mFiles;

private Q_SLOTS:
    void exportThenImportElsewhere() {
        const QString from = qeltest::freshStoreDir(QStringLiteral("menu-from"));
        ol::ApplicationPtr app = ol::Application::create(from);
        ol::FolderPtr folder = contactsOf(app);
        for (const char* name : {"Nina Simone", "Miles Davis"}) {
            ol::ItemPtr c = folder->Items()->Add();
            c->set(FullName, QString::fromLatin1(name));
            c->set(MobileTelephoneNumber, QStringLiteral("555 %1").arg(qstrlen(name)));
            c->Save();
        }
        QTimer syncTimer;
        int reloads = 0;
        qel::VcardCommands commands(folder, &syncTimer, {[&] { ++reloads; }});
        const QString file = mFiles.filePath("jazz"); // the suffix is added
        {
            qeltest::SeamScope seams;
            seams.dialogs.expectSaveFile(file, "Export Contacts as vCard")
                .expectMessage(QStringLiteral("Exported 2 contacts to %1.vcf.").arg(file));
            commands.menuExportVcard_Click();
        }
        QVERIFY(readFile(file + ".vcf").contains("FN:Nina Simone\r\n"));
        QCOMPARE(qel::Tag(&syncTimer), QString()); // the mark is cleared again

        const QString to = qeltest::freshStoreDir(QStringLiteral("menu-to"));
        ol::FolderPtr target = contactsOf(ol::Application::create(to));
        qel::VcardCommands importer(target, &syncTimer, {[&] { ++reloads; }});
        {
            qeltest::SeamScope seams;
            seams.dialogs.expectOpenFile(file + ".vcf", "Import vCard")
                .expectMessage("Imported 2 contacts")
                .expectOpenFile(QString(), "Import vCard"); // cancelled: nothing happens
            importer.menuImportVcard_Click();
            importer.menuImportVcard_Click();
        }
        QCOMPARE(reloads, 1);
        QCOMPARE(contactsOf(ol::Application::create(to))->Items()->Count(), 2);
    }

    // The calendar as iCalendar: every appointment or only the QEL Days, as chosen; Cancel at the
    // choice or at the file dialog writes nothing.
    void calendarExportWritesTheChosenAppointments() {
        const QString dir = qeltest::freshStoreDir(QStringLiteral("menu-ics"));
        ol::ApplicationPtr app = ol::Application::create(dir);
        ol::FolderPtr contacts = contactsOf(app);
        ol::FolderPtr calendar =
            app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        for (const auto& [subject, category] :
             {std::pair{"Ada's Birthday", "QELDay"}, std::pair{"Dentist", ""}}) {
            ol::ItemPtr a = calendar->Items()->Add(ol::olAppointmentItem);
            a->set(Subject, QString::fromLatin1(subject));
            a->set(Start, QDateTime(QDate(2026, 12, 10), QTime(0, 0)));
            a->set(AllDayEvent, true);
            a->set(Categories, QString::fromLatin1(category));
            a->Save();
        }
        QTimer syncTimer;
        qel::VcardCommands commands(contacts, calendar, &syncTimer, {});
        const QString file = mFiles.filePath("days.ics");
        const auto events = [&] { return readFile(file).count("BEGIN:VEVENT"); };
        {
            qeltest::SeamScope seams;
            seams.dialogs.expectChoice("only the QEL Days", 2)
                .expectChoice(QString(), 1)
                .expectSaveFile(QString(), "Export Calendar as iCalendar")
                .expectChoice(QString(), 1)
                .expectSaveFile(file, "Export Calendar as iCalendar")
                .expectMessage(QStringLiteral("Exported 1 appointment(s)"));
            commands.menuExportIcs_Click();
            commands.menuExportIcs_Click();
            QVERIFY(!QFile::exists(file));
            commands.menuExportIcs_Click();
        }
        QCOMPARE(events(), 1);
        QVERIFY(readFile(file).contains("Ada"));
        {
            qeltest::SeamScope seams;
            seams.dialogs.expectChoice(QString(), 0)
                .expectSaveFile(file)
                .expectMessage(QStringLiteral("Exported 2 appointment(s)"));
            commands.menuExportIcs_Click();
        }
        QCOMPARE(events(), 2);
        QCOMPARE(qel::Tag(&syncTimer), QString());
    }

    // A bad file: a message naming the file and line, nothing stored, no reload. While another
    // command holds the "Syncing" mark, neither command runs.
    void badFileAndBusyWindow() {
        const QString dir = qeltest::freshStoreDir(QStringLiteral("menu-bad"));
        ol::FolderPtr folder = contactsOf(ol::Application::create(dir));
        const QString bad = mFiles.filePath("bad.vcf");
        writeFile(bad,
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ok;;;;\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\n");
        QTimer syncTimer;
        int reloads = 0;
        qel::VcardCommands commands(folder, &syncTimer, {[&] { ++reloads; }});
        {
            qeltest::SeamScope seams;
            seams.dialogs.expectOpenFile(bad, "Import vCard")
                .expectMessage(bad + ", line 5: the card that begins here has no END:VCARD");
            commands.menuImportVcard_Click();
            QCOMPARE(seams.dialogs.prompts().last().icon, qel::MsgIcon::Critical);
            QVERIFY(seams.dialogs.prompts().last().text.contains("Nothing was imported."));
        }
        QCOMPARE(reloads, 0);
        QCOMPARE(contactsOf(ol::Application::create(dir))->Items()->Count(), 0);
        qel::setTag(&syncTimer, qel::kSyncingTag);
        {
            qeltest::SeamScope seams;
            seams.dialogs.expectMessage("Another operation is running")
                .expectMessage("Another operation is running");
            commands.menuImportVcard_Click();
            commands.menuExportVcard_Click();
        }
        QCOMPARE(qel::Tag(&syncTimer), qel::kSyncingTag); // not theirs to clear
    }
};

QEL_TEST_MAIN(TestVcardMenu)
#include "test_vcard_menu.moc"
