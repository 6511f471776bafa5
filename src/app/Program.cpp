#include "Program.h"

#include "Vantrel.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace qel {

Program::Program(CommandLine commandLine, QObject* parent)
    : QObject(parent), mCommandLine(std::move(commandLine)), mLockPath(defaultInstanceLockPath()) {}

Program::~Program() {
    // A window still loaded here goes without ExitProgram: the process is being torn down.
    delete mWindow.data();
    for (const QPointer<Vantrel>& old : std::as_const(mRetired))
        delete old.data();
    releaseInstance();
}

QString Program::defaultInstanceLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/Vantrel.lock");
}

const CommandLine& Program::commandLine() const {
    return mLoads <= 1 ? mCommandLine : mNoCommandLine;
}

bool Program::claimInstance() {
    if (mLock && mLock->isLocked())
        return true;
    QDir().mkpath(QFileInfo(mLockPath).absolutePath());
    mLock = std::make_unique<QLockFile>(mLockPath);
    // Only a lock whose process has gone is stale; a running instance keeps it however long.
    mLock->setStaleLockTime(0);
    if (mLock->tryLock(0))
        return true;
    mLock.reset();
    return false;
}

void Program::releaseInstance() {
    if (mLock)
        mLock->unlock();
    mLock.reset();
}

bool Program::start() {
    if (mLoads > 0)
        return !mFinished;
    loadWindow();
    return !mFinished;
}

void Program::loadWindow() {
    if (mFinished)
        return;
    ++mLoads;
    auto* window = new Vantrel(*this);
    mWindow = window;
    connect(window, &Vantrel::unloaded, this, &Program::windowUnloaded);
    window->Form_Load();
    if (mWindow != window)
        return; // the start-up ended it
    if (mMinimizeNextLoad) {
        mMinimizeNextLoad = false;
        window->minimizeOnceShown();
    }
    Q_EMIT windowLoaded(window);
}

void Program::reload() {
    if (!mWindow || mReloadPending || mFinished)
        return;
    mReloadPending = true;
    mWindow->ExitProgram(false); // unloads it: windowUnloaded queues the new load
}

void Program::windowUnloaded() {
    Vantrel* old = mWindow;
    mWindow = nullptr;
    if (old) {
        old->deleteLater(); // a handler of it may still be on the stack
        mRetired.removeAll(nullptr);
        mRetired.append(old);
    }
    if (mReloadPending) {
        mReloadPending = false;
        QMetaObject::invokeMethod(this, &Program::loadWindow, Qt::QueuedConnection);
        return;
    }
    mFinished = true;
    releaseInstance();
    Q_EMIT finished();
}

void Program::shutDown() {
    if (mWindow && !mWindow->isUnloaded())
        mWindow->ExitProgram(false);
}

} // namespace qel
