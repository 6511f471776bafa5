#pragma once

#include <QString>
#include <QStringList>

namespace qel {

// The folder where the program keeps Debug.txt, LastSync.dat, MyContacts.mdb, ContactPaste.txt
// and NoRedemption.txt: QEL_HOME when set, else the executable's folder when it is writable and
// the program is not installed, else the per-user data folder. setProgramFolder() overrides it
// (tests).
QString programFolder();
QString programFile(const QString& name); // programFolder() + "/" + name
void setProgramFolder(const QString& folder);

// The folders of the program's read-only files (sounds, templates, manual), each with its
// sub-folders "sounds", "templates", "help": "resources" beside the executable (the build tree,
// a copied program), for a program installed in PREFIX/bin PREFIX/share/vantrel, and for one that
// is not installed the build tree's "resources" (what the build made).
QStringList resourceFolders();
// The program runs from an installed layout: PREFIX/share/vantrel beside its PREFIX/bin.
bool installedProgram();

} // namespace qel
