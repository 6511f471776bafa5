#pragma once

// Special days without a window: the line format of a contact's special-day field, the
// appointments one line yields (AddQELDay), the rescan of every contact, the removal, and the
// days of the coming week that have special days. The program's window drives it through
// SpecialDays; the store tool runs it from the command line. Dates come from the clock seam,
// prompts go through the dialogs seam, settings are read from the settings model.

#include "core/Progress.h"
#include "outlook/Outlook.h"
#include "outlook/StoreMembers.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace qel {

class SettingsModel;

// The category every special-day appointment (and the scan reminder) carries.
inline const QString kQELDayCategory = QStringLiteral("QELDay");
// The values of the error-choice marker (MsgBoxEx1's tag).
inline const QString kMarkerSkip = QStringLiteral("skip");
inline const QString kMarkerFix = QStringLiteral("fix");
inline const QString kMarkerExit = QStringLiteral("exit");

// One special-day line, read. A line without a leading "*" has become "* FirstName line".
struct SpecialDayLine {
    enum Type { Birthday, Anniversary, Other };
    QString text; // the line as checked (after the rewrite)
    Type type = Birthday;
    QString kind; // Other: the type token without its "*"
    QString name; // the event name: token 2 + " " + last name, or token 2 without its "."
    int month = 0;
    int day = 0;
    int year = 0; // 0: the year is unknown
    bool hasYear() const { return year != 0; }
    // The subject of its appointments ("_" as spaces, "&" as " and ").
    QString subject(bool nameOnly) const;
    // The day of the entry in `year`: 29 February in a year without it is 28 February.
    QDate occurrence(int inYear) const;
};

// Reads one line for the contact (first and last name as stored; their spaces count as "_").
// std::nullopt for a bad line: a first token with "*" and not three tokens, or a last token that
// is not a date ("mm/dd/yyyy", "mm/dd/yy" or "mm/dd"; 29 February is a date with any year
// unknown).
std::optional<SpecialDayLine> parseSpecialDayLine(const QString& line, const QString& lastName,
                                                  const QString& firstName);

// The manual edit's check of a whole field: every line whose first token begins with "*" has
// three tokens, every other line one. Returns the 0-based index of the first line that fails, or
// -1 when all pass.
int firstMalformedLine(const QString& fieldText);

// The lines of a field text: split on CR LF (a bare LF counts as one too); empty lines dropped.
QStringList specialDayLines(const QString& fieldText);

// Days whose year is unknown ("mm/dd") and 29 February are kept apart from the date parser of
// the platform: a valid month and day of a leap year.
bool isMonthDay(int month, int day);

// One day of the coming week (today + offset) with its special days in the order found.
struct UpcomingDay {
    QDate date;
    struct Entry {
        QString text;    // Subject, and " (Location)" when there is one
        QString entryId; // the owning contact's EntryID (its Body without CR LF); "" without safe items
    };
    std::vector<Entry> entries;
};

struct RescanResult {
    int added = 0;          // appointments created
    int contacts = 0;       // contacts with special-day lines
    bool stopped = false;   // "Stop" was chosen (marker "exit")
    bool cancelled = false; // the watcher asked to stop
};

class SpecialDayEngine {
public:
    // `marker` carries the error-choice marker in its tag (the window's MsgBoxEx1).
    SpecialDayEngine(StoreMembers members, const SettingsModel& settings, QObject* marker);

    // Where status lines go (nullptr: nowhere but lastStatus()).
    void setProgress(Progress* progress) { mProgress = progress; }
    QString lastStatus() const { return mLastStatus; }
    // The lines skipped since the last clearSkipped() (by "Skip", "Skip All" or after "Skip All").
    const QStringList& skipped() const { return mSkipped; }
    void clearSkipped() { mSkipped.clear(); }

    QString marker() const;
    void setMarker(const QString& value);

    // Creates the two appointments of one line for the contact `id`. True when both were
    // created; false for a rejected line (the marker tells what the user chose) or a store
    // failure (told, and the marker set to "exit").
    bool AddQELDay(const QString& id, const QString& line, const QString& lastName, const QString& firstName);

    // The user field that holds the lines (User1 .. User4 by the settings).
    QString fieldName() const;
    // The contact of that EntryID (the card's txtID). Throws ol::Error(kErrNotFound).
    ol::ItemPtr contact(const QString& id) const;

    // Deletes the special-day appointments, only those from today on when `futureOnly`.
    // Returns the number deleted.
    int removeQELDays(bool futureOnly);
    // Deletes the contact's appointments (Body = id).
    int removeContactDays(const QString& id);

    // The fix dialog: shows the contact's text with the line (1-based) in error; returns the
    // corrected text, or std::nullopt to leave the field as it is.
    using FixHook =
        std::function<std::optional<QString>(int line, const QString& subject, const QString& text)>;
    // The rescan after the removal: every line of every contact with lines, with the fix loop;
    // the scan reminder when anything was added and the run neither stopped nor was cancelled.
    // The marker is cleared at the end.
    RescanResult rescanContacts(const FixHook& fix);
    // The scan reminder: two years from today at 8:00 AM.
    void addScanReminder();

    // Today and the six following days.
    std::array<UpcomingDay, 7> upcoming() const;

    // Opens the contact of an upcoming entry in its own window; false when it cannot be found.
    bool openContact(const QString& entryId) const;

    // The store's version is past 9: appointments get their label colour.
    bool labelsSupported() const;

private:
    void status(const QString& text);
    void colour(const ol::ItemPtr& appointment, int colourIndex,
                const std::shared_ptr<ol::MapiSession>& session);

    StoreMembers m;
    const SettingsModel& mSettings;
    QPointer<QObject> mMarker;
    Progress* mProgress = nullptr;
    QString mLastStatus;
    QStringList mSkipped;
    QStringList mCreated; // EntryIDs of the appointments made for the contact being scanned
};

} // namespace qel
