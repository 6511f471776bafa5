// The exchange file at scale: the export of 10,000 demo contacts and 2,000 appointments (200 of
// them recurring), and the import of that file into a store that holds an earlier import of it.
#include "BenchData.h"
#include "BenchMain.h"
#include "core/SettingsModel.h"
#include "exchange/ExchangeEngine.h"
#include "outlook/Outlook.h"
#include "storetool/DemoData.h"
#include "storetool/ToolSession.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A store with the window's members on it (as qel-store makes them) and the engine.
struct Store {
    qel::ToolSettings settings;
    qel::StoreObjects f;
    std::unique_ptr<qel::ExchangeEngine> engine;

    explicit Store(const QString& dir) {
        const ol::ApplicationPtr app = ol::Application::create(dir);
        app->setClock([] { return QDateTime(QDate(2025, 6, 15), QTime(9, 0)); });
        settings.contactPath = QStringLiteral("Personal Folders\\Contacts");
        settings.settings->syncData = {true, true, false, false};
        f = qel::toolFolders(app, settings, true);
        engine = std::make_unique<qel::ExchangeEngine>(f.storeMembers(), *settings.settings);
    }
};

struct Fixture {
    QTemporaryDir tmp;
    std::unique_ptr<Store> source;
    std::unique_ptr<Store> target;
    QString file;

    Fixture() {
        source = std::make_unique<Store>(tmp.filePath(QStringLiteral("source")));
        qel::generateDemoContacts(source->f.gOlContactFolder, 10000, 42);
        bench::addAppointments(source->f.gOlCalendarFolder, 2000, QDate(2025, 6, 16));
        file = tmp.filePath(QStringLiteral("bench.mdb"));
        target = std::make_unique<Store>(tmp.filePath(QStringLiteral("target")));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_Export10000Contacts2000Appointments(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const qel::ExchangeOutcome o = f.source->engine->ExportToExchangeFile(f.file, {false, true});
        if (!o.ok() || o.contacts != 10000 || o.appointments != 2000)
            state.SkipWithError("the export did not write 10,000 contacts and 2,000 appointments");
    }
}

void BM_ImportOverEarlierImport(benchmark::State& state) {
    Fixture& f = fixture();
    if (!QFile::exists(f.file))
        f.source->engine->ExportToExchangeFile(f.file, {false, true});
    f.target->engine->ImportFromExchangeFile(f.file, {false, true}); // the earlier import
    for (auto _ : state) {
        const qel::ExchangeOutcome o = f.target->engine->ImportFromExchangeFile(f.file, {false, true});
        if (!o.ok() || o.contacts != 10000 || o.appointments != 2000)
            state.SkipWithError("the import did not create 10,000 contacts and 2,000 appointments");
    }
    if (f.target->f.gOlContactFolder->Items()->Count() != 10000)
        state.SkipWithError("the import left more than one copy");
}

BENCHMARK(BM_Export10000Contacts2000Appointments)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportOverEarlierImport)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
