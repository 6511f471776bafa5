#include "VcardFormat.h"

#include <QStringDecoder>

namespace qel::vcard {

namespace {

QString where(const QString& file, int line) {
    return QStringLiteral("%1, line %2: ").arg(file).arg(line);
}

// A physical line with the number it has in the file.
struct RawLine {
    QByteArray text;
    int line;
};

std::vector<RawLine> physicalLines(const QByteArray& data) {
    std::vector<RawLine> lines;
    qsizetype start = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    int number = 1;
    const qsizetype n = data.size();
    for (qsizetype i = start; i <= n; ++i) {
        if (i == n || data[i] == '\r' || data[i] == '\n') {
            if (i > start || i < n)
                lines.push_back({data.mid(start, i - start), number});
            if (i < n && data[i] == '\r' && i + 1 < n && data[i + 1] == '\n')
                ++i;
            ++number;
            start = i + 1;
        }
    }
    return lines;
}

// The part of a line before its first colon outside double quotes; -1 when there is none.
qsizetype valueColon(const QByteArray& line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(const QByteArray& line) {
    const qsizetype colon = valueColon(line);
    return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

// Logical lines: folded continuations joined, and a quoted-printable value's soft line breaks
// ("=" at the end) joined with the line after.
std::vector<RawLine> logicalLines(const std::vector<RawLine>& physical) {
    std::vector<RawLine> logical;
    bool softBreak = false;
    for (const RawLine& raw : physical) {
        if (softBreak && !logical.empty()) {
            QByteArray& text = logical.back().text;
            text.chop(1); // the "="
            text += raw.text;
        } else if (!raw.text.isEmpty() && (raw.text[0] == ' ' || raw.text[0] == '\t') && !logical.empty()) {
            logical.back().text += raw.text.mid(1);
        } else if (raw.text.trimmed().isEmpty()) {
            softBreak = false;
            continue;
        } else {
            logical.push_back(raw);
        }
        const QByteArray& text = logical.back().text;
        softBreak = text.endsWith('=') && isQuotedPrintable(text);
    }
    return logical;
}

QByteArray decodeQuotedPrintable(const QByteArray& in) {
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '=' && i + 2 < in.size()) {
            bool ok = false;
            const int byte = in.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += char(byte);
                i += 2;
                continue;
            }
        }
        if (in[i] == '=' && i == in.size() - 1)
            break; // a soft break at the very end
        out += in[i];
    }
    return out;
}

QString decodeText(const QByteArray& bytes, const QString& charset) {
    if (!charset.isEmpty() && charset.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0) {
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}

// 4.0's parameter value escapes (RFC 6868): ^n line break, ^^ caret, ^' double quote.
QString unescapeParam(const QString& v) {
    if (!v.contains(QLatin1Char('^')))
        return v;
    QString out;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == QLatin1Char('^') && i + 1 < v.size()) {
            const QChar c = v[i + 1];
            if (c == QLatin1Char('n') || c == QLatin1Char('N')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (c == QLatin1Char('^') || c == QLatin1Char('\'')) {
                out += c == QLatin1Char('^') ? QLatin1Char('^') : QLatin1Char('"');
                ++i;
                continue;
            }
        }
        out += v[i];
    }
    return out;
}

// Splits at `sep` outside double quotes.
QStringList splitOutsideQuotes(const QString& text, QChar sep) {
    QStringList parts;
    QString current;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == sep && !quoted) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;
    return parts;
}

Property parseProperty(const RawLine& raw, const QString& file) {
    const qsizetype colon = valueColon(raw.text);
    if (colon <= 0)
        throw VcardError(
            where(file, raw.line) +
            QStringLiteral("expected NAME:VALUE, found \"%1\"").arg(QString::fromUtf8(raw.text.left(60))));
    Property p;
    p.line = raw.line;
    const QStringList head = splitOutsideQuotes(QString::fromLatin1(raw.text.left(colon)), QLatin1Char(';'));
    QString name = head.first().trimmed();
    if (const qsizetype dot = name.indexOf(QLatin1Char('.')); dot >= 0) {
        p.group = name.left(dot);
        name = name.mid(dot + 1);
    }
    if (name.isEmpty())
        throw VcardError(where(file, raw.line) + QStringLiteral("a property without a name"));
    p.name = name.toUpper();
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QString param = head[i].trimmed();
        if (param.isEmpty())
            continue;
        const qsizetype eq = param.indexOf(QLatin1Char('='));
        QString key = eq < 0 ? QString() : param.left(eq).trimmed().toUpper();
        const QString values = eq < 0 ? param : param.mid(eq + 1);
        if (key.isEmpty()) { // 2.1: a bare value
            const QString upper = values.toUpper();
            key = upper == QLatin1String("QUOTED-PRINTABLE") || upper == QLatin1String("BASE64") ||
                          upper == QLatin1String("8BIT") || upper == QLatin1String("7BIT") ||
                          upper == QLatin1String("B")
                      ? QStringLiteral("ENCODING")
                      : QStringLiteral("TYPE");
        }
        QStringList& list = p.params[key];
        for (QString v : splitOutsideQuotes(values, QLatin1Char(','))) {
            v = v.trimmed();
            if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                v = v.mid(1, v.size() - 2);
            list << unescapeParam(v);
        }
    }
    QByteArray bytes = raw.text.mid(colon + 1);
    if (p.param(QStringLiteral("ENCODING")).compare(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive) ==
        0) {
        bytes = decodeQuotedPrintable(bytes);
        QString text = decodeText(bytes, p.param(QStringLiteral("CHARSET")));
        // A quoted-printable value carries its line breaks as bytes: make them the escape.
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
        text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        text.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
        p.value = text;
    } else {
        p.value = decodeText(bytes, p.param(QStringLiteral("CHARSET")));
    }
    return p;
}

} // namespace

