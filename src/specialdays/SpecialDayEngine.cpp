#include "SpecialDayEngine.h"

#include "core/DebugLog.h"
#include "core/SettingsModel.h"
#include "core/Tag.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace qel {

namespace {

const QString kFormName = QStringLiteral("frmQELDay");
const QString kCrLf = QStringLiteral("\r\n");
const QString kSkipped = QStringLiteral("QEL DAy Skipped - ");

QString withUnderscores(QString name) {
    return name.replace(QLatin1Char(' '), QLatin1Char('_'));
}

// A whole number of one to four digits; -1 otherwise.
int number(const QString& text) {
    if (text.isEmpty() || text.size() > 4)
        return -1;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > 127)
            return -1;
    }
    return text.toInt();
}

// The date token: month and day, and the year when it has one (0 otherwise). False when it is
// no date. Parts are separated by "/" (or "-"); a two-digit year is 1930 .. 2029.
bool readDate(const QString& token, int& month, int& day, int& year) {
    static const QRegularExpression separators(QStringLiteral("[/-]"));
    const QStringList parts = token.split(separators);
    if (parts.size() != 2 && parts.size() != 3)
        return false;
    month = number(parts[0]);
    day = number(parts[1]);
    year = 0;
    if (parts.size() == 3) {
        year = number(parts[2]);
        if (year < 0)
            return false;
        if (parts[2].size() <= 2)
            year += year < 30 ? 2000 : 1900;
        else if (year < 100)
            return false;
        return QDate(year, month, day).isValid();
    }
    return isMonthDay(month, day);
}

// The lines of a field with their positions; empty lines are kept (the caller skips them) so
// that a line's number is its number in the text.
QStringList splitLines(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r?\n"));
    return text.split(breaks);
}

} // namespace

bool isMonthDay(int month, int day) {
    return QDate(2000, month, day).isValid();
}

QString SpecialDayLine::subject(bool nameOnly) const {
    QString out = name;
    if (!nameOnly) {
        switch (type) {
        case Birthday:
            out += QStringLiteral("'s Birthday");
            break;
        case Anniversary:
            out += QStringLiteral("'s Anniversary");
            break;
        case Other:
            out += QStringLiteral("'s ") + kind;
            break;
        }
    }
    out.replace(QLatin1Char('_'), QLatin1Char(' '));
    out.replace(QLatin1Char('&'), QStringLiteral(" and "));
    return out;
}

QDate SpecialDayLine::occurrence(int inYear) const {
    const QDate date(inYear, month, day);
    if (date.isValid())
        return date;
    return QDate(inYear, month, day - 1); // 29 February in a common year
}

std::optional<SpecialDayLine> parseSpecialDayLine(const QString& line, const QString& lastName,
                                                  const QString& firstName) {
    SpecialDayLine entry;
    entry.text = line.startsWith(QLatin1Char('*'))
                     ? line
                     : QStringLiteral("* ") + withUnderscores(firstName) + QLatin1Char(' ') + line;
    const QStringList tokens = entry.text.split(QLatin1Char(' '));
    if (tokens.size() != 3 || !readDate(tokens[2], entry.month, entry.day, entry.year))
        return std::nullopt;
    const QString& type = tokens[0];
    if (type == QLatin1String("*")) {
        entry.type = SpecialDayLine::Birthday;
    } else if (type == QLatin1String("*Anniversary") || type == QLatin1String("*A") ||
               type == QLatin1String("*a")) {
        entry.type = SpecialDayLine::Anniversary;
    } else {
        entry.type = SpecialDayLine::Other;
        entry.kind = type.mid(1);
    }
    const QString& name = tokens[1];
    entry.name = name.startsWith(QLatin1Char('.')) ? name.mid(1) : name + QLatin1Char(' ') + lastName;
    return entry;
}

int firstMalformedLine(const QString& fieldText) {
    const QStringList lines = fieldText.split(kCrLf);
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList tokens = lines[i].split(QLatin1Char(' '));
        const int wanted = tokens[0].startsWith(QLatin1Char('*')) ? 3 : 1;
        if (tokens.size() != wanted)
            return i;
    }
    return -1;
}

