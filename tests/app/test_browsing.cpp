// The card file on the real main window: the start-up opening the remembered letter and contact,
// the window's keys (letters, "1", "2", arrows, Ctrl's first-name mode, Alt left to the menus),
// the search box taking the keys while it has the focus, the tray's "Go to..." letters, the
// browser's position coming back after a restart, and the card's actions.

#include "AppTesting.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using apptest::cache;
using apptest::Run;

namespace {

void saveLetterCode(int code) {
    qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QString::number(code));
}

void addContact(const ol::FolderPtr& folder, const QString& first, const QString& last) {
    ol::ItemPtr c = folder->Items()->Add(ol::olContactItem);
    c->set(ol::prop::FirstName, first);
    c->set(ol::prop::LastName, last);
    c->Save();
}

QStringList entries(const QComboBox* list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->itemText(i);
    return all;
}

} // namespace

class BrowsingTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

    QString storeDir() const { return mStores.filePath(QStringLiteral("stores")); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(mStores.isValid());
        ol::ApplicationPtr app = ol::Application::create(storeDir());
        const ol::FolderPtr contacts =
            app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        addContact(contacts, QStringLiteral("Ann"), QStringLiteral("Archer"));
        addContact(contacts, QStringLiteral("Bob"), QStringLiteral("Archer"));
        addContact(contacts, QStringLiteral("Mia"), QStringLiteral("Moss"));
        addContact(contacts, QStringLiteral("Max"), QStringLiteral("Moss"));
        addContact(contacts, QStringLiteral("Zed"), QStringLiteral("Zulu"));
        addContact(contacts, QStringLiteral("Nemo"), QString());
    }
    void init() { beginCase(QStringLiteral("browsing")); }
    void cleanup() { endCase(); }

    void startUpOpensTheFirstLetterOfTheUsualFolder() {
        Run run(storeDir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->lblFolders->caption(), QStringLiteral("Personal Folders\\Contacts"));
        QCOMPARE(w->mLetterCode, qint16(1));
        QCOMPARE(entries(w->cmbContacts), QStringList({"Ann Archer", "Bob Archer"}));
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann Archer"));
        QCOMPARE(w->LetterButton2->text(), QStringLiteral("A"));
        w->ExitProgram(false);
    }

    void windowKeysMoveBetweenLettersAndViews() {
        Run run(storeDir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QVERIFY(QTest::qWaitForWindowActive(w)); // the keys go where the user types
        w->cmbContacts->setFocus();

        // A letter lists its contacts; the combo box does not also jump by its own search.
        QTest::keyClick(w->cmbContacts, Qt::Key_M);
        QCOMPARE(w->mLetterCode, qint16(13));
        QCOMPARE(entries(w->cmbContacts), QStringList({"Max Moss", "Mia Moss"}));
        QCOMPARE(w->txtName->text(), QStringLiteral("Max Moss"));

        // Arrows walk the letter ring; "1" is MISC, where a contact without a last name is listed.
        QTest::keyClick(w->cmbContacts, Qt::Key_Right);
        QCOMPARE(w->mLetterCode, qint16(14));
        QCOMPARE(w->txtName->text(), QStringLiteral("<No Contacts>"));
        QTest::keyClick(w->cmbContacts, Qt::Key_1);
        QCOMPARE(w->mLetterCode, qint16(27));
        QCOMPARE(entries(w->cmbContacts), QStringList({"Nemo"}));
        QTest::keyClick(w->cmbContacts, Qt::Key_Right);
        QCOMPARE(w->mLetterCode, qint16(1));

        // "2" switches the card view and back.
        QVERIFY(!w->chkExtra->isChecked());
        QTest::keyClick(w->cmbContacts, Qt::Key_2);
        QVERIFY(w->chkExtra->isChecked());
        QTest::keyClick(w->cmbContacts, Qt::Key_2);
        QVERIFY(!w->chkExtra->isChecked());

        // With Ctrl held a letter picks the next first name within the list, not another tab.
        QTest::keyClick(w->cmbContacts, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(w->mLetterCode, qint16(1));
        QCOMPARE(w->cmbContacts->currentText(), QStringLiteral("Bob Archer"));
        QTest::keyRelease(w->cmbContacts, Qt::Key_Control);
        QVERIFY(w->lblLetterMode->isHidden());

        // Alt belongs to the menus.
        QTest::keyClick(w->cmbContacts, Qt::Key_Z, Qt::AltModifier);
        QCOMPARE(w->mLetterCode, qint16(1));
        w->ExitProgram(false);
    }

    void theSearchBoxTakesTheKeysWhileItHasTheFocus() {
        Run run(storeDir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->activateWindow();
        w->menuSearch_Click();
        QCOMPARE(w->TabStrip1->currentIndex(), 0);
        w->Search->setFocus();
        QVERIFY(QTest::qWaitFor([w] { return w->Search->hasFocus(); }));
        QVERIFY(!w->keyPreview());
        QTest::keyClicks(w->Search, QStringLiteral("zu"));
        QCOMPARE(w->mLetterCode, qint16(26)); // the type-ahead, not the letter keys, moved the tab
        QCOMPARE(w->Search->text(), QStringLiteral("zu"));
        QCOMPARE(w->txtName->text(), QStringLiteral("Zed Zulu"));
        w->cmbContacts->setFocus();
        QVERIFY(QTest::qWaitFor([w] { return w->keyPreview(); }));
        w->ExitProgram(false);
    }

    // The drop-downs as the user sees them: the contact list of a long letter opens about twenty
    // rows tall (not the height of the screen) and as wide as its longest name; the search results
    // open as wide as their names (their hidden initials take no room); the closed search box
    // shows its prompt whole.
    void dropDownsAreAsTallAndWideAsTheNamesNeed() {
        QTemporaryDir scratch;
        const QString store = scratch.filePath(QStringLiteral("long"));
        const ol::FolderPtr contacts = ol::Application::create(store)->GetNamespace()->folderByPath(
            QStringLiteral("Personal Folders\\Contacts"));
        for (int i = 0; i < 60; ++i)
            addContact(contacts, QStringLiteral("Kim%1").arg(i, 2, 10, QLatin1Char('0')),
                       QStringLiteral("Kent"));
        const QString longest = QStringLiteral("Maximiliane Wilhelmina Theodora Kent-Featherstonehaugh");
        addContact(contacts, QStringLiteral("Maximiliane Wilhelmina Theodora"),
                   QStringLiteral("Kent-Featherstonehaugh"));
        saveLetterCode(11);
        Run run(store);
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->cmbContacts->count(), 61);

        const auto openPopup = [](QComboBox* list) -> QAbstractItemView* {
            list->showPopup();
            QAbstractItemView* view = list->view();
            if (!QTest::qWaitForWindowExposed(view->window()))
                return nullptr;
            return view;
        };
        QAbstractItemView* view = openPopup(w->cmbContacts);
        QVERIFY(view);
        const int row = view->sizeHintForRow(0);
        QVERIFY(row > 0);
        const int rows = view->viewport()->height() / row;
        QVERIFY2(rows >= 15 && rows <= 21, qPrintable(QString::number(rows)));
        const int needed = view->fontMetrics().horizontalAdvance(longest);
        QVERIFY2(view->viewport()->width() >= needed,
                 qPrintable(QStringLiteral("%1 < %2").arg(view->viewport()->width()).arg(needed)));
        w->cmbContacts->hidePopup();

        // Search results: the names, each with its initial 80 blanks further on.
        w->menuSearch_Click(); // the search pane
        w->Search->setText(QStringLiteral("kim0"));
        w->PartialSearch->click();
        QCOMPARE(w->cmbSearch->count(), 11);
        QVERIFY(w->cmbSearch->isVisible());
        // The closed box shows its prompt whole.
        const QString prompt = w->cmbSearch->currentText();
        QCOMPARE(prompt, QStringLiteral(" <Select a Search Result>"));
        QStyleOptionComboBox option;
        option.initFrom(w->cmbSearch);
        option.editable = false;
        option.currentText = prompt;
        const QRect field = w->cmbSearch->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                  QStyle::SC_ComboBoxEditField, w->cmbSearch);
        const int promptWidth = w->cmbSearch->fontMetrics().horizontalAdvance(prompt);
        QVERIFY2(field.width() >= promptWidth,
                 qPrintable(QStringLiteral("%1 < %2").arg(field.width()).arg(promptWidth)));
        // ... and keeps clear of the controls beside it.
        QVERIFY(!w->cmbSearch->geometry().intersects(w->PartialSearch->geometry()));
        QVERIFY(!w->cmbSearch->geometry().intersects(w->cmdFound->geometry()));
        QVERIFY(w->cmbSearch->parentWidget()->rect().contains(w->cmbSearch->geometry()));
        QVERIFY(w->cmbSearch->parentWidget()->rect().contains(w->cmdClear->geometry()));
        QVERIFY(w->Search->width() >= 120);

        view = openPopup(w->cmbSearch);
        QVERIFY(view);
        const int names = view->fontMetrics().horizontalAdvance(QStringLiteral("Kim09 Kent"));
        QVERIFY(view->viewport()->width() >= names);
        QVERIFY2(view->window()->width() <= qMax(w->cmbSearch->width(), names + 80),
                 qPrintable(QString::number(view->window()->width())));
        w->cmbSearch->hidePopup();
        w->ExitProgram(false);
    }

    // The card's actions from the real window: the phone boxes' double-click calls (and says what
    // is missing), an e-mail double-click writes, Shift (marked by the window's own key handling)
    // turns an address's map into directions, the copy-to-e-mail hot key waits for its chord to
    // be let go, the copy-to-call key asks about the clipboard's number, and the copy command puts
    // the card on the clipboard.
    void cardActionsWorkFromTheWindow() {
        qel::SaveSetting(QStringLiteral("VOIP"), QStringLiteral("EnableVonage"), QStringLiteral("Yes"));
        qel::SaveSetting(QStringLiteral("VOIP"), QStringLiteral("EnableCopy2Call"), QStringLiteral("Yes"));
        qel::SaveSetting(QStringLiteral("Misc"), QStringLiteral("UseEmailHotkey"), QStringLiteral("Yes"));
        qel::SaveSetting(QStringLiteral("Misc"), QStringLiteral("EmailHotKey"), QStringLiteral("4"));
        QTemporaryDir scratch;
        const QString store = scratch.filePath(QStringLiteral("card"));
        const ol::FolderPtr contacts = ol::Application::create(store)->GetNamespace()->folderByPath(
            QStringLiteral("Personal Folders\\Contacts"));
        ol::ItemPtr ann = contacts->Items()->Add(ol::olContactItem);
        ann->set(ol::prop::FirstName, QStringLiteral("Ann"));
        ann->set(ol::prop::LastName, QStringLiteral("Archer"));
        ann->set(ol::prop::HomeTelephoneNumber, QStringLiteral("555-0100"));
        ann->set(ol::prop::BusinessAddress, QStringLiteral("1 Main St\nSpringfield"));
        ann->set(ol::prop::Email1Address, QStringLiteral("ann@example.com"));
        ann->Save();
        Run run(store);
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->txtNumber[0]->text(), QStringLiteral("555-0100"));

        // Built now, the phone boxes promise the call and the text message.
        for (const QLineEdit* box : w->txtNumber)
            QVERIFY2(
                box->toolTip().endsWith(QStringLiteral(" - Double Click to call using your VOP. Hold down "
                                                       "shift and double click to send a text message.")),
                qPrintable(box->objectName() + QStringLiteral(": ") + box->toolTip()));

        mSeams->dialogs.expectMessage(
            QStringLiteral("Please fill in all vonage information in preferences."));
        QTest::mouseDClick(w->txtNumber[0], Qt::LeftButton);
        QVERIFY(mSeams->dialogs.verify());
        QTest::mouseDClick(w->txtNumber[1], Qt::LeftButton); // an empty box: nothing to act on

        QListWidgetItem* mail = w->lstEmail->item(0);
        QVERIFY(mail);
        const QPoint at = w->lstEmail->visualItemRect(mail).center();
        QTest::mouseClick(w->lstEmail->viewport(), Qt::LeftButton, {}, at); // a double-click's first press
        QTest::mouseDClick(w->lstEmail->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(mSeams->shell.opened(), QStringList({"mailto:ann@example.com"}));

        w->chkExtra->click(); // the address shows in the "Extra Info" view
        QVERIFY(w->txtBusinessAddress->isVisible());
        QVERIFY(w->txtBusinessAddress->toolTip().contains(QStringLiteral("Double-Click")));
        QTest::mouseDClick(w->txtBusinessAddress->viewport(), Qt::LeftButton);
        QCOMPARE(mSeams->shell.opened().constLast(),
                 QStringLiteral("https://maps.google.com/maps?q=1+Main+St+Springfield"));
        QTest::keyPress(w->cmbContacts, Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(qel::Vantrel::isShiftMarked(w->txtBusinessAddress));
        mSeams->dialogs.expectMessage(QStringLiteral("You must set a contact as 'you'"));
        QTest::mouseDClick(w->txtBusinessAddress->viewport(), Qt::LeftButton, Qt::ShiftModifier);
        QVERIFY(mSeams->dialogs.verify());
        QVERIFY(!qel::Vantrel::isShiftMarked(w->txtBusinessAddress)); // painted back
        QTest::keyRelease(w->cmbContacts, Qt::Key_Shift);
        QCOMPARE(mSeams->shell.opened().size(), 2);

        QApplication::clipboard()->setText(QStringLiteral("bob@example.com"));
        QVERIFY(w->hotEmail->isEnabled());
        w->hotEmail_Pressed();
        QCOMPARE(mSeams->shell.opened().size(), 2); // not while the chord is being let go
        mSeams->clock.advanceSecs(1);
        QTRY_COMPARE(mSeams->shell.opened().constLast(), QStringLiteral("mailto:bob@example.com"));

        // The copy-to-call key asks about the clipboard's number once its chord is let go.
        QApplication::clipboard()->setText(QStringLiteral("Call (555) 123-4567 today"));
        QVERIFY(w->hotCopy2Call->isEnabled());
        w->hotCopy2Call_Pressed();
        QCOMPARE(mSeams->dialogs.prompts().size(), 2);
        mSeams->dialogs.expectQuestion(QStringLiteral("Would you like to call 5551234567?"),
                                       qel::MsgResult::No);
        mSeams->clock.advanceSecs(1);
        QTRY_COMPARE(mSeams->dialogs.prompts().size(), 3);
        QVERIFY(mSeams->dialogs.verify());

        w->menuCopy->trigger();
        QVERIFY(QApplication::clipboard()->text().startsWith(
            QStringLiteral("Contact information for Ann Archer\r\n")));
        QCOMPARE(mSeams->dialogs.prompts().size(), 3);
        w->ExitProgram(false);
    }

    void theTrayGoesToALetterAndAFreshStartReturnsToThePosition() {
        {
            Run run(storeDir());
            QVERIFY(run.start());
            qel::Vantrel* w = run.window();
            w->menuTrayGotoLetter[26]->trigger();
            QCOMPARE(w->txtName->text(), QStringLiteral("Zed Zulu"));
            w->menuTrayGotoLetter[13]->trigger();
            w->cmbContacts->setCurrentIndex(1);
            w->chkExtra->setChecked(true);
            w->browser().selectTab(3);
            w->ExitProgram(false);
        }
        apptest::settle();
        QCOMPARE(cache(QStringLiteral("LetterCode")), QStringLiteral("13"));
        QCOMPARE(cache(QStringLiteral("ContactName")), QStringLiteral("Mia Moss"));
        Run again(storeDir());
        QVERIFY(again.start());
        qel::Vantrel* w = again.window();
        QCOMPARE(w->txtName->text(), QStringLiteral("Mia Moss"));
        QVERIFY(w->chkExtra->isChecked());
        QCOMPARE(w->TabStrip1->currentIndex(), 2);
        QVERIFY(!w->cmdHide->isHidden());
        w->ExitProgram(false);
    }
};

QEL_TEST_MAIN(BrowsingTest)
#include "test_browsing.moc"
