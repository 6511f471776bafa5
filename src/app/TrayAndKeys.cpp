// The main window's life in the tray: going there when minimised and coming back (with a fresh
// connection to the store), the tray icon's mouse and its menu, and the global hot keys: the
// restore key, armed while the window is in the tray, and the arming of the two clipboard keys.

#include "InstanceChannel.h"
#include "Program.h"
#include "Vantrel.h"
#include "core/Tag.h"
#include "frmWait.h"

#include "core/DebugLog.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "prefs/PrefsLists.h"
#include "prefs/frmPrefs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QWindowStateChangeEvent>

namespace qel {

namespace {

const QString kIgnoreKey = QStringLiteral("Ignore Key");
constexpr int kIgnoreKeyMs = 1000;
constexpr int kIgnoreKeyPollMs = 50;

// The modifiers of a hot key of the settings: 0 Windows key, 1 Shift, 2 Alt, 3 Ctrl.
HotKeyModifiers modifiersOf(const HotKeyChoice& choice) {
    HotKeyModifiers modifiers;
    modifiers.win = choice.modifiers[0];
    modifiers.shift = choice.modifiers[1];
    modifiers.alt = choice.modifiers[2];
    modifiers.ctrl = choice.modifiers[3];
    return modifiers;
}

// The virtual-key code of the hot-key list's entry the settings name (0 when none).
int chosenKey(const HotKeyChoice& choice) {
    return choice.key >= 0 && choice.key < prefs::kHotKeyCount
               ? prefs::hotKeyList()[static_cast<size_t>(choice.key)].code
               : 0;
}

void setUp(HotKeyControl* key, const HotKeyChoice& choice) {
    key->modifiers = modifiersOf(choice);
    key->virtualKey = chosenKey(choice);
}

} // namespace

void Vantrel::buildHotKeys() {
    VBHotKey1 = new HotKeyControl(QStringLiteral("VBHotKey1"), this);
    hotCopy2Call = new HotKeyControl(QStringLiteral("hotCopy2Call"), this);
    hotEmail = new HotKeyControl(QStringLiteral("hotEmail"), this);
    connect(VBHotKey1, &HotKeyControl::pressed, this, &Vantrel::VBHotKey1_Pressed);
    connect(hotCopy2Call, &HotKeyControl::pressed, this, &Vantrel::hotCopy2Call_Pressed);
    connect(hotEmail, &HotKeyControl::pressed, this, &Vantrel::hotEmail_Pressed);

    mIgnoreKeyTimer = new QTimer(this);
    mIgnoreKeyTimer->setObjectName(QStringLiteral("IgnoreKeyTimer"));
    mIgnoreKeyTimer->setInterval(kIgnoreKeyPollMs);
    connect(mIgnoreKeyTimer, &QTimer::timeout, this, &Vantrel::ignoreKeyTick);

    // An unloaded window gives its keys back at once, so that the window of a reload can take the
    // same keys before this one is deleted. (Connected before anyone else hears of the unload.)
    connect(this, &Vantrel::unloaded, this, [this] {
        for (HotKeyControl* key : {VBHotKey1, hotCopy2Call, hotEmail})
            key->setEnabled(false);
        mIgnoreKeyTimer->stop();
        mAfterIgnoreKey.clear();
    });
}

// --- Start-up steps 16 and 17 ------------------------------------------------------------------

void Vantrel::setUpRestoreHotKey() {
    // Set up only: the key is armed when the window goes to the tray.
    setUp(VBHotKey1, settings().restoreKey);
}

void Vantrel::armClipboardHotKeys() {
    setUp(hotCopy2Call, settings().copy2CallKey);
    if (settings().copy2CallKey.use && settings().enableVonage)
        hotCopy2Call->setEnabled(true);
    setUp(hotEmail, settings().emailKey);
    if (settings().emailKey.use)
        hotEmail->setEnabled(true);
}

// --- Going to the tray -------------------------------------------------------------------------

void Vantrel::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || mUnloaded)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    const bool wasMinimized = change->oldState().testFlag(Qt::WindowMinimized);
    if (isMinimized() && !wasMinimized && !mInTray && !mResizePending) {
        // After the minimising has run to its end (showMinimized shows the window after the
        // state change): hiding it from inside the change would be undone.
        mResizePending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                mResizePending = false;
                Form_Resize();
            },
            Qt::QueuedConnection);
    } else if (!isMinimized() && wasMinimized && mInTray) {
        // Restored from the task bar (a desktop without a tray): the same way back as Show.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (mInTray && !isMinimized())
                    menuTrayShow_Click();
            },
            Qt::QueuedConnection);
    }
}