QStringList specialDayLines(const QString& fieldText) {
    QStringList lines = splitLines(fieldText);
    lines.removeAll(QString());
    return lines;
}

// --- The engine ------------------------------------------------------------------------------

SpecialDayEngine::SpecialDayEngine(StoreMembers members, const SettingsModel& settings, QObject* marker)
    : m(members), mSettings(settings), mMarker(marker) {}

QString SpecialDayEngine::marker() const {
    return Tag(mMarker);
}

void SpecialDayEngine::setMarker(const QString& value) {
    setTag(mMarker, value);
}

void SpecialDayEngine::status(const QString& text) {
    mLastStatus = text;
    if (mProgress)
        mProgress->setStatus(text);
}

QString SpecialDayEngine::fieldName() const {
    return QStringLiteral("User%1").arg(qBound(0, mSettings.customField, 3) + 1);
}

ol::ItemPtr SpecialDayEngine::contact(const QString& id) const {
    ol::ItemPtr item = m.gOlNameSpace->GetItemFromID(id);
    if (item->Class() != ol::kContact)
        throw ol::Error(ol::kErrNotFound, QStringLiteral("The contact is not there."));
    return item;
}

bool SpecialDayEngine::labelsSupported() const {
    return m.gOlApp && ol::versionNumber(m.gOlApp->Version()) > 9;
}

void SpecialDayEngine::colour(const ol::ItemPtr& appointment, int colourIndex,
                              const std::shared_ptr<ol::MapiSession>& session) {
    auto message = session->GetMessage(appointment->EntryID(), appointment->Parent()->StoreID());
    ol::setLabelField(*message, colourIndex);
    message->Update();
}

bool SpecialDayEngine::AddQELDay(const QString& id, const QString& line, const QString& lastName,
                                 const QString& firstName) {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    const std::optional<SpecialDayLine> entry = parseSpecialDayLine(line, lastName, firstName);
    const QString text =
        entry ? entry->text
              : (line.startsWith(QLatin1Char('*'))
                     ? line
                     : QStringLiteral("* ") + withUnderscores(firstName) + QLatin1Char(' ') + line);
    if (debugOn())
        LogDebug(kFormName, QStringLiteral(":Adding QEL Day - ") + text);

    if (!entry) {
        if (marker() == kMarkerSkip) {
            mSkipped << line;
            status(kSkipped + text);
            return false;
        }
        const QString question = QStringLiteral("There was an error with ") + firstName + QLatin1Char(' ') +
                                 lastName + QStringLiteral("'s User field.  The line is:") + kCrLf + kCrLf +
                                 text + kCrLf + kCrLf +
                                 QStringLiteral("Do you want to continue?  If debugging is on, each skipped "
                                                "contact will be written to the debug file.");
        const int choice = dialogs().choose(question, QStringLiteral("QEL Day Error!"),
                                            {QStringLiteral("Skip"), QStringLiteral("Skip All"),
                                             QStringLiteral("Fix"), QStringLiteral("Stop")},
                                            MsgIcon::Exclamation);
        switch (choice) {
        case 0:
            mSkipped << line;
            status(kSkipped + text);
            break;
        case 1:
            mSkipped << line;
            setMarker(kMarkerSkip);
            status(kSkipped + text + QStringLiteral(" and all other errors."));
            break;
        case 2:
            setMarker(kMarkerFix);
            break;
        default:
            setMarker(kMarkerExit);
            break;
        }
        return false;
    }

    const bool nameOnly = mSettings.qelDaySubject;
    const int colourIndex = mSettings.specialDayColours[entry->type == SpecialDayLine::Birthday      ? 0
                                                        : entry->type == SpecialDayLine::Anniversary ? 1
                                                                                                     : 2];
    const QString subject = entry->subject(nameOnly);
    const QDate today = clock().today();
    const bool late = qMakePair(entry->month, entry->day) < qMakePair(today.month(), today.day());
    try {
        std::shared_ptr<ol::MapiSession> session;
        if (labelsSupported()) {
            try {
                session = ol::MapiSession::create(m.gOlApp);
                session->Logon();
            } catch (const ol::Error& e) {
                if (e.number() != ol::kErrCannotCreate)
                    throw;
                session.reset(); // no label session: the appointments go without colour
            }
        }
        for (int i = 0; i < 2; ++i) {
            const int year = today.year() + i + (late ? 1 : 0);
            ol::ItemPtr appointment = m.gOlCalendarFolder->Items()->Add();
            appointment->set(ol::prop::Start, QDateTime(entry->occurrence(year), QTime(0, 0)));
            appointment->set(ol::prop::Subject, subject);
            appointment->set(ol::prop::Categories, kQELDayCategory);
            appointment->set(ol::prop::Body, id);
            appointment->set(ol::prop::AllDayEvent, true);
            if (entry->hasYear())
                appointment->set(ol::prop::Location, QString::number(year - entry->year));
            appointment->set(ol::prop::ReminderSet, mSettings.qelDayRemind);
            if (mSettings.qelDayRemind)
                appointment->set(ol::prop::ReminderMinutesBeforeStart, 15);
            appointment->Save();
            mCreated << appointment->EntryID();
            if (debugOn())
                LogDebug(kFormName, QStringLiteral(":Adding label color..."));
            if (session)
                colour(appointment, colourIndex, session);
        }
        if (session)
            session->Logoff();
    } catch (const ol::Error& e) {
        dialogs().message(QStringLiteral("The QEL Day could not be written to the calendar: ") + e.message());
        setMarker(kMarkerExit);
        return false;
    }
    if (debugOn())
        LogDebug(kFormName, QStringLiteral(":Added QEL Day - ") + text);
    return true;
}

