// OK and Cancel of the preferences dialog: every refusal leaves the settings file as it was,
// a full OK writes every key, Cancel writes nothing.

#include "PrefsTesting.h"
#include "core/DebugLog.h"
#include "core/Passwords.h"
#include "platform/ProgramFolder.h"
#include "prefs/PrefsLists.h"
#include "prefs/frmPrefs.h"
#include "support/SeamScope.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <functional>

using qel::frmPrefs;
using qel::GetSetting;
using qel::SaveSetting;

namespace {

using Setup = std::function<void(frmPrefs&)>;

void syncOn(frmPrefs& p) {
    p.chkSync->setChecked(true);
}

bool markedRow(const frmPrefs& prefs, int row) {
    return prefs.lblColor[size_t(row)]->font().bold();
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class PrefsOkTest : public QObject {
    Q_OBJECT

    QTemporaryDir mStoreDir;
    ol::ApplicationPtr mApp;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(mStoreDir.isValid());
        mApp = ol::Application::create(mStoreDir.path());
        // A second store to point the folders at.
        auto archive = mApp->GetNamespace()->Folders()->Add(QStringLiteral("Archive"));
        archive->Folders()->Add(QStringLiteral("Old Calendar"), ol::olAppointmentItem);
        archive->Folders()->Add(QStringLiteral("Old Notes"), ol::olNoteItem);
    }
    void init() {
        prefstest::freshSettings(QStringLiteral("ok"));
        SaveSetting("Misc", "Me", "Alex Example"); // the file exists before OK
        QFile::remove(qel::programFile(QStringLiteral("Debug.txt")));
    }

    void refusals_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("message");
        const QString tail = QStringLiteral(". Please try a different folder. Click the Data Folders tab and "
                                            "click the appropriate Select Button.");

        QTest::newRow("missing root") << Setup([](frmPrefs& p) { p.txtTaskRoot->setText("Nowhere"); })
                                      << QStringLiteral("No such root folder named: Nowhere") + tail;
        QTest::newRow("missing calendar") << Setup([](frmPrefs& p) { p.txtCalendar->setText("Kalender"); })
                                          << QStringLiteral("No such calendar folder named: Kalender") + tail;
        QTest::newRow("missing tasks") << Setup([](frmPrefs& p) { p.txtTask->setText("To Do"); })
                                       << QStringLiteral("No such task folder named: To Do") + tail;
        QTest::newRow("missing notes") << Setup([](frmPrefs& p) {
            p.txtNotesRoot->setText("Archive");
            p.txtNotes->setText("Notes");
        }) << QStringLiteral("No such notes folder named: Notes") + tail;

        QTest::newRow("restore key without modifier")
            << Setup([](frmPrefs& p) { p.chkHotkey->setChecked(true); })
            << QStringLiteral("Please select at least one modifier to restore QEL when minimized!");
        QTest::newRow("restore modifier without key") << Setup([](frmPrefs& p) {
            p.chkHotkey->setChecked(true);
            p.chkMod[1]->setChecked(true);
            p.cmbHotkey->setCurrentIndex(-1);
        }) << QStringLiteral("Please select a hotkey!");
        QTest::newRow("e-mail key not chosen") << Setup([](frmPrefs& p) {
            p.chkEmail->setChecked(true);
            p.chkModEmail[0]->setChecked(true);
        }) << QStringLiteral("Please select a Copy2Email hotkey!");
        QTest::newRow("e-mail key without modifier") << Setup([](frmPrefs& p) {
            p.chkEmail->setChecked(true);
            p.cmbHotkeyEmail->setCurrentIndex(3);
        }) << QStringLiteral("Please select at least one modifier for Copy2Email!");
        QTest::newRow("copy-to-call without modifier") << Setup([](frmPrefs& p) {
            p.chkVonage->setChecked(true);
            p.chkCopy2Call->setChecked(true);
        }) << QStringLiteral("Please select at least one modifier for copy2call!");
        QTest::newRow("copy-to-call without key") << Setup([](frmPrefs& p) {
            p.chkVonage->setChecked(true);
            p.chkCopy2Call->setChecked(true);
            p.chkModCopy[2]->setChecked(true);
            p.cmbHotkeyCopy->setCurrentIndex(-1);
        }) << QStringLiteral("Please select a hotkey!");
        QTest::newRow("copy-to-call equals restore key, restore off") << Setup([](frmPrefs& p) {
            p.chkVonage->setChecked(true);
            p.chkCopy2Call->setChecked(true);
            p.chkModCopy[2]->setChecked(true);
            p.chkModCopy[3]->setChecked(true);
            p.cmbHotkeyCopy->setCurrentIndex(50);
            p.chkMod[2]->setChecked(true);
            p.chkMod[3]->setChecked(true);
            p.cmbHotkey->setCurrentIndex(50);
        }) << QStringLiteral("The same hotkey is being used to restore Vantrel. Please choose a new hotkey");

        // The key list names PAGE UP at two positions: the chords are compared, not the positions.
        const auto& keys = qel::prefs::hotKeyList();
        QCOMPARE(keys[13].code, keys[14].code);
        QCOMPARE(keys[15].code, keys[16].code);
        QTest::newRow("copy-to-call equals restore key at another position, restore off")
            << Setup([](frmPrefs& p) {
                   p.chkVonage->setChecked(true);
                   p.chkCopy2Call->setChecked(true);
                   p.chkModCopy[3]->setChecked(true);
                   p.cmbHotkeyCopy->setCurrentIndex(13);
                   p.chkMod[3]->setChecked(true);
                   p.cmbHotkey->setCurrentIndex(14);
               })
            << QStringLiteral("The same hotkey is being used to restore Vantrel. Please choose a new hotkey");
        QTest::newRow("e-mail key equals restore key")
            << Setup([](frmPrefs& p) {
                   p.chkHotkey->setChecked(true);
                   p.chkMod[3]->setChecked(true);
                   p.cmbHotkey->setCurrentIndex(p.cmbHotkey->findText(QStringLiteral("C key.")));
                   p.chkEmail->setChecked(true);
                   p.chkModEmail[3]->setChecked(true);
                   p.cmbHotkeyEmail->setCurrentIndex(p.cmbHotkeyEmail->findText(QStringLiteral("C key.")));
               })
            << QStringLiteral("The Copy2Email hotkey is the same as the hotkey that restores Vantrel. Please "
                              "choose a new Copy2Email hotkey!");
        QTest::newRow("copy-to-call equals e-mail key at another position")
            << Setup([](frmPrefs& p) {
                   p.chkVonage->setChecked(true);
                   p.chkCopy2Call->setChecked(true);
                   p.chkModCopy[1]->setChecked(true);
                   p.chkModCopy[2]->setChecked(true);
                   p.cmbHotkeyCopy->setCurrentIndex(15);
                   p.chkEmail->setChecked(true);
                   p.chkModEmail[1]->setChecked(true);
                   p.chkModEmail[2]->setChecked(true);
                   p.cmbHotkeyEmail->setCurrentIndex(16);
               })
            << QStringLiteral(
                   "The copy2call hotkey is the same as the Copy2Email hotkey. Please choose a new "
                   "hotkey for copy2call!");

        QTest::newRow("sync without items")
            << Setup([](frmPrefs& p) {
                   syncOn(p);
                   p.chkData[0]->setChecked(false);
               })
            << QStringLiteral(
                   "Outlook data sync is enabled but you do not have any items selected to sync. Please "
                   "select some items to sync or disable Outlook Data Sync.");
        const QString portText =
            QStringLiteral("Please choose a number for the FTP port!  This is typically port 21.");
        const QString portRange = QStringLiteral("Please choose a port number between 1 and 65535!");
        for (const char* port : {"abc", "", "21.5", "2 1"})
            QTest::addRow("port '%s'", port) << Setup([port](frmPrefs& p) {
                syncOn(p);
                p.txtPort->setText(QLatin1String(port));
            }) << portText;
        for (const char* port : {"0", "65536", "-21", "1e9"})
            QTest::addRow("port %s", port) << Setup([port](frmPrefs& p) {
                syncOn(p);
                p.txtPort->setText(QLatin1String(port));
            }) << portRange;
        const QString intervalText = QStringLiteral("Please choose a number for sync time!");
        const QString intervalRange =
            QStringLiteral("Please choose a number between 0 and 40320 (4 weeks) for sync time!");
        for (const auto& [interval, message] : {std::pair{"-1", intervalRange},
                                                {"40321", intervalRange},
                                                {"thirty", intervalText},
                                                {"2.5", intervalText}})
            QTest::addRow("interval '%s'", interval) << Setup([interval = interval](frmPrefs& p) {
                syncOn(p);
                p.optSyncTimer[0]->setChecked(true);
                p.txtSync->setText(QLatin1String(interval));
            }) << message;
    }

