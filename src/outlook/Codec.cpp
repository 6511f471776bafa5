#include "StoreInternal.h"

#include <QVarLengthArray>
#include <array>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstring>
#include <vector>

namespace ol::detail {

// An item is stored as one blob: a version byte, then entries of
//   section (u8: 0 property, 1 recurrence pattern, 2 named property),
//   name (u8 length + UTF-8), type (u8), value.
// Names rather than ids keep files readable by later versions that add properties.
// A section 1 entry with an empty name and the type 5 (no value) marks a recurring item.

namespace {

enum : quint8 { kSectionProp = 0, kSectionPattern = 1, kSectionNamed = 2 };
// kLatin1 (text of one byte a character) is used only in the compact form below.
enum : quint8 { kNull = 0, kText = 1, kDate = 2, kInt = 3, kBool = 4, kRecurringFlag = 5, kLatin1 = 6 };
constexpr quint8 kVersion = 1;

[[noreturn]] void damaged() {
    throw Error(kErrStoreFile, QStringLiteral("an item's data is damaged"));
}

class Writer {
public:
    void u8(quint8 v) { mOut.append(static_cast<char>(v)); }
    void raw(const void* data, qsizetype n) { mOut.append(static_cast<const char*>(data), n); }
    template <typename T> void num(T v) { raw(&v, sizeof v); }
    void name(const QString& n) {
        const QByteArray utf8 = n.toUtf8().left(255);
        u8(static_cast<quint8>(utf8.size()));
        mOut.append(utf8);
    }
    void value(const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::QDateTime: {
            const QDateTime t = v.toDateTime();
            if (!t.isValid()) {
                u8(kNull);
                return;
            }
            u8(kDate);
            num<qint64>(t.date().toJulianDay());
            num<qint32>(t.time().msecsSinceStartOfDay());
            return;
        }
        case QMetaType::Int:
            u8(kInt);
            num<qint32>(v.toInt());
            return;
        case QMetaType::Bool:
            u8(kBool);
            u8(v.toBool() ? 1 : 0);
            return;
        default: {
            const QString s = v.toString();
            u8(kText);
            num<quint32>(static_cast<quint32>(s.size()));
            raw(s.utf16(), s.size() * 2);
            return;
        }
        }
    }
    QByteArray take() { return std::move(mOut); }

private:
    QByteArray mOut;
};

// One entry of a stored blob, pointing into the blob.
struct Entry {
    quint8 section;
    QByteArrayView name;
    quint8 type;
    const char* value; // the value's bytes (after the type byte)
};

template <typename T> T readNum(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Walks the entries of a blob, checking each as it goes, and hands each to `visit`, which returns
// false to stop early. Throws kErrStoreFile for a blob that is damaged or of an unknown version.
template <typename Visit> void walk(QByteArrayView blob, Visit&& visit) {
    const char* p = blob.data();
    const char* const end = p + blob.size();
    const auto need = [&](qsizetype n) {
        if (end - p < n)
            damaged();
    };
    if (p == end || static_cast<quint8>(*p) != kVersion)
        throw Error(kErrStoreFile, QStringLiteral("an item was written by an unknown version"));
    ++p;
    while (p < end) {
        Entry e{};
        e.section = static_cast<quint8>(*p++);
        need(1);
        const auto nameSize = static_cast<quint8>(*p++);
        need(nameSize);
        e.name = QByteArrayView(p, nameSize);
        p += nameSize;
        need(1);
        e.type = static_cast<quint8>(*p++);
        e.value = p;
        if (e.section == kSectionPattern && e.name.isEmpty()) {
            if (e.type != kRecurringFlag)
                damaged();
        } else {
            switch (e.type) {
            case kNull:
                break;
            case kText: {
                need(4);
                const auto n = static_cast<qsizetype>(readNum<quint32>(p));
                p += 4;
                need(n * 2);
                p += n * 2;
                break;
            }
            case kDate:
                need(12);
                p += 12;
                break;
            case kInt:
                need(4);
                p += 4;
                break;
            case kBool:
                need(1);
                p += 1;
                break;
            default:
                damaged();
            }
            if (e.section > kSectionNamed)
                damaged();
        }
        if (!visit(e))
            return;
    }
}

QVariant valueOf(const Entry& e) {
    switch (e.type) {
    case kText: {
        const auto n = static_cast<qsizetype>(readNum<quint32>(e.value));
        QString s(n, Qt::Uninitialized);
        std::memcpy(s.data(), e.value + 4, static_cast<size_t>(n) * 2);
        return s;
    }
    case kDate:
        return QDateTime(QDate::fromJulianDay(readNum<qint64>(e.value)),
                         QTime::fromMSecsSinceStartOfDay(readNum<qint32>(e.value + 8)));
    case kInt:
        return readNum<qint32>(e.value);
    case kBool:
        return *e.value != 0;
    default:
        return {};
    }
}

// The ids of stored names, found by a bucket of their length and first and last bytes and compared
// whole there: a lookup per stored value, quicker than hashing every name.
class NameIds {
public:
    NameIds(int count, const PropertyDef& (*def)(int)) {
        for (int id = 0; id < count; ++id) {
            const QByteArray name = def(id).name.toUtf8();
            mBuckets[bucket(name)].push_back({name, id});
        }
    }
    int find(QByteArrayView name) const {
        if (name.isEmpty())
            return -1;
        for (const auto& [known, id] : mBuckets[bucket(name)]) {
            if (known.size() == name.size() && std::memcmp(known.data(), name.data(), known.size()) == 0)
                return id;
        }
        return -1;
    }

private:
    static size_t bucket(QByteArrayView name) {
        const auto first = static_cast<quint8>(name.front());
        const auto last = static_cast<quint8>(name.back());
        return (static_cast<size_t>(name.size()) * 131 + first * 31 + last) % kBuckets;
    }
    static constexpr size_t kBuckets = 509;
    std::array<std::vector<std::pair<QByteArray, int>>, kBuckets> mBuckets;
};

const NameIds& propIds() {
    static const NameIds ids(prop::Count, &propertyDef);
    return ids;
}

const NameIds& patternIds() {
    static const NameIds ids(pattern::Count, &patternPropertyDef);
    return ids;
}

} // namespace

QByteArray encodeRecord(const ItemData& item) {
    Writer w;
    w.u8(kVersion);
    for (const auto& [id, value] : item.values.entries()) {
        if (id == prop::EntryID)
            continue; // kept in its own column
        w.u8(kSectionProp);
        w.name(propertyDef(id).name);
        w.value(value);
    }
    if (item.recurring) {
        w.u8(kSectionPattern);
        w.name(QString());
        w.u8(kRecurringFlag);
        for (const auto& [id, value] : item.pattern.entries()) {
            w.u8(kSectionPattern);
            w.name(patternPropertyDef(id).name);
            w.value(value);
        }
    }
    for (auto it = item.named.constBegin(); it != item.named.constEnd(); ++it) {
        w.u8(kSectionNamed);
        w.name(it.key());
        w.value(it.value());
    }
    return w.take();
}

// The compact form a loaded record keeps in memory (never written to a file): entries of
//   section (u8: 0 property, 1 recurrence pattern, 2 named property, 3 the recurring mark),
//   for 0 and 1 the property's id (u8), for 2 the name (u8 length + UTF-8),
//   then, except for 3, the type (u8) and the value as stored, with text whose characters all
//   fit in Latin-1 kept as one byte a character (type 6).
// Properties this version does not know are left out, as reading them into an item would.

namespace {

enum : quint8 { kCompactRecurring = 3 };
static_assert(prop::Count <= 256 && pattern::Count <= 256, "compact records keep ids in one byte");

// Writes a compact record into a scratch buffer of the stored blob's size, which it never
// outgrows (an id takes one byte where a name took its length and at least one more, Latin-1 text
// half the bytes of UTF-16, the recurring mark one byte where it took three), and hands out a
// copy of just the bytes written.
class CompactWriter {
public:
    explicit CompactWriter(qsizetype storedSize) {
        static thread_local std::vector<char> scratch;
        if (scratch.size() < static_cast<size_t>(storedSize))
            scratch.resize(static_cast<size_t>(storedSize));
        mBegin = mP = scratch.data();
    }
    void u8(quint8 v) { *mP++ = static_cast<char>(v); }
    void raw(const char* data, qsizetype n) {
        std::memcpy(mP, data, static_cast<size_t>(n));
        mP += n;
    }
    void value(const Entry& e) {
        if (e.type != kText) {
            u8(e.type);
            raw(e.value, valueSize(e.type));
            return;
        }
        const auto n = readNum<quint32>(e.value);
        const char* units = e.value + 4;
        // Written as Latin-1 until a unit does not fit; then again as UTF-16 over it.
        char* const typeAt = mP;
        u8(kLatin1);
        raw(e.value, 4);
        char* const start = mP;
        if (!narrow(units, n)) {
            *typeAt = static_cast<char>(kText);
            mP = start;
            raw(units, static_cast<qsizetype>(n) * 2);
        }
    }
    QByteArray take() const { return QByteArray(mBegin, mP - mBegin); }