int SpecialDayEngine::removeQELDays(bool futureOnly) {
    QString filter = QStringLiteral("[Categories] = 'QELDay'");
    if (futureOnly)
        filter += QStringLiteral(" AND [Start] >= '") + ol::filterDate(clock().today()) + QLatin1Char('\'');
    const ol::ItemsPtr items = m.gOlCalendarFolder->Items()->Restrict(filter);
    int removed = 0;
    ol::Batch batch(m.gOlCalendarFolder);
    for (int index = items->Count(); index >= 1; --index) {
        items->Item(index)->Delete();
        ++removed;
    }
    batch.commit();
    return removed;
}

int SpecialDayEngine::removeContactDays(const QString& id) {
    const ol::ItemsPtr items =
        m.gOlCalendarFolder->Items()->Restrict(QStringLiteral("[Categories] = 'QELDay'"));
    int removed = 0;
    for (int index = items->Count(); index >= 1; --index) {
        const ol::ItemPtr item = items->Item(index);
        QString body;
        if (!m.gNoRedemption && m.gSafeCalendar) {
            m.gSafeCalendar->setItem(item);
            body = m.gSafeCalendar->Get(QStringLiteral("Body")).toString();
        } else {
            body = item->text(ol::prop::Body);
        }
        if (body == id) {
            item->Delete();
            ++removed;
        }
    }
    return removed;
}

