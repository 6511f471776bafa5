// The main window's side of the help and the update check: the subsystem made on the window's
// controls, F1 for the manual once start-up has registered it, and the program's end when the
// user takes a newer version.

#include "Vantrel.h"
#include "core/Named.h"

#include <QKeySequence>
#include <QShortcut>

namespace qel {

void Vantrel::buildUpdates() {
    WebBrowser1 = named(new QObject(this), QStringLiteral("WebBrowser1"));
    UpdateControls controls;
    controls.WebBrowser1 = WebBrowser1;
    controls.SyncTimer = SyncTimer;
    controls.window = this;
    UpdateHooks hooks;
    hooks.exitProgram = [this] { ExitProgram(false); };
    mUpdates = std::make_unique<HelpAndUpdates>(controls, settings(), hooks);
}

// Start-up step 22: the manual becomes the program's help, opened by F1.
void Vantrel::registerHelpFile() {
    mUpdates->registerHelpFile();
    auto* f1 = named(new QShortcut(QKeySequence(Qt::Key_F1), this), QStringLiteral("hotHelp"));
    connect(f1, &QShortcut::activated, this, &Vantrel::menuInstructions_Click);
}

void Vantrel::menuInstructions_Click() {
    mUpdates->menuInstructions_Click();
}

void Vantrel::menuUpdates_Click() {
    mUpdates->menuUpdates_Click();
}

void Vantrel::menuWeb_Click() {
    mUpdates->menuWeb_Click();
}

void Vantrel::menuAbout_Click() {
    mUpdates->menuAbout_Click();
}

} // namespace qel
