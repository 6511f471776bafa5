#pragma once

// The contact store: stores, folders and items in the shape of the desktop mail program's
// automation object model, so that the rest of the program reads like it drives one.
//
// A store is one SQLite file in the store folder; each store is one top-level folder of the
// namespace. Objects are shared pointers; errors are thrown as ol::Error with the numbers
// callers test (kErrNotFound for a folder or item that is not there, kErrFilter for a rejected
// restriction, kErrCannotCreate when a component is unavailable, kErrStoreFile for a store file
// that is damaged, busy or unreadable; a busy store's message says so and to try again).
//
// What a store file promises:
// - Items are addressed by their EntryID, never by a row number, and an EntryID is never given
//   twice; row numbers are never reused either. A Save or Delete of an item that another
//   connection deleted meanwhile fails with kErrNotFound and writes nothing.
// - A new store file is made under a temporary name, with its schema and default folders in one
//   transaction, and renamed into place: a store file is either whole or not there. What an
//   earlier version's killed first start left holds no user data and is made whole: a file with
//   no tables is rebuilt, a "Personal Folders" with no items and only some of its default folders
//   gets the rest. An older schema is brought up to date in one transaction.
// - Before a connection first writes to a store it checks the file (quick_check). A damaged
//   store is never written (kErrStoreFile) but is read where it still can be.
// - A damaged item record is left out of its folder (and reported through the warning handler);
//   GetItemFromID still reaches it, so that it can be deleted.

#include "Error.h"
#include "Filter.h"
#include "Properties.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace ol {

class Application;
class NameSpace;
class Folder;
class Folders;
class Items;
class Item;
class RecurrencePattern;
class StoreUi;

using ApplicationPtr = std::shared_ptr<Application>;
using NameSpacePtr = std::shared_ptr<NameSpace>;
using FolderPtr = std::shared_ptr<Folder>;
using FoldersPtr = std::shared_ptr<Folders>;
using ItemsPtr = std::shared_ptr<Items>;
using ItemPtr = std::shared_ptr<Item>;
using RecurrencePatternPtr = std::shared_ptr<RecurrencePattern>;

namespace detail {
struct AppState;
struct StoreState;
struct FolderState;
struct Record;
using RecordPtr = std::shared_ptr<Record>;

// A sparse set of typed values keyed by property id, kept sorted by id.
class PropBag {
public:
    const QVariant* find(int id) const;
    QVariant get(int id) const;
    void set(int id, const QVariant& value); // an invalid QVariant removes the value
    bool empty() const { return mEntries.empty(); }
    void reserve(size_t n) { mEntries.reserve(n); }
    const std::vector<std::pair<int, QVariant>>& entries() const { return mEntries; }

private:
    std::vector<std::pair<int, QVariant>> mEntries;
};
} // namespace detail

// The names of a keywords text such as Categories: "," or ";" between them, blanks trimmed, empty
// names dropped. The store keeps such a text as its names joined with ", ".
QStringList splitKeywords(const QString& text);

// The windows the store shows on its own (the folder picker, an item's window, the category
// picker). The store has no widgets; the program installs an implementation, tests a double.
class StoreUi {
public:
    virtual ~StoreUi() = default;
    // The folder the user picked, or nullptr when the user cancelled.
    virtual FolderPtr pickFolder(NameSpace& ns) = 0;
    // Shows the item in its own window; edits the user saves there go through Item::Save.
    virtual void display(const ItemPtr& item) = 0;
    // Lets the user tick the item's categories; OK writes Categories and saves the item.
    virtual void showCategories(const ItemPtr& item) = 0;
};

// How Application::create treats a store folder that is missing or holds no store yet.
struct OpenOptions {
    bool createFolder = true;     // make the store folder when it does not exist
    bool createFirstStore = true; // make "Personal Folders" when the folder holds no store file
};

