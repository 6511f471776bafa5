#include "CommandLine.h"

namespace qel {

namespace {

// An empty search text still opens the pane: it is kept apart from no search (a null text).
QString searchText(const QString& text) {
    return text.isNull() ? QString(QLatin1String("")) : text;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (options && arg == QLatin1String("--")) {
            options = false;
        } else if (options && arg == QLatin1String("--dir")) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
                line.error = QStringLiteral("--dir needs a folder");
                return line;
            }
            line.storeDir = arguments.at(++i);
        } else if (options && arg.startsWith(QLatin1String("--dir="))) {
            line.storeDir = arg.mid(6);
            if (line.storeDir.isEmpty()) {
                line.error = QStringLiteral("--dir needs a folder");
                return line;
            }
        } else if (options && arg == QLatin1String("--search")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--search needs a text");
                return line;
            }
            line.search = searchText(arguments.at(++i));
        } else if (options && arg.startsWith(QLatin1String("--search="))) {
            line.search = searchText(arg.mid(9));
        } else if (options && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            line.help = true;
        } else if (options && arg == QLatin1String("--version")) {
            line.version = true;
        } else if (options && arg == QLatin1String("--quit-when-shown")) {
            line.quitWhenShown = true;
        } else if (options && arg == QLatin1String("--sync")) {
            line.sync = true;
        } else if (options && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            line.error = QStringLiteral("unknown option %1 (a name that begins with \"-\" goes after \"--\")")
                             .arg(arg);
            return line;
        } else {
            line.words.append(arg);
        }
    }
    return line;
}

QString commandLineUsage() {
    return QStringLiteral(
        "Usage: QEL [--dir STOREFOLDER] [--search TEXT] [--] [m | DISPLAY NAME]\n"
        "       QEL [--dir STOREFOLDER] --sync\n"
        "\n"
        "  m                 start minimized (the autostart entry passes it)\n"
        "  DISPLAY NAME      open the contact with this display name, for example \"Mary Smith\"\n"
        "  --dir FOLDER      the folder of the contact stores (default: $QEL_STORE_DIR, else the\n"
        "                    per-user store folder)\n"
        "  --search TEXT     open the search pane with TEXT typed\n"
        "  --                end of the options, for a name that begins with \"-\"\n"
        "  --quit-when-shown print \"shown\" when the window is up and end (start-up timing)\n"
        "  --sync            sync once through the FTP server with the preferences' settings, without\n"
        "                    a window; prints the final status; exit 0 when synced or not needed\n"
        "  --help, --version\n"
        "\n"
        "While Vantrel runs, a new start hands its contact or search text to the running window\n"
        "and brings it up (without arguments: brings it up).\n");
}

bool wantsHeadlessSync(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QLatin1String arg(argv[i]);
        if (arg == QLatin1String("--"))
            return false;
        if (arg == QLatin1String("--sync"))
            return true;
    }
    return false;
}

int jumpLetterCode(const QString& displayName) {
    const QStringList parts = displayName.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() >= 2) {
        const QChar first = parts.at(1).at(0).toUpper();
        if (first >= QLatin1Char('A') && first <= QLatin1Char('Z'))
            return first.unicode() - 'A' + 1;
    }
    return 27;
}

} // namespace qel
