#include "Form1.h"

#include "Updater.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace qelupdater {

namespace {

const QString kRoot = QStringLiteral("/");
const QString kParent = QStringLiteral("..");

void setTag(QObject* object, const QString& value) {
    object->setProperty("Tag", value);
}

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { open(item->text()); });
}

bool FolderList::setPath(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return false;
    const QStringList subfolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    mPath = QDir::cleanPath(dir.absolutePath());
    clear();
    if (!dir.isRoot())
        addItem(kParent);
    addItems(subfolders);
    Q_EMIT pathChanged(mPath);
    return true;
}

bool FolderList::open(const QString& name) {
    if (name == kParent) {
        QDir dir(mPath);
        return dir.cdUp() && setPath(dir.absolutePath());
    }
    return setPath(QDir(mPath).filePath(name));
}

Form1::Form1(UpdaterUi& ui, QWidget* parent) : QDialog(parent), mUi(ui) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("QEL Updater"));
    auto* layout = new QVBoxLayout(this);
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    QStringList disks{kRoot};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !disks.contains(volume.rootPath()))
            disks << volume.rootPath();
    Drive1->addItems(disks);
    layout->addWidget(Drive1);
    Dir1 = new FolderList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setMinimumSize(360, 260);
    layout->addWidget(Dir1);
    lblHelp =
        new QLabel(QStringLiteral("Choose a local disk above then browse to the folder containing QEL (the "
                                  "okay button will become enabled when you double click the correct "
                                  "folder)."),
                   this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setWordWrap(true);
    layout->addWidget(lblHelp);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(QStringLiteral("Okay"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmcCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmcCancel->setObjectName(QStringLiteral("cmcCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmcCancel);
    layout->addLayout(buttons);

    connect(Dir1, &FolderList::pathChanged, this, &Form1::Dir1_Change);
    connect(Drive1, &QComboBox::activated, this, &Form1::Drive1_Change);
    connect(cmdOK, &QPushButton::clicked, this, &Form1::cmdOK_Click);
    connect(cmcCancel, &QPushButton::clicked, this, &Form1::cmcCancel_Click);
    setTag(Dir1, QString());
    Dir1->setPath(kRoot);
    Dir1_Change();
}

QString Form1::decision() const {
    return Dir1->property("Tag").toString();
}

void Form1::Drive1_Change(int index) {
    if (Dir1->setPath(Drive1->itemText(index)))
        return;
    mUi.message(QStringLiteral("Disc not accessible."));
    Drive1->setCurrentIndex(0);
    Dir1->setPath(kRoot);
}

void Form1::Dir1_Change() {
    cmdOK->setEnabled(QFileInfo(QDir(Dir1->path()).filePath(kProgramFile)).isFile());
}

void Form1::cmdOK_Click() {
    setTag(Dir1, QStringLiteral("Okay"));
    accept();
}

void Form1::cmcCancel_Click() {
    setTag(Dir1, QStringLiteral("Cancel"));
    reject();
}

} // namespace qelupdater
