// A contact's side data on the real main window: the e-mail and web page editors, the notes and
// user-field windows, the categories dialog and the item window of the store, and the "me" contact.

#include "EditingTesting.h"

#include "core/Settings.h"
#include "editing/EditingSupport.h"
#include "editing/frmNotes.h"
#include "editing/frmUser.h"
#include "prefs/frmPrefs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace edittest;
using qel::MsgResult;

namespace {

QString me() {
    return qel::GetSetting(QStringLiteral("Misc"), QStringLiteral("Me"));
}

} // namespace

class SideDataTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    QString dir() const { return f->storeDir(); }

private Q_SLOTS:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->stores.isValid());
        addContact(dir(), QStringLiteral("Ann Archer"),
                   {{ol::prop::Email1Address, QStringLiteral("ann@a.test")},
                    {ol::prop::Email2Address, QStringLiteral("ann2@a.test")},
                    {ol::prop::WebPage, QStringLiteral("example.com/ann")},
                    {ol::prop::Body, QStringLiteral("Met at the fair")},
                    {ol::prop::User2, QStringLiteral("keep me")}});
        addContact(dir(), QStringLiteral("Bob Archer"),
                   {{ol::prop::WebPage, QStringLiteral("/usr/bin/xterm")},
                    {ol::prop::Body, QStringLiteral("Bob's")}});
    }
    void cleanup() { f.reset(); }

    void emailEntriesFollowTheCancelRules() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->menuEdit->trigger();

        auto& d = f->dialogs();
        // Cancel, then No: the address stays.
        d.expectInput(
             QStringLiteral("Please enter a new e-mail address for Ann Archer's E-mail #1 Clicking cancel "
                            "will remove the address."),
             std::nullopt)
            .expectQuestion(
                QStringLiteral("Would you like to remove this e-mail address? (click no to cancel your "
                               "edit)"),
                MsgResult::No);
        doubleClickEntry(w->lstEmail, 0);
        QCOMPARE(d.prompts().size(), 2);
        QCOMPARE(d.prompts().at(0).title, QStringLiteral("Edit E-mail Address"));
        QCOMPARE(d.prompts().at(0).defaultText, QStringLiteral("ann@a.test"));
        QCOMPARE(d.prompts().at(1).title, QStringLiteral("Remove or cancel?"));
        QCOMPARE(w->lstEmail->item(0)->text(), QStringLiteral("ann@a.test"));

        // An answer replaces the entry at its place.
        d.expectInput(QStringLiteral("'s E-mail #3 "), QStringLiteral("third@a.test"));
        doubleClickEntry(w->lstEmail, 2);
        QCOMPARE(w->lstEmail->item(2)->text(), QStringLiteral("third@a.test"));

        // An empty answer, then Yes: the address goes.
        d.expectInput(QStringLiteral("'s E-mail #2 "), QString())
            .expectQuestion(QStringLiteral("Would you like to remove this e-mail address?"), MsgResult::Yes);
        doubleClickEntry(w->lstEmail, 1);
        QCOMPARE(w->lstEmail->item(1)->text(), QString());

        d.expectQuestion(QStringLiteral("This will change the information for Ann Archer"), MsgResult::Yes);
        w->cmdSave->click();
        QVERIFY(run.rebuilt());
        const ol::ItemPtr ann = storedOne(dir(), QStringLiteral("Ann Archer"));
        QCOMPARE(ann->text(ol::prop::Email1Address), QStringLiteral("ann@a.test"));
        QCOMPARE(ann->text(ol::prop::Email2Address), QString());
        QCOMPARE(ann->text(ol::prop::Email3Address), QStringLiteral("third@a.test"));
    }

    void theWebPageOpensWhenBrowsingAndCancelEmptiesItWhenEditing() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        doubleClickEntry(w->lstWebSite, 0);
        QCOMPARE(f->seams->shell.opened(), QStringList({QStringLiteral("http://example.com/ann")}));

        // A path of this machine is no web page: nothing is opened.
        QVERIFY(selectContact(w, QStringLiteral("Bob Archer")));
        f->dialogs().expectMessage(QStringLiteral("\"/usr/bin/xterm\" is not a web address"));
        doubleClickEntry(w->lstWebSite, 0);
        QCOMPARE(f->seams->shell.opened().size(), 1);
        QCOMPARE(qel::webPageLink(QStringLiteral("file:///etc/passwd")), QString());
        QCOMPARE(qel::webPageLink(QStringLiteral("HTTPS://x.test/a")), QStringLiteral("HTTPS://x.test/a"));
        QCOMPARE(qel::webPageLink(QStringLiteral("x.test:8080/a")), QStringLiteral("http://x.test:8080/a"));

        QVERIFY(selectContact(w, QStringLiteral("Ann Archer")));
        w->menuEdit->trigger();
        f->dialogs().expectInput(QStringLiteral("Please enter a new web page for Ann Archer"), std::nullopt);
        doubleClickEntry(w->lstWebSite, 0);
        QCOMPARE(f->dialogs().prompts().last().title, QStringLiteral("Edit Web Page"));
        QCOMPARE(f->dialogs().prompts().last().defaultText, QStringLiteral("example.com/ann"));
        QCOMPARE(w->lstWebSite->item(0)->text(), QString());
        QCOMPARE(f->seams->shell.opened().size(), 1); // editing opens nothing

        f->dialogs().expectQuestion(QStringLiteral("This will change the information for Ann Archer"),
                                    MsgResult::Yes);
        w->cmdSave->click();
        QVERIFY(run.rebuilt());
        QCOMPARE(storedOne(dir(), QStringLiteral("Ann Archer"))->text(ol::prop::WebPage), QString());
    }

    void notesAreSavedOnlyWhenConfirmed_data() {
        QTest::addColumn<bool>("safeItems");
        QTest::newRow("through the safe wrapper") << true;
        QTest::newRow("directly") << false;
    }
    void notesAreSavedOnlyWhenConfirmed() {
        QFETCH(bool, safeItems);
        EditRun run(dir());
        run.safeItems = safeItems;
        auto& d = f->dialogs();
        if (!safeItems)
            d.expectQuestion(QStringLiteral("Redemption was not detected"), MsgResult::No);
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->gNoRedemption, !safeItems);
        const QString question =
            QStringLiteral("This will change the information for Ann Archer stored in your "
                           "contact folder in OUTLOOK and cannot be undone!\nAre you sure?");
        QString markWhileOpen;
        QString shownText;
        QString caption;

        // No: the window closes, nothing is written, the text stays for the next opening.
        d.expectExec(
             [&](QDialog& dialog) {
                 auto& notes = static_cast<qel::frmNotes&>(dialog);
                 markWhileOpen = syncMark(w);
                 shownText = notes.txtNotes->toPlainText();
                 caption = notes.windowTitle();
                 notes.txtNotes->setPlainText(QStringLiteral("Line one\nLine two"));
                 notes.cmdSave->click();
                 return notes.result();
             },
             QStringLiteral("frmNotes"))
            .expectQuestion(question, MsgResult::No);
        w->menuNotes->trigger();
        QCOMPARE(d.prompts().last().title, QStringLiteral("Confirm Edit"));
        QCOMPARE(markWhileOpen, QStringLiteral("Syncing"));
        QCOMPARE(caption, QStringLiteral("Notes for Ann Archer"));
        QCOMPARE(shownText, QStringLiteral("Met at the fair"));
        QCOMPARE(syncMark(w), QString());
        QCOMPARE(storedOne(dir(), QStringLiteral("Ann Archer"))->text(ol::prop::Body),
                 QStringLiteral("Met at the fair"));

        // Yes: the text shown again is saved.
        d.expectExec(
             [&](QDialog& dialog) {
                 auto& notes = static_cast<qel::frmNotes&>(dialog);
                 shownText = notes.txtNotes->toPlainText();
                 notes.cmdSave->click();
                 return notes.result();
             },
             QStringLiteral("frmNotes"))
            .expectQuestion(question, MsgResult::Yes);
        w->menuNotes->trigger();
        QCOMPARE(shownText, QStringLiteral("Line one\nLine two"));
        QCOMPARE(syncMark(w), QString());
        QCOMPARE(storedOne(dir(), QStringLiteral("Ann Archer"))->text(ol::prop::Body),
                 QStringLiteral("Line one\r\nLine two"));

        // Close/Cancel writes nothing; another contact brings its own notes.
        d.expectExec(
            [&](QDialog& dialog) {
                auto& notes = static_cast<qel::frmNotes&>(dialog);
                notes.txtNotes->setPlainText(QStringLiteral("scratch"));
                notes.cmdClose->click();
                return notes.result();
            },
            QStringLiteral("frmNotes"));
        w->menuNotes->trigger();
        QCOMPARE(storedOne(dir(), QStringLiteral("Ann Archer"))->text(ol::prop::Body),
                 QStringLiteral("Line one\r\nLine two"));
        QVERIFY(selectContact(w, QStringLiteral("Bob Archer")));
        QCOMPARE(w->notesWindow()->txtNotes->toPlainText(), QStringLiteral("Bob's"));
    }

    void userFieldsAreAllSavedWithoutAQuestion() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->userWindow()->userField(2), QStringLiteral("keep me"));
        // Changed elsewhere after the card was filled: the save writes the box back as well.
        {
            const StoreView store(dir());
            const ol::ItemPtr ann = store.folder->Items()->Item(QStringLiteral("Ann Archer"));
            ann->set(ol::prop::User2, QStringLiteral("changed elsewhere"));
            ann->Save();
        }
        auto& d = f->dialogs();
        QString markWhileOpen;
        d.expectExec(
             [&](QDialog& dialog) {
                 auto& user = static_cast<qel::frmUser&>(dialog);
                 markWhileOpen = syncMark(w);
                 user.txtUser[1]->setPlainText(QStringLiteral("one"));
                 user.txtUser[3]->setPlainText(QStringLiteral("1/1/2001\n* Jo 2/2/2002"));
                 user.txtUser[4]->setPlainText(QStringLiteral("four"));
                 user.cmdSave->click();
                 return user.result();
             },
             QStringLiteral("frmUser"))
            .expectMessage(QStringLiteral("User Fields saved."));
        w->menuUser->trigger();
        QCOMPARE(d.prompts().first().title, QStringLiteral("Edit Outlook User Defined Fields"));
        QCOMPARE(markWhileOpen, QStringLiteral("Syncing"));
        QCOMPARE(syncMark(w), QString());
        ol::ItemPtr ann = storedOne(dir(), QStringLiteral("Ann Archer"));
        QCOMPARE(ann->text(ol::prop::User1), QStringLiteral("one"));
        QCOMPARE(ann->text(ol::prop::User2), QStringLiteral("keep me"));
        QCOMPARE(ann->text(ol::prop::User3), QStringLiteral("1/1/2001\r\n* Jo 2/2/2002"));
        QCOMPARE(ann->text(ol::prop::User4), QStringLiteral("four"));

        // Cancel writes nothing.
        d.expectExec(
            [&](QDialog& dialog) {
                auto& user = static_cast<qel::frmUser&>(dialog);
                user.txtUser[1]->setPlainText(QStringLiteral("not this"));
                user.cmdCancel->click();
                return user.result();
            },
            QStringLiteral("frmUser"));
        w->menuUser->trigger();
        QCOMPARE(storedOne(dir(), QStringLiteral("Ann Archer"))->text(ol::prop::User1),
                 QStringLiteral("one"));

        // The contact went elsewhere meanwhile: told, nothing written, the window rebuilt.
        removeFromStore(dir(), QStringLiteral("Ann Archer"));
        const int before = storedCount(dir());
        d.expectExec(
             [&](QDialog& dialog) {
                 static_cast<qel::frmUser&>(dialog).cmdSave->click();
                 return QDialog::Accepted;
             },
             QStringLiteral("frmUser"))
            .expectMessage(QStringLiteral("Ann Archer could not be found in the contact folder"));
        w->menuUser->trigger();
        QVERIFY(run.rebuilt());
        QCOMPARE(storedCount(dir()), before);
    }

    void categoriesAndTheItemWindowOpenOnTheShownContact() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QString markWhileOpen;
        run.storeUi->onCategories = [&](const ol::ItemPtr& item) {
            markWhileOpen = syncMark(w);
            item->set(ol::prop::Categories, QStringLiteral("Friends"));
            item->Save();
        };
        w->menuCategory->trigger();
        QCOMPARE(run.storeUi->categorised, QStringList({QStringLiteral("Ann Archer")}));
        QCOMPARE(markWhileOpen, QStringLiteral("Syncing"));
        QCOMPARE(syncMark(w), QString());
        QCOMPARE(storedOne(dir(), QStringLiteral("Ann Archer"))->text(ol::prop::Categories),
                 QStringLiteral("Friends"));

        // The name's double-click and the menu open the contact's own window.
        QVERIFY(selectContact(w, QStringLiteral("Bob Archer")));
        QTest::mouseDClick(w->txtName, Qt::LeftButton);
        w->menuOutlook->trigger();
        QCOMPARE(run.storeUi->displayed,
                 QStringList({QStringLiteral("Bob Archer"), QStringLiteral("Bob Archer")}));
        QCOMPARE(syncMark(w), QString());

        // While editing, the name's double-click stays in the name box.
        w->menuEdit->trigger();
        QTest::mouseDClick(w->txtName, Qt::LeftButton);
        QCOMPARE(run.storeUi->displayed.size(), 2);
        w->cmdCancel->click();
        QVERIFY(run.rebuilt());
    }

    void withoutAContactShownEveryCommandSaysSo() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->mLetterCode = 17;
        w->browser().LetterChange();
        QCOMPARE(w->txtName->text(), QStringLiteral("<No Contacts>"));
        const std::pair<QAction*, QString> commands[] = {
            {w->menuNotes, QStringLiteral("Please select a contact.")},
            {w->menuUser, QStringLiteral("Please select a contact!.")},
            {w->menuCategory, QStringLiteral("Please select a contact!.")},
            {w->menuOutlook, QStringLiteral("Please select a contact to view in Outlook.")},
            {w->menuMe, QStringLiteral("Please select a contact first.")},
        };
        for (const auto& [command, text] : commands) {
            f->dialogs().expectMessage(text);
            command->trigger();
            QCOMPARE(f->dialogs().prompts().last().text, text);
            QCOMPARE(syncMark(w), QString());
        }
        QCOMPARE(me(), QString());
        QVERIFY(run.storeUi->displayed.isEmpty());
        QVERIFY(run.storeUi->categorised.isEmpty());
        QVERIFY(run.unchanged());
    }

    void meIsSetReplacedAndRemoved() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QVERIFY(w->txtMe->isHidden());
        QVERIFY(w->prefs()->lblMe->text().endsWith(QStringLiteral("Not Set!")));

        f->dialogs().expectMessage(
            QStringLiteral("Ann Archer has been stored as 'you'.  This will be used to give "
                           "driving direction from your address (in addition to future uses)."));
        w->menuMe->trigger();
        QCOMPARE(me(), QStringLiteral("Ann Archer"));
        QVERIFY(!w->txtMe->isHidden());
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann Archer"));
        QVERIFY(w->prefs()->lblMe->text().endsWith(QStringLiteral("Ann Archer")));

        // Another contact simply takes its place.
        QVERIFY(selectContact(w, QStringLiteral("Bob Archer")));
        QVERIFY(w->txtMe->isHidden());
        f->dialogs().expectMessage(QStringLiteral("Bob Archer has been stored as 'you'."));
        w->menuMe->trigger();
        QCOMPARE(me(), QStringLiteral("Bob Archer"));
        QVERIFY(!w->txtMe->isHidden());
        QVERIFY(selectContact(w, QStringLiteral("Ann Archer")));
        QVERIFY(w->txtMe->isHidden());
        QVERIFY(selectContact(w, QStringLiteral("Bob Archer")));

        // The marker's double-click asks; No keeps it, Yes removes it.
        const QString question =
            QStringLiteral("Bob Archer  will no longer be stored as 'you'.\nAre you sure?");
        f->dialogs().expectQuestion(question, MsgResult::No);
        QTest::mouseDClick(w->txtMe, Qt::LeftButton);
        QCOMPARE(f->lastTitle(), QStringLiteral("Confirm Delete!!!"));
        QCOMPARE(me(), QStringLiteral("Bob Archer"));
        f->dialogs().expectQuestion(question, MsgResult::Yes);
        QTest::mouseDClick(w->txtMe, Qt::LeftButton);
        QCOMPARE(me(), QString());
        QVERIFY(w->txtMe->isHidden());
        QVERIFY(w->prefs()->lblMe->text().endsWith(QStringLiteral("Not Set!")));
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob Archer"));
    }
};

QEL_TEST_MAIN(SideDataTest)
#include "test_side_data.moc"
