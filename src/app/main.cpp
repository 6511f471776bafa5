// QEL: the contact viewer. See the README's "Command line" for the arguments.

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/Vantrel.h"
#include "outlook/dialogs/WidgetStoreUi.h"
#include "platform/Platform.h"
#include "platform/Tray.h"
#include "platform/TrayIcons.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Help and version need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(qPrintable(qel::commandLineUsage()), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Vantrel %s\n", QEL_VERSION);
            return 0;
        }
    }

    if (qel::wantsHeadlessSync(argc, argv)) {
        // No display needed: a scheduled job on a computer without a desktop session.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("QEL"));
        const qel::CommandLine line = qel::parseCommandLine(QCoreApplication::arguments().mid(1));
        if (!line.error.isEmpty()) {
            std::fprintf(stderr, "QEL: %s\n", qPrintable(line.error));
            return 2;
        }
        return qel::runSyncCommand(line);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QEL"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel"));
    QApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));
    QApplication::setWindowIcon(qel::icons::programIcon());
    // The program ends when the main window unloads itself, not when its last window closes
    // (it hides in the tray, and a reload closes it for a moment).
    QApplication::setQuitOnLastWindowClosed(false);

    const qel::CommandLine line = qel::parseCommandLine(QApplication::arguments().mid(1));
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "QEL: %s\n\n%s", qPrintable(line.error), qPrintable(qel::commandLineUsage()));
        return 2;
    }

    qel::installProductionSeams();
    qel::installProductionTray();
    const auto storeUi = std::make_shared<ol::WidgetStoreUi>();

    qel::Program program(line);
    // The store keeps its own version text: later steps gate on it, and the program's is another.
    program.prepareStore = [storeUi](ol::Application& store) { store.setUi(storeUi); };
    QObject::connect(&program, &qel::Program::finished, &app, &QCoreApplication::quit);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &program, &qel::Program::shutDown);

    if (!program.start())
        return program.handedOver() ? 0 : 1; // the start-up ended the program (it has said why)

    if (line.quitWhenShown) {
        // Runs after the events the showing has queued (layout, expose, first paint).
        QTimer::singleShot(0, &program, [&program] {
            std::puts("shown");
            std::fflush(stdout);
            program.shutDown();
        });
    }
    return app.exec();
}
