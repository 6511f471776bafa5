#include "core/Settings.h"
#include "core/SettingsCatalogue.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

using namespace qel;

class TestCatalogue : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    int mCount = 0;

private Q_SLOTS:
    void init() { setSettingsFile(mDir.filePath(QStringLiteral("store%1.ini").arg(++mCount))); }
    void cleanupTestCase() { setSettingsFile(QString()); }

    // A first run: what the preferences show on a store without any key.
    void aFreshStoreGivesTheDocumentedFallbacks() {
        QCOMPARE(settingValue(sections::OutlookDataSync, keys::SyncMode), QStringLiteral("Slave"));
        QCOMPARE(settingValue(sections::OutlookDataSync, keys::SyncFireMode), QStringLiteral("Timed"));
        QCOMPARE(settingValue(sections::OutlookDataSync, keys::Time), QStringLiteral("06:00 AM"));
        QCOMPARE(settingNumber(sections::OutlookDataSync, keys::Interval), 30);
        QCOMPARE(settingNumber(sections::OutlookDataSync, keys::Port), 21);
        QCOMPARE(settingNumber(sections::OutlookDataSync, keys::DateRange), 6);
        QVERIFY(settingFlag(sections::OutlookDataSync, keys::ContactSync));
        QVERIFY(!settingFlag(sections::OutlookDataSync, keys::CalendarSync));
        QVERIFY(!settingFlag(sections::OutlookDataSync, keys::TasksSync));
        QVERIFY(!settingFlag(sections::OutlookDataSync, keys::NotesSync));
        QVERIFY(!settingFlag(sections::OutlookDataSync, keys::Sync));
        QVERIFY(settingFlag(sections::QELDays, keys::CheckForQELDay));
        QVERIFY(settingFlag(sections::QELDays, keys::QELDayRemind));
        QCOMPARE(settingNumber(sections::QELDays, keys::BirthdayColor), 8);    // purple
        QCOMPARE(settingNumber(sections::QELDays, keys::AnniversaryColor), 9); // blue-grey
        QCOMPARE(settingNumber(sections::QELDays, keys::OtherColor), 2);       // blue
        QCOMPARE(settingNumber(sections::Misc, keys::FromAddressType), 0);     // Business Address
        QCOMPARE(settingNumber(sections::General, keys::WebEmail), 0);         // Gmail
        QCOMPARE(storedCalendarFolder(), (FolderName{"Personal Folders", "Calendar"}));
        QCOMPARE(storedTasksFolder(), (FolderName{"Personal Folders", "Tasks"}));
        QCOMPARE(storedNotesFolder(), (FolderName{"Personal Folders", "Notes"}));
        QCOMPARE(settingNumber(sections::Misc, keys::EmailHotKey), -1); // none chosen
        QCOMPARE(settingNumber(sections::SMS, keys::User), 3);          // User4
        QCOMPARE(settingNumber(sections::Cache, keys::LetterCode), 1);
        QCOMPARE(settingNumber(sections::Cache, keys::ContainerTab), 1);
        QCOMPARE(settingValue(sections::Cache, keys::ExtraInfo), QStringLiteral("Unchecked"));
        QCOMPARE(readPassword(sections::OutlookDataSync, keys::Olvex), QString());
        // Every other flag is off, every other text empty.
        for (const SettingSpec& spec : settingsCatalogue()) {
            if (spec.kind == SettingKind::FlagYes)
                QVERIFY2(!settingFlag(spec.section, spec.key), spec.key);
            if (spec.kind == SettingKind::FlagNotNo)
                QVERIFY2(settingFlag(spec.section, spec.key), spec.key);
        }
        QCOMPARE(settingValue(sections::Misc, keys::Me), QString());
        QCOMPARE(settingValue(sections::AppointmentColors, colorKey(10)), QString());
        QVERIFY(!QFileInfo::exists(settingsFile())); // reading wrote nothing
    }

    void theCatalogueIsComplete() {
        QSet<QString> names;
        QSet<QString> sectionNames;
        for (const SettingSpec& spec : settingsCatalogue()) {
            const QString name = QLatin1String(spec.section) + QLatin1Char('/') + QLatin1String(spec.key);
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);
            sectionNames.insert(QLatin1String(spec.section));
            if (spec.kind == SettingKind::Number && *spec.fallback) {
                // The fallback itself is a usable value.
                bool ok = false;
                const int fallback = QString::fromLatin1(spec.fallback).toInt(&ok);
                QVERIFY2(ok, qPrintable(name));
                QVERIFY2(spec.minimum == kNoLimit || fallback >= spec.minimum, qPrintable(name));
                QVERIFY2(spec.maximum == kNoLimit || fallback <= spec.maximum, qPrintable(name));
            }
        }
        QCOMPARE(sectionNames, QSet<QString>({"General", "DataFolders", "QELDays", "DebugMode",
                                              "OutlookDataSync", "AppointmentColors", "VOIP", "CellPhone",
                                              "Misc", "SMS", "Cache", "CardDAV"}));
        for (int i = 0; i < kColorCount; ++i)
            QVERIFY(findSetting(sections::AppointmentColors, colorKey(i)));
        for (int i = 0; i < kCellFieldCount; ++i)
            QCOMPARE(findSetting(sections::CellPhone, cellFieldKey(i))->kind, SettingKind::FlagYes);
        QCOMPARE(colorKey(10), QStringLiteral("Color10"));
        QCOMPARE(cellFieldKey(18), QStringLiteral("CellField18"));
        QVERIFY(!findSetting(sections::AppointmentColors, colorKey(11)));
        QVERIFY(!findSetting(sections::General, keys::Pardine));
        QCOMPARE(findSetting(sections::VOIP, keys::Pardine)->kind, SettingKind::Password);
        QCOMPARE(findSetting(sections::OutlookDataSync, keys::Olvex)->kind, SettingKind::Password);
        // The update check's download host: free text with an https fallback.
        QCOMPARE(findSetting(sections::Misc, keys::UpdateHost)->kind, SettingKind::Text);
        QVERIFY(QLatin1String(findSetting(sections::Misc, keys::UpdateHost)->fallback)
                    .startsWith(QLatin1String("https://")));
        QCOMPARE(findSetting(sections::QELDays, keys::QELDayCalendarFile)->kind, SettingKind::FlagYes);
        QCOMPARE(names.size(), 126);
    }

    void flagsTestedAgainstNoAreOnUnlessNo_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("ContactSync") << sections::OutlookDataSync << keys::ContactSync;
        QTest::newRow("CheckForQELDay") << sections::QELDays << keys::CheckForQELDay;
        QTest::newRow("QELDayRemind") << sections::QELDays << keys::QELDayRemind;
    }
    void flagsTestedAgainstNoAreOnUnlessNo() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QVERIFY(isNotNo(section, key) && settingFlag(section, key)); // missing
        SaveSetting(section, key, QStringLiteral("Yes"));
        QVERIFY(settingFlag(section, key));
        SaveSetting(section, key, QStringLiteral("no")); // only the exact word turns it off
        QVERIFY(settingFlag(section, key));
        saveFlag(section, key, false);
        QCOMPARE(GetSetting(section, key), QStringLiteral("No"));
        QVERIFY(!settingFlag(section, key));
        QVERIFY(!isYes(section, key));
        QCOMPARE(settingValue(section, key), QStringLiteral("No"));
    }

    void flagsTestedAgainstYesAreOffUnlessYes() {
        const QString section = sections::DebugMode;
        const QString key = keys::DebugMode;
        QVERIFY(!isYes(section, key));
        QCOMPARE(settingValue(section, key), QStringLiteral("No"));
        for (const char* word : {"yes", "True", "1", "Checked", ""}) {
            SaveSetting(section, key, QString::fromLatin1(word));
            QVERIFY2(!settingFlag(section, key), word);
            QVERIFY2(isNotNo(section, key), word);
        }
        saveFlag(section, key, true);
        QCOMPARE(GetSetting(section, key), QStringLiteral("Yes"));
        QVERIFY(settingFlag(section, key));
    }

    void numbersOutsideTheirRangeOrNotNumbersTakeTheFallback_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("port in range") << sections::OutlookDataSync << keys::Port << "2121" << 2121;
        QTest::newRow("port 0") << sections::OutlookDataSync << keys::Port << "0" << 21;
        QTest::newRow("port too big") << sections::OutlookDataSync << keys::Port << "65536" << 21;
        QTest::newRow("port text") << sections::OutlookDataSync << keys::Port << "ftp" << 21;
        QTest::newRow("interval 0 (by hand only)") << sections::OutlookDataSync << keys::Interval << "0" << 0;
        QTest::newRow("interval at most four weeks")
            << sections::OutlookDataSync << keys::Interval << "40321" << 30;
        QTest::newRow("interval with blanks") << sections::OutlookDataSync << keys::Interval << " 45 " << 45;
        QTest::newRow("colour 10") << sections::QELDays << keys::BirthdayColor << "10" << 10;
        QTest::newRow("colour 11") << sections::QELDays << keys::BirthdayColor << "11" << 8;
        QTest::newRow("colour 0 (none)") << sections::QELDays << keys::OtherColor << "0" << 0;
        QTest::newRow("letter 0 is A") << sections::Cache << keys::LetterCode << "0" << 1;
        QTest::newRow("letter MISC") << sections::Cache << keys::LetterCode << "27" << 27;
        QTest::newRow("letter 28") << sections::Cache << keys::LetterCode << "28" << 1;
        QTest::newRow("tab 0 is the first") << sections::Cache << keys::ContainerTab << "0" << 1;
        QTest::newRow("tab 4") << sections::Cache << keys::ContainerTab << "4" << 4;
        QTest::newRow("e-mail hot key chosen") << sections::Misc << keys::EmailHotKey << "5" << 5;
        QTest::newRow("sms field") << sections::SMS << keys::User << "4" << 3;
    }
    void numbersOutsideTheirRangeOrNotNumbersTakeTheFallback() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(int, expected);
        SaveSetting(section, key, stored);
        QCOMPARE(settingNumber(section, key), expected);
    }

    void textKeysTakeTheFallbackOnlyWhenEmpty() {
        SaveSetting(sections::DataFolders, keys::CalendarRoot, QStringLiteral("Archive"));
        SaveSetting(sections::DataFolders, keys::Calendar, QString());
        QCOMPARE(storedCalendarFolder(), (FolderName{"Archive", "Calendar"}));
        SaveSetting(sections::OutlookDataSync, keys::SyncMode, QStringLiteral("Master"));
        QCOMPARE(settingValue(sections::OutlookDataSync, keys::SyncMode), QStringLiteral("Master"));
        // Outside the catalogue: as stored.
        SaveSetting(QStringLiteral("Other"), QStringLiteral("Key"), QStringLiteral(" x "));
        QCOMPARE(settingValue(QStringLiteral("Other"), QStringLiteral("Key")), QStringLiteral(" x "));
    }

    void theNotesKeysAreCrossedBothWays() {
        saveNotesFolder({QStringLiteral("Personal Folders"), QStringLiteral("Notes")});
        QCOMPARE(GetSetting(sections::DataFolders, keys::Notes), QStringLiteral("Personal Folders"));
        QCOMPARE(GetSetting(sections::DataFolders, keys::NotesRoot), QStringLiteral("Notes"));

        SaveSetting(sections::DataFolders, keys::Notes, QStringLiteral("Archive"));
        SaveSetting(sections::DataFolders, keys::NotesRoot, QStringLiteral("Old Notes"));
        QCOMPARE(storedNotesFolder(), (FolderName{"Archive", "Old Notes"}));

        // The other folders are not crossed.
        saveTasksFolder({QStringLiteral("Mailbox"), QStringLiteral("To Do")});
        QCOMPARE(GetSetting(sections::DataFolders, keys::TasksRoot), QStringLiteral("Mailbox"));
        QCOMPARE(GetSetting(sections::DataFolders, keys::Tasks), QStringLiteral("To Do"));
        saveCalendarFolder({QStringLiteral("Mailbox"), QStringLiteral("Diary")});
        QCOMPARE(storedCalendarFolder(), (FolderName{"Mailbox", "Diary"}));
    }

    void passwordsAreStoredScrambled() {
        savePassword(sections::OutlookDataSync, keys::Olvex, QStringLiteral("abc"));
        QCOMPARE(GetSetting(sections::OutlookDataSync, keys::Olvex), QStringLiteral("klm"));
        QCOMPARE(readPassword(sections::OutlookDataSync, keys::Olvex), QStringLiteral("abc"));
        QCOMPARE(settingValue(sections::OutlookDataSync, keys::Olvex), QStringLiteral("abc"));

        // Through the file: characters that the shift turns into a byte-order mark, blanks, line breaks,
        // "=" or quotes.
        const char32_t raw[] = U"\xFEF5\0\x03\x16\x18\x33 \"x\", ÿö 密 \U0001F600";
        const QString awkward = QString::fromUcs4(raw, std::size(raw) - 1);
        savePassword(sections::VOIP, keys::Pardine, awkward);
        QCOMPARE(readPassword(sections::VOIP, keys::Pardine), awkward);
        const QString copy = mDir.filePath(QStringLiteral("copy%1.ini").arg(mCount)); // read afresh
        QVERIFY(QFile::copy(settingsFile(), copy));
        setSettingsFile(copy);
        QCOMPARE(readPassword(sections::VOIP, keys::Pardine), awkward);
        QCOMPARE(readPassword(sections::OutlookDataSync, keys::Olvex), QStringLiteral("abc"));
        savePassword(sections::VOIP, keys::Pardine, QString());
        QCOMPARE(GetSetting(sections::VOIP, keys::Pardine), QString());
    }
};

QEL_TEST_MAIN(TestCatalogue)
#include "test_catalogue.moc"
