#include "Vantrel.h"

#include "Commands.h"
#include "Program.h"
#include "core/DebugLog.h"
#include "core/Named.h"
#include "editing/frmNotes.h"
#include "editing/frmUser.h"
#include "platform/MenuItem.h"
#include "platform/TrayIcons.h"
#include "prefs/frmPrefs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace qel {

const QString Vantrel::kRedemptionSite = QStringLiteral("https://www.dimastr.com/redemption/");

namespace {

QTimer* makeTimer(QObject* parent, const QString& name, int interval) {
    auto* timer = named(new QTimer(parent), name);
    timer->setInterval(interval);
    return timer; // created stopped: each is enabled by the command that needs it
}

// The modifiers held once the key event has happened: a modifier key's own press is counted in
// and its release counted out (platforms differ in what they report with the modifier key itself).
Qt::KeyboardModifiers heldModifiers(const QKeyEvent& key) {
    Qt::KeyboardModifiers held = key.modifiers();
    Qt::KeyboardModifier own = Qt::NoModifier;
    switch (key.key()) {
    case Qt::Key_Shift:
        own = Qt::ShiftModifier;
        break;
    case Qt::Key_Control:
        own = Qt::ControlModifier;
        break;
    case Qt::Key_Alt:
        own = Qt::AltModifier;
        break;
    default:
        return held;
    }
    if (key.type() == QEvent::KeyPress)
        held |= own;
    else
        held &= ~own;
    return held;
}

} // namespace

Vantrel::Vantrel(Program& program, QWidget* parent) : QMainWindow(parent), mProgram(program) {
    setObjectName(kMainWindowName);
    setWindowTitle(QStringLiteral("Vantrel"));
    setWindowIcon(icons::programIcon());
    buildMenus();
    buildTrayMenu();
    buildControls();

    AniTimer = makeTimer(this, QStringLiteral("AniTimer"), 500);
    MISCTimer = makeTimer(this, QStringLiteral("MISCTimer"), 1000);
    SyncTimer = makeTimer(this, QStringLiteral("SyncTimer"), 60000);
    RemindTimer = makeTimer(this, QStringLiteral("RemindTimer"), 60000);
    connect(AniTimer, &QTimer::timeout, this, &Vantrel::AniTimer_Timer);
    connect(MISCTimer, &QTimer::timeout, this, &Vantrel::MISCTimer_Timer);
    connect(SyncTimer, &QTimer::timeout, this, &Vantrel::SyncTimer_Timer);
    connect(RemindTimer, &QTimer::timeout, this, &Vantrel::RemindTimer_Timer);
    buildHotKeys();
    buildEditor();
    buildActions();
    buildSpecialDays();
    buildTools();
    buildExchange();
    buildUpdates();
    buildVcard();
    buildSync();
    showCommandStates();

    tray().setIcon(windowIcon());
    tray().setListener(this);
}

Vantrel::~Vantrel() {
    if (tray().listener() == this)
        tray().setListener(nullptr);
    if (mPrefs && debugCarrier() == mPrefs.data())
        setDebugCarrier(nullptr);
}

