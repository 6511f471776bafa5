#pragma once

#include <QString>
#include <QStringView>

namespace ol {

// Dictionary order as a user expects it: letter case is ignored and accented letters sort with
// their base letter ("Éclair" beside "eclair", "ß" as "ss"). foldKey() returns the text in the
// form that compares by plain code points; compareText() compares two texts in that order.
QString foldKey(QStringView text);
int compareText(QStringView a, QStringView b);

} // namespace ol
