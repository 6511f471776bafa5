#pragma once

// Two or more "computers" syncing through one real FTP server: each has its own program folder,
// store, settings, tags and FTP client (whose local address tells the computers apart), and runs
// the sync with scripted message boxes and a clock the test moves.

#include "core/SettingsModel.h"
#include "core/Tag.h"
#include "outlook/Outlook.h"
#include "platform/Clock.h"
#include "platform/CurlFtp.h"
#include "platform/ProgramFolder.h"
#include "storetool/ToolSession.h"
#include "support/FtpServer.h"
#include "support/TestEnvironment.h"
#include "sync/FtpSync.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

namespace synctest {

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Sync settings against the test's server: sync on, this role, passive mode, TLS when the server
// requires it, contacts and calendar.
inline void serveFrom(qel::SettingsModel& settings, const qeltest::FtpServer& server, bool master) {
    settings.sync = true;
    settings.master = master;
    settings.host = server.host();
    settings.port = QString::number(server.port());
    settings.user = server.user();
    settings.password = server.password();
    settings.passiveMode = true;
    settings.useTLS = server.tls();
    settings.syncData = {true, true, false, false};
}

// The libcurl client with short timeouts, seen from one computer's address, trusting the
// certificates of `caFile` (else the system's), with points where a test breaks in: after an
// upload, and once during a transfer of the exchange file.
class ComputerFtp : public qel::FtpClient {
public:
    explicit ComputerFtp(QString address, const QString& caFile = {})
        : mAddress(std::move(address)), mInner(quick(caFile)) {}

    std::function<void(const QString& remoteName)> afterPut;
    std::function<void()> duringTransfer; // runs once `triggerBytes` have moved, then is cleared
    qint64 triggerBytes = 1;
    QStringList puts; // every remote name put

    void configure(const qel::FtpSettings& settings) override { mInner.configure(settings); }
    bool connect() override { return mInner.connect(); }
    bool isConnected() const override { return mInner.isConnected(); }
    QString localAddress() const override { return mInner.localAddress().isEmpty() ? QString() : mAddress; }
    QString lastError() const override { return mInner.lastError(); }
    std::optional<QList<qel::FtpEntry>> list() override { return mInner.list(); }
    bool put(const QString& localPath, const QString& remoteName, const qel::FtpProgress& progress) override {
        puts << remoteName;
        const bool done = mInner.put(localPath, remoteName, watched(remoteName, progress));
        if (afterPut)
            afterPut(remoteName);
        return done;
    }
    bool get(const QString& remoteName, const QString& localPath, const qel::FtpProgress& progress) override {
        return mInner.get(remoteName, localPath, watched(remoteName, progress));
    }
    bool remove(const QString& remoteName) override { return mInner.remove(remoteName); }
    bool rename(const QString& from, const QString& to) override { return mInner.rename(from, to); }
    void disconnect() override { mInner.disconnect(); }

private:
    static qel::CurlFtpOptions quick(const QString& caFile) {
        qel::CurlFtpOptions options;
        options.caFile = caFile;
        options.connectTimeout = 5;
        options.responseTimeout = 5;
        options.stalledTimeout = 5;
        return options;
    }
    qel::FtpProgress watched(const QString& remoteName, const qel::FtpProgress& progress) {
        return [this, remoteName, progress](qint64 done, qint64 total) {
            if (duringTransfer && done >= triggerBytes &&
                remoteName.startsWith(QLatin1String("MyContacts.mdb"))) {
                const std::function<void()> once = std::move(duringTransfer);
                duringTransfer = {};
                once();
            }
            return progress ? progress(done, total) : true;
        };
    }
    QString mAddress;
    qel::CurlFtpClient mInner;
};

// Records the status lines; cancels from the status line `cancelAt` on.
class TestProgress : public qel::Progress {
public:
    void begin(int) override {}
    void setStatus(const QString& text) override {
        lines << text;
        if (!cancelAt.isEmpty() && text == cancelAt)
            cancel = true;
    }
    bool cancelled() const override { return cancel; }
    QStringList lines;
    QString cancelAt;
    bool cancel = false;
};

class Computer {
public:
    // `caFile`: the certificates the computer trusts; by default, a TLS server's own.
    Computer(const QString& address, const qeltest::FtpServer& server, bool master,
             const std::optional<QString>& caFile = std::nullopt)
        : client(address, caFile.value_or(server.tls() ? server.certificate() : QString())),
          storeDir(qeltest::freshStoreDir(QStringLiteral("sync"))) {
        const ol::ApplicationPtr app = ol::Application::create(storeDir);
        app->setClock([] { return qel::clock().now(); });
        qel::ToolSettings where;
        where.contactPath = QStringLiteral("Personal Folders\\Contacts");
        f = qel::toolFolders(app, where, true); // with the safe items
        serveFrom(settings, server, master);
        settings.intervalSync = true;
        settings.interval = QStringLiteral("30");
        qel::SyncHooks hooks;
        hooks.loadProgress = [this] { return &progress; };
        hooks.setTrayStatus = [this](const QString& text) { trayStatus = text; };
        hooks.setIcon = [this](qel::SyncIcon picture) { icons << picture; };
        sync = std::make_unique<qel::FtpSync>(
            qel::SyncControls{&menuSync, &SyncTimer, &menuTools, &menuTraySync}, f.storeMembers(), settings,
            hooks);
    }

