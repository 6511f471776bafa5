// The CardDAV sync through a real server on loopback (the tests' fixture, compiled in): the first
// sync of 5,000 realistic contacts to an empty address book, and a sync with nothing changed.
// QEL_BENCH_DAV_SERVER picks the server: "sabre" (SabreDAV on PHP's web server, SQLite storage, no
// sync-collection; the default) or "radicale" (filesystem storage, sync-collection).

#include "BenchMain.h"
#include "dav/CardDavSync.h"
#include "storetool/DemoData.h"
#include "support/DavServer.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// 5,000 unless QEL_BENCH_DAV_CONTACTS says otherwise (radicale's own cost per new card grows with
// the address book: see docs/benchmarks.md).
const int kContacts = qEnvironmentVariableIsSet("QEL_BENCH_DAV_CONTACTS")
                          ? qEnvironmentVariableIntValue("QEL_BENCH_DAV_CONTACTS")
                          : 5000;

const qeltest::DavServer::Kind kServer =
    qEnvironmentVariable("QEL_BENCH_DAV_SERVER") == QLatin1String("radicale")
        ? qeltest::DavServer::Kind::Radicale
        : qeltest::DavServer::Kind::Sabre;

ol::FolderPtr contactsOf(const ol::ApplicationPtr& app) {
    return app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
}

qel::dav::DavSyncSummary syncOnce(qeltest::DavServer& server, const QString& storeDir) {
    ol::ApplicationPtr app = ol::Application::create(storeDir);
    qel::dav::DavHttp http;
    http.setCredentials(server.user(), server.password());
    qel::dav::ContactSync sync(http, server.addressBook(), contactsOf(app));
    return sync.run();
}

QString storeWithContacts(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("store"));
    ol::ApplicationPtr app = ol::Application::create(path);
    qel::generateDemoContacts(contactsOf(app), kContacts, 42);
    return path;
}

void BM_FirstSyncToEmptyBook(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto server = std::make_unique<qeltest::DavServer>(kServer);
        if (!server->started()) {
            state.SkipWithError(qPrintable(server->why()));
            break;
        }
        QTemporaryDir dir;
        const QString store = storeWithContacts(dir);
        state.ResumeTiming();
        const auto summary = syncOnce(*server, store);
        state.PauseTiming();
        if (!summary.ok || summary.uploaded != kContacts)
            state.SkipWithError(qPrintable(QStringLiteral("sync failed: ") + summary.statusText()));
        server.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstSyncToEmptyBook)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_SyncNothingChanged(benchmark::State& state) {
    qeltest::DavServer server(kServer);
    if (!server.started()) {
        state.SkipWithError(qPrintable(server.why()));
        return;
    }
    QTemporaryDir dir;
    const QString store = storeWithContacts(dir);
    // Two syncs: the first uploads, the second notes every contact as seen in step.
    if (!syncOnce(server, store).ok || !syncOnce(server, store).ok) {
        state.SkipWithError("the first syncs failed");
        return;
    }
    for (auto _ : state) {
        const auto summary = syncOnce(server, store);
        if (!summary.ok || summary.uploaded + summary.updatedThere + summary.downloaded != 0)
            state.SkipWithError(qPrintable(QStringLiteral("not in step: ") + summary.statusText()));
    }
}
BENCHMARK(BM_SyncNothingChanged)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
