#pragma once

// The layout of the exchange file: the columns of its tables Contacts and Calendar, by position.
// The positions are the contract between the template, the exporter and the importer; the
// template is made from this table at build time (resources/templates/TemplateMaker.cpp), and a
// file is accepted for import only when its tables have exactly these columns in this order.
// Plain C++ so that the build's template generator needs nothing but SQLite.

#include <array>
#include <string>

namespace qel::exchange {

enum ColumnFlag : unsigned {
    kUnused = 1u << 0,           // a place holder: neither engine reads or writes it
    kSafeOnly = 1u << 1,         // read through the safe-item wrapper only (Null without it)
    kVersion10 = 1u << 2,        // as kSafeOnly, and only with a store version greater than 9
    kNotImported = 1u << 3,      // written by the export, never set by the import
    kAddsSyncCategory = 1u << 4, // Categories: the export adds the sync category
    kPattern = 1u << 5,          // a property of the appointment's recurrence pattern
    kAsNumber = 1u << 6,         // held as an SQL integer (Booleans as 0 and 1); else as text
};

struct ColumnDef {
    const char* name;     // the column's name: the store property it holds (pattern columns: the
                          // pattern property behind "Pattern"); place holders "UnusedN"
    const char* property; // the store (or pattern) property; nullptr for a place holder
    unsigned flags;
    const char* sqlType; // the declared type in the template
};

inline constexpr int kContactColumnCount = 121;
inline constexpr int kCalendarColumnCount = 33;

extern const std::array<ColumnDef, kContactColumnCount> kContactColumns;
extern const std::array<ColumnDef, kCalendarColumnCount> kCalendarColumns;

// The column of Calendar that the import sorts by and takes its date window from.
inline constexpr int kCalendarStart = 17;
inline constexpr int kCalendarIsRecurring = 3;
inline constexpr int kCalendarSubject = 12;
inline constexpr int kContactSubject = 103;
inline constexpr int kFirstPatternColumn = 19;

inline constexpr const char* kContactsTable = "Contacts";
inline constexpr const char* kCalendarTable = "Calendar";
inline constexpr const char* kTemplateFileName = "EmptyContacts.mdb";
// The mark the template carries in its header (PRAGMA application_id): "QELX".
inline constexpr int kApplicationId = 0x51454C58;

// The statements that make the two empty tables.
std::string schemaSql();

} // namespace qel::exchange
