#include "DavServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>

namespace qeltest {

namespace {
bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}
} // namespace

DavServer::Kind DavServer::defaultKind() {
    return qEnvironmentVariable("QEL_TEST_DAV_SERVER") == QLatin1String("sabre") ? Kind::Sabre
                                                                                 : Kind::Radicale;
}

DavServer::DavServer(Kind kind, int maxBody) : mKind(kind), mMaxBody(maxBody) {
    if (!mDir.isValid()) {
        mWhy = QStringLiteral("no temporary folder");
        return;
    }
    if (mKind == Kind::Sabre) { // the script makes its tables on the first request
        launch(0);
        return;
    }
    const QString root = mDir.filePath(QStringLiteral("storage/collection-root/") + user());
    QDir().mkpath(root + QStringLiteral("/contacts"));
    QDir().mkpath(root + QStringLiteral("/calendar"));
    if (!writeFile(root + QStringLiteral("/contacts/.Radicale.props"),
                   R"({"tag": "VADDRESSBOOK", "D:displayname": "Contacts"})") ||
        !writeFile(
            root + QStringLiteral("/calendar/.Radicale.props"),
            R"({"tag": "VCALENDAR", "D:displayname": "Calendar", "C:supported-calendar-component-set": "VEVENT"})") ||
        !writeFile(mDir.filePath(QStringLiteral("users")),
                   (user() + QLatin1Char(':') + password() + QLatin1Char('\n')).toUtf8())) {
        mWhy = QStringLiteral("the server's files could not be written");
        return;
    }
    launch(0);
}

DavServer::~DavServer() {
    if (mProcess.state() == QProcess::NotRunning)
        return;
    mProcess.terminate();
    if (!mProcess.waitForFinished(5000))
        kill();
}

QUrl DavServer::base() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(mPort));
}

QUrl DavServer::addressBook() const {
    if (mKind == Kind::Sabre)
        return base().resolved(QUrl(QStringLiteral("addressbooks/") + user() + QStringLiteral("/contacts/")));
    return base().resolved(QUrl(user() + QStringLiteral("/contacts/")));
}

QUrl DavServer::calendar() const {
    if (mKind == Kind::Sabre)
        return base().resolved(QUrl(QStringLiteral("calendars/") + user() + QStringLiteral("/calendar/")));
    return base().resolved(QUrl(user() + QStringLiteral("/calendar/")));
}

bool DavServer::launch(int port) {
    // Its log goes to a file, read for the port: a pipe nobody reads would stop it once full.
    const QString log = mDir.filePath(QStringLiteral("server.log"));
    QFile::remove(log);
    mProcess.setProcessChannelMode(QProcess::MergedChannels);
    mProcess.setStandardOutputFile(log);
    if (mKind == Kind::Sabre) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DAV_DB"), mDir.filePath(QStringLiteral("dav.sqlite")));
        env.insert(QStringLiteral("DAV_USER"), user());
        env.insert(QStringLiteral("DAV_PASSWORD"), password());
        env.insert(QStringLiteral("DAV_MAX_BODY"), QString::number(mMaxBody));
        mProcess.setProcessEnvironment(env);
        mProcess.start(QStringLiteral("php"), {QStringLiteral("-S"), QStringLiteral("127.0.0.1:%1").arg(port),
                                               QStringLiteral(QEL_TEST_SUPPORT_DIR "/dav_server.php")});
        // "Development Server (http://127.0.0.1:PORT) started"
        return awaitPort(log, QStringLiteral("Server \\(http://127.0.0.1:(\\d+)\\) started"), "started");
    }
    mProcess.start(QStringLiteral("/usr/bin/radicale"),
                   {QStringLiteral("--config"), QString(), QStringLiteral("--server-hosts"),
                    QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("--storage-filesystem-folder"),
                    mDir.filePath(QStringLiteral("storage")), QStringLiteral("--auth-type"),
                    QStringLiteral("htpasswd"), QStringLiteral("--auth-htpasswd-filename"),
                    mDir.filePath(QStringLiteral("users")), QStringLiteral("--auth-htpasswd-encryption"),
                    QStringLiteral("plain"), QStringLiteral("--server-max-content-length"),
                    QString::number(mMaxBody > 0 ? mMaxBody : 100000000), QStringLiteral("--logging-level"),
                    QStringLiteral("info")});
    // It says where it listens: "Listening on '[127.0.0.1]:PORT'", then that it is ready.
    return awaitPort(log, QStringLiteral("Listening on .*:(\\d+)"), "ready");
}

bool DavServer::awaitPort(const QString& log, const QString& pattern, const QByteArray& ready) {
    const QRegularExpression listening(pattern);
    QByteArray seen;
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && mProcess.state() != QProcess::NotRunning) {
        mProcess.waitForFinished(100);
        QFile file(log);
        if (file.open(QIODevice::ReadOnly))
            seen = file.readAll();
        const auto match = listening.match(QString::fromUtf8(seen));
        if (match.hasMatch() && seen.contains(ready)) {
            mPort = match.captured(1).toInt();
            return true;
        }
    }
    mWhy = QStringLiteral("the server did not start: ") + QString::fromUtf8(seen);
    kill();
    return false;
}

void DavServer::kill() {
    if (mProcess.state() == QProcess::NotRunning)
        return;
    mProcess.kill();
    mProcess.waitForFinished(5000);
}

bool DavServer::restart() {
    const int port = mPort;
    kill();
    mPort = 0;
    return launch(port);
}

} // namespace qeltest
