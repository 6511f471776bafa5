#pragma once

// The help and the update check on bare controls of their own, with live settings whose download
// host is a real HTTP server on 127.0.0.1, the program's exits counted, and a version of the
// test's choosing.

#include "core/Tag.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "support/HttpServer.h"
#include "support/SeamScope.h"
#include "support/SettingsFixture.h"
#include "support/TestEnvironment.h"
#include "updates/HelpAndUpdates.h"

#include <QDir>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace updatestest {

using qeltest::HttpServer;

struct Harness {
    explicit Harness(qel::ProgramVersion version,
                     const QString& host = QStringLiteral("http://127.0.0.1:9")) {
        static int serial = 0;
        const QString folder = qeltest::sandboxRoot() + QStringLiteral("/program-%1").arg(++serial);
        QDir().mkpath(folder);
        qel::setProgramFolder(folder);
        settings.load();
        settings.updateHost = host;
        webBrowser.setObjectName(QStringLiteral("WebBrowser1"));
        qel::UpdateControls controls;
        controls.WebBrowser1 = &webBrowser;
        controls.SyncTimer = &syncTimer;
        controls.window = &window;
        qel::UpdateHooks hooks;
        hooks.exitProgram = [this] { ++exits; };
        updates = std::make_unique<qel::HelpAndUpdates>(controls, settings, hooks, version);
    }
    QString tag() const { return qel::Tag(&webBrowser); }

    qel::SettingsModel settings;
    QWidget window;
    QObject webBrowser;
    QTimer syncTimer;
    int exits = 0;
    std::unique_ptr<qel::HelpAndUpdates> updates;
};

// A version page as the download host serves it: the body's text split at "_".
inline QString versionPage(const QString& fields) {
    return QStringLiteral("<html><head><title>Download</title></head>\n<body>") + fields +
           QStringLiteral("</body></html>\n");
}

} // namespace updatestest
