#pragma once

// The program's manual: HTML pages in "resources/help" beside the program, opened in the default
// browser. Its first page, QELHelp.html, is also what the welcome window shows.

#include <QString>
#include <QStringList>

namespace qel {

inline constexpr char kManualFileName[] = "QELHelp.html";

// The manual's first page: looked up in the program folder's resources/help, beside the program
// (resources/help) and in the source tree's resources/help; "" when none of them has it.
QString manualFile();
// Replaces the folders looked in (tests); an empty list puts the usual ones back.
void setManualFolders(const QStringList& folders);

} // namespace qel
