// The contact browser on the real main window, offscreen, with 50,000 demo contacts in the folder:
// a letter change (restriction, list fill, card fill), one type-ahead key (within the letter on
// show and one that changes the letter), a partial search, and showing a card. Each step includes
// the repaint it causes (pending events are processed inside the timing).
#include "app/Program.h"
#include "app/Vantrel.h"
#include "browser/ContactBrowser.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/Tray.h"
#include "storetool/DemoData.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

constexpr int kContacts = 50000;

// Nothing may wait for a user: every prompt is answered at once.
class SilentDialogs : public qel::Dialogs {
public:
    void message(const QString&, const QString&, qel::MsgIcon) override {}
    qel::MsgResult ask(const QString&, qel::MsgButtons, qel::MsgIcon, const QString&) override {
        return qel::MsgResult::No;
    }
    int choose(const QString&, const QString&, const QStringList&, qel::MsgIcon) override { return -1; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    int exec(QDialog&) override { return 0; }
};

class SilentSound : public qel::Sound {
public:
    void play(const QString&) override {}
};

// The program, started once on a store of 50,000 contacts in a temporary folder.
struct Running {
    QTemporaryDir root;
    SilentDialogs dialogs;
    SilentSound sound;
    qel::QtTray tray;
    std::unique_ptr<qel::Program> program;

    Running() {
        qel::setSettingsFile(root.filePath(QStringLiteral("QEL.ini")));
        QDir().mkpath(root.filePath(QStringLiteral("program")));
        qel::setProgramFolder(root.filePath(QStringLiteral("program")));
        qel::installProductionSeams();
        qel::DialogsSeam::set(&dialogs);
        qel::SoundSeam::set(&sound);
        qel::TraySeam::set(&tray);
        const QString stores = root.filePath(QStringLiteral("stores"));
        {
            ol::ApplicationPtr app = ol::Application::create(stores);
            qel::generateDemoContacts(
                app->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts")), kContacts,
                42);
        }
        qel::CommandLine line;
        line.storeDir = stores;
        program = std::make_unique<qel::Program>(line);
        program->setInstanceLockPath(root.filePath(QStringLiteral("Vantrel.lock")));
        if (!program->start())
            std::fprintf(stderr, "bench_browser: the main window did not start\n");
        settle();
    }
    qel::Vantrel& window() const { return *program->window(); }
    qel::ContactBrowser& browser() const { return window().browser(); }

    static void settle() { QCoreApplication::processEvents(); }
};

// Made in main, so that it ends before the application object does.
Running* gRunning = nullptr;

Running& running() {
    return *gRunning;
}

void goToLetter(int code) {
    Running& r = running();
    r.window().mLetterCode = static_cast<qint16>(code);
    r.browser().LetterChange();
    Running::settle();
}

void BM_LetterChange(benchmark::State& state) {
    Running& r = running();
    const int letters[] = {13, 19, 27, 1}; // M, S, MISC, A: among the largest lists
    int i = 0;
    for (auto _ : state)
        goToLetter(letters[i++ % 4]);
    state.counters["listed"] = r.window().cmbContacts->count();
}

void BM_ShowCard(benchmark::State& state) {
    Running& r = running();
    goToLetter(13);
    QComboBox* list = r.window().cmbContacts;
    int i = 0;
    for (auto _ : state) {
        list->setCurrentIndex(++i % list->count());
        Running::settle();
    }
}

// A key that keeps the letter on show: typing on within "Mi…".
void BM_TypeAheadKeySameLetter(benchmark::State& state) {
    Running& r = running();
    QLineEdit* search = r.window().Search;
    const QString texts[] = {QStringLiteral("Mic"), QStringLiteral("Mich"), QStringLiteral("Micha")};
    search->setText(QStringLiteral("Mi"));
    r.browser().Search_KeyUp(Qt::Key_I);
    int i = 0;
    for (auto _ : state) {
        search->setText(texts[i++ % 3]);
        r.browser().Search_KeyUp(Qt::Key_A);
        Running::settle();
    }
}

// A key that moves to another letter: the first key of a new name.
void BM_TypeAheadKeyNewLetter(benchmark::State& state) {
    Running& r = running();
    QLineEdit* search = r.window().Search;
    const QString texts[] = {QStringLiteral("Sa"), QStringLiteral("Mi")};
    int i = 0;
    for (auto _ : state) {
        search->setText(texts[i++ % 2]);
        r.browser().Search_KeyUp(Qt::Key_A);
        Running::settle();
    }
}

void BM_PartialSearch(benchmark::State& state) {
    Running& r = running();
    r.window().Search->setText(QStringLiteral("son"));
    for (auto _ : state) {
        r.browser().PartialSearch_Click();
        Running::settle();
    }
    state.counters["found"] = r.window().cmbSearch->count() - 1;
    r.browser().cmdClear_Click();
}

} // namespace

BENCHMARK(BM_LetterChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAheadKeySameLetter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAheadKeyNewLetter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PartialSearch)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Running r; // the store and the window are made before any timing
    gRunning = &r;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    r.program->shutDown();
    return 0;
}
