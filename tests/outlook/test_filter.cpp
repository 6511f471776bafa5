#include "outlook/Collation.h"
#include "outlook/Error.h"
#include "outlook/Filter.h"
#include "support/TestEnvironment.h"

#include <QDateTime>
#include <QHash>

using namespace ol;

namespace {

// An item as the filter sees it: typed values by property id, folded text computed on demand.
class FakeItem : public FilterSource {
public:
    FakeItem& set(int id, const QVariant& value) {
        mValues.insert(id, value);
        return *this;
    }
    QVariant value(int propId) const override { return mValues.value(propId); }
    QString folded(int propId) const override { return foldKey(mValues.value(propId).toString()); }

private:
    QHash<int, QVariant> mValues;
};

FakeItem text(int id, const QString& value) {
    return FakeItem().set(id, value);
}

bool matches(const QString& filter, const FilterSource& item) {
    return Filter::parse(filter).matches(item);
}

// Parses and returns the error the filter is rejected with; fails the test when it is accepted.
Error rejection(const QString& filter) {
    try {
        Filter::parse(filter);
    } catch (const Error& e) {
        return e;
    }
    return Error(0, QStringLiteral("accepted"));
}

const QString kContactBounds =
    QStringLiteral("[MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu'");

} // namespace

class TestFilter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void collationFoldsCaseAndAccents();
    void collationOrdersByCodePoint();

    void rejectsBadFilters_data();
    void rejectsBadFilters();
    void garbageNeverCrashes();
    void deepNestingIsRefusedNotOverflowed();
    void grammarAcceptsItsForms();

    void textComparisons();
    void letterBounds();
    void contactClassBounds();
    void keywords();
    void dates();
    void missingDates();
    void integersAndBooleans();
    void precedenceAndNegation();
    void quoteLiteralRoundTrips();
    void parseFilterDateForms_data();
    void parseFilterDateForms();
};

void TestFilter::collationFoldsCaseAndAccents() {
    QCOMPARE(foldKey(u"McDonald"), QStringLiteral("mcdonald"));
    QCOMPARE(foldKey(u"Éclair"), QStringLiteral("eclair"));
    QCOMPARE(foldKey(u"Ångström"), QStringLiteral("angstrom"));
    QCOMPARE(foldKey(u"Straße"), QStringLiteral("strasse"));
    QCOMPARE(foldKey(u"STRAẞE"), QStringLiteral("strasse"));
    QCOMPARE(foldKey(u"Ærø Œuvre"), QStringLiteral("aero oeuvre"));
    QCOMPARE(foldKey(u"Łódź Đorđe Þór"), QStringLiteral("lodz dorde thor"));
    // Decomposed input folds like precomposed input.
    QCOMPARE(foldKey(QStringLiteral("E\u0301cole")), foldKey(u"École"));
    // Letters of other scripts fold their case but keep what spells them.
    QCOMPARE(foldKey(u"ΣΟΦΊΑ"), QStringLiteral("σοφια"));
    QCOMPARE(foldKey(u"Москва"), foldKey(u"МОСКВА"));
    QCOMPARE(foldKey(u"नमस्ते"), QStringLiteral("नमस्ते"));
    // A key folds to itself; a character outside the basic plane survives.
    const QString emoji = QStringLiteral("Ann \U0001F600");
    QCOMPARE(foldKey(emoji), QStringLiteral("ann \U0001F600"));
    QCOMPARE(foldKey(foldKey(u"Zoë Ørsted-Ǖ")), foldKey(u"Zoë Ørsted-Ǖ"));
}

void TestFilter::collationOrdersByCodePoint() {
    QCOMPARE(compareText(u"adams", u"ADAMS"), 0);
    QCOMPARE(compareText(u"Éclair", u"eclair"), 0);
    QVERIFY(compareText(u"Éclair", u"F") < 0);
    QVERIFY(compareText(u"Éclair", u"E") > 0);
    QVERIFY(compareText(u"apple", u"Banana") < 0);
    QVERIFY(compareText(u"Banana", u"apple") > 0);
    QVERIFY(compareText(u"Ann", u"Anna") < 0);
    QVERIFY(compareText(u"", u"a") < 0);
    // Code point order, not UTF-16 order: U+1F600 lies above U+FF21.
    QVERIFY(compareText(QStringLiteral("\U0001F600"), QStringLiteral("\uFF41")) > 0);
    QVERIFY(compareText(QStringLiteral("\uFF41"), QStringLiteral("\U0001F600")) < 0);
}

