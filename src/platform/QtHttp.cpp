// The program's HTTP client on QNetworkAccessManager: asynchronous on the event loop, TLS through
// Qt's system backend, redirects followed within the same security level, a bound on a stalled
// transfer.

#include "Platform.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

namespace qel {

namespace {

constexpr int kTransferTimeoutMs = 30000; // a service that stops answering fails after this

// The transport's reason for a failed request, without the address's query (it may hold
// passwords): every form of the full address in the text is replaced by the bare one.
QString errorWithoutQuery(const QNetworkReply& reply, const QUrl& url) {
    QString text = reply.errorString();
    const QString bare = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveUserInfo | QUrl::RemoveFragment)
                             .toString(QUrl::FullyEncoded);
    for (const QString& form : {url.toString(QUrl::FullyEncoded), url.toString(), url.toDisplayString(),
                                QString::fromLatin1(url.toEncoded())})
        text.replace(form, bare);
    if (url.hasQuery()) {
        // Whatever form the transport chose, no part of the query goes out in the text.
        for (const QString& form : {url.query(QUrl::FullyEncoded), url.query(QUrl::FullyDecoded)})
            if (!form.isEmpty())
                text.replace(form, QStringLiteral("..."));
    }
    return text.isEmpty() ? QStringLiteral("no answer") : text;
}

} // namespace

QtHttpClient::QtHttpClient() = default;
QtHttpClient::~QtHttpClient() = default;

void QtHttpClient::get(const QUrl& url, QObject* context, std::function<void(const HttpReply&)> done) {
    if (!mManager) {
        mManager = std::make_unique<QNetworkAccessManager>();
        mManager->setTransferTimeout(kTransferTimeoutMs);
        mManager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Vantrel"));
    QNetworkReply* reply = mManager->get(request);
    const QPointer<QObject> receiver(context);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, url, receiver, done = std::move(done)] {
        reply->deleteLater();
        if (!receiver || !done)
            return;
        HttpReply answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = reply->readAll();
        if (answer.status == 0)
            answer.error = errorWithoutQuery(*reply, url);
        done(answer);
    });
}

} // namespace qel
