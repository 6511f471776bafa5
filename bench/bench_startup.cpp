// Start-up speed as a user waits for it: from starting the QEL process until its main window is
// shown with the first card filled, on stores of 1,000, 10,000 and 50,000 demo contacts made by the
// build's qel-store ("qel-store --dir DIR demo 'Personal Folders\Contacts' N --seed 42").
//
// Every start is a first start: a settings folder of its own, so the folder scan, the letter list
// and the card all run as they do for a new user, and nothing a previous start saved helps it.
// QEL runs with --dir on the generated store and --quit-when-shown, which prints "shown" once the
// window is up and its queued events (layout, first paint) have run; the time until that line
// arrives is the figure. A start counts only when the run then saved the contact its card showed
// (the settings' Cache ContactName), so a window without the store's contacts cannot pass.
// The counter peak_MiB is the largest peak resident memory of the QEL processes run so far: the
// sizes run in ascending order, so it is that of the size on its line.
#include "BenchMain.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sys/resource.h>

namespace {

const QString kContacts = QStringLiteral("Personal Folders\\Contacts");

QTemporaryDir& root() {
    static QTemporaryDir dir;
    return dir;
}

// The store of that many demo contacts, made once per run by the build's qel-store.
QString storeWith(int contacts) {
    static std::map<int, QString> made;
    if (auto it = made.find(contacts); it != made.end())
        return it->second;
    const QString dir = root().filePath(QStringLiteral("store-%1").arg(contacts));
    QDir().mkpath(dir);
    QProcess tool;
    tool.start(QStringLiteral(QEL_STORE_EXECUTABLE),
               {QStringLiteral("--dir"), dir, QStringLiteral("demo"), kContacts, QString::number(contacts),
                QStringLiteral("--seed"), QStringLiteral("42")});
    if (!tool.waitForFinished(600000) || tool.exitCode() != 0)
        return QString();
    made[contacts] = dir;
    return dir;
}

// A fresh settings, program and runtime folder for one start.
struct FirstStart {
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    FirstStart() {
        const auto dir = [this](const char* name) {
            const QString path = home.filePath(QLatin1String(name));
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
        env.remove(QStringLiteral("QEL_STORE_DIR"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }

    // The contact whose card the run showed, as the run saved it on its way out.
    QString shownContact() const {
        QSettings saved(home.filePath(QStringLiteral("config/QEL/QEL.ini")), QSettings::IniFormat);
        return saved.value(QStringLiteral("Cache/ContactName")).toString();
    }
};

double peakChildMiB() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_StartToFirstCard(benchmark::State& state) {
    const QString store = storeWith(static_cast<int>(state.range(0)));
    if (store.isEmpty()) {
        state.SkipWithError("qel-store could not make the demo store");
        return;
    }
    for (auto _ : state) {
        const FirstStart start;
        QProcess process;
        process.setProcessEnvironment(start.env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(QEL_EXECUTABLE),
                      {QStringLiteral("--dir"), store, QStringLiteral("--quit-when-shown")});
        QByteArray out;
        bool shown = false;
        while (!shown && process.waitForReadyRead(60000)) {
            out += process.readAllStandardOutput();
            shown = out.contains("shown");
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        process.waitForFinished(60000);
        if (!shown || start.shownContact().isEmpty()) {
            state.SkipWithError(shown ? "QEL showed no contact's card" : "QEL did not report its window");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["peak_MiB"] = peakChildMiB();
}
BENCHMARK(BM_StartToFirstCard)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
