#include "Manual.h"

#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace qel {

namespace {

QStringList& folderOverride() {
    static QStringList folders;
    return folders;
}

QStringList manualFolders() {
    if (!folderOverride().isEmpty())
        return folderOverride();
    // Where the program's other resources are (beside it, the installed share folder, the build
    // tree's), then the source tree's pages.
    QStringList folders;
    for (const QString& resources : resourceFolders())
        folders << resources + QStringLiteral("/help");
    if (!installedProgram())
        folders << QStringLiteral(QEL_HELP_SOURCE_DIR);
    return folders;
}

} // namespace

QString manualFile() {
    for (const QString& folder : manualFolders()) {
        const QFileInfo file(folder + QLatin1Char('/') + QLatin1String(kManualFileName));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

void setManualFolders(const QStringList& folders) {
    folderOverride() = folders;
}

} // namespace qel
