// Handlers and start-up steps of the main window whose commands are not built yet. Each is
// connected (or called from Form_Load / ExitProgram) already; its menu item shows disabled, and a
// control that cannot show it says so (Commands.h). The subsystem that builds the command moves
// its handler out of this file into its own folder and turns its line of the table to Built.

#include "Vantrel.h"

namespace qel {

// --- Tools, exchange, sync, updates ----------------------------------------------------------


} // namespace qel
