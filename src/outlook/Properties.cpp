#include "Properties.h"

#include <QHash>
#include <array>

namespace ol {

namespace {

struct Catalogue {
    std::vector<PropertyDef> defs;
    QHash<QString, int> byName; // lower-cased name -> id
};

const Catalogue& catalogue() {
    static const Catalogue c = [] {
        Catalogue cat;
#define QEL_PROPERTY(name, type, classes, ro)                                                                \
    cat.defs.push_back({prop::name, QStringLiteral(#name), PropType::type, classes, ro});
#include "PropertyList.inc"
#undef QEL_PROPERTY
        for (const PropertyDef& d : cat.defs)
            cat.byName.insert(d.name.toLower(), d.id);
        cat.byName.insert(QStringLiteral("recurring"), prop::IsRecurring);
        return cat;
    }();
    return c;
}

const Catalogue& patternCatalogue() {
    static const Catalogue c = [] {
        Catalogue cat;
        const auto add = [&](int id, const char* name, PropType type) {
            cat.defs.push_back({id, QString::fromLatin1(name), type, kAppointment, false});
            cat.byName.insert(QString::fromLatin1(name).toLower(), id);
        };
        add(pattern::DayOfMonth, "DayOfMonth", PropType::Integer);
        add(pattern::DayOfWeekMask, "DayOfWeekMask", PropType::Integer);
        add(pattern::Duration, "Duration", PropType::Integer);
        add(pattern::EndTime, "EndTime", PropType::DateTime);
        add(pattern::Instance, "Instance", PropType::Integer);
        add(pattern::Interval, "Interval", PropType::Integer);
        add(pattern::MonthOfYear, "MonthOfYear", PropType::Integer);
        add(pattern::NoEndDate, "NoEndDate", PropType::Boolean);
        add(pattern::Occurrences, "Occurrences", PropType::Integer);
        add(pattern::PatternEndDate, "PatternEndDate", PropType::DateTime);
        add(pattern::PatternStartDate, "PatternStartDate", PropType::DateTime);
        add(pattern::RecurrenceType, "RecurrenceType", PropType::Integer);
        add(pattern::Regenerate, "Regenerate", PropType::Boolean);
        add(pattern::StartTime, "StartTime", PropType::DateTime);
        return cat;
    }();
    return c;
}

const PropertyDef* lookup(const Catalogue& cat, QStringView name) {
    const auto it = cat.byName.constFind(name.trimmed().toString().toLower());
    return it == cat.byName.constEnd() ? nullptr : &cat.defs[static_cast<size_t>(*it)];
}

} // namespace

const PropertyDef* findProperty(QStringView name) {
    return lookup(catalogue(), name);
}
const PropertyDef& propertyDef(int id) {
    return catalogue().defs.at(static_cast<size_t>(id));
}
const PropertyDef* findPatternProperty(QStringView name) {
    return lookup(patternCatalogue(), name);
}
const PropertyDef& patternPropertyDef(int id) {
    return patternCatalogue().defs.at(static_cast<size_t>(id));
}

ItemClass classOfMessageClass(QStringView messageClass) {
    const auto starts = [&](QLatin1StringView prefix) {
        return messageClass.compare(prefix, Qt::CaseInsensitive) == 0 ||
               messageClass.startsWith(QString(prefix) + QLatin1Char('.'), Qt::CaseInsensitive);
    };
    if (starts(QLatin1StringView("IPM.Contact")))
        return kContact;
    if (starts(QLatin1StringView("IPM.DistList")))
        return kDistList;
    if (starts(QLatin1StringView("IPM.Appointment")))
        return kAppointment;
    if (starts(QLatin1StringView("IPM.Task")))
        return kTask;
    if (starts(QLatin1StringView("IPM.StickyNote")))
        return kNote;
    return kMail;
}

QString messageClassOfItemType(int itemType) {
    switch (itemType) {
    case olAppointmentItem:
        return QStringLiteral("IPM.Appointment");
    case olContactItem:
        return QStringLiteral("IPM.Contact");
    case olTaskItem:
        return QStringLiteral("IPM.Task");
    case olNoteItem:
        return QStringLiteral("IPM.StickyNote");
    default:
        return QStringLiteral("IPM.Note");
    }
}

int itemTypeOfClass(ItemClass cls) {
    switch (cls) {
    case kAppointment:
        return olAppointmentItem;
    case kContact:
    case kDistList:
        return olContactItem;
    case kTask:
        return olTaskItem;
    case kNote:
        return olNoteItem;
    default:
        return olMailItem;
    }
}

} // namespace ol
