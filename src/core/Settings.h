#pragma once

#include <QString>

namespace qel {

// The per-user settings store of the application "QEL": (section, key) -> text.
// A missing key reads as ""; nothing ever deletes a key. The store is an INI file
// (QSettings, INI format); setSettingsFile() points it elsewhere (tests).
QString GetSetting(const QString& section, const QString& key);
void SaveSetting(const QString& section, const QString& key, const QString& value);
void setSettingsFile(const QString& path); // "" returns to the per-user file
QString settingsFile();

// Groups writes: inside the outermost batch SaveSetting only updates the open settings, and the file
// is written once, when that batch ends. Reads inside a batch see the pending values.
class SettingsBatch {
public:
    SettingsBatch();
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;
};

// The last problem SaveSetting met: a value that could not be written, or a damaged settings file
// that was copied aside before being rewritten. "" after a write without trouble.
QString settingsProblem();
// The last write that did not reach the file, as settingsProblem() words it; "" when the last
// SaveSetting (or batch) reached it. A damaged file copied aside and rewritten is no failure.
QString settingsWriteFailure();

} // namespace qel
