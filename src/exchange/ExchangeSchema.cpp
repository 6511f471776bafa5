#include "ExchangeSchema.h"

namespace qel::exchange {

// Positions 0 to 117 follow the alphabetical order of the contact properties; 118 to 120 are the
// read-only stamps. Every value is held as text.
const std::array<ColumnDef, kContactColumnCount> kContactColumns{{
    {"Account", "Account", 0, "TEXT"},                                           // 0
    {"Anniversary", "Anniversary", 0, "TEXT"},                                   // 1
    {"AssistantName", "AssistantName", 0, "TEXT"},                               // 2
    {"AssistantTelephoneNumber", "AssistantTelephoneNumber", 0, "TEXT"},         // 3
    {"BillingInformation", "BillingInformation", 0, "TEXT"},                     // 4
    {"Birthday", "Birthday", 0, "TEXT"},                                         // 5
    {"Body", "Body", kSafeOnly, "TEXT"},                                         // 6
    {"Business2TelephoneNumber", "Business2TelephoneNumber", 0, "TEXT"},         // 7
    {"Unused8", nullptr, kUnused, "TEXT"},                                       // 8
    {"BusinessAddressCity", "BusinessAddressCity", 0, "TEXT"},                   // 9
    {"BusinessAddressCountry", "BusinessAddressCountry", 0, "TEXT"},             // 10
    {"BusinessAddressPostalCode", "BusinessAddressPostalCode", 0, "TEXT"},       // 11
    {"BusinessAddressPostOfficeBox", "BusinessAddressPostOfficeBox", 0, "TEXT"}, // 12
    {"BusinessAddressState", "BusinessAddressState", 0, "TEXT"},                 // 13
    {"BusinessAddressStreet", "BusinessAddressStreet", 0, "TEXT"},               // 14
    {"BusinessFaxNumber", "BusinessFaxNumber", 0, "TEXT"},                       // 15
    {"BusinessHomePage", "BusinessHomePage", 0, "TEXT"},                         // 16
    {"BusinessTelephoneNumber", "BusinessTelephoneNumber", 0, "TEXT"},           // 17
    {"CallbackTelephoneNumber", "CallbackTelephoneNumber", 0, "TEXT"},           // 18
    {"CarTelephoneNumber", "CarTelephoneNumber", 0, "TEXT"},                     // 19
    {"Categories", "Categories", kAddsSyncCategory, "TEXT"},                     // 20
    {"Children", "Children", 0, "TEXT"},                                         // 21
    {"Companies", "Companies", 0, "TEXT"},                                       // 22
    {"CompanyMainTelephoneNumber", "CompanyMainTelephoneNumber", 0, "TEXT"},     // 23
    {"CompanyName", "CompanyName", 0, "TEXT"},                                   // 24
    {"ComputerNetworkName", "ComputerNetworkName", 0, "TEXT"},                   // 25
    {"CustomerID", "CustomerID", 0, "TEXT"},                                     // 26
    {"Department", "Department", 0, "TEXT"},                                     // 27
    {"Email1Address", "Email1Address", kSafeOnly, "TEXT"},                       // 28
    {"Email1AddressType", "Email1AddressType", kSafeOnly | kVersion10, "TEXT"},  // 29
    {"Email1DisplayName", "Email1DisplayName", kSafeOnly | kVersion10, "TEXT"},  // 30
    {"Unused31", nullptr, kUnused, "TEXT"},                                      // 31
    {"Email2Address", "Email2Address", kSafeOnly, "TEXT"},                       // 32
    {"Email2AddressType", "Email2AddressType", kSafeOnly | kVersion10, "TEXT"},  // 33
    {"Email2DisplayName", "Email2DisplayName", kSafeOnly | kVersion10, "TEXT"},  // 34
    {"Unused35", nullptr, kUnused, "TEXT"},                                      // 35
    {"Email3Address", "Email3Address", kSafeOnly, "TEXT"},                       // 36
    {"Email3AddressType", "Email3AddressType", kSafeOnly | kVersion10, "TEXT"},  // 37
    {"Email3DisplayName", "Email3DisplayName", kSafeOnly | kVersion10, "TEXT"},  // 38
    {"Unused39", nullptr, kUnused, "TEXT"},                                      // 39
    {"FileAs", "FileAs", 0, "TEXT"},                                             // 40
    {"FirstName", "FirstName", 0, "TEXT"},                                       // 41
    {"FormDescription", "FormDescription", 0, "TEXT"},                           // 42
    {"FTPSite", "FTPSite", 0, "TEXT"},                                           // 43
    {"FullName", "FullName", kNotImported, "TEXT"},                              // 44
    {"Gender", "Gender", 0, "TEXT"},                                             // 45
    {"GovernmentIDNumber", "GovernmentIDNumber", 0, "TEXT"},                     // 46
    {"Hobby", "Hobby", 0, "TEXT"},                                               // 47
    {"Home2TelephoneNumber", "Home2TelephoneNumber", 0, "TEXT"},                 // 48
    {"Unused49", nullptr, kUnused, "TEXT"},                                      // 49
    {"HomeAddressCity", "HomeAddressCity", 0, "TEXT"},                           // 50
    {"HomeAddressCountry", "HomeAddressCountry", 0, "TEXT"},                     // 51
    {"HomeAddressPostalCode", "HomeAddressPostalCode", 0, "TEXT"},               // 52
    {"HomeAddressPostOfficeBox", "HomeAddressPostOfficeBox", 0, "TEXT"},         // 53
    {"HomeAddressState", "HomeAddressState", 0, "TEXT"},                         // 54
    {"HomeAddressStreet", "HomeAddressStreet", 0, "TEXT"},                       // 55
    {"HomeFaxNumber", "HomeFaxNumber", 0, "TEXT"},                               // 56
    {"HomeTelephoneNumber", "HomeTelephoneNumber", 0, "TEXT"},                   // 57
    {"IMAddress", "IMAddress", kSafeOnly | kVersion10, "TEXT"},                  // 58
    {"Importance", "Importance", 0, "TEXT"},                                     // 59
    {"Initials", "Initials", 0, "TEXT"},                                         // 60
    {"InternetFreeBusyAddress", "InternetFreeBusyAddress", 0, "TEXT"},           // 61
    {"ISDNNumber", "ISDNNumber", 0, "TEXT"},                                     // 62
    {"JobTitle", "JobTitle", 0, "TEXT"},                                         // 63
    {"Journal", "Journal", 0, "TEXT"},                                           // 64
    {"Language", "Language", 0, "TEXT"},                                         // 65
    {"LastName", "LastName", 0, "TEXT"},                                         // 66
    {"Unused67", nullptr, kUnused, "TEXT"},                                      // 67
    {"Unused68", nullptr, kUnused, "TEXT"},                                      // 68
    {"Unused69", nullptr, kUnused, "TEXT"},                                      // 69
    {"Unused70", nullptr, kUnused, "TEXT"},                                      // 70
    {"Unused71", nullptr, kUnused, "TEXT"},                                      // 71
    {"Unused72", nullptr, kUnused, "TEXT"},                                      // 72
    {"Unused73", nullptr, kUnused, "TEXT"},                                      // 73
    {"ManagerName", "ManagerName", 0, "TEXT"},                                   // 74
    {"MessageClass", "MessageClass", 0, "TEXT"},                                 // 75
    {"MiddleName", "MiddleName", 0, "TEXT"},                                     // 76
    {"Mileage", "Mileage", 0, "TEXT"},                                           // 77
    {"MobileTelephoneNumber", "MobileTelephoneNumber", 0, "TEXT"},               // 78
    {"NetMeetingAlias", "NetMeetingAlias", kSafeOnly, "TEXT"},                   // 79
    {"NetMeetingServer", "NetMeetingServer", 0, "TEXT"},                         // 80
    {"NickName", "NickName", 0, "TEXT"},                                         // 81
    {"NoAging", "NoAging", 0, "TEXT"},                                           // 82
    {"OfficeLocation", "OfficeLocation", 0, "TEXT"},                             // 83
    {"OrganizationalIDNumber", "OrganizationalIDNumber", 0, "TEXT"},             // 84
    {"Unused85", nullptr, kUnused, "TEXT"},                                      // 85
    {"OtherAddressCity", "OtherAddressCity", 0, "TEXT"},                         // 86
    {"OtherAddressCountry", "OtherAddressCountry", 0, "TEXT"},                   // 87
    {"OtherAddressPostalCode", "OtherAddressPostalCode", 0, "TEXT"},             // 88
    {"OtherAddressPostOfficeBox", "OtherAddressPostOfficeBox", 0, "TEXT"},       // 89
    {"OtherAddressState", "OtherAddressState", 0, "TEXT"},                       // 90
    {"OtherAddressStreet", "OtherAddressStreet", 0, "TEXT"},                     // 91
    {"OtherFaxNumber", "OtherFaxNumber", 0, "TEXT"},                             // 92
    {"OtherTelephoneNumber", "OtherTelephoneNumber", 0, "TEXT"},                 // 93
    {"PagerNumber", "PagerNumber", 0, "TEXT"},                                   // 94
    {"PersonalHomePage", "PersonalHomePage", 0, "TEXT"},                         // 95
    {"PrimaryTelephoneNumber", "PrimaryTelephoneNumber", 0, "TEXT"},             // 96
    {"Profession", "Profession", 0, "TEXT"},                                     // 97
    {"RadioTelephoneNumber", "RadioTelephoneNumber", 0, "TEXT"},                 // 98
    {"ReferredBy", "ReferredBy", kSafeOnly, "TEXT"},                             // 99
    {"SelectedMailingAddress", "SelectedMailingAddress", 0, "TEXT"},             // 100
    {"Sensitivity", "Sensitivity", 0, "TEXT"},                                   // 101
    {"Spouse", "Spouse", 0, "TEXT"},                                             // 102
    {"Subject", "Subject", 0, "TEXT"},                                           // 103
    {"Suffix", "Suffix", 0, "TEXT"},                                             // 104
    {"TelexNumber", "TelexNumber", 0, "TEXT"},                                   // 105
    {"Title", "Title", 0, "TEXT"},                                               // 106
    {"TTYTDDTelephoneNumber", "TTYTDDTelephoneNumber", 0, "TEXT"},               // 107
    {"UnRead", "UnRead", 0, "TEXT"},                                             // 108
    {"User1", "User1", 0, "TEXT"},                                               // 109
    {"User2", "User2", 0, "TEXT"},                                               // 110
    {"User3", "User3", 0, "TEXT"},                                               // 111
    {"User4", "User4", 0, "TEXT"},                                               // 112
    {"UserCertificate", "UserCertificate", 0, "TEXT"},                           // 113
    {"WebPage", "WebPage", 0, "TEXT"},                                           // 114
    {"YomiCompanyName", "YomiCompanyName", 0, "TEXT"},                           // 115
    {"YomiFirstName", "YomiFirstName", 0, "TEXT"},                               // 116
    {"YomiLastName", "YomiLastName", 0, "TEXT"},                                 // 117
    {"CreationTime", "CreationTime", kNotImported, "TEXT"},                      // 118
    {"EntryID", "EntryID", kNotImported, "TEXT"},                                // 119
    {"LastModificationTime", "LastModificationTime", kNotImported, "TEXT"},      // 120
}};

// One row per appointment; a recurring series is one row with its pattern in 19 to 32 (Null for an
// appointment that does not recur). Start is a date-and-time column so that it sorts by time.
const std::array<ColumnDef, kCalendarColumnCount> kCalendarColumns{{
    {"AllDayEvent", "AllDayEvent", kAsNumber, "INTEGER"},                               // 0
    {"ReminderSet", "ReminderSet", kAsNumber, "INTEGER"},                               // 1
    {"ResponseRequested", "ResponseRequested", kAsNumber, "INTEGER"},                   // 2
    {"IsRecurring", "IsRecurring", kAsNumber | kNotImported, "INTEGER"},                // 3
    {"BusyStatus", "BusyStatus", kAsNumber, "INTEGER"},                                 // 4
    {"Importance", "Importance", kAsNumber, "INTEGER"},                                 // 5
    {"MeetingStatus", "MeetingStatus", kAsNumber, "INTEGER"},                           // 6
    {"ReminderMinutesBeforeStart", "ReminderMinutesBeforeStart", kAsNumber, "INTEGER"}, // 7
    {"Sensitivity", "Sensitivity", kAsNumber, "INTEGER"},                               // 8
    {"ConversationIndex", "ConversationIndex", kNotImported, "TEXT"},                   // 9
    {"ConversationTopic", "ConversationTopic", kNotImported, "TEXT"},                   // 10
    {"Location", "Location", 0, "TEXT"},                                                // 11
    {"Subject", "Subject", 0, "TEXT"},                                                  // 12
    {"Body", "Body", kSafeOnly, "TEXT"},                                                // 13
    {"Categories", "Categories", kAddsSyncCategory, "TEXT"},                            // 14
    {"End", "End", 0, "TEXT"},                                                          // 15
    {"ReplyTime", "ReplyTime", 0, "TEXT"},                                              // 16
    {"Start", "Start", 0, "DATETIME"},                                                  // 17
    {"Companies", "Companies", kNotImported, "TEXT"},                                   // 18
    {"PatternDayOfMonth", "DayOfMonth", kPattern | kAsNumber, "INTEGER"},               // 19
    {"PatternDayOfWeekMask", "DayOfWeekMask", kPattern, "TEXT"},                        // 20
    {"PatternDuration", "Duration", kPattern | kAsNumber, "INTEGER"},                   // 21
    {"PatternEndTime", "EndTime", kPattern, "TEXT"},                                    // 22
    {"PatternInstance", "Instance", kPattern, "TEXT"},                                  // 23
    {"PatternInterval", "Interval", kPattern | kAsNumber, "INTEGER"},                   // 24
    {"PatternMonthOfYear", "MonthOfYear", kPattern | kAsNumber, "INTEGER"},             // 25
    {"PatternNoEndDate", "NoEndDate", kPattern | kAsNumber, "INTEGER"},                 // 26
    {"PatternOccurrences", "Occurrences", kPattern | kAsNumber, "INTEGER"},             // 27
    {"PatternEndDate", "PatternEndDate", kPattern, "TEXT"},                             // 28
    {"PatternStartDate", "PatternStartDate", kPattern, "TEXT"},                         // 29
    {"PatternRecurrenceType", "RecurrenceType", kPattern, "TEXT"},                      // 30
    {"PatternRegenerate", "Regenerate", kPattern | kAsNumber, "INTEGER"},               // 31
    {"PatternStartTime", "StartTime", kPattern, "TEXT"},                                // 32
}};

namespace {

template <size_t N> std::string createTable(const char* table, const std::array<ColumnDef, N>& columns) {
    std::string sql = std::string("CREATE TABLE ") + table + " (";
    for (size_t i = 0; i < N; ++i) {
        if (i)
            sql += ", ";
        sql += std::string("\"") + columns[i].name + "\" " + columns[i].sqlType;
    }
    return sql + ");\n";
}

} // namespace

std::string schemaSql() {
    return createTable(kContactsTable, kContactColumns) + createTable(kCalendarTable, kCalendarColumns) +
           "PRAGMA application_id = " + std::to_string(kApplicationId) + ";\n";
}

} // namespace qel::exchange
