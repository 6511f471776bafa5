#pragma once

#include <QString>
#include <stdexcept>

namespace ol {

// Error numbers raised by the contact store. Callers test them the way they would test the
// last error number of an automation call.
enum ErrorCode : qint64 {
    kErrObjectRequired = 424,        // an object could not be created or is gone
    kErrCannotCreate = 429,          // a component (store, safe wrapper, label session) is unavailable
    kErrNotFound = 0x8004010F,       // folder, item or property not found
    kErrFilter = 0x80020009,         // a restriction filter was rejected (syntax, unknown property, literal)
    kErrStoreFile = 0x80030005,      // a store file is corrupt, locked or unreadable
    kErrInvalidArgument = 0x80070057 // a value that a property or call cannot take
};

class Error : public std::runtime_error {
public:
    Error(qint64 number, const QString& message);

    qint64 number() const { return mNumber; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    qint64 mNumber;
};

} // namespace ol
