#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace qeltest {

// Gives the test process its own HOME, XDG folders (the runtime folder with mode 0700) and
// offscreen platform, and no session bus, so no test reads or writes the user's real settings,
// stores or keyring.
// Call before the QApplication is created; the folders live until the process ends.
void isolateEnvironment();

// The root of the temporary folder made by isolateEnvironment().
QString sandboxRoot();

// A new, empty store folder under the sandbox (the first store is made when it is opened).
inline QString freshStoreDir(const QString& tag) {
    static int serial = 0;
    const QString dir = sandboxRoot() + QStringLiteral("/stores/%1-%2").arg(tag).arg(++serial);
    QDir().mkpath(dir);
    return dir;
}

} // namespace qeltest

// Like QTEST_MAIN, with the isolated environment set up first.
#define QEL_TEST_MAIN(TestObject)                                                                            \
    int main(int argc, char** argv) {                                                                        \
        qeltest::isolateEnvironment();                                                                       \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