void Vantrel::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto menu = [&](const char* name, const QString& caption) {
        return namedMenu(bar->addMenu(caption), QLatin1String(name));
    };
    const auto item = [this](QMenu* parent, const char* name, const QString& caption, auto handler) {
        return menuItem(parent, QLatin1String(name), caption, this, handler);
    };

    menuFile = menu("menuFile", QStringLiteral("File"));
    menuNotes =
        item(menuFile, "menuNotes", QStringLiteral("View/Edit Contact Notes"), &Vantrel::menuNotes_Click);
    menuCategory = item(menuFile, "menuCategory", QStringLiteral("View/Edit Contact Category"),
                        &Vantrel::menuCategory_Click);
    menuUser = item(menuFile, "menuUser", QStringLiteral("View/Edit User fields"), &Vantrel::menuUser_Click);
    menuOutlook =
        item(menuFile, "menuOutlook", QStringLiteral("View Contact in Outlook"), &Vantrel::menuOutlook_Click);
    menuFile->addSeparator();
    menuEdit = item(menuFile, "menuEdit", QStringLiteral("Edit Current Contact"), &Vantrel::menuEdit_Click);
    menuAdd = item(menuFile, "menuAdd", QStringLiteral("Add Contact"), &Vantrel::menuAdd_Click);
    menuRemove = item(menuFile, "menuRemove", QStringLiteral("Remove Contact"), &Vantrel::menuRemove_Click);
    menuFile->addSeparator();
    menuPrint =
        item(menuFile, "menuPrint", QStringLiteral("Print Current Contact"), &Vantrel::menuPrint_Click);
    menuFile->addSeparator();
    menuExportVcard = item(menuFile, "menuExportVcard", QStringLiteral("Export Contacts as vCard..."),
                           &Vantrel::menuExportVcard_Click);
    menuImportVcard =
        item(menuFile, "menuImportVcard", QStringLiteral("Import vCard..."), &Vantrel::menuImportVcard_Click);
    menuExportIcs = item(menuFile, "menuExportIcs", QStringLiteral("Export Calendar as iCalendar..."),
                         &Vantrel::menuExportIcs_Click);
    menuFile->addSeparator();
    menuExit = item(menuFile, "menuExit", QStringLiteral("Exit (ESC Key)"), &Vantrel::menuExit_Click);

    menuTools = menu("menuTools", QStringLiteral("Tools"));
    menuSearch =
        item(menuTools, "menuSearch", QStringLiteral("Search For Contacts"), &Vantrel::menuSearch_Click);
    menuRemind =
        item(menuTools, "menuRemind", QStringLiteral("Set A QEL Reminder"), &Vantrel::menuRemind_Click);
    menuCopy = item(menuTools, "menuCopy", QStringLiteral("Copy Contact Information to Clipboard"),
                    &Vantrel::menuCopy_Click);
    menuCopyText = item(menuTools, "menuCopyText", QStringLiteral("Copy Contact Information to Text Editor"),
                        &Vantrel::menuCopyText_Click);
    menuAppointments = item(menuTools, "menuAppointments", QStringLiteral("Color Appointments"),
                            &Vantrel::menuAppointments_Click);
    menuMe = item(menuTools, "menuMe", QStringLiteral("Set as 'Me'"), &Vantrel::menuMe_Click);
    menuTools->addSeparator();
    menuCell =
        item(menuTools, "menuCell", QStringLiteral("Create Cell Phone List"), &Vantrel::menuCell_Click);
    menuExport =
        item(menuTools, "menuExport", QStringLiteral("Export Outlook Data"), &Vantrel::menuExport_Click);
    menuImport =
        item(menuTools, "menuImport", QStringLiteral("Import Outlook Data"), &Vantrel::menuImport_Click);
    menuSync = item(menuTools, "menuSync", QStringLiteral("Sync Now"), &Vantrel::menuSync_Click);
    menuStatus =
        item(menuTools, "menuStatus", QStringLiteral("View Last Sync Status"), &Vantrel::menuStatus_Click);
    menuTools->addSeparator();
    menuDebug = item(menuTools, "menuDebug", QStringLiteral("Open Debug File"), &Vantrel::menuDebug_Click);
    menuPrefs = item(menuTools, "menuPrefs", QStringLiteral("Preferences"), &Vantrel::menuPrefs_Click);

    menuQEL = menu("menuQEL", QStringLiteral("QEL Day"));
    menuQELDay = item(menuQEL, "menuQELDay", QStringLiteral("Add/Edit QEL Day"), &Vantrel::menuQELDay_Click);
    menuRescan = item(menuQEL, "menuRescan", QStringLiteral("Rescan QEL Days"), &Vantrel::menuRescan_Click);
    menuQELRemove =
        item(menuQEL, "menuQELRemove", QStringLiteral("Remove all QEL Days"), &Vantrel::menuQELRemove_Click);
    menuUpcomingQELDay = item(menuQEL, "menuUpcomingQELDay", QStringLiteral("Look for Upcoming QEL Days"),
                              &Vantrel::menuUpcomingQELDay_Click);

    menuHelp = menu("menuHelp", QStringLiteral("Help"));
    menuInstructions = item(menuHelp, "menuInstructions", QStringLiteral("QEL Help File (F1)"),
                            &Vantrel::menuInstructions_Click);
    menuUpdates =
        item(menuHelp, "menuUpdates", QStringLiteral("Check for updates"), &Vantrel::menuUpdates_Click);
    menuWeb = item(menuHelp, "menuWeb", QStringLiteral("Vantrel web site"), &Vantrel::menuWeb_Click);
    menuAbout = item(menuHelp, "menuAbout", QStringLiteral("About"), &Vantrel::menuAbout_Click);
}

