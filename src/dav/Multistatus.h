#pragma once

// Reading a WebDAV multistatus answer (RFC 4918), as PROPFIND and REPORT give it, and the request
// bodies the sync sends. Namespaces are matched by URI, never by the prefix a server chose.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace qel::dav {

// One property of a propstat: its text, the hrefs inside it and the local names of its children
// (resourcetype's "addressbook", supported-report's "sync-collection").
struct DavProp {
    QString text;
    QStringList hrefs;
    QStringList children;
};

struct DavResponse {
    QString href;   // decoded path
    int status = 0; // the response's own status (sync-collection's 404 for a removed member), else 0
    QHash<QString, DavProp> props; // by local name, only those of a 2xx propstat
};

struct Multistatus {
    bool valid = false; // the body was a multistatus
    QList<DavResponse> responses;
    QString syncToken; // sync-collection's new token
};

Multistatus parseMultistatus(const QByteArray& body);

// A path as the sync keys it: percent-decoded.
QString decodedPath(const QString& href);

QByteArray propfindBody(const QStringList& davProps, const QStringList& cardProps = {},
                        const QStringList& calProps = {});
QByteArray syncCollectionBody(const QString& token);
QByteArray multigetBody(const QStringList& paths);

} // namespace qel::dav
