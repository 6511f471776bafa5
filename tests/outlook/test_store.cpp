#include "outlook/Outlook.h"
#include "outlook/StoreInternal.h"
#include "support/StoreUiDouble.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>

using namespace ol;

namespace {

const QString kContactBounds =
    QStringLiteral("[MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu'");

QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

qint64 errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

ItemPtr addContact(const FolderPtr& folder, const QString& fullName, const QString& categories = QString()) {
    ItemPtr c = folder->Items()->Add();
    c->Set(QStringLiteral("FullName"), fullName);
    if (!categories.isEmpty())
        c->Set(QStringLiteral("Categories"), categories);
    c->Save();
    return c;
}

QString errorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.message();
    }
    return QString();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList folderNames(const FolderPtr& folder) {
    QStringList names;
    for (const FolderPtr& f : folder->Folders())
        names << f->Name();
    return names;
}

const QStringList kDefaultFolders = {"Inbox", "Calendar", "Contacts", "Tasks", "Notes", "Deleted Items"};

// A store file as the first version of the program wrote it: row ids that SQLite hands out again.
void writeVersion1Store(const QString& path, const QStringList& subfolders, int contacts) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec("PRAGMA journal_mode = WAL");
    db.exec(R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE folders(id INTEGER PRIMARY KEY, parent INTEGER REFERENCES folders(id) ON DELETE CASCADE,
    name TEXT NOT NULL, item_type INTEGER NOT NULL, entry_id TEXT NOT NULL UNIQUE);
CREATE INDEX folders_parent ON folders(parent);
CREATE TABLE items(id INTEGER PRIMARY KEY, folder INTEGER NOT NULL REFERENCES folders(id) ON DELETE CASCADE,
    entry_id TEXT NOT NULL UNIQUE, props BLOB NOT NULL);
CREATE INDEX items_folder ON items(folder, id);
INSERT INTO meta VALUES('store_id', '0000000011112222333344445555666677778888');
INSERT INTO meta VALUES('schema', '1');
INSERT INTO meta VALUES('created', '2025-01-01T00:00:00.000Z');
INSERT INTO folders VALUES(1, NULL, 'Personal Folders', 0, 'F0');
)sql");
    const QList<int> types = {0, 1, 2, 3, 5, 0};
    for (int i = 0; i < subfolders.size(); ++i)
        db.exec(QStringLiteral("INSERT INTO folders VALUES(%1, 1, '%2', %3, 'F%1')")
                    .arg(i + 2)
                    .arg(subfolders[i])
                    .arg(types.value(kDefaultFolders.indexOf(subfolders[i]), 0))
                    .toStdString());
    // Items as the codec writes them: version byte, then (section, name, type, value) entries.
    for (int n = 0; n < contacts; ++n) {
        QByteArray blob(1, '\x01');
        const auto text = [&](const QByteArray& name, const QString& value) {
            blob += '\0';
            blob += char(name.size());
            blob += name;
            blob += '\x01';
            const quint32 size = quint32(value.size());
            blob.append(reinterpret_cast<const char*>(&size), 4);
            blob.append(reinterpret_cast<const char*>(value.utf16()), value.size() * 2);
        };
        text("MessageClass", QStringLiteral("IPM.Contact"));
        text("Subject", QStringLiteral("Old Contact %1").arg(n));
        SQLite::Statement q(db, "INSERT INTO items(folder, entry_id, props) VALUES(4, ?, ?)");
        q.bind(1, QStringLiteral("OLD%1").arg(n).toStdString());
        q.bind(2, blob.constData(), int(blob.size()));
        q.exec();
    }
}

