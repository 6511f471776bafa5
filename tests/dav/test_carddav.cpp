#include "DavTesting.h"

#include "core/SettingsModel.h"
#include "dav/DavAccount.h"

using namespace davtest;

class TestCardDav : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Discovery from the bare server address finds the user's address book and calendar; a wrong
    // password is reported without showing it, and a sync with it changes nothing.
    void discoveryAndRefusedLogin() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        dav::DavHttp http;
        http.setCredentials(server.user(), server.password());
        const dav::DavDiscovery found = dav::discover(http, server.base());
        QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
        QCOMPARE(found.addressBooks.size(), 1);
        QCOMPARE(found.addressBooks.first().name, QStringLiteral("Contacts"));
        QCOMPARE(found.addressBooks.first().url, server.addressBook());
        QCOMPARE(found.calendars.size(), 1);
        QCOMPARE(found.calendars.first().url, server.calendar());

        const QString wrong = QStringLiteral("wrong-Pa55");
        http.setCredentials(server.user(), wrong);
        const dav::DavDiscovery refused = dav::discover(http, server.base());
        QVERIFY(refused.addressBooks.isEmpty());
        QVERIFY2(refused.error.contains(QStringLiteral("user name or password")), qPrintable(refused.error));
        QVERIFY(!refused.error.contains(wrong));

        Device device(QStringLiteral("w"));
        device.add({QStringLiteral("Anna Berg")});
        ol::ApplicationPtr app = ol::Application::create(device.storeDir);
        dav::ContactSync sync(http, server.addressBook(), contactsOf(app));
        const dav::DavSyncSummary s = sync.run();
        QVERIFY(!s.ok);
        QVERIFY2(s.statusText().contains(QStringLiteral("user name or password")),
                 qPrintable(s.statusText()));
        QVERIFY(!s.statusText().contains(wrong));
        QVERIFY(contactsOf(app)->records(QStringLiteral("CardDAV|")).empty());
        QCOMPARE(device.contacts().size(), 1);
    }

    // The first sync takes each side's contacts to the other; later syncs carry an edit and a
    // removal made on either side, and a sync with nothing changed does nothing.
    void firstSyncEditsAndDeletesBothWays() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Device device(QStringLiteral("d"));
        device.add({QStringLiteral("Anna Berg"), QStringLiteral("Bert Car")}, QStringLiteral("111"));
        QCOMPARE(remote.put(QStringLiteral("carl.vcf"),
                            Remote::card(QStringLiteral("carl-uid"), QStringLiteral("Carl Dorn"),
                                         QStringLiteral("333"))),
                 201);

        dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.downloaded, 1);
        QCOMPARE(s.uploaded, 2);
        const QMap<QString, QString> all{{QStringLiteral("Anna Berg"), QStringLiteral("111")},
                                         {QStringLiteral("Bert Car"), QStringLiteral("111")},
                                         {QStringLiteral("Carl Dorn"), QStringLiteral("333")}};
        QCOMPARE(device.contacts(), all);
        QCOMPARE(remote.cards(), all);

        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.incremental, server.hasSyncCollection());
        QCOMPARE(s.statusText(), QStringLiteral("CardDAV: contacts in step, nothing to do."));

        device.edit(QStringLiteral("Anna Berg"), QStringLiteral("112"));
        QCOMPARE(remote.change(QStringLiteral("Carl Dorn"), QStringLiteral("334")) / 100, 2);
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.updatedHere, 1);
        QCOMPARE(s.updatedThere, 1);
        QCOMPARE(s.conflicts, 0);
        const QMap<QString, QString> edited{{QStringLiteral("Anna Berg"), QStringLiteral("112")},
                                            {QStringLiteral("Bert Car"), QStringLiteral("111")},
                                            {QStringLiteral("Carl Dorn"), QStringLiteral("334")}};
        QCOMPARE(device.contacts(), edited);
        QCOMPARE(remote.cards(), edited);

        device.remove(QStringLiteral("Bert Car"));
        QCOMPARE(remote.remove(QStringLiteral("Carl Dorn")) / 100, 2);
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.deletedHere, 1);
        QCOMPARE(s.deletedThere, 1);
        const QMap<QString, QString> left{{QStringLiteral("Anna Berg"), QStringLiteral("112")}};
        QCOMPARE(device.contacts(), left);
        QCOMPARE(remote.cards(), left);
    }

    // A contact changed on both sides: the newer version stays in place, the other is kept as a
    // contact of the category "Sync Conflict" on both sides; nothing is lost.
    void conflictKeepsBothVersions_data() {
        QTest::addColumn<bool>("serverNewer");
        QTest::newRow("server newer") << true;
        QTest::newRow("here newer") << false;
    }
    void conflictKeepsBothVersions() {
        QFETCH(bool, serverNewer);
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Device device(QStringLiteral("c"));
        device.add({QStringLiteral("Anna Berg")}, QStringLiteral("100"));
        QVERIFY(device.sync(server).ok);

        device.edit(QStringLiteral("Anna Berg"), QStringLiteral("200"));
        // REV far ahead or far behind the local change.
        QCOMPARE(remote.change(QStringLiteral("Anna Berg"), QStringLiteral("300"),
                               serverNewer ? QStringLiteral("20990101T000000Z")
                                           : QStringLiteral("20000101T000000Z")) /
                     100,
                 2);
        dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.conflicts, 1);
        QVERIFY2(s.statusText().contains(QStringLiteral("\"Sync Conflict\"")), qPrintable(s.statusText()));
        const QString winner = serverNewer ? QStringLiteral("300") : QStringLiteral("200");
        const QString other = serverNewer ? QStringLiteral("200") : QStringLiteral("300");
        const QMap<QString, QString> both{{QStringLiteral("Anna Berg"), winner},
                                          {QStringLiteral("Anna Berg [Sync Conflict]"), other}};
        QCOMPARE(device.contacts(), both);
        QCOMPARE(remote.cards(), both);
        // And the next sync finds both sides in step.
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.statusText(), QStringLiteral("CardDAV: contacts in step, nothing to do."));
    }

    // Both sides hold the same version, though the records say both changed it: the same edit
    // made here and on a phone, or a change the server took whose record a crash lost before the
    // store committed it. The contact and its card are linked again; no conflict copy is made.
    void sameVersionOnBothSidesIsNoConflict_data() {
        QTest::addColumn<bool>("recordLost");
        QTest::newRow("same edit on both sides") << false;
        QTest::newRow("record of a confirmed change lost") << true;
    }
    void sameVersionOnBothSidesIsNoConflict() {
        QFETCH(bool, recordLost);
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Device device(QStringLiteral("s"));
        device.add({QStringLiteral("Anna Berg")}, QStringLiteral("100"));
        QVERIFY(device.sync(server).ok);
        device.edit(QStringLiteral("Anna Berg"), QStringLiteral("200"));
        if (recordLost) {
            std::vector<std::pair<QString, QString>> before;
            {
                ol::ApplicationPtr app = ol::Application::create(device.storeDir);
                for (const auto& [key, value] : contactsOf(app)->records(QStringLiteral("CardDAV|")))
                    before.emplace_back(key, value);
            }
            const dav::DavSyncSummary up = device.sync(server);
            QVERIFY2(up.ok, qPrintable(up.error));
            QCOMPARE(up.updatedThere, 1);
            ol::ApplicationPtr app = ol::Application::create(device.storeDir);
            for (const auto& [key, value] : before)
                contactsOf(app)->setRecord(key, value);
        } else {
            QCOMPARE(remote.change(QStringLiteral("Anna Berg"), QStringLiteral("200")) / 100, 2);
        }
        dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.conflicts, 0);
        const QMap<QString, QString> one{{QStringLiteral("Anna Berg"), QStringLiteral("200")}};
        QCOMPARE(device.contacts(), one);
        QCOMPARE(remote.cards(), one);
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.statusText(), QStringLiteral("CardDAV: contacts in step, nothing to do."));
    }

    // A second client changes the card between our listing and our write: the conditional PUT
    // gets 412, the card is fetched again and the two versions are kept as a conflict.
    void preconditionFailedIsAConflict() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Device device(QStringLiteral("p"));
        device.add({QStringLiteral("Anna Berg")}, QStringLiteral("100"));
        QVERIFY(device.sync(server).ok);
        device.edit(QStringLiteral("Anna Berg"), QStringLiteral("200"));

        ScriptedProgress progress;
        int concurrent = 0;
        progress.onStatus = [&](const QString& line, int) {
            if (line.startsWith(QStringLiteral("Sending changes")) && concurrent == 0)
                concurrent = remote.change(QStringLiteral("Anna Berg"), QStringLiteral("300"));
        };
        dav::DavSyncSummary s = device.sync(server, &progress);
        QCOMPARE(concurrent / 100, 2);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.conflicts, 1);
        // The second client's card has no REV: it counts as the newer and stays in place.
        const QMap<QString, QString> both{
            {QStringLiteral("Anna Berg"), QStringLiteral("300")},
            {QStringLiteral("Anna Berg [Sync Conflict]"), QStringLiteral("200")}};
        QCOMPARE(device.contacts(), both);
        QCOMPARE(remote.cards(), both);
    }

    // A card on the server that the vCard mapping refuses (a birthday that is no date) is left
    // alone on both sides and named in the status of every run until it changes (a sync token does
    // not pass over it); the rest of the run goes through. The same for a card another client
    // turned unreadable: a contact removed here meanwhile does not take the card with it.
    void unreadableCardIsLeftAlone() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        const auto unreadable = [](const QString& uid, const QString& name, const QString& phone) {
            return Remote::card(uid, name, phone).replace("END:VCARD", "BDAY:the 15th of April\r\nEND:VCARD");
        };
        QCOMPARE(remote.put(
                     QStringLiteral("bad.vcf"),
                     unreadable(QStringLiteral("bad-uid"), QStringLiteral("Bad Date"), QStringLiteral("1"))),
                 201);
        QCOMPARE(remote.put(QStringLiteral("carl.vcf"),
                            Remote::card(QStringLiteral("carl-uid"), QStringLiteral("Carl Dorn"),
                                         QStringLiteral("333"))),
                 201);
        Device device(QStringLiteral("u"));
        device.add({QStringLiteral("Anna Berg")}, QStringLiteral("111"));
        dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.downloaded, 1);
        QCOMPARE(s.uploaded, 1);
        QCOMPARE(s.unreadable, 1);
        QVERIFY2(s.statusText().contains(QStringLiteral("1 card on the server could not be read")),
                 qPrintable(s.statusText()));
        const QMap<QString, QString> here{{QStringLiteral("Anna Berg"), QStringLiteral("111")},
                                          {QStringLiteral("Carl Dorn"), QStringLiteral("333")}};
        QCOMPARE(device.contacts(), here);
        QMap<QString, QString> there = here;
        there.insert(QStringLiteral("Bad Date"), QStringLiteral("1"));
        QCOMPARE(remote.cards(), there);

        const QString carl = remote.pathOf(QStringLiteral("Carl Dorn"));
        const QString etag = remote.list().value(carl);
        QCOMPARE(remote.put(carl.section(QLatin1Char('/'), -1),
                            unreadable(QStringLiteral("carl-uid"), QStringLiteral("Carl Dorn"),
                                       QStringLiteral("334")),
                            etag) /
                     100,
                 2);
        device.remove(QStringLiteral("Carl Dorn"));
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.deletedThere + s.deletedHere, 0);
        QCOMPARE(s.unreadable, 2); // the first card still counts: it is still not here
        there.insert(QStringLiteral("Carl Dorn"), QStringLiteral("334"));
        QCOMPARE(remote.cards(), there);
    }

    // A card from another client holds what a contact has no place for (a photo, a birthday
    // without a year, another program's field): a change made here keeps those on the server,
    // while a field the contact does carry and that was cleared here is cleared there too.
    void changeHereKeepsWhatTheContactCannotHold() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        QByteArray card =
            Remote::card(QStringLiteral("rich-uid"), QStringLiteral("Rich Card"), QStringLiteral("1"));
        card.replace(
            "END:VCARD",
            "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAP//////////////////"
            "////////////////////////////////////////////////////////////////////wgALCAABAAEBAREA/8QAFBABAAAA"
            "AAAAAAAAAAAAAAAAAP/aAAgBAQABPxA=\r\nBDAY:--0415\r\nitem1.X-ABLabel:_$!<Anniversary>!$_\r\n"
            "X-OTHER-APP:keep me\r\nNOTE:cleared here\r\nEMAIL:one@example.org\r\n"
            "EMAIL:two@example.org\r\nEMAIL:three@example.org\r\nEMAIL:four@example.org\r\nEND:VCARD");
        QCOMPARE(remote.put(QStringLiteral("rich.vcf"), card), 201);
        Device device(QStringLiteral("x"));
        QVERIFY(device.sync(server).ok);
        device.edit(QStringLiteral("Rich Card"), QStringLiteral("2"));
        {
            ol::ApplicationPtr app = ol::Application::create(device.storeDir);
            for (const ol::ItemPtr& c : contactsOf(app)->Items()) {
                c->Set(QStringLiteral("Body"), QString());
                c->Set(QStringLiteral("Email2Address"), QString()); // removed here: gone there too
                c->Save();
            }
        }
        dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.updatedThere, 1);
        const QByteArray there =
            remote.http.request("GET", remote.at(remote.pathOf(QStringLiteral("Rich Card")))).body;
        QCOMPARE(Remote::field(there, "TEL"), QStringLiteral("2"));
        QVERIFY2(there.contains("PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ"), there.constData());
        QCOMPARE(Remote::field(there, "BDAY"), QStringLiteral("--0415"));
        QVERIFY2(there.toUpper().contains("ITEM1.X-ABLABEL:_$!<ANNIVERSARY>!$_"), there.constData());
        QCOMPARE(Remote::field(there, "X-OTHER-APP"), QStringLiteral("keep me"));
        QVERIFY2(!there.contains("NOTE"), there.constData());
        // The fourth address, which no contact field holds, stays; the one removed here goes.
        for (const char* kept : {"one@example.org", "three@example.org", "four@example.org"})
            QVERIFY2(there.contains(kept), there.constData());
        QVERIFY2(!there.contains("two@example.org"), there.constData());
        QCOMPARE(there.count("EMAIL"), 3);
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.statusText(), QStringLiteral("CardDAV: contacts in step, nothing to do."));
    }

    // A stored sync token the server does not know (one it dropped: RFC 6578 answers 403) makes the
    // run list every card again instead of stopping; nothing is lost or doubled.
    void unknownSyncTokenListsEveryCard() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Device device(QStringLiteral("t"));
        device.add({QStringLiteral("Anna Berg"), QStringLiteral("Bert Car")}, QStringLiteral("111"));
        QVERIFY(device.sync(server).ok);
        QCOMPARE(remote.put(QStringLiteral("carl.vcf"),
                            Remote::card(QStringLiteral("carl-uid"), QStringLiteral("Carl Dorn"),
                                         QStringLiteral("333"))),
                 201);
        {
            ol::ApplicationPtr app = ol::Application::create(device.storeDir);
            const QString key = QStringLiteral("CardDAV|%1|token").arg(server.addressBook().toString());
            contactsOf(app)->setRecord(key, QStringLiteral("http://radicale.org/ns/sync/0123456789abcdef"));
        }
        const dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QVERIFY(!s.incremental);
        QCOMPARE(s.downloaded, 1);
        QCOMPARE(s.uploaded, 0);
        const QMap<QString, QString> all{{QStringLiteral("Anna Berg"), QStringLiteral("111")},
                                         {QStringLiteral("Bert Car"), QStringLiteral("111")},
                                         {QStringLiteral("Carl Dorn"), QStringLiteral("333")}};
        QCOMPARE(device.contacts(), all);
        QCOMPARE(remote.cards(), all);
    }

    // Settings that name a calendar as the contact folder (edited by hand) stop the run before
    // anything is read or written: no card lands among the appointments.
    void aFolderOfAnotherKindStopsTheRun() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        QCOMPARE(remote.put(QStringLiteral("carl.vcf"),
                            Remote::card(QStringLiteral("carl-uid"), QStringLiteral("Carl Dorn"),
                                         QStringLiteral("333"))),
                 201);
        Device device(QStringLiteral("k"));
        ol::ApplicationPtr app = ol::Application::create(device.storeDir);
        qel::SettingsModel settings;
        settings.davSync = true;
        settings.davAddressBook = server.addressBook().toString();
        settings.davUser = server.user();
        settings.davPassword = server.password();
        settings.davContactFolder = QStringLiteral("Personal Folders\\Calendar");
        const dav::DavRun run =
            dav::runDavSync(settings, app->GetNamespace(), contactsOf(app), nullptr, nullptr);
        QVERIFY(!run.ok);
        QCOMPARE(
            run.status,
            QStringLiteral("CardDAV sync failed: \"Personal Folders\\Calendar\" is not a contact folder."));
        app.reset();
        ol::ApplicationPtr fresh = ol::Application::create(device.storeDir);
        QCOMPARE(fresh->GetNamespace()
                     ->folderByPath(QStringLiteral("Personal Folders\\Calendar"))
                     ->Items()
                     ->Count(),
                 0);
        QCOMPARE(remote.list().size(), 1);
    }

    // A server that pages its sync-collection answers is read to the last page. A full listing
    // read from its first page alone took every card of the later pages for removed on the server
    // and deleted those contacts here.
    void pagedSyncCollectionIsReadToTheEnd() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        if (!server.hasSyncCollection())
            QSKIP("a server without sync-collection has no pages to read");
        PagingProxy proxy(server, 3);
        QVERIFY(proxy.started());
        Remote remote(server);
        Device device(QStringLiteral("g"));
        const QStringList seven = names(QStringLiteral("Paged"), 7);
        device.add(seven, QStringLiteral("100"));
        dav::DavSyncSummary s = device.sync(server, nullptr, 200, proxy.addressBook());
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.uploaded, 7);

        // The token forgotten: every card is listed again, in three pages; one card is new there.
        QCOMPARE(remote.put(QStringLiteral("carl.vcf"),
                            Remote::card(QStringLiteral("carl-uid"), QStringLiteral("Carl Dorn"),
                                         QStringLiteral("333"))),
                 201);
        {
            ol::ApplicationPtr app = ol::Application::create(device.storeDir);
            const QString key = QStringLiteral("CardDAV|%1|token").arg(proxy.addressBook().toString());
            contactsOf(app)->setRecord(key, QString());
        }
        s = device.sync(server, nullptr, 200, proxy.addressBook());
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.deletedHere, 0);
        QCOMPARE(s.downloaded, 1);
        QMap<QString, QString> all{{QStringLiteral("Carl Dorn"), QStringLiteral("333")}};
        for (const QString& name : seven)
            all.insert(name, QStringLiteral("100"));
        QCOMPARE(device.contacts(), all);
        QCOMPARE(remote.cards(), all);

        // Changes since the token, also in pages.
        QCOMPARE(remote.change(seven.at(0), QStringLiteral("101")) / 100, 2);
        QCOMPARE(remote.change(seven.at(4), QStringLiteral("105")) / 100, 2);
        QCOMPARE(remote.change(seven.at(6), QStringLiteral("107")) / 100, 2);
        QCOMPARE(remote.remove(QStringLiteral("Carl Dorn")) / 100, 2);
        s = device.sync(server, nullptr, 200, proxy.addressBook());
        QVERIFY2(s.ok, qPrintable(s.error));
        QVERIFY(s.incremental);
        QCOMPARE(s.updatedHere, 3);
        QCOMPARE(s.deletedHere, 1);
        all.remove(QStringLiteral("Carl Dorn"));
        all.insert(seven.at(0), QStringLiteral("101"));
        all.insert(seven.at(4), QStringLiteral("105"));
        all.insert(seven.at(6), QStringLiteral("107"));
        QCOMPARE(device.contacts(), all);
        s = device.sync(server, nullptr, 200, proxy.addressBook());
        QCOMPARE(s.statusText(), QStringLiteral("CardDAV: contacts in step, nothing to do."));
    }

    // A card the server refuses on its own (larger than it takes: 413) does not stop the sync: the
    // rest goes up, the status says the change is kept here, and once the server takes it the next
    // sync sends it.
    void aCardTheServerRefusesDoesNotStopTheRest() {
        qeltest::DavServer server(qeltest::DavServer::defaultKind(), 4000);
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Device device(QStringLiteral("r"));
        device.add({QStringLiteral("Anna Berg"), QStringLiteral("Bert Car")}, QStringLiteral("111"));
        device.edit(QStringLiteral("Bert Car"), QString(6000, QLatin1Char('9')));
        dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.uploaded, 1);
        QCOMPARE(s.refused, 1);
        QVERIFY2(s.statusText().contains(QStringLiteral("1 change the server refused is kept here")),
                 qPrintable(s.statusText()));
        QCOMPARE(remote.cards(),
                 (QMap<QString, QString>{{QStringLiteral("Anna Berg"), QStringLiteral("111")}}));
        QCOMPARE(device.contacts().size(), 2);

        device.edit(QStringLiteral("Bert Car"), QStringLiteral("222"));
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.uploaded, 1);
        QCOMPARE(s.refused, 0);
        const QMap<QString, QString> both{{QStringLiteral("Anna Berg"), QStringLiteral("111")},
                                          {QStringLiteral("Bert Car"), QStringLiteral("222")}};
        QCOMPARE(remote.cards(), both);
        QCOMPARE(device.contacts(), both);
    }

    // The server stops at several points of a first sync; after it is back, the next sync ends
    // with every contact once on both sides. Then the records are lost altogether (a store from a
    // backup): the sync links every contact with its card again, still without doubling any.
    void cutOffSyncResumes_data() {
        QTest::addColumn<int>("stopAt"); // the status line at which the server stops
        QTest::newRow("reading") << 2;
        QTest::newRow("taking changes") << 6;
        QTest::newRow("sending new") << 12;
        QTest::newRow("late sending") << 15;
    }
    void cutOffSyncResumes() {
        QFETCH(int, stopAt);
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        const QStringList here = names(QStringLiteral("Here"), 150);
        const QStringList there = names(QStringLiteral("There"), 150);
        for (int i = 0; i < there.size(); ++i)
            QCOMPARE(
                remote.put(QStringLiteral("t%1.vcf").arg(i),
                           Remote::card(QStringLiteral("t-%1").arg(i), there.at(i), QStringLiteral("777"))),
                201);
        Device device(QStringLiteral("r"));
        device.add(here, QStringLiteral("555"));

        ScriptedProgress progress;
        bool stopped = false;
        progress.onStatus = [&](const QString&, int index) {
            if (index == stopAt && !stopped) {
                server.kill();
                stopped = true;
            }
        };
        const dav::DavSyncSummary cut = device.sync(server, &progress, 20);
        QVERIFY2(stopped, qPrintable(progress.lines.join(QLatin1Char('|'))));
        QVERIFY(!cut.ok);
        QVERIFY(!cut.error.isEmpty());
        QVERIFY2(!cut.error.contains(server.password()), qPrintable(cut.error));
        QVERIFY(server.restart());

        dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QMap<QString, QString> all;
        for (const QString& n : here)
            all.insert(n, QStringLiteral("555"));
        for (const QString& n : there)
            all.insert(n, QStringLiteral("777"));
        QCOMPARE(device.contacts(), all);
        QCOMPARE(remote.cards(), all);

        {
            ol::ApplicationPtr app = ol::Application::create(device.storeDir);
            ol::FolderPtr folder = contactsOf(app);
            for (const auto& [key, value] : folder->records(QStringLiteral("CardDAV|")))
                folder->setRecord(key, QString());
        }
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.downloaded + s.uploaded + s.conflicts, 0);
        QCOMPARE(device.contacts(), all);
        QCOMPARE(remote.cards(), all);
    }

    // The special days go to the calendar as events of their own; a later publish replaces and
    // removes only those, never another client's event, and sends nothing that did not change.
    void specialDaysPublishedReplacingOnlyOurs() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Device device(QStringLiteral("cal"));
        ol::ApplicationPtr app = ol::Application::create(device.storeDir);
        ol::FolderPtr calendar =
            app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        const auto appointment = [&](const QString& subject, const QString& category, int day) {
            ol::ItemPtr a = calendar->Items()->Add(ol::olAppointmentItem);
            a->Set(QStringLiteral("Subject"), subject);
            a->Set(QStringLiteral("Start"), QDateTime(QDate(2027, 3, day), QTime(0, 0)));
            a->Set(QStringLiteral("End"), QDateTime(QDate(2027, 3, day + 1), QTime(0, 0)));
            a->Set(QStringLiteral("AllDayEvent"), true);
            a->Set(QStringLiteral("Categories"), category);
            a->Save();
            return a;
        };
        appointment(QStringLiteral("Anna's Birthday"), QStringLiteral("QELDay"), 3);
        ol::ItemPtr second = appointment(QStringLiteral("Bert's Birthday"), QStringLiteral("QELDay"), 9);
        appointment(QStringLiteral("Dentist"), QString(), 12);
        const QByteArray foreign =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VEVENT\r\n"
            "UID:theirs-1\r\nDTSTAMP:20270101T000000Z\r\nDTSTART;VALUE=DATE:20270305\r\n"
            "SUMMARY:Their event\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
        QUrl theirs = server.calendar();
        theirs.setPath(theirs.path() + QStringLiteral("theirs-1.ics"));
        QCOMPARE(
            remote.http
                .request("PUT", theirs, {{"Content-Type", "text/calendar"}, {"If-None-Match", "*"}}, foreign)
                .status,
            201);

        const auto events = [&] {
            QStringList out;
            const auto reply = remote.http.request("PROPFIND", server.calendar(), {{"Depth", "1"}},
                                                   dav::propfindBody({QStringLiteral("getetag")}));
            for (const dav::DavResponse& r : dav::parseMultistatus(reply.body).responses) {
                if (!r.href.endsWith(QStringLiteral(".ics")))
                    continue;
                const QByteArray body = remote.http.request("GET", remote.at(r.href)).body;
                out << Remote::field(body, "UID").section(QLatin1Char('-'), 0, 0) + QLatin1Char(':') +
                           Remote::field(body, "SUMMARY");
            }
            out.sort();
            return out;
        };
        dav::DavHttp http;
        http.setCredentials(server.user(), server.password());
        dav::PublishSummary p = dav::publishSpecialDays(http, server.calendar(), calendar);
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.written, 2);
        QCOMPARE(events(), QStringList({QStringLiteral("qelday:Anna's Birthday"),
                                        QStringLiteral("qelday:Bert's Birthday"),
                                        QStringLiteral("theirs:Their event")}));
        p = dav::publishSpecialDays(http, server.calendar(), calendar);
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.written + p.removed, 0);
        QCOMPARE(p.unchanged, 2);

        second->Delete();
        p = dav::publishSpecialDays(http, server.calendar(), calendar);
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.removed, 1);
        QCOMPARE(events(), QStringList({QStringLiteral("qelday:Anna's Birthday"),
                                        QStringLiteral("theirs:Their event")}));
    }
};

QEL_TEST_MAIN(TestCardDav)
#include "test_carddav.moc"
