#include "InstanceChannel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace qel {

namespace {

const QByteArray kMagic("QEL\x01", 4);
constexpr qsizetype kHeaderBytes = 8;
const QByteArray kAccepted("OK");
constexpr int kRetryMs = 50;

} // namespace

QByteArray encodeInstanceRequest(const QStringList& arguments) {
    QByteArray body;
    for (const QString& argument : arguments) {
        body += argument.toUtf8();
        body += '\0';
    }
    QByteArray request = kMagic;
    char length[4];
    qToBigEndian(static_cast<quint32>(body.size()), length);
    request.append(length, 4);
    return request + body;
}

InstanceRequestRead readInstanceRequest(const QByteArray& buffer) {
    using State = InstanceRequestRead::State;
    InstanceRequestRead read;
    const qsizetype known = std::min(buffer.size(), kMagic.size());
    if (buffer.left(known) != kMagic.left(known)) {
        read.state = State::Malformed;
        return read;
    }
    if (buffer.size() < kHeaderBytes)
        return read;
    const quint32 length = qFromBigEndian<quint32>(buffer.constData() + 4);
    if (length > static_cast<quint32>(kMaxRequestBytes) || buffer.size() > kHeaderBytes + qsizetype(length)) {
        read.state = State::Malformed;
        return read;
    }
    if (buffer.size() < kHeaderBytes + qsizetype(length))
        return read;

    read.state = State::Malformed;
    const QByteArray body = buffer.mid(kHeaderBytes);
    if (!body.isEmpty() && !body.endsWith('\0'))
        return read;
    QStringList arguments;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    qsizetype start = 0;
    while (start < body.size()) {
        const qsizetype end = body.indexOf('\0', start);
        const QString argument = utf8.decode(QByteArrayView(body).sliced(start, end - start));
        if (utf8.hasError())
            return read;
        arguments.append(argument);
        start = end + 1;
    }
    read.line = parseCommandLine(arguments);
    if (!read.line.error.isEmpty() || read.line.help || read.line.version)
        return read;
    read.state = State::Complete;
    return read;
}

QStringList forwardedArguments(const CommandLine& line) {
    QStringList arguments;
    if (!line.search.isNull())
        arguments << QStringLiteral("--search") << line.search;
    if (!line.words.isEmpty())
        arguments << QStringLiteral("--") << line.words;
    return arguments;
}

bool peerIsSameUser(qintptr fd) {
#if defined(SO_PEERCRED)
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof credentials)
        return false;
    return credentials.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(static_cast<int>(fd), &uid, &gid) == 0 && uid == ::geteuid();
#endif
}

bool handToRunningInstance(const QString& socketPath, const QStringList& arguments, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    const auto left = [&] { return std::max<qint64>(0, timeoutMs - clock.elapsed()); };
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(static_cast<int>(left())))
            break;
        socket.abort();
        if (left() <= kRetryMs)
            return false;
        QThread::msleep(kRetryMs);
    }
    socket.write(encodeInstanceRequest(arguments));
    if (!socket.waitForBytesWritten(static_cast<int>(left())))
        return false;
    QByteArray answer;
    while (answer.size() < kAccepted.size() && left() > 0) {
        if (!socket.waitForReadyRead(static_cast<int>(left())))
            break;
        answer += socket.readAll();
    }
    return answer == kAccepted;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), mServer(new QLocalServer(this)) {
    // The socket file is made readable and writable by the user alone before it takes its name.
    mServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(mServer, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer() {
    close();
    delete mServer; // its connections with it, while the requests they read are still here
}

bool InstanceServer::listen(const QString& socketPath) {
    close();
    // A file left by a program that has gone (the caller holds the instance lock).
    QLocalServer::removeServer(socketPath);
    return mServer->listen(socketPath);
}

void InstanceServer::close() {
    if (mServer->isListening())
        mServer->close(); // removes the socket file
}

bool InstanceServer::isListening() const {
    return mServer->isListening();
}

QString InstanceServer::errorString() const {
    return mServer->errorString();
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = mServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsSameUser(socket->socketDescriptor())) {
            Q_EMIT refused(QStringLiteral("another user"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // A request that has not come whole in time is dropped.
        auto* timeout = new QTimer(socket);
        timeout->setSingleShot(true);
        connect(timeout, &QTimer::timeout, socket, [this, socket] {
            if (mRequests.remove(socket)) {
                Q_EMIT refused(QStringLiteral("unfinished request"));
                socket->abort();
            }
        });
        timeout->start(kRequestTimeoutMs);
        mRequests.insert(socket, QByteArray());
        connect(socket, &QObject::destroyed, this, [this, socket] { mRequests.remove(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        readFrom(socket);
    }
}

void InstanceServer::readFrom(QLocalSocket* socket) {
    if (!mRequests.contains(socket))
        return; // answered or refused already
    QByteArray& buffer = mRequests[socket];
    // Never more than one byte past the longest request: enough to see it is too long.
    buffer += socket->read(kHeaderBytes + kMaxRequestBytes + 1 - buffer.size());
    const InstanceRequestRead read = readInstanceRequest(buffer);
    if (read.state == InstanceRequestRead::State::Incomplete)
        return;
    mRequests.remove(socket);
    if (read.state == InstanceRequestRead::State::Malformed) {
        Q_EMIT refused(QStringLiteral("malformed request"));
        socket->abort();
        return;
    }
    socket->write(kAccepted);
    socket->flush();
    socket->disconnectFromServer();
    Q_EMIT requested(read.line);
}

} // namespace qel
