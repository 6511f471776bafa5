// Shut-down and reload: the position written to Cache by ExitProgram and read by the next start,
// the close box with its two questions, the reload (also the one OK of the preferences asks for).

#include "AppTesting.h"
#include "app/frmWait.h"
#include "core/Tag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

using apptest::cache;
using apptest::Run;
using qel::MsgResult;
using qel::SaveSetting;

namespace {

// Opens the container on a tab as the user would: the X closes it, a click on a tab opens it.
void selectTab(qel::Vantrel* w, int index) {
    w->TabStrip1->setCurrentIndex(index);
    if (w->cmdHide->isHidden())
        w->browser().TabStrip1_Click();
}

// The pane the user sees: the topmost of those shown (they lie on top of each other); -1: none.
int frontPane(const qel::Vantrel* w) {
    const QObjectList stack = w->fmeQuick[0]->parentWidget()->children(); // bottom to top
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        for (size_t i = 0; i < w->fmeQuick.size(); ++i) {
            if (*it == w->fmeQuick[i] && !w->fmeQuick[i]->isHidden())
                return int(i);
        }
    }
    return -1;
}

} // namespace

class ShutdownTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

    QString storeDir() const { return mStores.filePath(QStringLiteral("stores")); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(mStores.isValid()); }
    void init() {
        beginCase(QStringLiteral("shutdown"));
        QFile::remove(apptest::programFile(QStringLiteral("Debug.txt")));
    }
    void cleanup() { endCase(); }

    void cacheWrittenAndReadBack() {
        {
            Run run(storeDir());
            QVERIFY(run.start());
            qel::Vantrel* w = run.window();
            w->mLetterCode = 7;
            w->mContactName = QStringLiteral("Grace Hopper");
            w->lblCategories->setText(QStringLiteral("Work"));
            w->lblFolders->setText(QStringLiteral("Personal Folders\\Contacts"));
            w->chkExtra->setChecked(true);
            selectTab(w, 3);
            QCOMPARE(frontPane(w), 3);
            w->ExitProgram(false);
            QVERIFY(w->isUnloaded());
            QVERIFY(!w->isVisible());
            QVERIFY(run.program->isFinished());
        }
        QCOMPARE(cache("LetterCode"), QStringLiteral("7"));
        QCOMPARE(cache("ContactName"), QStringLiteral("Grace Hopper"));
        QCOMPARE(cache("ContainerState"), QStringLiteral("1"));
        QCOMPARE(cache("ContainerTab"), QStringLiteral("4"));
        QCOMPARE(cache("CurrentCategory"), QStringLiteral("Work"));
        QCOMPARE(cache("CurrentFolder"), QStringLiteral("Personal Folders\\Contacts"));
        QCOMPARE(cache("ExtraInfo"), QStringLiteral("Checked"));

        {
            Run run(storeDir());
            QVERIFY(run.start());
            qel::Vantrel* w = run.window();
            QCOMPARE(w->mLetterCode, qint16(7));
            QCOMPARE(w->mContactName, QStringLiteral("Grace Hopper"));
            QCOMPARE(w->lblCategories->text(), QStringLiteral("Work"));
            QCOMPARE(w->lblFolders->text(), QStringLiteral("Personal Folders\\Contacts"));
            // The remembered folder goes straight into the list beside the pick entry.
            QCOMPARE(w->cmbFolders->count(), 2);
            QCOMPARE(w->cmbFolders->itemText(0), QStringLiteral(" <Pick a Folder or Refresh> "));
            QCOMPARE(w->cmbFolders->itemText(1), QStringLiteral("Personal Folders\\Contacts"));
            QCOMPARE(w->cmbFolders->currentIndex(), 0);
            QVERIFY(w->chkExtra->isChecked());
            QCOMPARE(w->TabStrip1->currentIndex(), 3);
            QVERIFY(!w->cmdHide->isHidden());
            QCOMPARE(frontPane(w), 3);

            // Closed container, another tab.
            selectTab(w, 1);
            QTest::mouseClick(w->cmdHide, Qt::LeftButton);
            QCOMPARE(frontPane(w), -1);
            w->chkExtra->setChecked(false);
            w->ExitProgram(false);
        }
        QCOMPARE(cache("ContainerState"), QStringLiteral("0"));
        QCOMPARE(cache("ContainerTab"), QStringLiteral("2"));
        QCOMPARE(cache("ExtraInfo"), QStringLiteral("Unchecked"));
        {
            Run run(storeDir());
            QVERIFY(run.start());
            qel::Vantrel* w = run.window();
            QCOMPARE(w->TabStrip1->currentIndex(), 1);
            QVERIFY(w->cmdHide->isHidden());
            QCOMPARE(frontPane(w), -1);
            QVERIFY(!w->chkExtra->isChecked());
            // A click on a tab opens the container on it.
            w->TabStrip1->setCurrentIndex(4);
            QVERIFY(!w->cmdHide->isHidden());
            QCOMPARE(frontPane(w), 4);
        }
    }

    void damagedCacheFallsBack() {
        SaveSetting("Cache", "LetterCode", "ninety");
        SaveSetting("Cache", "ContainerTab", "9");
        SaveSetting("Cache", "ContainerState", "open");
        SaveSetting("Cache", "ExtraInfo", "yes");
        {
            Run run(storeDir());
            QVERIFY(run.start());
            qel::Vantrel* w = run.window();
            QCOMPARE(w->mLetterCode, qint16(1));
            QCOMPARE(w->TabStrip1->currentIndex(), 0);
            QVERIFY(w->cmdHide->isHidden());
            QVERIFY(!w->chkExtra->isChecked());
        }
        SaveSetting("Cache", "LetterCode", "28");
        SaveSetting("Cache", "ContainerTab", "0");
        SaveSetting("Cache", "ContainerState", "1");
        {
            Run run(storeDir());
            QVERIFY(run.start());
            QCOMPARE(run.window()->mLetterCode, qint16(1));
            QCOMPARE(run.window()->TabStrip1->currentIndex(), 0);
            QCOMPARE(frontPane(run.window()), 0);
        }
    }

    void exitWithoutUnloadKeepsTheWindow() {
        Run run(storeDir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->mLetterCode = 5;
        qel::frmWait::load(w);
        w->ExitProgram(true);
        QCOMPARE(cache("LetterCode"), QStringLiteral("5"));
        QVERIFY(!w->gOlApp && !w->gOlNameSpace && !w->gOlCalendarFolder && !w->gOlCalendarRootFolder);
        QVERIFY(!w->gOlCalendarItems && !w->gSafeContact && !w->gSafeCalendar);
        QVERIFY(!w->isUnloaded());
        QVERIFY(w->isVisible());
        QVERIFY(w->prefs());
        QVERIFY(qel::frmWait::loaded());
        QVERIFY(!run.program->isFinished());

        w->ExitProgram(false);
        QVERIFY(!w->prefs());
        QVERIFY(!qel::frmWait::loaded());
        QVERIFY(run.program->isFinished());
    }

    void closeBox_data() {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("reminder");
        QTest::addColumn<QList<int>>("answers"); // one per question expected
        QTest::addColumn<bool>("closes");

        QTest::newRow("no questions") << false << false << QList<int>{} << true;
        QTest::newRow("confirm yes") << true << false << QList<int>{int(MsgResult::Yes)} << true;
        QTest::newRow("confirm no") << true << false << QList<int>{int(MsgResult::No)} << false;
        QTest::newRow("reminder yes") << false << true << QList<int>{int(MsgResult::Yes)} << true;
        QTest::newRow("reminder no") << false << true << QList<int>{int(MsgResult::No)} << false;
        QTest::newRow("both yes") << true << true << QList<int>{int(MsgResult::Yes), int(MsgResult::Yes)}
                                  << true;
        QTest::newRow("confirm yes, reminder no")
            << true << true << QList<int>{int(MsgResult::Yes), int(MsgResult::No)} << false;
        QTest::newRow("confirm no asks no more") << true << true << QList<int>{int(MsgResult::No)} << false;
    }
    void closeBox() {
        QFETCH(bool, confirm);
        QFETCH(bool, reminder);
        QFETCH(QList<int>, answers);
        QFETCH(bool, closes);
        SaveSetting("General", "ConfirmExit", confirm ? "Yes" : "No");
        Run run(storeDir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->txtRemind->setEnabled(!reminder);
        w->mLetterCode = 3;

        const QString sure = QStringLiteral("Are you sure you want to close Vantrel?");
        const QString remind = QStringLiteral(
            "You have a reminder set.  If you close Vantrel you will stop the reminder.  Are you sure?");
        QStringList questions;
        if (confirm)
            questions << sure;
        if (reminder)
            questions << remind;
        for (int i = 0; i < answers.size(); ++i)
            mSeams->dialogs.expectQuestion(questions.at(i), MsgResult(answers.at(i)));

        QCOMPARE(w->close(), closes);
        QCOMPARE(mSeams->dialogs.prompts().size(), answers.size());
        QCOMPARE(run.program->isFinished(), closes);
        QCOMPARE(w->isVisible(), !closes);
        QCOMPARE(cache("LetterCode"), closes ? QStringLiteral("3") : QString());
    }

    void exitMenuAsksLikeTheCloseBox() {
        SaveSetting("General", "ConfirmExit", "Yes");
        Run run(storeDir());
        QVERIFY(run.start());
        mSeams->dialogs.expectQuestion(QStringLiteral("Are you sure you want to close Vantrel?"),
                                       MsgResult::No);
        run.window()->menuExit->trigger();
        QVERIFY(!run.program->isFinished());
        mSeams->dialogs.expectQuestion(QStringLiteral("Are you sure you want to close Vantrel?"),
                                       MsgResult::Yes);
        run.window()->menuExit->trigger();
        QVERIFY(run.program->isFinished());
    }

    void reloadKeepsThePosition() {
        // Started by a contact jump, minimized: a reload keeps where the user went since.
        Run run(storeDir(), {QStringLiteral("Mary Smith")});
        QVERIFY(run.start());
        QPointer<qel::Vantrel> old = run.window();
        QCOMPARE(old->mLetterCode, qint16(19));
        old->mLetterCode = 3;
        old->mContactName = QStringLiteral("Carl Chen");
        old->lblCategories->setText(QStringLiteral("Golf"));
        selectTab(old, 2);

        run.program->reload();
        QVERIFY(old->isUnloaded());
        QVERIFY(!run.window()); // the new load waits for the running handler to return
        QTRY_VERIFY(run.window());
        apptest::settle();
        QVERIFY(old.isNull());
        qel::Vantrel* w = run.window();
        QVERIFY(w->isVisible());
        QCOMPARE(w->mLetterCode, qint16(3));
        QCOMPARE(w->mContactName, QStringLiteral("Carl Chen"));
        QCOMPARE(w->lblCategories->text(), QStringLiteral("Golf"));
        QCOMPARE(w->TabStrip1->currentIndex(), 2);
        QVERIFY(!w->cmdHide->isHidden());
        QVERIFY(w->gOlApp && w->gOlCalendarItems && w->prefs());
        QVERIFY(!run.program->isFinished());
    }

    void reloadAfterStartingMinimizedShowsTheWindow() {
        Run run(storeDir(), {QStringLiteral("m")});
        QVERIFY(run.start());
        QTRY_VERIFY(run.window()->isMinimized()); // once the window is on the screen
        run.program->reload();
        QTRY_VERIFY(run.window());
        QVERIFY(!run.window()->isMinimized());
        QTest::qWait(50); // nor later, once on the screen
        apptest::settle();
        QVERIFY(!run.window()->isMinimized());
    }

    void preferencesOkRebuildsTheWindow() {
        Run run(storeDir());
        QVERIFY(run.start());
        QPointer<qel::Vantrel> old = run.window();
        QPointer<qel::frmPrefs> openedPrefs = old->prefs();
        old->mLetterCode = 6;
        QVERIFY(old->lblDebug->isHidden());
        bool wasSyncing = false;
        bool labelFollowed = false;
        mSeams->dialogs.expectExec(
            [&](QDialog& dialog) {
                auto& prefs = static_cast<qel::frmPrefs&>(dialog);
                wasSyncing = qel::Tag(old->SyncTimer) == QStringLiteral("Syncing");
                prefs.chkDebug->click();
                labelFollowed = !old->lblDebug->isHidden();
                prefs.chkConfirm->setChecked(true);
                prefs.cmdOK->click();
                return prefs.result();
            },
            QStringLiteral("frmPrefs"));
        old->menuPrefs->trigger();
        QVERIFY(wasSyncing);
        QVERIFY(labelFollowed);
        QCOMPARE(qel::GetSetting("DebugMode", "DebugMode"), QStringLiteral("Yes"));
        QVERIFY(old->isUnloaded());
        QTRY_VERIFY(run.window());
        apptest::settle();
        QVERIFY(old.isNull());
        QVERIFY(openedPrefs.isNull());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->mLetterCode, qint16(6));
        QVERIFY(!w->lblDebug->isHidden());
        QVERIFY(w->prefs()->chkConfirm->isChecked());
        QCOMPARE(qel::Tag(w->SyncTimer), QString());
        QVERIFY(apptest::readDebugFile().contains(QStringLiteral("Vantrel:Program loading...")));
    }

    void preferencesOkInsideARealModalLoop() {
        // The dialog runs its own event loop, in which the old window's deferred deletion can run
        // before the menu handler that opened the dialog has returned.
        struct ModalDialogs : qeltest::ScriptedDialogs {
            int exec(QDialog& dialog) override {
                auto& prefs = static_cast<qel::frmPrefs&>(dialog);
                QTimer::singleShot(0, &prefs, [&prefs] { prefs.cmdOK->click(); });
                return dialog.exec();
            }
        } modal;
        qel::Dialogs* previous = qel::DialogsSeam::set(&modal);
        Run run(storeDir());
        QVERIFY(run.start());
        QPointer<qel::Vantrel> old = run.window();
        old->mLetterCode = 11;
        // As from the menu: inside the program's event loop.
        QEventLoop loop;
        connect(run.program.get(), &qel::Program::windowLoaded, &loop, &QEventLoop::quit);
        QTimer::singleShot(0, run.program.get(), [&] { old->menuPrefs->trigger(); });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        QVERIFY(run.window());
        apptest::settle();
        QVERIFY(old.isNull());
        QCOMPARE(run.window()->mLetterCode, qint16(11));
        qel::DialogsSeam::set(previous);
    }

    void preferencesCancelReloadsTheLiveSettings() {
        SaveSetting("DebugMode", "DebugMode", "Yes");
        Run run(storeDir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QPointer<qel::frmPrefs> before = w->prefs();
        mSeams->dialogs.expectExec(
            [&](QDialog& dialog) {
                auto& prefs = static_cast<qel::frmPrefs&>(dialog);
                prefs.chkConfirm->setChecked(true);
                prefs.cmdCancel->click();
                return prefs.result();
            },
            QStringLiteral("frmPrefs"));
        w->menuPrefs->trigger();
        QCOMPARE(run.window(), w); // no rebuild
        QVERIFY(w->prefs() && w->prefs() != before.data());
        QVERIFY(!w->prefs()->chkConfirm->isChecked()); // fresh from the store
        QCOMPARE(qel::Tag(w->SyncTimer), QString());
        QVERIFY(apptest::readDebugFile().contains(QStringLiteral("Vantrel:Prefs open")));
        // The new hidden dialog carries the debug log.
        qel::LogDebug(QStringLiteral("Test"), QStringLiteral(":after"));
        QVERIFY(apptest::readDebugFile().contains(QStringLiteral("Test:after")));
    }

    void trayPreferencesOkMinimizesTheNewWindow() {
        Run run(storeDir());
        QVERIFY(run.start());
        mSeams->dialogs.expectExec(
            [](QDialog& dialog) {
                auto& prefs = static_cast<qel::frmPrefs&>(dialog);
                prefs.cmdOK->click();
                return prefs.result();
            },
            QStringLiteral("frmPrefs"));
        run.window()->menuTrayPrefs->trigger();
        QTRY_VERIFY(run.window());
        QTRY_VERIFY(run.window()->isMinimized()); // once the new window is on the screen
    }
};

QEL_TEST_MAIN(ShutdownTest)
#include "test_shutdown.moc"
