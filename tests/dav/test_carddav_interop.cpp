#include "DavTesting.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

using namespace davtest;

namespace {

// A second, independent client: Debian's vdirsyncer keeping a folder of .vcf files (one card a
// file) in step with the same address book.
class Vdirsyncer {
public:
    explicit Vdirsyncer(qeltest::DavServer& server) {
        QDir().mkpath(cardsDir());
        QFile config(mDir.filePath(QStringLiteral("config")));
        const QString text =
            QStringLiteral("[general]\nstatus_path = \"%1/status/\"\n"
                           "[pair contacts]\na = \"local\"\nb = \"server\"\ncollections = null\n"
                           "conflict_resolution = \"b wins\"\n"
                           "[storage local]\ntype = \"filesystem\"\npath = \"%2/\"\nfileext = \".vcf\"\n"
                           "[storage server]\ntype = \"carddav\"\nurl = \"%3\"\nusername = \"%4\"\n"
                           "password = \"%5\"\n")
                .arg(mDir.path(), cardsDir(), server.addressBook().toString(), server.user(),
                     server.password());
        mReady = config.open(QIODevice::WriteOnly) && config.write(text.toUtf8()) > 0;
        config.close();
        mReady = mReady && run(QStringLiteral("discover"));
    }

    bool ready() const { return mReady; }
    const QString& output() const { return mOutput; }

    // One `vdirsyncer sync`; true when it went through without an error.
    bool sync() { return run(QStringLiteral("sync")); }

    // Every card in the folder, FN -> TEL.
    QMap<QString, QString> cards() const {
        QMap<QString, QString> out;
        for (const QString& file : QDir(cardsDir()).entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
            const QByteArray card = read(file);
            out.insert(Remote::field(card, "FN"), Remote::field(card, "TEL"));
        }
        return out;
    }

    void setPhone(const QString& name, const QString& phone) {
        const QString file = fileOf(name);
        QString card = QString::fromUtf8(read(file));
        card.replace(QRegularExpression(QStringLiteral("(\\nTEL[^:\\n]*:)[^\\r\\n]*")),
                     QStringLiteral("\\1") + phone);
        write(file, card.toUtf8());
    }
    void remove(const QString& name) { QVERIFY(QFile::remove(cardsDir() + QLatin1Char('/') + fileOf(name))); }
    void add(const QString& uid, const QString& name, const QString& phone) {
        write(uid + QStringLiteral(".vcf"), Remote::card(uid, name, phone));
    }

private:
    QString cardsDir() const { return mDir.filePath(QStringLiteral("cards")); }

    bool run(const QString& command) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("vdirsyncer"),
                      {QStringLiteral("-c"), mDir.filePath(QStringLiteral("config")), command});
        const bool finished = process.waitForFinished(60000);
        mOutput = QString::fromUtf8(process.readAll());
        return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
               !mOutput.contains(QStringLiteral("error:"), Qt::CaseInsensitive);
    }

    QByteArray read(const QString& file) const {
        QFile f(cardsDir() + QLatin1Char('/') + file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& file, const QByteArray& data) {
        QFile f(cardsDir() + QLatin1Char('/') + file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(data), data.size());
    }
    QString fileOf(const QString& name) const {
        for (const QString& file : QDir(cardsDir()).entryList({QStringLiteral("*.vcf")}, QDir::Files))
            if (Remote::field(read(file), "FN") == name)
                return file;
        return QStringLiteral("no card for ") + name;
    }

    QTemporaryDir mDir;
    QString mOutput;
    bool mReady = false;
};

} // namespace

class TestCardDavInterop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Changes made through either client (an edit, a removal, a new card) reach the other through
    // the server, and the two converge: a further round on both sides changes nothing.
    void anotherClientAndThisOneConverge() {
        qeltest::DavServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        Remote remote(server);
        Vdirsyncer other(server);
        QVERIFY2(other.ready(), qPrintable(other.output()));
        Device device(QStringLiteral("i"));
        device.add({QStringLiteral("Anna Berg"), QStringLiteral("Bert Car"), QStringLiteral("Carl Dorn")},
                   QStringLiteral("111"));
        QVERIFY(device.sync(server).ok);
        QVERIFY2(other.sync(), qPrintable(other.output()));
        QCOMPARE(other.cards(), device.contacts());

        other.setPhone(QStringLiteral("Anna Berg"), QStringLiteral("222"));
        other.remove(QStringLiteral("Bert Car"));
        other.add(QStringLiteral("dora-uid"), QStringLiteral("Dora Eck"), QStringLiteral("444"));
        QVERIFY2(other.sync(), qPrintable(other.output()));
        dav::DavSyncSummary s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.updatedHere, 1);
        QCOMPARE(s.deletedHere, 1);
        QCOMPARE(s.downloaded, 1);
        QCOMPARE(s.conflicts, 0);
        const QMap<QString, QString> theirs{{QStringLiteral("Anna Berg"), QStringLiteral("222")},
                                            {QStringLiteral("Carl Dorn"), QStringLiteral("111")},
                                            {QStringLiteral("Dora Eck"), QStringLiteral("444")}};
        QCOMPARE(device.contacts(), theirs);

        device.edit(QStringLiteral("Carl Dorn"), QStringLiteral("333"));
        device.remove(QStringLiteral("Dora Eck"));
        device.add({QStringLiteral("Emil Fox")}, QStringLiteral("555"));
        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.updatedThere, 1);
        QCOMPARE(s.deletedThere, 1);
        QCOMPARE(s.uploaded, 1);
        QVERIFY2(other.sync(), qPrintable(other.output()));
        const QMap<QString, QString> ours{{QStringLiteral("Anna Berg"), QStringLiteral("222")},
                                          {QStringLiteral("Carl Dorn"), QStringLiteral("333")},
                                          {QStringLiteral("Emil Fox"), QStringLiteral("555")}};
        QCOMPARE(device.contacts(), ours);
        QCOMPARE(other.cards(), ours);
        QCOMPARE(remote.cards(), ours);

        s = device.sync(server);
        QVERIFY2(s.ok, qPrintable(s.error));
        QCOMPARE(s.statusText(), QStringLiteral("CardDAV: contacts in step, nothing to do."));
        QVERIFY2(other.sync(), qPrintable(other.output()));
        QVERIFY2(!other.output().contains(QStringLiteral("Copying")), qPrintable(other.output()));
        QCOMPARE(other.cards(), ours);
    }
};

QEL_TEST_MAIN(TestCardDavInterop)
#include "test_carddav_interop.moc"
