// Search: the type-ahead of the search box, the partial search with its result list, Look Up and
// Cancel, and the keys of the search box.

#include "BrowserTesting.h"
#include "core/Tag.h"

#include <QApplication>

using browsertest::addContact;
using browsertest::entries;
using browsertest::Harness;

namespace {

const QString kGap = QString(80, QLatin1Char(' '));
const QString kPrompt = QStringLiteral(" <Select a Search Result>");

void addPeople(Harness& h) {
    const ol::FolderPtr c = h.contacts();
    addContact(c, QStringLiteral("Mark"), QStringLiteral("Miller"));
    addContact(c, QStringLiteral("Mary"), QStringLiteral("Moore"),
               {{ol::prop::User1, QStringLiteral("Birthday 1/2/1980")}});
    addContact(c, QStringLiteral("Tom"), QStringLiteral("Jackson"));
    addContact(c, QStringLiteral("Jill"), QStringLiteral("Jones"));
    addContact(c, QStringLiteral("Sonia"), QStringLiteral("Moore"));
    addContact(c, QStringLiteral("Sam"), QStringLiteral("Stone"),
               {{ol::prop::CompanyName, QStringLiteral("Sonic Inc")},
                {ol::prop::Email1Address, QStringLiteral("son@x.example")}});
    addContact(c, QStringLiteral("Cher"), QString());
    addContact(c, QStringLiteral("Émile"), QStringLiteral("Éclair"));
    addContact(c, QStringLiteral("D'Andre"), QStringLiteral("Price"));
}

// Types into the search box key by key, as a user does (every key release runs the type-ahead).
void type(Harness& h, const QString& text) {
    h.ui.Search->clear();
    QTest::keyClicks(h.ui.Search, text);
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { browsertest::freshSettings(QStringLiteral("search")); }

    void typingJumpsToTheFirstNameAtOrAfterTheText() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("typeahead")));
        addPeople(h);
        QVERIFY(h.start());
        type(h, QStringLiteral("mary"));
        QCOMPARE(h.mLetterCode, 13);
        QCOMPARE(h.ui.cmbContacts->currentText(), QStringLiteral("Mary Moore"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Mary Moore"));
        QCOMPARE(h.ui.Search->text(), QStringLiteral("mary"));
        type(h, QStringLiteral("MarZ")); // between Mary Moore and Sam Stone
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Sam Stone"));
        QCOMPARE(h.mLetterCode, 19);
        type(h, QStringLiteral("Ch"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Cher"));
        QCOMPARE(h.mLetterCode, 27);
        type(h, QStringLiteral("em"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Émile Éclair"));
        QCOMPARE(h.mLetterCode, 5);
        type(h, QStringLiteral("D'A"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("D'Andre Price"));
        QCOMPARE(h.mLetterCode, 16);
    }

    void typingPastTheLastNameChangesNothing() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("pastend")));
        addPeople(h);
        QVERIFY(h.start());
        type(h, QStringLiteral("Tom"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Tom Jackson"));
        type(h, QStringLiteral("Zz"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Tom Jackson"));
        QCOMPARE(h.mLetterCode, 10);
        QCOMPARE(h.mContactName, QStringLiteral("Tom Jackson"));
    }

    void thePartialSearchFindsTheTextAnywhereInTheNameIgnoringCase() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("partial")));
        addPeople(h);
        addContact(h.contacts(), QStringLiteral("Jason"), QStringLiteral("Ray"));
        QVERIFY(h.start());
        h.ui.Search->setText(QStringLiteral("SON"));
        QTest::keyClick(h.ui.Search, Qt::Key_Return);
        QCOMPARE(entries(h.ui.cmbSearch),
                 (QStringList{kPrompt, QStringLiteral("Jason Ray") + kGap + QStringLiteral("R"),
                              QStringLiteral("Sonia Moore") + kGap + QStringLiteral("M"),
                              QStringLiteral("Tom Jackson") + kGap + QStringLiteral("J")}));
        QVERIFY(!h.ui.cmbSearch->isHidden());
        QVERIFY(!h.ui.cmdFound->isHidden());
        QVERIFY(!h.ui.cmdClear->isHidden());
        QCOMPARE(h.ui.cmbSearch->currentIndex(), 0);
        QVERIFY(h.ui.PartialSearch->isEnabled());
        QVERIFY(h.form.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    // Digits find the contacts with a number that holds them, whatever its punctuation and in
    // whichever of the numbers, within the category; a text that is mostly letters does not.
    void digitsFindTheContactsWithThatNumber() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("numbers")));
        using namespace ol::prop;
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{MobileTelephoneNumber, QStringLiteral("(555) 123-4567")},
                    {Categories, QStringLiteral("Golf")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Brown"),
                   {{HomeTelephoneNumber, QStringLiteral("555 0000")},
                    {TTYTDDTelephoneNumber, QStringLiteral("+1.555.12.99")},
                    {Categories, QStringLiteral("Golf")}});
        addContact(
            h.contacts(), QStringLiteral("Cy"), QStringLiteral("Cole"),
            {{BusinessTelephoneNumber, QStringLiteral("555-1300")}, {Categories, QStringLiteral("Golf")}});
        addContact(h.contacts(), QStringLiteral("Dee"), QStringLiteral("Dunn"),
                   {{PagerNumber, QStringLiteral("5551234")}});
        addContact(h.contacts(), QStringLiteral("Route"), QStringLiteral("5 Diner"),
                   {{CompanyName, QStringLiteral("Apt 5")}});
        QVERIFY(h.start());
        const QString ann = QStringLiteral("Ann Adams") + kGap + QStringLiteral("A");
        const QString bob = QStringLiteral("Bob Brown") + kGap + QStringLiteral("B");
        const QString dee = QStringLiteral("Dee Dunn") + kGap + QStringLiteral("D");
        h.ui.Search->setText(QStringLiteral("555 12"));
        h.browser->PartialSearch_Click();
        QCOMPARE(entries(h.ui.cmbSearch), (QStringList{kPrompt, ann, bob, dee}));
        h.ui.Search->setText(QStringLiteral("(555) 123-4"));
        h.browser->PartialSearch_Click();
        QCOMPARE(entries(h.ui.cmbSearch), (QStringList{kPrompt, ann, dee}));
        h.ui.lblCategories->setCaption(QStringLiteral("Golf"));
        h.ui.Search->setText(QStringLiteral("5551"));
        h.browser->PartialSearch_Click();
        QCOMPARE(entries(h.ui.cmbSearch),
                 (QStringList{kPrompt, ann, bob, QStringLiteral("Cy Cole") + kGap + QStringLiteral("C")}));
        // Look Up goes to the contact of the number.
        h.ui.cmbSearch->setCurrentIndex(2);
        h.browser->cmdFound_Click();
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Bob Brown"));
        // Mostly letters: a search of names, which "5 D" alone finds.
        h.ui.lblCategories->setCaption(QString());
        h.ui.Search->setText(QStringLiteral("5 D"));
        h.browser->PartialSearch_Click();
        QCOMPARE(entries(h.ui.cmbSearch),
                 (QStringList{kPrompt, QStringLiteral("Route 5 Diner") + kGap + QStringLiteral("5")}));
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    void anEmptyTextFindsEveryContactOfTheCategory() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("everyone")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::Categories, QStringLiteral("Golf")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Brown"),
                   {{ol::prop::Categories, QStringLiteral("Golf")}});
        addContact(h.contacts(), QStringLiteral("Cy"), QStringLiteral("Cole"));
        QVERIFY(h.start());
        h.browser->PartialSearch_Click();
        QCOMPARE(h.ui.cmbSearch->count(), 4);
        h.ui.lblCategories->setCaption(QStringLiteral("Golf"));
        h.browser->PartialSearch_Click();
        QCOMPARE(entries(h.ui.cmbSearch),
                 (QStringList{kPrompt, QStringLiteral("Ann Adams") + kGap + QStringLiteral("A"),
                              QStringLiteral("Bob Brown") + kGap + QStringLiteral("B")}));
    }

    void lookUpGoesToTheLetterOfTheChosenResult() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("lookup")));
        addPeople(h);
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("ContactName"),
                         QStringLiteral("Jill Jones"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("10"));
        QVERIFY(h.start());
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Jill Jones"));
        h.ui.Search->setText(QStringLiteral("ack"));
        h.browser->PartialSearch_Click();
        h.ui.cmbSearch->setCurrentIndex(1);
        h.ui.cmdFound->click();
        QCOMPARE(h.mLetterCode, 10);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Tom Jackson"));
        QVERIFY(h.ui.cmbSearch->isHidden());
        QVERIFY(h.ui.cmdFound->isHidden());
        QVERIFY(h.ui.cmdClear->isHidden());

        // A contact without a last name is under MISC; accents do not hide a letter.
        h.ui.Search->setText(QStringLiteral("e"));
        h.browser->PartialSearch_Click();
        h.ui.cmbSearch->setCurrentIndex(h.ui.cmbSearch->findText(QStringLiteral("Cher") + kGap));
        h.browser->cmdFound_Click();
        QCOMPARE(h.mLetterCode, 27);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Cher"));
        h.browser->PartialSearch_Click();
        h.ui.cmbSearch->setCurrentIndex(
            h.ui.cmbSearch->findText(QStringLiteral("Émile Éclair") + kGap + QStringLiteral("É")));
        h.browser->cmdFound_Click();
        QCOMPARE(h.mLetterCode, 5);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Émile Éclair"));
    }

    void lookUpWithoutAChoiceAsksForOne() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("nochoice")));
        addPeople(h);
        QVERIFY(h.start());
        h.ui.Search->setText(QStringLiteral("moore"));
        h.browser->PartialSearch_Click();
        seams.dialogs.expectMessage(QStringLiteral("Please choose a valid contact"));
        h.ui.cmdFound->click();
        QVERIFY(!h.ui.cmbSearch->isHidden());
        QCOMPARE(seams.dialogs.pending(), 0);
    }

    void nothingFoundSaysSoAndKeepsTheSpecialDayButton() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("nothing")));
        addPeople(h);
        QVERIFY(h.start());
        type(h, QStringLiteral("Mary"));
        QVERIFY(!h.ui.cmdQELDay->isHidden());
        h.ui.Search->setText(QStringLiteral("xyz"));
        seams.dialogs.expectMessage(QStringLiteral("No contacts found."));
        h.browser->PartialSearch_Click();
        QCOMPARE(seams.dialogs.pending(), 0);
        QVERIFY(h.ui.cmbSearch->isHidden());
        QVERIFY(!h.ui.cmdQELDay->isHidden());
        QVERIFY(h.ui.PartialSearch->isEnabled());
    }

    void cancelBringsBackTheSpecialDayButtonOfTheShownContactOnly() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("cancel")));
        addPeople(h);
        QVERIFY(h.start());
        type(h, QStringLiteral("Mary"));
        h.ui.Search->setText(QStringLiteral("mo"));
        h.browser->PartialSearch_Click();
        QVERIFY(h.ui.cmdQELDay->isHidden());
        h.ui.cmdClear->click();
        QVERIFY(h.ui.cmbSearch->isHidden());
        QVERIFY(!h.ui.cmdQELDay->isHidden()); // Mary has a special day

        type(h, QStringLiteral("Mark"));
        QVERIFY(h.ui.cmdQELDay->isHidden());
        h.ui.Search->setText(QStringLiteral("mo"));
        h.browser->PartialSearch_Click();
        h.ui.cmdClear->click();
        QVERIFY(h.ui.cmdQELDay->isHidden()); // Mark has none
        QCOMPARE(qel::Tag(h.ui.cmdQELDay), QString());
    }

    void escapeEmptiesTheBoxAndFocusGoesToTheList() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("escape")));
        addPeople(h);
        QVERIFY(h.start());
        h.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.form));
        h.browser->menuSearch_Click();
        QVERIFY(h.ui.Search->hasFocus());
        QVERIFY(!h.keyPreview); // typed letters go to the box, not to the letter tabs
        QTest::keyClicks(h.ui.Search, QStringLiteral("Tom"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Tom Jackson"));
        QTest::keyClick(h.ui.Search, Qt::Key_Escape);
        QCOMPARE(h.ui.Search->text(), QString());
        QVERIFY(h.ui.cmbContacts->hasFocus());
        QVERIFY(h.keyPreview);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Tom Jackson"));

        // While a contact is being edited, leaving the box keeps key preview off.
        h.ui.Search->setFocus();
        QVERIFY(!h.keyPreview);
        h.editing = true;
        h.ui.cmbContacts->setFocus();
        QVERIFY(!h.keyPreview);
    }

    void theSearchMenuOpensTheSearchPane() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("menu")));
        QVERIFY(h.start());
        h.browser->selectTab(4);
        h.browser->cmdHide_Click();
        h.browser->menuSearch_Click();
        QCOMPARE(h.browser->selectedTab(), 1);
        QVERIFY(h.browser->containerOpen());
        QVERIFY(!h.ui.fmeQuick[0]->isHidden());
        QVERIFY(h.ui.fmeQuick[3]->isHidden());
    }
};

QEL_TEST_MAIN(SearchTest)
#include "test_search.moc"
