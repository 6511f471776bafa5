// The contact editor on a card of its own, without the main window or the program: the browser
// fills the card, the editor saves, cancels and removes through the store, and asks for the window
// to be rebuilt through its hook. What the store holds is read through a fresh connection.

#include "../browser/BrowserTesting.h"
#include "core/Tag.h"
#include "editing/ContactEditor.h"

#include <QTimer>

using namespace browsertest;
using qel::MsgResult;

namespace {

// The card, the browser and the editor, with the window's members and every hook recorded.
struct EditorHarness : Harness {
    explicit EditorHarness(const QString& dir) : Harness(dir), storeDir(dir) {
        editorUi.buildEditorControls(&form, ui);
        qel::EditorHooks hooks;
        hooks.reload = [this] { ++reloads; };
        hooks.closeWindowParts = [this] { ++windowPartsClosed; };
        hooks.setKeyPreview = [this](bool on) { keyPreview = on; };
        hooks.meChanged = [this](const QString& name) { settings.setMe(name); };
        editor = std::make_unique<qel::ContactEditor>(
            ui, editorUi, qel::BrowserMembers{storeMembers(), mLetterCode, mContactName}, *browser, &form,
            &syncTimer, hooks);
    }

    // The contact of that name as a fresh connection to the store sees it (nullptr: not there).
    ol::ItemPtr stored(const QString& name) const {
        const ol::ApplicationPtr fresh = ol::Application::create(storeDir);
        const ol::ItemsPtr items =
            fresh->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"))->Items();
        for (const ol::ItemPtr& item : items) {
            if (item->Subject() == name)
                return item;
        }
        return nullptr;
    }

    QString storeDir;
    qel::EditorControls editorUi;
    QTimer syncTimer;
    std::unique_ptr<qel::ContactEditor> editor;
    int reloads = 0;
    int windowPartsClosed = 0;
};

} // namespace

class EditorAloneTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { freshSettings(QStringLiteral("editor-alone")); }

    void aSavedEditReachesTheStoreAndAsksForTheRebuild() {
        qeltest::SeamScope seams;
        EditorHarness h(freshStoreDir(QStringLiteral("save")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::HomeTelephoneNumber, QStringLiteral("111")}});
        QVERIFY(h.start());
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));

        h.editor->menuEdit_Click();
        QVERIFY(h.editor->isEditing());
        QCOMPARE(qel::Tag(&h.syncTimer), QStringLiteral("Syncing"));
        QCOMPARE(h.windowPartsClosed, 1);
        QVERIFY(!h.keyPreview);
        h.ui.txtNumber[0]->setText(QStringLiteral("999"));
        seams.dialogs.expectQuestion(QStringLiteral("This will change the information for Ann Adams"),
                                     MsgResult::Yes);
        h.editor->cmdSave_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.reloads, 1);
        const ol::ItemPtr ann = h.stored(QStringLiteral("Ann Adams"));
        QVERIFY(ann);
        QCOMPARE(ann->text(ol::prop::HomeTelephoneNumber), QStringLiteral("999"));
        QCOMPARE(h.mContactName, QStringLiteral("Ann Adams"));
    }

    void noAtTheQuestionWritesNothing() {
        qeltest::SeamScope seams;
        EditorHarness h(freshStoreDir(QStringLiteral("no")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"),
                   {{ol::prop::HomeTelephoneNumber, QStringLiteral("111")}});
        QVERIFY(h.start());
        h.editor->menuEdit_Click();
        h.ui.txtNumber[0]->setText(QStringLiteral("999"));
        seams.dialogs.expectQuestion(QStringLiteral("Are you sure?"), MsgResult::No);
        h.editor->cmdSave_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.reloads, 1); // No is Cancel Edits: the window is rebuilt from the store
        QCOMPARE(h.stored(QStringLiteral("Ann Adams"))->text(ol::prop::HomeTelephoneNumber),
                 QStringLiteral("111"));
    }

    void aContactGoneMeanwhileIsToldAndNothingIsWritten() {
        qeltest::SeamScope seams;
        EditorHarness h(freshStoreDir(QStringLiteral("gone")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        addContact(h.contacts(), QStringLiteral("Bob"), QStringLiteral("Arnold"));
        QVERIFY(h.start());
        QCOMPARE(h.ui.txtName->text(), QStringLiteral("Ann Adams"));
        // Another program removes the shown contact.
        h.stored(QStringLiteral("Ann Adams"))->Delete();
        seams.dialogs.expectQuestion(QStringLiteral("This will remove Ann Adams"), MsgResult::Yes)
            .expectMessage(QStringLiteral("Ann Adams could not be found in the contact folder"));
        h.editor->menuRemove_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.reloads, 1);
        QVERIFY(h.stored(QStringLiteral("Bob Arnold")));
        QCOMPARE(qel::Tag(&h.syncTimer), QString()); // the mark is cleared on the way out
    }

    void meIsKeptInTheSettingsAndTheStore() {
        qeltest::SeamScope seams;
        EditorHarness h(freshStoreDir(QStringLiteral("me")));
        addContact(h.contacts(), QStringLiteral("Ann"), QStringLiteral("Adams"));
        QVERIFY(h.start());
        seams.dialogs.expectMessage(QStringLiteral("has been stored as 'you'"));
        h.editor->menuMe_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(h.settings.me(), QStringLiteral("Ann Adams"));
        QCOMPARE(qel::GetSetting(QStringLiteral("Misc"), QStringLiteral("Me")), QStringLiteral("Ann Adams"));
        QVERIFY(h.ui.txtMe->isVisibleTo(&h.form));
    }
};

QTEST_MAIN(EditorAloneTest)
#include "test_editor_alone.moc"
