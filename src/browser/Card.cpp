// The contact card: filled from the store whenever an entry of the contact list is selected, and
// the browser's position saved with it.

#include "ContactBrowser.h"

#include "core/DebugLog.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "core/Tag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

namespace qel {

const std::array<int, 16>& phoneProperties() {
    using namespace ol::prop;
    static const std::array<int, 16> properties = {HomeTelephoneNumber,
                                                   MobileTelephoneNumber,
                                                   BusinessTelephoneNumber,
                                                   BusinessFaxNumber,
                                                   Home2TelephoneNumber,
                                                   CarTelephoneNumber,
                                                   CallbackTelephoneNumber,
                                                   HomeFaxNumber,
                                                   PrimaryTelephoneNumber,
                                                   PagerNumber,
                                                   Business2TelephoneNumber,
                                                   OtherFaxNumber,
                                                   CompanyMainTelephoneNumber,
                                                   AssistantTelephoneNumber,
                                                   ISDNNumber,
                                                   OtherTelephoneNumber};
    return properties;
}

namespace {

const QString kCache = QStringLiteral("Cache");
constexpr int kCacheSaveDelayMs = 300;
const QString kMapTip = QStringLiteral("Double-Click to view this address in Google Maps.");
const QString kMapAndRouteTip =
    QStringLiteral("Double-Click to view this address in Google Maps. Hold down "
                   "Shift and double click to get driving directions to this address.");

// The contact of a list entry: by the EntryID kept with entries whose display name occurs more
// than once, else the first contact of that display name. `listed` is the letter's sorted result
// the list was filled from, where the entry most likely still sits at `hint` (1-based). Throws
// kErrNotFound.
ol::ItemPtr contactOfEntry(const ol::ItemsPtr& contacts, const ol::ItemsPtr& listed, int hint,
                           const QString& name, const QString& entryID) {
    if (entryID.isEmpty())
        return contacts->Item(name);
    if (listed && hint >= 1 && hint <= listed->Count() &&
        listed->value(hint, ol::prop::EntryID).toString() == entryID)
        return listed->Item(hint);
    ol::ItemPtr contact = contacts->ItemWithID(entryID);
    if (!contact)
        throw ol::Error(ol::kErrNotFound, QStringLiteral("The item %1 was not found.").arg(name));
    return contact;
}

} // namespace

void ContactBrowser::cmbContacts_Click() {
    QComboBox* list = mUi.cmbContacts;
    LogDebug(kMainWindowName, QStringLiteral(":Selecting contact: ") + m.mContactName);
    const QString text = list->currentText();
    if (text == browsertext::kNoContacts) {
        emptyCard();
        return;
    }
    if (list->currentIndex() < 0 || !m.gOlContacts)
        return;

    ol::ItemPtr contact;
    try {
        contact = contactOfEntry(m.gOlContacts, mListed, list->currentIndex() + 1, text,
                                 list->currentData().toString());
    } catch (const ol::Error& e) {
        if (e.number() == ol::kErrNotFound) {
            // The contact is gone: its entry leaves the list, the card keeps what it shows.
            const QSignalBlocker quiet(list);
            list->removeItem(list->currentIndex());
            list->setCurrentIndex(findIgnoringCase(list, m.mContactName));
        }
        return;
    }

    m.mContactName = text;
    mCurrentEntryID = contact->EntryID();
    mUi.txtName->setText(m.mContactName);
    const auto& phones = phoneProperties();
    for (size_t i = 0; i < phones.size(); ++i)
        mUi.txtNumber[i]->setText(contact->text(phones[i]));
    std::array<QString, 4> user;
    for (int i = 0; i < 4; ++i) {
        user[static_cast<size_t>(i)] = contact->text(ol::prop::User1 + i);
        if (mHooks.setUserField)
            mHooks.setUserField(i + 1, user[static_cast<size_t>(i)]);
    }

    // E-mail addresses and notes: a failed read leaves the entries or the notes empty.
    mUi.lstEmail->clear();
    mUi.lstWebSite->clear();
    std::array<QString, 3> mail;
    QString body;
    try {
        if (m.gNoRedemption) {
            mail = {contact->text(ol::prop::Email1Address), contact->text(ol::prop::Email2Address),
                    contact->text(ol::prop::Email3Address)};
            body = contact->text(ol::prop::Body);
        } else {
            if (!m.gSafeContact)
                throw ol::Error(ol::kErrCannotCreate,
                                QStringLiteral("The safe-item wrapper is not available."));
            m.gSafeContact->setItem(contact);
            mail = {m.gSafeContact->Get(QStringLiteral("Email1Address")).toString(),
                    m.gSafeContact->Get(QStringLiteral("Email2Address")).toString(),
                    m.gSafeContact->Get(QStringLiteral("Email3Address")).toString()};
            body = m.gSafeContact->Get(QStringLiteral("Body")).toString();
        }
    } catch (const ol::Error& e) {
        LogDebug(kMainWindowName, QStringLiteral(":Cannot read e-mail addresses: ") + e.message());
    }
    for (const QString& address : mail)
        mUi.lstEmail->addItem(address);
    if (mHooks.setNotes)
        mHooks.setNotes(body);

    const bool noMe = mSettings.me().isEmpty();
    const std::array<int, 3> addressProps = {ol::prop::BusinessAddress, ol::prop::HomeAddress,
                                             ol::prop::OtherAddress};
    const auto boxes = mUi.addressBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) {
        const QString address = contact->text(addressProps[i]);
        boxes[i]->setPlainText(address);
        if (!address.isEmpty() && (!mHooks.commandBuilt || mHooks.commandBuilt(boxes[i]->objectName())))
            boxes[i]->setToolTip(noMe ? kMapTip : kMapAndRouteTip);
    }

