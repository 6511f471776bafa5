#include "StoreInternal.h"

#include <QHash>
#include <cstring>

namespace ol::detail {

// An item is stored as one blob: a version byte, then entries of
//   section (u8: 0 property, 1 recurrence pattern, 2 named property),
//   name (u8 length + UTF-8), type (u8), value.
// Names rather than ids keep files readable by later versions that add properties.

namespace {

enum : quint8 { kSectionProp = 0, kSectionPattern = 1, kSectionNamed = 2 };
enum : quint8 { kNull = 0, kText = 1, kDate = 2, kInt = 3, kBool = 4, kRecurringFlag = 5 };
constexpr quint8 kVersion = 1;

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

class Reader {
public:
    explicit Reader(const QByteArray& in) : mP(in.constData()), mEnd(in.constData() + in.size()) {}
    bool atEnd() const { return mP >= mEnd; }
    void need(qsizetype n) const {
        if (mEnd - mP < n)
            throw Error(kErrStoreFile, QStringLiteral("an item's data is damaged"));
    }
    quint8 u8() {
        need(1);
        return static_cast<quint8>(*mP++);
    }
    template <typename T> T num() {
        need(sizeof(T));
        T v;
        std::memcpy(&v, mP, sizeof v);
        mP += sizeof v;
        return v;
    }
    QByteArray name() {
        const quint8 n = u8();
        need(n);
        QByteArray out = QByteArray::fromRawData(mP, n);
        mP += n;
        return out;
    }
    QVariant value() {
        switch (u8()) {
        case kNull:
            return {};
        case kText: {
            const quint32 n = num<quint32>();
            need(static_cast<qsizetype>(n) * 2);
            QString s(static_cast<qsizetype>(n), Qt::Uninitialized);
            std::memcpy(s.data(), mP, static_cast<size_t>(n) * 2);
            mP += static_cast<qsizetype>(n) * 2;
            return s;
        }
        case kDate: {
            const auto day = num<qint64>();
            const auto ms = num<qint32>();
            return QDateTime(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(ms));
        }
        case kInt:
            return num<qint32>();
        case kBool:
            return u8() != 0;
        default:
            throw Error(kErrStoreFile, QStringLiteral("an item's data is damaged"));
        }
    }

private:
    const char* mP;
    const char* mEnd;
};

const QHash<QByteArray, int>& propIds() {
    static const QHash<QByteArray, int> ids = [] {
        QHash<QByteArray, int> h;
        for (int id = 0; id < prop::Count; ++id)
            h.insert(propertyDef(id).name.toUtf8(), id);
        return h;
    }();
    return ids;
}

const QHash<QByteArray, int>& patternIds() {
    static const QHash<QByteArray, int> ids = [] {
        QHash<QByteArray, int> h;
        for (int id = 0; id < pattern::Count; ++id)
            h.insert(patternPropertyDef(id).name.toUtf8(), id);
        return h;
    }();
    return ids;
}

} // namespace

QByteArray encodeRecord(const Record& record) {
    Writer w;
    w.u8(kVersion);
    for (const auto& [id, value] : record.values.entries()) {
        if (id == prop::EntryID)
            continue; // kept in its own column
        w.u8(kSectionProp);
        w.name(propertyDef(id).name);
        w.value(value);
    }
    if (record.recurring) {
        w.u8(kSectionPattern);
        w.name(QString());
        w.u8(kRecurringFlag);
        for (const auto& [id, value] : record.pattern.entries()) {
            w.u8(kSectionPattern);
            w.name(patternPropertyDef(id).name);
            w.value(value);
        }
    }
    for (auto it = record.named.constBegin(); it != record.named.constEnd(); ++it) {
        w.u8(kSectionNamed);
        w.name(it.key());
        w.value(it.value());
    }
    return w.take();
}

void decodeRecord(const QByteArray& blob, Record& record) {
    Reader r(blob);
    if (r.atEnd() || r.u8() != kVersion)
        throw Error(kErrStoreFile, QStringLiteral("an item was written by an unknown version"));
    record.values.reserve(static_cast<size_t>(blob.size() / 40) + 2);
    while (!r.atEnd()) {
        const quint8 section = r.u8();
        const QByteArray name = r.name();
        if (section == kSectionPattern && name.isEmpty()) {
            if (r.u8() != kRecurringFlag)
                throw Error(kErrStoreFile, QStringLiteral("an item's data is damaged"));
            record.recurring = true;
            continue;
        }
        const QVariant value = r.value();
        switch (section) {
        case kSectionProp: {
            const auto it = propIds().constFind(name);
            if (it != propIds().constEnd())
                record.values.set(*it, value);
            break;
        }
        case kSectionPattern: {
            const auto it = patternIds().constFind(name);
            if (it != patternIds().constEnd())
                record.pattern.set(*it, value);
            break;
        }
        case kSectionNamed:
            record.named.insert(QString::fromUtf8(name), value);
            break;
        default:
            throw Error(kErrStoreFile, QStringLiteral("an item's data is damaged"));
        }
    }
}

} // namespace ol::detail
