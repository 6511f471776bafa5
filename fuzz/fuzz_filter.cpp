// Feeds arbitrary bytes to the restriction filter parser as UTF-8 filter text. Every rejection
// must be an ol::Error with the filter error number; every accepted filter is evaluated against
// a fixed item, and a few properties that must hold for any input are checked on the way.

#include "outlook/Collation.h"
#include "outlook/Error.h"
#include "outlook/Filter.h"

#include <QDateTime>
#include <QHash>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

class Item : public ol::FilterSource {
public:
    void set(int id, const QVariant& value) {
        mValues.insert(id, value);
        mFolded.insert(id, ol::foldKey(value.toString()));
    }
    QVariant value(int propId) const override { return mValues.value(propId); }
    QString folded(int propId) const override { return mFolded.value(propId); }

private:
    QHash<int, QVariant> mValues;
    QHash<int, QString> mFolded;
};

const Item& fixedItem() {
    static const Item item = [] {
        Item i;
        i.set(ol::prop::MessageClass, QStringLiteral("IPM.Contact"));
        i.set(ol::prop::LastName, QStringLiteral("Müller"));
        i.set(ol::prop::FirstName, QStringLiteral("Ann"));
        i.set(ol::prop::Subject, QStringLiteral("Ann Müller"));
        i.set(ol::prop::Categories, QStringLiteral("Work, Golf, Café"));
        i.set(ol::prop::Start, QDateTime(QDate(2026, 3, 15), QTime(14, 30, 12)));
        i.set(ol::prop::Importance, 2);
        i.set(ol::prop::IsRecurring, true);
        return i;
    }();
    return item;
}

[[noreturn]] void violated(const char* what, const QString& text) {
    std::fprintf(stderr, "invariant violated: %s\ninput: %s\n", what, text.toUtf8().constData());
    std::abort();
}

int sign(int v) {
    return (v > 0) - (v < 0);
}

void checkCollation(const QString& text) {
    const QString key = ol::foldKey(text);
    if (ol::foldKey(key) != key)
        violated("foldKey is not idempotent", text);
    const QStringView a = QStringView(text).left(text.size() / 2);
    const QStringView b = QStringView(text).mid(text.size() / 2);
    if (sign(ol::compareText(a, b)) != -sign(ol::compareText(b, a)))
        violated("compareText is not antisymmetric", text);
    if (ol::compareText(a, ol::foldKey(a)) != 0)
        violated("a text differs from its own key", text);
}

void checkQuoting(const QString& text) {
    Item item;
    item.set(ol::prop::LastName, text);
    const QString filter = QStringLiteral("[LastName] = ") + ol::quoteLiteral(text);
    try {
        if (!ol::Filter::parse(filter).matches(item))
            violated("a quoted literal does not match its own text", text);
    } catch (const ol::Error&) {
        violated("a quoted literal is rejected", text);
    }
}

void checkFilter(const QString& text) {
    bool matched = false;
    try {
        const ol::Filter filter = ol::Filter::parse(text);
        matched = filter.matches(fixedItem());
    } catch (const ol::Error& e) {
        if (e.number() != ol::kErrFilter || e.message().isEmpty())
            violated("a rejection without the filter error", text);
        return;
    }
    // The negation of an accepted filter is accepted (unless one more parenthesis is too deep)
    // and gives the opposite answer.
    try {
        const ol::Filter negated = ol::Filter::parse(QStringLiteral("NOT (") + text + QStringLiteral(")"));
        if (negated.matches(fixedItem()) == matched)
            violated("NOT (filter) matches like the filter", text);
    } catch (const ol::Error& e) {
        if (!e.message().contains(QStringLiteral("nested")))
            violated("the negation of an accepted filter is rejected", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    checkFilter(text);
    checkCollation(text);
    checkQuoting(text);
    (void)ol::parseFilterDate(text);
    return 0;
}
