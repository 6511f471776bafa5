// Handlers and start-up steps of the main window whose commands are not built yet. Each is
// connected (or called from Form_Load / ExitProgram) already and does nothing; the subsystem
// that builds the command moves its handler out of this file into its own folder.

#include "Vantrel.h"

namespace qel {

// --- Start-up and shut-down steps ------------------------------------------------------------

void Vantrel::setUpImageList() {}      // toolbar and tab images: the upcoming special-days strip
void Vantrel::setUpRestoreHotKey() {}  // restore hot key from chkMod/cmbHotkey: the hot keys
void Vantrel::armClipboardHotKeys() {} // hotCopy2Call and hotEmail: click-to-call and e-mail
void Vantrel::registerHelpFile() {}    // QELHelp.chm as the program's help: help and about

// --- Actions ---------------------------------------------------------------------------------

void Vantrel::composeMail(int) {}     // e-mail compose: lstEmail's double-click outside edit mode
void Vantrel::menuPrint_Click() {}    // copy and print contact
void Vantrel::menuCopy_Click() {}     // copy and print contact
void Vantrel::menuCopyText_Click() {} // copy and print contact

// --- Special days and reminders --------------------------------------------------------------

void Vantrel::menuQELDay_Click() {}         // special-day entries
void Vantrel::menuRescan_Click() {}         // special-day rescan
void Vantrel::menuQELRemove_Click() {}      // special-day removal
void Vantrel::menuUpcomingQELDay_Click() {} // upcoming special days
void Vantrel::menuRemind_Click() {}         // timed reminders
void Vantrel::RemindTimer_Timer() {}        // timed reminders

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

// --- Tray, timers of the window --------------------------------------------------------------

void Vantrel::menuTrayShow_Click() {}           // restore from the tray
void Vantrel::menuTrayUpcomingQELDay_Click() {} // tray menu
void Vantrel::menuTraySync_Click() {}           // tray menu
void Vantrel::menuTrayUpdates_Click() {}        // tray menu
void Vantrel::menuTrayExit_Click() {}           // tray menu
void Vantrel::TrayIcon1_MouseDown(int) {}       // tray icon events
void Vantrel::TrayIcon1_DblClick() {}           // tray icon events
void Vantrel::AniTimer_Timer() {}               // tray animation
void Vantrel::MISCTimer_Timer() {}              // clears lblMisc

} // namespace qel
