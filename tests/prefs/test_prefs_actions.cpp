// The preferences dialog's buttons: start with the desktop, folder picking, the filter editor,
// the connection test and the provider's web site.

#include "PrefsTesting.h"
#include "exchange/frmFilter.h"
#include "prefs/Autostart.h"
#include "prefs/frmPrefs.h"
#include "support/SeamScope.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

using qel::frmFilter;
using qel::frmPrefs;

namespace {
QString readEntry() {
    QFile file(qel::autostart::entryPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
QString execOf(const QString& entry) {
    for (const QString& line : entry.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Exec=")))
            return line.mid(5);
    }
    return {};
}
} // namespace

class PrefsActionsTest : public QObject {
    Q_OBJECT

    QTemporaryDir mStoreDir;
    ol::ApplicationPtr mApp;
    std::shared_ptr<prefstest::PickingStoreUi> mUi = std::make_shared<prefstest::PickingStoreUi>();

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(mStoreDir.isValid());
        mApp = ol::Application::create(mStoreDir.path());
        mApp->setUi(mUi);
        auto personal = mApp->GetNamespace()->Folders()->Item(QStringLiteral("Personal Folders"));
        personal->Folders()->Add(QStringLiteral("Family"), ol::olAppointmentItem);
        personal->Folders()
            ->Item(QStringLiteral("Calendar"))
            ->Folders()
            ->Add(QStringLiteral("Deep"), ol::olAppointmentItem);
        mApp->GetNamespace()
            ->Folders()
            ->Add(QStringLiteral("Work Store"))
            ->Folders()
            ->Add(QStringLiteral("Jobs"), ol::olTaskItem);
    }
    void init() {
        prefstest::freshSettings(QStringLiteral("actions"));
        QFile::remove(qel::autostart::entryPath());
        mUi->answer = nullptr;
        mUi->calls = 0;
    }

    void loadWithTheDesktopTogglesTheEntry() {
        qeltest::SeamScope seams;
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                    .startsWith(qeltest::sandboxRoot()));
        seams.dialogs.expectMessage(QStringLiteral("Vantrel will now load when you log in to the desktop."));
        seams.dialogs.expectMessage(QStringLiteral("Vantrel will not load when you log in to the desktop."));
        frmPrefs prefs;
        QCOMPARE(prefs.cmdStartup->text(), QStringLiteral("Load at login"));

        QTest::mouseClick(prefs.cmdStartup, Qt::LeftButton);
        QCOMPARE(prefs.cmdStartup->text(), QStringLiteral("Don't load at login"));
        QVERIFY(qel::autostart::isEnabled());
        const QString entry = readEntry();
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(entry.contains(QStringLiteral("\nType=Application\n")));
        QCOMPARE(execOf(entry), qel::autostart::execLine(QCoreApplication::applicationFilePath()));
        QVERIFY(execOf(entry).endsWith(QStringLiteral(" m")));
        QVERIFY(execOf(entry).contains(QFileInfo(QCoreApplication::applicationFilePath()).fileName()));

        // A dialog created now sees the entry; Cancel does not undo it.
        {
            frmPrefs second;
            QCOMPARE(second.cmdStartup->text(), QStringLiteral("Don't load at login"));
            second.cmdCancel->click();
        }
        QVERIFY(QFile::exists(qel::autostart::entryPath()));

        QTest::mouseClick(prefs.cmdStartup, Qt::LeftButton);
        QCOMPARE(prefs.cmdStartup->text(), QStringLiteral("Load at login"));
        QVERIFY(!QFile::exists(qel::autostart::entryPath()));
        QVERIFY(seams.dialogs.verify());
        QVERIFY(prefstest::settingsBytes().isEmpty()); // not a setting of the store
    }