// A store file that create() could not open, and why ("it is empty (0 bytes)", "it is busy ...").
struct SkippedStore {
    QString file;
    QString reason;
};

class Application : public std::enable_shared_from_this<Application> {
public:
    // Opens the store folder, creating it and a first store ("Personal Folders" with Inbox,
    // Calendar, Contacts, Tasks, Notes and Deleted Items) when it holds no store file yet.
    // A store file that is empty, unreadable, busy, damaged or not a store is skipped, never
    // changed, and listed in skippedStores(); the other stores open. Throws
    // Error(kErrCannotCreate) when the folder cannot be used (or is missing and
    // options.createFolder is false) and Error(kErrStoreFile), naming every file and its reason,
    // when the folder holds store files and none of them could be opened.
    static ApplicationPtr create(const QString& storeDir = QString(), const OpenOptions& options = {});

    // --dir/QEL_STORE_DIR aside: the per-user folder the stores live in.
    static QString defaultStoreDir();
    // QEL_STORE_DIR when set, else defaultStoreDir().
    static QString storeDirFromEnvironment();

    ~Application();

    NameSpacePtr GetNamespace(const QString& type = QStringLiteral("MAPI"));
    // The store's own version text, that of a current release ("16.0.0.6742"): callers gate on
    // versionNumber() of it being greater than 9. It is not the program's version.
    QString Version() const;

    QString storeDirectory() const;
    // The store files of the folder that create() skipped, in file name order.
    std::vector<SkippedStore> skippedStores() const;
    // Receives what the store leaves out but does not throw for (a damaged item record that a
    // folder skips). Without a handler such notes are dropped.
    void setWarningHandler(std::function<void(const QString&)> handler);

    // Hooks for the program and for tests.
    void setVersion(const QString& version);
    void setUi(std::shared_ptr<StoreUi> ui);
    StoreUi* ui() const;
    void setClock(std::function<QDateTime()> clock);
    QDateTime now() const;
    // The safe-item wrappers and the label session can be made unavailable (error 429).
    void setSafeItemsAvailable(bool available);
    bool safeItemsAvailable() const;
    void setLabelSessionAvailable(bool available);
    bool labelSessionAvailable() const;

    std::shared_ptr<detail::AppState> state() const { return mState; }

private:
    Application() = default;
    std::shared_ptr<detail::AppState> mState;
};

class NameSpace {
public:
    explicit NameSpace(std::shared_ptr<detail::AppState> app);

    // The top-level folders, one per store. Folders()->Add(name, type) creates a new store.
    FoldersPtr Folders() const;
    // Asks the user for a folder through the installed StoreUi; nullptr on cancel.
    FolderPtr PickFolder();
    // The item with this EntryID in any store (or in the given store). Throws kErrNotFound.
    ItemPtr GetItemFromID(const QString& entryID, const QString& storeID = QString()) const;
    // Follows a path "Store\Folder\Sub" (leading backslashes allowed). Throws kErrNotFound.
    FolderPtr folderByPath(const QString& path) const;

    ApplicationPtr application() const;

private:
    std::shared_ptr<detail::AppState> mApp;
};

// A list of folders: the stores of a namespace or the children of a folder. Read afresh from
// the stores whenever it is asked for, so a folder renamed or removed meanwhile is seen.
class Folders {
public:
    Folders(std::shared_ptr<detail::AppState> app, std::vector<FolderPtr> folders, FolderPtr owner);

    int Count() const { return static_cast<int>(mFolders.size()); }
    FolderPtr Item(int index) const;           // 1-based; out of range throws kErrNotFound
    FolderPtr Item(const QString& name) const; // exact name, letter case ignored; throws kErrNotFound
    FolderPtr Add(const QString& name, int itemType = -1); // -1: the owner's default type (mail for a store)

    auto begin() const { return mFolders.begin(); }
    auto end() const { return mFolders.end(); }

private:
    std::shared_ptr<detail::AppState> mApp;
    std::vector<FolderPtr> mFolders;
    FolderPtr mOwner; // nullptr for the namespace's top-level folders
};

