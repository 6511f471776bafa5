// Contact folders and categories: the folder scan, opening a folder, the category collection and
// the category suffix that every contact query of the browser appends.

#include "ContactBrowser.h"

#include "core/DebugLog.h"
#include "core/SettingsModel.h"
#include "outlook/Collation.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace qel {

namespace {

const QString kDeletedItems = QStringLiteral("Deleted Items");

// The hourglass for the length of one command, restored on every way out.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A button disabled for the length of one command.
class DisabledWhile {
public:
    explicit DisabledWhile(QWidget* w) : mWidget(w) { mWidget->setEnabled(false); }
    ~DisabledWhile() { mWidget->setEnabled(true); }
    DisabledWhile(const DisabledWhile&) = delete;
    DisabledWhile& operator=(const DisabledWhile&) = delete;

private:
    QWidget* mWidget;
};

} // namespace

bool ContactBrowser::cmdFolRefresh_Click() {
    QComboBox* list = mUi.cmbFolders;
    {
        const QSignalBlocker quiet(list);
        list->clear();
    }
    bool found = false;
    {
        DisabledWhile disabled(mUi.cmdFolRefresh);
        BusyCursor busy;
        if (m.gOlNameSpace) {
            for (const ol::FolderPtr& store : m.gOlNameSpace->Folders()) {
                try {
                    debug(QStringLiteral(":Searching folder: ") + store->FolderPath() + QLatin1Char(' '),
                          true);
                    if (store->DefaultItemType() == ol::olContactItem) {
                        insertSorted(list, store->path());
                        debug(QStringLiteral(":Contact folder found: ") + store->Name() + QLatin1Char(' '),
                              true);
                    }
                    for (const ol::FolderPtr& child : store->Folders()) {
                        if (child->Name() != kDeletedItems)
                            ProcessSubFolder(child);
                    }
                } catch (const ol::Error& e) {
                    // A store that cannot be read is left out of the list.
                    debug(QStringLiteral(":Folder scan error: ") + e.message());
                }
            }
        }
        insertSorted(list, browsertext::kPickFolder);
        {
            const QSignalBlocker quiet(list);
            list->setCurrentIndex(0);
        }
        found = list->count() > 1;
    }
    if (!found) {
        dialogs().message(
            QStringLiteral("Outlook Folder Error: A contact folder is required to run Vantrel. No "
                           "Contact folder could be found. Please create one and run Vantrel "
                           "again."));
        debug(QStringLiteral(":No Contact Folder Found"));
        if (mHooks.exitProgram)
            mHooks.exitProgram();
        return false;
    }
    return true;
}

void ContactBrowser::ProcessSubFolder(const ol::FolderPtr& folder) {
    debug(QStringLiteral(":Searching folder:") + folder->FolderPath());
    if (folder->DefaultItemType() == ol::olContactItem)
        insertSorted(mUi.cmbFolders, folder->path());
    if (mSettings.subFolders) {
        for (const ol::FolderPtr& child : folder->Folders()) {
            if (child->Name() != kDeletedItems)
                ProcessSubFolder(child);
        }
    }
}

void ContactBrowser::cmbFolders_Click() {
    const QString text = mUi.cmbFolders->currentText();
    if (text != browsertext::kPickFolder && !text.isEmpty())
        mUi.lblFolders->setCaption(text);
}

bool ContactBrowser::lblFolders_Change() {
    const QString caption = mUi.lblFolders->caption();
    debug(QStringLiteral(":Setting Contact folder to:") + caption);
    bool failed = false;
    try {
        if (!m.gOlNameSpace)
            throw ol::Error(ol::kErrObjectRequired, QStringLiteral("There is no connection to the store."));
        const QStringList parts = caption.split(QLatin1Char('\\'));
        ol::FolderPtr folder = m.gOlNameSpace->Folders()->Item(parts.first());
        for (qsizetype i = 1; i < parts.size(); ++i)
            folder = folder->Folders()->Item(parts.at(i));
        ol::ItemsPtr items = folder->Items();
        m.gOlContactFolder = folder;
        m.gOlContacts = items;
    } catch (const ol::Error& e) {
        debug(QStringLiteral(":Contact folder error: ") + e.message());
        failed = true;
    }
    if (failed) {
        dialogs().message(
            QStringLiteral("The folder ") + caption +
            QStringLiteral(" no longer exists. The folders will now be refreshed. Please pick a "
                           "new folder."));
        if (mRecovering)
            return true; // the first folder of a fresh scan failed too: stop here, do not loop
        if (!cmdFolRefresh_Click())
            return false;
        mRecovering = true;
        bool alive = true;
        const QString first = mUi.cmbFolders->itemText(1);
        if (first == mUi.lblFolders->caption())
            alive = lblFolders_Change(); // same caption: the label would not report a change
        else
            mUi.lblFolders->setCaption(first);
        mRecovering = false;
        if (!alive)
            return false;
        const QSignalBlocker quiet(mUi.cmbFolders);
        mUi.cmbFolders->setCurrentIndex(0);
        return true;
    }
    LetterChange();
    mUi.lblFolders->setToolTip(caption);
    return true;
}

void ContactBrowser::cmdCatRefresh_Click() {
    DisabledWhile disabled(mUi.cmdCatRefresh);
    BusyCursor busy;
    QStringList names;
    QSet<QString> seen;
    if (m.gOlContacts) {
        try {
            const ol::ItemsPtr tagged =
                m.gOlContacts->Restrict(ol::kContactsFilter + QStringLiteral(" AND [Categories] <> ''"));
            for (int i = 1, n = tagged->Count(); i <= n; ++i) {
                const QString categories = tagged->value(i, ol::prop::Categories).toString();
                for (const QString& part : ol::splitKeywords(categories)) {
                    if (!seen.contains(part)) {
                        seen.insert(part);
                        names << part;
                    }
                }
            }
        } catch (const ol::Error& e) {
            debug(QStringLiteral(":Category collection error: ") + e.message());
        }
    }
    names << browsertext::kPickCategory << browsertext::kNoCategoryEntry << browsertext::kAllEntry;
    names.removeAll(QString());
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return ol::compareText(a, b) < 0; });
    fillSorted(mUi.cmbCategories, names);
    const QSignalBlocker quiet(mUi.cmbCategories);
    mUi.cmbCategories->setCurrentIndex(0);
}

void ContactBrowser::cmbCategories_Click() {
    const QString text = mUi.cmbCategories->currentText();
    if (text == browsertext::kPickCategory || text.isEmpty())
        return;
    if (text == browsertext::kNoCategoryEntry)
        mUi.lblCategories->setCaption(browsertext::kUncategorized);
    else if (text == browsertext::kAllEntry)
        mUi.lblCategories->setCaption(browsertext::kAllCategories);
    else
        mUi.lblCategories->setCaption(text);
    LetterChange();
}

void ContactBrowser::lblCategories_Change() {
    mUi.txtCategory->setText(categorySuffix(mUi.lblCategories->caption()));
}

} // namespace qel
