#pragma once

// The sync through the FTP server ("Sync Now"): one computer, the master, uploads its data as the
// exchange file "MyContacts.mdb"; the others, the slaves, download it and import it. A lock file
// on the server ("FTP_in_use_" + identity) keeps two computers from syncing at once.
//
// The object has no widgets: messages go through the dialogs seam (only for a sync started by
// hand, "Sync Aborted by User" excepted), status lines to the progress and the tray status, times
// come from the clock seam and the server through the FTP seam. The host hands it the tags it
// reads and sets and the hooks back into the window.
//
// What a run promises:
// - The lock is released on every path that reached the server.
// - The master uploads under a temporary name and renames the file into place: a slave never
//   finds a half-written "MyContacts.mdb", and a failed upload leaves the old one as it was.
// - A slave downloads to a temporary local file and imports only a file that is a good exchange
//   file; anything else changes nothing and is reported.
// - LastSync.dat changes only after a successful transfer.
// - The password never reaches a status line, a message or the debug log.

#include "exchange/ExchangeEngine.h"
#include "platform/Ftp.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

namespace qel {

class SettingsModel;

// The tags a sync reads and sets.
struct SyncControls {
    QObject* menuSync = nullptr;     // "Timer Sync": started by the timer
    QObject* SyncTimer = nullptr;    // "Syncing" while the sync runs
    QObject* menuTools = nullptr;    // "Syncing" while the sync runs
    QObject* menuTraySync = nullptr; // the engine's outcome while the sync runs
};

// The tray and window pictures: the host adds the special-day variant.
enum class SyncIcon { Normal, Error, Syncing };

// What the sync needs of the rest of the program. Every hook may be left empty.
struct SyncHooks : LongRunHooks {
    std::function<void(bool)> showConnecting;          // "Connecting to FTP..." shown / taken away
    std::function<void(SyncIcon)> setIcon;             // Syncing starts AniTimer, the others stop it
    std::function<void(const QString&)> setTrayStatus; // the tray icon's tool tip
    std::function<void()> rescanQuietly;               // special days: rescan, bad lines skipped
    std::function<void()> upcomingQuietly;             // special days: the coming week
    std::function<void()> colourQuietly;               // appointment colouring
    std::function<bool()> minimised;                   // the main window is minimised
    std::function<void()> refreshCard;                 // cmbContacts_Click
    std::function<void()> focusList;                   // the contact list takes the focus
};

// How a run ended.
enum class SyncResult {
    Disabled,     // sync is off in the preferences
    NoConnection, // the server could not be reached (nothing was locked)
    Busy,         // another computer holds the lock, or this computer syncs already
    NotNeeded,    // a timed sync found nothing new
    Synced,       // uploaded (master) or imported (slave)
    Cancelled,    // the user stopped it
    Failed,       // anything else; the status says what
};

// The local temporary files and the server's temporary name.
inline constexpr char kDownloadFile[] = "MyContacts.mdb.download"; // program folder
inline constexpr char kUploadSuffix[] = ".upload-";                // "MyContacts.mdb.upload-" + identity
inline constexpr char kLocalSyncLock[] = "Sync.lock"; // program folder: a sync of this computer runs

class FtpSync : public QObject {
    Q_OBJECT
public:
    FtpSync(SyncControls controls, StoreMembers members, SettingsModel& settings, SyncHooks hooks,
            QObject* parent = nullptr);

    ExchangeEngine& engine() { return mEngine; }
    // The last status line of the last run (also the tray's status).
    QString lastStatus() const { return mLastStatus; }

    // Runs one sync; a timed one when menuSync's tag is "Timer Sync".
    SyncResult run();

public Q_SLOTS:
    void menuSync_Click() { run(); }

private:
    struct Run;
    SyncResult connectAndLock(Run& r);
    SyncResult anotherComputer(Run& r, const QString& holder);
    SyncResult master(Run& r);
    SyncResult slave(Run& r, const FtpEntry* file);
    // Runs the export or the import; the outcome's tag goes on menuTraySync. nullopt: it finished.
    std::optional<SyncResult> runEngine(bool exporting, const QString& path, const Run& r);
    SyncResult transferFailed(Run& r, bool upload, const QString& why);
    SyncResult afterTransfer(Run& r);
    void finish(Run& r);
    void planRetry();
    bool masterChanged(const Run& r) const;
    // The contacts and appointments the sync carries, as the store holds them now.
    qint64 syncedItems() const;
    FtpProgress transferProgress(Run& r);
    void status(const QString& text);
    void trayStatus(const QString& text);
    void icon(SyncIcon picture);
    void tell(const Run& r, const QString& text);

    SyncControls mUi;
    StoreMembers m;
    SettingsModel& mSettings;
    SyncHooks mHooks;
    ExchangeEngine mEngine;
    QString mLastStatus;
};

} // namespace qel
