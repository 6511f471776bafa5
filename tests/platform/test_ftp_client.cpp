// The libcurl FTP client against a real FTP server on 127.0.0.1 (tests/support/FtpServer.h).

#include "platform/CurlFtp.h"
#include "support/FtpServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace qel;
using qeltest::FtpServer;

namespace {

FtpSettings settingsFor(const FtpServer& server, bool tls = false) {
    FtpSettings s;
    s.host = server.host();
    s.port = server.port();
    s.user = server.user();
    s.password = server.password();
    s.passive = true;
    s.tls = tls;
    return s;
}

CurlFtpOptions quickOptions(const QString& caFile = QString()) {
    CurlFtpOptions options;
    options.caFile = caFile;
    options.connectTimeout = 5;
    options.responseTimeout = 5;
    options.stalledTimeout = 5;
    return options;
}

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class FtpClientTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loginIsCheckedAndThePasswordNeverShows() {
        FtpServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        CurlFtpClient client(quickOptions());
        client.configure(settingsFor(server));
        QVERIFY2(client.connect(), qPrintable(client.lastError()));
        QVERIFY(client.isConnected());
        QCOMPARE(client.localAddress(), QStringLiteral("127.0.0.1"));
        client.disconnect();
        QVERIFY(!client.isConnected());

        // A wrong password is refused at connect, not later at the first transfer.
        FtpSettings wrong = settingsFor(server);
        wrong.password = QStringLiteral("Wr0ng:p@ss%word");
        client.configure(wrong);
        QVERIFY(!client.connect());
        QVERIFY(!client.isConnected());
        QVERIFY2(client.lastError().contains(QStringLiteral("530")), qPrintable(client.lastError()));
        QVERIFY(!client.lastError().contains(wrong.password));
        QVERIFY(!client.lastError().contains(QStringLiteral("Wr0ng")));
        QVERIFY(!client.list()); // and nothing works on it
        QVERIFY(!client.lastError().contains(QStringLiteral("Wr0ng")));

        // Nobody listening: an error at once, not a hang.
        const int port = server.port();
        server.kill();
        FtpSettings gone = settingsFor(server);
        gone.port = port;
        client.configure(gone);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!client.connect());
        QVERIFY(timer.elapsed() < 10000);
        QVERIFY(!client.lastError().isEmpty());
    }

    void listingHasNamesAndUtcTimes() {
        for (const bool noMlsd : {false, true}) {
            FtpServer server(FtpServer::Options{false, noMlsd});
            QVERIFY2(server.started(), qPrintable(server.why()));
            const QDateTime when(QDate(2021, 3, 4), QTime(5, 6, 7), Qt::UTC);
            const QStringList names{QStringLiteral("MyContacts.mdb"),
                                    QStringLiteral("FTP_in_use_PC1921681010"),
                                    QStringLiteral("a name #2 100%.txt")};
            for (int i = 0; i < names.size(); ++i) {
                QVERIFY(writeFile(server.file(names[i]), QByteArray(100 + i, 'x')));
                QFile file(server.file(names[i]));
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.setFileTime(when.addSecs(3600 * i), QFileDevice::FileModificationTime));
            }
            QDir(server.root()).mkdir(QStringLiteral("sub"));

            CurlFtpClient client(quickOptions());
            client.configure(settingsFor(server));
            QVERIFY(client.connect());
            const auto entries = client.list();
            QVERIFY2(entries, qPrintable(client.lastError()));
            QCOMPARE(entries->size(), 4);
            for (int i = 0; i < names.size(); ++i) {
                const auto found = std::find_if(entries->begin(), entries->end(),
                                                [&](const FtpEntry& e) { return e.name == names[i]; });
                QVERIFY2(found != entries->end(), qPrintable(names[i]));
                QCOMPARE(found->modified, when.addSecs(3600 * i));
                QCOMPARE(found->modified.timeSpec(), Qt::UTC);
                QCOMPARE(found->size, qint64(100 + i));
                QVERIFY(!found->directory);
            }
        }
    }

    void transfersRoundTripRenameAndDelete() {
        FtpServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        QTemporaryDir local;
        const QByteArray bytes = randomBytes(3 * 1024 * 1024 + 17);
        QVERIFY(writeFile(local.filePath(QStringLiteral("up.bin")), bytes));

        for (const bool passive : {true, false}) {
            CurlFtpClient client(quickOptions());
            FtpSettings s = settingsFor(server);
            s.passive = passive;
            client.configure(s);
            const QString remote = QStringLiteral("My Contacts #1 %41.mdb");
            qint64 lastDone = -1;
            qint64 total = 0;
            QVERIFY2(client.put(local.filePath(QStringLiteral("up.bin")), remote,
                                [&](qint64 done, qint64 all) {
                                    lastDone = done;
                                    total = all;
                                    return true;
                                }),
                     qPrintable(client.lastError()));
            QVERIFY(client.isConnected()); // an operation connects when it has to
            QCOMPARE(readFile(server.file(remote)), bytes);
            QCOMPARE(lastDone, qint64(bytes.size()));
            QCOMPARE(total, qint64(bytes.size()));

            // A get replaces what the local file held.
            const QString down = local.filePath(QStringLiteral("down.bin"));
            QVERIFY(writeFile(down, "older content"));
            QVERIFY2(client.get(remote, down), qPrintable(client.lastError()));
            QCOMPARE(readFile(down), bytes);

            QVERIFY2(client.rename(remote, QStringLiteral("renamed.mdb")), qPrintable(client.lastError()));
            QVERIFY(!QFile::exists(server.file(remote)));
            QCOMPARE(readFile(server.file(QStringLiteral("renamed.mdb"))), bytes);
            QVERIFY2(client.remove(QStringLiteral("renamed.mdb")), qPrintable(client.lastError()));
            QVERIFY(QDir(server.root()).isEmpty());

            // Failing commands report and leave the client usable (the next one reconnects).
            QVERIFY(!client.remove(QStringLiteral("renamed.mdb")));
            QVERIFY(client.lastError().contains(QStringLiteral("renamed.mdb")));
            QVERIFY(!client.get(QStringLiteral("missing.mdb"), down));
            QCOMPARE(readFile(down), bytes); // the failed get left the local file alone
            QVERIFY(!client.rename(QStringLiteral("missing.mdb"), QStringLiteral("x.mdb")));
            const auto entries = client.list();
            QVERIFY2(entries && entries->isEmpty(), qPrintable(client.lastError()));
        }
    }

    void cancelledTransfersLeaveTheLocalFileWhole() {
        FtpServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        const QByteArray big = randomBytes(24 * 1024 * 1024);
        QVERIFY(writeFile(server.file(QStringLiteral("big.mdb")), big));
        QTemporaryDir local;
        const QString target = local.filePath(QStringLiteral("MyContacts.mdb"));
        QVERIFY(writeFile(target, "the last good file"));

        CurlFtpClient client(quickOptions());
        client.configure(settingsFor(server));
        QVERIFY(client.connect());
        qint64 seen = 0;
        const auto cancelMidway = [&](qint64 done, qint64 total) {
            seen = done;
            return !(done > 0 && done < total);
        };
        QVERIFY(!client.get(QStringLiteral("big.mdb"), target, cancelMidway));
        QVERIFY(seen > 0 && seen < big.size());
        QCOMPARE(client.lastError(), QStringLiteral("Download of big.mdb: Transfer cancelled"));
        QCOMPARE(readFile(target), QByteArray("the last good file"));
        QCOMPARE(QDir(local.path()).entryList(QDir::Files), QStringList{QStringLiteral("MyContacts.mdb")});

        QVERIFY(writeFile(local.filePath(QStringLiteral("big.bin")), big));
        seen = 0;
        QVERIFY(
            !client.put(local.filePath(QStringLiteral("big.bin")), QStringLiteral("up.mdb"), cancelMidway));
        QVERIFY(seen > 0 && seen < big.size());
        QVERIFY(client.lastError().endsWith(QStringLiteral("Transfer cancelled")));

        // The aborted transfer closed the control connection; the next operation works all the same.
        QVERIFY2(client.get(QStringLiteral("big.mdb"), target), qPrintable(client.lastError()));
        QCOMPARE(readFile(target), big);
    }

    void aServerGoneMidwayIsAnErrorNotAHang() {
        FtpServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        QTemporaryDir local;
        QVERIFY(writeFile(local.filePath(QStringLiteral("big.bin")), randomBytes(64 * 1024 * 1024)));
        CurlFtpClient client(quickOptions());
        client.configure(settingsFor(server));
        QVERIFY(client.connect());
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!client.put(local.filePath(QStringLiteral("big.bin")), QStringLiteral("MyContacts.mdb"),
                            [&](qint64 done, qint64) {
                                if (done > 0)
                                    server.kill();
                                return true;
                            }));
        QVERIFY(!client.lastError().isEmpty());
        QVERIFY(!client.list());
        QVERIFY(!client.connect());
        QVERIFY(!client.isConnected());
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!client.lastError().contains(server.password()));
    }

    void tlsChecksTheCertificate() {
        FtpServer server(FtpServer::Options{true, false});
        QVERIFY2(server.started(), qPrintable(server.why()));

        CurlFtpClient trusting(quickOptions(server.certificate()));
        trusting.configure(settingsFor(server, true));
        QVERIFY2(trusting.connect(), qPrintable(trusting.lastError()));
        QTemporaryDir local;
        QVERIFY(writeFile(local.filePath(QStringLiteral("a.txt")), "over TLS"));
        QVERIFY2(trusting.put(local.filePath(QStringLiteral("a.txt")), QStringLiteral("LastSync.dat")),
                 qPrintable(trusting.lastError()));
        QCOMPARE(readFile(server.file(QStringLiteral("LastSync.dat"))), QByteArray("over TLS"));
        const auto entries = trusting.list();
        QVERIFY2(entries && entries->size() == 1, qPrintable(trusting.lastError()));

        // A certificate signed by nobody it trusts is refused before the password is sent.
        CurlFtpClient wary(quickOptions(server.otherCertificate()));
        wary.configure(settingsFor(server, true));
        QVERIFY(!wary.connect());
        QVERIFY(!wary.isConnected());
        QVERIFY2(wary.lastError().contains(QStringLiteral("certificate"), Qt::CaseInsensitive),
                 qPrintable(wary.lastError()));
        // So is the system's trust, which does not know the test's certificate.
        CurlFtpClient system(quickOptions());
        system.configure(settingsFor(server, true));
        QVERIFY(!system.connect());

        // Without TLS the server does not let the login in.
        CurlFtpClient plain(quickOptions());
        plain.configure(settingsFor(server, false));
        QVERIFY(!plain.connect());
        QVERIFY(!plain.lastError().contains(server.password()));
    }
};

QEL_TEST_MAIN(FtpClientTest)
#include "test_ftp_client.moc"
