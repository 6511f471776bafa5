#pragma once

#include "Seam.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace qel {

// Where and how to reach the sync's FTP server.
struct FtpSettings {
    QString host;
    int port = 21;
    QString user;
    QString password; // plain text; never written into an error text, a URL or a log
    bool passive = true;
    bool tls = false; // explicit TLS (AUTH TLS) on the control and data connections, certificate checked
    bool operator==(const FtpSettings&) const = default;
};

// One entry of a remote directory listing.
struct FtpEntry {
    QString name;
    QDateTime modified; // UTC; invalid when the server does not tell
    qint64 size = -1;   // bytes; -1 when unknown
    bool directory = false;
};

// Progress of one transfer: bytes done and bytes in all (-1 when unknown). Returning false cancels
// the transfer; the operation then fails with the error text "Transfer cancelled".
using FtpProgress = std::function<bool(qint64 done, qint64 total)>;

// The program's one FTP client (the sync and the preferences' FTP steps). Every call blocks until
// it is done; remote names are relative to the folder the login lands in. An operation that finds
// the connection gone (an aborted transfer or a failed command closes it) connects again first.
// Every failing call leaves its reason in lastError(), which never holds the password.
class FtpClient {
public:
    virtual ~FtpClient() = default;
    // Takes the server and login for the next connect (a changed server drops the connection).
    virtual void configure(const FtpSettings& settings) = 0;
    // Logs in and checks the session with a command; true when the login was accepted.
    virtual bool connect() = 0;
    virtual bool isConnected() const = 0;
    // The local address of the last connection to the server ("192.168.0.10"), "" before one.
    virtual QString localAddress() const = 0;
    virtual QString lastError() const = 0;
    // The remote folder's entries ("." and ".." left out); nothing when the listing failed.
    virtual std::optional<QList<FtpEntry>> list() = 0;
    // Uploads a local file under remoteName (replacing one of that name). A failed or cancelled
    // upload may leave a partial file on the server.
    virtual bool put(const QString& localPath, const QString& remoteName,
                     const FtpProgress& progress = {}) = 0;
    // Downloads remoteName into localPath. The file is written aside and moved into place only when
    // complete: a failed or cancelled download leaves localPath as it was.
    virtual bool get(const QString& remoteName, const QString& localPath,
                     const FtpProgress& progress = {}) = 0;
    virtual bool remove(const QString& remoteName) = 0;
    virtual bool rename(const QString& from, const QString& to) = 0;
    // Closes the connection (errors are ignored).
    virtual void disconnect() = 0;
};

using FtpSeam = Seam<FtpClient>;
inline FtpClient& ftp() {
    return FtpSeam::get();
}

} // namespace qel
