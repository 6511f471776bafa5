// The main window's side of the manual export and import: the commands made on the window's
// controls and members, and the progress window they report to.

#include "Vantrel.h"
#include "frmWait.h"

namespace qel {

void Vantrel::buildExchange() {
    ExchangeHooks hooks;
    static_cast<LongRunHooks&>(hooks) = longRunHooks();
    ExchangeControls controls;
    controls.menuExport = menuExport;
    controls.menuImport = menuImport;
    controls.menuTraySync = menuTraySync;
    controls.SyncTimer = SyncTimer;
    mExchange = std::make_unique<ExchangeCommands>(controls, storeMembers(), settings(), hooks);
}

void Vantrel::menuExport_Click() {
    mExchange->menuExport_Click();
}

void Vantrel::menuImport_Click() {
    mExchange->menuImport_Click();
}

} // namespace qel
