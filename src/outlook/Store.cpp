#include "StoreInternal.h"

#include "Collation.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sqlite3.h>
#include <unistd.h>

namespace ol {

namespace detail {

namespace {

const char* const kStoreSuffix = ".store";
// 1: items keyed by a plain row id, which SQLite hands out again after a delete.
// 2: items keyed by AUTOINCREMENT, never reused.
constexpr int kSchemaVersion = 2;

const char* const kSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE folders(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER REFERENCES folders(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    item_type INTEGER NOT NULL,
    entry_id TEXT NOT NULL UNIQUE);
CREATE INDEX folders_parent ON folders(parent);
CREATE TABLE items(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    folder INTEGER NOT NULL REFERENCES folders(id) ON DELETE CASCADE,
    entry_id TEXT NOT NULL UNIQUE,
    props BLOB NOT NULL);
CREATE INDEX items_folder ON items(folder, id);
)sql";

// Schema 1 to 2: the items table again, with row ids that are never handed out twice.
const char* const kItemsToVersion2 = R"sql(
CREATE TABLE items_v2(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    folder INTEGER NOT NULL REFERENCES folders(id) ON DELETE CASCADE,
    entry_id TEXT NOT NULL UNIQUE,
    props BLOB NOT NULL);
INSERT INTO items_v2(id, folder, entry_id, props) SELECT id, folder, entry_id, props FROM items ORDER BY id;
DROP TABLE items;
ALTER TABLE items_v2 RENAME TO items;
CREATE INDEX items_folder ON items(folder, id);
UPDATE meta SET value = '2' WHERE key = 'schema';
)sql";

const QString kDefaultStoreName = QStringLiteral("Personal Folders");
const std::pair<const char*, int> kDefaultFolders[] = {
    {"Inbox", olMailItem}, {"Calendar", olAppointmentItem}, {"Contacts", olContactItem},
    {"Tasks", olTaskItem}, {"Notes", olNoteItem},           {"Deleted Items", olMailItem}};

QString fileNameFor(const QString& dir, const QString& storeName) {
    QString base;
    for (const QChar c : storeName) {
        const bool plain = c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('-') ||
                           c == QLatin1Char('_') || c == QLatin1Char('.');
        base += plain ? c : QLatin1Char('_');
    }
    base = base.trimmed();
    if (base.isEmpty() || base.startsWith(QLatin1Char('.')))
        base.prepend(QStringLiteral("store"));
    QString candidate = dir + QLatin1Char('/') + base + QLatin1String(kStoreSuffix);
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate =
            dir + QLatin1Char('/') + base + QStringLiteral(" (%1)").arg(n) + QLatin1String(kStoreSuffix);
    return candidate;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
std::string ss(const QString& s) {
    return s.toStdString();
}

void configure(SQLite::Database& db) {
    db.setBusyTimeout(3000);
    db.exec("PRAGMA foreign_keys = ON");
    db.exec("PRAGMA synchronous = NORMAL");
}

int sqliteCode(const std::exception& e) {
    const auto* sql = dynamic_cast<const SQLite::Exception*>(&e);
    return sql ? (sql->getErrorCode() & 0xff) : -1;
}

void step(const char* name) {
    if (gStoreCreationHook)
        gStoreCreationHook(name);
}

// Flushes a file or folder to the disk, so that a rename that follows is not seen before the data.
void syncPath(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Holds the store folder's creation lock: one connection at a time makes or rebuilds a store file.
class CreationLock {
public:
    explicit CreationLock(const QString& dir) : mLock(dir + QStringLiteral("/.store-create.lock")) {
        // A holder that was killed is seen at once by its process id, except when it died between
        // making the lock file and writing its id into it: such a file counts as stale by its age,
        // so the wait must outlast that age. Making a store takes milliseconds.
        mLock.setStaleLockTime(10000);
        if (!mLock.tryLock(20000))
            throw Error(kErrStoreFile, QStringLiteral("it is busy: another program is making a store in this "
                                                      "folder. Try again in a moment."));
    }

private:
    QLockFile mLock;
};

// Writes a complete store file at `path`: schema, identity and folders in one transaction.
void buildStoreFile(const QString& path, const QString& name, bool withDefaultFolders, int rootType) {
    SQLite::Database db(ss(path), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.setBusyTimeout(3000);
    db.exec("PRAGMA foreign_keys = ON");
    step("file");
    SQLite::Transaction tx(db);
    db.exec(kSchema);
    step("schema");
    SQLite::Statement meta(db, "INSERT INTO meta(key, value) VALUES(?, ?)");
    const auto put = [&](const char* key, const QString& value) {
        meta.bind(1, key);
        meta.bind(2, ss(value));
        meta.exec();
        meta.reset();
    };
    put("store_id", newEntryId());
    put("schema", QString::number(kSchemaVersion));
    put("created", QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    SQLite::Statement folder(db, "INSERT INTO folders(parent, name, item_type, entry_id) VALUES(?, ?, ?, ?)");
    const auto add = [&](std::optional<qint64> parent, const QString& folderName, int type) {
        if (parent)
            folder.bind(1, static_cast<int64_t>(*parent));
        else
            folder.bind(1);
        folder.bind(2, ss(folderName));
        folder.bind(3, type);
        folder.bind(4, ss(newEntryId()));
        folder.exec();
        folder.reset();
        return db.getLastInsertRowid();
    };
    const qint64 root = add(std::nullopt, name, rootType);
    if (withDefaultFolders) {
        for (const auto& [folderName, type] : kDefaultFolders)
            add(root, QString::fromLatin1(folderName), type);
    }
    step("folders");
    tx.commit();
    db.exec("PRAGMA journal_mode = WAL");
}

// A store file with no tables at all: what a first start killed before its first commit left.
bool holdsNoTables(SQLite::Database& db) {
    return db.execAndGet("SELECT COUNT(*) FROM sqlite_master").getInt64() == 0;
}

// A schema 1 "Personal Folders" whose first start was killed between its folders: no items and a
// first part of the default folders. The missing ones are added (inside the migration's
// transaction).
void completeDefaultFolders(SQLite::Database& db, qint64 rootId) {
    if (db.execAndGet("SELECT COUNT(*) FROM items").getInt64() != 0)
        return;
    SQLite::Statement root(db, "SELECT name FROM folders WHERE id = ?");
    root.bind(1, static_cast<int64_t>(rootId));
    if (!root.executeStep() || qs(root.getColumn(0).getString()) != kDefaultStoreName)
        return;
    if (db.execAndGet("SELECT COUNT(*) FROM folders").getInt64() !=
        1 + db.execAndGet("SELECT COUNT(*) FROM folders WHERE parent = " + std::to_string(rootId)).getInt64())
        return; // folders below the first level: made by a user
    SQLite::Statement children(db, "SELECT name FROM folders WHERE parent = ? ORDER BY id");
    children.bind(1, static_cast<int64_t>(rootId));
    size_t present = 0;
    while (children.executeStep()) {
        if (present == std::size(kDefaultFolders) ||
            qs(children.getColumn(0).getString()) != QLatin1String(kDefaultFolders[present].first))
            return;
        ++present;
    }
    if (present == std::size(kDefaultFolders))
        return;
    SQLite::Statement add(db, "INSERT INTO folders(parent, name, item_type, entry_id) VALUES(?, ?, ?, ?)");
    for (size_t i = present; i < std::size(kDefaultFolders); ++i) {
        add.bind(1, static_cast<int64_t>(rootId));
        add.bind(2, kDefaultFolders[i].first);
        add.bind(3, kDefaultFolders[i].second);
        add.bind(4, ss(newEntryId()));
        add.exec();
        add.reset();
    }
}

} // namespace

std::function<void(const char* step)> gStoreCreationHook;

QString newEntryId() {
    quint32 words[4];
    QRandomGenerator::global()->fillRange(words);
    QString id = QStringLiteral("00000000");
    for (quint32 w : words)
        id += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0')).toUpper();
    return id;
}

QString storeProblem(const std::exception& e) {
    const QString what = QString::fromUtf8(e.what());
    switch (sqliteCode(e)) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("it is busy: another program is using it. Try again in a moment.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("it is damaged (%1)").arg(what);
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
        return QStringLiteral("it cannot be opened for writing (%1)").arg(what);
    default:
        return QStringLiteral("it cannot be used (%1)").arg(what);
    }
}

void throwStoreError(const StoreState& store, const std::exception& e) {
    throw Error(kErrStoreFile, QStringLiteral("The store file %1 cannot be used: %2")
                                   .arg(QDir::toNativeSeparators(store.file), storeProblem(e)));
}

QDateTime AppState::now() const {
    const QDateTime t = clock ? clock() : QDateTime::currentDateTime();
    return t.addMSecs(-t.time().msec());
}

void AppState::warning(const QString& text) const {
    if (warn)
        warn(text);
}

std::shared_ptr<StoreState> AppState::openStore(const QString& file) {
    // Looked at before SQLite sees the file: SQLite would make an empty file a database.
    const QFileInfo info(file);
    if (info.size() == 0)
        throw Error(kErrStoreFile, QStringLiteral("it is empty (0 bytes)"));
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            throw Error(kErrStoreFile, QStringLiteral("it cannot be read (%1)").arg(f.errorString()));
        if (f.read(16) != QByteArray("SQLite format 3\0", 16))
            throw Error(kErrStoreFile, QStringLiteral("it is not a store file, or is damaged at its start"));
    }
    auto store = std::make_shared<StoreState>();
    store->app = weak_from_this();
    store->file = file;
    try {
        store->db = std::make_unique<SQLite::Database>(ss(file), SQLite::OPEN_READWRITE);
        configure(*store->db);
        if (holdsNoTables(*store->db)) {
            store->db.reset();
            CreationLock lock(dir);
            // Another program may have rebuilt it while we waited for the lock.
            SQLite::Database again(ss(file), SQLite::OPEN_READONLY);
            again.setBusyTimeout(3000);
            if (holdsNoTables(again)) {
                const QString name = info.completeBaseName();
                const QString temp =
                    dir + QStringLiteral("/.") + info.fileName() + QStringLiteral(".rebuild");
                QFile::remove(temp);
                buildStoreFile(temp, name, name == kDefaultStoreName, olMailItem);
                syncPath(temp);
                // The old file's journal files describe a database that no longer exists.
                QFile::remove(file + QStringLiteral("-wal"));
                QFile::remove(file + QStringLiteral("-shm"));
                if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(file).constData()) != 0)
                    throw Error(kErrStoreFile, QStringLiteral("it was left half-made and cannot be rebuilt"));
                syncPath(dir);
            }
            store->db = std::make_unique<SQLite::Database>(ss(file), SQLite::OPEN_READWRITE);
            configure(*store->db);
        }
        if (store->db
                ->execAndGet("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                             "('meta', 'folders', 'items')")
                .getInt() != 3)
            throw Error(kErrStoreFile,
                        QStringLiteral("it is not a store file (a database of something else)"));
        SQLite::Statement meta(*store->db, "SELECT key, value FROM meta WHERE key IN ('store_id', 'schema')");
        while (meta.executeStep()) {
            if (meta.getColumn(0).getString() == "store_id")
                store->storeId = qs(meta.getColumn(1).getString());
            else
                store->schema = meta.getColumn(1).getInt();
        }
        if (store->storeId.isEmpty())
            throw Error(kErrStoreFile, QStringLiteral("it is not a store file (no store identity)"));
        SQLite::Statement root(*store->db, "SELECT id FROM folders WHERE parent IS NULL ORDER BY id LIMIT 1");
        if (!root.executeStep())
            throw Error(kErrStoreFile, QStringLiteral("it has no top-level folder"));
        store->rootId = root.getColumn(0).getInt64();
        if (store->schema >= kSchemaVersion &&
            store->db->execAndGet("PRAGMA journal_mode").getString() != "wal")
            store->db->exec("PRAGMA journal_mode = WAL");
        store->dataVersion = store->db->execAndGet("PRAGMA data_version").getInt64();
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throw Error(kErrStoreFile, storeProblem(e));
    }
    if (store->schema < kSchemaVersion) {
        // An older store is brought up to date now, so that its folders are complete; when that
        // cannot be done (damaged, busy) it is read as it is and tried again before a write.
        try {
            store->ensureWritable();
        } catch (const Error&) {
        }
    }
    return store;
}

std::shared_ptr<StoreState> AppState::createStore(const QString& name, bool withDefaultFolders,
                                                  int rootType) {
    try {
        QString file;
        for (int attempt = 0;; ++attempt) {
            file = fileNameFor(dir, name);
            const QString temp = dir + QStringLiteral("/.") + QFileInfo(file).fileName() +
                                 QStringLiteral(".%1.new").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                               QLatin1Char('0'));
            try {
                buildStoreFile(temp, name, withDefaultFolders, rootType);
                syncPath(temp);
            } catch (...) {
                QFile::remove(temp);
                QFile::remove(temp + QStringLiteral("-journal"));
                throw;
            }
            // QFile::rename never replaces a file: a store of that name made meanwhile stays.
            if (QFile::rename(temp, file)) {
                syncPath(dir);
                step("renamed");
                break;
            }
            QFile::remove(temp);
            if (attempt == 3)
                throw Error(kErrCannotCreate, QStringLiteral("the file %1 cannot be made").arg(file));
        }
        auto store = openStore(file);
        stores.push_back(store);
        return store;
    } catch (const std::exception& e) {
        throw Error(kErrCannotCreate,
                    QStringLiteral("Cannot create the store %1 in %2: %3")
                        .arg(name, QDir::toNativeSeparators(dir), QString::fromUtf8(e.what())));
    }
}

void StoreState::noteOwnCommit() {
    dataVersion = db->execAndGet("PRAGMA data_version").getInt64();
}

void StoreState::ensureWritable() {
    if (!damage.isEmpty())
        throw Error(kErrStoreFile, QStringLiteral("The store file %1 is damaged and is not written: %2")
                                       .arg(QDir::toNativeSeparators(file), damage));
    if (checked)
        return;
    try {
        // quick_check reads every page: a damaged store shows here rather than halfway through a write.
        SQLite::Statement check(*db, "PRAGMA quick_check(1)");
        const QString result = check.executeStep() ? qs(check.getColumn(0).getString()) : QString();
        if (result != QLatin1String("ok"))
            damage = result.isEmpty() ? QStringLiteral("quick_check gave no answer") : result;
    } catch (const std::exception& e) {
        if (sqliteCode(e) != SQLITE_CORRUPT && sqliteCode(e) != SQLITE_NOTADB)
            throwStoreError(*this, e);
        damage = QString::fromUtf8(e.what());
    }
    if (!damage.isEmpty())
        ensureWritable();
    if (schema > kSchemaVersion)
        throw Error(
            kErrStoreFile,
            QStringLiteral("The store file %1 was made by a newer version of the program; it is only read.")
                .arg(QDir::toNativeSeparators(file)));
    if (schema < kSchemaVersion) {
        try {
            db->exec("BEGIN IMMEDIATE");
            try {
                schema = db->execAndGet("SELECT value FROM meta WHERE key = 'schema'").getInt();
                if (schema < 2) {
                    db->exec(kItemsToVersion2);
                    completeDefaultFolders(*db, rootId);
                    schema = 2;
                }
                db->exec("COMMIT");
            } catch (...) {
                try {
                    db->exec("ROLLBACK");
                } catch (const std::exception&) {
                }
                throw;
            }
            if (db->execAndGet("PRAGMA journal_mode").getString() != "wal")
                db->exec("PRAGMA journal_mode = WAL");
        } catch (const std::exception& e) {
            throwStoreError(*this, e);
        }
    }
    checked = true;
}

void StoreState::syncWithDisk() {
    qint64 version = 0;
    try {
        version = db->execAndGet("PRAGMA data_version").getInt64();
    } catch (const std::exception& e) {
        throwStoreError(*this, e);
    }
    if (version == dataVersion)
        return;
    dataVersion = version;
    // The records stay until the reload, which marks those that are gone as deleted.
    for (auto& [id, weak] : folders) {
        auto folder = weak.lock();
        if (folder && folder->loaded)
            folder->loaded = false;
    }
}

std::shared_ptr<FolderState> StoreState::folderState(qint64 id, const std::shared_ptr<FolderState>& parent,
                                                     const QString& name, int type, const QString& entryId) {
    std::shared_ptr<FolderState> slot = folders[id].lock();
    if (!slot) {
        slot = std::make_shared<FolderState>();
        slot->app = app.lock();
        slot->id = id;
        slot->entryId = entryId;
        // A folder keeps its store (and the store folder's state) alive.
        for (auto& s : slot->app->stores) {
            if (s.get() == this)
                slot->store = s;
        }
        folders[id] = slot;
    }
    slot->parent = parent;
    slot->name = name;
    slot->type = type;
    slot->gone = false;
    return slot;
}

std::shared_ptr<FolderState> StoreState::root() {
    try {
        SQLite::Statement q(*db, "SELECT name, item_type, entry_id FROM folders WHERE id = ?");
        q.bind(1, static_cast<int64_t>(rootId));
        if (!q.executeStep())
            throw Error(kErrStoreFile, QStringLiteral("the top-level folder is missing"));
        return folderState(rootId, nullptr, qs(q.getColumn(0).getString()), q.getColumn(1).getInt(),
                           qs(q.getColumn(2).getString()));
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throwStoreError(*this, e);
    }
}

std::vector<std::shared_ptr<FolderState>> StoreState::children(const std::shared_ptr<FolderState>& parent) {
    std::vector<std::shared_ptr<FolderState>> result;
    try {
        SQLite::Statement q(*db,
                            "SELECT id, name, item_type, entry_id FROM folders WHERE parent = ? ORDER BY id");
        q.bind(1, static_cast<int64_t>(parent->id));
        while (q.executeStep())
            result.push_back(folderState(q.getColumn(0).getInt64(), parent, qs(q.getColumn(1).getString()),
                                         q.getColumn(2).getInt(), qs(q.getColumn(3).getString())));
    } catch (const std::exception& e) {
        throwStoreError(*this, e);
    }
    return result;
}

std::shared_ptr<FolderState> StoreState::createFolder(const std::shared_ptr<FolderState>& parent,
                                                      const QString& name, int type) {
    const QString entryId = newEntryId();
    try {
        SQLite::Statement q(*db, "INSERT INTO folders(parent, name, item_type, entry_id) VALUES(?, ?, ?, ?)");
        q.bind(1, static_cast<int64_t>(parent->id));
        q.bind(2, ss(name));
        q.bind(3, type);
        q.bind(4, ss(entryId));
        q.exec();
        return folderState(db->getLastInsertRowid(), parent, name, type, entryId);
    } catch (const std::exception& e) {
        throwStoreError(*this, e);
    }
}

void FolderState::checkExists() const {
    if (gone)
        throw Error(kErrNotFound, QStringLiteral("The folder %1 no longer exists.").arg(name));
    try {
        SQLite::Statement q(*store->db, "SELECT name FROM folders WHERE id = ?");
        q.bind(1, static_cast<int64_t>(id));
        if (!q.executeStep()) {
            const_cast<FolderState*>(this)->gone = true;
            throw Error(kErrNotFound, QStringLiteral("The folder %1 no longer exists.").arg(name));
        }
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throwStoreError(*store, e);
    }
}

void FolderState::ensureLoaded() {
    store->syncWithDisk();
    if (loaded)
        return;
    checkExists();
    std::vector<RecordPtr> previous = std::move(records);
    records.clear();
    byEntryId.clear();
    indexed = false;
    deletions.clear();
    deletedInRecords = 0;
    damaged.clear();
    try {
        SQLite::Statement count(*store->db,
                                "SELECT (SELECT COUNT(*) FROM items WHERE folder = ?), COUNT(*) FROM items");
        count.bind(1, static_cast<int64_t>(id));
        bool most = false;
        if (count.executeStep()) {
            const auto n = static_cast<size_t>(count.getColumn(0).getInt64());
            records.reserve(n);
            most = n * 2 > static_cast<size_t>(count.getColumn(1).getInt64());
        }
        // A folder that holds most of the file's items is read in one pass over the table, in row
        // order; a smaller one through the folder index, which costs a lookup per item.
        SQLite::Statement q(
            *store->db, most ? "SELECT entry_id, props FROM items NOT INDEXED WHERE folder = ? ORDER BY id"
                             : "SELECT entry_id, props FROM items WHERE folder = ? ORDER BY id");
        q.bind(1, static_cast<int64_t>(id));
        // Most items of a folder share their message class: its kind is worked out once per run
        // of equal classes.
        QString lastClass;
        ItemClass lastKind = classOfMessageClass(QString());
        while (q.executeStep()) {
            auto record = std::make_shared<Record>();
            const SQLite::Column entry = q.getColumn(0);
            record->entryId = QString::fromUtf8(entry.getText(), entry.getBytes());
            const SQLite::Column blob = q.getColumn(1);
            try {
                record->compact =
                    compactRecord(QByteArrayView(static_cast<const char*>(blob.getBlob()), blob.getBytes()));
            } catch (const Error& e) {
                // One unreadable record leaves the rest of the folder readable.
                auto bad = std::make_shared<Record>();
                bad->entryId = record->entryId;
                bad->damage = e.message();
                ItemData shown;
                shown.values.set(prop::MessageClass, messageClassOfItemType(type));
                bad->replace(compactRecord(encodeRecord(shown)),
                             classOfMessageClass(messageClassOfItemType(type)));
                damaged.insert(bad->entryId, bad);
                app->warning(
                    QStringLiteral("The item %1 in %2 (store file %3) is damaged and was left out: %4")
                        .arg(bad->entryId, path(), QDir::toNativeSeparators(store->file), e.message()));
                continue;
            }
            record->withText(prop::MessageClass, [&](QStringView messageClass) {
                if (messageClass != lastClass) {
                    lastKind = classOfMessageClass(messageClass);
                    lastClass = messageClass.toString();
                }
            });
            record->cls = lastKind;
            records.push_back(std::move(record));
        }
    } catch (const std::exception& e) {
        // Left unloaded with what it held, to be tried again on the next use.
        records = std::move(previous);
        for (const RecordPtr& r : records) {
            if (r->deleted)
                ++deletedInRecords;
        }
        damaged.clear();
        throwStoreError(*store, e);
    }
    // Whatever another connection deleted is deleted for the handles that still hold it.
    for (const RecordPtr& r : previous) {
        if (!r->deleted && !listed(r->entryId))
            r->deleted = true;
    }
    loaded = true;
    ++generation;
    ++reloads;
}

QString FolderState::path() const {
    QStringList parts;
    for (const FolderState* f = this; f; f = f->parent.get())
        parts.prepend(f->name);
    return parts.join(QLatin1Char('\\'));
}

} // namespace detail

using namespace detail;

// ---------------------------------------------------------------------------------------------
// Application

QString Application::defaultStoreDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Vantrel/stores");
}

