#include "support/SeamScope.h"
#include "support/TestEnvironment.h"

#include <QDialog>
#include <QLineEdit>
#include <QProcess>

using qel::MsgButtons;
using qel::MsgIcon;
using qel::MsgResult;
using qeltest::ScriptedDialogs;

namespace {

const char* const kChildVariable = "QEL_SCRIPTED_DIALOGS_CHILD";

// A ScriptedDialogs whose failures are collected here instead of failing this test.
struct CapturedDialogs {
    ScriptedDialogs dialogs;
    QStringList problems;
    CapturedDialogs() {
        dialogs.setFailureHandler([this](const QString& problem) { problems.append(problem); });
    }
};

} // namespace

class TestScriptedDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answersEveryKindOfPromptFromTheScript() {
        CapturedDialogs c;
        ScriptedDialogs& d = c.dialogs;
        d.expectMessage(QStringLiteral("no debug file"))
            .expectQuestion(QStringLiteral("Are you sure"), MsgResult::Yes)
            .expectChoice(QStringLiteral("bad line"), 2)
            .expectInput(QStringLiteral("Folder name"), QString())
            .expectInput(QStringLiteral("Folder name"), std::nullopt)
            .expectOpenFile(QStringLiteral("/tmp/in.mdb"), QStringLiteral("Import"))
            .expectExec(
                [](QDialog& dialog) {
                    dialog.findChild<QLineEdit*>()->setText(QStringLiteral("typed"));
                    dialog.accept();
                    return dialog.result();
                },
                QStringLiteral("frmTest"));

