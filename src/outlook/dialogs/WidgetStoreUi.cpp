#include "WidgetStoreUi.h"

#include "CategoriesDialog.h"
#include "FolderPickerDialog.h"
#include "ItemWindow.h"
#include "platform/Dialogs.h"

#include <QApplication>

namespace ol {

QWidget* WidgetStoreUi::owner() const {
    return mParent ? mParent : QApplication::activeWindow();
}

FolderPtr WidgetStoreUi::pickFolder(NameSpace& ns) {
    FolderPickerDialog picker(ns, owner());
    if (qel::dialogs().exec(picker) != QDialog::Accepted)
        return nullptr;
    return picker.selectedFolder();
}

void WidgetStoreUi::display(const ItemPtr& item) {
    if (!item)
        return;
    ItemWindow window(item, owner());
    qel::dialogs().exec(window);
}

void WidgetStoreUi::showCategories(const ItemPtr& item) {
    if (!item)
        return;
    CategoriesDialog dialog(item, owner());
    qel::dialogs().exec(dialog);
}

} // namespace ol
