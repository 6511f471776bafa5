#pragma once

// "QEL Updater": the folder window, shown when no default installation folder holds the program.
// The user picks a disk in Drive1 and browses Dir1 (double-click a folder to open it); "Okay" is
// enabled exactly while the folder holds the program. The decision is kept in Dir1's tag: "Okay",
// "Cancel", or "" when the window was closed otherwise.

#include <QDialog>
#include <QListWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace qelupdater {

class UpdaterUi;

// A folder list: ".." (to the parent) and the folder's sub-folders; a double-click opens one.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);
    const QString& path() const { return mPath; }
    // Shows `folder`; false (nothing changed) when it cannot be read.
    bool setPath(const QString& folder);
    // Opens the entry named `name` ("..", or a sub-folder), as a double-click on it does.
    bool open(const QString& name);

Q_SIGNALS:
    void pathChanged(const QString& path);

private:
    QString mPath;
};

class Form1 : public QDialog {
    Q_OBJECT
public:
    explicit Form1(UpdaterUi& ui, QWidget* parent = nullptr);

    QComboBox* Drive1;
    FolderList* Dir1;
    QPushButton* cmdOK;
    QPushButton* cmcCancel;
    QLabel* lblHelp;

    QString decision() const;
    // Drive1's choice changed to the disk at `index`.
    void Drive1_Change(int index);
    void Dir1_Change();
    void cmdOK_Click();
    void cmcCancel_Click();

private:
    UpdaterUi& mUi;
};

} // namespace qelupdater
