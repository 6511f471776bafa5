#pragma once

#include <QString>
#include <QStringList>

namespace qel {

// The program's command line:
//
//     QEL [--dir STOREFOLDER] [--search TEXT] [--] [m | DISPLAY NAME...]
//     QEL [--dir STOREFOLDER] --sync
//
// "m" alone starts the window minimized (the autostart entry passes it). Any other words are the
// full display name of a contact to open, one argument ("Mary Smith") or several (Mary Smith);
// they are joined with single blanks. "--search TEXT" opens the search pane with the text typed.
// "--" ends the options, for a name that begins with "-".
struct CommandLine {
    QString storeDir;  // --dir; empty: QEL_STORE_DIR, else the per-user store folder
    QStringList words; // the arguments after the options
    QString search;    // --search; null without one (an empty text opens the pane empty)
    bool help = false; // --help
    bool version = false;
    bool quitWhenShown = false; // --quit-when-shown: print "shown" once the window is up, then end
    bool sync = false;          // --sync: one quiet sync without a window, then end
    QString error;              // a usage problem; empty when the line was understood

    bool startMinimized() const { return words.size() == 1 && words.first() == QLatin1String("m"); }
    bool contactJump() const { return !words.isEmpty() && !startMinimized(); }
    // The display name of the contact to open ("" without a jump).
    QString contactName() const { return contactJump() ? words.join(QLatin1Char(' ')) : QString(); }
};

// Reads the arguments after the program name.
CommandLine parseCommandLine(const QStringList& arguments);

// True when the arguments ask for the sync without a window (--sync before any "--"): the program
// then needs no display.
bool wantsHeadlessSync(int argc, char** argv);

// QEL --sync: one quiet sync with the user's settings and store, no window and no message box;
// prints the final status line and returns 0 when the sync ran or was not needed, 1 otherwise.
int runSyncCommand(const CommandLine& line);

// The usage text of --help.
QString commandLineUsage();

// The letter tab a contact jump opens on: the position in the alphabet (A = 1) of the first
// character of the name's second word when that is a letter A..Z (upper-cased), else 27 (MISC).
int jumpLetterCode(const QString& displayName);

} // namespace qel
