#include "StoreInternal.h"

#include "Collation.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <algorithm>
#include <ctime>

namespace ol {

namespace detail {

namespace {

const char* const kStoreSuffix = ".store";
constexpr int kSchemaVersion = 1;

const char* const kSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE folders(
    id INTEGER PRIMARY KEY,
    parent INTEGER REFERENCES folders(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    item_type INTEGER NOT NULL,
    entry_id TEXT NOT NULL UNIQUE);
CREATE INDEX folders_parent ON folders(parent);
CREATE TABLE items(
    id INTEGER PRIMARY KEY,
    folder INTEGER NOT NULL REFERENCES folders(id) ON DELETE CASCADE,
    entry_id TEXT NOT NULL UNIQUE,
    props BLOB NOT NULL);
CREATE INDEX items_folder ON items(folder, id);
)sql";

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
    db.exec("PRAGMA journal_mode = WAL");
    db.exec("PRAGMA synchronous = NORMAL");
}

} // namespace

QString newEntryId() {
    quint32 words[4];
    QRandomGenerator::global()->fillRange(words);
    QString id = QStringLiteral("00000000");
    for (quint32 w : words)
        id += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0')).toUpper();
    return id;
}

void throwStoreError(const StoreState& store, const std::exception& e) {
    throw Error(kErrStoreFile, QStringLiteral("The store file %1 cannot be used: %2")
                                   .arg(QDir::toNativeSeparators(store.file), QString::fromUtf8(e.what())));
}

QDateTime AppState::now() const {
    const QDateTime t = clock ? clock() : QDateTime::currentDateTime();
    return t.addMSecs(-t.time().msec());
}

std::shared_ptr<StoreState> AppState::openStore(const QString& file) {
    auto store = std::make_shared<StoreState>();
    store->app = weak_from_this();
    store->file = file;
    try {
        store->db = std::make_unique<SQLite::Database>(ss(file), SQLite::OPEN_READWRITE);
        configure(*store->db);
        SQLite::Statement meta(*store->db, "SELECT value FROM meta WHERE key = ?");
        meta.bind(1, "store_id");
        if (!meta.executeStep())
            throw Error(kErrStoreFile, QStringLiteral("no store identity"));
        store->storeId = qs(meta.getColumn(0).getString());
        SQLite::Statement root(*store->db, "SELECT id FROM folders WHERE parent IS NULL ORDER BY id LIMIT 1");
        if (!root.executeStep())
            throw Error(kErrStoreFile, QStringLiteral("no top-level folder"));
        store->rootId = root.getColumn(0).getInt64();
        store->dataVersion = store->db->execAndGet("PRAGMA data_version").getInt64();
    } catch (const Error& e) {
        throw Error(kErrStoreFile, QStringLiteral("The store file %1 cannot be used: %2")
                                       .arg(QDir::toNativeSeparators(file), e.message()));
    } catch (const std::exception& e) {
        throwStoreError(*store, e);
    }
    return store;
}

std::shared_ptr<StoreState> AppState::createStore(const QString& name) {
    const QString file = fileNameFor(dir, name);
    auto store = std::make_shared<StoreState>();
    store->app = weak_from_this();
    store->file = file;
    try {
        store->db =
            std::make_unique<SQLite::Database>(ss(file), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        configure(*store->db);
        SQLite::Transaction tx(*store->db);
        store->db->exec(kSchema);
        store->storeId = newEntryId();
        SQLite::Statement meta(*store->db, "INSERT INTO meta(key, value) VALUES(?, ?)");
        const auto put = [&](const char* key, const QString& value) {
            meta.bind(1, key);
            meta.bind(2, ss(value));
            meta.exec();
            meta.reset();
        };
        put("store_id", store->storeId);
        put("schema", QString::number(kSchemaVersion));
        put("created", QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
        SQLite::Statement folder(
            *store->db, "INSERT INTO folders(parent, name, item_type, entry_id) VALUES(NULL, ?, ?, ?)");
        folder.bind(1, ss(name));
        folder.bind(2, static_cast<int>(olMailItem));
        folder.bind(3, ss(newEntryId()));
        folder.exec();
        store->rootId = store->db->getLastInsertRowid();
        tx.commit();
        store->dataVersion = store->db->execAndGet("PRAGMA data_version").getInt64();
    } catch (const std::exception& e) {
        throw Error(kErrCannotCreate,
                    QStringLiteral("Cannot create the store %1 in %2: %3")
                        .arg(name, QDir::toNativeSeparators(dir), QString::fromUtf8(e.what())));
    }
    stores.push_back(store);
    return store;
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
    for (auto& [id, weak] : folders) {
        auto folder = weak.lock();
        if (folder && folder->loaded) {
            folder->loaded = false;
            folder->records.clear();
            folder->byEntryId.clear();
            folder->deletions.clear();
            ++folder->generation;
        }
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
    records.clear();
    byEntryId.clear();
    deletions.clear();
    try {
        SQLite::Statement count(*store->db, "SELECT COUNT(*) FROM items WHERE folder = ?");
        count.bind(1, static_cast<int64_t>(id));
        if (count.executeStep()) {
            const auto n = static_cast<size_t>(count.getColumn(0).getInt64());
            records.reserve(n);
            byEntryId.reserve(static_cast<qsizetype>(n));
        }
        SQLite::Statement q(*store->db, "SELECT id, entry_id, props FROM items WHERE folder = ? ORDER BY id");
        q.bind(1, static_cast<int64_t>(id));
        while (q.executeStep()) {
            auto record = std::make_shared<Record>();
            record->rowid = q.getColumn(0).getInt64();
            record->entryId = qs(q.getColumn(1).getString());
            const SQLite::Column blob = q.getColumn(2);
            decodeRecord(QByteArray::fromRawData(static_cast<const char*>(blob.getBlob()), blob.getBytes()),
                         *record);
            record->values.set(prop::EntryID, record->entryId);
            record->cls = classOfMessageClass(record->values.get(prop::MessageClass).toString());
            byEntryId.insert(record->entryId, record.get());
            records.push_back(std::move(record));
        }
    } catch (const Error& e) {
        throw Error(kErrStoreFile, QStringLiteral("The store file %1 cannot be used: %2")
                                       .arg(QDir::toNativeSeparators(store->file), e.message()));
    } catch (const std::exception& e) {
        throwStoreError(*store, e);
    }
    loaded = true;
    ++generation;
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

ApplicationPtr Application::create(const QString& storeDir) {
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
    if (!QDir().mkpath(s.dir) || !QFileInfo(s.dir).isWritable())
        throw Error(
            kErrCannotCreate,
            QStringLiteral("The store folder %1 cannot be used.").arg(QDir::toNativeSeparators(s.dir)));

    QDir dir(s.dir);
    const QStringList files = dir.entryList({QStringLiteral("*") + QLatin1String(kStoreSuffix)},
                                            QDir::Files | QDir::Readable, QDir::Name);
    // Stores are listed in the order they were created.
    std::vector<std::pair<QString, std::shared_ptr<StoreState>>> opened;
    for (const QString& name : files) {
        auto store = s.openStore(dir.filePath(name));
        QString created;
        try {
            created = QString::fromStdString(
                store->db->execAndGet("SELECT value FROM meta WHERE key = 'created'").getString());
        } catch (const std::exception&) {
        }
        opened.emplace_back(created, store);
    }
    std::stable_sort(opened.begin(), opened.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& entry : opened)
        s.stores.push_back(entry.second);

    if (s.stores.empty() &&
        dir.entryList({QStringLiteral("*") + QLatin1String(kStoreSuffix)}, QDir::Files).isEmpty()) {
        auto store = s.createStore(QStringLiteral("Personal Folders"));
        auto root = store->root();
        const std::pair<const char*, int> defaults[] = {
            {"Inbox", olMailItem}, {"Calendar", olAppointmentItem}, {"Contacts", olContactItem},
            {"Tasks", olTaskItem}, {"Notes", olNoteItem},           {"Deleted Items", olMailItem}};
        for (const auto& [name, type] : defaults)
            store->createFolder(root, QString::fromLatin1(name), type);
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
            const auto found = folder->byEntryId.constFind(id);
            if (found != folder->byEntryId.constEnd()) {
                for (const RecordPtr& r : folder->records) {
                    if (r.get() == *found)
                        return std::make_shared<Item>(folder, r, r->cls);
                }
            }
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
        auto store = mApp->createStore(trimmed);
        auto root = store->root();
        if (itemType >= 0 && itemType != olMailItem) {
            try {
                SQLite::Statement q(*store->db, "UPDATE folders SET item_type = ? WHERE id = ?");
                q.bind(1, itemType);
                q.bind(2, static_cast<int64_t>(root->id));
                q.exec();
            } catch (const std::exception& e) {
                throwStoreError(*store, e);
            }
            root->type = itemType;
        }
        created = std::make_shared<Folder>(root);
    } else {
        auto parent = mOwner->state();
        parent->checkExists();
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
    try {
        SQLite::Statement q(*mState->store->db, "DELETE FROM folders WHERE id = ?");
        q.bind(1, static_cast<int64_t>(mState->id));
        q.exec();
    } catch (const std::exception& e) {
        throwStoreError(*mState->store, e);
    }
    mState->gone = true;
}

} // namespace ol

namespace ol {

Batch::Batch(const FolderPtr& folder) : mStore(folder->state()->store) {
    try {
        mStore->db->exec("BEGIN IMMEDIATE");
        mOpen = true;
    } catch (const std::exception& e) {
        detail::throwStoreError(*mStore, e);
    }
}

Batch::~Batch() {
    if (!mOpen)
        return;
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
        mStore->dataVersion = mStore->db->execAndGet("PRAGMA data_version").getInt64();
    } catch (const std::exception& e) {
        detail::throwStoreError(*mStore, e);
    }
}

} // namespace ol
