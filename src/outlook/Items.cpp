#include "StoreInternal.h"

#include "Collation.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace ol {

using namespace detail;

namespace detail {

const QVariant* PropBag::find(int id) const {
    const auto it =
        std::lower_bound(mEntries.begin(), mEntries.end(), id,
                         [](const std::pair<int, QVariant>& e, int key) { return e.first < key; });
    return it != mEntries.end() && it->first == id ? &it->second : nullptr;
}

QVariant PropBag::get(int id) const {
    const QVariant* v = find(id);
    return v ? *v : QVariant();
}

void PropBag::set(int id, const QVariant& value) {
    if (value.isValid() && (mEntries.empty() || mEntries.back().first < id)) {
        mEntries.emplace_back(id, value); // values arrive in id order when an item is read
        return;
    }
    auto it = std::lower_bound(mEntries.begin(), mEntries.end(), id,
                               [](const std::pair<int, QVariant>& e, int key) { return e.first < key; });
    const bool present = it != mEntries.end() && it->first == id;
    if (!value.isValid()) {
        if (present)
            mEntries.erase(it);
        return;
    }
    if (present)
        it->second = value;
    else
        mEntries.insert(it, {id, value});
}

ItemData Record::data() const {
    ItemData item;
    decodeCompact(compact, item);
    item.values.set(prop::EntryID, entryId);
    return item;
}

QVariant Record::value(int propId) const {
    return propId == prop::EntryID ? QVariant(entryId) : compactValue(compact, propId);
}

void Record::withText(int propId, const std::function<void(QStringView)>& use) const {
    if (propId == prop::EntryID)
        use(entryId);
    else if (!compactText(compact, propId, use))
        use(value(propId).toString());
}

Record::Key& Record::key(int propId) const {
    for (Key& k : hotKeys) {
        if (k.id == propId)
            return k;
        if (k.id < 0) {
            k.id = propId;
            return k;
        }
    }
    for (Key& k : moreKeys) {
        if (k.id == propId)
            return k;
    }
    moreKeys.push_back(Key{propId});
    return moreKeys.back();
}

const QString& Record::foldedText(int propId) const {
    Key& k = key(propId);
    if (!k.hasText) {
        // Many items share a value (their message class, a category): the key of the text last
        // folded is handed out again, shared rather than made anew.
        static thread_local struct {
            int propId = -1;
            QString text;
            QString key;
        } last;
        withText(propId, [&k, propId](QStringView text) {
            if (last.propId != propId || text != last.text) {
                last.propId = propId;
                last.text.resize(0); // keeps its buffer
                last.text.append(text);
                last.key = foldKey(text);
            }
            k.text = last.key;
        });
        k.hasText = true;
    }
    return k.text;
}

qint64 Record::numberKey(int propId) const {
    Key& k = key(propId);
    if (!k.hasNumber) {
        const QVariant v = value(propId);
        k.number = std::numeric_limits<qint64>::min();
        if (v.typeId() == QMetaType::QDateTime) {
            const QDateTime t = v.toDateTime();
            if (t.isValid())
                k.number = t.date().toJulianDay() * 86400000 + t.time().msecsSinceStartOfDay();
        } else if (v.isValid()) {
            k.number = v.toLongLong();
        }
        k.hasNumber = true;
    }
    return k.number;
}

Record* FolderState::listed(const QString& itemId) {
    if (!indexed) {
        byEntryId.clear();
        byEntryId.reserve(static_cast<qsizetype>(records.size() - deletedInRecords));
        for (const RecordPtr& r : records) {
            if (!r->deleted)
                byEntryId.insert(r->entryId, r.get());
        }
        indexed = true;
    }
    return byEntryId.value(itemId);
}

void FolderState::addRecord(RecordPtr record) {
    if (indexed)
        byEntryId.insert(record->entryId, record.get());
    records.push_back(std::move(record));
    ++generation;
}

void FolderState::removeRecord(const RecordPtr& record) {
    const bool isListed = loaded && listed(record->entryId) == record.get();
    record->deleted = true;
    if (!isListed)
        return; // not loaded, or an orphan of an earlier load
    byEntryId.remove(record->entryId);
    deletions.push_back(record);
    ++deletedInRecords;
    // Deleted records stay in place until there are many of them; then one pass drops them all.
    if (deletedInRecords > 256 && deletedInRecords * 4 > records.size()) {
        std::erase_if(records, [](const RecordPtr& r) { return r->deleted; });
        deletedInRecords = 0;
        ++generation;
    }
}

namespace {

class RecordSource final : public FilterSource {
public:
    explicit RecordSource(const Record* r) : mR(r) {}
    QVariant value(int propId) const override { return mR->value(propId); }
    QString folded(int propId) const override { return mR->foldedText(propId); }
    std::optional<qint64> minutes(int propId) const override {
        // The number key of a date is its local wall-clock milliseconds; none is the smallest.
        const qint64 ms = mR->numberKey(propId);
        if (ms == std::numeric_limits<qint64>::min())
            return std::nullopt;
        return ms >= 0 ? ms / 60000 : -((-ms + 59999) / 60000);
    }

private:
    const Record* mR;
};

// Sort keys of one property, worked out once per sort: folded text, or a number for dates (local
// wall-clock milliseconds, so no time zone arithmetic per comparison), whole numbers and flags.
// Missing values sort first.
// Texts carry their first four UTF-16 units as one number, which orders them as the units do
// (a shorter text padded with zeros), so that most comparisons need not read the texts.
struct SortKeys {
    PropType type;
    std::vector<const QString*> text;
    std::vector<quint64> prefix;
    std::vector<qint64> number;

