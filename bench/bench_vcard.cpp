// vCards at scale: the export of 10,000 demo contacts to one .vcf file, the import of those
// cards into an empty folder, and their import again over it (every card updates its contact).
#include "BenchMain.h"
#include "outlook/Outlook.h"
#include "storetool/DemoData.h"
#include "vcard/VcardContacts.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

namespace vc = qel::vcard;

struct Fixture {
    QTemporaryDir tmp;
    ol::ApplicationPtr source;
    QString file;

    Fixture() {
        source = ol::Application::create(tmp.filePath(QStringLiteral("source")));
        qel::generateDemoContacts(folder(source), 10000, 42);
        file = tmp.filePath(QStringLiteral("contacts.vcf"));
    }
    static ol::FolderPtr folder(const ol::ApplicationPtr& app) {
        return app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_Export10000Contacts(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        if (vc::exportContacts(Fixture::folder(f.source), f.file, vc::Version::V3).contacts != 10000)
            state.SkipWithError("the export did not write 10,000 cards");
    }
}

// Reading the file and storing its cards in a fresh store's empty contact folder.
void BM_Import10000CardsNew(benchmark::State& state) {
    Fixture& f = fixture();
    vc::exportContacts(Fixture::folder(f.source), f.file, vc::Version::V3);
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const ol::ApplicationPtr target =
            ol::Application::create(f.tmp.filePath(QStringLiteral("new%1").arg(++run)));
        state.ResumeTiming();
        if (vc::importCards(Fixture::folder(target), vc::readCards(f.file)).created != 10000)
            state.SkipWithError("the import did not create 10,000 contacts");
    }
}

// The same cards again: every one matched by its UID and updated.
void BM_Import10000CardsOverThemselves(benchmark::State& state) {
    Fixture& f = fixture();
    vc::exportContacts(Fixture::folder(f.source), f.file, vc::Version::V3);
    for (auto _ : state) {
        if (vc::importCards(Fixture::folder(f.source), vc::readCards(f.file)).updated != 10000)
            state.SkipWithError("the import did not update 10,000 contacts");
    }
    if (Fixture::folder(f.source)->Items()->Count() != 10000)
        state.SkipWithError("the import doubled contacts");
}

BENCHMARK(BM_Export10000Contacts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Import10000CardsNew)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Import10000CardsOverThemselves)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
