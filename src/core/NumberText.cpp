#include "NumberText.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace qel {

std::optional<double> numberValue(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?$"));
    const QString trimmed = text.trimmed();
    if (!pattern.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (ok)
        return value;
    // The pattern matched, so the only failure left is a value out of a double's range: far too
    // large (an infinity, which range checks refuse) or too close to zero (zero).
    if (trimmed.contains(QStringLiteral("e-"), Qt::CaseInsensitive))
        return 0.0;
    return trimmed.startsWith(QLatin1Char('-')) ? -HUGE_VAL : HUGE_VAL;
}

std::optional<double> wholeNumberValue(const QString& text) {
    const auto value = numberValue(text);
    if (!value || (std::isfinite(*value) && std::floor(*value) != *value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

} // namespace qel
