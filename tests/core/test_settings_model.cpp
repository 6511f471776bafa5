// The settings model: what it reads from a store as users have it, that what it saves reads back
// the same, and that the values kept for the run survive a reload from the store.

#include "core/Settings.h"
#include "core/SettingsModel.h"
#include "support/SettingsFixture.h"

#include <QSignalSpy>

using namespace qel;

class TestSettingsModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qeltest::freshSettings(QStringLiteral("model")); }
    void cleanupTestCase() { setSettingsFile(QString()); }

    void damagedValuesFallBackAndTypedTextsStayForOkToCheck() {
        SaveSetting(QStringLiteral("General"), QStringLiteral("HotKey"),
                    QStringLiteral("124")); // past the list
        SaveSetting(QStringLiteral("VOIP"), QStringLiteral("HotKey"),
                    QStringLiteral("2.0")); // a whole number
        SaveSetting(QStringLiteral("Misc"), QStringLiteral("EmailHotKey"), QStringLiteral("x"));
        SaveSetting(QStringLiteral("QELDays"), QStringLiteral("BirthdayColor"), QStringLiteral("11"));
        SaveSetting(QStringLiteral("QELDays"), QStringLiteral("CheckForQELDay"), QStringLiteral("no"));
        SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Interval"), QStringLiteral("abc"));
        SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Time"), QStringLiteral(" 07:15 AM "));
        SaveSetting(QStringLiteral("DataFolders"), QStringLiteral("Notes"), QStringLiteral("Archive"));
        SaveSetting(QStringLiteral("DataFolders"), QStringLiteral("NotesRoot"), QStringLiteral("Jottings"));
        SettingsModel m;
        m.load();
        QCOMPARE(m.restoreKey.key, 0);
        QCOMPARE(m.copy2CallKey.key, 2);
        QCOMPARE(m.emailKey.key, -1); // nothing chosen
        QCOMPARE(m.specialDayColours, (std::array<int, 3>{8, 9, 2}));
        QVERIFY(m.checkForQELDay); // only "No" turns it off
        QCOMPARE(m.interval, QStringLiteral("abc"));
        QCOMPARE(m.syncTime, QStringLiteral("07:15 AM"));
        // The crossed notes keys: "Notes" names the top-level folder.
        QCOMPARE(m.notesFolder, (FolderName{QStringLiteral("Archive"), QStringLiteral("Jottings")}));
        QCOMPARE(m.calendarFolder,
                 (FolderName{QStringLiteral("Personal Folders"), QStringLiteral("Calendar")}));
    }

    void whatIsSavedReadsBackTheSame() {
        SettingsModel m;
        m.load();
        m.confirmExit = true;
        m.restoreKey = {true, {false, true, true, false}, 17};
        m.emailKey = {true, {true, false, false, true}, 3};
        m.notesFolder = {QStringLiteral("Archive"), QStringLiteral("Jottings")};
        m.specialDayColours = {1, 0, 10};
        m.setDebugMode(true);
        m.sync = true;
        m.intervalSync = true;
        m.interval = QStringLiteral("45");
        m.master = true;
        m.syncData = {false, true, true, false};
        m.password = QStringLiteral("s3cret pass");
        m.useTLS = true;
        m.host = QStringLiteral(" ftp.example.org ");
        m.port = QStringLiteral("021");
        m.voipPassword = QStringLiteral("other one");
        m.filters.exportFilter[SyncFilters::Calendar] = QStringLiteral("[Start] > '01/01/2020'");
        m.filters.importFilter[SyncFilters::Notes] = QStringLiteral("[Subject] = 'O''Brien'");
        m.filters.dateRange = QStringLiteral("12");
        m.colourFilters[10] = QStringLiteral("[Location] = 'Here'");
        m.cellFields[18] = true;
        QCOMPARE(m.save(), QString());
        // The passwords are never on disk in plain text.
        const QByteArray bytes = qeltest::settingsBytes();
        QVERIFY(!bytes.contains("s3cret") && !bytes.contains("other one"));
        QCOMPARE(GetSetting(QStringLiteral("DataFolders"), QStringLiteral("Notes")),
                 QStringLiteral("Archive"));

        SettingsModel again;
        again.load();
        QCOMPARE(again.confirmExit, true);
        QCOMPARE(again.restoreKey, m.restoreKey);
        QCOMPARE(again.emailKey, m.emailKey);
        QCOMPARE(again.copy2CallKey, m.copy2CallKey);
        QCOMPARE(again.notesFolder, m.notesFolder);
        QCOMPARE(again.specialDayColours, m.specialDayColours);
        QVERIFY(again.debugMode());
        QVERIFY(again.sync && again.intervalSync && again.master);
        QCOMPARE(again.interval, QStringLiteral("45"));
        QCOMPARE(again.syncData, m.syncData);
        QCOMPARE(again.password, m.password);
        QCOMPARE(again.voipPassword, m.voipPassword);
        QCOMPARE(again.filters, m.filters);
        QCOMPARE(again.colourFilters, m.colourFilters);
        QCOMPARE(again.cellFields, m.cellFields);
        // The FTP server of the settings: the host trimmed, the port as a number, TLS on.
        FtpSettings server = again.ftpServer();
        QCOMPARE(server.host, QStringLiteral("ftp.example.org"));
        QCOMPARE(server.port, 21);
        QCOMPARE(server.password, m.password);
        QVERIFY(server.tls && !server.passive);
        again.port = QStringLiteral("70000"); // no port: the usual one
        QCOMPARE(again.ftpServer().port, 21);
        again.port = QStringLiteral("2121");
        again.useTLS = false;
        server = again.ftpServer();
        QVERIFY(server.port == 2121 && !server.tls);
    }

    void aReloadKeepsTheValuesOfTheRunAndTellsOfTheDebugMode() {
        SettingsModel m;
        QSignalSpy debug(&m, &SettingsModel::debugModeChanged);
        m.load();
        QCOMPARE(debug.count(), 0); // off before and after
        m.syncRetry = true;
        m.advancedTimeSelection = 5;
        m.setDebugMode(true); // switched on in the dialog, never saved
        m.load();
        QVERIFY(m.syncRetry);
        QCOMPARE(m.advancedTimeSelection, 5);
        QVERIFY(!m.debugMode());
        QCOMPARE(debug.count(), 2);
        QCOMPARE(debug.last().first().toBool(), false);
    }
};

QTEST_MAIN(TestSettingsModel)
#include "test_settings_model.moc"