void Vantrel::Form_Resize() {
    if (mUnloaded || mInTray || !isMinimized())
        return;
    // 1. Not in the middle of an edit.
    if (isEditing()) {
        showNormal();
        dialogs().message(
            QStringLiteral("Please finish editing contact before minimizing to the system tray"));
        return;
    }
    // 2. Where the desktop shows no tray the window stays minimised in the task bar instead of
    // hiding: the task bar is the way back then (changeEvent).
    mInTray = true;
    mKeysDown.clear(); // their releases come to another window, if at all
    tray().add();
    if (tray().isAvailable())
        hide();
    // 3.
    if (mPrefs && settings().restoreKey.use)
        VBHotKey1->setEnabled(true);
    // 4. Not during a timed sync, and not while a command is still at work (a dialog of its own
    // open, or its progress window): it may be using the store this very moment.
    const bool busy = QApplication::activeModalWidget() != nullptr || frmWait::loaded() != nullptr;
    if (Tag(menuSync).isEmpty() && mPrefs && settings().release && !busy)
        releaseStore();
}

void Vantrel::releaseStore() {
    ExitProgram(true);
    // The store objects the window's members do not hold: the contact list's last query and the
    // hidden preferences' connection (for their folder checks). The preferences made now have
    // none; restoring makes them anew with the new connection.
    mBrowser->releaseStore();
    unloadPrefs();
    mPrefs = loadPrefs();
    mStoreReleased = true;
}

// --- Coming back -------------------------------------------------------------------------------

void Vantrel::menuTrayShow_Click() {
    if (mUnloaded)
        return;
    // 1.
    mInTray = false;
    showNormal();
    raise();
    activateWindow();
    tray().remove();
    VBHotKey1->setEnabled(false);
    // 2.
    reconnectStore();
    // 3. The folder reopened and the letter listed afresh: what changed meanwhile shows.
    mBrowser->lblFolders_Change();
}

// --- A later start ------------------------------------------------------------------------------

void Vantrel::answerLaterStart(const CommandLine& line) {
    if (mUnloaded)
        return;
    debug(QStringLiteral(":Later start: ") + forwardedArguments(line).join(QLatin1Char(' ')));
    const bool busy = QApplication::activeModalWidget() != nullptr || frmWait::loaded() != nullptr ||
                      isEditing() || !Tag(SyncTimer).isEmpty();
    if (busy) {
        // Whatever is at work keeps the store and the card: only what the user looks at comes up.
        QWidget* front = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                         : frmWait::loaded()               ? static_cast<QWidget*>(frmWait::loaded())
                                                           : this;
        if (front->isVisible()) {
            front->raise();
            front->activateWindow();
        }
        debug(QStringLiteral(":Later start while busy: window raised only"));
        return;
    }
    if (line.startMinimized())
        return; // the login's start: the running window stays where it is
    if (line.contactJump()) {
        mLetterCode = static_cast<qint16>(jumpLetterCode(line.contactName()));
        mContactName = line.contactName();
    }
    const QPointer<Vantrel> self(this);
    menuTrayShow_Click();
    if (self && !mUnloaded && !line.search.isNull())
        openSearch(line.search);
}

void Vantrel::openSearch(const QString& text) {
    mBrowser->menuSearch_Click();
    Search->setText(text);
    if (!text.isEmpty())
        mBrowser->Search_KeyUp(Qt::Key_unknown); // as the last key typed: the type-ahead
}

