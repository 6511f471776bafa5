#pragma once

#include "outlook/Outlook.h"

class QWidget;

namespace ol {

// The store's windows as Qt widgets: the folder picker, an item's window and the categories
// window, each run modally through the dialogs seam.
class WidgetStoreUi : public StoreUi {
public:
    explicit WidgetStoreUi(QWidget* parent = nullptr) : mParent(parent) {}
    FolderPtr pickFolder(NameSpace& ns) override;
    void display(const ItemPtr& item) override;
    void showCategories(const ItemPtr& item) override;

private:
    QWidget* owner() const;
    QWidget* mParent;
};

} // namespace ol
