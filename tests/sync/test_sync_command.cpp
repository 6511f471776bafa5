// QEL --sync as a scheduled job runs it: the real program, without a display, against a real FTP
// server on 127.0.0.1.

#include "SyncTesting.h"
#include "core/Settings.h"
#include "outlook/Outlook.h"
#include "support/FtpServer.h"
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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), mHome.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        env.insert(QStringLiteral("QEL_HOME"), path(QStringLiteral("program")));
        // No display of any kind: a job without a desktop session.
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));
        QProcess qel;
        qel.setProcessEnvironment(env);
        qel.start(QStringLiteral(QEL_PROGRAM),
                  {QStringLiteral("--dir"), path(QStringLiteral("stores")), QStringLiteral("--sync")});
        Outcome outcome;
        if (!qel.waitForFinished(120000)) {
            qel.kill();
            qel.waitForFinished();
            return outcome;
        }
        outcome.exitCode = qel.exitStatus() == QProcess::NormalExit ? qel.exitCode() : -2;
        outcome.out = QString::fromUtf8(qel.readAllStandardOutput());
        outcome.err = QString::fromUtf8(qel.readAllStandardError());
        return outcome;
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
