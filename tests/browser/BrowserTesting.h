#pragma once

// Shared helpers of the browser tests: a settings file and a store of their own per test, contacts
// made in a line, and the browser on a window.

#include "browser/ContactBrowser.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "outlook/Outlook.h"
#include "support/SeamScope.h"
#include "support/SettingsFixture.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>
#include <initializer_list>
#include <memory>
#include <utility>

namespace browsertest {

using qeltest::freshSettings;

using qeltest::freshStoreDir;

inline QString cache(const QString& key) {
    return qel::GetSetting(QStringLiteral("Cache"), key);
}

using Props = std::initializer_list<std::pair<int, QString>>;

// Adds a contact with a first and a last name (either may be empty) and further properties.
inline ol::ItemPtr addContact(const ol::FolderPtr& folder, const QString& first, const QString& last,
                              Props more = {}) {
    ol::ItemPtr c = folder->Items()->Add(ol::olContactItem);
    if (!first.isEmpty())
        c->set(ol::prop::FirstName, first);
    if (!last.isEmpty())
        c->set(ol::prop::LastName, last);
    for (const auto& [prop, value] : more)
        c->set(prop, value);
    c->Save();
    return c;
}

inline QStringList entries(const QComboBox* list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->itemText(i);
    return all;
}

// The browser on a window of its own, with the run-time members a main window would hold, live
// settings loaded from the test's settings file, and the hooks recorded.
class Harness : public qel::StoreObjects {
public:
    explicit Harness(const QString& storeDir) {
        gOlApp = ol::Application::create(storeDir);
        gOlNameSpace = gOlApp->GetNamespace();
        gSafeContact = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeContactItem"));
        settings.load();
        form.setFixedSize(qel::browserlayout::kWidth, qel::browserlayout::kHeight);
        ui.buildBrowserControls(&form);
        qel::BrowserHooks hooks;
        hooks.exitProgram = [this] { ++exits; };
        hooks.editing = [this] { return editing; };
        hooks.setKeyPreview = [this](bool on) { keyPreview = on; };
        hooks.setUserField = [this](int i, const QString& text) { userFields[i - 1] = text; };
        hooks.setNotes = [this](const QString& text) { notes = text; };
        browser = std::make_unique<qel::ContactBrowser>(
            ui, qel::BrowserMembers{storeMembers(), mLetterCode, mContactName}, settings, hooks);
    }

    // The start-up steps of the browser, from the Cache section as a start-up reads it.
    bool start() {
        bool ok = false;
        mLetterCode = static_cast<qint16>(cache(QStringLiteral("LetterCode")).toInt(&ok));
        if (!ok || mLetterCode == 0)
            mLetterCode = 1;
        mContactName = cache(QStringLiteral("ContactName"));
        const int state = cache(QStringLiteral("ContainerState")).toInt();
        int tab = cache(QStringLiteral("ContainerTab")).toInt();
        if (tab == 0)
            tab = 1;
        browser->restoreView(cache(QStringLiteral("ExtraInfo")));
        browser->restoreCategory(cache(QStringLiteral("CurrentCategory")));
        if (!browser->openStartFolder(cache(QStringLiteral("CurrentFolder"))))
            return false;
        browser->restoreContainer(state, tab);
        form.show();
        return true;
    }

    ol::FolderPtr folder(const QString& path) const { return gOlNameSpace->folderByPath(path); }
    ol::FolderPtr contacts() const { return folder(QStringLiteral("Personal Folders\\Contacts")); }

    void goToLetter(int code) {
        mLetterCode = static_cast<qint16>(code);
        browser->LetterChange();
    }

    qint16 mLetterCode = 1;
    QString mContactName;

    qel::SettingsModel settings;
    QWidget form;
    qel::BrowserControls ui;
    std::unique_ptr<qel::ContactBrowser> browser;

    int exits = 0;
    bool editing = false;
    bool keyPreview = true;
    std::array<QString, 4> userFields;
    QString notes;
};

} // namespace browsertest
