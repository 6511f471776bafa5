// "Color Appointments" on bare tags: the criteria by slot, a rejected criterion skipped, the
// highest matching slot winning, the quiet mode, cancel part-way and the refusals. Every prompt is
// scripted; the labels are read through a fresh connection.

#include "ToolsTesting.h"

using namespace toolstest;
using qel::MsgResult;

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

class ColouringTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oneCriterionInSlotThree() {
        Harness h(QStringLiteral("slot3"));
        h.appointment(QStringLiteral("Standup"), QStringLiteral("Work"));
        h.appointment(QStringLiteral("Review"), QStringLiteral("Work, Team"));
        h.appointment(QStringLiteral("Dinner"), QStringLiteral("Family"));
        h.settings.colourFilters[3] = QStringLiteral("[Categories] = 'Work'");
        qeltest::SeamScope seams;
        seams.dialogs
            .expectQuestion(QStringLiteral("This will add a label color to all appointments using the search "
                                           "criteria:") +
                                kCrLf + kCrLf + QStringLiteral("[Categories] = 'Work'") + kCrLf + kCrLf +
                                QStringLiteral("Do you want to continue?"),
                            MsgResult::Yes)
            .expectMessage(QStringLiteral("2 Appointments have been colored!"));
        const auto counts = h.tools->colourAppointments(false);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(seams.dialogs.prompts().first().title, QStringLiteral("Color Appointments"));
        QCOMPARE(counts.perCriterion[3], 2);
        QCOMPARE(counts.total, 2);
        const auto labels = h.labels();
        QCOMPARE(labels.value(QStringLiteral("Standup")), QStringLiteral("3"));
        QCOMPARE(labels.value(QStringLiteral("Review")), QStringLiteral("3"));
        QCOMPARE(labels.value(QStringLiteral("Dinner")), QStringLiteral("-"));
        // The end step: the progress window goes, the window is back, no busy mark is left.
        QCOMPARE(h.unloads, 1);
        QVERIFY(h.windowShown);
        QCOMPARE(qel::Tag(&h.syncTimer), QString());
        QVERIFY(h.progress.statuses.contains(QStringLiteral("Appointments colored")));
    }

    void slotZeroRemovesAColourAndTheHighestSlotWins() {
        Harness h(QStringLiteral("slots"));
        h.appointment(QStringLiteral("Old"), QStringLiteral("Done"));
        h.appointment(QStringLiteral("Both"), QStringLiteral("Work"), QStringLiteral("Hall"));
        h.appointment(QStringLiteral("Hall only"), QString(), QStringLiteral("Hall"));
        // "Old" was coloured before: slot 0 takes its colour away.
        h.settings.colourFilters[5] = QStringLiteral("[Categories] = 'Done'");
        qeltest::SeamScope seams;
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectMessage(QStringLiteral("1 Appointment has"));
        h.tools->colourAppointments(false);
        QCOMPARE(h.labels().value(QStringLiteral("Old")), QStringLiteral("5"));

        h.settings.colourFilters[5].clear();
        h.settings.colourFilters[0] = QStringLiteral("[Categories] = 'Done'");
        h.settings.colourFilters[2] = QStringLiteral("[Location] = 'Hall'");
        h.settings.colourFilters[7] = QStringLiteral("[Categories] = 'Work'");
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectMessage(QStringLiteral("4 Appointments have been colored!"));
        const auto counts = h.tools->colourAppointments(false);
        QVERIFY(seams.dialogs.verify());
        // An appointment matched twice counts twice.
        QCOMPARE(counts.perCriterion[0], 1);
        QCOMPARE(counts.perCriterion[2], 2);
        QCOMPARE(counts.perCriterion[7], 1);
        const auto labels = h.labels();
        QCOMPARE(labels.value(QStringLiteral("Old")), QStringLiteral("0"));
        QCOMPARE(labels.value(QStringLiteral("Both")), QStringLiteral("7"));
        QCOMPARE(labels.value(QStringLiteral("Hall only")), QStringLiteral("2"));
    }

    void aSyntaxErrorInSlotFourGoesOnWithSlotFive() {
        Harness h(QStringLiteral("syntax"));
        h.appointment(QStringLiteral("Gym"), QStringLiteral("Sport"));
        h.settings.colourFilters[4] = QStringLiteral("[Categories = 'Sport'");
        h.settings.colourFilters[5] = QStringLiteral("[Categories] = 'Sport'");
        qeltest::SeamScope seams;
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectMessage(
                QStringLiteral("There is an error in your syntax for Appointment color #4. This one will "
                               "be skipped."))
            .expectMessage(QStringLiteral("1 Appointment has been colored!"));
        const auto counts = h.tools->colourAppointments(false);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(counts.total, 1);
        QCOMPARE(h.labels().value(QStringLiteral("Gym")), QStringLiteral("5"));
        QVERIFY(h.progress.statuses.contains(QStringLiteral("Syntax error in Appointment color #4")));
    }

    void quietModeShowsNoMessageAtAll() {
        Harness h(QStringLiteral("quiet"));
        h.appointment(QStringLiteral("Gym"), QStringLiteral("Sport"));
        h.settings.colourFilters[1] = QStringLiteral("[Categories = 'Sport'");
        h.settings.colourFilters[6] = QStringLiteral("[Categories] = 'Sport'");
        qel::setTag(&h.menuAppointments, qel::kNoMessages);
        // The sync runs it: the window stays hidden and the sync keeps its busy mark.
        qel::setTag(&h.menuTools, qel::kSyncingTag);
        qel::setTag(&h.syncTimer, qel::kSyncingTag);
        h.windowShown = false;
        qeltest::SeamScope seams; // any prompt fails the test
        h.tools->menuAppointments_Click();
        QVERIFY(seams.dialogs.prompts().isEmpty());
        QCOMPARE(h.labels().value(QStringLiteral("Gym")), QStringLiteral("6"));
        QVERIFY(!h.windowShown);
        QCOMPARE(qel::Tag(&h.syncTimer), qel::kSyncingTag);
        QCOMPARE(h.unloads, 1);

        // Quiet with no criterion at all, and quiet with nothing found: still not a word.
        h.settings.colourFilters = {};
        h.tools->colourAppointments(true);
        h.settings.colourFilters[2] = QStringLiteral("[Categories] = 'Nothing'");
        QCOMPARE(h.tools->colourAppointments(true).total, 0);
        QVERIFY(seams.dialogs.prompts().isEmpty());
        QCOMPARE(qel::Tag(&h.syncTimer), qel::kSyncingTag);
    }

    void cancelPartWayKeepsTheLabelsWritten() {
        Harness h(QStringLiteral("cancel"));
        for (int i = 1; i <= 5; ++i)
            h.appointment(QStringLiteral("Shift %1").arg(i), QStringLiteral("Work"));
        h.settings.colourFilters[9] = QStringLiteral("[Categories] = 'Work'");
        h.progress.cancelOn = QStringLiteral("Coloring appointment for ");
        h.progress.cancelAfter = 2;
        qeltest::SeamScope seams;
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectMessage(QStringLiteral("Aborted by user.  Not all Appointments have been colored."));
        h.tools->colourAppointments(false);
        QVERIFY(seams.dialogs.verify());
        const auto labels = h.labels();
        QCOMPARE(labels.values().count(QStringLiteral("9")), 2);
        QCOMPARE(labels.values().count(QStringLiteral("-")), 3);
        QCOMPARE(h.progress.statuses.last(), QStringLiteral("Coloring aborted by user."));
        QCOMPARE(h.unloads, 1);
        QVERIFY(h.windowShown);
        QCOMPARE(qel::Tag(&h.syncTimer), QString());
    }

    void refusalsWriteNothing() {
        Harness h(QStringLiteral("refuse"));
        h.appointment(QStringLiteral("Gym"), QStringLiteral("Sport"));
        qeltest::SeamScope seams;
        seams.dialogs.expectMessage(
            QStringLiteral("You do not have any criteria defined in your Appointment Coloring settings."));
        h.tools->colourAppointments(false);

        h.settings.colourFilters[3] = QStringLiteral("[Categories] = 'Sport'");
        seams.dialogs.expectQuestion(QString(), MsgResult::No);
        h.tools->colourAppointments(false);

        // A store of version 9 has no labels: the command only brings the window back.
        h.gOlApp->setVersion(QStringLiteral("9.0.0.2711"));
        h.windowShown = false;
        h.tools->colourAppointments(false);
        QVERIFY(h.windowShown);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.labels().value(QStringLiteral("Gym")), QStringLiteral("-"));
        QCOMPARE(qel::Tag(&h.syncTimer), QString());
    }
};

QEL_TEST_MAIN(ColouringTest)
#include "test_colouring.moc"
