#pragma once

// The program's manual: HTML pages in the "help" folder of the program's resources, opened in the
// default browser. Its first page, QELHelp.html, is also what the welcome window shows.

#include <QString>
#include <QStringList>

namespace qel {

inline constexpr char kManualFileName[] = "QELHelp.html";

// The manual's first page: looked up in the "help" of each resource folder (resourceFolders():
// beside the program, the installed share folder, the build tree's) and, for a program that is
// not installed, in the source tree's resources/help; "" when none of them has it.
QString manualFile();
// Replaces the folders looked in (tests); an empty list puts the usual ones back.
void setManualFolders(const QStringList& folders);

} // namespace qel
