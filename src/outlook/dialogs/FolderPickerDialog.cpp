#include "FolderPickerDialog.h"

#include "platform/Dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ol {

namespace {
const int kTypes[] = {olMailItem, olAppointmentItem, olContactItem, olTaskItem, olNoteItem};
}

QString itemTypeCaption(int itemType) {
    switch (itemType) {
    case olMailItem:
        return QStringLiteral("Mail");
    case olAppointmentItem:
        return QStringLiteral("Calendar");
    case olContactItem:
        return QStringLiteral("Contacts");
    case olTaskItem:
        return QStringLiteral("Tasks");
    case olNoteItem:
        return QStringLiteral("Notes");
    default:
        return QStringLiteral("Other");
    }
}

NewFolderDialog::NewFolderDialog(const QString& parentPath, int defaultType, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("NewFolderDialog"));
    setWindowTitle(QStringLiteral("Create New Folder"));

    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setMinimumWidth(240);
    cmbType = new QComboBox(this);
    cmbType->setObjectName(QStringLiteral("cmbType"));
    for (int type : kTypes)
        cmbType->addItem(itemTypeCaption(type) + QStringLiteral(" items"), type);
    const int index = cmbType->findData(defaultType);
    cmbType->setCurrentIndex(index < 0 ? 0 : index);

    auto* where = new QLabel(parentPath, this);
    where->setObjectName(QStringLiteral("lblParent"));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name:"), txtName);
    form->addRow(QStringLiteral("Folder contains:"), cmbType);
    form->addRow(QStringLiteral("Place folder in:"), where);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &NewFolderDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString NewFolderDialog::folderName() const {
    return txtName->text().trimmed();
}

int NewFolderDialog::itemType() const {
    return cmbType->currentData().toInt();
}

void NewFolderDialog::cmdOK_Click() {
    if (folderName().isEmpty()) {
        qel::dialogs().message(QStringLiteral("Please enter a name for the new folder."),
                               QStringLiteral("Create New Folder"), qel::MsgIcon::Exclamation);
        return;
    }
    if (folderName().contains(QLatin1Char('\\'))) {
        qel::dialogs().message(QStringLiteral("A folder name cannot contain a backslash (\\)."),
                               QStringLiteral("Create New Folder"), qel::MsgIcon::Exclamation);
        return;
    }
    accept();
}

FolderPickerDialog::FolderPickerDialog(NameSpace& ns, QWidget* parent) : QDialog(parent), mNameSpace(ns) {
    setObjectName(QStringLiteral("FolderPickerDialog"));
    setWindowTitle(QStringLiteral("Select Folder"));

    auto* prompt = new QLabel(QStringLiteral("Folders:"), this);
    tvwFolders = new QTreeWidget(this);
    tvwFolders->setObjectName(QStringLiteral("tvwFolders"));
    tvwFolders->setColumnCount(2);
    tvwFolders->setHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Contains")});
    tvwFolders->setSelectionMode(QAbstractItemView::SingleSelection);
    tvwFolders->setMinimumSize(360, 300);
    tvwFolders->header()->setStretchLastSection(false);
    tvwFolders->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tvwFolders->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    prompt->setBuddy(tvwFolders);

    cmdNewFolder = new QPushButton(QStringLiteral("New Folder..."), this);
    cmdNewFolder->setObjectName(QStringLiteral("cmdNewFolder"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdNewFolder);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(tvwFolders, 1);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (selectedFolder())
            accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdNewFolder, &QPushButton::clicked, this, &FolderPickerDialog::cmdNewFolder_Click);
    connect(tvwFolders, &QTreeWidget::itemSelectionChanged, this, &FolderPickerDialog::updateButtons);
    connect(tvwFolders, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (mFolders.contains(item) && item->childCount() == 0)
            accept();
    });

    reload();
    if (tvwFolders->topLevelItemCount() > 0)
        tvwFolders->setCurrentItem(tvwFolders->topLevelItem(0));
    updateButtons();
}

void FolderPickerDialog::reload() {
    const FolderPtr selected = selectedFolder();
    const QString selectedPath = selected ? selected->path() : QString();
    tvwFolders->clear();
    mFolders.clear();
    try {
        const FoldersPtr stores = mNameSpace.Folders(); // held: the loop runs on what it points to
        for (const FolderPtr& store : *stores)
            addFolder(nullptr, store);
    } catch (const Error& e) {
        qel::dialogs().message(QStringLiteral("The folder list could not be read: ") + e.message(),
                               windowTitle(), qel::MsgIcon::Exclamation);
    }
    for (int i = 0; i < tvwFolders->topLevelItemCount(); ++i)
        tvwFolders->topLevelItem(i)->setExpanded(true);
    if (!selectedPath.isEmpty())
        selectPath(selectedPath);
    updateButtons();
}

void FolderPickerDialog::addFolder(QTreeWidgetItem* parentItem, const FolderPtr& folder) {
    auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(tvwFolders);
    item->setText(0, folder->Name());
    item->setText(1, itemTypeCaption(folder->DefaultItemType()));
    item->setIcon(0, style()->standardIcon(parentItem ? QStyle::SP_DirIcon : QStyle::SP_DriveHDIcon));
    mFolders.insert(item, folder);
    const FoldersPtr children = folder->Folders();
    for (const FolderPtr& child : *children)
        addFolder(item, child);
}

FolderPtr FolderPickerDialog::selectedFolder() const {
    const QList<QTreeWidgetItem*> selection = tvwFolders->selectedItems();
    if (selection.isEmpty())
        return nullptr;
    return mFolders.value(selection.first());
}

bool FolderPickerDialog::selectPath(const QString& path) {
    for (auto it = mFolders.cbegin(); it != mFolders.cend(); ++it) {
        if (it.value()->path().compare(path, Qt::CaseInsensitive) == 0) {
            for (QTreeWidgetItem* up = it.key()->parent(); up; up = up->parent())
                up->setExpanded(true);
            tvwFolders->setCurrentItem(it.key());
            return true;
        }
    }
    return false;
}

void FolderPickerDialog::updateButtons() {
    const bool any = selectedFolder() != nullptr;
    cmdOK->setEnabled(any);
    cmdNewFolder->setEnabled(any);
}

void FolderPickerDialog::cmdNewFolder_Click() {
    const FolderPtr parentFolder = selectedFolder();
    if (!parentFolder)
        return;
    NewFolderDialog ask(parentFolder->path(), parentFolder->DefaultItemType(), this);
    if (qel::dialogs().exec(ask) != QDialog::Accepted)
        return;
    try {
        const FolderPtr created = parentFolder->Folders()->Add(ask.folderName(), ask.itemType());
        reload();
        selectPath(created->path());
    } catch (const Error& e) {
        qel::dialogs().message(QStringLiteral("The folder could not be created: ") + e.message(),
                               QStringLiteral("Create New Folder"), qel::MsgIcon::Exclamation);
    }
}

} // namespace ol
