#pragma once

#include "Properties.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace ol {

// What a filter reads of one item. Values are typed as their property (QString for text and
// keywords, QDateTime for dates, int, bool); an invalid QVariant is a property the item does
// not hold. folded() is the property's text in foldKey() form; stores cache it per item.
class FilterSource {
public:
    virtual ~FilterSource() = default;
    virtual QVariant value(int propId) const = 0;
    virtual QString folded(int propId) const = 0;
    // A date property as local wall-clock minutes since the Julian epoch, or nullopt when the item
    // holds no valid date; stores cache it per item. By default worked out from value().
    virtual std::optional<qint64> minutes(int propId) const;
};

// A parsed restriction. parse() throws Error(kErrFilter) with a readable message for a syntax
// error, an unknown property, an unterminated literal or a literal that does not fit the type of
// the property it is compared with. A parsed filter is immutable and can be shared.
class Filter {
public:
    static Filter parse(const QString& text);

    bool matches(const FilterSource& item) const;
    const QString& text() const { return mText; }
    // The ids of the properties the filter compares, each once, in the order written.
    std::vector<int> properties() const;

    struct Node;

private:
    QString mText;
    std::shared_ptr<const Node> mRoot;
};

// Quotes a text as a filter literal: wrapped in apostrophes, every apostrophe doubled.
// quoteLiteral("O'Brien") == "'O''Brien'".
QString quoteLiteral(const QString& text);
// A date as filters write it: "mm/dd/yyyy" (filterDate(QDate(2024, 6, 5)) == "06/05/2024").
QString filterDate(const QDate& date);

// Reads a date the way filters and the store tool write them: "mm/dd/yyyy", optionally followed
// by a time "hh:mm", "hh:mm:ss", either with " AM"/" PM". Returns an invalid QDateTime otherwise.
QDateTime parseFilterDate(QStringView text);

} // namespace ol
