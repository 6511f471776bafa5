#pragma once

#include "CommandLine.h"
#include "core/SettingsModel.h"
#include "outlook/Outlook.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QLockFile;

namespace qel {

class InstanceServer;
class Vantrel;

// The running program: the one main window at a time, its reload, and the single-instance lock.
//
// start() loads the main window (its Form_Load runs the start-up) and shows it. The program ends
// when the window unloads itself (ExitProgram) without a reload pending: finished() is emitted.
// reload() ends the window and loads a new one from the settings once the handler that asked for
// it has returned; code must not touch the old window after asking.
//
// The one running instance listens on a local socket beside its lock file (InstanceChannel.h): a
// later start hands its command line there and ends; the window answers it once it is loaded.
class Program : public QObject {
    Q_OBJECT
public:
    explicit Program(CommandLine commandLine, QObject* parent = nullptr);
    ~Program() override;

    // Called with every new store connection before the program uses it: installs the store's
    // windows (folder picker) and, in tests, switches components off.
    std::function<void(ol::Application&)> prepareStore;

    // The single-instance lock file; default: Vantrel.lock in the per-user runtime folder.
    void setInstanceLockPath(const QString& path) { mLockPath = path; }
    static QString defaultInstanceLockPath();
    // The socket of the running instance: beside the lock, named as it with ".socket".
    QString instanceSocketPath() const;

    // Loads and shows the main window. false when the start-up ended the program.
    bool start();
    // The loaded main window; nullptr between a reload's end and its new load, and after the end.
    Vantrel* window() const { return mWindow; }
    bool isFinished() const { return mFinished; }

    // Ends the main window (ExitProgram) and loads it again; the new load is queued.
    void reload();
    // The window of the next load starts minimized (the tray's Preferences after OK).
    void minimizeNextLoad() { mMinimizeNextLoad = true; }

    // The command line of this load: the process's on the first load, empty on a reload (the
    // position a reload returns to is the one ExitProgram saved).
    const CommandLine& commandLine() const;
    const CommandLine& processCommandLine() const { return mCommandLine; }
    QString storeDir() const { return mCommandLine.storeDir; }

    // True when this process is (or has just become) the one running instance; it then listens
    // for later starts.
    bool claimInstance();
    // A later start: hands this command line to the running instance. True when it took it (the
    // start then ends quietly, with status 0).
    bool handToRunningInstance();
    bool handedOver() const { return mHandedOver; }

    // Ends a still loaded window as its close would (the session is ending).
    void shutDown();

    // The program's settings for the whole run: every window and subsystem reads them; the
    // preferences dialog edits and saves them.
    SettingsModel& settings() { return mSettings; }

Q_SIGNALS:
    void windowLoaded(qel::Vantrel* window);
    void finished();

private:
    void loadWindow();
    void windowUnloaded();
    void releaseInstance();
    void answerLaterStart(const CommandLine& line);
    void answerPendingStarts();

    CommandLine mCommandLine;
    SettingsModel mSettings;
    CommandLine mNoCommandLine;
    QString mLockPath;
    std::unique_ptr<QLockFile> mLock;
    InstanceServer* mServer = nullptr;
    QList<CommandLine> mPendingStarts; // later starts heard while no window was loaded
    QPointer<Vantrel> mWindow;
    QList<QPointer<Vantrel>> mRetired; // unloaded windows whose deletion is still pending
    int mLoads = 0;
    bool mReloadPending = false;
    bool mMinimizeNextLoad = false;
    bool mFinished = false;
    bool mWindowReady = false; // the window's start-up has run to its end
    bool mHandedOver = false;
    bool mAnswering = false;
};

} // namespace qel
