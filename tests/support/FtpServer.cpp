#include "FtpServer.h"

#include <QDeadlineTimer>
#include <QDir>

#ifndef QEL_TEST_SUPPORT_DIR
#error "QEL_TEST_SUPPORT_DIR names the folder of ftp_server.py"
#endif

namespace qeltest {

namespace {
// Debian's interpreter: the one that can import python3-pyftpdlib.
const QString kPython = QStringLiteral("/usr/bin/python3");
} // namespace

FtpServer::FtpServer() : FtpServer(Options{}) {}

FtpServer::FtpServer(Options options) {
    if (!mDir.isValid()) {
        mWhy = QStringLiteral("no temporary folder");
        return;
    }
    QDir().mkpath(root());
    QStringList arguments{QStringLiteral(QEL_TEST_SUPPORT_DIR "/ftp_server.py"),
                          QStringLiteral("--root"),
                          root(),
                          QStringLiteral("--user"),
                          user(),
                          QStringLiteral("--password"),
                          password()};
    if (options.tls) {
        mTls = true;
        if (!makeCertificate(QStringLiteral("server")) || !makeCertificate(QStringLiteral("other")))
            return;
        arguments << QStringLiteral("--cert") << certificate() << QStringLiteral("--key")
                  << mDir.filePath(QStringLiteral("server.key"));
    }
    if (options.noMlsd)
        arguments << QStringLiteral("--no-mlsd");
    if (options.rate > 0)
        arguments << QStringLiteral("--rate") << QString::number(options.rate);
    mArguments = arguments;
    launch();
}

bool FtpServer::restart() {
    kill();
    mPort = 0;
    return launch();
}

bool FtpServer::launch() {
    mProcess.setProcessChannelMode(QProcess::SeparateChannels);
    mProcess.start(kPython, mArguments);
    // The first line of its output is the port it listens on.
    QDeadlineTimer deadline(15000);
    while (!mProcess.canReadLine() && !deadline.hasExpired() && mProcess.state() != QProcess::NotRunning)
        mProcess.waitForReadyRead(200);
    bool ok = false;
    const int port = mProcess.readLine().trimmed().toInt(&ok);
    if (!ok || port <= 0) {
        mWhy = QStringLiteral("the FTP server did not start: ") +
               QString::fromLocal8Bit(mProcess.readAllStandardError());
        kill();
        return false;
    }
    mPort = port;
    return true;
}

FtpServer::~FtpServer() {
    if (mProcess.state() == QProcess::NotRunning)
        return;
    mProcess.terminate();
    if (!mProcess.waitForFinished(5000))
        kill();
}

void FtpServer::kill() {
    if (mProcess.state() == QProcess::NotRunning)
        return;
    mProcess.kill();
    mProcess.waitForFinished(5000);
}

QString FtpServer::root() const {
    return mDir.filePath(QStringLiteral("root"));
}

QString FtpServer::file(const QString& name) const {
    return root() + QLatin1Char('/') + name;
}

QString FtpServer::certificate() const {
    return mDir.filePath(QStringLiteral("server.pem"));
}

QString FtpServer::otherCertificate() const {
    return mDir.filePath(QStringLiteral("other.pem"));
}

bool FtpServer::makeCertificate(const QString& name) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                   QStringLiteral("-keyout"), mDir.filePath(name + QStringLiteral(".key")),
                   QStringLiteral("-out"), mDir.filePath(name + QStringLiteral(".pem"))});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        mWhy = QStringLiteral("openssl could not make a certificate: ") +
               QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    return true;
}

} // namespace qeltest
