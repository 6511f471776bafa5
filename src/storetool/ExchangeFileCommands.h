#pragma once

#include "outlook/Outlook.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace qel {

// qel-store's exchange-file commands on an open store: "export FILE [--settings INI]" and
// "import FILE [--settings INI]". They run the program's engines quietly with the settings of the
// file (default: the user's), print the summary, and return 0, or 1 with the reason on `err` for a
// refused, failed or cancelled run; std::nullopt when `command` is none of them. Throws
// std::invalid_argument for bad arguments.
std::optional<int> runExchangeFileCommand(const QString& command, const QStringList& args,
                                          const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err);

} // namespace qel
