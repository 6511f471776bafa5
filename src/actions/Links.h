#pragma once

// The texts the contact actions hand to the desktop and the service: e-mail, web mail, map and
// directions links, the click-to-call request, the text-message link, the numbers read from the
// clipboard, and the contact card as plain text.

#include <QString>
#include <QUrl>
#include <array>

namespace qel::links {

// The outside services (their paths and query keys are fixed below).
inline const QString kGmail = QStringLiteral("https://mail.google.com");
inline const QString kHotmail = QStringLiteral("https://mail.live.com");
inline const QString kMaps = QStringLiteral("https://maps.google.com");
// The pages of the text-message dialog: a reverse number lookup that names the carrier, and a list
// of the carriers' gateway domains.
inline const QString kNumberLookup = QStringLiteral("https://www.freecarrierlookup.com/");
inline const QString kCarrierDomains = QStringLiteral("https://en.wikipedia.org/wiki/SMS_gateway");

// The default e-mail program: "mailto:" + the address as it is ("mailto:" alone: a new message).
QString mail(const QString& address);
// Web mail compose pages; an empty address gives the page without one.
QString gmail(const QString& address);
QString hotmail(const QString& address);

// An address for a map query: every blank and line break is "+", and every other character that
// would end or change the query ("&", "#", "?", "+", ...) is percent-encoded.
QString mapQuery(const QString& address);
QString map(const QString& address);
QString directions(const QString& fromAddress, const QString& toAddress);

// A phone number as dialled: without "(", ")", blanks and "-".
QString dialDigits(const QString& number);
// The click-to-call request to the service at `service` (scheme and host): every value encoded.
QUrl clickToCall(const QString& service, const QString& userName, const QString& password,
                 const QString& ownNumber, const QString& number);

// The digits of the clipboard's text: those among its first 30 characters, at most 11.
QString clipboardDigits(const QString& text);
// The clipboard's text names an e-mail address: it holds an "@" and a ".".
bool isMailAddress(const QString& text);

// The text-message link: "mailto:" + to + "?body=" with the signature's lines (when there is one)
// and the line that closes every message, each line begun by "%0d".
QString textMessage(const QString& to, const QString& signature);

// The contact card as the copy and print commands write it (lines joined by CR LF).
struct CardText {
    QString name;                     // as the contact list shows it
    std::array<QString, 16> numbers;  // txtNumber(0..15)
    std::array<QString, 3> addresses; // business, home, other (line breaks as the boxes hold them)
    std::array<QString, 3> emails;
    QString webPage;
};
QString cardText(const CardText& card);

} // namespace qel::links
