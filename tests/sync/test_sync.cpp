// The sync against a real FTP server on 127.0.0.1, with two "computers" (program folders, stores
// and settings of their own), scripted message boxes and a clock the test moves.

#include "SyncTesting.h"

#include "core/DebugLog.h"
#include "storetool/DemoData.h"
#include "support/DebugCarrierDouble.h"
#include "support/SeamScope.h"
#include "support/SettingsFixture.h"
#include "sync/SyncFiles.h"
#include "sync/SyncSchedule.h"

#include <QLockFile>
#include <QSysInfo>
#include <QTest>

using namespace qel;
using qeltest::FtpServer;
using synctest::Computer;
using synctest::readFile;
using synctest::writeFile;

namespace {

const QString kMasterAddress = QStringLiteral("10.0.0.1");
const QString kSlaveAddress = QStringLiteral("10.0.0.2");
const QString kExchange = QStringLiteral("MyContacts.mdb");
const QString kAborted = QStringLiteral("Sync Aborted by User");
const QString kNoConnection = QStringLiteral("There was an error connecting to the FTP");
const QString kMissing = QStringLiteral(
    "MyContacts.mdb is missing from the FTP. Run sync on the MASTER (this should not have occured).");
// Bytes a second on a slowed server (it sends and takes that many at once before it slows): the big
// file of 1.3 MB takes a few seconds, and a server stopped after kTrigger bytes has not sent it all.
const int kSlow = 256 * 1024;
const qint64 kTrigger = 300 * 1024;
const QString kInUse = QStringLiteral("The FTP is currently being used by QEL user:");

QString lockOf(const QString& address) {
    return QStringLiteral("FTP_in_use_") + ComputerName() + QString(address).remove(QLatin1Char('.'));
}

QStringList serverFiles(const FtpServer& server) {
    return QDir(server.root()).entryList(QDir::Files, QDir::Name);
}

void fill(Computer& master) {
    master.addContact(QStringLiteral("Mary"), QStringLiteral("Smith"), QStringLiteral("Acme"),
                      QStringLiteral("mary@example.org"), QStringLiteral("555-0101"),
                      QStringLiteral("Springfield"));
    master.addContact(QStringLiteral("José"), QStringLiteral("Núñez"), QStringLiteral("Café 'Sol'"),
                      QStringLiteral("jose@example.org"), QStringLiteral("555-0102"),
                      QStringLiteral("Sevilla"));
    master.addContact(QStringLiteral("Lee"), QStringLiteral("Wong"), QString(),
                      QStringLiteral("lee@example.org"), QString(), QStringLiteral("Oakland"));
    master.addAppointment(QStringLiteral("Dentist"), QDateTime(QDate(2024, 2, 1), QTime(9, 30)),
                          QStringLiteral("Main St"));
    master.addAppointment(QStringLiteral("Review"), QDateTime(QDate(2024, 3, 12), QTime(14, 0)), QString());
}

// Sets a server file's time, as the server's listing will show it.
bool setServerTime(const FtpServer& server, const QString& name, const QDateTime& time) {
    QFile file(server.file(name));
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

// One case's server, seams and two computers, a master and a slave.
struct TwoComputers {
    explicit TwoComputers(FtpServer::Options options = {})
        : server(options), master(kMasterAddress, server, true), slave(kSlaveAddress, server, false) {}
    FtpServer server;
    qeltest::SeamScope seams;
    Computer master;
    Computer slave;
};

} // namespace

class SyncTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qeltest::freshSettings(QStringLiteral("sync")); }

    void masterThenSlaveConvergeAndTimedSyncsSkipOnlyWhatIsOld() {
        TwoComputers run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        fill(master);
        // A contact of the slave's own (no sync category) is not the import's business.
        slave.addContact(QStringLiteral("Local"), QStringLiteral("Only"), QString(), QString(), QString(),
                         QString());
        seams.clock.advanceSecs(1); // a change in the second the export begins counts as new

        QCOMPARE(master.run(false), SyncResult::Synced);
        QCOMPARE(serverFiles(server), QStringList{kExchange}); // lock released, nothing half-written left
        QCOMPARE(master.trayStatus, QStringLiteral("Last Sync:") + generalDate(seams.clock.now()));
        QVERIFY(master.progress.lines.contains(QStringLiteral("Checking last modified contact (MASTER)")));
        QVERIFY(master.progress.lines.contains(QStringLiteral("Uploading file...")));
        QCOMPARE(readFile(master.file(QStringLiteral("LastSync.dat"))),
                 (generalDate(seams.clock.now()) + QStringLiteral("\r\n")).toUtf8());
        QCOMPARE(master.icons.constLast(), SyncIcon::Normal);
        QCOMPARE(Tag(&master.SyncTimer), QString());
        QCOMPARE(Tag(&master.menuTools), QString());

        seams.clock.advanceSecs(120);
        QCOMPARE(slave.run(false), SyncResult::Synced);
        QStringList expected = master.contents();
        expected << slave.contents().filter(QStringLiteral("|Local|"));
        expected.sort();
        QCOMPARE(slave.contents(), expected);
        QCOMPARE(expected.size(), 6);
        QVERIFY(slave.progress.lines.contains(
            QStringLiteral("Checking date modified of MyContacts.mdb (SLAVE)")));
        QVERIFY(slave.progress.lines.contains(QStringLiteral("Downloading file...")));
        QCOMPARE(serverFiles(server), QStringList{kExchange});
        QVERIFY(!QFile::exists(slave.file(QLatin1String(kDownloadFile))));

        // Nothing new: a timed sync of either side stops short; a manual one runs in full.
        seams.clock.advanceSecs(600);
        const QByteArray uploaded = readFile(server.file(kExchange));
        QCOMPARE(slave.run(true), SyncResult::NotNeeded);
        QCOMPARE(slave.trayStatus, QStringLiteral("No Sync Needed. ") + generalDate(seams.clock.now()));
        QCOMPARE(master.run(true), SyncResult::NotNeeded);
        QCOMPARE(readFile(server.file(kExchange)), uploaded);
        QCOMPARE(slave.run(false), SyncResult::Synced);
        QCOMPARE(slave.contents(), expected);
        QCOMPARE(serverFiles(server), QStringList{kExchange});

        // A change on the master: its timed sync uploads, the slave's timed sync imports it. (The
        // server tells times to the second.)
        QTest::qWait(1100);
        seams.clock.advanceSecs(60);
        ol::ItemPtr mary = master.f.gOlContactFolder->Items()->Item(QStringLiteral("Mary Smith"));
        mary->set(ol::prop::CompanyName, QStringLiteral("Acme Ltd"));
        mary->Save();
        QCOMPARE(master.run(true), SyncResult::Synced);
        seams.clock.advanceSecs(60);
        QCOMPARE(slave.run(true), SyncResult::Synced);
        QVERIFY(slave.contents().join(QLatin1Char('\n')).contains(QStringLiteral("|Acme Ltd|")));

        // A contact deleted on the master changes no item's time; the timed syncs carry it all the same.
        QTest::qWait(1100);
        seams.clock.advanceSecs(60);
        master.f.gOlContactFolder->Items()->Item(QStringLiteral("Mary Smith"))->Delete();
        QCOMPARE(master.run(true), SyncResult::Synced);
        seams.clock.advanceSecs(60);
        QCOMPARE(slave.run(true), SyncResult::Synced);
        QVERIFY(!slave.contents().join(QLatin1Char('\n')).contains(QStringLiteral("Mary Smith")));
        QCOMPARE(slave.contents().size(), expected.size() - 1);
        QVERIFY(seams.dialogs.verify());
    }

    // Over explicit TLS: master and slave converge through a server that requires it; a computer
    // that does not trust the server's certificate gets no further than the connection, says so,
    // and changes nothing on either side.
    void overTlsConvergeAndAnUntrustedServerChangesNothing() {
        TwoComputers run(FtpServer::Options{.tls = true});
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        fill(master);
        seams.clock.advanceSecs(1);
        QCOMPARE(master.run(false), SyncResult::Synced);
        seams.clock.advanceSecs(120);
        QCOMPARE(slave.run(false), SyncResult::Synced);
        QCOMPARE(slave.contents(), master.contents());
        QCOMPARE(serverFiles(server), QStringList{kExchange});

        Computer wary(QStringLiteral("10.0.0.3"), server, false, server.otherCertificate());
        const QByteArray uploaded = readFile(server.file(kExchange));
        seams.dialogs.expectMessage(kNoConnection);
        QCOMPARE(wary.run(false), SyncResult::NoConnection);
        QVERIFY(seams.dialogs.verify());
        QVERIFY(wary.contents().isEmpty());
        QCOMPARE(serverFiles(server), QStringList{kExchange});
        QCOMPARE(readFile(server.file(kExchange)), uploaded);
    }

    // The slave's clock far ahead of the server's, then far behind: the check compares the server's
    // times only, so a new file is imported and an old one is not.
    void skewedClocksNeitherSkipNorRepeat() {
        TwoComputers run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        fill(master);
        QCOMPARE(master.run(false), SyncResult::Synced);
        QVERIFY(setServerTime(server, kExchange, QDateTime::currentDateTimeUtc().addSecs(-7200)));

        seams.clock.setNow(QDateTime::currentDateTime().addYears(3)); // the slave's clock ahead
        QCOMPARE(slave.run(false), SyncResult::Synced);
        master.addContact(QStringLiteral("New"), QStringLiteral("Person"), QString(), QString(), QString(),
                          QString());
        QCOMPARE(master.run(false), SyncResult::Synced);
        QVERIFY(setServerTime(server, kExchange, QDateTime::currentDateTimeUtc().addSecs(-3600)));
        QCOMPARE(slave.run(true), SyncResult::Synced); // older than LastSync.dat, yet new: imported
        QCOMPARE(slave.contents().filter(QStringLiteral("|Person|")).size(), 1);

        seams.clock.setNow(QDateTime::currentDateTime().addYears(-3)); // the slave's clock behind
        QCOMPARE(slave.run(true), SyncResult::NotNeeded);
        QVERIFY(seams.dialogs.verify());
    }

    // The server dies in the middle of the upload: the old server file stays, nothing local is
    // lost, and the next sync meets its own lock, warns, completes and releases it.
    void serverStoppedDuringUploadThenStaleOwnLock() {
        TwoComputers run(FtpServer::Options{false, false, kSlow});
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        fill(master);
        generateDemoContacts(master.f.gOlContactFolder, 3000, 7); // a file that takes many writes
        QCOMPARE(master.run(false), SyncResult::Synced);
        const QByteArray before = readFile(server.file(kExchange));
        QVERIFY(before.size() > 1024 * 1024);
        const QByteArray lastSync = readFile(master.file(QStringLiteral("LastSync.dat")));
        const QStringList data = master.contents();

        seams.clock.advanceSecs(300);
        master.client.triggerBytes = kTrigger; // the server has written part of the upload when it goes
        master.client.duringTransfer = [&] { server.kill(); };
        seams.dialogs.expectMessage(QStringLiteral("There was an error uploading the file to the FTP."));
        QCOMPARE(master.run(false), SyncResult::Failed);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(master.trayStatus, QStringLiteral("There was an error uploading the file to the FTP"));
        QCOMPARE(master.icons.constLast(), SyncIcon::Error);
        QCOMPARE(readFile(server.file(kExchange)), before);
        QVERIFY(QFile::exists(server.file(lockOf(kMasterAddress)))); // the server went before the release
        QCOMPARE(readFile(master.file(QStringLiteral("LastSync.dat"))), lastSync);
        QCOMPARE(master.contents(), data);

        QVERIFY2(server.restart(), qPrintable(server.why()));
        master.useServer(server);
        seams.clock.advanceSecs(60);
        seams.dialogs.expectMessage(
            QStringLiteral(
                "The FTP indicated that it was in use by this computer. An error likely occured last "
                "sync at  ") +
            QString::fromUtf8(lastSync).trimmed() + QStringLiteral(". This sync should complete."));
        QCOMPARE(master.run(false), SyncResult::Synced);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(serverFiles(server), QStringList{kExchange});
        QCOMPARE(readFile(server.file(kExchange)), readFile(master.file(kExchange)));
    }

    void serverStoppedDuringDownloadChangesNothing() {
        TwoComputers run(FtpServer::Options{false, false, kSlow});
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        fill(master);
        generateDemoContacts(master.f.gOlContactFolder, 3000, 7); // a file that takes many reads
        QCOMPARE(master.run(false), SyncResult::Synced);
        QVERIFY(QFileInfo(server.file(kExchange)).size() > 1024 * 1024);
        const QStringList before = slave.contents();

        slave.client.triggerBytes = kTrigger;
        slave.client.duringTransfer = [&] { server.kill(); };
        seams.dialogs.expectMessage(QStringLiteral("File not downloaded from FTP at ") +
                                    generalDate(seams.clock.now()) + QStringLiteral(" Error="));
        QCOMPARE(slave.run(false), SyncResult::Failed);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(slave.trayStatus, QStringLiteral("There was an error downloading the file from the FTP"));
        QCOMPARE(slave.contents(), before);
        QVERIFY(!QFile::exists(slave.file(kExchange)));
        QVERIFY(!QFile::exists(slave.file(QLatin1String(kDownloadFile))));
        QCOMPARE(readFile(slave.file(QStringLiteral("LastSync.dat"))), QByteArray("First Sync\r\n"));

        QVERIFY2(server.restart(), qPrintable(server.why()));
        slave.useServer(server);
        seams.dialogs.expectMessage(QStringLiteral("The FTP indicated that it was in use by this computer."));
        QCOMPARE(slave.run(false), SyncResult::Synced);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(slave.contents(), master.contents());
        QCOMPARE(serverFiles(server), QStringList{kExchange});
    }

    void cancelDuringUploadAndDownload() {
        TwoComputers run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        fill(master);
        QCOMPARE(master.run(false), SyncResult::Synced);
        const QByteArray before = readFile(server.file(kExchange));

        master.addContact(QStringLiteral("Not"), QStringLiteral("Uploaded"), QString(), QString(), QString(),
                          QString());
        master.progress.cancelAt = QStringLiteral("Uploading file...");
        seams.dialogs.expectMessage(kAborted);
        QCOMPARE(master.run(true), SyncResult::Cancelled); // shown in a timed sync too
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(master.trayStatus, QStringLiteral("Sync Cancelled by user durring upload"));
        QCOMPARE(readFile(server.file(kExchange)), before);
        QCOMPARE(serverFiles(server), QStringList{kExchange});

        const QStringList slaveBefore = slave.contents();
        slave.progress.cancelAt = QStringLiteral("Downloading file...");
        seams.dialogs.expectMessage(kAborted);
        QCOMPARE(slave.run(false), SyncResult::Cancelled);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(slave.trayStatus, QStringLiteral("Sync Cancelled by user durring download"));
        QCOMPARE(slave.contents(), slaveBefore);
        QVERIFY(!QFile::exists(slave.file(kExchange)));
        QCOMPARE(serverFiles(server), QStringList{kExchange});
    }

    void missingAndDamagedServerFileImportNothing() {
        TwoComputers run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        slave.addContact(QStringLiteral("Local"), QStringLiteral("Only"), QString(), QString(), QString(),
                         QString());
        const QStringList before = slave.contents();

        seams.dialogs.expectMessage(kMissing);
        QCOMPARE(slave.run(false), SyncResult::Failed);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(slave.trayStatus, kMissing);
        QCOMPARE(serverFiles(server), QStringList{});

        fill(master);
        QCOMPARE(master.run(false), SyncResult::Synced);
        const QByteArray whole = readFile(server.file(kExchange));
        QVERIFY(writeFile(server.file(kExchange), whole.left(whole.size() / 2)));
        seams.dialogs.expectMessage(
            QStringLiteral("The MyContacts.mdb on the FTP is not a good exchange file"));
        QCOMPARE(slave.run(false), SyncResult::Failed);
        QVERIFY(seams.dialogs.verify());
        QVERIFY(slave.trayStatus.startsWith(QStringLiteral("The MyContacts.mdb on the FTP is not a good")));
        QCOMPARE(slave.contents(), before);
        QVERIFY(!QFile::exists(slave.file(kExchange)));
        QVERIFY(!QFile::exists(slave.file(QLatin1String(kDownloadFile))));
        QCOMPARE(readFile(slave.file(QStringLiteral("LastSync.dat"))), QByteArray("First Sync\r\n"));
        QCOMPARE(serverFiles(server), QStringList{kExchange});
        // Timed: the same, without a message.
        QCOMPARE(slave.run(true), SyncResult::Failed);
        QCOMPARE(slave.contents(), before);
    }

    void connectionRefusedOrLoginWrongKeepsThePasswordOut() {
        TwoComputers run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        qeltest::DebugCarrierDouble log;

        master.settings.password = QStringLiteral("wrong-S3cret!");
        seams.dialogs.expectMessage(kNoConnection);
        QCOMPARE(master.run(false), SyncResult::NoConnection);
        QVERIFY(seams.dialogs.verify());

        server.kill();
        master.settings.password = server.password();
        QCOMPARE(master.run(true), SyncResult::NoConnection); // timed: no message
        QCOMPARE(master.trayStatus, kNoConnection);
        QCOMPARE(master.icons.constLast(), SyncIcon::Error);
        QCOMPARE(Tag(&master.SyncTimer), QString());
        QCOMPARE(Tag(&master.menuTools), QString());
        const QString logged = log.texts().join(QLatin1Char('\n'));
        QCOMPARE(logged.count(QStringLiteral(":FTP Offline at ")), 2);
        QVERIFY(logged.contains(QStringLiteral(" Error=")));
        QVERIFY2(!logged.contains(server.password()) && !logged.contains(QStringLiteral("wrong-S3cret!")),
                 qPrintable(logged));
        for (const auto& prompt : seams.dialogs.prompts())
            QVERIFY(!prompt.text.contains(QStringLiteral("S3cret")));
        QVERIFY(!master.trayStatus.contains(server.password()));
    }

    void anotherComputersLockPlansTheRetry() {
        TwoComputers run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        fill(master);
        const QString other = QStringLiteral("FTP_in_use_OFFICE192168010");
        QVERIFY(writeFile(server.file(other), "03/04/2024 10:11:12 AM\r\n"));

        seams.dialogs.expectMessage(kInUse + other + QStringLiteral(" Please try again later."));
        QCOMPARE(master.run(false), SyncResult::Busy);
        QVERIFY(seams.dialogs.verify());
        QVERIFY(!master.settings.syncRetry); // manual: no retry planned
        QCOMPARE(master.trayStatus, QStringLiteral("FTP Being used at ") + generalDate(seams.clock.now()));

        QCOMPARE(master.run(true), SyncResult::Busy);
        QVERIFY(master.settings.syncRetry);
        QCOMPARE(master.trayStatus, QStringLiteral("FTP in use. Will try again in 15 minutes"));
        SyncSchedule schedule(master.settings);
        schedule.restart(seams.clock.now());
        QVERIFY(!schedule.tick(seams.clock.now(), false)); // the retry: 15 ticks to go
        QVERIFY(!master.settings.syncRetry);
        for (int tick = 1; tick < 15; ++tick)
            QVERIFY(!schedule.tick(seams.clock.now(), false));
        QVERIFY(schedule.tick(seams.clock.now(), false));

        master.settings.interval = QStringLiteral("15");
        QCOMPARE(master.run(true), SyncResult::Busy);
        QVERIFY(!master.settings.syncRetry);
        QCOMPARE(master.trayStatus, QStringLiteral("FTP in use. Will try again at next interval"));

        master.settings.intervalSync = false;
        master.settings.syncTime = QStringLiteral("05:45 AM"); // the last time of the list
        QCOMPARE(master.run(true), SyncResult::Busy);
        QCOMPARE(effectiveSyncTime(master.settings), QStringLiteral("06:00 AM"));
        QCOMPARE(master.trayStatus, QStringLiteral("FTP in use. Will try again at 06:00 AM"));
        QCOMPARE(master.run(true), SyncResult::Busy);
        QCOMPARE(master.trayStatus, QStringLiteral("FTP in use. Will try again at 06:15 AM"));

        QCOMPARE(serverFiles(server), QStringList{other}); // never touched, nothing uploaded

        // A second sync of this very computer (the window and QEL --sync) does not reach the server.
        QVERIFY(QFile::remove(server.file(other)));
        QLockFile running(master.file(QStringLiteral("Sync.lock")));
        QVERIFY(running.tryLock(0));
        seams.dialogs.expectMessage(QStringLiteral("Another sync of this computer is running."));
        QCOMPARE(master.run(false), SyncResult::Busy);
        QCOMPARE(serverFiles(server), QStringList{});
        running.unlock();
        // One left by a process that died is taken over.
        QVERIFY(writeFile(master.file(QStringLiteral("Sync.lock")),
                          "999999\nQEL\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        QCOMPARE(master.run(false), SyncResult::Synced);
        QVERIFY(seams.dialogs.verify());
    }

    // Two computers pass the first look at the same moment: the other's lock appears right after
    // this computer wrote its own. The older lock wins; at the same second, the first name.
    void twoComputersRacingForTheLock_data() {
        QTest::addColumn<QString>("otherIdentity");
        QTest::addColumn<int>("otherAge"); // seconds the other lock is older than this computer's
        QTest::addColumn<bool>("wins");
        QTest::newRow("same second, other name first") << QStringLiteral("-") << 0 << false;
        QTest::newRow("same second, own name first") << QStringLiteral("~") << 0 << true;
        QTest::newRow("other lock older") << QStringLiteral("~") << 60 << false;
    }
    void twoComputersRacingForTheLock() {
        QFETCH(QString, otherIdentity);
        QFETCH(int, otherAge);
        QFETCH(bool, wins);
        TwoComputers run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, seams, master, slave] = run;
        fill(master);
        const QString own = lockOf(kMasterAddress);
        const QString other = QStringLiteral("FTP_in_use_") + otherIdentity;
        master.client.afterPut = [&](const QString& name) {
            if (name != own)
                return;
            const QDateTime ownTime = QFileInfo(server.file(own)).lastModified();
            writeFile(server.file(other), "other");
            setServerTime(server, other, ownTime.addSecs(-otherAge));
        };
        if (!wins)
            seams.dialogs.expectMessage(kInUse + other);
        QCOMPARE(master.run(false), wins ? SyncResult::Synced : SyncResult::Busy);
        QVERIFY(seams.dialogs.verify());
        const QStringList left = wins ? QStringList{other, kExchange} : QStringList{other};
        QCOMPARE(serverFiles(server), left);
    }

    // Timed mode: the day's sync runs on the first tick at or after the chosen time, also when the
    // tick that would have matched the minute never came; once a day; not while busy.
    void timedModeRunsOnceTheChosenTimeHasPassed() {
        SettingsModel settings;
        settings.intervalSync = false;
        settings.syncTime = QStringLiteral("06:15 AM");
        SyncSchedule schedule(settings);
        const QDateTime start(QDate(2024, 1, 15), QTime(6, 13, 40));
        schedule.restart(start);
        QVERIFY(!schedule.tick(start.addSecs(60), false)); // 06:14:40
        // Suspended until 07:02: the late tick runs the sync, the next does not.
        QVERIFY(schedule.tick(QDateTime(QDate(2024, 1, 15), QTime(7, 2, 5)), false));
        QVERIFY(!schedule.tick(QDateTime(QDate(2024, 1, 15), QTime(7, 3, 5)), false));
        // Busy at the minute: the first free tick runs it.
        QVERIFY(!schedule.tick(QDateTime(QDate(2024, 1, 16), QTime(6, 15, 5)), true));
        QVERIFY(schedule.tick(QDateTime(QDate(2024, 1, 16), QTime(6, 16, 5)), false));
        // Across midnight.
        settings.syncTime = QStringLiteral("11:45 PM");
        schedule.restart(QDateTime(QDate(2024, 1, 16), QTime(23, 44, 30)));
        QVERIFY(schedule.tick(QDateTime(QDate(2024, 1, 17), QTime(0, 3, 0)), false));

        // Interval mode: the 30th tick, then every 30.
        settings.intervalSync = true;
        settings.interval = QStringLiteral("30");
        schedule.restart(start);
        int fired = 0;
        for (int tick = 1; tick <= 90; ++tick) {
            if (schedule.tick(start, false)) {
                QCOMPARE(tick % 30, 0);
                ++fired;
            }
        }
        QCOMPARE(fired, 3);
    }
};

QEL_TEST_MAIN(SyncTest)
#include "test_sync.moc"
