#pragma once

// Shared helpers of the preferences tests: a settings file of its own per test, the file's bytes,
// and a store window double that hands back a chosen folder.

#include "core/Settings.h"
#include "outlook/Outlook.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace prefstest {

// Points the settings store at a new, empty file and returns its path.
inline QString freshSettings(const QString& tag) {
    static int serial = 0;
    const QString dir = qeltest::sandboxRoot() + QStringLiteral("/settings");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/%1-%2.ini").arg(tag).arg(++serial);
    QFile::remove(path);
    qel::setSettingsFile(path);
    return path;
}

inline QByteArray settingsBytes() {
    QFile file(qel::settingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
