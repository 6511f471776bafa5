// The main window's side of the CardDAV / CalDAV sync: run after the FTP sync by "Sync Now" and by
// the sync timer, on the window's folders, reporting to the progress window and the tray's status.

#include "Vantrel.h"

#include "core/Tag.h"
#include "dav/DavAccount.h"
#include "platform/Tray.h"

#include <QPointer>
#include <QTimer>

namespace qel {

void Vantrel::davSync() {
    if (!settings().davSync || Tag(SyncTimer) == kSyncingTag)
        return;
    const QPointer<Vantrel> self(this);
    const LongRunHooks hooks = longRunHooks();
    Progress* progress = hooks.loadProgress ? hooks.loadProgress() : nullptr;
    if (progress) {
        progress->begin(0);
        progress->setStatus(QStringLiteral("Syncing with the CardDAV server..."));
    }
    setTag(SyncTimer, kSyncingTag);
    setSyncIcon(SyncIcon::Syncing);
    const dav::DavRun run =
        dav::runDavSync(settings(), gOlNameSpace, gOlContactFolder, gOlCalendarFolder, progress);
    if (!self)
        return;
    setTag(SyncTimer, QString());
    setSyncIcon(run.ok ? SyncIcon::Normal : SyncIcon::Error);
    if (hooks.unloadProgress)
        hooks.unloadProgress();
    tray().setToolTip(run.status);
}

} // namespace qel
