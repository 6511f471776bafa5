#pragma once

// What qel-store's commands that run an engine share: the settings (from a file given with
// --settings, else the user's), the folders they name, and quiet seams for a run without a
// desktop (messages to the error stream, questions answered with the cautious choice).

#include "core/SettingsModel.h"
#include "outlook/Outlook.h"
#include "outlook/StoreMembers.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QTextStream>
#include <memory>

namespace qel {

// The settings of the run and the contact folder of the settings' cache.
struct ToolSettings {
    std::unique_ptr<SettingsModel> settings = std::make_unique<SettingsModel>();
    QString contactPath; // "Store\Folder"
};
// settingsPath "" reads the user's settings.
ToolSettings loadToolSettings(const QString& settingsPath);

// The run's store members, as the main window holds them: the folders of the settings. Throws
// ol::Error(kErrNotFound) for a folder that is not there. With `safeItems` the safe wrappers are
// made where the store offers them (gNoRedemption is set without them).
StoreObjects toolFolders(const ol::ApplicationPtr& app, const ToolSettings& settings, bool safeItems);

// Installs the console's dialogs and the system clock for its lifetime, each only where the
// program (or a test) has none installed.
class QuietSeams {
public:
    explicit QuietSeams(QTextStream& err);
    ~QuietSeams();
    QuietSeams(const QuietSeams&) = delete;
    QuietSeams& operator=(const QuietSeams&) = delete;

private:
    struct State;
    std::unique_ptr<State> mState;
};

} // namespace qel
