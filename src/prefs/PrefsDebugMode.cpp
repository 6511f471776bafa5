// The preferences' "Debug Mode" tab: its controls, their load from the settings and their way back,
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

void frmPrefs::buildDebugModeTab(QWidget* tab) {
    chkDebug = checkBox(tab, QStringLiteral("chkDebug"), QStringLiteral("Enter debugging mode"));
    txtDebug = lineEdit(tab, QStringLiteral("txtDebug"));
    txtDebug->hide();
    txtDebug->setEnabled(false);
    auto* note =
        label(tab, QStringLiteral("While debugging mode is on, Vantrel writes what it does to the file "
                                  "Debug.txt in its program folder."));
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(chkDebug);
    layout->addWidget(note);
    layout->addWidget(txtDebug);
    layout->addStretch(1);
}

void frmPrefs::loadDebugModeTab() {
    const SettingsModel& m = mSettings;
    chkDebug->setChecked(m.debugMode());
}

void frmPrefs::storeDebugModeTab() {
    SettingsModel& m = mSettings;
    m.setDebugMode(chkDebug->isChecked());
}

void frmPrefs::chkDebug_Click() {
    mSettings.setDebugMode(chkDebug->isChecked());
    Q_EMIT debugModeChanged(chkDebug->isChecked());
}

bool frmPrefs::debugModeOn() const {
    return mSettings.debugMode();
}

void frmPrefs::setCarrierText(const QString& text) {
    // Each message is one change of the box, also when it repeats the one before.
    if (txtDebug->text() == text) {
        const QSignalBlocker quiet(txtDebug);
        txtDebug->clear();
    }
    txtDebug->setText(text);
}

void frmPrefs::txtDebug_Change() {
    if (!txtDebug->text().isEmpty())
        appendDebugText(txtDebug->text());
}

void frmPrefs::writeDebugLine(const QString& text) {
    setCarrierText(text + QStringLiteral("\r\n"));
}

} // namespace qel
