#include "SyncFiles.h"

#include "core/DebugLog.h"
#include "core/SettingsModel.h"
#include "platform/Ftp.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>

namespace qel {

namespace {

constexpr char kStateFile[] = "LastSync.state";
const QString kExportStarted = QStringLiteral("ExportStarted=");
const QString kExportedItems = QStringLiteral("ExportedItems=");
const QString kServerModified = QStringLiteral("ServerModified=");
const QString kServerSize = QStringLiteral("ServerSize=");

// Writes `bytes` aside and moves them over the program folder's file `name`.
QString replaceProgramFile(const QString& name, const QByteArray& bytes) {
    QSaveFile file(programFile(name));
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(bytes);
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace

QString computerIdentity(const FtpClient& client) {
    QString address = client.localAddress();
    address.remove(QLatin1Char('.'));
    address.remove(QLatin1Char(':')); // an IPv6 address
    return ComputerName() + address;
}

QString writeLastSync(const QString& line) {
    return replaceProgramFile(QLatin1String(kLastSyncFile), (line + QStringLiteral("\r\n")).toUtf8());
}

QString readLastSync() {
    const QString path = programFile(QLatin1String(kLastSyncFile));
    if (!QFile::exists(path))
        writeLastSync(QLatin1String(kFirstSync));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readLine()).trimmed();
}

QString generalDate(const QDateTime& value) {
    return QLocale::c().toString(value, QStringLiteral("MM/dd/yyyy hh:mm:ss AP"));
}

QDateTime parseGeneralDate(const QString& text) {
    static const char* const formats[] = {"MM/dd/yyyy hh:mm:ss AP",
                                          "M/d/yyyy h:mm:ss AP",
                                          "MM/dd/yyyy hh:mm AP",
                                          "M/d/yyyy h:mm AP",
                                          "MM/dd/yyyy HH:mm:ss",
                                          "M/d/yyyy H:mm:ss",
                                          "MM/dd/yyyy HH:mm",
                                          "M/d/yyyy H:mm",
                                          "MM/dd/yyyy",
                                          "M/d/yyyy"};
    const QString trimmed = text.trimmed();
    for (const char* format : formats) {
        const QDateTime value = QLocale::c().toDateTime(trimmed, QLatin1String(format));
        if (value.isValid())
            return value;
    }
    return QDateTime();
}

SyncState SyncState::read() {
    SyncState state;
    QFile file(programFile(QLatin1String(kStateFile)));
    if (!file.open(QIODevice::ReadOnly))
        return state;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(kExportStarted))
            state.exportStarted = QDateTime::fromString(line.mid(kExportStarted.size()), Qt::ISODateWithMs);
        else if (line.startsWith(kExportedItems))
            state.exportedItems = line.mid(kExportedItems.size()).toLongLong();
        else if (line.startsWith(kServerModified))
            state.serverModified = QDateTime::fromString(line.mid(kServerModified.size()), Qt::ISODate);
        else if (line.startsWith(kServerSize))
            state.serverSize = line.mid(kServerSize.size()).toLongLong();
    }
    return state;
}

QString SyncState::write() const {
    QString text;
    if (exportStarted.isValid())
        text += kExportStarted + exportStarted.toString(Qt::ISODateWithMs) + QLatin1Char('\n');
    if (exportedItems >= 0)
        text += kExportedItems + QString::number(exportedItems) + QLatin1Char('\n');
    if (serverModified.isValid())
        text += kServerModified + serverModified.toUTC().toString(Qt::ISODate) + QLatin1Char('\n') +
                kServerSize + QString::number(serverSize) + QLatin1Char('\n');
    return replaceProgramFile(QLatin1String(kStateFile), text.toUtf8());
}

void SyncState::forget() {
    QFile::remove(programFile(QLatin1String(kStateFile)));
}

QString effectiveSyncTime(const SettingsModel& settings) {
    const QStringList times = syncTimeList();
    if (settings.advancedTimeSelection >= 0 && settings.advancedTimeSelection < times.size())
        return times.at(settings.advancedTimeSelection);
    return settings.syncTime;
}

} // namespace qel
