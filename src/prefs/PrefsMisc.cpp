// The preferences' "MISC" tab: its controls, their load from the settings and their way back,
// and its handlers.

#include "frmPrefs.h"

#include "PrefsLists.h"
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

void frmPrefs::buildMiscTab(QWidget* tab) {
    auto* other = group(tab, QStringLiteral("Other Settings"), QStringLiteral("fraOtherSettings"));
    chkRelease = checkBox(other, QStringLiteral("chkRelease"),
                          QStringLiteral("Release the connection to Outlook while Vantrel is minimized"));
    auto* otherLayout = new QVBoxLayout(other);
    otherLayout->addWidget(chkRelease);

    auto* email = group(tab, QStringLiteral("Click2Email Hotkey"), QStringLiteral("fraClick2Email"));
    chkEmail = checkBox(email, QStringLiteral("chkEmail"), QStringLiteral("Turn on Copy2Email hotkey"));
    email->setLayout(hotkeyBlock(email, chkEmail, chkModEmail, QStringLiteral("chkModEmail"), cmbHotkeyEmail,
                                 QStringLiteral("cmbHotkeyEmail"), cmbHotkeyEmailValue,
                                 QStringLiteral("cmbHotkeyEmailValue")));

    auto* directions =
        group(tab, QStringLiteral("Driving Directions"), QStringLiteral("fraDrivingDirections"));
    cmbFromAddress = comboBox(directions, QStringLiteral("cmbFromAddress"), prefs::fromAddressNames());
    lblMe =
        label(directions, QStringLiteral("The contact currently set as 'you' is: "), QStringLiteral("lblMe"));
    lblMe->setWordWrap(true);
    auto* directionsLayout = new QGridLayout(directions);
    directionsLayout->addWidget(label(directions, QStringLiteral("Start directions from your:")), 0, 0);
    directionsLayout->addWidget(cmbFromAddress, 0, 1);
    directionsLayout->setColumnStretch(2, 1);
    directionsLayout->addWidget(lblMe, 1, 0, 1, 3);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(other);
    layout->addWidget(email);
    layout->addWidget(directions);
    layout->addStretch(1);
}

void frmPrefs::loadMiscTab() {
    const SettingsModel& m = mSettings;
    loadHotKey(m.emailKey, chkEmail, chkModEmail, cmbHotkeyEmail);
    loadIndex(cmbFromAddress, m.fromAddressType);
    chkRelease->setChecked(m.release);
    showMe(m.me());
}

void frmPrefs::storeMiscTab() {
    SettingsModel& m = mSettings;
    m.emailKey = hotKeyOf(chkEmail, chkModEmail, cmbHotkeyEmail);
    m.fromAddressType = cmbFromAddress->currentIndex();
    m.release = chkRelease->isChecked();
}

void frmPrefs::chkEmail_Click() {
    const bool on = chkEmail->isChecked();
    enableAll(chkModEmail, on);
    cmbHotkeyEmail->setEnabled(on);
}

void frmPrefs::showMe(const QString& name) {
    lblMe->setText(QStringLiteral("The contact currently set as 'you' is: ") +
                   (name.isEmpty() ? QStringLiteral("Not Set!") : name));
}

} // namespace qel
