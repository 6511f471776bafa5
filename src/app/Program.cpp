#include "Program.h"

#include "InstanceChannel.h"
#include "Vantrel.h"
#include "core/DebugLog.h"

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

QString Program::instanceSocketPath() const {
    const QFileInfo lock(mLockPath);
    return lock.absoluteDir().filePath(lock.completeBaseName() + QStringLiteral(".socket"));
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
    if (!mLock->tryLock(0)) {
        mLock.reset();
        return false;
    }
    mServer = new InstanceServer(this);
    connect(mServer, &InstanceServer::requested, this, &Program::answerLaterStart);
    connect(mServer, &InstanceServer::refused, this,
            [](const QString& reason) { debug(QStringLiteral(":Later start refused: ") + reason); });
    if (!mServer->listen(instanceSocketPath()))
        debug(QStringLiteral(":Not listening for later starts: ") + mServer->errorString());
    return true;
}

bool Program::handToRunningInstance() {
    mHandedOver = qel::handToRunningInstance(instanceSocketPath(), forwardedArguments(mCommandLine));
    return mHandedOver;
}

void Program::releaseInstance() {
    delete mServer; // closes the socket before the lock goes
    mServer = nullptr;
    mPendingStarts.clear();
    if (mLock)
        mLock->unlock();
    mLock.reset();
}

void Program::answerLaterStart(const CommandLine& line) {
    mPendingStarts.append(line);
    answerPendingStarts();
}

void Program::answerPendingStarts() {
    // One at a time (an answer may wait in a dialog), and only to a window whose start-up has
    // ended: a later start that comes while the window loads (or reloads) waits for it.
    if (mAnswering)
        return;
    mAnswering = true;
    while (mWindowReady && mWindow && !mWindow->isUnloaded() && !mPendingStarts.isEmpty())
        mWindow->answerLaterStart(mPendingStarts.takeFirst());
    mAnswering = false;
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
    mWindowReady = false;
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
    mWindowReady = true;
    Q_EMIT windowLoaded(window);
    if (!mPendingStarts.isEmpty())
        QMetaObject::invokeMethod(this, &Program::answerPendingStarts, Qt::QueuedConnection);
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
    mWindowReady = false;
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
