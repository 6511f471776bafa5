#pragma once

#include "Seam.h"

#include <QDate>
#include <QDateTime>

namespace qel {

// Now and today. Tests install a clock they move by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

using ClockSeam = Seam<Clock>;
inline Clock& clock() {
    return ClockSeam::get();
}

} // namespace qel
