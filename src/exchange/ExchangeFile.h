#pragma once

// An exchange file on disk: the template it is made from, the check that a file is one before
// anything is read from it, and the conversion of values between the store and the file's text.
//
// Values in the file: texts as they are; numbers in decimal; Booleans as "True" and "False" in a
// text column and 0 and 1 in a number column; dates and times as "yyyy-MM-ddTHH:mm:ss" (the
// wall-clock time, the same under every locale, so that the text sorts by time). A value the
// item does not hold is Null.

#include "ExchangeSchema.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace SQLite {
class Database;
}

namespace qel::exchange {

// The template EmptyContacts.mdb: in the program folder, in the "templates" of a resource folder
// (beside the program, the installed share folder, the build tree's resources) or beside the
// program. "" when none of them has it.
QString templateFile();
// Why the export cannot start without it, naming the places looked at.
QString missingTemplateMessage();
// Replaces the places looked in (tests); an empty list restores them.
void setTemplateFolders(const QStringList& folders);

// The date text of the file, and its reading (an invalid QDateTime for anything else).
QString dateText(const QDateTime& value);
QDateTime parseDateText(const QString& text);

class ExchangeFile {
public:
    // Opens an existing file for reading after checking that it is an exchange file: not empty,
    // not cut short, an SQLite file whose tables Contacts and Calendar have exactly the columns
    // of the layout, by position and name. Returns nullptr and sets `why` ("it is empty (0
    // bytes)", "the table Calendar is missing", ...) otherwise. Nothing is ever written.
    static std::unique_ptr<ExchangeFile> open(const QString& path, QString* why);

    ~ExchangeFile();
    ExchangeFile(const ExchangeFile&) = delete;
    ExchangeFile& operator=(const ExchangeFile&) = delete;

    SQLite::Database& db() { return *mDb; }
    QString path() const { return mPath; }

private:
    ExchangeFile() = default;
    QString mPath;
    std::unique_ptr<SQLite::Database> mDb;
};

} // namespace qel::exchange
