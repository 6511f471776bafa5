#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qeltest {

// A real FTP server for a test (pyftpdlib, tests/support/ftp_server.py): one user on a temporary
// folder, on 127.0.0.1 at a port the system picks. Stopped, and waited for, when destroyed.
class FtpServer {
public:
    struct Options {
        bool tls = false;    // explicit TLS required, with a certificate made for 127.0.0.1
        bool noMlsd = false; // the server knows LIST/NLST and MDTM but not MLSD
        int rate = 0;        // bytes a second each way on a data connection (plain only); 0: no limit
    };

    FtpServer();
    explicit FtpServer(Options options);
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    // true when the server is up and listening; else why() says what went wrong.
    bool started() const { return mPort > 0; }
    const QString& why() const { return mWhy; }
    bool tls() const { return mTls; }

    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return mPort; }
    QString user() const { return QStringLiteral("syncuser"); }
    QString password() const { return QStringLiteral("pa55:w@rd#1"); }
    // The folder the login lands in, and a file in it.
    QString root() const;
    QString file(const QString& name) const;
    // The certificate the TLS server shows (self-signed: it is its own CA), and another one, made
    // the same way, that did not sign it.
    QString certificate() const;
    QString otherCertificate() const;

    // Kills the server at once (a crash or a cable pulled) and waits for it to be gone.
    void kill();
    // Starts the server again on the same folder (at a new port); false when it did not start.
    bool restart();

private:
    bool makeCertificate(const QString& name);
    bool launch();

    QTemporaryDir mDir;
    QProcess mProcess;
    QStringList mArguments;
    int mPort = 0;
    bool mTls = false;
    QString mWhy;
};

} // namespace qeltest
