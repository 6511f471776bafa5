#pragma once

// The commands of the main window and whether each is built yet, one line each, keyed by the
// object name of its menu item or control (a control array by its name without the index).
//
// A command still to come shows disabled where its control can show it (menu items, buttons) and
// says that it is not available yet in the status line where it cannot (double-clicks, global
// hot keys); no tool tip promises it. The change that builds a command turns its line to Built.

#include <QString>

namespace qel::commands {

enum class State { Built, NotYet };

struct Command {
    const char* name; // object name of the menu item or control
    State state;
    const char* what; // what the command does, for "... is not available yet."
};

// The line of a menu item or control by its object name ("txtNumber7" finds "txtNumber"); null
// for a name that is no command of the window.
const Command* find(const QString& objectName);
// False only for a command whose line says NotYet.
bool isBuilt(const QString& objectName);
// "Printing a contact is not available yet." for a command still to come.
QString notYetText(const QString& objectName);

} // namespace qel::commands
