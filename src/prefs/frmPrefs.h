#pragma once

#include "core/DebugLog.h"
#include "core/SettingsModel.h"
#include "outlook/Outlook.h"

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedLayout;
class QTabBar;
class QFrame;

namespace qel {

// The preferences dialog: the user edits the program's settings (SettingsModel) in it. Creating it
// loads the settings into the controls; OK checks them, puts them back into the settings and
// writes the store; Cancel writes nothing. The program keeps one hidden instance for its run.
// While it exists it is the debug log's carrier: chkDebug switches the debugging mode of the
// settings at once, and the hidden txtDebug box carries each message.
class frmPrefs : public QDialog, public DebugCarrier {
    Q_OBJECT
public:
    // settings: the program's settings, loaded by the caller. nameSpace: the store, for the folder
    // checks of OK and the pick buttons; without one the folder checks are skipped and the pick
    // buttons are disabled.
    frmPrefs(SettingsModel& settings, ol::NameSpacePtr nameSpace, QWidget* parent = nullptr);
    // A dialog on settings of its own, loaded from the store now.
    explicit frmPrefs(ol::NameSpacePtr nameSpace = nullptr, QWidget* parent = nullptr);
    ~frmPrefs() override;

    // DebugCarrier
    bool debugModeOn() const override;
    void setCarrierText(const QString& text) override;

    // The settings the dialog edits.
    SettingsModel& settings() const { return mSettings; }
    // Loads the controls from the settings (again, after a change made elsewhere).
    void Form_Load();
    // The FTP server and login as the sync tab shows them now (what testFtp and becomeMaster use).
    FtpSettings ftpSettings() const;

    // --- Hooks set by the program ------------------------------------------------------------
    // Makes this computer the sync master on the FTP server (connect, replace LastSync.dat,
    // check the master marker, upload, report). true: OK goes on; false: OK stops, nothing is
    // written. While it is empty the step is skipped: it waits for the sync client.
    std::function<bool()> becomeMaster;
    // Connects to the FTP server with the dialog's settings and disconnects again; true when the
    // connection succeeded. cmdTestFTP stays disabled while this is empty.
    std::function<bool()> testFtp;
    // Rebuilds the main window after OK has written the settings.
    std::function<void()> rebuildMainWindow;

    // --- Tabs ----------------------------------------------------------------------------------
    QTabBar* TabStrip1;
    std::array<QFrame*, 10> fmeTab;

    // General
    QCheckBox* chkHotkey;
    std::array<QCheckBox*, 4> chkMod; // Windows Key, Shift, Alt, Ctrl
    QComboBox* cmbHotkey;
    QComboBox* cmbHotkeyValue; // hidden twin: the key codes
    QCheckBox* chkSubFolders;
    QPushButton* cmdStartup;
    QCheckBox* chkConfirm;
    QComboBox* cmbWebEmail;
    QCheckBox* chkInvert;

    // Data Folders
    QLineEdit* txtCalendarRoot;
    QLineEdit* txtCalendar;
    QLineEdit* txtTaskRoot;
    QLineEdit* txtTask;
    QLineEdit* txtNotesRoot;
    QLineEdit* txtNotes;
    QPushButton* cmdPickCalendar;
    QPushButton* cmdPickTask;
    QPushButton* cmdPickNotes;

    // QEL Days
    QComboBox* cmbField;
    std::array<QComboBox*, 3> cmbColor; // birthdays, anniversaries, other
    QCheckBox* chkQel;
    QCheckBox* chkRemind;
    QCheckBox* chkAutoScan;
    QCheckBox* chkSubject;
    QCheckBox* chkPast;
    QCheckBox* chkCalendarFile; // QELDays.ics kept in the program folder

    // Debug Mode
    QCheckBox* chkDebug;
    QLineEdit* txtDebug; // hidden carrier of debug messages

    // Outlook Data Sync
    QCheckBox* chkSync;
    QLineEdit* txtHost;
    QLineEdit* txtUser;
    QLineEdit* txtOlvex;
    QLineEdit* txtPort;
    QCheckBox* chkPassive;
    QCheckBox* chkTLS; // "Use TLS (FTPS)"
    QPushButton* cmdTestFTP;
    std::array<QCheckBox*, 4> chkData;         // Contacts, Calendar, Tasks, Notes
    std::array<QRadioButton*, 2> optMode;      // Master, Slave
    std::array<QRadioButton*, 2> optSyncTimer; // Interval Sync, Timed Sync
    QLineEdit* txtSync;
    QLabel* lblSync;
    QComboBox* cmbSyncTime;
    QLabel* lblSyncTime;
    QPushButton* cmdModify;
    // hidden, edited through cmdModify
    QLineEdit* txtExportContactSQL;
    QLineEdit* txtExportCalendarSQL;
    QLineEdit* txtExportTasksSQL;
    QLineEdit* txtExportNotesSQL;
    QLineEdit* txtImportContactSQL;
    QLineEdit* txtImportCalendarSQL;
    QLineEdit* txtImportTasksSQL;
    QLineEdit* txtImportNotesSQL;
    QLineEdit* txtCalendarRange;

    // Appointment Colors
    QCheckBox* chkApptColor;
    std::array<QLineEdit*, 11> txtApptSQL;
    std::array<QLabel*, 11> lblColor;