QStringList Property::types() const {
    QStringList out;
    for (const QString& t : params.value(QStringLiteral("TYPE")))
        for (const QString& part : t.split(QLatin1Char(','), Qt::SkipEmptyParts))
            out << part.trimmed().toLower();
    if (params.contains(QStringLiteral("PREF")))
        out << QStringLiteral("pref");
    return out;
}

bool Property::hasType(const QString& type) const {
    return types().contains(type.toLower());
}

QString Property::param(const QString& key) const {
    const QStringList values = params.value(key);
    return values.isEmpty() ? QString() : values.first();
}

const Property* Card::find(const QString& name) const {
    for (const Property& p : properties)
        if (p.name == name)
            return &p;
    return nullptr;
}

std::vector<Card> parseCards(const QByteArray& data, const QString& fileName) {
    std::vector<Card> cards;
    bool open = false;
    for (const RawLine& raw : logicalLines(physicalLines(data))) {
        Property p = parseProperty(raw, fileName);
        const QString value = p.value.trimmed().toUpper();
        if (p.name == QLatin1String("BEGIN") && value == QLatin1String("VCARD")) {
            if (open)
                throw VcardError(where(fileName, raw.line) +
                                 QStringLiteral("BEGIN:VCARD inside the card that begins on line %1, "
                                                "which has no END:VCARD")
                                     .arg(cards.back().line));
            Card card;
            card.file = fileName;
            card.line = raw.line;
            card.version = QStringLiteral("3.0");
            cards.push_back(std::move(card));
            open = true;
        } else if (p.name == QLatin1String("END") && value == QLatin1String("VCARD")) {
            if (!open)
                throw VcardError(where(fileName, raw.line) + QStringLiteral("END:VCARD without BEGIN:VCARD"));
            open = false;
        } else if (!open) {
            throw VcardError(where(fileName, raw.line) +
                             QStringLiteral("\"%1\" outside a card (BEGIN:VCARD missing)").arg(p.name));
        } else if (p.name == QLatin1String("VERSION")) {
            const QString v = p.value.trimmed();
            if (v != QLatin1String("2.1") && v != QLatin1String("3.0") && v != QLatin1String("4.0"))
                throw VcardError(
                    where(fileName, raw.line) +
                    QStringLiteral("vCard version \"%1\" is not supported (2.1, 3.0 and 4.0 are)").arg(v));
            cards.back().version = v;
        } else {
            cards.back().properties.push_back(std::move(p));
        }
    }
    if (open)
        throw VcardError(where(fileName, cards.back().line) +
                         QStringLiteral("the card that begins here has no END:VCARD"));
    if (cards.empty())
        throw VcardError(QStringLiteral("%1 holds no vCard (no BEGIN:VCARD line)").arg(fileName));
    return cards;
}

QString unescapeText(const QString& value) {
    if (!value.contains(QLatin1Char('\\')))
        return value;
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[++i];
        if (next == QLatin1Char('n') || next == QLatin1Char('N'))
            out += QStringLiteral("\r\n");
        else if (next == QLatin1Char(',') || next == QLatin1Char(';') || next == QLatin1Char('\\') ||
                 next == QLatin1Char(':'))
            out += next;
        else
            out += c, out += next; // not an escape: kept as written
    }
    return out;
}

QStringList splitText(const QString& value, QChar separator) {
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\')) {
            ++i;
        } else if (value[i] == separator) {
            parts << unescapeText(value.mid(start, i - start));
            start = i + 1;
        }
    }
    parts << unescapeText(value.mid(start));
    return parts;
}

QString escapeText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case ',':
            out += QStringLiteral("\\,");
            break;
        case ';':
            out += QStringLiteral("\\;");
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QStringLiteral("\\n");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

CardWriter::CardWriter(Version version) : mVersion(version) {
    mOut.reserve(1024);
    writeLine("BEGIN:VCARD");
    writeLine(version == Version::V4 ? "VERSION:4.0" : "VERSION:3.0");
}

void CardWriter::add(const QString& name, const QStringList& params, const QString& value) {
    QString line = name;
    for (const QString& p : params)
        line += QLatin1Char(';') + p;
    line += QLatin1Char(':') + value;
    writeLine(line.toUtf8());
}

void CardWriter::addText(const QString& name, const QStringList& params, const QString& text) {
    if (!text.isEmpty())
        add(name, params, escapeText(text));
}

QByteArray CardWriter::finish() {
    writeLine("END:VCARD");
    return mOut;
}

void CardWriter::writeLine(const QByteArray& line) {
    // At most 75 octets a line; a continuation begins with a space, which counts.
    qsizetype pos = 0;
    qsizetype room = 75;
    while (line.size() - pos > room) {
        qsizetype cut = pos + room;
        while (cut > pos && (uchar(line[cut]) & 0xC0) == 0x80)
            --cut; // never inside a UTF-8 sequence
        mOut += line.mid(pos, cut - pos);
        mOut += "\r\n ";
        pos = cut;
        room = 74;
    }
    mOut += line.mid(pos);
    mOut += "\r\n";
}

} // namespace qel::vcard
