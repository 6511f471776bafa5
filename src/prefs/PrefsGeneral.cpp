// The preferences' "General" tab: its controls, their load from the settings and their way back,
// and its handlers.

#include "frmPrefs.h"

#include "Autostart.h"
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

namespace {

const QString kLoadCaption = QStringLiteral("Load at login");
const QString kDontLoadCaption = QStringLiteral("Don't load at login");

} // namespace

void frmPrefs::buildGeneralTab(QWidget* tab) {
    auto* hotkey = group(tab, QStringLiteral("Hotkey"), QStringLiteral("fraHotkey"));
    chkHotkey = checkBox(hotkey, QStringLiteral("chkHotkey"),
                         QStringLiteral("Enable hotkey to restore Vantrel visible when minimized"));
    hotkey->setLayout(hotkeyBlock(hotkey, chkHotkey, chkMod, QStringLiteral("chkMod"), cmbHotkey,
                                  QStringLiteral("cmbHotkey"), cmbHotkeyValue,
                                  QStringLiteral("cmbHotkeyValue")));

    auto* basic = group(tab, QStringLiteral("Basic"), QStringLiteral("fraBasic"));
    chkSubFolders = checkBox(
        basic, QStringLiteral("chkSubFolders"),
        QStringLiteral("Check for Contact folders in all subfolders on load (may cause QEL to hang)"));
    cmdStartup = named(new QPushButton(kLoadCaption, basic), QStringLiteral("cmdStartup"));
    chkConfirm = checkBox(basic, QStringLiteral("chkConfirm"), QStringLiteral("Confirm exit"));
    auto* basicLayout = new QGridLayout(basic);
    basicLayout->addWidget(chkSubFolders, 0, 0, 1, 2);
    basicLayout->addWidget(chkConfirm, 1, 0);
    basicLayout->addWidget(cmdStartup, 1, 1, Qt::AlignRight);

    auto* web = group(tab, QStringLiteral("Web Based Email"), QStringLiteral("fraWebEmail"));
    cmbWebEmail = comboBox(web, QStringLiteral("cmbWebEmail"), prefs::webEmailNames());
    chkInvert =
        checkBox(web, QStringLiteral("chkInvert"),
                 QStringLiteral("Invert behavior (holding down shift opens default email client instead)"));
    auto* webLayout = new QGridLayout(web);
    webLayout->addWidget(label(web, QStringLiteral("Compose e-mail with:")), 0, 0);
    webLayout->addWidget(cmbWebEmail, 0, 1);
    webLayout->setColumnStretch(2, 1);
    webLayout->addWidget(chkInvert, 1, 0, 1, 3);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(hotkey);
    layout->addWidget(basic);
    layout->addWidget(web);
    layout->addStretch(1);
}

void frmPrefs::loadGeneralTab() {
    const SettingsModel& m = mSettings;
    if (autostart::isEnabled())
        cmdStartup->setText(kDontLoadCaption);
    chkConfirm->setChecked(m.confirmExit);
    chkSubFolders->setChecked(m.subFolders);
    loadHotKey(m.restoreKey, chkHotkey, chkMod, cmbHotkey);
    loadIndex(cmbWebEmail, m.webEmail);
    chkInvert->setChecked(m.invertWebEmail);
}

void frmPrefs::storeGeneralTab() {
    SettingsModel& m = mSettings;
    m.confirmExit = chkConfirm->isChecked();
    m.subFolders = chkSubFolders->isChecked();
    m.restoreKey = hotKeyOf(chkHotkey, chkMod, cmbHotkey);
    m.webEmail = cmbWebEmail->currentIndex();
    m.invertWebEmail = chkInvert->isChecked();
}

void frmPrefs::chkHotkey_Click() {
    const bool on = chkHotkey->isChecked();
    enableAll(chkMod, on);
    cmbHotkey->setEnabled(on);
}

void frmPrefs::cmdStartup_Click() {
    QString error;
    if (cmdStartup->text() == kLoadCaption) {
        if (!autostart::enable(&error)) {
            say(QStringLiteral("Vantrel could not be set to load when you log in to the desktop: ") + error);
            return;
        }
        cmdStartup->setText(kDontLoadCaption);
        say(QStringLiteral("Vantrel will now load when you log in to the desktop."));
    } else {
        if (!autostart::disable(&error)) {
            say(QStringLiteral("Vantrel could not be kept from loading when you log in to the desktop: ") +
                error);
            return;
        }
        cmdStartup->setText(kLoadCaption);
        say(QStringLiteral("Vantrel will not load when you log in to the desktop."));
    }
}

} // namespace qel
