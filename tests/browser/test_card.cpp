// The contact card: every field filled from the selected contact, the e-mail and web entries, the
// address tooltips, the special-day button, the "you" marker and the position saved to Cache.

#include "BrowserTesting.h"
#include "core/Tag.h"

#include <QLabel>

using browsertest::addContact;
using browsertest::cache;
using browsertest::Harness;

namespace {

QStringList rows(const QListWidget* list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->item(i)->text();
    return all;
}

void select(Harness& h, const QString& name) {
    const int index = h.ui.cmbContacts->findText(name, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(name));
    h.ui.cmbContacts->setCurrentIndex(index);
}

const QString kShortMapTip = QStringLiteral("Double-Click to view this address in Google Maps.");
const QString kLongMapTip =
    QStringLiteral("Double-Click to view this address in Google Maps. Hold down Shift and "
                   "double click to get driving directions to this address.");

} // namespace

class CardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { browsertest::freshSettings(QStringLiteral("card")); }

    void theCardShowsEveryFieldOfTheContact() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("full")));
        ol::ItemPtr c = addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        const auto& phones = qel::phoneProperties();
        for (size_t i = 0; i < phones.size(); ++i)
            c->set(phones[i], QStringLiteral("555-01%1").arg(i, 2, 10, QLatin1Char('0')));
        c->set(ol::prop::Email1Address, QStringLiteral("ann@example.com"));
        c->set(ol::prop::Email3Address, QStringLiteral("ann@home.example"));
        c->set(ol::prop::WebPage, QStringLiteral("https://ann.example"));
        c->set(ol::prop::BusinessAddress, QStringLiteral("1 Main St\nSpringfield, IL 62701"));
        c->set(ol::prop::HomeAddress, QStringLiteral("9 Elm St\nPortland, OR 97201"));
        c->set(ol::prop::Body, QStringLiteral("Met at the fair."));
        c->set(ol::prop::User3, QStringLiteral("Likes tea"));
        c->Save();
        QVERIFY(h.start());

        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));
        QCOMPARE(h.ui.txtNumber[0]->text(), QStringLiteral("555-0100"));  // home
        QCOMPARE(h.ui.txtNumber[1]->text(), QStringLiteral("555-0101"));  // mobile
        QCOMPARE(h.ui.txtNumber[7]->text(), QStringLiteral("555-0107"));  // home fax
        QCOMPARE(h.ui.txtNumber[8]->text(), QStringLiteral("555-0108"));  // primary
        QCOMPARE(h.ui.txtNumber[15]->text(), QStringLiteral("555-0115")); // other
        QCOMPARE(c->text(ol::prop::ISDNNumber), h.ui.txtNumber[14]->text());
        QCOMPARE(rows(h.ui.lstEmail), (QStringList{QStringLiteral("ann@example.com"), QString(),
                                                   QStringLiteral("ann@home.example")}));
        QCOMPARE(rows(h.ui.lstWebSite), QStringList{QStringLiteral("https://ann.example")});
        QCOMPARE(h.ui.txtBusinessAddress->toPlainText(), QStringLiteral("1 Main St\nSpringfield, IL 62701"));
        QCOMPARE(h.ui.txtHomeAddress->toPlainText(), QStringLiteral("9 Elm St\nPortland, OR 97201"));
        QCOMPARE(h.ui.txtOtherAddress->toPlainText(), QString());
        QCOMPARE(h.ui.txtFirst->text(), QStringLiteral("Ann"));
        QCOMPARE(h.ui.txtLast->text(), QStringLiteral("Adams"));
        QCOMPARE(h.ui.txtID->text(), c->EntryID());
        QCOMPARE(h.notes, QStringLiteral("Met at the fair."));
        QCOMPARE(h.userFields,
                 (std::array<QString, 4>{QString(), QString(), QStringLiteral("Likes tea"), QString()}));
    }

    void aContactWithoutMailOrWebStillHasItsEntries() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("bare")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::Email1Address, QStringLiteral("ann@example.com")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"));
        QVERIFY(h.start());
        select(h, QStringLiteral("Bob Arnold"));
        QCOMPARE(rows(h.ui.lstEmail), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(rows(h.ui.lstWebSite), QStringList{QString()});
    }

    void mailAndNotesAreReadThroughTheSafeWrapperOrTheContact() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("safe")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::Email2Address, QStringLiteral("ann@example.com")},
                    {ol::prop::Body, QStringLiteral("Notes")}});
        QVERIFY(h.start());
        QCOMPARE(rows(h.ui.lstEmail), (QStringList{QString(), QStringLiteral("ann@example.com"), QString()}));
        QVERIFY(h.gSafeContact->item());
        QCOMPARE(h.gSafeContact->item()->Subject(), QStringLiteral("Ann Adams"));

        // Without the wrapper a failed read leaves the entries and the notes empty.
        h.gSafeContact.reset();
        h.browser->cmbContacts_Click();
        QCOMPARE(rows(h.ui.lstEmail), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(h.notes, QString());
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));

        // Working without the wrapper reads the contact itself.
        h.gNoRedemption = true;
        h.browser->cmbContacts_Click();
        QCOMPARE(rows(h.ui.lstEmail), (QStringList{QString(), QStringLiteral("ann@example.com"), QString()}));
        QCOMPARE(h.notes, QStringLiteral("Notes"));
    }

    void addressTooltipsOfferDirectionsOnlyWithAYouContact() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("tips")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::HomeAddress, QStringLiteral("9 Elm St")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"),
                   {{ol::prop::BusinessAddress, QStringLiteral("1 Main St")}});
        QVERIFY(h.settings.me().isEmpty());
        QVERIFY(h.start());
        QCOMPARE(h.ui.txtHomeAddress->toolTip(), kShortMapTip);
        QCOMPARE(h.ui.txtBusinessAddress->toolTip(), QString());

        h.settings.setMe(QStringLiteral("Bob Arnold"));
        select(h, QStringLiteral("Bob Arnold"));
        QCOMPARE(h.ui.txtBusinessAddress->toolTip(), kLongMapTip);
        QCOMPARE(h.ui.txtHomeAddress->toolTip(), kShortMapTip); // empty now: keeps its tooltip
    }

    void theSpecialDayButtonFollowsTheChosenUserField() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("qelday")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::User2, QStringLiteral("Birthday 4/1/1970")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"),
                   {{ol::prop::User1, QStringLiteral("Birthday 5/2/1971")}});
        h.settings.customField = 1; // User2
        QVERIFY(h.start());
        QVERIFY(!h.ui.cmdQELDay->isHidden());
        QCOMPARE(qel::Tag(h.ui.cmdQELDay), QStringLiteral("Happy"));
        select(h, QStringLiteral("Bob Arnold"));
        QVERIFY(h.ui.cmdQELDay->isHidden());
        QCOMPARE(qel::Tag(h.ui.cmdQELDay), QString());
        h.settings.customField = 0;
        h.browser->cmbContacts_Click();
        QVERIFY(!h.ui.cmdQELDay->isHidden());
    }

    void theYouMarkerShowsOnTheYouContactOnly() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("me")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"));
        qel::SaveSetting(QStringLiteral("Misc"), QStringLiteral("Me"), QStringLiteral("Bob Arnold"));
        QVERIFY(h.start());
        QVERIFY(h.ui.txtMe->isHidden());
        select(h, QStringLiteral("Bob Arnold"));
        QVERIFY(!h.ui.txtMe->isHidden());
        h.ui.cmdLeft->click(); // MISC: "<No Contacts>"
        QVERIFY(h.ui.txtMe->isHidden());
    }

    void showingACardSavesTheBrowserPosition() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("cache")));
        addContact(h.contacts(), QStringLiteral("Sam"), QStringLiteral("Stone"));
        QVERIFY(h.start());
        h.ui.chkExtra->setChecked(true);
        h.browser->selectTab(3);
        h.goToLetter(19);
        QTRY_COMPARE(cache(QStringLiteral("LetterCode")), QStringLiteral("19"));
        QTRY_COMPARE(cache(QStringLiteral("ContactName")), QStringLiteral("Sam Stone"));
        QTRY_COMPARE(cache(QStringLiteral("ContainerState")), QStringLiteral("1"));
        QTRY_COMPARE(cache(QStringLiteral("ContainerTab")), QStringLiteral("3"));
        QTRY_COMPARE(cache(QStringLiteral("CurrentCategory")), QStringLiteral("All Categories"));
        QTRY_COMPARE(cache(QStringLiteral("CurrentFolder")), QStringLiteral("Personal Folders\\Contacts"));
        QTRY_COMPARE(cache(QStringLiteral("ExtraInfo")), QStringLiteral("Checked"));
        h.browser->cmdHide_Click();
        h.ui.chkExtra->setChecked(false);
        h.browser->cmbContacts_Click();
        QTRY_COMPARE(cache(QStringLiteral("ContainerState")), QStringLiteral("0"));
        QTRY_COMPARE(cache(QStringLiteral("ExtraInfo")), QStringLiteral("Unchecked"));
    }

    void theSavedPositionFollowsTheLastCardShown() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("gathered")));
        for (const char* last : {"Abel", "Adams", "Arnold", "Avery"})
            addContact(h.contacts(), QStringLiteral("Al"), QString::fromLatin1(last));
        QVERIFY(h.start());
        h.browser->flushCache();
        QCOMPARE(cache(QStringLiteral("ContactName")), QStringLiteral("Al Abel"));
        h.ui.cmdDown->click();
        h.ui.cmdDown->click();
        QVERIFY(h.browser->cacheSavePending());
        QTRY_COMPARE(cache(QStringLiteral("ContactName")), QStringLiteral("Al Arnold"));
        QVERIFY(!h.browser->cacheSavePending());
        // A save still waiting when the window ends is dropped: the end saves the position itself.
        h.ui.cmdDown->click();
        h.browser->dropPendingCache();
        QTest::qWait(500);
        QCOMPARE(cache(QStringLiteral("ContactName")), QStringLiteral("Al Arnold"));
    }

    void thePhoneTooltipsGetTheDoubleClickHint() {
        qeltest::SeamScope seams;
        {
            Harness h(browsertest::freshStoreDir(QStringLiteral("voip")));
            h.browser->appendPhoneTooltips(true);
            QCOMPARE(h.ui.txtNumber[0]->toolTip(),
                     QStringLiteral(
                         "Home - Double Click to call using your VOP. Hold down shift and double click to "
                         "send a text message."));
            QCOMPARE(h.ui.txtNumber[12]->toolTip().left(15), QStringLiteral("Company Main - "));
        }
        Harness h(browsertest::freshStoreDir(QStringLiteral("novoip")));
        h.browser->appendPhoneTooltips(false);
        QCOMPARE(h.ui.txtNumber[3]->toolTip(),
                 QStringLiteral("Business Fax - Hold down shift and double click to send a text message."));
    }

    void theExtraViewPicksTheAddressToShowForEachContact() {
        qeltest::SeamScope seams;
        Harness h(browsertest::freshStoreDir(QStringLiteral("pick")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::HomeAddress, QStringLiteral("9 Elm St")}});
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"));
        addContact(h.contacts(), QStringLiteral("Cy"), QStringLiteral("Avery"),
                   {{ol::prop::OtherAddress, QStringLiteral("3 Pine St")}});
        addContact(h.contacts(), QStringLiteral("Di"), QStringLiteral("Ash"),
                   {{ol::prop::BusinessAddress, QStringLiteral("1 Main St")},
                    {ol::prop::OtherAddress, QStringLiteral("4 Oak Ave")}});
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("ExtraInfo"), QStringLiteral("Checked"));
        QVERIFY(h.start());
        QVERIFY(h.ui.optAddress[1]->isChecked()); // Ann: home only
        QVERIFY(!h.ui.txtHomeAddress->isHidden());
        QVERIFY(h.ui.txtBusinessAddress->isHidden());
        select(h, QStringLiteral("Cy Avery"));
        QVERIFY(h.ui.optAddress[2]->isChecked());
        QVERIFY(!h.ui.txtOtherAddress->isHidden());
        select(h, QStringLiteral("Di Ash")); // business and other: the option stays
        QVERIFY(h.ui.optAddress[2]->isChecked());
        QCOMPARE(h.ui.txtOtherAddress->toPlainText(), QStringLiteral("4 Oak Ave"));
        select(h, QStringLiteral("Bob Arnold"));
        QVERIFY(h.ui.optAddress[0]->isChecked());
        QVERIFY(!h.ui.txtBusinessAddress->isHidden());
        QVERIFY(h.ui.txtOtherAddress->isHidden());
    }
};

QEL_TEST_MAIN(CardTest)
#include "test_card.moc"
