#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

namespace qeltest {

// A real CardDAV and CalDAV server for a test: one user, a temporary storage folder holding the
// user's address book "Contacts" and calendar "Calendar", on 127.0.0.1 at a port the system picks.
// Stopped, and waited for, when destroyed.
//
// Two independent servers: Debian's radicale (plain password file, filesystem storage, with
// sync-collection), and SabreDAV on PHP's built-in web server (tests/support/dav_server.php: SQLite
// storage, no sync-collection, so clients list ETags). QEL_TEST_DAV_SERVER=sabre makes the second
// the default, which runs a whole test program against it.
class DavServer {
public:
    enum class Kind { Radicale, Sabre };
    static Kind defaultKind();

    // `maxBody`: a request body longer than this many bytes is refused with 413 (0: no limit).
    explicit DavServer(Kind kind = defaultKind(), int maxBody = 0);
    ~DavServer();
    DavServer(const DavServer&) = delete;
    DavServer& operator=(const DavServer&) = delete;

    Kind kind() const { return mKind; }
    bool hasSyncCollection() const { return mKind == Kind::Radicale; }
    bool started() const { return mPort > 0; }
    const QString& why() const { return mWhy; }

    int port() const { return mPort; }
    QUrl base() const; // http://127.0.0.1:PORT/
    QString user() const { return QStringLiteral("davuser"); }
    QString password() const { return QStringLiteral("s3cret:P@ss#word"); }
    QUrl addressBook() const; // .../davuser/contacts/
    QUrl calendar() const;    // .../davuser/calendar/

    // Kills the server at once and waits for it to be gone; restart() brings it back on the same
    // storage and port.
    void kill();
    bool restart();

private:
    bool launch(int port); // 0: a port the system picks
    // Waits for the server's log to name its port (the pattern's first group) and to say `ready`.
    bool awaitPort(const QString& log, const QString& pattern, const QByteArray& ready);

    Kind mKind;
    int mMaxBody;
    QTemporaryDir mDir;
    QProcess mProcess;
    int mPort = 0;
    QString mWhy;
};

} // namespace qeltest
