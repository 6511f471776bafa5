#include "ExchangeFileCommands.h"

#include "ToolSession.h"

#include "exchange/ExchangeEngine.h"

#include <stdexcept>

namespace qel {

std::optional<int> runExchangeFileCommand(const QString& command, const QStringList& args,
                                          const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err) {
    const bool exporting = command == QLatin1String("export");
    if (!exporting && command != QLatin1String("import"))
        return std::nullopt;
    QString file, settingsPath;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--settings") && i + 1 < args.size())
            settingsPath = args[++i];
        else if (file.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            file = args[i];
        else
            throw std::invalid_argument(QStringLiteral("unknown option %1").arg(args[i]).toStdString());
    }
    if (file.isEmpty())
        throw std::invalid_argument(QStringLiteral("%1 needs a FILE").arg(command).toStdString());
    const ToolSettings toolSettings = loadToolSettings(settingsPath);
    QuietSeams quiet(err);
    StoreObjects f = toolFolders(app, toolSettings, true);
    ExchangeEngine engine(f.storeMembers(), *toolSettings.settings);
    // A timed sync's mode: the engine shows no message; the outcome is told here.
    const ExchangeMode quietMode{false, true};
    const ExchangeOutcome outcome = exporting ? engine.ExportToExchangeFile(file, quietMode)
                                              : engine.ImportFromExchangeFile(file, quietMode);
    if (!outcome.ok()) {
        err << "qel-store: " << (outcome.failure.isEmpty() ? engine.lastStatus() : outcome.failure) << '\n';
        return 1;
    }
    out << exchangeSummary(exporting, outcome).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return 0;
}

} // namespace qel
