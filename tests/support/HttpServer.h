#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace qeltest {

// tests/support/http_server.py on an ephemeral port of 127.0.0.1, answering every request with
// `status` and `body` after `delaySeconds`; requests() are the request lines as they arrived.
class HttpServer {
public:
    HttpServer(int status, const QString& body, double delaySeconds = 0) {
        const QString script =
            qEnvironmentVariable("QEL_TEST_SOURCE_DIR") + QStringLiteral("/tests/support/http_server.py");
        mProcess.start(QStringLiteral("/usr/bin/python3"),
                       {script, QString::number(status), body, QString::number(delaySeconds)});
        if (!mProcess.waitForStarted(10000))
            return;
        while (mPort == 0 && mProcess.waitForReadyRead(10000)) {
            while (mProcess.canReadLine()) {
                const QString line = QString::fromUtf8(mProcess.readLine()).trimmed();
                if (line.startsWith(QStringLiteral("PORT ")))
                    mPort = line.mid(5).toInt();
            }
        }
    }
    ~HttpServer() {
        mProcess.kill();
        mProcess.waitForFinished(5000);
    }
    int port() const { return mPort; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(mPort); }
    // Every line the server has printed since it started listening.
    QStringList lines() {
        while (mProcess.canReadLine())
            mLines << QString::fromUtf8(mProcess.readLine()).trimmed();
        return mLines;
    }
    QStringList requests() {
        QStringList found;
        for (const QString& line : lines())
            if (line.startsWith(QStringLiteral("REQUEST ")))
                found << line.mid(8);
        return found;
    }

private:
    QProcess mProcess;
    int mPort = 0;
    QStringList mLines;
};

} // namespace qeltest
