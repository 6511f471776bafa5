#include "ContactActions.h"

#include "frmSMS.h"

#include "core/DebugLog.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "core/Tag.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QTextDocument>

namespace qel {

namespace {

const QString kShift = QStringLiteral("Shift");
const QString kNoContacts = QStringLiteral("<No Contacts>"); // the contact list's entry for none
const QString kNotReady = QStringLiteral("Not ready yet :(");
const QString kPasteFile = QStringLiteral("ContactPaste.txt");
constexpr int kFewestDigits = 7;
constexpr int kAnswerShown = 300; // characters of a refusing service's answer shown to the user

QClipboard& clipboard() {
    return *QGuiApplication::clipboard();
}

// The text of a list's entry; "" when there is no such entry.
QString entryText(const QListWidget* list, int entry) {
    const QListWidgetItem* item = list ? list->item(entry) : nullptr;
    return item ? item->text() : QString();
}

// A text with the password taken out, in every form it may have travelled in.
QString withoutPassword(QString text, const QString& password) {
    if (password.isEmpty())
        return text;
    for (const QString& form : {password, QString::fromLatin1(QUrl::toPercentEncoding(password))})
        text.replace(form, QStringLiteral("*****"));
    return text;
}

// The click-to-call request carries the password in its query: only over TLS, or to this machine.
bool safeForPassword(const QUrl& url) {
    if (url.scheme() == QLatin1String("https"))
        return true;
    return url.scheme() == QLatin1String("http") &&
           (url.host() == QLatin1String("127.0.0.1") || url.host() == QLatin1String("localhost") ||
            url.host() == QLatin1String("::1"));
}

} // namespace

ContactActions::ContactActions(ActionControls ui, const ol::FolderPtr& contactFolder, SettingsModel& settings,
                               QObject* syncMark, QWidget* window, ActionHooks hooks, QObject* parent)
    : QObject(parent), mUi(ui), mContactFolder(contactFolder), mSettings(settings), mSyncMark(syncMark),
      mWindow(window), mHooks(std::move(hooks)) {
    if (mUi.lstEmail)
        mUi.lstEmail->viewport()->installEventFilter(this);
}

bool ContactActions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && mUi.lstEmail && watched == mUi.lstEmail->viewport()) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QModelIndex under = mUi.lstEmail->indexAt(press->position().toPoint());
        lstEmail_MouseDown(press->button(), press->modifiers(), under.isValid() ? under.row() : -1);
    }
    return QObject::eventFilter(watched, event);
}

// --- Small steps ----------------------------------------------------------------------------------

bool ContactActions::editing() const {
    return mHooks.editing && mHooks.editing();
}

bool ContactActions::shiftMarked(const QWidget* control) const {
    return mHooks.shiftMarked && mHooks.shiftMarked(control);
}

void ContactActions::keyUp() {
    if (mHooks.keyUp)
        mHooks.keyUp();
}

void ContactActions::focusContacts() {
    if (mUi.cmbContacts && !editing())
        mUi.cmbContacts->setFocus();
}

void ContactActions::showStatus(const QString& text) {
    if (mUi.lblMisc)
        mUi.lblMisc->setText(text);
    if (mHooks.startMiscTimer)
        mHooks.startMiscTimer();
}

bool ContactActions::contactShown() const {
    const QString name = mUi.cmbContacts ? mUi.cmbContacts->currentText() : QString();
    return !name.isEmpty() && name != kNoContacts;
}

// --- Phone numbers --------------------------------------------------------------------------------

void ContactActions::txtNumber_DblClick(int index) {
    if (editing() || index < 0 || index >= int(mUi.txtNumber.size()))
        return;
    QLineEdit* box = mUi.txtNumber[size_t(index)];
    const QString number = box->text();
    if (!number.isEmpty()) {
        if (!shiftMarked(box)) {
            if (mSettings.enableVonage)
                PlaceVoipCall(number);
        } else {
            openTextMessage(number);
        }
    }
    keyUp();
    focusContacts();
}

void ContactActions::openTextMessage(const QString& number) {
    frmSMS dialog(loadCarriers(), mWindow);
    dialog.userField = mHooks.userField;
    dialog.setUserField = mHooks.setUserField;
    dialog.prepare(links::dialDigits(number));
    SyncingScope syncing(mSyncMark);
    dialogs().exec(dialog);
}

void ContactActions::PlaceVoipCall(const QString& number) {
    const QString password = mSettings.voipPassword;
    if (mSettings.voipUserName.isEmpty() || password.isEmpty() || mSettings.phoneNumber.isEmpty()) {
        dialogs().message(QStringLiteral("Please fill in all vonage information in preferences."));
        return;
    }
    const QString digits = links::dialDigits(number);
    const QUrl request = links::clickToCall(mSettings.voipCallHost, mSettings.voipUserName, password,
                                            mSettings.phoneNumber, digits);
    if (!request.isValid() || request.host().isEmpty() || !safeForPassword(request)) {
        dialogs().message(
            QStringLiteral("The click-to-call service's address \"") + mSettings.voipCallHost +
            QStringLiteral("\" is not an https:// address, and the call would send your VoIP "
                           "password unprotected. Please correct CallHost in the section VOIP of "
                           "the settings."));
        return;
    }
    debug(QStringLiteral(":Click-to-call: asking ") + request.host() + QStringLiteral(" to call ") + digits);
    http().get(request, this,
               [this, digits, password](const HttpReply& reply) { callAnswered(digits, password, reply); });
    focusContacts();
}