void TestFilter::rejectsBadFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("empty") << QString() << "empty";
    QTest::newRow("blank") << "   \t "
                           << "empty";
    QTest::newRow("unknown property") << "[NoSuchField] = 'x'"
                                      << "NoSuchField";
    QTest::newRow("unterminated literal") << "[LastName] = 'Smith"
                                          << "closing";
    QTest::newRow("unterminated double literal") << "[LastName] = \"Smith"
                                                 << "closing";
    QTest::newRow("unterminated bracket") << "[LastName = 'Smith'"
                                          << "]";
    QTest::newRow("missing operator") << "[LastName] 'Smith'"
                                      << "operator";
    QTest::newRow("missing literal") << "[LastName] ="
                                     << "literal";
    QTest::newRow("property as literal") << "[LastName] = [FirstName]"
                                         << "literal";
    QTest::newRow("trailing garbage") << "[LastName] = 'Smith' 'Jones'"
                                      << "Jones";
    QTest::newRow("trailing paren") << "[LastName] = 'Smith')"
                                    << "position 21";
    QTest::newRow("dangling AND") << "[LastName] = 'Smith' AND"
                                  << "end of the filter";
    QTest::newRow("leading OR") << "OR [LastName] = 'Smith'"
                                << "OR";
    QTest::newRow("unclosed paren") << "([LastName] = 'Smith'"
                                    << "')'";
    QTest::newRow("empty parens") << "()"
                                  << "condition";
    QTest::newRow("bare word") << "LastName = 'Smith'"
                               << "LastName";
    QTest::newRow("stray character") << "[LastName] = 'a' & [FirstName] = 'b'"
                                     << "'&'";
    QTest::newRow("double equals") << "[LastName] == 'a'"
                                   << "literal";
    QTest::newRow("date garbage") << "[Start] = 'abc'"
                                  << "not a date";
    QTest::newRow("date out of range") << "[Start] = '02/30/2026'"
                                       << "not a date";
    QTest::newRow("date bad hour") << "[Start] = '03/15/2026 13:00 PM'"
                                   << "not a date";
    QTest::newRow("date as number") << "[Start] >= 2026"
                                    << "not a date";
    QTest::newRow("integer garbage") << "[Importance] = 'x'"
                                     << "whole number";
    QTest::newRow("integer empty") << "[Importance] = ''"
                                   << "whole number";
    QTest::newRow("integer overflow") << "[Importance] = 99999999999999999999"
                                      << "whole number";
    QTest::newRow("boolean garbage") << "[Recurring] = 'maybe'"
                                     << "Yes or No";
    QTest::newRow("boolean ordering") << "[AllDayEvent] > 'No'"
                                      << "= or <>";
}

void TestFilter::rejectsBadFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, mentions);
    const Error e = rejection(filter);
    QCOMPARE(e.number(), qint64(kErrFilter));
    QVERIFY2(e.message().contains(mentions, Qt::CaseInsensitive), qPrintable(e.message()));
}

void TestFilter::garbageNeverCrashes() {
    const QStringList samples = {
        QStringLiteral("["),
        QStringLiteral("]"),
        QStringLiteral("'"),
        QStringLiteral("\""),
        QStringLiteral("[LastName] = '''"),
        QStringLiteral("[LastName] = ''''"), // a literal holding one apostrophe: valid
        QStringLiteral("NOT"),
        QStringLiteral("NOT NOT NOT"),
        QStringLiteral("((((("),
        QStringLiteral(")))))"),
        QStringLiteral("-"),
        QStringLiteral("[Start] = '99/99/9999 99:99 XM'"),
        QStringLiteral("[LastName] = 'a' AND AND [LastName] = 'b'"),
        QString(QChar(0xD800)) + QStringLiteral("[LastName]"),
        QStringLiteral("[LastName] = '") + QChar(0xDC00) + QStringLiteral("'"),
        QString(QChar(0)),
    };
    int accepted = 0;
    for (const QString& s : samples) {
        try {
            const Filter f = Filter::parse(s);
            f.matches(FakeItem());
            ++accepted;
        } catch (const Error& e) {
            QCOMPARE(e.number(), qint64(kErrFilter));
            QVERIFY(!e.message().isEmpty());
        }
    }
    QCOMPARE(accepted, 2); // the one-apostrophe literal and the lone low surrogate literal
}