QString Application::storeDirFromEnvironment() {
    const QString env = qEnvironmentVariable("QEL_STORE_DIR");
    return env.isEmpty() ? defaultStoreDir() : env;
}

ApplicationPtr Application::create(const QString& storeDir, const OpenOptions& options) {
    // Every local date the store reads goes through the C library's time zone code, which,
    // without TZ set, looks at the zone file again on each call. Naming the same zone file in TZ
    // keeps the system's zone and lets the library read it once.
    if (qEnvironmentVariableIsEmpty("TZ") && QFileInfo::exists(QStringLiteral("/etc/localtime"))) {
        qputenv("TZ", ":/etc/localtime");
        tzset();
    }
    ApplicationPtr app(new Application());
    app->mState = std::make_shared<AppState>();
    AppState& s = *app->mState;
    s.dir = QDir::cleanPath(QDir(storeDir.isEmpty() ? storeDirFromEnvironment() : storeDir).absolutePath());
    if (!options.createFolder && !QFileInfo(s.dir).isDir())
        throw Error(
            kErrCannotCreate,
            QStringLiteral("The store folder %1 does not exist.").arg(QDir::toNativeSeparators(s.dir)));
    if (!QDir().mkpath(s.dir) || !QFileInfo(s.dir).isWritable())
        throw Error(
            kErrCannotCreate,
            QStringLiteral("The store folder %1 cannot be used.").arg(QDir::toNativeSeparators(s.dir)));

    QDir dir(s.dir);
    const auto storeFiles = [&] {
        return dir.entryList({QStringLiteral("*") + QLatin1String(kStoreSuffix)}, QDir::Files, QDir::Name);
    };
    // Stores are listed in the order they were created.
    std::vector<std::pair<QString, std::shared_ptr<StoreState>>> opened;
    const auto openAll = [&](const QStringList& files) {
        for (const QString& name : files) {
            std::shared_ptr<StoreState> store;
            try {
                store = s.openStore(dir.filePath(name));
            } catch (const Error& e) {
                s.skipped.push_back({dir.filePath(name), e.message()});
                continue;
            }
            QString created;
            try {
                created = QString::fromStdString(
                    store->db->execAndGet("SELECT value FROM meta WHERE key = 'created'").getString());
            } catch (const std::exception&) {
            }
            opened.emplace_back(created, store);
        }
    };
    QStringList files = storeFiles();
    openAll(files);
    if (files.isEmpty() && options.createFirstStore) {
        // One program makes the first store; another that started with it opens that one.
        CreationLock lock(s.dir);
        files = storeFiles();
        if (files.isEmpty())
            s.createStore(kDefaultStoreName, true);
        else
            openAll(files);
    }
    std::stable_sort(opened.begin(), opened.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& entry : opened)
        s.stores.push_back(entry.second);
    detail::completeJointCommits(s);

    if (s.stores.empty() && !s.skipped.empty()) {
        QStringList lines;
        for (const SkippedStore& skip : s.skipped)
            lines << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(skip.file), skip.reason);
        throw Error(kErrStoreFile, QStringLiteral("No store file in %1 could be opened.\n%2")
                                       .arg(QDir::toNativeSeparators(s.dir), lines.join(QLatin1Char('\n'))));
    }
    return app;
}

