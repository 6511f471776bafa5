#pragma once

// Shared helpers of the editing tests: a store of a few contacts made afresh for every test, a
// run of the real program that notices when the main window has been rebuilt, and a second look
// into the store from outside the program to see what it really holds.

#include "../app/AppTesting.h"
#include "core/Tag.h"
#include "support/TrayDouble.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <map>

namespace edittest {

using Props = std::map<int, QString>;

inline const QString kContacts = QStringLiteral("Personal Folders\\Contacts");

// The contact folder as a fresh connection to the store folder sees it.
struct StoreView {
    explicit StoreView(const QString& storeDir)
        : app(ol::Application::create(storeDir)), folder(app->GetNamespace()->folderByPath(kContacts)) {}
    ol::ApplicationPtr app;
    ol::FolderPtr folder;
};

inline QString addContact(const QString& storeDir, const QString& fullName, const Props& props = {}) {
    const StoreView store(storeDir);
    ol::ItemPtr c = store.folder->Items()->Add(ol::olContactItem);
    c->set(ol::prop::FullName, fullName);
    for (const auto& [id, value] : props)
        c->set(id, value);
    c->Save();
    return c->EntryID();
}

// The contacts of that display name, as the store holds them now.
inline QList<ol::ItemPtr> stored(const QString& storeDir, const QString& name) {
    const StoreView store(storeDir);
    QList<ol::ItemPtr> found;
    const ol::ItemsPtr items = store.folder->Items();
    for (const ol::ItemPtr& item : items) {
        if (item->Subject() == name)
            found << item;
    }
    return found;
}

inline ol::ItemPtr storedOne(const QString& storeDir, const QString& name) {
    const QList<ol::ItemPtr> found = stored(storeDir, name);
    return found.size() == 1 ? found.first() : nullptr;
}

inline int storedCount(const QString& storeDir) {
    const StoreView store(storeDir);
    return store.folder->Items()->Count();
}

// Changes the store behind the program's back, as another program would.
inline void removeFromStore(const QString& storeDir, const QString& name) {
    const StoreView store(storeDir);
    for (;;) {
        const ol::ItemsPtr same =
            store.folder->Items()->Restrict(QStringLiteral("[Subject] = ") + ol::quoteLiteral(name));
        if (same->Count() == 0)
            return;
        same->Item(1)->Delete();
    }
}

inline bool selectContact(qel::Vantrel* w, const QString& name) {
    const int index = w->cmbContacts->findText(name);
    if (index < 0)
        return false;
    w->cmbContacts->setCurrentIndex(index);
    return w->txtName->text() == name;
}

inline void doubleClickEntry(QListWidget* list, int row) {
    // As a mouse does it: the view acts on a double-click only on the entry the press was on.
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

inline QString syncMark(const qel::Vantrel* w) {
    return qel::Tag(w->SyncTimer);
}

// A run of the program that counts the loads of its main window.
struct EditRun : apptest::Run {
    using apptest::Run::Run;

    bool start() {
        if (!apptest::Run::start())
            return false;
        qRegisterMetaType<qel::Vantrel*>();
        loads = std::make_unique<QSignalSpy>(program.get(), &qel::Program::windowLoaded);
        return true;
    }
    // Waits for the window to be rebuilt once more and returns the new one (nullptr when none came).
    qel::Vantrel* rebuilt() {
        const qsizetype expected = ++seen;
        const bool came = QTest::qWaitFor([&] { return loads->count() >= expected && window(); }, 5000);
        apptest::settle();
        return came && loads->count() == expected ? window() : nullptr;
    }
    // True when no rebuild has been asked for since the last one.
    bool unchanged() {
        apptest::settle();
        return loads->count() == seen && window();
    }

    std::unique_ptr<QSignalSpy> loads;
    qsizetype seen = 0;
};

// What every editing test needs: its own settings, seams, tray and store folder.
class Fixture {
public:
    Fixture() {
        apptest::freshSettings(QStringLiteral("editing"));
        seams = std::make_unique<qeltest::SeamScope>();
        tray = std::make_unique<qeltest::TrayDouble>();
    }
    ~Fixture() {
        apptest::settle();
        seams.reset();
        tray.reset();
    }
    QString storeDir() const { return stores.filePath(QStringLiteral("stores")); }
    qeltest::ScriptedDialogs& dialogs() { return seams->dialogs; }
    // The title of the last prompt shown.
    QString lastTitle() const {
        return seams->dialogs.prompts().isEmpty() ? QString() : seams->dialogs.prompts().last().title;
    }

    QTemporaryDir stores;
    std::unique_ptr<qeltest::SeamScope> seams;
    std::unique_ptr<qeltest::TrayDouble> tray;
};

} // namespace edittest
