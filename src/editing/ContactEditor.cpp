// The card as an editor: Edit Current Contact and Add Contact open the card's boxes, Save Edits
// (or Add Contact) writes them to the store after a duplicate-name check and a confirmation,
// Cancel Edits throws them away, Remove Contact deletes the shown contact. Every way out of edit
// mode rebuilds the main window from the store.

#include "EditingSupport.h"
#include "app/Program.h"
#include "app/Vantrel.h"
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

} // namespace

bool Vantrel::isEditing() const {
    return cmdSave && !cmdSave->isHidden();
}

void Vantrel::connectEditor() {
    connect(cmdSave, &QPushButton::clicked, this, &Vantrel::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &Vantrel::cmdCancel_Click);
    connect(lstEmail, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        lstEmail->setCurrentItem(item);
        lstEmail_DblClick();
    });
    connect(lstWebSite, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        lstWebSite->setCurrentItem(item);
        lstWebSite_DblClick();
    });
    auto* doubleClicks = new DoubleClickFilter(this);
    doubleClicks->watch(txtName, [this] { txtName_DblClick(); });
    doubleClicks->watch(txtMe, [this] { txtMe_DblClick(); });
}

ol::ItemsPtr Vantrel::contactItems() const {
    if (gOlContactFolder)
        return gOlContactFolder->Items();
    if (gOlContacts)
        return gOlContacts;
    throw ol::Error(ol::kErrObjectRequired, QStringLiteral("No contact folder is open."));
}

ol::ItemPtr Vantrel::shownContact(const QString& name) const {
    const ol::ItemsPtr items = contactItems();
    // Contacts may share a display name: the card keeps the EntryID of the one it shows.
    const QString id = txtID->text();
    if (!id.isEmpty()) {
        ol::ItemPtr contact = items->ItemWithID(id);
        if (contact && contact->Subject().compare(name, Qt::CaseInsensitive) == 0)
            return contact;
    }
    return items->Item(name);
}

void Vantrel::contactVanished(const QString& name) {
    debug(QStringLiteral(":Contact not found: ") + name);
    dialogs().message(name + QStringLiteral(" could not be found in the contact folder ") +
                          lblFolders->caption() +
                          QStringLiteral(". It may have been removed or renamed meanwhile; nothing was "
                                         "changed. The contact list is read again now."),
                      QStringLiteral("Contact not found"), MsgIcon::Exclamation);
    rebuildWindow();
}

void Vantrel::storeFailed(const ol::Error& e, const QString& name, const QString& failure,
                          const QString& title, MsgIcon icon) {
    if (e.number() == ol::kErrNotFound) {
        contactVanished(name);
        return;
    }
    // Whatever the user typed stays where it is: they may try again or cancel.
    debug(QLatin1Char(':') + failure + e.message());
    dialogs().message(failure + e.message(), title, icon);
}

void Vantrel::rebuildWindow() {
    if (mUnloaded)
        return;
    // The detail panes come back as they were before editing closed them.
    if (isEditing() && containerOpenBeforeEdit)
        mBrowser->selectTab(containerTabBeforeEdit);
    mProgram.reload();
}

// --- Entering edit mode --------------------------------------------------------------------------

void Vantrel::menuAdd_Click() {
    if (mUnloaded || isEditing())
        return;
    cmdSave->setText(editortext::kAddContact);
    txtName->setFocus();
    menuEdit_Click();
}

void Vantrel::menuEdit_Click() {
    if (mUnloaded || isEditing())
        return;
    enterEditMode();
}

void Vantrel::enterEditMode() {
    const bool add = adding();
    // Nothing to edit: refused before the sync timer is marked, so no mark stays behind.
    if (!add && txtName->text() == browsertext::kNoContacts) {
        dialogs().message(editortext::kSelectContact);
        return;
    }
    // No timed sync until the rebuild that ends edit mode (the new window starts unmarked).
    setTag(SyncTimer, kSyncingTag);

    if (add) {
        for (QLineEdit* box : txtNumber)
            box->clear();
        txtName->clear();
        lstEmail->clear();
        for (int i = 0; i < 3; ++i)
            lstEmail->addItem(QString());
        for (QPlainTextEdit* box : addressBoxes())
            box->clear();
        if (lstWebSite->count() == 0)
            lstWebSite->addItem(QString());
        else
            lstWebSite->item(0)->setText(QString());
        txtMe->hide(); // the blank card is nobody yet
    } else {
        txtName2->setText(txtName->text());
    }

    lstEmail->setToolTip(QStringLiteral("Double-click an e-mail to edit it."));
    lstWebSite->setToolTip(QStringLiteral("Double-click to edit Web Page."));
    for (QPlainTextEdit* box : addressBoxes())
        box->setToolTip(QString());

    cmdSave->show();
    cmdCancel->show();
    cmdSave->raise();
    cmdCancel->raise();
    for (QMenu* menu : {menuFile, menuTools, menuQEL, menuHelp})
        menu->menuAction()->setEnabled(false);
    for (QToolButton* arrow : {cmdRight, cmdLeft, cmdUp, cmdDown})
        arrow->hide();
    containerOpenBeforeEdit = mBrowser->containerOpen();
    containerTabBeforeEdit = mBrowser->selectedTab();
    mBrowser->cmdHide_Click();
    TabStrip1->setEnabled(false);
    cmbContacts->hide();
    for (LetterTabBox* tab : letterButtons())
        tab->hide();
    for (BackTabPicture* tab : backTabs())
        tab->hide();
    setKeyPreview(false);

    txtName->setReadOnly(false);
    for (QLineEdit* box : txtNumber) {
        box->setReadOnly(false);
        box->setFrame(true);
        box->setFocusPolicy(Qt::StrongFocus);
    }
    for (QPlainTextEdit* box : addressBoxes())
        box->setReadOnly(false);
    cmdQELDay->hide();
    cmdRedemption->hide();
    txtName->setFocus();
    debug(add ? QStringLiteral(":Adding a contact") : QStringLiteral(":Editing contact: ") + txtName->text());
}

