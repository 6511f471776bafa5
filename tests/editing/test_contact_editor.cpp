// The card as an editor on the real main window: edit mode, adding (with and without a category
// filter), the duplicate-name check, renaming, the save question, the letter the rebuilt window
// opens on, removing, and contacts that vanish from the store while the window shows them.

#include "EditingTesting.h"

#include "core/Settings.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>

using namespace edittest;
using qel::MsgResult;

namespace {

using PropertyMap = QMap<QString, QVariant>;

// Every property a contact has, as a fresh connection to the store reads it.
PropertyMap allProperties(const QString& storeDir, const QString& entryID) {
    const StoreView store(storeDir);
    const ol::ItemPtr item = store.folder->Items()->ItemWithID(entryID);
    PropertyMap all;
    if (!item)
        return all;
    for (int id = 0; id < ol::prop::Count; ++id) {
        const ol::PropertyDef& def = ol::propertyDef(id);
        if (def.classes & ol::kContact)
            all.insert(def.name, item->get(id));
    }
    return all;
}

// Looks up "Sam Same" in the search pane and shows the entry at `row` of its result list (1 is
// the first contact found).
void showSamFound(qel::Vantrel* w, int row) {
    w->Search->setText(QStringLiteral("Sam Same"));
    w->browser().PartialSearch_Click();
    w->cmbSearch->setCurrentIndex(row);
    w->cmdFound->click();
}

} // namespace

class ContactEditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    QString annId;
    QString secondSamId;

    QString dir() const { return f->storeDir(); }

