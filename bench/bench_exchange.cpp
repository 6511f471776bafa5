// The exchange file at scale: the export of 10,000 demo contacts and 2,000 appointments (200 of
// them recurring), and the import of that file into a store that holds an earlier import of it.
#include "core/SettingsModel.h"
#include "exchange/ExchangeEngine.h"
#include "outlook/Outlook.h"
#include "storetool/DemoData.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Store {
    QString dir;
    ol::ApplicationPtr gOlApp;
    ol::FolderPtr gOlContactFolder;
    ol::ItemsPtr gOlContacts;
    ol::FolderPtr gOlCalendarFolder;
    ol::ItemsPtr gOlCalendarItems;
    std::shared_ptr<ol::SafeItem> gSafeContact;
    std::shared_ptr<ol::SafeItem> gSafeCalendar;
    bool gNoRedemption = false;
    qel::SettingsModel settings;
    std::unique_ptr<qel::ExchangeEngine> engine;

    explicit Store(const QString& folder) : dir(folder) {
        gOlApp = ol::Application::create(dir);
        gOlApp->setClock([] { return QDateTime(QDate(2025, 6, 15), QTime(9, 0)); });
        const ol::NameSpacePtr ns = gOlApp->GetNamespace();
        gOlContactFolder = ns->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        gOlContacts = gOlContactFolder->Items();
        gOlCalendarFolder = ns->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        gOlCalendarItems = gOlCalendarFolder->Items();
        gSafeContact = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeContactItem"));
        gSafeCalendar = ol::SafeItem::create(gOlApp, QStringLiteral("Redemption.SafeAppointmentItem"));
        settings.syncData = {true, true, false, false};
        engine = std::make_unique<qel::ExchangeEngine>(
            qel::ExchangeMembers{gOlApp, gOlContactFolder, gOlContacts, gOlCalendarFolder, gOlCalendarItems,
                                 gSafeContact, gSafeCalendar, gNoRedemption},
            settings);
    }
};

struct Fixture {
    QTemporaryDir tmp;
    std::unique_ptr<Store> source;
    std::unique_ptr<Store> target;
    QString file;

    Fixture() {
        source = std::make_unique<Store>(tmp.filePath(QStringLiteral("source")));
        qel::generateDemoContacts(source->gOlContactFolder, 10000, 42);
        {
            ol::Batch batch(source->gOlCalendarFolder);
            for (int i = 0; i < 2000; ++i) {
                ol::ItemPtr a = source->gOlCalendarFolder->Items()->Add(ol::olAppointmentItem);
                a->set(ol::prop::Subject, QStringLiteral("Appointment %1").arg(i));
                a->set(ol::prop::Location, QStringLiteral("Room %1").arg(i % 40));
                a->set(ol::prop::Body, QStringLiteral("Agenda\r\nline %1").arg(i));
                a->set(ol::prop::Start, QDateTime(QDate(2025, 6, 16).addDays(i % 150), QTime(8 + i % 9, 0)));
                a->set(ol::prop::Duration, 60);
                if (i % 10 == 0) {
                    const ol::RecurrencePatternPtr p = a->GetRecurrencePattern();
                    p->set(ol::pattern::RecurrenceType, 1);
                    p->set(ol::pattern::Occurrences, 10);
                }
                a->Save();
            }
            batch.commit();
        }
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
    if (f.target->gOlContactFolder->Items()->Count() != 10000)
        state.SkipWithError("the import left more than one copy");
}

BENCHMARK(BM_Export10000Contacts2000Appointments)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportOverEarlierImport)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
