#pragma once

#include <QString>

class QWidget;

namespace qel {

// Shows the window, lets it paint, and writes it as outDir/NAME.png; prints the file written, or
// says on stderr why it could not be written (false).
bool saveScreen(QWidget& window, const QString& outDir, const QString& name);

// Renders the main window (Vantrel*.png, the card in edit mode as Vantrel-edit.png, with Shift held
// as Vantrel-shift.png), the progress window (frmWait.png), the notes and user-field windows
// (frmNotes.png, frmUser.png) and the text-message dialog (frmSMS.png) into
// outDir, with the stores of storeDir and the settings file and program folder in use. Prompts go to the
// dialogs seam in place; the tray is a local one that never shows. Prints each file written; false when the
// program did not start or a file could not be written.
bool renderAppScreens(const QString& storeDir, const QString& outDir);

} // namespace qel
