// The main window's start and end: Form_Load, ExitProgram, the close box, the Redemption button
// and the two ways into the preferences.

#include "Program.h"
#include "Vantrel.h"
#include "core/Tag.h"
#include "frmWait.h"

#include "core/DebugLog.h"
#include "core/Settings.h"
#include "core/SettingsCatalogue.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"
#include "prefs/frmPrefs.h"
#include "sync/PrefsFtpSteps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

namespace qel {

namespace {

const QString kNoRedemptionFile = QStringLiteral("NoRedemption.txt");
const QString kWebsiteMessage = QStringLiteral(
    "You will be taken to the Redemption website. Click on the Download link at the top then scroll down to "
    "the 'Download Developer version' link. Open this file and follow instructions. You can then run Vantrel "
    "without the security warnings!");
constexpr int kTabCount = 5;

QString cache(const char* key) {
    return GetSetting(QLatin1String(sections::Cache), QLatin1String(key));
}

void saveCache(const char* key, const QString& value) {
    SaveSetting(QLatin1String(sections::Cache), QLatin1String(key), value);
}

// A number of Cache: 0 when missing, not a whole number, or outside [low, high].
int cacheNumber(const char* key, int low, int high) {
    bool ok = false;
    const int value = cache(key).trimmed().toInt(&ok);
    return ok && value >= low && value <= high ? value : 0;
}

} // namespace

// --- Form_Load -------------------------------------------------------------------------------

void Vantrel::Form_Load() {
    // 1. One instance only: a running one that takes this start's command line ends it quietly.
    if (!mProgram.claimInstance()) {
        if (!mProgram.handToRunningInstance())
            dialogs().message(QStringLiteral("Another instance of Vantrel is running"));
        ExitProgram(false);
        return;
    }
    // 2. A contact to open.
    readCommandLine();
    // 3, 4. The store and its namespace.
    if (!connectStore())
        return;
    // 5. The live settings.
    mPrefs = loadPrefs();
    debug(QStringLiteral(":Program loading..."), true);
    // The store's notes go to the debug log, which the settings have just switched on or off.
    listenToStore(*gOlApp, true);
    // 6. The safe-item wrappers.
    if (!checkRedemption())
        return;
    // 7.
    boundDebugFile();
    // 8, 9. The position of the last run.
    int containerState = 0;
    int containerTab = 0;
    readCache(containerState, containerTab);
    if (mUnloaded)
        return;
    // 10. Category.
    mBrowser->restoreCategory(cache(keys::CurrentCategory));
    // 11, 12. Contact folder, which opens it and lists the letter; the program ends when there is
    // no contact folder at all.
    if (!mBrowser->openStartFolder(cache(keys::CurrentFolder)) || mUnloaded)
        return;
    cmbRemind->setCurrentIndex(0);
    // 13, 14. Calendar folder.
    if (!openCalendarFolder())
        return;
    gOlCalendarItems = gOlCalendarFolder->Items();
    // 15. Special days coming up, told only when there are some.
    if (settings().checkForQELDay) {
        debug(QStringLiteral(":QEL Day scan"));
        setTag(menuUpcomingQELDay, QStringLiteral("No Message"));
        menuUpcomingQELDay_Click();
        if (mUnloaded)
            return;
        setTag(menuUpcomingQELDay, QString());
    }
    // 16, 17. Hot keys.
    setUpRestoreHotKey();
    armClipboardHotKeys();
    // 18. Timed sync.
    armSyncTimer();
    // 19. Phone tool tips.
    mBrowser->appendPhoneTooltips(settings().enableVonage);
    // 20. Detail panes.
    mBrowser->restoreContainer(containerState, containerTab);
    // 21.
    showWindow();
    if (!mProgram.commandLine().search.isNull())
        openSearch(mProgram.commandLine().search);
    // 22.
    if (gOlApp)
        debug(QStringLiteral(":Contact store opened, version ") + gOlApp->Version());
    debug(QStringLiteral(":Program Loaded"));
    registerHelpFile();
    cmbContacts->setFocus();
}

void Vantrel::readCommandLine() {
    const CommandLine& line = mProgram.commandLine();
    if (!line.contactJump())
        return;
    const QString name = line.contactName();
    saveCache(keys::LetterCode, QString::number(jumpLetterCode(name)));
    saveCache(keys::ContactName, name);
}

bool Vantrel::connectStore() {
    QString problem;
    try {
        gOlApp = ol::Application::create(mProgram.storeDir());
        if (mProgram.prepareStore)
            mProgram.prepareStore(*gOlApp);
        gOlNameSpace = gOlApp->GetNamespace(QStringLiteral("MAPI"));
    } catch (const ol::Error& e) {
        problem = e.message();
    } catch (const std::exception& e) {
        problem = QString::fromLocal8Bit(e.what());
    }
    if (problem.isEmpty()) {
        setUpImageList();
        return true;
    }
    gOlApp.reset();
    gOlNameSpace.reset();
    // What the user can do about it here: the folder, the store's reason, the ways out.
    const QString folder =
        mProgram.storeDir().isEmpty() ? ol::Application::storeDirFromEnvironment() : mProgram.storeDir();
    debug(QStringLiteral(":Contact store not opened: ") + problem);
    dialogs().message(
        QStringLiteral("Vantrel could not open its contact store in the folder\n%1\n\n%2\n\n"
                       "Check that the folder can be created and written by you. A store file named "
                       "above is left as it is: move it out of the folder (or put back a copy from a "
                       "backup) and start Vantrel again. To use another store folder, start Vantrel "
                       "with --dir FOLDER or set QEL_STORE_DIR.")
            .arg(QDir::toNativeSeparators(folder), problem),
        QStringLiteral("Contact store not opened"), MsgIcon::Critical);
    ExitProgram(false);
    return false;
}

void Vantrel::listenToStore(ol::Application& store, bool tell) {
    store.setWarningHandler([](const QString& text) { debug(QStringLiteral(":") + text); });
    // Each file and reason is told once a process: a reload opens the store folder again.
    static QSet<QString> told;
    QStringList lines;
    for (const ol::SkippedStore& skip : store.skippedStores()) {
        const QString line = QDir::toNativeSeparators(skip.file) + QStringLiteral(": ") + skip.reason;
        debug(QStringLiteral(":Store file skipped: ") + line);
        if (tell && !told.contains(line)) {
            told.insert(line);
            lines << line;
        }
    }
    if (!lines.isEmpty())
        dialogs().message(QStringLiteral("These store files could not be opened and were left as they are; "
                                         "their folders are not shown:\n\n") +
                          lines.join(QLatin1Char('\n')));
}

frmPrefs* Vantrel::loadPrefs() {
    // The live settings start again from the store, as the dialog that edits them does.
    settings().load();
    auto* prefs = new frmPrefs(settings(), gOlNameSpace, this);
    prefs->rebuildMainWindow = [program = &mProgram] { program->reload(); };
    // The FTP steps work with the server and login the dialog shows, not yet saved.
    prefs->testFtp = [prefs] { return PrefsFtpSteps().testFtp(prefs->ftpSettings()); };
    prefs->becomeMaster = [prefs] { return PrefsFtpSteps().becomeMaster(prefs->ftpSettings()); };
    connect(prefs, &frmPrefs::debugModeChanged, lblDebug, &QWidget::setVisible);
    // The load step has already applied chkDebug; the label follows it from here on.
    lblDebug->setVisible(prefs->chkDebug->isChecked());
    return prefs;
}

void Vantrel::unloadPrefs() {
    frmPrefs* prefs = mPrefs;
    mPrefs = nullptr;
    if (!prefs)
        return;
    if (debugCarrier() == prefs)
        setDebugCarrier(nullptr);
    prefs->hide();
    prefs->deleteLater(); // its OK handler may be the one unloading it
}

bool Vantrel::checkRedemption() {
    bool missing = false;
    try {
        gSafeContact = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeContactItem"));
    } catch (const ol::Error& e) {
        missing = missing || e.number() == ol::kErrCannotCreate;
    }
    try {
        gSafeCalendar = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeAppointmentItem"));
    } catch (const ol::Error& e) {
        missing = missing || e.number() == ol::kErrCannotCreate;
    }

    const QString marker = programFile(kNoRedemptionFile);
    if (missing && !QFile::exists(marker)) {
        const QString question =
            QStringLiteral("Redemption was not detected. You can download it from ") + kRedemptionSite +
            QStringLiteral(
                ". You may continue, but you will be warned by Outlook everytime you use Vantrel.  "
                "Would you like to be taken to the website (recommended)?");
        if (dialogs().ask(question, MsgButtons::YesNo, MsgIcon::Question,
                          QStringLiteral("Redemption Not Found")) == MsgResult::Yes) {
            dialogs().message(kWebsiteMessage);
            shell().open(kRedemptionSite);
            ExitProgram(false);
            return false;
        }
        QFile file(marker);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            debug(QStringLiteral(":Could not write ") + marker + QStringLiteral(": ") + file.errorString());
    } else if (!missing && QFile::exists(marker)) {
        QFile::remove(marker); // the wrappers have been installed since
    }
    if (QFile::exists(marker)) {
        gNoRedemption = true;
        cmdRedemption->setVisible(true);
    }
    return true;
}

void Vantrel::readCache(int& containerState, int& containerTab) {
    debug(QStringLiteral(":Reading Cache"));
    mLetterCode = static_cast<qint16>(cacheNumber(keys::LetterCode, 1, 27));
    mContactName = cache(keys::ContactName);
    mBrowser->chooseEntry(cache(keys::ContactEntryID));
    containerState = cacheNumber(keys::ContainerState, 0, 1);
    containerTab = cacheNumber(keys::ContainerTab, 1, kTabCount);
    // From here on the window shows the saved position, which ExitProgram may write back.
    mCacheLoaded = true;
    mBrowser->restoreView(cache(keys::ExtraInfo));
    // 9.
    if (mLetterCode == 0)
        mLetterCode = 1;
    if (containerTab == 0)
        containerTab = 1;
}

bool Vantrel::openCalendarFolder() {
    const QString root = settings().calendarFolder.root;
    const QString name = settings().calendarFolder.folder;
    debug(QStringLiteral(":Setting Calendar Folder to:") + root + QLatin1Char('\\') + name);
    try {
        gOlCalendarRootFolder = gOlNameSpace->Folders()->Item(root);
        gOlCalendarFolder = gOlCalendarRootFolder->Folders()->Item(name);
        return true;
    } catch (const ol::Error&) {
    }

    dialogs().message(QStringLiteral("Outlook Folder Error: The Default Calendar folder could not be found.  "
                                     "Please select one from the following folder tree."));
    debug(QStringLiteral(":Calendar Folder Error"));
    ol::FolderPtr picked;
    for (;;) {
        try {
            picked = gOlNameSpace->PickFolder();
        } catch (const ol::Error& e) {
            debug(QStringLiteral(":") + e.message());
            picked = nullptr;
        }
        if (!picked) {
            debug(QStringLiteral(":User cancelled pickfolder"));
            dialogs().message(QStringLiteral("Vantrel requires a calendar folder to run. It must now exit."));
            ExitProgram(false);
            return false;
        }
        if (picked->DefaultItemType() != ol::olAppointmentItem) {
            debug(QStringLiteral(":User didnt select calendar folder"));
            dialogs().message(QStringLiteral("Please select a calendar folder."));
            continue;
        }
        // The settings name the folder by its top-level folder and its name there: a folder deeper
        // down (or a top-level one) could not be found again on the next start.
        const ol::FolderPtr parent = picked->Parent();
        if (!parent || !parent->isTopLevel()) {
            debug(QStringLiteral(":User didnt select calendar folder"));
            dialogs().message(QStringLiteral(
                "Please select a folder directly inside a top-level folder (such as Personal Folders)."));
            continue;
        }
        break;
    }

    const ol::FolderPtr parent = picked->Parent();
    debug(QStringLiteral(":Setting calendar folders to:") + parent->Name() + QStringLiteral(" @") +
          picked->Name());
    settings().calendarFolder = {parent->Name(), picked->Name()};
    saveCalendarFolder(settings().calendarFolder);
    mPrefs->Form_Load(); // the dialog shows the folder picked
    gOlCalendarRootFolder = parent;
    gOlCalendarFolder = picked;
    return true;
}

void Vantrel::armSyncTimer() {
    if (!settings().sync && !settings().davSync)
        return;
    debug(QStringLiteral(":Turned on sync timer"));
    if (!settings().intervalSync || settings().interval != QLatin1String("0")) {
        mSyncSchedule->restart(clock().now());
        SyncTimer->start();
    }
}

void Vantrel::showWindow() {
    show();
    if (mProgram.commandLine().startMinimized())
        minimizeOnceShown();
}

namespace {

// Runs `then` (queued) once the window is on the screen.
class ExposeWatch : public QObject {
public:
    ExposeWatch(QWindow* window, std::function<void()> then) : QObject(window), mThen(std::move(then)) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(watched, mThen, Qt::QueuedConnection);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> mThen;
};

} // namespace

void Vantrel::minimizeOnceShown() {
    // A window manager starts a new window normal whatever state it asked for before it was on
    // the screen (and takes back a minimising asked for in the meantime): the window is shown
    // first and minimised once it is there; from there it goes to the tray.
    QWindow* handle = windowHandle();
    if (!handle || handle->isExposed()) {
        showMinimized();
        return;
    }
    new ExposeWatch(handle, [self = QPointer<Vantrel>(this)] {
        if (self && !self->mUnloaded && !self->isMinimized())
            self->showMinimized();
    });
}

// --- ExitProgram -----------------------------------------------------------------------------

void Vantrel::ExitProgram(bool dontUnload) {
    if (mUnloaded)
        return;
    // 1. The browser position, once the start-up has put the saved one in place: a start-up that
    // ends before that (a second instance, no store) leaves the last run's position as it is.
    if (mCacheLoaded)
        mBrowser->saveCache();
    else
        mBrowser->dropPendingCache();
    // 2. The tray icon and the dialogs.
    if (!dontUnload) {
        tray().remove();
        if (tray().listener() == this)
            tray().setListener(nullptr);
        debug(QStringLiteral(":Program unloading..."), true);
        unloadPrefs();
        frmWait::unload();
        mEditor->unloadSideDialogs();
    }
    // 3. The store, in this order.
    gSafeContact.reset();
    gSafeCalendar.reset();
    gOlCalendarRootFolder.reset();
    gOlCalendarFolder.reset();
    gOlContactFolder.reset();
    gOlApp.reset();
    gOlNameSpace.reset();
    gOlContacts.reset();
    gOlCalendarItems.reset();
    // 4. The window itself; the program deletes it once the running handler has returned.
    if (!dontUnload) {
        mUnloaded = true;
        for (QTimer* timer : {AniTimer, MISCTimer, SyncTimer, RemindTimer})
            timer->stop();
        hide();
        Q_EMIT unloaded();
    }
}

// --- The close box ---------------------------------------------------------------------------

void Vantrel::Form_QueryUnload(bool& cancel, int unloadMode) {
    if (unloadMode != 0)
        return;
    if (mPrefs && settings().confirmExit &&
        dialogs().ask(QStringLiteral("Are you sure you want to close Vantrel?"), MsgButtons::YesNo,
                      MsgIcon::Question, QString()) != MsgResult::Yes) {
        cancel = true;
        return;
    }
    // A running reminder keeps its text box disabled.
    if (!txtRemind->isEnabledTo(this) &&
        dialogs().ask(
            QStringLiteral("You have a reminder set.  If you close Vantrel you will stop the reminder.  "
                           "Are you sure?"),
            MsgButtons::YesNo, MsgIcon::Question, QString()) != MsgResult::Yes) {
        cancel = true;
        return;
    }
    ExitProgram(false);
}

void Vantrel::menuExit_Click() {
    close(); // as the close box: the same questions before the program ends
}

// --- Redemption, debug file, preferences -----------------------------------------------------

void Vantrel::cmdRedemption_Click() {
    dialogs().message(kWebsiteMessage);
    shell().open(kRedemptionSite);
    ExitProgram(false);
}

void Vantrel::menuDebug_Click() {
    openDebugFile();
}

void Vantrel::menuPrefs_Click() {
    if (mUnloaded || !mPrefs)
        return;
    debug(QStringLiteral(":Prefs open"));
    const SyncingScope busy(SyncTimer);
    mPrefs->TabStrip1_Click();
    const QPointer<Vantrel> self(this);
    dialogs().exec(*mPrefs);
    if (!self || mUnloaded)
        return; // OK has rebuilt the main window: this one is on its way out
    // The next opening, and every part reading the live settings, starts again from the store.
    unloadPrefs();
    mPrefs = loadPrefs();
}

void Vantrel::menuTrayPrefs_Click() {
    Program& program = mProgram;
    const QPointer<Vantrel> self(this);
    menuTrayShow_Click();
    if (!self || mUnloaded)
        return;
    menuPrefs_Click();
    if (self && !mUnloaded)
        showMinimized();
    else
        program.minimizeNextLoad(); // the rebuilt window goes back down instead
}

} // namespace qel
