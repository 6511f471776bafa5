// The table of the main window's commands, and how the window shows those still to come.

#include "Commands.h"
#include "Vantrel.h"

#include "core/DebugLog.h"
#include "editing/EditingSupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <iterator>

namespace qel::commands {

namespace {

constexpr State Built = State::Built;
constexpr State NotYet = State::NotYet;

constexpr Command kCommands[] = {
    // File
    {"menuNotes", Built, "Viewing the notes"},
    {"menuCategory", Built, "Editing the categories"},
    {"menuUser", Built, "Editing the user fields"},
    {"menuOutlook", Built, "Opening the contact in the store's window"},
    {"menuEdit", Built, "Editing a contact"},
    {"menuAdd", Built, "Adding a contact"},
    {"menuRemove", Built, "Removing a contact"},
    {"menuPrint", Built, "Printing a contact"},
    {"menuExportVcard", Built, "Exporting contacts as vCards"},
    {"menuImportVcard", Built, "Importing vCards"},
    {"menuExportIcs", Built, "Exporting the calendar as iCalendar"},
    {"menuExit", Built, "Exit"},
    // Tools
    {"menuSearch", Built, "Searching"},
    {"menuRemind", Built, "Setting a reminder"},
    {"menuCopy", Built, "Copying a contact to the clipboard"},
    {"menuCopyText", Built, "Copying a contact to a text editor"},
    {"menuAppointments", Built, "Colouring appointments"},
    {"menuMe", Built, "Marking the 'Me' contact"},
    {"menuCell", Built, "Creating the cell phone list"},
    {"menuExport", Built, "Exporting"},
    {"menuImport", Built, "Importing"},
    {"menuSync", Built, "Syncing"},
    {"menuStatus", Built, "Viewing the last sync status"},
    {"menuDebug", Built, "Opening the debug file"},
    {"menuPrefs", Built, "Preferences"},
    // QEL Day
    {"menuQELDay", Built, "Adding and editing QEL Days"},
    {"menuRescan", Built, "Rescanning QEL Days"},
    {"menuQELRemove", Built, "Removing QEL Days"},
    {"menuUpcomingQELDay", Built, "Looking for upcoming QEL Days"},
    // Help
    {"menuInstructions", Built, "The help file"},
    {"menuUpdates", Built, "Checking for updates"},
    {"menuWeb", Built, "Opening the web site"},
    {"menuAbout", Built, "The About window"},
    // The tray's menu
    {"menuTrayShow", Built, "Show"},
    {"menuTrayGotoLetter", Built, "Going to a letter"},
    {"menuTrayUpcomingQELDay", Built,
     "Showing the window for the upcoming QEL Days"}, // then menuUpcomingQELDay
    {"menuTraySync", Built, "Sync"},
    {"menuTrayPrefs", Built, "Preferences"},
    {"menuTrayUpdates", Built, "Checking for updates"},
    {"menuTrayExit", Built, "Exit"},
    // The card and the global hot keys
    {"cmdQELDay", Built, "Adding and editing QEL Days"},
    {"txtNumber", Built, "Calling or texting a number"},
    {"lstEmail", Built, "Writing an e-mail"}, // the double-click outside editing
    {"txtBusinessAddress", Built, "Showing an address on a map"},
    {"txtHomeAddress", Built, "Showing an address on a map"},
    {"txtOtherAddress", Built, "Showing an address on a map"},
    {"hotCopy2Call", Built, "Calling the number on the clipboard"},
    {"hotEmail", Built, "Writing to the address on the clipboard"},
};

} // namespace

const Command* find(const QString& objectName) {
    QString name = objectName;
    while (!name.isEmpty() && name.back().isDigit())
        name.chop(1);
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

bool isBuilt(const QString& objectName) {
    const Command* command = find(objectName);
    return !command || command->state == State::Built;
}

QString notYetText(const QString& objectName) {
    const Command* command = find(objectName);
    return QLatin1String(command ? command->what : "This command") + QStringLiteral(" is not available yet.");
}

} // namespace qel::commands

namespace qel {

void Vantrel::showCommandStates() {
    for (QMenu* menu : findChildren<QMenu*>())
        menu->setToolTipsVisible(true);
    for (QAction* action : findChildren<QAction*>()) {
        if (action->objectName().isEmpty() || commands::isBuilt(action->objectName()))
            continue;
        action->setEnabled(false);
        action->setToolTip(commands::notYetText(action->objectName()));
        action->setStatusTip(action->toolTip());
    }
    if (!commands::isBuilt(cmdQELDay->objectName())) {
        cmdQELDay->setEnabled(false); // it still shows that the contact has QEL Days
        cmdQELDay->setToolTip(QStringLiteral("This contact has QEL Days. ") +
                              commands::notYetText(cmdQELDay->objectName()));
    }
    // The card's double-clicks (the e-mail list's is connected with the editor's).
    auto* doubleClicks = new DoubleClickFilter(this);
    for (int i = 0; i < int(txtNumber.size()); ++i)
        doubleClicks->watch(txtNumber[size_t(i)], [this, i] { txtNumber_DblClick(i); });
    for (QPlainTextEdit* box : addressBoxes())
        doubleClicks->watch(box->viewport(), [this, box] { txtAddress_DblClick(box); });
}

bool Vantrel::notYet(const QString& command) {
    if (commands::isBuilt(command))
        return false;
    const QString text = commands::notYetText(command);
    debug(QLatin1Char(':') + text);
    lblMisc->setText(text);
    mMiscTicks = 0;
    MISCTimer->start();
    return true;
}

} // namespace qel