QStringList subjects(const ItemsPtr& items) {
    QStringList out;
    for (const ItemPtr& item : items)
        out << item->Subject();
    return out;
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    ApplicationPtr mApp;
    NameSpacePtr mNs;
    FolderPtr mContacts;

    void open() {
        mApp = Application::create(mDir.path());
        mNs = mApp->GetNamespace();
        mContacts = mNs->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
    }

private Q_SLOTS:
    void init() {
        QVERIFY(mDir.isValid());
        QDir(mDir.path()).removeRecursively();
        QDir().mkpath(mDir.path());
        open();
    }

    void firstRunCreatesPersonalFolders() {
        FoldersPtr stores = mNs->Folders();
        QCOMPARE(stores->Count(), 1);
        FolderPtr root = stores->Item(1);
        QCOMPARE(root->Name(), QStringLiteral("Personal Folders"));
        QVERIFY(!root->Parent());
        QStringList names;
        QList<int> types;
        for (const FolderPtr& f : root->Folders()) {
            names << f->Name();
            types << f->DefaultItemType();
        }
        QCOMPARE(names, QStringList({"Inbox", "Calendar", "Contacts", "Tasks", "Notes", "Deleted Items"}));
        QCOMPARE(types, QList<int>({0, 1, 2, 3, 5, 0}));
        QCOMPARE(mContacts->FolderPath(), QStringLiteral("\\\\Personal Folders\\Contacts"));
        QCOMPARE(mContacts->Parent()->Name(), QStringLiteral("Personal Folders"));
        QCOMPARE(mContacts->StoreID(), root->StoreID());
        QVERIFY(!mContacts->EntryID().isEmpty());
        QCOMPARE(errorOf([&] { root->Folders()->Item(QStringLiteral("Nope")); }), qint64(kErrNotFound));
        QCOMPARE(errorOf([&] { root->Folders()->Item(7); }), qint64(kErrNotFound));
        // Names are found without regard to letter case.
        QCOMPARE(root->Folders()->Item(QStringLiteral("contacts"))->EntryID(), mContacts->EntryID());
    }

    void foldersAndItemsSurviveReopen() {
        FolderPtr sub = mContacts->Folders()->Add(QStringLiteral("Old Friends"));
        QCOMPARE(sub->DefaultItemType(), int(olContactItem));
        ItemPtr c = addContact(sub, QStringLiteral("Ada Lovelace"), QStringLiteral("Work, Golf"));
        const QString id = c->EntryID();
        QVERIFY(!id.isEmpty());
        mContacts.reset();
        sub.reset();
        mNs.reset();
        mApp.reset();
        open();
        FolderPtr again = mNs->folderByPath(QStringLiteral("\\\\Personal Folders\\Contacts\\Old Friends"));
        QCOMPARE(again->Items()->Count(), 1);
        ItemPtr back = again->Items()->Item(1);
        QCOMPARE(back->EntryID(), id);
        QCOMPARE(back->Get(QStringLiteral("LastName")).toString(), QStringLiteral("Lovelace"));
        QCOMPARE(back->Get(QStringLiteral("Categories")).toString(), QStringLiteral("Work, Golf"));
        QVERIFY(back->Get(QStringLiteral("CreationTime")).toDateTime().isValid());
        // Adding a folder whose name exists is refused.
        QCOMPARE(errorOf([&] { mContacts->Folders()->Add(QStringLiteral("old friends")); }),
                 qint64(kErrInvalidArgument));
    }

    void twoStoresAndItemsById() {
        FolderPtr work = mNs->Folders()->Add(QStringLiteral("Work Store"));
        FolderPtr clients = work->Folders()->Add(QStringLiteral("Clients"), olContactItem);
        ItemPtr a = addContact(mContacts, QStringLiteral("Ann Able"));
        ItemPtr b = addContact(clients, QStringLiteral("Bob Baker"));
        QVERIFY(work->StoreID() != mContacts->StoreID());
        QCOMPARE(mNs->GetItemFromID(b->EntryID())->Subject(), QStringLiteral("Bob Baker"));
        QCOMPARE(mNs->GetItemFromID(a->EntryID(), mContacts->StoreID())->Subject(),
                 QStringLiteral("Ann Able"));
        QCOMPARE(mNs->GetItemFromID(b->EntryID())->Parent()->path(), QStringLiteral("Work Store\\Clients"));
        // The wrong store, an unknown id and a deleted item all raise not found.
        QCOMPARE(errorOf([&] { mNs->GetItemFromID(b->EntryID(), mContacts->StoreID()); }),
                 qint64(kErrNotFound));
        QCOMPARE(errorOf([&] { mNs->GetItemFromID(QStringLiteral("00DEADBEEF")); }), qint64(kErrNotFound));
        a->Delete();
        QCOMPARE(errorOf([&] { mNs->GetItemFromID(a->EntryID()); }), qint64(kErrNotFound));
        // A second program on the same folder sees both stores in the order they were made.
        ApplicationPtr other = Application::create(mDir.path());
        FoldersPtr stores = other->GetNamespace()->Folders();
        QCOMPARE(stores->Count(), 2);
        QCOMPARE(stores->Item(1)->Name(), QStringLiteral("Personal Folders"));
        QCOMPARE(stores->Item(2)->Name(), QStringLiteral("Work Store"));
    }

    void itemsCollectionSemantics() {
        for (const char* name : {"Carl Zed", "amy adams", "Bea Brown", "Al Adams", "Dee Dunn"})
            addContact(mContacts, QString::fromUtf8(name));
        ItemsPtr all = mContacts->Items();
        QCOMPARE(all->Count(), 5);
        ItemsPtr as = all->Restrict(QStringLiteral("[LastName] >= 'A' And [LastName] < 'B'"));
        QCOMPARE(as->Count(), 2);
        QCOMPARE(all->Count(), 5); // the original is untouched
        QCOMPARE(subjects(as), QStringList({"amy adams", "Al Adams"}));
        // Sort is stable: equal last names keep their order, descending too.
        as->Sort(QStringLiteral("[LastName]"));
        QCOMPARE(subjects(as), QStringList({"amy adams", "Al Adams"}));
        all->Sort(QStringLiteral("Subject"));
        QCOMPARE(all->Item(1)->Subject(), QStringLiteral("Al Adams"));
        QCOMPARE(subjects(all), QStringList({"Al Adams", "amy adams", "Bea Brown", "Carl Zed", "Dee Dunn"}));
        all->Sort(QStringLiteral("Subject"), true);
        QCOMPARE(all->Item(1)->Subject(), QStringLiteral("Dee Dunn"));
        QCOMPARE(errorOf([&] { all->Sort(QStringLiteral("Nonsense")); }), qint64(kErrFilter));
        // 1-based index; out of range raises.
        QCOMPARE(errorOf([&] { all->Item(0); }), qint64(kErrNotFound));
        QCOMPARE(errorOf([&] { all->Item(6); }), qint64(kErrNotFound));
        // By display name: the first one, letter case ignored; a missing one raises 0x8004010F.
        QCOMPARE(all->Item(QStringLiteral("BEA BROWN"))->Subject(), QStringLiteral("Bea Brown"));
        QCOMPARE(errorOf([&] { all->Item(QStringLiteral("Nobody")); }), qint64(0x8004010F));
        // A rejected filter raises and leaves no collection behind.
        QCOMPARE(errorOf([&] { all->Restrict(QStringLiteral("[LastName] >= ")); }), qint64(kErrFilter));
    }

    void liveCollectionFollowsAddsAndDeletes() {
        ItemsPtr live = mContacts->Items();
        QCOMPARE(live->Count(), 0);
        ItemPtr a = addContact(mContacts, QStringLiteral("One Person"));
        addContact(mContacts, QStringLiteral("Two Person"));
        QCOMPARE(live->Count(), 2);
        ItemsPtr snapshot = live->Restrict(kContactBounds);
        addContact(mContacts, QStringLiteral("Three Person"));
        QCOMPARE(snapshot->Count(), 2); // a restriction is what matched when it ran...
        a->Delete();
        QCOMPARE(snapshot->Count(), 1); // ...less what was deleted since
        QCOMPARE(live->Count(), 2);
        QCOMPARE(subjects(live), QStringList({"Two Person", "Three Person"}));
        // By EntryID: only the collection's own items, and none deleted.
        const ItemPtr three = live->Item(QStringLiteral("Three Person"));
        QCOMPARE(live->ItemWithID(three->EntryID())->Subject(), QStringLiteral("Three Person"));
        QVERIFY(!snapshot->ItemWithID(three->EntryID())); // added after the restriction ran
        QVERIFY(!live->ItemWithID(a->EntryID()));
        QVERIFY(!snapshot->ItemWithID(a->EntryID()));
        // An unsaved new item is in no collection, and deleting it does nothing.
        ItemPtr draft = mContacts->Items()->Add();
        draft->Set(QStringLiteral("FullName"), QStringLiteral("Draft Person"));
        QCOMPARE(live->Count(), 2);
        draft->Delete();
        QCOMPARE(errorOf([&] { a->Delete(); }), qint64(kErrNotFound));
        QCOMPARE(errorOf([&] { a->Save(); }), qint64(kErrNotFound));
    }

    void deletingFromTheLastIndexRemovesExactlyTheRestricted() {
        for (int i = 0; i < 600; ++i)
            addContact(mContacts, QStringLiteral("Person %1 %2").arg(i).arg(i % 3 ? "Keep" : "Sync"),
                       i % 3 ? QStringLiteral("Work") : QStringLiteral("Golf, QELSync"));
        ItemsPtr sync = mContacts->Items()->Restrict(QStringLiteral("[Categories] = 'QELSync'"));
        QCOMPARE(sync->Count(), 200);
        for (int i = sync->Count(); i >= 1; --i)
            sync->Item(i)->Delete();
        QCOMPARE(sync->Count(), 0);
        ItemsPtr rest = mContacts->Items();
        QCOMPARE(rest->Count(), 400);
        QCOMPARE(rest->Restrict(QStringLiteral("[Categories] = 'QELSync'"))->Count(), 0);
        // What was deleted is gone for a fresh program too.
        ApplicationPtr other = Application::create(mDir.path());
        QCOMPARE(other->GetNamespace()
                     ->folderByPath(QStringLiteral("Personal Folders\\Contacts"))
                     ->Items()
                     ->Count(),
                 400);
    }

    void contactNamesStayInStep() {
        ItemPtr c = mContacts->Items()->Add();
        QCOMPARE(c->MessageClass(), QStringLiteral("IPM.Contact"));
        c->Set(QStringLiteral("FullName"), QStringLiteral("John Smith"));
        QCOMPARE(c->Get(QStringLiteral("FirstName")).toString(), QStringLiteral("John"));
        QCOMPARE(c->Get(QStringLiteral("LastName")).toString(), QStringLiteral("Smith"));
        QCOMPARE(c->Subject(), QStringLiteral("John Smith"));
        QCOMPARE(c->Get(QStringLiteral("FileAs")).toString(), QStringLiteral("Smith, John"));
        c->Set(QStringLiteral("LastName"), QStringLiteral("Smythe"));
        QCOMPARE(c->Get(QStringLiteral("FullName")).toString(), QStringLiteral("John Smythe"));
        QCOMPARE(c->Subject(), QStringLiteral("John Smythe"));
        c->Set(QStringLiteral("FullName"), QStringLiteral("Mary Ann van der Berg Jr."));
        QCOMPARE(c->Get(QStringLiteral("FirstName")).toString(), QStringLiteral("Mary"));
        QCOMPARE(c->Get(QStringLiteral("MiddleName")).toString(), QStringLiteral("Ann"));
        QCOMPARE(c->Get(QStringLiteral("LastName")).toString(), QStringLiteral("van der Berg"));
        QCOMPARE(c->Get(QStringLiteral("Suffix")).toString(), QStringLiteral("Jr."));
        c->Set(QStringLiteral("FullName"), QStringLiteral("Smith, Jane Q."));
        QCOMPARE(c->Get(QStringLiteral("FirstName")).toString(), QStringLiteral("Jane"));
        QCOMPARE(c->Get(QStringLiteral("MiddleName")).toString(), QStringLiteral("Q."));
        QCOMPARE(c->Get(QStringLiteral("LastName")).toString(), QStringLiteral("Smith"));
        c->Set(QStringLiteral("FullName"), QStringLiteral("Cher"));
        QCOMPARE(c->Get(QStringLiteral("FirstName")).toString(), QStringLiteral("Cher"));
        QCOMPARE(c->Get(QStringLiteral("LastName")).toString(), QString());
        // A company without a person is shown by its company name.
        ItemPtr firm = mContacts->Items()->Add();
        firm->Set(QStringLiteral("CompanyName"), QStringLiteral("Acme Corp"));
        QCOMPARE(firm->Subject(), QStringLiteral("Acme Corp"));
        // Unknown and read-only properties are refused; a bad value too.
        QCOMPARE(errorOf([&] { c->Get(QStringLiteral("NoSuchThing")); }), qint64(kErrNotFound));
        QCOMPARE(errorOf([&] { c->Get(QStringLiteral("Start")); }), qint64(kErrNotFound));
        QCOMPARE(errorOf([&] { c->Set(QStringLiteral("EntryID"), QStringLiteral("x")); }),
                 qint64(kErrInvalidArgument));
        QCOMPARE(errorOf([&] { c->Set(QStringLiteral("Birthday"), QStringLiteral("someday")); }),
                 qint64(kErrInvalidArgument));
        c->Set(QStringLiteral("Birthday"), QStringLiteral("03/15/1970"));
        QCOMPARE(c->Get(QStringLiteral("Birthday")).toDateTime(), QDateTime(QDate(1970, 3, 15), QTime(0, 0)));
        // A distribution list is not a contact for the class bounds.
        ItemPtr list = mContacts->Items()->Add();
        list->Set(QStringLiteral("MessageClass"), QStringLiteral("IPM.DistList"));
        list->Set(QStringLiteral("Subject"), QStringLiteral("Team"));
        list->Save();
        c->Save();
        ItemsPtr contacts = mContacts->Items()->Restrict(kContactBounds);
        QCOMPARE(subjects(contacts), QStringList({"Cher"}));
    }

    void addressesStayInStep() {
        ItemPtr c = mContacts->Items()->Add();
        c->Set(QStringLiteral("BusinessAddressStreet"), QStringLiteral("1 Main St"));
        c->Set(QStringLiteral("BusinessAddressCity"), QStringLiteral("Springfield"));
        c->Set(QStringLiteral("BusinessAddressState"), QStringLiteral("IL"));
        c->Set(QStringLiteral("BusinessAddressPostalCode"), QStringLiteral("62701"));
        c->Set(QStringLiteral("BusinessAddressCountry"), QStringLiteral("USA"));
        QCOMPARE(c->Get(QStringLiteral("BusinessAddress")).toString(),
                 QStringLiteral("1 Main St\r\nSpringfield, IL 62701\r\nUSA"));
        c->Set(QStringLiteral("HomeAddress"),
               QStringLiteral("Flat 2\n10 Downing Street\nLondon, SW1A 2AA\nUnited Kingdom"));
        QCOMPARE(c->Get(QStringLiteral("HomeAddressStreet")).toString(),
                 QStringLiteral("Flat 2\r\n10 Downing Street"));
        QCOMPARE(c->Get(QStringLiteral("HomeAddressCity")).toString(), QStringLiteral("London"));
        QCOMPARE(c->Get(QStringLiteral("HomeAddressPostalCode")).toString(), QStringLiteral("SW1A 2AA"));
        QCOMPARE(c->Get(QStringLiteral("HomeAddressCountry")).toString(), QStringLiteral("United Kingdom"));
        c->Set(QStringLiteral("OtherAddress"), QStringLiteral("PO Box 7\r\nAustin, TX 78701"));
        QCOMPARE(c->Get(QStringLiteral("OtherAddressState")).toString(), QStringLiteral("TX"));
        QCOMPARE(c->Get(QStringLiteral("OtherAddressCountry")).toString(), QString());
        // Components written back from a parsed address give the same address.
        const QString home = c->Get(QStringLiteral("HomeAddress")).toString();
        c->Set(QStringLiteral("HomeAddressCity"), QStringLiteral("London"));
        QCOMPARE(c->Get(QStringLiteral("HomeAddress")).toString(), home);
        c->Set(QStringLiteral("BusinessAddress"), QString());
        QCOMPARE(c->Get(QStringLiteral("BusinessAddressCity")).toString(), QString());
    }

    void appointmentsAndRecurrence() {
        FolderPtr calendar = mNs->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        ItemPtr a = calendar->Items()->Add();
        QCOMPARE(a->Class(), kAppointment);
        a->Set(QStringLiteral("Subject"), QStringLiteral("Dentist"));
        a->Set(QStringLiteral("Start"), QStringLiteral("03/15/2026 9:30 AM"));
        QCOMPARE(a->Get(QStringLiteral("End")).toDateTime(), QDateTime(QDate(2026, 3, 15), QTime(10, 0)));
        a->Set(QStringLiteral("End"), QStringLiteral("03/15/2026 11:00 AM"));
        QCOMPARE(a->Get(QStringLiteral("Duration")).toInt(), 90);
        a->Set(QStringLiteral("AllDayEvent"), true);
        QCOMPARE(a->Get(QStringLiteral("Start")).toDateTime(), QDateTime(QDate(2026, 3, 15), QTime(0, 0)));
        QCOMPARE(a->Get(QStringLiteral("End")).toDateTime(), QDateTime(QDate(2026, 3, 16), QTime(0, 0)));
        a->Set(QStringLiteral("Categories"), QStringLiteral("QELDay"));
        a->Save();
        QVERIFY(!a->Get(QStringLiteral("IsRecurring")).toBool());

        ItemPtr weekly = calendar->Items()->Add();
        weekly->Set(QStringLiteral("Subject"), QStringLiteral("Standup"));
        weekly->Set(QStringLiteral("Start"), QStringLiteral("03/16/2026 09:00"));
        RecurrencePatternPtr p = weekly->GetRecurrencePattern();
        p->Set(QStringLiteral("RecurrenceType"), 1);
        p->Set(QStringLiteral("Occurrences"), 10);
        p->Set(QStringLiteral("NoEndDate"), false);
        weekly->Save();
        QCOMPARE(errorOf([&] { p->Get(QStringLiteral("Bogus")); }), qint64(kErrNotFound));

        ApplicationPtr other = Application::create(mDir.path());
        ItemsPtr items =
            other->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Calendar"))->Items();
        QCOMPARE(subjects(items->Restrict(QStringLiteral("[Recurring] = 'Yes'"))), QStringList({"Standup"}));
        QCOMPARE(subjects(items->Restrict(
                     QStringLiteral("[Start] = '03/15/2026 12:00 AM' AND [Categories] = 'QELDay'"))),
                 QStringList({"Dentist"}));
        ItemPtr back = items->Item(QStringLiteral("Standup"));
        QVERIFY(back->Get(QStringLiteral("IsRecurring")).toBool());
        QCOMPARE(back->GetRecurrencePattern()->Get(QStringLiteral("Occurrences")).toInt(), 10);
        QCOMPARE(back->GetRecurrencePattern()->Get(QStringLiteral("NoEndDate")).toBool(), false);
        // Contacts have no recurrence.
        QCOMPARE(errorOf([&] { mContacts->Items()->Add()->GetRecurrencePattern(); }), qint64(kErrNotFound));
    }

    void editsStayPrivateUntilSaved() {
        ItemPtr c = addContact(mContacts, QStringLiteral("Pat Private"));
        ItemPtr other = mContacts->Items()->Item(QStringLiteral("Pat Private"));
        other->Set(QStringLiteral("User1"), QStringLiteral("unsaved"));
        QCOMPARE(mContacts->Items()->Item(1)->Get(QStringLiteral("User1")).toString(), QString());
        QVERIFY(!other->Saved());
        other->Save();
        QCOMPARE(mContacts->Items()->Item(1)->Get(QStringLiteral("User1")).toString(),
                 QStringLiteral("unsaved"));
        QVERIFY(c->Get(QStringLiteral("LastModificationTime")).toDateTime().isValid());
    }

    void listValuesAgreeWithTheItemInEveryAlphabet() {
        // A folder keeps its items compactly (text of one byte a character where it fits) and
        // reads single values in place: what a list, a filter and an item handle read must agree,
        // on both sides of the one-byte limit (ÿ U+00FF, Ÿ U+0178, Ā U+0100) and beyond the BMP.
        ItemPtr c = mContacts->Items()->Add();
        c->Set(QStringLiteral("FullName"), QStringLiteral("Ÿvonne Ĳsselstein"));
        c->Set(QStringLiteral("CompanyName"), QStringLiteral("Crème ÿ"));
        c->Set(QStringLiteral("JobTitle"), QString());
        c->Set(QStringLiteral("User1"), QStringLiteral("Ā"));
        c->Set(QStringLiteral("Department"), QStringLiteral("Abteilung Ā")); // beyond eight that fit
        c->Set(QStringLiteral("Body"), QStringLiteral("line one\r\nline 🙂 two"));
        c->Set(QStringLiteral("Birthday"), QStringLiteral("02/29/1996"));
        c->Set(QStringLiteral("Importance"), 2);
        c->setNamedProperty(QStringLiteral("SET"), QStringLiteral("0x1"), QStringLiteral("ĳ"));
        c->setNamedProperty(QStringLiteral("SET"), QStringLiteral("0x2"), 7);
        c->Save();
        addContact(mContacts, QStringLiteral("Other Person"));

        const auto agree = [](const ItemsPtr& items, int index) {
            const ItemPtr item = items->Item(index);
            for (int id = 0; id < prop::Count; ++id) {
                if (!(propertyDef(id).classes & items->itemClass(index)) || id == prop::IsRecurring)
                    continue;
                const QVariant listed = items->value(index, id);
                QVERIFY2(listed == (item->isSet(id) ? item->get(id) : QVariant()),
                         qPrintable(propertyDef(id).name));
                QCOMPARE(propertyText(id, listed), item->text(id));
            }
        };
        ApplicationPtr fresh = Application::create(mDir.path());
        FolderPtr theirs = fresh->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        ItemsPtr items = theirs->Items();
        QCOMPARE(items->Count(), 2);
        agree(items, 1);
        agree(items, 2);
        QCOMPARE(items->value(1, prop::Body).toString(), QStringLiteral("line one\r\nline 🙂 two"));
        QCOMPARE(items->value(1, prop::JobTitle), QVariant(QString()));
        QCOMPARE(items->Item(1)->namedProperty(QStringLiteral("SET"), QStringLiteral("0x1")).toString(),
                 QStringLiteral("ĳ"));
        QCOMPARE(items->Item(1)->namedProperty(QStringLiteral("SET"), QStringLiteral("0x2")).toInt(), 7);
        // Letter case across the limit: Ÿ folds to ÿ, Ā to ā.
        QCOMPARE(items->Item(QStringLiteral("ÿVONNE ĳSSELSTEIN"))->EntryID(), c->EntryID());
        QCOMPARE(subjects(items->Restrict(QStringLiteral("[CompanyName] = 'CRÈME Ÿ' AND [User1] = 'ā'"))),
                 QStringList({"Ÿvonne Ĳsselstein"}));
        QCOMPARE(subjects(items->Restrict(QStringLiteral("[Birthday] = '02/29/1996'"))),
                 QStringList({"Ÿvonne Ĳsselstein"}));

        // A save is read back at once by this connection's lists, and by the other's.
        ItemPtr edit = items->Item(1);
        edit->Set(QStringLiteral("CompanyName"), QStringLiteral("Ωmega"));
        edit->Save();
        QCOMPARE(items->value(1, prop::CompanyName).toString(), QStringLiteral("Ωmega"));
        agree(items, 1);
        QCOMPARE(subjects(mContacts->Items()->Restrict(QStringLiteral("[CompanyName] = 'ωMEGA'"))),
                 QStringList({"Ÿvonne Ĳsselstein"}));
    }

    void changesByAnotherProgramAreSeen() {
        addContact(mContacts, QStringLiteral("First Seen"));
        ItemsPtr mine = mContacts->Items();
        QCOMPARE(mine->Count(), 1);
        ApplicationPtr other = Application::create(mDir.path());
        FolderPtr theirs = other->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        addContact(theirs, QStringLiteral("Second Seen"));
        theirs->Items()->Item(QStringLiteral("First Seen"))->Delete();
        QCOMPARE(subjects(mContacts->Items()), QStringList({"Second Seen"}));
        // A renamed folder is gone under its old name.
        theirs->rename(QStringLiteral("People"));
        QCOMPARE(errorOf([&] { mNs->folderByPath(QStringLiteral("Personal Folders\\Contacts")); }),
                 qint64(kErrNotFound));
        QCOMPARE(mNs->folderByPath(QStringLiteral("Personal Folders\\People"))->Items()->Count(), 1);
    }

    void batchesCommitOrRollBack() {
        {
            Batch batch(mContacts);
            addContact(mContacts, QStringLiteral("Kept Together"));
            batch.commit();
        }
        {
            Batch batch(mContacts);
            addContact(mContacts, QStringLiteral("Rolled Back"));
        }
        QCOMPARE(subjects(mContacts->Items()), QStringList({"Kept Together"}));
        ApplicationPtr other = Application::create(mDir.path());
        QCOMPARE(
            subjects(
                other->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"))->Items()),
            QStringList({"Kept Together"}));
    }

    void damagedStoreFilesAreNeverTouched() {
        mContacts.reset();
        mNs.reset();
        mApp.reset();
        const QString junk = mDir.filePath(QStringLiteral("Broken.store"));
        {
            QFile f(junk);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(8192, 'x'));
        }
        const QByteArray before = fileHash(junk);
        // The damaged file is skipped and named with its reason; the sound store opens.
        {
            ApplicationPtr app = Application::create(mDir.path());
            QCOMPARE(app->GetNamespace()->Folders()->Count(), 1);
            const auto skipped = app->skippedStores();
            QCOMPARE(skipped.size(), size_t(1));
            QCOMPARE(skipped[0].file, junk);
            QVERIFY2(skipped[0].reason.contains(QStringLiteral("not a store file")),
                     qPrintable(skipped[0].reason));
        }
        QCOMPARE(fileHash(junk), before);
        // A folder holding only a damaged store is not "empty": no fresh store is made beside it.
        QDir dir(mDir.path());
        for (const QString& f : dir.entryList({QStringLiteral("Personal*")}))
            QVERIFY(dir.remove(f));
        QCOMPARE(errorOf([&] { Application::create(mDir.path()); }), qint64(kErrStoreFile));
        QCOMPARE(dir.entryList({QStringLiteral("*.store")}), QStringList({"Broken.store"}));
        QCOMPARE(fileHash(junk), before);
        // A store folder that cannot be created is reported as such.
        QCOMPARE(errorOf([&] { Application::create(junk + QStringLiteral("/inside")); }),
                 qint64(kErrCannotCreate));
    }

    void oneBadStoreFileLeavesTheOthersOpen() {
        // Beside the sound store: an empty file, a foreign database, and a store another program
        // holds locked. None is changed; each is named once with its reason.
        const QString empty = mDir.filePath(QStringLiteral("Empty.store"));
        writeFile(empty, QByteArray());
        const QString foreign = mDir.filePath(QStringLiteral("Foreign.store"));
        {
            SQLite::Database db(foreign.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec("CREATE TABLE notes(t TEXT); INSERT INTO notes VALUES('mine')");
        }
        Application::create(mDir.path())->GetNamespace()->Folders()->Add(QStringLiteral("Locked"));
        const QString locked = mDir.filePath(QStringLiteral("Locked.store"));
        const QByteArray foreignHash = fileHash(foreign);
        SQLite::Database holder(locked.toStdString(), SQLite::OPEN_READWRITE);
        holder.exec("PRAGMA locking_mode = EXCLUSIVE");
        holder.exec("BEGIN EXCLUSIVE");
        holder.exec("UPDATE meta SET value = value WHERE key = 'schema'");

        ApplicationPtr app = Application::create(mDir.path());
        FoldersPtr stores = app->GetNamespace()->Folders();
        QCOMPARE(stores->Count(), 1);
        QCOMPARE(stores->Item(1)->Name(), QStringLiteral("Personal Folders"));
        QMap<QString, QString> reasons;
        for (const SkippedStore& skip : app->skippedStores())
            reasons.insert(QFileInfo(skip.file).fileName(), skip.reason);
        QCOMPARE(reasons.keys(), QStringList({"Empty.store", "Foreign.store", "Locked.store"}));
        QVERIFY2(reasons["Empty.store"].contains(QStringLiteral("empty (0 bytes)")),
                 qPrintable(reasons["Empty.store"]));
        QVERIFY2(reasons["Foreign.store"].contains(QStringLiteral("not a store")),
                 qPrintable(reasons["Foreign.store"]));
        QVERIFY2(reasons["Locked.store"].contains(QStringLiteral("busy")),
                 qPrintable(reasons["Locked.store"]));
        QVERIFY(!reasons["Locked.store"].contains(QStringLiteral("damaged")));
        QCOMPARE(QFileInfo(empty).size(), qint64(0));
        QCOMPARE(fileHash(foreign), foreignHash);
        holder.exec("ROLLBACK");

        // With no sound store at all the error names every file and why.
        mContacts.reset();
        mNs.reset();
        mApp.reset();
        app.reset();
        QVERIFY(QFile::remove(mDir.filePath(QStringLiteral("Personal Folders.store"))));
        QVERIFY(QFile::remove(locked));
        const QString message = errorText([&] { Application::create(mDir.path()); });
        QVERIFY2(message.contains(QStringLiteral("Empty.store: it is empty (0 bytes)")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Foreign.store: it is not a store")), qPrintable(message));
        QCOMPARE(QFileInfo(empty).size(), qint64(0));
        QCOMPARE(QDir(mDir.path()).entryList({QStringLiteral("*.store")}),
                 QStringList({"Empty.store", "Foreign.store"}));
    }

    void aSaveNeverLandsOnAnotherItem() {
        // This connection holds B, the newest item; another deletes B and adds C, which SQLite
        // would give B's row.
        const ItemPtr a = addContact(mContacts, QStringLiteral("Ann Older"));
        const ItemPtr b = addContact(mContacts, QStringLiteral("Bea Held"));
        const QString bId = b->EntryID();
        ItemsPtr restricted = mContacts->Items()->Restrict(QStringLiteral("[LastName] = 'Held'"));
        QCOMPARE(restricted->Count(), 1);
        ApplicationPtr other = Application::create(mDir.path());
        other->GetNamespace()->GetItemFromID(bId)->Delete();
        FolderPtr theirs = other->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        ItemPtr c = theirs->Items()->Add();
        c->Set(QStringLiteral("FullName"), QStringLiteral("Cal Newer"));
        c->Set(QStringLiteral("User1"), QStringLiteral("theirs"));
        c->Save();

        b->Set(QStringLiteral("User1"), QStringLiteral("mine"));
        QCOMPARE(errorOf([&] { b->Save(); }), qint64(kErrNotFound));
        QCOMPARE(errorOf([&] { b->Delete(); }), qint64(kErrNotFound));
        // A handle taken before the reload is marked deleted by it, and so are restricted lists.
        ItemPtr stale = mNs->GetItemFromID(a->EntryID());
        QCOMPARE(mContacts->Items()->Count(), 2);
        QCOMPARE(restricted->Count(), 0);
        a->Set(QStringLiteral("User2"), QStringLiteral("still here"));
        a->Save();
        QCOMPARE(mContacts->Items()->ItemWithID(a->EntryID())->Get(QStringLiteral("User2")).toString(),
                 QStringLiteral("still here"));
        Q_UNUSED(stale);

        ApplicationPtr check = Application::create(mDir.path());
        NameSpacePtr ns = check->GetNamespace();
        ItemPtr cBack = ns->GetItemFromID(c->EntryID());
        QCOMPARE(cBack->Subject(), QStringLiteral("Cal Newer"));
        QCOMPARE(cBack->Get(QStringLiteral("User1")).toString(), QStringLiteral("theirs"));
        QCOMPARE(errorOf([&] { ns->GetItemFromID(bId); }), qint64(kErrNotFound));
        QCOMPARE(subjects(ns->folderByPath(QStringLiteral("Personal Folders\\Contacts"))->Items()),
                 QStringList({"Ann Older", "Cal Newer"}));
    }

    void version1StoresAreBroughtUpToDate() {
        mContacts.reset();
        mNs.reset();
        mApp.reset();
        QDir(mDir.path()).removeRecursively();
        QDir().mkpath(mDir.path());
        const QString file = mDir.filePath(QStringLiteral("Personal Folders.store"));
        writeVersion1Store(file, kDefaultFolders, 3);
        open();
        QCOMPARE(subjects(mContacts->Items()),
                 QStringList({"Old Contact 0", "Old Contact 1", "Old Contact 2"}));
        // The newest row deleted and a new item added: the new one takes a row of its own.
        mContacts->Items()->Item(3)->Delete();
        addContact(mContacts, QStringLiteral("New Contact"));
        SQLite::Database db(file.toStdString(), SQLite::OPEN_READONLY);
        QCOMPARE(db.execAndGet("SELECT value FROM meta WHERE key = 'schema'").getString(), std::string("2"));
        QCOMPARE(db.execAndGet("SELECT MAX(id) FROM items").getInt(), 4);
        QCOMPARE(subjects(mContacts->Items()),
                 QStringList({"Old Contact 0", "Old Contact 1", "New Contact"}));
    }

    void halfMadeStoresAreRebuilt() {
        mContacts.reset();
        mNs.reset();
        mApp.reset();
        const QString file = mDir.filePath(QStringLiteral("Personal Folders.store"));
        // A first start killed before its first commit: a database without tables.
        QDir(mDir.path()).removeRecursively();
        QDir().mkpath(mDir.path());
        {
            SQLite::Database db(file.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec("PRAGMA journal_mode = WAL");
        }
        open();
        QCOMPARE(folderNames(mNs->Folders()->Item(1)), kDefaultFolders);
        QVERIFY(mApp->skippedStores().empty());
        addContact(mContacts, QStringLiteral("After Rebuild"));

        // Killed between its default folders (as the first version made them one by one).
        mContacts.reset();
        mNs.reset();
        mApp.reset();
        QDir(mDir.path()).removeRecursively();
        QDir().mkpath(mDir.path());
        writeVersion1Store(file, {"Inbox", "Calendar"}, 0);
        open();
        QCOMPARE(folderNames(mNs->Folders()->Item(1)), kDefaultFolders);
        QCOMPARE(mContacts->DefaultItemType(), int(olContactItem));

        // A failure at any step of making a store leaves no store file; the next start makes it whole.
        for (const char* failAt : {"file", "schema", "folders"}) {
            mContacts.reset();
            mNs.reset();
            mApp.reset();
            QDir(mDir.path()).removeRecursively();
            QDir().mkpath(mDir.path());
            detail::gStoreCreationHook = [failAt](const char* step) {
                if (qstrcmp(step, failAt) == 0)
                    throw std::runtime_error("disk full");
            };
            QCOMPARE(errorOf([&] { Application::create(mDir.path()); }), qint64(kErrCannotCreate));
            detail::gStoreCreationHook = nullptr;
            QCOMPARE(QDir(mDir.path()).entryList({QStringLiteral("*.store")}), QStringList());
            open();
            QCOMPARE(folderNames(mNs->Folders()->Item(1)), kDefaultFolders);
        }
    }

    void damagedStoresAreReadButNeverWritten() {
        FolderPtr calendar = mNs->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        ItemPtr meeting = calendar->Items()->Add();
        meeting->Set(QStringLiteral("Subject"), QStringLiteral("Kept Meeting"));
        meeting->Save();
        {
            Batch batch(mContacts);
            for (int n = 0; n < 1500; ++n) {
                ItemPtr c = mContacts->Items()->Add();
                c->Set(QStringLiteral("FullName"), QStringLiteral("Filler Person%1").arg(n));
                c->Set(QStringLiteral("Body"), QString(200, QLatin1Char('x')));
                c->Save();
            }
            batch.commit();
        }
        mContacts.reset();
        calendar.reset();
        meeting.reset();
        mNs.reset();
        mApp.reset();
        const QString file = mDir.filePath(QStringLiteral("Personal Folders.store"));
        QVERIFY(!QFile::exists(file + QStringLiteral("-wal")) ||
                QFileInfo(file + QStringLiteral("-wal")).size() == 0);
        // Scribble over a page in the middle of the contacts.
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const qint64 pages = f.size() / 4096;
            QVERIFY(pages > 50);
            f.seek((pages * 2 / 3) * 4096);
            f.write(QByteArray(4096, '\x5a'));
        }
        const QByteArray before = fileHash(file);
        open();
        QCOMPARE(mApp->skippedStores().size(), size_t(0));
        calendar = mNs->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        QCOMPARE(subjects(calendar->Items()), QStringList({"Kept Meeting"}));
        const auto add = [&] {
            ItemPtr a = calendar->Items()->Add();
            a->Set(QStringLiteral("Subject"), QStringLiteral("Not Written"));
            a->Save();
        };
        QCOMPARE(errorOf(add), qint64(kErrStoreFile));
        const QString why = errorText(add);
        QVERIFY2(why.contains(QStringLiteral("damaged")) &&
                     why.contains(QStringLiteral("Personal Folders.store")),
                 qPrintable(why));
        QCOMPARE(errorOf([&] { calendar->Folders()->Add(QStringLiteral("New")); }), qint64(kErrStoreFile));
        QCOMPARE(errorOf([&] { Batch batch(calendar); }), qint64(kErrStoreFile));
        mNs.reset();
        calendar.reset();
        mContacts.reset();
        mApp.reset();
        QCOMPARE(fileHash(file), before);
    }

    void aDamagedItemLeavesItsFolderReadable() {
        addContact(mContacts, QStringLiteral("Good Before"));
        const ItemPtr bad = addContact(mContacts, QStringLiteral("Will Break"));
        addContact(mContacts, QStringLiteral("Good After"));
        const QString badId = bad->EntryID();
        {
            SQLite::Database db(mDir.filePath(QStringLiteral("Personal Folders.store")).toStdString(),
                                SQLite::OPEN_READWRITE);
            SQLite::Statement q(db, "UPDATE items SET props = x'01000853756271656374FF' WHERE entry_id = ?");
            q.bind(1, badId.toStdString());
            QCOMPARE(q.exec(), 1);
        }
        ApplicationPtr app = Application::create(mDir.path());
        QStringList warnings;
        app->setWarningHandler([&](const QString& text) { warnings << text; });
        NameSpacePtr ns = app->GetNamespace();
        FolderPtr contacts = ns->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        QCOMPARE(subjects(contacts->Items()), QStringList({"Good Before", "Good After"}));
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].contains(badId) &&
                     warnings[0].contains(QStringLiteral("Personal Folders\\Contacts")),
                 qPrintable(warnings[0]));
        ItemPtr reached = ns->GetItemFromID(badId);
        QVERIFY(!reached->damage().isEmpty());
        QCOMPARE(reached->EntryID(), badId);
        QCOMPARE(errorOf([&] { reached->Save(); }), qint64(kErrStoreFile));
        reached->Delete();
        QCOMPARE(errorOf([&] { Application::create(mDir.path())->GetNamespace()->GetItemFromID(badId); }),
                 qint64(kErrNotFound));
        QCOMPARE(contacts->Items()->Count(), 2);
    }

    void aBusyStoreSaysSo() {
        ItemPtr c = addContact(mContacts, QStringLiteral("Busy Body"));
        SQLite::Database other(mDir.filePath(QStringLiteral("Personal Folders.store")).toStdString(),
                               SQLite::OPEN_READWRITE);
        other.exec("BEGIN IMMEDIATE");
        other.exec("UPDATE meta SET value = value WHERE key = 'schema'");
        c->Set(QStringLiteral("User1"), QStringLiteral("later"));
        const QString why = errorText([&] { c->Save(); });
        QVERIFY2(why.contains(QStringLiteral("busy")) && why.contains(QStringLiteral("Try again")),
                 qPrintable(why));
        QVERIFY(!why.contains(QStringLiteral("damaged")));
        other.exec("ROLLBACK");
        c->Save();
        QCOMPARE(Application::create(mDir.path())
                     ->GetNamespace()
                     ->GetItemFromID(c->EntryID())
                     ->Get(QStringLiteral("User1"))
                     .toString(),
                 QStringLiteral("later"));
    }

    void labelSessionAndSafeItems() {
        FolderPtr calendar = mNs->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        ItemPtr a = calendar->Items()->Add();
        a->Set(QStringLiteral("Subject"), QStringLiteral("Colourful"));
        a->Set(QStringLiteral("Start"), QStringLiteral("04/01/2026 10:00 AM"));
        a->Save();
        const QString set = QStringLiteral("0220060000000000C000000000000046");
        auto session = MapiSession::create(mApp);
        session->Logon();
        auto message = session->GetMessage(a->EntryID(), calendar->StoreID());
        QCOMPARE(errorOf([&] { message->Item(QStringLiteral("0x8214"), set); }), qint64(kErrNotFound));
        message->Add(QStringLiteral("0x8214"), 3, 8, set);
        message->Update();
        session->Logoff();
        auto again = MapiSession::create(mApp);
        again->Logon();
        QCOMPARE(again->GetMessage(a->EntryID(), calendar->StoreID())
                     ->Item(QStringLiteral("0x8214"), set)
                     ->Value()
                     .toInt(),
                 8);
        auto field =
            again->GetMessage(a->EntryID(), calendar->StoreID())->Item(QStringLiteral("0x8214"), set);
        field->setValue(3);
        QCOMPARE(field->Value().toInt(), 3);

        auto safe = SafeItem::create(mApp, QStringLiteral("Redemption.SafeContactItem"));
        QCOMPARE(errorOf([&] { safe->Get(QStringLiteral("Body")); }), qint64(kErrObjectRequired));
        ItemPtr c = addContact(mContacts, QStringLiteral("Safe Reader"));
        safe->setItem(c);
        safe->Set(QStringLiteral("Email1Address"), QStringLiteral("safe@example.com"));
        QCOMPARE(c->Get(QStringLiteral("Email1Address")).toString(), QStringLiteral("safe@example.com"));

        mApp->setSafeItemsAvailable(false);
        mApp->setLabelSessionAvailable(false);
        QCOMPARE(errorOf([&] { SafeItem::create(mApp, QStringLiteral("Redemption.SafeContactItem")); }),
                 qint64(429));
        QCOMPARE(errorOf([&] { MapiSession::create(mApp); }), qint64(429));
    }

    void versionAndUi() {
        QVERIFY(mApp->Version().left(3).toDouble() > 9);
        QVERIFY(versionNumber(mApp->Version()) > 9);
        QCOMPARE(versionNumber(QStringLiteral("9.0.0.1")), 9);
        QCOMPARE(versionNumber(QStringLiteral("0.1.0")), 0);
        QCOMPARE(versionNumber(QStringLiteral("123456")), 123);
        mApp->setVersion(QStringLiteral("9.0.0.1"));
        QCOMPARE(mApp->Version().left(3).toDouble(), 9.0);
        // Without an installed window the store says so rather than pretending.
        QCOMPARE(errorOf([&] { mNs->PickFolder(); }), qint64(kErrCannotCreate));
        QCOMPARE(errorOf([&] { addContact(mContacts, QStringLiteral("No Window"))->Display(); }),
                 qint64(kErrCannotCreate));
    }
};

QEL_TEST_MAIN(TestStore)
#include "test_store.moc"
