#pragma once

#include <QString>
#include <QStringList>
#include <span>

namespace qel {

// The sections of the settings store.
namespace sections {
inline constexpr char General[] = "General";
inline constexpr char DataFolders[] = "DataFolders";
inline constexpr char QELDays[] = "QELDays";
inline constexpr char DebugMode[] = "DebugMode";
inline constexpr char OutlookDataSync[] = "OutlookDataSync";
inline constexpr char AppointmentColors[] = "AppointmentColors";
inline constexpr char VOIP[] = "VOIP";
inline constexpr char CellPhone[] = "CellPhone";
inline constexpr char Misc[] = "Misc";
inline constexpr char SMS[] = "SMS";
inline constexpr char Cache[] = "Cache";
inline constexpr char CardDAV[] = "CardDAV";
} // namespace sections

// The keys, by name; some names occur in more than one section (WinKeyMod, HotKey, User).
namespace keys {
// General
inline constexpr char ConfirmExit[] = "ConfirmExit";
inline constexpr char SubFolders[] = "SubFolders";
inline constexpr char UseHotkey[] = "UseHotkey";
inline constexpr char WinKeyMod[] = "WinKeyMod"; // also VOIP
inline constexpr char ShiftMod[] = "ShiftMod";   // also VOIP
inline constexpr char AltMod[] = "AltMod";       // also VOIP
inline constexpr char CtrlMod[] = "CtrlMod";     // also VOIP
inline constexpr char HotKey[] = "HotKey";       // also VOIP
inline constexpr char WebEmail[] = "WebEmail";
inline constexpr char InvertWebEmail[] = "InvertWebEmail";
// DataFolders. Notes and NotesRoot are crossed: see storedNotesFolder().
inline constexpr char CalendarRoot[] = "CalendarRoot";
inline constexpr char Calendar[] = "Calendar";
inline constexpr char TasksRoot[] = "TasksRoot";
inline constexpr char Tasks[] = "Tasks";
inline constexpr char Notes[] = "Notes";         // holds the top-level folder of the notes folder
inline constexpr char NotesRoot[] = "NotesRoot"; // holds the name of the notes folder
// QELDays
inline constexpr char CustomField[] = "CustomField";
inline constexpr char CheckForQELDay[] = "CheckForQELDay";
inline constexpr char QELDayRemind[] = "QELDayRemind";
inline constexpr char QELDayScan[] = "QELDayScan";
inline constexpr char QELDaySubject[] = "QELDaySubject";
inline constexpr char QELDayPast[] = "QELDayPast";
// "Yes": the QEL Days are kept as QELDays.ics in the program folder, rewritten after each rescan.
inline constexpr char QELDayCalendarFile[] = "QELDayCalendarFile";
inline constexpr char BirthdayColor[] = "BirthdayColor";
inline constexpr char AnniversaryColor[] = "AnniversaryColor";
inline constexpr char OtherColor[] = "OtherColor";
// DebugMode
inline constexpr char DebugMode[] = "DebugMode";
// OutlookDataSync
inline constexpr char Sync[] = "Sync";
inline constexpr char SyncFireMode[] = "SyncFireMode";
inline constexpr char Interval[] = "Interval";
inline constexpr char Time[] = "Time";
inline constexpr char SyncMode[] = "SyncMode";
inline constexpr char ContactSync[] = "ContactSync";
inline constexpr char CalendarSync[] = "CalendarSync";
inline constexpr char TasksSync[] = "TasksSync";
inline constexpr char NotesSync[] = "NotesSync";
inline constexpr char Host[] = "Host";
inline constexpr char User[] = "User"; // also SMS
inline constexpr char Olvex[] = "Olvex";
inline constexpr char Port[] = "Port";
inline constexpr char PassiveMode[] = "PassiveMode";
inline constexpr char UseTLS[] = "UseTLS"; // explicit TLS (FTPS) to the sync server
inline constexpr char SQLConE[] = "SQLConE";
inline constexpr char SQLConI[] = "SQLConI";
inline constexpr char SQLCalE[] = "SQLCalE";
inline constexpr char SQLCalI[] = "SQLCalI";
inline constexpr char SQLTaskE[] = "SQLTaskE";
inline constexpr char SQLTaskI[] = "SQLTaskI";
inline constexpr char SQLNoteE[] = "SQLNoteE";
inline constexpr char SQLNoteI[] = "SQLNoteI";
inline constexpr char DateRange[] = "DateRange";
// AppointmentColors (Color0 .. Color10: colorKey())
inline constexpr char ApptColorSync[] = "ApptColorSync";
// VOIP
inline constexpr char EnableVonage[] = "EnableVonage";
inline constexpr char UserName[] = "UserName";
inline constexpr char Pardine[] = "Pardine";
inline constexpr char PhoneNumber[] = "PhoneNumber";
inline constexpr char EnableCopy2Call[] = "EnableCopy2Call";
inline constexpr char CallHost[] = "CallHost"; // the click-to-call service: scheme and host
// CellPhone (CellField0 .. CellField18: cellFieldKey())
inline constexpr char CellSQL[] = "CellSQL";
// Misc
inline constexpr char UseEmailHotkey[] = "UseEmailHotkey";
inline constexpr char WinKeyModEmail[] = "WinKeyModEmail";
inline constexpr char ShiftModEmail[] = "ShiftModEmail";
inline constexpr char AltModEmail[] = "AltModEmail";
inline constexpr char CtrlModEmail[] = "CtrlModEmail";
inline constexpr char EmailHotKey[] = "EmailHotKey";
inline constexpr char FromAddressType[] = "FromAddressType";
inline constexpr char Me[] = "Me";
inline constexpr char Release[] = "Release";
inline constexpr char UpdateHost[] = "UpdateHost"; // the download host of the update check: scheme and host
// SMS
inline constexpr char Remind[] = "Remind";
inline constexpr char Search[] = "Search";
inline constexpr char Sig[] = "Sig";
inline constexpr char SigText[] = "SigText";
// Cache
inline constexpr char LetterCode[] = "LetterCode";
inline constexpr char ContactName[] = "ContactName";
inline constexpr char ContactEntryID[] = "ContactEntryID"; // which of several contacts of that name
inline constexpr char ContainerState[] = "ContainerState";
inline constexpr char ContainerTab[] = "ContainerTab";
inline constexpr char CurrentCategory[] = "CurrentCategory";
inline constexpr char CurrentFolder[] = "CurrentFolder";
inline constexpr char ExtraInfo[] = "ExtraInfo";
// CardDAV (User as in OutlookDataSync)
inline constexpr char DavSync[] = "DavSync"; // "Sync with the server"
inline constexpr char Server[] = "Server";
inline constexpr char Password[] = "Password";
inline constexpr char AddressBook[] = "AddressBook";         // the address book's address
inline constexpr char CalendarAddress[] = "CalendarAddress"; // the calendar's address
inline constexpr char ContactFolder[] = "ContactFolder";     // "Store\Folder"; "" the contact folder in use
inline constexpr char CalendarFolder[] = "CalendarFolder";   // "Store\Folder"; "" the calendar folder in use
inline constexpr char PublishQELDays[] = "PublishQELDays";
} // namespace keys

// Stored words.
inline constexpr char kYes[] = "Yes";
inline constexpr char kNo[] = "No";
inline constexpr char kChecked[] = "Checked";
inline constexpr char kUnchecked[] = "Unchecked";
inline constexpr char kMaster[] = "Master";
inline constexpr char kSlave[] = "Slave";
inline constexpr char kInterval[] = "Interval";
inline constexpr char kTimed[] = "Timed";

inline constexpr int kColorCount = 11;     // Color0 .. Color10, label colours 0 .. 10
inline constexpr int kCellFieldCount = 19; // CellField0 .. CellField18

QString colorKey(int label);     // "Color0" .. "Color10"
QString cellFieldKey(int field); // "CellField0" .. "CellField18"

// The 96 times of day of the timed sync (Time), every 15 minutes from "06:00 AM" to "05:45 AM".
QStringList syncTimeList();

// How a value is stored and what a missing one means.
enum class SettingKind {
    FlagYes,   // "Yes"/"No", on only when "Yes" (missing: off)
    FlagNotNo, // "Yes"/"No", off only when "No" (missing: on)
    Number,    // decimal text
    Text,      // free text, stored as typed
    Password   // text scrambled by scramblePassword()
};

inline constexpr int kNoLimit = -1;

struct SettingSpec {
    const char* section;
    const char* key;
    SettingKind kind;
    const char* fallback;   // the value taken when the stored one is empty (or unusable, for numbers)
    int minimum = kNoLimit; // numbers: the accepted range; outside it the fallback holds
    int maximum = kNoLimit;
    bool zeroMeansMissing = false; // numbers where 0 is taken as the fallback (LetterCode, ContainerTab)
};

// Every key of every section.
std::span<const SettingSpec> settingsCatalogue();
// The entry of (section, key); nullptr for a key outside the catalogue.
const SettingSpec* findSetting(const QString& section, const QString& key);

// Flags. isYes: the stored value is "Yes". isNotNo: the stored value is anything but "No" (ContactSync,
// CheckForQELDay, QELDayRemind). settingFlag: the test the catalogue names for the key.
bool isYes(const QString& section, const QString& key);
bool isNotNo(const QString& section, const QString& key);
bool settingFlag(const QString& section, const QString& key);
inline QString flagText(bool on) {
    return QString::fromLatin1(on ? kYes : kNo);
}
void saveFlag(const QString& section, const QString& key, bool on);

// The value in use: the stored text, or the catalogue's fallback when the stored value is empty (and,
// for numbers, when it is not a whole number in range). Flags read as "Yes"/"No" by their test and
// passwords as plain text. A key outside the catalogue reads as stored.
QString settingValue(const QString& section, const QString& key);
// A number key's value in use; -1 when there is none (EmailHotKey: no key chosen).
int settingNumber(const QString& section, const QString& key);

// The two scrambled passwords (OutlookDataSync/Olvex, VOIP/Pardine), plain text in and out.
QString readPassword(const QString& section, const QString& key);
void savePassword(const QString& section, const QString& key, const QString& plain);

// A folder named by its top-level folder ("Personal Folders") and its name inside it.
struct FolderName {
    QString root;
    QString folder;
    bool operator==(const FolderName&) const = default;
};

// The calendar, tasks and notes folders with the catalogue's fallbacks. The notes pair is crossed in
// the store: the key "Notes" holds the top-level folder and "NotesRoot" the folder's name, both when
// reading and when writing; these functions are the one place that knows it.
FolderName storedCalendarFolder();
void saveCalendarFolder(const FolderName& folder);
FolderName storedTasksFolder();
void saveTasksFolder(const FolderName& folder);
FolderName storedNotesFolder();
void saveNotesFolder(const FolderName& folder);

} // namespace qel
