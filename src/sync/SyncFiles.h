#pragma once

#include <QString>

namespace qel {

class FtpClient;

// The names the computers that sync through one FTP server share: other computers rely on them.
inline constexpr char kLastSyncFile[] = "LastSync.dat";  // program folder; also the lock's content
inline constexpr char kFirstSync[] = "First Sync";       // LastSync.dat before the first sync
inline constexpr char kMasterMarkerPrefix[] = "MASTER-"; // + identity: marks the master on the server

// This computer's identity on the server: its network name followed by the local address of the
// client's connection to the server with the separators taken out ("OFFICE" and 192.168.0.10 give
// "OFFICE192168010"). Taken from the interface that reaches the server, it is the same on every run
// as long as the computer reaches the server the same way. Call it once connected.
QString computerIdentity(const FtpClient& client);

// Replaces the program folder's LastSync.dat with the one line given (and CR LF), written aside and
// moved into place. Returns the problem met, "" when the file was written.
QString writeLastSync(const QString& line);

} // namespace qel