void TestFilter::deepNestingIsRefusedNotOverflowed() {
    const QString cond = QStringLiteral("[LastName] = 'a'");
    const auto nested = [&](int depth) {
        return QString(depth, QLatin1Char('(')) + cond + QString(depth, QLatin1Char(')'));
    };
    QVERIFY(matches(nested(200), text(prop::LastName, QStringLiteral("A"))));
    QCOMPARE(rejection(nested(201)).number(), qint64(kErrFilter));
    QVERIFY(rejection(nested(100000)).message().contains(QStringLiteral("nested")));
    QCOMPARE(rejection(QString(100000, QLatin1Char('('))).number(), qint64(kErrFilter));

    // Long flat chains and long NOT runs need no depth at all.
    QStringList parts(20000, cond);
    QVERIFY(matches(parts.join(QStringLiteral(" AND ")), text(prop::LastName, QStringLiteral("a"))));
    QVERIFY(!matches(parts.join(QStringLiteral(" OR ")), text(prop::LastName, QStringLiteral("b"))));
    QString nots;
    for (int i = 0; i < 100001; ++i)
        nots += QStringLiteral("NOT ");
    QVERIFY(matches(nots + cond, text(prop::LastName, QStringLiteral("b"))));
}

void TestFilter::grammarAcceptsItsForms() {
    const FakeItem item = FakeItem()
                              .set(prop::LastName, QStringLiteral("O'Brien"))
                              .set(prop::FirstName, QStringLiteral("Say \"hi\""))
                              .set(prop::Importance, 2);
    // Keywords and names in any letter case, no blanks or many blanks between tokens.
    QVERIFY(matches(QStringLiteral("[lastname]='O''Brien'and[IMPORTANCE]=2"), item));
    QVERIFY(matches(QStringLiteral("  [ LastName ]\t=\n'o''brien'   aNd   [Importance]   >=   '2'  "), item));
    QVERIFY(matches(QStringLiteral("[FirstName] = \"say \"\"HI\"\"\""), item));
    QVERIFY(matches(QStringLiteral("[Importance] = +2 AND [Importance] > -1"), item));
    QVERIFY(matches(QStringLiteral("not not [Importance] = ' 2 '"), item));
    // A number compared with a text property is its digits.
    QVERIFY(matches(QStringLiteral("[User1] = 007"), text(prop::User1, QStringLiteral("007"))));
    QCOMPARE(Filter::parse(QStringLiteral("[Importance] = 2")).text(), QStringLiteral("[Importance] = 2"));
}

