// Store speed at 1,000 / 10,000 / 50,000 demo contacts: opening cold, a letter tab with the
// category suffix, a type-ahead step, the newest change; and peak memory after a 50,000 load.
#include "BenchMain.h"
#include "outlook/Outlook.h"
#include "storetool/DemoData.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <map>
#include <sys/resource.h>

namespace {

const QString kSuffix =
    QStringLiteral(" AND [MessageClass] > 'IPM.Contacs' AND [MessageClass] < 'IPM.Contacu'");
const QString kPath = QStringLiteral("Personal Folders\\Contacts");

// One generated store per size, kept for the whole run.
QString storeWith(int count) {
    static QTemporaryDir root;
    static std::map<int, QString> made;
    if (auto it = made.find(count); it != made.end())
        return it->second;
    const QString dir = root.filePath(QString::number(count));
    ol::ApplicationPtr app = ol::Application::create(dir);
    qel::generateDemoContacts(app->GetNamespace()->folderByPath(kPath), count, 42);
    made[count] = dir;
    return dir;
}

struct Open {
    ol::ApplicationPtr app;
    ol::ItemsPtr contacts;
    explicit Open(int count) {
        app = ol::Application::create(storeWith(count));
        contacts = app->GetNamespace()->folderByPath(kPath)->Items();
    }
};

Open& opened(int count) {
    static std::map<int, std::unique_ptr<Open>> cache;
    auto& slot = cache[count];
    if (!slot)
        slot = std::make_unique<Open>(count);
    return *slot;
}

void BM_OpenCold(benchmark::State& state) {
    const QString dir = storeWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ol::ApplicationPtr app = ol::Application::create(dir);
        ol::ItemsPtr items = app->GetNamespace()->folderByPath(kPath)->Items();
        benchmark::DoNotOptimize(items->Count());
    }
}

void BM_LetterTab(benchmark::State& state) {
    Open& o = opened(static_cast<int>(state.range(0)));
    int listed = 0;
    for (auto _ : state) {
        ol::ItemsPtr letter =
            o.contacts->Restrict(QStringLiteral("[LastName] >= 'M' AND [LastName] < 'N'") + kSuffix);
        QStringList names;
        for (int i = 1, n = letter->Count(); i <= n; ++i)
            names << letter->subject(i);
        listed = static_cast<int>(names.size());
        benchmark::DoNotOptimize(names);
    }
    state.counters["listed"] = listed;
}

void BM_TypeAhead(benchmark::State& state) {
    Open& o = opened(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ol::ItemsPtr found = o.contacts->Restrict(QStringLiteral("[Subject] >= 'Mich'") + kSuffix);
        found->Sort(QStringLiteral("[Subject]"));
        benchmark::DoNotOptimize(found->Item(1)->Subject());
    }
}

void BM_NewestChange(benchmark::State& state) {
    Open& o = opened(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ol::ItemsPtr all = o.contacts->Restrict(kSuffix.mid(5));
        all->Sort(QStringLiteral("LastModificationTime"), true);
        benchmark::DoNotOptimize(all->Item(1)->Get(QStringLiteral("LastModificationTime")));
    }
}

BENCHMARK(BM_OpenCold)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LetterTab)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAhead)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewestChange)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int memoryRun(const char* dir) {
    // Peak memory of a program that opens an existing store's contact folder and lists a letter.
    ol::ApplicationPtr store = ol::Application::create(QString::fromLocal8Bit(dir));
    ol::ItemsPtr items = store->GetNamespace()->folderByPath(kPath)->Items();
    ol::ItemsPtr letter = items->Restrict(QStringLiteral("[LastName] >= 'M' AND [LastName] < 'N'") + kSuffix);
    std::printf("contacts: %d, listed under M: %d, peak resident memory: %.1f MiB\n", items->Count(),
                letter->Count(), static_cast<double>(peakKiB()) / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--memory") == 0)
        return memoryRun(argv[2]);
    return bench::runBenchmarks(argc, argv);
}