        d.message(QStringLiteral("There is no debug file. Turn on debugging mode."), QStringLiteral("QEL"),
                  MsgIcon::Information);
        QCOMPARE(d.ask(QStringLiteral("Are you sure you want to close?"), MsgButtons::YesNo,
                       MsgIcon::Question, QStringLiteral("Exit")),
                 MsgResult::Yes);
        QCOMPARE(d.choose(QStringLiteral("A bad line was found"), QStringLiteral("QEL Day"),
                          {QStringLiteral("Skip"), QStringLiteral("Fix"), QStringLiteral("Exit")},
                          MsgIcon::Critical),
                 2);
        // An empty answer and Cancel stay apart.
        QCOMPARE(d.input(QStringLiteral("Folder name:"), QString(), QStringLiteral("New")),
                 std::optional(QString()));
        QCOMPARE(d.input(QStringLiteral("Folder name:"), QString(), QStringLiteral("New")), std::nullopt);
        QCOMPARE(d.openFile(QStringLiteral("Import Database"), QStringLiteral("Databases (*.mdb)"),
                            QStringLiteral("/tmp")),
                 QStringLiteral("/tmp/in.mdb"));
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("frmTest"));
        auto* edit = new QLineEdit(&dialog);
        QCOMPARE(d.exec(dialog), int(QDialog::Accepted));
        QCOMPARE(edit->text(), QStringLiteral("typed"));

        QVERIFY2(c.problems.isEmpty(), qPrintable(c.problems.join(QLatin1Char('\n'))));
        QVERIFY(d.verify());
        QCOMPARE(d.prompts().size(), 7);
        const auto& question = d.prompts().at(1);
        QCOMPARE(question.kind, ScriptedDialogs::Kind::Question);
        QCOMPARE(question.title, QStringLiteral("Exit"));
        QCOMPARE(question.buttons, MsgButtons::YesNo);
        QCOMPARE(question.icon, MsgIcon::Question);
        QCOMPARE(d.prompts().at(2).captions, QStringList({"Skip", "Fix", "Exit"}));
        QCOMPARE(d.prompts().at(3).defaultText, QStringLiteral("New"));
        QCOMPARE(d.prompts().at(5).filter, QStringLiteral("Databases (*.mdb)"));
        QCOMPARE(d.prompts().at(5).startDir, QStringLiteral("/tmp"));
        QCOMPARE(d.prompts().at(6).dialogClass, QStringLiteral("QDialog"));
        for (const auto& prompt : d.prompts())
            QVERIFY(prompt.scripted);
    }

    void unscriptedPromptsFailWithTheirTextAndGetTheCautiousAnswer() {
        CapturedDialogs c;
        ScriptedDialogs& d = c.dialogs;
        d.message(QStringLiteral("Surprise message"));
        QCOMPARE(d.ask(QStringLiteral("Delete all?"), MsgButtons::YesNo, MsgIcon::Question, QString()),
                 MsgResult::No);
        QCOMPARE(d.ask(QStringLiteral("Save?"), MsgButtons::YesNoCancel, MsgIcon::Question, QString()),
                 MsgResult::Cancel);
        QCOMPARE(d.choose(QStringLiteral("Pick"), QString(), {QStringLiteral("A")}, MsgIcon::None), -1);
        QCOMPARE(d.input(QStringLiteral("Name?"), QString(), QStringLiteral("x")), std::nullopt);
        QCOMPARE(d.openFile(QStringLiteral("Open"), QString(), QString()), QString());
        QDialog dialog;
        QCOMPARE(d.exec(dialog), int(QDialog::Rejected));

        QCOMPARE(c.problems.size(), 7);
        QVERIFY(c.problems.at(0).contains(QStringLiteral("Surprise message")));
        QVERIFY(c.problems.at(1).contains(QStringLiteral("Delete all?")));
        QVERIFY(c.problems.at(4).contains(QStringLiteral("Name?")));
        QCOMPARE(d.prompts().size(), 7);
        QVERIFY(!d.prompts().first().scripted);
        QVERIFY(!d.verify());
    }

    void aPromptOtherThanTheNextExpectedOneFails() {
        CapturedDialogs c;
        ScriptedDialogs& d = c.dialogs;
        d.expectQuestion(QStringLiteral("Remove the contact?"), MsgResult::Yes);
        // Another text, and another kind with the expected text: both refused, the expectation stays.
        QCOMPARE(d.ask(QStringLiteral("Remove all special days?"), MsgButtons::YesNo, MsgIcon::Question,
                       QString()),
                 MsgResult::No);
        d.message(QStringLiteral("Remove the contact?"));
        QCOMPARE(c.problems.size(), 2);
        QVERIFY(c.problems.at(0).contains(QStringLiteral("Remove all special days?")));
        QVERIFY(c.problems.at(0).contains(QStringLiteral("Remove the contact?")));
        QCOMPARE(d.pending(), 1);
        QCOMPARE(
            d.ask(QStringLiteral("Remove the contact?"), MsgButtons::YesNo, MsgIcon::Question, QString()),
            MsgResult::Yes);
        QCOMPARE(d.pending(), 0);
    }

    void answersThatThePromptDoesNotOfferFail() {
        CapturedDialogs c;
        ScriptedDialogs& d = c.dialogs;
        d.expectQuestion(QStringLiteral("Continue?"), MsgResult::Yes);
        d.expectChoice(QStringLiteral("Bad line"), 4);
        QCOMPARE(d.ask(QStringLiteral("Continue?"), MsgButtons::OkCancel, MsgIcon::None, QString()),
                 MsgResult::Cancel);
        QCOMPARE(d.choose(QStringLiteral("Bad line"), QString(),
                          {QStringLiteral("Skip"), QStringLiteral("Fix")}, MsgIcon::None),
                 -1);
        QCOMPARE(c.problems.size(), 2);
    }

    void expectationsNeverShownFailOnVerify() {
        CapturedDialogs c;
        c.dialogs.expectMessage(QStringLiteral("Export finished"));
        QVERIFY(!c.dialogs.verify());
        QCOMPARE(c.problems.size(), 1);
        QVERIFY(c.problems.first().contains(QStringLiteral("Export finished")));
        QCOMPARE(c.dialogs.pending(), 0);
    }

    // The real thing: a child run of this program whose test meets the scenario must fail (or pass)
    // as QtTest reports it, naming the prompt.
    void failsTheRunningTest_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<QString>("named");
        QTest::newRow("unscripted") << "unscripted" << false << "Nobody expects this prompt";
        QTest::newRow("mismatch") << "mismatch" << false << "Quite another question";
        QTest::newRow("never shown") << "unused" << false << "A message that never comes";
        QTest::newRow("all scripted") << "clean" << true << "";
    }
    void failsTheRunningTest() {
        QFETCH(QString, scenario);
        QFETCH(bool, passes);
        QFETCH(QString, named);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildVariable), scenario);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("childScenario")});
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAll());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2((child.exitCode() == 0) == passes, qPrintable(output));
        QCOMPARE(output.contains(QStringLiteral("FAIL!")), !passes);
        if (!named.isEmpty())
            QVERIFY2(output.contains(named), qPrintable(output));
    }

    // Runs only as the child of failsTheRunningTest.
    void childScenario() {
        const QString scenario = qEnvironmentVariable(kChildVariable);
        if (scenario.isEmpty())
            QSKIP("runs only as the child of failsTheRunningTest");
        qeltest::SeamScope seams;
        if (scenario == QLatin1String("unscripted")) {
            qel::dialogs().message(QStringLiteral("Nobody expects this prompt"));
        } else if (scenario == QLatin1String("mismatch")) {
            seams.dialogs.expectQuestion(QStringLiteral("The expected question"), MsgResult::Yes);
            qel::dialogs().ask(QStringLiteral("Quite another question"), MsgButtons::YesNo, MsgIcon::None,
                               QString());
        } else if (scenario == QLatin1String("unused")) {
            seams.dialogs.expectMessage(QStringLiteral("A message that never comes"));
        } else {
            seams.dialogs.expectMessage(QStringLiteral("Done"));
            qel::dialogs().message(QStringLiteral("Done."));
        }
    }

    void seamScopeInstallsDoublesAndRestoresThePreviousOnes() {
        qeltest::SeamScope outer;
        {
            qeltest::SeamScope inner;
            QCOMPARE(&qel::dialogs(), static_cast<qel::Dialogs*>(&inner.dialogs));
            qel::shell().open(QStringLiteral("https://example.org"));
            qel::sound().play(QStringLiteral("ding.wav"));
            inner.clock.advanceDays(1);
            QCOMPARE(qel::clock().today(), QDate(2024, 1, 16));
            QCOMPARE(inner.shell.opened(), QStringList{QStringLiteral("https://example.org")});
            QCOMPARE(inner.sound.played(), QStringList{QStringLiteral("ding.wav")});
        }
        QCOMPARE(&qel::dialogs(), static_cast<qel::Dialogs*>(&outer.dialogs));
        QCOMPARE(&qel::clock(), static_cast<qel::Clock*>(&outer.clock));
        QCOMPARE(&qel::shell(), static_cast<qel::Shell*>(&outer.shell));
        QCOMPARE(&qel::sound(), static_cast<qel::Sound*>(&outer.sound));
        QVERIFY(outer.shell.opened().isEmpty());
        QCOMPARE(qel::clock().now(), QDateTime(QDate(2024, 1, 15), QTime(9, 0)));
    }

    void fakesRecordAndAnswerAsSet() {
        qeltest::FakeClock clock;
        clock.advanceSecs(90);
        QCOMPARE(clock.now().time(), QTime(9, 1, 30));
        clock.setNow(QDateTime(QDate(2024, 2, 28), QTime(23, 59, 59)));
        clock.advanceSecs(1);
        QCOMPARE(clock.today(), QDate(2024, 2, 29));

        qeltest::RecordingShell shell;
        shell.setResult(false);
        QVERIFY(!shell.open(QStringLiteral("/no/such/file")));
        QCOMPARE(shell.opened().size(), 1);
    }
};

QEL_TEST_MAIN(TestScriptedDialogs)
#include "test_scripted_dialogs.moc"
