#pragma once

#include <QString>

namespace qel {

// The light scrambling of the stored passwords: each character's code shifted by 10
// ("abc" <-> "klm"). Every password round-trips exactly, whatever characters it holds.
QString scramblePassword(const QString& plain);
QString unscramblePassword(const QString& stored);

} // namespace qel
