#include "ExchangeEngine.h"

#include "ExchangeFile.h"
#include "ExchangeSchema.h"

#include "core/DebugLog.h"
#include "core/SettingsModel.h"
#include "outlook/Collation.h"
#include "outlook/StoreInternal.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>
#include <SQLiteCpp/SQLiteCpp.h>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace qel {

using namespace exchange;

namespace {

const QString kCr = QStringLiteral("\r\n");
const QString kImportedContacts = QStringLiteral("[Categories] = 'QELSync' AND ") + ol::kContactsFilter;

// One column of a table as the engines use it: where its value comes from and how it converts.
struct Binding {
    const ColumnDef* def;
    int prop = -1; // store or pattern property id; -1 for a place holder
    ol::PropType type = ol::PropType::Text;
    bool pattern() const { return def->flags & kPattern; }
    bool used() const { return prop >= 0; }
};

template <size_t N> std::vector<Binding> bindings(const std::array<ColumnDef, N>& columns) {
    std::vector<Binding> result;
    result.reserve(N);
    for (const ColumnDef& def : columns) {
        Binding b{&def};
        if (def.property) {
            const QString name = QLatin1String(def.property);
            const ol::PropertyDef* p =
                (def.flags & kPattern) ? ol::findPatternProperty(name) : ol::findProperty(name);
            Q_ASSERT(p);
            b.prop = p->id;
            b.type = p->type;
        }
        result.push_back(b);
    }
    return result;
}

const std::vector<Binding>& contactBindings() {
    static const std::vector<Binding> b = bindings(kContactColumns);
    return b;
}
const std::vector<Binding>& calendarBindings() {
    static const std::vector<Binding> b = bindings(kCalendarColumns);
    return b;
}

// The store value of a property as the file keeps it.
void bindValue(SQLite::Statement& insert, int column, const Binding& b, const QVariant& value) {
    const int index = column + 1;
    if (!value.isValid()) {
        insert.bind(index);
        return;
    }
    const bool asNumber = b.def->flags & kAsNumber;
    switch (b.type) {
    case ol::PropType::DateTime: {
        const QDateTime when = value.toDateTime();
        if (when.isValid())
            insert.bind(index, dateText(when).toStdString());
        else
            insert.bind(index);
        return;
    }
    case ol::PropType::Integer:
        if (asNumber)
            insert.bind(index, static_cast<int64_t>(value.toLongLong()));
        else
            insert.bind(index, QString::number(value.toLongLong()).toStdString());
        return;
    case ol::PropType::Boolean:
        if (asNumber)
            insert.bind(index, value.toBool() ? 1 : 0);
        else
            insert.bind(index, value.toBool() ? "True" : "False");
        return;
    default:
        insert.bind(index, value.toString().toStdString());
        return;
    }
}

// A column of a row read back as the property's type; an invalid QVariant for Null or a value
// that does not convert (the import then leaves the property alone).
QVariant readValue(const SQLite::Column& column, const Binding& b) {
    if (column.isNull() || !b.used())
        return {};
    const bool isInteger = column.isInteger();
    switch (b.type) {
    case ol::PropType::DateTime: {
        const QDateTime when = parseDateText(QString::fromStdString(column.getString()));
        return when.isValid() ? QVariant(when) : QVariant();
    }
    case ol::PropType::Integer: {
        if (isInteger)
            return QVariant(static_cast<int>(column.getInt64()));
        bool ok = false;
        const int n = QString::fromStdString(column.getString()).trimmed().toInt(&ok);
        return ok ? QVariant(n) : QVariant();
    }
    case ol::PropType::Boolean: {
        if (isInteger)
            return QVariant(column.getInt64() != 0);
        const QString text = QString::fromStdString(column.getString()).trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return QVariant(true);
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return QVariant(false);
        return {};
    }
    default:
        return QVariant(QString::fromStdString(column.getString()));
    }
}

// A row of the file as typed values, and what a filter reads of it: the column named after the
// property, as a store item would answer for it.
struct Row {
    std::vector<QVariant> values;
};

class RowSource : public ol::FilterSource {
public:
    RowSource(const Row& row, const std::vector<int>& columnOfProp) : mRow(row), mColumns(columnOfProp) {}
    QVariant value(int propId) const override {
        const int column = propId >= 0 && propId < int(mColumns.size()) ? mColumns[propId] : -1;
        return column >= 0 ? mRow.values[column] : QVariant();
    }
    QString folded(int propId) const override { return ol::foldKey(value(propId).toString()); }

private:
    const Row& mRow;
    const std::vector<int>& mColumns;
};

// The column of each property that a filter may name: those the import carries into the item (or
// that follow from what it carries: FullName, IsRecurring), so that a row and the item made from
// it answer alike. -1 for the others.
std::vector<int> columnsOfProps(const std::vector<Binding>& table) {
    std::vector<int> columns(ol::prop::Count, -1);
    for (size_t i = 0; i < table.size(); ++i) {
        const Binding& b = table[i];
        const bool carried =
            !(b.def->flags & kNotImported) || b.prop == ol::prop::FullName || b.prop == ol::prop::IsRecurring;
        if (b.used() && !b.pattern() && carried)
            columns[size_t(b.prop)] = static_cast<int>(i);
    }
    return columns;
}

std::vector<Row> readRows(SQLite::Database& db, const char* table, const std::vector<Binding>& columns,
                          const char* order) {
    std::vector<Row> rows;
    SQLite::Statement query(db, std::string("SELECT * FROM \"") + table + "\"" + order);
    while (query.executeStep()) {
        Row row;
        row.values.reserve(columns.size());
        for (size_t i = 0; i < columns.size(); ++i)
            row.values.push_back(readValue(query.getColumn(static_cast<int>(i)), columns[i]));
        rows.push_back(std::move(row));
    }
    return rows;
}

QString insertSql(const char* table, size_t count) {
    QString sql = QStringLiteral("INSERT INTO \"%1\" VALUES (").arg(QLatin1String(table));
    for (size_t i = 0; i < count; ++i)
        sql += i ? QStringLiteral(", ?") : QStringLiteral("?");
    return sql + QLatin1Char(')');
}

bool sameStore(const ol::FolderPtr& a, const ol::FolderPtr& b) {
    return a && b && a->state()->store == b->state()->store;
}

} // namespace

