// QEL --sync as a scheduled job runs it: the real program, without a display, against a real FTP
// server on 127.0.0.1.

#include "SyncTesting.h"
#include "core/Settings.h"
#include "outlook/Outlook.h"
#include "support/FtpServer.h"
#include "support/HeadlessSync.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifndef QEL_PROGRAM
#error "QEL_PROGRAM names the program under test"
#endif

using qeltest::FtpServer;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class SyncCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;

    QString path(const QString& name) const { return mHome.filePath(name); }

    Outcome runSync() const {
        const qeltest::HeadlessOutcome run =
            qeltest::runHeadlessSync(QStringLiteral(QEL_PROGRAM), mHome.path());
        return {run.exitCode, run.out, run.err};
    }

private Q_SLOTS:
    void syncOnceWithoutAWindow() {
        FtpServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        for (const char* folder : {"program", "stores", "config/QEL", "data"})
            QVERIFY(QDir().mkpath(path(QLatin1String(folder))));

        // The user's settings: this computer is the master.
        qel::setSettingsFile(path(QStringLiteral("config/QEL/QEL.ini")));
        qel::SettingsModel settings;
        synctest::serveFrom(settings, server, true);
        QCOMPARE(settings.save(), QString());
        {
            const ol::ApplicationPtr store = ol::Application::create(path(QStringLiteral("stores")));
            const ol::ItemPtr contact = store->GetNamespace()
                                            ->folderByPath(QStringLiteral("Personal Folders\\Contacts"))
                                            ->Items()
                                            ->Add(ol::olContactItem);
            contact->set(ol::prop::FirstName, QStringLiteral("Mary"));
            contact->set(ol::prop::LastName, QStringLiteral("Smith"));
            contact->Save();
        }
        QTest::qWait(1100); // the store tells times to the second

        Outcome first = runSync();
        QVERIFY2(first.exitCode == 0, qPrintable(first.out + first.err));
        QVERIFY2(first.out.startsWith(QStringLiteral("Last Sync:")), qPrintable(first.out));
        QCOMPARE(QDir(server.root()).entryList(QDir::Files), QStringList{QStringLiteral("MyContacts.mdb")});
        QVERIFY(QFile::exists(path(QStringLiteral("program/LastSync.dat"))));

        // Nothing new: not needed, still a success.
        Outcome second = runSync();
        QVERIFY2(second.exitCode == 0, qPrintable(second.out + second.err));
        QVERIFY2(second.out.startsWith(QStringLiteral("No Sync Needed. ")), qPrintable(second.out));

        // No server: the reason, a failure, no password anywhere.
        server.kill();
        Outcome third = runSync();
        QCOMPARE(third.exitCode, 1);
        QCOMPARE(third.out.trimmed(), QStringLiteral("There was an error connecting to the FTP"));
        for (const Outcome& run : {first, second, third})
            QVERIFY(!run.out.contains(server.password()) && !run.err.contains(server.password()));
    }
};

QEL_TEST_MAIN(SyncCommandTest)
#include "test_sync_command.moc"
