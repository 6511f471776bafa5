// The card as an editor: Edit Current Contact and Add Contact open the card's boxes, Save Edits
// (or Add Contact) writes them to the store after a duplicate-name check and a confirmation,
// Cancel Edits throws them away, Remove Contact deletes the shown contact. Every way out of edit
// mode rebuilds the main window from the store.

#include "ContactEditor.h"

#include "EditingSupport.h"
#include "browser/ContactBrowser.h"
#include "core/DebugLog.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>

namespace qel {

namespace {

const QString kLF = QStringLiteral("\n");

QString entryText(const QListWidget* list, int row) {
    const QListWidgetItem* item = list->item(row);
    return item ? item->text() : QString();
}

// The same text, line breaks aside (the card's boxes break lines with "\n", the store with "\r\n").
bool sameText(QString a, QString b) {
    for (QString* text : {&a, &b}) {
        text->replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text->replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return a == b;
}

} // namespace

ContactEditor::ContactEditor(BrowserControls& card, EditorControls& ui, BrowserMembers members,
                             ContactBrowser& browser, QWidget* window, QObject* syncMark, EditorHooks hooks,
                             QObject* parent)
    : QObject(parent), mCard(card), mUi(ui), m(members), mBrowser(browser), mWindow(window),
      mSyncMark(syncMark), mHooks(std::move(hooks)) {
    connectEditor();
}

bool ContactEditor::unloaded() const {
    return mHooks.unloaded && mHooks.unloaded();
}

bool ContactEditor::isEditing() const {
    return mUi.cmdSave && !mUi.cmdSave->isHidden();
}

void ContactEditor::connectEditor() {
    connect(mUi.cmdSave, &QPushButton::clicked, this, &ContactEditor::cmdSave_Click);
    connect(mUi.cmdCancel, &QPushButton::clicked, this, &ContactEditor::cmdCancel_Click);
    connect(mCard.lstEmail, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        mCard.lstEmail->setCurrentItem(item);
        lstEmail_DblClick();
    });
    connect(mCard.lstWebSite, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        mCard.lstWebSite->setCurrentItem(item);
        lstWebSite_DblClick();
    });
    auto* doubleClicks = new DoubleClickFilter(this);
    doubleClicks->watch(mCard.txtName, [this] { txtName_DblClick(); });
    doubleClicks->watch(mCard.txtMe, [this] { txtMe_DblClick(); });
}

ol::ItemsPtr ContactEditor::contactItems() const {
    if (m.gOlContactFolder)
        return m.gOlContactFolder->Items();
    if (m.gOlContacts)
        return m.gOlContacts;
    throw ol::Error(ol::kErrObjectRequired, QStringLiteral("No contact folder is open."));
}

ol::ItemPtr ContactEditor::shownContact(const QString& name) const {
    const ol::ItemsPtr items = contactItems();
    // Contacts may share a display name: the card keeps the EntryID of the one it shows, which is
    // the one meant even when another program renamed it meanwhile.
    const QString id = mCard.txtID->text();
    if (id.isEmpty())
        return items->Item(name);
    ol::ItemPtr contact = items->ItemWithID(id);
    if (!contact)
        throw ol::Error(ol::kErrNotFound, QStringLiteral("The item %1 was not found.").arg(name));
    return contact;
}

void ContactEditor::contactVanished(const QString& name) {
    debug(QStringLiteral(":Contact not found: ") + name);
    dialogs().message(name + QStringLiteral(" could not be found in the contact folder ") +
                          mCard.lblFolders->caption() +
                          QStringLiteral(". It may have been removed or renamed meanwhile; nothing was "
                                         "changed. The contact list is read again now."),
                      QStringLiteral("Contact not found"), MsgIcon::Exclamation);
    rebuildWindow();
}

void ContactEditor::storeFailed(const ol::Error& e, const QString& name, const QString& failure,
                                const QString& title, MsgIcon icon) {
    if (e.number() == ol::kErrNotFound) {
        contactVanished(name);
        return;
    }
    // Whatever the user typed stays where it is: they may try again or cancel.
    debug(QLatin1Char(':') + failure + e.message());
    dialogs().message(failure + e.message(), title, icon);
}

void ContactEditor::rebuildWindow() {
    if (unloaded())
        return;
    // The detail panes come back as they were before editing closed them.
    if (isEditing() && mUi.containerOpenBeforeEdit)
        mBrowser.selectTab(mUi.containerTabBeforeEdit);
    if (mHooks.reload)
        mHooks.reload();
}

