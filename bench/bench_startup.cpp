// Start-up speed: from starting the QEL process to its main window shown (offscreen), on a store
// with 1,000 and 10,000 demo contacts. QEL runs with --quit-when-shown, which prints "shown" once
// the window is up; the time until that line arrives is the figure.
#include "outlook/Outlook.h"
#include "storetool/DemoData.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

// A settings folder, program folder, runtime folder and store of its own per store size.
struct Sandbox {
    QTemporaryDir root;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    explicit Sandbox(int contacts) {
        const auto dir = [this](const char* name) {
            const QString path = root.filePath(QLatin1String(name));
            QDir().mkpath(path);
            return path;
        };
        const QString runtime = dir("runtime");
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("HOME"), dir("home"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir("config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir("data"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), dir("cache"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QEL_HOME"), dir("program"));
        env.insert(QStringLiteral("QEL_STORE_DIR"), dir("stores"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        ol::ApplicationPtr app = ol::Application::create(root.filePath(QStringLiteral("stores")));
        qel::generateDemoContacts(
            app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts")), contacts, 42);
    }
};

Sandbox& sandbox(int contacts) {
    static std::map<int, std::unique_ptr<Sandbox>> made;
    auto& slot = made[contacts];
    if (!slot)
        slot = std::make_unique<Sandbox>(contacts);
    return *slot;
}

void BM_StartToWindowShown(benchmark::State& state) {
    Sandbox& box = sandbox(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(box.env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(QEL_EXECUTABLE), {QStringLiteral("--quit-when-shown")});
        QByteArray out;
        bool shown = false;
        while (!shown && process.waitForReadyRead(20000)) {
            out += process.readAllStandardOutput();
            shown = out.contains("shown");
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        process.waitForFinished(20000);
        if (!shown) {
            state.SkipWithError("QEL did not report its window");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_StartToWindowShown)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
