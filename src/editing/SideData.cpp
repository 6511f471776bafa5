// A contact's side data: its e-mail addresses and web page (edited by double-click in edit mode),
// its notes and user fields (in their own windows), its categories and its own window in the
// store, and the "me" contact that stands for the user.

#include "ContactEditor.h"
#include "EditingSupport.h"
#include "browser/ContactBrowser.h"
#include "core/DebugLog.h"
#include "core/Settings.h"
#include "core/SettingsCatalogue.h"
#include "frmNotes.h"
#include "frmUser.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>

namespace qel {

namespace {

const QString kLF = QStringLiteral("\n");
} // namespace

QString webPageLink(const QString& page) {
    const QString text = page.trimmed();
    if (text.isEmpty())
        return {};
    static const QRegularExpression web(QStringLiteral("^https?://\\S"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (web.match(text).hasMatch())
        return text;
    // "scheme:" not followed by a port number, or a path of this machine.
    static const QRegularExpression other(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*:(?!\\d)|[/\\\\~.])"));
    if (other.match(text).hasMatch() || text.contains(QStringLiteral("://")))
        return {};
    return QStringLiteral("http://") + text;
}

// --- The side windows ------------------------------------------------------------------------------

frmNotes* ContactEditor::notesWindow() {
    if (!mNotes)
        mNotes = new frmNotes(mWindow);
    return mNotes;
}

frmUser* ContactEditor::userWindow() {
    if (!mUser) {
        mUser = new frmUser(mWindow);
        mUser->saveFields = [this] { saveUserFields(); };
    }
    return mUser;
}

void ContactEditor::unloadSideDialogs() {
    for (QDialog* dialog : std::initializer_list<QDialog*>{mNotes, mUser}) {
        if (!dialog)
            continue;
        dialog->hide();
        dialog->deleteLater(); // one of its handlers may be the one unloading it
    }
    mNotes = nullptr;
    mUser = nullptr;
}

// --- E-mail addresses and web page ------------------------------------------------------------------

void ContactEditor::lstEmail_DblClick() {
    const int entry = mCard.lstEmail->currentRow();
    QListWidgetItem* item = mCard.lstEmail->item(entry);
    if (!item)
        return;
    if (!isEditing()) {
        if (mHooks.composeMail)
            mHooks.composeMail(entry);
        return;
    }
    const QString prompt = QStringLiteral("Please enter a new e-mail address for ") + mCard.txtName->text() +
                           QStringLiteral("'s E-mail #") + QString::number(entry + 1) +
                           QStringLiteral(" Clicking cancel will remove the address.");
    const QString answer = dialogs()
                               .input(prompt, QStringLiteral("Edit E-mail Address"), item->text())
                               .value_or(QString())
                               .trimmed();
    if (!answer.isEmpty()) {
        item->setText(answer);
    } else if (dialogs().ask(
                   QStringLiteral("Would you like to remove this e-mail address? (click no to cancel "
                                  "your edit)"),
                   MsgButtons::YesNo, MsgIcon::Question,
                   QStringLiteral("Remove or cancel?")) == MsgResult::Yes) {
        item->setText(QString());
    }
    mBrowser.keyUp(0, Qt::NoModifier);
}

void ContactEditor::lstWebSite_DblClick() {
    if (mCard.lstWebSite->count() == 0)
        mCard.lstWebSite->addItem(QString());
    QListWidgetItem* page = mCard.lstWebSite->item(0);
    if (!isEditing()) {
        if (!page->text().isEmpty()) {
            const QString link = webPageLink(page->text());
            if (link.isEmpty())
                dialogs().message(QStringLiteral("\"") + page->text() +
                                  QStringLiteral("\" is not a web address, so it was not opened."));
            else
                shell().open(link);
        }
        mCard.cmbContacts->setFocus();
        return;
    }
    const std::optional<QString> answer =
        dialogs().input(QStringLiteral("Please enter a new web page for ") + mCard.txtName->text(),
                        QStringLiteral("Edit Web Page"), page->text());
    page->setText(answer.value_or(QString()).trimmed());
}

// --- Notes and user fields ----------------------------------------------------------------------

void ContactEditor::menuNotes_Click() {
    if (unloaded())
        return;
    const SyncingScope busy(mSyncMark);
    if (mCard.cmbContacts->currentText() == browsertext::kNoContacts) {
        dialogs().message(QStringLiteral("Please select a contact."));
        return;
    }
    const QString name = mCard.txtName->text();
    const QPointer<frmNotes> notes = notesWindow();
    notes->setContactName(name);
    setTag(notes->cmdSave, QString());
    const QPointer<ContactEditor> self(this);
    dialogs().exec(*notes);
    if (!self || unloaded() || !notes || Tag(notes->cmdSave) != frmNotes::kSaveTag)
        return;
    setTag(notes->cmdSave, QString());

    ol::ItemPtr contact;
    try {
        contact = shownContact(name);
    } catch (const ol::Error& e) {
        storeFailed(e, name, QStringLiteral("The notes could not be saved: "));
        return;
    }
    // A refused write of the notes does not stop the save.
    const QString text = notes->notes();
    try {
        if (!m.gNoRedemption && m.gSafeContact) {
            m.gSafeContact->setItem(contact); // the wrapper writes through this handle, which is saved
            m.gSafeContact->Set(QStringLiteral("Body"), text);
        } else {
            contact->set(ol::prop::Body, text);
        }
    } catch (const ol::Error& e) {
        debug(QStringLiteral(":Cannot write the notes: ") + e.message());
    }
    try {
        contact->Save();
    } catch (const ol::Error& e) {
        storeFailed(e, name, QStringLiteral("The notes could not be saved: "));
    }
}

void ContactEditor::menuUser_Click() {
    if (unloaded())
        return;
    const SyncingScope busy(mSyncMark);
    if (mCard.cmbContacts->currentText() == browsertext::kNoContacts) {
        dialogs().message(QStringLiteral("Please select a contact!."));
        return;
    }
    dialogs().exec(*userWindow());
}

void ContactEditor::saveUserFields() {
    if (unloaded() || !mUser)
        return;
    const QString name = mCard.txtName->text();
    try {
        const ol::ItemPtr contact = shownContact(name);
        for (int i = 1; i <= 4; ++i)
            contact->set(ol::prop::User1 + i - 1, mUser->userField(i));
        contact->Save();
    } catch (const ol::Error& e) {
        storeFailed(e, name, QStringLiteral("The user fields could not be saved: "));
        return;
    }
    dialogs().message(QStringLiteral("User Fields saved."));
}

// --- Categories and the store's own window ------------------------------------------------------

void ContactEditor::menuCategory_Click() {
    if (unloaded())
        return;
    const SyncingScope busy(mSyncMark);
    const QString name = mCard.txtName->text();
    if (name == browsertext::kNoContacts) {
        dialogs().message(QStringLiteral("Please select a contact!."));
        return;
    }
    try {
        shownContact(name)->ShowCategoriesDialog();
    } catch (const ol::Error& e) {
        storeFailed(e, name, QStringLiteral("The categories could not be shown: "));
    }
}

void ContactEditor::menuOutlook_Click() {
    if (unloaded())
        return;
    mCard.cmbContacts->setFocus();
    const QString name = mCard.txtName->text();
    if (name == browsertext::kNoContacts) {
        dialogs().message(QStringLiteral("Please select a contact to view in Outlook."));
        return;
    }
    // The item's window edits the contact: no timed sync meanwhile.
    const SyncingScope busy(mSyncMark);
    ol::ItemPtr contact;
    try {
        contact = shownContact(name);
    } catch (const ol::Error& e) {
        if (e.number() == ol::kErrNotFound) {
            contactVanished(name);
            return;
        }
        debug(QStringLiteral(":View in Outlook: ") + e.message());
        return;
    }
    try {
        contact->Display();
    } catch (const ol::Error& e) {
        debug(QStringLiteral(":View in Outlook: ") + e.message()); // the window is a courtesy
    }
}

void ContactEditor::txtName_DblClick() {
    // While editing, a double-click selects a word of the name.
    if (!isEditing())
        menuOutlook_Click();
}

// --- The "me" contact -------------------------------------------------------------------------------

void ContactEditor::storeMe(const QString& name) {
    SaveSetting(QLatin1String(sections::Misc), QLatin1String(keys::Me), name);
    // The live settings name the "me" contact too (the map links read it).
    if (mHooks.meChanged)
        mHooks.meChanged(name);
    mBrowser.LetterChange();
}

void ContactEditor::menuMe_Click() {
    if (unloaded() || isEditing())
        return;
    const QString name = mCard.txtName->text();
    if (name.isEmpty() || name == browsertext::kNoContacts) {
        dialogs().message(QStringLiteral("Please select a contact first."));
        return;
    }
    dialogs().message(name + QStringLiteral(" has been stored as 'you'.  This will be used to give driving "
                                            "direction from your address (in addition to future uses)."));
    storeMe(name);
}

void ContactEditor::txtMe_DblClick() {
    if (unloaded() || isEditing())
        return;
    const QString question = mCard.txtName->text() + QStringLiteral("  will no longer be stored as 'you'.") +
                             kLF + QStringLiteral("Are you sure?");
    if (dialogs().ask(question, MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Confirm Delete!!!")) ==
        MsgResult::Yes)
        storeMe(QString());
    mCard.cmbContacts->setFocus();
}

} // namespace qel
