#include "CategoriesDialog.h"

#include "outlook/Collation.h"
#include "platform/Dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace ol {

namespace {

// Dictionary order; names that differ only in letter case keep a fixed order between them.
bool listsBefore(const QString& a, const QString& b) {
    const int c = compareText(a, b);
    return c != 0 ? c < 0 : a < b;
}

} // namespace

QStringList CategoriesDialog::categoriesInUse(const ItemPtr& item) {
    QStringList names;
    if (!item)
        return names;
    QSet<QString> seen;
    const auto add = [&](const QString& text) {
        for (const QString& name : splitKeywords(text)) {
            const QString key = name.toCaseFolded();
            if (!seen.contains(key)) {
                seen.insert(key);
                names << name;
            }
        }
    };
    // The item's own spelling comes first, so that OK never respells what the item holds.
    add(item->text(prop::Categories));

    const FolderPtr own = item->Parent();
    FolderPtr top = own;
    while (FolderPtr up = top->Parent())
        top = up;
    const QString ownId = own->EntryID();
    std::function<void(const FolderPtr&)> scan = [&](const FolderPtr& folder) {
        const int type = folder->DefaultItemType();
        if (type == olContactItem || type == olAppointmentItem || folder->EntryID() == ownId) {
            const ItemsPtr items = folder->Items();
            const int count = items->Count();
            for (int i = 1; i <= count; ++i)
                add(items->value(i, prop::Categories).toString());
        }
        const FoldersPtr children = folder->Folders();
        for (const FolderPtr& child : *children)
            scan(child);
    };
    scan(top);
    std::sort(names.begin(), names.end(), listsBefore);
    return names;
}

CategoriesDialog::CategoriesDialog(const ItemPtr& item, QWidget* parent) : QDialog(parent), mItem(item) {
    setObjectName(QStringLiteral("CategoriesDialog"));
    setWindowTitle(QStringLiteral("Categories"));

    auto* belongs = new QLabel(QStringLiteral("Item belongs to these categories:"), this);
    txtChecked = new QLineEdit(this);
    txtChecked->setObjectName(QStringLiteral("txtChecked"));
    txtChecked->setReadOnly(true);
    belongs->setBuddy(txtChecked);

    auto* available = new QLabel(QStringLiteral("Available categories:"), this);
    lstCategories = new QListWidget(this);
    lstCategories->setObjectName(QStringLiteral("lstCategories"));
    lstCategories->setMinimumSize(300, 240);
    available->setBuddy(lstCategories);

    txtNewCategory = new QLineEdit(this);
    txtNewCategory->setObjectName(QStringLiteral("txtNewCategory"));
    txtNewCategory->setPlaceholderText(QStringLiteral("New category"));
    cmdAddToList = new QPushButton(QStringLiteral("Add to List"), this);
    cmdAddToList->setObjectName(QStringLiteral("cmdAddToList"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* adding = new QHBoxLayout;
    adding->addWidget(txtNewCategory, 1);
    adding->addWidget(cmdAddToList);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(belongs);
    layout->addWidget(txtChecked);
    layout->addLayout(adding);
    layout->addWidget(available);
    layout->addWidget(lstCategories, 1);
    layout->addLayout(buttons);

    connect(cmdAddToList, &QPushButton::clicked, this, &CategoriesDialog::cmdAddToList_Click);
    connect(cmdOK, &QPushButton::clicked, this, &CategoriesDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstCategories, &QListWidget::itemChanged, this, &CategoriesDialog::updateCheckedText);
    // While a new name is being typed, Enter adds it rather than closing the window.
    connect(txtNewCategory, &QLineEdit::textChanged, this, [this](const QString& text) {
        (text.trimmed().isEmpty() ? cmdOK : cmdAddToList)->setDefault(true);
    });

    QStringList names;
    try {
        names = categoriesInUse(mItem);
    } catch (const Error& e) {
        qel::dialogs().message(QStringLiteral("The categories in use could not be read: ") + e.message(),
                               windowTitle(), qel::MsgIcon::Exclamation);
    }
    for (const QString& name : names)
        addEntry(name, false);
    setCheckedText(mItem ? mItem->text(prop::Categories) : QString());
    lstCategories->setFocus();
}

QListWidgetItem* CategoriesDialog::findEntry(const QString& name) const {
    const QString key = name.toCaseFolded();
    for (int row = 0; row < lstCategories->count(); ++row) {
        QListWidgetItem* entry = lstCategories->item(row);
        if (entry->text().toCaseFolded() == key)
            return entry;
    }
    return nullptr;
}

QListWidgetItem* CategoriesDialog::addEntry(const QString& name, bool checked) {
    int row = 0;
    while (row < lstCategories->count() && !listsBefore(name, lstCategories->item(row)->text()))
        ++row;
    auto* entry = new QListWidgetItem(name);
    entry->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    lstCategories->insertItem(row, entry);
    return entry;
}

void CategoriesDialog::setCheckedText(const QString& categories) {
    const QSignalBlocker quiet(lstCategories);
    for (int row = 0; row < lstCategories->count(); ++row)
        lstCategories->item(row)->setCheckState(Qt::Unchecked);
    for (const QString& name : splitKeywords(categories)) {
        if (QListWidgetItem* entry = findEntry(name))
            entry->setCheckState(Qt::Checked);
        else
            addEntry(name, true);
    }
    updateCheckedText();
}

QStringList CategoriesDialog::checkedCategories() const {
    QStringList names;
    for (int row = 0; row < lstCategories->count(); ++row) {
        const QListWidgetItem* entry = lstCategories->item(row);
        if (entry->checkState() == Qt::Checked)
            names << entry->text();
    }
    return names;
}

QString CategoriesDialog::checkedText() const {
    return checkedCategories().join(QStringLiteral(", "));
}

void CategoriesDialog::updateCheckedText() {
    txtChecked->setText(checkedText());
}

void CategoriesDialog::cmdAddToList_Click() {
    const QString name = txtNewCategory->text().trimmed();
    if (name.isEmpty()) {
        qel::dialogs().message(QStringLiteral("Type the name of the new category first."), windowTitle(),
                               qel::MsgIcon::Exclamation);
        txtNewCategory->setFocus();
        return;
    }
    if (name.contains(QLatin1Char(',')) || name.contains(QLatin1Char(';'))) {
        // The store would read such a name as two categories.
        qel::dialogs().message(QStringLiteral("A category name cannot contain a comma or a semicolon."),
                               windowTitle(), qel::MsgIcon::Exclamation);
        txtNewCategory->setFocus();
        return;
    }
    // A name already listed (in any letter case) is ticked rather than listed twice.
    QListWidgetItem* entry = findEntry(name);
    if (entry)
        entry->setCheckState(Qt::Checked);
    else
        entry = addEntry(name, true);
    lstCategories->setCurrentItem(entry);
    lstCategories->scrollToItem(entry);
    txtNewCategory->clear();
    updateCheckedText();
}

void CategoriesDialog::cmdOK_Click() {
    if (!mSavesItem || !mItem) {
        accept();
        return;
    }
    const QString text = checkedText();
    if (text != mItem->text(prop::Categories) || !mItem->Saved()) {
        const Item before = *mItem;
        try {
            mItem->set(prop::Categories, text);
            mItem->Save();
        } catch (const Error& e) {
            *mItem = before; // the handle keeps what it held, as the store does
            qel::dialogs().message(QStringLiteral("The categories could not be saved: ") + e.message(),
                                   windowTitle(), qel::MsgIcon::Exclamation);
            return;
        }
    }
    accept();
}

} // namespace ol