private Q_SLOTS:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->stores.isValid());
        annId = addContact(dir(), QStringLiteral("Ann Archer"),
                           {{ol::prop::HomeTelephoneNumber, QStringLiteral("111")},
                            {ol::prop::Email1Address, QStringLiteral("ann@a.test")}});
        addContact(dir(), QStringLiteral("Bob Archer"),
                   {{ol::prop::MobileTelephoneNumber, QStringLiteral("222")}});
        addContact(dir(), QStringLiteral("Pat O'Brien"));
        addContact(dir(), QStringLiteral("Sam Same"),
                   {{ol::prop::MobileTelephoneNumber, QStringLiteral("1")}});
        secondSamId = addContact(dir(), QStringLiteral("Sam Same"),
                                 {{ol::prop::MobileTelephoneNumber, QStringLiteral("2")}});
        addContact(dir(), QStringLiteral("Mia Moss"), {{ol::prop::Categories, QStringLiteral("Friends")}});
    }
    void cleanup() { f.reset(); }

    void editModeOpensTheCardAndCancelBringsTheWindowBack() {
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("ContainerState"), QStringLiteral("1"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("ContainerTab"), QStringLiteral("3"));
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann Archer"));
        QVERIFY(w->browser().containerOpen());
        QVERIFY(!w->isEditing());
        QVERIFY(w->txtName->isReadOnly());

        w->menuEdit->trigger();
        QVERIFY(w->isEditing());
        QCOMPARE(w->cmdSave->text(), QStringLiteral("Save Edits"));
        QVERIFY(w->cmdCancel->isVisible());
        QCOMPARE(w->txtName2->text(), QStringLiteral("Ann Archer"));
        QCOMPARE(syncMark(w), QStringLiteral("Syncing"));
        for (QMenu* menu : {w->menuFile, w->menuTools, w->menuQEL, w->menuHelp})
            QVERIFY2(!menu->menuAction()->isEnabled(), qPrintable(menu->objectName()));
        for (QWidget* gone : std::initializer_list<QWidget*>{
                 w->cmdLeft, w->cmdRight, w->cmdUp, w->cmdDown, w->cmbContacts, w->LetterButton1,
                 w->LetterButton2, w->LetterButton3, w->BackTab1, w->BackTab2, w->BackTab3})
            QVERIFY2(gone->isHidden(), qPrintable(gone->objectName()));
        QVERIFY(!w->browser().containerOpen());
        QVERIFY(!w->TabStrip1->isEnabled());
        QVERIFY(!w->keyPreview());
        QVERIFY(!w->txtName->isReadOnly());
        for (QLineEdit* box : w->txtNumber) {
            QVERIFY(!box->isReadOnly());
            QVERIFY(box->hasFrame());
            QCOMPARE(box->focusPolicy(), Qt::StrongFocus);
        }
        for (QPlainTextEdit* box : w->addressBoxes())
            QVERIFY(!box->isReadOnly());
        QCOMPARE(w->lstEmail->toolTip(), QStringLiteral("Double-click an e-mail to edit it."));
        QCOMPARE(w->lstWebSite->toolTip(), QStringLiteral("Double-click to edit Web Page."));

        // Typing goes into the boxes, not to the letter keys.
        w->txtNumber[0]->setFocus();
        w->txtNumber[0]->selectAll();
        QTest::keyClicks(w->txtNumber[0], QStringLiteral("999"));
        QCOMPARE(w->txtNumber[0]->text(), QStringLiteral("999"));
        QCOMPARE(w->mLetterCode, qint16(1));

        w->cmdCancel->click();
        w = run.rebuilt();
        QVERIFY(w);
        QVERIFY(!w->isEditing());
        QCOMPARE(syncMark(w), QString());
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann Archer"));
        QCOMPARE(w->txtNumber[0]->text(), QStringLiteral("111"));
        QVERIFY(w->browser().containerOpen()); // the panes as they were before editing
        QCOMPARE(w->browser().selectedTab(), 3);
        QVERIFY(w->menuFile->menuAction()->isEnabled());
        QCOMPARE(storedOne(dir(), QStringLiteral("Ann Archer"))->text(ol::prop::HomeTelephoneNumber),
                 QStringLiteral("111"));
    }

    void addingWritesEveryFieldAndReopensOnTheNewContact() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        const int before = storedCount(dir());

        w->menuAdd->trigger();
        QVERIFY(w->isEditing());
        QCOMPARE(w->cmdSave->text(), QStringLiteral("Add Contact"));
        QCOMPARE(w->txtName->text(), QString());
        QCOMPARE(w->txtNumber[0]->text(), QString());
        QCOMPARE(w->lstEmail->count(), 3);
        QCOMPARE(w->lstEmail->item(0)->text(), QString());
        QCOMPARE(w->lstWebSite->item(0)->text(), QString());
        QCOMPARE(syncMark(w), QStringLiteral("Syncing"));

        QTest::keyClicks(w->txtName, QStringLiteral("Carla Cortez"));
        for (size_t i = 0; i < 16; ++i)
            w->txtNumber[i]->setText(QStringLiteral("n%1").arg(i));
        w->lstEmail->item(0)->setText(QStringLiteral("c1@c.test"));
        w->lstEmail->item(2)->setText(QStringLiteral("c3@c.test"));
        w->txtHomeAddress->setPlainText(QStringLiteral("1 Elm St\nSpringfield"));
        w->lstWebSite->item(0)->setText(QStringLiteral("carla.test"));

        f->dialogs().expectQuestion(
            QStringLiteral("This will add Carla Cortez to your contacts folder in Outlook.\nAre you sure?"),
            MsgResult::Yes);
        w->cmdSave->click();
        QCOMPARE(f->lastTitle(), QStringLiteral("Confirm Addition"));
        QCOMPARE(
            f->dialogs().prompts().last().text,
            QStringLiteral("This will add Carla Cortez to your contacts folder in Outlook.\nAre you sure?"));

        w = run.rebuilt();
        QVERIFY(w);
        QCOMPARE(w->mLetterCode, qint16(3));
        QCOMPARE(w->txtName->text(), QStringLiteral("Carla Cortez"));
        QCOMPARE(syncMark(w), QString());

        QCOMPARE(storedCount(dir()), before + 1);
        const ol::ItemPtr carla = storedOne(dir(), QStringLiteral("Carla Cortez"));
        QVERIFY(carla);
        const auto& phones = qel::phoneProperties();
        for (size_t i = 0; i < 16; ++i)
            QCOMPARE(carla->text(phones[i]), QStringLiteral("n%1").arg(i));
        QCOMPARE(carla->text(ol::prop::Email1Address), QStringLiteral("c1@c.test"));
        QCOMPARE(carla->text(ol::prop::Email2Address), QString());
        QCOMPARE(carla->text(ol::prop::Email3Address), QStringLiteral("c3@c.test"));
        QCOMPARE(carla->text(ol::prop::HomeAddress), QStringLiteral("1 Elm St\r\nSpringfield"));
        QCOMPARE(carla->text(ol::prop::WebPage), QStringLiteral("carla.test"));
        QCOMPARE(carla->text(ol::prop::LastName), QStringLiteral("Cortez"));
        QCOMPARE(carla->text(ol::prop::Categories), QString()); // "All Categories": none
    }

    void addingUnderACategoryFilterShowsTheNewContactThere_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("given"); // the category the new contact gets
        // "Uncategorized" lists the contacts without a category: the new one gets none.
        QTest::newRow("uncategorized") << QStringLiteral("Uncategorized") << QString();
        QTest::newRow("named") << QStringLiteral("Friends") << QStringLiteral("Friends");
    }
    void addingUnderACategoryFilterShowsTheNewContactThere() {
        QFETCH(QString, category);
        QFETCH(QString, given);
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("CurrentCategory"), category);
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QCOMPARE(w->lblCategories->caption(), category);

        w->menuAdd->trigger();
        w->txtName->setText(QStringLiteral("Dan Dune"));
        w->txtNumber[1]->setText(QStringLiteral("555"));
        const QString question =
            QStringLiteral("This will add Dan Dune to your contacts folder in Outlook.") +
            (given.isEmpty() ? QString()
                             : QStringLiteral(" It will also be given the Category of ") + given) +
            QStringLiteral("\nAre you sure?");
        f->dialogs().expectQuestion(question, MsgResult::Yes);
        w->cmdSave->click();
        QCOMPARE(f->lastTitle(), QStringLiteral("Confirm Addition"));
        QCOMPARE(f->dialogs().prompts().last().text, question);
        w = run.rebuilt();
        QVERIFY(w);
        // The rebuilt window, still on that category, shows the new contact.
        QCOMPARE(w->lblCategories->caption(), category);
        QCOMPARE(w->txtName->text(), QStringLiteral("Dan Dune"));

        const ol::ItemPtr dan = storedOne(dir(), QStringLiteral("Dan Dune"));
        QVERIFY(dan);
        QCOMPARE(dan->text(ol::prop::Categories), given);
        QCOMPARE(dan->text(ol::prop::MobileTelephoneNumber), QStringLiteral("555"));
    }

    void duplicateNamesAreRefusedAndEditingGoesOn_data() {
        QTest::addColumn<QString>("editing"); // "" adds
        QTest::addColumn<QString>("name");
        QTest::newRow("add with an apostrophe") << QString() << QStringLiteral("Pat O'Brien");
        QTest::newRow("add in other letter case") << QString() << QStringLiteral("ann archer");
        QTest::newRow("rename onto another") << QStringLiteral("Bob Archer") << QStringLiteral("Ann Archer");
    }
    void duplicateNamesAreRefusedAndEditingGoesOn() {
        QFETCH(QString, editing);
        QFETCH(QString, name);
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        const int before = storedCount(dir());
        if (editing.isEmpty()) {
            w->menuAdd->trigger();
        } else {
            QVERIFY(selectContact(w, editing));
            w->menuEdit->trigger();
        }
        w->txtName->setText(name);
        w->txtNumber[2]->setText(QStringLiteral("777"));
        w->txtNumber[2]->setFocus();
        f->dialogs().expectMessage(QStringLiteral("A contact already exists with the name ") + name +
                                   QStringLiteral(".  Please use a different name."));
        w->cmdSave->click();

        QVERIFY(run.unchanged());
        QVERIFY(w->isEditing());
        QCOMPARE(w->txtName->text(), name);
        QCOMPARE(w->focusWidget(), w->txtName);
        QCOMPARE(syncMark(w), QStringLiteral("Syncing"));
        QCOMPARE(storedCount(dir()), before);
        if (!editing.isEmpty())
            QCOMPARE(storedOne(dir(), editing)->text(ol::prop::BusinessTelephoneNumber), QString());

        w->cmdCancel->click();
        QVERIFY(run.rebuilt());
        QCOMPARE(storedCount(dir()), before);
    }

    void aBlankNameIsRefused() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        const int before = storedCount(dir());
        w->menuAdd->trigger();
        w->txtName->setText(QStringLiteral("   "));
        f->dialogs().expectMessage(QStringLiteral("Please enter the contact's name."));
        w->cmdSave->click();
        QVERIFY(run.unchanged());
        QVERIFY(w->isEditing());
        QCOMPARE(storedCount(dir()), before);
        w->cmdCancel->click();
        QVERIFY(run.rebuilt());
    }

    void renamingMovesTheSameContact() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        const QString bobId = storedOne(dir(), QStringLiteral("Bob Archer"))->EntryID();
        QVERIFY(selectContact(w, QStringLiteral("Bob Archer")));
        w->menuEdit->trigger();
        w->txtName->setText(QStringLiteral("Bob Zimmer"));
        f->dialogs().expectQuestion(
            QStringLiteral("This will change the information for Bob Zimmer stored in your "
                           "contacts folder in Outlook\nAre you sure?"),
            MsgResult::Yes);
        w->cmdSave->click();
        QCOMPARE(f->lastTitle(), QStringLiteral("Confirm Edit"));
        w = run.rebuilt();
        QVERIFY(w);
        QCOMPARE(w->mLetterCode, qint16(26));
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob Zimmer"));

        QVERIFY(stored(dir(), QStringLiteral("Bob Archer")).isEmpty());
        const ol::ItemPtr bob = storedOne(dir(), QStringLiteral("Bob Zimmer"));
        QVERIFY(bob);
        QCOMPARE(bob->EntryID(), bobId);
        QCOMPARE(bob->text(ol::prop::MobileTelephoneNumber), QStringLiteral("222"));
    }

    void anUnchangedNameSkipsTheCheckAndChangesTheContactShown() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->mLetterCode = 19;
        w->browser().LetterChange();
        QCOMPARE(w->cmbContacts->count(), 2);
        // The second Sam, whichever entry the list gives it.
        for (int i = 0; i < 2 && w->txtID->text() != secondSamId; ++i)
            w->cmbContacts->setCurrentIndex(i);
        QCOMPARE(w->txtNumber[1]->text(), QStringLiteral("2"));
        w->menuEdit->trigger();
        w->txtNumber[1]->setText(QStringLiteral("22"));
        // Another contact has the name, but the name did not change: no refusal.
        f->dialogs().expectQuestion(QStringLiteral("This will change the information for Sam Same"),
                                    MsgResult::Yes);
        w->cmdSave->click();
        QVERIFY(run.rebuilt());

        const QList<ol::ItemPtr> sams = stored(dir(), QStringLiteral("Sam Same"));
        QCOMPARE(sams.size(), 2);
        for (const ol::ItemPtr& sam : sams) {
            const bool second = sam->EntryID() == secondSamId;
            QCOMPARE(sam->text(ol::prop::MobileTelephoneNumber),
                     second ? QStringLiteral("22") : QStringLiteral("1"));
        }
    }

    // A save writes only what was changed: the store derives the name parts, the file-as text and
    // the address parts from what is written, so a rewrite of an unchanged box may change them.
    void aSaveChangesOnlyWhatWasEdited() {
        const QString id = addContact(dir(), QString(),
                                      {{ol::prop::CompanyName, QStringLiteral("3M Dental")},
                                       {ol::prop::BusinessTelephoneNumber, QStringLiteral("555-0100")},
                                       {ol::prop::BusinessAddressStreet, QStringLiteral("1 Main St")},
                                       {ol::prop::BusinessAddressCity, QStringLiteral("Springfield")},
                                       {ol::prop::BusinessAddressState, QStringLiteral("IL")},
                                       {ol::prop::BusinessAddressPostalCode, QStringLiteral("62701")},
                                       {ol::prop::Email1Address, QStringLiteral("desk@3m.test")},
                                       {ol::prop::WebPage, QStringLiteral("3m.test")},
                                       {ol::prop::Categories, QStringLiteral("Dentists")}});
        const PropertyMap before = allProperties(dir(), id);
        QCOMPARE(before.value(QStringLiteral("FullName")), QVariant(QString()));
        QCOMPARE(before.value(QStringLiteral("FileAs")), QVariant(QStringLiteral("3M Dental")));

        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->mLetterCode = 27;
        w->browser().LetterChange();
        QVERIFY(selectContact(w, QStringLiteral("3M Dental")));
        w->menuEdit->trigger();
        f->dialogs().expectQuestion(QStringLiteral("This will change the information for 3M Dental"),
                                    MsgResult::Yes);
        w->cmdSave->click();
        w = run.rebuilt();
        QVERIFY(w);
        QCOMPARE(w->mLetterCode, qint16(27)); // still under MISC
        QCOMPARE(w->txtName->text(), QStringLiteral("3M Dental"));
        QCOMPARE(allProperties(dir(), id), before);

        // One box changed: that property changes, and the time of the change; nothing else.
        w->menuEdit->trigger();
        w->txtNumber[0]->setText(QStringLiteral("555-0199"));
        f->dialogs().expectQuestion(QStringLiteral("This will change the information for 3M Dental"),
                                    MsgResult::Yes);
        w->cmdSave->click();
        QVERIFY(run.rebuilt());
        PropertyMap after = allProperties(dir(), id);
        QCOMPARE(after.take(QStringLiteral("HomeTelephoneNumber")), QVariant(QStringLiteral("555-0199")));
        QVERIFY(after.take(QStringLiteral("LastModificationTime")).isValid());
        PropertyMap expected = before;
        expected.remove(QStringLiteral("HomeTelephoneNumber"));
        expected.remove(QStringLiteral("LastModificationTime"));
        QCOMPARE(after, expected);
    }

    // Look Up on one of several contacts of one name shows that one; the commands on the card
    // then work on the contact it shows, even when another program renamed it meanwhile.
    void theChosenOfSeveralNamesakesIsTheOneShownAndWorkedOn() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QStringList shown;
        w->Search->setText(QStringLiteral("Sam Same"));
        w->browser().PartialSearch_Click();
        QCOMPARE(w->cmbSearch->count(), 3); // the prompt and the two Sams
        for (int row = 1; row <= 2; ++row) {
            showSamFound(w, row);
            QCOMPARE(w->txtName->text(), QStringLiteral("Sam Same"));
            shown << w->txtID->text();
        }
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.at(0) != shown.at(1), qPrintable(shown.join(QLatin1Char(' '))));
        QVERIFY(shown.contains(secondSamId));

        // Show the second Sam; another program renames it.
        showSamFound(w, shown.indexOf(secondSamId) + 1);
        QCOMPARE(w->txtID->text(), secondSamId);
        QCOMPARE(w->txtNumber[1]->text(), QStringLiteral("2"));
        {
            const StoreView store(dir());
            const ol::ItemPtr sam = store.folder->Items()->ItemWithID(secondSamId);
            QVERIFY(sam);
            sam->set(ol::prop::FullName, QStringLiteral("Sam Other"));
            sam->Save();
        }
        QString displayedId;
        run.storeUi->onDisplay = [&](const ol::ItemPtr& item) { displayedId = item->EntryID(); };
        w->menuOutlook->trigger();
        QCOMPARE(displayedId, secondSamId);

        w->menuEdit->trigger();
        w->txtNumber[1]->setText(QStringLiteral("22"));
        f->dialogs().expectQuestion(QStringLiteral("This will change the information for Sam Same"),
                                    MsgResult::Yes);
        w->cmdSave->click();
        w = run.rebuilt();
        QVERIFY(w);
        const ol::ItemPtr firstSam = storedOne(dir(), QStringLiteral("Sam Same"));
        QVERIFY(firstSam);
        QCOMPARE(firstSam->text(ol::prop::MobileTelephoneNumber), QStringLiteral("1"));
        const ol::ItemPtr other = storedOne(dir(), QStringLiteral("Sam Other"));
        QVERIFY(other);
        QCOMPARE(other->EntryID(), secondSamId);
        QCOMPARE(other->text(ol::prop::MobileTelephoneNumber), QStringLiteral("22"));

        // Renamed back behind the window's back, then removed from the card: the namesake stays.
        QVERIFY(selectContact(w, QStringLiteral("Sam Other")));
        {
            const StoreView store(dir());
            const ol::ItemPtr sam = store.folder->Items()->ItemWithID(secondSamId);
            sam->set(ol::prop::FullName, QStringLiteral("Sam Same"));
            sam->Save();
        }
        f->dialogs().expectQuestion(QStringLiteral("This will remove Sam Other"), MsgResult::Yes);
        w->menuRemove->trigger();
        QVERIFY(run.rebuilt());
        const QList<ol::ItemPtr> sams = stored(dir(), QStringLiteral("Sam Same"));
        QCOMPARE(sams.size(), 1);
        QCOMPARE(sams.first()->EntryID(), firstSam->EntryID());
    }

    // Of two contacts of one name, the one saved is the one the rebuilt window shows, and the
    // one shown last is the one the next start shows.
    void theRebuiltWindowShowsTheSavedNamesake() {
        {
            EditRun run(dir());
            QVERIFY(run.start());
            qel::Vantrel* w = run.window();
            for (int row = 1; row <= 2 && w->txtID->text() != secondSamId; ++row)
                showSamFound(w, row);
            QCOMPARE(w->txtID->text(), secondSamId);
            w->menuEdit->trigger();
            w->txtNumber[1]->setText(QStringLiteral("22"));
            f->dialogs().expectQuestion(QStringLiteral("This will change the information for Sam Same"),
                                        MsgResult::Yes);
            w->cmdSave->click();
            w = run.rebuilt();
            QVERIFY(w);
            QCOMPARE(w->txtID->text(), secondSamId);
            QCOMPARE(w->txtNumber[1]->text(), QStringLiteral("22"));
        }
        EditRun again(dir());
        QVERIFY(again.start());
        QCOMPARE(again.window()->txtID->text(), secondSamId);
    }

    void lastNamesOutsideTheLettersReopenOnMisc_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("no last name") << QStringLiteral("Cher");
        QTest::newRow("a digit") << QStringLiteral("Agent 007");
        QTest::newRow("punctuation") << QStringLiteral("Jo -Dash");
    }
    void lastNamesOutsideTheLettersReopenOnMisc() {
        QFETCH(QString, name);
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->menuAdd->trigger();
        w->txtName->setText(name);
        f->dialogs().expectQuestion(QStringLiteral("This will add ") + name, MsgResult::Yes);
        w->cmdSave->click();
        w = run.rebuilt();
        QVERIFY(w);
        QCOMPARE(w->mLetterCode, qint16(27));
        QCOMPARE(w->LetterButton1->text(), QStringLiteral("MISC"));
        QCOMPARE(w->txtName->text(), name);
        QVERIFY(storedOne(dir(), name));
    }

    void noToTheSaveQuestionDiscardsTheEdits() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->menuEdit->trigger();
        w->txtName->setText(QStringLiteral("Ann Zed"));
        w->txtNumber[0]->setText(QStringLiteral("999"));
        w->lstEmail->item(0)->setText(QString());
        f->dialogs().expectQuestion(QStringLiteral("This will change the information for Ann Zed"),
                                    MsgResult::No);
        w->cmdSave->click();
        w = run.rebuilt();
        QVERIFY(w);
        QVERIFY(!w->isEditing());
        QCOMPARE(w->txtName->text(), QStringLiteral("Ann Archer"));
        const ol::ItemPtr ann = storedOne(dir(), QStringLiteral("Ann Archer"));
        QVERIFY(ann);
        QCOMPARE(ann->text(ol::prop::HomeTelephoneNumber), QStringLiteral("111"));
        QCOMPARE(ann->text(ol::prop::Email1Address), QStringLiteral("ann@a.test"));
        QVERIFY(stored(dir(), QStringLiteral("Ann Zed")).isEmpty());
    }

    void removeDeletesOnlyOnYesAndRebuildsEitherWay() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        const QString question = QStringLiteral(
            "This will remove Ann Archer from your contacts folder in Outlook.\nAre you sure?");
        f->dialogs().expectQuestion(question, MsgResult::No);
        w->menuRemove->trigger();
        QCOMPARE(f->lastTitle(), QStringLiteral("Confirm Delete!!!"));
        w = run.rebuilt();
        QVERIFY(w);
        QVERIFY(storedOne(dir(), QStringLiteral("Ann Archer")));
        QCOMPARE(syncMark(w), QString());

        f->dialogs().expectQuestion(question, MsgResult::Yes);
        w->menuRemove->trigger();
        w = run.rebuilt();
        QVERIFY(w);
        QVERIFY(stored(dir(), QStringLiteral("Ann Archer")).isEmpty());
        QVERIFY(storedOne(dir(), QStringLiteral("Bob Archer")));
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob Archer")); // the letter's first entry
        QCOMPARE(syncMark(w), QString());
    }

    void aVanishedContactIsReportedAndNothingIsWritten() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        const int before = storedCount(dir());

        // Edited, then removed elsewhere before the save.
        w->menuEdit->trigger();
        w->txtNumber[0]->setText(QStringLiteral("999"));
        removeFromStore(dir(), QStringLiteral("Ann Archer"));
        f->dialogs().expectMessage(QStringLiteral("Ann Archer could not be found in the contact folder"));
        w->cmdSave->click();
        w = run.rebuilt();
        QVERIFY(w);
        QCOMPARE(storedCount(dir()), before - 1);
        QVERIFY(stored(dir(), QStringLiteral("Ann Archer")).isEmpty());
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob Archer"));

        // Shown, then removed elsewhere before the removal.
        removeFromStore(dir(), QStringLiteral("Bob Archer"));
        f->dialogs()
            .expectQuestion(QStringLiteral("This will remove Bob Archer"), MsgResult::Yes)
            .expectMessage(QStringLiteral("Bob Archer could not be found in the contact folder"));
        w->menuRemove->trigger();
        w = run.rebuilt();
        QVERIFY(w);
        QCOMPARE(storedCount(dir()), before - 2);
        QCOMPARE(w->txtName->text(), QStringLiteral("<No Contacts>"));
    }

    void nothingShownIsRefusedWithoutLeavingTheSyncMark() {
        EditRun run(dir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        w->mLetterCode = 17; // Q: nobody
        w->browser().LetterChange();
        QCOMPARE(w->txtName->text(), QStringLiteral("<No Contacts>"));

        f->dialogs().expectMessage(QStringLiteral("Please select a contact!"));
        w->menuEdit->trigger();
        QVERIFY(!w->isEditing());
        QCOMPARE(syncMark(w), QString());
        QVERIFY(w->menuFile->menuAction()->isEnabled());

        f->dialogs().expectMessage(QStringLiteral("Please select a contact!"));
        w->menuRemove->trigger();
        QCOMPARE(syncMark(w), QString());
        QVERIFY(run.unchanged());

        // Adding needs no contact shown.
        w->menuAdd->trigger();
        QVERIFY(w->isEditing());
        w->cmdCancel->click();
        QVERIFY(run.rebuilt());
    }
};

QEL_TEST_MAIN(ContactEditorTest)
#include "test_contact_editor.moc"
