#pragma once

#include <QString>
#include <QStringView>

namespace ol {

// The kind of an item, taken from its message class.
enum ItemClass : unsigned {
    kMail = 1u << 0,        // IPM.Note and anything unknown
    kAppointment = 1u << 1, // IPM.Appointment
    kContact = 1u << 2,     // IPM.Contact and custom contact forms (IPM.Contact.*)
    kDistList = 1u << 3,    // IPM.DistList
    kTask = 1u << 4,        // IPM.Task
    kNote = 1u << 5,        // IPM.StickyNote
};

// The filter that keeps a folder's contacts: every message class from "IPM.Contact" on up to the
// next word, custom contact forms (IPM.Contact.*) included.
inline const QString kContactsFilter =
    QStringLiteral("[MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu'");

// Default item types of folders, as the object model numbers them.
enum ItemType : int {
    olMailItem = 0,
    olAppointmentItem = 1,
    olContactItem = 2,
    olTaskItem = 3,
    olNoteItem = 5
};

enum class PropType { Text, DateTime, Integer, Boolean, Keywords };

namespace prop {
enum Id : int {
#define QEL_PROPERTY(name, type, classes, ro) name,
#include "PropertyList.inc"
#undef QEL_PROPERTY
    Count
};
} // namespace prop

struct PropertyDef {
    int id;
    QString name;
    PropType type;
    unsigned classes; // ItemClass bits of the items that have this property
    bool readOnly;
};

// Case-insensitive lookup by name. "Recurring" (the filter keyword) resolves to IsRecurring.
// Returns nullptr for a name the store does not know.
const PropertyDef* findProperty(QStringView name);
const PropertyDef& propertyDef(int id);

// The properties of a recurrence pattern, kept with the appointment that owns it.
namespace pattern {
enum Id : int {
    DayOfMonth,
    DayOfWeekMask,
    Duration,
    EndTime,
    Instance,
    Interval,
    MonthOfYear,
    NoEndDate,
    Occurrences,
    PatternEndDate,
    PatternStartDate,
    RecurrenceType,
    Regenerate,
    StartTime,
    Count
};
} // namespace pattern
const PropertyDef* findPatternProperty(QStringView name);
const PropertyDef& patternPropertyDef(int id);

ItemClass classOfMessageClass(QStringView messageClass);
QString messageClassOfItemType(int itemType);
int itemTypeOfClass(ItemClass cls);

} // namespace ol
