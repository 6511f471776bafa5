#include "CardDavSync.h"

#include "Multistatus.h"
#include "core/DebugLog.h"
#include "core/Progress.h"
#include "vcard/VcardContacts.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>
#include <QTimeZone>
#include <QUuid>
#include <optional>

namespace qel::dav {

using vcard::Card;

namespace {

const QByteArray kVcardType = "text/vcard; charset=utf-8";
const QByteArray kXmlType = "application/xml; charset=utf-8";

// Why a run stops: the server failed or the user cancelled. What was confirmed stays recorded.
struct Stop {
    QString why;
    bool cancelled = false;
};

// A remote card as the folder remembers it.
struct Link {
    QString entry; // the local contact's EntryID
    QString etag;  // the card's ETag when last in step
    QString lmt;   // the contact's change time then (ISO, ms), a cheap first check
    QString hash;  // the hash of the contact's card then (REV left out)
    // When the contact was last seen in step. The store keeps change times to the second: only a
    // contact that has not changed since a later second than its change time is surely unchanged
    // without reading it.
    QString checked;
};

QString encode(const Link& link) {
    return QStringList{link.entry, link.etag, link.lmt, link.hash, link.checked}.join(QLatin1Char('\t'));
}

Link decode(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('\t'));
    Link link;
    link.entry = parts.value(0);
    link.etag = parts.value(1);
    link.lmt = parts.value(2);
    link.hash = parts.value(3);
    link.checked = parts.value(4);
    return link;
}

QByteArray withoutRev(const QByteArray& card) {
    QByteArray out;
    out.reserve(card.size());
    for (const QByteArray& line : card.split('\n'))
        if (!line.startsWith("REV:") && !line.isEmpty())
            out += line + '\n';
    return out;
}

QString hashOf(const QByteArray& card) {
    return QString::fromLatin1(QCryptographicHash::hash(withoutRev(card), QCryptographicHash::Sha1).toHex());
}

QString timeText(const QVariant& value) {
    return value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
}

QString nowText() {
    return timeText(QDateTime::currentDateTime());
}

// `later` is at a later second than `earlier` (both timeText).
bool laterSecond(const QString& later, const QString& earlier) {
    const QDateTime a = QDateTime::fromString(later, Qt::ISODateWithMs);
    const QDateTime b = QDateTime::fromString(earlier, Qt::ISODateWithMs);
    return a.isValid() && b.isValid() && a.toSecsSinceEpoch() > b.toSecsSinceEpoch();
}

QString uidOfCard(const Card& card) {
    const vcard::Property* uid = card.find(QStringLiteral("UID"));
    return uid ? vcard::unescapeText(uid->value).trimmed() : QString();
}

// The card's REV as a time; invalid when it has none that reads.
QDateTime revOf(const Card& card) {
    const vcard::Property* rev = card.find(QStringLiteral("REV"));
    if (!rev)
        return {};
    QString text = rev->value.trimmed();
    text.remove(QLatin1Char('-')).remove(QLatin1Char(':'));
    if (const qsizetype dot = text.indexOf(QLatin1Char('.')); dot >= 0) {
        qsizetype end = dot + 1;
        while (end < text.size() && text.at(end).isDigit())
            ++end;
        text.remove(dot, end - dot);
    }
    QDateTime t = QDateTime::fromString(text.left(15), QStringLiteral("yyyyMMdd'T'HHmmss"));
    if (!t.isValid())
        t = QDateTime::fromString(text.left(8), QStringLiteral("yyyyMMdd"));
    if (t.isValid())
        t.setTimeSpec(Qt::UTC);
    return t;
}

bool isMember(const QString& path, const QString& bookPath) {
    return !path.endsWith(QLatin1Char('/')) && path != bookPath && path.startsWith(bookPath);
}

} // namespace

