#pragma once

// The contact browser: the contact folder and category, the letter index and contact list, the
// card, search, and the card's views and detail panes. It works on the main window's controls
// (BrowserControls) and on the main window's run-time members (BrowserMembers), and reaches the
// rest of the program through BrowserHooks.

#include "BrowserControls.h"
#include "outlook/Outlook.h"
#include "outlook/StoreMembers.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace qel {

class SettingsModel;

// The main window's run-time members that the browser reads and writes: the store members and the
// browser's own two. They stay the window's; the browser holds references to them.
struct BrowserMembers : StoreMembers {
    qint16& mLetterCode;   // the letter tab shown: 1..26 A..Z, 27 MISC
    QString& mContactName; // the shown contact's name (kept in the Cache section)
};

// What the browser needs of the rest of the program. Every hook may be left empty.
struct BrowserHooks {
    std::function<void()> exitProgram;       // ExitProgram: ends the program (no contact folder at all)
    std::function<bool()> editing;           // a contact is being edited (its Save/Cancel buttons show)
    std::function<void(bool)> setKeyPreview; // the window's key preview on or off
    std::function<void()> restoreWindow;     // the tray's "Show" (reconnects, reopens the folder)
    std::function<void(int, const QString&)> setUserField; // the user-field window's txtUser(1..4)
    std::function<void(const QString&)> setNotes;          // the notes window's txtNotes
    // Whether the double-click of a card control (by object name) is built yet: tool tips promise
    // only what is (empty: everything is).
    std::function<bool(const QString&)> commandBuilt;
};

// The letter codes: 1..26 the letters A..Z, 27 MISC.
constexpr int kMiscCode = 27;
// The restriction that lists one letter under a category suffix (which begins with " AND ").
QString letterRestriction(int code, const QString& categorySuffix);
// The category suffix for a caption of lblCategories; apostrophes are quoted.
QString categorySuffix(const QString& caption);
// The letter code under which a last name is listed (27 for MISC). Follows the restrictions:
// letter case and accents are ignored, names before "A" or from "ZZZZ" on are MISC.
int letterCodeOf(const QString& lastName);
// The tab text of a code: "A" … "Z", "MISC".
QString tabText(int code);
// The contact properties of the sixteen phone boxes txtNumber(0..15).
const std::array<int, 16>& phoneProperties();

class ContactBrowser : public QObject {
    Q_OBJECT
public:
    // `settings` are the program's live settings, read every time they are needed.
    ContactBrowser(BrowserControls& ui, BrowserMembers members, const SettingsModel& settings,
                   BrowserHooks hooks, QObject* parent = nullptr);

    BrowserControls& ui() const { return mUi; }

    bool eventFilter(QObject* watched, QEvent* event) override;

public Q_SLOTS:
    // --- Folders and categories ---------------------------------------------------------------
    // The folder scan. Returns false when no contact folder exists: the program has been ended.
    bool cmdFolRefresh_Click();
    void ProcessSubFolder(const ol::FolderPtr& folder);
    // Opens the folder named by lblFolders. Returns false when the program has been ended.
    bool lblFolders_Change();
    void cmbFolders_Click();
    void cmdCatRefresh_Click();
    void cmbCategories_Click();
    void lblCategories_Change();

    // --- Letter index and contact list --------------------------------------------------------
    void LetterChange();
    void cmdLeft_Click();
    void cmdRight_Click();
    void BackTab1_Click();
    void BackTab2_Click();
    void BackTab3_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void menuTrayGotoLetter_Click(int index);

    // --- The card -------------------------------------------------------------------------------
    void cmbContacts_Click();
    // Start-up: appends the double-click hint to every phone box's tooltip.
    void appendPhoneTooltips(bool voip);
    // Saves the browser's position to the Cache section now.
    void saveCache();
    // The contact the card shows (its EntryID), saved with the position so that of several
    // contacts of one name the same one is shown again; chooseEntry() makes the next letter load
    // select that one among its namesakes.
    void setCurrentEntry(const QString& entryID) { mCurrentEntryID = entryID; }
    void chooseEntry(const QString& entryID) { mChosenEntryID = entryID; }
    // Every card shown saves the position; the write is gathered into one, a moment later, so
    // that moving through the contacts never waits for the disk. flushCache() writes a pending
    // save at once; dropPendingCache() forgets it (the window's end saves the position itself).
    void scheduleCacheSave();
    void flushCache();
    void dropPendingCache();
    bool cacheSavePending() const { return mCacheSavePending; }

    // --- Search ---------------------------------------------------------------------------------
    void menuSearch_Click();
    void Search_GotFocus();
    void Search_LostFocus();
    void Search_KeyUp(int key);
    void PartialSearch_Click();
    void cmdFound_Click();
    void cmdClear_Click();

    // --- Views and detail panes -----------------------------------------------------------------
    void chkExtra_Click();
    void optAddress_Click();
    void TabStrip1_Click();
    void cmdHide_Click();
    // Selects a tab (1..5) by code, which runs TabStrip1_Click.
    void selectTab(int tab);
    int selectedTab() const; // 1..5
    bool containerOpen() const;

public:
    // --- Keys of the window (while its key preview is on) ---------------------------------------
    // Key down: Ctrl shows the first-name mode label.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // Key up: Ctrl released hides the label; left and right arrows, "1" (MISC), "2" (the card
    // view) and the letters act. Returns true when the key was one of these.
    bool keyUp(int key, Qt::KeyboardModifiers modifiers);
    // First-name mode: the next entry of the list (after the selected one, round the end) whose
    // display name begins with the letter.
    void selectByFirstLetter(QChar letter);
    // The keys keyUp acts on (without Alt, which belongs to the menus).
    static bool isWindowKey(int key, Qt::KeyboardModifiers modifiers);

    // --- Start-up steps ----------------------------------------------------------------------------
    // The remembered card view (ExtraInfo "Checked").
    void restoreView(const QString& extraInfo);
    // The remembered category; selects the category list's entry 0.
    void restoreCategory(const QString& currentCategory);
    // The remembered folder, or a scan. Returns false when the program has been ended.
    bool openStartFolder(const QString& currentFolder);
    // The remembered container state and tab.
    void restoreContainer(int state, int tab);
    // Lets go of the store objects the browser holds of its own (the contact list's last query),
    // when the window releases the store; the next listing queries afresh.
    void releaseStore() { mListed.reset(); }

private:
    void connectControls();
    void setFolderLabel(const QString& path);
    void showLetterTab(int code);
    void moveLetters(int steps);
    void emptyCard();
    void pickAddressOption();
    void showAddressOf(int option);
    void focusContactsUnlessEditing();
    bool editing() const;
    void typeAhead();

    BrowserControls& mUi;
    BrowserMembers m;
    const SettingsModel& mSettings;
    BrowserHooks mHooks;
    bool mRecovering = false; // a folder-gone recovery is running
    bool mCacheSavePending = false;
    ol::ItemsPtr mListed; // the sorted result the contact list was last filled from
    // Look Up's choice among several contacts of one name, for the next LetterChange.
    QString mChosenEntryID;
    QString mCurrentEntryID;
};

} // namespace qel
