#include "DebugLog.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>

namespace qel {

namespace {

constexpr qint64 kDebugFileLimit = 2 * 1024 * 1024;
const QString kNoDebugFile = QStringLiteral(
    "There is no debug file. Turn on debugging mode in Preferences if you are having trouble.");

DebugCarrier*& carrier() {
    static DebugCarrier* current = nullptr;
    return current;
}

// Debug.txt is 8-bit text in Latin-1: a character outside Latin-1 (one code point, even when it
// takes two UTF-16 units) is written as '?'.
QByteArray toLogBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?');
    }
    return bytes;
}

// The locale's long time format without the time-zone name ("t"), which the short date and long
// time of a debug message leave out.
QString timeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.simplified();
}

bool writeToDebugFile(const QByteArray& bytes, QIODevice::OpenMode mode) {
    QFile file(debugFilePath());
    if (!file.open(mode) || file.write(bytes) != bytes.size()) {
        qWarning("Could not write to %s: %s", qPrintable(QDir::toNativeSeparators(file.fileName())),
                 qPrintable(file.errorString()));
        return false;
    }
    return true; // closed here, so the message is on disk before the program goes on
}

} // namespace

void setDebugCarrier(DebugCarrier* newCarrier) {
    carrier() = newCarrier;
}

DebugCarrier* debugCarrier() {
    return carrier();
}

bool debugOn() {
    return carrier() && carrier()->debugModeOn();
}

void LogDebug(const QString& window, const QString& text, bool withTime) {
    if (!debugOn())
        return;
    QString message = window + text;
    if (withTime)
        message += debugDateTime();
    message += QStringLiteral("\r\n");
    carrier()->setCarrierText(message);
}

void appendDebugText(const QString& text) {
    writeToDebugFile(toLogBytes(text + QStringLiteral("\r\n")), QIODevice::WriteOnly | QIODevice::Append);
}

void boundDebugFile() {
    const QFileInfo info(debugFilePath());
    if (!info.isFile() || info.size() < kDebugFileLimit)
        return;
    const QString line =
        QStringLiteral("Maximum file size reached (2 MB).") + debugDateTime() + QStringLiteral("\r\n");
    writeToDebugFile(toLogBytes(line + QStringLiteral("\r\n")), QIODevice::WriteOnly | QIODevice::Truncate);
}

QString debugDateTime() {
    const QDateTime now = clock().now();
    const QLocale locale;
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeFormatWithoutZone(locale));
}

QString ComputerName() {
    QString name = QSysInfo::machineHostName();
    const qsizetype nul = name.indexOf(QChar(0));
    if (nul >= 0)
        name.truncate(nul);
    return name.left(255);
}

QString debugFilePath() {
    return programFile(QStringLiteral("Debug.txt"));
}

bool openDebugFile() {
    const QString path = debugFilePath();
    if (!QFileInfo(path).isFile()) {
        dialogs().message(kNoDebugFile);
        return false;
    }
    if (shell().open(path))
        return true;
    dialogs().message(
        QStringLiteral("The debug file %1 could not be opened.").arg(QDir::toNativeSeparators(path)),
        QString(), MsgIcon::Exclamation);
    return false;
}

} // namespace qel
