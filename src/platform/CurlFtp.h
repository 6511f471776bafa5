#pragma once

#include "Ftp.h"

#include <QByteArray>

class QFileDevice;

namespace qel {

// What a CurlFtpClient is built with beyond the server's settings.
struct CurlFtpOptions {
    QString caFile;           // certificates that sign the server's (PEM); "" for the system's
    int connectTimeout = 20;  // seconds to reach the server and log in
    int responseTimeout = 30; // seconds to wait for one answer of the server
    int stalledTimeout = 30;  // seconds a transfer may move no byte before it fails
};

// The FTP client on libcurl. One easy handle is kept for the client's life, so the control
// connection stays open between operations; every operation resets the handle's options first.
// The password is handed to libcurl as an option (never in a URL) and is masked in every error text.
class CurlFtpClient : public FtpClient {
public:
    explicit CurlFtpClient(CurlFtpOptions options = {});
    ~CurlFtpClient() override;
    CurlFtpClient(const CurlFtpClient&) = delete;
    CurlFtpClient& operator=(const CurlFtpClient&) = delete;

    void configure(const FtpSettings& settings) override;
    bool connect() override;
    bool isConnected() const override { return mConnected; }
    QString localAddress() const override { return mLocalAddress; }
    QString lastError() const override { return mError; }
    std::optional<QList<FtpEntry>> list() override;
    bool put(const QString& localPath, const QString& remoteName, const FtpProgress& progress = {}) override;
    bool get(const QString& remoteName, const QString& localPath, const FtpProgress& progress = {}) override;
    bool remove(const QString& remoteName) override;
    bool rename(const QString& from, const QString& to) override;
    void disconnect() override;

    // The entries of an MLSD answer; "." and ".." left out.
    static QList<FtpEntry> parseMlsd(const QByteArray& answer);

private:
    struct Transfer;
    // Resets the handle and sets what every operation shares, for the remote path (a name or "" for
    // the login folder). false (with the reason kept) when there is no handle.
    bool prepare(const QString& what, const QString& remotePath);
    // Runs the prepared operation; on failure keeps "<what>: <reason>" as the last error.
    bool perform(const QString& what, Transfer* transfer = nullptr);
    // Sends commands on the control connection; names: the file names they carry, checked first.
    bool quote(const QString& what, const QStringList& names, const QStringList& commands);
    static QString localProblem(const QString& what, const QFileDevice& file, const char* doing);
    std::optional<QList<FtpEntry>> listByNames();
    QString masked(QString text) const;

    void* mCurl = nullptr;
    CurlFtpOptions mOptions;
    FtpSettings mSettings;
    bool mConnected = false;
    QString mLocalAddress;
    QString mError;
    QByteArray mErrorBuffer;
};

} // namespace qel
