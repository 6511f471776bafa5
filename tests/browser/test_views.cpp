// The card's two views, the address options, and the container of detail panes with its tab
// strip, including what a restart brings back.

#include "BrowserTesting.h"

#include <QApplication>
#include <QLabel>

using browsertest::addContact;
using browsertest::cache;
using browsertest::Harness;

namespace {

QStringList captions(const std::array<QLabel*, 4>& labels) {
    QStringList all;
    for (const QLabel* l : labels)
        all << l->text();
    return all;
}

QList<int> shownNumbers(const Harness& h) {
    QList<int> shown;
    for (int i = 0; i < 16; ++i) {
        if (!h.ui.txtNumber[static_cast<size_t>(i)]->isHidden())
            shown << i;
    }
    return shown;
}

QList<int> shownPanes(const Harness& h) {
    QList<int> shown;
    for (int i = 0; i < 5; ++i) {
        if (!h.ui.fmeQuick[static_cast<size_t>(i)]->isHidden())
            shown << i;
    }
    return shown;
}

void clickTab(Harness& h, int tab) {
    // Apart enough from the previous click not to make a double-click of the two.
    QTest::mouseClick(h.ui.TabStrip1, Qt::LeftButton, {}, h.ui.TabStrip1->tabRect(tab - 1).center(),
                      QApplication::doubleClickInterval() + 50);
}

} // namespace

class ViewsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { browsertest::freshSettings(QStringLiteral("views")); }

    void extraInfoSwapsNumbersLabelsListsAndAddresses() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("extra")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::HomeAddress, QStringLiteral("9 Elm St")}});
        QVERIFY(h.start());
        QCOMPARE(h.ui.lblAddress->text(), QStringLiteral("E-mail:"));
        QCOMPARE(shownNumbers(h), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));

        h.ui.chkExtra->setChecked(true);
        QCOMPARE(captions(h.ui.phoneLabels()),
                 (QStringList{QStringLiteral("Primary:"), QStringLiteral("Pager:"), QStringLiteral("Work2:"),
                              QStringLiteral("Other:")}));
        QCOMPARE(shownNumbers(h), (QList<int>{8, 9, 10, 11, 12, 13, 14, 15}));
        QVERIFY(h.ui.lstEmail->isHidden());
        QVERIFY(h.ui.lstWebSite->isHidden());
        QVERIFY(h.ui.lblWeb->isHidden());
        QCOMPARE(h.ui.lblAddress->text(), QStringLiteral("Address"));
        for (QRadioButton* option : h.ui.optAddress)
            QVERIFY(!option->isHidden());
        // Only a home address: the Home option, and its box shown.
        QVERIFY(h.ui.optAddress[1]->isChecked());
        QVERIFY(!h.ui.txtHomeAddress->isHidden());
        QVERIFY(h.ui.txtBusinessAddress->isHidden() && h.ui.txtOtherAddress->isHidden());

        h.ui.optAddress[0]->setChecked(true);
        QVERIFY(!h.ui.txtBusinessAddress->isHidden());
        QVERIFY(h.ui.txtHomeAddress->isHidden());

        h.ui.chkExtra->setChecked(false);
        QCOMPARE(captions(h.ui.phoneLabels()),
                 (QStringList{QStringLiteral("Home:"), QStringLiteral("Mobile:"), QStringLiteral("Work:"),
                              QStringLiteral("Fax:")}));
        QCOMPARE(shownNumbers(h), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        QVERIFY(!h.ui.lstEmail->isHidden() && !h.ui.lstWebSite->isHidden() && !h.ui.lblWeb->isHidden());
        QCOMPARE(h.ui.lblAddress->text(), QStringLiteral("E-mail"));
        for (QRadioButton* option : h.ui.optAddress)
            QVERIFY(option->isHidden());
        for (QPlainTextEdit* box : h.ui.addressBoxes())
            QVERIFY(box->isHidden());
    }

    void withoutAnyAddressTheBusinessOptionIsShown() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("noaddress")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        QVERIFY(h.start());
        h.ui.optAddress[2]->setChecked(true);
        h.ui.chkExtra->setChecked(true);
        QVERIFY(h.ui.optAddress[0]->isChecked());
        QVERIFY(!h.ui.txtBusinessAddress->isHidden());
        QCOMPARE(h.ui.txtBusinessAddress->toPlainText(), QString());
    }

    void theViewGivesTheFocusToTheListUnlessAContactIsEdited() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("focus")));
        QVERIFY(h.start());
        h.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.form));
        h.ui.Search->setFocus();
        h.ui.chkExtra->setChecked(true);
        QVERIFY(h.ui.cmbContacts->hasFocus());
        h.ui.Search->setFocus();
        h.editing = true;
        h.ui.chkExtra->setChecked(false);
        QVERIFY(h.ui.Search->hasFocus());
    }

    void theTabsOpenTheContainerAndXClosesIt() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("container")));
        QVERIFY(h.start());
        // Nothing remembered: the container starts closed on the first tab.
        QVERIFY(!h.browser->containerOpen());
        QVERIFY(shownPanes(h).isEmpty());
        QCOMPARE(h.browser->selectedTab(), 1);
        clickTab(h, 1);
        QVERIFY(h.browser->containerOpen());
        QCOMPARE(shownPanes(h), QList<int>{0});
        QCOMPARE(h.ui.TabStrip1->y(), 6240 / 15);

        clickTab(h, 2);
        QCOMPARE(shownPanes(h), QList<int>{1});
        h.ui.cmdHide->click();
        QVERIFY(!h.browser->containerOpen());
        QVERIFY(shownPanes(h).isEmpty());
        QCOMPARE(h.ui.TabStrip1->y(), 6840 / 15);

        // A click on the selected tab opens the closed container on it.
        clickTab(h, 2);
        QVERIFY(h.browser->containerOpen());
        QCOMPARE(shownPanes(h), QList<int>{1});
        QCOMPARE(h.ui.TabStrip1->y(), 6240 / 15);

        h.ui.cmdHide->click();
        clickTab(h, 5);
        QCOMPARE(h.browser->selectedTab(), 5);
        QCOMPARE(shownPanes(h), QList<int>{4});
        QVERIFY(!h.ui.cmdHide->isHidden());
    }

    void viewAndContainerSurviveARestart() {
        const QString store = browsertest::freshStoreDir(QStringLiteral("restart"));
        {
            qeltest::SeamScope seams;
            Harness h(store);
            addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
            QVERIFY(h.start());
            h.ui.chkExtra->setChecked(true);
            clickTab(h, 3);
            h.ui.cmdHide->click();
            h.browser->saveCache(); // what the end of the program saves
            QTRY_COMPARE(cache(QStringLiteral("ContainerState")), QStringLiteral("0"));
            QTRY_COMPARE(cache(QStringLiteral("ContainerTab")), QStringLiteral("3"));
        }
        {
            qeltest::SeamScope seams;
            Harness h(store);
            QVERIFY(h.start());
            QVERIFY(h.ui.chkExtra->isChecked());
            QCOMPARE(h.ui.lblAddress->text(), QStringLiteral("Address"));
            QVERIFY(!h.browser->containerOpen());
            QVERIFY(shownPanes(h).isEmpty());
            QCOMPARE(h.browser->selectedTab(), 3);
            QCOMPARE(h.ui.TabStrip1->y(), 6840 / 15);
            clickTab(h, 4);
            QCOMPARE(shownPanes(h), QList<int>{3});
            h.browser->saveCache();
        }
        qeltest::SeamScope seams;
        Harness h(store);
        QVERIFY(h.start());
        QVERIFY(h.browser->containerOpen());
        QCOMPARE(h.browser->selectedTab(), 4);
        QCOMPARE(shownPanes(h), QList<int>{3});
    }
};

QEL_TEST_MAIN(ViewsTest)
#include "test_views.moc"