void TestFilter::textComparisons() {
    const FakeItem adams = text(prop::LastName, QStringLiteral("adams"));
    QVERIFY(matches(QStringLiteral("[LastName] >= 'A' AND [LastName] < 'B'"), adams));
    QVERIFY(matches(QStringLiteral("[LastName] = 'ADAMS'"), adams));
    QVERIFY(!matches(QStringLiteral("[LastName] <> 'Adams'"), adams));
    QVERIFY(!matches(QStringLiteral("[LastName] = 'Adam'"), adams));
    QVERIFY(matches(QStringLiteral("[LastName] > 'Adam'"), adams));
    QVERIFY(matches(QStringLiteral("[LastName] <= 'adams' AND [LastName] >= 'ADAMS'"), adams));

    const FakeItem eclair = text(prop::Subject, QStringLiteral("Éclair"));
    QVERIFY(matches(QStringLiteral("[Subject] >= 'E' AND [Subject] < 'F'"), eclair));
    QVERIFY(matches(QStringLiteral("[Subject] = 'eclair'"), eclair));
    QVERIFY(matches(QStringLiteral("[Subject] >= 'ecl'"), eclair));
    QVERIFY(matches(QStringLiteral("[Subject] = 'ÉCLAIR'"), text(prop::Subject, QStringLiteral("éclair"))));
    QVERIFY(
        matches(QStringLiteral("[LastName] = 'Strasse'"), text(prop::LastName, QStringLiteral("Straße"))));

    // '' is the empty text, and a property the item lacks is empty.
    const FakeItem blank;
    QVERIFY(matches(QStringLiteral("[User2] = ''"), blank));
    QVERIFY(!matches(QStringLiteral("[User2] > ''"), blank));
    QVERIFY(matches(QStringLiteral("[User2] > ''"), text(prop::User2, QStringLiteral("x"))));
    QVERIFY(!matches(QStringLiteral("[User2] = ''"), text(prop::User2, QStringLiteral("x"))));
    QVERIFY(matches(QStringLiteral("[User2] = ''"), text(prop::User2, QString())));

    // Folded text compares by code point: a character outside the basic plane sorts last.
    const FakeItem emoji = text(prop::Subject, QStringLiteral("\U0001F600"));
    QVERIFY(matches(QStringLiteral("[Subject] > '\uFF41'"), emoji));
    QVERIFY(!matches(QStringLiteral("[Subject] < '\uFF41'"), emoji));

    // Doubled apostrophes are one apostrophe.
    const FakeItem obrien = text(prop::LastName, QStringLiteral("O'Brien"));
    QVERIFY(matches(QStringLiteral("[LastName] = 'O''Brien'"), obrien));
    QVERIFY(!matches(QStringLiteral("[LastName] = 'OBrien'"), obrien));
}

void TestFilter::letterBounds() {
    const QString letterZ = QStringLiteral("[LastName] >= 'Z' And [LastName] < 'ZZZZ'");
    const QString misc = QStringLiteral("[LastName] > 'ZZZZ' OR [LastName] < 'A'");
    const auto under = [](const QString& filter, const QString& name) {
        return matches(filter, text(prop::LastName, name));
    };
    QVERIFY(under(letterZ, QStringLiteral("ZZYZX")));
    QVERIFY(!under(misc, QStringLiteral("ZZYZX")));
    QVERIFY(under(letterZ, QStringLiteral("zimmer")));
    QVERIFY(!under(letterZ, QStringLiteral("ZZZZ")));
    QVERIFY(under(misc, QStringLiteral("ZZZZZ")));
    QVERIFY(!under(letterZ, QStringLiteral("ZZZZZ")));
    for (const QString& name : {QString(), QStringLiteral("1st"), QStringLiteral("'t Hooft")}) {
        QVERIFY2(under(misc, name), qPrintable(name));
        QVERIFY2(!under(QStringLiteral("[LastName] >= 'A' And [LastName] < 'B'"), name), qPrintable(name));
    }
    QVERIFY(under(QStringLiteral("[LastName] >= 'O' AND [LastName] < 'P'"), QStringLiteral("Öztürk")));
}

void TestFilter::contactClassBounds() {
    const Filter contacts = Filter::parse(kContactBounds);
    for (const char* cls : {"IPM.Contact", "IPM.Contact.MyForm", "ipm.contact"})
        QVERIFY2(contacts.matches(text(prop::MessageClass, QString::fromLatin1(cls))), cls);
    for (const char* cls : {"IPM.DistList", "IPM.Appointment", "IPM.Note", "IPM.Task", "IPM.StickyNote", ""})
        QVERIFY2(!contacts.matches(text(prop::MessageClass, QString::fromLatin1(cls))), cls);
}

