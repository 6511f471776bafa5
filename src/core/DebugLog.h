#pragma once

#include <QString>

namespace qel {

// The debug log. A message reaches Debug.txt in the program folder only while debugging mode is
// on. The carrier is the preferences dialog's txtDebug box: writing a message sets the box's
// text, and the box's change handler appends the text to the file (appendDebugText).
class DebugCarrier {
public:
    virtual ~DebugCarrier() = default;
    virtual bool debugModeOn() const = 0;                 // the state of chkDebug
    virtual void setCarrierText(const QString& text) = 0; // sets txtDebug (its handler appends)
};

// The carrier in use (the hidden preferences dialog registers itself); nullptr: none, log off.
void setDebugCarrier(DebugCarrier* carrier);
DebugCarrier* debugCarrier();

// True while debugging mode is on. Writers test it before building a message.
bool debugOn();

// window + text (which begins with ":") + the date-time when withTime + CR LF, through the carrier.
void LogDebug(const QString& window, const QString& text, bool withTime = false);

// The main window's design name: its object name and the name in front of the debug messages of
// the main window and of the subsystems working on its controls.
inline const QString kMainWindowName = QStringLiteral("Vantrel");

// A debug message of the main window (LogDebug under kMainWindowName).
inline void debug(const QString& text, bool withTime = false) {
    LogDebug(kMainWindowName, text, withTime);
}

// The carrier's change handler: appends text + CR LF to Debug.txt (created when missing),
// opening and closing the file for this one message; 8-bit text.
void appendDebugText(const QString& text);

// The start-up size bound: a Debug.txt of 2,097,152 bytes or more is emptied and gets the line
// "Maximum file size reached (2 MB)." + date-time.
void boundDebugFile();

// The current local date and time as debug messages show it (short date, a space, long time).
QString debugDateTime();

// The machine's network name (at most 255 characters).
QString ComputerName();

// Debug.txt in the program folder.
QString debugFilePath();

// "Open Debug File": opens Debug.txt with the desktop's program for it, or tells the user there is
// none. Returns true when the file was handed to the desktop.
bool openDebugFile();

} // namespace qel
