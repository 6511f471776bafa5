#pragma once

#include <QStringList>
#include <QTextStream>

namespace qel {

// The store tool's command line: qel-store [--dir DIR] COMMAND ARGS...
// Returns the exit status: 0 done, 1 failed (message on err), 2 bad usage or a rejected filter.
int runStoreTool(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace qel
