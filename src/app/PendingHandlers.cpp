// Handlers and start-up steps of the main window whose commands are not built yet. Each is
// connected (or called from Form_Load / ExitProgram) already and does nothing; the subsystem
// that builds the command moves its handler out of this file into its own folder.

#include "Vantrel.h"

namespace qel {

// --- Start-up and shut-down steps ------------------------------------------------------------

void Vantrel::setUpImageList() {}   // toolbar and tab images: the upcoming special-days strip
void Vantrel::registerHelpFile() {} // QELHelp.chm as the program's help: help and about

// --- Actions ---------------------------------------------------------------------------------

void Vantrel::composeMail(int) {}     // e-mail compose: lstEmail's double-click outside edit mode
void Vantrel::menuPrint_Click() {}    // copy and print contact
void Vantrel::menuCopy_Click() {}     // copy and print contact
void Vantrel::menuCopyText_Click() {} // copy and print contact

// --- Tools, exchange, sync, updates ----------------------------------------------------------

void Vantrel::menuAppointments_Click() {} // appointment colouring
void Vantrel::menuCell_Click() {}         // cell phone list
void Vantrel::menuExport_Click() {}       // manual export
void Vantrel::menuImport_Click() {}       // manual import
void Vantrel::menuSync_Click() {}         // sync protocol
void Vantrel::menuStatus_Click() {}       // sync status
void Vantrel::SyncTimer_Timer() {}        // sync scheduling
void Vantrel::menuInstructions_Click() {} // help and about
void Vantrel::menuUpdates_Click() {}      // update check
void Vantrel::menuWeb_Click() {}          // help and about
void Vantrel::menuAbout_Click() {}        // help and about

// --- Global hot keys (armed at start-up; their actions are pending) ---------------------------

void Vantrel::hotCopy2Call_Pressed() {} // click-to-call: call the number on the clipboard
void Vantrel::hotEmail_Pressed() {}     // e-mail: write to the address on the clipboard

} // namespace qel
