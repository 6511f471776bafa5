#include "CardDavSync.h"
#include "Multistatus.h"

namespace qel::dav {

namespace {
const QByteArray kXmlType = "application/xml; charset=utf-8";

QString describe(const DavReply& reply) {
    return reply.answered() ? QStringLiteral("the server answered %1").arg(reply.status) : reply.error;
}

// PROPFIND of `url`; the multistatus, or an error text in `why`.
Multistatus propfind(DavHttp& http, const QUrl& url, const QByteArray& depth, const QByteArray& body,
                     QString& why, QUrl* answeredFrom = nullptr) {
    const DavReply reply =
        http.request("PROPFIND", url, {{"Depth", depth}, {"Content-Type", kXmlType}}, body);
    if (reply.status != 207) {
        why = describe(reply);
        if (reply.status == 401)
            why = QStringLiteral("the server refused the user name or password");
        return {};
    }
    if (answeredFrom)
        *answeredFrom = reply.url;
    Multistatus ms = parseMultistatus(reply.body);
    if (!ms.valid)
        why = QStringLiteral("the server's answer could not be read");
    return ms;
}

QUrl at(const QUrl& base, const QString& path) {
    QUrl url = base;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    return url;
}

QString firstHref(const Multistatus& ms, const QString& prop) {
    for (const DavResponse& r : ms.responses)
        if (r.props.contains(prop) && !r.props.value(prop).hrefs.isEmpty())
            return r.props.value(prop).hrefs.first();
    return {};
}
} // namespace

DavDiscovery discover(DavHttp& http, const QUrl& server) {
    DavDiscovery out;
    if (!server.isValid() || (server.scheme() != u"http" && server.scheme() != u"https") ||
        server.host().isEmpty()) {
        out.error = QStringLiteral("The server address must begin with https:// or http:// and name a host.");
        return out;
    }
    const QByteArray principalBody = propfindBody({QStringLiteral("current-user-principal")});
    QString why;
    QUrl base = server;
    Multistatus ms;
    for (const QString& wellKnown :
         {QStringLiteral("/.well-known/carddav"), QStringLiteral("/.well-known/caldav")}) {
        ms = propfind(http, at(server, wellKnown), "0", principalBody, why, &base);
        if (!firstHref(ms, QStringLiteral("current-user-principal")).isEmpty())
            break;
    }
    QString principal = firstHref(ms, QStringLiteral("current-user-principal"));
    if (principal.isEmpty()) {
        base = server;
        ms = propfind(http, server, "0", principalBody, why);
        principal = firstHref(ms, QStringLiteral("current-user-principal"));
    }
    if (principal.isEmpty()) {
        out.error = QStringLiteral("No account was found at %1: %2.")
                        .arg(server.toString(QUrl::RemoveUserInfo),
                             why.isEmpty() ? QStringLiteral("no user principal") : why);
        return out;
    }
    ms = propfind(
        http, at(base, principal), "0",
        propfindBody({}, {QStringLiteral("addressbook-home-set")}, {QStringLiteral("calendar-home-set")}),
        why);
    const QString bookHome = firstHref(ms, QStringLiteral("addressbook-home-set"));
    const QString calendarHome = firstHref(ms, QStringLiteral("calendar-home-set"));
    const QByteArray listBody = propfindBody({QStringLiteral("resourcetype"), QStringLiteral("displayname")});
    QStringList homes;
    for (const QString& home : {bookHome, calendarHome})
        if (!home.isEmpty() && !homes.contains(home))
            homes << home;
    for (const QString& home : homes) {
        const Multistatus list = propfind(http, at(base, home), "1", listBody, why);
        for (const DavResponse& r : list.responses) {
            const QStringList types = r.props.value(QStringLiteral("resourcetype")).children;
            QString name = r.props.value(QStringLiteral("displayname")).text.trimmed();
            if (name.isEmpty())
                name = r.href.section(QLatin1Char('/'), -2, -2);
            const DavCollection collection{at(base, r.href), name};
            if (types.contains(QStringLiteral("addressbook")))
                out.addressBooks.append(collection);
            else if (types.contains(QStringLiteral("calendar")))
                out.calendars.append(collection);
        }
    }
    if (out.addressBooks.isEmpty() && out.calendars.isEmpty())
        out.error = QStringLiteral("The account at %1 has no address book and no calendar%2.")
                        .arg(server.toString(QUrl::RemoveUserInfo),
                             why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')'));
    return out;
}

} // namespace qel::dav
