// QEL --sync: the sync of the main window without the window, for a scheduled job. It runs as a
// sync started by the timer (no message box; the change checks may find nothing new), on the
// user's settings and store, with the special days and the colouring after a transfer.

#include "CommandLine.h"

#include "core/Tag.h"
#include "dav/DavAccount.h"
#include "platform/CurlFtp.h"
#include "specialdays/SpecialDayEngine.h"
#include "storetool/ToolSession.h"
#include "sync/FtpSync.h"
#include "tools/CalendarTools.h"

#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace qel {

int runSyncCommand(const CommandLine& line) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    QuietSeams quiet(err);
    CurlFtpClient client;
    FtpClient* const previousFtp = FtpSeam::set(&client);
    struct Restore {
        FtpClient* previous;
        ~Restore() { FtpSeam::set(previous); }
    } restore{previousFtp};

    ToolSettings toolSettings = loadToolSettings(QString());
    SettingsModel& settings = *toolSettings.settings;
    if (!settings.sync && !settings.davSync) {
        err << "QEL: Sync is disabled.  Please enable it in preferences.\n";
        out << "Sync is disabled.\n";
        return 1;
    }
    StoreObjects f;
    try {
        f = toolFolders(ol::Application::create(line.storeDir), toolSettings, true);
    } catch (const std::exception& e) {
        err << "QEL: the contact store could not be opened: " << e.what() << '\n';
        return 1;
    }

    QObject menuSync, menuTools, menuTraySync, marker;
    QTimer syncTimer; // never started: it carries the busy tag
    setTag(&menuSync, QStringLiteral("Timer Sync"));
    SyncHooks hooks;
    hooks.rescanQuietly = [&] {
        SpecialDayEngine engine(f.storeMembers(), settings, &marker);
        engine.removeQELDays(settings.qelDayPast);
        engine.setMarker(kMarkerSkip);
        engine.rescanContacts({});
    };
    hooks.colourQuietly = [&] {
        CalendarTools tools(f.storeMembers(), ToolControls{nullptr, nullptr, &menuTools, &syncTimer},
                            settings, {});
        tools.colourAppointments(true);
    };
    bool ok = true;
    if (settings.sync) {
        FtpSync sync(SyncControls{&menuSync, &syncTimer, &menuTools, &menuTraySync}, f.storeMembers(),
                     settings, hooks);
        const SyncResult result = sync.run();
        out << sync.lastStatus() << '\n';
        ok = result == SyncResult::Synced || result == SyncResult::NotNeeded;
    }
    // The CardDAV / CalDAV sync when it is on, after the FTP sync.
    const dav::DavRun dav =
        dav::runDavSync(settings, f.gOlNameSpace, f.gOlContactFolder, f.gOlCalendarFolder, nullptr);
    if (dav.ran) {
        out << dav.status << '\n';
        ok = ok && dav.ok;
    }
    out.flush();
    return ok ? 0 : 1;
}

} // namespace qel
