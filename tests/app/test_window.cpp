// The main window's frame: the menu bar and tray menu (captions, order, separators), the
// connected commands, the timers, the Tag helpers and the debug label.

#include "AppTesting.h"
#include "app/Commands.h"
#include "app/frmWait.h"
#include "core/Tag.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
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
                         "Remove Contact", "-", "Print Current Contact", "Exit (ESC Key)"}));
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
        QVERIFY(stillToCome > 0);
        // Among those still to come: the ones whose handlers do nothing yet.
        for (const QAction* pending : {window()->menuAbout, window()->menuTrayUpdates})
            QVERIFY2(!pending->isEnabled(), qPrintable(pending->objectName()));
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
