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

QString installedShareFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vantrel"));
}

} // namespace

bool installedProgram() {
    return QCoreApplication::instance() && QFileInfo(installedShareFolder()).isDir() &&
           !QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/resources")).isDir();
}

QStringList resourceFolders() {
    QStringList folders;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath() + QStringLiteral("/resources")
                << installedShareFolder();
    // A program run from the build tree (the tests, the tools) finds what the build made; an
    // installed program never looks into a build tree.
    if (!installedProgram())
        folders << QStringLiteral(QEL_RESOURCE_DIR);
    return folders;
}

QString programFolder() {
    if (!folderOverride().isEmpty())
        return ensureFolder(folderOverride());
    const QString home = qEnvironmentVariable("QEL_HOME");
    if (!home.isEmpty())
        return ensureFolder(home);
    if (QCoreApplication::instance()) {
        // An installed program's folder is no place for the user's files, even where it is
        // writable (an administrator's run, a package unpacked into a folder of one's own).
        const QString exeFolder = QCoreApplication::applicationDirPath();
        if (writableFolder(exeFolder) && !installedProgram())
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
