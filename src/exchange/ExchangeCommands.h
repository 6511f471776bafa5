#pragma once

// The main window's "Export Outlook Data" and "Import Outlook Data": the confirmation of the
// filters, the open-file dialog, the file name's check, the engine under the progress window, and
// the report. It works on the controls and members it is handed; the engine does the file's and
// the store's work.

#include "ExchangeEngine.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QTimer;

namespace qel {

// The name an export is written to: one that does not end in ".mdb" (letter case counts) is cut
// after its first point and given "mdb", or given ".mdb" when it has no point.
// "backup" -> "backup.mdb", "backup.txt" -> "backup.mdb", "my.backup.file" -> "my.mdb".
QString exportFileName(const QString& chosen);

// The main window's controls the commands work on.
struct ExchangeControls {
    QAction* menuExport = nullptr;   // "Export" while the export runs
    QAction* menuImport = nullptr;   // "Import" while the import runs
    QObject* menuTraySync = nullptr; // the engine's outcome
    QTimer* SyncTimer = nullptr;     // "Syncing" while a command runs
};

// What the commands need of the rest of the program. Every hook may be left empty.
using ExchangeHooks = LongRunHooks;

class ExchangeCommands : public QObject {
    Q_OBJECT
public:
    ExchangeCommands(ExchangeControls ui, StoreMembers members, const SettingsModel& settings,
                     ExchangeHooks hooks, QObject* parent = nullptr);

    ExchangeEngine& engine() { return mEngine; }
    // The progress window's last status line (also the tray's last status).
    QString lastStatus() const { return mEngine.lastStatus(); }

    // The confirmation texts of the current settings (today from the clock seam).
    QString exportConfirmation() const;
    QString importConfirmation() const;

public Q_SLOTS:
    void menuExport_Click();
    void menuImport_Click();

private:
    void report(const QString& text);
    ExchangeControls mUi;
    const SettingsModel& mSettings;
    ExchangeHooks mHooks;
    ExchangeEngine mEngine;
};

} // namespace qel
