#include "frmSMS.h"

#include "Links.h"
#include "core/DebugLog.h"
#include "core/Named.h"
#include "core/Settings.h"
#include "core/SettingsCatalogue.h"
#include "core/Tag.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel {

namespace {

const QString kSMS = QLatin1String(sections::SMS);

QString smsSetting(const char* key) {
    return settingValue(kSMS, QLatin1String(key));
}

} // namespace

frmSMS::frmSMS(const QList<Carrier>& carriers, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSMS"));
    setWindowTitle(QStringLiteral("Select Service Provider"));

    lblTo = named(new QLabel(QStringLiteral("To:"), this), QStringLiteral("lblTo"));
    txtTo = named(new QLineEdit(this), QStringLiteral("txtTo"));
    lblProvider = named(new QLabel(QStringLiteral("Provider"), this), QStringLiteral("lblProvider"));
    cmbProvider = named(new QComboBox(this), QStringLiteral("cmbProvider"));
    cmbProvider2 = named(new QComboBox(this), QStringLiteral("cmbProvider2"));
    cmbProvider2->hide();
    for (const Carrier& carrier : carriers) {
        cmbProvider->addItem(carrier.name);
        cmbProvider2->addItem(carrier.domain);
    }
    cmdLookup = named(new QPushButton(QStringLiteral("Lookup..."), this), QStringLiteral("cmdLookup"));
    cmdLookup->setToolTip(QStringLiteral("Use a website to lookup the provider based on the phone number"));
    cmdOther = named(new QPushButton(QStringLiteral("Other..."), this), QStringLiteral("cmdOther"));
    cmdOther->setToolTip(QStringLiteral("View a website listing other possible domains"));

    fmeSettings = named(new QGroupBox(QStringLiteral("Settings"), this), QStringLiteral("fmeSettings"));
    chkRemind = named(new QCheckBox(QStringLiteral("Remind me about message limit "), fmeSettings),
                      QStringLiteral("chkRemind"));
    chkSearch = named(
        new QCheckBox(QStringLiteral("Attempt to obtain provider from contact User Field:*"), fmeSettings),
        QStringLiteral("chkSearch"));
    cmbUser = named(new QComboBox(fmeSettings), QStringLiteral("cmbUser"));
    cmbUser->addItems(
        {QStringLiteral("User1"), QStringLiteral("User2"), QStringLiteral("User3"), QStringLiteral("User4")});
    cmbUser->setEnabled(false);
    chkSig = named(new QCheckBox(QStringLiteral("Include this signiture in message:"), fmeSettings),
                   QStringLiteral("chkSig"));
    txtSig = named(new QPlainTextEdit(fmeSettings), QStringLiteral("txtSig"));
    txtSig->setEnabled(false);
    txtSig->setFixedHeight(60);
    lblNote =
        named(new QLabel(QStringLiteral("*this will also write the provider to the selected user field"),
                         fmeSettings),
              QStringLiteral("lblNote"));
    lblExplain =
        named(new QLabel(QStringLiteral("This will create an e-mail using your default e-mail client to "
                                        "the phone number you double clicked.  You may modify the "
                                        "address, change the provider or add a signature. The e-mail "
                                        "will be created and your settings will be saved after "
                                        "clicking okay."),
                         this),
              QStringLiteral("lblExplain"));
    lblExplain->setWordWrap(true);
    cmdOk = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("cmdCancel"));

    auto* address = new QGridLayout;
    address->addWidget(lblTo, 0, 0);
    address->addWidget(txtTo, 0, 1, 1, 3);
    address->addWidget(lblProvider, 1, 0);
    address->addWidget(cmbProvider, 1, 1);
    address->addWidget(cmdLookup, 1, 2);
    address->addWidget(cmdOther, 1, 3);
    address->setColumnStretch(1, 1);

    auto* settingsBox = new QGridLayout(fmeSettings);
    settingsBox->addWidget(chkRemind, 0, 0, 1, 2);
    settingsBox->addWidget(chkSearch, 1, 0);
    settingsBox->addWidget(cmbUser, 1, 1);
    settingsBox->addWidget(chkSig, 2, 0, 1, 2);
    settingsBox->addWidget(txtSig, 3, 0, 1, 2);
    settingsBox->addWidget(lblNote, 4, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(address);
    layout->addWidget(fmeSettings);
    layout->addWidget(lblExplain);
    layout->addLayout(buttons);
    setFixedWidth(460);

    connect(cmbProvider, &QComboBox::currentIndexChanged, this, &frmSMS::cmbProvider_Click);
    connect(chkSearch, &QCheckBox::toggled, this, &frmSMS::chkSearch_Click);
    connect(chkSig, &QCheckBox::toggled, this, &frmSMS::chkSig_Click);
    connect(cmdLookup, &QPushButton::clicked, this, &frmSMS::cmdLookup_Click);
    connect(cmdOther, &QPushButton::clicked, this, &frmSMS::cmdOther_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmSMS::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSMS::cmdCancel_Click);
}

