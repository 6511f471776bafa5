#pragma once

#include <QString>
#include <optional>

namespace qel {

// The value of a number typed into a text box: optional blanks around it, an optional sign,
// digits with at most one decimal point, an optional exponent ("+021", " 2.5 ", "1e3").
// std::nullopt when the text is not a number ("", "abc", "1.2.3", "0x10"). A number too large
// for a double comes back as an infinity, so range checks refuse it.
std::optional<double> numberValue(const QString& text);

// The value when it is a whole number, else std::nullopt ("021" -> 21, "2.0" -> 2, "2.5" -> none).
std::optional<double> wholeNumberValue(const QString& text);

// Rounds half to even, as the months of the filter editor are rounded (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

} // namespace qel