// --- Save, cancel, remove ------------------------------------------------------------------------

void Vantrel::cmdSave_Click() {
    if (mUnloaded || !isEditing())
        return;
    const bool add = adding();
    const QString name = txtName->text();
    if (name.trimmed().isEmpty()) {
        dialogs().message(QStringLiteral("Please enter the contact's name."));
        txtName->setFocus();
        return;
    }
    const bool renamed = !add && txtName2->text() != name;
    const QString lookupName = renamed ? txtName2->text() : name;

    try {
        const ol::ItemsPtr items = contactItems();
        const ol::ItemPtr contact = add ? items->Add() : shownContact(lookupName);

        // Duplicate names, only for a new name. The name is compared as the store will keep it
        // (the handle is not saved when the check refuses).
        if (add || renamed) {
            contact->set(ol::prop::FullName, name);
            const ol::ItemsPtr same = items->Restrict(QStringLiteral("[FullName] = ") +
                                                      ol::quoteLiteral(contact->text(ol::prop::FullName)) +
                                                      QStringLiteral(" AND ") + browsertext::kContactClass);
            int others = 0;
            for (int i = 1; i <= same->Count(); ++i) {
                if (same->value(i, ol::prop::EntryID).toString() != contact->EntryID())
                    ++others;
            }
            if (others > 0) {
                dialogs().message(QStringLiteral("A contact already exists with the name ") + name +
                                  QStringLiteral(".  Please use a different name."));
                txtName->setFocus();
                return;
            }
        }

        const QString category = lblCategories->caption();
        const bool filtered = category != browsertext::kAllCategories;
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

        // Every field, empty ones too: clearing a box clears the property.
        const auto& phones = phoneProperties();
        const auto phone = [&](size_t index) { contact->set(phones[index], txtNumber[index]->text()); };
        contact->set(ol::prop::FullName, name);
        for (size_t i = 0; i <= 3; ++i)
            phone(i);
        contact->set(ol::prop::Email1Address, entryText(lstEmail, 0));
        contact->set(ol::prop::Email2Address, entryText(lstEmail, 1));
        contact->set(ol::prop::Email3Address, entryText(lstEmail, 2));
        for (size_t i = 4; i <= 7; ++i)
            phone(i);
        contact->set(ol::prop::BusinessAddress, txtBusinessAddress->toPlainText());
        contact->set(ol::prop::HomeAddress, txtHomeAddress->toPlainText());
        contact->set(ol::prop::OtherAddress, txtOtherAddress->toPlainText());
        for (size_t i = 8; i <= 15; ++i)
            phone(i);
        contact->set(ol::prop::WebPage, entryText(lstWebSite, 0));
        if (add && filtered)
            contact->set(ol::prop::Categories, category);
        contact->Save();

        mLetterCode = static_cast<qint16>(letterCodeOf(contact->text(ol::prop::LastName)));
        mContactName = contact->Subject();
    } catch (const ol::Error& e) {
        storeFailed(e, lookupName, QStringLiteral("The contact could not be saved: "),
                    QStringLiteral("Save Edits"), MsgIcon::Critical);
        return;
    }
    debug(QStringLiteral(":Saved contact: ") + mContactName);
    rebuildWindow();
}

void Vantrel::cmdCancel_Click() {
    if (mUnloaded)
        return;
    rebuildWindow();
}

void Vantrel::menuRemove_Click() {
    if (mUnloaded || isEditing())
        return;
    const QString name = txtName->text();
    if (name == browsertext::kNoContacts) {
        dialogs().message(editortext::kSelectContact);
        return;
    }
    const SyncingScope busy(SyncTimer);
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
