#include "ToolSession.h"

#include "core/Settings.h"

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

struct QuietSeams::State {
    explicit State(QTextStream& err) : console(err), dialogsScope(&console), clockScope(&systemClock) {}
    ConsoleDialogs console;
    SystemClockHere systemClock;
    SeamIfNone<DialogsSeam, Dialogs> dialogsScope;
    SeamIfNone<ClockSeam, Clock> clockScope;
};

QuietSeams::QuietSeams(QTextStream& err) : mState(std::make_unique<State>(err)) {}
QuietSeams::~QuietSeams() = default;

ToolSettings loadToolSettings(const QString& settingsPath) {
    const QString previousSettings = settingsFile();
    if (!settingsPath.isEmpty())
        setSettingsFile(settingsPath);
    ToolSettings result;
    result.settings->load();
    result.contactPath = GetSetting(QStringLiteral("Cache"), QStringLiteral("CurrentFolder"));
    if (!settingsPath.isEmpty())
        setSettingsFile(previousSettings);
    if (result.contactPath.isEmpty())
        result.contactPath = QStringLiteral("Personal Folders\\Contacts");
    return result;
}

StoreObjects toolFolders(const ol::ApplicationPtr& app, const ToolSettings& settings, bool safeItems) {
    StoreObjects f;
    f.gOlApp = app;
    f.gOlNameSpace = app->GetNamespace();
    f.gOlCalendarFolder = f.gOlNameSpace->Folders()
                              ->Item(settings.settings->calendarFolder.root)
                              ->Folders()
                              ->Item(settings.settings->calendarFolder.folder);
    f.gOlCalendarItems = f.gOlCalendarFolder->Items();
    f.gOlContactFolder = f.gOlNameSpace->folderByPath(settings.contactPath);
    f.gOlContacts = f.gOlContactFolder->Items();
    f.gNoRedemption = !(safeItems && app->safeItemsAvailable());
    if (!f.gNoRedemption) {
        f.gSafeContact = ol::SafeItem::create(app, QStringLiteral("Redemption.SafeContactItem"));
        f.gSafeCalendar = ol::SafeItem::create(app, QStringLiteral("Redemption.SafeAppointmentItem"));
    }
    return f;
}

} // namespace qel
