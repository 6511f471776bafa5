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
    const QString help = QStringLiteral("/resources/help");
    QStringList folders{programFolder() + help};
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath() + help;
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
