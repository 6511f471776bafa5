#include "StoreInternal.h"

#include "Collation.h"

#include <QLocale>
#include <QRegularExpression>
#include <SQLiteCpp/Statement.h>

namespace ol {

QStringList splitKeywords(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[,;]"));
    QStringList names;
    for (const QString& part : text.split(separators)) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

using namespace detail;

QString formatDate(const QDateTime& value) {
    if (!value.isValid())
        return QString();
    const QLocale c = QLocale::c();
    if (value.time() == QTime(0, 0))
        return c.toString(value.date(), QStringLiteral("MM/dd/yyyy"));
    return c.toString(value, QStringLiteral("MM/dd/yyyy hh:mm AP"));
}

namespace {

const QRegularExpression& lineBreaks() {
    static const QRegularExpression re(QStringLiteral("\r\n|\n|\r"));
    return re;
}

[[noreturn]] void badValue(const QString& name, const QVariant& value, const char* what) {
    throw Error(kErrInvalidArgument, QStringLiteral("%1 cannot take the value \"%2\": %3")
                                         .arg(name, value.toString(), QLatin1String(what)));
}

QString normalizeKeywords(const QString& text) {
    QStringList parts = splitKeywords(text);
    parts.removeDuplicates();
    return parts.join(QStringLiteral(", "));
}

// Converts a value to the type of a property; an empty text clears a date.
QVariant convert(const PropertyDef& def, const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        if (def.type == PropType::Text || def.type == PropType::Keywords)
            return QString();
        return {};
    }
    switch (def.type) {
    case PropType::Text:
        return value.toString();
    case PropType::Keywords:
        return normalizeKeywords(value.toString());
    case PropType::DateTime: {
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().isValid() ? value : QVariant();
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().isValid() ? QVariant(QDateTime(value.toDate(), QTime(0, 0))) : QVariant();
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return {};
        QDateTime t = parseFilterDate(text);
        if (!t.isValid())
            t = QDateTime::fromString(text, Qt::ISODate);
        if (!t.isValid())
            badValue(def.name, value, "not a date (write mm/dd/yyyy, optionally with a time)");
        return QDateTime(t.date(), t.time());
    }
    case PropType::Integer: {
        bool ok = false;
        const int n =
            value.typeId() == QMetaType::QString ? value.toString().trimmed().toInt(&ok) : value.toInt(&ok);
        if (!ok)
            badValue(def.name, value, "not a whole number");
        return n;
    }
    case PropType::Boolean: {
        if (value.typeId() == QMetaType::Bool)
            return value;
        const QString t = value.toString().trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("1") ||
            t == QLatin1String("-1") || t == QLatin1String("on"))
            return true;
        if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("0") ||
            t == QLatin1String("off") || t.isEmpty())
            return false;
        badValue(def.name, value, "not True or False");
    }
    }
    return value;
}

QVariant defaultValue(PropType type) {
    switch (type) {
    case PropType::Text:
    case PropType::Keywords:
        return QString();
    case PropType::DateTime:
        return QDateTime();
    case PropType::Integer:
        return 0;
    case PropType::Boolean:
        return false;
    }
    return {};
}

// --- Names -------------------------------------------------------------------------------------

bool isTitleWord(const QString& w) {
    static const QStringList titles = {"mr", "mrs", "ms", "miss", "dr", "prof", "rev", "sir", "mx", "fr"};
    QString t = w.toLower();
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return titles.contains(t);
}

bool isSuffixWord(const QString& w) {
    static const QStringList suffixes = {"jr",   "sr", "ii",  "iii", "iv",  "v",   "phd",
                                         "ph.d", "md", "m.d", "esq", "dds", "cpa", "mba"};
    QString t = w.toLower();
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return suffixes.contains(t);
}

bool isParticle(const QString& w) {
    static const QStringList particles = {"van", "von",   "de", "der", "den", "du",  "da",  "di",
                                          "del", "della", "la", "le",  "ter", "ten", "st.", "st"};
    return w.at(0).isLower() && particles.contains(w.toLower());
}

struct NameParts {
    QString title, first, middle, last, suffix;
};

