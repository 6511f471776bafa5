#include "Links.h"

#include <QStringList>

namespace qel::links {

namespace {

const QString kCRLF = QStringLiteral("\r\n");
constexpr int kClipboardScan = 30;
constexpr int kClipboardDigits = 11;

// Percent-encodes text for a query value; the characters of `keep` stay as they are.
QString encoded(const QString& text, const QByteArray& keep = {}) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

// The lines of a text typed in a box: CR LF, LF or CR end a line.
QStringList linesOf(QString text) {
    text.replace(kCRLF, QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

// A text of several lines with CR LF between them.
QString withCRLF(const QString& text) {
    return linesOf(text).join(kCRLF);
}

} // namespace

QString mail(const QString& address) {
    return QStringLiteral("mailto:") + address;
}

QString gmail(const QString& address) {
    return kGmail + QStringLiteral("/gmail?view=cm&fs=1&tearoff=1&to=") + encoded(address, "@") +
           QStringLiteral("&fs=1");
}

QString hotmail(const QString& address) {
    return kHotmail + QStringLiteral("/secure/start?action=compose&to=") + encoded(address, "@");
}

QString mapQuery(const QString& address) {
    return encoded(linesOf(address).join(QLatin1Char(' ')), " ").replace(QLatin1Char(' '), QLatin1Char('+'));
}

QString map(const QString& address) {
    return kMaps + QStringLiteral("/maps?q=") + mapQuery(address);
}

QString directions(const QString& fromAddress, const QString& toAddress) {
    return kMaps + QStringLiteral("/maps?q=") + mapQuery(fromAddress) + QStringLiteral("+to+") +
           mapQuery(toAddress);
}

QString dialDigits(const QString& number) {
    QString digits = number;
    for (const QChar c : {QLatin1Char('('), QLatin1Char(')'), QLatin1Char(' '), QLatin1Char('-')})
        digits.remove(c);
    return digits;
}

QUrl clickToCall(const QString& service, const QString& userName, const QString& password,
                 const QString& ownNumber, const QString& number) {
    QString base = service.trimmed();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    const QString address = base + QStringLiteral("/tpcc/makecall?username=") + encoded(userName) +
                            QStringLiteral("&password=") + encoded(password) +
                            QStringLiteral("&fromnumber=") + encoded(ownNumber) +
                            QStringLiteral("&tonumber=") + encoded(number);
    return QUrl::fromEncoded(address.toUtf8(), QUrl::StrictMode);
}

QString clipboardDigits(const QString& text) {
    QString digits;
    for (const QChar c : text.left(kClipboardScan)) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
        if (digits.size() == kClipboardDigits)
            break;
    }
    return digits;
}

bool isMailAddress(const QString& text) {
    return text.contains(QLatin1Char('@')) && text.contains(QLatin1Char('.'));
}

QString textMessage(const QString& to, const QString& signature) {
    QString body = QStringLiteral("%0d");
    if (!signature.isEmpty()) {
        QStringList lines;
        for (const QString& line : linesOf(signature))
            lines << encoded(line, " ");
        body += lines.join(QStringLiteral("%0d")) + QStringLiteral("%0d");
    }
    return QStringLiteral("mailto:") + to + QStringLiteral("?body=") + body +
           QStringLiteral("Message sent via Vantrel");
}

QString cardText(const CardText& card) {
    static const std::array<const char*, 16> kNumberLabels{"Home Telephone: ",
                                                           "Mobile Telephone: ",
                                                           "Work Telephone: ",
                                                           "Work Fax Telephone: ",
                                                           "Home2 Telephone: ",
                                                           "Car Telephone: ",
                                                           "Callback Telephone: ",
                                                           "Home Fax Telephone: ",
                                                           "Primary Telephone: ",
                                                           "Pager: ",
                                                           "Work2 Telephone: ",
                                                           "Other Fax Telephone: ",
                                                           "Company Main Telephone: ",
                                                           "Assistant's Telephone: ",
                                                           "ISDN Number: ",
                                                           "Other Telephone: "};
    QString text = QStringLiteral("Contact information for ") + card.name + kCRLF;
    for (size_t i = 0; i < card.numbers.size(); ++i) {
        if (!card.numbers[i].isEmpty())
            text += kCRLF + QLatin1String(kNumberLabels[i]) + card.numbers[i];
    }
    const auto& [business, home, other] = card.addresses;
    if (!business.isEmpty() || !home.isEmpty() || !other.isEmpty()) {
        text += kCRLF + kCRLF + QStringLiteral("Mailing Address(es):") + kCRLF;
        if (!business.isEmpty())
            text += kCRLF + withCRLF(business);
        for (const QString& address : {home, other}) {
            if (!address.isEmpty())
                text += kCRLF + kCRLF + withCRLF(address);
        }
    }
    if (!card.emails[0].isEmpty() || !card.emails[1].isEmpty() || !card.emails[2].isEmpty()) {
        text += kCRLF + kCRLF + QStringLiteral("E-mail Address(es):") + kCRLF;
        for (size_t k = 0; k < card.emails.size(); ++k) {
            if (!card.emails[k].isEmpty())
                text += kCRLF + QStringLiteral("Email#%1: ").arg(k + 1) + card.emails[k];
        }
    }
    if (!card.webPage.isEmpty())
        text += kCRLF + kCRLF + QStringLiteral("Web Site:") + kCRLF + card.webPage;
    return text + kCRLF + kCRLF + QStringLiteral("--Provided by Vantrel--");
}

} // namespace qel::links
