// Our cards checked by other programs: python3-vobject reads what we write, khard lists our
// exported folder, and we read what python3-vobject writes.

#include "VcardTesting.h"

#include "vcard/VcardContacts.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace vcardtest;
namespace vc = qel::vcard;
using namespace ol::prop;

namespace {

// Debian's interpreter: a python3 earlier on PATH may not see Debian's python3-vobject.
const QString kPython = QStringLiteral("/usr/bin/python3");

QString script(const QString& name) {
    return qEnvironmentVariable("QEL_TEST_SOURCE_DIR") + QStringLiteral("/tests/vcard/") + name;
}

struct Output {
    int status = -1;
    QByteArray out, err;
};

Output run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    Output o;
    if (!p.waitForFinished(60000))
        return o;
    o.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = p.readAllStandardOutput();
    o.err = p.readAllStandardError();
    return o;
}

// The three contacts every check exports.
void addContacts(const ol::FolderPtr& folder) {
    ol::ItemsPtr items = folder->Items();
    ol::ItemPtr a = items->Add();
    a->set(FirstName, QStringLiteral("Ada"));
    a->set(MiddleName, QStringLiteral("King"));
    a->set(LastName, QStringLiteral("Lovelace"));
    a->set(Title, QStringLiteral("Countess"));
    a->set(CompanyName, QStringLiteral("Analytical Engines, Ltd"));
    a->set(Department, QStringLiteral("Notes; Programs"));
    a->set(JobTitle, QStringLiteral("Translator"));
    a->set(MobileTelephoneNumber, QStringLiteral("+44 20 7946 0001"));
    a->set(BusinessTelephoneNumber, QStringLiteral("(020) 7946-0002"));
    a->set(HomeFaxNumber, QStringLiteral("020 7946 0003"));
    a->set(Email1Address, QStringLiteral("ada@engine.example"));
    a->set(Email2Address, QStringLiteral("countess@home.example"));
    a->set(HomeAddressStreet, QStringLiteral("12 St James's Square"));
    a->set(HomeAddressCity, QStringLiteral("London"));
    a->set(HomeAddressPostalCode, QStringLiteral("SW1Y 4LB"));
    a->set(HomeAddressCountry, QStringLiteral("United Kingdom"));
    a->set(Birthday, QDateTime(QDate(1815, 12, 10), QTime(0, 0)));
    a->set(Body, QStringLiteral("Note G, 1843.\r\nBernoulli numbers; first program, arguably."));
    a->set(Categories, QStringLiteral("Science, Friends"));
    a->set(PersonalHomePage, QStringLiteral("https://ada.example"));
    a->Save();
    ol::ItemPtr b = items->Add();
    b->set(FirstName, QStringLiteral("Grace"));
    b->set(LastName, QStringLiteral("Hopper"));
    b->set(HomeTelephoneNumber, QStringLiteral("555-0142"));
    b->set(PagerNumber, QStringLiteral("555-0143"));
    b->Save();
    ol::ItemPtr c = items->Add();
    c->set(FirstName, QStringLiteral("Émilie"));
    c->set(LastName, QStringLiteral("du Châtelet"));
    c->set(BusinessFaxNumber, QStringLiteral("+33 1 23 45 67 89"));
    c->Save();
}

QJsonObject cardNamed(const QJsonArray& cards, const QString& fn) {
    for (const QJsonValue& v : cards)
        if (v.toObject().value("fn").toString() == fn)
            return v.toObject();
    return {};
}

QStringList strings(const QJsonValue& v) {
    QStringList out;
    for (const QJsonValue& s : v.toArray())
        out << s.toString();
    return out;
}

} // namespace

class TestVcardInterop : public QObject {
    Q_OBJECT

    QTemporaryDir mFiles;

    void needVobject() {
        const Output o = run(kPython, {"-c", "import vobject"});
        if (o.status != 0)
            QSKIP(qPrintable(QStringLiteral("%1 cannot import vobject (install python3-vobject, "
                                            "scripts/install-deps.sh): %2")
                                 .arg(kPython, QString::fromUtf8(o.err))));
    }

