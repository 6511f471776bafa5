#include "HelpAndUpdates.h"

#include "Manual.h"
#include "core/DebugLog.h"
#include "core/Tag.h"
#include "frmAbout.h"
#include "frmHelp.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

namespace qel {

namespace {

const QString kCheckFailed = QStringLiteral(
    "An error occurred while looking for an update. Please make sure you are online or try again later.");
const QString kCrLf = QStringLiteral("\r\n");

// The version as a whole number of hundredths: the same order as the value
// major + minor / 10 + revision / 100, without the rounding of fractions.
int hundredths(const ProgramVersion& version) {
    return version.major * 100 + version.minor * 10 + version.revision;
}

} // namespace

HelpAndUpdates::HelpAndUpdates(UpdateControls controls, const SettingsModel& settings, UpdateHooks hooks,
                               ProgramVersion version, QObject* parent)
    : QObject(parent), mUi(controls), mSettings(settings), mHooks(std::move(hooks)), mVersion(version) {
    mTimeLimit.setSingleShot(true);
    mTimeLimit.setInterval(kDefaultTimeLimitMs);
    connect(&mTimeLimit, &QTimer::timeout, this, [this] {
        requestDone();
        HttpReply none;
        none.error = QStringLiteral("no answer within %1 seconds").arg(mTimeLimit.interval() / 1000.0);
        WebBrowser1_DocumentComplete(none);
    });
}

HelpAndUpdates::~HelpAndUpdates() {
    delete mWelcome.data();
}

QUrl HelpAndUpdates::onHost(const QString& path) const {
    QString host = mSettings.updateHost.trimmed();
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return QUrl(host + path);
}

QUrl HelpAndUpdates::versionPageUrl() const {
    return onHost(QStringLiteral("/download.htm"));
}

QUrl HelpAndUpdates::updaterUrl() const {
    return onHost(QStringLiteral("/Install/QELUpdater.tar.gz"));
}

QUrl HelpAndUpdates::downloadPageUrl() const {
    return versionPageUrl();
}

// --- The manual and the web site ---------------------------------------------------------------

void HelpAndUpdates::registerHelpFile() {
    mHelpFile = manualFile();
    if (mHelpFile.isEmpty())
        debug(QStringLiteral(":The manual ") + QLatin1String(kManualFileName) +
              QStringLiteral(" was not found"));
}

void HelpAndUpdates::menuInstructions_Click() {
    if (mHelpFile.isEmpty())
        registerHelpFile();
    if (mHelpFile.isEmpty()) {
        dialogs().message(QStringLiteral("The help file ") + QLatin1String(kManualFileName) +
                          QStringLiteral(" was not found beside the program. Please reinstall Vantrel."));
        return;
    }
    if (!shell().open(mHelpFile)) {
        debug(QStringLiteral(":The desktop could not open the manual; shown in the welcome window"));
        showWelcome();
    }
}

void HelpAndUpdates::showWelcome() {
    if (!mWelcome) {
        mWelcome = new frmHelp(mUi.window);
        mWelcome->setAttribute(Qt::WA_DeleteOnClose);
        mWelcome->load(mHelpFile.isEmpty() ? manualFile() : mHelpFile);
    }
    mWelcome->show();
    mWelcome->raise();
    mWelcome->activateWindow();
}

void HelpAndUpdates::menuWeb_Click() {
    shell().open(kWebSite);
}

void HelpAndUpdates::menuAbout_Click() {
    SyncingScope busy(mUi.SyncTimer);
    frmAbout about(mVersion, mUi.window);
    dialogs().exec(about);
}

// --- The update check --------------------------------------------------------------------------

void HelpAndUpdates::menuUpdates_Click() {
    if (mRequest && Tag(mUi.WebBrowser1) == kUpdateCheckTag)
        return; // the answer of the check already asked for serves this one too
    setTag(mUi.WebBrowser1, kUpdateCheckTag);
    const QUrl page = versionPageUrl();
    debug(QStringLiteral(":Looking for an update at ") + page.toDisplayString());
    mRequest = new QObject(this);
    mTimeLimit.start();
    http().get(page, mRequest, [this](const HttpReply& reply) {
        requestDone();
        WebBrowser1_DocumentComplete(reply);
    });
}

void HelpAndUpdates::requestDone() {
    mTimeLimit.stop();
    if (mRequest)
        mRequest->deleteLater();
    mRequest = nullptr;
}

void HelpAndUpdates::WebBrowser1_DocumentComplete(const HttpReply& reply) {
    if (Tag(mUi.WebBrowser1) != kUpdateCheckTag)
        return;
    std::optional<VersionPage> page;
    if (!reply.accepted())
        debug(QStringLiteral(":The version page did not come: ") +
              (reply.answered() ? QStringLiteral("HTTP %1").arg(reply.status) : reply.error));
    else if (!(page = readVersionPage(reply.body)))
        debug(QStringLiteral(":The version page has no version in it"));
    if (!page) {
        dialogs().message(kCheckFailed);
    } else if (hundredths(page->version) <= hundredths(mVersion)) {
        dialogs().message(QStringLiteral("No new version was found."));
    } else {
        offer(*page); // ends the program when the user takes the new version
        return;
    }
    setTag(mUi.WebBrowser1, QString());
}

QString HelpAndUpdates::offerQuestion(const VersionPage& page) {
    QString question = QStringLiteral("A new version (") + page.versionText +
                       QStringLiteral(") is available.  Would you like to install it?");
    if (page.notes)
        question += kCrLf + kCrLf + QStringLiteral("What's New:") + kCrLf + *page.notes;
    return question;
}

void HelpAndUpdates::offer(const VersionPage& page) {
    if (dialogs().ask(offerQuestion(page), MsgButtons::YesNo, MsgIcon::Question,
                      QStringLiteral("New Version")) != MsgResult::Yes) {
        setTag(mUi.WebBrowser1, QString());
        return;
    }
    setTag(mUi.WebBrowser1, QString());
    if (page.version.major <= mVersion.major) {
        dialogs().message(QStringLiteral("Vantrel must close to complete the update.  Please click okay and "
                                         "follow your browser's instructions to download and run the "
                                         "latest updater."));
        shell().open(updaterUrl().toString());
    } else {
        dialogs().message(QStringLiteral("You must uninstall this version of Vantrel before installing the "
                                         "newer one.  You will be taken to the download page and Vantrel "
                                         "will exit."));
        shell().open(downloadPageUrl().toString());
    }
    if (mHooks.exitProgram)
        mHooks.exitProgram();
}

} // namespace qel
