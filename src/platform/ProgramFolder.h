#pragma once

#include <QString>

namespace qel {

// The folder where the program keeps Debug.txt, LastSync.dat, MyContacts.mdb, ContactPaste.txt
// and NoRedemption.txt: QEL_HOME when set, else the executable's folder when it is writable,
// else the per-user data folder. setProgramFolder() overrides it (tests).
QString programFolder();
QString programFile(const QString& name); // programFolder() + "/" + name
void setProgramFolder(const QString& folder);

} // namespace qel