class Folder : public std::enable_shared_from_this<Folder> {
public:
    Folder(std::shared_ptr<detail::FolderState> state);

    QString Name() const;
    QString FolderPath() const; // "\\Store\Folder\Sub"
    FolderPtr Parent() const;   // nullptr for a top-level folder
    QString EntryID() const;
    QString StoreID() const;
    int DefaultItemType() const;
    FoldersPtr Folders() const;
    ItemsPtr Items() const;

    // The path without its two leading backslashes: "Store\Folder\Sub".
    QString path() const;
    bool isTopLevel() const;
    // Renames the folder; a sibling of the same name throws kErrInvalidArgument.
    void rename(const QString& newName);
    // Removes the folder with everything in it (a top-level folder cannot be removed).
    void Delete();

    // Records a program keeps with the folder, key to text (a sync partner's state: which item is
    // which remote resource, a sync token). Written at once, or with the store's open Batch, so an
    // item and its record commit together. They go with the folder when it is deleted.
    QString record(const QString& key) const; // "" when there is none
    // Every record whose key begins with `prefix`, by key.
    std::map<QString, QString> records(const QString& prefix) const;
    void setRecord(const QString& key, const QString& value); // an empty value removes the record

    std::shared_ptr<detail::FolderState> state() const { return mState; }

private:
    std::shared_ptr<detail::FolderState> mState;
};

// A collection of items: all items of a folder (which follows adds and deletes), or the result
// of a Restrict (the items that matched when it ran, less those deleted since).
class Items {
public:
    Items(std::shared_ptr<detail::FolderState> folder, bool live);

    int Count() const;
    ItemPtr Item(int index) const;                    // 1-based; out of range throws kErrNotFound
    ItemPtr Item(const QString& displayName) const;   // first item whose Subject is that text; kErrNotFound
    ItemPtr ItemWithID(const QString& entryID) const; // the item of that EntryID here, or nullptr
    // A new collection of the items that match; this one is left as it is. Throws kErrFilter.
    ItemsPtr Restrict(const QString& filter) const;
    ItemsPtr Restrict(const Filter& filter) const;
    // Stable sort of this collection by a property ("Subject" or "[Subject]"). Unknown: kErrFilter.
    void Sort(const QString& property, bool descending = false);
    // A new unsaved item of the folder's default type (or of the type given).
    ItemPtr Add(int itemType = -1) const;

    // Iteration: for (const ItemPtr& item : *items). Hands out a fresh handle per item.
    class const_iterator {
    public:
        const_iterator(const Items* items, int index) : mItems(items), mIndex(index) {}
        ItemPtr operator*() const { return mItems->Item(mIndex + 1); }
        const_iterator& operator++() {
            ++mIndex;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return mIndex != other.mIndex; }

    private:
        const Items* mItems;
        int mIndex;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, Count()}; }

    // A property of the item at a 1-based index without handing out an item: for list fills.
    // Only that value is read (an invalid QVariant when the item holds none).
    QVariant value(int index, int propId) const;
    QString subject(int index) const;
    ItemClass itemClass(int index) const; // the kind of the item at a 1-based index

private:
    void refresh() const;
    void applySort() const;
    const detail::RecordPtr& recordAt(int index) const; // 1-based, after refresh
    std::shared_ptr<detail::FolderState> mFolder;
    bool mLive;
    mutable std::vector<detail::RecordPtr> mRecords;
    mutable quint64 mSeenGeneration = 0;
    mutable quint64 mSeenReloads = 0;
    mutable size_t mSeenDeletions = 0;
    int mSortId = -1;
    bool mSortDescending = false;
    mutable bool mSortPending = false;
};

// One contact, appointment, task, note or mail item. A handle holds its own copy of the
// properties: changes become visible to others (and durable) only through Save.
class Item : public std::enable_shared_from_this<Item> {
public:
    Item(std::shared_ptr<detail::FolderState> folder, detail::RecordPtr record, ItemClass cls);

