#pragma once

// The program's live settings as typed values, free of widgets. The program keeps one model for
// its run: the preferences dialog loads its controls from it and, at OK, puts them back and saves
// it; every subsystem reads it. Keys, sections and fallbacks are the catalogue's
// (SettingsCatalogue.h); the Cache and SMS sections are read where they are used. The two
// passwords go to the desktop's keyring when one takes them (platform/Keyring.h), the settings
// file then holding an empty value; else the file keeps them scrambled.

#include "SettingsCatalogue.h"
#include "platform/Ftp.h"

#include <QObject>
#include <QString>
#include <array>

namespace qel {

// A global hot key as the settings hold it.
struct HotKeyChoice {
    bool use = false;                // the key is on (UseHotkey, EnableCopy2Call, UseEmailHotkey)
    std::array<bool, 4> modifiers{}; // Windows key, Shift, Alt, Ctrl
    int key = 0;                     // position in the hot-key list; -1: none chosen
    bool operator==(const HotKeyChoice&) const = default;
};

// The export and import filters of the four kinds of data, and the calendar's date range, edited
// together in the filter editor.
struct SyncFilters {
    enum Kind { Contacts, Calendar, Tasks, Notes };
    std::array<QString, 4> exportFilter;     // SQLConE, SQLCalE, SQLTaskE, SQLNoteE
    std::array<QString, 4> importFilter;     // SQLConI, SQLCalI, SQLTaskI, SQLNoteI
    QString dateRange = QStringLiteral("6"); // months, as typed
    bool operator==(const SyncFilters&) const = default;
};

// The FTP server of the sync settings, from their values as typed (a port that is no whole number
// from 1 to 65535 reads as 21).
FtpSettings ftpSettings(const QString& host, const QString& user, const QString& password,
                        const QString& port, bool passive, bool tls);

class SettingsModel : public QObject {
    Q_OBJECT
public:
    explicit SettingsModel(QObject* parent = nullptr);

    // Reads every value of the preferences' sections from the settings store, with the catalogue's
    // fallbacks. The values kept for the run only (below) are left as they are.
    void load();
    // Writes every value of the preferences' sections to the store in one batch ("Me" excepted:
    // the "me" command writes it at once). Returns why the keys did not reach the file, "" when
    // they did (a damaged file that was copied aside and rewritten counts as written).
    QString save() const;

    // --- General ----------------------------------------------------------------------------
    bool confirmExit = false;
    bool subFolders = false;
    HotKeyChoice restoreKey; // UseHotkey, WinKeyMod .. CtrlMod, HotKey
    int webEmail = 0;        // 0 Gmail, 1 Hotmail, 2 AOL
    bool invertWebEmail = false;

    // --- DataFolders ------------------------------------------------------------------------
    FolderName calendarFolder{QStringLiteral("Personal Folders"), QStringLiteral("Calendar")};
    FolderName tasksFolder{QStringLiteral("Personal Folders"), QStringLiteral("Tasks")};
    FolderName notesFolder{QStringLiteral("Personal Folders"), QStringLiteral("Notes")};

    // --- QELDays ----------------------------------------------------------------------------
    int customField = 0; // User1 .. User4
    bool checkForQELDay = true;
    bool qelDayRemind = true;
    bool qelDayScan = false;
    bool qelDaySubject = false;
    bool qelDayPast = false;
    bool qelDayCalendarFile = false; // QELDays.ics in the program folder, rewritten after each rescan
    std::array<int, 3> specialDayColours{8, 9, 2}; // label colours of birthdays, anniversaries, other

    // --- DebugMode (live: the debug log and the main window's label follow it at once) -------
    bool debugMode() const { return mDebugMode; }
    void setDebugMode(bool on);

    // --- OutlookDataSync ----------------------------------------------------------------------
    bool sync = false;
    bool intervalSync = false;               // SyncFireMode "Interval"; else "Timed"
    QString interval = QStringLiteral("30"); // minutes, as typed (OK checks it)
    QString syncTime = QStringLiteral("06:00 AM");
    bool master = false;                                     // SyncMode "Master"; else "Slave"
    std::array<bool, 4> syncData{true, false, false, false}; // contacts, calendar, tasks, notes
    QString host;
    QString user;
    QString password;                    // plain text; in the keyring, else stored scrambled (Olvex)
    QString port = QStringLiteral("21"); // as typed (OK checks it)
    bool passiveMode = false;
    bool useTLS = false; // explicit TLS (FTPS)
    SyncFilters filters;
    // The FTP server and login of these settings.
    FtpSettings ftpServer() const;

    // --- AppointmentColors --------------------------------------------------------------------
    bool apptColorSync = false;
    std::array<QString, kColorCount> colourFilters; // Color0 .. Color10

    // --- VOIP -----------------------------------------------------------------------------------
    bool enableVonage = false;
    QString voipUserName;
    QString voipPassword; // plain text; in the keyring, else stored scrambled (Pardine)
    QString phoneNumber;
    HotKeyChoice copy2CallKey; // EnableCopy2Call, WinKeyMod .. CtrlMod, HotKey
    // The click-to-call service's scheme and host (CallHost). The dialog does not edit it: it is
    // read from the store and never written back.
    QString voipCallHost;

    // --- CellPhone ------------------------------------------------------------------------------
    std::array<bool, kCellFieldCount> cellFields{};
    QString cellSQL;

    // --- Misc -------------------------------------------------------------------------------------
    HotKeyChoice emailKey{false, {}, -1}; // UseEmailHotkey, WinKeyModEmail .. CtrlModEmail, EmailHotKey
    int fromAddressType = 0;              // 0 Business, 1 Home, 2 Other Address
    // The download host of the update check, scheme and host (UpdateHost). Like CallHost, read from
    // the store and never written back by the dialog.
    QString updateHost;
    bool release = false;
    // The "me" contact ("" for none).
    const QString& me() const { return mMe; }
    void setMe(const QString& name);

    // --- CardDAV: two-way contact sync with an address book, special days to a calendar ---------
    bool davSync = false; // "Sync with the server"
    QString davServer;    // the address discovery starts from
    QString davUser;
    QString davPassword; // plain text; in the keyring, else stored scrambled
    QString davAddressBook;
    QString davCalendar;
    QString davContactFolder;  // "Store\Folder"; "" the contact folder in use
    QString davCalendarFolder; // "Store\Folder"; "" the calendar folder in use
    bool davPublishQELDays = false;

    // --- Kept for the run only, never stored ------------------------------------------------------
    bool syncRetry = false;         // a failed sync is to be tried again
    int advancedTimeSelection = -1; // the position chosen in the advanced sync-time list (-1: none)

Q_SIGNALS:
    void debugModeChanged(bool on);
    void meChanged(const QString& name);

private:
    bool mDebugMode = false;
    // The FTP, VoIP and CardDAV passwords that the keyring held unknown at the last load (it did
    // not answer).
    std::array<bool, 3> mPasswordUnread{};
    QString mMe;
};

} // namespace qel
