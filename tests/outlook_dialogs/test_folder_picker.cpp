// The store's folder picker on a real store in a temporary folder.

#include "outlook/dialogs/FolderPickerDialog.h"
#include "outlook/dialogs/WidgetStoreUi.h"
#include "support/SeamScope.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

using ol::FolderPickerDialog;
using ol::NewFolderDialog;

namespace {

QTreeWidgetItem* findItem(QTreeWidget* tree, const QStringList& path) {
    QTreeWidgetItem* at = nullptr;
    for (const QString& name : path) {
        QTreeWidgetItem* next = nullptr;
        const int count = at ? at->childCount() : tree->topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* candidate = at ? at->child(i) : tree->topLevelItem(i);
            if (candidate->text(0) == name)
                next = candidate;
        }
        if (!next)
            return nullptr;
        at = next;
    }
    return at;
}

// Fills the new-folder dialog and presses its OK button.
qeltest::ScriptedDialogs::ExecScript createFolder(const QString& name, const QString& typeCaption) {
    return [name, typeCaption](QDialog& dialog) {
        auto& ask = dynamic_cast<NewFolderDialog&>(dialog);
        ask.txtName->setText(name);
        ask.cmbType->setCurrentIndex(ask.cmbType->findText(typeCaption));
        ask.cmdOK->click();
        return ask.result();
    };
}

} // namespace

class FolderPickerTest : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    ol::ApplicationPtr mApp;
    ol::NameSpacePtr mNs;