    // Each refusal shows its one message, leaves the dialog open with OK enabled, and writes nothing.
    void refusals() {
        QFETCH(Setup, setup);
        QFETCH(QString, message);
        qeltest::SeamScope seams;
        seams.dialogs.expectMessage(message);
        frmPrefs prefs(mApp->GetNamespace());
        bool rebuilt = false;
        prefs.rebuildMainWindow = [&] { rebuilt = true; };
        setup(prefs);
        prefs.show();
        const QByteArray before = prefstest::settingsBytes();
        QTest::mouseClick(prefs.cmdOK, Qt::LeftButton);
        QCOMPARE(seams.dialogs.texts(), QStringList{message});
        QVERIFY(prefs.isVisible());
        QVERIFY(prefs.cmdOK->isEnabled());
        QVERIFY(prefs.result() != QDialog::Accepted);
        QVERIFY(!rebuilt);
        QCOMPARE(prefstest::settingsBytes(), before);
    }

    // Keys that differ in one modifier, and an e-mail or copy-to-call key equal to a key that is
    // turned off, are accepted.
    void hotKeysThatCannotClashAreAccepted() {
        struct Case {
            const char* name;
            bool restoreOn, emailOn, copyOn;
            std::array<bool, 4> restoreMods, emailMods, copyMods;
        };
        const std::array<bool, 4> ctrl{false, false, false, true};
        const std::array<bool, 4> ctrlShift{false, true, false, true};
        for (const Case& c :
             {Case{"e-mail equals restore, restore off", false, true, false, ctrl, ctrl, ctrl},
              Case{"copy equals e-mail, e-mail off", false, false, true, ctrlShift, ctrl, ctrl},
              Case{"one modifier more", true, true, true, ctrl, ctrlShift, {true, false, false, true}}}) {
            prefstest::freshSettings(QStringLiteral("chords"));
            qeltest::SeamScope seams;
            frmPrefs prefs;
            const int keyC = prefs.cmbHotkey->findText(QStringLiteral("C key."));
            prefs.chkHotkey->setChecked(c.restoreOn);
            prefs.chkEmail->setChecked(c.emailOn);
            prefs.chkVonage->setChecked(true);
            prefs.chkCopy2Call->setChecked(c.copyOn);
            for (size_t i = 0; i < 4; ++i) {
                prefs.chkMod[i]->setChecked(c.restoreMods[i]);
                prefs.chkModEmail[i]->setChecked(c.emailMods[i]);
                prefs.chkModCopy[i]->setChecked(c.copyMods[i]);
            }
            for (QComboBox* list : {prefs.cmbHotkey, prefs.cmbHotkeyEmail, prefs.cmbHotkeyCopy})
                list->setCurrentIndex(keyC);
            prefs.cmdOK->click();
            QVERIFY2(prefs.result() == QDialog::Accepted, c.name);
            QVERIFY2(seams.dialogs.prompts().isEmpty(), c.name);
        }
    }

