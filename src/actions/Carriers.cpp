#include "Carriers.h"

#include "core/DebugLog.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace qel {

namespace {

const QString kShippedList = QStringLiteral(":/carriers.txt");

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

QList<Carrier> parseCarriers(const QString& text, QStringList* bad) {
    static const QRegularExpression kLine(QStringLiteral("^(.*\\S)\\s+(@[^@\\s]+\\.[^@\\s]+)$"));
    QList<Carrier> carriers;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch match = kLine.match(line);
        if (match.hasMatch())
            carriers.append({match.captured(1), match.captured(2)});
        else if (bad)
            bad->append(QStringLiteral("line %1: %2").arg(i + 1).arg(line));
    }
    return carriers;
}

QList<Carrier> mergeCarriers(QList<Carrier> base, const QList<Carrier>& extra) {
    for (const Carrier& carrier : extra) {
        auto same = std::find_if(base.begin(), base.end(), [&](const Carrier& known) {
            return known.name.compare(carrier.name, Qt::CaseInsensitive) == 0;
        });
        if (same != base.end())
            same->domain = carrier.domain;
        else
            base.append(carrier);
    }
    return base;
}

QList<Carrier> loadCarriers() {
    const QList<Carrier> shipped = parseCarriers(fileText(kShippedList));
    const QString userFile = programFile(kCarriersFile);
    if (!QFile::exists(userFile))
        return shipped;
    QStringList bad;
    const QList<Carrier> own = parseCarriers(fileText(userFile), &bad);
    for (const QString& line : bad)
        debug(QStringLiteral(":") + userFile +
              QStringLiteral(" is not a carrier (a name, then @ and its domain), ") + line);
    return mergeCarriers(shipped, own);
}

} // namespace qel