    void anEntryTheDesktopHidesCountsAsOff() {
        QDir().mkpath(QFileInfo(qel::autostart::entryPath()).absolutePath());
        QFile file(qel::autostart::entryPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nExec=somewhere m\nHidden=true\n");
        file.close();
        QVERIFY(!qel::autostart::isEnabled());
        frmPrefs prefs;
        QCOMPARE(prefs.cmdStartup->text(), QStringLiteral("Load at login"));
        // Turning it on replaces the hidden entry with a live one.
        QVERIFY(qel::autostart::enable(nullptr, QStringLiteral("/opt/vantrel/QEL")));
        QVERIFY(qel::autostart::isEnabled());
        QVERIFY(!readEntry().contains(QStringLiteral("Hidden")));
    }

    void execLineQuotesWhatTheDesktopWouldSplit() {
        using qel::autostart::execLine;
        QCOMPARE(execLine(QStringLiteral("/usr/bin/qel")), QStringLiteral("/usr/bin/qel m"));
        QCOMPARE(execLine(QStringLiteral("/home/a b/qel")), QStringLiteral("\"/home/a b/qel\" m"));
        // Inside quotes $ and " are escaped with a backslash, which the value escaping doubles.
        QCOMPARE(execLine(QStringLiteral("/x/$HOME\"q")), QStringLiteral("\"/x/\\\\$HOME\\\\\"q\" m"));
        QCOMPARE(execLine(QStringLiteral("/x/100%/qel")), QStringLiteral("/x/100%%/qel m"));
    }

    void aStartEntryThatCannotBeWrittenIsReported() {
        qeltest::SeamScope seams;
        // The autostart folder is taken by a plain file.
        const QString folder = QFileInfo(qel::autostart::entryPath()).absolutePath();
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        seams.dialogs.expectMessage(
            QStringLiteral("Vantrel could not be set to load when you log in to the desktop: "));
        frmPrefs prefs;
        prefs.cmdStartup->click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(prefs.cmdStartup->text(), QStringLiteral("Load at login"));
        QVERIFY(!qel::autostart::isEnabled());
        QFile::remove(folder);
    }

    void pickingACalendar() {
        qeltest::SeamScope seams;
        auto ns = mApp->GetNamespace();
        frmPrefs prefs(ns);
        QVERIFY(prefs.cmdPickCalendar->isEnabled());

        // Cancelled: nothing changes, nothing is said.
        prefs.cmdPickCalendar->click();
        QCOMPARE(mUi->calls, 1);
        QCOMPARE(prefs.txtCalendar->text(), QStringLiteral("Calendar"));
        QVERIFY(seams.dialogs.prompts().isEmpty());

        // A folder of another type.
        mUi->answer = ns->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        seams.dialogs.expectMessage(QStringLiteral("Please select a calendar folder type."));
        prefs.cmdPickCalendar->click();
        QCOMPARE(prefs.txtCalendarRoot->text(), QStringLiteral("Personal Folders"));
        QCOMPARE(prefs.txtCalendar->text(), QStringLiteral("Calendar"));

        // A calendar: its parent's name and its own name.
        mUi->answer = ns->folderByPath(QStringLiteral("Personal Folders\\Family"));
        prefs.cmdPickCalendar->click();
        QCOMPARE(prefs.txtCalendarRoot->text(), QStringLiteral("Personal Folders"));
        QCOMPARE(prefs.txtCalendar->text(), QStringLiteral("Family"));

        // A calendar below another folder cannot be named by root and folder: refused here.
        mUi->answer = ns->folderByPath(QStringLiteral("Personal Folders\\Calendar\\Deep"));
        seams.dialogs.expectMessage(
            QStringLiteral("Please select a folder directly inside a top-level folder"));
        prefs.cmdPickCalendar->click();
        QCOMPARE(prefs.txtCalendar->text(), QStringLiteral("Family"));
        QVERIFY(seams.dialogs.verify());

        // The picked folder passes the folder check of OK.
        prefs.cmdOK->click();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(qel::GetSetting("DataFolders", "Calendar"), QStringLiteral("Family"));
    }

    void pickingTasksAndNotes() {
        qeltest::SeamScope seams;
        auto ns = mApp->GetNamespace();
        frmPrefs prefs(ns);
        mUi->answer = ns->folderByPath(QStringLiteral("Work Store\\Jobs"));
        prefs.cmdPickTask->click();
        QCOMPARE(prefs.txtTaskRoot->text(), QStringLiteral("Work Store"));
        QCOMPARE(prefs.txtTask->text(), QStringLiteral("Jobs"));
        seams.dialogs.expectMessage(QStringLiteral("Please select a notes folder type."));
        prefs.cmdPickNotes->click(); // the task folder is not a notes folder
        seams.dialogs.expectMessage(QStringLiteral("Please select a task folder type."));
        mUi->answer = ns->folderByPath(QStringLiteral("Personal Folders\\Notes"));
        prefs.cmdPickTask->click(); // a notes folder is not a task folder
        prefs.cmdPickNotes->click();
        QCOMPARE(prefs.txtNotesRoot->text(), QStringLiteral("Personal Folders"));
        QCOMPARE(prefs.txtNotes->text(), QStringLiteral("Notes"));
        QCOMPARE(prefs.txtTask->text(), QStringLiteral("Jobs"));
        QVERIFY(seams.dialogs.verify());
    }

    // The CardDAV folders: picked by type, and a typed one that is missing or of another kind holds
    // OK back with a message, so the sync never writes contacts into a calendar.
    void cardDavFoldersArePickedAndChecked() {
        qeltest::SeamScope seams;
        auto ns = mApp->GetNamespace();
        frmPrefs prefs(ns);
        QVERIFY(!prefs.cmdDavPickContacts->isEnabled());
        prefs.chkDavSync->setChecked(true);
        mUi->answer = ns->folderByPath(QStringLiteral("Personal Folders\\Family"));
        seams.dialogs.expectMessage(QStringLiteral("Please select a contact folder type."));
        prefs.cmdDavPickContacts->click();
        QVERIFY(prefs.txtDavContactFolder->text().isEmpty());
        prefs.cmdDavPickCalendar->click();
        QCOMPARE(prefs.txtDavCalendarFolder->text(), QStringLiteral("Personal Folders\\Family"));

        prefs.txtDavContactFolder->setText(QStringLiteral("Personal Folders\\Calendar"));
        seams.dialogs.expectMessage(
            QStringLiteral("CardDAV / CalDAV: \"Personal Folders\\Calendar\" is not a contact folder."));
        prefs.cmdOK->click();
        prefs.txtDavContactFolder->setText(QStringLiteral("Personal Folders\\Friends"));
        seams.dialogs.expectMessage(
            QStringLiteral("CardDAV / CalDAV: there is no folder \"Personal Folders\\Friends\"."));
        prefs.cmdOK->click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(prefs.result(), int(QDialog::Rejected));
        QVERIFY(qel::GetSetting("CardDAV", "ContactFolder").isEmpty());

        mUi->answer = ns->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        prefs.cmdDavPickContacts->click();
        prefs.cmdOK->click();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(qel::GetSetting("CardDAV", "ContactFolder"), QStringLiteral("Personal Folders\\Contacts"));
        QCOMPARE(qel::GetSetting("CardDAV", "CalendarFolder"), QStringLiteral("Personal Folders\\Family"));
    }

    void withoutAStoreTheFolderChecksAreSkipped() {
        qeltest::SeamScope seams;
        frmPrefs prefs; // no store
        prefs.txtCalendarRoot->setText(QStringLiteral("Gone"));
        prefs.cmdPickCalendar->click(); // disabled: does nothing
        prefs.cmdOK->click();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(qel::GetSetting("DataFolders", "CalendarRoot"), QStringLiteral("Gone"));
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    void modifyEditsTheHiddenFilterBoxes() {
        qeltest::SeamScope seams;
        frmPrefs prefs;
        prefs.txtExportContactSQL->setText(QStringLiteral("[Categories] = 'A'"));
        prefs.txtImportNotesSQL->setText(QStringLiteral("[Subject] = 'N'"));
        prefs.txtCalendarRange->setText(QStringLiteral("6"));
        QStringList seenByEditor;
        seams.dialogs.expectExec(
            [&](QDialog& dialog) {
                auto& filter = dynamic_cast<frmFilter&>(dialog);
                seenByEditor << filter.txtExportContactSQL->text() << filter.txtImportNotesSQL->text()
                             << filter.txtDateRange->text();
                filter.txtExportCalendarSQL->setText(QStringLiteral("[Location] = 'Home'"));
                filter.txtImportNotesSQL->clear();
                filter.txtDateRange->setText(QStringLiteral("-2.5"));
                filter.cmdOk->click();
                return filter.result();
            },
            QStringLiteral("frmFilter"));
        prefs.cmdModify->click();
        QCOMPARE(seenByEditor, (QStringList{"[Categories] = 'A'", "[Subject] = 'N'", "6"}));
        QCOMPARE(prefs.txtExportCalendarSQL->text(), QStringLiteral("[Location] = 'Home'"));
        QCOMPARE(prefs.txtExportContactSQL->text(), QStringLiteral("[Categories] = 'A'"));
        QCOMPARE(prefs.txtImportNotesSQL->text(), QString());
        QCOMPARE(prefs.txtCalendarRange->text(), QStringLiteral("2"));

        // Cancel in the editor copies nothing back.
        seams.dialogs.expectExec([](QDialog& dialog) {
            auto& filter = dynamic_cast<frmFilter&>(dialog);
            filter.txtExportContactSQL->setText(QStringLiteral("changed"));
            filter.txtDateRange->setText(QStringLiteral("9"));
            filter.cmdCancel->click();
            return filter.result();
        });
        prefs.cmdModify->click();
        QCOMPARE(prefs.txtExportContactSQL->text(), QStringLiteral("[Categories] = 'A'"));
        QCOMPARE(prefs.txtCalendarRange->text(), QStringLiteral("2"));
        QVERIFY(seams.dialogs.verify());
    }

    void testFtpWaitsForTheSyncClient() {
        qeltest::SeamScope seams;
        frmPrefs prefs;
        prefs.chkSync->setChecked(true);
        QVERIFY(!prefs.cmdTestFTP->isEnabled());
        prefs.cmdTestFTP->click(); // nothing happens without the client
        QVERIFY(seams.dialogs.prompts().isEmpty());

        QList<bool> enabledDuringTest;
        bool answer = true;
        prefs.testFtp = [&] {
            enabledDuringTest << prefs.isEnabled() << prefs.cmdTestFTP->isEnabled();
            return answer;
        };
        prefs.show(); // picks up the hook
        QVERIFY(prefs.cmdTestFTP->isEnabled());
        seams.dialogs.expectMessage(QStringLiteral("FTP settings are okay!"));
        prefs.cmdTestFTP->click();
        answer = false;
        seams.dialogs.expectMessage(
            QStringLiteral("Could not connect to the FTP: Please check the host, user name, "
                           "port number or password. Also try toggling passive mode."));
        prefs.cmdTestFTP->click();
        QCOMPARE(enabledDuringTest, (QList<bool>{false, false, false, false}));
        QVERIFY(prefs.isEnabled() && prefs.cmdTestFTP->isEnabled());

        // A port that is no port is refused before any connection is tried.
        prefs.txtPort->setText(QStringLiteral("70000"));
        seams.dialogs.expectMessage(QStringLiteral("Please choose a port number between 1 and 65535!"));
        prefs.cmdTestFTP->click();
        QCOMPARE(enabledDuringTest.size(), 4);
        QVERIFY(seams.dialogs.verify());

        prefs.chkSync->setChecked(false);
        QVERIFY(!prefs.cmdTestFTP->isEnabled());
    }

    void vonageLabelOpensTheWebSite() {
        qeltest::SeamScope seams;
        frmPrefs prefs;
        Q_EMIT prefs.Vonage->linkActivated(frmPrefs::kVonageSite);
        QCOMPARE(seams.shell.opened(), QStringList{frmPrefs::kVonageSite});
        seams.shell.setResult(false);
        seams.dialogs.expectMessage(QStringLiteral("could not be opened"));
        prefs.Vonage_Click();
        QVERIFY(seams.dialogs.verify());
    }
};

QEL_TEST_MAIN(PrefsActionsTest)
#include "test_prefs_actions.moc"
