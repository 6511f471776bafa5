#include "SyncFiles.h"

#include "core/DebugLog.h"
#include "platform/Ftp.h"
#include "platform/ProgramFolder.h"

#include <QSaveFile>

namespace qel {

QString computerIdentity(const FtpClient& client) {
    QString address = client.localAddress();
    address.remove(QLatin1Char('.'));
    address.remove(QLatin1Char(':')); // an IPv6 address
    return ComputerName() + address;
}

QString writeLastSync(const QString& line) {
    QSaveFile file(programFile(QLatin1String(kLastSyncFile)));
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write((line + QStringLiteral("\r\n")).toUtf8());
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace qel