private Q_SLOTS:
    void init() {
        QVERIFY(mDir.isValid());
        mApp =
            ol::Application::create(mDir.path() + QStringLiteral("/stores-") + QTest::currentTestFunction());
        mNs = mApp->GetNamespace();
    }
    void cleanup() {
        mNs.reset();
        mApp.reset();
    }

    void treeShowsEveryStoreAndFolderWithItsType() {
        mNs->Folders()->Add(QStringLiteral("Archive"));
        mNs->Folders()
            ->Item(QStringLiteral("Personal Folders"))
            ->Folders()
            ->Item(QStringLiteral("Contacts"))
            ->Folders()
            ->Add(QStringLiteral("Work"), ol::olContactItem);
        FolderPickerDialog picker(*mNs);
        QCOMPARE(picker.tvwFolders->topLevelItemCount(), 2);
        QVERIFY(findItem(picker.tvwFolders, {QStringLiteral("Archive")}));
        const struct {
            const char* name;
            const char* type;
        } expected[] = {{"Inbox", "Mail"},  {"Calendar", "Calendar"}, {"Contacts", "Contacts"},
                        {"Tasks", "Tasks"}, {"Notes", "Notes"},       {"Deleted Items", "Mail"}};
        for (const auto& e : expected) {
            QTreeWidgetItem* item = findItem(picker.tvwFolders, {QStringLiteral("Personal Folders"), e.name});
            QVERIFY2(item, e.name);
            QCOMPARE(item->text(1), QLatin1String(e.type));
        }
        QTreeWidgetItem* work =
            findItem(picker.tvwFolders, {QStringLiteral("Personal Folders"), QStringLiteral("Contacts"),
                                         QStringLiteral("Work")});
        QVERIFY(work);
        QCOMPARE(work->text(1), QStringLiteral("Contacts"));
    }

    void selectionIsTheFolderHandedBack() {
        FolderPickerDialog picker(*mNs);
        QVERIFY(picker.selectPath(QStringLiteral("Personal Folders\\Tasks")));
        ol::FolderPtr chosen = picker.selectedFolder();
        QVERIFY(chosen);
        QCOMPARE(chosen->Name(), QStringLiteral("Tasks"));
        QCOMPARE(chosen->DefaultItemType(), int(ol::olTaskItem));
        QVERIFY(!picker.selectPath(QStringLiteral("Personal Folders\\Nowhere")));
        picker.tvwFolders->clearSelection();
        QVERIFY(!picker.cmdOK->isEnabled());
        QVERIFY(!picker.cmdNewFolder->isEnabled());
    }

    void newFolderIsCreatedInTheStoreAndSelected() {
        qeltest::SeamScope seams;
        seams.dialogs.expectExec(createFolder(QStringLiteral("Holidays"), QStringLiteral("Calendar items")),
                                 QStringLiteral("NewFolderDialog"));
        FolderPickerDialog picker(*mNs);
        QVERIFY(picker.selectPath(QStringLiteral("Personal Folders\\Calendar")));
        QTest::mouseClick(picker.cmdNewFolder, Qt::LeftButton);
        QVERIFY(seams.dialogs.verify());

        ol::FolderPtr selected = picker.selectedFolder();
        QVERIFY(selected);
        QCOMPARE(selected->path(), QStringLiteral("Personal Folders\\Calendar\\Holidays"));
        // It is in the store, of the chosen type, also for a store opened afresh.
        mNs.reset();
        mApp.reset();
        mApp =
            ol::Application::create(mDir.path() + QStringLiteral("/stores-") + QTest::currentTestFunction());
        ol::FolderPtr reread =
            mApp->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Calendar\\Holidays"));
        QCOMPARE(reread->DefaultItemType(), int(ol::olAppointmentItem));
    }

    void newFolderOffersTheParentsTypeFirst() {
        NewFolderDialog notes(QStringLiteral("Personal Folders\\Notes"), ol::olNoteItem);
        QCOMPARE(notes.itemType(), int(ol::olNoteItem));
        NewFolderDialog store(QStringLiteral("Archive"), ol::olMailItem);
        QCOMPARE(store.itemType(), int(ol::olMailItem));
        store.cmbType->setCurrentIndex(store.cmbType->findText(QStringLiteral("Tasks items")));
        QCOMPARE(store.itemType(), int(ol::olTaskItem));
    }

    void newFolderRefusesBadNamesAndKeepsTheStore() {
        qeltest::SeamScope seams;
        // An empty name is refused inside the dialog, which stays open; then the user cancels.
        seams.dialogs.expectExec(
            [](QDialog& dialog) {
                auto& ask = dynamic_cast<NewFolderDialog&>(dialog);
                ask.txtName->setText(QStringLiteral("   "));
                ask.cmdOK->click();
                const int afterEmpty = ask.result();
                ask.txtName->setText(QStringLiteral("a\\b"));
                ask.cmdOK->click();
                return afterEmpty == QDialog::Accepted || ask.result() == QDialog::Accepted
                           ? 99
                           : QDialog::Rejected;
            },
            QStringLiteral("NewFolderDialog"));
        seams.dialogs.expectMessage(QStringLiteral("Please enter a name for the new folder."));
        seams.dialogs.expectMessage(QStringLiteral("A folder name cannot contain a backslash"));
        FolderPickerDialog picker(*mNs);
        picker.selectPath(QStringLiteral("Personal Folders\\Calendar"));
        QTest::mouseClick(picker.cmdNewFolder, Qt::LeftButton);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(mNs->folderByPath(QStringLiteral("Personal Folders\\Calendar"))->Folders()->Count(), 0);
    }

    void duplicateNameReportsTheStoresReason() {
        qeltest::SeamScope seams;
        seams.dialogs.expectExec(createFolder(QStringLiteral("tasks"), QStringLiteral("Tasks items")));
        seams.dialogs.expectMessage(QStringLiteral("The folder could not be created: "));
        FolderPickerDialog picker(*mNs);
        picker.selectPath(QStringLiteral("Personal Folders"));
        QTest::mouseClick(picker.cmdNewFolder, Qt::LeftButton);
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(mNs->Folders()->Item(QStringLiteral("Personal Folders"))->Folders()->Count(), 6);
        QCOMPARE(picker.selectedFolder()->path(), QStringLiteral("Personal Folders"));
    }

    void storeUiPicksThroughTheDialogsSeam() {
        qeltest::SeamScope seams;
        mApp->setUi(std::make_shared<ol::WidgetStoreUi>());
        // OK on a chosen folder hands it back.
        seams.dialogs.expectExec(
            [](QDialog& dialog) {
                auto& picker = dynamic_cast<FolderPickerDialog&>(dialog);
                picker.selectPath(QStringLiteral("Personal Folders\\Notes"));
                picker.cmdOK->click();
                return picker.result();
            },
            QStringLiteral("FolderPickerDialog"));
        ol::FolderPtr picked = mNs->PickFolder();
        QVERIFY(picked);
        QCOMPARE(picked->FolderPath(), QStringLiteral("\\\\Personal Folders\\Notes"));
        // Cancel hands back nothing, even with a folder selected.
        seams.dialogs.expectExec([](QDialog& dialog) {
            auto& picker = dynamic_cast<FolderPickerDialog&>(dialog);
            picker.selectPath(QStringLiteral("Personal Folders\\Notes"));
            picker.cmdCancel->click();
            return picker.result();
        });
        QVERIFY(!mNs->PickFolder());
        QVERIFY(seams.dialogs.verify());
    }
};

QEL_TEST_MAIN(FolderPickerTest)
#include "test_folder_picker.moc"
