#include "FtpSync.h"

#include "SyncFiles.h"
#include "core/DebugLog.h"
#include "core/SettingsModel.h"
#include "core/Tag.h"
#include "exchange/ExchangeFile.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Ftp.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <algorithm>
#include <cstdio>

namespace qel {

namespace {

const QString kTimerSync = QStringLiteral("Timer Sync");
const QString kCrLf = QStringLiteral("\r\n");
const QString kNoConnection = QStringLiteral("There was an error connecting to the FTP");
const QString kAborted = QStringLiteral("Sync Aborted by User");
const QString kCancelled = QStringLiteral("Sync cancelled by user.");
const QString kNotNeeded = QStringLiteral("No Sync Needed. ");
const QString kRunningHere =
    QStringLiteral("Another sync of this computer is running. Please try again later.");
const QString kSupportAddress = QStringLiteral("support@vantrel.invalid");
const QString kMissing = QStringLiteral(
    "MyContacts.mdb is missing from the FTP. Run sync on the MASTER (this should not have occured).");

QString now() {
    return generalDate(clock().now());
}

QDateTime toMinute(const QDateTime& value) {
    const QTime t = value.time();
    return QDateTime(value.date(), QTime(t.hour(), t.minute()));
}

bool isLock(const QString& name) {
    return name.left(10) == QLatin1String(kLockPrefix);
}

// The newest LastModificationTime of the items (invalid for none).
QDateTime newest(const ol::ItemsPtr& items) {
    if (!items || items->Count() == 0)
        return QDateTime();
    items->Sort(QStringLiteral("LastModificationTime"), true);
    return items->Item(1)->get(ol::prop::LastModificationTime).toDateTime();
}

} // namespace

// One run's state.
struct FtpSync::Run {
    bool timed = false;
    bool locked = false;  // this computer's lock may be on the server: release it at the end
    bool aborted = false; // the user stopped a transfer
    QString identity;
    QString lockName;
    QString lastSync; // LastSync.dat's line
    QList<FtpEntry> listing;
    QDateTime exportStarted;
    qint64 exportedItems = -1;
};

FtpSync::FtpSync(SyncControls controls, StoreMembers members, SettingsModel& settings, SyncHooks hooks,
                 QObject* parent)
    : QObject(parent), mUi(controls), m(members), mSettings(settings), mHooks(std::move(hooks)),
      mEngine(members, settings) {}

void FtpSync::status(const QString& text) {
    mLastStatus = text;
    if (mHooks.loadProgress) {
        if (Progress* progress = mHooks.loadProgress())
            progress->setStatus(text);
    }
    if (mHooks.setTrayStatus)
        mHooks.setTrayStatus(text);
}

void FtpSync::trayStatus(const QString& text) {
    mLastStatus = text;
    if (mHooks.setTrayStatus)
        mHooks.setTrayStatus(text);
}

void FtpSync::icon(SyncIcon picture) {
    if (mHooks.setIcon)
        mHooks.setIcon(picture);
}

void FtpSync::tell(const Run& r, const QString& text) {
    if (!r.timed)
        dialogs().message(text);
}

SyncResult FtpSync::run() {
    if (!mSettings.sync) {
        dialogs().message(QStringLiteral("Sync is disabled.  Please enable it in preferences."));
        return SyncResult::Disabled;
    }
    Run r;
    r.timed = Tag(mUi.menuSync) == kTimerSync;
    // One sync per computer at a time, also across processes (the window and QEL --sync): both
    // would hold the same lock on the server. A lock of a process that died is taken over.
    QLockFile local(programFile(QLatin1String(kLocalSyncLock)));
    local.setStaleLockTime(0);
    if (!local.tryLock(0)) {
        trayStatus(kRunningHere);
        tell(r, kRunningHere);
        return SyncResult::Busy;
    }
    if (debugOn())
        debug(QStringLiteral(":Outlook Sync Started at ") + now());
    // The busy tags go on every way out.
    const SyncingScope timerBusy(mUi.SyncTimer);
    const SyncingScope toolsBusy(mUi.menuTools);
    const SyncResult result = connectAndLock(r);
    if (result != SyncResult::NoConnection)
        finish(r);
    return result;
}

SyncResult FtpSync::connectAndLock(Run& r) {
    FtpClient& client = ftp();
    if (mHooks.showConnecting)
        mHooks.showConnecting(true);
    client.configure(mSettings.ftpServer());
    client.connect();
    if (mHooks.showConnecting)
        mHooks.showConnecting(false);
    std::optional<QList<FtpEntry>> listing;
    if (client.isConnected())
        listing = client.list();
    if (!listing) {
        trayStatus(kNoConnection);
        icon(SyncIcon::Error);
        if (debugOn())
            debug(QStringLiteral(":FTP Offline at ") + now() + QStringLiteral(" Error=") +
                  client.lastError());
        tell(r, kNoConnection);
        client.disconnect();
        return SyncResult::NoConnection;
    }
    if (mHooks.setWindowShown)
        mHooks.setWindowShown(false);
    if (!r.timed && mHooks.loadProgress) {
        if (Progress* progress = mHooks.loadProgress())
            progress->begin(0);
    }
    icon(SyncIcon::Syncing);
    status(QStringLiteral("Checking FTP (sync)..."));

    r.identity = computerIdentity(client);
    r.lockName = QLatin1String(kLockName) + r.identity;
    r.lastSync = readLastSync();
    for (const FtpEntry& entry : *listing) {
        if (!isLock(entry.name))
            continue;
        if (entry.name == r.lockName) {
            status(QStringLiteral(
                       "FTP reported in use by this computer. An error likely occured last sync at  ") +
                   r.lastSync);
            tell(r, QStringLiteral(
                        "The FTP indicated that it was in use by this computer. An error likely occured "
                        "last sync at  ") +
                        r.lastSync +
                        QStringLiteral(
                            ". This sync should complete. If you see this error again, turn on debugging "
                            "and repeat sync.  Send the debug.txt to ") +
                        kSupportAddress + QStringLiteral(".") + kCrLf + kCrLf +
                        QStringLiteral(
                            "WARNING: If you have installed two versions of Vantrel they may be syncing "
                            "at the same time. Two installations of QEL is NOT recommended."));
            continue;
        }
        return anotherComputer(r, entry.name);
    }

    // Take the lock, then look again: two computers may have passed the first look at once. The one
    // whose lock the server holds longest keeps it; at the same second, the identity first in
    // alphabetical order.
    r.locked = true;
    client.put(programFile(QLatin1String(kLastSyncFile)), r.lockName);
    listing = client.list();
    if (listing) {
        const auto own = std::find_if(listing->begin(), listing->end(),
                                      [&](const FtpEntry& entry) { return entry.name == r.lockName; });
        const QDateTime ownTime = own != listing->end() ? own->modified : QDateTime();
        for (const FtpEntry& entry : *listing) {
            if (!isLock(entry.name) || entry.name == r.lockName)
                continue;
            const bool sameTime = !ownTime.isValid() || !entry.modified.isValid() ||
                                  entry.modified.toSecsSinceEpoch() == ownTime.toSecsSinceEpoch();
            const bool theirs = sameTime ? entry.name < r.lockName : entry.modified < ownTime;
            if (!theirs)
                continue;
            if (client.remove(r.lockName))
                r.locked = false;
            return anotherComputer(r, entry.name);
        }
        r.listing = *listing;
    }

    if (mSettings.master)
        return master(r);
    const auto file = std::find_if(r.listing.begin(), r.listing.end(), [](const FtpEntry& entry) {
        return entry.name == QLatin1String(kExchangeFileName);
    });
    return slave(r, file != r.listing.end() ? &*file : nullptr);
}

SyncResult FtpSync::anotherComputer(Run& r, const QString& holder) {
    status(QStringLiteral("FTP Being used at ") + now());
    tell(r,
         QStringLiteral("The FTP is currently being used by QEL user:") + holder +
             QStringLiteral(" Please try again later.  If you are CERTAIN you received this message in error "
                            "then delete the 'FTP_in_use' file from the FTP."));
    icon(SyncIcon::Error);
    if (r.timed)
        planRetry();
    return SyncResult::Busy;
}

void FtpSync::planRetry() {
    if (!mSettings.intervalSync) {
        const QStringList times = syncTimeList();
        int position = times.indexOf(effectiveSyncTime(mSettings));
        position = position < 0 || position + 1 >= times.size() ? 0 : position + 1;
        mSettings.advancedTimeSelection = position;
        status(QStringLiteral("FTP in use. Will try again at ") + times.at(position));
    } else if (mSettings.interval.trimmed().toDouble() > 15) {
        mSettings.syncRetry = true;
        status(QStringLiteral("FTP in use. Will try again in 15 minutes"));
    } else {
        mSettings.syncRetry = false;
        status(QStringLiteral("FTP in use. Will try again at next interval"));
    }
}

qint64 FtpSync::syncedItems() const {
    qint64 count = 0;
    if (mSettings.syncData[0] && m.gOlContacts)
        count += m.gOlContacts->Restrict(ol::kContactsFilter)->Count();
    if (mSettings.syncData[1] && m.gOlCalendarItems)
        count += m.gOlCalendarItems->Count();
    return count;
}

bool FtpSync::masterChanged(const Run& r) const {
    // The newest change of the store, by the store's clock (this computer's), against the time the
    // export uploaded last began reading the store, kept beside LastSync.dat by the same clock; a
    // change in that second counts as new. Without that time (a sync of an older version), the
    // minute of LastSync.dat. A deletion changes no item's time: a number of items other than the
    // last upload's counts as a change too.
    const SyncState state = SyncState::read();
    QDateTime last(QDate(1900, 1, 1), QTime(1, 0));
    try {
        if (state.exportedItems >= 0 && syncedItems() != state.exportedItems)
            return true;
        if (mSettings.syncData[0] && m.gOlContacts) {
            const QDateTime contact = newest(m.gOlContacts->Restrict(ol::kContactsFilter));
            if (contact.isValid())
                last = contact;
        }
        if (mSettings.syncData[1] && m.gOlCalendarItems) {
            const QDateTime appointment = newest(m.gOlCalendarItems);
            if (appointment.isValid() && appointment > last)
                last = appointment;
        }
    } catch (const ol::Error&) {
        return true; // the store cannot tell: sync
    }
    const QDateTime exported = state.exportStarted;
    if (exported.isValid()) {
        const QDateTime second = exported.addMSecs(-exported.time().msec());
        return !(last < second);
    }
    const QDateTime since = parseGeneralDate(r.lastSync);
    return !since.isValid() || !(toMinute(last) < toMinute(since));
}

FtpProgress FtpSync::transferProgress(Run& r) {
    return [this, &r](qint64, qint64) {
        QCoreApplication::processEvents();
        Progress* progress = mHooks.loadProgress ? mHooks.loadProgress() : nullptr;
        if (progress && progress->cancelled()) {
            r.aborted = true;
            return false;
        }
        return true;
    };
}

std::optional<SyncResult> FtpSync::runEngine(bool exporting, const QString& path, const Run& r) {
    mEngine.setProgress(mHooks.loadProgress ? mHooks.loadProgress() : nullptr);
    const ExchangeMode mode{false, r.timed};
    const ExchangeOutcome outcome =
        exporting ? mEngine.ExportToExchangeFile(path, mode) : mEngine.ImportFromExchangeFile(path, mode);
    setTag(mUi.menuTraySync, outcome.tag);
    if (outcome.ok())
        return std::nullopt;
    icon(SyncIcon::Error);
    if (outcome.tag != kExitSyncTag)
        return SyncResult::Failed; // the engine has said why
    dialogs().message(kAborted);
    status(kCancelled);
    if (exporting && debugOn())
        debug(QStringLiteral(":Sync aborted by user"));
    return SyncResult::Cancelled;
}

SyncResult FtpSync::master(Run& r) {
    status(QStringLiteral("Checking last modified contact (MASTER)"));
    if (r.timed && r.lastSync != QLatin1String(kFirstSync) && !masterChanged(r)) {
        if (debugOn())
            LogDebug(QStringLiteral("mdlSync"), QStringLiteral(": No sync Needed."));
        trayStatus(kNotNeeded + now());
        icon(SyncIcon::Normal);
        return SyncResult::NotNeeded;
    }
    r.exportStarted = clock().now();
    try {
        r.exportedItems = syncedItems();
    } catch (const ol::Error&) {
        r.exportedItems = -1;
    }
    const QString local = programFile(QLatin1String(kExchangeFileName));
    if (const auto stopped = runEngine(true, local, r))
        return *stopped;

    status(QStringLiteral("Uploading file..."));
    if (debugOn())
        debug(QStringLiteral(":Sync - Upload"));
    // Written under a name of this computer's own and renamed into place once complete.
    FtpClient& client = ftp();
    const QString target = QLatin1String(kExchangeFileName);
    const QString upload = target + QLatin1String(kUploadSuffix) + r.identity;
    const auto putAndRename = [&] {
        if (!client.put(local, upload, transferProgress(r)))
            return false;
        if (client.rename(upload, target))
            return true;
        // A server that does not rename over an existing file.
        client.remove(target);
        return client.rename(upload, target);
    };
    bool uploaded = putAndRename();
    if (!uploaded && !r.aborted) {
        client.configure(mSettings.ftpServer());
        client.connect();
        uploaded = putAndRename();
    }
    if (!uploaded) {
        const QString why = client.lastError();
        client.remove(upload);
        return transferFailed(r, true, why);
    }
    SyncState state = SyncState::read();
    state.exportStarted = r.exportStarted;
    state.exportedItems = r.exportedItems;
    state.write();
    return afterTransfer(r);
}

SyncResult FtpSync::transferFailed(Run& r, bool upload, const QString& why) {
    const QString way = upload ? QStringLiteral("upload") : QStringLiteral("download");
    const QString done = upload ? QStringLiteral("uploaded") : QStringLiteral("downloaded");
    if (r.aborted) {
        dialogs().message(kAborted);
        if (debugOn())
            debug(QStringLiteral(":File not ") + done + QStringLiteral(" at ") + now() +
                  QStringLiteral(". Sync Cancelled by user durring ") + way);
        trayStatus(QStringLiteral("Sync Cancelled by user durring ") + way);
    } else {
        trayStatus(upload ? QStringLiteral("There was an error uploading the file to the FTP")
                          : QStringLiteral("There was an error downloading the file from the FTP"));
        if (debugOn())
            debug(QStringLiteral(":File not ") + done + QStringLiteral(" at ") + now() +
                  QStringLiteral(" Error=") + why);
        tell(r, upload ? QStringLiteral("There was an error uploading the file to the FTP.")
                       : QStringLiteral("File not downloaded from FTP at ") + now() +
                             QStringLiteral(" Error=") + why);
    }
    icon(SyncIcon::Error);
    return r.aborted ? SyncResult::Cancelled : SyncResult::Failed;
}

SyncResult FtpSync::slave(Run& r, const FtpEntry* file) {
    status(QStringLiteral("Checking date modified of MyContacts.mdb (SLAVE)"));
    if (!file) {
        if (debugOn())
            debug(QStringLiteral(":Contact file missing from the FTP!!!."));
        tell(r, kMissing);
        trayStatus(kMissing);
        icon(SyncIcon::Error);
        return SyncResult::Failed;
    }
    // The server's time of the file now against the server's time of the file imported last:
    // both by the server's clock, whatever this computer's clock says.
    const SyncState state = SyncState::read();
    const bool sameFile = state.serverModified.isValid() && file->modified.isValid() &&
                          file->modified == state.serverModified && file->size == state.serverSize;
    if (r.timed && r.lastSync != QLatin1String(kFirstSync) && sameFile) {
        if (debugOn())
            debug(QStringLiteral(":No sync Needed."));
        trayStatus(kNotNeeded + now());
        icon(SyncIcon::Normal);
        return SyncResult::NotNeeded;
    }

    status(QStringLiteral("Downloading file..."));
    FtpClient& client = ftp();
    const QString download = programFile(QLatin1String(kDownloadFile));
    QFile::remove(download);
    if (!client.get(QLatin1String(kExchangeFileName), download, transferProgress(r)))
        return transferFailed(r, false, client.lastError());
    QString why;
    if (!exchange::ExchangeFile::open(download, &why)) {
        QFile::remove(download);
        const QString text = QStringLiteral("The MyContacts.mdb on the FTP is not a good exchange file (") +
                             why + QStringLiteral("). Nothing was imported. Run sync on the MASTER.");
        if (debugOn())
            debug(QStringLiteral(":Contact file on the FTP is damaged at ") + now() + QStringLiteral(": ") +
                  why);
        tell(r, text);
        trayStatus(text);
        icon(SyncIcon::Error);
        return SyncResult::Failed;
    }
    const QString local = programFile(QLatin1String(kExchangeFileName));
    QFile::remove(local);
    if (!QFile::rename(download, local)) {
        const QString text = QStringLiteral("The downloaded file could not be moved to ") + local;
        tell(r, text);
        trayStatus(text);
        icon(SyncIcon::Error);
        return SyncResult::Failed;
    }
    if (const auto stopped = runEngine(false, local, r))
        return *stopped;
    SyncState imported = state;
    imported.serverModified = file->modified;
    imported.serverSize = file->size;
    imported.write();
    return afterTransfer(r);
}

SyncResult FtpSync::afterTransfer(Run&) {
    // Each command clears the busy tags at its end: they are the sync's until it ends.
    const auto quietly = [this](const std::function<void()>& command) {
        if (!command)
            return;
        command();
        setTag(mUi.SyncTimer, kSyncingTag);
        setTag(mUi.menuTools, kSyncingTag);
    };
    if (mSettings.qelDayScan && !m.gNoRedemption) {
        quietly(mHooks.rescanQuietly);
        quietly(mHooks.upcomingQuietly);
    }
    if (mSettings.apptColorSync)
        quietly(mHooks.colourQuietly);
    const QString time = now();
    const QString problem = writeLastSync(time);
    if (!problem.isEmpty() && debugOn())
        debug(QStringLiteral(":LastSync.dat not written: ") + problem);
    status(QStringLiteral("Last Sync:") + time);
    if (!(mHooks.minimised && mHooks.minimised())) {
        if (mHooks.refreshCard)
            mHooks.refreshCard();
        if (mHooks.setWindowShown)
            mHooks.setWindowShown(true);
    }
    icon(SyncIcon::Normal);
    return SyncResult::Synced;
}

void FtpSync::finish(Run& r) {
    if (mHooks.unloadProgress)
        mHooks.unloadProgress();
    FtpClient& client = ftp();
    if (r.locked && !client.remove(r.lockName)) {
        client.configure(mSettings.ftpServer());
        client.connect();
        client.remove(r.lockName);
    }
    client.disconnect();
    if (mHooks.focusList)
        mHooks.focusList();
    setTag(mUi.menuTraySync, QString());
}

} // namespace qel