Application::~Application() = default;

NameSpacePtr Application::GetNamespace(const QString& type) {
    if (type.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) != 0)
        throw Error(kErrInvalidArgument, QStringLiteral("Unknown namespace %1").arg(type));
    return std::make_shared<NameSpace>(mState);
}

QString Application::Version() const {
    return mState->version;
}
QString Application::storeDirectory() const {
    return mState->dir;
}
std::vector<SkippedStore> Application::skippedStores() const {
    return mState->skipped;
}
void Application::setWarningHandler(std::function<void(const QString&)> handler) {
    mState->warn = std::move(handler);
}

int versionNumber(const QString& versionText) {
    int n = 0;
    for (const QChar c : versionText.left(3)) {
        if (!c.isDigit())
            break;
        n = n * 10 + c.digitValue();
    }
    return n;
}
void Application::setVersion(const QString& version) {
    mState->version = version;
}
void Application::setUi(std::shared_ptr<StoreUi> ui) {
    mState->ui = std::move(ui);
}
StoreUi* Application::ui() const {
    return mState->ui.get();
}
void Application::setClock(std::function<QDateTime()> clock) {
    mState->clock = std::move(clock);
}
QDateTime Application::now() const {
    return mState->now();
}
void Application::setSafeItemsAvailable(bool available) {
    mState->safeItems = available;
}
bool Application::safeItemsAvailable() const {
    return mState->safeItems;
}
void Application::setLabelSessionAvailable(bool available) {
    mState->labelSession = available;
}
bool Application::labelSessionAvailable() const {
    return mState->labelSession;
}

