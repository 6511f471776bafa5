// Special days at scale: the quiet rescan of 5,000 contacts with two lines each (20,000
// appointments), and the coming week's check with those appointments in the calendar.
#include "BenchMain.h"
#include "core/SettingsModel.h"
#include "outlook/Outlook.h"
#include "platform/Clock.h"
#include "specialdays/SpecialDayEngine.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

class FixedClock : public qel::Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2025, 6, 15), QTime(9, 0)); }
};

struct Store {
    QTemporaryDir dir;
    qel::StoreObjects f; // the window's members on the store
    qel::SettingsModel settings;
    QObject marker;
    std::unique_ptr<qel::SpecialDayEngine> engine;

    explicit Store(int count) {
        f.gOlApp = ol::Application::create(dir.path());
        f.gOlNameSpace = f.gOlApp->GetNamespace();
        const ol::FolderPtr folder =
            f.gOlNameSpace->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        {
            ol::Batch batch(folder);
            for (int i = 0; i < count; ++i) {
                ol::ItemPtr c = folder->Items()->Add(ol::olContactItem);
                c->set(ol::prop::FirstName, QStringLiteral("First%1").arg(i));
                c->set(ol::prop::LastName, QStringLiteral("Last%1").arg(i));
                const QDate born = QDate(1950, 1, 1).addDays(i * 7 % 20000);
                c->set(ol::prop::User1, born.toString(QStringLiteral("M/d/yyyy")) +
                                            QStringLiteral("\r\n*A .Us ") +
                                            born.addDays(100).toString(QStringLiteral("MM/dd")));
                c->Save();
            }
            batch.commit();
        }
        f.gOlContacts = folder->Items();
        f.gOlCalendarFolder = f.gOlNameSpace->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        f.gSafeCalendar = ol::SafeItem::create(f.gOlApp, QStringLiteral("Redemption.SafeAppointmentItem"));
        engine = std::make_unique<qel::SpecialDayEngine>(f.storeMembers(), settings, &marker);
    }
};

Store& store() {
    static Store s(5000);
    return s;
}

void BM_QuietRescan5000(benchmark::State& state) {
    Store& s = store();
    for (auto _ : state) {
        s.engine->removeQELDays(false);
        s.engine->setMarker(qel::kMarkerSkip);
        const qel::RescanResult r = s.engine->rescanContacts({});
        if (r.added != 20000)
            state.SkipWithError("the rescan did not add 20,000 appointments");
    }
}

void BM_UpcomingWeek20000(benchmark::State& state) {
    Store& s = store();
    if (s.f.gOlCalendarFolder->Items()->Count() < 20000) {
        s.engine->setMarker(qel::kMarkerSkip);
        s.engine->rescanContacts({});
    }
    for (auto _ : state) {
        const auto week = s.engine->upcoming();
        benchmark::DoNotOptimize(week);
    }
}

} // namespace

BENCHMARK(BM_QuietRescan5000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_UpcomingWeek20000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    FixedClock clock;
    qel::ClockSeam::set(&clock);
    return bench::runBenchmarks(argc, argv);
}
