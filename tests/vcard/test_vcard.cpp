#include "VcardTesting.h"

#include "vcard/VcardContacts.h"

#include <QDir>
#include <QTemporaryDir>

using namespace vcardtest;
namespace vc = qel::vcard;
using namespace ol::prop;

class TestVcard : public QObject {
    Q_OBJECT

    QTemporaryDir mFiles;

    // Every carried property of `back` is that of `orig`, named when it is not.
    static void compareContacts(const ol::Item& orig, const ol::Item& back) {
        for (int id = 0; id < ol::prop::Count; ++id) {
            if (!carried(id))
                continue;
            const QString name = ol::propertyDef(id).name;
            QVERIFY2(back.text(id) == orig.text(id),
                     qPrintable(QStringLiteral("%1: \"%2\" came back as \"%3\"")
                                    .arg(name, orig.text(id), back.text(id))));
        }
    }

    static ol::ItemPtr byFileAs(const ol::FolderPtr& folder, const QString& fileAs) {
        for (const ol::ItemPtr& item : folder->Items())
            if (item->text(FileAs) == fileAs)
                return item;
        return nullptr;
    }

private Q_SLOTS:
    // Each contact goes out and comes back with every property it had, read through a fresh
    // store connection, in both versions, as one file and as a folder of files.
    void roundTripKeepsEveryProperty_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("asFolder");
        QTest::newRow("3.0 file") << int(vc::Version::V3) << false;
        QTest::newRow("4.0 file") << int(vc::Version::V4) << false;
        QTest::newRow("3.0 folder") << int(vc::Version::V3) << true;
        QTest::newRow("4.0 folder") << int(vc::Version::V4) << true;
    }
    void roundTripKeepsEveryProperty() {
        QFETCH(int, version);
        QFETCH(bool, asFolder);
        const QString from = qeltest::freshStoreDir(QStringLiteral("from"));
        {
            ol::ApplicationPtr app = ol::Application::create(from);
            ol::ItemsPtr items = contactsOf(app)->Items();
            ol::ItemPtr parts = items->Add();
            fillEveryProperty(*parts, QStringLiteral("parts"));
            parts->Save();
            // Derived values given whole: a full name and addresses typed as text, a subject and
            // file-as of their own, a custom contact form.
            ol::ItemPtr whole = items->Add();
            fillEveryProperty(*whole, QStringLiteral("whole"));
            whole->set(FullName, QStringLiteral("Dr. Ann Marie Smith-Jones III"));
            whole->set(BusinessAddress,
                       QStringLiteral("PO Box 12\r\n1 Quay Road; Unit 4\r\nPortsmouth, NH 03801"));
            whole->set(HomeAddress, QStringLiteral("Rue de l'Église 3\r\n1000 Bruxelles\r\nBelgique"));
            whole->set(Subject, QStringLiteral("Ann (tennis)"));
            whole->set(FileAs, QStringLiteral("Smith-Jones, Ann [club]"));
            whole->set(MessageClass, QStringLiteral("IPM.Contact.Club"));
            whole->setNamedProperty(ol::kLabelPropertySet, ol::kLabelTag, 3);
            whole->Save();
            // Only a company and one number.
            ol::ItemPtr company = items->Add();
            company->set(CompanyName, QStringLiteral("Acme, Inc."));
            company->set(CompanyMainTelephoneNumber, QStringLiteral("+1 (555) 010-0000"));
            company->Save();
        }
        const QString path = mFiles.filePath(QStringLiteral("rt-%1-%2%3")
                                                 .arg(version)
                                                 .arg(asFolder)
                                                 .arg(asFolder ? QString() : QStringLiteral(".vcf")));
        {
            ol::ApplicationPtr app = ol::Application::create(from);
            const vc::ExportSummary s = vc::exportContacts(contactsOf(app), path, vc::Version(version));
            QCOMPARE(s.contacts, 3);
            QCOMPARE(s.files.size(), asFolder ? 3 : 1);
        }
        const QString to = qeltest::freshStoreDir(QStringLiteral("to"));
        {
            ol::ApplicationPtr app = ol::Application::create(to);
            const vc::ImportSummary s = vc::importCards(contactsOf(app), vc::readCards(path));
            QCOMPARE(s.created, 3);
            QCOMPARE(s.updated, 0);
        }
        ol::ApplicationPtr orig = ol::Application::create(from);
        ol::ApplicationPtr back = ol::Application::create(to);
        ol::ItemsPtr origItems = contactsOf(orig)->Items();
        QCOMPARE(contactsOf(back)->Items()->Count(), 3);
        for (const ol::ItemPtr& o : origItems) {
            const ol::ItemPtr b = byFileAs(contactsOf(back), o->text(FileAs));
            QVERIFY2(b, qPrintable(o->text(FileAs)));
            compareContacts(*o, *b);
            if (QTest::currentTestFailed())
                return;
            QCOMPARE(vc::uidOf(*b), o->EntryID()); // the card's UID was the contact's EntryID
        }
    }

    // Reading the same cards again updates the contacts the first reading made; a card changed
    // meanwhile takes its values over, and a value the card no longer has is cleared. Cards read
    // back into the folder they came from update their own contacts.
    void importAgainUpdatesByUid() {
        const QString dir = qeltest::freshStoreDir(QStringLiteral("uid"));
        ol::ApplicationPtr app = ol::Application::create(dir);
        ol::FolderPtr folder = contactsOf(app);
        ol::ItemPtr c = folder->Items()->Add();
        c->set(FirstName, QStringLiteral("Rita"));
        c->set(LastName, QStringLiteral("Moreno"));
        c->set(Email1Address, QStringLiteral("rita@example.org"));
        c->set(HomeTelephoneNumber, QStringLiteral("555 0101"));
        c->Save();
        const QString file = mFiles.filePath(QStringLiteral("uid.vcf"));
        vc::exportContacts(folder, file, vc::Version::V3);

        // Into its own folder: the same contact, nothing doubled.
        vc::ImportSummary s = vc::importCards(folder, vc::readCards(file));
        QCOMPARE(s.updated, 1);
        QCOMPARE(s.created, 0);

        const QString other = qeltest::freshStoreDir(QStringLiteral("uid-other"));
        {
            ol::ApplicationPtr otherApp = ol::Application::create(other);
            QCOMPARE(vc::importCards(contactsOf(otherApp), vc::readCards(file)).created, 1);
        }
        // Edited elsewhere: a new number, no e-mail.
        QByteArray card = readFile(file);
        card.replace("555 0101", "555 0199");
        QVERIFY(card.contains("EMAIL"));
        QList<QByteArray> lines = card.split('\n');
        lines.removeIf([](const QByteArray& l) { return l.startsWith("EMAIL"); });
        writeFile(file, lines.join('\n'));
        {
            ol::ApplicationPtr otherApp = ol::Application::create(other);
            s = vc::importCards(contactsOf(otherApp), vc::readCards(file));
            QCOMPARE(s.updated, 1);
            QCOMPARE(s.created, 0);
        }
        ol::ApplicationPtr fresh = ol::Application::create(other);
        ol::ItemsPtr items = contactsOf(fresh)->Items();
        QCOMPARE(items->Count(), 1);
        QCOMPARE(items->Item(1)->text(HomeTelephoneNumber), QStringLiteral("555 0199"));
        QCOMPARE(items->Item(1)->text(Email1Address), QString());
        QCOMPARE(items->Item(1)->text(FullName), QStringLiteral("Rita Moreno"));
        QCOMPARE(contactsOf(ol::Application::create(dir))->Items()->Count(), 1);
    }

    // What phones and other address books write: 2.1 quoted-printable with soft breaks and a
    // charset, bare types, folded UTF-8 split inside a character, groups, many cards in a file,
    // LF line ends, a birthday without a year, and the usual phone and address types.
    void readsWhatOthersWrite() {
        QByteArray data;
        data += "BEGIN:VCARD\r\nVERSION:2.1\r\n"
                "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen;;;\r\n"
                "TEL;CELL;PREF:+49 170 1234567\r\n"
                "TEL;WORK;FAX:+49 30 999\r\n"
                "TEL;HOME:030 111\r\nTEL;HOME:030 222\r\n"
                "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Zeile eins=0D=0AZeile =\r\nzwei =C3=A4\r\n"
                "ADR;HOME:;;Hauptstr. 5;Berlin;;10115;Deutschland\r\n"
                "END:VCARD\r\n";
        // 3.0 as a phone writes it, LF only, with a fold inside "é" (C3 A9).
        QByteArray folded = "NOTE:Caf\xC3";
        folded += "\n \xA9 au lait\n";
        data += "BEGIN:VCARD\nVERSION:3.0\nFN:Zoë Saldaña\nN:Saldaña;Zoë;;;\n"
                "item1.TEL;type=CELL;type=VOICE;type=pref:(555) 123-4567\n"
                "item1.X-ABLabel:_$!<Mobile>!$_\n"
                "TEL;TYPE=WORK,VOICE:555-0001\nTEL;TYPE=WORK:555-0002\nTEL;TYPE=WORK:555-0003\n"
                "EMAIL;TYPE=INTERNET;TYPE=HOME:zoe@example.com\nEMAIL;TYPE=INTERNET:z@work.example\n"
                "ADR;TYPE=WORK:;Suite 9;1 Infinite Loop;Cupertino;CA;95014;USA\n"
                "URL;type=WORK:https://work.example\n"
                "BDAY:--0423\nX-ANNIVERSARY:2005-06-01\n"
                "CATEGORIES:Friends,Film\n"
                "ORG:Studio\\, Ltd;Casting\nTITLE:Actor\n" +
                folded + "END:VCARD\n";
        const QString file = mFiles.filePath(QStringLiteral("others.vcf"));
        writeFile(file, data);
        const std::vector<vc::Card> cards = vc::readCards(file);
        QCOMPARE(cards.size(), size_t(2));
        const QString dir = qeltest::freshStoreDir(QStringLiteral("others"));
        {
            ol::ApplicationPtr app = ol::Application::create(dir);
            QCOMPARE(vc::importCards(contactsOf(app), cards).created, 2);
        }
        ol::FolderPtr folder = contactsOf(ol::Application::create(dir));
        const ol::ItemPtr j = byFileAs(folder, QStringLiteral("Müller, Jürgen"));
        QVERIFY(j);
        QCOMPARE(j->text(MobileTelephoneNumber), QStringLiteral("+49 170 1234567"));
        QCOMPARE(j->text(BusinessFaxNumber), QStringLiteral("+49 30 999"));
        QCOMPARE(j->text(HomeTelephoneNumber), QStringLiteral("030 111"));
        QCOMPARE(j->text(Home2TelephoneNumber), QStringLiteral("030 222"));
        QCOMPARE(j->text(Body), QStringLiteral("Zeile eins\r\nZeile zwei ä"));
        QCOMPARE(j->text(HomeAddressCity), QStringLiteral("Berlin"));
        QCOMPARE(j->text(HomeAddressCountry), QStringLiteral("Deutschland"));
        const ol::ItemPtr z = byFileAs(folder, QStringLiteral("Saldaña, Zoë"));
        QVERIFY(z);
        QCOMPARE(z->text(MobileTelephoneNumber), QStringLiteral("(555) 123-4567"));
        QCOMPARE(z->text(BusinessTelephoneNumber), QStringLiteral("555-0001"));
        QCOMPARE(z->text(Business2TelephoneNumber), QStringLiteral("555-0002"));
        QCOMPARE(z->text(OtherTelephoneNumber), QStringLiteral("555-0003")); // both work slots taken
        QCOMPARE(z->text(Email1Address), QStringLiteral("zoe@example.com"));
        QCOMPARE(z->text(Email2Address), QStringLiteral("z@work.example"));
        QCOMPARE(z->text(BusinessAddressStreet), QStringLiteral("1 Infinite Loop\r\nSuite 9"));
        QCOMPARE(z->text(BusinessAddressPostalCode), QStringLiteral("95014"));
        QCOMPARE(z->text(BusinessHomePage), QStringLiteral("https://work.example"));
        QVERIFY(!z->get(Birthday).toDateTime().isValid()); // no year: left out
        QCOMPARE(z->get(Anniversary).toDateTime().date(), QDate(2005, 6, 1));
        QCOMPARE(z->text(Categories), QStringLiteral("Friends, Film"));
        QCOMPARE(z->text(CompanyName), QStringLiteral("Studio, Ltd"));
        QCOMPARE(z->text(Department), QStringLiteral("Casting"));
        QCOMPARE(z->text(JobTitle), QStringLiteral("Actor"));
        QCOMPARE(z->text(Body), QStringLiteral("Café au lait"));
    }

    // A fault anywhere names its file and line and stores nothing, also when the cards before it
    // were sound and when it lies in the second file of a folder.
    void badInputNamesFileAndLineAndStoresNothing_data() {
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QString>("expected");
        const QByteArray good = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Good\r\nN:Good;;;;\r\nEND:VCARD\r\n";
        QTest::newRow("bad date")
            << QByteArray(good + "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Bad;;;;\r\nBDAY:yesterday\r\nEND:VCARD\r\n")
            << QString("second.vcf, line 9: BDAY \"yesterday\" is not a date");
        QTest::newRow("no end") << QByteArray(good + "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Bad;;;;\r\n")
                                << QString("second.vcf, line 6: the card that begins here has no END:VCARD");
        QTest::newRow("no colon")
            << QByteArray(
                   good +
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Bad;;;;\r\nthis is not a card line\r\nEND:VCARD\r\n")
            << QString("second.vcf, line 9: expected NAME:VALUE");
        QTest::newRow("version") << QByteArray("BEGIN:VCARD\r\nVERSION:5.0\r\nEND:VCARD\r\n")
                                 << QString("second.vcf, line 2: vCard version \"5.0\" is not supported");
        QTest::newRow("not a card") << QByteArray("Name,Phone\r\nAnn,555\r\n")
                                    << QString(
                                           "second.vcf, line 1: expected NAME:VALUE, found \"Name,Phone\"");
        QTest::newRow("empty") << QByteArray() << QString("second.vcf holds no vCard");
    }
    void badInputNamesFileAndLineAndStoresNothing() {
        QFETCH(QByteArray, second);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        writeFile(folder.filePath("first.vcf"),
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:First\r\nN:First;;;;\r\nEND:VCARD\r\n");
        writeFile(folder.filePath("second.vcf"), second);
        const QString dir = qeltest::freshStoreDir(QStringLiteral("bad"));
        {
            ol::ApplicationPtr app = ol::Application::create(dir);
            try {
                vc::importCards(contactsOf(app), vc::readCards(folder.path()));
                QFAIL("the bad file was read");
            } catch (const vc::VcardError& e) {
                QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
            }
        }
        QCOMPARE(contactsOf(ol::Application::create(dir))->Items()->Count(), 0);
    }

    // A card the store refuses half-way (a value of the wrong kind in the third card) undoes the
    // two stored before it, updates included.
    void failedImportLeavesStoreAsItWas() {
        const QString dir = qeltest::freshStoreDir(QStringLiteral("undo"));
        QString entry;
        {
            ol::ApplicationPtr app = ol::Application::create(dir);
            ol::ItemPtr c = contactsOf(app)->Items()->Add();
            c->set(LastName, QStringLiteral("Kept"));
            c->set(MobileTelephoneNumber, QStringLiteral("111"));
            c->Save();
            entry = c->EntryID();
        }
        const QByteArray data =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + entry.toUtf8() +
            "\r\nN:Changed;;;;\r\nTEL;TYPE=CELL:222\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:New;;;;\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Broken;;;;\r\nX-QEL-Importance:very\r\nEND:VCARD\r\n";
        const QString file = mFiles.filePath(QStringLiteral("undo.vcf"));
        writeFile(file, data);
        {
            ol::ApplicationPtr app = ol::Application::create(dir);
            try {
                vc::importCards(contactsOf(app), vc::readCards(file));
                QFAIL("the bad card was stored");
            } catch (const vc::VcardError& e) {
                QVERIFY2(e.message().startsWith(file + QStringLiteral(", line 14: ")),
                         qPrintable(e.message()));
            }
        }
        ol::ItemsPtr items = contactsOf(ol::Application::create(dir))->Items();
        QCOMPARE(items->Count(), 1);
        QCOMPARE(items->Item(1)->text(LastName), QStringLiteral("Kept"));
        QCOMPARE(items->Item(1)->text(MobileTelephoneNumber), QStringLiteral("111"));
    }

    // Lines are folded at 75 octets and never inside a UTF-8 character; an export that cannot be
    // written leaves nothing behind.
    void writesFoldedLinesAndNothingOnFailure() {
        const QString dir = qeltest::freshStoreDir(QStringLiteral("fold"));
        ol::ApplicationPtr app = ol::Application::create(dir);
        ol::ItemPtr c = contactsOf(app)->Items()->Add();
        fillEveryProperty(*c, QStringLiteral("fold"));
        c->Save();
        const QString file = mFiles.filePath(QStringLiteral("fold.vcf"));
        vc::exportContacts(contactsOf(app), file, vc::Version::V4);
        const QByteArray data = readFile(file);
        QVERIFY(data.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n"));
        for (const QByteArray& line : data.split('\n')) {
            QVERIFY2(line.size() <= 76, line.constData());     // 75 and the CR
            QVERIFY(QString::fromUtf8(line).toUtf8() == line); // whole characters on every line
        }
        const QString blocked = mFiles.filePath(QStringLiteral("blocked"));
        writeFile(blocked, "a file, not a folder");
        try {
            vc::exportContacts(contactsOf(app), blocked + QStringLiteral("/sub/out.vcf"), vc::Version::V3);
            QFAIL("written below a file");
        } catch (const vc::VcardError& e) {
            QVERIFY(e.message().contains(QStringLiteral("cannot be written")));
        }
        try {
            vc::exportContacts(contactsOf(app), blocked + QStringLiteral("/cards"), vc::Version::V3);
            QFAIL("written below a file");
        } catch (const vc::VcardError&) {
        }
        QCOMPARE(readFile(blocked), QByteArray("a file, not a folder"));
    }
};

QEL_TEST_MAIN(TestVcard)
#include "test_vcard.moc"