void ContactActions::callAnswered(const QString& number, const QString& password, const HttpReply& reply) {
    if (reply.accepted()) {
        debug(QStringLiteral(":Click-to-call to ") + number + QStringLiteral(" accepted"));
        showStatus(QStringLiteral("Call sent to ") + number);
        return;
    }
    QString why;
    if (reply.answered()) {
        const QString answer = QString::fromUtf8(reply.body).simplified().left(kAnswerShown);
        why = QStringLiteral("The click-to-call service refused the call (HTTP %1)").arg(reply.status) +
              (answer.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + answer);
    } else {
        why = QStringLiteral("The click-to-call service could not be reached: ") + reply.error;
    }
    why = withoutPassword(why, password);
    debug(QStringLiteral(":Click-to-call to ") + number + QStringLiteral(" failed. ") + why);
    dialogs().message(QStringLiteral("The call to ") + number + QStringLiteral(" was not placed.\r\n\r\n") +
                          why,
                      QStringLiteral("Click-to-call"), MsgIcon::Exclamation);
}

void ContactActions::callClipboardNumber() {
    const QString text = clipboard().text();
    if (text.isEmpty()) {
        dialogs().message(QStringLiteral("There is nothing on the clipboard."));
        return;
    }
    QString digits = links::clipboardDigits(text);
    if (digits.isEmpty()) {
        dialogs().message(QStringLiteral("There are no numbers on the clipboard."));
        return;
    }
    if (digits.size() < kFewestDigits) {
        dialogs().message(QStringLiteral("There are not enough numbers on the clipboard."));
        return;
    }
    if (digits.startsWith(QLatin1Char('1')))
        digits.remove(0, 1);
    const QString question = QStringLiteral("Would you like to call ") + digits +
                             QStringLiteral("?\r\n\r\n") +
                             QStringLiteral("This should only contain numbers, no spaces or hyphens");
    if (dialogs().ask(question, MsgButtons::YesNo, MsgIcon::Question,
                      QStringLiteral("Confirm Copy-2-Call")) == MsgResult::Yes)
        PlaceVoipCall(digits);
}

// --- E-mail -----------------------------------------------------------------------------------------

void ContactActions::lstEmail_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int entry) {
    if (button == Qt::LeftButton) {
        // Each press says afresh whether the next double-click is the Shift one.
        const bool shifted = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        setTag(mUi.lstEmail, shifted ? kShift : QString());
    } else if (button == Qt::RightButton) {
        // The entry under the pointer (else the selected one) is copied.
        const QString address = entryText(mUi.lstEmail, entry >= 0 ? entry : mUi.lstEmail->currentRow());
        if (address.isEmpty())
            return;
        clipboard().clear();
        clipboard().setText(address);
        const QString notice = address + QStringLiteral(" has been copied to the clipboard");
        const QString shown = mUi.lblMisc ? mUi.lblMisc->text() : QString();
        showStatus(shown.isEmpty() ? notice : shown + QStringLiteral("\r\n\r\n") + notice);
        sound().play(QStringLiteral("ding.wav"));
    }
    focusContacts();
}

void ContactActions::lstEmail_DblClick(int entry) {
    const QString address = entryText(mUi.lstEmail, entry);
    QString tag = Tag(mUi.lstEmail);
    if (mSettings.invertWebEmail)
        tag = tag == kShift ? QString() : kShift;
    setTag(mUi.lstEmail, QString());
    focusContacts();
    if (tag != kShift)
        shell().open(links::mail(address));
    else
        openWebMail(address);
    keyUp();
}

void ContactActions::openWebMail(const QString& address) {
    switch (mSettings.webEmail) {
    case 0:
        shell().open(links::gmail(address));
        break;
    case 1:
        shell().open(links::hotmail(address));
        break;
    default:
        dialogs().message(kNotReady);
        break;
    }
}

void ContactActions::mailClipboardAddress() {
    // A copied address often brings the line break or blanks around it.
    const QString text = clipboard().text().trimmed();
    const QString address = links::isMailAddress(text) ? text : QString();
    if (!mSettings.invertWebEmail) {
        shell().open(links::mail(address));
        return;
    }
    focusContacts();
    openWebMail(address);
}

// --- Addresses --------------------------------------------------------------------------------------

void ContactActions::txtBusinessAddress_DblClick() {
    txtAddress_DblClick(mUi.txtBusinessAddress);
}

void ContactActions::txtHomeAddress_DblClick() {
    txtAddress_DblClick(mUi.txtHomeAddress);
}

void ContactActions::txtOtherAddress_DblClick() {
    txtAddress_DblClick(mUi.txtOtherAddress);
}

