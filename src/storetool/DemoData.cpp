#include "DemoData.h"

#include <QRandomGenerator>

namespace qel {

namespace {

const char* const kFirst[] = {
    "James",     "Mary",  "John",        "Patricia", "Robert", "Jennifer", "Michael",  "Linda",    "William",
    "Elizabeth", "David", "Barbara",     "Richard",  "Susan",  "Joseph",   "Jessica",  "Thomas",   "Sarah",
    "Charles",   "Karen", "Christopher", "Nancy",    "Daniel", "Lisa",     "Matthew",  "Betty",    "Anthony",
    "Margaret",  "Mark",  "Sandra",      "José",     "Zoë",    "Ángel",    "Émile",    "Łukasz",   "Søren",
    "Björn",     "Chloé", "Renée",       "François", "Jürgen", "Siobhán",  "Mary Ann", "Jean-Luc", "D'Andre",
    "Aiko",      "Priya", "Mohammed",    "Olu",      "Xavier"};
const char* const kLast[] = {
    "Smith",     "Johnson",      "Williams",   "Brown",     "Jones",    "Garcia",   "Miller",   "Davis",
    "Rodriguez", "Martinez",     "Hernandez",  "Lopez",     "Gonzalez", "Wilson",   "Anderson", "Thomas",
    "Taylor",    "Moore",        "Jackson",    "Martin",    "Lee",      "Perez",    "Thompson", "White",
    "Harris",    "Sanchez",      "Clark",      "Ramirez",   "Lewis",    "Robinson", "Walker",   "Young",
    "Allen",     "King",         "Wright",     "Scott",     "Torres",   "Nguyen",   "Hill",     "Flores",
    "Green",     "Adams",        "Nelson",     "Baker",     "Hall",     "Rivera",   "Campbell", "Mitchell",
    "Carter",    "Roberts",      "Quinn",      "Underwood", "Vance",    "Xu",       "Yates",    "Zimmerman",
    "Ibsen",     "Kowalski",     "Ortega",     "Fischer",   "O'Brien",  "O'Neil",   "D'Angelo", "McDonald",
    "MacLeod",   "van der Berg", "de la Cruz", "von Trapp", "Éclair",   "Ångström", "Øberg",    "Çelik",
    "Šimek",     "Über",         "Ibáñez",     "Zyzzyva",   "ZZYZX",    "adams",    "de Souza", "le Carré"};
const char* const kStreets[] = {"Main St",     "Oak Ave",         "Maple Dr",  "Cedar Ln", "Pine St",
                                "Elm St",      "Washington Blvd", "Lake Rd",   "Hill St",  "Park Ave",
                                "Sunset Blvd", "River Rd",        "Church St", "Mill Ln",  "High St"};
struct City {
    const char* city;
    const char* state;
    const char* country;
};
const City kCities[] = {{"Springfield", "IL", "United States of America"},
                        {"Portland", "OR", "United States of America"},
                        {"Austin", "TX", "United States of America"},
                        {"Boston", "MA", "United States of America"},
                        {"Denver", "CO", "United States of America"},
                        {"Toronto", "ON", "Canada"},
                        {"Vancouver", "BC", "Canada"},
                        {"Seattle", "WA", "United States of America"},
                        {"Miami", "FL", "United States of America"},
                        {"Chicago", "IL", "United States of America"}};
const char* const kCompanies[] = {"Acme Corp",
                                  "Globex",
                                  "Initech",
                                  "Umbrella Ltd",
                                  "Stark Industries",
                                  "Wayne Enterprises",
                                  "Hooli",
                                  "Vandelay Industries",
                                  "1st Choice Plumbing",
                                  "3M Dental",
                                  "Ørsted Energy",
                                  "Bluth Company"};
const char* const kCategories[] = {"Work",     "Family",        "Friends", "Golf",
                                   "Business", "Holiday Cards", "VIP",     "Book Club"};
const char* const kDomains[] = {"example.com", "example.org", "mail.example.net", "corp.example"};

class Picker {
public:
    explicit Picker(quint32 seed) : mRandom(seed) {}
    int below(int n) { return static_cast<int>(mRandom.bounded(static_cast<quint32>(n))); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, size_t N> QString pick(const T (&list)[N]) {
        return QString::fromUtf8(list[below(static_cast<int>(N))]);
    }
    QString phone() {
        return QStringLiteral("(%1) %2-%3")
            .arg(200 + below(800))
            .arg(200 + below(800))
            .arg(below(10000), 4, 10, QLatin1Char('0'));
    }
    QString date(int fromYear, int toYear) {
        return QStringLiteral("%1/%2/%3")
            .arg(1 + below(12))
            .arg(1 + below(28))
            .arg(fromYear + below(toYear - fromYear));
    }

private:
    QRandomGenerator mRandom;
};

QString mailName(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            out += c.toLower();
    }
    return out;
}

} // namespace

void generateDemoContacts(const ol::FolderPtr& folder, int count, quint32 seed) {
    Picker p(seed);
    ol::ItemsPtr items = folder->Items();
    ol::Batch batch(folder);
    for (int i = 0; i < count; ++i) {
        ol::ItemPtr c = items->Add(ol::olContactItem);
        const int kind = p.below(100);
        QString first = p.pick(kFirst);
        QString last = p.pick(kLast);
        QString company;
        if (kind < 4) {
            // A company without a person: no last name, listed under MISC.
            company = p.pick(kCompanies);
            c->set(ol::prop::CompanyName, company);
            first.clear();
            last.clear();
        } else if (kind < 7) {
            c->set(ol::prop::FirstName, first); // a single name
            last.clear();
        } else {
            c->set(ol::prop::FirstName, first);
            if (p.chance(8))
                c->set(ol::prop::MiddleName, QString(QChar(u'A' + p.below(26))) + QLatin1Char('.'));
            c->set(ol::prop::LastName, last);
            if (p.chance(3))
                c->set(ol::prop::Suffix, QStringLiteral("Jr."));
            if (p.chance(40))
                c->set(ol::prop::CompanyName, company = p.pick(kCompanies));
        }
        if (p.chance(70))
            c->set(ol::prop::MobileTelephoneNumber, p.phone());
        if (p.chance(50))
            c->set(ol::prop::HomeTelephoneNumber, p.phone());
        if (p.chance(45))
            c->set(ol::prop::BusinessTelephoneNumber, p.phone());
        if (p.chance(10))
            c->set(ol::prop::BusinessFaxNumber, p.phone());
        if (p.chance(5))
            c->set(ol::prop::PagerNumber, p.phone());
        if (p.chance(5))
            c->set(ol::prop::OtherTelephoneNumber, p.phone());
        const QString person =
            mailName(first) + (last.isEmpty() ? QString() : QLatin1Char('.') + mailName(last));
        const QString user = person.isEmpty() ? QStringLiteral("info") : person;
        if (p.chance(80))
            c->set(ol::prop::Email1Address, user + QLatin1Char('@') + p.pick(kDomains));
        if (p.chance(20))
            c->set(ol::prop::Email2Address, user + QStringLiteral(".home@") + p.pick(kDomains));
        if (p.chance(25))
            c->set(ol::prop::WebPage,
                   QStringLiteral("https://www.") + p.pick(kDomains) + QLatin1Char('/') + user);
        const auto address = [&](int street, int city, int state, int postal, int country) {
            const City& where = kCities[p.below(static_cast<int>(std::size(kCities)))];
            c->set(street, QStringLiteral("%1 %2").arg(1 + p.below(9999)).arg(p.pick(kStreets)));
            c->set(city, QString::fromUtf8(where.city));
            c->set(state, QString::fromUtf8(where.state));
            c->set(postal, QStringLiteral("%1").arg(10000 + p.below(89999)));
            c->set(country, QString::fromUtf8(where.country));
        };
        if (p.chance(60))
            address(ol::prop::HomeAddressStreet, ol::prop::HomeAddressCity, ol::prop::HomeAddressState,
                    ol::prop::HomeAddressPostalCode, ol::prop::HomeAddressCountry);
        if (p.chance(40))
            address(ol::prop::BusinessAddressStreet, ol::prop::BusinessAddressCity,
                    ol::prop::BusinessAddressState, ol::prop::BusinessAddressPostalCode,
                    ol::prop::BusinessAddressCountry);
        if (p.chance(5))
            address(ol::prop::OtherAddressStreet, ol::prop::OtherAddressCity, ol::prop::OtherAddressState,
                    ol::prop::OtherAddressPostalCode, ol::prop::OtherAddressCountry);
        const int categories = p.chance(55) ? 0 : 1 + p.below(2);
        QStringList cats;
        for (int k = 0; k < categories; ++k)
            cats << p.pick(kCategories);
        if (!cats.isEmpty())
            c->set(ol::prop::Categories, cats.join(QStringLiteral(", ")));
        if (p.chance(12) && !first.isEmpty()) {
            QStringList lines{p.date(1940, 2010)};
            if (p.chance(30))
                lines << QStringLiteral("*Anniversary .Wedding_Day ") + p.date(1970, 2020);
            if (p.chance(10))
                lines << QStringLiteral("*Graduation Kid ") +
                             p.date(1990, 2024).left(5).section(QLatin1Char('/'), 0, 1);
            c->set(ol::prop::User1, lines.join(QStringLiteral("\r\n")));
        }
        if (p.chance(15))
            c->set(ol::prop::Body,
                   QStringLiteral("Met at the %1 meeting.\r\nPrefers e-mail.").arg(p.pick(kCategories)));
        if (p.chance(10))
            c->set(ol::prop::JobTitle, p.chance(50) ? QStringLiteral("Manager") : QStringLiteral("Engineer"));
        c->Save();
    }
    batch.commit();
}

} // namespace qel