// ---------------------------------------------------------------------------------------------
// NameSpace

NameSpace::NameSpace(std::shared_ptr<AppState> app) : mApp(std::move(app)) {}

FoldersPtr NameSpace::Folders() const {
    std::vector<FolderPtr> roots;
    for (auto& store : mApp->stores)
        roots.push_back(std::make_shared<Folder>(store->root()));
    return std::make_shared<ol::Folders>(mApp, std::move(roots), nullptr);
}

FolderPtr NameSpace::PickFolder() {
    if (!mApp->ui)
        throw Error(kErrCannotCreate, QStringLiteral("No window is available to pick a folder."));
    return mApp->ui->pickFolder(*this);
}

ItemPtr NameSpace::GetItemFromID(const QString& entryID, const QString& storeID) const {
    const QString id = entryID.trimmed();
    if (!id.isEmpty()) {
        for (auto& store : mApp->stores) {
            if (!storeID.isEmpty() && storeID.compare(store->storeId, Qt::CaseInsensitive) != 0)
                continue;
            qint64 folderId = 0;
            try {
                SQLite::Statement q(*store->db, "SELECT folder FROM items WHERE entry_id = ?");
                q.bind(1, ss(id));
                if (!q.executeStep())
                    continue;
                folderId = q.getColumn(0).getInt64();
            } catch (const std::exception& e) {
                throwStoreError(*store, e);
            }
            // Walk up to the root so the folder state has its parents.
            std::vector<std::tuple<qint64, QString, int, QString>> chain;
            try {
                SQLite::Statement q(*store->db,
                                    "SELECT parent, name, item_type, entry_id FROM folders WHERE id = ?");
                for (qint64 f = folderId; f != 0;) {
                    q.bind(1, static_cast<int64_t>(f));
                    if (!q.executeStep())
                        break;
                    chain.emplace_back(f, qs(q.getColumn(1).getString()), q.getColumn(2).getInt(),
                                       qs(q.getColumn(3).getString()));
                    f = q.getColumn(0).isNull() ? 0 : q.getColumn(0).getInt64();
                    q.reset();
                }
            } catch (const std::exception& e) {
                throwStoreError(*store, e);
            }
            std::shared_ptr<FolderState> folder;
            for (auto it = chain.rbegin(); it != chain.rend(); ++it)
                folder = store->folderState(std::get<0>(*it), folder, std::get<1>(*it), std::get<2>(*it),
                                            std::get<3>(*it));
            if (!folder)
                continue;
            folder->ensureLoaded();
            if (const Record* found = folder->listed(id)) {
                for (const RecordPtr& r : folder->records) {
                    if (r.get() == found)
                        return std::make_shared<Item>(folder, r, r->cls);
                }
            }
            if (const RecordPtr bad = folder->damaged.value(id))
                return std::make_shared<Item>(folder, bad, bad->cls);
        }
    }
    throw Error(kErrNotFound, QStringLiteral("The item %1 was not found.").arg(entryID));
}