QString withSyncCategory(const QString& categories) {
    if (categories.contains(kSyncCategory))
        return categories;
    return categories.isEmpty() ? kSyncCategory : categories + QLatin1Char(',') + kSyncCategory;
}

QString exchangeSummary(bool exporting, const ExchangeOutcome& outcome) {
    const QString verb = exporting ? QStringLiteral("Exported") : QStringLiteral("Imported");
    return (exporting ? QStringLiteral("Export finished:") : QStringLiteral("Import finished:")) + kCr + kCr +
           QString::number(outcome.contacts) + QStringLiteral(" Contact(s) ") + verb + kCr +
           QString::number(outcome.appointments) + QStringLiteral(" Appointment(s) ") + verb + kCr +
           QStringLiteral("0 Task(s) ") + verb + kCr + QStringLiteral("0 Note(s) ") + verb + kCr;
}

ExchangeEngine::ExchangeEngine(StoreMembers members, const SettingsModel& settings)
    : m(members), mSettings(settings) {}

void ExchangeEngine::status(const QString& text) {
    mLastStatus = text;
    if (mProgress)
        mProgress->setStatus(text);
}

void ExchangeEngine::checkpoint(const QString& point, int number) const {
    if (mCheckpoint)
        mCheckpoint(point, number);
}

// What one run shares between its steps: the mode and how to tell the user.
struct ExchangeEngine::Run {
    ExchangeMode mode;
    bool exporting;
    // A message of an error: shown by the manual command and a sync started by hand.
    void error(const QString& text) const {
        if (mode.manual || !mode.timerSync)
            dialogs().message(text);
    }
    void filterError(const QString& kind, const QString& filter) const {
        const QString first = QStringLiteral("The %1 filter for %2 Sync:")
                                  .arg(exporting ? QStringLiteral("Export") : QStringLiteral("Import"), kind);
        const QString last =
            mode.manual ? (exporting ? QStringLiteral("Export aborted.") : QStringLiteral("Import aborted."))
                        : QStringLiteral("Sync aborted.");
        error(first + kCr + filter + kCr +
              QStringLiteral("has a syntax error. Please check this in preferences. ") + last);
    }
};

