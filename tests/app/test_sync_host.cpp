// The main window's sync: "Sync Now" and "View Last Sync Status" on the window's menus, the sync
// timer's ticks starting a timed sync, and what the tray and the window show meanwhile and after,
// against a real FTP server on 127.0.0.1.

#include "TrayTesting.h"
#include "core/SettingsModel.h"
#include "core/Tag.h"
#include "platform/CurlFtp.h"
#include "platform/TrayIcons.h"
#include "support/FtpServer.h"
#include "sync/SyncTesting.h"

#include <QAction>
#include <QTest>
#include <QTimer>

using apptest::Run;
using qeltest::FtpServer;

namespace {

const QString kDisabled = QStringLiteral("Sync is disabled.  Please enable it in preferences.");
const QString kMissing = QStringLiteral(
    "MyContacts.mdb is missing from the FTP. Run sync on the MASTER (this should not have occured).");

} // namespace

class SyncHostTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

    QTemporaryDir mProgramFolder;

    // The stored sync settings of this computer, against the server.
    void storeSyncSettings(const FtpServer& server, bool master) {
        qel::SettingsModel settings;
        settings.load();
        synctest::serveFrom(settings, server, master);
        settings.intervalSync = true;
        settings.interval = QStringLiteral("2");
        QCOMPARE(settings.save(), QString());
    }

private Q_SLOTS:
    void init() {
        beginCase(QStringLiteral("synchost"));
        qel::setProgramFolder(mProgramFolder.path());
    }
    void cleanup() { endCase(); }

    void statusFollowsTheLastSyncAndTheTimerRunsATimedOne() {
        FtpServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        qel::CurlFtpClient client;
        qel::FtpClient* previous = qel::FtpSeam::set(&client);
        storeSyncSettings(server, false);
        mRun = std::make_unique<Run>(apptest::makeStore(mStores));
        QVERIFY(mRun->start());
        qel::Vantrel* w = mRun->window();
        QVERIFY(w->menuSync->isEnabled() && w->menuStatus->isEnabled());
        QVERIFY(w->SyncTimer->isActive()); // interval mode with an interval: armed at start-up

        // The interval's second tick runs a timed sync: no message, the outcome on the tray.
        w->SyncTimer_Timer();
        QCOMPARE(mTray->toolTip(), QString());
        w->SyncTimer_Timer();
        QCOMPARE(mTray->toolTip(), kMissing);
        QCOMPARE(mTray->icon().cacheKey(), qel::icons::trayPicture(2).cacheKey());
        QVERIFY(!w->AniTimer->isActive());
        QCOMPARE(qel::Tag(w->SyncTimer), QString());
        QCOMPARE(qel::Tag(w->menuSync), QString());
        QCOMPARE(qel::Tag(w->menuTools), QString());
        mSeams->dialogs.expectMessage(kMissing);
        w->menuStatus_Click();

        // The master's file arrives; "Sync Now" imports it and the status says when.
        w->settings().master = true;
        mSeams->dialogs.expectMessage(QStringLiteral("Last Sync:"));
        w->menuSync_Click();
        QVERIFY(mTray->toolTip().startsWith(QStringLiteral("Last Sync:")));
        w->menuStatus_Click();
        QVERIFY(QFile::exists(server.file(QStringLiteral("MyContacts.mdb"))));
        QCOMPARE(mTray->icon().cacheKey(), qel::icons::trayPicture(1).cacheKey());
        QVERIFY(!w->AniTimer->isActive());

        w->settings().sync = false;
        mSeams->dialogs.expectMessage(kDisabled);
        w->menuStatus_Click();
        mSeams->dialogs.expectMessage(kDisabled);
        w->menuSync_Click();
        QVERIFY(mSeams->dialogs.verify());
        qel::FtpSeam::set(previous);
    }
};

QEL_TEST_MAIN(SyncHostTest)
#include "test_sync_host.moc"
