#pragma once

#include <QStringList>
#include <QTextStream>

namespace qel {

// The store tool's command line: qel-store [--dir DIR] COMMAND ARGS...
// Returns the exit status: 0 done, 1 failed (message on err), 2 bad usage, an unknown --show or
// --sort property, or a rejected filter. Files of the store folder that could not be opened are
// named on err, as is a damaged item that a folder leaves out. The command line is checked
// before the store is opened, so bad usage creates nothing; --dir must name an existing folder.
int runStoreTool(const QStringList& args, QTextStream& out, QTextStream& err);

// The program's arguments (argv[1] on) as UTF-8. false, with error naming the argument, when one
// is not valid UTF-8: such an argument is refused rather than stored with replacement characters.
bool decodeArguments(int argc, const char* const* argv, QStringList& args, QString& error);

} // namespace qel