void Vantrel::buildTrayMenu() {
    menuTray = named(new QMenu(QStringLiteral("TrayIconMenu"), this), QStringLiteral("menuTray"));
    const auto item = [this](QMenu* parent, const char* name, const QString& caption, auto handler) {
        return menuItem(parent, QLatin1String(name), caption, this, handler);
    };
    menuTrayShow = item(menuTray, "menuTrayShow", QStringLiteral("Show"), &Vantrel::menuTrayShow_Click);
    menuTray->setDefaultAction(menuTrayShow);
    menuGoto = namedMenu(menuTray->addMenu(QStringLiteral("Go to...")), QStringLiteral("menuGoto"));
    for (int i = 1; i <= 27; ++i) {
        const QString caption = i <= 26 ? QString(QChar('A' + i - 1)) : QStringLiteral("MISC");
        QAction* letter = named(menuGoto->addAction(caption), QStringLiteral("menuTrayGotoLetter%1").arg(i));
        connect(letter, &QAction::triggered, this, [this, i] { menuTrayGotoLetter_Click(i); });
        menuTrayGotoLetter[size_t(i)] = letter;
    }
    menuTrayUpcomingQELDay =
        item(menuTray, "menuTrayUpcomingQELDay", QStringLiteral("Look for Upcoming QEL Days"),
             &Vantrel::menuTrayUpcomingQELDay_Click);
    menuTraySync = item(menuTray, "menuTraySync", QStringLiteral("Sync"), &Vantrel::menuTraySync_Click);
    menuTrayPrefs =
        item(menuTray, "menuTrayPrefs", QStringLiteral("Preferences"), &Vantrel::menuTrayPrefs_Click);
    menuTray->addSeparator();
    menuTrayUpdates = item(menuTray, "menuTrayUpdates", QStringLiteral("Check for Updates"),
                           &Vantrel::menuTrayUpdates_Click);
    menuTray->addSeparator();
    menuTrayExit = item(menuTray, "menuTrayExit", QStringLiteral("Exit"), &Vantrel::menuTrayExit_Click);
}

