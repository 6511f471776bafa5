#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace qel {

class FtpClient;
class SettingsModel;

// The names the computers that sync through one FTP server share: other computers rely on them.
inline constexpr char kLastSyncFile[] = "LastSync.dat";       // program folder; also the lock's content
inline constexpr char kFirstSync[] = "First Sync";            // LastSync.dat before the first sync
inline constexpr char kMasterMarkerPrefix[] = "MASTER-";      // + identity: marks the master on the server
inline constexpr char kExchangeFileName[] = "MyContacts.mdb"; // on the server and in the program folder
inline constexpr char kLockPrefix[] = "FTP_in_use";           // a name beginning so: the server is in use
inline constexpr char kLockName[] = "FTP_in_use_";            // + identity: the lock of one computer

// This computer's identity on the server: its network name followed by the local address of the
// client's connection to the server with the separators taken out ("OFFICE" and 192.168.0.10 give
// "OFFICE192168010"). Taken from the interface that reaches the server, it is the same on every run
// as long as the computer reaches the server the same way. Call it once connected.
QString computerIdentity(const FtpClient& client);

// Replaces the program folder's LastSync.dat with the one line given (and CR LF), written aside and
// moved into place. Returns the problem met, "" when the file was written.
QString writeLastSync(const QString& line);

// The first line of LastSync.dat; the file is made with "First Sync" when it is missing.
QString readLastSync();

// The general date text of LastSync.dat and of the sync's status lines: "03/04/2024 10:11:12 AM".
QString generalDate(const QDateTime& value);
// Reads a general date text (also without seconds, or in 24-hour form); invalid for anything else.
QDateTime parseGeneralDate(const QString& text);

// What this computer remembers of its last successful sync besides LastSync.dat (which keeps its
// meaning for the user), so that the change checks compare times of one clock only: a master its
// own store's times with its own clock, a slave the server's time of the file it imported with the
// server's time of the file there now. Kept in the program folder ("LastSync.state").
struct SyncState {
    QDateTime exportStarted;   // master: local time the last uploaded export began reading the store
    qint64 exportedItems = -1; // master: how many contacts and appointments the store held then
    QDateTime serverModified;  // slave: the server's time (UTC) of the file imported last
    qint64 serverSize = -1;    // slave: its size in bytes
    static SyncState read();
    QString write() const; // "" when written
    static void forget();  // a role change: the next sync runs in full
};

// The time of day the timed sync runs at: the one chosen in the preferences, or the one a busy
// server moved it to for this run (SettingsModel::advancedTimeSelection).
QString effectiveSyncTime(const SettingsModel& settings);

} // namespace qel
