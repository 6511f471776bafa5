// The filter editor's months rules and the number parsing behind them.

#include "core/NumberText.h"
#include "exchange/frmFilter.h"
#include "support/SeamScope.h"
#include "support/TestEnvironment.h"

#include <QLineEdit>
#include <QPushButton>
#include <cmath>

using qel::frmFilter;

class FilterEditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numbersAsTyped_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "21" << true << 21.0;
        QTest::newRow("leading zero") << "021" << true << 21.0;
        QTest::newRow("blanks and sign") << "  +7 " << true << 7.0;
        QTest::newRow("negative") << "-2" << true << -2.0;
        QTest::newRow("decimal") << "2.5" << true << 2.5;
        QTest::newRow("bare fraction") << ".5" << true << 0.5;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("word") << "abc" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << 0.0;
        QTest::newRow("inner blank") << "1 2" << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
    }
    void numbersAsTyped() {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const auto parsed = qel::numberValue(text);
        QCOMPARE(parsed.has_value(), numeric);
        if (numeric)
            QCOMPARE(*parsed, value);
    }

    void hugeNumbersAreInfiniteNotRefusedAsText() {
        const auto huge = qel::numberValue(QStringLiteral("1e999"));
        QVERIFY(huge.has_value());
        QVERIFY(std::isinf(*huge) && *huge > 0);
        const auto negative = qel::numberValue(QStringLiteral("-1e999"));
        QVERIFY(negative && std::isinf(*negative) && *negative < 0);
        QCOMPARE(*qel::numberValue(QStringLiteral("1e-999")), 0.0);
    }

    void wholeNumbers() {
        QCOMPARE(*qel::wholeNumberValue(QStringLiteral("021")), 21.0);
        QCOMPARE(*qel::wholeNumberValue(QStringLiteral("21.0")), 21.0);
        QVERIFY(!qel::wholeNumberValue(QStringLiteral("21.5")));
        QVERIFY(!qel::wholeNumberValue(QStringLiteral("x")));
    }

    void roundingIsHalfToEven() {
        QCOMPARE(qel::roundHalfEven(2.5), 2.0);
        QCOMPARE(qel::roundHalfEven(3.5), 4.0);
        QCOMPARE(qel::roundHalfEven(2.6), 3.0);
        QCOMPARE(qel::roundHalfEven(-2.5), -2.0);
        QCOMPARE(qel::roundHalfEven(-0.4), 0.0);
        QCOMPARE(qel::roundHalfEven(0.5), 0.0);
        QCOMPARE(qel::roundHalfEven(1.5), 2.0);
    }

    void acceptedMonths_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("months");
        QTest::newRow("2.6 rounds up") << "2.6" << 3;
        QTest::newRow("2.5 rounds to even") << "2.5" << 2;
        QTest::newRow("3.5 rounds to even") << "3.5" << 4;
        QTest::newRow("negative taken as positive") << "-2" << 2;
        QTest::newRow("plain") << "12" << 12;
        QTest::newRow("blanks") << " 6 " << 6;
    }
    void acceptedMonths() {
        QFETCH(QString, typed);
        QFETCH(int, months);
        qeltest::SeamScope seams;
        frmFilter filter;
        filter.txtDateRange->setText(typed);
        QTest::mouseClick(filter.cmdOk, Qt::LeftButton);
        QCOMPARE(filter.result(), int(QDialog::Accepted));
        QCOMPARE(filter.months(), months);
        QCOMPARE(filter.txtDateRange->text(), QString::number(months));
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    // The model's filters fill the boxes; what the user edits comes back with the months as OK
    // left them.
    void filtersOfTheSettingsModel() {
        qeltest::SeamScope seams;
        qel::SyncFilters given;
        given.exportFilter = {QStringLiteral("[A] = '1'"), QStringLiteral("[B] = '2'"),
                              QStringLiteral("[C] = '3'"), QStringLiteral("[D] = '4'")};
        given.importFilter = {QStringLiteral("[E] = '5'"), QStringLiteral("[F] = '6'"),
                              QStringLiteral("[G] = '7'"), QStringLiteral("[H] = '8'")};
        given.dateRange = QStringLiteral("-2.6");
        frmFilter filter;
        filter.loadFilters(given);
        QCOMPARE(filter.txtImportTasksSQL->text(), QStringLiteral("[G] = '7'"));
        filter.txtImportNotesSQL->setText(QStringLiteral("[Subject] = 'x'"));
        QTest::mouseClick(filter.cmdOk, Qt::LeftButton);
        QCOMPARE(filter.result(), int(QDialog::Accepted));
        qel::SyncFilters expected = given;
        expected.importFilter[qel::SyncFilters::Notes] = QStringLiteral("[Subject] = 'x'");
        expected.dateRange = QStringLiteral("3");
        QVERIFY(filter.filters() == expected);
    }

    void refusedMonths_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString notNumber = QStringLiteral("Please enter a valid integer for number of months");
        const QString zero = QStringLiteral("Number of months cannot be zero!  Please enter 1 or more.");
        QTest::newRow("0.4 is zero") << "0.4" << zero;
        QTest::newRow("-0.5 is zero") << "-0.5" << zero;
        QTest::newRow("0") << "0" << zero;
        QTest::newRow("text") << "six" << notNumber;
        QTest::newRow("empty") << "" << notNumber;
        QTest::newRow("beyond any calendar") << "1e12" << notNumber;
    }
    void refusedMonths() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        qeltest::SeamScope seams;
        seams.dialogs.expectMessage(message);
        frmFilter filter;
        filter.txtDateRange->setText(typed);
        filter.txtExportContactSQL->setText(QStringLiteral("[Categories] = 'Work'"));
        filter.show();
        QTest::mouseClick(filter.cmdOk, Qt::LeftButton);
        QVERIFY(filter.isVisible()); // the dialog stays open for a correction
        QCOMPARE(filter.result(), int(QDialog::Rejected));
        QCOMPARE(filter.txtDateRange->text(), typed);
        QCOMPARE(seams.dialogs.prompts().size(), 1);
        QCOMPARE(seams.dialogs.prompts().first().text, message);
    }

    void cancelClosesWithoutAcceptingAnything() {
        qeltest::SeamScope seams;
        frmFilter filter;
        filter.txtDateRange->setText(QStringLiteral("abc"));
        filter.show();
        QTest::mouseClick(filter.cmdCancel, Qt::LeftButton);
        QVERIFY(!filter.isVisible());
        QCOMPARE(filter.result(), int(QDialog::Rejected));
        QVERIFY(seams.dialogs.prompts().isEmpty()); // no validation on cancel
    }

    void controlsCarryTheirNames() {
        frmFilter filter;
        for (const char* name : {"txtExportContactSQL", "txtExportCalendarSQL", "txtExportTasksSQL",
                                 "txtExportNotesSQL", "txtImportContactSQL", "txtImportCalendarSQL",
                                 "txtImportTasksSQL", "txtImportNotesSQL", "txtDateRange"})
            QVERIFY2(filter.findChild<QLineEdit*>(QLatin1String(name)), name);
        QCOMPARE(filter.findChild<QPushButton*>(QStringLiteral("cmdOk")), filter.cmdOk);
        QCOMPARE(filter.findChild<QPushButton*>(QStringLiteral("cmdCancel")), filter.cmdCancel);
        QCOMPARE(filter.objectName(), QStringLiteral("frmFilter"));
    }
};

QEL_TEST_MAIN(FilterEditorTest)
#include "test_filter_editor.moc"
