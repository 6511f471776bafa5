#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qel {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

QString ensureFolder(const QString& folder) {
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    QDir().mkpath(path);
    return path;
}

bool writableFolder(const QString& folder) {
    const QFileInfo info(folder);
    return !folder.isEmpty() && info.isDir() && info.isWritable();
}

} // namespace

QString programFolder() {
    if (!folderOverride().isEmpty())
        return ensureFolder(folderOverride());
    const QString home = qEnvironmentVariable("QEL_HOME");
    if (!home.isEmpty())
        return ensureFolder(home);
    if (QCoreApplication::instance()) {
        const QString exeFolder = QCoreApplication::applicationDirPath();
        if (writableFolder(exeFolder))
            return exeFolder;
    }
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share/QEL");
    return ensureFolder(data);
}

QString programFile(const QString& name) {
    return programFolder() + QLatin1Char('/') + name;
}

void setProgramFolder(const QString& folder) {
    folderOverride() = folder;
}

} // namespace qel
