#include "core/DebugLog.h"
#include "platform/ProgramFolder.h"
#include "support/DebugCarrierDouble.h"
#include "support/SeamScope.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

QByteArray debugBytes() {
    QFile file(qel::debugFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeDebugFile(const QByteArray& bytes) {
    QFile file(qel::debugFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void writeDebugFileOfSize(qint64 size) {
    QFile file(qel::debugFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(file.resize(size));
}

} // namespace

class TestDebugLog : public QObject {
    Q_OBJECT

    std::unique_ptr<qeltest::SeamScope> mSeams;

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() {
        QFile::remove(qel::debugFilePath());
        mSeams = std::make_unique<qeltest::SeamScope>();
        mSeams->clock.setNow(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    }
    void cleanup() { mSeams.reset(); }

    void theDateTimeIsShortDateAndLongTime() {
        QCOMPARE(qel::debugDateTime(), QStringLiteral("3/5/24 2:07:09 PM"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(qel::debugDateTime(), QStringLiteral("05.03.24 14:07:09"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void messagesAreAppendedWithABlankLineBetweenThem() {
        qeltest::DebugCarrierDouble carrier;
        QVERIFY(qel::debugOn());
        qel::LogDebug(QStringLiteral("Vantrel"), QStringLiteral(":Program loading..."), true);
        qel::LogDebug(QStringLiteral("frmPrefs"), QStringLiteral(":Reading Cache"));
        QCOMPARE(carrier.texts(), QStringList({"Vantrel:Program loading...3/5/24 2:07:09 PM\r\n",
                                               "frmPrefs:Reading Cache\r\n"}));
        QCOMPARE(debugBytes(), QByteArray("Vantrel:Program loading...3/5/24 2:07:09 PM\r\n\r\n"
                                          "frmPrefs:Reading Cache\r\n\r\n"));
    }

    void framingLinesWithoutAWindowReachTheFileTheSameWay() {
        writeDebugFile("earlier\r\n\r\n");
        qel::appendDebugText(QStringLiteral("____________________________\r\nDebugging Started: ") +
                             qel::debugDateTime() + QStringLiteral("\r\n"));
        QCOMPARE(debugBytes(), QByteArray("earlier\r\n\r\n____________________________\r\n"
                                          "Debugging Started: 3/5/24 2:07:09 PM\r\n\r\n"));
    }

    void textOutsideLatin1IsWrittenAsQuestionMarks() {
        qeltest::DebugCarrierDouble carrier;
        qel::LogDebug(QStringLiteral("Vantrel"), QStringLiteral(":Zoë Ωμέγα \U0001F600!"));
        QCOMPARE(debugBytes(), QByteArray("Vantrel:Zo\xeb ????? ?!\r\n\r\n"));
    }

    void withDebuggingOffTheFileIsNeitherCreatedNorChanged() {
        {
            qeltest::DebugCarrierDouble carrier(false);
            QVERIFY(!qel::debugOn());
            qel::LogDebug(QStringLiteral("Vantrel"), QStringLiteral(":Reading Cache"), true);
            QVERIFY(carrier.texts().isEmpty());
        }
        QVERIFY(!qel::debugCarrier()); // none registered: off as well
        qel::LogDebug(QStringLiteral("Vantrel"), QStringLiteral(":Reading Cache"));
        QVERIFY(!QFileInfo::exists(qel::debugFilePath()));

        writeDebugFile("kept\r\n\r\n");
        const QDateTime written = QFileInfo(qel::debugFilePath()).lastModified();
        qeltest::DebugCarrierDouble carrier(false);
        qel::LogDebug(QStringLiteral("Vantrel"), QStringLiteral(":Loading contacts"));
        QCOMPARE(debugBytes(), QByteArray("kept\r\n\r\n"));
        QCOMPARE(QFileInfo(qel::debugFilePath()).lastModified(), written);
    }

    void theStartUpBoundTruncatesAtTwoMegabytes() {
        writeDebugFileOfSize(2097152);
        qel::boundDebugFile(); // whether or not debugging is on: no carrier here
        QCOMPARE(debugBytes(), QByteArray("Maximum file size reached (2 MB).3/5/24 2:07:09 PM\r\n\r\n"));

        writeDebugFileOfSize(2097151);
        qel::boundDebugFile();
        QCOMPARE(QFileInfo(qel::debugFilePath()).size(), qint64(2097151));

        writeDebugFileOfSize(3000000);
        qel::boundDebugFile();
        QVERIFY(debugBytes().startsWith("Maximum file size reached (2 MB)."));

        QFile::remove(qel::debugFilePath());
        qel::boundDebugFile();
        QVERIFY(!QFileInfo::exists(qel::debugFilePath()));
    }

    void openDebugFileOpensItOrSaysThereIsNone() {
        mSeams->dialogs.expectMessage(QStringLiteral(
            "There is no debug file. Turn on debugging mode in Preferences if you are having trouble."));
        QVERIFY(!qel::openDebugFile());
        QVERIFY(mSeams->shell.opened().isEmpty());
        QVERIFY(mSeams->dialogs.verify());

        writeDebugFile("x\r\n\r\n");
        QVERIFY(qel::openDebugFile());
        QCOMPARE(mSeams->shell.opened(), QStringList{qel::programFile(QStringLiteral("Debug.txt"))});
        QCOMPARE(mSeams->dialogs.prompts().size(), 1); // no new prompt

        // Deleted by hand in the meantime.
        QFile::remove(qel::debugFilePath());
        mSeams->dialogs.expectMessage(QStringLiteral("There is no debug file."));
        QVERIFY(!qel::openDebugFile());
        QCOMPARE(mSeams->shell.opened().size(), 1);
    }

    void aDebugFileTheDesktopCannotOpenIsReported() {
        writeDebugFile("x\r\n\r\n");
        mSeams->shell.setResult(false);
        mSeams->dialogs.expectMessage(QStringLiteral("could not be opened"));
        QVERIFY(!qel::openDebugFile());
        QCOMPARE(mSeams->dialogs.prompts().first().icon, qel::MsgIcon::Exclamation);
    }

    void theComputerNameIsTheHostName() {
        const QString name = qel::ComputerName();
        QVERIFY(name.size() <= 255);
        QVERIFY(!name.contains(QChar(0)));
        QVERIFY(QSysInfo::machineHostName().startsWith(name));
    }
};

QEL_TEST_MAIN(TestDebugLog)
#include "test_debuglog.moc"
