// The preferences' "VOIP" tab: its controls, their load from the settings and their way back,
// and its handlers.

#include "frmPrefs.h"

#include "PrefsUi.h"
#include "core/Named.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QButtonGroup>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace qel {

using namespace prefsui;

const QString frmPrefs::kVonageSite = QStringLiteral("https://www.vonage.com/");

void frmPrefs::buildVOIPTab(QWidget* tab) {
    chkVonage = checkBox(
        tab, QStringLiteral("chkVonage"),
        QStringLiteral("Enable Vonage Click-2-Call integration.  Double click a phone number to invoke."));
    txtUserName = lineEdit(tab, QStringLiteral("txtUserName"));
    txtPardine = lineEdit(tab, QStringLiteral("txtPardine"));
    txtPhoneNumber = lineEdit(tab, QStringLiteral("txtPhoneNumber"));
    Vonage = label(tab, QStringLiteral("<a href=\"%1\">www.vonage.com</a>").arg(kVonageSite),
                   QStringLiteral("Vonage"));
    Vonage->setTextFormat(Qt::RichText);
    Vonage->setCursor(Qt::PointingHandCursor);
    auto* account = new QGridLayout;
    account->addWidget(label(tab, QStringLiteral("User Name")), 0, 0);
    account->addWidget(txtUserName, 0, 1);
    account->addWidget(label(tab, QStringLiteral("Password")), 1, 0);
    account->addWidget(txtPardine, 1, 1);
    account->addWidget(label(tab, QStringLiteral("Vonage Number")), 2, 0);
    account->addWidget(txtPhoneNumber, 2, 1);
    account->addWidget(
        label(tab, QStringLiteral("Must include 1 + area code + seven digit number with NO spaces")), 3, 1);
    account->setColumnStretch(2, 1);

    auto* copy = group(tab, QStringLiteral("Copy-2-Call Hotkey"), QStringLiteral("fraCopy2Call"));
    chkCopy2Call = checkBox(copy, QStringLiteral("chkCopy2Call"), QStringLiteral("Enable Copy-2-Call"));
    copy->setLayout(hotkeyBlock(copy, chkCopy2Call, chkModCopy, QStringLiteral("chkModCopy"), cmbHotkeyCopy,
                                QStringLiteral("cmbHotkeyCopy"), cmbHotkeyValueCopy,
                                QStringLiteral("cmbHotkeyValueCopy")));

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(chkVonage);
    layout->addLayout(account);
    layout->addWidget(copy);
    layout->addWidget(Vonage);
    layout->addStretch(1);
}

void frmPrefs::loadVOIPTab() {
    const SettingsModel& m = mSettings;
    chkVonage->setChecked(m.enableVonage);
    txtUserName->setText(m.voipUserName);
    txtPardine->setText(m.voipPassword);
    txtPhoneNumber->setText(m.phoneNumber);
    loadHotKey(m.copy2CallKey, chkCopy2Call, chkModCopy, cmbHotkeyCopy);
}

void frmPrefs::storeVOIPTab() {
    SettingsModel& m = mSettings;
    m.enableVonage = chkVonage->isChecked();
    m.voipUserName = txtUserName->text();
    m.voipPassword = txtPardine->text();
    m.phoneNumber = txtPhoneNumber->text();
    m.copy2CallKey = hotKeyOf(chkCopy2Call, chkModCopy, cmbHotkeyCopy);
}

void frmPrefs::chkVonage_Click() {
    const bool on = chkVonage->isChecked();
    enableAll({txtUserName, txtPardine, txtPhoneNumber, chkCopy2Call}, on);
    chkCopy2Call_Click();
}

void frmPrefs::chkCopy2Call_Click() {
    const bool on = chkCopy2Call->isEnabled() && chkCopy2Call->isChecked();
    enableAll(chkModCopy, on);
    cmbHotkeyCopy->setEnabled(on);
}

void frmPrefs::Vonage_Click() {
    if (!shell().open(kVonageSite))
        say(QStringLiteral("The web site ") + kVonageSite + QStringLiteral(" could not be opened."));
}

} // namespace qel
