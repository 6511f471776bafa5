#include "DavTesting.h"

using namespace davtest;

// The volume case on its own, so that it has the test time-out to itself.
class TestCardDavVolume : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // 2,000 contacts go up from one device and down to another; edits on the second come back.
    void twoThousandContactsBothWays() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Device first(QStringLiteral("first"));
        Device second(QStringLiteral("second"));
        const QStringList many = names(QStringLiteral("Many"), 2000);
        first.add(many, QStringLiteral("100"));
        dav::DavSyncSummary s = first.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.uploaded, 2000);
        s = second.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.downloaded, 2000);
        QMap<QString, QString> all;
        for (const QString& n : many)
            all.insert(n, QStringLiteral("100"));
        QCOMPARE(second.contacts(), all);

        for (int i = 0; i < 2000; i += 100) {
            second.edit(many.at(i), QStringLiteral("200"));
            all.insert(many.at(i), QStringLiteral("200"));
        }
        s = second.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.statusText(), QStringLiteral("CardDAV: 20 changed on the server."));
        s = first.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.updatedHere, 20);
        QCOMPARE(first.contacts(), all);
        QCOMPARE(remote.list().size(), 2000);
    }
};

QEL_TEST_MAIN(TestCardDavVolume)
#include "test_carddav_volume.moc"
