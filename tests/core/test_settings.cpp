#include "core/Settings.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    int mCount = 0;

    // A settings file no other test has used (QSettings caches files by name within a process).
    QString freshFile() { return mDir.filePath(QStringLiteral("s%1/QEL.ini").arg(++mCount)); }

private Q_SLOTS:
    void cleanup() { qel::setSettingsFile(QString()); }

    void theDefaultStoreIsThePerUserQelIniFile() {
        const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/QEL/QEL.ini");
        QCOMPARE(qel::settingsFile(), expected);
        // A first run: nothing stored, every read is "", and reading creates nothing.
        QCOMPARE(qel::GetSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode")), QString());
        QCOMPARE(qel::GetSetting(QStringLiteral("NoSuchSection"), QStringLiteral("NoSuchKey")), QString());
        QVERIFY(!QFileInfo::exists(expected));

        qel::SaveSetting(QStringLiteral("General"), QStringLiteral("ConfirmExit"), QStringLiteral("Yes"));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("27"));
        QVERIFY(QFileInfo::exists(expected));
        QCOMPARE(qel::settingsProblem(), QString());
        // Sections and keys appear in the file under their own names.
        const QByteArray text = readAll(expected);
        QVERIFY2(text.contains("[General]\nConfirmExit=Yes\n"), text.constData());
        QVERIFY2(text.contains("[Cache]\nLetterCode=27\n"), text.constData());
        QCOMPARE(qel::GetSetting(QStringLiteral("General"), QStringLiteral("ConfirmExit")),
                 QStringLiteral("Yes"));
    }

    void namesAreExactAndSectionsKeepTheirOwnKeys() {
        qel::setSettingsFile(freshFile());
        qel::SaveSetting(QStringLiteral("General"), QStringLiteral("HotKey"), QStringLiteral("3"));
        qel::SaveSetting(QStringLiteral("VOIP"), QStringLiteral("HotKey"), QStringLiteral("7"));
        qel::SaveSetting(QStringLiteral("VOIP"), QStringLiteral("HotKey"), QStringLiteral("8")); // overwrites
        QCOMPARE(qel::GetSetting(QStringLiteral("General"), QStringLiteral("HotKey")), QStringLiteral("3"));
        QCOMPARE(qel::GetSetting(QStringLiteral("VOIP"), QStringLiteral("HotKey")), QStringLiteral("8"));
        QCOMPARE(qel::GetSetting(QStringLiteral("voip"), QStringLiteral("HotKey")), QString());
        QCOMPARE(qel::GetSetting(QStringLiteral("VOIP"), QStringLiteral("hotkey")), QString());
        QCOMPARE(qel::GetSetting(QStringLiteral("Misc"), QStringLiteral("HotKey")), QString());
    }

    void awkwardValuesRoundTrip_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("comma and blank") << "a, b";
        QTest::newRow("comma") << "a,b";
        QTest::newRow("lone comma") << ",";
        QTest::newRow("ini punctuation") << "x=1; y=2 # not a comment [General]";
        QTest::newRow("filter") << "[Categories] = 'Friends, Family' AND [LastName] <> ''";
        QTest::newRow("quotes") << "\"quoted\" and 'single'";
        QTest::newRow("leading and trailing blanks") << "   padded\t ";
        QTest::newRow("only blanks") << "   ";
        QTest::newRow("line breaks") << "line 1\nline 2\r\nline 3\r";
        QTest::newRow("backslashes") << "Personal Folders\\Contacts\\";
        QTest::newRow("at sign") << "@String(looks like a type)";
        QTest::newRow("percent") << "100% %20 %U0041";
        QTest::newRow("non-Latin") << "Ωμέγα Привет 日本語 עברית";
        QTest::newRow("beyond the BMP") << "\U0001F600 \U00010348";
        QTest::newRow("byte-order mark first") << QString(QChar(0xFEFF)) + QStringLiteral("abc");
        QTest::newRow("byte-order mark after a quote")
            << QStringLiteral("\"") + QChar(0xFEFF) + QStringLiteral(", a");
        QTest::newRow("control characters") << QString::fromUtf8("\x01\x02\x1b end");
        QTest::newRow("empty") << "";
        QTest::newRow("long") << QString(20000, QLatin1Char('x')) + QStringLiteral(", y");
    }
    void awkwardValuesRoundTrip() {
        QFETCH(QString, value);
        const QString path = freshFile();
        qel::setSettingsFile(path);
        qel::SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("SQLConE"), value);
        qel::SaveSetting(QStringLiteral("General"), QStringLiteral("Other"), value);
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("SQLConE")), value);
        // And from the file itself, read afresh under another name.
        const QString copy = freshFile();
        QDir().mkpath(QFileInfo(copy).path());
        QVERIFY(QFile::copy(path, copy));
        qel::setSettingsFile(copy);
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("SQLConE")), value);
        QCOMPARE(qel::GetSetting(QStringLiteral("General"), QStringLiteral("Other")), value);
    }

    void handWrittenValuesReadAsTyped() {
        const QString path = freshFile();
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, "; written by hand\n"
                        "[General]\n"
                        "ConfirmExit=Yes\n"
                        "[OutlookDataSync]\n"
                        "Host = ftp.example.com, backup.example.com\n"
                        "User=a,b ,  c\n"
                        "SQLConE=\"[Categories] = 'A, B'\"\n"
                        "Time=06:00 AM\n");
        qel::setSettingsFile(path);
        QCOMPARE(qel::GetSetting(QStringLiteral("General"), QStringLiteral("ConfirmExit")),
                 QStringLiteral("Yes"));
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Host")),
                 QStringLiteral("ftp.example.com, backup.example.com"));
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("User")),
                 QStringLiteral("a,b ,  c"));
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("SQLConE")),
                 QStringLiteral("[Categories] = 'A, B'"));
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Time")),
                 QStringLiteral("06:00 AM"));

        // Writing another key rewrites the file; the hand-typed values stay as they were typed.
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("2"));
        QCOMPARE(qel::settingsProblem(), QString());
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".damaged")));
        const QString copy = freshFile();
        QDir().mkpath(QFileInfo(copy).path());
        QVERIFY(QFile::copy(path, copy));
        qel::setSettingsFile(copy);
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("User")),
                 QStringLiteral("a,b ,  c"));
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Host")),
                 QStringLiteral("ftp.example.com, backup.example.com"));
        QCOMPARE(qel::GetSetting(QStringLiteral("General"), QStringLiteral("ConfirmExit")),
                 QStringLiteral("Yes"));
    }

    void aGarbageFileReadsEmptyAndIsKeptBeforeItIsRewritten() {
        const QString path = freshFile();
        QDir().mkpath(QFileInfo(path).path());
        QByteArray junk("[Cache]\nLetterCode=5\n");
        QRandomGenerator random(42);
        for (int i = 0; i < 4096; ++i)
            junk.append(static_cast<char>(random.bounded(256)));
        writeFile(path, junk);
        qel::setSettingsFile(path);

        QCOMPARE(qel::GetSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode")), QStringLiteral("5"));
        QCOMPARE(qel::GetSetting(QStringLiteral("General"), QStringLiteral("ConfirmExit")), QString());
        QCOMPARE(qel::GetSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Host")), QString());

        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("ContactName"), QStringLiteral("Ann Lee"));
        QVERIFY(qel::settingsProblem().contains(QStringLiteral("could not be read in full")));
        QCOMPARE(readAll(path + QStringLiteral(".damaged")), junk); // the original, byte for byte
        QCOMPARE(qel::GetSetting(QStringLiteral("Cache"), QStringLiteral("ContactName")),
                 QStringLiteral("Ann Lee"));
        QCOMPARE(qel::GetSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode")), QStringLiteral("5"));

        // The rewritten file is sound again: no second copy, no problem.
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("6"));
        QCOMPARE(qel::settingsProblem(), QString());
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".damaged.1")));
    }

    void textThatIsNotUtf8CountsAsDamaged() {
        const QString path = freshFile();
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, "[Misc]\nMe=Zo\xeb\n"); // Latin-1, not UTF-8
        qel::setSettingsFile(path);
        QVERIFY(
            qel::GetSetting(QStringLiteral("Misc"), QStringLiteral("Me")).startsWith(QStringLiteral("Zo")));
        qel::SaveSetting(QStringLiteral("Misc"), QStringLiteral("Release"), QStringLiteral("No"));
        QVERIFY(QFileInfo::exists(path + QStringLiteral(".damaged")));
    }

    void anUnreadableStoreReadsEmptyAndReportsFailedWrites() {
        const QString path = freshFile();
        QVERIFY(QDir().mkpath(path)); // a folder where the file should be
        qel::setSettingsFile(path);
        QCOMPARE(qel::GetSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode")), QString());
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("3"));
        QVERIFY(qel::settingsProblem().contains(QStringLiteral("could not be written")));
        QVERIFY(QFileInfo(path).isDir());
        {
            qel::SettingsBatch batch;
            qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("4"));
        }
        QVERIFY(qel::settingsProblem().contains(QStringLiteral("could not be written")));
    }

    // The file holds the scrambled passwords: it is the owner's alone from its first byte on,
    // whoever made it and however it is written.
    void theFileIsReadableByItsOwnerOnly() {
        constexpr QFileDevice::Permissions ownerRW = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                    QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                    QFileDevice::WriteOther | QFileDevice::ExeOther;
        const auto mode = [](const QString& path) {
            return QFile::permissions(path) &
                   (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | others);
        };
        const QString path = freshFile();
        qel::setSettingsFile(path);
        qel::SaveSetting(QStringLiteral("VOIP"), QStringLiteral("Password"), QStringLiteral("zk}|"));
        QCOMPARE(mode(path), ownerRW);
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("3"));
        QCOMPARE(mode(path), ownerRW);

        // A file made readable by everyone (by hand, or by an older version) is closed again on the
        // next write, of one value or of a batch.
        QVERIFY(QFile::setPermissions(path, ownerRW | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("4"));
        QCOMPARE(mode(path), ownerRW);
        QVERIFY(QFile::setPermissions(path, ownerRW | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        {
            qel::SettingsBatch batch;
            qel::SaveSetting(QStringLiteral("OutlookDataSync"), QStringLiteral("Password"),
                             QStringLiteral("zk}|"));
        }
        QCOMPARE(mode(path), ownerRW);
        QCOMPARE(qel::GetSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode")), QStringLiteral("4"));

        // A file that existed as 0644 before the first write of this program.
        const QString old = freshFile();
        QDir().mkpath(QFileInfo(old).path());
        writeFile(old, "[Cache]\nLetterCode=7\n");
        QVERIFY(QFile::setPermissions(old, ownerRW | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        qel::setSettingsFile(old);
        qel::SaveSetting(QStringLiteral("VOIP"), QStringLiteral("Password"), QStringLiteral("zk}|"));
        QCOMPARE(mode(old), ownerRW);
        QCOMPARE(qel::GetSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode")), QStringLiteral("7"));

        // A damaged file's copy holds the passwords as well.
        const QString damaged = freshFile();
        QDir().mkpath(QFileInfo(damaged).path());
        writeFile(damaged, QByteArray("[VOIP]\nPassword=zk}|\n") + QByteArray(1, '\0') + "garbage");
        QVERIFY(QFile::setPermissions(damaged, ownerRW | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        qel::setSettingsFile(damaged);
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("1"));
        QVERIFY(QFileInfo::exists(damaged + QStringLiteral(".damaged")));
        QCOMPARE(mode(damaged + QStringLiteral(".damaged")), ownerRW);
        QCOMPARE(mode(damaged), ownerRW);
    }

    void aBatchWritesTheFileOnceWhenItEnds() {
        const QString path = freshFile();
        qel::setSettingsFile(path);
        qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("1"));
        const QByteArray before = readAll(path);
        {
            qel::SettingsBatch outer;
            {
                qel::SettingsBatch inner;
                qel::SaveSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode"), QStringLiteral("12"));
                qel::SaveSetting(QStringLiteral("General"), QStringLiteral("ConfirmExit"),
                                 QStringLiteral("Yes"));
            }
            // Pending values are read back, but nothing reached the file before the outer batch ends.
            QCOMPARE(qel::GetSetting(QStringLiteral("Cache"), QStringLiteral("LetterCode")),
                     QStringLiteral("12"));
            QCOMPARE(readAll(path), before);
        }
        QVERIFY(qel::settingsProblem().isEmpty());
        const QByteArray after = readAll(path);
        QVERIFY(after.contains("LetterCode=12"));
        QVERIFY(after.contains("[General]"));
        QVERIFY(after.contains("ConfirmExit=Yes"));
    }
};

QEL_TEST_MAIN(TestSettings)
#include "test_settings.moc"