// "Dr. John Q. Smith Jr." and "Smith, John Q." into their parts.
NameParts parseFullName(const QString& fullName) {
    NameParts n;
    QString text = fullName.simplified();
    if (text.isEmpty())
        return n;
    QStringList tail;
    // "Last, First Middle" (a comma not merely before a suffix).
    const int comma = text.indexOf(QLatin1Char(','));
    if (comma > 0) {
        const QString after = text.mid(comma + 1).trimmed();
        const QStringList afterWords = after.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const bool suffixOnly =
            !afterWords.isEmpty() && std::all_of(afterWords.begin(), afterWords.end(), isSuffixWord);
        if (!suffixOnly) {
            n.last = text.left(comma).trimmed();
            NameParts rest = parseFullName(after);
            n.title = rest.title;
            n.first = rest.first;
            n.middle = rest.last.isEmpty()
                           ? rest.middle
                           : QStringList({rest.middle, rest.last}).join(QLatin1Char(' ')).trimmed();
            n.suffix = rest.suffix;
            return n;
        }
        text = text.left(comma) + QLatin1Char(' ') + after;
    }
    QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (words.size() > 1 && isTitleWord(words.first()))
        n.title += (n.title.isEmpty() ? QString() : QStringLiteral(" ")) + words.takeFirst();
    while (words.size() > 1 && isSuffixWord(words.last()))
        tail.prepend(words.takeLast());
    n.suffix = tail.join(QLatin1Char(' '));
    if (words.size() == 1) {
        n.first = words.first();
    } else if (words.size() >= 2) {
        n.first = words.takeFirst();
        QStringList last{words.takeLast()};
        while (!words.isEmpty() && isParticle(words.last()))
            last.prepend(words.takeLast());
        n.last = last.join(QLatin1Char(' '));
        n.middle = words.join(QLatin1Char(' '));
    }
    return n;
}

QString joinNonEmpty(const QStringList& parts, const QString& sep) {
    QStringList kept;
    for (const QString& p : parts) {
        if (!p.trimmed().isEmpty())
            kept << p.trimmed();
    }
    return kept.join(sep);
}

// --- Addresses ---------------------------------------------------------------------------------

struct AddressIds {
    int full, street, city, state, postal, country, poBox;
};

const AddressIds kAddresses[] = {
    {prop::BusinessAddress, prop::BusinessAddressStreet, prop::BusinessAddressCity,
     prop::BusinessAddressState, prop::BusinessAddressPostalCode, prop::BusinessAddressCountry,
     prop::BusinessAddressPostOfficeBox},
    {prop::HomeAddress, prop::HomeAddressStreet, prop::HomeAddressCity, prop::HomeAddressState,
     prop::HomeAddressPostalCode, prop::HomeAddressCountry, prop::HomeAddressPostOfficeBox},
    {prop::OtherAddress, prop::OtherAddressStreet, prop::OtherAddressCity, prop::OtherAddressState,
     prop::OtherAddressPostalCode, prop::OtherAddressCountry, prop::OtherAddressPostOfficeBox},
};

const AddressIds* addressOf(int id) {
    for (const AddressIds& a : kAddresses) {
        if (id == a.full || id == a.street || id == a.city || id == a.state || id == a.postal ||
            id == a.country)
            return &a;
    }
    return nullptr;
}

bool hasDigit(const QString& s) {
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isDigit(); });
}

struct AddressParts {
    QString street, city, state, postal, country;
};

QString composeAddress(const AddressParts& a) {
    // "City, State PostalCode"; the comma parts the city from whatever follows it.
    const QString region = joinNonEmpty({a.state, a.postal}, QStringLiteral(" "));
    const QString cityLine = joinNonEmpty({a.city, region}, QStringLiteral(", "));
    QStringList lines;
    for (const QString& l : a.street.split(lineBreaks())) {
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    }
    if (!cityLine.isEmpty())
        lines << cityLine;
    if (!a.country.isEmpty())
        lines << a.country;
    return lines.join(QStringLiteral("\r\n"));
}