QString DavSyncSummary::statusText() const {
    if (cancelled)
        return QStringLiteral("CardDAV sync stopped by the user.");
    if (!ok)
        return QStringLiteral("CardDAV sync failed: %1").arg(error);
    QStringList parts;
    const auto add = [&parts](int n, const char* what) {
        if (n > 0)
            parts << QStringLiteral("%1 %2").arg(n).arg(QLatin1String(what));
    };
    add(downloaded, "new here");
    add(updatedHere, "changed here");
    add(deletedHere, "deleted here");
    add(uploaded, "new on the server");
    add(updatedThere, "changed on the server");
    add(deletedThere, "deleted on the server");
    QString text = !parts.isEmpty()
                       ? QStringLiteral("CardDAV: ") + parts.join(QStringLiteral(", ")) + QLatin1Char('.')
                   : refused > 0 ? QStringLiteral("CardDAV: nothing could be sent.")
                                 : QStringLiteral("CardDAV: contacts in step, nothing to do.");
    if (conflicts > 0)
        text += QStringLiteral(
                    " %1 contact%2 changed on both sides: the other version kept with the category \"%3\".")
                    .arg(conflicts)
                    .arg(conflicts == 1 ? QString() : QStringLiteral("s"), kConflictCategory);
    if (refused > 0)
        text +=
            QStringLiteral(" %1 change%2 the server refused %3 kept here and tried again at the next sync "
                           "(the debug log says why).")
                .arg(refused)
                .arg(refused == 1 ? QString() : QStringLiteral("s"),
                     refused == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    if (unreadable > 0)
        text += QStringLiteral(" %1 card%2 on the server could not be read and %3 left alone (the debug log "
                               "says why).")
                    .arg(unreadable)
                    .arg(unreadable == 1 ? QString() : QStringLiteral("s"),
                         unreadable == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    return text;
}

ContactSync::ContactSync(DavHttp& http, const QUrl& addressBook, ol::FolderPtr folder)
    : mHttp(http), mBook(addressBook), mFolder(std::move(folder)) {
    QString path = mBook.path();
    if (!path.endsWith(QLatin1Char('/')))
        mBook.setPath(path + QLatin1Char('/'));
}

struct ContactSync::Impl {
    ContactSync& owner;
    DavHttp& http;
    ol::FolderPtr folder;
    ol::ItemsPtr items;
    ol::ItemPtr scratch;
    QString prefix;
    QString bookPath;
    QHash<QString, Link> links;          // path -> link
    QHash<QString, QString> pathOfEntry; // EntryID -> path
    QSet<QString> unreadable;            // paths of cards that could not be read
    DavSyncSummary sum;
    std::optional<ol::Batch> batch;
    int pending = 0;
    int done = 0;
    QString lastStatus;

    struct Local {
        int index = 0;
        QString lmt;
    };
    QHash<QString, Local> locals; // EntryID -> where and when

    explicit Impl(ContactSync& o) : owner(o), http(o.mHttp), folder(o.mFolder) {
        items = folder->Items();
        scratch = items->Add(ol::olContactItem);
        prefix = QStringLiteral("CardDAV|%1|").arg(owner.mBook.toString(QUrl::RemoveUserInfo));
        bookPath = decodedPath(owner.mBook.path(QUrl::FullyEncoded));
        for (const auto& [key, value] : folder->records(prefix + QStringLiteral("href|"))) {
            const QString path = key.mid(prefix.size() + 5);
            const Link link = decode(value);
            links.insert(path, link);
            pathOfEntry.insert(link.entry, path);
        }
    }

    // Store writes go into one batch, committed every few writes: an item and its record together.
    void wrote() {
        if (++pending >= owner.mCommitEvery)
            flush();
    }
    void open() {
        if (!batch)
            batch.emplace(folder);
    }
    void flush() {
        if (batch) {
            batch->commit();
            batch.reset();
        }
        pending = 0;
    }

    void setLink(const QString& path, const Link& link) {
        open();
        folder->setRecord(prefix + QStringLiteral("href|") + path, encode(link));
        if (const auto old = links.constFind(path); old != links.constEnd() && old->entry != link.entry)
            pathOfEntry.remove(old->entry);
        links.insert(path, link);
        pathOfEntry.insert(link.entry, path);
    }
    void dropLink(const QString& path) {
        open();
        folder->setRecord(prefix + QStringLiteral("href|") + path, QString());
        pathOfEntry.remove(links.value(path).entry);
        links.remove(path);
    }

    QUrl urlOf(const QString& path) const {
        QUrl url = owner.mBook;
        url.setPath(path, QUrl::DecodedMode);
        return url;
    }

    void step(const QString& what) {
        ++done;
        if (owner.mProgress) {
            if (what != lastStatus || done % 25 == 0)
                owner.mProgress->setStatus(what);
            lastStatus = what;
            if (owner.mProgress->cancelled())
                throw Stop{QStringLiteral("Stopped by the user."), true};
        }
    }

    // A request whose refusal stops the run; with `probe`, only an unanswered request or a refused
    // login stops it, and the caller reads any other status (a report the server may not offer
    // answers 403, 400 or 501).
    DavReply call(const QByteArray& method, const QString& path, const DavHeaders& headers = {},
                  const QByteArray& body = {}, bool probe = false) {
        DavReply reply = http.request(method, urlOf(path), headers, body);
        if (!reply.answered()) {
            const bool cancelled = owner.mProgress && owner.mProgress->cancelled();
            throw Stop{QStringLiteral("%1 %2: %3").arg(QString::fromLatin1(method), path, reply.error),
                       cancelled};
        }
        if (reply.status == 401)
            throw Stop{
                QStringLiteral("the server refused the user name or password (%1).").arg(reply.status)};
        if (probe)
            return reply;
        if (reply.status == 403)
            throw Stop{QStringLiteral("%1 %2: the server does not allow it (403).")
                           .arg(QString::fromLatin1(method), path)};
        if (reply.status >= 500)
            throw Stop{QStringLiteral("%1 %2: the server answered %3.")
                           .arg(QString::fromLatin1(method), path)
                           .arg(reply.status)};
        return reply;
    }

    // A write of one card that the server refuses for that card alone (too large, a UID it holds
    // under another name, a card it does not accept: a 4xx that `call` let through, so neither a
    // refused login nor a forbidden address book, and not 412, a changed card) is counted and
    // logged, and the run goes on without it; the change stays here and is sent again next time.
    // Anything else stops the run.
    void refuseCard(const QByteArray& method, const QString& path, const DavReply& reply) {
        if (reply.status < 400 || reply.status >= 500 || reply.status == 412)
            refuse(method, path, reply);
        ++sum.refused;
        debug(QStringLiteral(":CardDAV: the server refused %1 %2 (%3): %4")
                  .arg(QString::fromLatin1(method), path)
                  .arg(reply.status)
                  .arg(QString::fromUtf8(reply.body.left(200)).simplified()));
    }

    void refuse(const QByteArray& method, const QString& path, const DavReply& reply) {
        throw Stop{QStringLiteral("%1 %2: the server answered %3.")
                       .arg(QString::fromLatin1(method), path)
                       .arg(reply.status)};
    }

    // ---- the server's side

    struct Listing {
        bool full = true;
        QHash<QString, QString> etags; // path -> ETag of the cards listed
        QSet<QString> removed;
        QString token;
    };

    // The changes since `token` ("" for every card) by sync-collection, every page of them: a server
    // that pages its answer says so with a 507 for the collection itself, and the page's token asks
    // for the next (RFC 6578). False when the server does not answer it, or its pages do not end:
    // a full listing from pages not read to the end would take the cards not listed for removed.
    bool readSyncCollection(const QString& token, Listing& out) {
        out.full = token.isEmpty();
        QString from = token;
        for (int page = 0; page < kMostPages; ++page) {
            const DavReply reply = call("REPORT", bookPath, {{"Depth", "0"}, {"Content-Type", kXmlType}},
                                        syncCollectionBody(from), true);
            if (reply.status != 207)
                return false;
            const Multistatus ms = parseMultistatus(reply.body);
            if (!ms.valid)
                return false;
            bool more = false;
            for (const DavResponse& r : ms.responses) {
                if (!isMember(r.href, bookPath)) {
                    more = more || (r.status == 507 && isBook(r.href));
                    continue;
                }
                if (r.status == 404 || r.status == 410) {
                    out.removed.insert(r.href);
                    out.etags.remove(r.href);
                } else if (r.props.contains(QStringLiteral("getetag"))) {
                    out.etags.insert(r.href, r.props.value(QStringLiteral("getetag")).text.trimmed());
                    out.removed.remove(r.href);
                }
            }
            out.token = ms.syncToken;
            if (!more)
                return true;
            if (out.token.isEmpty() || out.token == from)
                return false; // no way on to the next page
            from = out.token;
        }
        return false;
    }
    static constexpr int kMostPages = 10000;

    bool isBook(const QString& path) const { return path == bookPath || path + QLatin1Char('/') == bookPath; }

    Listing list() {
        Listing out;
        const QString token = folder->record(prefix + QStringLiteral("token"));
        if (!token.isEmpty() && readSyncCollection(token, out)) {
            sum.incremental = true;
            return out;
        }
        out = Listing{};
        if (!readSyncCollection(QString(), out)) {
            out = Listing{};
            const DavReply reply = call("PROPFIND", bookPath, {{"Depth", "1"}, {"Content-Type", kXmlType}},
                                        propfindBody({QStringLiteral("getetag")}));
            if (reply.status != 207)
                refuse("PROPFIND", bookPath, reply);
            for (const DavResponse& r : parseMultistatus(reply.body).responses)
                if (isMember(r.href, bookPath) && r.props.contains(QStringLiteral("getetag")))
                    out.etags.insert(r.href, r.props.value(QStringLiteral("getetag")).text.trimmed());
        }
        for (auto it = links.cbegin(); it != links.cend(); ++it)
            if (!out.etags.contains(it.key()))
                out.removed.insert(it.key());
        return out;
    }

    struct Remote {
        QString etag;
        QByteArray body;
    };

    QHash<QString, Remote> fetch(const QStringList& paths) {
        QHash<QString, Remote> out;
        for (qsizetype i = 0; i < paths.size(); i += 100) {
            const QStringList chunk = paths.mid(i, 100);
            const DavReply reply =
                call("REPORT", bookPath, {{"Depth", "1"}, {"Content-Type", kXmlType}}, multigetBody(chunk));
            if (reply.status != 207)
                refuse("REPORT", bookPath, reply);
            for (const DavResponse& r : parseMultistatus(reply.body).responses)
                if (r.props.contains(QStringLiteral("address-data")))
                    out.insert(r.href, {r.props.value(QStringLiteral("getetag")).text.trimmed(),
                                        r.props.value(QStringLiteral("address-data")).text.toUtf8()});
            if (owner.mProgress) {
                owner.mProgress->setStatus(QStringLiteral("Reading contacts from the server (%1 of %2)...")
                                               .arg(i + chunk.size())
                                               .arg(paths.size()));
                if (owner.mProgress->cancelled())
                    throw Stop{QStringLiteral("Stopped by the user."), true};
            }
        }
        return out;
    }

    // One card by GET; nullopt when it is not there.
    std::optional<Remote> get(const QString& path) {
        const DavReply reply = call("GET", path);
        if (reply.status == 404 || reply.status == 410)
            return std::nullopt;
        if (!reply.ok())
            refuse("GET", path, reply);
        return Remote{reply.etag, reply.body};
    }

    // ---- the local side

    void scanLocal() {
        locals.clear();
        const int count = items->Count();
        for (int i = 1; i <= count; ++i) {
            if (items->itemClass(i) != ol::kContact)
                continue;
            locals.insert(items->value(i, ol::prop::EntryID).toString(),
                          {i, timeText(items->value(i, ol::prop::LastModificationTime))});
        }
    }

    ol::ItemPtr item(const QString& entry) const { return items->ItemWithID(entry); }

    QByteArray cardOf(const ol::Item& contact) {
        return vcard::cardOf(contact, vcard::Version::V3, *scratch);
    }

    Link linkOf(const ol::Item& contact, const QString& etag) {
        return {contact.EntryID(), etag, timeText(contact.get(ol::prop::LastModificationTime)),
                hashOf(cardOf(contact)), nowText()};
    }

    // Changed here since it was last in step with the server.
    bool changedHere(const QString& entry, const Link& link) {
        const auto local = locals.constFind(entry);
        if (local == locals.constEnd())
            return false;
        if (local->lmt == link.lmt && laterSecond(link.checked, link.lmt))
            return false;
        const ol::ItemPtr contact = item(entry);
        if (!contact || hashOf(cardOf(*contact)) != link.hash)
            return contact != nullptr;
        // The same card: remember that it was in step now, so the next run need not read it.
        const QString now = nowText();
        if (laterSecond(now, local->lmt)) {
            Link seen = link;
            seen.lmt = local->lmt;
            seen.checked = now;
            setLink(pathOfEntry.value(entry), seen);
            wrote();
        }
        return false;
    }

    // The card, when it reads as a contact (tried on an item that is never saved); else nullopt,
    // the card counted and the reason logged.
    std::optional<Card> parse(const QString& path, const QByteArray& body) {
        QString why = QStringLiteral("no vCard in it");
        try {
            std::vector<Card> cards = vcard::parseCards(body, path);
            if (!cards.empty()) {
                const ol::ItemPtr trial = items->Add(ol::olContactItem);
                vcard::applyCard(cards.front(), *trial);
                return cards.front();
            }
        } catch (const vcard::VcardError& e) {
            why = e.message();
        }
        if (!unreadable.contains(path)) {
            unreadable.insert(path);
            ++sum.unreadable;
            debug(QStringLiteral(":CardDAV: the card %1 is left alone: %2").arg(path, why));
        }
        return std::nullopt;
    }

    // A new contact with the card's values.
    ol::ItemPtr createFrom(const Card& card) {
        open();
        ol::ItemPtr contact = items->Add(ol::olContactItem);
        vcard::applyCard(card, *contact);
        contact->Save();
        return contact;
    }

    // The version that gives way, kept as a contact of its own: its own UID, the conflict category.
    void keepCopy(const Card& card) {
        open();
        ol::ItemPtr copy = items->Add(ol::olContactItem);
        vcard::applyCard(card, *copy);
        copy->setNamedProperty(vcard::kUidSet, vcard::kUidTag, QString());
        QStringList categories = ol::splitKeywords(copy->Get(QStringLiteral("Categories")).toString());
        if (!categories.contains(kConflictCategory, Qt::CaseInsensitive))
            categories << kConflictCategory;
        copy->Set(QStringLiteral("Categories"), categories.join(QStringLiteral(", ")));
        copy->Save();
        wrote();
    }

    bool sameContent(const ol::Item& contact, const Card& card) {
        ol::ItemPtr other = items->Add(ol::olContactItem);
        vcard::applyCard(card, *other);
        other->setNamedProperty(vcard::kUidSet, vcard::kUidTag, uidOfCard(card));
        return withoutRev(cardOf(*other)) == withoutRev(cardOf(contact));
    }

    // The card as a local contact's new values.
    void applyRemote(const QString& path, ol::Item& contact, const Card& card, const QString& etag) {
        open();
        vcard::applyCard(card, contact);
        contact.Save();
        setLink(path, linkOf(contact, etag));
        wrote();
    }

    void createLocal(const QString& path, const Card& card, const QString& etag) {
        ol::ItemPtr contact = createFrom(card);
        setLink(path, linkOf(*contact, etag));
        wrote();
        ++sum.downloaded;
    }

    // The properties of the server's 3.0 card that no contact field takes (a photo, a birthday
    // without a year, another program's fields), each with its lines as written and not among
    // `ours`; "" for a card of another version. Each is tried alone on an item never saved. Of the
    // e-mail addresses and numbers, those beyond what a contact holds (a fourth address, a second
    // mobile number) are kept too: the ones the card, read into a contact, does not give back.
    QByteArray beyondContact(const QString& path, const QByteArray& theirs, const QByteArray& ours) {
        const auto propertiesOf = [](const QByteArray& text) {
            QList<QByteArray> out; // a property's lines joined by CR LF
            for (QByteArray line : text.split('\n')) {
                if (line.endsWith('\r'))
                    line.chop(1);
                if ((line.startsWith(' ') || line.startsWith('\t')) && !out.isEmpty())
                    out.last() += "\r\n" + line;
                else if (!line.isEmpty())
                    out.append(line);
            }
            return out;
        };
        const auto nameOf = [](const QByteArray& property) {
            qsizetype end = 0;
            while (end < property.size() && property.at(end) != ';' && property.at(end) != ':')
                ++end;
            const QByteArray name = property.left(end).toUpper();
            return name.mid(name.indexOf('.') + 1);
        };
        const auto valueOf = [&nameOf](const QByteArray& property) {
            QByteArray unfolded = property;
            unfolded.replace("\r\n ", "").replace("\r\n\t", "");
            return nameOf(property) + ':' + unfolded.mid(unfolded.indexOf(':') + 1).trimmed();
        };
        const QList<QByteArray> properties = propertiesOf(theirs);
        if (!properties.contains("VERSION:3.0"))
            return {};
        QSet<QByteArray> skip{"BEGIN", "END", "VERSION", "UID", "REV", "PRODID"};
        for (const QByteArray& property : propertiesOf(ours))
            skip.insert(nameOf(property));
        static const QSet<QByteArray> counted{"EMAIL", "TEL"};
        QSet<QByteArray> held; // "EMAIL:value" of the addresses and numbers a contact takes
        if (const std::optional<Card> card = parse(path, theirs)) {
            const ol::ItemPtr trial = items->Add(ol::olContactItem);
            vcard::applyCard(*card, *trial);
            for (const QByteArray& property : propertiesOf(cardOf(*trial)))
                if (counted.contains(nameOf(property)))
                    held.insert(valueOf(property));
        }
        const QByteArray nothing = withoutRev(cardOf(*items->Add(ol::olContactItem)));
        QByteArray out;
        for (const QByteArray& property : properties) {
            if (counted.contains(nameOf(property))) {
                if (!held.contains(valueOf(property)))
                    out += property + "\r\n";
                continue;
            }
            if (skip.contains(nameOf(property)))
                continue;
            try {
                const std::vector<Card> alone = vcard::parseCards(
                    "BEGIN:VCARD\r\nVERSION:3.0\r\n" + property + "\r\nEND:VCARD\r\n", path);
                const ol::ItemPtr trial = items->Add(ol::olContactItem);
                vcard::applyCard(alone.front(), *trial);
                if (withoutRev(cardOf(*trial)) == nothing)
                    out += property + "\r\n";
            } catch (const vcard::VcardError&) {
                // not a property that reads: not carried
            }
        }
        return out;
    }

    // PUT of a contact's card; the answer's status (2xx, 412 ...). A change keeps what the card on
    // the server holds beyond what the contact can (see beyondContact).
    DavReply put(const QString& path, const ol::Item& contact, const QByteArray& condition,
                 const QString& etag) {
        const QByteArray ours = cardOf(contact);
        QByteArray body = ours;
        if (condition == "If-Match")
            if (const auto there = get(path))
                body.insert(body.lastIndexOf("END:VCARD"), beyondContact(path, there->body, ours));
        const QByteArray value = condition == "If-None-Match" ? QByteArray("*") : etag.toUtf8();
        DavReply reply = call("PUT", path, {{"Content-Type", kVcardType}, {condition, value}}, body);
        if (reply.ok()) {
            QString newEtag = reply.etag;
            if (newEtag.isEmpty()) // the server did not say: ask
                if (const auto fresh = get(path))
                    newEtag = fresh->etag;
            Link link{contact.EntryID(), newEtag, timeText(contact.get(ol::prop::LastModificationTime)),
                      hashOf(ours), nowText()};
            setLink(path, link);
            wrote();
        }
        return reply;
    }

    // Changed on both sides: the newer stays in place, the other becomes a copy. Both sides saying
    // the same (the same edit made on each, or a change the server took whose record was lost)
    // links the two again instead.
    void conflict(const QString& path, ol::Item& contact, const Card& card, const QString& etag) {
        if (sameContent(contact, card)) {
            setLink(path, linkOf(contact, etag));
            wrote();
            return;
        }
        ++sum.conflicts;
        const QDateTime remoteTime = revOf(card);
        const QDateTime localChange = contact.get(ol::prop::LastModificationTime).toDateTime();
        // The card's REV has whole seconds: compare at that grain; a tie goes to the server.
        const QDateTime localTime =
            localChange.isValid() ? QDateTime::fromSecsSinceEpoch(localChange.toSecsSinceEpoch(), Qt::UTC)
                                  : QDateTime();
        if (!remoteTime.isValid() || !localTime.isValid() || remoteTime >= localTime) {
            if (const std::optional<Card> mine = parse(path, cardOf(contact)))
                keepCopy(*mine);
            applyRemote(path, contact, card, etag);
            ++sum.updatedHere;
            return;
        }
        keepCopy(card);
        const DavReply reply = put(path, contact, "If-Match", etag);
        if (reply.ok())
            ++sum.updatedThere;
        else if (reply.status != 412)
            refuseCard("PUT", path, reply);
        // 412 again: changed once more meanwhile; the next run sees it.
    }

    // ---- the run

    void run() {
        if (owner.mProgress)
            owner.mProgress->setStatus(QStringLiteral("Asking the server what changed..."));
        const Listing listing = list();
        scanLocal();

        QStringList changed;
        for (auto it = listing.etags.cbegin(); it != listing.etags.cend(); ++it)
            if (!links.contains(it.key()) || links.value(it.key()).etag != it.value())
                changed << it.key();
        const QHash<QString, Remote> fetched = fetch(changed);
        if (owner.mProgress)
            owner.mProgress->begin(static_cast<int>(changed.size() + listing.removed.size() + locals.size()));

        // Unlinked local contacts by the UID their card carries: a card of ours whose record was lost.
        QHash<QString, QString> unlinkedByUid;
        for (auto it = locals.cbegin(); it != locals.cend(); ++it)
            if (!pathOfEntry.contains(it.key()))
                if (const ol::ItemPtr contact = item(it.key()))
                    unlinkedByUid.insert(vcard::uidOf(*contact), it.key());

        QSet<QString> handled;
        // A change not taken (a card the fetch did not bring, one that does not read) keeps the
        // stored sync token, so that the next run is told of it again.
        bool allTaken = true;
        for (const QString& path : changed) {
            step(QStringLiteral("Taking changes from the server..."));
            const auto remote = fetched.constFind(path);
            const std::optional<Card> card =
                remote == fetched.constEnd() ? std::nullopt : parse(path, remote->body);
            if (!card) { // gone between the listing and the fetch, or not a card we can read
                allTaken = false;
                continue;
            }
            handled.insert(path);
            const auto link = links.constFind(path);
            if (link == links.constEnd()) {
                const QString entry = unlinkedByUid.take(uidOfCard(*card));
                const ol::ItemPtr contact = entry.isEmpty() ? nullptr : item(entry);
                if (contact)
                    conflict(path, *contact, *card, remote->etag);
                else
                    createLocal(path, *card, remote->etag);
                continue;
            }
            const Link known = *link;
            const ol::ItemPtr contact = locals.contains(known.entry) ? item(known.entry) : nullptr;
            if (!contact) {
                createLocal(path, *card, remote->etag); // changed there, deleted here: the change wins
            } else if (changedHere(known.entry, known)) {
                conflict(path, *contact, *card, remote->etag);
            } else {
                applyRemote(path, *contact, *card, remote->etag);
                ++sum.updatedHere;
            }
        }

        for (const QString& path : listing.removed) {
            step(QStringLiteral("Taking removals from the server..."));
            if (!links.contains(path))
                continue;
            handled.insert(path);
            const Link known = links.value(path);
            const ol::ItemPtr contact = locals.contains(known.entry) ? item(known.entry) : nullptr;
            if (contact && !changedHere(known.entry, known)) {
                open();
                contact->Delete();
                ++sum.deletedHere;
            }
            dropLink(path); // a contact changed here meanwhile stays and goes up as a new card
            wrote();
        }
        flush();
        scanLocal();

        // Changes and removals made here.
        const QStringList known = links.keys();
        for (const QString& path : known) {
            if (handled.contains(path) || !links.contains(path))
                continue;
            step(QStringLiteral("Sending changes to the server..."));
            const Link link = links.value(path);
            if (!locals.contains(link.entry)) {
                const DavReply reply = call("DELETE", path, {{"If-Match", link.etag.toUtf8()}});
                if (reply.ok() || reply.status == 404 || reply.status == 410) {
                    dropLink(path);
                    wrote();
                    ++sum.deletedThere;
                } else if (reply.status == 412) {
                    // Changed there meanwhile: the change wins over the removal.
                    if (const auto remote = get(path)) {
                        if (const auto card = parse(path, remote->body))
                            createLocal(path, *card, remote->etag);
                    } else {
                        dropLink(path);
                        wrote();
                    }
                } else {
                    refuseCard("DELETE", path, reply);
                }
                continue;
            }
            if (!changedHere(link.entry, link))
                continue;
            const ol::ItemPtr contact = item(link.entry);
            const DavReply reply = put(path, *contact, "If-Match", link.etag);
            if (reply.ok()) {
                ++sum.updatedThere;
            } else if (reply.status == 412) {
                if (const auto remote = get(path)) {
                    if (const auto card = parse(path, remote->body))
                        conflict(path, *contact, *card, remote->etag);
                } else { // removed there meanwhile: ours goes up as new
                    dropLink(path);
                    wrote();
                }
            } else {
                refuseCard("PUT", path, reply);
            }
        }
        flush();
        scanLocal();

        // New contacts here (the conflict copies among them).
        for (auto it = locals.cbegin(); it != locals.cend(); ++it) {
            if (pathOfEntry.contains(it.key()))
                continue;
            step(QStringLiteral("Sending new contacts to the server..."));
            const ol::ItemPtr contact = item(it.key());
            if (!contact)
                continue;
            upload(*contact);
        }
        flush();
        if (!listing.token.isEmpty() && allTaken)
            folder->setRecord(prefix + QStringLiteral("token"), listing.token);
    }

    void upload(ol::Item& contact) {
        const QString uid = vcard::uidOf(contact);
        QString name = QString::fromLatin1(QUrl::toPercentEncoding(uid, {}, "%"))
                           .replace(QLatin1Char('%'), QLatin1Char('_'));
        for (int attempt = 0; attempt < 2; ++attempt) {
            const QString path = bookPath + name + QStringLiteral(".vcf");
            const DavReply reply = put(path, contact, "If-None-Match", QString());
            if (reply.ok()) {
                ++sum.uploaded;
                return;
            }
            if (reply.status != 412) {
                refuseCard("PUT", path, reply);
                return;
            }
            // Something is there already: ours from a run that was cut off, or another card.
            const auto remote = get(path);
            const auto card = remote ? parse(path, remote->body) : std::nullopt;
            if (card && uidOfCard(*card) == uid) {
                conflict(path, contact, *card, remote->etag);
                return;
            }
            name += QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
        }
    }
};

DavSyncSummary ContactSync::run() {
    Impl impl(*this);
    try {
        impl.run();
        impl.sum.ok = true;
    } catch (const Stop& stop) {
        // Everything recorded so far was confirmed by the server: keep it.
        impl.flush();
        impl.sum.error = stop.why;
        impl.sum.cancelled = stop.cancelled;
    } catch (const ol::Error& e) {
        impl.batch.reset(); // rolled back: an item and its record go together or not at all
        impl.sum.error = e.message();
    } catch (const vcard::VcardError& e) {
        impl.batch.reset();
        impl.sum.error = e.message();
    }
    return impl.sum;
}

} // namespace qel::dav
