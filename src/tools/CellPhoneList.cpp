// "Create Cell Phone List": the contacts of the current folder that pass the filter of the
// preferences, cut down to their full name and the ticked numbers and addresses, copied into a
// contact folder the user picks, which is emptied first. Everything that can refuse is checked
// before anything in that folder is deleted.

#include "CalendarTools.h"

#include "core/Tag.h"
#include "platform/Dialogs.h"

#include <algorithm>

namespace qel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The property each field check box of the preferences copies (CellField0 .. CellField18).
const char* const kCellProperties[kCellFieldCount] = {"HomeTelephoneNumber",
                                                      "MobileTelephoneNumber",
                                                      "BusinessTelephoneNumber",
                                                      "BusinessFaxNumber",
                                                      "Home2TelephoneNumber",
                                                      "CarTelephoneNumber",
                                                      "Business2TelephoneNumber",
                                                      "HomeFaxNumber",
                                                      "PrimaryTelephoneNumber",
                                                      "PagerNumber",
                                                      "CompanyMainTelephoneNumber",
                                                      "OtherFaxNumber",
                                                      "CallbackTelephoneNumber",
                                                      "ISDNNumber",
                                                      "AssistantTelephoneNumber",
                                                      "OtherTelephoneNumber",
                                                      "Email1Address",
                                                      "Email2Address",
                                                      "Email3Address"};
constexpr int kFirstEmail = 16;

} // namespace

void CalendarTools::menuCell_Click() {
    SyncingScope command(mUi.menuCell);
    SyncingScope noTimedSync(mUi.SyncTimer);
    mCellCount = 0;
    makeCellList();
    if (mHooks.unloadProgress)
        mHooks.unloadProgress();
    if (mHooks.setWindowShown)
        mHooks.setWindowShown(true);
}

