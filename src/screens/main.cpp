// qel-screens OUTDIR: renders every window of the program offscreen into OUTDIR as PNG files,
// on a demo store and settings in a temporary folder (the user's own are never touched).

#include "Form1.h"
#include "Updater.h"
#include "app/Screens.h"
#include "core/Passwords.h"
#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "exchange/ExchangeCommands.h"
#include "exchange/frmFilter.h"
#include "outlook/Outlook.h"
#include "outlook/dialogs/CategoriesDialog.h"
#include "outlook/dialogs/FolderPickerDialog.h"
#include "outlook/dialogs/ItemWindow.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/TrayIcons.h"
#include "prefs/frmPrefs.h"
#include "storetool/DemoData.h"
#include "updates/HelpAndUpdates.h"
#include "updates/Manual.h"
#include "updates/frmAbout.h"
#include "updates/frmHelp.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {

// Nothing may wait for a user here: every prompt is answered at once and printed.
class SilentDialogs : public qel::Dialogs {
public:
    void message(const QString& text, const QString&, qel::MsgIcon) override { note(text); }
    qel::MsgResult ask(const QString& text, qel::MsgButtons, qel::MsgIcon, const QString&) override {
        note(text);
        return qel::MsgResult::No;
    }
    int choose(const QString& text, const QString&, const QStringList&, qel::MsgIcon) override {
        note(text);
        return -1;
    }
    std::optional<QString> input(const QString& prompt, const QString&, const QString&) override {
        note(prompt);
        return std::nullopt;
    }
    QString openFile(const QString& title, const QString&, const QString&) override {
        note(title);
        return {};
    }
    int exec(QDialog& dialog) override {
        note(dialog.objectName());
        return QDialog::Rejected;
    }

private:
    static void note(const QString& text) { std::fprintf(stderr, "prompt: %s\n", qPrintable(text)); }
};

// The updater's prompts, answered at once and printed.
class SilentUpdaterUi : public qelupdater::UpdaterUi {
public:
    void message(const QString& text) override { std::fprintf(stderr, "prompt: %s\n", qPrintable(text)); }
    bool ask(const QString& text) override {
        message(text);
        return false;
    }
    int exec(QDialog& dialog) override {
        message(dialog.objectName());
        return QDialog::Rejected;
    }
};

