// The preferences' FTP steps (Test FTP Settings, becoming master) through the real dialog, with
// scripted message boxes, against a real FTP server on 127.0.0.1.

#include "core/DebugLog.h"
#include "core/Settings.h"
#include "platform/CurlFtp.h"
#include "platform/ProgramFolder.h"
#include "prefs/frmPrefs.h"
#include "support/FtpServer.h"
#include "support/SeamScope.h"
#include "support/SettingsFixture.h"
#include "support/TestEnvironment.h"
#include "sync/PrefsFtpSteps.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace qel;
using qeltest::FtpServer;

namespace {

const QString kOkay = QStringLiteral("FTP settings are okay!");
const QString kNoConnection =
    QStringLiteral("Could not connect to the FTP: Please check the host, user name, port number or password. "
                   "Also try toggling passive mode.");
const QString kNowMaster =
    QStringLiteral("This computer is now the MASTER. Be sure no other computers sync as a MASTER.");
const QString kOtherMaster = QStringLiteral("MASTER-OFFICE192168010");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The program's FTP client for one test: a libcurl client with short timeouts in the FTP seam.
class FtpScope {
public:
    FtpScope() : mClient(quick()), mPrevious(FtpSeam::set(&mClient)) {}
    ~FtpScope() { FtpSeam::set(mPrevious); }
    CurlFtpClient& client() { return mClient; }

private:
    static CurlFtpOptions quick() {
        CurlFtpOptions options;
        options.connectTimeout = 5;
        options.responseTimeout = 5;
        options.stalledTimeout = 5;
        return options;
    }
    CurlFtpClient mClient;
    FtpClient* mPrevious;
};

// The dialog with its FTP hooks wired as the program wires them, sync on, the server's login typed.
void prepare(frmPrefs& prefs, const FtpServer& server) {
    prefs.testFtp = [&prefs] { return PrefsFtpSteps().testFtp(prefs.ftpSettings()); };
    prefs.becomeMaster = [&prefs] { return PrefsFtpSteps().becomeMaster(prefs.ftpSettings()); };
    prefs.chkSync->setChecked(true);
    prefs.txtHost->setText(server.host());
    prefs.txtPort->setText(QString::number(server.port()));
    prefs.txtUser->setText(server.user());
    prefs.txtOlvex->setText(server.password());
    prefs.chkPassive->setChecked(true);
    prefs.show();
}

// One run of the dialog against a fresh server: the server, the client in the seam, scripted
// message boxes, and the dialog prepared for it with master mode chosen.
struct MasterRun {
    FtpServer server;
    FtpScope ftp;
    qeltest::SeamScope seams;
    frmPrefs prefs;
    MasterRun() {
        prepare(prefs, server);
        prefs.optMode[0]->setChecked(true);
    }
};

QString ownMarker() {
    return QStringLiteral("MASTER-") + ComputerName() + QStringLiteral("127001");
}

} // namespace

class PrefsFtpStepsTest : public QObject {
    Q_OBJECT

    QTemporaryDir mProgramFolder;

private Q_SLOTS:
    void init() {
        qeltest::freshSettings(QStringLiteral("ftp"));
        SaveSetting("OutlookDataSync", "SyncMode", "Slave");
        setProgramFolder(mProgramFolder.path());
        QVERIFY(writeFile(programFile(QStringLiteral("LastSync.dat")), "03/04/2024 10:11:12\r\n"));
    }

    void testFtpSettings() {
        FtpServer server;
        QVERIFY2(server.started(), qPrintable(server.why()));
        FtpScope ftp;
        qeltest::SeamScope seams;
        frmPrefs prefs;
        prepare(prefs, server);
        QVERIFY(prefs.cmdTestFTP->isEnabled());

        seams.dialogs.expectMessage(kOkay);
        prefs.cmdTestFTP->click();
        QVERIFY(!ftp.client().isConnected()); // disconnected again

        // The password as typed now, not as stored, is the one tried.
        prefs.txtOlvex->setText(QStringLiteral("not the password"));
        seams.dialogs.expectMessage(kNoConnection);
        prefs.cmdTestFTP->click();

        // TLS asked of a server that has none: refused, not silently sent in clear.
        prefs.txtOlvex->setText(server.password());
        prefs.chkTLS->setChecked(true);
        seams.dialogs.expectMessage(kNoConnection);
        prefs.cmdTestFTP->click();
        prefs.chkTLS->setChecked(false);
        seams.dialogs.expectMessage(kOkay);
        prefs.cmdTestFTP->click();
        QVERIFY(seams.dialogs.verify());
        QVERIFY(QDir(server.root()).isEmpty()); // a test writes nothing to the server
    }