void CalendarTools::makeCellList() {
    const bool anyField = std::find(mSettings.cellFields.begin(), mSettings.cellFields.end(), true) !=
                          mSettings.cellFields.end();
    if (!anyField) {
        dialogs().message(
            QStringLiteral("No fields are selected for the Cell Phone List.  Please select at least "
                           "one field in preferences and run again."));
        return;
    }
    dialogs().message(
        QStringLiteral(
            "This will export certain contacts and fields that you specify (in preferences) to a new or "
            "existing contact folder (all existing contacts will be deleted). You can then browse to "
            "this contact folder to sync your cell phone using your favorite cell phone application, "
            "syncer, thingy.") +
        kCrLf + kCrLf + QStringLiteral("The data will copied from the contact folder named: ") +
        (m.gOlContactFolder ? m.gOlContactFolder->Name() : QString()) + kCrLf + kCrLf +
        QStringLiteral(
            "Please select the folder where the list will be created (must be a contact folder) on the "
            "next screen."));

    ol::FolderPtr target;
    try {
        target = m.gOlNameSpace ? m.gOlNameSpace->PickFolder() : nullptr;
    } catch (const ol::Error&) {
        target.reset();
    }
    if (!target) {
        dialogs().message(QStringLiteral("Cell Phone Export cancelled"));
        return;
    }
    if (target->DefaultItemType() != ol::olContactItem) {
        dialogs().message(
            QStringLiteral("Please select a contact folder type. You will need to click 'Create Cell "
                           "Phone List' from the menu again."));
        return;
    }
    if (m.gOlContactFolder && target->EntryID() == m.gOlContactFolder->EntryID()) {
        dialogs().message(
            QStringLiteral("Please select a different contact folder.  This folder is being used to "
                           "copy from and cannot also be the copy to folder.  You will need to click "
                           "'Create Cell Phone List' from the menu again."));
        return;
    }
    // The filter is tried before the target is touched: a typing error in it loses nothing.
    const QString filter = mSettings.cellSQL.isEmpty()
                               ? ol::kContactsFilter
                               : mSettings.cellSQL + QStringLiteral(" AND ") + ol::kContactsFilter;
    ol::ItemsPtr selected;
    try {
        selected = m.gOlContacts ? m.gOlContacts->Restrict(filter) : nullptr;
    } catch (const ol::Error&) {
        selected.reset();
    }
    if (!selected) {
        dialogs().message(QStringLiteral(
            "There is a syntax error in your SQL filter.  Please fix this in preferences and run again."));
        return;
    }

    ol::ItemsPtr existing = target->Items();
    if (existing->Count() > 0) {
        if (dialogs().ask(QStringLiteral("There is data in the folder named: ") + target->Name() +
                              QStringLiteral(". All contacts will be deleted. Would you like to continue?"),
                          MsgButtons::YesNo, MsgIcon::None, QStringLiteral("Data Exists!")) != MsgResult::Yes)
            return;
        try {
            ol::Batch batch(target);
            for (int index = existing->Count(); index >= 1; --index)
                existing->Item(index)->Delete();
            batch.commit();
        } catch (const ol::Error& e) {
            dialogs().message(QStringLiteral("The folder named ") + target->Name() +
                              QStringLiteral(" could not be emptied, so nothing was changed: ") +
                              e.message());
            return;
        }
    }

    if (mHooks.setWindowShown)
        mHooks.setWindowShown(false);
    if (Progress* p = progress())
        p->begin(selected->Count());
    for (const ol::ItemPtr& contact : selected) {
        status(QStringLiteral("Checking: ") + contact->Subject());
        if (Progress* p = progress(); p && p->cancelled()) {
            dialogs().message(QStringLiteral("Cell Phone List creation cancelled by user."));
            return;
        }
        try {
            if (copyCellContact(contact, target))
                ++mCellCount;
        } catch (const ol::Error& e) {
            dialogs().message(QStringLiteral("The contact ") + contact->Subject() +
                              QStringLiteral(" could not be copied: ") + e.message());
            return;
        }
    }

    const int added = target->Items()->Count();
    if (added == 0)
        dialogs().message(
            QStringLiteral("No Contacts were added.  Check your SQL filter or make sure that you have "
                           "contacts with the selected data in your contact folder. Also make sure "
                           "you have selected at lease one field in the preferences."));
    else if (added == 1)
        dialogs().message(QStringLiteral("1 Cell Phone Contact has been created!"));
    else
        dialogs().message(QString::number(added) + QStringLiteral(" Cell Phone Contacts has been created!"));
}

bool CalendarTools::copyCellContact(const ol::ItemPtr& contact, const ol::FolderPtr& target) {
    ol::ItemPtr copy = target->Items()->Add(ol::olContactItem);
    int copied = 0;
    for (int index = 0; index < kFirstEmail; ++index) {
        if (!mSettings.cellFields[size_t(index)])
            continue;
        const QString name = QLatin1String(kCellProperties[index]);
        const QString value = contact->Get(name).toString();
        if (!value.isEmpty()) {
            copy->Set(name, value);
            ++copied;
        }
    }
    // The addresses are protected: read through the safe wrapper where there is one. A failed read
    // only leaves that address out.
    const bool safe = !m.gNoRedemption && m.gSafeContact;
    if (safe)
        m.gSafeContact->setItem(contact);
    for (int index = kFirstEmail; index < kCellFieldCount; ++index) {
        if (!mSettings.cellFields[size_t(index)])
            continue;
        const QString name = QLatin1String(kCellProperties[index]);
        QString value;
        try {
            value = (safe ? m.gSafeContact->Get(name) : contact->Get(name)).toString();
        } catch (const ol::Error&) {
            value.clear();
        }
        if (!value.isEmpty()) {
            copy->Set(name, value);
            ++copied;
        }
    }
    if (copied == 0)
        return false;
    copy->Set(QStringLiteral("FullName"), contact->Get(QStringLiteral("FullName")));
    copy->Save();
    return true;
}

} // namespace qel
