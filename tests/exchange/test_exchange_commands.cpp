// The main window's export and import commands on bare controls: the confirmations, the open-file
// dialog and the name's normalisation, the overwrite question, the reports, and the tags cleared on
// every way out. Every prompt is scripted; an unexpected one fails the test.

#include "ExchangeTesting.h"

#include "core/Tag.h"
#include "exchange/ExchangeCommands.h"
#include "support/SeamScope.h"

#include <QAction>
#include <QTimer>

using namespace exchangetest;
using qel::MsgResult;

namespace {

// The window's controls and the commands on them, on the harness's store.
struct Commands {
    explicit Commands(Harness& h, CancellingProgress* progress) {
        ui.menuExport = &menuExport;
        ui.menuImport = &menuImport;
        ui.menuTraySync = &menuTraySync;
        ui.SyncTimer = &SyncTimer;
        qel::ExchangeHooks hooks;
        hooks.loadProgress = [progress]() -> qel::Progress* { return progress; };
        hooks.unloadProgress = [this] { ++unloads; };
        hooks.setWindowShown = [this](bool shown) { shownStates << shown; };
        commands = std::make_unique<qel::ExchangeCommands>(ui, h.storeMembers(), h.settings, hooks);
    }
    bool tagsClear() const {
        return qel::Tag(&menuExport).isEmpty() && qel::Tag(&menuImport).isEmpty() &&
               qel::Tag(&menuTraySync).isEmpty() && qel::Tag(&SyncTimer).isEmpty();
    }
    QAction menuExport, menuImport;
    QObject menuTraySync;
    QTimer SyncTimer;
    qel::ExchangeControls ui;
    int unloads = 0;
    QList<bool> shownStates;
    std::unique_ptr<qel::ExchangeCommands> commands;
};

const QString kExportFinished = QStringLiteral("Export finished:");

} // namespace

class ExchangeCommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportNameNormalisation() {
        QCOMPARE(qel::exportFileName(QStringLiteral("/d/backup")), QStringLiteral("/d/backup.mdb"));
        QCOMPARE(qel::exportFileName(QStringLiteral("backup.txt")), QStringLiteral("backup.mdb"));
        QCOMPARE(qel::exportFileName(QStringLiteral("my.backup.file")), QStringLiteral("my.mdb"));
        QCOMPARE(qel::exportFileName(QStringLiteral("Old.MDB")), QStringLiteral("Old.mdb"));
        QCOMPARE(qel::exportFileName(QStringLiteral("x.mdb")), QStringLiteral("x.mdb"));
    }

    // No to the confirmation, a cancelled dialog, No to overwriting: nothing written, tags clear.
    // Yes throughout: the file under its normalised name, the summary, the finish status.
    void exportAsksBeforeItWrites() {
        qeltest::SeamScope seams;
        seams.clock.setNow(QDateTime(QDate(2025, 3, 15), QTime(10, 0)));
        Harness h(QStringLiteral("cmd-export"));
        h.addContact(QStringLiteral("Ann"), QStringLiteral("Lee"));
        h.settings.filters.exportFilter[qel::SyncFilters::Contacts] = QStringLiteral("[LastName] = 'Lee'");
        CancellingProgress progress;
        Commands c(h, &progress);
        QCOMPARE(
            c.commands->exportConfirmation(),
            QStringLiteral("This will export all items based on the criteria:\r\n\r\nCONTACTS - [LastName] = "
                           "'Lee'\r\nAPPOINTMENTS - [Start] >= '03/15/2025' and [Start] <= '09/15/2025' OR "
                           "[Recurring] = 'Yes'\r\n\r\nDo you still want to Export?"));
        const QString base = h.dir + QStringLiteral("/backup");
        const QString file = base + QStringLiteral(".mdb");

        seams.dialogs.expectQuestion(QStringLiteral("Do you still want to Export?"), MsgResult::No);
        c.commands->menuExport_Click();
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectOpenFile(QString(), QStringLiteral("Choose a file to export to"));
        c.commands->menuExport_Click();
        QVERIFY(c.tagsClear());
        QVERIFY(!QFile::exists(file));

        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectOpenFile(base + QStringLiteral(".txt"))
            .expectMessage(kExportFinished);
        c.commands->menuExport_Click();
        QVERIFY(QFile::exists(file));
        QVERIFY(progress.lines.last().startsWith(QStringLiteral("Export Finished @ 03/15/2025")));
        QCOMPARE(c.shownStates, (QList<bool>{false, true}));
        const QByteArray first = fileBytes(file);

        h.addContact(QStringLiteral("Bob"), QStringLiteral("Lee"));
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectOpenFile(base)
            .expectQuestion(QStringLiteral("File already exists! Do you wish to overwrite it?"),
                            MsgResult::No);
        c.commands->menuExport_Click();
        QCOMPARE(fileBytes(file), first);
        QVERIFY(c.tagsClear());
        QCOMPARE(c.unloads, 4);
    }

    // A wrong extension reopens the dialog, a missing file ends; a cancelled import says so and
    // leaves the store as before; a good run reports the counts.
    void importChecksTheFileAndReports() {
        qeltest::SeamScope seams;
        Harness source(QStringLiteral("cmd-source"));
        for (int i = 0; i < 4; ++i)
            source.addContact(QStringLiteral("C%1").arg(i), QStringLiteral("Doe"));
        const QString file = source.dir + QStringLiteral("/in.mdb");
        QVERIFY(source.exportTo(file).ok());

        Harness h(QStringLiteral("cmd-import"));
        h.settings.syncData = {true, false, false, true};
        CancellingProgress cancel(4);
        Commands c(h, &cancel);
        QCOMPARE(c.commands->importConfirmation(),
                 QStringLiteral(
                     "This will DELETE all Outlook items based on the criteria below. Then data will be "
                     "imported based on the criteria:\r\n\r\nCONTACTS - [Categories] = 'QELSync'\r\nNOTES "
                     "- [Categories] = 'QELSync'\r\n\r\nDo you still want to Import? (the category "
                     "QELSync is automatically added to all Outlook data created by the MASTER)"));
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectOpenFile(source.dir + QStringLiteral("/in.txt"), QStringLiteral("Choose a file to import"))
            .expectMessage(QStringLiteral("Please choose a valid access database file (must be .mdb)"))
            .expectOpenFile(source.dir + QStringLiteral("/none.mdb"))
            .expectMessage(QStringLiteral("Please select a valid file!"));
        c.commands->menuImport_Click();
        QVERIFY(c.tagsClear());

        const QStringList before = h.snapshot();
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectOpenFile(file)
            .expectMessage(
                QStringLiteral("Import was cancelled.  Not all Outlook Items have been imported."));
        c.commands->menuImport_Click();
        QCOMPARE(cancel.lines.last(), QStringLiteral("Import Cancelled by user"));
        QCOMPARE(h.snapshot(), before);
        QVERIFY(c.tagsClear());

        CancellingProgress quiet;
        Commands c2(h, &quiet);
        seams.dialogs.expectQuestion(QString(), MsgResult::Yes)
            .expectOpenFile(file)
            .expectMessage(
                QStringLiteral("Import finished:\r\n\r\n4 Contact(s) Imported\r\n0 Appointment(s) Imported"));
        c2.commands->menuImport_Click();
        QCOMPARE(h.snapshot().size(), 4);
        QVERIFY(c2.tagsClear());
    }
};

QEL_TEST_MAIN(ExchangeCommandsTest)
#include "test_exchange_commands.moc"
