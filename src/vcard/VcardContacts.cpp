#include "VcardContacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>
#include <array>
#include <filesystem>

namespace qel::vcard {

namespace {

using namespace ol::prop;

const QString kField = QStringLiteral("X-QEL-FIELD");
const QString kExtra = QStringLiteral("X-QEL-");

// The numbers: the property, the TYPE values written (in lower case; 3.0 writes them upper case).
struct Phone {
    int id;
    std::array<const char*, 3> types;
};
const Phone kPhones[] = {
    {PrimaryTelephoneNumber, {"pref", "voice", nullptr}},
    {MobileTelephoneNumber, {"cell", "voice", nullptr}},
    {BusinessTelephoneNumber, {"work", "voice", nullptr}},
    {Business2TelephoneNumber, {"work", "voice", nullptr}},
    {HomeTelephoneNumber, {"home", "voice", nullptr}},
    {Home2TelephoneNumber, {"home", "voice", nullptr}},
    {BusinessFaxNumber, {"work", "fax", nullptr}},
    {HomeFaxNumber, {"home", "fax", nullptr}},
    {OtherFaxNumber, {"fax", nullptr, nullptr}},
    {OtherTelephoneNumber, {"voice", nullptr, nullptr}},
    {PagerNumber, {"pager", nullptr, nullptr}},
    {CarTelephoneNumber, {"car", "voice", nullptr}},
    {ISDNNumber, {"isdn", nullptr, nullptr}},
    {CompanyMainTelephoneNumber, {"work", "x-main", nullptr}},
    {AssistantTelephoneNumber, {"voice", "x-assistant", nullptr}},
    {CallbackTelephoneNumber, {"voice", "x-callback", nullptr}},
    {RadioTelephoneNumber, {"x-radio", nullptr, nullptr}},
    {TelexNumber, {"x-telex", nullptr, nullptr}},
    {TTYTDDTelephoneNumber, {"textphone", nullptr, nullptr}},
};

struct Address {
    int full, pobox, street, city, state, postal, country;
    const char* type;
};
const Address kAddresses[] = {
    {BusinessAddress, BusinessAddressPostOfficeBox, BusinessAddressStreet, BusinessAddressCity,
     BusinessAddressState, BusinessAddressPostalCode, BusinessAddressCountry, "work"},
    {HomeAddress, HomeAddressPostOfficeBox, HomeAddressStreet, HomeAddressCity, HomeAddressState,
     HomeAddressPostalCode, HomeAddressCountry, "home"},
    {OtherAddress, OtherAddressPostOfficeBox, OtherAddressStreet, OtherAddressCity, OtherAddressState,
     OtherAddressPostalCode, OtherAddressCountry, "other"},
};

const int kEmails[] = {Email1Address, Email2Address, Email3Address};
const int kUrls[] = {WebPage, BusinessHomePage, PersonalHomePage};
const int kNameParts[] = {Title, FirstName, MiddleName, LastName, Suffix};
// Values that follow from others: written as X-QEL- only where the others would not give them.
const int kDerived[] = {FullName, BusinessAddress, HomeAddress, OtherAddress, Subject, FileAs};

// Plain text properties with a card property of their own (3.0 name, 4.0 name and parameters).
struct Plain {
    int id;
    const char* v3;
    const char* v4;
    const char* v4param;
};
const Plain kPlain[] = {
    {NickName, "NICKNAME", "NICKNAME", nullptr},
    {JobTitle, "TITLE", "TITLE", nullptr},
    {Profession, "ROLE", "ROLE", nullptr},
    {Body, "NOTE", "NOTE", nullptr},
    {Spouse, "X-SPOUSE", "RELATED", "TYPE=spouse;VALUE=text"},
    {Children, "X-CHILDREN", "RELATED", "TYPE=child;VALUE=text"},
    {ManagerName, "X-MANAGER", "X-MANAGER", nullptr},
    {AssistantName, "X-ASSISTANT", "X-ASSISTANT", nullptr},
    {IMAddress, "IMPP", "IMPP", nullptr},
    {InternetFreeBusyAddress, "FBURL", "FBURL", nullptr},
};
// Names other programs use for the same (read only).
struct Alias {
    const char* name;
    int id;
};
const Alias kAliases[] = {
    {"X-EVOLUTION-SPOUSE", Spouse},
    {"X-MS-SPOUSE", Spouse},
    {"X-EVOLUTION-MANAGER", ManagerName},
    {"X-MS-MANAGER", ManagerName},
    {"X-EVOLUTION-ASSISTANT", AssistantName},
    {"X-MS-ASSISTANT", AssistantName},
    {"X-CHILD", Children},
    {"X-MS-CHILD", Children},
};

bool isMapped(int propId) {
    static const QSet<int> mapped = [] {
        QSet<int> s;
        for (const Phone& p : kPhones)
            s.insert(p.id);
        for (const Address& a : kAddresses)
            for (int x : {a.pobox, a.street, a.city, a.state, a.postal, a.country})
                s.insert(x);
        for (int x : kEmails)
            s.insert(x);
        for (int x : kUrls)
            s.insert(x);
        for (int x : kNameParts)
            s.insert(x);
        for (int x : kDerived)
            s.insert(x);
        for (const Plain& p : kPlain)
            s.insert(p.id);
        for (int x : {int(CompanyName), int(Department), int(Categories), int(Birthday), int(Anniversary),
                      int(Gender), int(MessageClass)})
            s.insert(x);
        return s;
    }();
    return mapped.contains(propId);
}

// The contact properties a card carries: every writable one of a contact.
bool carried(int id) {
    const ol::PropertyDef& def = ol::propertyDef(id);
    return (def.classes & ol::kContact) && !def.readOnly;
}

QString where(const Card& card, int line) {
    return QStringLiteral("%1, line %2: ").arg(card.file).arg(line);
}

QString typesParam(const Phone& phone, Version v) {
    QStringList types;
    bool pref = false;
    for (const char* t : phone.types) {
        if (!t)
            continue;
        if (v == Version::V4 && qstrcmp(t, "pref") == 0)
            pref = true;
        else
            types << (v == Version::V3 ? QString::fromLatin1(t).toUpper() : QString::fromLatin1(t));
    }
    QString param = QStringLiteral("TYPE=") + types.join(QLatin1Char(','));
    if (pref)
        param += QStringLiteral(";PREF=1");
    return param;
}

QString dateText(const QDateTime& t, Version v) {
    const bool midnight = t.time() == QTime(0, 0);
    if (v == Version::V4)
        return t.toString(midnight ? QStringLiteral("yyyyMMdd") : QStringLiteral("yyyyMMdd'T'HHmmss"));
    return t.toString(midnight ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}

// "1980-04-23", "19800423", either with a time ("T103000", "T10:30:00Z"); a date without a year
// ("--0423") gives an invalid date, which the caller leaves out.
bool parseDate(const QString& text, QDateTime& out) {
    QString t = text.trimmed();
    if (t.startsWith(QLatin1String("--"))) {
        out = QDateTime();
        return true;
    }
    const qsizetype tPos = t.indexOf(QLatin1Char('T'));
    QString date = (tPos < 0 ? t : t.left(tPos)).remove(QLatin1Char('-'));
    QString time = tPos < 0 ? QString() : t.mid(tPos + 1);
    const QDate d = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
    if (!d.isValid() || date.size() != 8)
        return false;
    QTime clock(0, 0);
    if (!time.isEmpty()) {
        time.remove(QLatin1Char(':'));
        if (const qsizetype z = time.indexOf(QRegularExpression(QStringLiteral("[Z+-]"))); z >= 0)
            time = time.left(z);
        clock = QTime::fromString(time.left(6).leftJustified(6, QLatin1Char('0')), QStringLiteral("HHmmss"));
        if (!clock.isValid())
            return false;
    }
    out = QDateTime(d, clock);
    return true;
}

// The value of a property in the form the X-QEL- lines carry.
QString extraText(const ol::Item& item, int id) {
    const QVariant v = item.get(id);
    switch (ol::propertyDef(id).type) {
    case ol::PropType::DateTime:
        return v.toDateTime().isValid() ? v.toDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
                                        : QString();
    case ol::PropType::Boolean:
        return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case ol::PropType::Integer:
        return QString::number(v.toInt());
    default:
        return v.toString();
    }
}

bool hasValue(const ol::Item& item, int id) {
    if (!item.isSet(id))
        return false;
    const QVariant v = item.get(id);
    switch (ol::propertyDef(id).type) {
    case ol::PropType::DateTime:
        return v.toDateTime().isValid();
    case ol::PropType::Boolean:
        return v.toBool();
    case ol::PropType::Integer:
        return v.toInt() != 0;
    default:
        return !v.toString().isEmpty();
    }
}

} // namespace

QString uidOf(const ol::Item& contact) {
    const QString uid = contact.namedProperty(kUidSet, kUidTag).toString();
    return uid.isEmpty() ? contact.EntryID() : uid;
}

QByteArray cardOf(const ol::Item& contact, Version version, ol::Item& scratch) {
    const bool v4 = version == Version::V4;
    CardWriter w(version);
    if (v4)
        w.add(QStringLiteral("PRODID"), {}, QStringLiteral("-//Vantrel//vCard//EN"));
    w.addText(QStringLiteral("UID"), {}, uidOf(contact));

    const auto text = [&](int id) { return contact.get(id).toString(); };
    QString fn = text(FullName);
    if (fn.isEmpty())
        fn = text(Subject).isEmpty() ? text(CompanyName) : text(Subject);
    w.add(QStringLiteral("FN"), {}, escapeText(fn));
    QStringList n;
    for (int id : {int(LastName), int(FirstName), int(MiddleName), int(Title), int(Suffix)})
        n << escapeText(text(id));
    w.add(QStringLiteral("N"), {}, n.join(QLatin1Char(';')));
    if (!text(CompanyName).isEmpty() || !text(Department).isEmpty())
        w.add(QStringLiteral("ORG"), {},
              text(Department).isEmpty()
                  ? escapeText(text(CompanyName))
                  : escapeText(text(CompanyName)) + QLatin1Char(';') + escapeText(text(Department)));
    for (const Plain& p : kPlain) {
        QStringList params;
        if (v4 && p.v4param)
            params << QString::fromLatin1(p.v4param);
        w.addText(QString::fromLatin1(v4 ? p.v4 : p.v3), params, text(p.id));
    }
    for (const Phone& phone : kPhones) {
        if (!text(phone.id).isEmpty())
            w.addText(
                QStringLiteral("TEL"),
                {typesParam(phone, version), kField + QLatin1Char('=') + ol::propertyDef(phone.id).name},
                text(phone.id));
    }
    for (int id : kEmails) {
        QStringList params;
        if (!v4)
            params << QStringLiteral("TYPE=INTERNET");
        params << kField + QLatin1Char('=') + ol::propertyDef(id).name;
        w.addText(QStringLiteral("EMAIL"), params, text(id));
    }
    for (const Address& a : kAddresses) {
        QStringList parts;
        for (int id : {a.pobox, -1, a.street, a.city, a.state, a.postal, a.country})
            parts << (id < 0 ? QString() : escapeText(text(id)));
        if (parts.join(QString()).isEmpty())
            continue;
        const QString type = QString::fromLatin1(a.type);
        w.add(QStringLiteral("ADR"),
              {QStringLiteral("TYPE=") + (v4 ? type : type.toUpper()),
               kField + QLatin1Char('=') + ol::propertyDef(a.full).name},
              parts.join(QLatin1Char(';')));
    }
    for (int id : kUrls) {
        QStringList params;
        if (id == BusinessHomePage)
            params << (v4 ? QStringLiteral("TYPE=work") : QStringLiteral("TYPE=WORK"));
        else if (id == PersonalHomePage)
            params << (v4 ? QStringLiteral("TYPE=home") : QStringLiteral("TYPE=HOME"));
        params << kField + QLatin1Char('=') + ol::propertyDef(id).name;
        w.addText(QStringLiteral("URL"), params, text(id));
    }
    if (const QDateTime b = contact.get(Birthday).toDateTime(); b.isValid())
        w.add(QStringLiteral("BDAY"), {}, dateText(b, version));
    if (const QDateTime a = contact.get(Anniversary).toDateTime(); a.isValid())
        w.add(v4 ? QStringLiteral("ANNIVERSARY") : QStringLiteral("X-ANNIVERSARY"), {}, dateText(a, version));
    if (const int g = contact.get(Gender).toInt(); g == 1 || g == 2)
        w.add(v4 ? QStringLiteral("GENDER") : QStringLiteral("X-GENDER"), {},
              v4 ? (g == 1 ? QStringLiteral("F") : QStringLiteral("M"))
                 : (g == 1 ? QStringLiteral("Female") : QStringLiteral("Male")));
    const QStringList categories = ol::splitKeywords(text(Categories));
    if (!categories.isEmpty()) {
        QStringList escaped;
        for (const QString& c : categories)
            escaped << escapeText(c);
        w.add(QStringLiteral("CATEGORIES"), {}, escaped.join(QLatin1Char(',')));
    }

    // What the components alone give back: worked out on the scratch contact.
    for (int id : kNameParts)
        scratch.set(id, contact.get(id));
    scratch.set(CompanyName, contact.get(CompanyName));
    for (const Address& a : kAddresses)
        for (int id : {a.street, a.city, a.state, a.postal, a.country})
            scratch.set(id, contact.get(id));
    for (int id : kDerived)
        if (scratch.get(id).toString() != text(id))
            w.addText(kExtra + ol::propertyDef(id).name, {}, text(id));
    if (contact.MessageClass() != QLatin1String("IPM.Contact"))
        w.addText(kExtra + QStringLiteral("MessageClass"), {}, contact.MessageClass());
    for (int id = 0; id < ol::prop::Count; ++id) {
        if (carried(id) && !isMapped(id) && hasValue(contact, id))
            w.add(kExtra + ol::propertyDef(id).name, {}, escapeText(extraText(contact, id)));
    }
    if (const QDateTime rev = contact.get(LastModificationTime).toDateTime(); rev.isValid())
        w.add(QStringLiteral("REV"), {}, rev.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
    return w.finish();
}

namespace {

// The values a card gives, by property id, gathered before any is set.
class CardValues {
public:
    explicit CardValues(const Card& card) : mCard(card) {}

    bool has(int id) const { return mValues.contains(id); }
    QVariant value(int id) const { return mValues.value(id); }
    int line(int id) const { return mLines.value(id, mCard.line); }
    void set(int id, const QVariant& v, int line) {
        mValues.insert(id, v);
        mLines.insert(id, line);
    }
    // The first of `ids` the card has not given yet (-1 when all are taken).
    int firstFree(std::initializer_list<int> ids) const {
        for (int id : ids)
            if (!has(id))
                return id;
        return -1;
    }
    const QHash<int, QVariant>& all() const { return mValues; }

private:
    const Card& mCard;
    QHash<int, QVariant> mValues;
    QHash<int, int> mLines;
};

// The property X-QEL-FIELD names, when it is one of `family`.
template <typename Range> int namedField(const Property& p, const Range& family) {
    const QString name = p.param(kField);
    if (name.isEmpty())
        return -1;
    const ol::PropertyDef* def = ol::findProperty(name);
    if (!def)
        return -1;
    for (int id : family)
        if (id == def->id)
            return id;
    return -1;
}

int phoneSlot(const Property& p, const CardValues& values) {
    static const std::vector<int> phones = [] {
        std::vector<int> ids;
        for (const Phone& ph : kPhones)
            ids.push_back(ph.id);
        return ids;
    }();
    if (const int id = namedField(p, phones); id >= 0 && !values.has(id))
        return id;
    const QStringList t = p.types();
    const auto is = [&](const char* type) { return t.contains(QLatin1String(type)); };
    int slot = -1;
    if (is("fax"))
        slot = values.firstFree({is("work")   ? int(BusinessFaxNumber)
                                 : is("home") ? int(HomeFaxNumber)
                                              : int(OtherFaxNumber),
                                 OtherFaxNumber, HomeFaxNumber, BusinessFaxNumber});
    else if (is("cell") || is("mobile") || is("iphone"))
        slot = values.firstFree({MobileTelephoneNumber});
    else if (is("pager"))
        slot = values.firstFree({PagerNumber});
    else if (is("car"))
        slot = values.firstFree({CarTelephoneNumber});
    else if (is("isdn"))
        slot = values.firstFree({ISDNNumber});
    else if (is("textphone") || is("tty"))
        slot = values.firstFree({TTYTDDTelephoneNumber});
    else if (is("main") || is("x-main"))
        slot = values.firstFree({CompanyMainTelephoneNumber});
    else if (is("x-assistant"))
        slot = values.firstFree({AssistantTelephoneNumber});
    else if (is("x-callback"))
        slot = values.firstFree({CallbackTelephoneNumber});
    else if (is("x-radio"))
        slot = values.firstFree({RadioTelephoneNumber});
    else if (is("x-telex"))
        slot = values.firstFree({TelexNumber});
    else if (is("work"))
        slot = values.firstFree({BusinessTelephoneNumber, Business2TelephoneNumber});
    else if (is("home"))
        slot = values.firstFree({HomeTelephoneNumber, Home2TelephoneNumber});
    else if (is("pref"))
        slot = values.firstFree({PrimaryTelephoneNumber});
    if (slot < 0)
        slot = values.firstFree({OtherTelephoneNumber, Home2TelephoneNumber, Business2TelephoneNumber,
                                 CallbackTelephoneNumber, RadioTelephoneNumber});
    return slot;
}

QString textOf(const Property& p) {
    return unescapeText(p.value);
}

void gather(const Card& card, CardValues& values) {
    const auto put = [&](int id, const QString& v, const Property& p) {
        if (!v.isEmpty() && !values.has(id))
            values.set(id, v, p.line);
    };
    const Property* fn = nullptr;
    bool hasN = false;
    for (const Property& p : card.properties) {
        const QString& name = p.name;
        if (name == QLatin1String("FN")) {
            fn = &p;
        } else if (name == QLatin1String("N")) {
            hasN = true;
            const QStringList parts = splitText(p.value, QLatin1Char(';'));
            const int ids[] = {LastName, FirstName, MiddleName, Title, Suffix};
            for (int i = 0; i < 5 && i < parts.size(); ++i)
                put(ids[i], parts[i].trimmed(), p);
        } else if (name == QLatin1String("ORG")) {
            const QStringList parts = splitText(p.value, QLatin1Char(';'));
            put(CompanyName, parts.value(0), p);
            put(Department, parts.mid(1).join(QStringLiteral(", ")), p);
        } else if (name == QLatin1String("TEL")) {
            QString number = textOf(p).trimmed();
            if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) // 4.0's URI form
                number = number.mid(4);
            if (const int slot = phoneSlot(p, values); slot >= 0)
                put(slot, number, p);
        } else if (name == QLatin1String("EMAIL")) {
            int slot = namedField(p, kEmails);
            if (slot < 0 || values.has(slot))
                slot = values.firstFree({Email1Address, Email2Address, Email3Address});
            if (slot >= 0)
                put(slot, textOf(p).trimmed(), p);
        } else if (name == QLatin1String("URL")) {
            int slot = namedField(p, kUrls);
            if (slot < 0 || values.has(slot))
                slot = values.firstFree({p.hasType(QStringLiteral("work"))   ? int(BusinessHomePage)
                                         : p.hasType(QStringLiteral("home")) ? int(PersonalHomePage)
                                                                             : int(WebPage),
                                         WebPage, PersonalHomePage, BusinessHomePage});
            if (slot >= 0)
                put(slot, textOf(p).trimmed(), p);
        } else if (name == QLatin1String("ADR")) {
            static const std::vector<int> fulls = {BusinessAddress, HomeAddress, OtherAddress};
            int full = namedField(p, fulls);
            if (full < 0)
                full = p.hasType(QStringLiteral("work"))   ? int(BusinessAddress)
                       : p.hasType(QStringLiteral("home")) ? int(HomeAddress)
                                                           : int(OtherAddress);
            const Address* a = nullptr;
            for (const Address& candidate : kAddresses)
                if (candidate.full == full && !values.has(candidate.street) && !values.has(candidate.city) &&
                    !values.has(candidate.pobox))
                    a = &candidate;
            if (!a) // that one is taken: the first free one
                for (const Address& candidate : kAddresses)
                    if (!a && !values.has(candidate.street) && !values.has(candidate.city) &&
                        !values.has(candidate.pobox))
                        a = &candidate;
            if (!a)
                continue;
            const QStringList parts = splitText(p.value, QLatin1Char(';'));
            QString street = parts.value(2);
            if (!parts.value(1).isEmpty())
                street = street.isEmpty() ? parts.value(1) : street + QStringLiteral("\r\n") + parts.value(1);
            put(a->pobox, parts.value(0), p);
            put(a->street, street, p);
            put(a->city, parts.value(3), p);
            put(a->state, parts.value(4), p);
            put(a->postal, parts.value(5), p);
            put(a->country, parts.value(6), p);
        } else if (name == QLatin1String("BDAY") || name == QLatin1String("ANNIVERSARY") ||
                   name == QLatin1String("X-ANNIVERSARY") ||
                   name == QLatin1String("X-EVOLUTION-ANNIVERSARY") ||
                   name == QLatin1String("X-MS-ANNIVERSARY")) {
            QDateTime date;
            if (!parseDate(textOf(p), date))
                throw VcardError(
                    where(card, p.line) +
                    QStringLiteral("%1 \"%2\" is not a date (write yyyy-mm-dd)").arg(name, textOf(p)));
            if (date.isValid() && !values.has(name == QLatin1String("BDAY") ? Birthday : Anniversary))
                values.set(name == QLatin1String("BDAY") ? Birthday : Anniversary, date, p.line);
        } else if (name == QLatin1String("GENDER") || name == QLatin1String("X-GENDER")) {
            const QString g = textOf(p).trimmed().left(1).toUpper();
            if (g == QLatin1String("M") || g == QLatin1String("F"))
                values.set(Gender, g == QLatin1String("F") ? 1 : 2, p.line);
        } else if (name == QLatin1String("CATEGORIES")) {
            QStringList all = splitText(p.value, QLatin1Char(','));
            if (values.has(Categories))
                all.prepend(values.value(Categories).toString());
            values.set(Categories, all.join(QStringLiteral(", ")), p.line);
        } else if (name == QLatin1String("RELATED")) {
            if (p.hasType(QStringLiteral("spouse")))
                put(Spouse, textOf(p), p);
            else if (p.hasType(QStringLiteral("child")))
                put(Children, values.has(Children) ? QString() : textOf(p), p);
        } else if (name.startsWith(kExtra)) {
            const ol::PropertyDef* def = ol::findProperty(name.mid(kExtra.size()));
            if (!def || !carried(def->id))
                continue;
            const QString v = textOf(p);
            if (def->type == ol::PropType::DateTime) {
                QDateTime t;
                if (!parseDate(v, t))
                    throw VcardError(where(card, p.line) +
                                     QStringLiteral("%1 \"%2\" is not a date").arg(name, v));
                values.set(def->id, t, p.line);
            } else {
                values.set(def->id, v, p.line);
            }
        } else {
            for (const Plain& plain : kPlain)
                if (name == QLatin1String(plain.v3))
                    put(plain.id, textOf(p), p);
            for (const Alias& alias : kAliases)
                if (name == QLatin1String(alias.name))
                    put(alias.id, textOf(p), p);
        }
    }
    // A card without N (4.0 allows it) but with FN: the store parses the full name, unless the
    // card is an organisation's.
    const Property* kind = card.find(QStringLiteral("KIND"));
    const QString fnText = fn ? textOf(*fn).trimmed() : QString();
    if (!hasN && !fnText.isEmpty() && !values.has(FullName) &&
        fnText != values.value(CompanyName).toString() &&
        !(kind && textOf(*kind).trimmed().compare(QLatin1String("org"), Qt::CaseInsensitive) == 0))
        values.set(FullName, fnText, fn->line);
}

} // namespace

void applyCard(const Card& card, ol::Item& contact) {
    CardValues values(card);
    gather(card, values);
    const auto setOne = [&](int id) {
        try {
            contact.set(id, values.value(id));
        } catch (const ol::Error& e) {
            throw VcardError(where(card, values.line(id)) + e.message());
        }
    };
    // An update takes the card as the whole contact.
    if (!contact.isNew()) {
        for (int id = 0; id < ol::prop::Count; ++id)
            if (carried(id) && id != MessageClass && !values.has(id) && contact.isSet(id))
                contact.set(id, QVariant());
    }
    if (values.has(FullName)) {
        setOne(FullName);
    } else {
        for (int id : kNameParts)
            if (values.has(id))
                setOne(id);
    }
    const QSet<int> last = {FullName, Title,  FirstName,       MiddleName,  LastName,    Suffix,
                            Subject,  FileAs, BusinessAddress, HomeAddress, OtherAddress};
    QList<int> ids = values.all().keys();
    std::sort(ids.begin(), ids.end());
    for (int id : ids)
        if (!last.contains(id))
            setOne(id);
    for (int id : {BusinessAddress, HomeAddress, OtherAddress, Subject, FileAs})
        if (values.has(id))
            setOne(id);
    const Property* uid = card.find(QStringLiteral("UID"));
    const QString uidText = uid ? textOf(*uid).trimmed() : QString();
    if (!uidText.isEmpty() && uidText != contact.EntryID())
        contact.setNamedProperty(kUidSet, kUidTag, uidText);
}

namespace {

QString fileNameFor(const QString& uid, QSet<QString>& taken) {
    QString base;
    for (const QChar c : uid)
        base +=
            c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('.')
                ? c
                : QLatin1Char('_');
    if (base.isEmpty() || base.startsWith(QLatin1Char('.')))
        base.prepend(QStringLiteral("contact"));
    QString name = base + QStringLiteral(".vcf");
    for (int n = 2; taken.contains(name.toLower()); ++n)
        name = base + QStringLiteral("-%1.vcf").arg(n);
    taken.insert(name.toLower());
    return name;
}

bool isFilePath(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return false;
    return info.exists() || path.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive);
}

} // namespace

ExportSummary exportContacts(const ol::FolderPtr& folder, const QString& path, Version version) {
    ExportSummary summary;
    ol::ItemsPtr items = folder->Items();
    ol::ItemPtr scratch = items->Add(ol::olContactItem);
    std::vector<std::pair<QString, QByteArray>> cards; // UID, card
    cards.reserve(size_t(items->Count()));
    for (const ol::ItemPtr& item : items) {
        if (item->Class() != ol::kContact || !item->damage().isEmpty())
            continue;
        cards.emplace_back(uidOf(*item), cardOf(*item, version, *scratch));
    }
    summary.contacts = int(cards.size());

    if (isFilePath(path)) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            throw VcardError(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
        for (const auto& [uid, card] : cards)
            file.write(card);
        if (!file.commit())
            throw VcardError(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
        summary.files << path;
        return summary;
    }

    // A folder: every file is written aside first, then moved in.
    QDir dir(path);
    const bool made = !dir.exists();
    if (made && !QDir().mkpath(path))
        throw VcardError(QStringLiteral("The folder %1 cannot be made.").arg(path));
    QTemporaryDir aside(dir.filePath(QStringLiteral(".qel-vcard-XXXXXX")));
    const auto fail = [&](const QString& message) {
        aside.remove();
        if (made)
            QDir().rmdir(path);
        throw VcardError(message);
    };
    if (!aside.isValid())
        fail(QStringLiteral("%1 cannot be written: %2").arg(path, aside.errorString()));
    QSet<QString> taken;
    std::vector<QString> names;
    for (const auto& [uid, card] : cards) {
        const QString name = fileNameFor(uid, taken);
        QFile file(aside.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(card) != card.size() || !file.flush())
            fail(QStringLiteral("%1 cannot be written: %2").arg(dir.filePath(name), file.errorString()));
        names.push_back(name);
    }
    for (const QString& name : names) {
        std::error_code ec;
        std::filesystem::rename(aside.filePath(name).toStdString(), dir.filePath(name).toStdString(), ec);
        if (ec)
            throw VcardError(QStringLiteral("%1 cannot be written: %2")
                                 .arg(dir.filePath(name), QString::fromStdString(ec.message())));
        summary.files << dir.filePath(name);
    }
    return summary;
}

std::vector<Card> readCards(const QString& path) {
    QStringList files;
    const QFileInfo info(path);
    if (info.isDir()) {
        const QDir dir(path);
        for (const QString& name :
             dir.entryList({QStringLiteral("*.vcf"), QStringLiteral("*.VCF"), QStringLiteral("*.vcard")},
                           QDir::Files, QDir::Name))
            files << dir.filePath(name);
        files.removeDuplicates();
        if (files.isEmpty())
            throw VcardError(QStringLiteral("The folder %1 holds no .vcf file.").arg(path));
    } else if (!info.exists()) {
        throw VcardError(QStringLiteral("%1 does not exist.").arg(path));
    } else {
        files << path;
    }
    std::vector<Card> cards;
    for (const QString& name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            throw VcardError(QStringLiteral("%1 cannot be read: %2").arg(name, file.errorString()));
        for (Card& card : parseCards(file.readAll(), name))
            cards.push_back(std::move(card));
    }
    return cards;
}

ImportSummary importCards(const ol::FolderPtr& folder, const std::vector<Card>& cards) {
    ImportSummary summary;
    ol::ItemsPtr items = folder->Items();
    QHash<QString, QString> entryOfUid; // card UID or EntryID -> EntryID
    for (const ol::ItemPtr& item : items) {
        if (item->Class() != ol::kContact)
            continue;
        entryOfUid.insert(item->EntryID(), item->EntryID());
        const QString uid = item->namedProperty(kUidSet, kUidTag).toString();
        if (!uid.isEmpty())
            entryOfUid.insert(uid, item->EntryID());
    }
    ol::Batch batch(folder);
    for (const Card& card : cards) {
        const Property* uidProperty = card.find(QStringLiteral("UID"));
        const QString uid = uidProperty ? unescapeText(uidProperty->value).trimmed() : QString();
        ol::ItemPtr item;
        if (!uid.isEmpty())
            if (const auto it = entryOfUid.constFind(uid); it != entryOfUid.constEnd())
                item = items->ItemWithID(*it);
        const bool update = item != nullptr;
        if (!item)
            item = items->Add(ol::olContactItem);
        applyCard(card, *item);
        item->Save();
        if (!uid.isEmpty())
            entryOfUid.insert(uid, item->EntryID());
        ++(update ? summary.updated : summary.created);
    }
    batch.commit();
    return summary;
}

QString exportSummaryText(const ExportSummary& summary, const QString& path) {
    return QStringLiteral("Exported %1 contact%2 to %3.")
        .arg(summary.contacts)
        .arg(summary.contacts == 1 ? QString() : QStringLiteral("s"), path);
}

QString importSummaryText(const ImportSummary& summary, const QString& path) {
    const int total = summary.created + summary.updated;
    return QStringLiteral("Imported %1 contact%2 from %3 (%4 new, %5 updated).")
        .arg(total)
        .arg(total == 1 ? QString() : QStringLiteral("s"), path)
        .arg(summary.created)
        .arg(summary.updated);
}

} // namespace qel::vcard