FolderPtr NameSpace::folderByPath(const QString& path) const {
    QString p = path;
    while (p.startsWith(QLatin1Char('\\')))
        p.remove(0, 1);
    const QStringList parts = p.split(QLatin1Char('\\'));
    if (p.isEmpty())
        throw Error(kErrNotFound, QStringLiteral("No folder named by an empty path."));
    FolderPtr folder = Folders()->Item(parts.first());
    for (int i = 1; i < parts.size(); ++i)
        folder = folder->Folders()->Item(parts[i]);
    return folder;
}

// ---------------------------------------------------------------------------------------------
// Folders

Folders::Folders(std::shared_ptr<AppState> app, std::vector<FolderPtr> folders, FolderPtr owner)
    : mApp(std::move(app)), mFolders(std::move(folders)), mOwner(std::move(owner)) {}

FolderPtr Folders::Item(int index) const {
    if (index < 1 || index > Count())
        throw Error(kErrNotFound, QStringLiteral("There is no folder number %1.").arg(index));
    return mFolders[static_cast<size_t>(index - 1)];
}

FolderPtr Folders::Item(const QString& name) const {
    for (const FolderPtr& f : mFolders) {
        if (f->Name().compare(name, Qt::CaseInsensitive) == 0)
            return f;
    }
    throw Error(kErrNotFound, QStringLiteral("The folder %1 was not found.").arg(name));
}

