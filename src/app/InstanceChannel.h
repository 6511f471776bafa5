#pragma once

// The channel between a second start and the running program: a local socket beside the
// single-instance lock, private to the user. The second start sends its command line as one
// request; the running program checks it and answers "OK", or drops the connection without an
// answer when the request is malformed or comes from another user.
//
// A request is the magic "QEL\x01", the length of the rest as 4 bytes (big-endian, at most
// kMaxRequestBytes) and the arguments, each in UTF-8 followed by a NUL byte. The arguments are
// those of the program's command line and are read by parseCommandLine.

#include "CommandLine.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace qel {

constexpr qsizetype kMaxRequestBytes = 64 * 1024;
// How long the running program waits for a whole request after the connection.
constexpr int kRequestTimeoutMs = 2000;

QByteArray encodeInstanceRequest(const QStringList& arguments);

// What a buffer holds so far: a request not yet whole, a whole request (its command line), or
// something that can never become one (a wrong magic, a length over the bound, more bytes than
// the length says, an argument that is not UTF-8 or not a command line of a start).
struct InstanceRequestRead {
    enum class State { Incomplete, Complete, Malformed } state = State::Incomplete;
    CommandLine line;
};
InstanceRequestRead readInstanceRequest(const QByteArray& buffer);

// The arguments a start hands to the running program: the contact to open and the search text
// (the store folder and the start-up options stay with the start that gave them).
QStringList forwardedArguments(const CommandLine& line);

// True when the process at the other end of the connected local socket `fd` runs as this user.
bool peerIsSameUser(qintptr fd);

// Hands `arguments` to the program listening at `socketPath`. True when it answered "OK" within
// `timeoutMs` (the connection is tried again until then: the program may be starting).
bool handToRunningInstance(const QString& socketPath, const QStringList& arguments, int timeoutMs = 1000);

// The running program's end: listens at a path (taking over a socket file left by a program that
// has gone: only the holder of the instance lock listens) and emits `requested` for each good
// request, after answering it.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    bool listen(const QString& socketPath);
    void close();
    bool isListening() const;
    QString errorString() const;

Q_SIGNALS:
    void requested(const qel::CommandLine& line);
    // A connection was refused (another user, a malformed or unfinished request); for the log.
    void refused(const QString& reason);

private:
    void accept();
    void readFrom(QLocalSocket* socket);

    QLocalServer* mServer;
    QHash<QLocalSocket*, QByteArray> mRequests; // the bytes of each request not yet answered
};

} // namespace qel
