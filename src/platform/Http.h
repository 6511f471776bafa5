#pragma once

#include "Seam.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

class QObject;

namespace qel {

// The answer to one HTTP request.
struct HttpReply {
    int status = 0;  // the HTTP status code; 0 when no answer came
    QByteArray body; // what the server sent back (also with an error status)
    QString error;   // why no answer came ("" when one did). Never holds the request's query.
    bool answered() const { return error.isEmpty() && status != 0; }
    bool accepted() const { return answered() && status >= 200 && status < 300; }
};

// The program's one HTTP client (click-to-call, the update check). Requests never block: get()
// returns at once and `done` runs later, on the thread of the event loop, with the answer.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    // A GET of url. `done` is dropped, unrun, when `context` is destroyed before the answer comes.
    virtual void get(const QUrl& url, QObject* context, std::function<void(const HttpReply&)> done) = 0;
};

using HttpSeam = Seam<HttpClient>;
inline HttpClient& http() {
    return HttpSeam::get();
}

} // namespace qel
