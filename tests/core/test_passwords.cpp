#include "core/Passwords.h"
#include "support/TestEnvironment.h"

#include <algorithm>

namespace {

QString fromCode(char32_t code) {
    return QString::fromUcs4(&code, 1);
}

} // namespace

class TestPasswords : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shiftsEachCharacterByTen() {
        QCOMPARE(qel::scramblePassword(QStringLiteral("abc")), QStringLiteral("klm"));
        QCOMPARE(qel::unscramblePassword(QStringLiteral("klm")), QStringLiteral("abc"));
        QCOMPARE(qel::scramblePassword(QStringLiteral("Pass 123!")), QStringLiteral("Zk}}*;<=+"));
        QCOMPARE(qel::scramblePassword(QString()), QString());
        QCOMPARE(qel::unscramblePassword(QString()), QString());
    }

    // Where a shift of ten leaves the usual range: past the top of Latin-1, across the surrogates,
    // over the top of Unicode, and stored characters below ten.
    void charactersAtTheEdgesMoveAsDocumented_data() {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("stored");
        QTest::newRow("o with diaeresis") << fromCode(0xF6) << fromCode(0x100);
        QTest::newRow("y with diaeresis") << fromCode(0xFF) << fromCode(0x109);
        QTest::newRow("below the surrogates") << fromCode(0xD7F5) << fromCode(0xD7FF);
        QTest::newRow("across the surrogates") << fromCode(0xD7F6) << fromCode(0xE000);
        QTest::newRow("last before the surrogates") << fromCode(0xD7FF) << fromCode(0xE009);
        QTest::newRow("beyond the BMP") << fromCode(0xFFFF) << fromCode(0x10009);
        QTest::newRow("to a byte-order mark") << fromCode(0xFEF5) << QString(QChar(0xFEFF));
        QTest::newRow("top of Unicode") << fromCode(0x10FFFF) << fromCode(9);
        QTest::newRow("wraps to nul") << fromCode(0x10FFF6) << fromCode(0);
        QTest::newRow("stored below ten") << fromCode(0x10FFFB) << fromCode(5);
        QTest::newRow("control characters") << QStringLiteral("\t\n") << QStringLiteral("\x13\x14");
    }
    void charactersAtTheEdgesMoveAsDocumented() {
        QFETCH(QString, plain);
        QFETCH(QString, stored);
        QCOMPARE(qel::scramblePassword(plain), stored);
        QCOMPARE(qel::unscramblePassword(stored), plain);
    }

    void everyPasswordRoundTrips_data() {
        QTest::addColumn<QString>("plain");
        QTest::newRow("ascii") << "Secret#1=;,\"' ";
        QTest::newRow("latin-1 top") << QString::fromUtf8("ÿþýüûúùø÷öõ");
        QTest::newRow("low codes") << QString::fromUcs4(U"\u0001\u0002\u0009\u000A\u000D", 5) + QChar(0);
        QTest::newRow("non-Latin") << "Пароль 密码 كلمة";
        QTest::newRow("emoji") << "\U0001F600\U0001F510x";
        QTest::newRow("lone surrogates")
            << QString(QChar(0xD800)) + QStringLiteral("a") + QChar(0xDC00) + QChar(0xDBFF);
    }
    void everyPasswordRoundTrips() {
        QFETCH(QString, plain);
        const QString stored = qel::scramblePassword(plain);
        QVERIFY(stored != plain);
        QCOMPARE(qel::unscramblePassword(stored), plain);
    }

    void theMappingIsOneToOneOverAllOfUnicode() {
        QList<char32_t> all;
        for (char32_t code = 0; code < 0x110000; ++code) {
            if (code < 0xD800 || code > 0xDFFF)
                all.append(code);
        }
        const QString plain = QString::fromUcs4(all.constData(), all.size());
        const QString stored = qel::scramblePassword(plain);
        QVERIFY(stored.isValidUtf16());
        QList<uint> codes = stored.toUcs4(); // every character once again: a permutation
        std::sort(codes.begin(), codes.end());
        QCOMPARE(codes.size(), all.size());
        const auto firstDifference = std::mismatch(codes.cbegin(), codes.cend(), all.cbegin());
        QVERIFY2(firstDifference.first == codes.cend(),
                 qPrintable(QString::number(*firstDifference.first, 16)));
        QCOMPARE(qel::unscramblePassword(stored), plain);
        // And reading back works for any stored text, also one that was never scrambled.
        QCOMPARE(qel::scramblePassword(qel::unscramblePassword(plain)), plain);
    }
};

QEL_TEST_MAIN(TestPasswords)
#include "test_passwords.moc"
