#include "SpecialDayCommands.h"

#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "specialdays/SpecialDayEngine.h"

#include <stdexcept>

namespace qel {

namespace {

// Without a desktop nobody answers: messages go to the error stream, questions get the cautious
// answer (a choice box: none of its buttons, which the engine takes as "Stop").
class ConsoleDialogs : public Dialogs {
public:
    explicit ConsoleDialogs(QTextStream& err) : mErr(err) {}
    void message(const QString& text, const QString&, MsgIcon) override { mErr << text << '\n'; }
    MsgResult ask(const QString& text, MsgButtons, MsgIcon, const QString&) override {
        mErr << text << '\n';
        return MsgResult::No;
    }
    int choose(const QString& text, const QString&, const QStringList&, MsgIcon) override {
        mErr << text << '\n';
        return -1;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&) override { return QString(); }
    int exec(QDialog&) override { return 0; }

private:
    QTextStream& mErr;
};

class SystemClockHere : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// Installs `implementation` for the scope unless the program (or a test) has one installed.
template <typename SeamT, typename T> class SeamIfNone {
public:
    explicit SeamIfNone(T* implementation) {
        T* previous = SeamT::set(implementation);
        if (previous) {
            SeamT::set(previous);
        } else {
            mInstalled = true;
        }
    }
    ~SeamIfNone() {
        if (mInstalled)
            SeamT::set(nullptr);
    }
    SeamIfNone(const SeamIfNone&) = delete;
    SeamIfNone& operator=(const SeamIfNone&) = delete;

private:
    bool mInstalled = false;
};

} // namespace

std::optional<int> runSpecialDayCommand(const QString& command, const QStringList& args,
                                        const ol::ApplicationPtr& app, QTextStream& out, QTextStream& err) {
    const bool rescan = command == QLatin1String("rescan");
    if (!rescan && command != QLatin1String("remove-qeldays"))
        return std::nullopt;
    bool future = false;
    QString settingsPath;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--settings") && i + 1 < args.size())
            settingsPath = args[++i];
        else if (!rescan && args[i] == QLatin1String("--future"))
            future = true;
        else
            throw std::invalid_argument(QStringLiteral("unknown option %1").arg(args[i]).toStdString());
    }
    const QString previousSettings = settingsFile();
    if (!settingsPath.isEmpty())
        setSettingsFile(settingsPath);
    SettingsModel settings;
    settings.load();
    const QString contactPath = GetSetting(QStringLiteral("Cache"), QStringLiteral("CurrentFolder"));
    if (!settingsPath.isEmpty())
        setSettingsFile(previousSettings);

    ConsoleDialogs console(err);
    SystemClockHere systemClock;
    SeamIfNone<DialogsSeam, Dialogs> dialogsScope(&console);
    SeamIfNone<ClockSeam, Clock> clockScope(&systemClock);

    ol::ApplicationPtr gOlApp = app;
    ol::NameSpacePtr gOlNameSpace = app->GetNamespace();
    ol::FolderPtr gOlCalendarFolder = gOlNameSpace->Folders()
                                          ->Item(settings.calendarFolder.root)
                                          ->Folders()
                                          ->Item(settings.calendarFolder.folder);
    ol::ItemsPtr gOlContacts =
        gOlNameSpace
            ->folderByPath(contactPath.isEmpty() ? QStringLiteral("Personal Folders\\Contacts") : contactPath)
            ->Items();
    std::shared_ptr<ol::SafeItem> gSafeCalendar;
    bool gNoRedemption = true;
    QObject marker;
    SpecialDayEngine engine(
        {gOlApp, gOlNameSpace, gOlContacts, gOlCalendarFolder, gSafeCalendar, gNoRedemption}, settings,
        &marker);
    if (!rescan) {
        const int removed = engine.removeQELDays(future);
        out << (removed == 1 ? QStringLiteral("1 QEL Day was removed")
                             : QString::number(removed) + QStringLiteral(" QEL Days were removed"))
            << '\n';
        return 0;
    }
    engine.removeQELDays(settings.qelDayPast);
    engine.setMarker(kMarkerSkip); // bad lines are skipped and listed, as the sync does
    const RescanResult result = engine.rescanContacts({});
    if (result.contacts == 0) {
        out << "No QEL Days found\n";
        return 0;
    }
    out << "Re-Scan complete. " << result.added << " QEL Days added\n";
    for (const QString& line : engine.skipped())
        out << "Skipped: " << line << '\n';
    return result.stopped ? 1 : 0;
}

} // namespace qel