FolderPtr Folders::Add(const QString& name, int itemType) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('\\')))
        throw Error(kErrInvalidArgument,
                    QStringLiteral("A folder name cannot be empty or hold a backslash."));
    for (const FolderPtr& f : mFolders) {
        if (f->Name().compare(trimmed, Qt::CaseInsensitive) == 0)
            throw Error(kErrInvalidArgument,
                        QStringLiteral("A folder named %1 already exists.").arg(trimmed));
    }
    FolderPtr created;
    if (!mOwner) {
        auto store = mApp->createStore(trimmed, false, itemType >= 0 ? itemType : int(olMailItem));
        created = std::make_shared<Folder>(store->root());
    } else {
        auto parent = mOwner->state();
        parent->checkExists();
        parent->store->ensureWritable();
        const int type = itemType >= 0 ? itemType : parent->type;
        created = std::make_shared<Folder>(parent->store->createFolder(parent, trimmed, type));
    }
    mFolders.push_back(created);
    return created;
}

// ---------------------------------------------------------------------------------------------
// Folder

Folder::Folder(std::shared_ptr<FolderState> state) : mState(std::move(state)) {}

QString Folder::Name() const {
    return mState->name;
}
QString Folder::path() const {
    return mState->path();
}
QString Folder::FolderPath() const {
    return QStringLiteral("\\\\") + path();
}
FolderPtr Folder::Parent() const {
    return mState->parent ? std::make_shared<Folder>(mState->parent) : nullptr;
}
QString Folder::EntryID() const {
    return mState->entryId;
}
QString Folder::StoreID() const {
    return mState->store->storeId;
}
int Folder::DefaultItemType() const {
    return mState->type;
}
bool Folder::isTopLevel() const {
    return !mState->parent;
}

