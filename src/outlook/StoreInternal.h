#pragma once

// Internal state of the contact store, shared by its object-model classes.

#include "Outlook.h"

#include <QHash>
#include <SQLiteCpp/Database.h>
#include <array>
#include <functional>
#include <map>

namespace ol::detail {

// An item's values as they are stored and as an item handle holds them.
struct ItemData {
    PropBag values;
    PropBag pattern;
    bool recurring = false;
    QVariantMap named;
};

// One item of a loaded folder. Its values stay in one compact block (checked when the folder is
// read) and are decoded when someone reads them: a folder of many items holds no heap object per
// value, and only what a filter, sort or list reads is ever decoded.
struct Record {
    QString entryId;
    ItemClass cls = kMail;
    QByteArray compact; // compactRecord's form of the stored values (EntryID is kept apart)
    bool deleted = false;
    QString damage; // why the stored record could not be read; such a record is in no folder list

    // Every value, decoded (EntryID included).
    ItemData data() const;
    // One value without decoding the others; an invalid QVariant when the item holds none.
    QVariant value(int propId) const;
    // A property's value as text, read in place where it is stored as text, for a comparison.
    void withText(int propId, const std::function<void(QStringView)>& use) const;
    // New values (compactRecord's form), after a save.
    void replace(QByteArray newCompact, ItemClass newClass) {
        compact = std::move(newCompact);
        cls = newClass;
        clearFolded();
    }

    // Comparison keys of the properties that filters and sorts used, worked out on first use and
    // kept in the record itself (a handful inline, so a scan over many records stays in cache):
    // folded text, and for dates and numbers a number (dates as local wall-clock milliseconds).
    struct Key {
        int id = -1;
        bool hasText = false;
        bool hasNumber = false;
        QString text;
        qint64 number = 0;
    };
    mutable std::array<Key, 4> hotKeys;
    mutable std::vector<Key> moreKeys;
    const QString& foldedText(int propId) const;
    qint64 numberKey(int propId) const; // missing values: the smallest number
    void clearFolded() {
        hotKeys = {};
        moreKeys.clear();
    }

private:
    Key& key(int propId) const;
};

struct StoreState;

struct FolderState {
    std::shared_ptr<AppState> app;
    std::shared_ptr<StoreState> store;
    std::shared_ptr<FolderState> parent; // nullptr for the store's top-level folder
    qint64 id = 0;
    QString name;
    int type = olMailItem;
    QString entryId;
    bool gone = false;

    // The folder's items, loaded on first use and reloaded when another connection changed the store.
    bool loaded = false;
    std::vector<RecordPtr> records;    // in the order they were created
    QHash<QString, Record*> byEntryId; // the listed records by EntryID, while `indexed`
    bool indexed = false;              // made on first lookup: a load needs none
    quint64 generation = 1;            // changes when items are added or the folder is reloaded
    quint64 reloads = 0;               // changes when the folder is reloaded
    std::vector<RecordPtr> deletions;  // records deleted since the load, in order
    size_t deletedInRecords = 0;       // deleted records still standing in `records`
    QHash<QString, RecordPtr> damaged; // records left out of the load because they cannot be read

    void addRecord(RecordPtr record);
    // The listed (not deleted) record of that EntryID, or nullptr.
    Record* listed(const QString& itemId);
    void removeRecord(const RecordPtr& record);

    void ensureLoaded();
    void checkExists() const; // throws kErrNotFound once the folder is gone
    QString path() const;     // "Store\Folder"
};

struct StoreState {
    std::weak_ptr<AppState> app;
    QString file;
    std::unique_ptr<SQLite::Database> db;
    QString storeId;
    qint64 rootId = 0;
    qint64 dataVersion = 0;
    int schema = 0;
    bool checked = false; // quick_check passed and the schema is current: this connection may write
    QString damage;       // why the file is not written (quick_check's finding); "" when sound
    std::map<qint64, std::weak_ptr<FolderState>> folders; // the folders someone holds

    // When another connection committed since we last looked, every loaded folder is reloaded
    // on its next use.
    void syncWithDisk();
    // Called before every write: checks the file once per connection and brings an older schema
    // up to date. Throws kErrStoreFile for a damaged store (which is never written) or one made
    // by a newer version.
    void ensureWritable();
    // Our own commit does not count as a change made by someone else.
    void noteOwnCommit();
    std::shared_ptr<FolderState> folderState(qint64 id, const std::shared_ptr<FolderState>& parent,
                                             const QString& name, int type, const QString& entryId);
    std::shared_ptr<FolderState> root();
    std::vector<std::shared_ptr<FolderState>> children(const std::shared_ptr<FolderState>& parent);
    std::shared_ptr<FolderState> createFolder(const std::shared_ptr<FolderState>& parent, const QString& name,
                                              int type);
};

struct AppState : std::enable_shared_from_this<AppState> {
    QString dir;
    std::vector<std::shared_ptr<StoreState>> stores;
    QString version = QStringLiteral("16.0.0.6742");
    std::shared_ptr<StoreUi> ui;
    std::function<QDateTime()> clock;
    std::function<void(const QString&)> warn;
    std::vector<SkippedStore> skipped;
    bool safeItems = true;
    bool labelSession = true;

    QDateTime now() const;
    void warning(const QString& text) const;
    // Opens a store file; a half-made one (no tables) is rebuilt first. Throws Error(kErrStoreFile)
    // whose message is the reason alone ("it is empty (0 bytes)").
    std::shared_ptr<StoreState> openStore(const QString& file);
    // Makes a new store file, complete or not at all, and opens it.
    std::shared_ptr<StoreState> createStore(const QString& name, bool withDefaultFolders,
                                            int rootType = olMailItem);
};

// Test hook: called at each step of making a new store file ("file", "schema", "folders",
// "renamed"); a hook that throws simulates a failure at that step.
extern std::function<void(const char* step)> gStoreCreationHook;

// Serialised form of an item's values in the store file.
QByteArray encodeRecord(const ItemData& item);
// The compact form of a stored blob that a loaded record keeps (see Codec.cpp). Checks the whole
// blob: throws kErrStoreFile for a damaged one or one of an unknown version.
QByteArray compactRecord(QByteArrayView stored);
void decodeCompact(QByteArrayView compact, ItemData& item);
// One property's value from a compact record (an invalid QVariant when it holds none).
QVariant compactValue(QByteArrayView compact, int propId);
// Hands a text property's value to `use` in place, without making a QString (an empty text when
// the record holds none). Returns false, without calling `use`, when the value is not text.
bool compactText(QByteArrayView compact, int propId, const std::function<void(QStringView)>& use);

QString newEntryId();

// Joint commits of two stores (Batch::commitWith). startRecording records the changes made to
// the store's folders and items from now until the recorder is released; completeJointCommits
// finishes, once every store of the folder is open, the joint commits a killed process left
// half-done.
std::shared_ptr<void> startRecording(StoreState& store);
void completeJointCommits(AppState& app);
// Turns a database error into Error(kErrStoreFile) naming the file and whether it is busy (try
// again), damaged, or otherwise unusable.
[[noreturn]] void throwStoreError(const StoreState& store, const std::exception& e);
// The reason part of such a message ("it is busy: ...", "it is damaged: ...").
QString storeProblem(const std::exception& e);

} // namespace ol::detail
