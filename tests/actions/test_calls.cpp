// Calls and text messages: the phone double-click, the click-to-call request as a real server on
// 127.0.0.1 receives it (and what the user sees of its answer), the copy-to-call hot key's
// clipboard scan and question, and the text-message dialog from the settings to the link.

#include "ActionsTesting.h"
#include "actions/frmSMS.h"
#include "core/Tag.h"
#include "support/DebugCarrierDouble.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <QTest>

using namespace actionstest;
using qel::MsgResult;

namespace {

const QString kAwkwardPassword = QStringLiteral("p&ss #word+1");

// Click-to-call on, with the service at `service`.
void enableCalls(Harness& h, const QString& service) {
    h.settings.enableVonage = true;
    h.settings.voipUserName = QStringLiteral("ann@home");
    h.settings.voipPassword = kAwkwardPassword;
    h.settings.phoneNumber = QStringLiteral("555-000-1111");
    h.settings.voipCallHost = service;
}

QString debugFile() {
    QFile file(qel::programFile(QStringLiteral("Debug.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void saveSms(const char* key, const QString& value) {
    qel::SaveSetting(QStringLiteral("SMS"), QLatin1String(key), value);
}

} // namespace

class CallsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qeltest::freshSettings(QStringLiteral("calls")); }

    void initTestCase() {
        // The test server is reached directly, whatever proxy the machine names.
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        qel::installProductionSeams(); // the real HTTP client; the other seams are doubles per test
    }

    // The request arrives with every value encoded, and the status tells of the call only once the
    // service has accepted it; the window never waits for the answer.
    void aCallReachesTheServiceAsOneEncodedRequest() {
        HttpServer server(200, QStringLiteral("{\"statusCode\":\"0\"}"));
        QVERIFY(server.port() > 0);
        qeltest::SeamScope seams;
        qeltest::DebugCarrierDouble log;
        Harness h;
        enableCalls(h, server.base());
        h.controls.txtNumber[1]->setText(QStringLiteral("(555) 123-4567"));
        h.actions->txtNumber_DblClick(1);
        QCOMPARE(h.status->text(), QString()); // not before the answer
        QTRY_COMPARE_WITH_TIMEOUT(h.status->text(), QStringLiteral("Call sent to 5551234567"), 10000);
        QCOMPARE(server.requests(),
                 QStringList({"GET /tpcc/makecall?username=ann%40home&password=p%26ss%20%23word%2B1"
                              "&fromnumber=555-000-1111&tonumber=5551234567 HTTP/1.1"}));
        QVERIFY(server.lines().contains(QStringLiteral("HOST 127.0.0.1:%1").arg(server.port())));
        QCOMPARE(h.miscTimerStarts, 1);
        QCOMPARE(h.keyUps, 1);
        QVERIFY(seams.dialogs.prompts().isEmpty());
        QVERIFY(debugFile().contains(QStringLiteral("to call 5551234567")));
        QVERIFY(!debugFile().contains(QStringLiteral("p&ss")) &&
                !debugFile().contains(QStringLiteral("p%26ss")));
    }

    // A refusal is told with the service's answer, and the password appears nowhere.
    void aRefusedCallIsToldWithTheAnswerAndNoPassword() {
        HttpServer server(403, QStringLiteral("Bad login for ann@home with password p&ss #word+1"));
        QVERIFY(server.port() > 0);
        qeltest::SeamScope seams;
        qeltest::DebugCarrierDouble log;
        Harness h;
        enableCalls(h, server.base());
        seams.dialogs.expectMessage(QStringLiteral("The call to 5551234567 was not placed."));
        h.actions->PlaceVoipCall(QStringLiteral("555-123-4567"));
        QTRY_COMPARE_WITH_TIMEOUT(seams.dialogs.prompts().size(), 1, 10000);
        const QString told = seams.dialogs.prompts().constFirst().text;
        QVERIFY2(told.contains(QStringLiteral("HTTP 403")) &&
                     told.contains(QStringLiteral("Bad login for ann@home")),
                 qPrintable(told));
        QVERIFY2(!told.contains(kAwkwardPassword) && !told.contains(QStringLiteral("p%26ss")),
                 qPrintable(told));
        QCOMPARE(h.status->text(), QString());
        const QString logged = debugFile();
        QVERIFY(logged.contains(QStringLiteral("HTTP 403")));
        QVERIFY2(!logged.contains(kAwkwardPassword) && !logged.contains(QStringLiteral("p%26ss")),
                 qPrintable(logged));
    }

    void anUnreachableServiceIsTold() {
        int port = 0;
        {
            HttpServer gone(200, QString());
            port = gone.port();
        } // stopped: nobody listens there now
        qeltest::SeamScope seams;
        Harness h;
        enableCalls(h, QStringLiteral("http://127.0.0.1:%1").arg(port));
        seams.dialogs.expectMessage(QStringLiteral("could not be reached"));
        h.actions->PlaceVoipCall(QStringLiteral("5551234567"));
        QTRY_COMPARE_WITH_TIMEOUT(seams.dialogs.prompts().size(), 1, 10000);
        QVERIFY(!seams.dialogs.prompts().constFirst().text.contains(QStringLiteral("p%26ss")));
        QVERIFY(!seams.dialogs.prompts().constFirst().text.contains(kAwkwardPassword));
    }

    // Missing details, an unprotected address, calls turned off, editing, an empty box: no request.
    void noRequestWithoutWhatACallNeeds() {
        HttpServer server(200, QString());
        QVERIFY(server.port() > 0);
        qeltest::SeamScope seams;
        Harness h;
        h.controls.txtNumber[0]->setText(QStringLiteral("5551234567"));
        h.actions->txtNumber_DblClick(0); // click-to-call off
        h.actions->txtNumber_DblClick(2); // empty box, without and with Shift
        Harness::markShift(h.controls.txtNumber[2]);
        h.actions->txtNumber_DblClick(2);
        enableCalls(h, server.base());
        h.editing = true;
        h.actions->txtNumber_DblClick(0);
        h.editing = false;
        QVERIFY(seams.dialogs.prompts().isEmpty());

        h.settings.phoneNumber.clear();
        seams.dialogs.expectMessage(QStringLiteral("Please fill in all vonage information in preferences."));
        h.actions->txtNumber_DblClick(0);
        QVERIFY(seams.dialogs.verify());

        enableCalls(h, QStringLiteral("http://calls.example.net"));
        seams.dialogs.expectMessage(QStringLiteral("is not an https:// address"));
        h.actions->txtNumber_DblClick(0);
        QVERIFY(seams.dialogs.verify());
        QVERIFY(!seams.dialogs.prompts().constLast().text.contains(kAwkwardPassword));

        QTest::qWait(200);
        QVERIFY(server.requests().isEmpty());
    }

    void copyToCallScansTheClipboardAndAsks() {
        HttpServer server(200, QString());
        QVERIFY(server.port() > 0);
        qeltest::SeamScope seams;
        Harness h;
        enableCalls(h, server.base());
        QClipboard* clipboard = QApplication::clipboard();

        clipboard->clear();
        seams.dialogs.expectMessage(QStringLiteral("There is nothing on the clipboard."));
        h.actions->callClipboardNumber();
        clipboard->setText(QStringLiteral("Our office can be reached at: 555-123-4567"));
        seams.dialogs.expectMessage(QStringLiteral("There are no numbers on the clipboard."));
        h.actions->callClipboardNumber();
        clipboard->setText(QStringLiteral("Room 12-345"));
        seams.dialogs.expectMessage(QStringLiteral("There are not enough numbers on the clipboard."));
        h.actions->callClipboardNumber();
        clipboard->setText(QStringLiteral("(555) 123-4567"));
        seams.dialogs.expectQuestion(
            QStringLiteral("Would you like to call 5551234567?\r\n\r\nThis should only "
                           "contain numbers, no spaces or hyphens"),
            MsgResult::No);
        h.actions->callClipboardNumber();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(seams.dialogs.prompts().constLast().title, QStringLiteral("Confirm Copy-2-Call"));

        clipboard->setText(QStringLiteral("1-800-555-1234 ext. 567"));
        seams.dialogs.expectQuestion(QStringLiteral("Would you like to call 8005551234?"), MsgResult::Yes);
        h.actions->callClipboardNumber();
        QVERIFY(seams.dialogs.verify());
        QTRY_COMPARE_WITH_TIMEOUT(h.status->text(), QStringLiteral("Call sent to 8005551234"), 10000);
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(server.requests().constFirst().contains(QStringLiteral("&tonumber=8005551234 ")));
    }

    // Shift double-click: the dialog opens on the settings of section SMS and the carrier the
    // contact's user field names, and OK writes the settings, the field and the link.
    void textMessageFromTheSettingsToTheLink() {
        qeltest::SeamScope seams;
        Harness h;
        saveSms("Remind", QStringLiteral("Yes"));
        saveSms("Search", QStringLiteral("Yes"));
        saveSms("User", QStringLiteral("1"));
        saveSms("Sig", QStringLiteral("Yes"));
        saveSms("SigText", QStringLiteral("Ann\r\n555-1234"));
        h.userFields[1] = QStringLiteral("verizon");
        h.controls.txtNumber[1]->setText(QStringLiteral("(555) 123-4567"));
        Harness::markShift(h.controls.txtNumber[1]);
        QString markWhileOpen, toWhileOpen;
        seams.dialogs.expectExec(
            [&](QDialog& dialog) {
                auto& sms = static_cast<qel::frmSMS&>(dialog);
                markWhileOpen = qel::Tag(&h.syncTimer);
                toWhileOpen = sms.txtTo->text();
                [&] {
                    QVERIFY(sms.chkRemind->isChecked() && sms.chkSearch->isChecked() &&
                            sms.chkSig->isChecked());
                    QVERIFY(sms.cmbUser->isEnabled() && sms.txtSig->isEnabled());
                    QCOMPARE(sms.cmbUser->currentText(), QStringLiteral("User2"));
                    QCOMPARE(sms.cmbProvider->currentText(), QStringLiteral("Verizon"));
                    // Another carrier changes the address; the user may still edit it.
                    sms.cmbProvider->setCurrentIndex(5);
                    QCOMPARE(sms.txtTo->text(), QStringLiteral("5551234567@tmomail.net"));
                    sms.chkRemind->setChecked(false);
                }();
                sms.cmdOk->click();
                return dialog.result();
            },
            QStringLiteral("frmSMS"));
        h.actions->txtNumber_DblClick(1);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(markWhileOpen, QStringLiteral("Syncing"));
        QCOMPARE(qel::Tag(&h.syncTimer), QString());
        QCOMPARE(toWhileOpen, QStringLiteral("5551234567@vtext.com"));
        QCOMPARE(
            seams.shell.opened(),
            QStringList({"mailto:5551234567@tmomail.net?body=%0dAnn%0d555-1234%0dMessage sent via Vantrel"}));
        QCOMPARE(h.userFields[1], QStringLiteral("T-mobile"));
        QCOMPARE(qel::GetSetting(QStringLiteral("SMS"), QStringLiteral("Remind")), QStringLiteral("No"));
        QCOMPARE(qel::GetSetting(QStringLiteral("SMS"), QStringLiteral("User")), QStringLiteral("1"));
        QCOMPARE(h.keyUps, 1);
    }

    // Cancel writes nothing; a user field holding other text keeps it; a fresh start without
    // settings begins on the first carrier and User4, with the signature off.
    void cancelAndAFieldOfOtherTextLoseNothing() {
        qeltest::SeamScope seams;
        Harness h;
        h.controls.txtNumber[0]->setText(QStringLiteral("555 123 4567"));
        Harness::markShift(h.controls.txtNumber[0]);
        seams.dialogs.expectExec(
            [&](QDialog& dialog) {
                auto& sms = static_cast<qel::frmSMS&>(dialog);
                [&] {
                    QCOMPARE(sms.txtTo->text(), QStringLiteral("5551234567@message.alltel.com"));
                    QCOMPARE(sms.cmbUser->currentText(), QStringLiteral("User4"));
                    QVERIFY(!sms.cmbUser->isEnabled() && !sms.txtSig->isEnabled());
                }();
                sms.chkSearch->setChecked(true);
                sms.cmdCancel->click();
                return dialog.result();
            },
            QStringLiteral("frmSMS"));
        h.actions->txtNumber_DblClick(0);
        QVERIFY(seams.dialogs.verify());
        QVERIFY(seams.shell.opened().isEmpty());
        QCOMPARE(qel::GetSetting(QStringLiteral("SMS"), QStringLiteral("Search")), QString());

        h.userFields[3] = QStringLiteral("Birthday 1/2/1970");
        seams.dialogs
            .expectExec(
                [](QDialog& dialog) {
                    auto& sms = static_cast<qel::frmSMS&>(dialog);
                    sms.chkSearch->setChecked(true);
                    sms.cmdOk->click();
                    return dialog.result();
                },
                QStringLiteral("frmSMS"))
            .expectMessage(QStringLiteral("User4 of this contact already holds other text, so Alltel was not "
                                          "written to it."));
        h.actions->txtNumber_DblClick(0);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.userFields[3], QStringLiteral("Birthday 1/2/1970"));
        QCOMPARE(seams.shell.opened(),
                 QStringList({"mailto:5551234567@message.alltel.com?body=%0dMessage sent via Vantrel"}));
    }

    void lookupPagesOpenInTheBrowser() {
        qeltest::SeamScope seams;
        qel::frmSMS sms(qel::loadCarriers());
        sms.cmdLookup->click();
        sms.cmdOther->click();
        QCOMPARE(seams.shell.opened().size(), 2);
        for (const QString& page : seams.shell.opened())
            QVERIFY2(page.startsWith(QStringLiteral("https://")), qPrintable(page));
    }
};

QEL_TEST_MAIN(CallsTest)
#include "test_calls.moc"
