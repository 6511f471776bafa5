// Loading the preferences dialog: lists, initial states, stored values and the dependencies
// between its controls.

#include "PrefsTesting.h"
#include "core/Passwords.h"
#include "platform/ProgramFolder.h"
#include "prefs/Autostart.h"
#include "prefs/PrefsLists.h"
#include "prefs/frmPrefs.h"
#include "support/SeamScope.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

using qel::frmPrefs;
using qel::SaveSetting;

namespace {
QStringList itemsOf(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}
} // namespace

class PrefsLoadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { prefstest::freshSettings(QStringLiteral("load")); }

    void freshStoreShowsTheDefaults() {
        qeltest::SeamScope seams;
        frmPrefs prefs;
        QVERIFY(optMode1(prefs)->isChecked());
        QVERIFY(!prefs.optMode[0]->isChecked());
        QVERIFY(prefs.optSyncTimer[1]->isChecked());
        QCOMPARE(prefs.cmbSyncTime->currentText(), QStringLiteral("06:00 AM"));
        QCOMPARE(prefs.txtSync->text(), QStringLiteral("30"));
        QCOMPARE(prefs.txtPort->text(), QStringLiteral("21"));
        QCOMPARE(prefs.txtCalendarRange->text(), QStringLiteral("6"));
        QVERIFY(prefs.chkData[0]->isChecked());
        QVERIFY(!prefs.chkData[1]->isChecked() && !prefs.chkData[2]->isChecked() &&
                !prefs.chkData[3]->isChecked());
        QVERIFY(prefs.chkQel->isChecked());
        QVERIFY(prefs.chkRemind->isChecked());
        QVERIFY(!prefs.chkAutoScan->isChecked() && !prefs.chkSubject->isChecked() &&
                !prefs.chkPast->isChecked());
        QCOMPARE(prefs.cmbColor[0]->currentText(), QStringLiteral("purple"));
        QCOMPARE(prefs.cmbColor[1]->currentText(), QStringLiteral("blue-grey"));
        QCOMPARE(prefs.cmbColor[2]->currentText(), QStringLiteral("blue"));
        QCOMPARE(prefs.cmbFromAddress->currentText(), QStringLiteral("Business Address"));
        QCOMPARE(prefs.cmbWebEmail->currentText(), QStringLiteral("Gmail"));
        QCOMPARE(prefs.cmbField->currentText(), QStringLiteral("User1"));
        QCOMPARE(prefs.txtCalendarRoot->text(), QStringLiteral("Personal Folders"));
        QCOMPARE(prefs.txtCalendar->text(), QStringLiteral("Calendar"));
        QCOMPARE(prefs.txtTaskRoot->text(), QStringLiteral("Personal Folders"));
        QCOMPARE(prefs.txtTask->text(), QStringLiteral("Tasks"));
        QCOMPARE(prefs.txtNotesRoot->text(), QStringLiteral("Personal Folders"));
        QCOMPARE(prefs.txtNotes->text(), QStringLiteral("Notes"));
        QCOMPARE(prefs.cmbHotkey->currentIndex(), 0);
        QCOMPARE(prefs.cmbHotkeyCopy->currentIndex(), 0);
        QCOMPARE(prefs.cmbHotkeyEmail->currentIndex(), -1); // no copy-to-e-mail key chosen
        QCOMPARE(prefs.lblMe->text(), QStringLiteral("The contact currently set as 'you' is: Not Set!"));
        QCOMPARE(prefs.cmdStartup->text(), QStringLiteral("Load at login"));
        QVERIFY(!prefs.chkDebug->isChecked());
        // Loading writes nothing.
        QVERIFY(prefstest::settingsBytes().isEmpty());
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    void initialStatesOfTheDependentControls() {
        frmPrefs prefs;
        for (QWidget* off : std::initializer_list<QWidget*>{
                 prefs.cmbHotkey,   prefs.cmbHotkeyCopy, prefs.cmbHotkeyEmail,  prefs.chkCopy2Call,
                 prefs.txtUserName, prefs.txtPardine,    prefs.txtPhoneNumber,  prefs.chkPassive,
                 prefs.optMode[0],  prefs.optMode[1],    prefs.optSyncTimer[0], prefs.optSyncTimer[1],
                 prefs.cmbSyncTime, prefs.txtHost,       prefs.txtUser,         prefs.txtOlvex,
                 prefs.txtPort,     prefs.txtSync,       prefs.chkAutoScan,     prefs.cmdTestFTP,
                 prefs.chkTLS})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!prefs.chkMod[i]->isEnabled());
            QVERIFY(!prefs.chkModCopy[i]->isEnabled());
            QVERIFY(!prefs.chkModEmail[i]->isEnabled());
            QVERIFY(!prefs.chkData[i]->isEnabled());
        }
        QVERIFY(prefs.txtSync->isHidden() && prefs.lblSync->isHidden());
        QVERIFY(!prefs.cmbSyncTime->isHidden() && !prefs.lblSyncTime->isHidden());
        // The hidden carrier and the hidden filter boxes.
        QVERIFY(prefs.txtDebug->isHidden());
        QVERIFY(!prefs.txtDebug->isEnabled());
        QVERIFY(prefs.txtExportContactSQL->isHidden() && prefs.txtCalendarRange->isHidden());
        QVERIFY(prefs.cmbHotkeyValue->isHidden() && prefs.cmbHotkeyValueCopy->isHidden() &&
                prefs.cmbHotkeyEmailValue->isHidden());
        QCOMPARE(prefs.txtOlvex->echoMode(), QLineEdit::Password);
        QCOMPARE(prefs.txtPardine->echoMode(), QLineEdit::Password);
        // Without a store there is nothing to pick from.
        QVERIFY(!prefs.cmdPickCalendar->isEnabled());
    }

    void tabsFramesAndNames() {
        frmPrefs prefs;
        QCOMPARE(prefs.objectName(), QStringLiteral("frmPrefs"));
        QCOMPARE(prefs.windowTitle(), QStringLiteral("Preferences"));
        const QStringList captions = {"General",
                                      "Data Folders",
                                      "QEL Days",
                                      "Debug Mode",
                                      "Outlook Data Sync",
                                      "Appointment Colors",
                                      "VOIP",
                                      "Cell Phone",
                                      "MISC",
                                      "CardDAV / CalDAV"};
        QCOMPARE(prefs.TabStrip1->count(), 10);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(prefs.TabStrip1->tabText(i), captions[i]);
        QCOMPARE(prefs.TabStrip1->tabToolTip(0), QString());
        QCOMPARE(prefs.TabStrip1->tabToolTip(4), QStringLiteral("Settings for syncing your Outlook data"));
        QCOMPARE(prefs.TabStrip1->tabToolTip(8), QStringLiteral("Misc. settings"));
        // A tab shows its own frame only.
        prefs.show();
        prefs.TabStrip1->setCurrentIndex(5);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(prefs.fmeTab[i]->isVisible(), i == 5);
        QVERIFY(prefs.txtApptSQL[3]->isVisible());
        prefs.TabStrip1->setCurrentIndex(0);
        QVERIFY(!prefs.txtApptSQL[3]->isVisible() && prefs.chkHotkey->isVisible());

        // Every control is found by its design name.
        QStringList names = {"chkHotkey",
                             "cmbHotkey",
                             "cmbHotkeyValue",
                             "chkSubFolders",
                             "cmdStartup",
                             "chkConfirm",
                             "cmbWebEmail",
                             "chkInvert",
                             "txtCalendarRoot",
                             "txtCalendar",
                             "txtTaskRoot",
                             "txtTask",
                             "txtNotesRoot",
                             "txtNotes",
                             "cmdPickCalendar",
                             "cmdPickTask",
                             "cmdPickNotes",
                             "cmbField",
                             "chkQel",
                             "chkRemind",
                             "chkAutoScan",
                             "chkSubject",
                             "chkPast",
                             "chkDebug",
                             "txtDebug",
                             "chkSync",
                             "txtHost",
                             "txtUser",
                             "txtOlvex",
                             "txtPort",
                             "chkPassive",
                             "chkTLS",
                             "cmdTestFTP",
                             "txtSync",
                             "lblSync",
                             "cmbSyncTime",
                             "lblSyncTime",
                             "cmdModify",
                             "txtCalendarRange",
                             "chkApptColor",
                             "chkVonage",
                             "txtUserName",
                             "txtPardine",
                             "txtPhoneNumber",
                             "chkCopy2Call",
                             "cmbHotkeyCopy",
                             "cmbHotkeyValueCopy",
                             "Vonage",
                             "txtCellSQL",
                             "chkRelease",
                             "chkEmail",
                             "cmbHotkeyEmail",
                             "cmbHotkeyEmailValue",
                             "cmbFromAddress",
                             "lblMe",
                             "cmdOK",
                             "cmdCancel",
                             "TabStrip1",
                             "optMode0",
                             "optMode1",
                             "optSyncTimer0",
                             "optSyncTimer1",
                             "txtExportContactSQL",
                             "txtImportNotesSQL"};
        for (int i = 0; i < 4; ++i)
            names << QStringLiteral("chkMod%1").arg(i) << QStringLiteral("chkModCopy%1").arg(i)
                  << QStringLiteral("chkModEmail%1").arg(i) << QStringLiteral("chkData%1").arg(i);
        for (int i = 0; i < 3; ++i)
            names << QStringLiteral("cmbColor%1").arg(i);
        for (int i = 0; i <= 10; ++i)
            names << QStringLiteral("txtApptSQL%1").arg(i) << QStringLiteral("lblColor%1").arg(i);
        for (int i = 0; i <= 18; ++i)
            names << QStringLiteral("chkCell%1").arg(i);
        for (int i = 0; i <= 8; ++i)
            names << QStringLiteral("fmeTab%1").arg(i);
        for (const QString& name : names) {
            const QList<QWidget*> found = prefs.findChildren<QWidget*>(name);
            QVERIFY2(found.size() == 1, qPrintable(name));
        }
        QCOMPARE(prefs.findChild<QCheckBox*>(QStringLiteral("chkCell14")), prefs.chkCell[14]);
        QCOMPARE(prefs.chkCell[14]->text(), QStringLiteral("Assistant's Phone"));
        QCOMPARE(prefs.lblColor[0]->text(), QStringLiteral("#0 No Color"));
        QCOMPARE(prefs.lblColor[10]->text(), QStringLiteral("#10"));
    }

    // The program runs on a desktop of any make: no text of the dialog names Windows as the
    // platform (the "Windows Key" modifier is the key's own name), whether autostart is on or off.
    void noTextNamesWindowsAsThePlatform() {
        const auto texts = [](const frmPrefs& prefs) {
            QStringList all;
            for (const QWidget* w : prefs.findChildren<QWidget*>()) {
                all << w->toolTip();
                if (const auto* button = qobject_cast<const QAbstractButton*>(w))
                    all << button->text();
                if (const auto* text = qobject_cast<const QLabel*>(w))
                    all << text->text();
                if (const auto* box = qobject_cast<const QGroupBox*>(w))
                    all << box->title();
                if (const auto* list = qobject_cast<const QComboBox*>(w)) {
                    for (int i = 0; i < list->count(); ++i)
                        all << list->itemText(i);
                }
            }
            for (int i = 0; i < prefs.TabStrip1->count(); ++i)
                all << prefs.TabStrip1->tabText(i) << prefs.TabStrip1->tabToolTip(i);
            return all;
        };
        QVERIFY(qel::autostart::entryPath().startsWith(qeltest::sandboxRoot()));
        QFile::remove(qel::autostart::entryPath());
        for (int round = 0; round < 2; ++round) {
            frmPrefs prefs;
            QCOMPARE(qel::autostart::isEnabled(), round == 1);
            const QStringList all = texts(prefs);
            QVERIFY(all.contains(prefs.cmdStartup->text()));
            for (const QString& text : all) {
                if (text != QLatin1String("Windows Key"))
                    QVERIFY2(!text.contains(QLatin1String("Windows")), qPrintable(text));
            }
            if (round == 0)
                QVERIFY(qel::autostart::enable(nullptr, QStringLiteral("/opt/vantrel/QEL")));
        }
        QVERIFY(qel::autostart::disable());
    }

    void listsOfTheDialog() {
        frmPrefs prefs;
        QCOMPARE(itemsOf(prefs.cmbColor[1]),
                 (QStringList{"none", "red", "blue", "green", "grey", "orange", "light blue", "beige",
                              "purple", "blue-grey", "yellow"}));
        QCOMPARE(itemsOf(prefs.cmbWebEmail), (QStringList{"Gmail", "Hotmail", "AOL"}));
        QCOMPARE(itemsOf(prefs.cmbFromAddress),
                 (QStringList{"Business Address", "Home Address", "Other Address"}));

        const QStringList times = itemsOf(prefs.cmbSyncTime);
        QCOMPARE(times.size(), 96);
        QCOMPARE(times.first(), QStringLiteral("06:00 AM"));
        QCOMPARE(times.at(1), QStringLiteral("06:15 AM"));
        QCOMPARE(times.at(23), QStringLiteral("11:45 AM"));
        QCOMPARE(times.at(24), QStringLiteral("12:00 PM"));
        QCOMPARE(times.at(28), QStringLiteral("01:00 PM"));
        QCOMPARE(times.at(71), QStringLiteral("11:45 PM"));
        QCOMPARE(times.at(72), QStringLiteral("12:00 AM"));
        QCOMPARE(times.last(), QStringLiteral("05:45 AM"));
        QCOMPARE(QSet<QString>(times.begin(), times.end()).size(), 96);

        // The three hot-key lists are the same 124 entries with the codes at the same positions.
        for (QComboBox* list : {prefs.cmbHotkey, prefs.cmbHotkeyCopy, prefs.cmbHotkeyEmail})
            QCOMPARE(list->count(), 124);
        QCOMPARE(itemsOf(prefs.cmbHotkeyCopy), itemsOf(prefs.cmbHotkey));
        QCOMPARE(itemsOf(prefs.cmbHotkeyEmail), itemsOf(prefs.cmbHotkey));
        QCOMPARE(itemsOf(prefs.cmbHotkeyValue), itemsOf(prefs.cmbHotkeyEmailValue));
        const struct {
            int at;
            int code;
            const char* text;
        } samples[] = {{0, 1, "Left mouse button."},
                       {5, 6, "Second x mouse button (five-button mouse)."},
                       {6, 8, "BACKSPACE key."},
                       {12, 32, "SPACEBAR key."},
                       {13, 33, "PAGE UP key."},
                       {14, 33, "PAGE UP key."},
                       {16, 34, "PAGE DOWN key."},
                       {25, 44, "PRINT SCREEN key."},
                       {28, 48, "0 key."},
                       {38, 65, "A key."},
                       {63, 90, "Z key."},
                       {64, 96, "0 key on the numeric keypad."},
                       {79, 111, "Divide key."},
                       {80, 112, "F1 key."},
                       {103, 135, "F24 key."},
                       {105, 145, "SCROLL LOCK key."},
                       {106, 166, "Browser back key."},
                       {121, 181, "Select media key."},
                       {122, 250, "PLAY key."},
                       {123, 251, "ZOOM key."}};
        for (const auto& s : samples) {
            QCOMPARE(prefs.cmbHotkey->itemText(s.at), QLatin1String(s.text));
            QCOMPARE(prefs.cmbHotkeyValue->itemText(s.at), QString::number(s.code));
        }
        // Codes only grow along the list, apart from the doubled page keys.
        const auto& list = qel::prefs::hotKeyList();
        for (size_t i = 1; i < list.size(); ++i)
            QVERIFY(list[i].code > list[i - 1].code ||
                    (list[i].code == list[i - 1].code && (i == 14 || i == 16)));
        // The twin follows the visible list.
        prefs.cmbHotkeyCopy->setCurrentIndex(40);
        QCOMPARE(prefs.cmbHotkeyValueCopy->currentText(), QStringLiteral("67"));
        QCOMPARE(frmPrefs::hotkeyCode(prefs.cmbHotkeyCopy), 67);
        QCOMPARE(frmPrefs::hotkeyCode(prefs.cmbHotkeyEmail), 0);
    }

    void storedValuesReachTheControls() {
        SaveSetting("General", "UseHotkey", "Yes");
        SaveSetting("General", "AltMod", "Yes");
        SaveSetting("General", "HotKey", "40");
        SaveSetting("General", "WebEmail", "2");
        SaveSetting("DataFolders", "CalendarRoot", "Archive");
        SaveSetting("DataFolders", "Calendar", "Old Calendar");
        SaveSetting("DataFolders", "Notes", "Mailbox");    // the root of the notes folder
        SaveSetting("DataFolders", "NotesRoot", "Sticky"); // the notes folder itself
        SaveSetting("QELDays", "CustomField", "3");
        SaveSetting("QELDays", "CheckForQELDay", "No");
        SaveSetting("QELDays", "QELDayRemind", "Yes");
        SaveSetting("QELDays", "BirthdayColor", "1");
        SaveSetting("DebugMode", "DebugMode", "Yes");
        SaveSetting("OutlookDataSync", "Sync", "Yes");
        SaveSetting("OutlookDataSync", "SyncFireMode", "Interval");
        SaveSetting("OutlookDataSync", "Interval", "90");
        SaveSetting("OutlookDataSync", "Time", "11:45 PM");
        SaveSetting("OutlookDataSync", "SyncMode", "Master");
        SaveSetting("OutlookDataSync", "ContactSync", "No");
        SaveSetting("OutlookDataSync", "CalendarSync", "Yes");
        SaveSetting("OutlookDataSync", "Olvex", qel::scramblePassword("p@ss word"));
        SaveSetting("OutlookDataSync", "Port", "2121");
        SaveSetting("OutlookDataSync", "SQLCalI", "[Location] = 'Home'");
        SaveSetting("OutlookDataSync", "DateRange", "12");
        SaveSetting("AppointmentColors", "Color7", "[Subject] = 'Gym'");
        SaveSetting("VOIP", "EnableVonage", "Yes");
        SaveSetting("VOIP", "EnableCopy2Call", "Yes");
        SaveSetting("VOIP", "ShiftMod", "Yes");
        SaveSetting("VOIP", "Pardine", "klm");
        SaveSetting("CellPhone", "CellField18", "Yes");
        SaveSetting("Misc", "UseEmailHotkey", "Yes");
        SaveSetting("Misc", "CtrlModEmail", "Yes");
        SaveSetting("Misc", "EmailHotKey", "80");
        SaveSetting("Misc", "FromAddressType", "2");
        SaveSetting("Misc", "Me", "Alex Example");

        qeltest::SeamScope seams;
        frmPrefs prefs;
        QVERIFY(prefs.chkHotkey->isChecked() && prefs.chkMod[2]->isChecked() &&
                !prefs.chkMod[0]->isChecked());
        QCOMPARE(prefs.cmbHotkey->currentText(), QStringLiteral("C key."));
        QCOMPARE(prefs.cmbWebEmail->currentText(), QStringLiteral("AOL"));
        QCOMPARE(prefs.txtCalendarRoot->text(), QStringLiteral("Archive"));
        QCOMPARE(prefs.txtCalendar->text(), QStringLiteral("Old Calendar"));
        QCOMPARE(prefs.txtTask->text(), QStringLiteral("Tasks")); // missing: initial text stays
        QCOMPARE(prefs.txtNotesRoot->text(), QStringLiteral("Mailbox"));
        QCOMPARE(prefs.txtNotes->text(), QStringLiteral("Sticky"));
        QCOMPARE(prefs.cmbField->currentText(), QStringLiteral("User4"));
        QVERIFY(!prefs.chkQel->isChecked());
        QVERIFY(prefs.chkRemind->isChecked());
        QCOMPARE(prefs.cmbColor[0]->currentText(), QStringLiteral("red"));
        QCOMPARE(prefs.cmbColor[1]->currentText(), QStringLiteral("blue-grey"));
        QVERIFY(prefs.chkDebug->isChecked());
        QVERIFY(prefs.chkSync->isChecked());
        QVERIFY(prefs.optSyncTimer[0]->isChecked());
        QVERIFY(!prefs.txtSync->isHidden() && prefs.cmbSyncTime->isHidden());
        QCOMPARE(prefs.txtSync->text(), QStringLiteral("90"));
        QCOMPARE(prefs.cmbSyncTime->currentText(), QStringLiteral("11:45 PM"));
        QVERIFY(prefs.optMode[0]->isChecked());
        QVERIFY(!prefs.chkData[0]->isChecked());
        QVERIFY(prefs.chkData[1]->isChecked());
        QCOMPARE(prefs.txtOlvex->text(), QStringLiteral("p@ss word"));
        QCOMPARE(prefs.txtPort->text(), QStringLiteral("2121"));
        QCOMPARE(prefs.txtImportCalendarSQL->text(), QStringLiteral("[Location] = 'Home'"));
        QCOMPARE(prefs.txtCalendarRange->text(), QStringLiteral("12"));
        QCOMPARE(prefs.txtApptSQL[7]->text(), QStringLiteral("[Subject] = 'Gym'"));
        QVERIFY(prefs.chkVonage->isChecked() && prefs.chkCopy2Call->isChecked());
        QVERIFY(prefs.chkModCopy[1]->isChecked() && prefs.chkModCopy[1]->isEnabled());
        QCOMPARE(prefs.txtPardine->text(), QStringLiteral("abc"));
        QVERIFY(prefs.chkCell[18]->isChecked() && !prefs.chkCell[17]->isChecked());
        QVERIFY(prefs.chkEmail->isChecked() && prefs.chkModEmail[3]->isChecked());
        QCOMPARE(prefs.cmbHotkeyEmail->currentText(), QStringLiteral("F1 key."));
        QCOMPARE(prefs.cmbHotkeyEmailValue->currentText(), QStringLiteral("112"));
        QCOMPARE(prefs.cmbFromAddress->currentText(), QStringLiteral("Other Address"));
        QCOMPARE(prefs.lblMe->text(), QStringLiteral("The contact currently set as 'you' is: Alex Example"));
        // The loaded values have run their dependencies.
        QVERIFY(prefs.cmbHotkey->isEnabled() && prefs.cmbHotkeyEmail->isEnabled());
        QVERIFY(prefs.txtHost->isEnabled() && prefs.chkAutoScan->isEnabled());
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    void flagsTestedAgainstNoAreOnForAnythingElse() {
        for (const char* stored : {"Yes", "", "yes", "No"}) {
            prefstest::freshSettings(QStringLiteral("flags"));
            if (*stored) {
                SaveSetting("OutlookDataSync", "ContactSync", stored);
                SaveSetting("QELDays", "CheckForQELDay", stored);
                SaveSetting("QELDays", "QELDayRemind", stored);
                SaveSetting("OutlookDataSync", "CalendarSync", stored);
            }
            frmPrefs prefs;
            const bool on = QByteArray(stored) != "No";
            QCOMPARE(prefs.chkData[0]->isChecked(), on);
            QCOMPARE(prefs.chkQel->isChecked(), on);
            QCOMPARE(prefs.chkRemind->isChecked(), on);
            // A flag tested against "Yes" is on for "Yes" only.
            QCOMPARE(prefs.chkData[1]->isChecked(), QByteArray(stored) == "Yes");
        }
    }

    void damagedListPositionsLeaveTheInitialChoice() {
        SaveSetting("General", "HotKey", "124");
        SaveSetting("General", "WebEmail", "-1");
        SaveSetting("QELDays", "BirthdayColor", "eleven");
        SaveSetting("QELDays", "OtherColor", "11");
        SaveSetting("Misc", "FromAddressType", "1.5");
        SaveSetting("OutlookDataSync", "Time", "6 o'clock");
        frmPrefs prefs;
        QCOMPARE(prefs.cmbHotkey->currentIndex(), 0);
        QCOMPARE(prefs.cmbWebEmail->currentIndex(), 0);
        QCOMPARE(prefs.cmbColor[0]->currentIndex(), 8);
        QCOMPARE(prefs.cmbColor[2]->currentIndex(), 2);
        QCOMPARE(prefs.cmbFromAddress->currentIndex(), 0);
        QCOMPARE(prefs.cmbSyncTime->currentText(), QStringLiteral("06:00 AM"));
    }

    void syncNeverEnablesTasksOrNotes() {
        frmPrefs prefs;
        prefs.chkSync->setChecked(true);
        for (QWidget* on : std::initializer_list<QWidget*>{
                 prefs.txtSync, prefs.optMode[0], prefs.optMode[1], prefs.txtHost, prefs.txtUser,
                 prefs.txtOlvex, prefs.chkPassive, prefs.chkTLS, prefs.chkData[0], prefs.chkData[1],
                 prefs.optSyncTimer[0], prefs.optSyncTimer[1], prefs.cmbSyncTime, prefs.chkAutoScan,
                 prefs.txtPort})
            QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));
        QVERIFY(!prefs.chkData[2]->isEnabled());
        QVERIFY(!prefs.chkData[3]->isEnabled());
        QVERIFY(!prefs.cmdTestFTP->isEnabled()); // no connection test without the sync client
        prefs.chkSync->setChecked(false);
        for (QWidget* off :
             std::initializer_list<QWidget*>{prefs.txtHost, prefs.chkData[0], prefs.chkData[1],
                                             prefs.chkData[2], prefs.chkData[3], prefs.chkAutoScan})
            QVERIFY(!off->isEnabled());
    }

    void intervalAndTimedSyncSwapTheirFields() {
        frmPrefs prefs;
        prefs.chkSync->setChecked(true);
        prefs.optSyncTimer[0]->setChecked(true);
        QVERIFY(!prefs.txtSync->isHidden() && !prefs.lblSync->isHidden());
        QVERIFY(prefs.cmbSyncTime->isHidden() && prefs.lblSyncTime->isHidden());
        prefs.optSyncTimer[1]->setChecked(true);
        QVERIFY(prefs.txtSync->isHidden() && prefs.lblSync->isHidden());
        QVERIFY(!prefs.cmbSyncTime->isHidden() && !prefs.lblSyncTime->isHidden());
    }

    void hotkeyBoxesEnableTheirModifiersAndKeys() {
        frmPrefs prefs;
        prefs.chkHotkey->setChecked(true);
        QVERIFY(prefs.cmbHotkey->isEnabled() && prefs.chkMod[0]->isEnabled() && prefs.chkMod[3]->isEnabled());
        prefs.chkHotkey->setChecked(false);
        QVERIFY(!prefs.cmbHotkey->isEnabled() && !prefs.chkMod[1]->isEnabled());
        prefs.chkEmail->setChecked(true);
        QVERIFY(prefs.cmbHotkeyEmail->isEnabled() && prefs.chkModEmail[2]->isEnabled());
        prefs.chkEmail->setChecked(false);
        QVERIFY(!prefs.cmbHotkeyEmail->isEnabled());
    }

    void copyToCallNeedsVoipAndItsOwnBox() {
        frmPrefs prefs;
        prefs.chkCopy2Call->setChecked(true); // ticked while VoIP is off
        QVERIFY(!prefs.cmbHotkeyCopy->isEnabled());
        prefs.chkVonage->setChecked(true);
        QVERIFY(prefs.txtUserName->isEnabled() && prefs.txtPardine->isEnabled() &&
                prefs.txtPhoneNumber->isEnabled());
        QVERIFY(prefs.chkCopy2Call->isEnabled());
        QVERIFY(prefs.cmbHotkeyCopy->isEnabled() && prefs.chkModCopy[0]->isEnabled());
        prefs.chkCopy2Call->setChecked(false);
        QVERIFY(!prefs.cmbHotkeyCopy->isEnabled() && !prefs.chkModCopy[0]->isEnabled());
        prefs.chkCopy2Call->setChecked(true);
        prefs.chkVonage->setChecked(false);
        QVERIFY(!prefs.chkCopy2Call->isEnabled() && !prefs.txtUserName->isEnabled());
        QVERIFY(!prefs.cmbHotkeyCopy->isEnabled() && !prefs.chkModCopy[3]->isEnabled());
    }

    void specialDayColoursMarkTheirRows() {
        frmPrefs prefs;
        const auto marked = [&](int row) {
            return prefs.lblColor[row]->font().bold() && prefs.lblColor[row]->frameShape() == QFrame::Box &&
                   prefs.txtApptSQL[row]->palette().color(QPalette::Text) == QColor(Qt::red);
        };
        const auto plain = [&](int row) {
            return !prefs.lblColor[row]->font().bold() &&
                   prefs.lblColor[row]->frameShape() == QFrame::NoFrame &&
                   prefs.txtApptSQL[row]->palette().color(QPalette::Text) == QColor(Qt::black);
        };
        for (int row = 1; row <= 10; ++row)
            QVERIFY2((row == 8 || row == 9 || row == 2) ? marked(row) : plain(row),
                     qPrintable(QString::number(row)));
        prefs.cmbColor[0]->setCurrentIndex(5);
        QVERIFY(marked(5) && plain(8) && marked(9));
        prefs.cmbColor[1]->setCurrentIndex(5); // two kinds on one colour
        prefs.cmbColor[2]->setCurrentIndex(0); // no label: row 0 is never marked
        QVERIFY(marked(5) && plain(9) && plain(2));
        QVERIFY(!prefs.lblColor[0]->font().bold());
    }

    void debugModeSignalFollowsTheBox() {
        frmPrefs prefs;
        QList<bool> seen;
        connect(&prefs, &frmPrefs::debugModeChanged, this, [&](bool on) { seen << on; });
        prefs.chkDebug->setChecked(true);
        prefs.chkDebug->setChecked(false);
        QCOMPARE(seen, (QList<bool>{true, false}));
    }

    void theDialogCarriesTheDebugLog() {
        qeltest::SeamScope seams;
        const QString log = qel::programFile(QStringLiteral("Debug.txt"));
        QFile::remove(log);
        {
            frmPrefs prefs;
            QCOMPARE(qel::debugCarrier(), static_cast<qel::DebugCarrier*>(&prefs));
            QVERIFY(!qel::debugOn());
            qel::LogDebug(QStringLiteral("Vantrel"), QStringLiteral(":quiet"));
            QVERIFY(!QFile::exists(log));
            prefs.chkDebug->setChecked(true);
            QVERIFY(qel::debugOn());
            qel::LogDebug(QStringLiteral("Vantrel"), QStringLiteral(":Prefs open"));
            qel::LogDebug(QStringLiteral("Vantrel"), QStringLiteral(":Prefs open")); // the same line twice
            QCOMPARE(prefs.txtDebug->text(), QStringLiteral("Vantrel:Prefs open\r\n"));
        }
        QCOMPARE(qel::debugCarrier(), nullptr);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("Vantrel:Prefs open\r\n\r\nVantrel:Prefs open\r\n\r\n"));
    }

private:
    static QRadioButton* optMode1(frmPrefs& prefs) { return prefs.optMode[1]; }
};

QEL_TEST_MAIN(PrefsLoadTest)
#include "test_prefs_load.moc"
