#pragma once

// The Help menu of the main window: the manual (F1), the web site, the About window and the check
// for a newer version (also on the tray menu), plus the welcome window. The check fetches the
// version page "/download.htm" of the download host (Misc/UpdateHost) through the program's HTTP
// client, within a time limit, and never holds up the window: the answer is handled when it
// comes. When the user takes a newer version the program opens its download and ends.

#include "VersionPage.h"
#include "core/SettingsModel.h"
#include "frmHelp.h"
#include "platform/Http.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <functional>

namespace qel {

// The tag of WebBrowser1 while the version page is awaited: the next page loaded is it.
inline const QString kUpdateCheckTag = QStringLiteral("Update Check");
// The product's web site.
inline const QString kWebSite = QStringLiteral("https://www.vantrel.org/");

// The main window's controls the help and the check work on.
struct UpdateControls {
    QObject* WebBrowser1 = nullptr; // "Update Check" while the version page is awaited
    QTimer* SyncTimer = nullptr;    // "Syncing" while the About window is open
    QWidget* window = nullptr;      // the owner of the About and welcome windows
};

// What the help and the check need of the rest of the program. Every hook may be left empty.
struct UpdateHooks {
    std::function<void()> exitProgram; // ends the program through its exit routine
};

class HelpAndUpdates : public QObject {
    Q_OBJECT
public:
    HelpAndUpdates(UpdateControls controls, const SettingsModel& settings, UpdateHooks hooks,
                   ProgramVersion version = runningVersion(), QObject* parent = nullptr);
    ~HelpAndUpdates() override;

    static constexpr int kDefaultTimeLimitMs = 20000;
    // How long the check waits for the version page before it gives up (tests shorten it).
    void setTimeLimit(int milliseconds) { mTimeLimit.setInterval(milliseconds); }

    // The version page, the updater's download package and the download page on the download host.
    QUrl versionPageUrl() const;
    QUrl updaterUrl() const;
    QUrl downloadPageUrl() const;

    // Start-up: finds the manual, which F1 and "QEL Help File (F1)" open from then on.
    void registerHelpFile();
    const QString& helpFile() const { return mHelpFile; }
    // The welcome window, made on first use (null before).
    frmHelp* welcomeWindow() const { return mWelcome; }
    const ProgramVersion& version() const { return mVersion; }
    // The "New Version" question for what the page announces.
    static QString offerQuestion(const VersionPage& page);

public Q_SLOTS:
    // "QEL Help File (F1)" and F1: the manual in the default browser; where the desktop cannot open
    // it, its first page in the welcome window.
    void menuInstructions_Click();
    // "Check for updates" and the tray's "Check for Updates": asks for the version page and returns;
    // the answer is handled when it comes (a second click meanwhile waits for the same answer).
    void menuUpdates_Click();
    void menuWeb_Click();
    // The About window, modal, with the sync timer marked busy meanwhile.
    void menuAbout_Click();
    // The welcome window with the manual's first page.
    void showWelcome();
    // A page has been loaded: acts only while WebBrowser1's tag is "Update Check". A reply that
    // did not come (error, time limit) or is no version page is told as the check's error.
    void WebBrowser1_DocumentComplete(const HttpReply& reply);

private:
    QUrl onHost(const QString& path) const;
    void requestDone();
    void offer(const VersionPage& page);

    UpdateControls mUi;
    const SettingsModel& mSettings;
    UpdateHooks mHooks;
    ProgramVersion mVersion;
    QString mHelpFile;
    QPointer<QObject> mRequest; // the context of the request in flight; deleting it drops the answer
    QTimer mTimeLimit;
    QPointer<frmHelp> mWelcome;
};

} // namespace qel
