#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

namespace qeltest {

// A real CardDAV and CalDAV server for a test (Debian's radicale): one user with a plain password
// file, a temporary storage folder holding the user's address book "contacts" and calendar
// "calendar", on 127.0.0.1 at a port the system picks. Stopped, and waited for, when destroyed.
class DavServer {
public:
    DavServer();
    ~DavServer();
    DavServer(const DavServer&) = delete;
    DavServer& operator=(const DavServer&) = delete;

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

    QTemporaryDir mDir;
    QProcess mProcess;
    int mPort = 0;
    QString mWhy;
};

} // namespace qeltest