void TestFilter::keywords() {
    const FakeItem golfer = text(prop::Categories, QStringLiteral("Work, Golf"));
    const FakeItem none;
    const FakeItem spaced = text(prop::Categories, QStringLiteral(" ,Café ,, "));

    QVERIFY(matches(QStringLiteral("[Categories] = 'Golf'"), golfer));
    QVERIFY(matches(QStringLiteral("[Categories] = 'work'"), golfer));
    QVERIFY(!matches(QStringLiteral("[Categories] = 'Wor'"), golfer));
    QVERIFY(!matches(QStringLiteral("[Categories] = 'Work, Golf'"), golfer));
    QVERIFY(matches(QStringLiteral("[Categories] = 'CAFE'"), spaced));
    QVERIFY(matches(QStringLiteral("[Categories] = ' Café '"), spaced));

    QVERIFY(matches(QStringLiteral("[Categories] = ''"), none));
    QVERIFY(!matches(QStringLiteral("[Categories] = ''"), golfer));
    QVERIFY(!matches(QStringLiteral("[Categories] = ''"), spaced));
    QVERIFY(matches(QStringLiteral("[Categories] = ''"), text(prop::Categories, QStringLiteral(" , "))));

    QVERIFY(matches(QStringLiteral("[Categories] <> ''"), golfer));
    QVERIFY(!matches(QStringLiteral("[Categories] <> ''"), none));
    QVERIFY(matches(QStringLiteral("[Categories] > ''"), golfer));
    QVERIFY(!matches(QStringLiteral("[Categories] > ''"), none));
    QVERIFY(!matches(QStringLiteral("[Categories] <> 'Golf'"), golfer));
    QVERIFY(matches(QStringLiteral("[Categories] <> 'Tennis'"), golfer));
    QVERIFY(matches(QStringLiteral("[Categories] <> 'Tennis'"), none));

    // Ordering holds when any one value satisfies it.
    QVERIFY(matches(QStringLiteral("[Categories] < 'H'"), golfer));  // Golf
    QVERIFY(matches(QStringLiteral("[Categories] >= 'W'"), golfer)); // Work
    QVERIFY(!matches(QStringLiteral("[Categories] > 'Work'"), golfer));
    QVERIFY(!matches(QStringLiteral("[Categories] < 'Golf'"), golfer));
    QVERIFY(matches(QStringLiteral("[Categories] <= 'Golf'"), golfer));
    QVERIFY(!matches(QStringLiteral("[Categories] < 'Z'"), none));

    QVERIFY(matches(kContactBounds + QStringLiteral(" AND [Categories] = 'Golf'"),
                    FakeItem()
                        .set(prop::MessageClass, QStringLiteral("IPM.Contact"))
                        .set(prop::Categories, QStringLiteral("Work, Golf"))));
}

void TestFilter::dates() {
    const FakeItem allDay = FakeItem()
                                .set(prop::Start, QDateTime(QDate(2026, 3, 15), QTime(0, 0)))
                                .set(prop::Categories, QStringLiteral("QELDay"));
    const FakeItem reminder = FakeItem()
                                  .set(prop::Start, QDateTime(QDate(2026, 3, 15), QTime(8, 0)))
                                  .set(prop::Categories, QStringLiteral("QELDay"));
    const QString day = QStringLiteral("[Start] = '03/15/2026 12:00 AM' AND [Categories] = 'QELDay'");
    QVERIFY(matches(day, allDay));
    QVERIFY(!matches(day, reminder));
    QVERIFY(matches(QStringLiteral("[Start] = '3/15/2026'"), allDay));
    QVERIFY(matches(QStringLiteral("[Start] = '03/15/2026 8:00 AM'"), reminder));
    QVERIFY(matches(QStringLiteral("[Start] = '03/15/2026 08:00'"), reminder));
    QVERIFY(!matches(QStringLiteral("[Start] = '03/15/2026 8:00 PM'"), reminder));

    // To the minute: seconds of the stored value and of the literal play no part.
    const FakeItem late = FakeItem().set(prop::Start, QDateTime(QDate(2026, 3, 15), QTime(14, 30, 59, 999)));
    QVERIFY(matches(QStringLiteral("[Start] = '03/15/2026 2:30 PM'"), late));
    QVERIFY(matches(QStringLiteral("[Start] = '03/15/2026 14:30:45'"), late));
    QVERIFY(!matches(QStringLiteral("[Start] > '03/15/2026 2:30 PM'"), late));
    QVERIFY(matches(QStringLiteral("[Start] < '03/15/2026 2:31 PM'"), late));
    QVERIFY(matches(QStringLiteral("[Start] > '03/15/2026 2:29 PM'"), late));
    QVERIFY(matches(QStringLiteral("[Start] > '03/15/2026'"), late));
    QVERIFY(!matches(QStringLiteral("[Start] >= '03/16/2026'"), late));
    QVERIFY(matches(QStringLiteral("[Start] > '12/31/2025 11:59 PM' and [Start] <= '03/15/2026 12:00 PM' "
                                   "OR [Recurring] = 'Yes'"),
                    allDay));

    // Noon is 12:00 PM, midnight 12:00 AM.
    const FakeItem noon = FakeItem().set(prop::Start, QDateTime(QDate(2026, 3, 15), QTime(12, 0)));
    QVERIFY(matches(QStringLiteral("[Start] = '03/15/2026 12:00 PM'"), noon));
    QVERIFY(!matches(QStringLiteral("[Start] = '03/15/2026 12:00 AM'"), noon));

    // A value held in UTC compares by the local wall clock it stands for.
    const QDateTime local(QDate(2026, 7, 1), QTime(9, 15));
    QVERIFY(matches(QStringLiteral("[Start] = '07/01/2026 9:15 AM'"),
                    FakeItem().set(prop::Start, local.toUTC())));
}

