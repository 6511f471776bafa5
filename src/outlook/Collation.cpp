#include "Collation.h"

#include <QChar>

namespace ol {

namespace {

// Letters that have no canonical decomposition but that a reader takes for one or two plain
// letters. Keys are case-folded code points.
QStringView expansionOf(char32_t cp) {
    switch (cp) {
    case 0x00DF: // ß
        return u"ss";
    case 0x00E6: // æ
        return u"ae";
    case 0x0153: // œ
        return u"oe";
    case 0x00F8: // ø
        return u"o";
    case 0x0142: // ł
        return u"l";
    case 0x0111: // đ
    case 0x00F0: // ð
        return u"d";
    case 0x00FE: // þ
        return u"th";
    case 0x0131: // dotless ı
        return u"i";
    case 0x0127: // ħ
        return u"h";
    case 0x0167: // ŧ
        return u"t";
    case 0x0133: // ĳ
        return u"ij";
    case 0x0140: // ŀ
        return u"l";
    default:
        return {};
    }
}

// Accents, breathings, vowel points and the like: non-spacing marks that attach to a letter.
// Marks of class 0 (vowel signs of the Indic scripts) and viramas (class 9) spell a different
// letter, so they stay.
bool isIgnorableMark(char32_t cp) {
    if (QChar::category(cp) != QChar::Mark_NonSpacing)
        return false;
    const unsigned cls = QChar::combiningClass(cp);
    return cls != 0 && cls != 9;
}

bool isAscii(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

char16_t asciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

void appendCodePoint(QString& out, char32_t cp) {
    if (QChar::requiresSurrogates(cp)) {
        out.append(QChar(QChar::highSurrogate(cp)));
        out.append(QChar(QChar::lowSurrogate(cp)));
    } else {
        out.append(QChar(char16_t(cp)));
    }
}

void foldDecomposed(QStringView nfd, QString& out) {
    const qsizetype n = nfd.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = nfd[i].unicode();
        if (cp < 0x80) {
            out.append(QChar(asciiLower(char16_t(cp))));
            continue;
        }
        if (QChar::isHighSurrogate(cp) && i + 1 < n && nfd[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(nfd[i].unicode(), nfd[i + 1].unicode());
            ++i;
        }
        if (isIgnorableMark(cp))
            continue;
        cp = QChar::toCaseFolded(cp);
        const QStringView expansion = expansionOf(cp);
        if (!expansion.isEmpty())
            out.append(expansion);
        else
            appendCodePoint(out, cp);
    }
}

// Position of a UTF-16 unit in code point order: units of the surrogate range stand for code
// points above every unit from U+E000 on.
inline unsigned codePointRank(char16_t u) {
    if (u >= 0xE000)
        return u - 0x800u;
    if (u >= 0xD800)
        return u + 0x2000u;
    return u;
}

int compareCodePoints(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y)
            return codePointRank(x) < codePointRank(y) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

QString foldKey(QStringView text) {
    if (isAscii(text)) {
        QString out(text.size(), Qt::Uninitialized);
        QChar* dst = out.data();
        for (qsizetype i = 0; i < text.size(); ++i)
            dst[i] = QChar(asciiLower(text[i].unicode()));
        return out;
    }
    const QString nfd = text.toString().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(nfd.size());
    foldDecomposed(nfd, out);
    return out;
}

int compareText(QStringView a, QStringView b) {
    if (isAscii(a) && isAscii(b)) {
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = asciiLower(a[i].unicode());
            const char16_t y = asciiLower(b[i].unicode());
            if (x != y)
                return x < y ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    return compareCodePoints(foldKey(a), foldKey(b));
}

} // namespace ol
