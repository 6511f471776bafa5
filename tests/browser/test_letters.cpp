// The letter index: the restriction of each letter, which last names land under which tab, the
// tab display, the ring of letters, the back tabs, reselecting the remembered contact and moving
// through the list.

#include "BrowserTesting.h"
#include "support/DebugCarrierDouble.h"

using browsertest::addContact;
using browsertest::entries;
using browsertest::Harness;

namespace {

const QString kSuffix =
    QStringLiteral(" AND [MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu'");

// Which of the three letter boxes shows, and its text.
QString shownTab(const Harness& h) {
    const auto tabs = h.ui.letterButtons();
    QString shown;
    for (int i = 0; i < 3; ++i) {
        if (!tabs[static_cast<size_t>(i)]->isHidden())
            shown += QStringLiteral("%1:%2").arg(i + 1).arg(tabs[static_cast<size_t>(i)]->text());
    }
    return shown;
}

} // namespace

class LettersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { browsertest::freshSettings(QStringLiteral("letters")); }

    void theRestrictionOfEachLetter_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("restriction");
        QTest::newRow("0") << 0 << QStringLiteral("[LastName] >= 'A' And [LastName] < 'B'");
        QTest::newRow("A") << 1 << QStringLiteral("[LastName] >= 'A' And [LastName] < 'B'");
        QTest::newRow("B") << 2 << QStringLiteral("[LastName] >= 'B' AND [LastName] < 'C'");
        QTest::newRow("M") << 13 << QStringLiteral("[LastName] >= 'M' AND [LastName] < 'N'");
        QTest::newRow("Y") << 25 << QStringLiteral("[LastName] >= 'Y' AND [LastName] < 'Z'");
        QTest::newRow("Z") << 26 << QStringLiteral("[LastName] >= 'Z' And [LastName] < 'ZZZZ'");
        QTest::newRow("MISC") << 27 << QStringLiteral("([LastName] > 'ZZZZ' OR [LastName] < 'A')");
    }
    void theRestrictionOfEachLetter() {
        QFETCH(int, code);
        QFETCH(QString, restriction);
        QCOMPARE(qel::letterRestriction(code, kSuffix), restriction + kSuffix);
    }

    void lastNamesAreListedUnderTheLetterTheyBeginWith() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("bounds")));
        const ol::FolderPtr c = h.contacts();
        addContact(c, QStringLiteral("Zed"), QStringLiteral("ZZYZX"));
        addContact(c, QStringLiteral("Zack"), QStringLiteral("ZZZZZ"));
        addContact(c, QStringLiteral("Zoe"), QStringLiteral("Zimmerman"));
        addContact(c, QStringLiteral("amy"), QStringLiteral("adams"));
        addContact(c, QStringLiteral("Émile"), QStringLiteral("Éclair"));
        addContact(c, QStringLiteral("Sven"), QStringLiteral("Øberg"));
        addContact(c, QStringLiteral("Liam"), QStringLiteral("O'Brien"));
        addContact(c, QStringLiteral("Cher"), QString());
        addContact(c, QString(), QString(), {{ol::prop::CompanyName, QStringLiteral("3M Dental")}});
        addContact(c, QStringLiteral("Ada"), QStringLiteral("1st Choice"));
        QVERIFY(h.start());

        h.goToLetter(26);
        QCOMPARE(entries(h.ui.cmbContacts),
                 (QStringList{QStringLiteral("Zed ZZYZX"), QStringLiteral("Zoe Zimmerman")}));
        h.goToLetter(27);
        QCOMPARE(entries(h.ui.cmbContacts),
                 (QStringList{QStringLiteral("3M Dental"), QStringLiteral("Ada 1st Choice"),
                              QStringLiteral("Cher"), QStringLiteral("Zack ZZZZZ")}));
        h.goToLetter(1);
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("amy adams")});
        h.goToLetter(5);
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("Émile Éclair")});
        h.goToLetter(15);
        QCOMPARE(entries(h.ui.cmbContacts),
                 (QStringList{QStringLiteral("Liam O'Brien"), QStringLiteral("Sven Øberg")}));
        h.goToLetter(2);
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("<No Contacts>")});
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("<No Contacts>"));
    }

    void theCategoryBoundsBothHalvesOfMisc() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("miscgolf")));
        const ol::FolderPtr c = h.contacts();
        const auto golf = std::pair{int(ol::prop::Categories), QStringLiteral("Golf")};
        addContact(c, QStringLiteral("Zed"), QStringLiteral("ZZZZZ"));      // after ZZZZ, no category
        addContact(c, QStringLiteral("Ada"), QStringLiteral("1st Choice")); // before A, no category
        addContact(c, QStringLiteral("Zack"), QStringLiteral("ZZZZZZ"), {golf});
        addContact(c, QStringLiteral("Bo"), QStringLiteral("2nd Tee"), {golf});
        // A distribution list of the category is no contact, on either side.
        for (const QString& last : {QStringLiteral("ZZZZZZZ"), QStringLiteral("0 List")}) {
            ol::ItemPtr list = c->Items()->Add(ol::olContactItem);
            list->set(ol::prop::MessageClass, QStringLiteral("IPM.DistList"));
            list->set(ol::prop::LastName, last);
            list->set(ol::prop::Categories, QStringLiteral("Golf"));
            list->Save();
        }
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("CurrentCategory"), QStringLiteral("Golf"));
        QVERIFY(h.start());
        h.goToLetter(27);
        QCOMPARE(entries(h.ui.cmbContacts),
                 (QStringList{QStringLiteral("Bo 2nd Tee"), QStringLiteral("Zack ZZZZZZ")}));
    }

    void theLetterOfALastNameFollowsTheRestrictions() {
        QCOMPARE(qel::letterCodeOf(QStringLiteral("Adams")), 1);
        QCOMPARE(qel::letterCodeOf(QStringLiteral("adams")), 1);
        QCOMPARE(qel::letterCodeOf(QStringLiteral("Éclair")), 5);
        QCOMPARE(qel::letterCodeOf(QStringLiteral("Ångström")), 1);
        QCOMPARE(qel::letterCodeOf(QStringLiteral("Øberg")), 15);
        QCOMPARE(qel::letterCodeOf(QStringLiteral("ZZYZX")), 26);
        QCOMPARE(qel::letterCodeOf(QStringLiteral("ZZZZZ")), 27);
        QCOMPARE(qel::letterCodeOf(QString()), 27);
        QCOMPARE(qel::letterCodeOf(QStringLiteral("1st")), 27);
        QCOMPARE(qel::letterCodeOf(QStringLiteral("'t Hooft")), 27);
    }

    void theCurrentTabWalksLeftMiddleRightAndTheBackTabsShowWhereTheyLead() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("tabs")));
        QVERIFY(h.start());
        const QList<std::pair<int, QString>> expected = {
            {1, QStringLiteral("2:A")}, {2, QStringLiteral("3:B")},  {3, QStringLiteral("1:C")},
            {4, QStringLiteral("2:D")}, {26, QStringLiteral("3:Z")}, {27, QStringLiteral("1:MISC")}};
        for (const auto& [code, tab] : expected) {
            h.goToLetter(code);
            QCOMPARE(shownTab(h), tab);
        }
        // From MISC (left) the middle tab leads to A, the right one to B.
        QCOMPARE(h.ui.BackTab1->text(), QString());
        QCOMPARE(h.ui.BackTab2->text(), QStringLiteral("A"));
        QCOMPARE(h.ui.BackTab3->text(), QStringLiteral("B"));
    }

    void theLettersFormARing() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("ring")));
        QVERIFY(h.start());
        QCOMPARE(h.mLetterCode, 1);
        h.ui.cmdLeft->click();
        QCOMPARE(h.mLetterCode, 27);
        QCOMPARE(shownTab(h), QStringLiteral("1:MISC"));
        h.ui.cmdRight->click();
        QCOMPARE(h.mLetterCode, 1);
        h.ui.cmdRight->click();
        QCOMPARE(h.mLetterCode, 2);
        QTRY_COMPARE(browsertest::cache(QStringLiteral("LetterCode")), QStringLiteral("2"));
    }

    void aBackTabMakesItsPositionTheCurrentOne_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("backTab");
        QTest::addColumn<int>("to");
        QTest::newRow("left from right") << 2 << 1 << 27;    // B: back twice, over A to MISC
        QTest::newRow("left from middle") << 1 << 1 << 27;   // A: back once
        QTest::newRow("middle from left") << 3 << 2 << 4;    // C: on to D
        QTest::newRow("middle from right") << 5 << 2 << 4;   // E: back to D
        QTest::newRow("right from left") << 3 << 3 << 5;     // C: on twice to E
        QTest::newRow("right from middle") << 25 << 3 << 26; // Y: on to Z
    }
    void aBackTabMakesItsPositionTheCurrentOne() {
        QFETCH(int, from);
        QFETCH(int, backTab);
        QFETCH(int, to);
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("backtabs")));
        QVERIFY(h.start());
        h.goToLetter(from);
        const QString leadsTo = h.ui.backTabs()[static_cast<size_t>(backTab - 1)]->text();
        h.ui.backTabs()[static_cast<size_t>(backTab - 1)]->click();
        QCOMPARE(int(h.mLetterCode), to);
        QCOMPARE(shownTab(h), QStringLiteral("%1:%2").arg(backTab).arg(qel::tabText(to)));
        QCOMPARE(leadsTo, qel::tabText(to));
    }

    void theRememberedContactIsReselectedIgnoringLetterCase() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("reselect")));
        qeltest::DebugCarrierDouble log;
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"));
        addContact(h.contacts(), QStringLiteral("Cy"), QStringLiteral("Avery"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("ContactName"),
                         QStringLiteral("bob ARNOLD"));
        QVERIFY(h.start());
        QCOMPARE(h.ui.cmbContacts->currentText(), QStringLiteral("Bob Arnold"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Bob Arnold"));
        QCOMPARE(h.mContactName, QStringLiteral("Bob Arnold"));
        QTRY_COMPARE(browsertest::cache(QStringLiteral("ContactName")), QStringLiteral("Bob Arnold"));
        const QStringList lines = log.texts();
        QVERIFY(
            lines.contains(QStringLiteral("Vantrel:Determining Letter Position using mLetterCode = 1\r\n")));
        QVERIFY(lines.contains(QStringLiteral("Vantrel:Restricting last name using ") +
                               qel::letterRestriction(1, kSuffix) + QStringLiteral("\r\n")));
        QVERIFY(lines.contains(QStringLiteral("Vantrel:Adding Contact to combobox. Subject = Cy Avery\r\n")));
        QVERIFY(lines.contains(QStringLiteral("Vantrel:Selecting last viewed contact: bob ARNOLD\r\n")));
    }

    void aDeletedRememberedContactSelectsTheTopAndTheLogNamesBoth() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("deletedlast")));
        qeltest::DebugCarrierDouble log;
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("ContactName"), QStringLiteral("Al Abbot"));
        QVERIFY(h.start());
        QCOMPARE(h.ui.cmbContacts->currentIndex(), 0);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));
        QVERIFY(log.texts().contains(QStringLiteral(
            "Vantrel:Cannot find last viewed contact (Al Abbot), selecting top: Ann Adams\r\n")));
        QVERIFY(log.texts().contains(QStringLiteral("Vantrel:Combobox not selected!\r\n"))); // not shown yet
    }

    void aLetterWithoutContactsShowsNoContactsAndKeepsTheRememberedName() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("nocontacts")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::HomeTelephoneNumber, QStringLiteral("555-0100")},
                    {ol::prop::Email1Address, QStringLiteral("ann@example.com")}});
        QVERIFY(h.start());
        QCOMPARE(h.ui.txtNumber[0]->text(), QStringLiteral("555-0100"));
        h.ui.cmdLeft->click();
        QCOMPARE(entries(h.ui.cmbContacts), QStringList{QStringLiteral("<No Contacts>")});
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("<No Contacts>"));
        QCOMPARE(h.ui.txtNumber[0]->text(), QString());
        QCOMPARE(h.ui.lstEmail->count(), 0);
        QCOMPARE(h.mContactName, QStringLiteral("Ann Adams"));
        QTRY_COMPARE(browsertest::cache(QStringLiteral("ContactName")), QStringLiteral("Ann Adams"));
        QTRY_COMPARE(browsertest::cache(QStringLiteral("LetterCode")), QStringLiteral("27"));
        // Back on A, the remembered contact is there again.
        h.ui.cmdRight->click();
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));
    }

    void upAndDownMoveThroughTheLetterAndChimeAtItsEnds() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("updown")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"));
        QVERIFY(h.start());
        h.ui.cmdUp->click();
        QCOMPARE(seams.sound.played(), QStringList{QStringLiteral("chimes.wav")});
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));
        h.ui.cmdDown->click();
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Bob Arnold"));
        QTRY_COMPARE(browsertest::cache(QStringLiteral("ContactName")), QStringLiteral("Bob Arnold"));
        h.ui.cmdDown->click();
        QCOMPARE(seams.sound.played().size(), 2);
        QCOMPARE(h.ui.cmbContacts->currentIndex(), 1);
        h.ui.cmdUp->click();
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));
        QCOMPARE(seams.sound.played().size(), 2);
    }

    void aContactDeletedMeanwhileDropsOutOfTheListAndTheCardStays() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("vanished")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::HomeTelephoneNumber, QStringLiteral("555-0100")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"));
        addContact(h.contacts(), QStringLiteral("Cy"), QStringLiteral("Avery"));
        QVERIFY(h.start());
        h.gOlContacts->Item(QStringLiteral("Bob Arnold"))->Delete();
        h.ui.cmdDown->click();
        QCOMPARE(entries(h.ui.cmbContacts),
                 (QStringList{QStringLiteral("Ann Adams"), QStringLiteral("Cy Avery")}));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));
        QCOMPARE(h.ui.txtNumber[0]->text(), QStringLiteral("555-0100"));
        QCOMPARE(h.ui.cmbContacts->currentText(), QStringLiteral("Ann Adams"));
        QVERIFY(seams.dialogs.prompts().isEmpty());
        h.ui.cmdDown->click();
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Cy Avery"));
    }

    void contactsOfTheSameNameEachShowTheirOwnCard() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("twins")));
        addContact(h.contacts(), QStringLiteral("John"), QStringLiteral("Smith"),
                   {{ol::prop::MobileTelephoneNumber, QStringLiteral("555-0001")}});
        addContact(h.contacts(), QStringLiteral("Jane"), QStringLiteral("Smith"));
        addContact(h.contacts(), QStringLiteral("John"), QStringLiteral("Smith"),
                   {{ol::prop::MobileTelephoneNumber, QStringLiteral("555-0002")}});
        QVERIFY(h.start());
        h.goToLetter(19);
        QCOMPARE(entries(h.ui.cmbContacts),
                 (QStringList{QStringLiteral("Jane Smith"), QStringLiteral("John Smith"),
                              QStringLiteral("John Smith")}));
        h.ui.cmbContacts->setCurrentIndex(1);
        QCOMPARE(h.ui.txtNumber[1]->text(), QStringLiteral("555-0001"));
        h.ui.cmbContacts->setCurrentIndex(2);
        QCOMPARE(h.ui.txtNumber[1]->text(), QStringLiteral("555-0002"));

        // Deletions shift the contacts behind the entries; each entry still finds its own.
        h.gOlContacts->Item(QStringLiteral("Jane Smith"))->Delete();
        h.ui.cmbContacts->setCurrentIndex(1);
        QCOMPARE(h.ui.txtNumber[1]->text(), QStringLiteral("555-0001"));
        h.ui.cmbContacts->setCurrentIndex(2);
        QCOMPARE(h.ui.txtNumber[1]->text(), QStringLiteral("555-0002"));
        h.gOlContacts->Item(QStringLiteral("John Smith"))->Delete(); // the first of the two
        h.ui.cmbContacts->setCurrentIndex(1);
        QCOMPARE(entries(h.ui.cmbContacts),
                 (QStringList{QStringLiteral("Jane Smith"), QStringLiteral("John Smith")}));
        QCOMPARE(h.ui.txtNumber[1]->text(), QStringLiteral("555-0002")); // the card stays
    }

    void theTrayMenuGoesToALetterThroughTheRestore() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("tray")));
        addContact(h.contacts(), QStringLiteral("Sam"), QStringLiteral("Stone"));
        QVERIFY(h.start());
        h.browser->menuTrayGotoLetter_Click(19);
        QCOMPARE(h.mLetterCode, 19);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Sam Stone"));
    }

    void keysChooseLettersAndTheView() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("keys")));
        addContact(h.contacts(), QStringLiteral("Sam"), QStringLiteral("Stone"));
        addContact(h.contacts(), QStringLiteral("Cher"), QString());
        QVERIFY(h.start());
        QVERIFY(h.browser->keyUp(Qt::Key_S, {}));
        QCOMPARE(h.mLetterCode, 19);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Sam Stone"));
        QVERIFY(h.browser->keyUp(Qt::Key_1, Qt::KeypadModifier));
        QCOMPARE(h.mLetterCode, 27);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Cher"));
        QVERIFY(h.browser->keyUp(Qt::Key_Right, {}));
        QCOMPARE(h.mLetterCode, 1);
        QVERIFY(h.browser->keyUp(Qt::Key_Left, {}));
        QCOMPARE(h.mLetterCode, 27);
        QVERIFY(h.browser->keyUp(Qt::Key_2, {}));
        QVERIFY(h.ui.chkExtra->isChecked());
        QVERIFY(h.browser->keyUp(Qt::Key_2, {}));
        QVERIFY(!h.ui.chkExtra->isChecked());
        QVERIFY(!h.browser->keyUp(Qt::Key_F5, {}));
        QCOMPARE(h.mLetterCode, 27);
    }

    void withCtrlALetterMovesWithinTheListByFirstName() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("firstname")));
        for (const auto& [first, last] :
             {std::pair{"Ann", "Miller"}, {"Bob", "Moore"}, {"Beth", "Mann"}, {"Carl", "Meyer"}})
            addContact(h.contacts(), QString::fromLatin1(first), QString::fromLatin1(last));
        QVERIFY(h.start());
        h.goToLetter(13);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Miller"));
        h.browser->keyDown(Qt::Key_Control, Qt::ControlModifier);
        QVERIFY(!h.ui.lblLetterMode->isHidden());
        QVERIFY(h.browser->keyUp(Qt::Key_B, Qt::ControlModifier));
        QCOMPARE(h.mLetterCode, 13); // the letter tab stays
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Beth Mann"));
        h.browser->keyUp(Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Bob Moore"));
        h.browser->keyUp(Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Beth Mann")); // round the end
        h.browser->keyUp(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Beth Mann")); // no Z: nothing moves
        h.browser->keyUp(Qt::Key_Control, {});
        QVERIFY(h.ui.lblLetterMode->isHidden());
        h.browser->keyUp(Qt::Key_B, {});
        QCOMPARE(h.mLetterCode, 2);
    }

    void aDamagedLetterCodeStartsAtA() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("damaged")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("99"));
        QVERIFY(h.start());
        QCOMPARE(h.mLetterCode, 1);
        QCOMPARE(shownTab(h), QStringLiteral("2:A"));
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));
    }
};

QEL_TEST_MAIN(LettersTest)
#include "test_letters.moc"