// --- Export ---------------------------------------------------------------------------------------

ExchangeOutcome ExchangeEngine::ExportToExchangeFile(const QString& path, ExchangeMode mode) {
    const Run run{mode, true};
    ExchangeOutcome outcome;
    const auto fail = [&](const QString& tag, const QString& why, const QString& statusText) {
        outcome.tag = tag;
        outcome.failure = why;
        status(statusText);
        return outcome;
    };

    // 1. The target: the template copied to a temporary file beside it, renamed into place at the end.
    const QString templ = templateFile();
    if (templ.isEmpty()) {
        run.error(missingTemplateMessage());
        return fail(kContactErrorTag, missingTemplateMessage(),
                    QStringLiteral("Export failed: no template."));
    }
    const QFileInfo target(path);
    if (!QFileInfo(target.absolutePath()).isDir()) {
        const QString noFolder = QStringLiteral("The file: ") + path +
                                 QStringLiteral(" cannot be written: its folder does not exist.");
        run.error(noFolder);
        return fail(kContactErrorTag, noFolder, QStringLiteral("Export failed: no such folder."));
    }
    QTemporaryFile partial(target.absoluteFilePath() + QStringLiteral(".XXXXXX.part"));
    const bool targetLocked = target.exists() && !target.isWritable();
    QFile source(templ);
    if (targetLocked || !partial.open() || !source.open(QIODevice::ReadOnly) ||
        partial.write(source.readAll()) != source.size() || !partial.flush()) {
        // Cannot write beside the target or the target itself: the file counts as in use.
        const QString inUse = QStringLiteral("The file: ") + path +
                              QStringLiteral(" is in use.  Please close the file and try again.");
        if (mode.manual || !mode.timerSync)
            dialogs().message(inUse);
        return fail(kContactErrorTag, inUse, path + QStringLiteral(" is in use!."));
    }
    partial.close();

    try {
        SQLite::Database db(QFile::encodeName(partial.fileName()).toStdString(), SQLite::OPEN_READWRITE);
        db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;");
        SQLite::Transaction transaction(db);
        status(QStringLiteral("Export Started"));

        // 3. Contacts.
        if (mSettings.syncData[0]) {
            const QString filterText = mSettings.filters.exportFilter[SyncFilters::Contacts];
            ol::ItemsPtr selected;
            try {
                selected = m.gOlContacts->Restrict(ol::kContactsFilter);
                if (!filterText.trimmed().isEmpty())
                    selected = selected->Restrict(ol::Filter::parse(filterText));
            } catch (const ol::Error& e) {
                run.filterError(QStringLiteral("Contact"), filterText);
                return fail(kContactErrorTag, e.message(),
                            QStringLiteral("Syntax error in Contact Export Filter."));
            }
            const int count = selected->Count();
            if (count == 0)
                status(QStringLiteral("No contacts found to sync!!!."));
            if (mProgress)
                mProgress->begin(count + 20);
            const bool safe = !m.gNoRedemption && m.gSafeContact;
            const bool version10 = ol::versionNumber(m.gOlApp->Version()) > 9;
            const auto& columns = contactBindings();
            SQLite::Statement insert(db, insertSql(kContactsTable, columns.size()).toStdString());
            for (int i = 1; i <= count; ++i) {
                const ol::ItemPtr contact = selected->Item(i);
                status(QStringLiteral("Exporting: ") + contact->Subject());
                if (mProgress && mProgress->cancelled()) {
                    status(QStringLiteral("Exporting cancelled by user"));
                    outcome.tag = kExitSyncTag;
                    return outcome;
                }
                if (safe)
                    m.gSafeContact->setItem(contact);
                insert.reset();
                insert.clearBindings();
                for (size_t c = 0; c < columns.size(); ++c) {
                    const Binding& b = columns[c];
                    if (!b.used())
                        continue;
                    if ((b.def->flags & kSafeOnly) && (!safe || ((b.def->flags & kVersion10) && !version10)))
                        continue;
                    // A property the contact does not hold stays Null: the import leaves it alone.
                    QVariant value;
                    if (b.def->flags & kAddsSyncCategory)
                        value = withSyncCategory(contact->get(b.prop).toString());
                    else if (!contact->isSet(b.prop))
                        value = QVariant();
                    else if (b.def->flags & kSafeOnly)
                        value = m.gSafeContact->Get(QLatin1String(b.def->property));
                    else
                        value = contact->get(b.prop);
                    bindValue(insert, static_cast<int>(c), b, value);
                }
                insert.exec();
                checkpoint(QStringLiteral("export-row"), i);
            }
            outcome.contacts = count;
        }

        // 4. Appointments: those of the window from today, and every recurring one.
        if (mSettings.syncData[1]) {
            const QString filterText = mSettings.filters.exportFilter[SyncFilters::Calendar];
            const QDate today = m.gOlApp->now().date();
            const int months = static_cast<int>(mSettings.filters.dateRange.trimmed().toDouble());
            const QString window = QStringLiteral("[Start] >= '%1' and [Start] <= '%2'")
                                       .arg(ol::filterDate(today), ol::filterDate(today.addMonths(months)));
            QSet<QString> chosen;
            try {
                ol::ItemsPtr inWindow = m.gOlCalendarItems->Restrict(window);
                if (!filterText.trimmed().isEmpty())
                    inWindow = inWindow->Restrict(ol::Filter::parse(filterText));
                const ol::ItemsPtr recurring =
                    m.gOlCalendarItems->Restrict(QStringLiteral("[Recurring] = 'Yes'"));
                for (const ol::ItemsPtr& part : {inWindow, recurring}) {
                    for (int i = 1, n = part->Count(); i <= n; ++i)
                        chosen.insert(part->Item(i)->EntryID());
                }
            } catch (const ol::Error& e) {
                run.filterError(QStringLiteral("Calendar"), filterText);
                return fail(kContactErrorTag, e.message(),
                            QStringLiteral("Syntax error in Calendar Export Filter."));
            }
            // In the calendar's order, as one restriction would give them.
            std::vector<ol::ItemPtr> selected;
            for (const ol::ItemPtr& appointment : m.gOlCalendarItems) {
                if (chosen.contains(appointment->EntryID()))
                    selected.push_back(appointment);
            }
            const int count = static_cast<int>(selected.size());
            if (count == 0)
                status(QStringLiteral("No appointments found to sync!!!."));
            if (mProgress)
                mProgress->begin(count + 5);
            const bool safe = !m.gNoRedemption && m.gSafeCalendar;
            const auto& columns = calendarBindings();
            SQLite::Statement insert(db, insertSql(kCalendarTable, columns.size()).toStdString());
            for (const ol::ItemPtr& appointment : selected) {
                status(QStringLiteral("Exporting Appointment: ") + appointment->Subject());
                if (mProgress && mProgress->cancelled()) {
                    status(QStringLiteral("Exporting cancelled by user"));
                    outcome.tag = kExitSyncTag;
                    return outcome;
                }
                const bool recurs = appointment->get(ol::prop::IsRecurring).toBool();
                const ol::RecurrencePatternPtr pattern =
                    recurs ? appointment->GetRecurrencePattern() : nullptr;
                if (safe)
                    m.gSafeCalendar->setItem(appointment);
                insert.reset();
                insert.clearBindings();
                for (size_t c = 0; c < columns.size(); ++c) {
                    const Binding& b = columns[c];
                    QVariant value;
                    if (b.pattern()) {
                        if (!pattern)
                            continue;
                        value = pattern->get(b.prop);
                    } else if (b.def->flags & kSafeOnly) {
                        if (!safe)
                            continue;
                        value = m.gSafeCalendar->Get(QLatin1String(b.def->property));
                    } else if (b.def->flags & kAddsSyncCategory) {
                        value = withSyncCategory(appointment->get(b.prop).toString());
                    } else {
                        value = appointment->get(b.prop);
                    }
                    bindValue(insert, static_cast<int>(c), b, value);
                }
                insert.exec();
            }
            outcome.appointments = count;
        }

        transaction.commit();
    } catch (const std::exception& e) {
        const QString why =
            QStringLiteral("The file: %1 could not be written: %2").arg(path, QString::fromUtf8(e.what()));
        run.error(why);
        return fail(kContactErrorTag, why, QStringLiteral("Export failed."));
    }

    // Durable, then in place: the old target is replaced in one step.
    {
        const int fd = ::open(QFile::encodeName(partial.fileName()).constData(), O_RDONLY);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    QFile::setPermissions(partial.fileName(),
                          QFile::permissions(templ) | QFile::WriteOwner | QFile::ReadOwner);
    if (std::rename(QFile::encodeName(partial.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const QString inUse = QStringLiteral("The file: ") + path +
                              QStringLiteral(" is in use.  Please close the file and try again.");
        run.error(inUse);
        return fail(kContactErrorTag, inUse, path + QStringLiteral(" is in use!."));
    }
    partial.setAutoRemove(false);

    if (mode.manual) {
        if (outcome.contacts + outcome.appointments > 0)
            dialogs().message(exchangeSummary(true, outcome));
        else
            dialogs().message(QStringLiteral("No data was found to export."));
    }
    return outcome;
}

// --- Import ---------------------------------------------------------------------------------------

ExchangeOutcome ExchangeEngine::ImportFromExchangeFile(const QString& path, ExchangeMode mode) {
    const Run run{mode, false};
    ExchangeOutcome outcome;
    const auto fail = [&](const QString& why, const QString& statusText) {
        outcome.tag = kMdbErrorTag;
        outcome.failure = why;
        status(statusText);
        return outcome;
    };

    // The file and both filters are checked before anything changes.
    QString why;
    const std::unique_ptr<ExchangeFile> file = ExchangeFile::open(path, &why);
    if (!file) {
        const QString text = QStringLiteral("The file: ") + path + QStringLiteral(" cannot be imported: ") +
                             why + QLatin1Char('.');
        run.error(text);
        return fail(text, QStringLiteral("Import refused: ") + why + QLatin1Char('.'));
    }
    status(QStringLiteral("Import Started"));
    const bool doContacts = mSettings.syncData[0];
    const bool doCalendar = mSettings.syncData[1];
    std::optional<ol::Filter> contactFilter, calendarFilter;
    const QString contactText = mSettings.filters.importFilter[SyncFilters::Contacts];
    const QString calendarText = mSettings.filters.importFilter[SyncFilters::Calendar];
    // A filter is refused when it does not parse, or when it names a property that the file's
    // table does not hold: it would select otherwise in the file than in the store.
    const auto parseImportFilter = [&](const QString& kind, const QString& text,
                                       const std::vector<Binding>& table,
                                       std::optional<ol::Filter>& filter) -> QString {
        if (text.trimmed().isEmpty())
            return {};
        try {
            filter = ol::Filter::parse(text);
        } catch (const ol::Error& e) {
            run.filterError(kind, text);
            return e.message();
        }
        const std::vector<int> columns = columnsOfProps(table);
        for (int id : filter->properties()) {
            if (columns[size_t(id)] < 0) {
                const QString missing = QStringLiteral("names [%1], which the exchange file does not hold")
                                            .arg(ol::propertyDef(id).name);
                run.error(
                    QStringLiteral("The Import filter for %1 Sync:").arg(kind) + kCr + text + kCr + missing +
                    QStringLiteral(". Please check this in preferences. ") +
                    (mode.manual ? QStringLiteral("Import aborted.") : QStringLiteral("Sync aborted.")));
                return missing;
            }
        }
        return {};
    };
    if (doContacts) {
        if (const QString refusal =
                parseImportFilter(QStringLiteral("Contact"), contactText, contactBindings(), contactFilter);
            !refusal.isEmpty())
            return fail(refusal, QStringLiteral("Syntax error in Contact Import Filter."));
    }
    if (doCalendar) {
        if (const QString refusal = parseImportFilter(QStringLiteral("Calendar"), calendarText,
                                                      calendarBindings(), calendarFilter);
            !refusal.isEmpty())
            return fail(refusal, QStringLiteral("Syntax error in Calendar Import Filter."));
    }
    if (debugOn()) {
        if (doContacts) {
            debug(QStringLiteral(":Contact SQL = ") +
                  (contactFilter ? contactText + QStringLiteral(" AND ") : QString()) + kImportedContacts);
            // The file's rows are chosen by the same filter, evaluated over them (never run as SQL);
            // the line names that selection in the query form a reader of the log knows.
            debug(QStringLiteral(":Contact MDB SQL = Select * FROM Contacts") +
                  (contactFilter ? QStringLiteral(" Where ") + contactText : QString()));
        }
    }

    try {
        // One transaction per store: the contacts' and, when it is another, the calendar's, whose
        // changes are recorded so that the two commit as one.
        std::unique_ptr<ol::Batch> contactBatch, calendarBatch;
        if (doContacts)
            contactBatch = std::make_unique<ol::Batch>(m.gOlContactFolder);
        if (doCalendar && !(doContacts && sameStore(m.gOlContactFolder, m.gOlCalendarFolder)))
            calendarBatch = std::make_unique<ol::Batch>(
                m.gOlCalendarFolder, contactBatch ? ol::Batch::Recorded : ol::Batch::Plain);
        const auto cancelled = [&] {
            if (!(mProgress && mProgress->cancelled()))
                return false;
            status(QStringLiteral("Importing cancelled by user"));
            outcome.tag = kExitSyncTag;
            return true;
        };

        if (doContacts) {
            status(QStringLiteral("Contact sync started..."));
            const auto& columns = contactBindings();
            std::vector<Row> rows = readRows(file->db(), kContactsTable, columns, "");
            if (!rows.empty()) {
                if (contactFilter) {
                    const std::vector<int> propColumns = columnsOfProps(columns);
                    std::erase_if(rows, [&](const Row& r) {
                        return !contactFilter->matches(RowSource(r, propColumns));
                    });
                }
                ol::ItemsPtr earlier = m.gOlContacts->Restrict(kImportedContacts);
                if (contactFilter)
                    earlier = earlier->Restrict(*contactFilter);
                const bool version10 = ol::versionNumber(m.gOlApp->Version()) > 9;
                status(QStringLiteral("Deleting local contacts..."));
                for (int i = earlier->Count(); i >= 1; --i)
                    earlier->Item(i)->Delete();
                checkpoint(QStringLiteral("import-deleted"), 0);
                const int count = static_cast<int>(rows.size());
                if (mProgress)
                    mProgress->begin(count + 20);
                const ol::ItemsPtr target = m.gOlContactFolder->Items();
                for (int r = 0; r < count; ++r) {
                    const Row& row = rows[r];
                    status(QStringLiteral("Importing ") + row.values[kContactSubject].toString());
                    if (cancelled())
                        return outcome;
                    const ol::ItemPtr contact = target->Add();
                    const auto setColumn = [&](size_t c) {
                        const QVariant& value = row.values[c];
                        if (!value.isValid())
                            return;
                        try {
                            contact->set(columns[c].prop, value);
                        } catch (const ol::Error&) {
                            // A value the property does not take is skipped.
                        }
                    };
                    for (size_t c = 0; c < columns.size(); ++c) {
                        const unsigned flags = columns[c].def->flags;
                        if (columns[c].used() && !(flags & (kNotImported | kVersion10)))
                            setColumn(c);
                    }
                    if (version10) {
                        for (size_t c : {30, 34, 38, 29, 33, 37, 58})
                            setColumn(c);
                    }
                    contact->Save();
                    checkpoint(QStringLiteral("import-row"), r + 1);
                }
                outcome.contacts = count;
            }
        }

        if (doCalendar) {
            status(QStringLiteral("Appointment sync started..."));
            const auto& columns = calendarBindings();
            std::vector<Row> rows = readRows(file->db(), kCalendarTable, columns, " ORDER BY \"Start\" ASC");
            if (!rows.empty()) {
                if (calendarFilter) {
                    const std::vector<int> propColumns = columnsOfProps(columns);
                    std::erase_if(rows, [&](const Row& r) {
                        return !calendarFilter->matches(RowSource(r, propColumns));
                    });
                }
                // The window: whole days from the first start to the last one of the rows chosen.
                QDate first, last;
                for (const Row& row : rows) {
                    const QDateTime start = row.values[kCalendarStart].toDateTime();
                    if (!start.isValid())
                        continue;
                    if (!first.isValid() || start.date() < first)
                        first = start.date();
                    if (!last.isValid() || start.date() > last)
                        last = start.date();
                }
                if (first.isValid()) {
                    const QString window =
                        QStringLiteral("[Start] >= '%1' AND [Start] < '%2' AND [Categories] = 'QELSync'")
                            .arg(ol::filterDate(first), ol::filterDate(last.addDays(1)));
                    ol::ItemsPtr earlier = m.gOlCalendarItems->Restrict(window);
                    if (calendarFilter)
                        earlier = earlier->Restrict(*calendarFilter);
                    if (debugOn()) {
                        debug(QStringLiteral(":Calendar SQL = ") +
                              (calendarFilter ? calendarText + QStringLiteral(" AND ") : QString()) + window);
                        debug(QStringLiteral(":Calendar MDB SQL = Select * FROM Calendar") +
                              (calendarFilter ? QStringLiteral(" Where ") + calendarText : QString()) +
                              QStringLiteral(" ORDER BY START ASC"));
                    }
                    status(QStringLiteral("Deleting local appointments..."));
                    for (int i = earlier->Count(); i >= 1; --i)
                        earlier->Item(i)->Delete();
                }
                checkpoint(QStringLiteral("import-deleted"), 1);
                const int count = static_cast<int>(rows.size());
                if (mProgress)
                    mProgress->begin(count + 5);
                const ol::ItemsPtr target = m.gOlCalendarFolder->Items();
                for (int r = 0; r < count; ++r) {
                    const Row& row = rows[r];
                    status(QStringLiteral("Importing ") + row.values[kCalendarSubject].toString());
                    if (cancelled())
                        return outcome;
                    const ol::ItemPtr appointment = target->Add();
                    const auto setOn = [&](auto& object, size_t c) {
                        const QVariant& value = row.values[c];
                        if (!value.isValid())
                            return;
                        try {
                            object.set(columns[c].prop, value);
                        } catch (const ol::Error&) {
                        }
                    };
                    for (size_t c = 0; c < size_t(kFirstPatternColumn); ++c) {
                        if (c != 15 && columns[c].used() && !(columns[c].def->flags & kNotImported))
                            setOn(*appointment, c);
                    }
                    setOn(*appointment, 15); // End after Start
                    if (row.values[kCalendarIsRecurring].toBool()) {
                        const ol::RecurrencePatternPtr pattern = appointment->GetRecurrencePattern();
                        for (size_t c = kFirstPatternColumn; c < columns.size(); ++c)
                            setOn(*pattern, c);
                    }
                    appointment->Save();
                    checkpoint(QStringLiteral("import-row"), r + 1);
                }
                outcome.appointments = count;
            }
        }

        checkpoint(QStringLiteral("import-commit"), 0);
        if (contactBatch && calendarBatch)
            contactBatch->commitWith(*calendarBatch, [&] { checkpoint(QStringLiteral("import-commit"), 1); });
        else if (contactBatch)
            contactBatch->commit();
        else if (calendarBatch)
            calendarBatch->commit();
    } catch (const ol::Error& e) {
        const QString text = QStringLiteral("The import from ") + path +
                             QStringLiteral(" failed; the store was left as it was: ") + e.message();
        run.error(text);
        outcome.contacts = outcome.appointments = 0;
        return fail(text, QStringLiteral("Import failed."));
    } catch (const std::exception& e) {
        const QString text = QStringLiteral("The import from ") + path +
                             QStringLiteral(" failed; the store was left as it was: ") +
                             QString::fromUtf8(e.what());
        run.error(text);
        outcome.contacts = outcome.appointments = 0;
        return fail(text, QStringLiteral("Import failed."));
    }

    if (mode.manual) {
        if (outcome.contacts + outcome.appointments > 0)
            dialogs().message(exchangeSummary(false, outcome));
        else
            dialogs().message(QStringLiteral("No data was found to import."));
    }
    return outcome;
}

} // namespace qel
