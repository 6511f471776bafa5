#pragma once

// A settings file of a test's own: each call points the settings store at a new, empty file.

#include "core/Settings.h"
#include "support/TestEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace qeltest {

// Points the settings store at a new, empty file under the test's sandbox and returns its path.
inline QString freshSettings(const QString& tag) {
    static int serial = 0;
    const QString dir = sandboxRoot() + QStringLiteral("/settings");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/%1-%2.ini").arg(tag).arg(++serial);
    QFile::remove(path);
    qel::setSettingsFile(path);
    return path;
}

// The settings file's bytes as they are on disk ("" when it does not exist).
inline QByteArray settingsBytes() {
    QFile file(qel::settingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace qeltest
