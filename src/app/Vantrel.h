#pragma once

#include "CommandLine.h"
#include "HotKeyControl.h"
#include "actions/ContactActions.h"
#include "browser/ContactBrowser.h"
#include "editing/ContactEditor.h"
#include "editing/EditorControls.h"
#include "exchange/ExchangeCommands.h"
#include "outlook/Outlook.h"
#include "outlook/StoreMembers.h"
#include "platform/Dialogs.h"
#include "platform/Tray.h"
#include "prefs/frmPrefs.h"
#include "specialdays/SpecialDays.h"
#include "sync/FtpSync.h"
#include "sync/SyncSchedule.h"
#include "tools/CalendarTools.h"
#include "updates/HelpAndUpdates.h"
#include "vcard/VcardCommands.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTimer;

namespace qel {

class Program;
class frmNotes;
class frmUser;

// The main window. It is the program: Form_Load starts everything, ExitProgram ends it. It owns
// the widgets and the run-time members that every part of the program reads; the parts' own
// logic lives in their folders and works on these members. The card file's controls
// (BrowserControls) are the window's own members, worked by the contact browser; the editing
// controls (EditorControls) are worked by the contact editor. The store members (StoreObjects) are
// the window's own too; the subsystems are handed them by reference (storeMembers()).
class Vantrel : public QMainWindow,
                public TrayListener,
                public BrowserControls,
                public EditorControls,
                public StoreObjects {
    Q_OBJECT
public:
    explicit Vantrel(Program& program, QWidget* parent = nullptr);
    ~Vantrel() override;

    // The safe-item library's public home page.
    static const QString kRedemptionSite;

    // --- Start and end ---------------------------------------------------------------------------
    // The start-up sequence; runs once per load. The window is shown at its end unless the start-up
    // ended the program (isUnloaded()).
    void Form_Load();
    // Saves the browser position to Cache and releases the store; unless dontUnload, also unloads
    // the dialogs and this window (unloaded() is emitted; the program ends or reloads).
    void ExitProgram(bool dontUnload);
    // The close box: unloadMode 0 is the user closing the window. cancel keeps it open.
    void Form_QueryUnload(bool& cancel, int unloadMode);
    bool isUnloaded() const { return mUnloaded; }
    // Minimises the window (and so sends it to the tray) once it is on the screen: the start with
    // "m", and the window rebuilt by the tray's Preferences.
    void minimizeOnceShown();
    // A later start of the program has handed over its command line: the window comes up as the
    // tray's "Show" brings it, on the contact named, with the search text typed. While a command
    // is at work (a dialog, the progress window, an edit) the window is only raised.
    void answerLaterStart(const CommandLine& line);
    // The search pane opened and the text typed into its box (--search).
    void openSearch(const QString& text);

    Program& program() const { return mProgram; }
    // The contact browser working the card file.
    ContactBrowser& browser() const { return *mBrowser; }
    // The contact editor working the card and its side data.
    ContactEditor& editor() const { return *mEditor; }
    // The actions on the shown contact: calls, text messages, e-mail, maps, copy and print.
    ContactActions& actions() const { return *mActions; }
    // The special days and the reminder.
    SpecialDays& specialDays() const { return *mSpecialDays; }
    // The calendar and phone tools (colouring, the cell phone list).
    CalendarTools& tools() const { return *mTools; }
    // The help, the About window and the update check.
    HelpAndUpdates& updates() const { return *mUpdates; }
    // The sync through the FTP server and its timer's schedule.
    FtpSync& sync() const { return *mSync; }
    SyncSchedule& syncSchedule() const { return *mSyncSchedule; }
    // A contact is being edited: the card's boxes are open for typing (its Save and Cancel
    // buttons show).
    bool isEditing() const { return mEditor && mEditor->isEditing(); }
    // The shown contact's side windows (the editor's).
    frmNotes* notesWindow() { return mEditor->notesWindow(); }
    frmUser* userWindow() { return mEditor->userWindow(); }
    // The window's key preview: while on, the window sees the keys typed into its controls first
    // (letters move between the tabs, and so on).
    bool keyPreview() const { return mKeyPreview; }
    void setKeyPreview(bool on) { mKeyPreview = on; }
    // The program's live settings.
    SettingsModel& settings() const;
    // The hidden preferences dialog, which edits the settings (null once unloaded).
    frmPrefs* prefs() const { return mPrefs; }

    // --- Run-time members (beside the store members of StoreObjects) ---------------------------
    ol::FolderPtr gOlCalendarRootFolder;
    qint16 mLetterCode = 0;
    QString mContactName;

    // --- Menu bar ------------------------------------------------------------------------------
    QMenu* menuFile;
    QAction* menuNotes;
    QAction* menuCategory;
    QAction* menuUser;
    QAction* menuOutlook;
    QAction* menuEdit;
    QAction* menuAdd;
    QAction* menuRemove;
    QAction* menuPrint;
    QAction* menuExportVcard;
    QAction* menuExportIcs;
    QAction* menuImportVcard;
    QAction* menuExit;
    QMenu* menuTools;
    QAction* menuSearch;
    QAction* menuRemind;
    QAction* menuCopy;
    QAction* menuCopyText;
    QAction* menuAppointments;
    QAction* menuMe;
    QAction* menuCell;
    QAction* menuExport;
    QAction* menuImport;
    QAction* menuSync;
    QAction* menuStatus;
    QAction* menuDebug;
    QAction* menuPrefs;
    QMenu* menuQEL;
    QAction* menuQELDay;
    QAction* menuRescan;
    QAction* menuQELRemove;
    QAction* menuUpcomingQELDay;
    QMenu* menuHelp;
    QAction* menuInstructions;
    QAction* menuUpdates;
    QAction* menuWeb;
    QAction* menuAbout;

    // --- Tray menu (pop-up only) ---------------------------------------------------------------
    QMenu* menuTray;
    QAction* menuTrayShow;
    QMenu* menuGoto;
    std::array<QAction*, 28> menuTrayGotoLetter{}; // 1..27: "A" .. "Z", "MISC"; 0 unused
    QAction* menuTrayUpcomingQELDay;
    QAction* menuTraySync;
    QAction* menuTrayPrefs;
    QAction* menuTrayUpdates;
    QAction* menuTrayExit;

    // --- Controls besides the card file's ------------------------------------------------------
    QLabel* lblDebug;
    QPushButton* cmdRedemption;
    QLineEdit* txtRemind;
    QComboBox* cmbRemind;
    QLabel* lblMisc;
    QObject* MsgBoxEx1;   // the message box of the special days: the error-choice marker in its tag
    QObject* WebBrowser1; // "Update Check" in its tag while the version page is awaited

    QTimer* AniTimer;
    QTimer* MISCTimer;
    QTimer* SyncTimer;
    QTimer* RemindTimer;

    // --- Global hot keys -------------------------------------------------------------------------
    HotKeyControl* VBHotKey1;    // brings the window back from the tray; armed only while there
    HotKeyControl* hotCopy2Call; // calls the number on the clipboard
    HotKeyControl* hotEmail;     // writes to the address on the clipboard

    // --- The tray and the keys ---------------------------------------------------------------------
    // The window has gone to the tray (or, on a desktop without one, is minimised in the task
    // bar) and has not come back yet.
    bool isInTray() const { return mInTray; }
    // Going to the tray kept the store released: restoring connects anew.
    bool storeReleased() const { return mStoreReleased; }
    // The window's key handling (key preview): Shift paints the phone, address and e-mail
    // controls red, Ctrl shows the first-name mode, and a key let go acts by the key table.
    // Qt key codes; `modifiers` are those held once the key event has happened. Form_KeyUp
    // returns true when the key was one the window acts on. Form_KeyUp(0, {}) paints the
    // controls back and hides the first-name mode after a Shift double-click.
    void Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    bool Form_KeyUp(int key, Qt::KeyboardModifiers modifiers);
    // True while a control shows the Shift mark (text colour 255, pure red): a double-click on
    // it does the Shift variant of its action.
    static bool isShiftMarked(const QWidget* control);
    // Sets VBHotKey1's tag to "Ignore Key" for one second by the clock (a hot key's chord is
    // still being let go: its releases must not act as the window's keys), then clears it and
    // runs `then`. Events go on running meanwhile; a second call starts the second afresh.
    void ignoreHotKeyChord(std::function<void()> then = {});

    // TrayListener
    void trayMouseDown(int button) override { TrayIcon1_MouseDown(button); }
    void trayDoubleClick() override { TrayIcon1_DblClick(); }

public Q_SLOTS:
    void cmdRedemption_Click();
    void menuPrefs_Click();
    void menuTrayPrefs_Click();
    void menuDebug_Click();
    void menuExit_Click();

    // The editor's commands on the window's menus.
    void menuNotes_Click() { mEditor->menuNotes_Click(); }
    void menuCategory_Click() { mEditor->menuCategory_Click(); }
    void menuUser_Click() { mEditor->menuUser_Click(); }
    void menuOutlook_Click() { mEditor->menuOutlook_Click(); }
    void menuEdit_Click() { mEditor->menuEdit_Click(); }
    void menuAdd_Click() { mEditor->menuAdd_Click(); }
    void menuRemove_Click() { mEditor->menuRemove_Click(); }
    void menuMe_Click() { mEditor->menuMe_Click(); }
    void cmdCancel_Click() { mEditor->cmdCancel_Click(); }

    // Handlers whose commands are built elsewhere (an empty one does nothing yet).
    void menuPrint_Click();
    void menuSearch_Click();
    void menuRemind_Click();
    void menuCopy_Click();
    void menuCopyText_Click();
    void menuAppointments_Click();
    void menuCell_Click();
    void menuExport_Click();
    void menuImport_Click();
    void menuExportVcard_Click();
    void menuExportIcs_Click();
    void menuImportVcard_Click();
    void menuSync_Click();
    void menuStatus_Click();
    void menuQELDay_Click();
    void menuRescan_Click();
    void menuQELRemove_Click();
    void menuUpcomingQELDay_Click();
    void menuInstructions_Click();
    void menuUpdates_Click();
    void menuWeb_Click();
    void menuAbout_Click();
    void menuTrayShow_Click();
    void menuTrayGotoLetter_Click(int index);
    void menuTrayUpcomingQELDay_Click();
    void menuTraySync_Click();
    void menuTrayUpdates_Click();
    void menuTrayExit_Click();
    void TrayIcon1_MouseDown(int button);
    void TrayIcon1_DblClick();
    void AniTimer_Timer();
    void MISCTimer_Timer();
    void SyncTimer_Timer();
    void RemindTimer_Timer();
    // The window has been minimised: to the tray (refused while editing).
    void Form_Resize();
    void VBHotKey1_Pressed();
    void hotCopy2Call_Pressed();
    void hotEmail_Pressed();

Q_SIGNALS:
    // ExitProgram has unloaded the window (it is hidden; the program deletes it later).
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildTrayMenu();
    void buildControls();
    void buildHotKeys();
    frmPrefs* loadPrefs();
    void unloadPrefs();

    // Start-up steps.
    bool isOtherInstanceRunning();
    void readCommandLine();
    bool connectStore();
    // Sends the store's warnings to the debug log, logs the store files it skipped and, when
    // tell is set, names those not told before in one message.
    void listenToStore(ol::Application& store, bool tell);
    bool checkRedemption();
    void readCache(int& containerState, int& containerTab);
    bool openCalendarFolder();
    void armSyncTimer();
    void showWindow();

    // The tray and the keys; start-up steps 16 and 17 (the hot keys).
    void setUpRestoreHotKey();
    void armClipboardHotKeys();
    void reconnectStore();
    void releaseStore();
    void paintShiftMark(bool on);
    void ignoreKeyTick();

    // Start-up steps whose parts are built elsewhere.
    void setUpImageList();
    void registerHelpFile();

    // The contact editor, made once the sync timer that carries its "Syncing" mark exists.
    void buildEditor();
    // The actions on the shown contact (after the editor, whose user-field window they use).
    void buildActions();
    // The special days, made once the timers they work on exist; places the day strip.
    void buildSpecialDays();
    // QELDays.ics in the program folder, when the preference keeps one.
    void writeSpecialDaysCalendar();
    // The hooks of a subsystem's long runs: the progress window and hiding this window meanwhile.
    LongRunHooks longRunHooks();
    // The calendar and phone tools.
    void buildTools();
    // The manual export and import.
    void buildExchange();
    // The help, the About window and the update check.
    void buildUpdates();
    // The vCard export and import of the File menu.
    void buildVcard();
    // The sync, its schedule and the pictures it shows.
    void buildSync();
    void setSyncIcon(SyncIcon picture);
    // A sync started by the timer, around the minimised window.
    void timedSync();
    // The CardDAV / CalDAV sync when it is on (DavHost.cpp).
    void davSync();
    // Browse mode's double-click on an e-mail address: composes a message to it.
    void composeMail(int entry);
    // The card's double-clicks on a phone number and on an address (outside editing).
    void txtNumber_DblClick(int index);
    void txtAddress_DblClick(QPlainTextEdit* box);
    // The commands still to come (Commands.h): their menu items and buttons disabled, the card's
    // double-clicks connected.
    void showCommandStates();
    // For a command still to come: says so in the status line (and the debug log) and returns
    // true; false for a command that is built.
    bool notYet(const QString& command);

    Program& mProgram;
    QPointer<frmPrefs> mPrefs;
    std::unique_ptr<ContactBrowser> mBrowser;
    std::unique_ptr<ContactEditor> mEditor;
    std::unique_ptr<ContactActions> mActions;
    std::unique_ptr<SpecialDays> mSpecialDays;
    std::unique_ptr<CalendarTools> mTools;
    std::unique_ptr<ExchangeCommands> mExchange;
    std::unique_ptr<HelpAndUpdates> mUpdates;
    std::unique_ptr<VcardCommands> mVcard;
    std::unique_ptr<FtpSync> mSync;
    std::unique_ptr<SyncSchedule> mSyncSchedule;
    bool mKeyPreview = true;
    bool mCacheLoaded = false; // the start-up has read Cache: ExitProgram may write it back
    bool mUnloaded = false;

    bool mInTray = false;
    bool mStoreReleased = false;
    bool mResizePending = false; // a Form_Resize is queued
    QSet<int> mKeysDown;         // keys pressed in the window and not let go yet
    int mMiscTicks = 0;          // MISCTimer's ticks since lblMisc was set
    QTimer* mIgnoreKeyTimer;     // watches the clock while VBHotKey1's tag is "Ignore Key"
    QDateTime mIgnoreKeyUntil;
    std::vector<std::function<void()>> mAfterIgnoreKey;
};

} // namespace qel
