// The progress window: a fresh load, the status line advancing the bar (without error past its
// maximum), the tray tool tip and the debug log it feeds, and the cancel flag.

#include "AppTesting.h"
#include "app/frmWait.h"
#include "core/Tag.h"
#include "support/DebugCarrierDouble.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

using qel::frmWait;

class FrmWaitTest : public QObject {
    Q_OBJECT

    std::unique_ptr<qeltest::SeamScope> mSeams;
    std::unique_ptr<qeltest::TrayDouble> mTray;

private Q_SLOTS:
    void init() {
        apptest::freshSettings(QStringLiteral("wait"));
        mSeams = std::make_unique<qeltest::SeamScope>();
        mTray = std::make_unique<qeltest::TrayDouble>();
    }
    void cleanup() {
        frmWait::unload();
        apptest::settle();
        mSeams.reset();
        mTray.reset();
    }

    void freshLoad() {
        QVERIFY(!frmWait::loaded());
        frmWait* w = frmWait::load();
        QVERIFY(w);
        QCOMPARE(frmWait::loaded(), w);
        QCOMPARE(frmWait::load(), w); // a nested operation shares it
        QVERIFY(!w->isVisible());
        QCOMPARE(w->objectName(), QStringLiteral("frmWait"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Please Wait..."));
        QCOMPARE(w->Label1->text(), QStringLiteral("Progress:"));
        QCOMPARE(w->cmdCancel->text(), QStringLiteral("Cancel"));
        QCOMPARE(w->ProgressBar1->value(), 0);
        QVERIFY(!w->cancelled());
        QVERIFY(w->cmdCancel->isEnabled());
        QVERIFY(!w->isModal());
    }

    void statusAdvancesTheBarAndStaysFull() {
        frmWait* w = frmWait::load();
        w->ProgressBar1->setRange(0, 3);
        w->show();
        const QStringList lines{"Exporting Ann Archer", "Exporting Ben Bell", "Exporting Cy Cole",
                                "Exporting Dee Dunn", "Exporting Dee Dunn"};
        QList<int> values;
        for (const QString& line : lines) {
            w->setStatus(line);
            values.append(w->ProgressBar1->value());
        }
        QCOMPARE(values, (QList<int>{1, 2, 3, 3, 3}));
        QCOMPARE(w->status(), QStringLiteral("Exporting Dee Dunn"));
        // Every line reached the tray, a repeated one too; the last one stays after the unload.
        QCOMPARE(mTray->toolTips(), lines);
        frmWait::unload();
        QVERIFY(!frmWait::loaded());
        QCOMPARE(mTray->toolTip(), QStringLiteral("Exporting Dee Dunn"));
    }

    void barBelowItsMinimumStartsThere() {
        frmWait* w = frmWait::load();
        w->ProgressBar1->setRange(5, 8);
        w->setStatus(QStringLiteral("first"));
        QCOMPARE(w->ProgressBar1->value(), 5);
        w->setStatus(QStringLiteral("second"));
        QCOMPARE(w->ProgressBar1->value(), 6);
    }

    void statusLinesGoToTheDebugLogWithoutWindowName() {
        qeltest::DebugCarrierDouble carrier(true);
        frmWait* w = frmWait::load();
        w->setStatus(QStringLiteral("Uploading MyContacts.mdb"));
        w->setStatus(QStringLiteral("Done"));
        QCOMPARE(carrier.texts(),
                 (QStringList{QStringLiteral("Uploading MyContacts.mdb\r\n"), QStringLiteral("Done\r\n")}));
        carrier.setOn(false);
        w->setStatus(QStringLiteral("quiet"));
        QCOMPARE(carrier.texts().size(), 2);
        QCOMPARE(mTray->toolTip(), QStringLiteral("quiet")); // the tray gets it either way
    }

    void cancelStopsAtTheNextStatusChange() {
        frmWait* w = frmWait::load();
        w->ProgressBar1->setRange(0, 10);
        w->show();
        // An operation: a status per item, then the flag. The user's click is queued while item 3
        // runs, and is handled by the status change of item 4.
        int done = 0;
        for (int item = 1; item <= 10; ++item) {
            w->setStatus(QStringLiteral("Item %1").arg(item));
            if (w->cancelled())
                break;
            ++done;
            if (item == 3)
                QMetaObject::invokeMethod(w->cmdCancel, &QPushButton::click, Qt::QueuedConnection);
        }
        QCOMPARE(done, 3);
        QVERIFY(w->cancelled());
        QCOMPARE(qel::Tag(w->cmdCancel), QStringLiteral("Cancel"));
        QVERIFY(!w->cmdCancel->isEnabled());
        QCOMPARE(w->ProgressBar1->value(), 4);

        // The next run starts with a fresh window.
        frmWait::unload();
        apptest::settle();
        frmWait* next = frmWait::load();
        QVERIFY(!next->cancelled());
        QVERIFY(next->cmdCancel->isEnabled());
        QCOMPARE(next->ProgressBar1->value(), 0);
    }

    void closingTheWindowOnlyHidesIt() {
        frmWait* w = frmWait::load();
        w->show();
        w->setStatus(QStringLiteral("Working"));
        w->close();
        QCOMPARE(frmWait::loaded(), w);
        QVERIFY(!w->cancelled());
        w->setStatus(QStringLiteral("Still working"));
        QCOMPARE(w->ProgressBar1->value(), 2);
    }

    void programEndUnloadsIt() {
        QTemporaryDir stores;
        apptest::Run run(stores.path());
        QVERIFY(run.start());
        frmWait::load(run.window())->setStatus(QStringLiteral("Syncing"));
        run.window()->ExitProgram(false);
        QVERIFY(!frmWait::loaded());
        QCOMPARE(mTray->toolTip(), QStringLiteral("Syncing"));
    }
};

QEL_TEST_MAIN(FrmWaitTest)
#include "test_frmwait.moc"