    // Properties by name (letter case ignored). An unknown name, or one the item's kind does not
    // have, throws kErrNotFound. Text reads as "" when unset, dates as an invalid QDateTime,
    // numbers as 0 and flags as false.
    QVariant Get(const QString& name) const;
    void Set(const QString& name, const QVariant& value);
    QVariant get(int propId) const;
    void set(int propId, const QVariant& value);
    QString text(int propId) const; // the value as text (dates "mm/dd/yyyy hh:mm AM")
    bool has(const QString& name) const;
    bool isSet(int propId) const; // the item holds a value of its own (not the type's default)

    // Why the item's stored record could not be read ("" for a sound item). A damaged item
    // holds only its EntryID: it can be deleted, and Save throws kErrStoreFile.
    QString damage() const;

    QString Subject() const { return text(prop::Subject); }
    QString EntryID() const { return text(prop::EntryID); }
    QString MessageClass() const { return text(prop::MessageClass); }
    ItemClass Class() const { return mClass; }
    FolderPtr Parent() const;
    bool Saved() const { return !mDirty; }
    bool isNew() const;

    // Writes the item; committed when it returns. Throws kErrNotFound (writing nothing) when it
    // was deleted meanwhile, by this connection or another.
    void Save();
    // Removes the item from its folder; committed when it returns. Throws kErrNotFound (removing
    // nothing) when it was deleted meanwhile.
    void Delete();
    void Display();
    void ShowCategoriesDialog();

    // Appointments only (else kErrNotFound). The pattern belongs to this handle: set its
    // properties and Save the item; the item then is recurring.
    RecurrencePatternPtr GetRecurrencePattern();
    void ClearRecurrencePattern();
    bool hasRecurrencePattern() const;

    // Named properties of a property set, as the label session reads and writes them.
    QVariant namedProperty(const QString& propertySet, const QString& tag) const;
    void setNamedProperty(const QString& propertySet, const QString& tag, const QVariant& value);

    std::shared_ptr<detail::FolderState> folderState() const { return mFolder; }
    detail::RecordPtr record() const { return mRecord; }

private:
    friend class RecurrencePattern;
    void applyDerived(int propId);
    std::shared_ptr<detail::FolderState> mFolder;
    detail::RecordPtr mRecord; // nullptr until the first Save
    ItemClass mClass;
    detail::PropBag mValues;
    detail::PropBag mPattern; // empty when the item does not recur
    bool mRecurring = false;
    QVariantMap mNamed; // "SET/tag" -> value
    bool mDirty = false;
};

class RecurrencePattern {
public:
    explicit RecurrencePattern(ItemPtr owner);
    QVariant Get(const QString& name) const; // unknown name throws kErrNotFound
    void Set(const QString& name, const QVariant& value);
    QVariant get(int patternId) const;
    void set(int patternId, const QVariant& value);

private:
    ItemPtr mOwner;
};

// Safe-item wrapper: reads and writes the protected properties of an item without a prompt.
// create() throws Error(kErrCannotCreate) when the wrappers are unavailable.
class SafeItem {
public:
    static std::shared_ptr<SafeItem> create(const ApplicationPtr& app, const QString& progId);
    void setItem(ItemPtr item) { mItem = std::move(item); }
    ItemPtr item() const { return mItem; }
    QVariant Get(const QString& name) const;
    void Set(const QString& name, const QVariant& value);

private:
    ItemPtr mItem;
};

// The label session: reads and writes named properties of an item found by EntryID and
// StoreID. create() throws Error(kErrCannotCreate) when the session is unavailable.
class MapiSession {
public:
    static std::shared_ptr<MapiSession> create(const ApplicationPtr& app);
    void Logon();
    void Logoff();
    bool loggedOn() const { return mLoggedOn; }

