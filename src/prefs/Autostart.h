#pragma once

#include <QString>

namespace qel::autostart {

// Starting with the desktop session: an XDG autostart entry "Vantrel.desktop" in
// $XDG_CONFIG_HOME/autostart whose Exec line starts the program minimized (argument "m").

// The entry's file.
QString entryPath();

// True when the entry exists and the desktop has not been told to skip it (Hidden=true).
bool isEnabled();

// Writes the entry for `program` (default: the running executable). On failure returns false
// and sets *error to the reason; the previous entry, if any, is left as it was.
bool enable(QString* error = nullptr, const QString& program = QString());

// Removes the entry. Returns true when no entry is left; on failure sets *error.
bool disable(QString* error = nullptr);

// The Exec value that starts `program` with the argument "m", quoted and escaped as desktop
// entries require (a path with blanks, quotes, backslashes, "$" or "%" survives).
QString execLine(const QString& program);

} // namespace qel::autostart