    void masterRefusedByTheServerWritesNothing() {
        qeltest::SeamScope seams;
        frmPrefs prefs(mApp->GetNamespace());
        int asked = 0;
        bool heldWhileAsking = false;
        prefs.becomeMaster = [&] {
            ++asked;
            heldWhileAsking = !prefs.cmdOK->isEnabled(); // OK is held while the server is asked
            return false;
        };
        syncOn(prefs);
        prefs.optMode[0]->setChecked(true);
        prefs.show();
        const QByteArray before = prefstest::settingsBytes();
        QTest::mouseClick(prefs.cmdOK, Qt::LeftButton);
        QCOMPARE(asked, 1);
        QVERIFY(heldWhileAsking);
        QVERIFY(prefs.isVisible() && prefs.cmdOK->isEnabled());
        QCOMPARE(prefstest::settingsBytes(), before);
    }

    void masterIsAskedForOnlyOnAChangeToMaster() {
        struct Case {
            const char* stored;
            bool master;
            bool sync;
            int expectedCalls;
        };
        for (const Case& c :
             {Case{"Slave", true, true, 1}, Case{"", true, true, 1}, Case{"Master", true, true, 0},
              Case{"Master", false, true, 0}, Case{"Slave", true, false, 0}}) {
            prefstest::freshSettings(QStringLiteral("master"));
            if (*c.stored)
                SaveSetting("OutlookDataSync", "SyncMode", c.stored);
            qeltest::SeamScope seams;
            frmPrefs prefs;
            int calls = 0;
            prefs.becomeMaster = [&] {
                ++calls;
                return true;
            };
            prefs.chkSync->setChecked(c.sync);
            prefs.optMode[c.master ? 0 : 1]->setChecked(true);
            prefs.cmdOK->click();
            QCOMPARE(calls, c.expectedCalls);
            QCOMPARE(prefs.result(), int(QDialog::Accepted));
            QCOMPARE(GetSetting("OutlookDataSync", "SyncMode"), QString(c.master ? "Master" : "Slave"));
        }
    }

