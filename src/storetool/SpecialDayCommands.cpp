#include "SpecialDayCommands.h"

#include "ToolSession.h"

#include "platform/ProgramFolder.h"
#include "specialdays/SpecialDayEngine.h"
#include "vcard/IcsExport.h"
#include "vcard/VcardFormat.h"

#include <stdexcept>

namespace qel {

std::optional<int> runSpecialDayCommand(const QString& command, const QStringList& args,
                                        const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err) {
    const bool rescan = command == QLatin1String("rescan");
    if (!rescan && command != QLatin1String("remove-qeldays"))
        return std::nullopt;
    bool future = false;
    QString settingsPath;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--settings") && i + 1 < args.size())
            settingsPath = args[++i];
        else if (!rescan && args[i] == QLatin1String("--future"))
            future = true;
        else
            throw std::invalid_argument(QStringLiteral("unknown option %1").arg(args[i]).toStdString());
    }
    const ToolSettings toolSettings = loadToolSettings(settingsPath);
    const SettingsModel& settings = *toolSettings.settings;
    QuietSeams quiet(err);
    StoreObjects f = toolFolders(app, toolSettings, false);
    QObject marker;
    SpecialDayEngine engine(f.storeMembers(), settings, &marker);
    if (!rescan) {
        const int removed = engine.removeQELDays(future);
        out << (removed == 1 ? QStringLiteral("1 QEL Day was removed")
                             : QString::number(removed) + QStringLiteral(" QEL Days were removed"))
            << '\n';
        return 0;
    }
    engine.removeQELDays(settings.qelDayPast);
    engine.setMarker(kMarkerSkip); // bad lines are skipped and listed, as the sync does
    const RescanResult result = engine.rescanContacts({});
    if (settings.qelDayCalendarFile) { // the preference keeps QELDays.ics after each rescan
        const QString path = programFile(ical::kSpecialDaysFile);
        try {
            ical::exportCalendar(f.gOlCalendarFolder, path, true);
        } catch (const vcard::VcardError& e) {
            err << "qel-store: " << e.message() << '\n';
        }
    }
    if (result.contacts == 0) {
        out << "No QEL Days found\n";
        return 0;
    }
    out << "Re-Scan complete. " << result.added << " QEL Days added\n";
    for (const QString& line : engine.skipped())
        out << "Skipped: " << line << '\n';
    return result.stopped ? 1 : 0;
}

} // namespace qel
