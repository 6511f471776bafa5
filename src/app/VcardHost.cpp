// The main window's side of the vCard export and import of the File menu.

#include "Program.h"
#include "Vantrel.h"

#include <QTimer>

namespace qel {

void Vantrel::buildVcard() {
    VcardHooks hooks;
    hooks.reload = [this] { mProgram.reload(); };
    mVcard = std::make_unique<VcardCommands>(gOlContactFolder, gOlCalendarFolder, SyncTimer, hooks);
}

void Vantrel::menuExportVcard_Click() {
    mVcard->menuExportVcard_Click();
}

void Vantrel::menuImportVcard_Click() {
    mVcard->menuImportVcard_Click();
}

void Vantrel::menuExportIcs_Click() {
    mVcard->menuExportIcs_Click();
}

} // namespace qel
