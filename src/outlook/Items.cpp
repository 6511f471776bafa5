#include "StoreInternal.h"

#include "Collation.h"

#include <algorithm>

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

const QString& Record::foldedText(int propId) const {
    for (const auto& [id, text] : folded) {
        if (id == propId)
            return text;
    }
    folded.emplace_back(propId, foldKey(values.get(propId).toString()));
    return folded.back().second;
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

// Orders records by one property; missing values first.
struct SortKeyLess {
    int id;
    PropType type;
    bool operator()(const RecordPtr& a, const RecordPtr& b) const {
        switch (type) {
        case PropType::Text:
        case PropType::Keywords:
            return a->foldedText(id) < b->foldedText(id);
        case PropType::DateTime: {
            const QDateTime x = a->values.get(id).toDateTime();
            const QDateTime y = b->values.get(id).toDateTime();
            if (!x.isValid() || !y.isValid())
                return !x.isValid() && y.isValid();
            return x < y;
        }
        case PropType::Integer:
        case PropType::Boolean:
            return a->values.get(id).toInt() < b->values.get(id).toInt();
        }
        return false;
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
            mSeenDeletions = f.deletions.size();
            if (mSortId >= 0)
                mSortPending = true;
            return;
        }
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
    const SortKeyLess less{mSortId, propertyDef(mSortId).type};
    if (mSortDescending)
        std::stable_sort(mRecords.begin(), mRecords.end(),
                         [&](const RecordPtr& a, const RecordPtr& b) { return less(b, a); });
    else
        std::stable_sort(mRecords.begin(), mRecords.end(), less);
}

const RecordPtr& Items::recordAt(int index) const {
    refresh();
    if (index < 1 || index > static_cast<int>(mRecords.size()))
        throw Error(kErrNotFound, QStringLiteral("There is no item number %1 (the collection holds %2).")
                                      .arg(index)
                                      .arg(mRecords.size()));
    if (mSortPending) {
        if (index == 1) {
            // The first item in order needs no full sort; min_element keeps the earliest of equals.
            const SortKeyLess less{mSortId, propertyDef(mSortId).type};
            const auto it =
                mSortDescending
                    ? std::min_element(mRecords.begin(), mRecords.end(),
                                       [&](const RecordPtr& a, const RecordPtr& b) { return less(b, a); })
                    : std::min_element(mRecords.begin(), mRecords.end(), less);
            return *it;
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