void TestFilter::missingDates() {
    const FakeItem none;
    const FakeItem dated = FakeItem().set(prop::Birthday, QDateTime(QDate(1980, 5, 1), QTime(0, 0)));
    QVERIFY(matches(QStringLiteral("[Birthday] = ''"), none));
    QVERIFY(!matches(QStringLiteral("[Birthday] <> ''"), none));
    for (const char* op : {"=", "<>", "<", "<=", ">", ">="}) {
        const QString f = QStringLiteral("[Birthday] %1 '01/01/2000'").arg(QLatin1String(op));
        QVERIFY2(!matches(f, none), qPrintable(f));
    }
    QVERIFY(!matches(QStringLiteral("[Birthday] = ''"), dated));
    QVERIFY(matches(QStringLiteral("[Birthday] <> ''"), dated));
    QVERIFY(matches(QStringLiteral("[Birthday] > ''"), dated));
    QVERIFY(!matches(QStringLiteral("[Birthday] < ''"), dated));
    QVERIFY(matches(QStringLiteral("NOT [Birthday] = '01/01/2000'"), none));
}

void TestFilter::integersAndBooleans() {
    const FakeItem high = FakeItem().set(prop::Importance, 2).set(prop::IsRecurring, true);
    const FakeItem blank;
    QVERIFY(matches(QStringLiteral("[Importance] = 2"), high));
    QVERIFY(matches(QStringLiteral("[Importance] = '2'"), high));
    QVERIFY(matches(QStringLiteral("[Importance] > 1"), high));
    QVERIFY(!matches(QStringLiteral("[Importance] > 10"), high)); // numbers, not text
    QVERIFY(matches(QStringLiteral("[Importance] = 0"), blank));
    QVERIFY(matches(QStringLiteral("[Importance] > -1"), blank));

    for (const char* yes : {"'Yes'", "'yes'", "'TRUE'", "'On'", "-1", "1", "'-1'"}) {
        const QString f = QStringLiteral("[Recurring] = %1").arg(QLatin1String(yes));
        QVERIFY2(matches(f, high), qPrintable(f));
        QVERIFY2(!matches(f, blank), qPrintable(f));
    }
    for (const char* no : {"'No'", "'false'", "'OFF'", "0"}) {
        const QString f = QStringLiteral("[IsRecurring] = %1").arg(QLatin1String(no));
        QVERIFY2(!matches(f, high), qPrintable(f));
        QVERIFY2(matches(f, blank), qPrintable(f));
    }
    QVERIFY(matches(QStringLiteral("[Recurring] <> 'No'"), high));
    QVERIFY(matches(QStringLiteral("[Recurring] = 'No'"), FakeItem().set(prop::IsRecurring, false)));
}