    void masterWithoutTheSyncClientIsSavedAsIs() {
        qeltest::SeamScope seams;
        frmPrefs prefs;
        syncOn(prefs);
        prefs.optMode[0]->setChecked(true);
        prefs.cmdOK->click();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(GetSetting("OutlookDataSync", "SyncMode"), QStringLiteral("Master"));
    }

    void acceptedNumbers() {
        struct Case {
            bool interval;
            const char* port;
            const char* minutes;
            const char* storedPort;
            const char* storedInterval;
        };
        for (const Case& c :
             {Case{true, "021", "0", "21", "0"}, Case{true, " 65535 ", "40320", "65535", "40320"},
              Case{true, "1", "030", "1", "30"},
              // Timed sync: the interval is not looked at and is kept as typed.
              Case{false, "21", "abc", "21", "abc"}, Case{false, "2121", "-1", "2121", "-1"}}) {
            prefstest::freshSettings(QStringLiteral("numbers"));
            qeltest::SeamScope seams;
            frmPrefs prefs;
            syncOn(prefs);
            prefs.optSyncTimer[c.interval ? 0 : 1]->setChecked(true);
            prefs.txtPort->setText(QLatin1String(c.port));
            prefs.txtSync->setText(QLatin1String(c.minutes));
            prefs.cmdOK->click();
            QVERIFY2(prefs.result() == QDialog::Accepted, c.port);
            QCOMPARE(prefs.txtPort->text(), QLatin1String(c.storedPort));
            QCOMPARE(GetSetting("OutlookDataSync", "Port"), QLatin1String(c.storedPort));
            QCOMPARE(GetSetting("OutlookDataSync", "Interval"), QLatin1String(c.storedInterval));
            QCOMPARE(GetSetting("OutlookDataSync", "SyncFireMode"),
                     QString(c.interval ? "Interval" : "Timed"));
        }
    }

