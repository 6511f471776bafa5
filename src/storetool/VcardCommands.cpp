#include "VcardCommands.h"

#include "ToolSession.h"

#include "vcard/VcardContacts.h"

#include <stdexcept>

namespace qel {

std::optional<int> runVcardCommand(const QString& command, const QStringList& args,
                                   const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err) {
    const bool exporting = command == QLatin1String("export-vcard");
    if (!exporting && command != QLatin1String("import-vcard"))
        return std::nullopt;
    QString path, folderPath;
    vcard::Version version = vcard::Version::V3;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder") && i + 1 < args.size()) {
            folderPath = args[++i];
        } else if (exporting && args[i] == QLatin1String("--version") && i + 1 < args.size()) {
            const QString v = args[++i];
            if (v == QLatin1String("4.0") || v == QLatin1String("4"))
                version = vcard::Version::V4;
            else if (v != QLatin1String("3.0") && v != QLatin1String("3"))
                throw std::invalid_argument(
                    QStringLiteral("--version takes 3.0 or 4.0, not \"%1\"").arg(v).toStdString());
        } else if (path.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            path = args[i];
        } else {
            throw std::invalid_argument(QStringLiteral("unknown option %1").arg(args[i]).toStdString());
        }
    }
    if (path.isEmpty())
        throw std::invalid_argument(QStringLiteral("%1 needs a PATH").arg(command).toStdString());
    if (folderPath.isEmpty())
        folderPath = loadToolSettings(QString()).contactPath;
    const ol::FolderPtr folder = app->GetNamespace()->folderByPath(folderPath);
    if (folder->DefaultItemType() != ol::olContactItem) {
        err << "qel-store: " << folderPath << " is not a contact folder\n";
        return 1;
    }
    try {
        if (exporting) {
            out << vcard::exportSummaryText(vcard::exportContacts(folder, path, version), path) << '\n';
        } else {
            const std::vector<vcard::Card> cards = vcard::readCards(path);
            out << vcard::importSummaryText(vcard::importCards(folder, cards), path) << '\n';
        }
    } catch (const vcard::VcardError& e) {
        err << "qel-store: " << e.message() << '\n';
        return 1;
    }
    return 0;
}

} // namespace qel