// --- Entering edit mode --------------------------------------------------------------------------

void ContactEditor::menuAdd_Click() {
    if (unloaded() || isEditing())
        return;
    mUi.cmdSave->setText(editortext::kAddContact);
    mCard.txtName->setFocus();
    menuEdit_Click();
}

void ContactEditor::menuEdit_Click() {
    if (unloaded() || isEditing())
        return;
    enterEditMode();
}

void ContactEditor::enterEditMode() {
    const bool add = mUi.adding();
    // Nothing to edit: refused before the sync timer is marked, so no mark stays behind.
    if (!add && mCard.txtName->text() == browsertext::kNoContacts) {
        dialogs().message(editortext::kSelectContact);
        return;
    }
    // No timed sync until the rebuild that ends edit mode (the new window starts unmarked).
    setTag(mSyncMark, kSyncingTag);

    if (add) {
        for (QLineEdit* box : mCard.txtNumber)
            box->clear();
        mCard.txtName->clear();
        mCard.lstEmail->clear();
        for (int i = 0; i < 3; ++i)
            mCard.lstEmail->addItem(QString());
        for (QPlainTextEdit* box : mCard.addressBoxes())
            box->clear();
        if (mCard.lstWebSite->count() == 0)
            mCard.lstWebSite->addItem(QString());
        else
            mCard.lstWebSite->item(0)->setText(QString());
        mCard.txtMe->hide(); // the blank card is nobody yet
    } else {
        mUi.txtName2->setText(mCard.txtName->text());
    }

    mCard.lstEmail->setToolTip(QStringLiteral("Double-click an e-mail to edit it."));
    mCard.lstWebSite->setToolTip(QStringLiteral("Double-click to edit Web Page."));
    for (QPlainTextEdit* box : mCard.addressBoxes())
        box->setToolTip(QString());

    mUi.cmdSave->show();
    mUi.cmdCancel->show();
    mUi.cmdSave->raise();
    mUi.cmdCancel->raise();
    for (QToolButton* arrow : {mCard.cmdRight, mCard.cmdLeft, mCard.cmdUp, mCard.cmdDown})
        arrow->hide();
    mUi.containerOpenBeforeEdit = mBrowser.containerOpen();
    mUi.containerTabBeforeEdit = mBrowser.selectedTab();
    mBrowser.cmdHide_Click();
    mCard.TabStrip1->setEnabled(false);
    mCard.cmbContacts->hide();
    for (LetterTabBox* tab : mCard.letterButtons())
        tab->hide();
    for (BackTabPicture* tab : mCard.backTabs())
        tab->hide();
    if (mHooks.closeWindowParts)
        mHooks.closeWindowParts();
    if (mHooks.setKeyPreview)
        mHooks.setKeyPreview(false);

    mCard.txtName->setReadOnly(false);
    for (QLineEdit* box : mCard.txtNumber) {
        box->setReadOnly(false);
        box->setFrame(true);
        box->setFocusPolicy(Qt::StrongFocus);
    }
    for (QPlainTextEdit* box : mCard.addressBoxes())
        box->setReadOnly(false);
    mCard.cmdQELDay->hide();
    mCard.txtName->setFocus();
    debug(add ? QStringLiteral(":Adding a contact")
              : QStringLiteral(":Editing contact: ") + mCard.txtName->text());
}

// --- Save, cancel, remove ------------------------------------------------------------------------

