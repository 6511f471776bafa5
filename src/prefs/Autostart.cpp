#include "Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace qel::autostart {

namespace {
const QString kEntryName = QStringLiteral("Vantrel.desktop");

// One argument of an Exec line: quoted when it holds a reserved character, with the characters
// that are special inside quotes escaped by a backslash.
QString quoteArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// A string value of a desktop entry: backslashes and line breaks escaped.
QString escapeValue(const QString& value) {
    QString escaped;
    for (QChar c : value) {
        if (c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            escaped += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            escaped += QStringLiteral("\\t");
        else
            escaped += c;
    }
    return escaped;
}
} // namespace

QString entryPath() {
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/") + kEntryName;
}

bool isEnabled() {
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        line.remove(QLatin1Char(' '));
        if (inMainGroup && line.compare(QStringLiteral("Hidden=true"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

QString execLine(const QString& program) {
    QString exec = quoteArgument(QDir::toNativeSeparators(program)) + QStringLiteral(" m");
    exec.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return escapeValue(exec);
}

bool enable(QString* error, const QString& program) {
    const QString target = program.isEmpty() ? QCoreApplication::applicationFilePath() : program;
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error =
                QStringLiteral("The folder %1 could not be created.").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QString content = QStringLiteral("[Desktop Entry]\n"
                                           "Type=Application\n"
                                           "Name=Vantrel\n"
                                           "Comment=A fast contact viewer\n"
                                           "Exec=") +
                            execLine(target) +
                            QStringLiteral("\n"
                                           "Terminal=false\n"
                                           "X-GNOME-Autostart-enabled=true\n");
    file.write(content.toUtf8());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool disable(QString* error) {
    QFile file(entryPath());
    if (!file.exists() || file.remove())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace qel::autostart
