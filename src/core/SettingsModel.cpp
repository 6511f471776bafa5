#include "SettingsModel.h"

#include "NumberText.h"
#include "Passwords.h"
#include "Settings.h"
#include "platform/Keyring.h"

namespace qel {

namespace {

namespace s = sections;
namespace k = keys;

const char* const kModifierKeys[4] = {k::WinKeyMod, k::ShiftMod, k::AltMod, k::CtrlMod};
const char* const kEmailModifierKeys[4] = {k::WinKeyModEmail, k::ShiftModEmail, k::AltModEmail,
                                           k::CtrlModEmail};
const char* const kExportKeys[4] = {k::SQLConE, k::SQLCalE, k::SQLTaskE, k::SQLNoteE};
const char* const kImportKeys[4] = {k::SQLConI, k::SQLCalI, k::SQLTaskI, k::SQLNoteI};
const char* const kSyncDataKeys[4] = {k::ContactSync, k::CalendarSync, k::TasksSync, k::NotesSync};

QString stored(const char* section, const char* key) {
    return GetSetting(QLatin1String(section), QLatin1String(key));
}

QString fallbackOf(const char* section, const char* key) {
    const SettingSpec* entry = findSetting(QLatin1String(section), QLatin1String(key));
    return entry ? QString::fromLatin1(entry->fallback) : QString();
}

bool flag(const char* section, const char* key) {
    return settingFlag(QLatin1String(section), QLatin1String(key));
}

// A text as typed: the stored one, or the fallback when none is stored.
QString text(const char* section, const char* key) {
    const QString value = stored(section, key);
    return value.isEmpty() ? fallbackOf(section, key) : value;
}

// A list position: the stored whole number when it lies in the catalogue's range, else the
// fallback (-1 when the catalogue has none: nothing chosen).
int position(const char* section, const char* key) {
    const SettingSpec* entry = findSetting(QLatin1String(section), QLatin1String(key));
    const auto value = wholeNumberValue(stored(section, key));
    if (entry && value && *value >= entry->minimum &&
        (entry->maximum == kNoLimit || *value <= entry->maximum))
        return static_cast<int>(*value);
    bool ok = false;
    const int fallback = fallbackOf(section, key).toInt(&ok);
    return ok ? fallback : -1;
}

// The name of a password in the keyring: its section and key ("OutlookDataSync/Olvex").
QString keyringName(const char* section, const char* key) {
    return QLatin1String(section) + QLatin1Char('/') + QLatin1String(key);
}

// A password: the settings file's scrambled form when it holds one (kept there while no keyring
// took it), else the keyring's. `unread` tells that the keyring did not answer: what it may hold
// is then unknown, and must not be taken for an empty password.
QString storedPassword(const char* section, const char* key, bool& unread) {
    unread = false;
    const QString value = stored(section, key);
    if (!value.isEmpty())
        return unscramblePassword(value);
    QString secret;
    switch (keyring().read(keyringName(section, key), secret)) {
    case Keyring::Status::Found:
        return secret;
    case Keyring::Status::NotFound:
        return QString();
    case Keyring::Status::Unavailable:
        break;
    }
    unread = true;
    return QString();
}

HotKeyChoice hotKey(const char* section, const char* useKey, const char* const (&modifierKeys)[4],
                    const char* key) {
    HotKeyChoice choice;
    choice.use = flag(section, useKey);
    for (size_t i = 0; i < 4; ++i)
        choice.modifiers[i] = flag(section, modifierKeys[i]);
    choice.key = position(section, key);
    return choice;
}

void write(const char* section, const char* key, const QString& value) {
    SaveSetting(QLatin1String(section), QLatin1String(key), value);
}

void write(const char* section, const char* key, bool on) {
    write(section, key, flagText(on));
}

void write(const char* section, const char* key, int number) {
    write(section, key, QString::number(number));
}

// A password goes to the keyring when it takes it, and the settings file keeps an empty value;
// else (no secret service, or it refused) the file keeps the scrambled form, as without a keyring.
// An empty password leaves nothing in the keyring, unless the keyring could not be read at the
// load: then the password it may hold was never seen, and stays.
void writePassword(const char* section, const char* key, const QString& plain, bool unread) {
    const QString name = keyringName(section, key);
    if (plain.isEmpty()) {
        if (!unread)
            keyring().remove(name);
        write(section, key, QString());
    } else if (keyring().write(name, plain)) {
        write(section, key, QString());
    } else {
        write(section, key, scramblePassword(plain));
    }
}

void writeHotKey(const char* section, const char* useKey, const char* const (&modifierKeys)[4],
                 const char* key, const HotKeyChoice& choice) {
    write(section, useKey, choice.use);
    for (size_t i = 0; i < 4; ++i)
        write(section, modifierKeys[i], choice.modifiers[i]);
    write(section, key, choice.key);
}

} // namespace

SettingsModel::SettingsModel(QObject* parent) : QObject(parent) {}

void SettingsModel::setDebugMode(bool on) {
    if (mDebugMode == on)
        return;
    mDebugMode = on;
    Q_EMIT debugModeChanged(on);
}

void SettingsModel::setMe(const QString& name) {
    mMe = name;
    Q_EMIT meChanged(name);
}

void SettingsModel::load() {
    confirmExit = flag(s::General, k::ConfirmExit);
    subFolders = flag(s::General, k::SubFolders);
    restoreKey = hotKey(s::General, k::UseHotkey, kModifierKeys, k::HotKey);
    webEmail = position(s::General, k::WebEmail);
    invertWebEmail = flag(s::General, k::InvertWebEmail);

    calendarFolder = {text(s::DataFolders, k::CalendarRoot), text(s::DataFolders, k::Calendar)};
    tasksFolder = {text(s::DataFolders, k::TasksRoot), text(s::DataFolders, k::Tasks)};
    // Crossed in the store: "Notes" holds the top-level folder, "NotesRoot" the folder's name.
    notesFolder = {text(s::DataFolders, k::Notes), text(s::DataFolders, k::NotesRoot)};

    customField = position(s::QELDays, k::CustomField);
    checkForQELDay = flag(s::QELDays, k::CheckForQELDay);
    qelDayRemind = flag(s::QELDays, k::QELDayRemind);
    qelDayScan = flag(s::QELDays, k::QELDayScan);
    qelDaySubject = flag(s::QELDays, k::QELDaySubject);
    qelDayPast = flag(s::QELDays, k::QELDayPast);
    qelDayCalendarFile = flag(s::QELDays, k::QELDayCalendarFile);
    specialDayColours = {position(s::QELDays, k::BirthdayColor), position(s::QELDays, k::AnniversaryColor),
                         position(s::QELDays, k::OtherColor)};

    setDebugMode(flag(s::DebugMode, k::DebugMode));

    sync = flag(s::OutlookDataSync, k::Sync);
    intervalSync = stored(s::OutlookDataSync, k::SyncFireMode) == QLatin1String(kInterval);
    interval = text(s::OutlookDataSync, k::Interval);
    syncTime = text(s::OutlookDataSync, k::Time).trimmed();
    master = stored(s::OutlookDataSync, k::SyncMode) == QLatin1String(kMaster);
    for (size_t i = 0; i < 4; ++i)
        syncData[i] = flag(s::OutlookDataSync, kSyncDataKeys[i]);
    host = text(s::OutlookDataSync, k::Host);
    user = text(s::OutlookDataSync, k::User);
    password = storedPassword(s::OutlookDataSync, k::Olvex, mPasswordUnread[0]);
    port = text(s::OutlookDataSync, k::Port);
    passiveMode = flag(s::OutlookDataSync, k::PassiveMode);
    useTLS = flag(s::OutlookDataSync, k::UseTLS);
    for (size_t i = 0; i < 4; ++i) {
        filters.exportFilter[i] = text(s::OutlookDataSync, kExportKeys[i]);
        filters.importFilter[i] = text(s::OutlookDataSync, kImportKeys[i]);
    }
    filters.dateRange = text(s::OutlookDataSync, k::DateRange);

    apptColorSync = flag(s::AppointmentColors, k::ApptColorSync);
    for (int i = 0; i < kColorCount; ++i)
        colourFilters[size_t(i)] = GetSetting(QLatin1String(s::AppointmentColors), colorKey(i));

    enableVonage = flag(s::VOIP, k::EnableVonage);
    voipUserName = text(s::VOIP, k::UserName);
    voipPassword = storedPassword(s::VOIP, k::Pardine, mPasswordUnread[1]);
    phoneNumber = text(s::VOIP, k::PhoneNumber);
    copy2CallKey = hotKey(s::VOIP, k::EnableCopy2Call, kModifierKeys, k::HotKey);
    voipCallHost = text(s::VOIP, k::CallHost);

    for (int i = 0; i < kCellFieldCount; ++i)
        cellFields[size_t(i)] = isYes(QLatin1String(s::CellPhone), cellFieldKey(i));
    cellSQL = text(s::CellPhone, k::CellSQL);

    emailKey = hotKey(s::Misc, k::UseEmailHotkey, kEmailModifierKeys, k::EmailHotKey);
    fromAddressType = position(s::Misc, k::FromAddressType);
    release = flag(s::Misc, k::Release);
    updateHost = text(s::Misc, k::UpdateHost);
    setMe(stored(s::Misc, k::Me));

    davSync = flag(s::CardDAV, k::DavSync);
    davServer = text(s::CardDAV, k::Server);
    davUser = text(s::CardDAV, k::User);
    davPassword = storedPassword(s::CardDAV, k::Password, mPasswordUnread[2]);
    davAddressBook = text(s::CardDAV, k::AddressBook);
    davCalendar = text(s::CardDAV, k::CalendarAddress);
    davContactFolder = text(s::CardDAV, k::ContactFolder);
    davCalendarFolder = text(s::CardDAV, k::CalendarFolder);
    davPublishQELDays = flag(s::CardDAV, k::PublishQELDays);
}

FtpSettings ftpSettings(const QString& host, const QString& user, const QString& password,
                        const QString& port, bool passive, bool tls) {
    FtpSettings server;
    server.host = host.trimmed();
    server.user = user;
    server.password = password;
    const auto number = wholeNumberValue(port);
    server.port = number && *number >= 1 && *number <= 65535 ? static_cast<int>(*number) : 21;
    server.passive = passive;
    server.tls = tls;
    return server;
}

FtpSettings SettingsModel::ftpServer() const {
    return ftpSettings(host, user, password, port, passiveMode, useTLS);
}

QString SettingsModel::save() const {
    // One batch, so the file is written once; a write that did not reach the file is reported when
    // the batch ends.
    {
        SettingsBatch batch;
        write(s::General, k::ConfirmExit, confirmExit);
        write(s::General, k::SubFolders, subFolders);
        writeHotKey(s::General, k::UseHotkey, kModifierKeys, k::HotKey, restoreKey);
        write(s::General, k::WebEmail, webEmail);
        write(s::General, k::InvertWebEmail, invertWebEmail);

        saveCalendarFolder(calendarFolder);
        saveTasksFolder(tasksFolder);
        saveNotesFolder(notesFolder);

        write(s::QELDays, k::CustomField, customField);
        write(s::QELDays, k::CheckForQELDay, checkForQELDay);
        write(s::QELDays, k::QELDayRemind, qelDayRemind);
        write(s::QELDays, k::QELDayScan, qelDayScan);
        write(s::QELDays, k::QELDaySubject, qelDaySubject);
        write(s::QELDays, k::QELDayPast, qelDayPast);
        write(s::QELDays, k::QELDayCalendarFile, qelDayCalendarFile);
        write(s::QELDays, k::BirthdayColor, specialDayColours[0]);
        write(s::QELDays, k::AnniversaryColor, specialDayColours[1]);
        write(s::QELDays, k::OtherColor, specialDayColours[2]);

        write(s::DebugMode, k::DebugMode, mDebugMode);

        write(s::OutlookDataSync, k::Sync, sync);
        write(s::OutlookDataSync, k::SyncFireMode, QLatin1String(intervalSync ? kInterval : kTimed));
        write(s::OutlookDataSync, k::Interval, interval);
        write(s::OutlookDataSync, k::Time, syncTime);
        write(s::OutlookDataSync, k::SyncMode, QLatin1String(master ? kMaster : kSlave));
        for (size_t i = 0; i < 4; ++i)
            write(s::OutlookDataSync, kSyncDataKeys[i], syncData[i]);
        write(s::OutlookDataSync, k::Host, host);
        write(s::OutlookDataSync, k::User, user);
        writePassword(s::OutlookDataSync, k::Olvex, password, mPasswordUnread[0]);
        write(s::OutlookDataSync, k::Port, port);
        write(s::OutlookDataSync, k::PassiveMode, passiveMode);
        write(s::OutlookDataSync, k::UseTLS, useTLS);
        for (size_t i = 0; i < 4; ++i) {
            write(s::OutlookDataSync, kExportKeys[i], filters.exportFilter[i]);
            write(s::OutlookDataSync, kImportKeys[i], filters.importFilter[i]);
        }
        write(s::OutlookDataSync, k::DateRange, filters.dateRange);

        write(s::AppointmentColors, k::ApptColorSync, apptColorSync);
        for (int i = 0; i < kColorCount; ++i)
            SaveSetting(QLatin1String(s::AppointmentColors), colorKey(i), colourFilters[size_t(i)]);

        write(s::VOIP, k::EnableVonage, enableVonage);
        write(s::VOIP, k::UserName, voipUserName);
        writePassword(s::VOIP, k::Pardine, voipPassword, mPasswordUnread[1]);
        write(s::VOIP, k::PhoneNumber, phoneNumber);
        writeHotKey(s::VOIP, k::EnableCopy2Call, kModifierKeys, k::HotKey, copy2CallKey);

        for (int i = 0; i < kCellFieldCount; ++i)
            saveFlag(QLatin1String(s::CellPhone), cellFieldKey(i), cellFields[size_t(i)]);
        write(s::CellPhone, k::CellSQL, cellSQL);

        writeHotKey(s::Misc, k::UseEmailHotkey, kEmailModifierKeys, k::EmailHotKey, emailKey);
        write(s::Misc, k::FromAddressType, fromAddressType);
        write(s::Misc, k::Release, release);

        write(s::CardDAV, k::DavSync, davSync);
        write(s::CardDAV, k::Server, davServer);
        write(s::CardDAV, k::User, davUser);
        writePassword(s::CardDAV, k::Password, davPassword, mPasswordUnread[2]);
        write(s::CardDAV, k::AddressBook, davAddressBook);
        write(s::CardDAV, k::CalendarAddress, davCalendar);
        write(s::CardDAV, k::ContactFolder, davContactFolder);
        write(s::CardDAV, k::CalendarFolder, davCalendarFolder);
        write(s::CardDAV, k::PublishQELDays, davPublishQELDays);
    }
    return settingsWriteFailure();
}

} // namespace qel
