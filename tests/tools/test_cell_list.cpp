// "Create Cell Phone List" on bare tags: the ticked fields copied and nothing else, contacts with
// none of them left out, the refusals checked before the target folder loses anything, cancel,
// and the e-mail addresses with and without the safe wrapper. Every prompt and folder pick is
// scripted; the folders are read through a fresh connection.

#include "ToolsTesting.h"

using namespace toolstest;
using qel::MsgResult;

namespace {

const QString kTargetPath = QStringLiteral("Personal Folders\\Cell Phone");
const QString kSourcePath = QStringLiteral("Personal Folders\\Contacts");
const QString kIntro = QStringLiteral("This will export certain contacts and fields");

struct CellHarness : Harness {
    explicit CellHarness(const QString& tag) : Harness(tag) {
        target = gOlNameSpace->folderByPath(QStringLiteral("Personal Folders"))
                     ->Folders()
                     ->Add(QStringLiteral("Cell Phone"), ol::olContactItem);
    }
    ol::ItemPtr contact(const QString& first, const QString& last, const QVariantMap& values,
                        const ol::FolderPtr& folder = nullptr) {
        ol::ItemPtr c = (folder ? folder : gOlContactFolder)->Items()->Add(ol::olContactItem);
        c->Set(QStringLiteral("FirstName"), first);
        c->Set(QStringLiteral("LastName"), last);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            c->Set(it.key(), it.value());
        c->Save();
        return c;
    }
    QStringList targetNames() const {
        QStringList names;
        for (const ol::ItemPtr& item : freshItems(kTargetPath))
            names << item->Get(QStringLiteral("FullName")).toString();
        names.sort();
        return names;
    }
    ol::FolderPtr target;
};

} // namespace

class CellListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void copiesTheTickedFieldsOfContactsThatHaveThem() {
        CellHarness h(QStringLiteral("copy"));
        h.contact(QStringLiteral("Ann"), QStringLiteral("Lee"),
                  {{"MobileTelephoneNumber", "555-0101"},
                   {"HomeTelephoneNumber", "555-0102"},
                   {"Email1Address", "ann@example.org"},
                   {"Categories", "Family"}});
        h.contact(QStringLiteral("Bob"), QStringLiteral("Ray"), {{"HomeTelephoneNumber", "555-0201"}});
        h.contact(QStringLiteral("Cy"), QStringLiteral("Moe"), {{"ISDNNumber", "555-0301"}});
        h.contact(QStringLiteral("Dee"), QStringLiteral("Fox"), {{"MobileTelephoneNumber", "555-0401"}});
        h.contact(QStringLiteral("Old"), QStringLiteral("Entry"), {{"MobileTelephoneNumber", "1"}}, h.target);
        h.contact(QStringLiteral("Older"), QStringLiteral("Entry"), {}, h.target);
        h.settings.cellFields[1] = true;  // Mobile Phone
        h.settings.cellFields[13] = true; // ISDN
        h.settings.cellFields[16] = true; // Email Address #1
        h.storeUi->expectPick(h.target);
        qeltest::SeamScope seams;
        seams.dialogs.expectMessage(kIntro + QStringLiteral(""))
            .expectQuestion(
                QStringLiteral("There is data in the folder named: Cell Phone. All contacts will be "
                               "deleted. Would you like to continue?"),
                MsgResult::Yes)
            .expectMessage(QStringLiteral("3 Cell Phone Contacts has been created!"));
        h.tools->menuCell_Click();
        QVERIFY(seams.dialogs.verify());
        QVERIFY(seams.dialogs.prompts().first().text.contains(
            QStringLiteral("The data will copied from the contact folder named: Contacts")));
        QCOMPARE(seams.dialogs.prompts().at(1).title, QStringLiteral("Data Exists!"));

