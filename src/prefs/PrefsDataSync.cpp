// The preferences' "Outlook Data Sync" tab: its controls, their load from the settings and their way back,
// and its handlers.

#include "frmPrefs.h"

#include "PrefsLists.h"
#include "PrefsUi.h"
#include "core/Named.h"
#include "core/NumberText.h"
#include "exchange/frmFilter.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QButtonGroup>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace qel {

using namespace prefsui;

void frmPrefs::buildDataSyncTab(QWidget* tab) {
    chkSync = checkBox(tab, QStringLiteral("chkSync"), QStringLiteral("Enable Outlook Data Sync"));

    auto* server = group(tab, QStringLiteral("FTP Server"), QStringLiteral("fraFTP"));
    txtHost = lineEdit(server, QStringLiteral("txtHost"));
    txtUser = lineEdit(server, QStringLiteral("txtUser"));
    txtOlvex = lineEdit(server, QStringLiteral("txtOlvex"));
    txtPort = lineEdit(server, QStringLiteral("txtPort"));
    txtPort->setText(QStringLiteral("21"));
    txtPort->setMaximumWidth(80);
    chkPassive = checkBox(server, QStringLiteral("chkPassive"), QStringLiteral("Passive Mode"));
    chkTLS = checkBox(server, QStringLiteral("chkTLS"), QStringLiteral("Use TLS (FTPS)"));
    chkTLS->setToolTip(QStringLiteral("Encrypt the connection to the FTP server, the password included"));
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
    auto* modes = new QHBoxLayout;
    modes->addWidget(chkPassive);
    modes->addWidget(chkTLS);
    modes->addStretch(1);
    serverGrid->addLayout(modes, 4, 0, 1, 2);
    serverGrid->addWidget(cmdTestFTP, 5, 0, 1, 2, Qt::AlignLeft);
    serverGrid->addWidget(testNote, 6, 0, 1, 2);
    serverGrid->setRowStretch(7, 1);

    auto* items = group(tab, QStringLiteral("Items"), QStringLiteral("fraItems"));
    auto* itemsLayout = new QGridLayout(items);
    auto* itemsCaption = label(items, QStringLiteral("Choose what items to sync (check all that apply):"));
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

void frmPrefs::loadDataSyncTab() {
    const SettingsModel& m = mSettings;
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
    chkTLS->setChecked(m.useTLS);
    for (size_t i = 0; i < 4; ++i) {
        exportFilterBoxes()[i]->setText(m.filters.exportFilter[i]);
        importFilterBoxes()[i]->setText(m.filters.importFilter[i]);
    }
    txtCalendarRange->setText(m.filters.dateRange);
}

void frmPrefs::storeDataSyncTab() {
    SettingsModel& m = mSettings;
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
    m.useTLS = chkTLS->isChecked();
    for (size_t i = 0; i < 4; ++i) {
        m.filters.exportFilter[i] = exportFilterBoxes()[i]->text();
        m.filters.importFilter[i] = importFilterBoxes()[i]->text();
    }
    m.filters.dateRange = txtCalendarRange->text();
}

void frmPrefs::chkSync_Click() {
    const bool on = chkSync->isChecked();
    enableAll({txtSync, optMode[0], optMode[1], txtHost, txtUser, txtOlvex, chkPassive, chkTLS, chkData[0],
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

FtpSettings frmPrefs::ftpSettings() const {
    return qel::ftpSettings(txtHost->text(), txtUser->text(), txtOlvex->text(), txtPort->text(),
                            chkPassive->isChecked(), chkTLS->isChecked());
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

void frmPrefs::cmdModify_Click() {
    SyncFilters current;
    for (size_t i = 0; i < 4; ++i) {
        current.exportFilter[i] = exportFilterBoxes()[i]->text();
        current.importFilter[i] = importFilterBoxes()[i]->text();
    }
    current.dateRange = txtCalendarRange->text();
    frmFilter filter(this);
    filter.loadFilters(current);
    if (dialogs().exec(filter) != QDialog::Accepted)
        return;
    const SyncFilters edited = filter.filters();
    for (size_t i = 0; i < 4; ++i) {
        exportFilterBoxes()[i]->setText(edited.exportFilter[i]);
        importFilterBoxes()[i]->setText(edited.importFilter[i]);
    }
    txtCalendarRange->setText(edited.dateRange);
}

std::array<QLineEdit*, 4> frmPrefs::exportFilterBoxes() const {
    return {txtExportContactSQL, txtExportCalendarSQL, txtExportTasksSQL, txtExportNotesSQL};
}

std::array<QLineEdit*, 4> frmPrefs::importFilterBoxes() const {
    return {txtImportContactSQL, txtImportCalendarSQL, txtImportTasksSQL, txtImportNotesSQL};
}

} // namespace qel
