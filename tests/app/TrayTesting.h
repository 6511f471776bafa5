#pragma once

// Helpers of the tests of the tray, the keys and the timers: a store of its own for each test,
// the window put into editing, the hot-key settings.

#include "AppTesting.h"
#include "support/HotKeyDouble.h"

#include <QPushButton>
#include <QTemporaryDir>

namespace apptest {

inline void addContact(const ol::FolderPtr& folder, const QString& first, const QString& last) {
    ol::ItemPtr c = folder->Items()->Add(ol::olContactItem);
    c->set(ol::prop::FirstName, first);
    c->set(ol::prop::LastName, last);
    c->Save();
}

inline ol::FolderPtr contactsFolder(const QString& storeDir) {
    return ol::Application::create(storeDir)->GetNamespace()->folderByPath(
        QStringLiteral("Personal Folders\\Contacts"));
}

// A new store folder under `root` with a few contacts: Ann and Bob Archer, Mia and Max Moss, Zed Zulu.
inline QString makeStore(const QTemporaryDir& root) {
    static int serial = 0;
    const QString dir = root.filePath(QStringLiteral("store-%1").arg(++serial));
    const ol::FolderPtr contacts = contactsFolder(dir);
    addContact(contacts, QStringLiteral("Ann"), QStringLiteral("Archer"));
    addContact(contacts, QStringLiteral("Bob"), QStringLiteral("Archer"));
    addContact(contacts, QStringLiteral("Mia"), QStringLiteral("Moss"));
    addContact(contacts, QStringLiteral("Max"), QStringLiteral("Moss"));
    addContact(contacts, QStringLiteral("Zed"), QStringLiteral("Zulu"));
    return dir;
}

// Puts the window into editing through its own command, on the contact shown.
inline void enterEditing(qel::Vantrel* w) {
    w->menuEdit_Click();
}

inline void saveFlag(const char* section, const char* key, bool on = true) {
    qel::SaveSetting(QLatin1String(section), QLatin1String(key),
                     on ? QStringLiteral("Yes") : QStringLiteral("No"));
}

// The restore hot key Ctrl+Alt+P (list position 53, virtual key 80), on or off.
constexpr int kKeyP = 80;
inline void saveRestoreHotKey(bool on) {
    saveFlag("General", "UseHotkey", on);
    saveFlag("General", "CtrlMod");
    saveFlag("General", "AltMod");
    qel::SaveSetting(QStringLiteral("General"), QStringLiteral("HotKey"), QStringLiteral("53"));
}

inline qel::HotKeyModifiers ctrlAlt() {
    qel::HotKeyModifiers modifiers;
    modifiers.ctrl = true;
    modifiers.alt = true;
    return modifiers;
}

} // namespace apptest