    mUi.lstWebSite->insertItem(0, contact->text(ol::prop::WebPage));
    mUi.txtFirst->setText(contact->text(ol::prop::FirstName));
    mUi.txtLast->setText(contact->text(ol::prop::LastName));
    mUi.txtID->setText(contact->EntryID());

    if (mUi.chkExtra->isChecked())
        pickAddressOption();

    const int field = mSettings.customField;
    const QString days = field >= 0 && field < 4 ? user[static_cast<size_t>(field)] : QString();
    if (!days.isEmpty()) {
        mUi.cmdQELDay->show();
        setTag(mUi.cmdQELDay, QStringLiteral("Happy"));
    } else {
        // The tag goes with the button, so that closing the search results does not bring back
        // the button of an earlier contact.
        mUi.cmdQELDay->hide();
        setTag(mUi.cmdQELDay, QString());
    }
    contact.reset();

    const QString me = mUi.txtName->text();
    mUi.txtMe->setVisible(!me.isEmpty() && me == GetSetting(QStringLiteral("Misc"), QStringLiteral("Me")));
    scheduleCacheSave();
}

void ContactBrowser::emptyCard() {
    mUi.txtName->setText(browsertext::kNoContacts);
    for (QLineEdit* box : mUi.txtNumber)
        box->clear();
    for (QPlainTextEdit* box : mUi.addressBoxes())
        box->clear();
    if (mHooks.setNotes)
        mHooks.setNotes(QString());
    if (mHooks.setUserField) {
        for (int i = 1; i <= 4; ++i)
            mHooks.setUserField(i, QString());
    }
    mUi.txtID->clear();
    mUi.txtFirst->clear();
    mUi.txtLast->clear();
    mUi.lstEmail->clear();
    mUi.lstWebSite->clear();
    mUi.cmdQELDay->hide();
    setTag(mUi.cmdQELDay, QString());

    const QString me = mUi.txtName->text();
    mUi.txtMe->setVisible(!me.isEmpty() && me == GetSetting(QStringLiteral("Misc"), QStringLiteral("Me")));
    scheduleCacheSave();
}

void ContactBrowser::scheduleCacheSave() {
    if (mCacheSavePending)
        return;
    mCacheSavePending = true;
    QTimer::singleShot(kCacheSaveDelayMs, this, &ContactBrowser::flushCache);
}

void ContactBrowser::flushCache() {
    if (mCacheSavePending)
        saveCache();
}

void ContactBrowser::dropPendingCache() {
    mCacheSavePending = false;
}

void ContactBrowser::saveCache() {
    mCacheSavePending = false;
    const SettingsBatch batch; // one write of the settings file for the eight keys
    SaveSetting(kCache, QStringLiteral("LetterCode"), QString::number(m.mLetterCode));
    SaveSetting(kCache, QStringLiteral("ContactName"), m.mContactName);
    SaveSetting(kCache, QStringLiteral("ContactEntryID"), mCurrentEntryID);
    SaveSetting(kCache, QStringLiteral("ContainerState"),
                containerOpen() ? QStringLiteral("1") : QStringLiteral("0"));
    SaveSetting(kCache, QStringLiteral("ContainerTab"), QString::number(selectedTab()));
    SaveSetting(kCache, QStringLiteral("CurrentCategory"), mUi.lblCategories->caption());
    SaveSetting(kCache, QStringLiteral("CurrentFolder"), mUi.lblFolders->caption());
    SaveSetting(kCache, QStringLiteral("ExtraInfo"),
                mUi.chkExtra->isChecked() ? QStringLiteral("Checked") : QStringLiteral("Unchecked"));
}

void ContactBrowser::appendPhoneTooltips(bool voip) {
    if (mHooks.commandBuilt && !mHooks.commandBuilt(mUi.txtNumber[0]->objectName()))
        return; // no promise of calls and texts before they are there
    const QString hint = voip ? QStringLiteral(" - Double Click to call using your VOP. Hold down shift and "
                                               "double click to send a text message.")
                              : QStringLiteral(" - Hold down shift and double click to send a text message.");
    for (QLineEdit* box : mUi.txtNumber)
        box->setToolTip(box->toolTip() + hint);
}

} // namespace qel
