#pragma once

#include "outlook/Outlook.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace ol {

// The categories of one item: every category in use in the item's store (and the item's own) as
// a list of tick boxes, the item's ticked, and a line to add a new one. OK writes the ticked ones
// to the item's Categories and saves the item; Cancel changes nothing.
class CategoriesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CategoriesDialog(const ItemPtr& item, QWidget* parent = nullptr);

    QLineEdit* txtChecked; // the ticked categories as one text (read-only)
    QListWidget* lstCategories;
    QLineEdit* txtNewCategory;
    QPushButton* cmdAddToList;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // Whether OK writes and saves the item (the default). The item window turns this off: there
    // OK only hands the ticks back, to be saved with the rest of the window.
    void setSavesItem(bool saves) { mSavesItem = saves; }
    // Ticks exactly these categories (", "-separated), listing any that are not listed yet.
    void setCheckedText(const QString& categories);
    // The ticked categories in list order, and joined with ", ".
    QStringList checkedCategories() const;
    QString checkedText() const;

    // Every category used by the items of the contact and calendar folders of the item's store
    // and of the item's own folder, each once (letter case ignored), sorted as a user reads them.
    static QStringList categoriesInUse(const ItemPtr& item);

public Q_SLOTS:
    void cmdAddToList_Click();
    void cmdOK_Click();

private:
    // The list entry of a category (letter case ignored), or nullptr.
    QListWidgetItem* findEntry(const QString& name) const;
    // Adds an entry at its place in the sorted list.
    QListWidgetItem* addEntry(const QString& name, bool checked);
    void updateCheckedText();

    ItemPtr mItem;
    bool mSavesItem = true;
};

} // namespace ol
