// Handlers and start-up steps of the main window whose commands are not built yet. Each is
// connected (or called from Form_Load / ExitProgram) already; its menu item shows disabled, and a
// control that cannot show it says so (Commands.h). The subsystem that builds the command moves
// its handler out of this file into its own folder and turns its line of the table to Built.

#include "Vantrel.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace qel {

// --- Start-up and shut-down steps ------------------------------------------------------------

void Vantrel::setUpImageList() {}   // toolbar and tab images: the upcoming special-days strip
void Vantrel::registerHelpFile() {} // QELHelp.chm as the program's help: help and about

// --- Actions ---------------------------------------------------------------------------------

// E-mail compose: lstEmail's double-click outside edit mode.
void Vantrel::composeMail(int) {
    notYet(lstEmail->objectName());
}

// Click-to-call and text messages: a phone number's double-click.
void Vantrel::txtNumber_DblClick(int index) {
    if (!isEditing() && !txtNumber[size_t(index)]->text().isEmpty())
        notYet(txtNumber[size_t(index)]->objectName());
}

// Map links: an address's double-click.
void Vantrel::txtAddress_DblClick(QPlainTextEdit* box) {
    if (!isEditing() && !box->toPlainText().isEmpty())
        notYet(box->objectName());
}

void Vantrel::menuPrint_Click() {}    // copy and print contact
void Vantrel::menuCopy_Click() {}     // copy and print contact
void Vantrel::menuCopyText_Click() {} // copy and print contact

// --- Tools, exchange, sync, updates ----------------------------------------------------------

void Vantrel::menuAppointments_Click() {} // appointment colouring
void Vantrel::menuCell_Click() {}         // cell phone list
void Vantrel::menuSync_Click() {}         // sync protocol
void Vantrel::menuStatus_Click() {}       // sync status
void Vantrel::SyncTimer_Timer() {}        // sync scheduling
void Vantrel::menuInstructions_Click() {} // help and about
void Vantrel::menuUpdates_Click() {}      // update check
void Vantrel::menuWeb_Click() {}          // help and about
void Vantrel::menuAbout_Click() {}        // help and about

// --- Global hot keys (armed at start-up; their actions are pending) ---------------------------

void Vantrel::hotCopy2Call_Pressed() { // click-to-call: call the number on the clipboard
    notYet(hotCopy2Call->objectName());
}
void Vantrel::hotEmail_Pressed() { // e-mail: write to the address on the clipboard
    notYet(hotEmail->objectName());
}

} // namespace qel
