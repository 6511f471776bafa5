// The main window's side of the calendar and phone tools: the subsystem made on the window's
// members and tags, its commands on the Tools menu, and the progress window it reports to.

#include "Vantrel.h"
#include "frmWait.h"

#include <QMenu>
#include <QTimer>

namespace qel {

LongRunHooks Vantrel::longRunHooks() {
    auto progress = std::make_shared<WaitProgress>(this);
    LongRunHooks hooks;
    hooks.loadProgress = [progress] { return progress.get(); };
    hooks.unloadProgress = [] { frmWait::unload(); };
    hooks.setWindowShown = [this](bool shown) {
        if (!shown)
            hide();
        else if (!mInTray && !mUnloaded)
            show();
    };
    return hooks;
}

void Vantrel::buildTools() {
    ToolHooks hooks;
    static_cast<LongRunHooks&>(hooks) = longRunHooks();
    ToolControls controls;
    controls.menuAppointments = menuAppointments;
    controls.menuCell = menuCell;
    controls.menuTools = menuTools;
    controls.SyncTimer = SyncTimer;
    mTools = std::make_unique<CalendarTools>(storeMembers(), controls, settings(), hooks);
}

void Vantrel::menuAppointments_Click() {
    mTools->menuAppointments_Click();
}

void Vantrel::menuCell_Click() {
    mTools->menuCell_Click();
}

} // namespace qel
