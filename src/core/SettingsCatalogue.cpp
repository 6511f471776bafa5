#include "SettingsCatalogue.h"

#include "Passwords.h"
#include "Settings.h"

#include <array>
#include <optional>

namespace qel {

namespace {

using K = SettingKind;
namespace s = sections;
namespace k = keys;

constexpr SettingSpec flagYes(const char* section, const char* key) {
    return {section, key, K::FlagYes, kNo};
}
constexpr SettingSpec flagNotNo(const char* section, const char* key) {
    return {section, key, K::FlagNotNo, kYes};
}
constexpr SettingSpec text(const char* section, const char* key, const char* fallback = "") {
    return {section, key, K::Text, fallback};
}
constexpr SettingSpec number(const char* section, const char* key, const char* fallback,
                             int minimum = kNoLimit, int maximum = kNoLimit) {
    return {section, key, K::Number, fallback, minimum, maximum};
}

// The hot keys are positions in the hot-key list of 124 keys.
constexpr int kLastHotKey = 123;

constexpr std::array kColorKeys{"Color0", "Color1", "Color2", "Color3", "Color4", "Color5",
                                "Color6", "Color7", "Color8", "Color9", "Color10"};
constexpr std::array kCellFieldKeys{"CellField0",  "CellField1",  "CellField2",  "CellField3",  "CellField4",
                                    "CellField5",  "CellField6",  "CellField7",  "CellField8",  "CellField9",
                                    "CellField10", "CellField11", "CellField12", "CellField13", "CellField14",
                                    "CellField15", "CellField16", "CellField17", "CellField18"};
static_assert(kColorKeys.size() == kColorCount && kCellFieldKeys.size() == kCellFieldCount);

constexpr std::array kFixedEntries{
    // General
    flagYes(s::General, k::ConfirmExit),
    flagYes(s::General, k::SubFolders),
    flagYes(s::General, k::UseHotkey),
    flagYes(s::General, k::WinKeyMod),
    flagYes(s::General, k::ShiftMod),
    flagYes(s::General, k::AltMod),
    flagYes(s::General, k::CtrlMod),
    number(s::General, k::HotKey, "0", 0, kLastHotKey),
    number(s::General, k::WebEmail, "0", 0, 2), // 0 Gmail, 1 Hotmail, 2 AOL
    flagYes(s::General, k::InvertWebEmail),
    // DataFolders
    text(s::DataFolders, k::CalendarRoot, "Personal Folders"),
    text(s::DataFolders, k::Calendar, "Calendar"),
    text(s::DataFolders, k::TasksRoot, "Personal Folders"),
    text(s::DataFolders, k::Tasks, "Tasks"),
    text(s::DataFolders, k::Notes, "Personal Folders"), // crossed: the root
    text(s::DataFolders, k::NotesRoot, "Notes"),        // crossed: the folder
    // QELDays
    number(s::QELDays, k::CustomField, "0", 0, 3), // User1 .. User4
    flagNotNo(s::QELDays, k::CheckForQELDay),
    flagNotNo(s::QELDays, k::QELDayRemind),
    flagYes(s::QELDays, k::QELDayScan),
    flagYes(s::QELDays, k::QELDaySubject),
    flagYes(s::QELDays, k::QELDayPast),
    flagYes(s::QELDays, k::QELDayCalendarFile),
    number(s::QELDays, k::BirthdayColor, "8", 0, 10),    // purple
    number(s::QELDays, k::AnniversaryColor, "9", 0, 10), // blue-grey
    number(s::QELDays, k::OtherColor, "2", 0, 10),       // blue
    // DebugMode
    flagYes(s::DebugMode, k::DebugMode),
    // OutlookDataSync
    flagYes(s::OutlookDataSync, k::Sync),
    text(s::OutlookDataSync, k::SyncFireMode, kTimed),
    number(s::OutlookDataSync, k::Interval, "30", 0, 40320),
    text(s::OutlookDataSync, k::Time, "06:00 AM"),
    text(s::OutlookDataSync, k::SyncMode, kSlave),
    flagNotNo(s::OutlookDataSync, k::ContactSync),
    flagYes(s::OutlookDataSync, k::CalendarSync),
    flagYes(s::OutlookDataSync, k::TasksSync),
    flagYes(s::OutlookDataSync, k::NotesSync),
    text(s::OutlookDataSync, k::Host),
    text(s::OutlookDataSync, k::User),
    SettingSpec{s::OutlookDataSync, k::Olvex, K::Password, ""},
    number(s::OutlookDataSync, k::Port, "21", 1, 65535),
    flagYes(s::OutlookDataSync, k::PassiveMode),
    flagYes(s::OutlookDataSync, k::UseTLS),
    text(s::OutlookDataSync, k::SQLConE),
    text(s::OutlookDataSync, k::SQLConI),
    text(s::OutlookDataSync, k::SQLCalE),
    text(s::OutlookDataSync, k::SQLCalI),
    text(s::OutlookDataSync, k::SQLTaskE),
    text(s::OutlookDataSync, k::SQLTaskI),
    text(s::OutlookDataSync, k::SQLNoteE),
    text(s::OutlookDataSync, k::SQLNoteI),
    number(s::OutlookDataSync, k::DateRange, "6", 0),
    // AppointmentColors (Color0 .. Color10 are added below)
    flagYes(s::AppointmentColors, k::ApptColorSync),
    // VOIP
    flagYes(s::VOIP, k::EnableVonage),
    text(s::VOIP, k::UserName),
    SettingSpec{s::VOIP, k::Pardine, K::Password, ""},
    text(s::VOIP, k::PhoneNumber),
    flagYes(s::VOIP, k::EnableCopy2Call),
    flagYes(s::VOIP, k::WinKeyMod),
    flagYes(s::VOIP, k::ShiftMod),
    flagYes(s::VOIP, k::AltMod),
    flagYes(s::VOIP, k::CtrlMod),
    number(s::VOIP, k::HotKey, "0", 0, kLastHotKey),
    text(s::VOIP, k::CallHost, "https://secure.click2callu.com"),
    // CellPhone (CellField0 .. CellField18 are added below)
    text(s::CellPhone, k::CellSQL),
    // Misc
    flagYes(s::Misc, k::UseEmailHotkey),
    flagYes(s::Misc, k::WinKeyModEmail),
    flagYes(s::Misc, k::ShiftModEmail),
    flagYes(s::Misc, k::AltModEmail),
    flagYes(s::Misc, k::CtrlModEmail),
    number(s::Misc, k::EmailHotKey, "", 0, kLastHotKey), // missing: no hot key chosen
    number(s::Misc, k::FromAddressType, "0", 0, 2),      // 0 Business, 1 Home, 2 Other Address
    text(s::Misc, k::Me),
    flagYes(s::Misc, k::Release),
    text(s::Misc, k::UpdateHost, "https://www.vantrel.org"),
    // SMS
    flagYes(s::SMS, k::Remind),
    flagYes(s::SMS, k::Search),
    number(s::SMS, k::User, "3", 0, 3), // User1 .. User4
    flagYes(s::SMS, k::Sig),
    text(s::SMS, k::SigText),
    // Cache
    SettingSpec{s::Cache, k::LetterCode, K::Number, "1", 1, 27, true},
    text(s::Cache, k::ContactName),
    text(s::Cache, k::ContactEntryID),
    number(s::Cache, k::ContainerState, "0", 0, 1),
    SettingSpec{s::Cache, k::ContainerTab, K::Number, "1", 1, kNoLimit, true},
    text(s::Cache, k::CurrentCategory),
    text(s::Cache, k::CurrentFolder),
    text(s::Cache, k::ExtraInfo, kUnchecked),
    // CardDAV
    flagYes(s::CardDAV, k::DavSync),
    text(s::CardDAV, k::Server),
    text(s::CardDAV, k::User),
    SettingSpec{s::CardDAV, k::Password, K::Password, ""},
    text(s::CardDAV, k::AddressBook),
    text(s::CardDAV, k::CalendarAddress),
    text(s::CardDAV, k::ContactFolder),
    text(s::CardDAV, k::CalendarFolder),
    flagYes(s::CardDAV, k::PublishQELDays),
};

constexpr auto buildCatalogue() {
    std::array<SettingSpec, kFixedEntries.size() + kColorCount + kCellFieldCount> all{};
    std::size_t n = 0;
    for (const SettingSpec& entry : kFixedEntries)
        all[n++] = entry;
    for (const char* key : kColorKeys)
        all[n++] = text(s::AppointmentColors, key);
    for (const char* key : kCellFieldKeys)
        all[n++] = flagYes(s::CellPhone, key);
    return all;
}

constexpr auto kCatalogue = buildCatalogue();

// The number in a stored text, or nothing when it is not a whole number within the entry's range.
std::optional<int> usableNumber(const SettingSpec& spec, const QString& stored) {
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    if (!ok || (spec.minimum != kNoLimit && value < spec.minimum) ||
        (spec.maximum != kNoLimit && value > spec.maximum) || (spec.zeroMeansMissing && value == 0))
        return std::nullopt;
    return value;
}

FolderName readFolder(const char* rootKey, const char* folderKey) {
    return {settingValue(s::DataFolders, rootKey), settingValue(s::DataFolders, folderKey)};
}

void writeFolder(const char* rootKey, const char* folderKey, const FolderName& folder) {
    SaveSetting(s::DataFolders, rootKey, folder.root);
    SaveSetting(s::DataFolders, folderKey, folder.folder);
}

} // namespace

QString colorKey(int label) {
    return QStringLiteral("Color%1").arg(label);
}

QString cellFieldKey(int field) {
    return QStringLiteral("CellField%1").arg(field);
}

std::span<const SettingSpec> settingsCatalogue() {
    return kCatalogue;
}

const SettingSpec* findSetting(const QString& section, const QString& key) {
    for (const SettingSpec& spec : kCatalogue) {
        if (section == QLatin1String(spec.section) && key == QLatin1String(spec.key))
            return &spec;
    }
    return nullptr;
}

bool isYes(const QString& section, const QString& key) {
    return GetSetting(section, key) == QLatin1String(kYes);
}

bool isNotNo(const QString& section, const QString& key) {
    return GetSetting(section, key) != QLatin1String(kNo);
}

bool settingFlag(const QString& section, const QString& key) {
    const SettingSpec* spec = findSetting(section, key);
    return spec && spec->kind == SettingKind::FlagNotNo ? isNotNo(section, key) : isYes(section, key);
}

void saveFlag(const QString& section, const QString& key, bool on) {
    SaveSetting(section, key, flagText(on));
}

QString settingValue(const QString& section, const QString& key) {
    const SettingSpec* spec = findSetting(section, key);
    if (!spec)
        return GetSetting(section, key);
    switch (spec->kind) {
    case SettingKind::FlagYes:
    case SettingKind::FlagNotNo:
        return flagText(settingFlag(section, key));
    case SettingKind::Password:
        return readPassword(section, key);
    case SettingKind::Number: {
        const QString stored = GetSetting(section, key);
        return usableNumber(*spec, stored) ? stored.trimmed() : QString::fromLatin1(spec->fallback);
    }
    case SettingKind::Text:
        break;
    }
    const QString stored = GetSetting(section, key);
    return stored.isEmpty() ? QString::fromLatin1(spec->fallback) : stored;
}

int settingNumber(const QString& section, const QString& key) {
    bool ok = false;
    const int value = settingValue(section, key).toInt(&ok);
    return ok ? value : -1;
}

QString readPassword(const QString& section, const QString& key) {
    return unscramblePassword(GetSetting(section, key));
}

void savePassword(const QString& section, const QString& key, const QString& plain) {
    SaveSetting(section, key, scramblePassword(plain));
}

FolderName storedCalendarFolder() {
    return readFolder(k::CalendarRoot, k::Calendar);
}
void saveCalendarFolder(const FolderName& folder) {
    writeFolder(k::CalendarRoot, k::Calendar, folder);
}
FolderName storedTasksFolder() {
    return readFolder(k::TasksRoot, k::Tasks);
}
void saveTasksFolder(const FolderName& folder) {
    writeFolder(k::TasksRoot, k::Tasks, folder);
}
FolderName storedNotesFolder() {
    return readFolder(k::Notes, k::NotesRoot);
}
void saveNotesFolder(const FolderName& folder) {
    writeFolder(k::Notes, k::NotesRoot, folder);
}

QStringList syncTimeList() {
    QStringList times;
    for (int step = 0; step < 96; ++step) {
        const int minutes = (6 * 60 + step * 15) % (24 * 60);
        const int hour24 = minutes / 60;
        const int hour12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
        times << QStringLiteral("%1:%2 %3")
                     .arg(hour12, 2, 10, QLatin1Char('0'))
                     .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                     .arg(hour24 < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    }
    return times;
}

} // namespace qel
