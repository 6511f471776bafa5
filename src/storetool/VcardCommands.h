#pragma once

#include "outlook/Outlook.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace qel {

// qel-store's vCard commands on an open store: "export-vcard PATH [--folder FOLDER] [--version 4.0]"
// and "import-vcard PATH [--folder FOLDER]". FOLDER is a contact folder's path ("Store\Folder"),
// by default the contact folder of the user's settings. They print the summary and return 0, or 1
// with the reason on `err` (nothing written); std::nullopt when `command` is none of them. Throws
// std::invalid_argument for bad arguments. "export-ics PATH [--folder CALENDAR] [--qeldays]" writes
// the appointments of a calendar folder (default: the settings'; only the QEL Days with --qeldays)
// as an iCalendar file.
std::optional<int> runVcardCommand(const QString& command, const QStringList& args,
                                   const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err);

} // namespace qel
