#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

namespace qeltest {

namespace {
QTemporaryDir* gSandbox = nullptr;
}

void isolateEnvironment() {
    if (gSandbox)
        return;
    gSandbox = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/qel-test-XXXXXX"));
    const QString root = gSandbox->path();
    const auto makeDir = [&](const char* name) {
        const QString path = root + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(path);
        return path;
    };
    const QString runtime = makeDir("runtime");
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", makeDir("home").toUtf8());
    qputenv("XDG_CONFIG_HOME", makeDir("config").toUtf8());
    qputenv("XDG_DATA_HOME", makeDir("data").toUtf8());
    qputenv("XDG_CACHE_HOME", makeDir("cache").toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    qputenv("QEL_HOME", makeDir("program").toUtf8());
    qputenv("QEL_STORE_DIR", makeDir("stores").toUtf8());
    // No test (nor a program it starts) reaches the user's session bus, and so their keyring: only
    // the secret-service test runs on a private bus with a keyring of its own.
    if (qgetenv("QEL_SECRET_SERVICE") != "running")
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString sandboxRoot() {
    return gSandbox ? gSandbox->path() : QString();
}

} // namespace qeltest