RescanResult SpecialDayEngine::rescanContacts(const FixHook& fix) {
    RescanResult result;
    const QString field = fieldName();
    const ol::ItemsPtr contacts = m.gOlContacts->Restrict(
        QLatin1Char('[') + field + QStringLiteral("] > '' AND ") + ol::kContactsFilter);
    result.contacts = contacts->Count();
    if (result.contacts == 0) {
        status(QStringLiteral("No QEL Days found"));
        setMarker(QString());
        return result;
    }
    if (mProgress)
        mProgress->begin(result.contacts);
    for (int index = 1; index <= result.contacts && !result.stopped && !result.cancelled; ++index) {
        const ol::ItemPtr contact = contacts->Item(index);
        const QString subject = contact->Subject();
        const QString id = contact->EntryID();
        bool again = true;
        while (again) {
            again = false;
            mCreated.clear();
            // One commit for the contact's appointments (the store writes once, not per save).
            ol::Batch batch(m.gOlCalendarFolder);
            int added = 0;
            status(QStringLiteral("Adding QEL Day for ") + subject);
            const QString text = contact->Get(field).toString();
            if (debugOn())
                LogDebug(kMainWindowName, QStringLiteral(":Splitting user field for") + subject);
            const QStringList lines = splitLines(text);
            for (int i = 0; i < lines.size(); ++i) {
                if (lines[i].isEmpty())
                    continue;
                const bool ok = AddQELDay(id, lines[i], withUnderscores(contact->text(ol::prop::LastName)),
                                          withUnderscores(contact->text(ol::prop::FirstName)));
                if (marker() == kMarkerFix) {
                    setMarker(QString());
                    if (!fix)
                        continue; // nobody to fix it: as "Skip"
                    batch.commit();
                    const std::optional<QString> corrected = fix(i + 1, subject, text);
                    // The lines before the bad one are made again: take back what they made.
                    for (const QString& made : std::as_const(mCreated)) {
                        try {
                            m.gOlNameSpace->GetItemFromID(made)->Delete();
                        } catch (const ol::Error&) {
                        }
                    }
                    if (corrected) {
                        contact->Set(field, *corrected);
                        contact->Save();
                    }
                    again = true;
                    added = 0;
                    break;
                }
                if (ok)
                    added += 2;
                if (marker() == kMarkerExit) {
                    result.stopped = true;
                    break;
                }
            }
            if (!again) {
                batch.commit();
                result.added += added;
            }
        }
        if (mProgress && mProgress->cancelled())
            result.cancelled = true;
    }
    if (!result.stopped && !result.cancelled && result.added != 0)
        addScanReminder();
    setMarker(QString());
    return result;
}

void SpecialDayEngine::addScanReminder() {
    const QDate day = clock().today().addYears(2);
    const ol::ItemPtr reminder = m.gOlCalendarFolder->Items()->Add();
    reminder->set(ol::prop::Start, QDateTime(day, QTime(8, 0)));
    reminder->set(ol::prop::Subject, QStringLiteral("QEL Day Scan Needed!"));
    reminder->set(ol::prop::Categories, kQELDayCategory);
    reminder->set(ol::prop::ReminderMinutesBeforeStart, 15);
    reminder->set(ol::prop::ReminderSet, true);
    reminder->Save();
}

std::array<UpcomingDay, 7> SpecialDayEngine::upcoming() const {
    std::array<UpcomingDay, 7> days;
    const QDate today = clock().today();
    for (int k = 0; k < 7; ++k)
        days[size_t(k)].date = today.addDays(k);
    // One query for the week; only appointments at midnight of a day match (the scan reminder at
    // 8:00 AM never does), as a query per day at "12:00 AM" would.
    const QString filter = QStringLiteral("[Start] >= '") + ol::filterDate(today) +
                           QStringLiteral("' AND [Start] < '") + ol::filterDate(today.addDays(7)) +
                           QStringLiteral("' AND [Categories] = 'QELDay'");
    const ol::ItemsPtr items = m.gOlCalendarFolder->Items()->Restrict(filter);
    const int count = items->Count();
    for (int index = 1; index <= count; ++index) {
        const QDateTime start = items->value(index, ol::prop::Start).toDateTime();
        if (start.time() != QTime(0, 0))
            continue;
        const qint64 k = today.daysTo(start.date());
        if (k < 0 || k > 6)
            continue;
        UpcomingDay::Entry entry;
        entry.text = items->subject(index);
        const QString location = items->value(index, ol::prop::Location).toString();
        if (!location.isEmpty())
            entry.text += QStringLiteral(" (") + location + QLatin1Char(')');
        if (!m.gNoRedemption && m.gSafeCalendar) {
            m.gSafeCalendar->setItem(items->Item(index));
            entry.entryId = m.gSafeCalendar->Get(QStringLiteral("Body"))
                                .toString()
                                .remove(QLatin1Char('\r'))
                                .remove(QLatin1Char('\n'));
        }
        days[size_t(k)].entries.push_back(entry);
    }
    return days;
}

bool SpecialDayEngine::openContact(const QString& entryId) const {
    try {
        m.gOlNameSpace->GetItemFromID(entryId)->Display();
        return true;
    } catch (const ol::Error&) {
        return false;
    }
}

} // namespace qel
