#include "ExchangeCommands.h"

#include "core/DebugLog.h"
#include "core/SettingsModel.h"
#include "core/Tag.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"

#include <QAction>
#include <QFileInfo>
#include <QTimer>

namespace qel {

namespace {

const QString kCr = QStringLiteral("\r\n");
const QString kFileFilter = QStringLiteral("Access Database (*.mdb)");

// Clears the outcome, the sync timer's mark and the command's own tag on every way out, and
// unloads the progress window.
class CommandScope {
public:
    CommandScope(const ExchangeControls& ui, QObject* command, const QString& tag, ExchangeHooks& hooks)
        : mTray(ui.menuTraySync), mTimer(ui.SyncTimer), mCommand(command), mHooks(hooks) {
        setTag(mTimer, kSyncingTag);
        setTag(mCommand, tag);
    }
    ~CommandScope() {
        if (mHooks.unloadProgress)
            mHooks.unloadProgress();
        setTag(mTray, QString());
        setTag(mTimer, QString());
        setTag(mCommand, QString());
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    QPointer<QObject> mTray, mTimer, mCommand;
    ExchangeHooks& mHooks;
};

} // namespace

QString exportFileName(const QString& chosen) {
    if (chosen.endsWith(QLatin1String(".mdb")))
        return chosen;
    const qsizetype point = chosen.indexOf(QLatin1Char('.'));
    return point >= 0 ? chosen.left(point + 1) + QStringLiteral("mdb") : chosen + QStringLiteral(".mdb");
}

ExchangeCommands::ExchangeCommands(ExchangeControls ui, StoreMembers members, const SettingsModel& settings,
                                   ExchangeHooks hooks, QObject* parent)
    : QObject(parent), mUi(ui), mSettings(settings), mHooks(std::move(hooks)), mEngine(members, settings) {}

QString ExchangeCommands::exportConfirmation() const {
    const SyncFilters& f = mSettings.filters;
    QString text = QStringLiteral("This will export all items based on the criteria:") + kCr + kCr;
    if (mSettings.syncData[0]) {
        const QString& filter = f.exportFilter[SyncFilters::Contacts];
        text +=
            QStringLiteral("CONTACTS - ") + (filter.isEmpty() ? QStringLiteral("No Filter") : filter) + kCr;
    }
    if (mSettings.syncData[1]) {
        const QDate today = clock().now().date();
        const int months = static_cast<int>(f.dateRange.trimmed().toDouble());
        const QString window =
            QStringLiteral("[Start] >= '") + ol::filterDate(today) + QStringLiteral("' and [Start] <= '") +
            ol::filterDate(today.addMonths(months)) + QStringLiteral("' OR [Recurring] = 'Yes'");
        const QString& filter = f.exportFilter[SyncFilters::Calendar];
        text += QStringLiteral("APPOINTMENTS - ") +
                (filter.isEmpty() ? window : filter + QStringLiteral(" AND ") + window) + kCr;
    }
    if (mSettings.syncData[2]) {
        const QString& filter = f.exportFilter[SyncFilters::Tasks];
        text += QStringLiteral("TASKS - ") + (filter.isEmpty() ? QStringLiteral("No Filter") : filter) + kCr;
    }
    if (mSettings.syncData[3]) {
        const QString& filter = f.exportFilter[SyncFilters::Notes];
        text += QStringLiteral("NOTES - ") + (filter.isEmpty() ? QStringLiteral("No filter") : filter) + kCr;
    }
    return text + kCr + QStringLiteral("Do you still want to Export?");
}

QString ExchangeCommands::importConfirmation() const {
    const SyncFilters& f = mSettings.filters;
    const QString sync = QStringLiteral("[Categories] = 'QELSync'");
    const QString window =
        QStringLiteral("[Start] >= 'Earliest Start Date of Data in MDB' and [Start] <= 'Latest "
                       "Start Date of Data in MDB' AND ") +
        sync;
    const auto line = [&](const QString& withFilter, const QString& without, const QString& filter,
                          const QString& condition) {
        return (filter.isEmpty() ? without + condition
                                 : withFilter + filter + QStringLiteral(" AND ") + condition) +
               kCr;
    };
    QString text =
        QStringLiteral("This will DELETE all Outlook items based on the criteria below. Then data will "
                       "be imported based on the criteria:") +
        kCr + kCr;
    if (mSettings.syncData[0])
        text += line(QStringLiteral("CONTATCS - "), QStringLiteral("CONTACTS - "),
                     f.importFilter[SyncFilters::Contacts], sync);
    if (mSettings.syncData[1])
        text += line(QStringLiteral("APPOINTMENTS - "), QStringLiteral("APPOINTMENTS - "),
                     f.importFilter[SyncFilters::Calendar], window);
    if (mSettings.syncData[2])
        text += line(QStringLiteral("TASKS - "), QStringLiteral("TASKS - "),
                     f.importFilter[SyncFilters::Tasks], sync);
    if (mSettings.syncData[3])
        text += line(QStringLiteral("NOTES - "), QStringLiteral("NOTES - "),
                     f.importFilter[SyncFilters::Notes], sync);
    return text + kCr +
           QStringLiteral("Do you still want to Import? (the category QELSync is automatically added to all "
                          "Outlook data created by the MASTER)");
}

void ExchangeCommands::report(const QString& text) {
    if (mHooks.loadProgress) {
        if (Progress* progress = mHooks.loadProgress())
            progress->setStatus(text);
    }
}

void ExchangeCommands::menuExport_Click() {
    CommandScope scope(mUi, mUi.menuExport, QStringLiteral("Export"), mHooks);
    if (dialogs().ask(exportConfirmation(), MsgButtons::YesNo, MsgIcon::None,
                      QStringLiteral("Confirm Export")) != MsgResult::Yes)
        return;
    const QString chosen =
        dialogs()
            .openFile(QStringLiteral("Choose a file to export to"), kFileFilter, programFolder())
            .trimmed();
    if (chosen.isEmpty())
        return;
    const QString path = exportFileName(chosen);
    if (QFileInfo::exists(path) &&
        dialogs().ask(QStringLiteral("File already exists! Do you wish to overwrite it?"), MsgButtons::YesNo,
                      MsgIcon::Question, QStringLiteral("Confirm Export!")) != MsgResult::Yes)
        return;
    if (mHooks.setWindowShown)
        mHooks.setWindowShown(false);
    mEngine.setProgress(mHooks.loadProgress ? mHooks.loadProgress() : nullptr);
    const ExchangeOutcome outcome = mEngine.ExportToExchangeFile(path, ExchangeMode{true, false});
    if (mHooks.setWindowShown)
        mHooks.setWindowShown(true);
    setTag(mUi.menuTraySync, outcome.tag);
    if (outcome.tag == kContactErrorTag)
        return;
    if (outcome.tag == kExitSyncTag) {
        dialogs().message(QStringLiteral("Export was cancelled.  Not all Outlook Items have been exported."));
        report(QStringLiteral("Export Cancelled by user"));
        if (debugOn())
            debug(QStringLiteral("menuExport:Cancelled by user."));
        return;
    }
    report(QStringLiteral("Export Finished @ ") + ol::formatDate(clock().now()));
}

void ExchangeCommands::menuImport_Click() {
    CommandScope scope(mUi, mUi.menuImport, QStringLiteral("Import"), mHooks);
    if (dialogs().ask(importConfirmation(), MsgButtons::YesNo, MsgIcon::None,
                      QStringLiteral("Confirm Import")) != MsgResult::Yes)
        return;
    QString path;
    for (;;) {
        path = dialogs()
                   .openFile(QStringLiteral("Choose a file to import"), kFileFilter, programFolder())
                   .trimmed();
        if (path.isEmpty())
            return;
        if (path.endsWith(QLatin1String(".mdb")))
            break;
        dialogs().message(QStringLiteral("Please choose a valid access database file (must be .mdb)"));
    }
    if (!QFileInfo(path).isFile()) {
        dialogs().message(QStringLiteral("Please select a valid file!"));
        return;
    }
    if (mHooks.setWindowShown)
        mHooks.setWindowShown(false);
    mEngine.setProgress(mHooks.loadProgress ? mHooks.loadProgress() : nullptr);
    const ExchangeOutcome outcome = mEngine.ImportFromExchangeFile(path, ExchangeMode{true, false});
    if (mHooks.setWindowShown)
        mHooks.setWindowShown(true);
    setTag(mUi.menuTraySync, outcome.tag);
    if (outcome.tag == kMdbErrorTag)
        return;
    if (outcome.tag == kExitSyncTag) {
        dialogs().message(QStringLiteral("Import was cancelled.  Not all Outlook Items have been imported."));
        report(QStringLiteral("Import Cancelled by user"));
        if (debugOn())
            debug(QStringLiteral("menuImport:Cancelled by user."));
        return;
    }
    report(QStringLiteral("Import Finished @ ") + ol::formatDate(clock().now()));
}

} // namespace qel
