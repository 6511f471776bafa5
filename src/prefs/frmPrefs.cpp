#include "frmPrefs.h"

#include "Autostart.h"
#include "PrefsLists.h"
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

namespace qel {

const QString frmPrefs::kVonageSite = QStringLiteral("https://www.vonage.com/");

namespace {

const QString kFolderTail = QStringLiteral(
    ". Please try a different folder. Click the Data Folders tab and click the appropriate Select Button.");
const QString kHotkeyCaution =
    QStringLiteral("Be sure to choose a hotkey that is not aleady in use. Not all have been tested.");
const QString kLoadCaption = QStringLiteral("Load with Windows");
const QString kDontLoadCaption = QStringLiteral("Don't load with Windows");

void say(const QString& text) {
    dialogs().message(text);
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption) {
    return named(new QCheckBox(caption, parent), name);
}

QLineEdit* lineEdit(QWidget* parent, const QString& name) {
    return named(new QLineEdit(parent), name);
}

QComboBox* comboBox(QWidget* parent, const QString& name, const QStringList& entries) {
    auto* combo = named(new QComboBox(parent), name);
    combo->addItems(entries);
    return combo;
}

QLabel* label(QWidget* parent, const QString& caption, const QString& name = QString()) {
    auto* l = new QLabel(caption, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

QGroupBox* group(QWidget* parent, const QString& title, const QString& name) {
    return named(new QGroupBox(title, parent), name);
}

// A list position of the settings is applied only when it names an entry of the list; anything
// else leaves the list as it is.
void loadIndex(QComboBox* list, int position) {
    if (position >= 0 && position < list->count())
        list->setCurrentIndex(position);
}

void loadHotKey(const HotKeyChoice& key, QCheckBox* use, const std::array<QCheckBox*, 4>& modifiers,
                QComboBox* list) {
    use->setChecked(key.use);
    for (size_t i = 0; i < 4; ++i)
        modifiers[i]->setChecked(key.modifiers[i]);
    loadIndex(list, key.key);
}

HotKeyChoice hotKeyOf(const QCheckBox* use, const std::array<QCheckBox*, 4>& modifiers,
                      const QComboBox* list) {
    HotKeyChoice key;
    key.use = use->isChecked();
    for (size_t i = 0; i < 4; ++i)
        key.modifiers[i] = modifiers[i]->isChecked();
    key.key = list->currentIndex();
    return key;
}

void enableAll(const std::initializer_list<QWidget*>& widgets, bool enabled) {
    for (QWidget* w : widgets)
        w->setEnabled(enabled);
}
template <size_t N> void enableAll(const std::array<QCheckBox*, N>& boxes, bool enabled) {
    for (QCheckBox* box : boxes)
        box->setEnabled(enabled);
}
template <size_t N> bool anyChecked(const std::array<QCheckBox*, N>& boxes) {
    for (QCheckBox* box : boxes) {
        if (box->isChecked())
            return true;
    }
    return false;
}

QFrame* frameLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

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
    const QString tabs[9][2] = {
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
    };
    auto* frameHost = named(new QFrame(this), QStringLiteral("fraTabs"));
    frameHost->setFrameShape(QFrame::StyledPanel);
    mFrames = new QStackedLayout(frameHost);
    for (int i = 0; i < 9; ++i) {
        TabStrip1->addTab(tabs[i][0]);
        TabStrip1->setTabToolTip(i, tabs[i][1]);
        fmeTab[static_cast<size_t>(i)] = named(new QFrame(frameHost), QStringLiteral("fmeTab%1").arg(i));
        mFrames->addWidget(fmeTab[static_cast<size_t>(i)]);
    }

    QStringList hotkeyTexts, hotkeyCodes;
    for (const auto& entry : prefs::hotKeyList()) {
        hotkeyTexts << entry.description;
        hotkeyCodes << QString::number(entry.code);
    }
    // A hot-key block: the enable box, the modifiers, "+", the key list and the caution.
    const auto hotkeyBlock = [&](QWidget* parent, QCheckBox* enable, std::array<QCheckBox*, 4>& modifiers,
                                 const QString& modifierName, QComboBox*& list, const QString& listName,
                                 QComboBox*& codes, const QString& codesName) {
        auto* grid = new QGridLayout;
        if (enable)
            grid->addWidget(enable, 0, 0, 1, 6);
        const QString captions[4] = {QStringLiteral("Windows Key"), QStringLiteral("Shift"),
                                     QStringLiteral("Alt"), QStringLiteral("Ctrl")};
        for (int i = 0; i < 4; ++i) {
            modifiers[static_cast<size_t>(i)] =
                checkBox(parent, modifierName + QString::number(i), captions[i]);
            grid->addWidget(modifiers[static_cast<size_t>(i)], 1, i);
        }
        grid->addWidget(label(parent, QStringLiteral("+")), 1, 4);
        list = comboBox(parent, listName, hotkeyTexts);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(26);
        list->setMaxVisibleItems(16);
        grid->addWidget(list, 1, 5);
        grid->setColumnStretch(5, 1);
        codes = comboBox(parent, codesName, hotkeyCodes);
        codes->hide();
        auto* caution = label(parent, kHotkeyCaution);
        caution->setWordWrap(true);
        grid->addWidget(caution, 2, 0, 1, 6);
        // The twin follows the visible list position for position.
        QComboBox* twin = codes;
        connect(list, &QComboBox::currentIndexChanged, twin,
                [twin](int index) { twin->setCurrentIndex(index); });
        return grid;
    };

    // General
    {
        QWidget* tab = fmeTab[0];
        auto* hotkey = group(tab, QStringLiteral("Hotkey"), QStringLiteral("fraHotkey"));
        chkHotkey = checkBox(hotkey, QStringLiteral("chkHotkey"),
                             QStringLiteral("Enable hotkey to restore Vantrel visible when minimized"));
        hotkey->setLayout(hotkeyBlock(hotkey, chkHotkey, chkMod, QStringLiteral("chkMod"), cmbHotkey,
                                      QStringLiteral("cmbHotkey"), cmbHotkeyValue,
                                      QStringLiteral("cmbHotkeyValue")));

        auto* basic = group(tab, QStringLiteral("Basic"), QStringLiteral("fraBasic"));
        chkSubFolders = checkBox(
            basic, QStringLiteral("chkSubFolders"),
            QStringLiteral("Check for Contact folders in all subfolders on load (may cause QEL to hang)"));
        cmdStartup = named(new QPushButton(kLoadCaption, basic), QStringLiteral("cmdStartup"));
        chkConfirm = checkBox(basic, QStringLiteral("chkConfirm"), QStringLiteral("Confirm exit"));
        auto* basicLayout = new QGridLayout(basic);
        basicLayout->addWidget(chkSubFolders, 0, 0, 1, 2);
        basicLayout->addWidget(chkConfirm, 1, 0);
        basicLayout->addWidget(cmdStartup, 1, 1, Qt::AlignRight);

        auto* web = group(tab, QStringLiteral("Web Based Email"), QStringLiteral("fraWebEmail"));
        cmbWebEmail = comboBox(web, QStringLiteral("cmbWebEmail"), prefs::webEmailNames());
        chkInvert = checkBox(
            web, QStringLiteral("chkInvert"),
            QStringLiteral("Invert behavior (holding down shift opens default email client instead)"));
        auto* webLayout = new QGridLayout(web);
        webLayout->addWidget(label(web, QStringLiteral("Compose e-mail with:")), 0, 0);
        webLayout->addWidget(cmbWebEmail, 0, 1);
        webLayout->setColumnStretch(2, 1);
        webLayout->addWidget(chkInvert, 1, 0, 1, 3);

        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(hotkey);
        layout->addWidget(basic);
        layout->addWidget(web);
        layout->addStretch(1);
    }

    // Data Folders
    {
        QWidget* tab = fmeTab[1];
        const auto folderGroup = [&](const QString& title, const QString& name, QLineEdit*& root,
                                     const QString& rootName, QLineEdit*& folder, const QString& folderName,
                                     QPushButton*& pick, const QString& pickName,
                                     const QString& pickCaption) {
            auto* box = group(tab, title, name);
            root = lineEdit(box, rootName);
            folder = lineEdit(box, folderName);
            for (QLineEdit* edit : {root, folder}) {
                // Set through the pick buttons only, and looking like it.
                edit->setReadOnly(true);
                edit->setMinimumWidth(220);
                QPalette look = edit->palette();
                look.setColor(QPalette::Base, look.color(QPalette::Window));
                edit->setPalette(look);
            }
            pick = named(new QPushButton(pickCaption, box), pickName);
            auto* grid = new QGridLayout(box);
            grid->addWidget(label(box, QStringLiteral("Current Root:")), 0, 0);
            grid->addWidget(root, 0, 1);
            grid->addWidget(label(box, QStringLiteral("Current Folder:")), 1, 0);
            grid->addWidget(folder, 1, 1);
            grid->addWidget(pick, 0, 2, 2, 1, Qt::AlignVCenter);
            grid->setColumnStretch(1, 1);
            return box;
        };
        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(folderGroup(
            QStringLiteral("Calendar Folder"), QStringLiteral("fraCalendarFolder"), txtCalendarRoot,
            QStringLiteral("txtCalendarRoot"), txtCalendar, QStringLiteral("txtCalendar"), cmdPickCalendar,
            QStringLiteral("cmdPickCalendar"), QStringLiteral("Select Calendar Folder")));
        layout->addWidget(folderGroup(QStringLiteral("Task Folder"), QStringLiteral("fraTaskFolder"),
                                      txtTaskRoot, QStringLiteral("txtTaskRoot"), txtTask,
                                      QStringLiteral("txtTask"), cmdPickTask, QStringLiteral("cmdPickTask"),
                                      QStringLiteral("Select Task Folder")));
        layout->addWidget(folderGroup(QStringLiteral("Notes Folder"), QStringLiteral("fraNotesFolder"),
                                      txtNotesRoot, QStringLiteral("txtNotesRoot"), txtNotes,
                                      QStringLiteral("txtNotes"), cmdPickNotes,
                                      QStringLiteral("cmdPickNotes"), QStringLiteral("Select Notes Folder")));
        layout->addStretch(1);
        int buttonWidth = 0;
        for (QPushButton* pick : {cmdPickCalendar, cmdPickTask, cmdPickNotes})
            buttonWidth = std::max(buttonWidth, pick->sizeHint().width());
        for (QPushButton* pick : {cmdPickCalendar, cmdPickTask, cmdPickNotes})
            pick->setMinimumWidth(buttonWidth);
        txtCalendarRoot->setText(QStringLiteral("Personal Folders"));
        txtCalendar->setText(QStringLiteral("Calendar"));
        txtTaskRoot->setText(QStringLiteral("Personal Folders"));
        txtTask->setText(QStringLiteral("Tasks"));
        txtNotesRoot->setText(QStringLiteral("Personal Folders"));
        txtNotes->setText(QStringLiteral("Notes"));
    }

    // QEL Days
    {
        QWidget* tab = fmeTab[2];
        cmbField = comboBox(tab, QStringLiteral("cmbField"), prefs::customFieldNames());
        const QString colourCaptions[3] = {QStringLiteral("Choose the label color for Birthdays"),
                                           QStringLiteral("Choose the label color for Anniversaries"),
                                           QStringLiteral("Choose the label color for Other")};
        auto* grid = new QGridLayout;
        grid->addWidget(label(tab, QStringLiteral("Custom Field")), 0, 0);
        grid->addWidget(cmbField, 0, 1);
        const QStringList colours = prefs::labelColourNames();
        for (int i = 0; i < 3; ++i) {
            QComboBox* combo = comboBox(tab, QStringLiteral("cmbColor%1").arg(i), {});
            for (int c = 0; c < colours.size(); ++c) {
                QPixmap swatch(12, 12);
                swatch.fill(QColor(prefs::labelColourHex(c)));
                combo->addItem(QIcon(swatch), colours[c]);
            }
            combo->setToolTip(colourCaptions[i]);
            cmbColor[static_cast<size_t>(i)] = combo;
            grid->addWidget(label(tab, colourCaptions[i]), i + 1, 0);
            grid->addWidget(combo, i + 1, 1);
        }
        grid->setColumnStretch(2, 1);
        chkQel = checkBox(
            tab, QStringLiteral("chkQel"),
            QStringLiteral(
                "Check for a QEL Day event in the calendar in the next 7 days on load and every sync."));
        chkRemind =
            checkBox(tab, QStringLiteral("chkRemind"),
                     QStringLiteral("Enable a fifteen minute reminder for QEL Days (appointment reminder)"));
        chkAutoScan = checkBox(
            tab, QStringLiteral("chkAutoScan"),
            QStringLiteral(
                "Automatically scan QEL Days during Outlook Data Sync (requires Outlook Redemption)"));
        chkSubject = checkBox(tab, QStringLiteral("chkSubject"),
                              QStringLiteral("Dont show event name in subject line (better for PDAs)"));
        chkPast = checkBox(
            tab, QStringLiteral("chkPast"),
            QStringLiteral("Remove only future QEL Days. This will also be applied when \"remove all QEL "
                           "Days\" is called from the file menu."));
        auto* layout = new QVBoxLayout(tab);
        layout->addLayout(grid);
        layout->addWidget(frameLine(tab));
        for (QCheckBox* box : {chkQel, chkRemind, chkAutoScan, chkSubject, chkPast})
            layout->addWidget(box);
        layout->addStretch(1);
    }

    // Debug Mode
    {
        QWidget* tab = fmeTab[3];
        chkDebug = checkBox(tab, QStringLiteral("chkDebug"), QStringLiteral("Enter debugging mode"));
        txtDebug = lineEdit(tab, QStringLiteral("txtDebug"));
        txtDebug->hide();
        txtDebug->setEnabled(false);
        auto* note =
            label(tab, QStringLiteral("While debugging mode is on, Vantrel writes what it does to the file "
                                      "Debug.txt in its program folder."));
        note->setWordWrap(true);
        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(chkDebug);
        layout->addWidget(note);
        layout->addWidget(txtDebug);
        layout->addStretch(1);
    }

    // Outlook Data Sync
    {
        QWidget* tab = fmeTab[4];
        chkSync = checkBox(tab, QStringLiteral("chkSync"), QStringLiteral("Enable Outlook Data Sync"));

        auto* server = group(tab, QStringLiteral("FTP Server"), QStringLiteral("fraFTP"));
        txtHost = lineEdit(server, QStringLiteral("txtHost"));
        txtUser = lineEdit(server, QStringLiteral("txtUser"));
        txtOlvex = lineEdit(server, QStringLiteral("txtOlvex"));
        txtPort = lineEdit(server, QStringLiteral("txtPort"));
        txtPort->setText(QStringLiteral("21"));
        txtPort->setMaximumWidth(80);
        chkPassive = checkBox(server, QStringLiteral("chkPassive"), QStringLiteral("Passive Mode"));
        cmdTestFTP =
            named(new QPushButton(QStringLiteral("Test FTP Settings"), server), QStringLiteral("cmdTestFTP"));
        auto* testNote =
            label(server, QStringLiteral("*This may take a few minutes if the host name is not found."));
        testNote->setWordWrap(true);
        auto* serverGrid = new QGridLayout(server);
        serverGrid->addWidget(label(server, QStringLiteral("Host:")), 0, 0);
        serverGrid->addWidget(txtHost, 0, 1);
        serverGrid->addWidget(label(server, QStringLiteral("User name:")), 1, 0);
        serverGrid->addWidget(txtUser, 1, 1);
        serverGrid->addWidget(label(server, QStringLiteral("Password:")), 2, 0);
        serverGrid->addWidget(txtOlvex, 2, 1);
        serverGrid->addWidget(label(server, QStringLiteral("Port (usually 21):")), 3, 0);
        serverGrid->addWidget(txtPort, 3, 1, Qt::AlignLeft);
        serverGrid->addWidget(chkPassive, 4, 0, 1, 2);
        serverGrid->addWidget(cmdTestFTP, 5, 0, 1, 2, Qt::AlignLeft);
        serverGrid->addWidget(testNote, 6, 0, 1, 2);
        serverGrid->setRowStretch(7, 1);

        auto* items = group(tab, QStringLiteral("Items"), QStringLiteral("fraItems"));
        auto* itemsLayout = new QGridLayout(items);
        auto* itemsCaption =
            label(items, QStringLiteral("Choose what items to sync (check all that apply):"));
        itemsCaption->setWordWrap(true);
        itemsLayout->addWidget(itemsCaption, 0, 0, 1, 2);
        const QString dataCaptions[4] = {QStringLiteral("Contacts"), QStringLiteral("Calendar"),
                                         QStringLiteral("Tasks"), QStringLiteral("Notes")};
        for (int i = 0; i < 4; ++i) {
            chkData[static_cast<size_t>(i)] =
                checkBox(items, QStringLiteral("chkData%1").arg(i), dataCaptions[i]);
            itemsLayout->addWidget(chkData[static_cast<size_t>(i)], 1 + i / 2, i % 2);
        }

        auto* mode = group(tab, QStringLiteral("Mode"), QStringLiteral("fraMode"));
        optMode[0] = named(new QRadioButton(QStringLiteral("Master"), mode), QStringLiteral("optMode0"));
        optMode[0]->setToolTip(QStringLiteral("The Outlook data on this computer will be editable"));
        optMode[1] = named(new QRadioButton(QStringLiteral("Slave"), mode), QStringLiteral("optMode1"));
        optMode[1]->setToolTip(
            QStringLiteral("The Outlook data on this computer will be downloaded from the master"));
        auto* modeGroup = new QButtonGroup(mode);
        modeGroup->addButton(optMode[0], 0);
        modeGroup->addButton(optMode[1], 1);
        auto* modeLayout = new QHBoxLayout(mode);
        modeLayout->addWidget(optMode[0]);
        modeLayout->addWidget(optMode[1]);
        modeLayout->addStretch(1);

        auto* timer = group(tab, QStringLiteral("Sync Timer"), QStringLiteral("fraSyncTimer"));
        optSyncTimer[0] =
            named(new QRadioButton(QStringLiteral("Interval Sync"), timer), QStringLiteral("optSyncTimer0"));
        optSyncTimer[0]->setToolTip(QStringLiteral("This option will sync at a set interval (in minutes)"));
        optSyncTimer[1] =
            named(new QRadioButton(QStringLiteral("Timed Sync"), timer), QStringLiteral("optSyncTimer1"));
        optSyncTimer[1]->setToolTip(QStringLiteral("This option will sync at a set time each day"));
        auto* timerGroup = new QButtonGroup(timer);
        timerGroup->addButton(optSyncTimer[0], 0);
        timerGroup->addButton(optSyncTimer[1], 1);
        txtSync = lineEdit(timer, QStringLiteral("txtSync"));
        txtSync->setText(QStringLiteral("30"));
        txtSync->setMaximumWidth(80);
        lblSync = label(
            timer,
            QStringLiteral("Sync interval (between 0 and 40320, in minutes).  Enter zero if you want to sync "
                           "manually. No decimals."),
            QStringLiteral("lblSync"));
        lblSync->setWordWrap(true);
        cmbSyncTime = comboBox(timer, QStringLiteral("cmbSyncTime"), prefs::syncTimeList());
        cmbSyncTime->setMaxVisibleItems(16);
        lblSyncTime = label(timer, QStringLiteral("Sync Time"), QStringLiteral("lblSyncTime"));
        auto* timerLayout = new QGridLayout(timer);
        timerLayout->addWidget(optSyncTimer[0], 0, 0);
        timerLayout->addWidget(optSyncTimer[1], 0, 1);
        timerLayout->addWidget(lblSync, 1, 0, 1, 3);
        timerLayout->addWidget(txtSync, 2, 0);
        timerLayout->addWidget(lblSyncTime, 3, 0);
        timerLayout->addWidget(cmbSyncTime, 3, 1);
        timerLayout->setColumnStretch(2, 1);

        auto* filters =
            group(tab, QStringLiteral("Sync and Import/Export Filters"), QStringLiteral("fraFilters"));
        cmdModify = named(new QPushButton(QStringLiteral("Modify"), filters), QStringLiteral("cmdModify"));
        cmdModify->setToolTip(QStringLiteral("Click here to define your own criteria for private records"));
        auto* filtersLayout = new QHBoxLayout(filters);
        filtersLayout->addWidget(cmdModify);
        filtersLayout->addStretch(1);
        const auto hiddenBox = [&](const QString& name) {
            QLineEdit* box = lineEdit(filters, name);
            box->hide();
            return box;
        };
        txtExportContactSQL = hiddenBox(QStringLiteral("txtExportContactSQL"));
        txtExportCalendarSQL = hiddenBox(QStringLiteral("txtExportCalendarSQL"));
        txtExportTasksSQL = hiddenBox(QStringLiteral("txtExportTasksSQL"));
        txtExportNotesSQL = hiddenBox(QStringLiteral("txtExportNotesSQL"));
        txtImportContactSQL = hiddenBox(QStringLiteral("txtImportContactSQL"));
        txtImportCalendarSQL = hiddenBox(QStringLiteral("txtImportCalendarSQL"));
        txtImportTasksSQL = hiddenBox(QStringLiteral("txtImportTasksSQL"));
        txtImportNotesSQL = hiddenBox(QStringLiteral("txtImportNotesSQL"));
        txtCalendarRange = hiddenBox(QStringLiteral("txtCalendarRange"));
        txtCalendarRange->setText(QStringLiteral("6"));

        auto* right = new QVBoxLayout;
        right->addWidget(items);
        right->addWidget(mode);
        right->addWidget(timer);
        right->addWidget(filters);
        right->addStretch(1);
        auto* columns = new QHBoxLayout;
        columns->addWidget(server, 1);
        columns->addLayout(right, 1);
        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(chkSync);
        layout->addLayout(columns, 1);
    }

    // Appointment Colors
    {
        QWidget* tab = fmeTab[5];
        chkApptColor =
            checkBox(tab, QStringLiteral("chkApptColor"), QStringLiteral("Color appointments on every sync"));
        auto* grid = new QGridLayout;
        const QStringList colours = prefs::labelColourNames();
        for (int i = 0; i <= 10; ++i) {
            const size_t at = static_cast<size_t>(i);
            lblColor[at] = label(tab, i == 0 ? QStringLiteral("#0 No Color") : QStringLiteral("#%1").arg(i),
                                 QStringLiteral("lblColor%1").arg(i));
            lblColor[at]->setToolTip(colours[i]);
            lblColor[at]->setMinimumWidth(90);
            auto* swatch = new QLabel(tab);
            QPixmap pixmap(14, 14);
            pixmap.fill(QColor(prefs::labelColourHex(i)));
            swatch->setPixmap(pixmap);
            swatch->setToolTip(colours[i]);
            txtApptSQL[at] = lineEdit(tab, QStringLiteral("txtApptSQL%1").arg(i));
            txtApptSQL[at]->setMinimumWidth(360);
            grid->addWidget(swatch, i, 0);
            grid->addWidget(lblColor[at], i, 1);
            grid->addWidget(txtApptSQL[at], i, 2);
        }
        grid->setColumnStretch(2, 1);
        auto* note = label(tab, QStringLiteral("Rows in bold are the label colors used by QEL Days."));
        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(chkApptColor);
        layout->addLayout(grid);
        layout->addWidget(note);
        layout->addStretch(1);
    }

    // VOIP
    {
        QWidget* tab = fmeTab[6];
        chkVonage =
            checkBox(tab, QStringLiteral("chkVonage"),
                     QStringLiteral(
                         "Enable Vonage Click-2-Call integration.  Double click a phone number to invoke."));
        txtUserName = lineEdit(tab, QStringLiteral("txtUserName"));
        txtPardine = lineEdit(tab, QStringLiteral("txtPardine"));
        txtPhoneNumber = lineEdit(tab, QStringLiteral("txtPhoneNumber"));
        Vonage = label(tab, QStringLiteral("<a href=\"%1\">www.vonage.com</a>").arg(kVonageSite),
                       QStringLiteral("Vonage"));
        Vonage->setTextFormat(Qt::RichText);
        Vonage->setCursor(Qt::PointingHandCursor);
        auto* account = new QGridLayout;
        account->addWidget(label(tab, QStringLiteral("User Name")), 0, 0);
        account->addWidget(txtUserName, 0, 1);
        account->addWidget(label(tab, QStringLiteral("Password")), 1, 0);
        account->addWidget(txtPardine, 1, 1);
        account->addWidget(label(tab, QStringLiteral("Vonage Number")), 2, 0);
        account->addWidget(txtPhoneNumber, 2, 1);
        account->addWidget(
            label(tab, QStringLiteral("Must include 1 + area code + seven digit number with NO spaces")), 3,
            1);
        account->setColumnStretch(2, 1);

        auto* copy = group(tab, QStringLiteral("Copy-2-Call Hotkey"), QStringLiteral("fraCopy2Call"));
        chkCopy2Call = checkBox(copy, QStringLiteral("chkCopy2Call"), QStringLiteral("Enable Copy-2-Call"));
        copy->setLayout(hotkeyBlock(copy, chkCopy2Call, chkModCopy, QStringLiteral("chkModCopy"),
                                    cmbHotkeyCopy, QStringLiteral("cmbHotkeyCopy"), cmbHotkeyValueCopy,
                                    QStringLiteral("cmbHotkeyValueCopy")));

        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(chkVonage);
        layout->addLayout(account);
        layout->addWidget(copy);
        layout->addWidget(Vonage);
        layout->addStretch(1);
    }

    // Cell Phone
    {
        QWidget* tab = fmeTab[7];
        const QStringList captions = prefs::cellFieldCaptions();
        auto* fields = group(tab, QStringLiteral("Fields"), QStringLiteral("fraCellFields"));
        auto* grid = new QGridLayout(fields);
        for (int i = 0; i < 19; ++i) {
            chkCell[static_cast<size_t>(i)] =
                checkBox(fields, QStringLiteral("chkCell%1").arg(i), captions[i]);
            grid->addWidget(chkCell[static_cast<size_t>(i)], i % 7, i / 7);
        }
        txtCellSQL = lineEdit(tab, QStringLiteral("txtCellSQL"));
        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(fields);
        layout->addWidget(label(tab, QStringLiteral("Additional Criteria (use an SQL-style filter)")));
        layout->addWidget(txtCellSQL);
        layout->addWidget(
            label(tab, QStringLiteral("e.g. [Categories] = 'Work', would only include your work contacts")));
        layout->addStretch(1);
    }

    // MISC
    {
        QWidget* tab = fmeTab[8];
        auto* other = group(tab, QStringLiteral("Other Settings"), QStringLiteral("fraOtherSettings"));
        chkRelease = checkBox(other, QStringLiteral("chkRelease"),
                              QStringLiteral("Release the connection to Outlook while Vantrel is minimized"));
        auto* otherLayout = new QVBoxLayout(other);
        otherLayout->addWidget(chkRelease);

        auto* email = group(tab, QStringLiteral("Click2Email Hotkey"), QStringLiteral("fraClick2Email"));
        chkEmail = checkBox(email, QStringLiteral("chkEmail"), QStringLiteral("Turn on Copy2Email hotkey"));
        email->setLayout(hotkeyBlock(email, chkEmail, chkModEmail, QStringLiteral("chkModEmail"),
                                     cmbHotkeyEmail, QStringLiteral("cmbHotkeyEmail"), cmbHotkeyEmailValue,
                                     QStringLiteral("cmbHotkeyEmailValue")));

        auto* directions =
            group(tab, QStringLiteral("Driving Directions"), QStringLiteral("fraDrivingDirections"));
        cmbFromAddress = comboBox(directions, QStringLiteral("cmbFromAddress"), prefs::fromAddressNames());
        lblMe = label(directions, QStringLiteral("The contact currently set as 'you' is: "),
                      QStringLiteral("lblMe"));
        lblMe->setWordWrap(true);
        auto* directionsLayout = new QGridLayout(directions);
        directionsLayout->addWidget(label(directions, QStringLiteral("Start directions from your:")), 0, 0);
        directionsLayout->addWidget(cmbFromAddress, 0, 1);
        directionsLayout->setColumnStretch(2, 1);
        directionsLayout->addWidget(lblMe, 1, 0, 1, 3);

        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(other);
        layout->addWidget(email);
        layout->addWidget(directions);
        layout->addStretch(1);
    }

    // The two password boxes mask with "*".
    for (QLineEdit* secret : {txtOlvex, txtPardine}) {
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
    enableAll({cmbHotkey,       cmbHotkeyCopy,   cmbHotkeyEmail, chkCopy2Call, txtUserName,
               txtPardine,      txtPhoneNumber,  chkPassive,     optMode[0],   optMode[1],
               optSyncTimer[0], optSyncTimer[1], cmbSyncTime,    txtHost,      txtUser,
               txtOlvex,        txtPort,         txtSync,        chkAutoScan,  cmdTestFTP},
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
    if (autostart::isEnabled())
        cmdStartup->setText(kDontLoadCaption);

    for (QComboBox* list : {cmbHotkey, cmbHotkeyCopy, cmbSyncTime, cmbWebEmail, cmbField, cmbFromAddress})
        list->setCurrentIndex(0);
    // The copy-to-e-mail hot key starts with no key chosen.
    cmbHotkeyEmail->setCurrentIndex(-1);
    cmbColor[0]->setCurrentIndex(8);
    cmbColor[1]->setCurrentIndex(9);
    cmbColor[2]->setCurrentIndex(2);

    const SettingsModel& m = mSettings;
    chkConfirm->setChecked(m.confirmExit);
    chkSubFolders->setChecked(m.subFolders);
    loadHotKey(m.restoreKey, chkHotkey, chkMod, cmbHotkey);
    loadIndex(cmbWebEmail, m.webEmail);
    chkInvert->setChecked(m.invertWebEmail);

    txtCalendarRoot->setText(m.calendarFolder.root);
    txtCalendar->setText(m.calendarFolder.folder);
    txtTaskRoot->setText(m.tasksFolder.root);
    txtTask->setText(m.tasksFolder.folder);
    txtNotesRoot->setText(m.notesFolder.root);
    txtNotes->setText(m.notesFolder.folder);

    loadIndex(cmbField, m.customField);
    chkQel->setChecked(m.checkForQELDay);
    chkRemind->setChecked(m.qelDayRemind);
    chkAutoScan->setChecked(m.qelDayScan);
    chkSubject->setChecked(m.qelDaySubject);
    chkPast->setChecked(m.qelDayPast);
    for (size_t i = 0; i < cmbColor.size(); ++i)
        loadIndex(cmbColor[i], m.specialDayColours[i]);

    chkDebug->setChecked(m.debugMode());

    chkSync->setChecked(m.sync);
    optSyncTimer[m.intervalSync ? 0 : 1]->setChecked(true);
    txtSync->setText(m.interval);
    const int timeAt = cmbSyncTime->findText(m.syncTime);
    if (timeAt >= 0)
        cmbSyncTime->setCurrentIndex(timeAt);
    optMode[m.master ? 0 : 1]->setChecked(true);
    for (size_t i = 0; i < chkData.size(); ++i)
        chkData[i]->setChecked(m.syncData[i]);
    txtHost->setText(m.host);
    txtUser->setText(m.user);
    txtOlvex->setText(m.password);
    txtPort->setText(m.port);
    chkPassive->setChecked(m.passiveMode);
    for (size_t i = 0; i < 4; ++i) {
        exportFilterBoxes()[i]->setText(m.filters.exportFilter[i]);
        importFilterBoxes()[i]->setText(m.filters.importFilter[i]);
    }
    txtCalendarRange->setText(m.filters.dateRange);

    chkApptColor->setChecked(m.apptColorSync);
    for (size_t i = 0; i < txtApptSQL.size(); ++i)
        txtApptSQL[i]->setText(m.colourFilters[i]);

    chkVonage->setChecked(m.enableVonage);
    txtUserName->setText(m.voipUserName);
    txtPardine->setText(m.voipPassword);
    txtPhoneNumber->setText(m.phoneNumber);
    loadHotKey(m.copy2CallKey, chkCopy2Call, chkModCopy, cmbHotkeyCopy);

    for (size_t i = 0; i < chkCell.size(); ++i)
        chkCell[i]->setChecked(m.cellFields[i]);
    txtCellSQL->setText(m.cellSQL);

    loadHotKey(m.emailKey, chkEmail, chkModEmail, cmbHotkeyEmail);
    loadIndex(cmbFromAddress, m.fromAddressType);
    chkRelease->setChecked(m.release);

    showMe(m.me());

    // Setting a value fires its handler only when the value changes; run them all once so that
    // every dependent control matches the loaded values.
    runDependencies();
    cmdPickCalendar->setEnabled(mNameSpace != nullptr);
    cmdPickTask->setEnabled(mNameSpace != nullptr);
    cmdPickNotes->setEnabled(mNameSpace != nullptr);
}

void frmPrefs::storeControls() {
    SettingsModel& m = mSettings;
    m.confirmExit = chkConfirm->isChecked();
    m.subFolders = chkSubFolders->isChecked();
    m.restoreKey = hotKeyOf(chkHotkey, chkMod, cmbHotkey);
    m.webEmail = cmbWebEmail->currentIndex();
    m.invertWebEmail = chkInvert->isChecked();

    m.calendarFolder = {txtCalendarRoot->text(), txtCalendar->text()};
    m.tasksFolder = {txtTaskRoot->text(), txtTask->text()};
    m.notesFolder = {txtNotesRoot->text(), txtNotes->text()};

    m.customField = cmbField->currentIndex();
    m.checkForQELDay = chkQel->isChecked();
    m.qelDayRemind = chkRemind->isChecked();
    m.qelDayScan = chkAutoScan->isChecked();
    m.qelDaySubject = chkSubject->isChecked();
    m.qelDayPast = chkPast->isChecked();
    m.specialDayColours = specialDayColours();

    m.setDebugMode(chkDebug->isChecked());

    m.sync = chkSync->isChecked();
    m.intervalSync = optSyncTimer[0]->isChecked();
    m.interval = txtSync->text();
    m.syncTime = cmbSyncTime->currentText();
    m.master = optMode[0]->isChecked();
    for (size_t i = 0; i < chkData.size(); ++i)
        m.syncData[i] = chkData[i]->isChecked();
    m.host = txtHost->text();
    m.user = txtUser->text();
    m.password = txtOlvex->text();
    m.port = txtPort->text();
    m.passiveMode = chkPassive->isChecked();
    for (size_t i = 0; i < 4; ++i) {
        m.filters.exportFilter[i] = exportFilterBoxes()[i]->text();
        m.filters.importFilter[i] = importFilterBoxes()[i]->text();
    }
    m.filters.dateRange = txtCalendarRange->text();

    m.apptColorSync = chkApptColor->isChecked();
    for (size_t i = 0; i < txtApptSQL.size(); ++i)
        m.colourFilters[i] = txtApptSQL[i]->text();

    m.enableVonage = chkVonage->isChecked();
    m.voipUserName = txtUserName->text();
    m.voipPassword = txtPardine->text();
    m.phoneNumber = txtPhoneNumber->text();
    m.copy2CallKey = hotKeyOf(chkCopy2Call, chkModCopy, cmbHotkeyCopy);

    for (size_t i = 0; i < chkCell.size(); ++i)
        m.cellFields[i] = chkCell[i]->isChecked();
    m.cellSQL = txtCellSQL->text();

    m.emailKey = hotKeyOf(chkEmail, chkModEmail, cmbHotkeyEmail);
    m.fromAddressType = cmbFromAddress->currentIndex();
    m.release = chkRelease->isChecked();
}

std::array<QLineEdit*, 4> frmPrefs::exportFilterBoxes() const {
    return {txtExportContactSQL, txtExportCalendarSQL, txtExportTasksSQL, txtExportNotesSQL};
}

std::array<QLineEdit*, 4> frmPrefs::importFilterBoxes() const {
    return {txtImportContactSQL, txtImportCalendarSQL, txtImportTasksSQL, txtImportNotesSQL};
}

void frmPrefs::runDependencies() {
    chkHotkey_Click();
    chkEmail_Click();
    chkVonage_Click();
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

void frmPrefs::chkHotkey_Click() {
    const bool on = chkHotkey->isChecked();
    enableAll(chkMod, on);
    cmbHotkey->setEnabled(on);
}

void frmPrefs::chkEmail_Click() {
    const bool on = chkEmail->isChecked();
    enableAll(chkModEmail, on);
    cmbHotkeyEmail->setEnabled(on);
}

void frmPrefs::chkVonage_Click() {
    const bool on = chkVonage->isChecked();
    enableAll({txtUserName, txtPardine, txtPhoneNumber, chkCopy2Call}, on);
    chkCopy2Call_Click();
}

void frmPrefs::chkCopy2Call_Click() {
    const bool on = chkCopy2Call->isEnabled() && chkCopy2Call->isChecked();
    enableAll(chkModCopy, on);
    cmbHotkeyCopy->setEnabled(on);
}

void frmPrefs::chkSync_Click() {
    const bool on = chkSync->isChecked();
    enableAll({txtSync, optMode[0], optMode[1], txtHost, txtUser, txtOlvex, chkPassive, chkData[0],
               chkData[1], optSyncTimer[0], optSyncTimer[1], cmbSyncTime, chkAutoScan, txtPort},
              on);
    // The connection test needs the sync client, which the program hands in through testFtp.
    cmdTestFTP->setEnabled(on && static_cast<bool>(testFtp));
    // Tasks and notes are not synced (yet): their boxes are never enabled.
    chkData[2]->setEnabled(false);
    chkData[3]->setEnabled(false);
}

void frmPrefs::optSyncTimer_Click() {
    const bool interval = optSyncTimer[0]->isChecked();
    lblSync->setVisible(interval);
    txtSync->setVisible(interval);
    cmbSyncTime->setVisible(!interval);
    lblSyncTime->setVisible(!interval);
}

void frmPrefs::chkDebug_Click() {
    mSettings.setDebugMode(chkDebug->isChecked());
    Q_EMIT debugModeChanged(chkDebug->isChecked());
}

void frmPrefs::cmbColor_Click() {
    markColourRows(specialDayColours());
}

std::array<int, 3> frmPrefs::specialDayColours() const {
    return {cmbColor[0]->currentIndex(), cmbColor[1]->currentIndex(), cmbColor[2]->currentIndex()};
}

void frmPrefs::markColourRows(const std::array<int, 3>& colours) {
    for (int colour = 1; colour <= 10; ++colour) {
        const bool used = std::find(colours.begin(), colours.end(), colour) != colours.end();
        QLabel* caption = lblColor[static_cast<size_t>(colour)];
        caption->setFrameShape(used ? QFrame::Box : QFrame::NoFrame);
        QFont font = caption->font();
        font.setBold(used);
        caption->setFont(font);
        QLineEdit* filter = txtApptSQL[static_cast<size_t>(colour)];
        QPalette palette = filter->palette();
        palette.setColor(QPalette::Text, used ? QColor(Qt::red) : QColor(Qt::black));
        filter->setPalette(palette);
    }
}

void frmPrefs::showMe(const QString& name) {
    lblMe->setText(QStringLiteral("The contact currently set as 'you' is: ") +
                   (name.isEmpty() ? QStringLiteral("Not Set!") : name));
}

int frmPrefs::hotkeyCode(const QComboBox* list) {
    const int at = list->currentIndex();
    if (at < 0 || at >= prefs::kHotKeyCount)
        return 0;
    return prefs::hotKeyList()[static_cast<size_t>(at)].code;
}

// --- Debug carrier ---------------------------------------------------------------------------

bool frmPrefs::debugModeOn() const {
    return mSettings.debugMode();
}

void frmPrefs::setCarrierText(const QString& text) {
    // Each message is one change of the box, also when it repeats the one before.
    if (txtDebug->text() == text) {
        const QSignalBlocker quiet(txtDebug);
        txtDebug->clear();
    }
    txtDebug->setText(text);
}

void frmPrefs::txtDebug_Change() {
    if (!txtDebug->text().isEmpty())
        appendDebugText(txtDebug->text());
}

void frmPrefs::writeDebugLine(const QString& text) {
    setCarrierText(text + QStringLiteral("\r\n"));
}

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

std::optional<int> frmPrefs::checkedPort() {
    const auto port = wholeNumberValue(txtPort->text());
    if (!port) {
        say(QStringLiteral("Please choose a number for the FTP port!  This is typically port 21."));
        return std::nullopt;
    }
    if (*port < 1 || *port > 65535) {
        say(QStringLiteral("Please choose a port number between 1 and 65535!"));
        return std::nullopt;
    }
    return static_cast<int>(*port);
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

    if (chkEmail->isChecked()) {
        if (cmbHotkeyEmail->currentIndex() < 0) {
            say(QStringLiteral("Please select a Copy2Email hotkey!"));
            return;
        }
        if (!anyChecked(chkModEmail)) {
            say(QStringLiteral("Please select at least one modifier for Copy2Email!"));
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
        bool sameModifiers = true;
        for (size_t i = 0; i < 4; ++i)
            sameModifiers = sameModifiers && chkModCopy[i]->isChecked() == chkMod[i]->isChecked();
        // Refused even while the restore hot key is off: turning it on later would clash.
        if (sameModifiers && cmbHotkeyCopy->currentIndex() == cmbHotkey->currentIndex()) {
            say(QStringLiteral(
                "The same hotkey is being used to restore Vantrel. Please choose a new hotkey"));
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

void frmPrefs::cmdTestFTP_Click() {
    if (!testFtp)
        return;
    if (!checkedPort())
        return;
    cmdTestFTP->setEnabled(false);
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool connected = testFtp();
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    cmdTestFTP->setEnabled(true);
    if (connected)
        say(QStringLiteral("FTP settings are okay!"));
    else
        say(QStringLiteral(
            "Could not connect to the FTP: Please check the host, user name, port number or password. "
            "Also try toggling passive mode."));
}

void frmPrefs::cmdStartup_Click() {
    QString error;
    if (cmdStartup->text() == kLoadCaption) {
        if (!autostart::enable(&error)) {
            say(QStringLiteral("Vantrel could not be set to load when Windows starts: ") + error);
            return;
        }
        cmdStartup->setText(kDontLoadCaption);
        say(QStringLiteral("Vantrel will now load when Windows starts."));
    } else {
        if (!autostart::disable(&error)) {
            say(QStringLiteral("Vantrel could not be kept from loading when Windows starts: ") + error);
            return;
        }
        cmdStartup->setText(kLoadCaption);
        say(QStringLiteral("Vantrel will not load when Windows starts."));
    }
}

void frmPrefs::pickFolder(int itemType, QLineEdit* rootBox, QLineEdit* folderBox, const QString& wrongType) {
    if (!mNameSpace)
        return;
    ol::FolderPtr folder;
    try {
        folder = mNameSpace->PickFolder();
    } catch (const ol::Error& e) {
        say(e.message());
        return;
    }
    if (!folder)
        return;
    if (folder->DefaultItemType() != itemType) {
        say(wrongType);
        return;
    }
    // The settings name a folder by its top-level folder and its name inside it; a folder deeper
    // down could not be found again, so it is refused here rather than by OK.
    const ol::FolderPtr parent = folder->Parent();
    if (!parent || !parent->isTopLevel()) {
        say(QStringLiteral(
            "Please select a folder directly inside a top-level folder (such as Personal Folders)."));
        return;
    }
    rootBox->setText(parent->Name());
    folderBox->setText(folder->Name());
}

void frmPrefs::cmdPickCalendar_Click() {
    pickFolder(ol::olAppointmentItem, txtCalendarRoot, txtCalendar,
               QStringLiteral("Please select a calendar folder type."));
}

void frmPrefs::cmdPickTask_Click() {
    pickFolder(ol::olTaskItem, txtTaskRoot, txtTask, QStringLiteral("Please select a task folder type."));
}

void frmPrefs::cmdPickNotes_Click() {
    pickFolder(ol::olNoteItem, txtNotesRoot, txtNotes, QStringLiteral("Please select a notes folder type."));
}

void frmPrefs::cmdModify_Click() {
    frmFilter filter(this);
    const std::pair<QLineEdit*, QLineEdit*> boxes[] = {
        {txtExportContactSQL, filter.txtExportContactSQL},
        {txtExportCalendarSQL, filter.txtExportCalendarSQL},
        {txtExportTasksSQL, filter.txtExportTasksSQL},
        {txtExportNotesSQL, filter.txtExportNotesSQL},
        {txtImportContactSQL, filter.txtImportContactSQL},
        {txtImportCalendarSQL, filter.txtImportCalendarSQL},
        {txtImportTasksSQL, filter.txtImportTasksSQL},
        {txtImportNotesSQL, filter.txtImportNotesSQL},
    };
    for (const auto& [mine, theirs] : boxes)
        theirs->setText(mine->text());
    filter.txtDateRange->setText(txtCalendarRange->text());
    if (dialogs().exec(filter) != QDialog::Accepted)
        return;
    for (const auto& [mine, theirs] : boxes)
        mine->setText(theirs->text());
    txtCalendarRange->setText(QString::number(filter.months()));
}

void frmPrefs::Vonage_Click() {
    if (!shell().open(kVonageSite))
        say(QStringLiteral("The web site ") + kVonageSite + QStringLiteral(" could not be opened."));
}

} // namespace qel