    // One sync of this computer (timed: as the timer starts it).
    qel::SyncResult run(bool timed) {
        qel::setProgramFolder(home.path());
        qel::FtpClient* previous = qel::FtpSeam::set(&client);
        qel::setTag(&menuSync, timed ? QStringLiteral("Timer Sync") : QString());
        progress.lines.clear();
        const qel::SyncResult result = sync->run();
        qel::setTag(&menuSync, QString());
        qel::FtpSeam::set(previous);
        return result;
    }
    void useServer(const qeltest::FtpServer& server) { settings.port = QString::number(server.port()); }

    QString file(const QString& name) const { return home.filePath(name); }
    QString identity() const;

    ol::ItemPtr addContact(const QString& first, const QString& last, const QString& company,
                           const QString& email, const QString& phone, const QString& city) {
        ol::ItemPtr c = f.gOlContactFolder->Items()->Add(ol::olContactItem);
        c->set(ol::prop::FirstName, first);
        c->set(ol::prop::LastName, last);
        c->set(ol::prop::CompanyName, company);
        c->set(ol::prop::Email1Address, email);
        c->set(ol::prop::BusinessTelephoneNumber, phone);
        c->set(ol::prop::HomeAddressCity, city);
        c->set(ol::prop::Body, QStringLiteral("Notes of ") + first + QStringLiteral("\r\nsecond line"));
        c->Save();
        return c;
    }
    ol::ItemPtr addAppointment(const QString& subject, const QDateTime& start, const QString& location) {
        ol::ItemPtr a = f.gOlCalendarFolder->Items()->Add(ol::olAppointmentItem);
        a->set(ol::prop::Subject, subject);
        a->set(ol::prop::Start, start);
        a->set(ol::prop::Duration, 90);
        a->set(ol::prop::Location, location);
        a->Save();
        return a;
    }

    // The contacts and appointments property by property (categories aside), sorted, as a fresh
    // connection to the store reads them.
    QStringList contents() const {
        const ol::ApplicationPtr fresh = ol::Application::create(storeDir);
        const ol::NameSpacePtr ns = fresh->GetNamespace();
        QStringList out;
        for (const ol::ItemPtr& c : ns->folderByPath(QStringLiteral("Personal Folders\\Contacts"))->Items()) {
            QStringList fields;
            for (const char* p : {"FirstName", "LastName", "FullName", "CompanyName", "Email1Address",
                                  "BusinessTelephoneNumber", "HomeAddressCity", "Body"})
                fields << c->Get(QLatin1String(p)).toString();
            out << QStringLiteral("contact|") + fields.join(QLatin1Char('|'));
        }
        for (const ol::ItemPtr& a : ns->folderByPath(QStringLiteral("Personal Folders\\Calendar"))->Items()) {
            QStringList fields;
            for (const char* p : {"Subject", "Start", "End", "Duration", "Location"})
                fields << a->Get(QLatin1String(p)).toString();
            out << QStringLiteral("appointment|") + fields.join(QLatin1Char('|'));
        }
        out.sort();
        return out;
    }

    QTemporaryDir home; // the program folder
    ComputerFtp client;
    QString storeDir;
    qel::StoreObjects f; // the window's members on the store
    qel::SettingsModel settings;
    QObject menuSync, SyncTimer, menuTools, menuTraySync;
    TestProgress progress;
    QString trayStatus;
    QList<qel::SyncIcon> icons;
    std::unique_ptr<qel::FtpSync> sync;
};

} // namespace synctest