    SortKeys(const std::vector<RecordPtr>& records, int id) : type(propertyDef(id).type) {
        if (type == PropType::Text || type == PropType::Keywords) {
            text.reserve(records.size());
            prefix.reserve(records.size());
            for (const RecordPtr& r : records) {
                const QString& key = r->foldedText(id);
                quint64 p = 0;
                for (qsizetype i = 0; i < 4; ++i)
                    p = (p << 16) | (i < key.size() ? key[i].unicode() : 0u);
                text.push_back(&key);
                prefix.push_back(p);
            }
            return;
        }
        number.reserve(records.size());
        for (const RecordPtr& r : records)
            number.push_back(r->numberKey(id));
    }
    bool less(size_t a, size_t b) const {
        if (text.empty())
            return number[a] < number[b];
        if (prefix[a] != prefix[b])
            return prefix[a] < prefix[b];
        return *text[a] < *text[b];
    }
};

} // namespace

} // namespace detail

Items::Items(std::shared_ptr<FolderState> folder, bool live) : mFolder(std::move(folder)), mLive(live) {
    if (mLive) {
        mFolder->ensureLoaded();
        mRecords.reserve(mFolder->records.size() - mFolder->deletedInRecords);
        for (const RecordPtr& r : mFolder->records) {
            if (!r->deleted)
                mRecords.push_back(r);
        }
        mSeenGeneration = mFolder->generation;
    }
    mSeenReloads = mFolder->reloads;
    mSeenDeletions = mFolder->deletions.size();
}

void Items::refresh() const {
    FolderState& f = *mFolder;
    if (mLive) {
        f.ensureLoaded();
        if (f.generation != mSeenGeneration) {
            mRecords.clear();
            for (const RecordPtr& r : f.records) {
                if (!r->deleted)
                    mRecords.push_back(r);
            }
            mSeenGeneration = f.generation;
            mSeenReloads = f.reloads;
            mSeenDeletions = f.deletions.size();
            if (mSortId >= 0)
                mSortPending = true;
            return;
        }
    } else if (mSeenReloads != f.reloads) {
        // The folder was read again: what it no longer holds is marked deleted.
        f.ensureLoaded();
        std::erase_if(mRecords, [](const RecordPtr& r) { return r->deleted; });
        mSeenReloads = f.reloads;
        mSeenDeletions = f.deletions.size();
        return;
    }
    if (mSeenDeletions == f.deletions.size())
        return;
    const size_t fresh = mSeenDeletions < f.deletions.size() ? f.deletions.size() - mSeenDeletions : 0;
    if (fresh > 0 && fresh <= 8) {
        // The usual case: a few deletions, most often of the last item of this very collection.
        for (size_t i = mSeenDeletions; i < f.deletions.size(); ++i) {
            const Record* gone = f.deletions[i].get();
            for (auto it = mRecords.rbegin(); it != mRecords.rend(); ++it) {
                if (it->get() == gone) {
                    mRecords.erase(std::next(it).base());
                    break;
                }
            }
        }
    } else {
        std::erase_if(mRecords, [](const RecordPtr& r) { return r->deleted; });
    }
    mSeenDeletions = f.deletions.size();
}

