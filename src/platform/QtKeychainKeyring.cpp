#include "QtKeychainKeyring.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <functional>
#include <qt6keychain/keychain.h>

namespace qel {

namespace {

const QString kService = QStringLiteral("QEL");
constexpr int kAnswerMs = 5000;

// Starts `job` and waits for its end; `ended` sees the job when it ends in time. false when it did
// not end in time (it then deletes itself whenever it ends, unheard) or ended with an error;
// `error` holds its error code.
bool finish(QKeychain::Job* job, QKeychain::Error& error,
            const std::function<void(QKeychain::Job*)>& ended = {}) {
    job->setAutoDelete(true);
    job->setInsecureFallback(false); // never the password in a plain file of QtKeychain's own
    QEventLoop loop;
    bool done = false;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* finished) {
        done = true;
        error = finished->error();
        if (ended)
            ended(finished);
        loop.quit();
    });
    QTimer::singleShot(kAnswerMs, &loop, &QEventLoop::quit);
    job->start();
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!done)
        QObject::disconnect(job, &QKeychain::Job::finished, &loop, nullptr);
    return done && error == QKeychain::NoError;
}

} // namespace

bool QtKeychainKeyring::sessionBusPresent() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

Keyring::Status QtKeychainKeyring::read(const QString& name, QString& secret) {
    if (!sessionBusPresent())
        return Status::Unavailable;
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(name);
    QKeychain::Error error = QKeychain::NoError;
    QString text;
    if (finish(job, error, [&text, job](QKeychain::Job*) { text = job->textData(); })) {
        secret = text;
        return Status::Found;
    }
    return error == QKeychain::EntryNotFound ? Status::NotFound : Status::Unavailable;
}

bool QtKeychainKeyring::write(const QString& name, const QString& secret) {
    if (!sessionBusPresent())
        return false;
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(name);
    job->setTextData(secret);
    QKeychain::Error error = QKeychain::NoError;
    return finish(job, error);
}

bool QtKeychainKeyring::remove(const QString& name) {
    if (!sessionBusPresent())
        return false;
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setKey(name);
    QKeychain::Error error = QKeychain::NoError;
    return finish(job, error) || error == QKeychain::EntryNotFound;
}

} // namespace qel
