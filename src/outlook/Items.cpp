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
        k.text = foldKey(values.get(propId).toString());
        k.hasText = true;
    }
    return k.text;
}

qint64 Record::numberKey(int propId) const {
    Key& k = key(propId);
    if (!k.hasNumber) {
        const QVariant* v = values.find(propId);
        k.number = std::numeric_limits<qint64>::min();
        if (v && v->typeId() == QMetaType::QDateTime) {
            const QDateTime t = v->toDateTime();
            if (t.isValid())
                k.number = t.date().toJulianDay() * 86400000 + t.time().msecsSinceStartOfDay();
        } else if (v) {
            k.number = v->toLongLong();
        }
        k.hasNumber = true;
    }
    return k.number;
}

void FolderState::addRecord(RecordPtr record) {
    byEntryId.insert(record->entryId, record.get());
    records.push_back(std::move(record));
    ++generation;
}

void FolderState::removeRecord(const RecordPtr& record) {
    record->deleted = true;
    if (!loaded)
        return;
    const auto it = byEntryId.constFind(record->entryId);
    if (it == byEntryId.constEnd() || *it != record.get())
        return; // an orphan of an earlier load
    byEntryId.erase(it);
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
    QVariant value(int propId) const override { return mR->values.get(propId); }
    QString folded(int propId) const override { return mR->foldedText(propId); }

private:
    const Record* mR;
};

// Sort keys of one property, worked out once per sort: folded text, or a number for dates (local
// wall-clock milliseconds, so no time zone arithmetic per comparison), whole numbers and flags.
// Missing values sort first.
struct SortKeys {
    PropType type;
    std::vector<const QString*> text;
    std::vector<qint64> number;

    SortKeys(const std::vector<RecordPtr>& records, int id) : type(propertyDef(id).type) {
        if (type == PropType::Text || type == PropType::Keywords) {
            text.reserve(records.size());
            for (const RecordPtr& r : records)
                text.push_back(&r->foldedText(id));
            return;
        }
        number.reserve(records.size());
        for (const RecordPtr& r : records)
            number.push_back(r->numberKey(id));
    }
    bool less(size_t a, size_t b) const { return text.empty() ? number[a] < number[b] : *text[a] < *text[b]; }
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
        const QVariant* subject = r->values.find(prop::Subject);
        if (subject && subject->toString().compare(displayName, Qt::CaseInsensitive) == 0)
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
    return recordAt(index)->values.get(propId);
}

QString Items::subject(int index) const {
    return recordAt(index)->values.get(prop::Subject).toString();
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
