#pragma once

// A store and a CardDAV server for the sync tests: contacts added and read back through fresh
// store connections, and the server read and written with plain WebDAV requests, as a second
// client would.

#include "core/Progress.h"
#include "dav/CardDavSync.h"
#include "dav/Multistatus.h"
#include "outlook/Outlook.h"
#include "support/DavServer.h"
#include "support/TestEnvironment.h"

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <functional>

namespace davtest {

namespace dav = qel::dav;

inline ol::FolderPtr contactsOf(const ol::ApplicationPtr& app) {
    return app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
}

// "<stem>0000 Person" ... : `count` distinct names.
inline QStringList names(const QString& stem, int count) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QStringLiteral("%1%2 Person").arg(stem).arg(i, 4, 10, QLatin1Char('0'));
    return out;
}

// A progress that hands every status line to the test (to stop the server, to change a card).
class ScriptedProgress : public qel::Progress {
public:
    std::function<void(const QString&, int)> onStatus; // the line and how many came before it
    QStringList lines;
    void begin(int) override {}
    void setStatus(const QString& text) override {
        lines << text;
        if (onStatus)
            onStatus(text, static_cast<int>(lines.size()) - 1);
    }
    bool cancelled() const override { return false; }
};

// One device: a store folder that syncs its "Contacts" with the server's address book.
struct Device {
    QString storeDir;
    explicit Device(const QString& tag) : storeDir(qeltest::freshStoreDir(tag)) {}

    // `book`: the address book's address when not the server's own (through a proxy).
    dav::DavSyncSummary sync(qeltest::DavServer& server, qel::Progress* progress = nullptr,
                             int commitEvery = 200, const QUrl& book = {}) {
        ol::ApplicationPtr app = ol::Application::create(storeDir);
        dav::DavHttp http;
        http.setCredentials(server.user(), server.password());
        http.setTimeouts(5, 10);
        dav::ContactSync sync(http, book.isEmpty() ? server.addressBook() : book, contactsOf(app));
        sync.setProgress(progress);
        sync.setCommitEvery(commitEvery);
        return sync.run();
    }

    // Adds contacts "First<i> Last" with phone "555-<i>" in one transaction.
    void add(const QStringList& names, const QString& phone = QStringLiteral("555-0000")) {
        ol::ApplicationPtr app = ol::Application::create(storeDir);
        ol::FolderPtr folder = contactsOf(app);
        ol::Batch batch(folder);
        for (const QString& name : names) {
            ol::ItemPtr c = folder->Items()->Add(ol::olContactItem);
            c->Set(QStringLiteral("FullName"), name);
            c->Set(QStringLiteral("BusinessTelephoneNumber"), phone);
            c->Save();
        }
        batch.commit();
    }

    // Every contact, read through a fresh connection: full name -> phone; a contact of the
    // conflict category is listed as "name [Sync Conflict]". A name twice fails the test.
    QMap<QString, QString> contacts() const {
        QMap<QString, QString> out;
        ol::ApplicationPtr app = ol::Application::create(storeDir);
        for (const ol::ItemPtr& c : contactsOf(app)->Items()) {
            QString name = c->Get(QStringLiteral("FullName")).toString();
            if (ol::splitKeywords(c->Get(QStringLiteral("Categories")).toString())
                    .contains(dav::kConflictCategory))
                name += QStringLiteral(" [Sync Conflict]");
            if (out.contains(name))
                out.insert(name + QStringLiteral(" (twice)"), QString());
            else
                out.insert(name, c->Get(QStringLiteral("BusinessTelephoneNumber")).toString());
        }
        return out;
    }

