#include "VersionPage.h"

#include <QRegularExpression>

namespace qel {

QString ProgramVersion::text() const {
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

ProgramVersion runningVersion() {
    return {QEL_VERSION_MAJOR, QEL_VERSION_MINOR, QEL_VERSION_PATCH};
}

QString bodyText(const QByteArray& page) {
    const QString text = QString::fromUtf8(page);
    static const QRegularExpression body(QStringLiteral("<body\\b[^>]*>(.*)</body\\s*>"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = body.match(text);
    return match.hasMatch() ? match.captured(1) : text;
}

std::optional<VersionPage> readVersionPage(const QByteArray& page) {
    const QStringList fields = bodyText(page).split(QLatin1Char('_'));
    if (fields.size() < 4)
        return std::nullopt;
    VersionPage found;
    int* const numbers[] = {&found.version.major, &found.version.minor, &found.version.revision};
    QStringList written;
    for (int i = 1; i <= 3; ++i) {
        const QString field = fields[i].trimmed();
        bool ok = false;
        *numbers[i - 1] = field.toInt(&ok);
        if (!ok || *numbers[i - 1] < 0)
            return std::nullopt;
        written << field;
    }
    found.versionText = written.join(QLatin1Char('.'));
    if (fields.size() > 6) {
        static const QRegularExpression lineBreak(QStringLiteral("<br\\s*/?>"),
                                                  QRegularExpression::CaseInsensitiveOption);
        found.notes = QString(fields[6]).replace(lineBreak, QStringLiteral("\r\n")).trimmed();
    }
    return found;
}

} // namespace qel
