#pragma once

// The export and import engines of the exchange file, without a window: the main window's manual
// export and import, the sync and the store tool run them. Progress goes to a Progress, messages
// through the dialogs seam (only in the modes that show them), settings come from the settings
// model, and the outcome comes back as a value whose tag the host puts on menuTraySync.
//
// What a run promises:
// - Export writes a temporary file beside the target and renames it over the target only when
//   the whole run succeeded: a cancel, a filter error, a failure or a killed process leave the
//   old file as it was.
// - Import checks the file (ExchangeFile::open) and parses both import filters before anything
//   is deleted. The deletion of the earlier imports and the creation of the rows are one store
//   transaction; when the contact and calendar folders are in two stores, the two commit as one
//   (ol::Batch::commitWith). A cancel, a failure or a killed process leave the stores as before,
//   a finished run leaves them with the whole import.
// - A filter is parsed once by the store's filter parser and evaluated over the file's rows as
//   over the store's items: one filter selects the same in both.

#include "core/Progress.h"
#include "outlook/Outlook.h"
#include "outlook/StoreMembers.h"

#include <QString>
#include <functional>
#include <memory>

namespace qel {

class SettingsModel;

// The sync category every exported item carries in the file.
inline const QString kSyncCategory = QStringLiteral("QELSync");
// Outcome tags (menuTraySync).
inline const QString kContactErrorTag = QStringLiteral("Contact Error");
inline const QString kMdbErrorTag = QStringLiteral("MDB Error");
inline const QString kExitSyncTag = QStringLiteral("Exit Sync");

// Who runs the engine: the manual command (messages and summary), a sync started by hand
// (error messages only) or by the timer (no messages at all).
struct ExchangeMode {
    bool manual = false;    // menuExport "Export" / menuImport "Import"
    bool timerSync = false; // menuSync "Timer Sync"
};

struct ExchangeOutcome {
    QString tag;     // "", "Contact Error", "MDB Error" or "Exit Sync"
    QString failure; // why the run failed or was refused ("" when it finished or was cancelled)
    int contacts = 0;
    int appointments = 0;
    bool ok() const { return tag.isEmpty(); }
};

// "Export finished:" / "Import finished:" summary with its four count lines (CR LF between).
QString exchangeSummary(bool exporting, const ExchangeOutcome& outcome);

// The appended sync category: "Family" -> "Family,QELSync", "" -> "QELSync"; a text that
// contains "QELSync" (letter case counts) is kept.
QString withSyncCategory(const QString& categories);

class ExchangeEngine {
public:
    ExchangeEngine(StoreMembers members, const SettingsModel& settings);

    void setProgress(Progress* progress) { mProgress = progress; }
    QString lastStatus() const { return mLastStatus; }

    // Called at fixed points of a run (tests stop a process there): "export-row", "import-deleted",
    // "import-row" (after each row, with its 1-based number), "import-commit" (0 before the commit; 1 between
    // the two stores' commits when there are two).
    using Checkpoint = std::function<void(const QString& point, int number)>;
    void setCheckpoint(Checkpoint checkpoint) { mCheckpoint = std::move(checkpoint); }

    ExchangeOutcome ExportToExchangeFile(const QString& path, ExchangeMode mode);
    ExchangeOutcome ImportFromExchangeFile(const QString& path, ExchangeMode mode);

private:
    struct Run;
    void status(const QString& text);
    void checkpoint(const QString& point, int number) const;

    StoreMembers m;
    const SettingsModel& mSettings;
    Progress* mProgress = nullptr;
    QString mLastStatus;
    Checkpoint mCheckpoint;
};

} // namespace qel
