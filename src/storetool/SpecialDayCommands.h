#pragma once

#include "outlook/Outlook.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace qel {

// qel-store's special-day commands on an open store: "rescan [--settings FILE]" and
// "remove-qeldays [--future] [--settings FILE]". Returns the exit status, or std::nullopt when `command` is
// none of them. Throws std::invalid_argument for bad arguments.
std::optional<int> runSpecialDayCommand(const QString& command, const QStringList& args,
                                        const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err);

} // namespace qel
