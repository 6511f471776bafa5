// The main window's side of the special days and the reminder: the subsystem made on the window's
// controls and members, its commands on the window's menus, and the progress window it reports to.

#include "Vantrel.h"
#include "frmWait.h"

#include "core/DebugLog.h"
#include "core/Named.h"
#include "platform/ProgramFolder.h"
#include "vcard/IcsExport.h"
#include "vcard/VcardFormat.h"

#include <QMenu>
#include <QProgressBar>
#include <QTimer>

namespace qel {

void Vantrel::buildSpecialDays() {
    MsgBoxEx1 = named(new QObject(this), QStringLiteral("MsgBoxEx1"));
    SpecialDayHooks hooks;
    static_cast<LongRunHooks&>(hooks) = longRunHooks();
    hooks.refreshCard = [this] { mBrowser->cmbContacts_Click(); };
    hooks.inTray = [this] { return mInTray; };
    hooks.restoreFromTray = [this] { menuTrayShow_Click(); };
    hooks.selectTab = [this](int tab) { mBrowser->selectTab(tab); };
    hooks.setKeyPreview = [this](bool on) { setKeyPreview(on); };
    hooks.editing = [this] { return isEditing(); };
    hooks.rescanned = [this] { writeSpecialDaysCalendar(); };
    SpecialDayControls controls;
    controls.menuRescan = menuRescan;
    controls.menuQELRemove = menuQELRemove;
    controls.menuUpcomingQELDay = menuUpcomingQELDay;
    controls.menuTools = menuTools;
    controls.MsgBoxEx1 = MsgBoxEx1;
    controls.SyncTimer = SyncTimer;
    controls.lblMisc = lblMisc;
    controls.txtRemind = txtRemind;
    controls.cmbRemind = cmbRemind;
    controls.RemindTimer = RemindTimer;
    mSpecialDays = std::make_unique<SpecialDays>(*this, controls, storeMembers(), settings(), this, hooks);
    addToolBar(Qt::TopToolBarArea, mSpecialDays->Toolbar1);
}

// After a rescan, with the preference on: QELDays.ics in the program folder follows the calendar.
// A file that cannot be written is noted in the debug log; the rescan itself has succeeded.
void Vantrel::writeSpecialDaysCalendar() {
    if (!settings().qelDayCalendarFile || !gOlCalendarFolder)
        return;
    const QString path = programFile(ical::kSpecialDaysFile);
    try {
        const ical::IcsSummary summary = ical::exportCalendar(gOlCalendarFolder, path, true);
        debug(QStringLiteral(":%1 QEL Days written to %2").arg(summary.events).arg(path));
    } catch (const vcard::VcardError& e) {
        debug(QLatin1Char(':') + e.message());
    } catch (const ol::Error& e) {
        debug(QStringLiteral(":%1 not written: %2").arg(path, e.message()));
    }
}

// Start-up step 4: the day strip and the card's tabs take their pictures from the program's set.
void Vantrel::setUpImageList() {
    if (mSpecialDays)
        mSpecialDays->setUpImages();
}

void Vantrel::menuQELDay_Click() {
    mSpecialDays->menuQELDay_Click();
}

void Vantrel::menuRescan_Click() {
    mSpecialDays->menuRescan_Click();
}

void Vantrel::menuQELRemove_Click() {
    mSpecialDays->menuQELRemove_Click();
}

void Vantrel::menuUpcomingQELDay_Click() {
    mSpecialDays->menuUpcomingQELDay_Click();
}

void Vantrel::menuRemind_Click() {
    mSpecialDays->menuRemind_Click();
}

void Vantrel::RemindTimer_Timer() {
    mSpecialDays->RemindTimer_Timer();
}

} // namespace qel