    // VOIP
    QCheckBox* chkVonage;
    QLineEdit* txtUserName;
    QLineEdit* txtPardine;
    QLineEdit* txtPhoneNumber;
    QCheckBox* chkCopy2Call;
    std::array<QCheckBox*, 4> chkModCopy;
    QComboBox* cmbHotkeyCopy;
    QComboBox* cmbHotkeyValueCopy; // hidden twin
    QLabel* Vonage;                // opens the provider's web site

    // CardDAV / CalDAV
    QCheckBox* chkDavSync; // "Sync with the server"
    QLineEdit* txtDavServer;
    QLineEdit* txtDavUser;
    QLineEdit* txtDavPassword;
    QPushButton* cmdDavFind;      // discovery: fills the two lists
    QComboBox* cmbDavAddressBook; // item data: the collection's address
    QComboBox* cmbDavCalendar;
    QLineEdit* txtDavContactFolder;  // "Store\Folder"; "" the contact folder in use
    QPushButton* cmdDavPickContacts; // picks the contact folder
    QLineEdit* txtDavCalendarFolder; // "Store\Folder"; "" the calendar folder in use
    QPushButton* cmdDavPickCalendar;
    QCheckBox* chkDavPublish;

    // Cell Phone
    std::array<QCheckBox*, 19> chkCell;
    QLineEdit* txtCellSQL;

    // MISC
    QCheckBox* chkRelease;
    QCheckBox* chkEmail;
    std::array<QCheckBox*, 4> chkModEmail;
    QComboBox* cmbHotkeyEmail;
    QComboBox* cmbHotkeyEmailValue; // hidden twin
    QComboBox* cmbFromAddress;
    QLabel* lblMe;

    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // The virtual-key code of the key chosen in a hot-key list (0 when none is chosen).
    static int hotkeyCode(const QComboBox* list);
    // The three special-day label colours chosen in cmbColor.
    std::array<int, 3> specialDayColours() const;
    // Marks the appointment-colour rows of these label colours (bold, boxed, red filter text).
    void markColourRows(const std::array<int, 3>& colours);
    // Names the "me" contact in lblMe ("Not Set!" for none).
    void showMe(const QString& name);

    static const QString kVonageSite;

public Q_SLOTS:
    void TabStrip1_Click();
    void chkHotkey_Click();
    void chkEmail_Click();
    void chkVonage_Click();
    void chkCopy2Call_Click();
    void chkSync_Click();
    void optSyncTimer_Click();
    void chkDebug_Click();
    void cmbColor_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdTestFTP_Click();
    void cmdStartup_Click();
    void cmdPickCalendar_Click();
    void cmdPickTask_Click();
    void cmdPickNotes_Click();
    void cmdModify_Click();
    void Vonage_Click();
    void chkDavSync_Click();
    void cmdDavFind_Click();
    void cmdDavPickContacts_Click();
    void cmdDavPickCalendar_Click();
    void reject() override; // closing the window is Cancel

Q_SIGNALS:
    // chkDebug changed: the main window shows its debug label while it is on.
    void debugModeChanged(bool on);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void start();
    void buildUi();
    // One file per tab (Prefs<Tab>.cpp): its controls, their load from the settings and their way
    // back into the settings.
    void buildGeneralTab(QWidget* tab);
    void loadGeneralTab();
    void storeGeneralTab();
    void buildDataFoldersTab(QWidget* tab);
    void loadDataFoldersTab();
    void storeDataFoldersTab();
    void buildQELDaysTab(QWidget* tab);
    void loadQELDaysTab();
    void storeQELDaysTab();
    void buildDebugModeTab(QWidget* tab);
    void loadDebugModeTab();
    void storeDebugModeTab();
    void buildDataSyncTab(QWidget* tab);
    void loadDataSyncTab();
    void storeDataSyncTab();
    void buildAppointmentColorsTab(QWidget* tab);
    void loadAppointmentColorsTab();
    void storeAppointmentColorsTab();
    void buildVOIPTab(QWidget* tab);
    void loadVOIPTab();
    void storeVOIPTab();
    void buildCardDavTab(QWidget* tab);
    void loadCardDavTab();
    void storeCardDavTab();
    void buildCellPhoneTab(QWidget* tab);
    void loadCellPhoneTab();
    void storeCellPhoneTab();
    void buildMiscTab(QWidget* tab);
    void loadMiscTab();
    void storeMiscTab();
    // Puts the controls' values into the settings.
    void storeControls();
    std::array<QLineEdit*, 4> exportFilterBoxes() const; // contacts, calendar, tasks, notes
    std::array<QLineEdit*, 4> importFilterBoxes() const;
    void runDependencies();
    bool checkFolder(const QString& root, const QString& folder, const QString& kind);
    bool checkDavFolders(); // the CardDAV folders named are there and of their kind
    std::optional<int> checkedPort();
    QString writeSettings(); // the problem met, "" when every key was written
    void writeDebugLine(const QString& text);
    // The store's folder picker; nullptr when cancelled or when the folder is not of `itemType`
    // (`wrongType` said).
    ol::FolderPtr pickFolderOfType(int itemType, const QString& wrongType);
    void pickFolder(int itemType, QLineEdit* rootBox, QLineEdit* folderBox, const QString& wrongType);
    void txtDebug_Change();

    std::unique_ptr<SettingsModel> mOwnSettings; // a dialog on settings of its own
    SettingsModel& mSettings;
    ol::NameSpacePtr mNameSpace;
    QStackedLayout* mFrames = nullptr;
    QString mCarrierText;
};

} // namespace qel