void ContactActions::txtAddress_DblClick(QPlainTextEdit* box) {
    // While editing, and on an empty box, the double-click only paints the Shift mark back.
    if (!box || editing()) {
        keyUp();
        return;
    }
    focusContacts();
    const QString address = box->toPlainText();
    if (address.isEmpty()) {
        keyUp();
        return;
    }
    QString link;
    if (shiftMarked(box)) {
        setTag(box, QString());
        link = directionsFromMe(address);
    } else {
        link = links::map(address);
    }
    keyUp();
    if (!link.isEmpty())
        shell().open(link);
}

QString ContactActions::directionsFromMe(const QString& toAddress) {
    const QString me = mSettings.me();
    const auto forgetMe = [this] {
        SaveSetting(QLatin1String(sections::Misc), QLatin1String(keys::Me), QString());
        mSettings.setMe(QString());
    };
    if (me.isEmpty()) {
        dialogs().message(
            QStringLiteral("You must set a contact as 'you' before using this feature (tools menu)."));
        return {};
    }
    ol::ItemPtr contact;
    try {
        if (mContactFolder)
            contact = mContactFolder->Items()->Item(me);
    } catch (const ol::Error& e) {
        debug(QStringLiteral(":Looking up the 'me' contact: ") + e.message());
    }
    if (!contact) {
        dialogs().message(QStringLiteral("No contact named '") + me +
                          QStringLiteral("' was found.  It is no longer strored as 'you'."));
        forgetMe();
        return {};
    }
    static const std::array<std::pair<const char*, int>, 3> kFrom{
        std::pair{"Business Address", ol::prop::BusinessAddress},
        std::pair{"Home Address", ol::prop::HomeAddress}, std::pair{"Other Address", ol::prop::OtherAddress}};
    const auto& [kind, property] = kFrom[size_t(std::clamp(mSettings.fromAddressType, 0, 2))];
    const QString from = contact->text(property);
    if (from.isEmpty()) {
        dialogs().message(
            QStringLiteral("No ") + QLatin1String(kind) + QStringLiteral(" was found for ") + me +
            QStringLiteral(".  You should change your driving direction address in the preferences "
                           "(MISC tab) or add your address.  This contact has been unset as 'me'."));
        forgetMe();
        return {};
    }
    return links::directions(from, toAddress);
}

// --- Copy and print ---------------------------------------------------------------------------------

void ContactActions::buildCard() {
    links::CardText card;
    card.name = mUi.cmbContacts->currentText();
    for (size_t i = 0; i < card.numbers.size(); ++i)
        card.numbers[i] = mUi.txtNumber[i] ? mUi.txtNumber[i]->text() : QString();
    const std::array<QPlainTextEdit*, 3> boxes{mUi.txtBusinessAddress, mUi.txtHomeAddress,
                                               mUi.txtOtherAddress};
    for (size_t i = 0; i < boxes.size(); ++i)
        card.addresses[i] = boxes[i] ? boxes[i]->toPlainText() : QString();
    for (size_t k = 0; k < card.emails.size(); ++k)
        card.emails[k] = entryText(mUi.lstEmail, int(k));
    card.webPage = entryText(mUi.lstWebSite, 0);
    mCard = links::cardText(card);
}

void ContactActions::menuCopy_Click() {
    if (!contactShown()) {
        dialogs().message(QStringLiteral("Please select a contact to copy to the clipboard."));
        return;
    }
    clipboard().clear();
    buildCard();
    clipboard().setText(mCard);
}

void ContactActions::menuCopyText_Click() {
    if (!contactShown()) {
        // Nothing is written: the file would get whatever the clipboard held.
        dialogs().message(QStringLiteral("Please select a contact to copy to the clipboard."));
        return;
    }
    menuCopy_Click();
    const QString path = programFile(kPasteFile);
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write((mCard + QStringLiteral("\r\n")).toUtf8()) >= 0 && file.commit();
    if (!written) {
        dialogs().message(QStringLiteral("The contact could not be written to ") + path +
                          QStringLiteral(": ") + file.errorString());
        return;
    }
    shell().open(path); // a desktop without an editor for it is not reported
}

void ContactActions::menuPrint_Click() {
    if (!contactShown()) {
        dialogs().message(QStringLiteral("Please select a contact to print."));
        return;
    }
    menuCopy_Click();
    std::unique_ptr<QPrinter> printer = mHooks.printer ? mHooks.printer() : nullptr;
    if (!printer) {
        const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
        if (defaultPrinter.isNull()) {
            dialogs().message(
                QStringLiteral("There is no printer to print to. Please set up a printer and try "
                               "again."));
            return;
        }
        printer = std::make_unique<QPrinter>(defaultPrinter);
    }
    QTextDocument page;
    QFont font = page.defaultFont();
    font.setPointSize(14);
    page.setDefaultFont(font);
    page.setPlainText(QString(mCard).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // Laid out on the printer's page as it is: the text alone, without page numbers.
    page.setPageSize(printer->pageLayout().paintRectPixels(printer->resolution()).size());
    page.print(printer.get());
    if (printer->printerState() == QPrinter::Error)
        dialogs().message(QStringLiteral("The contact could not be printed: the printer reported an error."));
}

} // namespace qel
