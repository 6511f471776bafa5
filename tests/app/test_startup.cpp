// Start-up: a first run on empty settings, the command line, a second instance, a store that
// cannot be opened, the safe-item check, the calendar folder and its pick loop, the sync timer.

#include "AppTesting.h"
#include "app/CommandLine.h"
#include "core/Tag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

using apptest::cache;
using apptest::Run;
using qel::GetSetting;
using qel::MsgResult;
using qel::SaveSetting;

class StartupTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

    QString storeDir() const { return mStores.filePath(QStringLiteral("stores")); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(mStores.isValid());
        ol::ApplicationPtr app = ol::Application::create(storeDir());
        ol::NameSpacePtr ns = app->GetNamespace();
        ns->folderByPath(QStringLiteral("Personal Folders\\Calendar"))
            ->Folders()
            ->Add(QStringLiteral("Family"), ol::olAppointmentItem);
        auto archive = ns->Folders()->Add(QStringLiteral("Archive"));
        archive->Folders()->Add(QStringLiteral("Old Calendar"), ol::olAppointmentItem);
    }
    void init() {
        beginCase(QStringLiteral("startup"));
        QFile::remove(apptest::programFile(QStringLiteral("Debug.txt")));
        QFile::remove(apptest::programFile(QStringLiteral("NoRedemption.txt")));
    }
    void cleanup() { endCase(); }

    void firstRunOnEmptySettings() {
        Run run(storeDir());
        QVERIFY(run.start());
        qel::Vantrel* w = run.window();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QVERIFY(!w->isMinimized());
        QCOMPARE(w->objectName(), QStringLiteral("Vantrel"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Vantrel"));
        QVERIFY(!w->windowIcon().isNull());
        QCOMPARE(mSeams->dialogs.prompts().size(), 0);

        // Letter A, tab 1, all categories, the container closed.
        QCOMPARE(w->mLetterCode, qint16(1));
        QCOMPARE(w->mContactName, QString());
        QCOMPARE(w->TabStrip1->currentIndex(), 0);
        QCOMPARE(w->lblCategories->text(), QStringLiteral("All Categories"));
        QCOMPARE(w->cmbCategories->currentIndex(), 0);
        QVERIFY(w->cmdHide->isHidden());
        QVERIFY(!w->chkExtra->isChecked());

        // The store, the safe items, the calendar of the settings' fallback.
        QVERIFY(w->gOlApp && w->gOlNameSpace);
        QVERIFY(w->gSafeContact && w->gSafeCalendar);
        QVERIFY(!w->gNoRedemption);
        QVERIFY(w->cmdRedemption->isHidden());
        QVERIFY(!QFile::exists(apptest::programFile(QStringLiteral("NoRedemption.txt"))));
        QVERIFY(w->gOlCalendarFolder);
        QCOMPARE(w->gOlCalendarFolder->path(), QStringLiteral("Personal Folders\\Calendar"));
        QCOMPARE(w->gOlCalendarRootFolder->Name(), QStringLiteral("Personal Folders"));
        QVERIFY(w->gOlCalendarItems);

        // Nothing runs by itself: every timer is off, the tray icon is not shown, no debug label.
        for (QTimer* timer : {w->AniTimer, w->MISCTimer, w->SyncTimer, w->RemindTimer})
            QVERIFY2(!timer->isActive(), qPrintable(timer->objectName()));
        QVERIFY(!mTray->isAdded());
        QVERIFY(w->lblDebug->isHidden());
        QVERIFY(!QFile::exists(apptest::programFile(QStringLiteral("Debug.txt"))));
        // The start-up writes nothing to Cache without a contact to open.
        QCOMPARE(cache(QStringLiteral("LetterCode")), QString());
    }

    void debugMessagesInOrder() {
        SaveSetting("DebugMode", "DebugMode", "Yes");
        Run run(storeDir());
        QVERIFY(run.start());
        QVERIFY(!run.window()->lblDebug->isHidden());
        const QString log = apptest::readDebugFile();
        const QStringList expected{
            QStringLiteral("Vantrel:Program loading..."),
            QStringLiteral("Vantrel:Reading Cache"),
            QStringLiteral("Vantrel:Last Category"),
            QStringLiteral("Vantrel:Last Folder"),
            QStringLiteral("Vantrel:Setting Calendar Folder to:Personal Folders\\Calendar\r\n"),
            QStringLiteral("Vantrel:QEL Day scan"),
            QStringLiteral("Vantrel:Program Loaded"),
        };
        qsizetype at = 0;
        for (const QString& line : expected) {
            const qsizetype found = log.indexOf(line, at);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("missing or out of order: ") + line + "\n" + log));
            at = found + line.size();
        }
        // The loading line carries the date and time.
        QVERIFY(log.contains(QRegularExpression(QStringLiteral("Program loading\\.\\.\\..*\\d"))));
        // Sync is off: no sync timer line.
        QVERIFY(!log.contains(QStringLiteral("sync timer")));
    }

    void oversizedDebugFileIsEmptiedFirst() {
        SaveSetting("DebugMode", "DebugMode", "Yes");
        {
            QFile big(apptest::programFile(QStringLiteral("Debug.txt")));
            QVERIFY(big.open(QIODevice::WriteOnly));
            big.write(QByteArray(2 * 1024 * 1024, 'x'));
        }
        Run run(storeDir());
        QVERIFY(run.start());
        const QString log = apptest::readDebugFile();
        QVERIFY(log.size() < 10000);
        QVERIFY(log.startsWith(QStringLiteral("Maximum file size reached (2 MB).")));
        // The lines before the bound went with the old file; those after it are there.
        QVERIFY(!log.contains(QStringLiteral(":Program loading...")));
        QVERIFY(log.contains(QStringLiteral("Vantrel:Reading Cache")));
    }

    // The real program, started as a user starts it: the store it opens reports the store's own
    // version (which gates label colours and the like), not the program's.
    void theProgramsStoreKeepsItsOwnVersion() {
        apptest::ProcessHome home("[DebugMode]\nDebugMode=Yes\n");
        QVERIFY(home.ok());
        const QString program = home.path(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        home.env.insert(QStringLiteral("QEL_HOME"), program);
        QProcess qel;
        qel.setProcessEnvironment(home.env);
        qel.start(QStringLiteral(QEL_PROGRAM), {QStringLiteral("--dir"), home.path(QStringLiteral("stores")),
                                                QStringLiteral("--quit-when-shown")});
        QVERIFY(qel.waitForFinished(60000));
        QVERIFY2(qel.exitCode() == 0, qel.readAllStandardError().constData());
        QVERIFY(qel.readAllStandardOutput().contains("shown"));
        QFile log(QDir(program).filePath(QStringLiteral("Debug.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(log.readAll());
        const QRegularExpression opened(QStringLiteral("Contact store opened, version (\\S+)"));
        const QRegularExpressionMatch m = opened.match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        QVERIFY2(ol::versionNumber(m.captured(1)) > 9, qPrintable(m.captured(1)));
    }

    void upcomingCheckFollowsItsSetting() {
        SaveSetting("DebugMode", "DebugMode", "Yes");
        SaveSetting("QELDays", "CheckForQELDay", "No");
        Run run(storeDir());
        QVERIFY(run.start());
        QVERIFY(!apptest::readDebugFile().contains(QStringLiteral(":QEL Day scan")));
        QCOMPARE(qel::Tag(run.window()->menuUpcomingQELDay), QString());
    }

    void parseCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("storeDir");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<QString>("contact");
        QTest::addColumn<bool>("error");

        QTest::newRow("none") << QStringList{} << QStringList{} << "" << false << "" << false;
        QTest::newRow("autostart m") << QStringList{"m"} << QStringList{"m"} << "" << true << "" << false;
        QTest::newRow("one argument")
            << QStringList{"Mary Smith"} << QStringList{"Mary Smith"} << "" << false << "Mary Smith" << false;
        QTest::newRow("two arguments") << QStringList{"Mary", "Smith"} << QStringList{"Mary", "Smith"} << ""
                                       << false << "Mary Smith" << false;
        QTest::newRow("m and more is a name")
            << QStringList{"m", "Smith"} << QStringList{"m", "Smith"} << "" << false << "m Smith" << false;
        QTest::newRow("store folder")
            << QStringList{"--dir", "/x/y", "m"} << QStringList{"m"} << "/x/y" << true << "" << false;
        QTest::newRow("store folder =")
            << QStringList{"--dir=/x/y"} << QStringList{} << "/x/y" << false << "" << false;
        QTest::newRow("name after --") << QStringList{"--", "-Dash", "Name"} << QStringList{"-Dash", "Name"}
                                       << "" << false << "-Dash Name" << false;
        QTest::newRow("unknown option")
            << QStringList{"--frobnicate"} << QStringList{} << "" << false << "" << true;
        QTest::newRow("dir without folder")
            << QStringList{"--dir"} << QStringList{} << "" << false << "" << true;
    }
    void parseCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, words);
        QFETCH(QString, storeDir);
        QFETCH(bool, minimized);
        QFETCH(QString, contact);
        QFETCH(bool, error);
        const qel::CommandLine line = qel::parseCommandLine(arguments);
        QCOMPARE(!line.error.isEmpty(), error);
        if (error)
            return;
        QCOMPARE(line.words, words);
        QCOMPARE(line.storeDir, storeDir);
        QCOMPARE(line.startMinimized(), minimized);
        QCOMPARE(line.contactJump(), !contact.isEmpty());
        QCOMPARE(line.contactName(), contact);
    }

    void jumpLetter_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::newRow("S") << "Mary Smith" << 19;
        QTest::newRow("lower-case") << "mary smith" << 19;
        QTest::newRow("A") << "Bob Adams" << 1;
        QTest::newRow("Z") << "Zoe Zimmer" << 26;
        QTest::newRow("one word") << "Cher" << 27;
        QTest::newRow("digit") << "Agent 007" << 27;
        QTest::newRow("accent") << "Anna Ängström" << 27;
        QTest::newRow("two blanks") << "Mary  Smith" << 19;
        QTest::newRow("second word counts") << "Mary Ann Smith" << 1;
    }
    void jumpLetter() {
        QFETCH(QString, name);
        QFETCH(int, code);
        QCOMPARE(qel::jumpLetterCode(name), code);
    }

    void contactJumpOpensThatContact_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("name");
        QTest::newRow("first and last name") << QStringList{"Mary Smith"} << "19"
                                             << "Mary Smith";
        QTest::newRow("split by the shell") << QStringList{"Mary", "Smith"} << "19"
                                            << "Mary Smith";
        QTest::newRow("one word") << QStringList{"Cher"} << "27"
                                  << "Cher";
    }
    void contactJumpOpensThatContact() {
        QFETCH(QStringList, words);
        QFETCH(QString, letter);
        QFETCH(QString, name);
        SaveSetting("Cache", "LetterCode", "4");
        SaveSetting("Cache", "ContactName", "Dora Dunn");
        Run run(storeDir(), words);
        QVERIFY(run.start());
        QCOMPARE(cache(QStringLiteral("LetterCode")), letter);
        QCOMPARE(cache(QStringLiteral("ContactName")), name);
        QCOMPARE(run.window()->mLetterCode, qint16(letter.toInt()));
        QCOMPARE(run.window()->mContactName, name);
        QVERIFY(!run.window()->isMinimized());
    }

    void autostartArgumentMinimizesAndKeepsPosition() {
        SaveSetting("Cache", "LetterCode", "4");
        SaveSetting("Cache", "ContactName", "Dora Dunn");
        const QByteArray before = apptest::settingsBytes();
        Run run(storeDir(), {QStringLiteral("m")});
        QVERIFY(run.start());
        QTRY_VERIFY(run.window()->isMinimized()); // once the window is on the screen
        QCOMPARE(run.window()->mLetterCode, qint16(4));
        QCOMPARE(run.window()->mContactName, QStringLiteral("Dora Dunn"));
        QCOMPARE(apptest::settingsBytes(), before);
    }

    void secondInstanceLeavesTheFirstOnesPosition() {
        // The first instance holds the lock (here: the test, as another process would).
        QLockFile first(qel::Program::defaultInstanceLockPath());
        first.setStaleLockTime(0);
        QVERIFY(first.tryLock(0));
        SaveSetting("Cache", "LetterCode", "12");
        SaveSetting("Cache", "ContactName", "Lena Lund");
        SaveSetting("Cache", "CurrentFolder", "Personal Folders\\Contacts");
        const QByteArray before = apptest::settingsBytes();
        const QString untouchedStore = mStores.filePath(QStringLiteral("never-made"));

        mSeams->dialogs.expectMessage(QStringLiteral("Another instance of Vantrel is running"));
        Run second(untouchedStore, {QStringLiteral("Other Person")});
        QVERIFY(!second.start());
        QVERIFY(second.program->isFinished());
        QVERIFY(!second.window());
        QCOMPARE(apptest::settingsBytes(), before);  // neither the jump nor ExitProgram wrote
        QVERIFY(!QFileInfo::exists(untouchedStore)); // it stopped before opening the store

        // Once the first instance has gone, a start goes through.
        first.unlock();
        Run next(storeDir());
        QVERIFY(next.start());
        QCOMPARE(next.window()->mLetterCode, qint16(12));
    }

    void oneProcessStaysOneInstanceAcrossLoads() {
        Run run(storeDir());
        QVERIFY(run.start());
        QVERIFY(run.program->claimInstance());
        // Another program object of the same process is another instance.
        Run other(storeDir());
        mSeams->dialogs.expectMessage(QStringLiteral("Another instance of Vantrel is running"));
        QVERIFY(!other.start());
        QVERIFY(run.window() && !run.window()->isUnloaded());
    }

    void storeThatCannotBeOpened_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder cannot be made") << "folder";
        QTest::newRow("store file damaged") << "file";
    }
    void storeThatCannotBeOpened() {
        QFETCH(QString, kind);
        QTemporaryDir scratch;
        QString dir;
        if (kind == QLatin1String("folder")) {
            QFile blocker(scratch.filePath(QStringLiteral("plain-file")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            dir = blocker.fileName() + QStringLiteral("/stores");
        } else {
            dir = scratch.filePath(QStringLiteral("stores"));
            QDir().mkpath(dir);
            QFile damaged(dir + QStringLiteral("/Personal Folders.store"));
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write(QByteArray(4096, 'x'));
        }
        SaveSetting("Cache", "LetterCode", "9");
        const QByteArray before = apptest::settingsBytes();
        mSeams->dialogs.expectMessage(
            QStringLiteral("Vantrel could not open its contact store in the folder"));
        Run run(dir);
        QVERIFY(!run.start());
        QVERIFY(run.program->isFinished());
        QCOMPARE(apptest::settingsBytes(), before);
        // The message says what was wrong beyond the request: the folder, the store's reason (for
        // a damaged file: the file), and what to do here; it sends nobody to install anything.
        const QString shown = mSeams->dialogs.texts().value(0);
        QVERIFY2(shown.size() > 75, qPrintable(shown));
        QVERIFY2(shown.contains(QDir::toNativeSeparators(dir)), qPrintable(shown));
        if (kind == QLatin1String("file"))
            QVERIFY2(shown.contains(QStringLiteral("Personal Folders.store")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("--dir")), qPrintable(shown));
        QVERIFY2(!shown.contains(QStringLiteral("install"), Qt::CaseInsensitive), qPrintable(shown));
        QVERIFY2(!shown.contains(QStringLiteral("Outlook")), qPrintable(shown));
    }

    void aBadStoreFileIsNamedOnceAndTheOthersOpen() {
        // A junk file beside the store: the program starts on the sound store, names the bad
        // file with its reason once (a reload does not tell it again) and leaves it as it was.
        SaveSetting("DebugMode", "DebugMode", "Yes");
        QTemporaryDir scratch;
        const QString dir = scratch.filePath(QStringLiteral("stores"));
        ol::Application::create(dir);
        const QString junk = dir + QStringLiteral("/Old Backup.store");
        {
            QFile f(junk);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        mSeams->dialogs.expectMessage(QStringLiteral("Old Backup.store: it is not a store file"));
        Run run(dir);
        QVERIFY(run.start());
        QVERIFY(run.window()->isVisible());
        QCOMPARE(mSeams->dialogs.prompts().size(), 1);
        QVERIFY(apptest::readDebugFile().contains(QStringLiteral(":Store file skipped: ") + junk));
        // The store's own version text passes the gate later steps apply to it.
        QVERIFY2(ol::versionNumber(run.window()->gOlApp->Version()) > 9,
                 qPrintable(run.window()->gOlApp->Version()));
        run.program->reload();
        QTRY_VERIFY(run.window() && run.window()->isVisible());
        QCOMPARE(mSeams->dialogs.prompts().size(), 1);
        QFile f(junk);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(4096, 'x'));
    }

    void safeItemsMissing_data() {
        QTest::addColumn<bool>("markerBefore");
        QTest::addColumn<bool>("available");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<bool>("runs");
        QTest::addColumn<bool>("markerAfter");

        QTest::newRow("first time, No") << false << false << int(MsgResult::No) << true << true;
        QTest::newRow("first time, Yes") << false << false << int(MsgResult::Yes) << false << false;
        QTest::newRow("marker present") << true << false << -1 << true << true;
        QTest::newRow("installed since") << true << true << -1 << true << false;
    }
    void safeItemsMissing() {
        QFETCH(bool, markerBefore);
        QFETCH(bool, available);
        QFETCH(int, answer);
        QFETCH(bool, runs);
        QFETCH(bool, markerAfter);
        const QString marker = apptest::programFile(QStringLiteral("NoRedemption.txt"));
        if (markerBefore) {
            QFile file(marker);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        if (answer >= 0) {
            mSeams->dialogs.expectQuestion(
                QStringLiteral("Redemption was not detected. You can download it from ") +
                    qel::Vantrel::kRedemptionSite,
                MsgResult(answer));
        }
        if (answer == int(MsgResult::Yes))
            mSeams->dialogs.expectMessage(QStringLiteral("You will be taken to the Redemption website."));

        Run run(storeDir());
        run.safeItems = available;
        QCOMPARE(run.start(), runs);
        QCOMPARE(QFile::exists(marker), markerAfter);
        if (answer >= 0) {
            const auto& asked = mSeams->dialogs.prompts().first();
            QCOMPARE(asked.title, QStringLiteral("Redemption Not Found"));
            QCOMPARE(asked.icon, qel::MsgIcon::Question);
            QCOMPARE(asked.buttons, qel::MsgButtons::YesNo);
        }
        if (!runs) {
            QCOMPARE(mSeams->shell.opened(), QStringList{qel::Vantrel::kRedemptionSite});
            return;
        }
        QVERIFY(mSeams->shell.opened().isEmpty());
        QCOMPARE(run.window()->gNoRedemption, markerAfter);
        QCOMPARE(!run.window()->cmdRedemption->isHidden(), markerAfter);
    }

    void redemptionButtonSendsToTheSiteAndEnds() {
        QFile marker(apptest::programFile(QStringLiteral("NoRedemption.txt")));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        Run run(storeDir());
        run.safeItems = false;
        QVERIFY(run.start());
        run.window()->mLetterCode = 8;
        mSeams->dialogs.expectMessage(QStringLiteral("Click on the Download link at the top"));
        QTest::mouseClick(run.window()->cmdRedemption, Qt::LeftButton);
        QCOMPARE(mSeams->shell.opened(), QStringList{qel::Vantrel::kRedemptionSite});
        QVERIFY(run.program->isFinished());
        QCOMPARE(cache(QStringLiteral("LetterCode")), QStringLiteral("8"));
    }

    void calendarPickLoop() {
        SaveSetting("DebugMode", "DebugMode", "Yes");
        SaveSetting("DataFolders", "CalendarRoot", "Nowhere");
        SaveSetting("DataFolders", "Calendar", "Calendar");
        auto& d = mSeams->dialogs;
        d.expectMessage(
            QStringLiteral("Outlook Folder Error: The Default Calendar folder could not be found.  "
                           "Please select one from the following folder tree."));
        d.expectMessage(QStringLiteral("Please select a calendar folder."));
        d.expectMessage(QStringLiteral("Please select a folder directly inside a top-level folder"));
        Run run(storeDir());
        run.storeUi->answers = {QStringLiteral("Personal Folders\\Contacts"),
                                QStringLiteral("Personal Folders\\Calendar\\Family"),
                                QStringLiteral("Archive\\Old Calendar")};
        QVERIFY(run.start());
        QCOMPARE(run.storeUi->calls, 3);
        qel::Vantrel* w = run.window();
        QCOMPARE(w->gOlCalendarFolder->path(), QStringLiteral("Archive\\Old Calendar"));
        QCOMPARE(w->gOlCalendarRootFolder->Name(), QStringLiteral("Archive"));
        QCOMPARE(w->gOlCalendarItems->Count(), 0);
        QCOMPARE(GetSetting("DataFolders", "CalendarRoot"), QStringLiteral("Archive"));
        QCOMPARE(GetSetting("DataFolders", "Calendar"), QStringLiteral("Old Calendar"));
        QCOMPARE(w->prefs()->txtCalendarRoot->text(), QStringLiteral("Archive"));
        QCOMPARE(w->prefs()->txtCalendar->text(), QStringLiteral("Old Calendar"));
        const QString log = apptest::readDebugFile();
        QVERIFY(log.contains(QStringLiteral("Vantrel:Calendar Folder Error")));
        QCOMPARE(log.count(QStringLiteral("Vantrel:User didnt select calendar folder")), 2);
        QVERIFY(log.contains(QStringLiteral("Vantrel:Setting calendar folders to:Archive @Old Calendar")));

        // The next start finds it without asking.
        QVERIFY(w->close());
        Run next(storeDir());
        QVERIFY(next.start());
        QCOMPARE(next.storeUi->calls, 0);
        QCOMPARE(next.window()->gOlCalendarFolder->path(), QStringLiteral("Archive\\Old Calendar"));
    }

    void calendarPickCancelledEnds() {
        SaveSetting("DebugMode", "DebugMode", "Yes");
        SaveSetting("DataFolders", "Calendar", "Kalender");
        auto& d = mSeams->dialogs;
        d.expectMessage(
            QStringLiteral("Outlook Folder Error: The Default Calendar folder could not be found."));
        d.expectMessage(QStringLiteral("Please select a calendar folder."));
        d.expectMessage(QStringLiteral("Vantrel requires a calendar folder to run. It must now exit."));
        Run run(storeDir());
        run.storeUi->answers = {QStringLiteral("Personal Folders\\Tasks"), QString()};
        QVERIFY(!run.start());
        QVERIFY(run.program->isFinished());
        QCOMPARE(GetSetting("DataFolders", "Calendar"), QStringLiteral("Kalender"));
        QVERIFY(apptest::readDebugFile().contains(QStringLiteral("Vantrel:User cancelled pickfolder")));
        // The position read before the calendar step is written back on the way out.
        QCOMPARE(cache(QStringLiteral("LetterCode")), QStringLiteral("1"));
    }

    void syncTimer_data() {
        QTest::addColumn<QString>("sync");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<bool>("armed");
        QTest::newRow("sync off") << "No"
                                  << "Timed"
                                  << "30" << false;
        QTest::newRow("timed") << "Yes"
                               << "Timed"
                               << "0" << true;
        QTest::newRow("interval 30") << "Yes"
                                     << "Interval"
                                     << "30" << true;
        QTest::newRow("interval 0: manual") << "Yes"
                                            << "Interval"
                                            << "0" << false;
    }
    void syncTimer() {
        QFETCH(QString, sync);
        QFETCH(QString, mode);
        QFETCH(QString, interval);
        QFETCH(bool, armed);
        SaveSetting("OutlookDataSync", "Sync", sync);
        SaveSetting("OutlookDataSync", "SyncFireMode", mode);
        SaveSetting("OutlookDataSync", "Interval", interval);
        Run run(storeDir());
        QVERIFY(run.start());
        QCOMPARE(run.window()->SyncTimer->isActive(), armed);
        QCOMPARE(run.window()->SyncTimer->interval(), 60000);
    }
};

QEL_TEST_MAIN(StartupTest)
#include "test_startup.moc"