        // Bob has only an unticked number: he is left out. The count is what was copied.
        QCOMPARE(h.targetNames(), (QStringList{QStringLiteral("Ann Lee"), QStringLiteral("Cy Moe"),
                                               QStringLiteral("Dee Fox")}));
        QCOMPARE(h.tools->lastCellCount(), 3);
        for (const ol::ItemPtr& item : h.freshItems(kTargetPath)) {
            if (item->Get(QStringLiteral("FullName")).toString() != QStringLiteral("Ann Lee"))
                continue;
            QCOMPARE(item->Get(QStringLiteral("MobileTelephoneNumber")).toString(),
                     QStringLiteral("555-0101"));
            QCOMPARE(item->Get(QStringLiteral("Email1Address")).toString(),
                     QStringLiteral("ann@example.org"));
            QCOMPARE(item->Get(QStringLiteral("HomeTelephoneNumber")).toString(), QString());
            QCOMPARE(item->Get(QStringLiteral("Categories")).toString(), QString());
        }
        QCOMPARE(h.freshItems(kSourcePath)->Count(), 4);
        QCOMPARE(qel::Tag(&h.menuCell), QString());
        QCOMPARE(qel::Tag(&h.syncTimer), QString());
        QVERIFY(h.windowShown);

        // The filter narrows the contacts; a second run asks again before it empties the list.
        h.settings.cellSQL = QStringLiteral("[Categories] = 'Family'");
        h.storeUi->expectPick(h.target);
        seams.dialogs.expectMessage(kIntro)
            .expectQuestion(QStringLiteral("There is data in the folder named: Cell Phone."), MsgResult::Yes)
            .expectMessage(QStringLiteral("1 Cell Phone Contact has been created!"));
        h.tools->menuCell_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.targetNames(), QStringList{QStringLiteral("Ann Lee")});
    }

    void nothingTickedOrNothingToCopy() {
        CellHarness h(QStringLiteral("empty"));
        h.contact(QStringLiteral("Bob"), QStringLiteral("Ray"), {{"HomeTelephoneNumber", "555-0201"}});
        h.contact(QStringLiteral("Kept"), QStringLiteral("Entry"), {{"MobileTelephoneNumber", "1"}},
                  h.target);
        qeltest::SeamScope seams;
        // Nothing ticked: nothing could be copied, so the target is not touched and no folder asked for.
        seams.dialogs.expectMessage(QStringLiteral("No fields are selected for the Cell Phone List."));
        h.tools->menuCell_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.targetNames(), QStringList{QStringLiteral("Kept Entry")});

        // Ticked, but no contact has the field: the list ends empty.
        h.settings.cellFields[5] = true; // Car Phone
        h.storeUi->expectPick(h.target);
        seams.dialogs.expectMessage(kIntro)
            .expectQuestion(QStringLiteral("There is data in the folder named"), MsgResult::Yes)
            .expectMessage(QStringLiteral("No Contacts were added.  Check your SQL filter"));
        h.tools->menuCell_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.freshItems(kTargetPath)->Count(), 0);
        QCOMPARE(h.tools->lastCellCount(), 0);
    }

    void refusalsComeBeforeAnythingIsDeleted() {
        CellHarness h(QStringLiteral("refuse"));
        h.contact(QStringLiteral("Ann"), QStringLiteral("Lee"), {{"MobileTelephoneNumber", "555-0101"}});
        h.contact(QStringLiteral("Kept"), QStringLiteral("Entry"), {{"MobileTelephoneNumber", "1"}},
                  h.target);
        h.settings.cellFields[1] = true;
        qeltest::SeamScope seams;

        // The source folder as target, a calendar, and a cancelled pick.
        h.storeUi->expectPick(h.gOlContactFolder);
        seams.dialogs.expectMessage(kIntro).expectMessage(QStringLiteral(
            "Please select a different contact folder.  This folder is being used to copy from"));
        h.tools->menuCell_Click();
        h.storeUi->expectPick(h.gOlCalendarFolder);
        seams.dialogs.expectMessage(kIntro).expectMessage(
            QStringLiteral("Please select a contact folder type."));
        h.tools->menuCell_Click();
        h.storeUi->expectPick(nullptr);
        seams.dialogs.expectMessage(kIntro).expectMessage(QStringLiteral("Cell Phone Export cancelled"));
        h.tools->menuCell_Click();

        // A typing error in the filter is found before the target is emptied (no "Data Exists!").
        h.settings.cellSQL = QStringLiteral("[Categories = 'Family'");
        h.storeUi->expectPick(h.target);
        seams.dialogs.expectMessage(kIntro).expectMessage(QStringLiteral(
            "There is a syntax error in your SQL filter.  Please fix this in preferences and run "
            "again."));
        h.tools->menuCell_Click();

        // No at "Data Exists!".
        h.settings.cellSQL.clear();
        h.storeUi->expectPick(h.target);
        seams.dialogs.expectMessage(kIntro).expectQuestion(QStringLiteral("There is data"), MsgResult::No);
        h.tools->menuCell_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.storeUi->unexpected, 0);

        QCOMPARE(h.freshItems(kSourcePath)->Count(), 1);
        QCOMPARE(h.targetNames(), QStringList{QStringLiteral("Kept Entry")});
        QCOMPARE(qel::Tag(&h.menuCell), QString());
    }

    void cancelKeepsTheContactsSaved() {
        CellHarness h(QStringLiteral("cancel"));
        for (int i = 1; i <= 4; ++i)
            h.contact(QStringLiteral("P%1").arg(i), QStringLiteral("Smith"),
                      {{"MobileTelephoneNumber", QStringLiteral("555-010%1").arg(i)}});
        h.settings.cellFields[1] = true;
        h.progress.cancelOn = QStringLiteral("Checking: ");
        h.progress.cancelAfter = 3; // seen after the third contact's status line
        h.storeUi->expectPick(h.target);
        qeltest::SeamScope seams;
        seams.dialogs.expectMessage(kIntro).expectMessage(
            QStringLiteral("Cell Phone List creation cancelled by user."));
        h.tools->menuCell_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.freshItems(kTargetPath)->Count(), 2);
        QCOMPARE(h.unloads, 1);
        QVERIFY(h.windowShown);
    }

    void emailAddressesWithAndWithoutTheSafeWrapper() {
        CellHarness h(QStringLiteral("email"));
        const ol::ItemPtr ann =
            h.contact(QStringLiteral("Ann"), QStringLiteral("Lee"),
                      {{"Email2Address", "ann@example.org"}, {"Email3Address", "a@b.example"}});
        h.settings.cellFields[17] = true;
        h.settings.cellFields[18] = true;
        qeltest::SeamScope seams;

        // With the wrapper the addresses are read through it: it holds the contact afterwards.
        h.storeUi->expectPick(h.target);
        seams.dialogs.expectMessage(kIntro).expectMessage(
            QStringLiteral("1 Cell Phone Contact has been created!"));
        h.tools->menuCell_Click();
        QVERIFY(h.gSafeContact->item());
        QCOMPARE(h.gSafeContact->item()->EntryID(), ann->EntryID());
        QCOMPARE(h.freshItems(kTargetPath)->Item(1)->Get(QStringLiteral("Email2Address")).toString(),
                 QStringLiteral("ann@example.org"));

        // Without it they are read from the contact itself; the wrapper is left alone.
        h.gNoRedemption = true;
        h.gSafeContact->setItem(nullptr);
        h.storeUi->expectPick(h.target);
        seams.dialogs.expectMessage(kIntro)
            .expectQuestion(QStringLiteral("There is data"), MsgResult::Yes)
            .expectMessage(QStringLiteral("1 Cell Phone Contact has been created!"));
        h.tools->menuCell_Click();
        QVERIFY(seams.dialogs.verify());
        QVERIFY(!h.gSafeContact->item());
        const ol::ItemsPtr list = h.freshItems(kTargetPath);
        QCOMPARE(list->Count(), 1);
        QCOMPARE(list->Item(1)->Get(QStringLiteral("Email2Address")).toString(),
                 QStringLiteral("ann@example.org"));
        QCOMPARE(list->Item(1)->Get(QStringLiteral("Email3Address")).toString(),
                 QStringLiteral("a@b.example"));
        QCOMPARE(list->Item(1)->Get(QStringLiteral("FullName")).toString(), QStringLiteral("Ann Lee"));
    }
};

QEL_TEST_MAIN(CellListTest)
#include "test_cell_list.moc"