void seedSettings() {
    using qel::SaveSetting;
    SaveSetting(QStringLiteral("General"), QStringLiteral("UseHotkey"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("General"), QStringLiteral("CtrlMod"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("General"), QStringLiteral("AltMod"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("General"), QStringLiteral("HotKey"), QStringLiteral("53")); // P
    SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Sync"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Host"), QStringLiteral("ftp.example.com"));
    SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("User"), QStringLiteral("alex"));
    SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Olvex"),
                qel::scramblePassword(QStringLiteral("secret")));
    SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("CalendarSync"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("PassiveMode"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("UseTLS"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("AppointmentColors"), QStringLiteral("Color1"),
                QStringLiteral("[Categories] = 'Important'"));
    SaveSetting(QStringLiteral("AppointmentColors"), QStringLiteral("Color3"),
                QStringLiteral("[Location] = 'Home'"));
    SaveSetting(QStringLiteral("VOIP"), QStringLiteral("EnableVonage"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("VOIP"), QStringLiteral("UserName"), QStringLiteral("alex.example"));
    SaveSetting(QStringLiteral("VOIP"), QStringLiteral("PhoneNumber"), QStringLiteral("15551234567"));
    SaveSetting(QStringLiteral("CellPhone"), QStringLiteral("CellField1"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("CellPhone"), QStringLiteral("CellField16"), QStringLiteral("Yes"));
    SaveSetting(QStringLiteral("Misc"), QStringLiteral("Me"), QStringLiteral("Alex Example"));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: qel-screens OUTDIR\n");
        return 2;
    }
    const QString out = QDir(args.at(1)).absolutePath();
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "qel-screens: cannot create %s\n", qPrintable(out));
        return 1;
    }

    QTemporaryDir sandbox;
    if (!sandbox.isValid()) {
        std::fprintf(stderr, "qel-screens: no temporary folder\n");
        return 1;
    }
    qel::setSettingsFile(sandbox.filePath(QStringLiteral("QEL.ini")));
    QDir().mkpath(sandbox.filePath(QStringLiteral("program")));
    qel::setProgramFolder(sandbox.filePath(QStringLiteral("program")));
    SilentDialogs silent;
    qel::DialogsSeam::set(&silent);
    qel::SystemClock systemClock; // the day strip shows the coming week
    qel::ClockSeam::set(&systemClock);
    struct SilentSound : qel::Sound {
        void play(const QString&) override {}
    } silentSound;
    qel::SoundSeam::set(&silentSound);
    seedSettings();

    ol::ApplicationPtr store;
    try {
        store = ol::Application::create(sandbox.filePath(QStringLiteral("stores")));
    } catch (const ol::Error& e) {
        std::fprintf(stderr, "qel-screens: demo store: %s\n", qPrintable(e.message()));
        return 1;
    }
    ol::NameSpacePtr ns = store->GetNamespace();
    ol::FolderPtr personal = ns->Folders()->Item(QStringLiteral("Personal Folders"));
    personal->Folders()
        ->Item(QStringLiteral("Contacts"))
        ->Folders()
        ->Add(QStringLiteral("Work"), ol::olContactItem);
    personal->Folders()->Add(QStringLiteral("Family Calendar"), ol::olAppointmentItem);
    ns->Folders()->Add(QStringLiteral("Archive"));
    qel::generateDemoContacts(personal->Folders()->Item(QStringLiteral("Contacts")), 300, 42);

    bool ok = true;
    {
        qel::frmPrefs prefs(ns);
        prefs.resize(prefs.sizeHint());
        for (int i = 0; i < prefs.TabStrip1->count(); ++i) {
            prefs.TabStrip1->setCurrentIndex(i);
            ok = qel::saveScreen(prefs, out, QStringLiteral("frmPrefs-") + prefs.TabStrip1->tabText(i)) && ok;
        }
    }
    {
        qel::frmFilter filter;
        filter.txtExportContactSQL->setText(QStringLiteral("[Categories] <> 'Private'"));
        filter.txtImportCalendarSQL->setText(QStringLiteral("[Location] = 'Office'"));
        filter.txtDateRange->setText(QStringLiteral("6"));
        ok = qel::saveScreen(filter, out, QStringLiteral("frmFilter")) && ok;
    }
    {
        ol::FolderPickerDialog picker(*ns);
        picker.selectPath(QStringLiteral("Personal Folders\\Calendar"));
        ok = qel::saveScreen(picker, out, QStringLiteral("FolderPickerDialog")) && ok;
        ol::NewFolderDialog newFolder(QStringLiteral("Personal Folders\\Calendar"), ol::olAppointmentItem);
        newFolder.txtName->setText(QStringLiteral("Holidays"));
        ok = qel::saveScreen(newFolder, out, QStringLiteral("NewFolderDialog")) && ok;
    }
    {
        // The store's own windows on a demo contact with a birthday and categories.
        const ol::ItemsPtr people = personal->Folders()->Item(QStringLiteral("Contacts"))->Items();
        ol::ItemPtr contact = people->Item(1);
        for (int i = 1; i <= people->Count() && contact->get(ol::prop::Categories).toString().isEmpty(); ++i)
            contact = people->Item(i);
        ol::ItemWindow window(contact);
        window.resize(window.sizeHint());
        for (int i = 0; i < window.tabs->count(); ++i) {
            window.tabs->setCurrentIndex(i);
            ok = qel::saveScreen(window, out,
                                 QStringLiteral("ItemWindow-") +
                                     window.tabs->tabText(i).remove(QLatin1Char('&'))) &&
                 ok;
        }
        ol::CategoriesDialog categories(contact);
        ok = qel::saveScreen(categories, out, QStringLiteral("CategoriesDialog")) && ok;
    }
    {
        // The manual export's and import's confirmations, with a filter on each side.
        qel::SettingsModel settings;
        settings.load();
        settings.syncData = {true, true, false, false};
        settings.filters.exportFilter[qel::SyncFilters::Contacts] =
            QStringLiteral("[Categories] <> 'Private'");
        settings.filters.importFilter[qel::SyncFilters::Calendar] = QStringLiteral("[Location] = 'Office'");
        qel::StoreObjects members;
        members.gOlApp = store;
        members.gOlContactFolder = personal->Folders()->Item(QStringLiteral("Contacts"));
        members.gOlCalendarFolder = personal->Folders()->Item(QStringLiteral("Calendar"));
        members.gOlContacts = members.gOlContactFolder->Items();
        members.gOlCalendarItems = members.gOlCalendarFolder->Items();
        members.gNoRedemption = true;
        qel::ExchangeCommands commands({}, members.storeMembers(), settings, {});
        const std::pair<QString, QString> boxes[] = {
            {QStringLiteral("Confirm Export"), commands.exportConfirmation()},
            {QStringLiteral("Confirm Import"), commands.importConfirmation()},
        };
        for (const auto& [title, text] : boxes) {
            QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No);
            ok = qel::saveScreen(box, out, QString(title).replace(QLatin1Char(' '), QLatin1Char('-'))) && ok;
        }
    }
    ok = qel::renderAppScreens(sandbox.filePath(QStringLiteral("stores")), out) && ok;
    {
        // The help menu's windows, the update question and the updater's folder window.
        qel::frmAbout about(qel::runningVersion());
        ok = qel::saveScreen(about, out, QStringLiteral("frmAbout")) && ok;
        qel::frmHelp welcome;
        welcome.load(qel::manualFile());
        ok = qel::saveScreen(welcome, out, QStringLiteral("frmHelp")) && ok;
        const auto page = qel::readVersionPage("<html><body>QEL_5_7_0_x_y_Faster search<BR>A welcome window"
                                               "</body></html>");
        QMessageBox question(QMessageBox::Question, QStringLiteral("New Version"),
                             qel::HelpAndUpdates::offerQuestion(*page), QMessageBox::Yes | QMessageBox::No);
        ok = qel::saveScreen(question, out, QStringLiteral("New-Version")) && ok;
        SilentUpdaterUi updaterUi;
        qelupdater::Form1 updater(updaterUi);
        ok = qel::saveScreen(updater, out, QStringLiteral("QELUpdater")) && ok;
    }
    {
        QString error;
        for (const QString& file : qel::icons::writeTrayPictures(out, &error))
            std::printf("%s\n", qPrintable(file));
        if (!error.isEmpty()) {
            std::fprintf(stderr, "qel-screens: %s\n", qPrintable(error));
            ok = false;
        }
    }
    qel::DialogsSeam::set(nullptr);
    qel::ClockSeam::set(nullptr);
    qel::SoundSeam::set(nullptr);
    return ok ? 0 : 1;
}