    class Message;
    class Field {
    public:
        QVariant Value() const;
        void setValue(const QVariant& value);

    private:
        friend class Message;
        ItemPtr mItem;
        QString mSet, mTag;
    };
    class Message {
    public:
        // The field (tag, property set); Item throws kErrNotFound when it is not there yet.
        std::shared_ptr<Field> Item(const QString& tag, const QString& propertySet);
        std::shared_ptr<Field> Add(const QString& tag, int type, const QVariant& value,
                                   const QString& propertySet);
        void Update();
        ItemPtr item() const { return mItem; }

    private:
        friend class MapiSession;
        ItemPtr mItem;
    };
    std::shared_ptr<Message> GetMessage(const QString& entryID, const QString& storeID);

private:
    std::shared_ptr<detail::AppState> mApp;
    NameSpacePtr mNameSpace;
    bool mLoggedOn = false;
};

// An appointment's calendar label is the named property "0x8214" of the appointment property set,
// of type long (class 3): 0 none, 1 red, 2 blue, 3 green, 4 grey, 5 orange, 6 light blue, 7 beige,
// 8 purple, 9 blue-grey, 10 yellow.
inline const QString kLabelPropertySet = QStringLiteral("0220060000000000C000000000000046");
inline const QString kLabelTag = QStringLiteral("0x8214");
constexpr int kLabelCount = 11;
// Gives the message the label: sets the field's value when the field is there, else adds it. The
// message is not updated. Errors other than the missing field are thrown.
void setLabelField(MapiSession::Message& message, int label);
// The label an item holds (invalid when it has none).
QVariant labelOf(const Item& item);
// A label's name ("none" .. "yellow") and calendar colour ("#rrggbb"); "" out of range.
QString labelName(int label);
QString labelColour(int label);

// Groups many saves and deletes in one store into one commit (a bulk import, the demo data).
// Without commit() everything done since the batch began is rolled back when it ends.
//
// Two stores are two files, and a process can be killed between their commits. A batch made
// `Recorded` keeps a record of its changes, and `first.commitWith(recorded)` commits both as one:
// the recorded batch's changes are written into the first store with its own commit, and when
// the process dies before the second commit, the next Application::create that opens both
// stores writes them into the second store. So the two stores end either as before or with both
// batches done, never with one of them alone.
class Batch {
public:
    enum Mode { Plain, Recorded };
    explicit Batch(const FolderPtr& folder, Mode mode = Plain);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    void commit();
    // Commits this batch and then `recorded` (a Recorded batch of another store) as described
    // above; `between` runs after the first commit (tests stop a process there).
    void commitWith(Batch& recorded, const std::function<void()>& between = {});

private:
    void abandon(); // rolls back what is not committed; every folder of the store reloads on next use
    std::shared_ptr<detail::StoreState> mStore;
    std::shared_ptr<void> mRecording; // the store's change recorder while a Recorded batch is open
    bool mOpen = false;
};

// Iterate a collection through its pointer, which keeps it alive for the loop:
//     for (const FolderPtr& f : ns->Folders())    (not *ns->Folders(): that temporary dies first)
inline auto begin(const FoldersPtr& folders) {
    return folders->begin();
}
inline auto end(const FoldersPtr& folders) {
    return folders->end();
}
inline auto begin(const ItemsPtr& items) {
    return items->begin();
}
inline auto end(const ItemsPtr& items) {
    return items->end();
}

// The number a version text's first three characters make, read as far as they are digits
// ("16.0.0.6742" gives 16, "9.0.0.1" gives 9, "abc" gives 0).
int versionNumber(const QString& versionText);

// Date texts as the store tool and the filters write them.
QString formatDate(const QDateTime& value); // "mm/dd/yyyy hh:mm AM", "mm/dd/yyyy" at midnight
// A property's value as Item::text shows it; an invalid value reads as the type's default.
QString propertyText(int propId, const QVariant& value);

} // namespace ol
