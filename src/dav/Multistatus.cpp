#include "Multistatus.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace qel::dav {

namespace {
const QString kDav = QStringLiteral("DAV:");

int statusOf(const QString& line) {
    // "HTTP/1.1 404 Not Found"
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// Reads one property element whole (the reader stands on its start).
DavProp readProp(QXmlStreamReader& xml) {
    DavProp prop;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 2)
                prop.children.append(xml.name().toString());
            if (xml.name() == u"href" && xml.namespaceUri() == kDav) {
                prop.hrefs.append(decodedPath(xml.readElementText().trimmed()));
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference) {
            prop.text += xml.text();
        }
    }
    return prop;
}
} // namespace

QString decodedPath(const QString& href) {
    const QUrl url(href);
    return QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
}

Multistatus parseMultistatus(const QByteArray& body) {
    Multistatus out;
    QXmlStreamReader xml(body);
    DavResponse* response = nullptr;
    bool inPropstat = false;
    QHash<QString, DavProp> pending; // the propstat's props until its status is known
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const auto name = xml.name();
            const bool dav = xml.namespaceUri() == kDav;
            if (dav && name == u"multistatus") {
                out.valid = true;
            } else if (dav && name == u"response") {
                out.responses.append(DavResponse{});
                response = &out.responses.last();
            } else if (dav && name == u"sync-token" && !response) {
                out.syncToken = xml.readElementText().trimmed();
            } else if (response && dav && name == u"href" && response->href.isEmpty() && !inPropstat) {
                response->href = decodedPath(xml.readElementText().trimmed());
            } else if (response && dav && name == u"propstat") {
                pending.clear();
                inPropstat = true;
            } else if (response && dav && name == u"prop") {
                while (xml.readNextStartElement())
                    pending.insert(xml.name().toString(), readProp(xml));
            } else if (response && dav && name == u"status") {
                const int status = statusOf(xml.readElementText());
                // A propstat's status (after its prop), or the response's own.
                if (inPropstat) {
                    if (status >= 200 && status < 300)
                        for (auto it = pending.cbegin(); it != pending.cend(); ++it)
                            response->props.insert(it.key(), it.value());
                    pending.clear();
                } else {
                    response->status = status;
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.namespaceUri() == kDav && xml.name() == u"response")
                response = nullptr;
            if (xml.namespaceUri() == kDav && xml.name() == u"propstat")
                inPropstat = false;
        }
    }
    if (xml.hasError())
        out.valid = false;
    return out;
}

QByteArray propfindBody(const QStringList& davProps, const QStringList& cardProps,
                        const QStringList& calProps) {
    QString body = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                  "<D:propfind xmlns:D=\"DAV:\" xmlns:A=\"urn:ietf:params:xml:ns:carddav\" "
                                  "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:prop>");
    for (const QString& p : davProps)
        body += QStringLiteral("<D:%1/>").arg(p);
    for (const QString& p : cardProps)
        body += QStringLiteral("<A:%1/>").arg(p);
    for (const QString& p : calProps)
        body += QStringLiteral("<C:%1/>").arg(p);
    body += QStringLiteral("</D:prop></D:propfind>");
    return body.toUtf8();
}

QByteArray syncCollectionBody(const QString& token) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                          "<D:sync-collection xmlns:D=\"DAV:\"><D:sync-token>%1</D:sync-token>"
                          "<D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop></D:sync-collection>")
        .arg(escaped(token))
        .toUtf8();
}

QByteArray multigetBody(const QStringList& paths) {
    QString body = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                  "<A:addressbook-multiget xmlns:D=\"DAV:\" "
                                  "xmlns:A=\"urn:ietf:params:xml:ns:carddav\">"
                                  "<D:prop><D:getetag/><A:address-data/></D:prop>");
    for (const QString& path : paths)
        body += QStringLiteral("<D:href>%1</D:href>")
                    .arg(escaped(QString::fromUtf8(QUrl::toPercentEncoding(path, "/"))));
    body += QStringLiteral("</A:addressbook-multiget>");
    return body.toUtf8();
}

} // namespace qel::dav
