#pragma once

// Acting on the shown contact: calling a number through the VoIP provider's click-to-call service
// and texting it through a carrier's gateway, starting an e-mail (the default mail program or web
// mail), a map of an address or directions to it from the "me" contact, the two clipboard hot keys,
// and copying and printing the card. It works on the card's controls it is given (ActionControls),
// reads the live settings, and reaches the desktop only through the seams (shell, sound, dialogs,
// HTTP) and the clipboard.

#include "Links.h"
#include "outlook/Outlook.h"
#include "platform/Http.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPrinter;
class QWidget;

namespace qel {

class SettingsModel;

// The main window's controls the actions read and write.
struct ActionControls {
    std::array<QLineEdit*, 16> txtNumber{};
    QListWidget* lstEmail = nullptr;
    QListWidget* lstWebSite = nullptr;
    QPlainTextEdit* txtBusinessAddress = nullptr;
    QPlainTextEdit* txtHomeAddress = nullptr;
    QPlainTextEdit* txtOtherAddress = nullptr;
    QComboBox* cmbContacts = nullptr;
    QLabel* lblMisc = nullptr; // the status label, cleared later by MISCTimer
};

// What the actions need of the rest of the program. Every hook may be left empty.
struct ActionHooks {
    std::function<bool()> editing;                   // a contact is being edited
    std::function<bool(const QWidget*)> shiftMarked; // the control shows the Shift mark
    std::function<void()> keyUp;                     // the window's key-up step with no key
    std::function<void()> startMiscTimer;            // lblMisc was set: clear it later
    std::function<QString(int)> userField;           // the user-field editor's txtUser(1..4)
    std::function<void(int, const QString&)> setUserField;
    // Where Print goes; empty (or returning nullptr): the default printer.
    std::function<std::unique_ptr<QPrinter>()> printer;
};

class ContactActions : public QObject {
    Q_OBJECT
public:
    // `contactFolder` is the window's current contact folder (the "me" contact is looked up there);
    // `syncMark` carries the "Syncing" mark while the text-message dialog is open; `window` is the
    // dialog's parent.
    ContactActions(ActionControls ui, const ol::FolderPtr& contactFolder, SettingsModel& settings,
                   QObject* syncMark, QWidget* window, ActionHooks hooks, QObject* parent = nullptr);

    // The card as plain text, as the copy commands write it (the last one built).
    const QString& lastCard() const { return mCard; }

    bool eventFilter(QObject* watched, QEvent* event) override;

public Q_SLOTS:
    // --- Phone numbers ---------------------------------------------------------------------------
    void txtNumber_DblClick(int index);
    // Asks the click-to-call service to call `number`; the answer is shown when it comes.
    void PlaceVoipCall(const QString& number);
    // The copy-to-call hot key, once its chord is let go: calls the number on the clipboard.
    void callClipboardNumber();

    // --- E-mail and addresses --------------------------------------------------------------------
    void lstEmail_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int entry);
    // The e-mail double-click outside editing, on entry `entry`.
    void lstEmail_DblClick(int entry);
    // The copy-to-e-mail hot key, once its chord is let go: writes to the address on the clipboard.
    void mailClipboardAddress();
    void txtBusinessAddress_DblClick();
    void txtHomeAddress_DblClick();
    void txtOtherAddress_DblClick();
    void txtAddress_DblClick(QPlainTextEdit* box);

    // --- Copy and print --------------------------------------------------------------------------
    void menuCopy_Click();
    void menuCopyText_Click();
    void menuPrint_Click();

private:
    bool editing() const;
    bool shiftMarked(const QWidget* control) const;
    void keyUp();
    void focusContacts();
    void showStatus(const QString& text);
    bool contactShown() const;
    // Builds the card text of the shown contact into mCard.
    void buildCard();
    // Opens web mail (by the chosen service) for an address ("": no address).
    void openWebMail(const QString& address);
    // The link of the directions to `toAddress` from the "me" contact, "" when there is none (the
    // user has been told why).
    QString directionsFromMe(const QString& toAddress);
    void openTextMessage(const QString& number);
    void callAnswered(const QString& number, const QString& password, const HttpReply& reply);

    ActionControls mUi;
    const ol::FolderPtr& mContactFolder;
    SettingsModel& mSettings;
    QPointer<QObject> mSyncMark;
    QPointer<QWidget> mWindow;
    ActionHooks mHooks;
    QString mCard;
};

} // namespace qel
