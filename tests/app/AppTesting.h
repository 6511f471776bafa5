#pragma once

// Shared helpers of the main-window tests: a settings file and store folder of their own, a store
// window double that answers the folder picker from a list, and a program started headless.

#include "app/Program.h"
#include "app/Vantrel.h"
#include "core/Settings.h"
#include "outlook/Outlook.h"
#include "platform/ProgramFolder.h"
#include "support/HotKeyDouble.h"
#include "support/SeamScope.h"
#include "support/SettingsFixture.h"
#include "support/StoreUiDouble.h"
#include "support/TestEnvironment.h"
#include "support/TrayDouble.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

namespace apptest {

using qeltest::freshSettings;
using qeltest::settingsBytes;

inline QString cache(const QString& key) {
    return qel::GetSetting(QStringLiteral("Cache"), key);
}

inline QString programFile(const QString& name) {
    return qel::programFile(name);
}

inline QString readDebugFile() {
    QFile file(programFile(QStringLiteral("Debug.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

// The store's windows as the window tests script them. The program opens its store itself, so
// the folder picker is answered by path: each call takes the next path of the list ("" or a
// missing entry: the user cancels). The item window and the categories dialog are those of
// ScriptedStoreUi.
class QueuedStoreUi : public qeltest::ScriptedStoreUi {
public:
    std::deque<QString> answers;
    int calls = 0;
    ol::FolderPtr pickFolder(ol::NameSpace& ns) override {
        ++calls;
        if (answers.empty())
            return nullptr;
        const QString path = answers.front();
        answers.pop_front();
        return path.isEmpty() ? nullptr : ns.folderByPath(path);
    }
};

// One run of the program in the test process, on its own store folder, with the folder picker and
// the safe-item switch in the test's hands.
struct Run {
    explicit Run(const QString& storeDir, QStringList words = {})
        : Run(qel::CommandLine{storeDir, std::move(words)}) {}
    explicit Run(const qel::CommandLine& line) {
        program = std::make_unique<qel::Program>(line);
        program->prepareStore = [this](ol::Application& app) {
            app.setUi(storeUi);
            app.setSafeItemsAvailable(safeItems);
        };
    }
    bool start() { return program->start(); }
    qel::Vantrel* window() const { return program->window(); }

    std::shared_ptr<QueuedStoreUi> storeUi = std::make_shared<QueuedStoreUi>();
    bool safeItems = true;
    std::unique_ptr<qel::Program> program;
};

// A home of its own for the real program started as a process: a runtime folder (mode 0700), a
// settings file holding `ini`, and the environment of the process pointing there. Check ok().
class ProcessHome {
public:
    explicit ProcessHome(const QByteArray& ini) {
        const QString runtime = path(QStringLiteral("runtime"));
        QFile settings(settingsFile());
        mOk = mDir.isValid() && QDir().mkpath(runtime) &&
              QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner) &&
              QDir().mkpath(path(QStringLiteral("config/QEL"))) && settings.open(QIODevice::WriteOnly) &&
              settings.write(ini) == ini.size();
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), mDir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    bool ok() const { return mOk; }
    QString path(const QString& name) const { return mDir.filePath(name); }
    QString settingsFile() const { return path(QStringLiteral("config/QEL/QEL.ini")); }
    QProcessEnvironment env;

private:
    QTemporaryDir mDir;
    bool mOk = false;
};

// Lets queued calls and deferred deletions run (a reload, an unloaded window's end).
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// What each test case of the window holds: a store folder, the
// seams, the tray, the hot keys and, for the cases that keep one, the program run. A test class
// derives from it and calls beginCase/endCase from its init/cleanup.
class WindowCase {
protected:
    QTemporaryDir mStores;
    std::unique_ptr<qeltest::SeamScope> mSeams;
    std::unique_ptr<qeltest::TrayDouble> mTray;
    std::unique_ptr<qeltest::HotKeyDouble> mKeys;
    std::unique_ptr<Run> mRun;

    void beginCase(const QString& tag) {
        freshSettings(tag);
        mSeams = std::make_unique<qeltest::SeamScope>();
        mTray = std::make_unique<qeltest::TrayDouble>();
        mKeys = std::make_unique<qeltest::HotKeyDouble>();
    }
    // Ends the kept run, lets its end happen, and checks the scripted prompts (SeamScope's end).
    void endCase() {
        if (mRun && mRun->window())
            mRun->window()->ExitProgram(false);
        settle();
        mRun.reset();
        mSeams.reset();
        mKeys.reset();
        mTray.reset();
    }
};

} // namespace apptest