void parseCityLine(const QString& line, AddressParts& a) {
    const int comma = line.indexOf(QLatin1Char(','));
    QStringList words;
    if (comma >= 0) {
        a.city = line.left(comma).trimmed();
        words = line.mid(comma + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    } else {
        words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    QStringList postal;
    if (!words.isEmpty() && hasDigit(words.last())) {
        postal << words.takeLast();
        // Two-part postal codes such as "SW1A 1AA".
        if (!words.isEmpty() && hasDigit(words.last()) && words.last().size() <= 4)
            postal.prepend(words.takeLast());
    }
    a.postal = postal.join(QLatin1Char(' '));
    if (comma >= 0)
        a.state = words.join(QLatin1Char(' '));
    else
        a.city = words.join(QLatin1Char(' '));
}

AddressParts parseAddress(const QString& full) {
    AddressParts a;
    QStringList lines;
    for (const QString& l : full.split(lineBreaks())) {
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    }
    if (lines.isEmpty())
        return a;
    const auto looksLikeCityLine = [](const QString& l) {
        return l.contains(QLatin1Char(',')) || hasDigit(l);
    };
    int cityIndex = -1;
    if (lines.size() >= 2 && looksLikeCityLine(lines.last())) {
        cityIndex = static_cast<int>(lines.size()) - 1;
    } else if (lines.size() >= 2) {
        a.country = lines.takeLast();
        if (lines.size() >= 2 || looksLikeCityLine(lines.last()))
            cityIndex = static_cast<int>(lines.size()) - 1;
    } else if (looksLikeCityLine(lines.first()) && lines.first().contains(QLatin1Char(','))) {
        cityIndex = 0;
    }
    if (cityIndex >= 0)
        parseCityLine(lines.takeAt(cityIndex), a);
    a.street = lines.join(QStringLiteral("\r\n"));
    return a;
}

} // namespace

// ---------------------------------------------------------------------------------------------

Item::Item(std::shared_ptr<FolderState> folder, RecordPtr record, ItemClass cls)
    : mFolder(std::move(folder)), mRecord(std::move(record)), mClass(cls) {
    if (mRecord) {
        ItemData data = mRecord->data();
        mValues = std::move(data.values);
        mPattern = std::move(data.pattern);
        mRecurring = data.recurring;
        mNamed = std::move(data.named);
    } else {
        mValues.set(prop::Importance, 1);
        mValues.set(prop::Sensitivity, 0);
        if (mClass == kAppointment) {
            mValues.set(prop::Duration, 30);
            mValues.set(prop::BusyStatus, 2);
            mValues.set(prop::ReminderMinutesBeforeStart, 15);
        }
        mDirty = true;
    }
}

bool Item::isNew() const {
    return !mRecord;
}

FolderPtr Item::Parent() const {
    return std::make_shared<Folder>(mFolder);
}

static const PropertyDef& knownProperty(const QString& name, ItemClass cls) {
    const PropertyDef* def = findProperty(name);
    if (!def || !(def->classes & cls))
        throw Error(kErrNotFound, QStringLiteral("The property %1 is not known for this item.").arg(name));
    return *def;
}

bool Item::has(const QString& name) const {
    const PropertyDef* def = findProperty(name);
    return def && (def->classes & mClass);
}

bool Item::isSet(int propId) const {
    return propId == prop::IsRecurring ? mRecurring : mValues.find(propId) != nullptr;
}

QVariant Item::Get(const QString& name) const {
    return get(knownProperty(name, mClass).id);
}

void Item::Set(const QString& name, const QVariant& value) {
    const PropertyDef& def = knownProperty(name, mClass);
    if (def.readOnly)
        throw Error(kErrInvalidArgument, QStringLiteral("The property %1 cannot be changed.").arg(def.name));
    set(def.id, value);
}

QVariant Item::get(int propId) const {
    if (propId == prop::IsRecurring)
        return mRecurring;
    const QVariant* v = mValues.find(propId);
    return v ? *v : defaultValue(propertyDef(propId).type);
}

QString propertyText(int propId, const QVariant& value) {
    const PropertyDef& def = propertyDef(propId);
    const QVariant v = value.isValid() ? value : defaultValue(def.type);
    switch (def.type) {
    case PropType::DateTime:
        return formatDate(v.toDateTime());
    case PropType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

QString Item::text(int propId) const {
    return propertyText(propId, get(propId));
}

void Item::set(int propId, const QVariant& value) {
    const PropertyDef& def = propertyDef(propId);
    const QVariant converted = convert(def, value);
    if (!(mClass & (kContact | kDistList))) {
        mValues.set(propId, converted);
    } else {
        // Subject and FileAs follow the name while nobody set them to something else.
        const auto autoSubject = [&] {
            const QString full = get(prop::FullName).toString();
            return full.isEmpty() ? get(prop::CompanyName).toString() : full;
        };
        const auto autoFileAs = [&] {
            const QString last = get(prop::LastName).toString();
            const QString given = joinNonEmpty(
                {get(prop::FirstName).toString(), get(prop::MiddleName).toString()}, QStringLiteral(" "));
            if (!last.isEmpty())
                return given.isEmpty() ? last : last + QStringLiteral(", ") + given;
            return given.isEmpty() ? get(prop::CompanyName).toString() : given;
        };
        const QString oldSubject = autoSubject();
        const QString oldFileAs = autoFileAs();
        mValues.set(propId, converted);
        applyDerived(propId);
        const bool nameChanged = propId == prop::FullName || propId == prop::FirstName ||
                                 propId == prop::MiddleName || propId == prop::LastName ||
                                 propId == prop::Suffix || propId == prop::Title ||
                                 propId == prop::CompanyName;
        if (nameChanged && mClass == kContact) {
            const QString subject = get(prop::Subject).toString();
            if (subject.isEmpty() || subject == oldSubject)
                mValues.set(prop::Subject, autoSubject());
            const QString fileAs = get(prop::FileAs).toString();
            if (fileAs.isEmpty() || fileAs == oldFileAs)
                mValues.set(prop::FileAs, autoFileAs());
        }
    }
    if (propId == prop::MessageClass)
        mClass = classOfMessageClass(converted.toString());
    if (mClass == kAppointment)
        applyDerived(propId);
    mDirty = true;
}

void Item::applyDerived(int propId) {
    if (mClass & (kContact | kDistList)) {
        if (propId == prop::FullName) {
            const NameParts n = parseFullName(get(prop::FullName).toString());
            mValues.set(prop::Title, n.title);
            mValues.set(prop::FirstName, n.first);
            mValues.set(prop::MiddleName, n.middle);
            mValues.set(prop::LastName, n.last);
            mValues.set(prop::Suffix, n.suffix);
            mValues.set(prop::FullName,
                        joinNonEmpty({n.title, n.first, n.middle, n.last, n.suffix}, QStringLiteral(" ")));
        } else if (propId == prop::FirstName || propId == prop::MiddleName || propId == prop::LastName ||
                   propId == prop::Suffix || propId == prop::Title) {
            mValues.set(prop::FullName,
                        joinNonEmpty({get(prop::Title).toString(), get(prop::FirstName).toString(),
                                      get(prop::MiddleName).toString(), get(prop::LastName).toString(),
                                      get(prop::Suffix).toString()},
                                     QStringLiteral(" ")));
        } else if (const AddressIds* a = addressOf(propId)) {
            if (propId == a->full) {
                const QString full = get(a->full).toString();
                const AddressParts p = parseAddress(full);
                mValues.set(a->street, p.street);
                mValues.set(a->city, p.city);
                mValues.set(a->state, p.state);
                mValues.set(a->postal, p.postal);
                mValues.set(a->country, p.country);
                QStringList lines;
                for (const QString& l : full.split(lineBreaks()))
                    lines << l;
                mValues.set(a->full, lines.join(QStringLiteral("\r\n")).trimmed());
            } else {
                mValues.set(a->full, composeAddress({get(a->street).toString(), get(a->city).toString(),
                                                     get(a->state).toString(), get(a->postal).toString(),
                                                     get(a->country).toString()}));
            }
        }
        return;
    }
    if (mClass != kAppointment)
        return;
    const QDateTime start = get(prop::Start).toDateTime();
    if (propId == prop::Start && start.isValid()) {
        int minutes = get(prop::Duration).toInt();
        if (minutes < 0)
            minutes = 30;
        if (get(prop::AllDayEvent).toBool()) {
            mValues.set(prop::Start, QDateTime(start.date(), QTime(0, 0)));
            minutes = std::max(1440, minutes - minutes % 1440);
        }
        mValues.set(prop::End, get(prop::Start).toDateTime().addSecs(qint64(minutes) * 60));
        mValues.set(prop::Duration, minutes);
    } else if (propId == prop::End && start.isValid()) {
        const QDateTime end = get(prop::End).toDateTime();
        if (end.isValid() && end >= start)
            mValues.set(prop::Duration, static_cast<int>(start.secsTo(end) / 60));
        else if (end.isValid())
            mValues.set(prop::End, start); // an end before the start ends at the start
    } else if (propId == prop::Duration && start.isValid()) {
        mValues.set(prop::End, start.addSecs(qint64(std::max(0, get(prop::Duration).toInt())) * 60));
    } else if (propId == prop::AllDayEvent && get(prop::AllDayEvent).toBool() && start.isValid()) {
        const QDateTime midnight(start.date(), QTime(0, 0));
        const int minutes = std::max(1440, get(prop::Duration).toInt() - get(prop::Duration).toInt() % 1440);
        mValues.set(prop::Start, midnight);
        mValues.set(prop::End, midnight.addSecs(qint64(minutes) * 60));
        mValues.set(prop::Duration, minutes);
    }
}

QString Item::damage() const {
    return mRecord ? mRecord->damage : QString();
}

void Item::Save() {
    if (mRecord && mRecord->deleted)
        throw Error(kErrNotFound, QStringLiteral("The item %1 was deleted.").arg(Subject()));
    if (mRecord && !mRecord->damage.isEmpty())
        throw Error(kErrStoreFile, QStringLiteral("The item %1 is damaged (%2); it can only be deleted.")
                                       .arg(mRecord->entryId, mRecord->damage));
    StoreState& store = *mFolder->store;
    store.ensureWritable();
    const QDateTime now = mFolder->app->now();
    const bool creating = !mRecord;

    ItemData fresh;
    fresh.values = mValues;
    fresh.pattern = mPattern;
    fresh.recurring = mRecurring && mClass == kAppointment;
    fresh.named = mNamed;
    fresh.values.set(prop::LastModificationTime, now);
    if (creating)
        fresh.values.set(prop::CreationTime, now);
    fresh.values.set(prop::IsRecurring, fresh.recurring ? QVariant(true) : QVariant());
    const QString entryId = creating ? newEntryId() : mRecord->entryId;
    fresh.values.set(prop::EntryID, entryId);
    const QByteArray blob = encodeRecord(fresh);

    try {
        if (creating) {
            mFolder->ensureLoaded();
            SQLite::Statement q(*store.db, "INSERT INTO items(folder, entry_id, props) VALUES(?, ?, ?)");
            q.bind(1, static_cast<int64_t>(mFolder->id));
            q.bind(2, entryId.toStdString());
            q.bind(3, blob.constData(), static_cast<int>(blob.size()));
            q.exec();
        } else {
            // By EntryID: an item deleted meanwhile changes no row, whatever was added since.
            SQLite::Statement q(*store.db, "UPDATE items SET props = ? WHERE entry_id = ?");
            q.bind(1, blob.constData(), static_cast<int>(blob.size()));
            q.bind(2, entryId.toStdString());
            if (q.exec() != 1) {
                mFolder->removeRecord(mRecord);
                throw Error(kErrNotFound, QStringLiteral("The item %1 was deleted.").arg(Subject()));
            }
        }
        store.noteOwnCommit();
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throwStoreError(store, e);
    }

    mValues = std::move(fresh.values);
    if (creating) {
        auto record = std::make_shared<Record>();
        record->entryId = entryId;
        record->replace(compactRecord(blob), mClass);
        mRecord = record;
        mFolder->addRecord(record);
    } else {
        const QByteArray compact = compactRecord(blob);
        mRecord->replace(compact, mClass);
        // A handle from before a reload holds a record the folder no longer lists: the listed one
        // takes the new values too.
        if (mFolder->loaded) {
            Record* listed = mFolder->listed(mRecord->entryId);
            if (listed && listed != mRecord.get())
                listed->replace(compact, mClass);
        }
    }
    mDirty = false;
}

void Item::Delete() {
    if (!mRecord)
        return; // never saved: nothing to remove
    if (mRecord->deleted)
        throw Error(kErrNotFound, QStringLiteral("The item %1 was already deleted.").arg(Subject()));
    StoreState& store = *mFolder->store;
    store.ensureWritable();
    int changed = 0;
    try {
        SQLite::Statement q(*store.db, "DELETE FROM items WHERE entry_id = ?");
        q.bind(1, mRecord->entryId.toStdString());
        changed = q.exec();
        store.noteOwnCommit();
    } catch (const std::exception& e) {
        throwStoreError(store, e);
    }
    mFolder->damaged.remove(mRecord->entryId);
    mFolder->removeRecord(mRecord);
    if (changed != 1)
        throw Error(kErrNotFound, QStringLiteral("The item %1 was already deleted.").arg(Subject()));
}

void Item::Display() {
    if (!mFolder->app->ui)
        throw Error(kErrCannotCreate, QStringLiteral("No window is available to show the item."));
    mFolder->app->ui->display(shared_from_this());
}

void Item::ShowCategoriesDialog() {
    if (!mFolder->app->ui)
        throw Error(kErrCannotCreate, QStringLiteral("No window is available to pick categories."));
    mFolder->app->ui->showCategories(shared_from_this());
}

RecurrencePatternPtr Item::GetRecurrencePattern() {
    if (mClass != kAppointment)
        throw Error(kErrNotFound, QStringLiteral("Only appointments recur."));
    if (!mRecurring) {
        const QDateTime start = get(prop::Start).toDateTime();
        const QDateTime end = get(prop::End).toDateTime();
        mPattern = PropBag();
        mPattern.set(pattern::RecurrenceType, 1);
        mPattern.set(pattern::Interval, 1);
        mPattern.set(pattern::NoEndDate, true);
        mPattern.set(pattern::Duration, get(prop::Duration).toInt());
        if (start.isValid()) {
            mPattern.set(pattern::PatternStartDate, QDateTime(start.date(), QTime(0, 0)));
            mPattern.set(pattern::StartTime, start);
            mPattern.set(pattern::DayOfWeekMask, 1 << (start.date().dayOfWeek() % 7));
        }
        if (end.isValid())
            mPattern.set(pattern::EndTime, end);
        mRecurring = true;
        mDirty = true;
    }
    return std::make_shared<RecurrencePattern>(shared_from_this());
}

void Item::ClearRecurrencePattern() {
    mPattern = PropBag();
    mRecurring = false;
    mDirty = true;
}

bool Item::hasRecurrencePattern() const {
    return mRecurring;
}

static QString namedKey(const QString& set, const QString& tag) {
    return set.toUpper() + QLatin1Char('/') + tag.toLower();
}

QVariant Item::namedProperty(const QString& propertySet, const QString& tag) const {
    return mNamed.value(namedKey(propertySet, tag));
}

void Item::setNamedProperty(const QString& propertySet, const QString& tag, const QVariant& value) {
    mNamed.insert(namedKey(propertySet, tag), value);
    mDirty = true;
}

// ---------------------------------------------------------------------------------------------

RecurrencePattern::RecurrencePattern(ItemPtr owner) : mOwner(std::move(owner)) {}

static const PropertyDef& knownPatternProperty(const QString& name) {
    const PropertyDef* def = findPatternProperty(name);
    if (!def)
        throw Error(kErrNotFound, QStringLiteral("A recurrence pattern has no property %1.").arg(name));
    return *def;
}

QVariant RecurrencePattern::Get(const QString& name) const {
    return get(knownPatternProperty(name).id);
}
void RecurrencePattern::Set(const QString& name, const QVariant& value) {
    set(knownPatternProperty(name).id, value);
}

QVariant RecurrencePattern::get(int patternId) const {
    const QVariant* v = mOwner->mPattern.find(patternId);
    return v ? *v : defaultValue(patternPropertyDef(patternId).type);
}

void RecurrencePattern::set(int patternId, const QVariant& value) {
    mOwner->mPattern.set(patternId, convert(patternPropertyDef(patternId), value));
    mOwner->mRecurring = true;
    mOwner->mDirty = true;
}

// ---------------------------------------------------------------------------------------------

std::shared_ptr<SafeItem> SafeItem::create(const ApplicationPtr& app, const QString& progId) {
    if (!app || !app->safeItemsAvailable())
        throw Error(kErrCannotCreate,
                    QStringLiteral("ActiveX component can't create object: %1").arg(progId));
    return std::make_shared<SafeItem>();
}

QVariant SafeItem::Get(const QString& name) const {
    if (!mItem)
        throw Error(kErrObjectRequired, QStringLiteral("Object required"));
    return mItem->Get(name);
}

void SafeItem::Set(const QString& name, const QVariant& value) {
    if (!mItem)
        throw Error(kErrObjectRequired, QStringLiteral("Object required"));
    mItem->Set(name, value);
}

std::shared_ptr<MapiSession> MapiSession::create(const ApplicationPtr& app) {
    if (!app || !app->labelSessionAvailable())
        throw Error(kErrCannotCreate, QStringLiteral("ActiveX component can't create object: MAPI.Session"));
    auto session = std::make_shared<MapiSession>();
    session->mApp = app->state();
    session->mNameSpace = app->GetNamespace();
    return session;
}

void MapiSession::Logon() {
    mLoggedOn = true;
}
void MapiSession::Logoff() {
    mLoggedOn = false;
}

std::shared_ptr<MapiSession::Message> MapiSession::GetMessage(const QString& entryID,
                                                              const QString& storeID) {
    if (!mLoggedOn)
        throw Error(kErrObjectRequired, QStringLiteral("The session is not logged on."));
    auto message = std::make_shared<Message>();
    message->mItem = mNameSpace->GetItemFromID(entryID, storeID);
    return message;
}

std::shared_ptr<MapiSession::Field> MapiSession::Message::Item(const QString& tag,
                                                               const QString& propertySet) {
    if (!mItem->namedProperty(propertySet, tag).isValid())
        throw Error(kErrNotFound, QStringLiteral("The field %1 is not set.").arg(tag));
    auto field = std::make_shared<Field>();
    field->mItem = mItem;
    field->mSet = propertySet;
    field->mTag = tag;
    return field;
}

std::shared_ptr<MapiSession::Field>
MapiSession::Message::Add(const QString& tag, int type, const QVariant& value, const QString& propertySet) {
    Q_UNUSED(type);
    mItem->setNamedProperty(propertySet, tag, value);
    auto field = std::make_shared<Field>();
    field->mItem = mItem;
    field->mSet = propertySet;
    field->mTag = tag;
    return field;
}

void MapiSession::Message::Update() {
    mItem->Save();
}

QVariant MapiSession::Field::Value() const {
    return mItem->namedProperty(mSet, mTag);
}
void MapiSession::Field::setValue(const QVariant& value) {
    mItem->setNamedProperty(mSet, mTag, value);
}

void setLabelField(MapiSession::Message& message, int label) {
    try {
        message.Item(kLabelTag, kLabelPropertySet)->setValue(label);
    } catch (const Error& e) {
        if (e.number() != kErrNotFound)
            throw;
        message.Add(kLabelTag, 3, label, kLabelPropertySet);
    }
}

QVariant labelOf(const Item& item) {
    return item.namedProperty(kLabelPropertySet, kLabelTag);
}

QString labelName(int label) {
    static const char* names[kLabelCount] = {"none",       "red",   "blue",   "green",     "grey",  "orange",
                                             "light blue", "beige", "purple", "blue-grey", "yellow"};
    return label >= 0 && label < kLabelCount ? QLatin1String(names[label]) : QString();
}

QString labelColour(int label) {
    static const char* hex[kLabelCount] = {"#ffffff", "#e7a1a2", "#9daee6", "#c1e7a9", "#c4c4c4", "#f9ba89",
                                           "#9fdcc9", "#d5c07a", "#b5a1e2", "#a8c4d6", "#f7dd8f"};
    return label >= 0 && label < kLabelCount ? QLatin1String(hex[label]) : QString();
}

} // namespace ol