    void edit(const QString& name, const QString& phone) {
        ol::ApplicationPtr app = ol::Application::create(storeDir);
        for (const ol::ItemPtr& c : contactsOf(app)->Items())
            if (c->Get(QStringLiteral("FullName")).toString() == name) {
                c->Set(QStringLiteral("BusinessTelephoneNumber"), phone);
                c->Save();
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no contact %1").arg(name)));
    }

    void remove(const QString& name) {
        ol::ApplicationPtr app = ol::Application::create(storeDir);
        for (const ol::ItemPtr& c : contactsOf(app)->Items())
            if (c->Get(QStringLiteral("FullName")).toString() == name) {
                c->Delete();
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no contact %1").arg(name)));
    }
};

// tests/support/dav_paging_proxy.py in front of a server: sync-collection answers come in pages of
// `page` cards. Stopped when destroyed.
class PagingProxy {
public:
    PagingProxy(const qeltest::DavServer& server, int page) : mServer(server) {
        mProcess.start(QStringLiteral("python3"), {qEnvironmentVariable("QEL_TEST_SOURCE_DIR") +
                                                       QStringLiteral("/tests/support/dav_paging_proxy.py"),
                                                   QString::number(server.port()), QString::number(page)});
        if (mProcess.waitForReadyRead(10000))
            mPort = QString::fromUtf8(mProcess.readLine()).section(QLatin1Char(' '), 1).trimmed().toInt();
    }
    ~PagingProxy() {
        mProcess.kill();
        mProcess.waitForFinished(5000);
    }
    bool started() const { return mPort > 0; }
    // The server's address book, reached through the proxy.
    QUrl addressBook() const {
        QUrl url = mServer.addressBook();
        url.setPort(mPort);
        return url;
    }

private:
    const qeltest::DavServer& mServer;
    QProcess mProcess;
    int mPort = 0;
};

// The server's side, as another client sees it.
struct Remote {
    qeltest::DavServer& server;
    dav::DavHttp http;
    explicit Remote(qeltest::DavServer& s) : server(s) { http.setCredentials(s.user(), s.password()); }

    QUrl at(const QString& path) const {
        QUrl url = server.base();
        url.setPath(path, QUrl::DecodedMode);
        return url;
    }

    // path -> ETag of every card.
    QMap<QString, QString> list() {
        QMap<QString, QString> out;
        const auto reply = http.request("PROPFIND", server.addressBook(), {{"Depth", "1"}},
                                        dav::propfindBody({QStringLiteral("getetag")}));
        for (const dav::DavResponse& r : dav::parseMultistatus(reply.body).responses)
            if (r.href.endsWith(QStringLiteral(".vcf")))
                out.insert(r.href, r.props.value(QStringLiteral("getetag")).text);
        return out;
    }

    static QString field(const QByteArray& card, const char* name) {
        const QRegularExpression re(
            QStringLiteral("(?:^|\\n)%1[^:\\n]*:([^\\r\\n]*)").arg(QLatin1String(name)));
        return re.match(QString::fromUtf8(card)).captured(1);
    }

    // Every card: FN -> phone (TEL), listed as in Device::contacts(); UIDs must be unique.
    QMap<QString, QString> cards() {
        QMap<QString, QString> out;
        QSet<QString> uids;
        for (const QString& path : list().keys()) {
            const QByteArray card = http.request("GET", at(path)).body;
            QString name = field(card, "FN");
            if (field(card, "CATEGORIES").contains(dav::kConflictCategory))
                name += QStringLiteral(" [Sync Conflict]");
            const QString uid = field(card, "UID");
            if (out.contains(name) || uids.contains(uid))
                name += QStringLiteral(" (twice)");
            uids.insert(uid);
            out.insert(name, field(card, "TEL"));
        }
        return out;
    }

    static QByteArray card(const QString& uid, const QString& name, const QString& phone,
                           const QString& rev = {}) {
        QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid.toUtf8() + "\r\nFN:" + name.toUtf8() +
                          "\r\nN:" + name.section(QLatin1Char(' '), -1).toUtf8() + ";" +
                          name.section(QLatin1Char(' '), 0, -2).toUtf8() +
                          ";;;\r\nTEL;TYPE=WORK,VOICE:" + phone.toUtf8() + "\r\n";
        if (!rev.isEmpty())
            text += "REV:" + rev.toUtf8() + "\r\n";
        return text + "END:VCARD\r\n";
    }

    // PUT as another client: a new card (If-None-Match) or a change (If-Match); the status.
    int put(const QString& name, const QByteArray& body, const QString& ifMatch = {}) {
        const QString path = server.addressBook().path() + name;
        const QByteArray condition = ifMatch.isEmpty() ? QByteArray("If-None-Match") : QByteArray("If-Match");
        const QByteArray value = ifMatch.isEmpty() ? QByteArray("*") : ifMatch.toUtf8();
        return http.request("PUT", at(path), {{"Content-Type", "text/vcard"}, {condition, value}}, body)
            .status;
    }

    // The path of the card whose FN is `name`.
    QString pathOf(const QString& name) {
        for (const QString& path : list().keys())
            if (field(http.request("GET", at(path)).body, "FN") == name)
                return path;
        return {};
    }

    // Changes a card's phone as another client: GET, then PUT with If-Match on its ETag.
    int change(const QString& name, const QString& phone, const QString& rev = {}) {
        const QString path = pathOf(name);
        const auto got = http.request("GET", at(path));
        const QString uid = field(got.body, "UID");
        return http
            .request("PUT", at(path), {{"Content-Type", "text/vcard"}, {"If-Match", got.etag.toUtf8()}},
                     card(uid, name, phone, rev))
            .status;
    }

    int remove(const QString& name) {
        const QString path = pathOf(name);
        return http.request("DELETE", at(path)).status;
    }
};

} // namespace davtest
