// The texts the actions hand out: numbers read from the clipboard, map and directions queries, the
// click-to-call request, the text-message link, the card as text, and the carrier list.

#include "actions/Carriers.h"
#include "actions/Links.h"
#include "platform/ProgramFolder.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace qel;

class LinksTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clipboardNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("digits");
        QTest::newRow("parentheses, blank, hyphen") << "Call (555) 123-4567 today"
                                                    << "5551234567";
        QTest::newRow("toll-free with extension stops at 11") << "1-800-555-1234 ext. 567"
                                                              << "18005551234";
        QTest::newRow("number after the 30th character") << "Our office can be reached at: 555-123-4567"
                                                         << "";
        QTest::newRow("number across the 30th character") << QString(26, QLatin1Char('x')) + "5551234"
                                                          << "5551";
        QTest::newRow("short text") << "55"
                                    << "55";
    }
    void clipboardNumbers() {
        QFETCH(QString, text);
        QFETCH(QString, digits);
        QCOMPARE(links::clipboardDigits(text), digits);
    }

    void mapAndDirectionsEncodeTheAddress() {
        // Blanks and line breaks (CR LF, or LF as the card's boxes hold them) become "+".
        QCOMPARE(links::map(QStringLiteral("1 Main St\r\nSpringfield")),
                 QStringLiteral("https://maps.google.com/maps?q=1+Main+St+Springfield"));
        QCOMPARE(links::mapQuery(QStringLiteral("1 Main St\nSpringfield")),
                 QStringLiteral("1+Main+St+Springfield"));
        // What would end or change the query is encoded, so the whole address arrives.
        QCOMPARE(links::mapQuery(QStringLiteral("5 A&B Rd #2?x=1+2")),
                 QStringLiteral("5+A%26B+Rd+%232%3Fx%3D1%2B2"));
        QCOMPARE(links::directions(QStringLiteral("9 Elm St\nPortland"), QStringLiteral("1 Main St")),
                 QStringLiteral("https://maps.google.com/maps?q=9+Elm+St+Portland+to+1+Main+St"));
        const QUrl parsed(links::map(QStringLiteral("5 A&B Rd #2")));
        QCOMPARE(parsed.fragment(), QString()); // nothing of the address fell into a fragment
    }

    void webMailLinks() {
        QCOMPARE(links::mail(QStringLiteral("ann@example.com")), QStringLiteral("mailto:ann@example.com"));
        QCOMPARE(links::gmail(QStringLiteral("ann+news@example.com")),
                 QStringLiteral(
                     "https://mail.google.com/gmail?view=cm&fs=1&tearoff=1&to=ann%2Bnews@example.com&fs=1"));
        QCOMPARE(links::gmail(QString()),
                 QStringLiteral("https://mail.google.com/gmail?view=cm&fs=1&tearoff=1&to=&fs=1"));
        QCOMPARE(links::hotmail(QString()),
                 QStringLiteral("https://mail.live.com/secure/start?action=compose&to="));
    }

    void clickToCallEncodesEveryValue() {
        const QUrl url =
            links::clickToCall(QStringLiteral("https://calls.example.net/"), QStringLiteral("ann@home"),
                               QStringLiteral("p&ss #1+"), QStringLiteral("(555) 000-1111"),
                               links::dialDigits(QStringLiteral("(555) 123-4567")));
        QCOMPARE(url.toEncoded(), QByteArray("https://calls.example.net/tpcc/makecall?username=ann%40home"
                                             "&password=p%26ss%20%231%2B&fromnumber=%28555%29%20000-1111"
                                             "&tonumber=5551234567"));
        QCOMPARE(url.fragment(), QString());
    }

    void textMessageLink() {
        QCOMPARE(
            links::textMessage(QStringLiteral("5551234567@vtext.com"), QStringLiteral("Ann\r\n555-1234")),
            QStringLiteral("mailto:5551234567@vtext.com?body=%0dAnn%0d555-1234%0dMessage sent via Vantrel"));
        QCOMPARE(
            links::textMessage(QStringLiteral("5551234567@vtext.com"), QStringLiteral("Ann\n555-1234")),
            QStringLiteral("mailto:5551234567@vtext.com?body=%0dAnn%0d555-1234%0dMessage sent via Vantrel"));
        QCOMPARE(links::textMessage(QStringLiteral("5551234567@vtext.com"), QString()),
                 QStringLiteral("mailto:5551234567@vtext.com?body=%0dMessage sent via Vantrel"));
        // A signature's "&" and "#" do not cut the body short.
        QCOMPARE(links::textMessage(QStringLiteral("1@x.com"), QStringLiteral("A&B #1")),
                 QStringLiteral("mailto:1@x.com?body=%0dA%26B %231%0dMessage sent via Vantrel"));
    }

    void cardLayouts() {
        links::CardText empty;
        empty.name = QStringLiteral("Ann Adams");
        QCOMPARE(links::cardText(empty),
                 QStringLiteral("Contact information for Ann Adams\r\n\r\n\r\n--Provided by Vantrel--"));

        links::CardText homeOnly = empty;
        homeOnly.addresses[1] = QStringLiteral("9 Elm St\nPortland");
        QCOMPARE(
            links::cardText(homeOnly),
            QStringLiteral("Contact information for Ann Adams\r\n\r\n\r\nMailing Address(es):\r\n\r\n\r\n"
                           "9 Elm St\r\nPortland\r\n\r\n--Provided by Vantrel--"));

        links::CardText all = empty;
        all.numbers[0] = QStringLiteral("555-0100");
        all.numbers[15] = QStringLiteral("555-0115");
        all.addresses = {QStringLiteral("1 Main St"), QStringLiteral("9 Elm St"), QStringLiteral("3 Oak Rd")};
        all.emails = {QStringLiteral("a@x.com"), QString(), QStringLiteral("c@x.com")};
        all.webPage = QStringLiteral("www.example.com");
        QCOMPARE(links::cardText(all), QStringLiteral("Contact information for Ann Adams\r\n"
                                                      "\r\nHome Telephone: 555-0100"
                                                      "\r\nOther Telephone: 555-0115"
                                                      "\r\n\r\nMailing Address(es):\r\n"
                                                      "\r\n1 Main St"
                                                      "\r\n\r\n9 Elm St"
                                                      "\r\n\r\n3 Oak Rd"
                                                      "\r\n\r\nE-mail Address(es):\r\n"
                                                      "\r\nEmail#1: a@x.com"
                                                      "\r\nEmail#3: c@x.com"
                                                      "\r\n\r\nWeb Site:\r\nwww.example.com"
                                                      "\r\n\r\n--Provided by Vantrel--"));
    }

    void carriersKeepTheirOrderAndTheUsersFileExtendsThem() {
        const QString folder = qeltest::sandboxRoot() + QStringLiteral("/carriers");
        QDir().mkpath(folder);
        setProgramFolder(folder);
        QList<Carrier> shipped = loadCarriers();
        QStringList names;
        for (const Carrier& c : shipped)
            names << c.name;
        QCOMPARE(names, QStringList({"Alltel", "Cingular", "Nextel", "Sprint", "SunCom", "T-mobile",
                                     "VoiceStream", "Verizon"}));
        for (const Carrier& c : shipped)
            QVERIFY2(c.domain.startsWith(QLatin1Char('@')) && c.domain.contains(QLatin1Char('.')),
                     qPrintable(c.domain));

        QFile own(folder + QStringLiteral("/carriers.txt"));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("# mine\nverizon  @vzwpix.com\nMint Mobile\t@tmomail.net\nno domain here\n");
        own.close();
        const QList<Carrier> merged = loadCarriers();
        QCOMPARE(merged.size(), 9);
        QCOMPARE(merged[7], (Carrier{QStringLiteral("Verizon"), QStringLiteral("@vzwpix.com")}));
        QCOMPARE(merged[8], (Carrier{QStringLiteral("Mint Mobile"), QStringLiteral("@tmomail.net")}));
        QCOMPARE(merged[0], shipped[0]);

        QStringList bad;
        parseCarriers(QStringLiteral("Alltel @message.alltel.com\nbroken line\nX @nodot"), &bad);
        QCOMPARE(bad, QStringList({"line 2: broken line", "line 3: X @nodot"}));
    }
};

QEL_TEST_MAIN(LinksTest)
#include "test_links.moc"