void Vantrel::reconnectStore() {
    // Errors are passed over: each object keeps its old value when its new one cannot be had,
    // and the folder reopen that follows tells the user of a store that has gone.
    try {
        ol::ApplicationPtr app = ol::Application::create(mProgram.storeDir());
        if (mProgram.prepareStore)
            mProgram.prepareStore(*app);
        ol::NameSpacePtr nameSpace = app->GetNamespace(QStringLiteral("MAPI"));
        listenToStore(*app, false);
        gOlApp = std::move(app);
        gOlNameSpace = std::move(nameSpace);
    } catch (const ol::Error& e) {
        debug(QStringLiteral(":Reconnecting: ") + e.message());
    } catch (const std::exception& e) {
        debug(QStringLiteral(":Reconnecting: ") + QString::fromLocal8Bit(e.what()));
    }
    if (gOlApp) {
        try {
            gSafeContact = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeContactItem"));
        } catch (const ol::Error&) {
        }
        try {
            gSafeCalendar = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeAppointmentItem"));
        } catch (const ol::Error&) {
        }
    }
    if (gOlNameSpace && mPrefs) {
        try {
            ol::FolderPtr root = gOlNameSpace->Folders()->Item(settings().calendarFolder.root);
            ol::FolderPtr calendar = root->Folders()->Item(settings().calendarFolder.folder);
            ol::ItemsPtr items = calendar->Items();
            gOlCalendarRootFolder = std::move(root);
            gOlCalendarFolder = std::move(calendar);
            gOlCalendarItems = std::move(items);
        } catch (const ol::Error& e) {
            debug(QStringLiteral(":Reconnecting the calendar folder: ") + e.message());
        }
    }
    if (mStoreReleased && gOlNameSpace) {
        unloadPrefs();
        mPrefs = loadPrefs(); // with the store again, for their folder checks
        mStoreReleased = false;
    }
}

// --- The tray icon -----------------------------------------------------------------------------

namespace {

// A click on the tray while a sync runs brings its progress window up instead. The sync tag also
// stands while the preferences are open: then the open dialog comes up.
void showWhatIsRunning() {
    if (frmWait* wait = frmWait::loaded()) {
        wait->show();
        wait->raise();
        wait->activateWindow();
    } else if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

} // namespace

void Vantrel::TrayIcon1_MouseDown(int button) {
    if (mUnloaded)
        return;
    if (Tag(SyncTimer) == kSyncingTag) {
        showWhatIsRunning();
        return;
    }
    if (button == 2)
        tray().popUp(*menuTray, menuTrayShow);
}

void Vantrel::TrayIcon1_DblClick() {
    if (mUnloaded)
        return;
    if (Tag(SyncTimer) == kSyncingTag)
        showWhatIsRunning();
    else
        menuTrayShow_Click();
}

// --- The tray menu -----------------------------------------------------------------------------

void Vantrel::menuTrayUpcomingQELDay_Click() {
    const QPointer<Vantrel> self(this);
    menuTrayShow_Click();
    if (self && !mUnloaded && !notYet(menuUpcomingQELDay->objectName()))
        menuUpcomingQELDay_Click();
}

void Vantrel::menuTraySync_Click() {
    dialogs().message(QStringLiteral(
        "Email Addresses are currently not syncing properly. Please sync from the file menu."));
}

void Vantrel::menuTrayUpdates_Click() {
    menuUpdates_Click();
}

void Vantrel::menuTrayExit_Click() {
    ExitProgram(false); // no question: the tray's Exit means it
}

// --- The restore hot key -----------------------------------------------------------------------

void Vantrel::VBHotKey1_Pressed() {
    if (mUnloaded || !VBHotKey1->isEnabled())
        return;
    const QPointer<Vantrel> self(this);
    if (mInTray || isMinimized())
        menuTrayShow_Click();
    if (self && !mUnloaded)
        ignoreHotKeyChord();
}

void Vantrel::ignoreHotKeyChord(std::function<void()> then) {
    setTag(VBHotKey1, kIgnoreKey);
    mIgnoreKeyUntil = clock().now().addMSecs(kIgnoreKeyMs);
    if (then)
        mAfterIgnoreKey.push_back(std::move(then));
    mIgnoreKeyTimer->start();
}

void Vantrel::ignoreKeyTick() {
    const QDateTime now = clock().now();
    // A clock set back by more than the second ends the wait too, instead of stretching it.
    if (now < mIgnoreKeyUntil && now >= mIgnoreKeyUntil.addMSecs(-kIgnoreKeyMs))
        return;
    mIgnoreKeyTimer->stop();
    setTag(VBHotKey1, QString());
    std::vector<std::function<void()>> pending;
    pending.swap(mAfterIgnoreKey);
    const QPointer<Vantrel> self(this);
    for (const std::function<void()>& next : pending) {
        if (!self || mUnloaded)
            return;
        next();
    }
}

} // namespace qel