void TestFilter::precedenceAndNegation() {
    const auto item = [](bool a, bool b, bool c) {
        return FakeItem()
            .set(prop::User1, a ? QStringLiteral("x") : QString())
            .set(prop::User2, b ? QStringLiteral("x") : QString())
            .set(prop::User3, c ? QStringLiteral("x") : QString());
    };
    const QString a = QStringLiteral("[User1] = 'x'");
    const QString b = QStringLiteral("[User2] = 'x'");
    const QString c = QStringLiteral("[User3] = 'x'");
    const Filter andFirst = Filter::parse(a + " OR " + b + " AND " + c);
    const Filter andFirst2 = Filter::parse(a + " AND " + b + " or " + c);
    const Filter grouped = Filter::parse("(" + a + " OR " + b + ") AND " + c);
    const Filter notTight = Filter::parse("NOT " + a + " AND " + b);
    const Filter notGroup = Filter::parse("NOT (" + a + " AND " + b + ")");
    const Filter notOr = Filter::parse("not " + a + " Or not " + b);
    for (int bits = 0; bits < 8; ++bits) {
        const bool x = bits & 1, y = bits & 2, z = bits & 4;
        const FakeItem it = item(x, y, z);
        QCOMPARE(andFirst.matches(it), x || (y && z));
        QCOMPARE(andFirst2.matches(it), (x && y) || z);
        QCOMPARE(grouped.matches(it), (x || y) && z);
        QCOMPARE(notTight.matches(it), !x && y);
        QCOMPARE(notGroup.matches(it), !(x && y));
        QCOMPARE(notOr.matches(it), !x || !y);
    }
}

void TestFilter::quoteLiteralRoundTrips() {
    QCOMPARE(quoteLiteral(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
    QCOMPARE(quoteLiteral(QString()), QStringLiteral("''"));
    for (const QString& value : {QStringLiteral("O'Brien"), QStringLiteral("''"), QStringLiteral("'"),
                                 QStringLiteral("a ' AND [LastName] <> '"), QStringLiteral("\"quoted\"")}) {
        const Filter f = Filter::parse(QStringLiteral("[Categories] = ") + quoteLiteral(value) +
                                       QStringLiteral(" AND [LastName] = ") + quoteLiteral(value));
        const FakeItem same = FakeItem().set(prop::Categories, value).set(prop::LastName, value);
        QVERIFY2(f.matches(same), qPrintable(value));
        QVERIFY2(!f.matches(text(prop::LastName, value + QStringLiteral("x"))), qPrintable(value));
    }
}

void TestFilter::parseFilterDateForms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");
    const QDate d(2026, 3, 5);
    QTest::newRow("date") << "03/05/2026" << QDateTime(d, QTime(0, 0));
    QTest::newRow("short date") << "3/5/2026" << QDateTime(d, QTime(0, 0));
    QTest::newRow("24h") << "03/05/2026 17:45" << QDateTime(d, QTime(17, 45));
    QTest::newRow("seconds") << "03/05/2026 07:45:30" << QDateTime(d, QTime(7, 45, 30));
    QTest::newRow("pm") << "03/05/2026 5:45 PM" << QDateTime(d, QTime(17, 45));
    QTest::newRow("am seconds") << "03/05/2026 05:45:30 am" << QDateTime(d, QTime(5, 45, 30));
    QTest::newRow("midnight") << "03/05/2026 12:00 AM" << QDateTime(d, QTime(0, 0));
    QTest::newRow("noon") << "03/05/2026 12:00 PM" << QDateTime(d, QTime(12, 0));
    QTest::newRow("padded") << "  03/05/2026   5:45PM " << QDateTime(d, QTime(17, 45));
    QTest::newRow("leap day") << "02/29/2028" << QDateTime(QDate(2028, 2, 29), QTime(0, 0));
    for (const char* bad : {"", "2026-03-05", "03/05/26", "03/05/20261", "13/05/2026", "02/29/2026", "03/05",
                            "03/05/2026 5", "03/05/2026 5:7", "03/05/2026 0:30 AM", "03/05/2026 24:00",
                            "03/05/2026 5:60", "03/05/2026 5:30 XM", "03/05/2026x", "003/05/2026"})
        QTest::addRow("bad \"%s\"", bad) << QString::fromLatin1(bad) << QDateTime();
}

void TestFilter::parseFilterDateForms() {
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    QCOMPARE(parseFilterDate(text), expected);
}

QEL_TEST_MAIN(TestFilter)
#include "test_filter.moc"