void ContactEditor::cmdSave_Click() {
    if (unloaded() || !isEditing())
        return;
    const bool add = mUi.adding();
    const QString name = mCard.txtName->text();
    if (name.trimmed().isEmpty()) {
        dialogs().message(QStringLiteral("Please enter the contact's name."));
        mCard.txtName->setFocus();
        return;
    }
    const bool renamed = !add && mUi.txtName2->text() != name;
    const QString lookupName = renamed ? mUi.txtName2->text() : name;

    try {
        const ol::ItemsPtr items = contactItems();
        const ol::ItemPtr contact = add ? items->Add() : shownContact(lookupName);

        // Duplicate names, only for a new name. The name is compared as the store will keep it
        // (the handle is not saved when the check refuses).
        if (add || renamed) {
            contact->set(ol::prop::FullName, name);
            const ol::ItemsPtr same = items->Restrict(QStringLiteral("[FullName] = ") +
                                                      ol::quoteLiteral(contact->text(ol::prop::FullName)) +
                                                      QStringLiteral(" AND ") + ol::kContactsFilter);
            int others = 0;
            for (int i = 1; i <= same->Count(); ++i) {
                if (same->value(i, ol::prop::EntryID).toString() != contact->EntryID())
                    ++others;
            }
            if (others > 0) {
                dialogs().message(QStringLiteral("A contact already exists with the name ") + name +
                                  QStringLiteral(".  Please use a different name."));
                mCard.txtName->setFocus();
                return;
            }
        }

        const QString category = mCard.lblCategories->caption();
        // "Uncategorized" lists the contacts without a category: a contact added there gets none.
        const bool filtered =
            category != browsertext::kAllCategories && category != browsertext::kUncategorized;
        QString question;
        QString title;
        if (add) {
            title = QStringLiteral("Confirm Addition");
            question = QStringLiteral("This will add ") + name +
                       QStringLiteral(" to your contacts folder in Outlook.");
            if (filtered)
                question += QStringLiteral(" It will also be given the Category of ") + category;
        } else {
            title = QStringLiteral("Confirm Edit");
            question = QStringLiteral("This will change the information for ") + name +
                       QStringLiteral(" stored in your contacts folder in Outlook");
        }
        question += kLF + QStringLiteral("Are you sure?");
        if (dialogs().ask(question, MsgButtons::YesNo, MsgIcon::Question, title) != MsgResult::Yes) {
            cmdCancel_Click();
            return;
        }

        // A new contact gets every field. An edited one only the fields that changed (clearing a
        // box clears the property): the store derives the name parts, the file-as text and the
        // address parts from what is written, so rewriting an unchanged box may change them.
        const auto put = [&](int property, const QString& value) {
            if (add || !sameText(contact->text(property), value))
                contact->set(property, value);
        };
        const auto& phones = phoneProperties();
        const auto phone = [&](size_t index) { put(phones[index], mCard.txtNumber[index]->text()); };
        if (add || renamed)
            contact->set(ol::prop::FullName, name);
        for (size_t i = 0; i <= 3; ++i)
            phone(i);
        put(ol::prop::Email1Address, entryText(mCard.lstEmail, 0));
        put(ol::prop::Email2Address, entryText(mCard.lstEmail, 1));
        put(ol::prop::Email3Address, entryText(mCard.lstEmail, 2));
        for (size_t i = 4; i <= 7; ++i)
            phone(i);
        put(ol::prop::BusinessAddress, mCard.txtBusinessAddress->toPlainText());
        put(ol::prop::HomeAddress, mCard.txtHomeAddress->toPlainText());
        put(ol::prop::OtherAddress, mCard.txtOtherAddress->toPlainText());
        for (size_t i = 8; i <= 15; ++i)
            phone(i);
        put(ol::prop::WebPage, entryText(mCard.lstWebSite, 0));
        if (add && filtered)
            contact->set(ol::prop::Categories, category);
        // Nothing changed: the contact is left as it was, its time of change too.
        if (add || !contact->Saved())
            contact->Save();

        m.mLetterCode = static_cast<qint16>(letterCodeOf(contact->text(ol::prop::LastName)));
        m.mContactName = contact->Subject();
        mBrowser.setCurrentEntry(contact->EntryID());
    } catch (const ol::Error& e) {
        storeFailed(e, lookupName, QStringLiteral("The contact could not be saved: "),
                    QStringLiteral("Save Edits"), MsgIcon::Critical);
        return;
    }
    debug(QStringLiteral(":Saved contact: ") + m.mContactName);
    rebuildWindow();
}

void ContactEditor::cmdCancel_Click() {
    if (unloaded())
        return;
    rebuildWindow();
}

void ContactEditor::menuRemove_Click() {
    if (unloaded() || isEditing())
        return;
    const QString name = mCard.txtName->text();
    if (name == browsertext::kNoContacts) {
        dialogs().message(editortext::kSelectContact);
        return;
    }
    const SyncingScope busy(mSyncMark);
    const QString question = QStringLiteral("This will remove ") + name +
                             QStringLiteral(" from your contacts folder in Outlook.") + kLF +
                             QStringLiteral("Are you sure?");
    if (dialogs().ask(question, MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Confirm Delete!!!")) !=
        MsgResult::Yes) {
        cmdCancel_Click();
        return;
    }
    try {
        shownContact(name)->Delete();
    } catch (const ol::Error& e) {
        storeFailed(e, name, QStringLiteral("The contact could not be removed: "),
                    QStringLiteral("Remove Contact"), MsgIcon::Critical);
        return;
    }
    debug(QStringLiteral(":Removed contact: ") + name);
    rebuildWindow();
}

} // namespace qel
