#pragma once

// A small blocking WebDAV client (PROPFIND, REPORT, GET, PUT, DELETE with headers and bodies) on
// libcurl: one handle, reset before each request, so the connection is kept between requests.
// It blocks like the FTP client does: the sync runs it without an event loop of its own, so no
// window event can run inside a request. Errors never hold the password.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <functional>

namespace qel::dav {

struct DavReply {
    int status = 0;  // the HTTP status; 0 when no answer came
    QByteArray body; // what the server sent back
    QString etag;    // the ETag header of the answer, quotes kept ("" when none)
    QUrl url;        // where the answer came from (after redirects)
    QString error;   // why no answer came ("" when one did)
    bool answered() const { return status != 0; }
    bool ok() const { return status >= 200 && status < 300; }
};

using DavHeaders = QList<QPair<QByteArray, QByteArray>>;

class DavHttp {
public:
    DavHttp();
    ~DavHttp();
    DavHttp(const DavHttp&) = delete;
    DavHttp& operator=(const DavHttp&) = delete;

    void setCredentials(const QString& user, const QString& password);
    // Asked now and then while a request runs: true stops it (the reply's error says so).
    void setCancel(std::function<bool()> cancelled) { mCancelled = std::move(cancelled); }
    // Seconds to connect and seconds without any byte before a request gives up.
    void setTimeouts(int connectSeconds, int stallSeconds);

    DavReply request(const QByteArray& method, const QUrl& url, const DavHeaders& headers = {},
                     const QByteArray& body = {});

private:
    void* mCurl = nullptr;
    QByteArray mUser, mPassword;
    std::function<bool()> mCancelled;
    // The server (scheme, host and port) that asked for Basic authentication alone: later requests
    // to it send the login at once instead of first being answered 401.
    QString mBasicOnly;
    int mConnectTimeout = 10;
    int mStallTimeout = 30;
};

} // namespace qel::dav