    void syncOffSkipsEveryCheckButSavesTheFields() {
        qeltest::SeamScope seams;
        frmPrefs prefs;
        prefs.chkSync->setChecked(false);
        prefs.chkData[0]->setChecked(false);
        prefs.txtPort->setText(QStringLiteral("not a port"));
        prefs.optSyncTimer[0]->setChecked(true);
        prefs.txtSync->setText(QStringLiteral("99999"));
        prefs.txtHost->setText(QStringLiteral("ftp.example.org"));
        prefs.optMode[0]->setChecked(true);
        int masterCalls = 0;
        prefs.becomeMaster = [&] { return ++masterCalls, true; };
        prefs.cmdOK->click();
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(masterCalls, 0);
        QCOMPARE(GetSetting("OutlookDataSync", "Sync"), QStringLiteral("No"));
        QCOMPARE(GetSetting("OutlookDataSync", "Port"), QStringLiteral("not a port"));
        QCOMPARE(GetSetting("OutlookDataSync", "Interval"), QStringLiteral("99999"));
        QCOMPARE(GetSetting("OutlookDataSync", "Host"), QStringLiteral("ftp.example.org"));
        QCOMPARE(GetSetting("OutlookDataSync", "ContactSync"), QStringLiteral("No"));
        QCOMPARE(GetSetting("OutlookDataSync", "SyncMode"), QStringLiteral("Master"));
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    void fullOkWritesEveryKey() {
        qeltest::SeamScope seams;
        frmPrefs prefs(mApp->GetNamespace());
        int rebuilds = 0;
        prefs.rebuildMainWindow = [&] {
            ++rebuilds;
            // The settings are on disk before the main window reads them again.
            QCOMPARE(GetSetting("VOIP", "UserName"), QStringLiteral("alex.voip"));
            QCOMPARE(prefs.result(), int(QDialog::Accepted));
        };
        prefs.chkHotkey->setChecked(true);
        prefs.chkMod[0]->setChecked(true);
        prefs.chkMod[3]->setChecked(true);
        prefs.cmbHotkey->setCurrentIndex(41);
        prefs.chkConfirm->setChecked(true);
        prefs.cmbWebEmail->setCurrentIndex(1);
        prefs.txtCalendarRoot->setText(QStringLiteral("Archive"));
        prefs.txtCalendar->setText(QStringLiteral("Old Calendar"));
        prefs.txtNotesRoot->setText(QStringLiteral("Archive"));
        prefs.txtNotes->setText(QStringLiteral("Old Notes"));
        prefs.cmbField->setCurrentIndex(2);
        prefs.chkQel->setChecked(false);
        prefs.chkPast->setChecked(true);
        prefs.chkCalendarFile->setChecked(true);
        prefs.cmbColor[0]->setCurrentIndex(10);
        syncOn(prefs);
        prefs.optMode[1]->setChecked(true);
        prefs.chkData[1]->setChecked(true);
        prefs.txtHost->setText(QStringLiteral("ftp.example.org"));
        prefs.txtUser->setText(QStringLiteral("alex"));
        prefs.txtOlvex->setText(QStringLiteral("abc"));
        prefs.chkPassive->setChecked(true);
        prefs.cmbSyncTime->setCurrentIndex(24);
        prefs.txtExportContactSQL->setText(QStringLiteral("[Categories] <> 'Private'"));
        prefs.txtCalendarRange->setText(QStringLiteral("3"));
        prefs.chkApptColor->setChecked(true);
        prefs.txtApptSQL[4]->setText(QStringLiteral("[Subject] = 'Lunch'"));
        prefs.chkVonage->setChecked(true);
        prefs.txtUserName->setText(QStringLiteral("alex.voip"));
        prefs.txtPardine->setText(QStringLiteral("Pw 9!"));
        prefs.txtPhoneNumber->setText(QStringLiteral("15551234567"));
        prefs.chkCopy2Call->setChecked(true);
        prefs.chkModCopy[1]->setChecked(true);
        prefs.cmbHotkeyCopy->setCurrentIndex(41); // same key, other modifiers: allowed
        prefs.chkCell[0]->setChecked(true);
        prefs.chkCell[18]->setChecked(true);
        prefs.txtCellSQL->setText(QStringLiteral("[Categories] = 'Work'"));
        prefs.chkEmail->setChecked(true);
        prefs.chkModEmail[2]->setChecked(true);
        prefs.cmbHotkeyEmail->setCurrentIndex(80);
        prefs.cmbFromAddress->setCurrentIndex(1);
        prefs.chkRelease->setChecked(true);
        prefs.show();

        QTest::mouseClick(prefs.cmdOK, Qt::LeftButton);
        QVERIFY(seams.dialogs.prompts().isEmpty());
        QCOMPARE(rebuilds, 1);
        QVERIFY(!prefs.isVisible());

        const QList<std::tuple<const char*, const char*, const char*>> expected = {
            {"General", "ConfirmExit", "Yes"},
            {"General", "SubFolders", "No"},
            {"General", "UseHotkey", "Yes"},
            {"General", "WinKeyMod", "Yes"},
            {"General", "ShiftMod", "No"},
            {"General", "AltMod", "No"},
            {"General", "CtrlMod", "Yes"},
            {"General", "HotKey", "41"},
            {"General", "WebEmail", "1"},
            {"General", "InvertWebEmail", "No"},
            {"DataFolders", "CalendarRoot", "Archive"},
            {"DataFolders", "Calendar", "Old Calendar"},
            {"DataFolders", "TasksRoot", "Personal Folders"},
            {"DataFolders", "Tasks", "Tasks"},
            {"DataFolders", "Notes", "Archive"},       // the notes root, under the crossed key
            {"DataFolders", "NotesRoot", "Old Notes"}, // the notes folder
            {"QELDays", "CustomField", "2"},
            {"QELDays", "CheckForQELDay", "No"},
            {"QELDays", "QELDayRemind", "Yes"},
            {"QELDays", "QELDayScan", "No"},
            {"QELDays", "QELDaySubject", "No"},
            {"QELDays", "QELDayPast", "Yes"},
            {"QELDays", "QELDayCalendarFile", "Yes"},
            {"QELDays", "BirthdayColor", "10"},
            {"QELDays", "AnniversaryColor", "9"},
            {"QELDays", "OtherColor", "2"},
            {"DebugMode", "DebugMode", "No"},
            {"OutlookDataSync", "Sync", "Yes"},
            {"OutlookDataSync", "SyncFireMode", "Timed"},
            {"OutlookDataSync", "Interval", "30"},
            {"OutlookDataSync", "Time", "12:00 PM"},
            {"OutlookDataSync", "SyncMode", "Slave"},
            {"OutlookDataSync", "ContactSync", "Yes"},
            {"OutlookDataSync", "CalendarSync", "Yes"},
            {"OutlookDataSync", "TasksSync", "No"},
            {"OutlookDataSync", "NotesSync", "No"},
            {"OutlookDataSync", "Host", "ftp.example.org"},
            {"OutlookDataSync", "User", "alex"},
            {"OutlookDataSync", "Olvex", "klm"},
            {"OutlookDataSync", "Port", "21"},
            {"OutlookDataSync", "PassiveMode", "Yes"},
            {"OutlookDataSync", "UseTLS", "No"},
            {"OutlookDataSync", "SQLConE", "[Categories] <> 'Private'"},
            {"OutlookDataSync", "SQLConI", ""},
            {"OutlookDataSync", "DateRange", "3"},
            {"AppointmentColors", "ApptColorSync", "Yes"},
            {"AppointmentColors", "Color0", ""},
            {"AppointmentColors", "Color4", "[Subject] = 'Lunch'"},
            {"VOIP", "EnableVonage", "Yes"},
            {"VOIP", "UserName", "alex.voip"},
            {"VOIP", "PhoneNumber", "15551234567"},
            {"VOIP", "EnableCopy2Call", "Yes"},
            {"VOIP", "WinKeyMod", "No"},
            {"VOIP", "ShiftMod", "Yes"},
            {"VOIP", "HotKey", "41"},
            {"CellPhone", "CellField0", "Yes"},
            {"CellPhone", "CellField1", "No"},
            {"CellPhone", "CellField18", "Yes"},
            {"CellPhone", "CellSQL", "[Categories] = 'Work'"},
            {"Misc", "UseEmailHotkey", "Yes"},
            {"Misc", "WinKeyModEmail", "No"},
            {"Misc", "AltModEmail", "Yes"},
            {"Misc", "EmailHotKey", "80"},
            {"Misc", "FromAddressType", "1"},
            {"Misc", "Release", "Yes"},
            {"Misc", "Me", "Alex Example"}, // shown only, never written by the dialog
        };
        for (const auto& [section, key, value] : expected)
            QVERIFY2(GetSetting(section, key) == QLatin1String(value),
                     qPrintable(QStringLiteral("%1/%2 = %3").arg(section, key, GetSetting(section, key))));
        // The VoIP password is stored scrambled and reads back as typed.
        QCOMPARE(GetSetting("VOIP", "Pardine").size(), 5);
        QVERIFY(GetSetting("VOIP", "Pardine") != QStringLiteral("Pw 9!"));
        QCOMPARE(qel::unscramblePassword(GetSetting("VOIP", "Pardine")), QStringLiteral("Pw 9!"));
        // Every key of every section is there: 10 + 6 + 10 + 1 + 24 + 12 + 10 + 20 + 8 + 9 (CardDAV),
        // and Me.
        QCOMPARE(prefstest::storedKeys().size(), 110 + 1);
        QCOMPARE(GetSetting("CardDAV", "DavSync"), QStringLiteral("No"));

        // A dialog created afresh shows what was confirmed.
        frmPrefs again(mApp->GetNamespace());
        QCOMPARE(again.cmbHotkey->currentIndex(), 41);
        QVERIFY(again.chkMod[0]->isChecked() && again.chkMod[3]->isChecked() &&
                !again.chkMod[1]->isChecked());
        QCOMPARE(again.txtNotesRoot->text(), QStringLiteral("Archive"));
        QCOMPARE(again.txtNotes->text(), QStringLiteral("Old Notes"));
        QCOMPARE(again.txtOlvex->text(), QStringLiteral("abc"));
        QCOMPARE(again.txtPardine->text(), QStringLiteral("Pw 9!"));
        QCOMPARE(again.cmbSyncTime->currentText(), QStringLiteral("12:00 PM"));
        QCOMPARE(again.cmbHotkeyEmail->currentIndex(), 80);
        QCOMPARE(again.cmbColor[0]->currentIndex(), 10);
        QVERIFY(!again.chkQel->isChecked());
        QCOMPARE(again.txtApptSQL[4]->text(), QStringLiteral("[Subject] = 'Lunch'"));
        QCOMPARE(again.txtExportContactSQL->text(), QStringLiteral("[Categories] <> 'Private'"));
    }

    void noEmailKeyChosenIsKeptAsNone() {
        qeltest::SeamScope seams;
        {
            frmPrefs prefs;
            prefs.cmdOK->click();
            QCOMPARE(prefs.result(), int(QDialog::Accepted));
        }
        frmPrefs again;
        QCOMPARE(again.cmbHotkeyEmail->currentIndex(), -1);
    }

    void debugModeIsFramedInTheLog() {
        qeltest::SeamScope seams;
        const QString log = qel::programFile(QStringLiteral("Debug.txt"));
        const QString stamp = qel::debugDateTime(); // the fake clock stands still
        const QByteArray underscores(28, '_');
        {
            frmPrefs prefs;
            prefs.chkDebug->setChecked(true);
            prefs.cmdOK->click();
        }
        QCOMPARE(GetSetting("DebugMode", "DebugMode"), QStringLiteral("Yes"));
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), underscores + "\r\n\r\nDebugging Started: " + stamp.toLatin1() + "\r\n\r\n");
        file.close();
        QFile::remove(log);
        {
            frmPrefs prefs;
            QVERIFY(prefs.chkDebug->isChecked());
            prefs.chkDebug->setChecked(false);
            prefs.cmdOK->click();
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 "Debugging Ended:" + stamp.toLatin1() + "\r\n\r\n" + underscores + "\r\n\r\n");
        file.close();
        QFile::remove(log);
        {
            frmPrefs prefs; // off and stored off: nothing to frame
            prefs.cmdOK->click();
        }
        QVERIFY(!QFile::exists(log));
    }

    void aFailedWriteIsReportedAndTheDialogStays() {
        qeltest::SeamScope seams;
        // The settings file's folder is a plain file: nothing can be written.
        const QString blocker = qeltest::sandboxRoot() + QStringLiteral("/not-a-folder");
        QFile block(blocker);
        QVERIFY(block.open(QIODevice::WriteOnly));
        block.close();
        qel::setSettingsFile(blocker + QStringLiteral("/QEL.ini"));
        seams.dialogs.expectMessage(QStringLiteral("Your settings could not all be saved: "));
        frmPrefs prefs;
        bool rebuilt = false;
        prefs.rebuildMainWindow = [&] { rebuilt = true; };
        prefs.show();
        prefs.cmdOK->click();
        QVERIFY(seams.dialogs.verify());
        QVERIFY(prefs.isVisible() && prefs.cmdOK->isEnabled());
        QVERIFY(!rebuilt);
    }

    // A damaged settings file is copied aside and rewritten whole: OK closes the dialog at once.
    void aDamagedSettingsFileDoesNotHoldOkBack() {
        qeltest::SeamScope seams;
        const QByteArray damaged(
            "[Misc]\nMe=Alex Example\n[General]\nConfirmExit=Yes\nthis line is no setting\n[VOIP\n\x01\x02");
        {
            QFile file(qel::settingsFile());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(damaged);
        }
        frmPrefs prefs;
        QVERIFY(prefs.chkConfirm->isChecked()); // what could be read was read
        int rebuilds = 0;
        prefs.rebuildMainWindow = [&] { ++rebuilds; };
        prefs.txtHost->setText(QStringLiteral("ftp.example.org"));
        prefs.show();
        QTest::mouseClick(prefs.cmdOK, Qt::LeftButton);
        QVERIFY(seams.dialogs.prompts().isEmpty());
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QVERIFY(!prefs.isVisible());
        QCOMPARE(rebuilds, 1);
        QFile copy(qel::settingsFile() + QStringLiteral(".damaged"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), damaged);
        QCOMPARE(GetSetting("General", "ConfirmExit"), QStringLiteral("Yes"));
        QCOMPARE(GetSetting("OutlookDataSync", "Host"), QStringLiteral("ftp.example.org"));
        QCOMPARE(GetSetting("Misc", "Me"), QStringLiteral("Alex Example"));
    }

    void cancelWritesNothingAndRestoresTheColourMarking() {
        SaveSetting("QELDays", "BirthdayColor", "1");
        SaveSetting("QELDays", "AnniversaryColor", "3");
        SaveSetting("QELDays", "OtherColor", "5");
        qeltest::SeamScope seams;
        frmPrefs prefs;
        QVERIFY(markedRow(prefs, 1) && markedRow(prefs, 3) && markedRow(prefs, 5));
        prefs.cmbColor[0]->setCurrentIndex(7);
        prefs.cmbColor[2]->setCurrentIndex(10);
        prefs.txtHost->setText(QStringLiteral("changed"));
        prefs.chkConfirm->setChecked(true);
        QVERIFY(markedRow(prefs, 7) && !markedRow(prefs, 1));
        const QByteArray before = prefstest::settingsBytes();
        prefs.show();
        QTest::mouseClick(prefs.cmdCancel, Qt::LeftButton);
        QVERIFY(!prefs.isVisible());
        QCOMPARE(prefs.result(), int(QDialog::Rejected));
        QCOMPARE(prefstest::settingsBytes(), before);
        for (int row = 1; row <= 10; ++row)
            QCOMPARE(markedRow(prefs, row), row == 1 || row == 3 || row == 5);
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    void closingTheWindowIsCancel() {
        qeltest::SeamScope seams;
        frmPrefs prefs; // nothing stored: the marking of the colours the dialog shows at first
        prefs.cmbColor[1]->setCurrentIndex(4);
        prefs.show();
        const QByteArray before = prefstest::settingsBytes();
        QTest::keyClick(&prefs, Qt::Key_Escape);
        QVERIFY(!prefs.isVisible());
        QCOMPARE(prefstest::settingsBytes(), before);
        QVERIFY(markedRow(prefs, 8) && markedRow(prefs, 9) && markedRow(prefs, 2) && !markedRow(prefs, 4));
    }
};

QEL_TEST_MAIN(PrefsOkTest)
#include "test_prefs_ok.moc"
