// The preferences' "CardDAV / CalDAV" tab: the server, the login, the address book and calendar
// picked from what discovery finds, the local folders they pair with, and its handlers.

#include "frmPrefs.h"

#include "PrefsUi.h"
#include "core/Named.h"
#include "dav/CardDavSync.h"
#include "dav/DavAccount.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QGridLayout>

namespace qel {

using namespace prefsui;

namespace {
// Puts `address` into the list (by its data) and selects it; an address not found yet is shown
// as itself, so a stored choice survives until discovery runs again.
void select(QComboBox* list, const QString& address) {
    if (address.isEmpty()) {
        list->setCurrentIndex(-1);
        return;
    }
    int at = list->findData(address);
    if (at < 0) {
        list->addItem(address, address);
        at = list->count() - 1;
    }
    list->setCurrentIndex(at);
}

QString chosen(const QComboBox* list) {
    return list->currentIndex() < 0 ? QString() : list->currentData().toString();
}
} // namespace

void frmPrefs::buildCardDavTab(QWidget* tab) {
    chkDavSync = checkBox(tab, QStringLiteral("chkDavSync"), QStringLiteral("Sync with the server"));
    txtDavServer = lineEdit(tab, QStringLiteral("txtDavServer"));
    txtDavServer->setPlaceholderText(QStringLiteral("https://dav.example.org/"));
    txtDavUser = lineEdit(tab, QStringLiteral("txtDavUser"));
    txtDavPassword = lineEdit(tab, QStringLiteral("txtDavPassword"));
    cmdDavFind =
        named(new QPushButton(QStringLiteral("Find Address Books"), tab), QStringLiteral("cmdDavFind"));
    cmbDavAddressBook = named(new QComboBox(tab), QStringLiteral("cmbDavAddressBook"));
    cmbDavCalendar = named(new QComboBox(tab), QStringLiteral("cmbDavCalendar"));
    txtDavContactFolder = lineEdit(tab, QStringLiteral("txtDavContactFolder"));
    txtDavContactFolder->setPlaceholderText(QStringLiteral("the contact folder in use"));
    txtDavCalendarFolder = lineEdit(tab, QStringLiteral("txtDavCalendarFolder"));
    txtDavCalendarFolder->setPlaceholderText(QStringLiteral("the calendar folder in use"));
    cmdDavPickContacts =
        named(new QPushButton(QStringLiteral("..."), tab), QStringLiteral("cmdDavPickContacts"));
    cmdDavPickContacts->setToolTip(QStringLiteral("Select Contact Folder"));
    cmdDavPickCalendar =
        named(new QPushButton(QStringLiteral("..."), tab), QStringLiteral("cmdDavPickCalendar"));
    cmdDavPickCalendar->setToolTip(QStringLiteral("Select Calendar Folder"));
    chkDavPublish = checkBox(tab, QStringLiteral("chkDavPublish"),
                             QStringLiteral("Publish the QEL Days to the calendar"));

    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(label(tab, QStringLiteral("Server")), row, 0);
    grid->addWidget(txtDavServer, row++, 1, 1, 2);
    grid->addWidget(label(tab, QStringLiteral("User Name")), row, 0);
    grid->addWidget(txtDavUser, row++, 1, 1, 2);
    grid->addWidget(label(tab, QStringLiteral("Password")), row, 0);
    grid->addWidget(txtDavPassword, row, 1);
    grid->addWidget(cmdDavFind, row++, 2);
    grid->addWidget(label(tab, QStringLiteral("Address Book")), row, 0);
    grid->addWidget(cmbDavAddressBook, row++, 1, 1, 2);
    grid->addWidget(label(tab, QStringLiteral("Contact Folder")), row, 0);
    grid->addWidget(txtDavContactFolder, row, 1);
    grid->addWidget(cmdDavPickContacts, row++, 2);
    grid->addWidget(label(tab, QStringLiteral("Calendar")), row, 0);
    grid->addWidget(cmbDavCalendar, row++, 1, 1, 2);
    grid->addWidget(label(tab, QStringLiteral("Calendar Folder")), row, 0);
    grid->addWidget(txtDavCalendarFolder, row, 1);
    grid->addWidget(cmdDavPickCalendar, row++, 2);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(chkDavSync);
    layout->addLayout(grid);
    layout->addWidget(chkDavPublish);
    layout->addWidget(
        label(tab, QStringLiteral("Contacts changed on both sides are kept twice: the other version "
                                  "gets the category \"%1\".")
                       .arg(dav::kConflictCategory)));
    layout->addStretch(1);

    connect(chkDavSync, &QCheckBox::toggled, this, &frmPrefs::chkDavSync_Click);
    connect(cmdDavFind, &QPushButton::clicked, this, &frmPrefs::cmdDavFind_Click);
    connect(cmdDavPickContacts, &QPushButton::clicked, this, &frmPrefs::cmdDavPickContacts_Click);
    connect(cmdDavPickCalendar, &QPushButton::clicked, this, &frmPrefs::cmdDavPickCalendar_Click);
}

void frmPrefs::loadCardDavTab() {
    const SettingsModel& m = mSettings;
    chkDavSync->setChecked(m.davSync);
    txtDavServer->setText(m.davServer);
    txtDavUser->setText(m.davUser);
    txtDavPassword->setText(m.davPassword);
    select(cmbDavAddressBook, m.davAddressBook);
    select(cmbDavCalendar, m.davCalendar);
    txtDavContactFolder->setText(m.davContactFolder);
    txtDavCalendarFolder->setText(m.davCalendarFolder);
    chkDavPublish->setChecked(m.davPublishQELDays);
}

void frmPrefs::storeCardDavTab() {
    SettingsModel& m = mSettings;
    m.davSync = chkDavSync->isChecked();
    m.davServer = txtDavServer->text().trimmed();
    m.davUser = txtDavUser->text();
    m.davPassword = txtDavPassword->text();
    m.davAddressBook = chosen(cmbDavAddressBook);
    m.davCalendar = chosen(cmbDavCalendar);
    m.davContactFolder = txtDavContactFolder->text().trimmed();
    m.davCalendarFolder = txtDavCalendarFolder->text().trimmed();
    m.davPublishQELDays = chkDavPublish->isChecked();
}

void frmPrefs::chkDavSync_Click() {
    const bool on = chkDavSync->isChecked();
    enableAll({txtDavServer, txtDavUser, txtDavPassword, cmdDavFind, cmbDavAddressBook, cmbDavCalendar,
               txtDavContactFolder, txtDavCalendarFolder, chkDavPublish},
              on);
    enableAll({cmdDavPickContacts, cmdDavPickCalendar}, on && mNameSpace != nullptr);
}

bool frmPrefs::checkDavFolders() {
    if (!mNameSpace)
        return true;
    const std::pair<QLineEdit*, int> folders[] = {{txtDavContactFolder, ol::olContactItem},
                                                  {txtDavCalendarFolder, ol::olAppointmentItem}};
    for (const auto& [box, type] : folders) {
        if (box->text().trimmed().isEmpty())
            continue; // the folder in use
        const QString error = dav::pairedFolder(mNameSpace, box->text(), nullptr, type).error;
        if (!error.isEmpty()) {
            say(QStringLiteral("CardDAV / CalDAV: ") + error);
            box->setFocus();
            return false;
        }
    }
    return true;
}

void frmPrefs::cmdDavPickContacts_Click() {
    if (const ol::FolderPtr folder =
            pickFolderOfType(ol::olContactItem, QStringLiteral("Please select a contact folder type.")))
        txtDavContactFolder->setText(folder->path());
}

void frmPrefs::cmdDavPickCalendar_Click() {
    if (const ol::FolderPtr folder =
            pickFolderOfType(ol::olAppointmentItem, QStringLiteral("Please select a calendar folder type.")))
        txtDavCalendarFolder->setText(folder->path());
}

void frmPrefs::cmdDavFind_Click() {
    dav::DavHttp http;
    http.setCredentials(txtDavUser->text(), txtDavPassword->text());
    http.setTimeouts(10, 20);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const dav::DavDiscovery found = dav::discover(http, QUrl(txtDavServer->text().trimmed()));
    QApplication::restoreOverrideCursor();
    if (!found.error.isEmpty()) {
        dialogs().message(found.error);
        return;
    }
    const QString book = chosen(cmbDavAddressBook);
    const QString calendar = chosen(cmbDavCalendar);
    cmbDavAddressBook->clear();
    for (const dav::DavCollection& c : found.addressBooks)
        cmbDavAddressBook->addItem(c.name, c.url.toString());
    cmbDavCalendar->clear();
    for (const dav::DavCollection& c : found.calendars)
        cmbDavCalendar->addItem(c.name, c.url.toString());
    // The earlier choice when it is still there, else the first found.
    select(cmbDavAddressBook, cmbDavAddressBook->findData(book) >= 0 || found.addressBooks.isEmpty()
                                  ? book
                                  : found.addressBooks.first().url.toString());
    select(cmbDavCalendar, cmbDavCalendar->findData(calendar) >= 0 || found.calendars.isEmpty()
                               ? calendar
                               : found.calendars.first().url.toString());
}

} // namespace qel