void Items::applySort() const {
    if (!mSortPending)
        return;
    mSortPending = false;
    const SortKeys keys(mRecords, mSortId);
    std::vector<size_t> order(mRecords.size());
    std::iota(order.begin(), order.end(), size_t{0});
    if (mSortDescending)
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys.less(b, a); });
    else
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys.less(a, b); });
    std::vector<RecordPtr> sorted;
    sorted.reserve(order.size());
    for (size_t i : order)
        sorted.push_back(std::move(mRecords[i]));
    mRecords = std::move(sorted);
}

const RecordPtr& Items::recordAt(int index) const {
    refresh();
    if (index < 1 || index > static_cast<int>(mRecords.size()))
        throw Error(kErrNotFound, QStringLiteral("There is no item number %1 (the collection holds %2).")
                                      .arg(index)
                                      .arg(mRecords.size()));
    if (mSortPending) {
        if (index == 1) {
            // The first item in order needs no full sort; the earliest of equal keys wins.
            const SortKeys keys(mRecords, mSortId);
            size_t best = 0;
            for (size_t i = 1; i < mRecords.size(); ++i) {
                if (mSortDescending ? keys.less(best, i) : keys.less(i, best))
                    best = i;
            }
            return mRecords[best];
        }
        applySort();
    }
    return mRecords[static_cast<size_t>(index - 1)];
}

int Items::Count() const {
    refresh();
    return static_cast<int>(mRecords.size());
}

ItemPtr Items::Item(int index) const {
    const RecordPtr& r = recordAt(index);
    return std::make_shared<ol::Item>(mFolder, r, r->cls);
}

ItemPtr Items::Item(const QString& displayName) const {
    refresh();
    applySort();
    for (const RecordPtr& r : mRecords) {
        bool same = false;
        r->withText(prop::Subject, [&](QStringView subject) {
            same = subject.compare(displayName, Qt::CaseInsensitive) == 0;
        });
        if (same)
            return std::make_shared<ol::Item>(mFolder, r, r->cls);
    }
    throw Error(kErrNotFound, QStringLiteral("The item %1 was not found.").arg(displayName));
}

ItemPtr Items::ItemWithID(const QString& entryID) const {
    refresh();
    for (const RecordPtr& r : mRecords) {
        if (r->entryId == entryID)
            return std::make_shared<ol::Item>(mFolder, r, r->cls);
    }
    return nullptr;
}

QVariant Items::value(int index, int propId) const {
    return recordAt(index)->value(propId);
}

QString Items::subject(int index) const {
    return recordAt(index)->value(prop::Subject).toString();
}

ItemClass Items::itemClass(int index) const {
    return recordAt(index)->cls;
}

ItemsPtr Items::Restrict(const QString& filter) const {
    return Restrict(Filter::parse(filter));
}

ItemsPtr Items::Restrict(const Filter& filter) const {
    refresh();
    applySort();
    auto result = std::make_shared<Items>(mFolder, false);
    result->mRecords.reserve(mRecords.size() / 4);
    for (const RecordPtr& r : mRecords) {
        if (filter.matches(RecordSource(r.get())))
            result->mRecords.push_back(r);
    }
    result->mSeenDeletions = mFolder->deletions.size();
    result->mSeenReloads = mFolder->reloads;
    return result;
}

void Items::Sort(const QString& property, bool descending) {
    QString name = property.trimmed();
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    const PropertyDef* def = findProperty(name);
    if (!def)
        throw Error(kErrFilter, QStringLiteral("Cannot sort by the unknown property %1.").arg(property));
    mSortId = def->id;
    mSortDescending = descending;
    mSortPending = true;
}

ItemPtr Items::Add(int itemType) const {
    mFolder->checkExists();
    const int type = itemType >= 0 ? itemType : mFolder->type;
    const QString messageClass = messageClassOfItemType(type);
    auto item = std::make_shared<ol::Item>(mFolder, nullptr, classOfMessageClass(messageClass));
    item->set(prop::MessageClass, messageClass);
    return item;
}

} // namespace ol