    static qsizetype valueSize(quint8 type) {
        switch (type) {
        case kDate:
            return 12;
        case kInt:
            return 4;
        case kBool:
            return 1;
        default:
            return 0;
        }
    }

private:
    // Writes the low byte of each of the n UTF-16 units (host order, any alignment); false, with
    // some written, at the first unit that does not fit in one byte.
    bool narrow(const char* units, quint32 n) {
        quint32 i = 0;
#ifdef __SSE2__
        // Eight units a step (x86 is little-endian: each unit's high byte is its odd byte).
        const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
        for (; i + 8 <= n; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + 2 * i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, high), _mm_setzero_si128())) != 0xFFFF)
                return false;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(mP), _mm_packus_epi16(v, v));
            mP += 8;
        }
#endif
        for (; i < n; ++i) {
            const auto unit = readNum<char16_t>(units + 2 * i);
            if (unit >= 0x100)
                return false;
            u8(static_cast<quint8>(unit));
        }
        return true;
    }

    char* mBegin;
    char* mP;
};

// One entry of a compact record.
struct CompactEntry {
    quint8 section;
    int id; // -1 for a named property
    QByteArrayView name;
    quint8 type;
    const char* value;
};

// Walks a compact record (made by compactRecord, so sound); `visit` returns false to stop.
template <typename Visit> void walkCompact(QByteArrayView compact, Visit&& visit) {
    const char* p = compact.data();
    const char* const end = p + compact.size();
    while (p < end) {
        CompactEntry e{};
        e.section = static_cast<quint8>(*p++);
        if (e.section == kCompactRecurring) {
            e.id = -1;
            if (!visit(e))
                return;
            continue;
        }
        if (e.section == kSectionNamed) {
            e.id = -1;
            const auto n = static_cast<quint8>(*p++);
            e.name = QByteArrayView(p, n);
            p += n;
        } else {
            e.id = static_cast<quint8>(*p++);
        }
        e.type = static_cast<quint8>(*p++);
        e.value = p;
        if (e.type == kText)
            p += 4 + static_cast<qsizetype>(readNum<quint32>(p)) * 2;
        else if (e.type == kLatin1)
            p += 4 + static_cast<qsizetype>(readNum<quint32>(p));
        else
            p += CompactWriter::valueSize(e.type);
        if (!visit(e))
            return;
    }
}

