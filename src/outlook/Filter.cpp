#include "Filter.h"

#include "Collation.h"
#include "Error.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace ol {

namespace {

// Parentheses deeper than this are refused, so that no filter text can exhaust the stack of the
// recursive parser or evaluator.
constexpr int kMaxDepth = 200;

enum class Op : std::uint8_t { Eq, Ne, Lt, Le, Gt, Ge };

bool applyOp(Op op, int cmp) {
    switch (op) {
    case Op::Eq:
        return cmp == 0;
    case Op::Ne:
        return cmp != 0;
    case Op::Lt:
        return cmp < 0;
    case Op::Le:
        return cmp <= 0;
    case Op::Gt:
        return cmp > 0;
    case Op::Ge:
        return cmp >= 0;
    }
    return false;
}

template <typename T> int threeWay(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Folded keys compare by code point. UTF-16 units of the surrogate range stand for code points
// above every other unit, so they are moved up before comparing.
inline unsigned codePointRank(char16_t u) {
    if (u >= 0xE000)
        return u - 0x800u;
    if (u >= 0xD800)
        return u + 0x2000u;
    return u;
}

int compareKeys(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const QChar* pa = a.data();
    const QChar* pb = b.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = pa[i].unicode();
        const char16_t y = pb[i].unicode();
        if (x != y)
            return codePointRank(x) < codePointRank(y) ? -1 : 1;
    }
    return threeWay(a.size(), b.size());
}

struct DateParts {
    QDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Reads up to maxDigits decimal digits at pos; returns -1 when there is none.
int readNumber(QStringView s, qsizetype& pos, int maxDigits) {
    int value = 0;
    int digits = 0;
    while (pos < s.size() && digits < maxDigits && s[pos].unicode() >= u'0' && s[pos].unicode() <= u'9') {
        value = value * 10 + (s[pos].unicode() - u'0');
        ++pos;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

bool atDigit(QStringView s, qsizetype pos) {
    return pos < s.size() && s[pos].unicode() >= u'0' && s[pos].unicode() <= u'9';
}

bool readDateParts(QStringView text, DateParts& out) {
    const QStringView s = text.trimmed();
    qsizetype pos = 0;
    const int month = readNumber(s, pos, 2);
    if (month < 0 || pos >= s.size() || s[pos] != u'/')
        return false;
    ++pos;
    const int day = readNumber(s, pos, 2);
    if (day < 0 || pos >= s.size() || s[pos] != u'/')
        return false;
    ++pos;
    const qsizetype yearStart = pos;
    const int year = readNumber(s, pos, 4);
    if (year < 0 || pos - yearStart != 4 || atDigit(s, pos))
        return false;
    out.date = QDate(year, month, day);
    if (!out.date.isValid())
        return false;
    out.hour = out.minute = out.second = 0;
    if (pos == s.size())
        return true;

    if (!s[pos].isSpace())
        return false;
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
    int hour = readNumber(s, pos, 2);
    if (hour < 0 || pos >= s.size() || s[pos] != u':')
        return false;
    ++pos;
    qsizetype fieldStart = pos;
    const int minute = readNumber(s, pos, 2);
    if (minute < 0 || pos - fieldStart != 2 || minute > 59)
        return false;
    int second = 0;
    if (pos < s.size() && s[pos] == u':') {
        ++pos;
        fieldStart = pos;
        second = readNumber(s, pos, 2);
        if (second < 0 || pos - fieldStart != 2 || second > 59)
            return false;
    }
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
    const QStringView rest = s.mid(pos);
    if (rest.isEmpty()) {
        if (hour > 23)
            return false;
    } else {
        const bool am = rest.compare(u"AM", Qt::CaseInsensitive) == 0;
        const bool pm = rest.compare(u"PM", Qt::CaseInsensitive) == 0;
        if (!am && !pm)
            return false;
        if (hour < 1 || hour > 12)
            return false;
        if (hour == 12)
            hour = 0;
        if (pm)
            hour += 12;
    }
    out.hour = hour;
    out.minute = minute;
    out.second = second;
    return true;
}

qint64 minuteKey(QDate date, int hour, int minute) {
    return date.toJulianDay() * 1440 + hour * 60 + minute;
}

// A stored date-time as local wall-clock minutes, the way the filter's literals are written.
qint64 minuteKey(QDateTime value) {
    if (value.timeSpec() != Qt::LocalTime)
        value = value.toLocalTime();
    const QTime t = value.time();
    return minuteKey(value.date(), t.hour(), t.minute());
}

QString excerpt(QStringView text) {
    constexpr qsizetype kMax = 40;
    if (text.size() <= kMax)
        return text.toString();
    return text.left(kMax).toString() + QStringLiteral("...");
}

QString describeChar(QChar c) {
    if (c.isPrint())
        return QStringLiteral("'%1'").arg(c);
    return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

// The compiled filter: terms in one array, the children of every AND/OR group side by side in
// another, the comparisons in a third. Literals are converted to the form the item's values
// take (folded text, minute keys, numbers) once, here, so that matching converts nothing.
struct Filter::Node {
    enum class Kind : std::uint8_t { Compare, All, Any };

    struct Term {
        Kind kind;
        bool negate;
        std::uint32_t first; // Compare: index into comparisons; All/Any: index into children
        std::uint32_t count; // All/Any: number of children
    };

    struct Comparison {
        int prop;
        PropType type;
        Op op;
        bool emptyLiteral; // '' against a date: "no date"
        qint64 number;     // integer, Boolean (0/1) or minute key of a date
        QString text;      // folded text for Text and Keywords
    };

    std::vector<Term> terms;
    std::vector<std::uint32_t> children;
    std::vector<Comparison> comparisons;
    std::uint32_t root = 0;

    bool eval(std::uint32_t index, const FilterSource& item) const;
    static bool compare(const Comparison& c, const FilterSource& item);
};

std::optional<qint64> FilterSource::minutes(int propId) const {
    const QDateTime dt = value(propId).toDateTime();
    if (!dt.isValid())
        return std::nullopt;
    return minuteKey(dt);
}

bool Filter::Node::compare(const Comparison& c, const FilterSource& item) {
    switch (c.type) {
    case PropType::Text:
        return applyOp(c.op, compareKeys(item.folded(c.prop), c.text));
    case PropType::Keywords: {
        const QString folded = item.folded(c.prop);
        const QStringView all(folded);
        bool any = false;
        bool anyValue = false;
        qsizetype start = 0;
        while (start <= all.size() && !any) {
            qsizetype end = all.indexOf(u',', start);
            if (end < 0)
                end = all.size();
            const QStringView value = all.mid(start, end - start).trimmed();
            start = end + 1;
            if (value.isEmpty())
                continue;
            anyValue = true;
            if (c.op == Op::Eq || c.op == Op::Ne)
                any = value == QStringView(c.text);
            else
                any = applyOp(c.op, compareKeys(value, c.text));
        }
        if (c.op == Op::Eq)
            return c.text.isEmpty() ? !anyValue : any;
        if (c.op == Op::Ne)
            return c.text.isEmpty() ? anyValue : !any;
        return any;
    }
    case PropType::DateTime: {
        const std::optional<qint64> minutes = item.minutes(c.prop);
        if (!minutes)
            return c.emptyLiteral && c.op == Op::Eq;
        // A date lies after "no date".
        const int cmp = c.emptyLiteral ? 1 : threeWay(*minutes, c.number);
        return applyOp(c.op, cmp);
    }
    case PropType::Integer: {
        const QVariant v = item.value(c.prop);
        const qint64 n = v.isValid() ? v.toLongLong() : 0;
        return applyOp(c.op, threeWay(n, c.number));
    }
    case PropType::Boolean: {
        const QVariant v = item.value(c.prop);
        const qint64 b = (v.isValid() && v.toBool()) ? 1 : 0;
        return applyOp(c.op, threeWay(b, c.number));
    }
    }
    return false;
}

bool Filter::Node::eval(std::uint32_t index, const FilterSource& item) const {
    const Term& t = terms[index];
    bool result;
    switch (t.kind) {
    case Kind::Compare:
        result = compare(comparisons[t.first], item);
        break;
    case Kind::All:
        result = true;
        for (std::uint32_t i = 0; i < t.count && result; ++i)
            result = eval(children[t.first + i], item);
        break;
    case Kind::Any:
    default:
        result = false;
        for (std::uint32_t i = 0; i < t.count && !result; ++i)
            result = eval(children[t.first + i], item);
        break;
    }
    return result != t.negate;
}

namespace {

struct Token {
    enum Kind { End, Property, Operator, Quoted, Number, And, Or, Not, Open, Close } kind = End;
    qsizetype pos = 0;
    QString text; // property name, literal text or number as written
    Op op = Op::Eq;
};

QString describe(const Token& t) {
    switch (t.kind) {
    case Token::End:
        return QStringLiteral("the end of the filter");
    case Token::Property:
        return QStringLiteral("[%1]").arg(excerpt(t.text));
    case Token::Operator:
        return QStringLiteral("a comparison operator");
    case Token::Quoted:
        return QStringLiteral("the literal '%1'").arg(excerpt(t.text));
    case Token::Number:
        return QStringLiteral("the number %1").arg(excerpt(t.text));
    case Token::And:
        return QStringLiteral("AND");
    case Token::Or:
        return QStringLiteral("OR");
    case Token::Not:
        return QStringLiteral("NOT");
    case Token::Open:
        return QStringLiteral("'('");
    case Token::Close:
        return QStringLiteral("')'");
    }
    return {};
}

class Parser {
public:
    Parser(QStringView text, Filter::Node& node) : mText(text), mNode(node) {}

    void run() {
        advance();
        if (mToken.kind == Token::End)
            throw Error(kErrFilter, QStringLiteral("Invalid filter: the filter text is empty."));
        mNode.root = parseOr(0);
        if (mToken.kind != Token::End)
            fail(mToken.pos,
                 QStringLiteral("unexpected %1 after a complete condition").arg(describe(mToken)));
    }

private:
    using Kind = Filter::Node::Kind;

    [[noreturn]] static void fail(qsizetype pos, const QString& problem) {
        throw Error(kErrFilter,
                    QStringLiteral("Invalid filter at position %1: %2.").arg(pos + 1).arg(problem));
    }

    bool isSpace(qsizetype i) const { return i < mText.size() && mText[i].isSpace(); }

    void advance() {
        while (isSpace(mPos))
            ++mPos;
        mToken = Token();
        mToken.pos = mPos;
        if (mPos >= mText.size())
            return;
        const char16_t c = mText[mPos].unicode();
        switch (c) {
        case u'[':
            lexProperty();
            return;
        case u'(':
            mToken.kind = Token::Open;
            ++mPos;
            return;
        case u')':
            mToken.kind = Token::Close;
            ++mPos;
            return;
        case u'=':
            lexOperator(Op::Eq, 1);
            return;
        case u'<':
            if (peek(1) == u'>')
                lexOperator(Op::Ne, 2);
            else if (peek(1) == u'=')
                lexOperator(Op::Le, 2);
            else
                lexOperator(Op::Lt, 1);
            return;
        case u'>':
            if (peek(1) == u'=')
                lexOperator(Op::Ge, 2);
            else
                lexOperator(Op::Gt, 1);
            return;
        case u'\'':
        case u'"':
            lexQuoted(c);
            return;
        default:
            break;
        }
        if (isDigit(peek(0)) || ((c == u'-' || c == u'+') && isDigit(peek(1)))) {
            lexNumber();
            return;
        }
        if (mText[mPos].isLetter()) {
            lexWord();
            return;
        }
        fail(mPos, QStringLiteral("unexpected character %1").arg(describeChar(mText[mPos])));
    }

    char16_t peek(qsizetype ahead) const {
        return mPos + ahead < mText.size() ? mText[mPos + ahead].unicode() : char16_t(0);
    }
    static bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

    void lexOperator(Op op, qsizetype length) {
        mToken.kind = Token::Operator;
        mToken.op = op;
        mPos += length;
    }

    void lexProperty() {
        const qsizetype start = mPos;
        qsizetype i = mPos + 1;
        while (i < mText.size() && mText[i] != u']') {
            const char16_t c = mText[i].unicode();
            if (c == u'[' || c == u'\'' || c == u'"')
                break;
            ++i;
        }
        if (i >= mText.size() || mText[i] != u']')
            fail(start, QStringLiteral("the property name opened by '[' has no closing ']'"));
        mToken.kind = Token::Property;
        mToken.text = mText.mid(start + 1, i - start - 1).toString();
        mPos = i + 1;
    }

    void lexQuoted(char16_t quote) {
        const qsizetype start = mPos;
        QString value;
        qsizetype i = mPos + 1;
        for (;;) {
            if (i >= mText.size())
                fail(start, QStringLiteral("the literal opened here has no closing %1").arg(QChar(quote)));
            if (mText[i] == QChar(quote)) {
                if (i + 1 < mText.size() && mText[i + 1] == QChar(quote)) {
                    value.append(QChar(quote));
                    i += 2;
                    continue;
                }
                break;
            }
            value.append(mText[i]);
            ++i;
        }
        mToken.kind = Token::Quoted;
        mToken.text = value;
        mPos = i + 1;
    }

    void lexNumber() {
        const qsizetype start = mPos;
        ++mPos; // sign or first digit
        while (isDigit(peek(0)))
            ++mPos;
        mToken.kind = Token::Number;
        mToken.text = mText.mid(start, mPos - start).toString();
    }

    void lexWord() {
        const qsizetype start = mPos;
        while (mPos < mText.size() && (mText[mPos].isLetterOrNumber() || mText[mPos] == u'_'))
            ++mPos;
        const QStringView word = mText.mid(start, mPos - start);
        if (word.compare(u"AND", Qt::CaseInsensitive) == 0)
            mToken.kind = Token::And;
        else if (word.compare(u"OR", Qt::CaseInsensitive) == 0)
            mToken.kind = Token::Or;
        else if (word.compare(u"NOT", Qt::CaseInsensitive) == 0)
            mToken.kind = Token::Not;
        else
            fail(start, QStringLiteral("unexpected word \"%1\" (property names are written in brackets, "
                                       "literals in quotes)")
                            .arg(excerpt(word)));
    }

    std::uint32_t addTerm(Kind kind, std::uint32_t first, std::uint32_t count) {
        mNode.terms.push_back({kind, false, first, count});
        return std::uint32_t(mNode.terms.size() - 1);
    }

    std::uint32_t group(Kind kind, const std::vector<std::uint32_t>& parts) {
        if (parts.size() == 1)
            return parts.front();
        const auto first = std::uint32_t(mNode.children.size());
        mNode.children.insert(mNode.children.end(), parts.begin(), parts.end());
        return addTerm(kind, first, std::uint32_t(parts.size()));
    }

    std::uint32_t parseOr(int depth) {
        std::vector<std::uint32_t> parts{parseAnd(depth)};
        while (mToken.kind == Token::Or) {
            advance();
            parts.push_back(parseAnd(depth));
        }
        return group(Kind::Any, parts);
    }

    std::uint32_t parseAnd(int depth) {
        std::vector<std::uint32_t> parts{parseNot(depth)};
        while (mToken.kind == Token::And) {
            advance();
            parts.push_back(parseNot(depth));
        }
        return group(Kind::All, parts);
    }

    std::uint32_t parseNot(int depth) {
        bool negate = false;
        while (mToken.kind == Token::Not) {
            negate = !negate;
            advance();
        }
        const std::uint32_t term = parsePrimary(depth);
        if (negate)
            mNode.terms[term].negate = !mNode.terms[term].negate;
        return term;
    }

    std::uint32_t parsePrimary(int depth) {
        if (mToken.kind == Token::Open) {
            const qsizetype open = mToken.pos;
            if (depth >= kMaxDepth)
                fail(open, QStringLiteral("parentheses are nested more than %1 deep").arg(kMaxDepth));
            advance();
            const std::uint32_t term = parseOr(depth + 1);
            if (mToken.kind != Token::Close)
                fail(mToken.pos, QStringLiteral("expected ')' to close the '(' at position %1, found %2")
                                     .arg(open + 1)
                                     .arg(describe(mToken)));
            advance();
            return term;
        }
        if (mToken.kind == Token::Property)
            return parseComparison();
        fail(mToken.pos, QStringLiteral("expected a condition such as [LastName] = 'Smith', found %1")
                             .arg(describe(mToken)));
    }

    std::uint32_t parseComparison() {
        const Token property = mToken;
        const PropertyDef* def = findProperty(property.text);
        if (!def)
            fail(property.pos, QStringLiteral("unknown property [%1]").arg(excerpt(property.text)));
        advance();
        if (mToken.kind != Token::Operator)
            fail(mToken.pos,
                 QStringLiteral("expected a comparison operator (=, <>, <, <=, >, >=) after [%1], "
                                "found %2")
                     .arg(def->name, describe(mToken)));
        const Op op = mToken.op;
        advance();
        if (mToken.kind != Token::Quoted && mToken.kind != Token::Number)
            fail(mToken.pos,
                 QStringLiteral("expected a literal such as 'text' after the comparison with [%1], "
                                "found %2")
                     .arg(def->name, describe(mToken)));
        Filter::Node::Comparison cmp{def->id, def->type, op, false, 0, QString()};
        convertLiteral(*def, mToken, cmp);
        advance();
        mNode.comparisons.push_back(std::move(cmp));
        return addTerm(Kind::Compare, std::uint32_t(mNode.comparisons.size() - 1), 0);
    }

    static void convertLiteral(const PropertyDef& def, const Token& literal, Filter::Node::Comparison& cmp) {
        const QString& text = literal.text;
        switch (def.type) {
        case PropType::Text:
            cmp.text = foldKey(text);
            return;
        case PropType::Keywords:
            cmp.text = foldKey(text).trimmed();
            return;
        case PropType::DateTime: {
            if (literal.kind == Token::Quoted && text.trimmed().isEmpty()) {
                cmp.emptyLiteral = true;
                return;
            }
            DateParts parts;
            if (literal.kind != Token::Quoted || !readDateParts(text, parts))
                fail(literal.pos, QStringLiteral("%1 is not a date; [%2] is compared with dates written "
                                                 "'mm/dd/yyyy', optionally with a time such as '2:30 PM'")
                                      .arg(describe(literal), def.name));
            cmp.number = minuteKey(parts.date, parts.hour, parts.minute);
            return;
        }
        case PropType::Integer: {
            bool ok = false;
            cmp.number = text.trimmed().toLongLong(&ok, 10);
            if (!ok)
                fail(literal.pos,
                     QStringLiteral("%1 is not a whole number; [%2] holds whole numbers such as 2")
                         .arg(describe(literal), def.name));
            return;
        }
        case PropType::Boolean: {
            if (cmp.op != Op::Eq && cmp.op != Op::Ne)
                fail(literal.pos,
                     QStringLiteral("[%1] is Yes or No and can only be compared with = or <>").arg(def.name));
            const QString word = text.trimmed();
            const auto is = [&](const char16_t* s) { return word.compare(s, Qt::CaseInsensitive) == 0; };
            if (is(u"yes") || is(u"true") || is(u"on") || is(u"-1") || is(u"1"))
                cmp.number = 1;
            else if (is(u"no") || is(u"false") || is(u"off") || is(u"0"))
                cmp.number = 0;
            else
                fail(literal.pos, QStringLiteral("%1 is not Yes or No; [%2] is compared with 'Yes' or 'No'")
                                      .arg(describe(literal), def.name));
            return;
        }
        }
    }

    QStringView mText;
    Filter::Node& mNode;
    qsizetype mPos = 0;
    Token mToken;
};

} // namespace

Filter Filter::parse(const QString& text) {
    auto node = std::make_shared<Node>();
    Parser(text, *node).run();
    Filter filter;
    filter.mText = text;
    filter.mRoot = std::move(node);
    return filter;
}

// A default-constructed filter restricts nothing.
std::vector<int> Filter::properties() const {
    std::vector<int> ids;
    if (mRoot) {
        for (const Node::Comparison& c : mRoot->comparisons) {
            if (std::find(ids.begin(), ids.end(), c.prop) == ids.end())
                ids.push_back(c.prop);
        }
    }
    return ids;
}

bool Filter::matches(const FilterSource& item) const {
    return !mRoot || mRoot->eval(mRoot->root, item);
}

QString filterDate(const QDate& date) {
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

QString quoteLiteral(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out.append(u'\'');
    for (QChar c : text) {
        out.append(c);
        if (c == u'\'')
            out.append(u'\'');
    }
    out.append(u'\'');
    return out;
}

QDateTime parseFilterDate(QStringView text) {
    DateParts parts;
    if (!readDateParts(text, parts))
        return {};
    return QDateTime(parts.date, QTime(parts.hour, parts.minute, parts.second));
}

} // namespace ol
