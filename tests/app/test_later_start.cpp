// A later start of the program while one runs: the request it sends (read whole or not at all),
// the running window answering it (from the tray, on the contact named, with the search typed,
// only raised while busy), malformed requests without effect, no answer in time, and real
// processes: a second QEL opening a contact in the first, and a start taking over the socket
// file of a killed program.

#include "TrayTesting.h"
#include "app/InstanceChannel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using apptest::Run;
using qel::InstanceRequestRead;
using State = qel::InstanceRequestRead::State;

namespace {

// Sends raw bytes to the running program in this process, as a stranger's client would (closing
// its end at once when `close` is set), and waits, running the event loop, until the program
// closes the connection. Returns what it answered.
QByteArray sendRaw(const QString& socketPath, const QByteArray& bytes, bool close = false,
                   int waitMs = 5000) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(1000))
        return "no connection";
    socket.write(bytes);
    socket.flush();
    if (close)
        socket.disconnectFromServer();
    QByteArray answer;
    QElapsedTimer clock;
    clock.start();
    while (socket.state() != QLocalSocket::UnconnectedState && clock.elapsed() < waitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        answer += socket.readAll();
    }
    answer += socket.readAll();
    if (socket.state() != QLocalSocket::UnconnectedState)
        return "still open";
    return answer;
}

QByteArray header(quint32 length) {
    char bytes[4];
    qToBigEndian(length, bytes);
    return QByteArray("QEL\x01", 4) + QByteArray(bytes, 4);
}

} // namespace

class LaterStartTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(mStores.isValid()); }
    void init() {
        beginCase(QStringLiteral("later-start"));
        QFile::remove(apptest::programFile(QStringLiteral("Debug.txt")));
    }
    void cleanup() { endCase(); }

    void requestsAreReadWholeOrNotAtAll() {
        const QStringList arguments{QStringLiteral("--search"), QString(), QStringLiteral("--"),
                                    QStringLiteral("Zoë"), QStringLiteral("-Ørsted")};
        const QByteArray request = qel::encodeInstanceRequest(arguments);
        InstanceRequestRead read = qel::readInstanceRequest(request);
        QCOMPARE(read.state, State::Complete);
        QCOMPARE(read.line.search, QString(QLatin1String("")));
        QVERIFY(!read.line.search.isNull()); // an empty search still opens the pane
        QCOMPARE(read.line.contactName(), QStringLiteral("Zoë -Ørsted"));
        // What a start forwards reads back as the same start.
        QCOMPARE(qel::forwardedArguments(read.line), arguments);
        QCOMPARE(qel::readInstanceRequest(qel::encodeInstanceRequest({})).state, State::Complete);
        QCOMPARE(qel::parseCommandLine({QStringLiteral("--search=Max M")}).search, QStringLiteral("Max M"));
        QVERIFY(qel::parseCommandLine({QStringLiteral("Max")}).search.isNull());

        // Every piece short of the whole waits for more; one byte more can never be a request.
        for (qsizetype n = 0; n < request.size(); ++n)
            QCOMPARE(qel::readInstanceRequest(request.left(n)).state, State::Incomplete);
        QCOMPARE(qel::readInstanceRequest(request + '\0').state, State::Malformed);

        // Refused at once: another magic (from its first byte), a length over the bound.
        QCOMPARE(qel::readInstanceRequest("G").state, State::Malformed);
        QCOMPARE(qel::readInstanceRequest("GET / HTTP/1.0\r\n\r\n").state, State::Malformed);
        QCOMPARE(qel::readInstanceRequest(header(quint32(qel::kMaxRequestBytes) + 1)).state,
                 State::Malformed);
        QCOMPARE(qel::readInstanceRequest(header(0xFFFFFFFF)).state, State::Malformed);

        // Whole but not a start's command line.
        const auto body = [](const QByteArray& bytes) { return header(quint32(bytes.size())) + bytes; };
        QCOMPARE(qel::readInstanceRequest(body("Mary")).state, State::Malformed); // no final NUL
        QCOMPARE(qel::readInstanceRequest(body(QByteArray("Mary \xff\xfe\0", 8))).state, State::Malformed);
        QCOMPARE(qel::readInstanceRequest(body(QByteArray("--bogus\0", 8))).state, State::Malformed);
        QCOMPARE(qel::readInstanceRequest(body(QByteArray("--help\0", 7))).state, State::Malformed);
        QCOMPARE(qel::readInstanceRequest(body(QByteArray("--search\0", 9))).state, State::Malformed);
    }

    void theWindowComesBackFromTheTrayOnTheContactNamed() {
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->showMinimized();
        apptest::settle();
        QVERIFY(w->isInTray());
        const QString socket = run.program->instanceSocketPath();

        QCOMPARE(sendRaw(socket, qel::encodeInstanceRequest({QStringLiteral("Max Moss")})), QByteArray("OK"));
        QTRY_VERIFY(!w->isInTray());
        QVERIFY(w->isVisible() && !w->isMinimized());
        QCOMPARE(w->mLetterCode, qint16(13));
        QCOMPARE(w->cmbContacts->currentText(), QStringLiteral("Max Moss"));
        QVERIFY(!mTray->isAdded());

        // The search pane open with the text typed: the type-ahead has found its contact.
        w->browser().cmdHide_Click();
        QVERIFY(!w->browser().containerOpen());
        QCOMPARE(
            sendRaw(socket, qel::encodeInstanceRequest({QStringLiteral("--search"), QStringLiteral("Zed")})),
            QByteArray("OK"));
        QTRY_COMPARE(w->Search->text(), QStringLiteral("Zed"));
        QVERIFY(w->browser().containerOpen());
        QCOMPARE(w->browser().selectedTab(), 1);
        QCOMPARE(w->cmbContacts->currentText(), QStringLiteral("Zed Zulu"));

        // The login's "m" leaves the running window where it is.
        QCOMPARE(sendRaw(socket, qel::encodeInstanceRequest({QStringLiteral("m")})), QByteArray("OK"));
        apptest::settle();
        QVERIFY(!w->isMinimized() && !w->isInTray());
        QCOMPARE(w->cmbContacts->currentText(), QStringLiteral("Zed Zulu"));
    }

    void aFirstStartWithASearchOpensThePane() {
        qel::CommandLine line = qel::parseCommandLine({QStringLiteral("--search"), QStringLiteral("Mia")});
        line.storeDir = apptest::makeStore(mStores);
        Run run(line);
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->Search->text(), QStringLiteral("Mia"));
        QVERIFY(w->browser().containerOpen());
        QCOMPARE(w->browser().selectedTab(), 1);
        QCOMPARE(w->cmbContacts->currentText(), QStringLiteral("Mia Moss"));
    }

    void whileEditingTheWindowIsOnlyRaised() {
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->cmbContacts->setCurrentIndex(1); // Bob Archer
        apptest::enterEditing(w);
        QVERIFY(w->isEditing());
        QCOMPARE(sendRaw(run.program->instanceSocketPath(),
                         qel::encodeInstanceRequest({QStringLiteral("Zed Zulu")})),
                 QByteArray("OK"));
        apptest::settle();
        QVERIFY(w->isEditing());
        QCOMPARE(w->mLetterCode, qint16(1));
        QCOMPARE(w->cmbContacts->currentText(), QStringLiteral("Bob Archer"));
    }

    void malformedRequestsHaveNoEffect() {
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->cmbContacts->setCurrentIndex(1); // Bob Archer
        w->showMinimized();
        apptest::settle();
        QVERIFY(w->isInTray());
        const QString socket = run.program->instanceSocketPath();
        // The socket file is the user's alone.
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
        QVERIFY(QFileInfo::exists(socket));
        QCOMPARE(QFile::permissions(socket) & others, QFileDevice::Permissions());

        const QByteArray good = qel::encodeInstanceRequest({QStringLiteral("Zed Zulu")});
        QCOMPARE(sendRaw(socket, "garbage, not a request"), QByteArray());
        QCOMPARE(sendRaw(socket, good.left(good.size() - 1), true), QByteArray()); // shorter, then gone
        QCOMPARE(sendRaw(socket, good + "trailing"), QByteArray());                // longer than it says
        QCOMPARE(sendRaw(socket, header(0x7FFFFFFF) + QByteArray(64 * 1024, 'x')), QByteArray());
        QCOMPARE(sendRaw(socket, qel::encodeInstanceRequest({QStringLiteral("--dir")})), QByteArray());
        // Huge: no more than the bound is read before the connection is dropped.
        QByteArray huge =
            header(quint32(qel::kMaxRequestBytes)) + QByteArray(qel::kMaxRequestBytes + 4096, 'a');
        QCOMPARE(sendRaw(socket, huge), QByteArray());
        // Half a request kept open is dropped once its time is up.
        QCOMPARE(sendRaw(socket, good.left(6), false, qel::kRequestTimeoutMs + 3000), QByteArray());

        apptest::settle();
        QVERIFY(w->isInTray());
        QCOMPARE(w->mLetterCode, qint16(1));
        QCOMPARE(w->cmbContacts->currentText(), QStringLiteral("Bob Archer"));

        // The channel still answers a good request.
        QCOMPARE(sendRaw(socket, good), QByteArray("OK"));
        QTRY_COMPARE(w->cmbContacts->currentText(), QStringLiteral("Zed Zulu"));
        QVERIFY(!w->isInTray());
    }

    // Another user (here: "nobody", from a child of a test run as root) reaching the socket, were
    // its file and folder open to all, is refused without an effect.
    void anotherUsersRequestIsRefused() {
        if (::geteuid() != 0)
            QSKIP("connecting as another user needs root");
        QTemporaryDir open;
        QVERIFY(open.isValid());
        QVERIFY(QFile::setPermissions(open.path(), QFileDevice::Permissions(0x7777)));
        const QString path = open.filePath(QStringLiteral("s"));
        qel::InstanceServer server;
        QVERIFY(server.listen(path));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x7777)));
        QSignalSpy requested(&server, &qel::InstanceServer::requested);
        QSignalSpy refused(&server, &qel::InstanceServer::refused);
        const QByteArray request = qel::encodeInstanceRequest({QStringLiteral("Ann Archer")});
        const QByteArray address = QFile::encodeName(path);

        const pid_t child = ::fork();
        if (child == 0) {
            // Only system calls here: the child of a threaded process.
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un to{};
            to.sun_family = AF_UNIX;
            std::memcpy(to.sun_path, address.constData(), size_t(address.size()));
            if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)
                ::_exit(4);
            if (::write(fd, request.constData(), size_t(request.size())) != request.size())
                ::_exit(5);
            char answer[2];
            ::_exit(::read(fd, answer, sizeof answer) > 0 ? 6 : 0); // closed without an answer
        }
        QVERIFY(child > 0);
        QTRY_COMPARE(refused.size(), 1);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(refused.first().first().toString(), QStringLiteral("another user"));
        QCOMPARE(requested.size(), 0);

        // The same request from this user is taken.
        QCOMPARE(sendRaw(path, request), QByteArray("OK"));
        QCOMPARE(requested.size(), 1);
        QCOMPARE(requested.first().first().value<qel::CommandLine>().contactName(),
                 QStringLiteral("Ann Archer"));
    }

    void noAnswerInTimeKeepsTheMessage() {
        // Another instance holds the lock, and its socket accepts but never answers.
        QLockFile first(qel::Program::defaultInstanceLockPath());
        first.setStaleLockTime(0);
        QVERIFY(first.tryLock(0));
        Run second(apptest::makeStore(mStores), {QStringLiteral("Ann Archer")});
        QLocalServer silent;
        QLocalServer::removeServer(second.program->instanceSocketPath());
        QVERIFY(silent.listen(second.program->instanceSocketPath()));

        mSeams->dialogs.expectMessage(QStringLiteral("Another instance of Vantrel is running"));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!second.start());
        QVERIFY(!second.program->handedOver());
        QVERIFY(clock.elapsed() >= 900);
        QVERIFY(clock.elapsed() < 5000);
    }

    // Real programs: the first one opens the contact a second start names, and ends the second
    // with status 0 and no message; a start after the first was killed takes over its socket.
    void aSecondProgramHandsItsContactToTheFirst() {
        apptest::ProcessHome home(
            "[DebugMode]\nDebugMode=Yes\n[Cache]\nLetterCode=1\nContactName=Ann Archer\n");
        QVERIFY(home.ok());
        const QString store = apptest::makeStore(mStores);
        const QString socket = home.path(QStringLiteral("runtime/Vantrel.socket"));

        // Each program has its own program folder, so each has a debug log of its own.
        const auto start = [&](QProcess& qel, const QString& folder, QStringList arguments) {
            QVERIFY(QDir().mkpath(home.path(folder)));
            QProcessEnvironment own = home.env;
            own.insert(QStringLiteral("QEL_HOME"), home.path(folder));
            qel.setProcessEnvironment(own);
            qel.start(QStringLiteral(QEL_PROGRAM), QStringList{QStringLiteral("--dir"), store} + arguments);
            QVERIFY(qel.waitForStarted());
        };
        const auto logOf = [&](const QString& folder) {
            QFile log(QDir(home.path(folder)).filePath(QStringLiteral("Debug.txt")));
            return log.open(QIODevice::ReadOnly) ? QString::fromLatin1(log.readAll()) : QString();
        };
        const auto waitLoaded = [&](QProcess& qel, const QString& folder) {
            QTRY_VERIFY_WITH_TIMEOUT(logOf(folder).contains(QStringLiteral(":Program Loaded")) ||
                                         qel.state() == QProcess::NotRunning,
                                     60000);
            QVERIFY2(qel.state() == QProcess::Running, qel.readAllStandardError().constData());
            QTRY_VERIFY(QFileInfo::exists(socket));
        };
        const auto runToEnd = [&](QProcess& qel) {
            QVERIFY(qel.waitForFinished(30000));
            QVERIFY2(qel.exitStatus() == QProcess::NormalExit && qel.exitCode() == 0,
                     qel.readAllStandardError().constData());
        };

        QProcess first;
        start(first, QStringLiteral("first"), {});
        waitLoaded(first, QStringLiteral("first"));

        QProcess second;
        start(second, QStringLiteral("second"), {QStringLiteral("Max"), QStringLiteral("Moss")});
        runToEnd(second);
        QTRY_VERIFY_WITH_TIMEOUT(logOf(QStringLiteral("first"))
                                     .contains(QStringLiteral(":Selecting last viewed contact: Max Moss")),
                                 10000);
        // The first saves where it is now; the second wrote nothing of its own.
        QTRY_VERIFY_WITH_TIMEOUT(QSettings(home.settingsFile(), QSettings::IniFormat)
                                         .value(QStringLiteral("Cache/ContactName"))
                                         .toString() == QStringLiteral("Max Moss"),
                                 10000);
        QVERIFY(!logOf(QStringLiteral("second")).contains(QStringLiteral(":Contact store opened")));

        // Garbage on the socket leaves the first running and answering.
        QCOMPARE(sendRaw(socket, QByteArray("\x00\x01\x02 not a request", 18)), QByteArray());
        QVERIFY(first.state() == QProcess::Running);

        // Killed, the first leaves its socket file and lock behind; the next start takes both over.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(QFileInfo::exists(socket));
        QProcess third;
        start(third, QStringLiteral("third"), {});
        waitLoaded(third, QStringLiteral("third"));
        QProcess fourth;
        start(fourth, QStringLiteral("fourth"), {QStringLiteral("--search"), QStringLiteral("Ann")});
        runToEnd(fourth);
        QTRY_VERIFY_WITH_TIMEOUT(
            logOf(QStringLiteral("third")).contains(QStringLiteral(":Later start: --search Ann")), 10000);
        QVERIFY(third.state() == QProcess::Running);
        third.kill();
        QVERIFY(third.waitForFinished(10000));
    }
};

QEL_TEST_MAIN(LaterStartTest)
#include "test_later_start.moc"
