#pragma once

#include "outlook/Outlook.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ol {

// The text shown for a folder's default item type ("Mail", "Calendar", "Contacts", "Tasks", "Notes").
QString itemTypeCaption(int itemType);

// Asks for the name and item type of a new folder inside `parent`.
class NewFolderDialog : public QDialog {
    Q_OBJECT
public:
    NewFolderDialog(const QString& parentPath, int defaultType, QWidget* parent = nullptr);

    QLineEdit* txtName;
    QComboBox* cmbType;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    QString folderName() const;
    int itemType() const; // the ItemType of the chosen entry

public Q_SLOTS:
    void cmdOK_Click();
};

// The store's folder picker: every store with its folders as a tree, OK and Cancel, and
// "New Folder..." to create a folder inside the selected one.
class FolderPickerDialog : public QDialog {
    Q_OBJECT
public:
    explicit FolderPickerDialog(NameSpace& ns, QWidget* parent = nullptr);

    QTreeWidget* tvwFolders;
    QPushButton* cmdNewFolder;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // The folder selected in the tree, or nullptr.
    FolderPtr selectedFolder() const;
    // Selects the folder with this path ("Store\Folder"); false when it is not in the tree.
    bool selectPath(const QString& path);
    // Reads the stores' folders afresh, keeping the selection where it can.
    void reload();

public Q_SLOTS:
    void cmdNewFolder_Click();

private:
    void addFolder(QTreeWidgetItem* parentItem, const FolderPtr& folder);
    void updateButtons();

    NameSpace& mNameSpace;
    QHash<QTreeWidgetItem*, FolderPtr> mFolders;
};

} // namespace ol
