#include "DavAccount.h"

#include "CardDavSync.h"
#include "Multistatus.h"
#include "core/DebugLog.h"
#include "core/Progress.h"
#include "core/SettingsModel.h"
#include "vcard/IcsExport.h"

#include <QCryptographicHash>
#include <QHash>

namespace qel::dav {

namespace {
const QByteArray kXmlType = "application/xml; charset=utf-8";

// The VEVENTs of a VCALENDAR text, each as a VCALENDAR of its own with its UID given our prefix;
// keyed by that UID.
QHash<QString, QByteArray> eventsOf(const QByteArray& calendarText) {
    QHash<QString, QByteArray> out;
    const QByteArray head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Vantrel//Special Days//EN\r\n";
    qsizetype from = 0;
    while ((from = calendarText.indexOf("BEGIN:VEVENT", from)) >= 0) {
        const qsizetype end = calendarText.indexOf("END:VEVENT", from);
        if (end < 0)
            break;
        QByteArray event = calendarText.mid(from, end - from) + "END:VEVENT\r\n";
        from = end;
        const qsizetype uidAt = event.indexOf("\nUID:");
        if (uidAt < 0)
            continue;
        const qsizetype uidEnd = event.indexOf('\n', uidAt + 1);
        const QString uid =
            kSpecialDayUidPrefix + QString::fromUtf8(event.mid(uidAt + 5, uidEnd - uidAt - 5)).trimmed();
        event.replace(uidAt + 1, uidEnd - uidAt - 1, "UID:" + uid.toUtf8() + "\r");
        QByteArray text = head + event + "END:VCALENDAR\r\n";
        text.replace("\r\r\n", "\r\n");
        out.insert(uid, text);
    }
    return out;
}

QString resourceName(const QString& uid) {
    QString name = QString::fromLatin1(QUrl::toPercentEncoding(uid, {}, "%@"));
    return name.replace(QLatin1Char('%'), QLatin1Char('_')).replace(QLatin1Char('@'), QLatin1Char('_')) +
           QStringLiteral(".ics");
}
} // namespace

PublishSummary publishSpecialDays(DavHttp& http, const QUrl& calendar, const ol::FolderPtr& calendarFolder) {
    PublishSummary sum;
    QUrl base = calendar;
    if (!base.path().endsWith(QLatin1Char('/')))
        base.setPath(base.path() + QLatin1Char('/'));
    const QString basePath = decodedPath(base.path(QUrl::FullyEncoded));
    const auto urlOf = [&base](const QString& path) {
        QUrl url = base;
        url.setPath(path, QUrl::DecodedMode);
        return url;
    };
    const auto failed = [&sum](const char* what, const DavReply& reply) {
        sum.error = QStringLiteral("%1: %2").arg(
            QLatin1String(what),
            reply.answered() ? QStringLiteral("the server answered %1").arg(reply.status) : reply.error);
        return sum;
    };
    const DavReply listing = http.request("PROPFIND", base, {{"Depth", "1"}, {"Content-Type", kXmlType}},
                                          propfindBody({QStringLiteral("getetag")}));
    if (listing.status != 207)
        return failed("PROPFIND", listing);
    // Ours on the server: path -> ETag.
    QHash<QString, QString> ours;
    const QString ourStart = basePath + resourceName(kSpecialDayUidPrefix).chopped(4);
    for (const DavResponse& r : parseMultistatus(listing.body).responses)
        if (r.href.startsWith(ourStart))
            ours.insert(r.href, r.props.value(QStringLiteral("getetag")).text.trimmed());

    // What was last written, so an unchanged event is not sent again: path -> "etag\thash".
    const QString prefix = QStringLiteral("CalDAV|%1|").arg(base.toString(QUrl::RemoveUserInfo));
    const QHash<QString, QByteArray> events = eventsOf(ical::calendarText(calendarFolder, true));
    QSet<QString> wanted;
    for (auto it = events.cbegin(); it != events.cend(); ++it) {
        const QString path = basePath + resourceName(it.key());
        wanted.insert(path);
        const QString hash =
            QString::fromLatin1(QCryptographicHash::hash(it.value(), QCryptographicHash::Sha1).toHex());
        const QStringList known = calendarFolder->record(prefix + path).split(QLatin1Char('\t'));
        const auto there = ours.constFind(path);
        if (there != ours.constEnd() && known.size() == 2 && known.at(0) == *there && known.at(1) == hash) {
            ++sum.unchanged;
            continue;
        }
        const QByteArray condition =
            there == ours.constEnd() ? QByteArray("If-None-Match") : QByteArray("If-Match");
        const QByteArray value = there == ours.constEnd() ? QByteArray("*") : there->toUtf8();
        const DavReply put =
            http.request("PUT", urlOf(path),
                         {{"Content-Type", "text/calendar; charset=utf-8"}, {condition, value}}, it.value());
        if (!put.ok())
            return failed("PUT", put);
        calendarFolder->setRecord(prefix + path, put.etag + QLatin1Char('\t') + hash);
        ++sum.written;
    }
    for (auto it = ours.cbegin(); it != ours.cend(); ++it) {
        if (wanted.contains(it.key()))
            continue;
        const DavReply removed = http.request("DELETE", urlOf(it.key()), {{"If-Match", it.value().toUtf8()}});
        if (!removed.ok() && removed.status != 404 && removed.status != 412)
            return failed("DELETE", removed);
        calendarFolder->setRecord(prefix + it.key(), QString());
        ++sum.removed;
    }
    sum.ok = true;
    return sum;
}

PairedFolder pairedFolder(const ol::NameSpacePtr& ns, const QString& path, const ol::FolderPtr& inUse,
                          int itemType) {
    const QString kind =
        itemType == ol::olContactItem ? QStringLiteral("contact") : QStringLiteral("calendar");
    PairedFolder out;
    try {
        out.folder = path.trimmed().isEmpty() ? inUse : ns->folderByPath(path.trimmed());
    } catch (const ol::Error& e) {
        out.error = e.number() == ol::kErrNotFound
                        ? QStringLiteral("there is no folder \"%1\".").arg(path.trimmed())
                        : e.message();
        return out;
    }
    if (!out.folder)
        out.error = QStringLiteral("no %1 folder is in use.").arg(kind);
    else if (out.folder->DefaultItemType() != itemType)
        out.error = QStringLiteral("\"%1\" is not a %2 folder.").arg(out.folder->path(), kind);
    if (!out.error.isEmpty())
        out.folder.reset();
    return out;
}

DavRun runDavSync(const SettingsModel& settings, const ol::NameSpacePtr& ns, const ol::FolderPtr& contacts,
                  const ol::FolderPtr& calendar, Progress* progress) {
    DavRun run;
    if (!settings.davSync)
        return run;
    run.ran = true;
    const QUrl book(settings.davAddressBook.trimmed());
    if (!book.isValid() || book.host().isEmpty()) {
        run.status = QStringLiteral("CardDAV sync failed: no address book is chosen in the preferences.");
        return run;
    }
    const PairedFolder contactFolder =
        pairedFolder(ns, settings.davContactFolder, contacts, ol::olContactItem);
    const PairedFolder calendarFolder =
        settings.davPublishQELDays
            ? pairedFolder(ns, settings.davCalendarFolder, calendar, ol::olAppointmentItem)
            : PairedFolder{};
    for (const QString& error : {contactFolder.error, calendarFolder.error})
        if (!error.isEmpty()) {
            run.status = QStringLiteral("CardDAV sync failed: %1").arg(error);
            return run;
        }
    DavHttp http;
    http.setCredentials(settings.davUser, settings.davPassword);
    if (progress)
        http.setCancel([progress] { return progress->cancelled(); });
    debug(QStringLiteral("CardDAV sync of %1 with %2")
              .arg(contactFolder.folder->path(), book.toString(QUrl::RemoveUserInfo)));
    ContactSync sync(http, book, contactFolder.folder);
    sync.setProgress(progress);
    const DavSyncSummary summary = sync.run();
    run.ok = summary.ok && summary.refused == 0;
    run.status = summary.statusText();
    debug(run.status);
    if (summary.ok && settings.davPublishQELDays) {
        const QUrl target(settings.davCalendar.trimmed());
        const PublishSummary published = target.isValid() && !target.host().isEmpty()
                                             ? publishSpecialDays(http, target, calendarFolder.folder)
                                             : PublishSummary{false, QStringLiteral("no calendar is chosen")};
        if (published.ok) {
            run.status += QStringLiteral(" Special days: %1 written, %2 removed.")
                              .arg(published.written)
                              .arg(published.removed);
        } else {
            run.ok = false;
            run.status += QStringLiteral(" Special days not published: %1").arg(published.error);
        }
        debug(run.status);
    }
    return run;
}

} // namespace qel::dav
