#pragma once

// Shared helpers of the preferences tests: a settings file of its own per test, the file's bytes,
// and a store window double that hands back a chosen folder.

#include "core/Settings.h"
#include "outlook/Outlook.h"
#include "support/SettingsFixture.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace prefstest {

using qeltest::freshSettings;
using qeltest::settingsBytes;

// Every (section/key) present in the settings file.
inline QStringList storedKeys() {
    QSettings settings(qel::settingsFile(), QSettings::IniFormat);
    return settings.allKeys();
}

// The store's folder picker as a test answers it: the folder to hand back (nullptr: cancelled).
class PickingStoreUi : public ol::StoreUi {
public:
    ol::FolderPtr answer;
    int calls = 0;
    ol::FolderPtr pickFolder(ol::NameSpace&) override {
        ++calls;
        return answer;
    }
    void display(const ol::ItemPtr&) override {}
    void showCategories(const ol::ItemPtr&) override {}
};

} // namespace prefstest
