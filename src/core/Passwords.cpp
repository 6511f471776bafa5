#include "Passwords.h"

namespace qel {

namespace {

// The shift of 10 works on Unicode scalar values (every code point except the surrogates) counted
// in one row, 0 .. 0xD7FF then 0xE000 .. 0x10FFFF, and wraps around at the end of that row. So
// "abc" becomes "klm", a character whose shifted code would land among the surrogates moves past
// them, one near the top of Unicode wraps to the bottom, and a stored character below 10 reads back
// as one near the top. The mapping is one-to-one both ways: every password round-trips exactly.
// A lone surrogate (not a character of any text) is kept as it is.
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kSurrogateCount = 0x800;
constexpr char32_t kScalarCount = 0x110000 - kSurrogateCount;
constexpr char32_t kShift = 10;

char32_t toIndex(char32_t code) {
    return code < kSurrogateFirst ? code : code - kSurrogateCount;
}
char32_t fromIndex(char32_t index) {
    return index < kSurrogateFirst ? index : index + kSurrogateCount;
}

QString shifted(const QString& text, char32_t by) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text.at(i + 1));
            ++i;
        } else if (c.isSurrogate()) {
            out += c;
            continue;
        }
        const char32_t moved = fromIndex((toIndex(code) + by) % kScalarCount);
        // Appended unit by unit: QString::fromUcs4 would drop a U+FEFF taken for a byte-order mark.
        if (QChar::requiresSurrogates(moved)) {
            out += QChar(QChar::highSurrogate(moved));
            out += QChar(QChar::lowSurrogate(moved));
        } else {
            out += QChar(static_cast<char16_t>(moved));
        }
    }
    return out;
}

} // namespace

QString scramblePassword(const QString& plain) {
    return shifted(plain, kShift);
}

QString unscramblePassword(const QString& stored) {
    return shifted(stored, kScalarCount - kShift);
}

} // namespace qel
