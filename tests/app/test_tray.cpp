// The main window in the tray: minimising hides it behind the tray icon and restoring brings it
// back with a fresh store connection (released meanwhile with "Close connection to Outlook when
// minimized", kept during a timed sync), refused while editing; a desktop without a tray; the
// icon's clicks and menu, also during a sync; the restore hot key and the start with "m".

#include "TrayTesting.h"
#include "app/frmWait.h"
#include "core/DebugLog.h"
#include "core/Tag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

using apptest::Run;
using apptest::saveFlag;

namespace {

QStringList entries(const QComboBox* list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->itemText(i);
    return all;
}

// Minimises the window as the user does and lets the tray step run.
void minimise(qel::Vantrel* w) {
    w->showMinimized();
    apptest::settle();
}

} // namespace

class TrayTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(mStores.isValid()); }
    void init() {
        beginCase(QStringLiteral("tray"));
        QFile::remove(apptest::programFile(QStringLiteral("Debug.txt")));
    }
    void cleanup() { endCase(); }

    void minimiseHidesInTheTrayAndShowBringsBackFreshData() {
        const QString store = apptest::makeStore(mStores);
        Run run(store);
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->cmbContacts->setCurrentIndex(1); // Bob Archer
        const std::weak_ptr<ol::Application> before = w->gOlApp;

        minimise(w);
        QVERIFY(w->isInTray());
        QVERIFY(!w->isVisible());
        QVERIFY(mTray->isAdded());
        QVERIFY(mKeys->registrations().isEmpty()); // the restore hot key is off
        // Without "Close connection" the store stays connected.
        QVERIFY(w->gOlApp && w->gOlContacts && w->gOlCalendarItems);
        QVERIFY(!w->storeReleased());

        // Someone adds a contact while the window is away.
        apptest::addContact(apptest::contactsFolder(store), QStringLiteral("Amy"), QStringLiteral("Adams"));

        w->menuTrayShow->trigger();
        QVERIFY(!w->isInTray());
        QVERIFY(w->isVisible());
        QVERIFY(!w->isMinimized());
        QVERIFY(!mTray->isAdded());
        QCOMPARE(mTray->removes(), 1);
        // Connected anew, the letter listed afresh, the contact shown still the one it was.
        QVERIFY(before.expired());
        QVERIFY(w->gOlApp && w->gOlNameSpace && w->gSafeContact && w->gSafeCalendar);
        QCOMPARE(w->gOlCalendarFolder->path(), QStringLiteral("Personal Folders\\Calendar"));
        QVERIFY(w->gOlCalendarItems);
        QCOMPARE(entries(w->cmbContacts), QStringList({"Amy Adams", "Ann Archer", "Bob Archer"}));
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob Archer"));
        QCOMPARE(mSeams->dialogs.prompts().size(), 0);
        w->ExitProgram(false);
    }

    void closeConnectionReleasesTheStoreUntilRestored() {
        const QString store = apptest::makeStore(mStores);
        saveFlag("Misc", "Release");
        Run run(store);
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->cmbContacts->setCurrentIndex(1); // Bob Archer
        const std::weak_ptr<ol::detail::AppState> state = w->gOlApp->state();

        minimise(w);
        QVERIFY(w->storeReleased());
        QVERIFY(!w->gOlApp && !w->gOlNameSpace && !w->gOlContactFolder && !w->gOlContacts);
        QVERIFY(!w->gOlCalendarRootFolder && !w->gOlCalendarFolder && !w->gOlCalendarItems);
        QVERIFY(!w->gSafeContact && !w->gSafeCalendar);
        // Nothing else holds the store either; the position is saved and the settings live on.
        QVERIFY(state.expired());
        QCOMPARE(apptest::cache(QStringLiteral("ContactName")), QStringLiteral("Bob Archer"));
        QVERIFY(w->prefs());
        QVERIFY(w->prefs()->chkRelease->isChecked());

        apptest::addContact(apptest::contactsFolder(store), QStringLiteral("Amy"), QStringLiteral("Adams"));
        mTray->doubleClick();
        QVERIFY(!w->storeReleased());
        QVERIFY(w->gOlApp && w->gOlNameSpace && w->gOlContactFolder && w->gOlContacts);
        QVERIFY(w->gOlCalendarFolder && w->gOlCalendarItems && w->gSafeContact && w->gSafeCalendar);
        QCOMPARE(entries(w->cmbContacts), QStringList({"Amy Adams", "Ann Archer", "Bob Archer"}));
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob Archer"));
        // The preferences have the store again for their folder checks.
        QVERIFY(w->prefs()->cmdPickCalendar->isEnabled());
        w->ExitProgram(false);
    }

    void timedSyncOrBusyCommandKeepsTheStore() {
        saveFlag("Misc", "Release");
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();

        qel::setTag(w->menuSync, QStringLiteral("Timer Sync"));
        minimise(w);
        QVERIFY(w->isInTray());
        QVERIFY(w->gOlApp && w->gOlContacts);
        QVERIFY(!w->storeReleased());
        w->menuTrayShow_Click();
        qel::setTag(w->menuSync, QString());

        // A command's progress window is up: it may be reading the store.
        qel::frmWait::load(w);
        minimise(w);
        QVERIFY(w->isInTray());
        QVERIFY(w->gOlApp && w->gOlContacts);
        qel::frmWait::unload();
        w->menuTrayShow_Click();

        // Nothing running: released.
        minimise(w);
        QVERIFY(w->storeReleased());
        QVERIFY(!w->gOlApp);
        w->ExitProgram(false);
    }

    void minimisingWhileEditingIsRefused() {
        saveFlag("Misc", "Release");
        saveRestoreHotKeyOn();
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        apptest::enterEditing(w);
        QVERIFY(w->isEditing());

        mSeams->dialogs.expectMessage(
            QStringLiteral("Please finish editing contact before minimizing to the system tray"));
        minimise(w);
        QVERIFY(!w->isMinimized());
        QVERIFY(w->isVisible());
        QVERIFY(!w->isInTray());
        QCOMPARE(mTray->adds(), 0);
        QVERIFY(mKeys->registrations().isEmpty());
        QVERIFY(w->gOlApp);

        // Once the edit is over (Cancel rebuilds the window) the window goes.
        w->cmdCancel_Click();
        apptest::settle();
        w = run.window();
        QVERIFY(w && !w->isEditing());
        minimise(w);
        QVERIFY(w->isInTray());
        QVERIFY(!w->gOlApp);
        w->ExitProgram(false);
    }

    void withoutASystemTrayTheTaskBarIsTheWayBack() {
        mTray->setAvailable(false);
        saveFlag("Misc", "Release");
        saveRestoreHotKeyOn();
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();

        minimise(w);
        QVERIFY(w->isInTray());
        QVERIFY(w->isMinimized());
        QVERIFY(w->isVisible()); // minimised in the task bar, not hidden
        QVERIFY(mKeys->isRegistered(w->VBHotKey1->id()));
        QVERIFY(!w->gOlApp);

        // The user restores it from the task bar: the same way back as the tray's Show.
        w->showNormal();
        apptest::settle();
        QVERIFY(!w->isInTray());
        QVERIFY(!mTray->isAdded());
        QVERIFY(!mKeys->isRegistered(w->VBHotKey1->id()));
        QVERIFY(w->gOlApp && w->gOlContacts);
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann Archer"));
        w->ExitProgram(false);
    }

    void trayIconClicksAndMenu() {
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        minimise(w);

        // Left and middle buttons do nothing; the right one pops the menu up, "Show" its default.
        mTray->press(1);
        mTray->press(4);
        QVERIFY(mTray->popUps().isEmpty());
        mTray->press(2);
        QCOMPARE(mTray->popUps(), QStringList{"menuTray"});
        QCOMPARE(mTray->defaultItems(), QStringList{"menuTrayShow"});
        QVERIFY(w->isInTray());

        // "Sync" only tells where to sync from.
        mSeams->dialogs.expectMessage(QStringLiteral(
            "Email Addresses are currently not syncing properly. Please sync from the file menu."));
        w->menuTraySync->trigger();
        QVERIFY(w->isInTray());

        // "Go to..." restores the window on that letter.
        w->menuTrayGotoLetter[13]->trigger();
        QVERIFY(!w->isInTray());
        QVERIFY(w->isVisible());
        QCOMPARE(w->mLetterCode, qint16(13));
        QCOMPARE(entries(w->cmbContacts), QStringList({"Max Moss", "Mia Moss"}));

        // "Look for Upcoming QEL Days" restores first.
        minimise(w);
        mSeams->dialogs.expectMessage(QStringLiteral("No upcoming QEL Days :("));
        w->menuTrayUpcomingQELDay->trigger();
        QVERIFY(!w->isInTray());
        QVERIFY(w->isVisible());

        // The double-click restores.
        minimise(w);
        mTray->doubleClick();
        QVERIFY(!w->isInTray());
        QVERIFY(w->isVisible());
        w->ExitProgram(false);
    }

    void trayExitEndsWithoutAQuestion() {
        saveFlag("General", "ConfirmExit"); // the close box would ask; the tray's Exit does not
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->mLetterCode = 26;
        w->browser().LetterChange();
        minimise(w);
        w->menuTrayExit->trigger();
        QVERIFY(w->isUnloaded());
        QVERIFY(!mTray->isAdded());
        apptest::settle();
        QVERIFY(run.program->isFinished());
        QCOMPARE(apptest::cache(QStringLiteral("LetterCode")), QStringLiteral("26"));
        QCOMPARE(mSeams->dialogs.prompts().size(), 0);
    }

    void clicksDuringASyncShowTheProgressWindow() {
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        minimise(w);
        qel::setTag(w->SyncTimer, QStringLiteral("Syncing"));
        qel::frmWait* wait = qel::frmWait::load(w);
        QVERIFY(!wait->isVisible());

        mTray->doubleClick();
        QVERIFY(wait->isVisible());
        QVERIFY(w->isInTray());
        QVERIFY(!w->isVisible());
        wait->hide();
        mTray->press(2);
        QVERIFY(wait->isVisible());
        QVERIFY(mTray->popUps().isEmpty());
        QVERIFY(w->isInTray());

        // Once the sync is over the clicks act again.
        qel::frmWait::unload();
        qel::setTag(w->SyncTimer, QString());
        mTray->doubleClick();
        QVERIFY(!w->isInTray());
        w->ExitProgram(false);
    }

    void restoreHotKeyArmedOnlyInTheTray() {
        saveRestoreHotKeyOn();
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        const int id = w->VBHotKey1->id();
        // Set up at start-up, not armed.
        QCOMPARE(w->VBHotKey1->virtualKey, apptest::kKeyP);
        QCOMPARE(w->VBHotKey1->modifiers, apptest::ctrlAlt());
        QVERIFY(!w->VBHotKey1->isEnabled());
        QVERIFY(mKeys->registrations().isEmpty());

        minimise(w);
        QVERIFY(w->VBHotKey1->isEnabled());
        QCOMPARE(mKeys->registered(id).virtualKey, apptest::kKeyP);
        QCOMPARE(mKeys->registered(id).modifiers, apptest::ctrlAlt());

        // The key brings the window back and is given up again.
        QVERIFY(mKeys->press(id));
        QVERIFY(!w->isInTray());
        QVERIFY(w->isVisible());
        QVERIFY(!mTray->isAdded());
        QVERIFY(!w->VBHotKey1->isEnabled());
        QCOMPARE(mKeys->unregistered(), QList<int>{id});
        QVERIFY(!mKeys->press(id));

        // The "P" of the chord let go in the window during the next second is not the letter P.
        QCOMPARE(qel::Tag(w->VBHotKey1), QStringLiteral("Ignore Key"));
        w->cmbContacts->setFocus();
        QTest::keyClick(w->cmbContacts, Qt::Key_P);
        QCOMPARE(w->mLetterCode, qint16(1));
        mSeams->clock.advanceMSecs(1000);
        QTRY_COMPARE(qel::Tag(w->VBHotKey1), QString());
        QTest::keyClick(w->cmbContacts, Qt::Key_P);
        QCOMPARE(w->mLetterCode, qint16(16));

        w->ExitProgram(false);
        QCOMPARE(mKeys->registrations().size(), 1);
    }

    void aKeyThatCannotBeTakenIsLoggedAndTheTrayStillWorks() {
        saveRestoreHotKeyOn();
        saveFlag("DebugMode", "DebugMode");
        mKeys->refuseAll(QStringLiteral("no X11 display"));
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        minimise(w);
        QVERIFY(w->isInTray());
        QVERIFY(!w->isVisible());
        QVERIFY(!w->VBHotKey1->isEnabled());
        QVERIFY(apptest::readDebugFile().contains(QStringLiteral(
            "Vantrel:Hotkey VBHotKey1 (Ctrl+Alt+P key.) could not be registered: no X11 display")));
        mTray->doubleClick();
        QVERIFY(w->isVisible());
        w->ExitProgram(false);
    }

    void clipboardHotKeysArmedAtStartUpAndGivenBackAtTheEnd() {
        // Copy-to-call needs click-to-call itself; copy-to-e-mail stands alone.
        saveFlag("VOIP", "EnableCopy2Call");
        saveFlag("VOIP", "ShiftMod");
        saveFlag("VOIP", "WinKeyMod");
        qel::SaveSetting(QStringLiteral("VOIP"), QStringLiteral("HotKey"), QStringLiteral("80")); // F1
        saveFlag("Misc", "UseEmailHotkey");
        saveFlag("Misc", "CtrlModEmail");
        qel::SaveSetting(QStringLiteral("Misc"), QStringLiteral("EmailHotKey"), QStringLiteral("42")); // E
        {
            Run run(apptest::makeStore(mStores));
            QVERIFY(run.start());
            qel::Vantrel* w = run.window();
            QVERIFY(!w->hotCopy2Call->isEnabled());
            QVERIFY(w->hotEmail->isEnabled());
            QCOMPARE(mKeys->registrations().size(), 1);
            QCOMPARE(mKeys->registered(w->hotEmail->id()).virtualKey, 69);
            qel::HotKeyModifiers ctrl;
            ctrl.ctrl = true;
            QCOMPARE(mKeys->registered(w->hotEmail->id()).modifiers, ctrl);
            // The copy-to-call key is set up all the same.
            QCOMPARE(w->hotCopy2Call->virtualKey, 112);
            w->ExitProgram(false);
            QVERIFY(!mKeys->isRegistered(w->hotEmail->id()));
        }
        apptest::settle();

        saveFlag("VOIP", "EnableVonage");
        Run run(apptest::makeStore(mStores));
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QVERIFY(w->hotCopy2Call->isEnabled());
        qel::HotKeyModifiers winShift;
        winShift.win = true;
        winShift.shift = true;
        QCOMPARE(mKeys->registered(w->hotCopy2Call->id()).virtualKey, 112);
        QCOMPARE(mKeys->registered(w->hotCopy2Call->id()).modifiers, winShift);
        QVERIFY(mKeys->press(w->hotCopy2Call->id())); // fires into its handler, still to come
        QVERIFY(w->isVisible());
        // A reload gives the keys back before the new window takes the same ones.
        run.program->reload();
        apptest::settle();
        QVERIFY(run.window() && run.window() != w);
        QVERIFY(run.window()->hotCopy2Call->isEnabled());
        QVERIFY(run.window()->hotEmail->isEnabled());
        run.window()->ExitProgram(false);
    }

    void startWithMGoesStraightToTheTray() {
        Run run(apptest::makeStore(mStores), {QStringLiteral("m")});
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        apptest::settle();
        QVERIFY(w->isInTray());
        QVERIFY(!w->isVisible());
        QVERIFY(mTray->isAdded());
        QCOMPARE(apptest::cache(QStringLiteral("ContactName")), QString()); // no contact jump
        mTray->doubleClick();
        QVERIFY(w->isVisible());
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann Archer"));
        w->ExitProgram(false);
    }

    // The autostart entry's "m", with a tray and without one. A window manager puts a new window
    // on the screen normal whatever state it asked for before (and takes back a minimising asked
    // for meanwhile): the window must first be shown normal and be minimised once it is on the
    // screen. It ends in the tray, or minimised in the task bar, and comes back with its data.
    void startWithMIsMinimisedOnceOnTheScreen_data() {
        QTest::addColumn<bool>("trayHost");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void startWithMIsMinimisedOnceOnTheScreen() {
        QFETCH(bool, trayHost);
        mTray->setAvailable(trayHost);
        // What the window asks of the desktop, in order: each showing with the state it asks for,
        // and each time it is on the screen.
        struct Recorder : QObject {
            QStringList steps;
            bool eventFilter(QObject* watched, QEvent* event) override {
                // The main window and its window on the screen ("VantrelWindow").
                if (!watched->objectName().startsWith(QLatin1String("Vantrel")))
                    return false;
                if (auto* widget = qobject_cast<QWidget*>(watched); widget && event->type() == QEvent::Show)
                    steps << (widget->isMinimized() ? QStringLiteral("show minimised")
                                                    : QStringLiteral("show normal"));
                if (auto* window = qobject_cast<QWindow*>(watched);
                    window && event->type() == QEvent::Expose && window->isExposed() &&
                    !steps.contains("on screen"))
                    steps << QStringLiteral("on screen");
                return false;
            }
        } recorder;
        qApp->installEventFilter(&recorder);
        Run run(apptest::makeStore(mStores), {QStringLiteral("m")});
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QTRY_VERIFY(w->isInTray());
        apptest::settle();
        qApp->removeEventFilter(&recorder);
        QVERIFY2(!recorder.steps.isEmpty() && recorder.steps.first() == QLatin1String("show normal"),
                 qPrintable(recorder.steps.join(", ")));
        QVERIFY(recorder.steps.contains(QStringLiteral("on screen")));
        QVERIFY(w->windowHandle()->windowStates().testFlag(Qt::WindowMinimized));
        QCOMPARE(w->isVisible(), !trayHost); // without a tray the task bar is the way back
        QCOMPARE(mTray->isAdded(), true);
        QCOMPARE(apptest::cache(QStringLiteral("ContactName")), QString()); // no contact jump

        if (trayHost)
            mTray->doubleClick();
        else
            w->showNormal();
        apptest::settle();
        QVERIFY(w->isVisible() && !w->isMinimized() && !w->isInTray());
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann Archer"));
        w->ExitProgram(false);
    }

private:
    static void saveRestoreHotKeyOn() { apptest::saveRestoreHotKey(true); }
};

QEL_TEST_MAIN(TrayTest)
#include "test_tray.moc"
