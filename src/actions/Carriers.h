#pragma once

// The carriers of the text-message dialog: names and e-mail-to-SMS gateway domains. The list the
// program ships (resources/carriers.txt, built into the program) keeps its order, so a position
// means the same carrier in every version; a carriers.txt in the program folder changes the
// domain of a carrier of the same name and adds other carriers at the end.

#include <QList>
#include <QString>
#include <QStringList>

namespace qel {

struct Carrier {
    QString name;   // "Verizon"
    QString domain; // with its "@": "@vtext.com"
    bool operator==(const Carrier&) const = default;
};

// The name of the user's file in the program folder.
inline const QString kCarriersFile = QStringLiteral("carriers.txt");

// Reads a carrier list: a name, blanks, then a domain beginning with "@", one a line; blank lines
// and lines beginning with "#" are skipped. Lines of another form are skipped and told in `bad`
// ("line N: text").
QList<Carrier> parseCarriers(const QString& text, QStringList* bad = nullptr);
// `extra` merged into `base`: a carrier of the same name (letter case ignored) takes the new
// domain in its place, others are added at the end in their order.
QList<Carrier> mergeCarriers(QList<Carrier> base, const QList<Carrier>& extra);
// The shipped list extended by the program folder's file (its bad lines go to the debug log).
QList<Carrier> loadCarriers();

} // namespace qel