FoldersPtr Folder::Folders() const {
    mState->checkExists();
    std::vector<FolderPtr> children;
    for (auto& child : mState->store->children(mState))
        children.push_back(std::make_shared<Folder>(child));
    return std::make_shared<ol::Folders>(mState->app, std::move(children),
                                         std::const_pointer_cast<Folder>(shared_from_this()));
}

ItemsPtr Folder::Items() const {
    mState->ensureLoaded();
    return std::make_shared<ol::Items>(mState, true);
}

void Folder::rename(const QString& newName) {
    const QString trimmed = newName.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('\\')))
        throw Error(kErrInvalidArgument,
                    QStringLiteral("A folder name cannot be empty or hold a backslash."));
    mState->checkExists();
    mState->store->ensureWritable();
    auto& db = *mState->store->db;
    try {
        SQLite::Statement clash(
            db, "SELECT 1 FROM folders WHERE parent IS ? AND id <> ? AND name = ? COLLATE NOCASE");
        if (mState->parent)
            clash.bind(1, static_cast<int64_t>(mState->parent->id));
        else
            clash.bind(1);
        clash.bind(2, static_cast<int64_t>(mState->id));
        clash.bind(3, ss(trimmed));
        if (clash.executeStep())
            throw Error(kErrInvalidArgument,
                        QStringLiteral("A folder named %1 already exists.").arg(trimmed));
        SQLite::Statement q(db, "UPDATE folders SET name = ? WHERE id = ?");
        q.bind(1, ss(trimmed));
        q.bind(2, static_cast<int64_t>(mState->id));
        q.exec();
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throwStoreError(*mState->store, e);
    }
    mState->name = trimmed;
}

