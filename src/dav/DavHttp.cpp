#include "DavHttp.h"

#include <curl/curl.h>

namespace qel::dav {

namespace {
size_t collect(char* data, size_t size, size_t count, void* target) {
    static_cast<QByteArray*>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

size_t header(char* data, size_t size, size_t count, void* target) {
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(size * count)).trimmed();
    if (line.toLower().startsWith("etag:"))
        *static_cast<QString*>(target) = QString::fromLatin1(line.mid(5).trimmed());
    else if (line.startsWith("HTTP/"))
        static_cast<QString*>(target)->clear(); // a redirect's own headers do not count
    return size * count;
}

int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancelled = static_cast<const std::function<bool()>*>(self);
    return (*cancelled && (*cancelled)()) ? 1 : 0;
}
} // namespace

DavHttp::DavHttp() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    mCurl = curl_easy_init();
}

DavHttp::~DavHttp() {
    curl_easy_cleanup(static_cast<CURL*>(mCurl));
}

void DavHttp::setCredentials(const QString& user, const QString& password) {
    mUser = user.toUtf8();
    mPassword = password.toUtf8();
}

void DavHttp::setTimeouts(int connectSeconds, int stallSeconds) {
    mConnectTimeout = connectSeconds;
    mStallTimeout = stallSeconds;
}

DavReply DavHttp::request(const QByteArray& method, const QUrl& url, const DavHeaders& headers,
                          const QByteArray& body) {
    DavReply reply;
    auto* curl = static_cast<CURL*>(mCurl);
    if (!curl) {
        reply.error = QStringLiteral("The HTTP client could not be made.");
        return reply;
    }
    curl_easy_reset(curl);
    const QByteArray address = url.toEncoded(QUrl::RemoveUserInfo);
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.constData());
    if (method == "GET")
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    if (!body.isEmpty() || method == "PUT" || method == "PROPFIND" || method == "REPORT") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    }
    const QString server =
        url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
            .toString();
    if (!mUser.isEmpty()) {
        // Both methods make libcurl ask without the login first and answer the 401 challenge; once
        // the server showed it takes Basic alone, the login goes with the request.
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH,
                         server == mBasicOnly ? CURLAUTH_BASIC : CURLAUTH_BASIC | CURLAUTH_DIGEST);
        curl_easy_setopt(curl, CURLOPT_USERNAME, mUser.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, mPassword.constData());
    }
    // Redirects (a .well-known address) keep the method; credentials go to the same host only.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_POSTREDIR, CURL_REDIR_POST_ALL);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(mConnectTimeout));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(mStallTimeout));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");

    curl_slist* list = nullptr;
    QList<QByteArray> lines;
    for (const auto& [name, value] : headers)
        lines.append(name + ": " + value);
    lines.append("Expect:"); // no 100-continue round trip
    for (const QByteArray& line : lines)
        list = curl_slist_append(list, line.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);

    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, header);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &reply.etag);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &mCancelled);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(list);
    if (code != CURLE_OK) {
        reply.status = 0;
        reply.error = code == CURLE_ABORTED_BY_CALLBACK ? QStringLiteral("Stopped by the user.")
                                                        : QString::fromUtf8(curl_easy_strerror(code));
        return reply;
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    reply.status = static_cast<int>(status);
    long offered = 0; // the methods a 401 of this request offered
    curl_easy_getinfo(curl, CURLINFO_HTTPAUTH_AVAIL, &offered);
    if (offered != 0)
        mBasicOnly = offered == CURLAUTH_BASIC ? server : QString();
    char* effective = nullptr;
    curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective);
    reply.url = effective ? QUrl::fromEncoded(effective) : url;
    reply.url.setUserInfo(QString()); // libcurl puts the credentials into the address it reports

    return reply;
}

} // namespace qel::dav