void Vantrel::buildControls() {
    auto* central = named(new QWidget(this), QStringLiteral("fraMain"));
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 4);
    outer->setSpacing(2);

    // The card file, laid out in the design's proportions.
    auto* cardFile = named(new QWidget(central), QStringLiteral("fraCardFile"));
    cardFile->setFixedSize(browserlayout::kWidth, browserlayout::kHeight);
    buildBrowserControls(cardFile);
    buildEditorControls(cardFile, *this);
    outer->addWidget(cardFile, 0, Qt::AlignHCenter);

    auto* status = new QHBoxLayout;
    status->setContentsMargins(8, 0, 8, 0);
    lblDebug = named(new QLabel(QStringLiteral("DEBUG MODE"), central), QStringLiteral("lblDebug"));
    lblDebug->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    lblDebug->hide();
    lblMisc = named(new QLabel(central), QStringLiteral("lblMisc"));
    lblMisc->setWordWrap(true);
    cmdRedemption =
        named(new QPushButton(QStringLiteral("Redemption"), central), QStringLiteral("cmdRedemption"));
    cmdRedemption->hide();
    connect(cmdRedemption, &QPushButton::clicked, this, &Vantrel::cmdRedemption_Click);
    status->addWidget(lblDebug);
    status->addWidget(lblMisc, 1);
    status->addWidget(cmdRedemption);
    outer->addLayout(status);

    // Reminder pane (its choices come with the reminder command).
    QFrame* remindPane = fmeQuick[3];
    const int rowY = (remindPane->height() - 28) / 2;
    txtRemind = named(new QLineEdit(remindPane), QStringLiteral("txtRemind"));
    txtRemind->setText(
        QStringLiteral("<type a message here and then click set to be reminded at the set time>"));
    txtRemind->setGeometry(8, rowY, 440, 28);
    cmbRemind = named(new QComboBox(remindPane), QStringLiteral("cmbRemind"));
    cmbRemind->setGeometry(454, rowY, 160, 28);

    BrowserHooks hooks;
    hooks.exitProgram = [this] { ExitProgram(false); };
    hooks.editing = [this] { return isEditing(); };
    hooks.setKeyPreview = [this](bool on) { setKeyPreview(on); };
    hooks.setUserField = [this](int index, const QString& text) { userWindow()->setUserField(index, text); };
    hooks.setNotes = [this](const QString& text) { notesWindow()->setNotes(text); };
    hooks.restoreWindow = [this] { menuTrayShow_Click(); };
    hooks.commandBuilt = [](const QString& control) { return commands::isBuilt(control); };
    mBrowser = std::make_unique<ContactBrowser>(
        *this, BrowserMembers{storeMembers(), mLetterCode, mContactName}, settings(), hooks);
    qApp->installEventFilter(this);
}

SettingsModel& Vantrel::settings() const {
    return mProgram.settings();
}

void Vantrel::buildEditor() {
    EditorHooks hooks;
    hooks.unloaded = [this] { return mUnloaded; };
    hooks.reload = [this] { mProgram.reload(); };
    hooks.closeWindowParts = [this] {
        for (QMenu* menu : {menuFile, menuTools, menuQEL, menuHelp})
            menu->menuAction()->setEnabled(false);
        cmdRedemption->hide();
    };
    hooks.setKeyPreview = [this](bool on) { setKeyPreview(on); };
    hooks.composeMail = [this](int entry) { composeMail(entry); };
    hooks.meChanged = [this](const QString& name) { settings().setMe(name); };
    mEditor = std::make_unique<ContactEditor>(*this, *this,
                                              BrowserMembers{storeMembers(), mLetterCode, mContactName},
                                              *mBrowser, this, SyncTimer, hooks);
}

void Vantrel::menuSearch_Click() {
    mBrowser->menuSearch_Click();
}

void Vantrel::menuTrayGotoLetter_Click(int index) {
    mBrowser->menuTrayGotoLetter_Click(index);
}

bool Vantrel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !mKeyPreview || mUnloaded)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !mBrowser)
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // The key arrives at the focused widget and, unhandled, at its parents: act on it once.
    if (widget != QApplication::focusWidget() && widget != this)
        return QMainWindow::eventFilter(watched, event);
    const Qt::KeyboardModifiers held = heldModifiers(*key);
    if (type == QEvent::KeyPress) {
        if (!key->isAutoRepeat())
            mKeysDown.insert(key->key());
        Form_KeyDown(key->key(), held);
        // The keys the window acts on when they are released do nothing else in its controls.
        return key->key() == Qt::Key_Escape || ContactBrowser::isWindowKey(key->key(), held);
    }
    if (key->isAutoRepeat())
        return true;
    // Only a key whose press the window saw acts: the release of a key that closed a message
    // box (Esc) or ended a chord elsewhere is not one of the window's keys.
    if (!mKeysDown.remove(key->key())) {
        Form_KeyUp(0, held);
        return false;
    }
    return Form_KeyUp(key->key(), held);
}

void Vantrel::closeEvent(QCloseEvent* event) {
    if (mUnloaded) {
        event->accept();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel, 0);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

} // namespace qel
