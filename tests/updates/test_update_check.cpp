// The update check against a real HTTP server on 127.0.0.1: the version cases, what the user is
// offered and where it leads, and the pages, answers and silences that must only ever end in a
// message while the window goes on.

#include "UpdatesTesting.h"

#include <QElapsedTimer>
#include <QTest>

using namespace updatestest;
using qel::MsgResult;
using qel::ProgramVersion;

namespace {

const QString kFailed = QStringLiteral(
    "An error occurred while looking for an update. Please make sure you are online or try again later.");
const QString kNoNew = QStringLiteral("No new version was found.");
const QString kCloseForUpdater = QStringLiteral("Vantrel must close to complete the update.");
const QString kUninstallFirst =
    QStringLiteral("You must uninstall this version of Vantrel before installing the newer one.");

// Starts the check and waits for the `prompts` it brings; the window must be free again before the
// answer has come (no new prompt yet when the command returns).
void checkAndWait(Harness& h, qeltest::SeamScope& seams, int prompts = 1) {
    const auto before = seams.dialogs.prompts().size();
    h.updates->menuUpdates_Click();
    QCOMPARE(seams.dialogs.prompts().size(), before);
    QCOMPARE(h.tag(), qel::kUpdateCheckTag);
    QTRY_COMPARE_WITH_TIMEOUT(seams.dialogs.prompts().size(), before + prompts, 10000);
}

} // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        qel::installProductionSeams(); // the real HTTP client; the other seams are doubles per test
    }
    void init() { qeltest::freshSettings(QStringLiteral("updates")); }

    // 5.7.0 to a 5.6.0: the question shows the notes on two lines; Yes opens the updater's
    // download on the same host and ends the program; No leaves everything as it was.
    void aNewerMinorIsOfferedWithItsNotesAndLeadsToTheUpdater() {
        HttpServer server(200,
                          versionPage(QStringLiteral("QEL_5_7_0_x_y_Faster search<BR>A welcome window")));
        QVERIFY(server.port() > 0);
        {
            qeltest::SeamScope seams;
            Harness h({5, 6, 0}, server.base());
            seams.dialogs.expectQuestion(
                QStringLiteral("A new version (5.7.0) is available.  Would you like to install it?\r\n\r\n"
                               "What's New:\r\nFaster search\r\nA welcome window"),
                MsgResult::Yes);
            seams.dialogs.expectMessage(kCloseForUpdater);
            checkAndWait(h, seams, 2);
            const auto& asked = seams.dialogs.prompts().constFirst();
            QCOMPARE(asked.title, QStringLiteral("New Version"));
            QCOMPARE(asked.icon, qel::MsgIcon::Question);
            QCOMPARE(asked.buttons, qel::MsgButtons::YesNo);
            QCOMPARE(seams.shell.opened(),
                     QStringList{server.base() + QStringLiteral("/Install/QELUpdater.tar.gz")});
            QCOMPARE(h.exits, 1);
            QCOMPARE(server.requests(), QStringList{QStringLiteral("GET /download.htm HTTP/1.1")});
        }
        {
            qeltest::SeamScope seams;
            Harness h({5, 6, 0}, server.base() + QStringLiteral("/")); // a host written with its slash
            seams.dialogs.expectQuestion(QStringLiteral("A new version (5.7.0)"), MsgResult::No);
            checkAndWait(h, seams);
            QTest::qWait(100);
            QVERIFY(seams.shell.opened().isEmpty());
            QCOMPARE(h.exits, 0);
            QCOMPARE(h.tag(), QString());
            QCOMPARE(server.requests().constLast(), QStringLiteral("GET /download.htm HTTP/1.1"));
        }
    }

    // A revision counts a hundredth: 5.6 revision 50 is worth 6.1, more than 6.0.9; the same
    // version is no newer either. Neither is offered, and a later check still works.
    void theRevisionCountsAHundredth() {
        for (const QString& fields :
             {QStringLiteral("QEL_6_0_9_x_y_Notes"), QStringLiteral("QEL_5_6_50_x_y_z")}) {
            HttpServer server(200, versionPage(fields));
            qeltest::SeamScope seams;
            Harness h({5, 6, 50}, server.base());
            seams.dialogs.expectMessage(kNoNew);
            checkAndWait(h, seams);
            QCOMPARE(h.tag(), QString());
            seams.dialogs.expectMessage(kNoNew);
            checkAndWait(h, seams);
            QVERIFY(seams.shell.opened().isEmpty());
            QCOMPARE(h.exits, 0);
        }
        // 6.1.1 is newer than 5.6.50 (6.11 against 6.1), and of a higher major: the download page.
        HttpServer server(200, versionPage(QStringLiteral("QEL_6_1_1")));
        qeltest::SeamScope seams;
        Harness h({5, 6, 50}, server.base());
        // Without a notes field the question stops after the offer.
        seams.dialogs.expectQuestion(
            QStringLiteral("A new version (6.1.1) is available.  Would you like to install it?"),
            MsgResult::Yes);
        seams.dialogs.expectMessage(kUninstallFirst);
        checkAndWait(h, seams, 2);
        QCOMPARE(seams.dialogs.prompts().constFirst().text,
                 QStringLiteral("A new version (6.1.1) is available.  Would you like to install it?"));
        QCOMPARE(seams.shell.opened(), QStringList{server.base() + QStringLiteral("/download.htm")});
        QCOMPARE(h.exits, 1);
    }

    // A higher major number sends the user to the download page, never to the updater.
    void aHigherMajorGoesToTheDownloadPage() {
        HttpServer server(200, versionPage(QStringLiteral("QEL_6_0_0_a_b_Rewritten<br/>Faster")));
        qeltest::SeamScope seams;
        Harness h({5, 9, 9}, server.base());
        seams.dialogs.expectQuestion(QStringLiteral("What's New:\r\nRewritten\r\nFaster"), MsgResult::Yes);
        seams.dialogs.expectMessage(
            kUninstallFirst +
            QStringLiteral("  You will be taken to the download page and Vantrel will exit."));
        checkAndWait(h, seams, 2);
        QCOMPARE(seams.shell.opened(), QStringList{server.base() + QStringLiteral("/download.htm")});
        QCOMPARE(h.exits, 1);
    }

    // Too few fields, numbers that are none, an error page, an empty page: the error message, and
    // the next check starts afresh.
    void aPageWithoutAVersionIsAnError() {
        const QList<QPair<int, QString>> pages{
            {200, versionPage(QStringLiteral("QEL_5_7"))},
            {200, versionPage(QStringLiteral("Site_under_construction_today"))},
            {404, versionPage(QStringLiteral("QEL_9_9_9_x_y_Not found"))},
            {200, QString()},
        };
        for (const auto& [status, body] : pages) {
            HttpServer server(status, body);
            qeltest::SeamScope seams;
            Harness h({5, 6, 0}, server.base());
            seams.dialogs.expectMessage(kFailed);
            checkAndWait(h, seams);
            QCOMPARE(h.tag(), QString());
            QVERIFY(seams.shell.opened().isEmpty());
            QCOMPARE(h.exits, 0);
        }
    }

    // A page loaded while no check waits for it (the tag is empty) changes nothing; a second click
    // while a check waits asks the server only once and is answered once.
    void aLoadNotStartedByTheCheckChangesNothing() {
        qeltest::SeamScope seams;
        Harness h({5, 6, 0});
        qel::HttpReply newer;
        newer.status = 200;
        newer.body = versionPage(QStringLiteral("QEL_7_0_0_x_y_Big")).toUtf8();
        h.updates->WebBrowser1_DocumentComplete(newer);
        qel::setTag(&h.webBrowser, QStringLiteral("Something else"));
        h.updates->WebBrowser1_DocumentComplete(newer);
        QVERIFY(seams.dialogs.prompts().isEmpty());
        QVERIFY(seams.shell.opened().isEmpty());
        QCOMPARE(h.exits, 0);
        QCOMPARE(h.tag(), QStringLiteral("Something else"));

        HttpServer server(200, versionPage(QStringLiteral("QEL_5_6_0")), 0.5);
        Harness twice({5, 6, 0}, server.base());
        seams.dialogs.expectMessage(kNoNew);
        twice.updates->menuUpdates_Click();
        twice.updates->menuUpdates_Click();
        QTRY_COMPARE_WITH_TIMEOUT(seams.dialogs.prompts().size(), 1, 10000);
        QTest::qWait(800);
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(seams.dialogs.prompts().size(), 1);
    }

    // A server that takes the request and never answers: the time limit ends the wait with the
    // error message, and the answer that comes later is dropped. Nobody listening: the same message.
    void aServerThatDoesNotAnswerEndsInTheErrorWithinTheTimeLimit() {
        {
            HttpServer silent(200, versionPage(QStringLiteral("QEL_9_0_0_x_y_Late")), 2.0);
            QVERIFY(silent.port() > 0);
            qeltest::SeamScope seams;
            Harness h({5, 6, 0}, silent.base());
            h.updates->setTimeLimit(400);
            seams.dialogs.expectMessage(kFailed);
            QElapsedTimer waited;
            waited.start();
            checkAndWait(h, seams);
            QVERIFY2(waited.elapsed() < 1800, qPrintable(QString::number(waited.elapsed())));
            QCOMPARE(h.tag(), QString());
            QTest::qWait(2500); // the late answer arrives meanwhile and is dropped
            QCOMPARE(seams.dialogs.prompts().size(), 1);
            QCOMPARE(h.exits, 0);
        }
        int port = 0;
        {
            HttpServer gone(200, QString());
            port = gone.port();
        }
        qeltest::SeamScope seams;
        Harness h({5, 6, 0}, QStringLiteral("http://127.0.0.1:%1").arg(port));
        seams.dialogs.expectMessage(kFailed);
        checkAndWait(h, seams);
        QCOMPARE(h.tag(), QString());
    }

    // The page's body alone is read: a version-like text in the head does not count.
    void onlyTheBodyIsRead() {
        const QByteArray page = "<html><head><title>QEL_1_2_3_a_b_c</title></head><BODY class=\"x\">"
                                "QEL_5_8_2_a_b_One<BR>Two</BODY></html>";
        const auto read = qel::readVersionPage(page);
        QVERIFY(read);
        QCOMPARE(read->versionText, QStringLiteral("5.8.2"));
        QCOMPARE(*read->notes, QStringLiteral("One\r\nTwo"));
        QCOMPARE(qel::bodyText("QEL_1_2_3"), QStringLiteral("QEL_1_2_3"));
    }
};

QEL_TEST_MAIN(UpdateCheckTest)
#include "test_update_check.moc"