void frmSMS::prepare(const QString& digits) {
    cmbProvider->setCurrentIndex(cmbProvider->count() > 0 ? 0 : -1);
    cmbUser->setCurrentIndex(3);
    chkRemind->setChecked(smsSetting(keys::Remind) == QLatin1String(kYes));
    chkSearch->setChecked(smsSetting(keys::Search) == QLatin1String(kYes));
    cmbUser->setCurrentIndex(settingNumber(kSMS, QLatin1String(keys::User))); // a bad value reads as User4
    chkSig->setChecked(smsSetting(keys::Sig) == QLatin1String(kYes));
    txtSig->setPlainText(smsSetting(keys::SigText));
    setTag(txtTo, digits);
    txtTo->setText(digits);
    cmbProvider_Click(); // the address of the carrier chosen first
    if (chkSearch->isChecked() && userField)
        selectCarrier(userField(cmbUser->currentIndex() + 1));
}

bool frmSMS::selectCarrier(const QString& name) {
    for (int i = 0; i < cmbProvider->count(); ++i) {
        if (cmbProvider->itemText(i).compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            cmbProvider->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void frmSMS::cmbProvider_Click() {
    const QString digits = Tag(txtTo);
    const int position = cmbProvider->currentIndex();
    if (!digits.isEmpty() && position >= 0 && position < cmbProvider2->count())
        txtTo->setText(digits + cmbProvider2->itemText(position));
}

void frmSMS::chkSearch_Click() {
    cmbUser->setEnabled(chkSearch->isChecked());
}

void frmSMS::chkSig_Click() {
    txtSig->setEnabled(chkSig->isChecked());
}

void frmSMS::cmdLookup_Click() {
    shell().open(links::kNumberLookup);
}

void frmSMS::cmdOther_Click() {
    shell().open(links::kCarrierDomains);
}

void frmSMS::cmdOk_Click() {
    {
        SettingsBatch batch;
        saveFlag(kSMS, QLatin1String(keys::Remind), chkRemind->isChecked());
        saveFlag(kSMS, QLatin1String(keys::Search), chkSearch->isChecked());
        SaveSetting(kSMS, QLatin1String(keys::User), QString::number(cmbUser->currentIndex()));
        saveFlag(kSMS, QLatin1String(keys::Sig), chkSig->isChecked());
        SaveSetting(kSMS, QLatin1String(keys::SigText), txtSig->toPlainText());
    }
    const QString signature = chkSig->isChecked() ? txtSig->toPlainText() : QString();
    const QString link = links::textMessage(txtTo->text(), signature);
    if (!shell().open(link))
        debug(QStringLiteral(":The text message could not be handed to the e-mail program: ") +
              txtTo->text());
    if (chkSearch->isChecked())
        writeCarrierToUserField();
    accept();
}

void frmSMS::writeCarrierToUserField() {
    const int field = cmbUser->currentIndex() + 1;
    const QString carrier = cmbProvider->currentText();
    if (!setUserField || carrier.isEmpty())
        return;
    // The field may hold something else of the user's (special days, a note): that is never
    // written over; only an empty field or one naming a carrier takes the carrier.
    const QString held = userField ? userField(field).trimmed() : QString();
    if (!held.isEmpty() && cmbProvider->findText(held, Qt::MatchFixedString) < 0) {
        dialogs().message(cmbUser->currentText() +
                          QStringLiteral(" of this contact already holds other text, so ") + carrier +
                          QStringLiteral(" was not written to it."));
        return;
    }
    setUserField(field, carrier);
}

void frmSMS::cmdCancel_Click() {
    reject();
}

} // namespace qel
