// The preferences' "Data Folders" tab: its controls, their load from the settings and their way back,
// and its handlers.

#include "frmPrefs.h"

#include "PrefsUi.h"
#include "core/Named.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QButtonGroup>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace qel {

using namespace prefsui;

void frmPrefs::buildDataFoldersTab(QWidget* tab) {
    const auto folderGroup = [&](const QString& title, const QString& name, QLineEdit*& root,
                                 const QString& rootName, QLineEdit*& folder, const QString& folderName,
                                 QPushButton*& pick, const QString& pickName, const QString& pickCaption) {
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
    layout->addWidget(folderGroup(QStringLiteral("Task Folder"), QStringLiteral("fraTaskFolder"), txtTaskRoot,
                                  QStringLiteral("txtTaskRoot"), txtTask, QStringLiteral("txtTask"),
                                  cmdPickTask, QStringLiteral("cmdPickTask"),
                                  QStringLiteral("Select Task Folder")));
    layout->addWidget(folderGroup(QStringLiteral("Notes Folder"), QStringLiteral("fraNotesFolder"),
                                  txtNotesRoot, QStringLiteral("txtNotesRoot"), txtNotes,
                                  QStringLiteral("txtNotes"), cmdPickNotes, QStringLiteral("cmdPickNotes"),
                                  QStringLiteral("Select Notes Folder")));
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

void frmPrefs::loadDataFoldersTab() {
    const SettingsModel& m = mSettings;
    txtCalendarRoot->setText(m.calendarFolder.root);
    txtCalendar->setText(m.calendarFolder.folder);
    txtTaskRoot->setText(m.tasksFolder.root);
    txtTask->setText(m.tasksFolder.folder);
    txtNotesRoot->setText(m.notesFolder.root);
    txtNotes->setText(m.notesFolder.folder);
    cmdPickCalendar->setEnabled(mNameSpace != nullptr);
    cmdPickTask->setEnabled(mNameSpace != nullptr);
    cmdPickNotes->setEnabled(mNameSpace != nullptr);
}

void frmPrefs::storeDataFoldersTab() {
    SettingsModel& m = mSettings;
    m.calendarFolder = {txtCalendarRoot->text(), txtCalendar->text()};
    m.tasksFolder = {txtTaskRoot->text(), txtTask->text()};
    m.notesFolder = {txtNotesRoot->text(), txtNotes->text()};
}

ol::FolderPtr frmPrefs::pickFolderOfType(int itemType, const QString& wrongType) {
    if (!mNameSpace)
        return nullptr;
    ol::FolderPtr folder;
    try {
        folder = mNameSpace->PickFolder();
    } catch (const ol::Error& e) {
        say(e.message());
        return nullptr;
    }
    if (folder && folder->DefaultItemType() != itemType) {
        say(wrongType);
        return nullptr;
    }
    return folder;
}

void frmPrefs::pickFolder(int itemType, QLineEdit* rootBox, QLineEdit* folderBox, const QString& wrongType) {
    const ol::FolderPtr folder = pickFolderOfType(itemType, wrongType);
    if (!folder)
        return;
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

} // namespace qel
