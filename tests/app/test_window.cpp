// The main window's frame: the menu bar and tray menu (captions, order, separators), the
// connected commands, the timers, the Tag helpers and the debug label.

#include "AppTesting.h"
#include "app/Commands.h"
#include "app/frmWait.h"
#include "core/Tag.h"
#include "platform/Platform.h"
#include "support/HttpServer.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// "caption" per item, "-" per separator, "caption >" for a submenu.
QStringList layoutOf(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            items << QStringLiteral("-");
        else if (action->menu())
            items << action->text() + QStringLiteral(" >");
        else
            items << action->text();
    }
    return items;
}

} // namespace

class WindowTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

    qel::Vantrel* window() const { return mRun->window(); }

private Q_SLOTS:
    void init() {
        beginCase(QStringLiteral("window"));
        QFile::remove(apptest::programFile(QStringLiteral("Debug.txt")));
        mRun = std::make_unique<apptest::Run>(mStores.path());
        QVERIFY(mRun->start());
    }
    void cleanup() { endCase(); }

    void menuBar() {
        QStringList titles;
        for (const QAction* action : window()->menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles, (QStringList{"File", "Tools", "QEL Day", "Help"}));
        QCOMPARE(
            layoutOf(window()->menuFile),
            (QStringList{"View/Edit Contact Notes", "View/Edit Contact Category", "View/Edit User fields",
                         "View Contact in Outlook", "-", "Edit Current Contact", "Add Contact",
                         "Remove Contact", "-", "Print Current Contact", "-", "Export Contacts as vCard...",
                         "Import vCard...", "Export Calendar as iCalendar...", "-", "Exit (ESC Key)"}));
        QCOMPARE(
            layoutOf(window()->menuTools),
            (QStringList{"Search For Contacts", "Set A QEL Reminder", "Copy Contact Information to Clipboard",
                         "Copy Contact Information to Text Editor", "Color Appointments", "Set as 'Me'", "-",
                         "Create Cell Phone List", "Export Outlook Data", "Import Outlook Data", "Sync Now",
                         "View Last Sync Status", "-", "Open Debug File", "Preferences"}));
        QCOMPARE(layoutOf(window()->menuQEL),
                 (QStringList{"Add/Edit QEL Day", "Rescan QEL Days", "Remove all QEL Days",
                              "Look for Upcoming QEL Days"}));
        QCOMPARE(layoutOf(window()->menuHelp),
                 (QStringList{"QEL Help File (F1)", "Check for updates", "Vantrel web site", "About"}));
        // Items are found by their design names.
        QCOMPARE(window()->findChild<QAction*>(QStringLiteral("menuUpcomingQELDay")),
                 window()->menuUpcomingQELDay);
        QCOMPARE(window()->menuStatus->objectName(), QStringLiteral("menuStatus"));
    }

    void trayMenu() {
        const QMenu* tray = window()->menuTray;
        QCOMPARE(tray->title(), QStringLiteral("TrayIconMenu"));
        QCOMPARE(layoutOf(tray), (QStringList{"Show", "Go to... >", "Look for Upcoming QEL Days", "Sync",
                                              "Preferences", "-", "Check for Updates", "-", "Exit"}));
        QCOMPARE(tray->defaultAction(), window()->menuTrayShow);
        QStringList letters = layoutOf(window()->menuGoto);
        QCOMPARE(letters.size(), 27);
        QCOMPARE(letters.first(), QStringLiteral("A"));
        QCOMPARE(letters.at(25), QStringLiteral("Z"));
        QCOMPARE(letters.last(), QStringLiteral("MISC"));
        QCOMPARE(window()->menuTrayGotoLetter[27]->text(), QStringLiteral("MISC"));
        QCOMPARE(window()->menuTrayGotoLetter[19]->text(), QStringLiteral("S"));
    }

    void connectedCommands() {
        // Open Debug File, without a file: the log's own message.
        mSeams->dialogs.expectMessage(QStringLiteral("There is no debug file."));
        window()->menuDebug->trigger();
        // The store's folder picker is not involved in anything the frame does on its own.
        QCOMPARE(mRun->storeUi->calls, 0);
        // Preferences opens the hidden dialog, modally.
        mSeams->dialogs.expectExec([](QDialog&) { return int(QDialog::Rejected); },
                                   QStringLiteral("frmPrefs"));
        window()->menuPrefs->trigger();
    }

    // Every item of the menu bar and of the tray menu is a command of the table: enabled when it
    // is built; disabled, and saying so when pointed at, while it is still to come. (Triggered,
    // a disabled item runs no handler: nothing silently does nothing.)
    void everyMenuItemWorksOrShowsItIsNotThereYet() {
        QStringList unknown, wrong;
        int stillToCome = 0;
        std::function<void(const QMenu*)> walk = [&](const QMenu* menu) {
            for (QAction* action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                if (action->menu()) {
                    QVERIFY(action->isEnabled());
                    walk(action->menu());
                    continue;
                }
                const qel::commands::Command* command = qel::commands::find(action->objectName());
                if (!command) {
                    unknown << action->objectName();
                    continue;
                }
                const bool built = command->state == qel::commands::State::Built;
                if (action->isEnabled() != built)
                    wrong << action->objectName();
                if (!built) {
                    ++stillToCome;
                    if (!action->toolTip().endsWith(QStringLiteral(" is not available yet.")) ||
                        action->statusTip() != action->toolTip() || !menu->toolTipsVisible())
                        wrong << action->objectName() + QStringLiteral(" (tip)");
                }
            }
        };
        for (const QAction* top : window()->menuBar()->actions()) {
            QVERIFY(top->isEnabled());
            walk(top->menu());
        }
        walk(window()->menuTray);
        QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join(QStringLiteral(", "))));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
        // Every command of the menus is built now.
        QCOMPARE(stillToCome, 0);
        // The sync's commands are built.
        QVERIFY(window()->menuSync->isEnabled() && window()->menuStatus->isEnabled());
        // The tray's look for upcoming days brings the window back and looks.
        window()->showMinimized();
        apptest::settle();
        mSeams->dialogs.expectMessage(QStringLiteral("No upcoming QEL Days :("));
        window()->menuTrayUpcomingQELDay->trigger();
        QVERIFY(window()->isVisible() && !window()->isInTray());
        QCOMPARE(mSeams->dialogs.pending(), 0);
        // A name the table does not know is no command; an element of a control array is its array.
        QVERIFY(!qel::commands::find(QStringLiteral("menuNoSuchThing")));
        QCOMPARE(qel::commands::find(QStringLiteral("txtNumber15")),
                 qel::commands::find(QStringLiteral("txtNumber")));
        QCOMPARE(qel::commands::find(QStringLiteral("menuTrayGotoLetter27"))->state,
                 qel::commands::State::Built);
    }

    // The calendar and phone tools from the Tools menu: the labels reach the store, and the
    // progress window, the window and the busy mark are as they were afterwards.
    void calendarAndPhoneTools() {
        ol::ItemPtr meeting = window()->gOlCalendarFolder->Items()->Add(ol::olAppointmentItem);
        meeting->set(ol::prop::Subject, QStringLiteral("Board"));
        meeting->set(ol::prop::Categories, QStringLiteral("Work"));
        meeting->Save();
        window()->settings().colourFilters[3] = QStringLiteral("[Categories] = 'Work'");
        mSeams->dialogs.expectQuestion(QStringLiteral("[Categories] = 'Work'"), qel::MsgResult::Yes)
            .expectMessage(QStringLiteral("1 Appointment has been colored!"));
        window()->menuAppointments->trigger();
        QVERIFY(mSeams->dialogs.verify());
        const ol::ItemPtr stored =
            ol::Application::create(mStores.path())->GetNamespace()->GetItemFromID(meeting->EntryID());
        QCOMPARE(ol::labelOf(*stored), QVariant(3));
        QVERIFY(!qel::frmWait::loaded());
        QVERIFY(window()->isVisible());
        QCOMPARE(qel::Tag(window()->SyncTimer), QString());

        window()->settings().cellFields[1] = true;
        mRun->storeUi->answers = {QString()};
        mSeams->dialogs.expectMessage(QStringLiteral("This will export certain contacts"))
            .expectMessage(QStringLiteral("Cell Phone Export cancelled"));
        window()->menuCell->trigger();
        QVERIFY(mSeams->dialogs.verify());
        QCOMPARE(mRun->storeUi->calls, 1);
        QCOMPARE(qel::Tag(window()->menuCell), QString());
        QVERIFY(window()->isVisible());
    }

    // Export and import from the Tools menu on the real window: the file is written, the import
    // replaces the earlier imports in the store, and the progress window, the window and the busy
    // mark are as they were afterwards.
    void exportAndImportThroughTheMenus() {
        const auto add = [&](const QString& first, const QString& last, const QString& categories) {
            ol::ItemPtr c = window()->gOlContactFolder->Items()->Add(ol::olContactItem);
            c->set(ol::prop::FirstName, first);
            c->set(ol::prop::LastName, last);
            c->set(ol::prop::Categories, categories);
            c->Save();
        };
        add(QStringLiteral("Ann"), QStringLiteral("Lee"), QString());
        const QTemporaryDir files;
        const QString file = files.filePath(QStringLiteral("out.mdb"));
        mSeams->dialogs.expectQuestion(QStringLiteral("Do you still want to Export?"), qel::MsgResult::Yes)
            .expectOpenFile(file)
            .expectMessage(QStringLiteral("Export finished:"));
        window()->menuExport->trigger();
        QVERIFY(mSeams->dialogs.verify());
        QVERIFY(QFileInfo(file).size() > 0);
        QVERIFY(!qel::frmWait::loaded());
        QVERIFY(window()->isVisible());
        QCOMPARE(qel::Tag(window()->SyncTimer), QString());

        add(QStringLiteral("Old"), QStringLiteral("Import"), QStringLiteral("QELSync"));
        mSeams->dialogs.expectQuestion(QStringLiteral("Do you still want to Import?"), qel::MsgResult::Yes)
            .expectOpenFile(file)
            .expectMessage(QStringLiteral("Contact(s) Imported"));
        window()->menuImport->trigger();
        QVERIFY(mSeams->dialogs.verify());
        QStringList names;
        const ol::ApplicationPtr fresh = ol::Application::create(mStores.path());
        for (const ol::ItemPtr& c :
             fresh->GetNamespace()->folderByPath(QStringLiteral("Personal Folders\\Contacts"))->Items())
            names << c->Subject() + QStringLiteral(" [") + c->text(ol::prop::Categories) + QLatin1Char(']');
        QVERIFY2(!names.filter(QStringLiteral("Old Import")).size(),
                 qPrintable(names.join(QLatin1Char(','))));
        QCOMPARE(names.filter(QStringLiteral("Ann Lee [QELSync]")).size(), 1);
        QCOMPARE(names.filter(QStringLiteral("Ann Lee []")).size(), 1);
        QVERIFY(!qel::frmWait::loaded());
        QVERIFY(window()->isVisible());
        QCOMPARE(qel::Tag(window()->SyncTimer), QString());
    }

    // With the preference on, a rescan leaves the QEL Days as QELDays.ics in the program folder;
    // with it off, a rescan writes none.
    void rescanKeepsTheSpecialDaysCalendarFile() {
        const QString ics = apptest::programFile(QStringLiteral("QELDays.ics"));
        QFile::remove(ics);
        ol::ItemPtr ada = window()->gOlContacts->Add(ol::olContactItem);
        ada->set(ol::prop::FirstName, QStringLiteral("Ada"));
        ada->set(ol::prop::LastName, QStringLiteral("Lovelace"));
        ada->set(ol::prop::User1, QStringLiteral("12/10/1815"));
        ada->Save();
        qel::setTag(window()->menuRescan, QStringLiteral("No Message"));
        window()->menuRescan_Click();
        QVERIFY(!QFile::exists(ics));
        window()->settings().qelDayCalendarFile = true;
        window()->menuRescan_Click();
        qel::setTag(window()->menuRescan, QString());
        QFile file(ics);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("BEGIN:VCALENDAR"));
        // This year's birthday and next year's, and the rescan's own reminder to scan again.
        QStringList summaries;
        for (const QByteArray& line : text.split('\n'))
            if (line.startsWith("SUMMARY:"))
                summaries << QString::fromUtf8(line.trimmed());
        QCOMPARE(summaries.size(), 3);
        QCOMPARE(summaries.filter(QStringLiteral("Ada Lovelace")).size(), 2);
        QCOMPARE(summaries.filter(QStringLiteral("QEL Day Scan Needed!")).size(), 1);
        QVERIFY(text.contains("DTSTART;VALUE=DATE:"));
        QVERIFY(text.contains("CATEGORIES:QELDay"));
    }

    void timers() {
        const QList<std::pair<QTimer*, int>> expected{{window()->AniTimer, 500},
                                                      {window()->MISCTimer, 1000},
                                                      {window()->SyncTimer, 60000},
                                                      {window()->RemindTimer, 60000}};
        for (const auto& [timer, interval] : expected) {
            QCOMPARE(timer->interval(), interval);
            QVERIFY(!timer->isActive());
            QCOMPARE(window()->findChild<QTimer*>(timer->objectName()), timer);
        }
        QCOMPARE(window()->AniTimer->objectName(), QStringLiteral("AniTimer"));
    }

    void tags() {
        QTimer* timer = window()->SyncTimer;
        QCOMPARE(qel::Tag(timer), QString());
        qel::setTag(timer, QStringLiteral("Syncing"));
        QCOMPARE(qel::Tag(timer), QStringLiteral("Syncing"));
        QCOMPARE(timer->property("Tag").toString(), QStringLiteral("Syncing"));
        qel::setTag(window()->menuSync, QStringLiteral("Timer Sync"));
        QCOMPARE(qel::Tag(window()->menuSync), QStringLiteral("Timer Sync"));
        QCOMPARE(qel::Tag(window()->menuTraySync), QString());
        qel::setTag(timer, QString());
        QCOMPARE(qel::Tag(timer), QString());
        QCOMPARE(qel::Tag(nullptr), QString());
    }

    void debugLabelFollowsTheLiveSetting() {
        qel::Vantrel* w = window();
        QVERIFY(w->lblDebug->isHidden());
        QCOMPARE(w->lblDebug->text(), QStringLiteral("DEBUG MODE"));
        w->prefs()->chkDebug->click();
        QVERIFY(!w->lblDebug->isHidden());
        w->prefs()->chkDebug->click();
        QVERIFY(w->lblDebug->isHidden());
    }

    void productionTrayKeepsItsToolTipWithoutATrayHost() {
        // Offscreen there is no tray host: the icon is never shown, its state lives on.
        qel::QtTray tray;
        tray.setToolTip(QStringLiteral("Sync finished"));
        tray.setIcon(window()->windowIcon());
        tray.add();
        QVERIFY(tray.isAdded());
        QCOMPARE(tray.toolTip(), QStringLiteral("Sync finished"));
        tray.setToolTip(QStringLiteral("Exporting Ann Archer"));
        tray.remove();
        QVERIFY(!tray.isAdded());
        QCOMPARE(tray.toolTip(), QStringLiteral("Exporting Ann Archer"));
        QCOMPARE(tray.icon().cacheKey(), window()->windowIcon().cacheKey());
    }

    // The Help menu on the running window: F1 opens the manual registered at start-up, About is
    // modal, and a newer major release taken from the tray's check ends the program through its
    // exit routine once the download page is open.
    void theHelpMenuReachesTheManualAboutAndTheCheck() {
        qel::Vantrel* w = window();
        for (const QAction* built :
             {w->menuInstructions, w->menuUpdates, w->menuWeb, w->menuAbout, w->menuTrayUpdates})
            QVERIFY2(built->isEnabled(), qPrintable(built->objectName()));
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_F1);
        QCOMPARE(mSeams->shell.opened().size(), 1);
        QVERIFY2(mSeams->shell.opened().constFirst().endsWith(QStringLiteral("/resources/help/QELHelp.html")),
                 qPrintable(mSeams->shell.opened().constFirst()));
        mSeams->dialogs.expectExec([](QDialog&) { return int(QDialog::Accepted); },
                                   QStringLiteral("frmAbout"));
        w->menuAbout->trigger();
        QCOMPARE(qel::Tag(w->SyncTimer), QString());

        qunsetenv("http_proxy");
        qel::QtHttpClient client;
        qel::HttpClient* previous = qel::HttpSeam::set(&client);
        qeltest::HttpServer server(200, QStringLiteral("<html><body>QEL_99_0_0_x_y_Next</body></html>"));
        w->settings().updateHost = server.base();
        mSeams->dialogs.expectQuestion(QStringLiteral("A new version (99.0.0) is available."),
                                       qel::MsgResult::Yes);
        mSeams->dialogs.expectMessage(QStringLiteral("You must uninstall this version of Vantrel"));
        w->menuTrayUpdates->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(mRun->program->isFinished(), 10000);
        QCOMPARE(mSeams->shell.opened().constLast(), server.base() + QStringLiteral("/download.htm"));
        qel::HttpSeam::set(previous);
    }

    void trayKeepsTheProgramIconAndListensToTheWindow() {
        QCOMPARE(mTray->icon().cacheKey(), window()->windowIcon().cacheKey());
        QCOMPARE(mTray->listener(), static_cast<qel::TrayListener*>(window()));
        window()->ExitProgram(false);
        QVERIFY(!mTray->listener());
        QVERIFY(!mTray->isAdded());
    }
};

QEL_TEST_MAIN(WindowTest)
#include "test_window.moc"
