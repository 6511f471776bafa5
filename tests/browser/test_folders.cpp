// Contact folders and categories: the folder scan, opening a folder (also one that is gone), the
// category collection and the category suffix.

#include "BrowserTesting.h"
#include "support/DebugCarrierDouble.h"

#include <QCheckBox>
#include <QLineEdit>

using browsertest::addContact;
using browsertest::entries;
using browsertest::Harness;

namespace {

const QString kContacts = QStringLiteral("Personal Folders\\Contacts");
const QString kPick = QStringLiteral(" <Pick a Folder or Refresh> ");

// What a user's choice in a drop-down list does: the entry becomes current and is activated.
void choose(QComboBox* list, const QString& text) {
    const int index = list->findText(text, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(text));
    list->setCurrentIndex(index);
    Q_EMIT list->activated(index);
}

} // namespace

class FoldersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { browsertest::freshSettings(QStringLiteral("folders")); }

    void aStoreWithOneContactFolderListsItBesideThePickEntry() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("one")));
        QVERIFY(h.browser->cmdFolRefresh_Click());
        QCOMPARE(entries(h.ui.cmbFolders), (QStringList{kPick, kContacts}));
        QCOMPARE(h.ui.cmbFolders->currentIndex(), 0);
        QVERIFY(h.ui.cmdFolRefresh->isEnabled());
    }

    void theScanGoesDeeperOnlyWithTheSubFolderPreference() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("deep")));
        qeltest::DebugCarrierDouble log; // after the preferences, which carry the log while they live
        const ol::FolderPtr personal = h.folder(QStringLiteral("Personal Folders"));
        const ol::FolderPtr work = h.contacts()->Folders()->Add(QStringLiteral("Work"), ol::olContactItem);
        work->Folders()->Add(QStringLiteral("Suppliers"), ol::olContactItem);
        // Contact folders in the wastebasket are never listed, at any level.
        h.folder(QStringLiteral("Personal Folders\\Deleted Items"))
            ->Folders()
            ->Add(QStringLiteral("Old Friends"), ol::olContactItem);
        work->Folders()
            ->Add(QStringLiteral("Deleted Items"), ol::olMailItem)
            ->Folders()
            ->Add(QStringLiteral("Gone"), ol::olContactItem);
        personal->Folders()->Add(QStringLiteral("O'Brien Family"), ol::olContactItem);
        // A second store holding contacts at its top level and one level down.
        const ol::FolderPtr shared =
            h.gOlNameSpace->Folders()->Add(QStringLiteral("Shared"), ol::olContactItem);
        shared->Folders()->Add(QStringLiteral("Club"), ol::olContactItem);
        shared->Folders()->Add(QStringLiteral("Letters"), ol::olMailItem);

        h.settings.subFolders = false;
        QVERIFY(h.browser->cmdFolRefresh_Click());
        QCOMPARE(entries(h.ui.cmbFolders),
                 (QStringList{kPick, kContacts, QStringLiteral("Personal Folders\\O'Brien Family"),
                              QStringLiteral("Shared"), QStringLiteral("Shared\\Club")}));
        QVERIFY(log.texts().contains(
            QStringLiteral("Vantrel:Searching folder:\\\\Personal Folders\\Contacts\r\n")));
        QVERIFY(log.texts().filter(QStringLiteral("Vantrel:Contact folder found: Shared ")).size() == 1);

        h.settings.subFolders = true;
        QVERIFY(h.browser->cmdFolRefresh_Click());
        QCOMPARE(entries(h.ui.cmbFolders),
                 (QStringList{kPick, kContacts, QStringLiteral("Personal Folders\\Contacts\\Work"),
                              QStringLiteral("Personal Folders\\Contacts\\Work\\Suppliers"),
                              QStringLiteral("Personal Folders\\O'Brien Family"), QStringLiteral("Shared"),
                              QStringLiteral("Shared\\Club")}));
    }

    void noContactFolderAnywhereEndsTheProgram() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("none")));
        h.contacts()->Delete();
        seams.dialogs.expectMessage(QStringLiteral("Outlook Folder Error: A contact folder is required to "
                                                   "run Vantrel. No Contact folder could be found. "
                                                   "Please create one and run Vantrel again."));
        QVERIFY(!h.start());
        QCOMPARE(h.exits, 1);
        QVERIFY(!h.gOlContacts); // nothing was opened after the end
        QCOMPARE(h.ui.cmbFolders->count(), 1);
    }

    void theFirstStartOpensPersonalContactsOrElseTheFirstFolder() {
        {
            qeltest::SeamScope seams;
            Harness h(browsertest::freshStoreDir(QStringLiteral("first")));
            h.gOlNameSpace->Folders()->Add(QStringLiteral("Address Book"), ol::olContactItem);
            addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
            QVERIFY(h.start());
            QCOMPARE(h.ui.lblFolders->caption(), kContacts);
            QCOMPARE(h.ui.lblFolders->toolTip(), kContacts);
            QCOMPARE(h.ui.cmbFolders->currentIndex(), 0);
            QCOMPARE(entries(h.ui.cmbFolders),
                     (QStringList{kPick, QStringLiteral("Address Book"), kContacts}));
            QCOMPARE(h.ui.cmbContacts->currentText(), QStringLiteral("Ann Adams"));
        }
        browsertest::freshSettings(QStringLiteral("folders"));
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("renamed")));
        h.contacts()->rename(QStringLiteral("People"));
        h.gOlNameSpace->Folders()->Add(QStringLiteral("Address Book"), ol::olContactItem);
        QVERIFY(h.start());
        QCOMPARE(h.ui.lblFolders->caption(), QStringLiteral("Address Book"));
    }

    void aRememberedFolderIsOpenedWithoutAScan() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("remembered")));
        const ol::FolderPtr work = h.contacts()->Folders()->Add(QStringLiteral("Work"), ol::olContactItem);
        addContact(work, QStringLiteral("Wes"), QStringLiteral("Abbot"));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("CurrentFolder"),
                         QStringLiteral("Personal Folders\\Contacts\\Work"));
        QVERIFY(h.start());
        QCOMPARE(entries(h.ui.cmbFolders),
                 (QStringList{kPick, QStringLiteral("Personal Folders\\Contacts\\Work")}));
        QCOMPARE(h.gOlContactFolder->path(), QStringLiteral("Personal Folders\\Contacts\\Work"));
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("Wes Abbot")});
    }

    void aFolderThatIsGoneIsReportedAndTheFirstFolderOpened() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("gone")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        const ol::FolderPtr clients = h.folder(QStringLiteral("Personal Folders"))
                                          ->Folders()
                                          ->Add(QStringLiteral("Clients"), ol::olContactItem);
        addContact(clients, QStringLiteral("Carl"), QStringLiteral("Abel"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("CurrentFolder"),
                         QStringLiteral("Personal Folders\\Customers"));
        seams.dialogs.expectMessage(
            QStringLiteral("The folder Personal Folders\\Customers no longer exists. The folders "
                           "will now be refreshed. Please pick a new folder."));
        QVERIFY(h.start());
        QCOMPARE(h.ui.lblFolders->caption(), QStringLiteral("Personal Folders\\Clients"));
        QCOMPARE(h.ui.cmbFolders->currentIndex(), 0);
        QCOMPARE(h.ui.cmbFolders->count(), 3);
        QCOMPARE(h.gOlContactFolder->path(), QStringLiteral("Personal Folders\\Clients"));
        QCOMPARE(h.ui.cmbContacts->currentText(), QStringLiteral("Carl Abel"));
        QTRY_COMPARE(browsertest::cache(QStringLiteral("CurrentFolder")),
                     QStringLiteral("Personal Folders\\Clients"));
    }

    void choosingAFolderOpensItAndThePickEntryDoesNothing() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("choose")));
        const ol::FolderPtr work = h.contacts()->Folders()->Add(QStringLiteral("Work"), ol::olContactItem);
        addContact(work, QStringLiteral("Wes"), QStringLiteral("Abbot"));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        h.settings.subFolders = true;
        QVERIFY(h.start());
        QVERIFY(h.browser->cmdFolRefresh_Click());
        choose(h.ui.cmbFolders, QStringLiteral("Personal Folders\\Contacts\\Work"));
        QCOMPARE(h.ui.lblFolders->caption(), QStringLiteral("Personal Folders\\Contacts\\Work"));
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("Wes Abbot")});
        choose(h.ui.cmbFolders, kPick);
        QCOMPARE(h.ui.lblFolders->caption(), QStringLiteral("Personal Folders\\Contacts\\Work"));
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("Wes Abbot")});
    }

    void categoriesAreCollectedOnceEachWithTheFixedEntries() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("categories")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::Categories, QStringLiteral("Work, Golf")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"),
                   {{ol::prop::Categories, QStringLiteral("Golf")}});
        addContact(h.contacts(), QStringLiteral("Cy"), QStringLiteral("Avery"));
        // A distribution list is no contact: its categories stay out of the list.
        ol::ItemPtr list = h.contacts()->Items()->Add(ol::olContactItem);
        list->set(ol::prop::MessageClass, QStringLiteral("IPM.DistList"));
        list->set(ol::prop::Categories, QStringLiteral("Mailing"));
        list->Save();
        QVERIFY(h.start());
        QCOMPARE(entries(h.ui.cmbCategories),
                 (QStringList{QStringLiteral(" <Pick a Category or Refresh> "), QStringLiteral("~All~"),
                              QStringLiteral("~No Category Name~")}));
        h.browser->cmdCatRefresh_Click();
        QCOMPARE(entries(h.ui.cmbCategories),
                 (QStringList{QStringLiteral(" <Pick a Category or Refresh> "), QStringLiteral("Golf"),
                              QStringLiteral("Work"), QStringLiteral("~All~"),
                              QStringLiteral("~No Category Name~")}));
        QCOMPARE(h.ui.cmbCategories->currentIndex(), 0);
        QVERIFY(h.ui.cmdCatRefresh->isEnabled());
    }

    void aChosenCategoryRestrictsTheListUntilAllIsChosen() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("choosecat")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::Categories, QStringLiteral("Work, Golf")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"),
                   {{ol::prop::Categories, QStringLiteral("Golf")}});
        addContact(h.contacts(), QStringLiteral("Cy"), QStringLiteral("Avery"));
        addContact(h.contacts(), QStringLiteral("Dee"), QStringLiteral("Ames"),
                   {{ol::prop::Categories, QStringLiteral("Mike's Team")}});
        QVERIFY(h.start());
        h.browser->cmdCatRefresh_Click();

        choose(h.ui.cmbCategories, QStringLiteral("Golf"));
        QCOMPARE(h.ui.lblCategories->caption(), QStringLiteral("Golf"));
        QCOMPARE(h.ui.txtCategory->text(),
                 QStringLiteral(" AND [MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu' AND "
                                "[Categories] = 'Golf'"));
        QCOMPARE(entries(h.ui.cmbContacts),
                 (QStringList{QStringLiteral("Ann Adams"), QStringLiteral("Bob Arnold")}));

        choose(h.ui.cmbCategories, QStringLiteral("Mike's Team"));
        QCOMPARE(h.ui.txtCategory->text().right(33), QStringLiteral("AND [Categories] = 'Mike''s Team'"));
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("Dee Ames")});

        choose(h.ui.cmbCategories, QStringLiteral("~No Category Name~"));
        QCOMPARE(h.ui.lblCategories->caption(), QStringLiteral("Uncategorized"));
        QVERIFY(h.ui.txtCategory->text().endsWith(QStringLiteral(" AND [Categories] = ''")));
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("Cy Avery")});
        QTRY_COMPARE(browsertest::cache(QStringLiteral("CurrentCategory")), QStringLiteral("Uncategorized"));

        choose(h.ui.cmbCategories, QStringLiteral(" <Pick a Category or Refresh> "));
        QCOMPARE(h.ui.lblCategories->caption(), QStringLiteral("Uncategorized"));

        choose(h.ui.cmbCategories, QStringLiteral("~All~"));
        QCOMPARE(h.ui.lblCategories->caption(), QStringLiteral("All Categories"));
        QCOMPARE(h.ui.txtCategory->text(),
                 QStringLiteral(" AND [MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu'"));
        QCOMPARE(h.ui.cmbContacts->count(), 4);
    }

    void theRememberedCategoryIsRestoredAtStartUp() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("restorecat")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::Categories, QStringLiteral("Golf")}});
        addContact(h.contacts(), QStringLiteral("Cy"), QStringLiteral("Avery"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("CurrentCategory"), QStringLiteral("Golf"));
        QVERIFY(h.start());
        QCOMPARE(h.ui.lblCategories->caption(), QStringLiteral("Golf"));
        QCOMPARE(h.ui.cmbCategories->currentIndex(), 0);
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("Ann Adams")});
    }
};

QEL_TEST_MAIN(FoldersTest)
#include "test_folders.moc"
