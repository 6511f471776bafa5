// The export and import engines on a store of their own: a round trip of every column, repeated
// imports, the date window, cancel, a killed importing process, the refusal of files that are not
// exchange files, and one filter selecting the same in the file as in the store. What the store
// holds is read through a fresh connection.

#include "ExchangeTesting.h"

#include "exchange/ExchangeFile.h"
#include "exchange/ExchangeSchema.h"
#include "support/SeamScope.h"

#include <QDirIterator>
#include <SQLiteCpp/SQLiteCpp.h>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace exchangetest;
using qel::exchange::ColumnDef;

namespace {

// A value of the property's type that is not its default: texts with quotes, line breaks and
// non-Latin letters, a date with seconds on a leap day, numbers, Booleans.
QVariant sample(const ol::PropertyDef& def, int salt) {
    switch (def.type) {
    case ol::PropType::DateTime:
        return QDateTime(QDate(1980 + 4 * (salt % 5), 2, 29), QTime(13, 45, salt % 60));
    case ol::PropType::Integer:
        return 1 + salt % 2;
    case ol::PropType::Boolean:
        return true;
    case ol::PropType::Keywords:
        return QStringLiteral("Family, Größe");
    default:
        return QStringLiteral("%1 O'Brien \"q\"\r\nline two Ωμέγα 日本 %2").arg(def.name).arg(salt);
    }
}

QStringList withSync(const QString& categories) {
    return ol::splitKeywords(qel::withSyncCategory(categories));
}

int rowCount(const QString& path, const char* table) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    return db.execAndGet(std::string("SELECT COUNT(*) FROM ") + table).getInt();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList partFiles(const QString& dir) {
    QStringList out;
    for (QDirIterator it(dir, {QStringLiteral("*.part")}, QDir::Files); it.hasNext();)
        out << it.next();
    return out;
}

} // namespace

class ExchangeEngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every column the import sets survives export and import into an empty store, property by
    // property; Categories gains the sync category; a recurring series keeps its pattern; an
    // appointment outside the window that does not recur stays behind; dates are written in the
    // one fixed form.
    void roundTripOfEveryColumn() {
        Harness source(QStringLiteral("source"));
        const ol::ItemPtr contact = source.gOlContactFolder->Items()->Add(ol::olContactItem);
        int salt = 0;
        for (const ColumnDef& column : qel::exchange::kContactColumns) {
            if (!column.property || (column.flags & qel::exchange::kNotImported))
                continue;
            const ol::PropertyDef* def = ol::findProperty(QString::fromLatin1(column.property));
            QVERIFY2(def, column.property);
            contact->set(def->id, def->id == ol::prop::MessageClass
                                      ? QVariant(QStringLiteral("IPM.Contact.Custom"))
                                      : sample(*def, ++salt));
        }
        contact->Save();
        const QString contactId = contact->EntryID();

        const ol::ItemPtr meeting = source.gOlCalendarFolder->Items()->Add(ol::olAppointmentItem);
        const ol::ItemPtr series = source.gOlCalendarFolder->Items()->Add(ol::olAppointmentItem);
        for (const ColumnDef& column : qel::exchange::kCalendarColumns) {
            if (!column.property || (column.flags & (qel::exchange::kNotImported | qel::exchange::kPattern)))
                continue;
            const ol::PropertyDef* def = ol::findProperty(QString::fromLatin1(column.property));
            QVERIFY2(def, column.property);
            if (def->type != ol::PropType::DateTime && def->id != ol::prop::AllDayEvent) {
                meeting->set(def->id, sample(*def, ++salt));
                series->set(def->id, sample(*def, ++salt));
            }
        }
        meeting->set(ol::prop::Subject, QStringLiteral("Meeting 'Zürich'\r\nsecond line"));
        meeting->set(ol::prop::ReplyTime, QDateTime(QDate(2025, 3, 14), QTime(8, 5, 7)));
        meeting->set(ol::prop::Start, QDateTime(QDate(2025, 3, 20), QTime(14, 30, 15)));
        meeting->set(ol::prop::End, QDateTime(QDate(2025, 3, 20), QTime(16, 0)));
        meeting->Save();
        series->set(ol::prop::Subject, QStringLiteral("Weekly series"));
        series->set(ol::prop::Start, QDateTime(QDate(2020, 1, 6), QTime(9, 0)));
        series->set(ol::prop::End, QDateTime(QDate(2020, 1, 6), QTime(10, 0)));
        const ol::RecurrencePatternPtr pattern = series->GetRecurrencePattern();
        for (int id = 0; id < ol::pattern::Count; ++id)
            pattern->set(id, sample(ol::patternPropertyDef(id), id));
        series->Save();
        source.addAppointment(QStringLiteral("Long past"), QDateTime(QDate(2024, 1, 1), QTime(9, 0)));

        const QString file = source.dir + QStringLiteral("/every.mdb");
        const qel::ExchangeOutcome exported = source.exportTo(file);
        QVERIFY2(exported.ok(), qPrintable(exported.failure));
        QCOMPARE(exported.contacts, 1);
        QCOMPARE(exported.appointments, 2);
        {
            SQLite::Database db(file.toStdString(), SQLite::OPEN_READONLY);
            QCOMPARE(QString::fromStdString(db.execAndGet("SELECT Birthday FROM Contacts").getString()),
                     contact->get(ol::prop::Birthday)
                         .toDateTime()
                         .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
            QCOMPARE(QString::fromStdString(db.execAndGet("SELECT EntryID FROM Contacts").getString()),
                     contactId);
        }

        Harness target(QStringLiteral("target"));
        const qel::ExchangeOutcome imported = target.importFrom(file);
        QVERIFY2(imported.ok(), qPrintable(imported.failure));
        QCOMPARE(imported.contacts, 1);
        QCOMPARE(imported.appointments, 2);

        const ol::ApplicationPtr fresh = ol::Application::create(target.dir + QStringLiteral("/store"));
        const ol::ItemsPtr contacts =
            fresh->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"))->Items();
        QCOMPARE(contacts->Count(), 1);
        const ol::ItemPtr copy = contacts->Item(1);
        for (const ColumnDef& column : qel::exchange::kContactColumns) {
            if (!column.property || (column.flags & qel::exchange::kNotImported))
                continue;
            const int id = ol::findProperty(QString::fromLatin1(column.property))->id;
            if (id == ol::prop::Categories)
                QCOMPARE(ol::splitKeywords(copy->get(id).toString()), withSync(contact->get(id).toString()));
            else
                QVERIFY2(
                    copy->get(id) == contact->get(id),
                    qPrintable(QStringLiteral("%1: %2 != %3")
                                   .arg(QLatin1String(column.property), copy->text(id), contact->text(id))));
        }

        const ol::ItemsPtr calendar =
            fresh->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Calendar"))->Items();
        QCOMPARE(calendar->Count(), 2);
        for (const ol::ItemPtr& original : {meeting, series}) {
            const ol::ItemPtr copy2 = calendar->Item(original->Subject());
            for (const ColumnDef& column : qel::exchange::kCalendarColumns) {
                if (!column.property ||
                    (column.flags & (qel::exchange::kNotImported | qel::exchange::kPattern)))
                    continue;
                const int id = ol::findProperty(QString::fromLatin1(column.property))->id;
                if (id == ol::prop::Categories)
                    QCOMPARE(ol::splitKeywords(copy2->get(id).toString()),
                             withSync(original->get(id).toString()));
                else
                    QVERIFY2(copy2->get(id) == original->get(id), column.property);
            }
            QCOMPARE(copy2->get(ol::prop::IsRecurring).toBool(), original == series);
        }
        const ol::RecurrencePatternPtr copied =
            calendar->Item(QStringLiteral("Weekly series"))->GetRecurrencePattern();
        for (int id = 0; id < ol::pattern::Count; ++id)
            QVERIFY2(copied->get(id) == pattern->get(id), qPrintable(ol::patternPropertyDef(id).name));
    }

    // The sync category rule: appended once, kept when present (letter case counts).
    void syncCategoryRule() {
        QCOMPARE(qel::withSyncCategory(QStringLiteral("Family")), QStringLiteral("Family,QELSync"));
        QCOMPARE(qel::withSyncCategory(QString()), QStringLiteral("QELSync"));
        QCOMPARE(qel::withSyncCategory(QStringLiteral("A, QELSync")), QStringLiteral("A, QELSync"));
        QCOMPARE(qel::withSyncCategory(QStringLiteral("qelsync")), QStringLiteral("qelsync,QELSync"));
    }

    // A second import replaces the first: one copy of each; a QELSync contact made by hand goes
    // too, a contact without it stays; an appointment of an earlier import outside the file's days
    // survives, one on the file's last day (after midnight) does not double.
    void importingTwiceLeavesOneCopy() {
        Harness source(QStringLiteral("twice-source"));
        source.addContact(QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("Family"));
        source.addContact(QStringLiteral("Bob"), QStringLiteral("Ray"));
        source.addAppointment(QStringLiteral("First"), QDateTime(QDate(2025, 3, 16), QTime(8, 0)));
        source.addAppointment(QStringLiteral("Last"), QDateTime(QDate(2025, 4, 2), QTime(23, 0)));
        const QString file = source.dir + QStringLiteral("/twice.mdb");
        QVERIFY(source.exportTo(file).ok());

        Harness target(QStringLiteral("twice-target"));
        target.addContact(QStringLiteral("Own"), QStringLiteral("Person"));
        target.addContact(QStringLiteral("Hand"), QStringLiteral("Made"), QStringLiteral("QELSync"));
        target.addAppointment(QStringLiteral("Old import"), QDateTime(QDate(2025, 5, 1), QTime(9, 0)), 60,
                              QStringLiteral("QELSync"));
        QVERIFY(target.importFrom(file).ok());
        const QStringList once = target.snapshot();
        QVERIFY(target.importFrom(file).ok());
        QCOMPARE(target.snapshot(), once);
        QCOMPARE(once.filter(QStringLiteral("Ann Lee")).size(), 1);
        QCOMPARE(once.filter(QStringLiteral("Last")).size(), 1);
        QVERIFY(once.filter(QStringLiteral("Hand Made")).isEmpty());
        QCOMPARE(once.filter(QStringLiteral("Own Person")).size(), 1);
        QCOMPARE(once.filter(QStringLiteral("Old import")).size(), 1);
        QCOMPARE(once.size(), 6);
    }

    // Without the safe items the protected columns stay Null, and with a store of version 9 the
    // address types, display names and IMAddress too; such a file imports without them. A file
    // whose Contacts table is empty leaves the store's contacts alone, QELSync ones included.
    void safeItemAndVersionRules() {
        Harness h(QStringLiteral("safe"));
        const ol::ItemPtr c = h.addContact(QStringLiteral("Ann"), QStringLiteral("Lee"));
        c->set(ol::prop::Body, QStringLiteral("Notes"));
        c->set(ol::prop::Email1Address, QStringLiteral("ann@example.org"));
        c->set(ol::prop::Email1DisplayName, QStringLiteral("Ann"));
        c->set(ol::prop::IMAddress, QStringLiteral("ann@im"));
        c->Save();
        const auto column = [](const QString& path, const char* name) {
            SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
            SQLite::Statement q(db, std::string("SELECT \"") + name + "\" FROM Contacts");
            q.executeStep();
            return q.getColumn(0).isNull() ? QStringLiteral("<null>")
                                           : QString::fromStdString(q.getColumn(0).getString());
        };
        const QString v9 = h.dir + QStringLiteral("/v9.mdb");
        h.gOlApp->setVersion(QStringLiteral("9.0.0.2711"));
        QVERIFY(h.exportTo(v9).ok());
        QCOMPARE(column(v9, "Email1Address"), QStringLiteral("ann@example.org"));
        QCOMPARE(column(v9, "Email1DisplayName"), QStringLiteral("<null>"));
        QCOMPARE(column(v9, "IMAddress"), QStringLiteral("<null>"));
        h.gNoRedemption = true;
        const QString plain = h.dir + QStringLiteral("/plain.mdb");
        QVERIFY(h.exportTo(plain).ok());
        for (const char* name : {"Body", "Email1Address", "NetMeetingAlias", "ReferredBy"})
            QCOMPARE(column(plain, name), QStringLiteral("<null>"));
        QCOMPARE(column(plain, "LastName"), QStringLiteral("Lee"));

        Harness target(QStringLiteral("safe-target"));
        target.addContact(QStringLiteral("Kept"), QStringLiteral("Sync"), QStringLiteral("QELSync"));
        QVERIFY(target.importFrom(plain).ok());
        const ol::ItemPtr copy = target.gOlContacts->Item(QStringLiteral("Ann Lee"));
        QCOMPARE(copy->text(ol::prop::Body), QString());
        QCOMPARE(copy->text(ol::prop::Email1Address), QString());

        h.settings.syncData = {false, true, false, false};
        const QString noContacts = h.dir + QStringLiteral("/no-contacts.mdb");
        QVERIFY(h.exportTo(noContacts).ok());
        const QStringList before = target.snapshot();
        QVERIFY(target.importFrom(noContacts).ok());
        QCOMPARE(target.snapshot(), before);
    }

    // A cancelled or refused export leaves the old file byte for byte and no partial file; the
    // manual export's summary counts beyond 16 bits are not at stake but its text is the one shown.
    void exportKeepsTheOldFileUnlessItFinishes() {
        qeltest::SeamScope seams;
        Harness h(QStringLiteral("export-keep"));
        for (int i = 0; i < 5; ++i)
            h.addContact(QStringLiteral("N%1").arg(i), QStringLiteral("Doe"));
        const QString file = h.dir + QStringLiteral("/keep.mdb");
        seams.dialogs.expectMessage(
            QStringLiteral("Export finished:\r\n\r\n5 Contact(s) Exported\r\n0 "
                           "Appointment(s) Exported\r\n0 Task(s) Exported\r\n0 Note(s) "
                           "Exported\r\n"));
        QVERIFY(h.engine->ExportToExchangeFile(file, qel::ExchangeMode{true, false}).ok());
        const QByteArray before = fileBytes(file);
        QCOMPARE(rowCount(file, "Contacts"), 5);

        h.addContact(QStringLiteral("New"), QStringLiteral("One"));
        CancellingProgress cancel(3);
        h.engine->setProgress(&cancel);
        const qel::ExchangeOutcome cancelled = h.exportTo(file);
        QCOMPARE(cancelled.tag, qel::kExitSyncTag);
        QCOMPARE(h.engine->lastStatus(), QStringLiteral("Exporting cancelled by user"));
        QCOMPARE(fileBytes(file), before);
        h.engine->setProgress(nullptr);

        h.settings.filters.exportFilter[qel::SyncFilters::Calendar] = QStringLiteral("[Start] >= 'soon'");
        const qel::ExchangeOutcome refused = h.exportTo(file);
        QCOMPARE(refused.tag, qel::kContactErrorTag);
        QCOMPARE(h.engine->lastStatus(), QStringLiteral("Syntax error in Calendar Export Filter."));
        QCOMPARE(fileBytes(file), before);
        QVERIFY(partFiles(h.dir).isEmpty());
    }

    // Without its template the export refuses with the places it looked in and writes nothing; a
    // target it cannot replace is refused as in use and left as it was.
    void aMissingTemplateOrAnUnwritableTargetIsAClearError() {
        qeltest::SeamScope seams;
        Harness h(QStringLiteral("template"));
        h.addContact(QStringLiteral("Ann"), QStringLiteral("Lee"));
        const QString empty = h.dir + QStringLiteral("/no-template");
        QDir().mkpath(empty);
        qel::exchange::setTemplateFolders({empty});
        const QString file = h.dir + QStringLiteral("/out.mdb");
        seams.dialogs.expectMessage(
            QStringLiteral("The empty exchange file EmptyContacts.mdb was not found in ") + empty);
        const qel::ExchangeOutcome outcome =
            h.engine->ExportToExchangeFile(file, qel::ExchangeMode{true, false});
        qel::exchange::setTemplateFolders({});
        QCOMPARE(outcome.tag, qel::kContactErrorTag);
        QVERIFY(!QFile::exists(file));
        QVERIFY(partFiles(h.dir).isEmpty());

        // A target in a folder that does not exist, and one that cannot be written (in use).
        QCOMPARE(h.exportTo(h.dir + QStringLiteral("/none/out.mdb")).tag, qel::kContactErrorTag);
        QVERIFY(h.engine->lastStatus().contains(QStringLiteral("no such folder")));
        // A target that cannot be replaced (here a folder of that name): written in full beside it,
        // the rename refused, the partial file removed.
        const QString blocked = h.dir + QStringLiteral("/blocked.mdb");
        QVERIFY(QDir().mkpath(blocked + QStringLiteral("/inside")));
        const qel::ExchangeOutcome locked = h.exportTo(blocked);
        QCOMPARE(locked.tag, qel::kContactErrorTag);
        QCOMPARE(h.engine->lastStatus(), blocked + QStringLiteral(" is in use!."));
        QVERIFY(QFileInfo(blocked + QStringLiteral("/inside")).isDir());
        QVERIFY(partFiles(h.dir).isEmpty());
    }

    // Files that are not exchange files are refused with the reason before anything is deleted.
    void badFilesAreRefusedBeforeAnythingChanges() {
        Harness h(QStringLiteral("refuse"));
        h.addContact(QStringLiteral("Ann"), QStringLiteral("Lee"));
        const QString good = h.dir + QStringLiteral("/good.mdb");
        QVERIFY(h.exportTo(good).ok());
        QVERIFY(h.importFrom(good).ok());
        const QStringList before = h.snapshot();
        QByteArray bytes = fileBytes(good);

        struct Case {
            QString name;
            std::function<void(const QString&)> make;
            QString reason;
        };
        const auto sqlFile = [](const QString& sql) {
            return [sql](const QString& path) {
                SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
                db.exec(sql.toStdString());
            };
        };
        const auto contactsTable = [](int columns, int swapAt) {
            QStringList names;
            for (int i = 0; i < columns; ++i)
                names << QString::fromLatin1(qel::exchange::kContactColumns[size_t(i)].name);
            if (swapAt >= 0)
                names.swapItemsAt(swapAt, swapAt + 1);
            return QStringLiteral("CREATE TABLE Contacts (%1);").arg(names.join(QLatin1Char(',')));
        };
        const QString calendar = QStringLiteral("CREATE TABLE Calendar (x);");
        const QList<Case> cases{
            {QStringLiteral("empty"), [](const QString& p) { writeBytes(p, {}); }, QStringLiteral("empty")},
            {QStringLiteral("truncated"),
             [&](const QString& p) { writeBytes(p, bytes.left(bytes.size() - 4096)); },
             QStringLiteral("cut short")},
            {QStringLiteral("text"), [](const QString& p) { writeBytes(p, "Name;Phone\r\nAnn;1\r\n"); },
             QStringLiteral("not a database")},
            {QStringLiteral("foreign"), sqlFile(QStringLiteral("CREATE TABLE notes (id, text);")),
             QStringLiteral("table Contacts is missing")},
            {QStringLiteral("nocalendar"), sqlFile(contactsTable(121, -1)),
             QStringLiteral("table Calendar is missing")},
            {QStringLiteral("short"), sqlFile(contactsTable(120, -1) + calendar),
             QStringLiteral("120 columns instead of 121")},
            {QStringLiteral("swapped"), sqlFile(contactsTable(121, 40) + calendar),
             QStringLiteral("column 40 of the table Contacts is FirstName where FileAs belongs")},
            {QStringLiteral("calendar"), sqlFile(contactsTable(121, -1) + calendar),
             QStringLiteral("column 0 of the table Calendar is x where AllDayEvent belongs")},
        };
        for (const Case& c : cases) {
            const QString path = h.dir + QLatin1Char('/') + c.name + QStringLiteral(".mdb");
            c.make(path);
            const qel::ExchangeOutcome outcome = h.importFrom(path);
            QCOMPARE(outcome.tag, qel::kMdbErrorTag);
            QVERIFY2(outcome.failure.contains(c.reason),
                     qPrintable(c.name + QStringLiteral(": ") + outcome.failure));
            QCOMPARE(h.snapshot(), before);
        }
    }

    // A cancel in the middle of the rows leaves the store as it was before the import.
    void cancelLeavesTheStoreAsBefore() {
        Harness source(QStringLiteral("cancel-source"));
        for (int i = 0; i < 10; ++i)
            source.addContact(QStringLiteral("C%1").arg(i), QStringLiteral("Doe"));
        const QString file = source.dir + QStringLiteral("/cancel.mdb");
        QVERIFY(source.exportTo(file).ok());
        Harness target(QStringLiteral("cancel-target"));
        QVERIFY(target.importFrom(file).ok());
        target.addContact(QStringLiteral("Mine"), QStringLiteral("Own"));
        const QStringList before = target.snapshot();
        CancellingProgress cancel(6);
        target.engine->setProgress(&cancel);
        const qel::ExchangeOutcome outcome = target.importFrom(file);
        QCOMPARE(outcome.tag, qel::kExitSyncTag);
        QVERIFY(cancel.lines.contains(QStringLiteral("Deleting local contacts...")));
        QCOMPARE(cancel.lines.last(), QStringLiteral("Importing cancelled by user"));
        QCOMPARE(target.snapshot(), before);
    }

    // A process killed while importing leaves the store either as before or with the whole import.
    void aKilledImportLeavesBeforeOrAfter() {
        Harness source(QStringLiteral("kill-source"));
        for (int i = 0; i < 8; ++i)
            source.addContact(QStringLiteral("K%1").arg(i), QStringLiteral("Doe"), QStringLiteral("New"));
        source.addAppointment(QStringLiteral("Talk"), QDateTime(QDate(2025, 3, 20), QTime(9, 0)));
        const QString file = source.dir + QStringLiteral("/kill.mdb");
        QVERIFY(source.exportTo(file).ok());

        Harness target(QStringLiteral("kill-target"));
        for (int i = 0; i < 8; ++i)
            target.addContact(QStringLiteral("K%1").arg(i), QStringLiteral("Old"), QStringLiteral("QELSync"));
        target.addContact(QStringLiteral("Mine"), QStringLiteral("Own"));
        const QStringList before = target.snapshot();

        struct Point {
            QString name;
            int number;
        };
        const QList<Point> points{{QStringLiteral("import-deleted"), 0},
                                  {QStringLiteral("import-row"), 1},
                                  {QStringLiteral("import-row"), 5},
                                  {QStringLiteral("import-commit"), 0},
                                  {QString(), 0}};
        QStringList after;
        for (const Point& point : points) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                Harness second(target.dir, Harness::Attach{});
                second.settings.syncData = {true, true, false, false};
                second.engine->setCheckpoint([&](const QString& name, int number) {
                    if (name == point.name && number == point.number)
                        ::raise(SIGKILL);
                });
                _exit(second.importFrom(file).ok() ? 0 : 3);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            const QStringList now = target.snapshot();
            if (point.name.isEmpty()) {
                QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                after = now;
            } else {
                QVERIFY2(WIFSIGNALED(status), qPrintable(point.name));
                QCOMPARE(now, before);
            }
        }
        QCOMPARE(after.filter(QStringLiteral(" Doe ")).size(), 8);
        QVERIFY(after.filter(QStringLiteral("Old")).isEmpty());
        QCOMPARE(after.filter(QStringLiteral("Talk")).size(), 1);
    }

    // With the calendar in a second store file, a process killed between the two stores' commits
    // leaves no store with half of the import: the next open completes the calendar's part.
    void aKilledImportAcrossTwoStoresIsCompletedOnTheNextOpen() {
        Harness source(QStringLiteral("two-source"));
        for (int i = 0; i < 4; ++i)
            source.addContact(QStringLiteral("T%1").arg(i), QStringLiteral("Doe"), QStringLiteral("New"));
        source.addAppointment(QStringLiteral("Talk"), QDateTime(QDate(2025, 3, 20), QTime(9, 0)));
        source.addAppointment(QStringLiteral("Walk"), QDateTime(QDate(2025, 3, 22), QTime(9, 0)));
        const QString file = source.dir + QStringLiteral("/two.mdb");
        QVERIFY(source.exportTo(file).ok());

        Harness target(QStringLiteral("two-target"));
        target.addContact(QStringLiteral("T0"), QStringLiteral("Old"), QStringLiteral("QELSync"));
        const ol::FolderPtr archive =
            target.gOlApp->GetNamespace()->Folders()->Add(QStringLiteral("Archive"), ol::olAppointmentItem);
        {
            ol::ItemPtr old = archive->Items()->Add(ol::olAppointmentItem);
            old->set(ol::prop::Subject, QStringLiteral("Stale"));
            old->set(ol::prop::Start, QDateTime(QDate(2025, 3, 21), QTime(9, 0)));
            old->set(ol::prop::Categories, QStringLiteral("QELSync"));
            old->Save();
        }
        // Both stores as a fresh connection sees them (opening them completes what was cut off).
        const auto both = [&] {
            const ol::ApplicationPtr fresh = ol::Application::create(target.dir + QStringLiteral("/store"));
            QStringList out;
            for (const QString& path :
                 {QStringLiteral("Personal Folders\\Contacts"), QStringLiteral("Archive")}) {
                for (const ol::ItemPtr& item : fresh->GetNamespace()->folderByPath(path)->Items())
                    out << path + QStringLiteral(": ") + item->Subject();
            }
            out.sort();
            return out;
        };
        const QStringList before = both();
        QCOMPARE(before.size(), 2);

        const auto importKilledAt = [&](int number) {
            const pid_t child = fork();
            if (child == 0) {
                Harness second(target.dir, Harness::Attach{});
                second.settings.syncData = {true, true, false, false};
                second.gOlCalendarFolder =
                    second.gOlApp->GetNamespace()->folderByPath(QStringLiteral("Archive"));
                second.gOlCalendarItems = second.gOlCalendarFolder->Items();
                second.engine->setCheckpoint([&](const QString& name, int at) {
                    if (name == QStringLiteral("import-commit") && at == number)
                        ::raise(SIGKILL);
                });
                _exit(second.importFrom(file).ok() ? 0 : 3);
            }
            int status = 0;
            return child > 0 && waitpid(child, &status, 0) == child && WIFSIGNALED(status);
        };
        QVERIFY(importKilledAt(0));
        QCOMPARE(both(), before);

        QVERIFY(importKilledAt(1));
        const QStringList after = both();
        QCOMPARE(after.filter(QStringLiteral("Contacts: T")).size(), 4);
        QVERIFY(!after.contains(QStringLiteral("Archive: Stale")));
        QVERIFY(after.contains(QStringLiteral("Archive: Talk")));
        QVERIFY(after.contains(QStringLiteral("Archive: Walk")));
        QCOMPARE(after.size(), 6);
        // Completed once: opening again changes nothing more.
        QCOMPARE(both(), after);
    }

    // One filter selects the same in the file as in the store: dates, numbers, Booleans, letter
    // case and accents, keywords, AND/OR/NOT. The import of each filter creates exactly the items
    // the store's restriction selects; a filter with an error is refused before anything changes.
    void oneFilterSelectsTheSameOnBothSides() {
        Harness source(QStringLiteral("filter-source"));
        const QStringList lasts{QStringLiteral("Müller"), QStringLiteral("muller"), QStringLiteral("MÜLLER"),
                                QStringLiteral("Smith"),  QStringLiteral("O'Neil"), QStringLiteral("Zed")};
        for (int i = 0; i < lasts.size(); ++i) {
            const ol::ItemPtr c = source.addContact(QStringLiteral("P%1").arg(i), lasts[i],
                                                    i % 2 ? QStringLiteral("Family") : QString());
            c->set(ol::prop::Birthday, QDateTime(QDate(1975 + 5 * i, 6, 1), QTime(i % 2 ? 0 : 18, 30)));
            c->set(ol::prop::Gender, i % 3);
            c->set(ol::prop::Journal, i % 2 == 0);
            c->Save();
        }
        const QString file = source.dir + QStringLiteral("/filter.mdb");
        QVERIFY(source.exportTo(file).ok());
        const QStringList filters{
            QStringLiteral("[LastName] = 'muller'"),
            QStringLiteral("[LastName] >= 'N' AND [LastName] < 'T'"),
            QStringLiteral("[Birthday] >= '06/01/1985'"),
            QStringLiteral("[Birthday] < '06/01/1985 6:30 PM' OR [Gender] = 2"),
            QStringLiteral("[Journal] = 'Yes' AND NOT [Categories] = 'Family'"),
            QStringLiteral("[Categories] = 'family'"),
            QStringLiteral("[LastName] = 'O''Neil'"),
        };
        for (const QString& filter : filters) {
            QStringList expected;
            for (const ol::ItemPtr& item : source.gOlContacts->Restrict(filter))
                expected << item->Subject();
            expected.sort();
            QVERIFY2(!expected.isEmpty() && expected.size() < lasts.size(), qPrintable(filter));
            Harness target(QStringLiteral("filter-target"));
            target.settings.filters.importFilter[qel::SyncFilters::Contacts] = filter;
            QVERIFY(target.importFrom(file).ok());
            QStringList got;
            for (const ol::ItemPtr& item : target.gOlContactFolder->Items())
                got << item->Subject();
            got.sort();
            QCOMPARE(got, expected);
        }
        Harness target(QStringLiteral("filter-bad"));
        QVERIFY(target.importFrom(file).ok());
        const QStringList before = target.snapshot();
        // A syntax error, and properties the file does not carry into the item (an EntryID of the
        // other store, an appointment's Duration).
        for (const QString& bad : {QStringLiteral("[Start] = "), QStringLiteral("[EntryID] <> ''"),
                                   QStringLiteral("[Duration] > 30")}) {
            target.settings.filters.importFilter[qel::SyncFilters::Calendar] = bad;
            const qel::ExchangeOutcome refused = target.importFrom(file);
            QCOMPARE(refused.tag, qel::kMdbErrorTag);
            QCOMPARE(target.engine->lastStatus(), QStringLiteral("Syntax error in Calendar Import Filter."));
            QCOMPARE(target.snapshot(), before);
        }
    }
};

QEL_TEST_MAIN(ExchangeEngineTest)
#include "test_exchange_engine.moc"
