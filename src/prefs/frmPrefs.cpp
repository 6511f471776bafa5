#include "frmPrefs.h"

#include "Autostart.h"
#include "PrefsLists.h"
#include "PrefsUi.h"
#include "core/Named.h"
#include "core/NumberText.h"
#include "core/Passwords.h"
#include "core/Settings.h"
#include "exchange/frmFilter.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

namespace qel {

using namespace prefsui;

namespace {

const QString kFolderTail = QStringLiteral(
    ". Please try a different folder. Click the Data Folders tab and click the appropriate Select Button.");

} // namespace

frmPrefs::frmPrefs(SettingsModel& settings, ol::NameSpacePtr nameSpace, QWidget* parent)
    : QDialog(parent), mSettings(settings), mNameSpace(std::move(nameSpace)) {
    start();
}

frmPrefs::frmPrefs(ol::NameSpacePtr nameSpace, QWidget* parent)
    : QDialog(parent), mOwnSettings(std::make_unique<SettingsModel>()), mSettings(*mOwnSettings),
      mNameSpace(std::move(nameSpace)) {
    mOwnSettings->load();
    start();
}

void frmPrefs::start() {
    buildUi();
    Form_Load();
    connect(&mSettings, &SettingsModel::meChanged, this, &frmPrefs::showMe);
    setDebugCarrier(this);
}

frmPrefs::~frmPrefs() {
    if (debugCarrier() == this)
        setDebugCarrier(nullptr);
}

// --- Building the controls -------------------------------------------------------------------

void frmPrefs::buildUi() {
    setObjectName(QStringLiteral("frmPrefs"));
    setWindowTitle(QStringLiteral("Preferences"));

    TabStrip1 = named(new QTabBar(this), QStringLiteral("TabStrip1"));
    TabStrip1->setExpanding(false);
    TabStrip1->setDrawBase(false);
    const QString tabs[10][2] = {
        {QStringLiteral("General"), QString()},
        {QStringLiteral("Data Folders"), QStringLiteral("Settings for Outlook folders")},
        {QStringLiteral("QEL Days"), QStringLiteral("Create and edit QEL Days!")},
        {QStringLiteral("Debug Mode"), QStringLiteral("Options for debugging")},
        {QStringLiteral("Outlook Data Sync"), QStringLiteral("Settings for syncing your Outlook data")},
        {QStringLiteral("Appointment Colors"),
         QStringLiteral("Set criteria to color appointments based on several conditions")},
        {QStringLiteral("VOIP"), QStringLiteral("Options for integrated Vonage Click-2-Call")},
        {QStringLiteral("Cell Phone"),
         QStringLiteral("Create a database of contacts to sync with your cell phone")},
        {QStringLiteral("MISC"), QStringLiteral("Misc. settings")},
        {QStringLiteral("CardDAV / CalDAV"),
         QStringLiteral("Two-way contact sync with an address book server, special days to a calendar")},
    };
    auto* frameHost = named(new QFrame(this), QStringLiteral("fraTabs"));
    frameHost->setFrameShape(QFrame::StyledPanel);
    mFrames = new QStackedLayout(frameHost);
    for (int i = 0; i < 10; ++i) {
        TabStrip1->addTab(tabs[i][0]);
        TabStrip1->setTabToolTip(i, tabs[i][1]);
        fmeTab[static_cast<size_t>(i)] = named(new QFrame(frameHost), QStringLiteral("fmeTab%1").arg(i));
        mFrames->addWidget(fmeTab[static_cast<size_t>(i)]);
    }

    // The tabs, each built by its own file (Prefs<Tab>.cpp).
    buildGeneralTab(fmeTab[0]);
    buildDataFoldersTab(fmeTab[1]);
    buildQELDaysTab(fmeTab[2]);
    buildDebugModeTab(fmeTab[3]);
    buildDataSyncTab(fmeTab[4]);
    buildAppointmentColorsTab(fmeTab[5]);
    buildVOIPTab(fmeTab[6]);
    buildCellPhoneTab(fmeTab[7]);
    buildMiscTab(fmeTab[8]);
    buildCardDavTab(fmeTab[9]);

    // The password boxes mask with "*".
    for (QLineEdit* secret : {txtOlvex, txtPardine, txtDavPassword}) {
        secret->setEchoMode(QLineEdit::Password);
        secret->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    }

    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->addWidget(TabStrip1);
    layout->addWidget(frameHost, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // Initial states, before any setting is applied.
    enableAll(chkMod, false);
    enableAll(chkModCopy, false);
    enableAll(chkModEmail, false);
    enableAll(chkData, false);
    enableAll({cmbHotkey,      cmbHotkeyCopy, cmbHotkeyEmail, chkCopy2Call, txtUserName,     txtPardine,
               txtPhoneNumber, chkPassive,    optMode[0],     optMode[1],   optSyncTimer[0], optSyncTimer[1],
               cmbSyncTime,    txtHost,       txtUser,        txtOlvex,     txtPort,         txtSync,
               chkAutoScan,    cmdTestFTP,    chkTLS},
              false);
    txtSync->hide();
    lblSync->hide();
    chkData[0]->setChecked(true);
    chkQel->setChecked(true);
    chkRemind->setChecked(true);
    optMode[1]->setChecked(true);
    optSyncTimer[1]->setChecked(true);

    // Handlers.
    connect(TabStrip1, &QTabBar::currentChanged, this, &frmPrefs::TabStrip1_Click);
    connect(chkHotkey, &QCheckBox::toggled, this, &frmPrefs::chkHotkey_Click);
    connect(chkEmail, &QCheckBox::toggled, this, &frmPrefs::chkEmail_Click);
    connect(chkVonage, &QCheckBox::toggled, this, &frmPrefs::chkVonage_Click);
    connect(chkCopy2Call, &QCheckBox::toggled, this, &frmPrefs::chkCopy2Call_Click);
    connect(chkSync, &QCheckBox::toggled, this, &frmPrefs::chkSync_Click);
    connect(optSyncTimer[0], &QRadioButton::toggled, this, &frmPrefs::optSyncTimer_Click);
    connect(chkDebug, &QCheckBox::toggled, this, &frmPrefs::chkDebug_Click);
    for (QComboBox* combo : cmbColor)
        connect(combo, &QComboBox::currentIndexChanged, this, &frmPrefs::cmbColor_Click);
    connect(txtDebug, &QLineEdit::textChanged, this, &frmPrefs::txtDebug_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmPrefs::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPrefs::cmdCancel_Click);
    connect(cmdTestFTP, &QPushButton::clicked, this, &frmPrefs::cmdTestFTP_Click);
    connect(cmdStartup, &QPushButton::clicked, this, &frmPrefs::cmdStartup_Click);
    connect(cmdPickCalendar, &QPushButton::clicked, this, &frmPrefs::cmdPickCalendar_Click);
    connect(cmdPickTask, &QPushButton::clicked, this, &frmPrefs::cmdPickTask_Click);
    connect(cmdPickNotes, &QPushButton::clicked, this, &frmPrefs::cmdPickNotes_Click);
    connect(cmdModify, &QPushButton::clicked, this, &frmPrefs::cmdModify_Click);
    connect(Vonage, &QLabel::linkActivated, this, &frmPrefs::Vonage_Click);
}

// --- Load ------------------------------------------------------------------------------------

void frmPrefs::Form_Load() {
    for (QComboBox* list : {cmbHotkey, cmbHotkeyCopy, cmbSyncTime, cmbWebEmail, cmbField, cmbFromAddress})
        list->setCurrentIndex(0);
    // The copy-to-e-mail hot key starts with no key chosen.
    cmbHotkeyEmail->setCurrentIndex(-1);
    cmbColor[0]->setCurrentIndex(8);
    cmbColor[1]->setCurrentIndex(9);
    cmbColor[2]->setCurrentIndex(2);

    loadGeneralTab();
    loadDataFoldersTab();
    loadQELDaysTab();
    loadDebugModeTab();
    loadDataSyncTab();
    loadAppointmentColorsTab();
    loadVOIPTab();
    loadCellPhoneTab();
    loadMiscTab();
    loadCardDavTab();

    // Setting a value fires its handler only when the value changes; run them all once so that
    // every dependent control matches the loaded values.
    runDependencies();
}

void frmPrefs::storeControls() {
    storeGeneralTab();
    storeDataFoldersTab();
    storeQELDaysTab();
    storeDebugModeTab();
    storeDataSyncTab();
    storeAppointmentColorsTab();
    storeVOIPTab();
    storeCellPhoneTab();
    storeMiscTab();
    storeCardDavTab();
}

void frmPrefs::runDependencies() {
    chkHotkey_Click();
    chkEmail_Click();
    chkVonage_Click();
    chkDavSync_Click();
    chkSync_Click();
    optSyncTimer_Click();
    cmbColor_Click();
}

void frmPrefs::showEvent(QShowEvent* event) {
    // A hook may have been set since the dialog was created.
    chkSync_Click();
    QDialog::showEvent(event);
}

// --- Dependencies ----------------------------------------------------------------------------

void frmPrefs::TabStrip1_Click() {
    mFrames->setCurrentIndex(TabStrip1->currentIndex());
}

int frmPrefs::hotkeyCode(const QComboBox* list) {
    const int at = list->currentIndex();
    if (at < 0 || at >= prefs::kHotKeyCount)
        return 0;
    return prefs::hotKeyList()[static_cast<size_t>(at)].code;
}

// --- Debug carrier ---------------------------------------------------------------------------

// --- OK --------------------------------------------------------------------------------------

bool frmPrefs::checkFolder(const QString& root, const QString& folder, const QString& kind) {
    if (!mNameSpace)
        return true;
    ol::FolderPtr rootFolder;
    try {
        rootFolder = mNameSpace->Folders()->Item(root);
    } catch (const ol::Error& e) {
        if (e.number() == ol::kErrNotFound) {
            say(QStringLiteral("No such root folder named: ") + root + kFolderTail);
            return false;
        }
        return true; // other store errors do not count against the settings
    }
    try {
        rootFolder->Folders()->Item(folder);
    } catch (const ol::Error& e) {
        if (e.number() == ol::kErrNotFound) {
            say(QStringLiteral("No such ") + kind + QStringLiteral(" folder named: ") + folder + kFolderTail);
            return false;
        }
    }
    return true;
}

void frmPrefs::cmdOK_Click() {
    cmdOK->setEnabled(false);
    // cmdOK is enabled again on every way out; after a successful OK before the dialog closes.
    struct Reenable {
        QPushButton* button;
        ~Reenable() {
            if (button)
                button->setEnabled(true);
        }
    } reenable{cmdOK};

    if (!checkFolder(txtCalendarRoot->text(), txtCalendar->text(), QStringLiteral("calendar")) ||
        !checkFolder(txtTaskRoot->text(), txtTask->text(), QStringLiteral("task")) ||
        !checkFolder(txtNotesRoot->text(), txtNotes->text(), QStringLiteral("notes")))
        return;
    if (chkDavSync->isChecked() && !checkDavFolders())
        return;

    if (chkHotkey->isChecked()) {
        if (cmbHotkey->currentIndex() < 0) {
            say(QStringLiteral("Please select a hotkey!"));
            return;
        }
        if (!anyChecked(chkMod)) {
            say(QStringLiteral("Please select at least one modifier to restore QEL when minimized!"));
            return;
        }
    }

    // Two hot keys clash when they are one chord: the same key code and the same modifiers (the
    // key list names some keys at two positions, so positions do not tell).
    const auto chord = [](const QComboBox* list, const std::array<QCheckBox*, 4>& modifiers) {
        std::array<bool, 4> held{};
        for (size_t i = 0; i < 4; ++i)
            held[i] = modifiers[i]->isChecked();
        return std::pair{hotkeyCode(list), held};
    };
    const auto restoreChord = chord(cmbHotkey, chkMod);
    const auto emailChord = chord(cmbHotkeyEmail, chkModEmail);

    if (chkEmail->isChecked()) {
        if (cmbHotkeyEmail->currentIndex() < 0) {
            say(QStringLiteral("Please select a Copy2Email hotkey!"));
            return;
        }
        if (!anyChecked(chkModEmail)) {
            say(QStringLiteral("Please select at least one modifier for Copy2Email!"));
            return;
        }
        if (chkHotkey->isChecked() && emailChord == restoreChord) {
            say(QStringLiteral("The Copy2Email hotkey is the same as the hotkey that restores Vantrel. "
                               "Please choose a new Copy2Email hotkey!"));
            return;
        }
    }

    if (chkCopy2Call->isChecked()) {
        if (cmbHotkeyCopy->currentIndex() < 0) {
            say(QStringLiteral("Please select a hotkey!"));
            return;
        }
        if (!anyChecked(chkModCopy)) {
            say(QStringLiteral("Please select at least one modifier for copy2call!"));
            return;
        }
        const auto copyChord = chord(cmbHotkeyCopy, chkModCopy);
        // Refused even while the restore hot key is off: turning it on later would clash.
        if (copyChord == restoreChord) {
            say(QStringLiteral(
                "The same hotkey is being used to restore Vantrel. Please choose a new hotkey"));
            return;
        }
        if (chkEmail->isChecked() && copyChord == emailChord) {
            say(QStringLiteral("The copy2call hotkey is the same as the Copy2Email hotkey. Please choose a "
                               "new hotkey for copy2call!"));
            return;
        }
    }

    if (chkSync->isChecked()) {
        if (!anyChecked(chkData)) {
            say(QStringLiteral(
                "Outlook data sync is enabled but you do not have any items selected to sync. Please "
                "select some items to sync or disable Outlook Data Sync."));
            return;
        }
        const auto port = checkedPort();
        if (!port)
            return;
        txtPort->setText(QString::number(*port));

        if (optSyncTimer[0]->isChecked()) {
            const auto interval = wholeNumberValue(txtSync->text());
            if (!interval) {
                say(QStringLiteral("Please choose a number for sync time!"));
                return;
            }
            if (*interval < 0 || *interval > 40320) {
                say(QStringLiteral("Please choose a number between 0 and 40320 (4 weeks) for sync time!"));
                return;
            }
            txtSync->setText(QString::number(static_cast<int>(*interval)));
        }

        // Becoming master needs the sync client's FTP connection; until the program hands it
        // in through becomeMaster, the role is saved without the server-side change.
        if (optMode[0]->isChecked() &&
            GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("SyncMode")) != "Master") {
            if (becomeMaster && !becomeMaster())
                return;
        }
    }

    if (chkDebug->isChecked()) {
        writeDebugLine(QString(28, QLatin1Char('_')));
        writeDebugLine(QStringLiteral("Debugging Started: ") + debugDateTime());
    } else if (GetSetting(QStringLiteral("DebugMode"), QStringLiteral("DebugMode")) == "Yes") {
        writeDebugLine(QStringLiteral("Debugging Ended:") + debugDateTime());
        writeDebugLine(QString(28, QLatin1Char('_')));
    }

    const QString problem = writeSettings();
    if (!problem.isEmpty()) {
        say(QStringLiteral("Your settings could not all be saved: ") + problem);
        return;
    }

    // The rebuild may replace this dialog; nothing here touches it after the hook has run.
    const std::function<void()> rebuild = rebuildMainWindow;
    cmdOK->setEnabled(true);
    reenable.button = nullptr;
    accept();
    if (rebuild)
        rebuild();
}

QString frmPrefs::writeSettings() {
    storeControls();
    return mSettings.save();
}

// --- Cancel ----------------------------------------------------------------------------------

void frmPrefs::cmdCancel_Click() {
    reject();
}

void frmPrefs::reject() {
    // Put the colour-row marking back to the special-day colours of the settings.
    markColourRows(mSettings.specialDayColours);
    QDialog::reject();
}

// --- Test FTP, start with the desktop, pick buttons, filters, web site ---------------------

} // namespace qel