    QString exportFolder(const QString& tag, vc::Version version) {
        const QString dir = qeltest::freshStoreDir(tag);
        ol::ApplicationPtr app = ol::Application::create(dir);
        addContacts(contactsOf(app));
        const QString out = mFiles.filePath(tag);
        vc::exportContacts(contactsOf(app), out, version);
        return out;
    }

private Q_SLOTS:
    void vobjectReadsOurCards_data() {
        QTest::addColumn<int>("version");
        QTest::newRow("3.0") << int(vc::Version::V3);
        QTest::newRow("4.0") << int(vc::Version::V4);
    }
    void vobjectReadsOurCards() {
        needVobject();
        QFETCH(int, version);
        const QString folder = exportFolder(QStringLiteral("vobject-%1").arg(version), vc::Version(version));
        QStringList files;
        for (const QString& name : QDir(folder).entryList({"*.vcf"}, QDir::Files))
            files << QDir(folder).filePath(name);
        QCOMPARE(files.size(), 3);
        const Output o = run(kPython, QStringList{script("vobject_read.py")} + files);
        QVERIFY2(o.status == 0, o.err.constData());
        const QJsonArray cards = QJsonDocument::fromJson(o.out).array();
        QCOMPARE(cards.size(), 3);

        const QJsonObject ada = cardNamed(cards, QStringLiteral("Countess Ada King Lovelace"));
        QVERIFY2(!ada.isEmpty(), o.out.constData());
        QCOMPARE(ada.value("version").toString(), version == int(vc::Version::V4) ? "4.0" : "3.0");
        QCOMPARE(strings(ada.value("n")), QStringList({"Lovelace", "Ada", "King", "Countess", ""}));
        QCOMPARE(strings(ada.value("org")), QStringList({"Analytical Engines, Ltd", "Notes; Programs"}));
        QCOMPARE(ada.value("title").toString(), QStringLiteral("Translator"));
        QCOMPARE(ada.value("note").toString(),
                 QStringLiteral("Note G, 1843.\nBernoulli numbers; first program, arguably."));
        QCOMPARE(ada.value("bday").toString().remove('-'), QStringLiteral("18151210"));
        QCOMPARE(strings(ada.value("categories")), QStringList({"Science", "Friends"}));
        QCOMPARE(strings(ada.value("email")), QStringList({"ada@engine.example", "countess@home.example"}));
        QCOMPARE(strings(ada.value("url")), QStringList({"https://ada.example"}));
        QMap<QString, QStringList> tels;
        for (const QJsonValue& t : ada.value("tel").toArray())
            tels.insert(t.toArray().at(0).toString(), strings(t.toArray().at(1)));
        QCOMPARE(tels.size(), 3);
        QVERIFY(tels.value("+44 20 7946 0001").contains("cell"));
        QVERIFY(tels.value("(020) 7946-0002").contains("work"));
        QVERIFY(tels.value("020 7946 0003").contains("home"));
        QVERIFY(tels.value("020 7946 0003").contains("fax"));
        const QJsonArray adr = ada.value("adr").toArray();
        QCOMPARE(adr.size(), 1);
        const QJsonArray home = adr.at(0).toArray();
        QCOMPARE(home.at(1).toString(), QStringLiteral("12 St James's Square"));
        QCOMPARE(home.at(2).toString(), QStringLiteral("London"));
        QCOMPARE(home.at(4).toString(), QStringLiteral("SW1Y 4LB"));
        QCOMPARE(home.at(5).toString(), QStringLiteral("United Kingdom"));
        QVERIFY(strings(home.at(6)).contains("home"));
        const QJsonObject emilie = cardNamed(cards, QStringLiteral("Émilie du Châtelet"));
        QCOMPARE(strings(emilie.value("n")).mid(0, 2), QStringList({"du Châtelet", "Émilie"}));
        QVERIFY(!emilie.value("uid").toString().isEmpty());
    }

    // khard, a terminal address book, lists our folder with the same names and numbers.
    void khardListsOurFolder() {
        const QString khard = QStandardPaths::findExecutable(QStringLiteral("khard"));
        if (khard.isEmpty())
            QSKIP("khard is not installed (install khard, scripts/install-deps.sh)");
        const QString folder = exportFolder(QStringLiteral("khard"), vc::Version::V3);
        const QString config = mFiles.filePath("khard.conf");
        writeFile(config, QStringLiteral("[addressbooks]\n[[vantrel]]\npath = %1\n"
                                         "[general]\ndebug = no\ndefault_action = list\neditor = true\n"
                                         "merge_editor = true\n"
                                         "[contact table]\ndisplay = first_name\nsort = last_name\n"
                                         "show_uids = no\n"
                                         "[vcard]\nskip_unparsable = no\n")
                              .arg(folder)
                              .toUtf8());
        Output o = run(khard, {"-c", config, "list", "--parsable"});
        QVERIFY2(o.status == 0, o.err.constData());
        QStringList names;
        for (const QString& line : QString::fromUtf8(o.out).split('\n', Qt::SkipEmptyParts))
            names << line.split('\t').value(1);
        names.sort();
        // khard shows the given, additional and family names.
        QCOMPARE(names, QStringList({"Ada King Lovelace", "Grace Hopper", "Émilie du Châtelet"}));
        o = run(khard, {"-c", config, "phone", "--parsable"});
        QVERIFY2(o.status == 0, o.err.constData());
        QStringList numbers;
        for (const QString& line : QString::fromUtf8(o.out).split('\n', Qt::SkipEmptyParts)) {
            const QStringList f = line.split('\t');
            numbers << f.value(0) + QLatin1Char('|') + f.value(1);
        }
        numbers.sort();
        QCOMPARE(numbers,
                 QStringList({"(020) 7946-0002|Ada King Lovelace", "+33 1 23 45 67 89|Émilie du Châtelet",
                              "+44 20 7946 0001|Ada King Lovelace", "020 7946 0003|Ada King Lovelace",
                              "555-0142|Grace Hopper", "555-0143|Grace Hopper"}));
    }

