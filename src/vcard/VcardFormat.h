#pragma once

// The vCard text format (versions 2.1 and 3.0, RFC 2426, and 4.0, RFC 6350): reading a file into
// cards of properties, and writing one card. Nothing here knows contacts; VcardContacts maps them.
//
// Reading takes what phones and address books write: CR LF, LF or CR line ends; folded lines
// (a line that begins with a space or tab continues the one before); quoted-printable values
// with soft line breaks; a CHARSET parameter, else UTF-8 (bytes that are not UTF-8 are read as
// Windows-1252, as old phones write them); 2.1's bare parameters ("TEL;CELL;PREF:"); quoted
// parameter values and 4.0's ^-escapes in them; group prefixes ("item1.TEL"). What is not a
// card throws VcardError naming the file and line.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <exception>
#include <vector>

namespace qel::vcard {

enum class Version { V3, V4 };

// A file that is no vCard, or a card that cannot be read or written; what() is the message for
// the user ("contacts.vcf, line 12: ...").
class VcardError : public std::exception {
public:
    explicit VcardError(QString message) : mMessage(std::move(message)), mUtf8(mMessage.toUtf8()) {}
    const QString& message() const { return mMessage; }
    const char* what() const noexcept override { return mUtf8.constData(); }

private:
    QString mMessage;
    QByteArray mUtf8;
};

struct Property {
    QString group; // "item1" of "item1.TEL", else ""
    QString name;  // upper case
    // Parameter names upper case; each value list as written (quotes removed, commas split).
    // A 2.1 bare parameter ("CELL") is a TYPE value; a bare encoding an ENCODING.
    QMap<QString, QStringList> params;
    QString value; // decoded to text (quoted-printable, charset), still escaped as vCard text
    int line = 0;  // where the property begins in its file

    // Whether TYPE holds `type` (letter case ignored; "TYPE=work,voice" and "TYPE=WORK;TYPE=VOICE"
    // both hold "voice"); PREF=1 (4.0) counts as the type "pref".
    bool hasType(const QString& type) const;
    QStringList types() const;               // lower case
    QString param(const QString& key) const; // first value, "" when absent
};

struct Card {
    QString file;
    int line = 0;    // of BEGIN:VCARD
    QString version; // "2.1", "3.0" or "4.0"
    std::vector<Property> properties;
    // The first property of that name (upper case), or nullptr.
    const Property* find(const QString& name) const;
};

// Every card of a file's bytes. Throws VcardError ("NAME, line N: ...") for text that is not a
// sequence of cards, a card without END:VCARD, an unknown VERSION, or a file without any card.
std::vector<Card> parseCards(const QByteArray& data, const QString& fileName);

// vCard text values: "\n" (either case) reads as CR LF, "\," "\;" "\\" as the character.
QString unescapeText(const QString& value);
// Splits at every `separator` that is not escaped, then unescapes each part.
QStringList splitText(const QString& value, QChar separator);
// The reverse: backslash, comma, semicolon and every line break (CR LF, LF, CR) escaped.
QString escapeText(const QString& text);

// Writes one card: BEGIN, VERSION, the properties in the order added, END; lines end in CR LF
// and are folded at 75 octets, never inside a UTF-8 sequence.
class CardWriter {
public:
    explicit CardWriter(Version version);
    // `params` are written as given ("TYPE=WORK,VOICE"); `value` must already be escaped.
    void add(const QString& name, const QStringList& params, const QString& value);
    // An escaped text value; nothing is written for an empty text.
    void addText(const QString& name, const QStringList& params, const QString& text);
    QByteArray finish();
    Version version() const { return mVersion; }

private:
    void writeLine(const QByteArray& line);
    Version mVersion;
    QByteArray mOut;
};

} // namespace qel::vcard