    void becomingMasterWithoutAMarkerUploadsOne() {
        MasterRun run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, ftp, seams, prefs] = run;
        seams.dialogs.expectMessage(kNowMaster);
        prefs.cmdOK->click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(GetSetting("OutlookDataSync", "SyncMode"), QStringLiteral("Master"));
        QCOMPARE(readFile(programFile(QStringLiteral("LastSync.dat"))), QByteArray("First Sync\r\n"));
        QCOMPARE(QDir(server.root()).entryList(QDir::Files), QStringList{ownMarker()});
        QCOMPARE(readFile(server.file(ownMarker())), QByteArray("First Sync\r\n"));
        QVERIFY(!ftp.client().isConnected());
    }

    void ownMarkerIsLeftAloneAndNothingAsked() {
        MasterRun run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, ftp, seams, prefs] = run;
        QVERIFY(writeFile(server.file(ownMarker()), "kept as it was"));
        QVERIFY(writeFile(server.file(QStringLiteral("MyContacts.mdb")), "exchange file"));
        seams.dialogs.expectMessage(kNowMaster);
        prefs.cmdOK->click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(seams.dialogs.prompts().size(), 1);
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(readFile(server.file(ownMarker())), QByteArray("kept as it was"));
        QCOMPARE(QDir(server.root()).entryList(QDir::Files).size(), 2);
        QCOMPARE(readFile(programFile(QStringLiteral("LastSync.dat"))), QByteArray("First Sync\r\n"));
    }

    void anotherComputersMarkerIsReplacedOnlyOnYes() {
        MasterRun run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, ftp, seams, prefs] = run;
        QVERIFY(writeFile(server.file(kOtherMaster), "the other master"));
        const QByteArray settingsBefore = qeltest::settingsBytes();

        // No: OK stops, the dialog stays, nothing is written and the server is as it was.
        seams.dialogs.expectQuestion(QStringLiteral("\r\n\r\n") + kOtherMaster + QStringLiteral("\r\n\r\n"),
                                     MsgResult::No);
        prefs.cmdOK->click();
        QVERIFY(seams.dialogs.verify());
        const auto& asked = seams.dialogs.prompts().constLast();
        QCOMPARE(asked.title, QStringLiteral("Confirm Edit"));
        QCOMPARE(asked.icon, MsgIcon::Question);
        QCOMPARE(asked.buttons, MsgButtons::YesNo);
        QVERIFY(asked.text.startsWith(
            QStringLiteral("A MASTER already exists or you computer information has changed.")));
        QVERIFY(asked.text.endsWith(QStringLiteral("Are you sure you want this computer to be the master?")));
        QVERIFY(prefs.isVisible() && prefs.cmdOK->isEnabled());
        QCOMPARE(prefs.result(), int(QDialog::Rejected));
        QCOMPARE(qeltest::settingsBytes(), settingsBefore);
        QCOMPARE(QDir(server.root()).entryList(QDir::Files), QStringList{kOtherMaster});
        QVERIFY(!ftp.client().isConnected());

        // Yes: the other marker goes, this computer's comes.
        seams.dialogs.expectQuestion(kOtherMaster, MsgResult::Yes);
        seams.dialogs.expectMessage(kNowMaster);
        prefs.cmdOK->click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(prefs.result(), int(QDialog::Accepted));
        QCOMPARE(GetSetting("OutlookDataSync", "SyncMode"), QStringLiteral("Master"));
        QCOMPARE(QDir(server.root()).entryList(QDir::Files), QStringList{ownMarker()});
    }

    void anUnreachableServerStopsOk() {
        MasterRun run;
        QVERIFY2(run.server.started(), qPrintable(run.server.why()));
        auto& [server, ftp, seams, prefs] = run;
        server.kill();
        const QByteArray settingsBefore = qeltest::settingsBytes();
        seams.dialogs.expectMessage(QStringLiteral("Unable to change to Master mode! ") + kNoConnection);
        prefs.cmdOK->click();
        QVERIFY(seams.dialogs.verify());
        QVERIFY(prefs.isVisible() && prefs.cmdOK->isEnabled());
        QCOMPARE(qeltest::settingsBytes(), settingsBefore);
        QCOMPARE(readFile(programFile(QStringLiteral("LastSync.dat"))),
                 QByteArray("03/04/2024 10:11:12\r\n"));
    }
};

QEL_TEST_MAIN(PrefsFtpStepsTest)
#include "test_prefs_ftp_steps.moc"