    // Cards another program wrote, in 3.0 and in 4.0 forms; read twice, they stay two contacts.
    void readsCardsVobjectWrote() {
        needVobject();
        QTemporaryDir written;
        const Output o = run(kPython, {script("vobject_write.py"), written.path()});
        QVERIFY2(o.status == 0, o.err.constData());
        const QString dir = qeltest::freshStoreDir(QStringLiteral("from-vobject"));
        for (int pass = 0; pass < 2; ++pass) {
            ol::ApplicationPtr app = ol::Application::create(dir);
            const vc::ImportSummary s = vc::importCards(contactsOf(app), vc::readCards(written.path()));
            QCOMPARE(s.created + s.updated, 2);
            QCOMPARE(s.updated, pass == 0 ? 0 : 2);
        }
        ol::ItemsPtr items = contactsOf(ol::Application::create(dir))->Items();
        QCOMPARE(items->Count(), 2);
        ol::ItemPtr jan, hedy;
        for (const ol::ItemPtr& item : items)
            (item->text(LastName) == QStringLiteral("Lamarr") ? hedy : jan) = item;
        QCOMPARE(jan->text(FullName), QStringLiteral("Jan Ignacy Łukasiewicz"));
        QCOMPARE(jan->text(CompanyName), QStringLiteral("Polmin; Drohobycz"));
        QCOMPARE(jan->text(Department), QStringLiteral("Refinery"));
        QCOMPARE(jan->text(JobTitle), QStringLiteral("Pharmacist"));
        QCOMPARE(jan->text(BusinessTelephoneNumber), QStringLiteral("+48 13 436 12 34"));
        QCOMPARE(jan->text(MobileTelephoneNumber), QStringLiteral("+48 600 100 200"));
        QCOMPARE(jan->text(HomeFaxNumber), QStringLiteral("+48 13 436 00 00"));
        QCOMPARE(jan->text(Email1Address), QStringLiteral("jan@lampa.example"));
        QCOMPARE(jan->text(HomeAddressStreet), QStringLiteral("ul. Bieckiego 2"));
        QCOMPARE(jan->text(HomeAddressPostalCode), QStringLiteral("38-400"));
        QCOMPARE(jan->get(Birthday).toDateTime().date(), QDate(1822, 3, 8));
        QCOMPARE(jan->text(Body), QStringLiteral("Kerosene lamp, 1853.\r\nFirst oil well; 1854."));
        QCOMPARE(jan->text(Categories), QStringLiteral("Inventors, Poland"));
        QCOMPARE(jan->text(WebPage), QStringLiteral("https://lampa.example"));
        QCOMPARE(hedy->text(MobileTelephoneNumber), QStringLiteral("+1-555-555-0100"));
        QCOMPARE(hedy->text(BusinessTelephoneNumber), QStringLiteral("+1-555-555-0199"));
        QCOMPARE(hedy->get(Birthday).toDateTime().date(), QDate(1914, 11, 9));
        QCOMPARE(hedy->get(Anniversary).toDateTime().date(), QDate(1966, 1, 1));
        QCOMPARE(hedy->text(Spouse), QStringLiteral("Fritz Mandl"));
        QCOMPARE(hedy->text(NickName), QStringLiteral("Hedwig"));
        QCOMPARE(hedy->text(Email1Address), QStringLiteral("hedy@example.org"));
        QCOMPARE(vc::uidOf(*hedy), QStringLiteral("urn:uuid:4f1c0d52-9a5e-4c1e-8f00-000000000004"));
    }
};

QEL_TEST_MAIN(TestVcardInterop)
#include "test_vcard_interop.moc"
