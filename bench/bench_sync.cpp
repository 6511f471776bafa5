// The sync at scale on loopback: a master sync of 10,000 demo contacts and 2,000 appointments
// (export, upload under a temporary name, rename, lock taken and released) through a real FTP
// server (pyftpdlib on 127.0.0.1), and the slave sync that follows (download, check, import).
//
//   bench_sync                         the benchmark
//   bench_sync --prepare DIR PORT      writes DIR/master and DIR/slave (a store, a program folder
//                                      and the user's settings each) for a server on PORT, to time
//                                      QEL --sync from outside
#include "BenchData.h"
#include "BenchMain.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "platform/CurlFtp.h"
#include "platform/ProgramFolder.h"
#include "storetool/DemoData.h"
#include "storetool/ToolSession.h"
#include "support/FtpServer.h"
#include "sync/FtpSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const QString kUser = QStringLiteral("syncuser");
const QString kPassword = QStringLiteral("pa55:w@rd#1");

// 10,000 demo contacts and 2,000 appointments (200 recurring) in the store.
void fill(const ol::ApplicationPtr& app) {
    const ol::NameSpacePtr ns = app->GetNamespace();
    qel::generateDemoContacts(ns->folderByPath(QStringLiteral("Personal Folders\\Contacts")), 10000, 42);
    bench::addAppointments(ns->folderByPath(QStringLiteral("Personal Folders\\Calendar")), 2000,
                           QDate::currentDate().addDays(1));
}

void configure(qel::SettingsModel& s, int port, bool master) {
    s.sync = true;
    s.master = master;
    s.host = QStringLiteral("127.0.0.1");
    s.port = QString::number(port);
    s.user = kUser;
    s.password = kPassword;
    s.passiveMode = true;
    s.syncData = {true, true, false, false};
}

// One computer: its store, program folder and sync.
struct Computer {
    QString home;
    qel::ToolSettings settings;
    qel::StoreObjects f;
    QObject menuSync, syncTimer, menuTools, menuTraySync;
    std::unique_ptr<qel::FtpSync> sync;

    Computer(const QString& dir, int port, bool master, bool withData)
        : home(dir + QStringLiteral("/program")) {
        QDir().mkpath(home);
        const ol::ApplicationPtr app = ol::Application::create(dir + QStringLiteral("/stores"));
        if (withData)
            fill(app);
        settings.contactPath = QStringLiteral("Personal Folders\\Contacts");
        configure(*settings.settings, port, master);
        f = qel::toolFolders(app, settings, true);
        sync = std::make_unique<qel::FtpSync>(
            qel::SyncControls{&menuSync, &syncTimer, &menuTools, &menuTraySync}, f.storeMembers(),
            *settings.settings, qel::SyncHooks{});
    }
    bool run() {
        qel::setProgramFolder(home);
        return sync->run() == qel::SyncResult::Synced;
    }
};

struct Fixture {
    qeltest::FtpServer server;
    QTemporaryDir tmp;
    std::unique_ptr<Computer> master, slave;
    Fixture() {
        if (!server.started()) {
            std::fprintf(stderr, "bench_sync: %s\n", qPrintable(server.why()));
            return;
        }
        master =
            std::make_unique<Computer>(tmp.filePath(QStringLiteral("master")), server.port(), true, true);
        slave =
            std::make_unique<Computer>(tmp.filePath(QStringLiteral("slave")), server.port(), false, false);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_MasterSync10000Contacts2000Appointments(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.master) {
        state.SkipWithError("no FTP server");
        return;
    }
    for (auto _ : state) {
        if (!f.master->run())
            state.SkipWithError(qPrintable(f.master->sync->lastStatus()));
    }
}

void BM_SlaveSyncThatFollows(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.slave || !QFile::exists(f.server.file(QStringLiteral("MyContacts.mdb")))) {
        state.SkipWithError("no master sync before");
        return;
    }
    for (auto _ : state) {
        if (!f.slave->run())
            state.SkipWithError(qPrintable(f.slave->sync->lastStatus()));
    }
    if (f.slave->f.gOlContactFolder->Items()->Count() != 10000)
        state.SkipWithError("the slave does not hold the 10,000 contacts");
}

BENCHMARK(BM_MasterSync10000Contacts2000Appointments)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SlaveSyncThatFollows)->Unit(benchmark::kMillisecond)->Iterations(3);

// DIR/master and DIR/slave for QEL --sync: stores, program folders and the user's settings files
// (DIR/<computer>/config/QEL/QEL.ini, for XDG_CONFIG_HOME=DIR/<computer>/config).
int prepare(const QString& dir, int port) {
    for (const bool master : {true, false}) {
        const QString home = dir + (master ? QStringLiteral("/master") : QStringLiteral("/slave"));
        QDir().mkpath(home + QStringLiteral("/program"));
        QDir().mkpath(home + QStringLiteral("/config/QEL"));
        const ol::ApplicationPtr app = ol::Application::create(home + QStringLiteral("/stores"));
        if (master)
            fill(app);
        qel::setSettingsFile(home + QStringLiteral("/config/QEL/QEL.ini"));
        qel::SettingsModel settings;
        configure(settings, port, master);
        const QString problem = settings.save();
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "bench_sync: %s\n", qPrintable(problem));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--prepare") == 0)
        return prepare(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    QTextStream err(stderr);
    qel::QuietSeams quiet(err); // no message boxes, the system clock
    qel::CurlFtpClient client;
    qel::FtpSeam::set(&client);
    const int status = bench::runBenchmarks(argc, argv);
    qel::FtpSeam::set(nullptr);
    return status;
}
