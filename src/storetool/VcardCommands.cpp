#include "VcardCommands.h"

#include "ToolSession.h"

#include "vcard/IcsExport.h"
#include "vcard/VcardContacts.h"

#include <stdexcept>

namespace qel {

namespace {

int exportIcs(const QStringList& args, const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err) {
    QString path, folderPath;
    bool specialDaysOnly = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder") && i + 1 < args.size())
            folderPath = args[++i];
        else if (args[i] == QLatin1String("--qeldays"))
            specialDaysOnly = true;
        else if (path.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            path = args[i];
        else
            throw std::invalid_argument(QStringLiteral("unknown option %1").arg(args[i]).toStdString());
    }
    if (path.isEmpty())
        throw std::invalid_argument("export-ics needs a PATH");
    ol::FolderPtr folder;
    if (folderPath.isEmpty()) {
        const ToolSettings settings = loadToolSettings(QString());
        folder = app->GetNamespace()
                     ->Folders()
                     ->Item(settings.settings->calendarFolder.root)
                     ->Folders()
                     ->Item(settings.settings->calendarFolder.folder);
    } else {
        folder = app->GetNamespace()->folderByPath(folderPath);
    }
    if (folder->DefaultItemType() != ol::olAppointmentItem) {
        err << "qel-store: " << folder->path() << " is not a calendar folder\n";
        return 1;
    }
    try {
        const ical::IcsSummary summary = ical::exportCalendar(folder, path, specialDaysOnly);
        out << QStringLiteral("Exported %1 appointment%2 to %3.\n")
                   .arg(summary.events)
                   .arg(summary.events == 1 ? QString() : QStringLiteral("s"), path);
    } catch (const vcard::VcardError& e) {
        err << "qel-store: " << e.message() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

std::optional<int> runVcardCommand(const QString& command, const QStringList& args,
                                   const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err) {
    if (command == QLatin1String("export-ics"))
        return exportIcs(args, app, out, err);
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
