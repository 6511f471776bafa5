#pragma once

// One run of the CardDAV / CalDAV sync on the settings: the contact folder with the address book,
// then, when asked for, the special days published to the calendar. Shared by the window's sync
// timer and QEL --sync.

#include "outlook/Outlook.h"

#include <QString>
#include <QUrl>

namespace qel {
class Progress;
class SettingsModel;
} // namespace qel

namespace qel::dav {

class DavHttp;

// The special days ("QELDay" appointments) of `calendarFolder` as events of the CalDAV calendar,
// one way. Our events carry UIDs beginning with "qelday-" (and resources named after them); only
// those are replaced or removed, every other event of the calendar is left alone. Writes are
// conditional like the contact sync's. Returns "" or why it stopped.
inline const QString kSpecialDayUidPrefix = QStringLiteral("qelday-");
struct PublishSummary {
    bool ok = false;
    QString error;
    int written = 0;
    int removed = 0;
    int unchanged = 0;
};
PublishSummary publishSpecialDays(DavHttp& http, const QUrl& calendar, const ol::FolderPtr& calendarFolder);

// The folder that a "[CardDAV]" folder setting names ("Store\Folder"; "" for `inUse`), when it is
// there and holds items of `itemType`; else no folder and the reason, fit for a message.
struct PairedFolder {
    ol::FolderPtr folder;
    QString error;
};
PairedFolder pairedFolder(const ol::NameSpacePtr& ns, const QString& path, const ol::FolderPtr& inUse,
                          int itemType);

struct DavRun {
    bool ran = false; // false: the sync is off, or not set up
    bool ok = false;
    QString status; // for the status line and the tray
};

// Runs the sync that the settings describe. `contacts` and `calendar` are the folders in use, for
// settings that name none of their own.
DavRun runDavSync(const SettingsModel& settings, const ol::NameSpacePtr& ns, const ol::FolderPtr& contacts,
                  const ol::FolderPtr& calendar, Progress* progress);

} // namespace qel::dav