QVariant compactValueOf(const CompactEntry& e) {
    if (e.type == kLatin1) {
        const auto n = static_cast<qsizetype>(readNum<quint32>(e.value));
        return QString::fromLatin1(e.value + 4, n);
    }
    if (e.type == kNull)
        return {};
    return valueOf(Entry{e.section, e.name, e.type, e.value});
}

} // namespace

QByteArray compactRecord(QByteArrayView stored) {
    CompactWriter w(stored.size());
    walk(stored, [&](const Entry& e) {
        switch (e.section) {
        case kSectionProp:
            if (const int id = propIds().find(e.name); id >= 0) {
                w.u8(kSectionProp);
                w.u8(static_cast<quint8>(id));
                w.value(e);
            }
            break;
        case kSectionPattern:
            if (e.name.isEmpty()) {
                w.u8(kCompactRecurring);
            } else if (const int id = patternIds().find(e.name); id >= 0) {
                w.u8(kSectionPattern);
                w.u8(static_cast<quint8>(id));
                w.value(e);
            }
            break;
        default:
            w.u8(kSectionNamed);
            w.u8(static_cast<quint8>(e.name.size()));
            w.raw(e.name.data(), e.name.size());
            w.value(e);
            break;
        }
        return true;
    });
    return w.take();
}

void decodeCompact(QByteArrayView compact, ItemData& item) {
    item.values.reserve(static_cast<size_t>(compact.size() / 16) + 2);
    walkCompact(compact, [&](const CompactEntry& e) {
        switch (e.section) {
        case kCompactRecurring:
            item.recurring = true;
            break;
        case kSectionProp:
            item.values.set(e.id, compactValueOf(e));
            break;
        case kSectionPattern:
            item.pattern.set(e.id, compactValueOf(e));
            break;
        default:
            item.named.insert(QString::fromUtf8(e.name), compactValueOf(e));
            break;
        }
        return true;
    });
}

bool compactText(QByteArrayView compact, int propId, const std::function<void(QStringView)>& use) {
    bool text = true;
    bool seen = false;
    walkCompact(compact, [&](const CompactEntry& e) {
        if (e.section != kSectionProp || e.id != propId)
            return true;
        seen = true;
        if (e.type == kLatin1 || e.type == kText) {
            // Copied out (the blob's units need not be aligned) into a buffer on the stack.
            const auto n = static_cast<qsizetype>(readNum<quint32>(e.value));
            QVarLengthArray<char16_t, 256> units(n);
            if (e.type == kText) {
                std::memcpy(units.data(), e.value + 4, static_cast<size_t>(n) * 2);
            } else {
                for (qsizetype i = 0; i < n; ++i)
                    units[i] = static_cast<quint8>(e.value[4 + i]);
            }
            use(QStringView(units.data(), n));
        } else if (e.type == kNull) {
            use(QStringView());
        } else {
            text = false;
        }
        return false;
    });
    if (!seen)
        use(QStringView());
    return text;
}

QVariant compactValue(QByteArrayView compact, int propId) {
    QVariant found;
    walkCompact(compact, [&](const CompactEntry& e) {
        if (e.section != kSectionProp || e.id != propId)
            return true;
        found = compactValueOf(e);
        return false;
    });
    return found;
}

} // namespace ol::detail
