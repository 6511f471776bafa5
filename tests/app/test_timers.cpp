// The small timers of the main window: the status label cleared on the sixth tick, the tray
// icon's two syncing frames (another pair with a special day coming up), and the hot key's
// second of ignored keys, timed by the clock.

#include "TrayTesting.h"
#include "core/Tag.h"
#include "platform/TrayIcons.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using apptest::Run;

namespace {

int pictureShown(const qeltest::TrayDouble& tray) {
    for (int n = 1; n <= qel::icons::kTrayPictureCount; ++n)
        if (tray.icon().cacheKey() == qel::icons::trayPicture(n).cacheKey())
            return n;
    return 0;
}

} // namespace

class TimersTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

    qel::Vantrel* start() {
        mRun = std::make_unique<Run>(apptest::makeStore(mStores));
        return mRun->start() ? mRun->window() : nullptr;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(mStores.isValid()); }
    void init() { beginCase(QStringLiteral("timers")); }
    void cleanup() { endCase(); }

    void statusLabelClearsOnTheSixthTick() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        QCOMPARE(w->MISCTimer->interval(), 1000);
        for (int round = 1; round <= 2; ++round) {
            w->lblMisc->setText(QStringLiteral("Call sent to 5551234"));
            w->MISCTimer->start();
            for (int tick = 1; tick <= 5; ++tick) {
                w->MISCTimer_Timer();
                QCOMPARE(w->lblMisc->text(), QStringLiteral("Call sent to 5551234"));
                QVERIFY(w->MISCTimer->isActive());
            }
            w->MISCTimer_Timer();
            QVERIFY2(w->lblMisc->text().isEmpty(), qPrintable(QString::number(round)));
            QVERIFY(!w->MISCTimer->isActive());
        }
    }

    void statusLabelClearsByItselfWhenTheTimerRuns() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        w->MISCTimer->setInterval(5); // the six ticks without six seconds
        w->lblMisc->setText(QStringLiteral("ann@example.com has been copied to the clipboard"));
        w->MISCTimer->start();
        QTRY_VERIFY(!w->MISCTimer->isActive());
        QVERIFY(w->lblMisc->text().isEmpty());
    }

    void trayAnimationAlternatesItsTwoFrames() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        QCOMPARE(w->AniTimer->interval(), 500);
        // From any other picture the first frame comes first: 6, then 5, 6, 5.
        mTray->setIcon(qel::icons::trayPicture(1));
        QList<int> frames;
        for (int tick = 0; tick < 4; ++tick) {
            w->AniTimer_Timer();
            frames << pictureShown(*mTray);
        }
        QCOMPARE(frames, QList<int>({6, 5, 6, 5}));

        // A special day in the strip: frames 7 and 8, starting with 7 from a syncing frame 5.
        auto* strip = new QToolBar(w);
        strip->setObjectName(QStringLiteral("Toolbar1"));
        QAction* day = strip->addAction(QStringLiteral("Birthday"));
        day->setToolTip(QStringLiteral("Ann Archer's Birthday"));
        frames.clear();
        for (int tick = 0; tick < 3; ++tick) {
            w->AniTimer_Timer();
            frames << pictureShown(*mTray);
        }
        QCOMPARE(frames, QList<int>({7, 8, 7}));
    }

    void theHotKeySecondFollowsTheClock() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        int after = 0;
        w->ignoreHotKeyChord([&after] { ++after; });
        QCOMPARE(qel::Tag(w->VBHotKey1), QStringLiteral("Ignore Key"));
        // Real time passes, the clock does not: the second is not over.
        QTest::qWait(150);
        QCOMPARE(qel::Tag(w->VBHotKey1), QStringLiteral("Ignore Key"));
        mSeams->clock.advanceMSecs(600);
        // A second press starts the second afresh and queues its own continuation.
        w->ignoreHotKeyChord([&after] { after += 10; });
        mSeams->clock.advanceMSecs(600);
        QTest::qWait(150);
        QCOMPARE(qel::Tag(w->VBHotKey1), QStringLiteral("Ignore Key"));
        QCOMPARE(after, 0);
        mSeams->clock.advanceMSecs(400);
        QTRY_VERIFY(qel::Tag(w->VBHotKey1).isEmpty());
        QCOMPARE(after, 11); // each continuation once
        QTest::qWait(150);
        QCOMPARE(after, 11);

        // A clock set back does not stretch the wait.
        w->ignoreHotKeyChord();
        mSeams->clock.advanceSecs(-3600);
        QTRY_VERIFY(qel::Tag(w->VBHotKey1).isEmpty());
    }
};

QEL_TEST_MAIN(TimersTest)
#include "test_timers.moc"
