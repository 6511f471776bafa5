#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace qel::icons {

// The pictures of the tray icon (the program's image list), drawn at 16, 32 and 64 pixels:
//   1 normal                 2 error (the last sync failed)
//   3 normal, special day    4 error, special day        (a special day is coming up)
//   5, 6 syncing             7, 8 syncing, special day    (two frames each, shown in turn)
// The same number always gives the same QIcon (equal cacheKey()), so the picture shown can be told
// by comparing icons. Numbers outside 1..8 give a null icon.
constexpr int kTrayPictureCount = 8;
QIcon trayPicture(int n);

// The program's icon, for its windows: the normal picture, also at the larger sizes.
QIcon programIcon();

// Writes icon-1.png ... icon-8.png, the tray pictures at `size` pixels, into `folder` (made when
// missing). Returns the files written; stops at the first that cannot be written and says why in
// `error` ("" when all went well).
QStringList writeTrayPictures(const QString& folder, QString* error, int size = 64);

} // namespace qel::icons
