#pragma once

// The contact editor: the card as an editor (Edit Current Contact, Add Contact, Save Edits, Cancel
// Edits, Remove Contact) and the contact's side data (e-mail addresses and web page, notes, user
// fields, categories, the store's own window of the contact, the "me" contact). It works on the
// card's controls (BrowserControls) and the editing controls (EditorControls) it is given, on the
// main window's run-time members (BrowserMembers, the same as the browser's), with the contact
// browser that fills the card, and reaches the rest of the program through EditorHooks.

#include "EditorControls.h"
#include "browser/ContactBrowser.h"
#include "outlook/Outlook.h"
#include "platform/Dialogs.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace qel {

class frmNotes;
class frmUser;

// What the editor needs of the rest of the program. Every hook may be left empty.
struct EditorHooks {
    std::function<bool()> unloaded;         // the window has been unloaded: commands do nothing
    std::function<void()> reload;           // ends the window and loads it again at mLetterCode, mContactName
    std::function<void()> closeWindowParts; // edit mode begins: the window disables its menus and
                                            // hides what the card does not use while editing
    std::function<void(bool)> setKeyPreview;       // the window's key preview on or off
    std::function<void(int)> composeMail;          // browse mode's double-click on e-mail address `entry`
    std::function<void(const QString&)> meChanged; // the "me" contact is now this one ("": none)
};

class ContactEditor : public QObject {
    Q_OBJECT
public:
    // `window` is the parent of the notes and user-field windows; `syncMark` the object carrying
    // the "Syncing" mark while a command works on the store (the main window's sync timer).
    ContactEditor(BrowserControls& card, EditorControls& ui, BrowserMembers members, ContactBrowser& browser,
                  QWidget* window, QObject* syncMark, EditorHooks hooks, QObject* parent = nullptr);

    // A contact is being edited: the card's boxes are open for typing (its Save and Cancel
    // buttons show).
    bool isEditing() const;
    // The shown contact's side windows, loaded on first use and kept filled by the card: the notes
    // and the user fields.
    frmNotes* notesWindow();
    frmUser* userWindow();
    // Hides the side windows and lets them go (the window is being unloaded).
    void unloadSideDialogs();

public Q_SLOTS:
    void menuEdit_Click();
    void menuAdd_Click();
    void menuRemove_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void menuNotes_Click();
    void menuCategory_Click();
    void menuUser_Click();
    void menuOutlook_Click();
    void menuMe_Click();
    void lstEmail_DblClick();
    void lstWebSite_DblClick();
    void txtName_DblClick();
    void txtMe_DblClick();

private:
    void connectEditor();
    void enterEditMode();
    bool unloaded() const;
    // Ends the window and loads it again at mLetterCode and mContactName.
    void rebuildWindow();
    // The items of the current contact folder; throws when no folder is open.
    ol::ItemsPtr contactItems() const;
    // The contact the card shows, in the current contact folder: the one of the card's EntryID
    // (txtID), whatever its name is now; the first one of that name only when the card holds no
    // EntryID. Throws ol::kErrNotFound when it is not there.
    ol::ItemPtr shownContact(const QString& name) const;
    // The contact has gone from the folder behind the window's back: says so and rebuilds.
    void contactVanished(const QString& name);
    // A store error while working on the shown contact `name`: a contact gone meanwhile is
    // contactVanished; anything else is told as failure + the store's reason.
    void storeFailed(const ol::Error& e, const QString& name, const QString& failure,
                     const QString& title = QString(), MsgIcon icon = MsgIcon::None);
    void saveUserFields();
    // Writes the "me" contact (the empty name removes it) and shows the letter again.
    void storeMe(const QString& name);

    BrowserControls& mCard;
    EditorControls& mUi;
    BrowserMembers m;
    ContactBrowser& mBrowser;
    QWidget* mWindow;
    QPointer<QObject> mSyncMark;
    EditorHooks mHooks;
    QPointer<frmNotes> mNotes;
    QPointer<frmUser> mUser;
};

} // namespace qel
