// The preferences' "QEL Days" tab: its controls, their load from the settings and their way back,
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

void frmPrefs::buildQELDaysTab(QWidget* tab) {
    cmbField = comboBox(tab, QStringLiteral("cmbField"), prefs::customFieldNames());
    const QString colourCaptions[3] = {QStringLiteral("Choose the label color for Birthdays"),
                                       QStringLiteral("Choose the label color for Anniversaries"),
                                       QStringLiteral("Choose the label color for Other")};
    auto* grid = new QGridLayout;
    grid->addWidget(label(tab, QStringLiteral("Custom Field")), 0, 0);
    grid->addWidget(cmbField, 0, 1);
    const QStringList colours = prefs::labelColourNames();
    for (int i = 0; i < 3; ++i) {
        QComboBox* combo = comboBox(tab, QStringLiteral("cmbColor%1").arg(i), {});
        for (int c = 0; c < colours.size(); ++c) {
            QPixmap swatch(12, 12);
            swatch.fill(QColor(prefs::labelColourHex(c)));
            combo->addItem(QIcon(swatch), colours[c]);
        }
        combo->setToolTip(colourCaptions[i]);
        cmbColor[static_cast<size_t>(i)] = combo;
        grid->addWidget(label(tab, colourCaptions[i]), i + 1, 0);
        grid->addWidget(combo, i + 1, 1);
    }
    grid->setColumnStretch(2, 1);
    chkQel =
        checkBox(tab, QStringLiteral("chkQel"),
                 QStringLiteral(
                     "Check for a QEL Day event in the calendar in the next 7 days on load and every sync."));
    chkRemind =
        checkBox(tab, QStringLiteral("chkRemind"),
                 QStringLiteral("Enable a fifteen minute reminder for QEL Days (appointment reminder)"));
    chkAutoScan = checkBox(
        tab, QStringLiteral("chkAutoScan"),
        QStringLiteral("Automatically scan QEL Days during Outlook Data Sync (requires Outlook Redemption)"));
    chkSubject = checkBox(tab, QStringLiteral("chkSubject"),
                          QStringLiteral("Dont show event name in subject line (better for PDAs)"));
    chkPast = checkBox(
        tab, QStringLiteral("chkPast"),
        QStringLiteral("Remove only future QEL Days. This will also be applied when \"remove all QEL "
                       "Days\" is called from the file menu."));
    chkCalendarFile = checkBox(
        tab, QStringLiteral("chkCalendarFile"),
        QStringLiteral("Keep the QEL Days in a calendar file (QELDays.ics in the program folder), rewritten "
                       "after each rescan, for calendar programs to subscribe to."));
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(grid);
    layout->addWidget(frameLine(tab));
    for (QCheckBox* box : {chkQel, chkRemind, chkAutoScan, chkSubject, chkPast, chkCalendarFile})
        layout->addWidget(box);
    layout->addStretch(1);
}

void frmPrefs::loadQELDaysTab() {
    const SettingsModel& m = mSettings;
    loadIndex(cmbField, m.customField);
    chkQel->setChecked(m.checkForQELDay);
    chkRemind->setChecked(m.qelDayRemind);
    chkAutoScan->setChecked(m.qelDayScan);
    chkSubject->setChecked(m.qelDaySubject);
    chkPast->setChecked(m.qelDayPast);
    chkCalendarFile->setChecked(m.qelDayCalendarFile);
    for (size_t i = 0; i < cmbColor.size(); ++i)
        loadIndex(cmbColor[i], m.specialDayColours[i]);
}

void frmPrefs::storeQELDaysTab() {
    SettingsModel& m = mSettings;
    m.customField = cmbField->currentIndex();
    m.checkForQELDay = chkQel->isChecked();
    m.qelDayRemind = chkRemind->isChecked();
    m.qelDayScan = chkAutoScan->isChecked();
    m.qelDaySubject = chkSubject->isChecked();
    m.qelDayPast = chkPast->isChecked();
    m.qelDayCalendarFile = chkCalendarFile->isChecked();
    m.specialDayColours = specialDayColours();
}

void frmPrefs::cmbColor_Click() {
    markColourRows(specialDayColours());
}

std::array<int, 3> frmPrefs::specialDayColours() const {
    return {cmbColor[0]->currentIndex(), cmbColor[1]->currentIndex(), cmbColor[2]->currentIndex()};
}

} // namespace qel