void Folder::Delete() {
    if (!mState->parent)
        throw Error(kErrInvalidArgument, QStringLiteral("A top-level folder cannot be deleted."));
    mState->checkExists();
    mState->store->ensureWritable();
    try {
        SQLite::Statement q(*mState->store->db, "DELETE FROM folders WHERE id = ?");
        q.bind(1, static_cast<int64_t>(mState->id));
        q.exec();
    } catch (const std::exception& e) {
        throwStoreError(*mState->store, e);
    }
    mState->gone = true;
}

namespace {
void ensureRecordTable(SQLite::Database& db) {
    db.exec("CREATE TABLE IF NOT EXISTS folder_records(folder INTEGER NOT NULL REFERENCES folders(id) "
            "ON DELETE CASCADE, key TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY(folder, key))");
}
bool hasRecordTable(SQLite::Database& db) {
    return db.tableExists("folder_records");
}
} // namespace

QString Folder::record(const QString& key) const {
    const auto found = records(key);
    const auto it = found.find(key);
    return it == found.end() ? QString() : it->second;
}

std::map<QString, QString> Folder::records(const QString& prefix) const {
    mState->checkExists();
    std::map<QString, QString> out;
    auto& db = *mState->store->db;
    try {
        if (!hasRecordTable(db))
            return out;
        // Keys from prefix up to the prefix followed by the highest character.
        SQLite::Statement q(
            db, "SELECT key, value FROM folder_records WHERE folder = ? AND key >= ? AND key < ?");
        q.bind(1, static_cast<int64_t>(mState->id));
        q.bind(2, ss(prefix));
        q.bind(3, ss(prefix) + "\xF4\x8F\xBF\xBF");
        while (q.executeStep())
            out.emplace(qs(q.getColumn(0).getString()), qs(q.getColumn(1).getString()));
    } catch (const std::exception& e) {
        throwStoreError(*mState->store, e);
    }
    return out;
}

void Folder::setRecord(const QString& key, const QString& value) {
    mState->checkExists();
    mState->store->ensureWritable();
    auto& db = *mState->store->db;
    try {
        ensureRecordTable(db);
        if (value.isEmpty()) {
            SQLite::Statement q(db, "DELETE FROM folder_records WHERE folder = ? AND key = ?");
            q.bind(1, static_cast<int64_t>(mState->id));
            q.bind(2, ss(key));
            q.exec();
        } else {
            SQLite::Statement q(db,
                                "INSERT OR REPLACE INTO folder_records(folder, key, value) VALUES(?, ?, ?)");
            q.bind(1, static_cast<int64_t>(mState->id));
            q.bind(2, ss(key));
            q.bind(3, ss(value));
            q.exec();
        }
        mState->store->noteOwnCommit();
    } catch (const std::exception& e) {
        throwStoreError(*mState->store, e);
    }
}

} // namespace ol

namespace ol {

Batch::Batch(const FolderPtr& folder, Mode mode) : mStore(folder->state()->store) {
    mStore->ensureWritable();
    try {
        mStore->db->exec("BEGIN IMMEDIATE");
        mOpen = true;
    } catch (const std::exception& e) {
        detail::throwStoreError(*mStore, e);
    }
    if (mode == Recorded)
        mRecording = detail::startRecording(*mStore);
}

Batch::~Batch() {
    abandon();
}

void Batch::abandon() {
    mRecording.reset();
    if (!mOpen)
        return;
    mOpen = false;
    try {
        mStore->db->exec("ROLLBACK");
    } catch (const std::exception&) {
    }
    // What this process believed saved is gone again: every folder reloads on next use.
    for (auto& [id, weak] : mStore->folders) {
        if (auto folder = weak.lock(); folder && folder->loaded) {
            for (auto& r : folder->records)
                r->deleted = true;
            folder->loaded = false;
            folder->records.clear();
            folder->byEntryId.clear();
            folder->indexed = false;
            folder->deletions.clear();
            folder->deletedInRecords = 0;
            ++folder->generation;
        }
    }
}

void Batch::commit() {
    if (!mOpen)
        return;
    try {
        mStore->db->exec("COMMIT");
        mOpen = false;
        mRecording.reset();
        mStore->dataVersion = mStore->db->execAndGet("PRAGMA data_version").getInt64();
    } catch (const std::exception& e) {
        detail::throwStoreError(*mStore, e);
    }
}

} // namespace ol
