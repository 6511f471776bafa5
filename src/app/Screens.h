#pragma once

#include <QString>

namespace qel {

// Renders the main window (Vantrel*.png, the card in edit mode as Vantrel-edit.png), the progress
// window (frmWait.png) and the notes and user-field windows (frmNotes.png, frmUser.png) into
// outDir, with the stores of storeDir and the settings file and program folder in use. Prompts go to the
// dialogs seam in place; the tray is a local one that never shows. Prints each file written; false when the
// program did not start or a file could not be written.
bool renderAppScreens(const QString& storeDir, const QString& outDir);

} // namespace qel
