#include "PrefsFtpSteps.h"

#include "SyncFiles.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"

#include <algorithm>

namespace qel {

namespace {

const QString kNoMaster = QStringLiteral("Unable to change to Master mode! ");

// Reports a failed step of becoming master and drops the connection.
bool masterFailed(const QString& problem) {
    ftp().disconnect();
    dialogs().message(kNoMaster + problem);
    return false;
}

} // namespace

bool PrefsFtpSteps::testFtp(const FtpSettings& server) {
    FtpClient& client = ftp();
    client.configure(server);
    client.connect();
    const bool connected = client.isConnected();
    client.disconnect();
    return connected;
}

bool PrefsFtpSteps::becomeMaster(const FtpSettings& server) {
    FtpClient& client = ftp();
    client.configure(server);
    client.connect();
    if (!client.isConnected()) {
        dialogs().message(kNoMaster +
                          QStringLiteral("Could not connect to the FTP: Please check the host, user "
                                         "name, port number or password. Also try toggling passive "
                                         "mode."));
        return false;
    }
    const QString marker = QLatin1String(kMasterMarkerPrefix) + computerIdentity(client);

    // With "First Sync" the next sync of this computer runs in full.
    const QString problem = writeLastSync(QLatin1String(kFirstSync));
    SyncState::forget();
    if (!problem.isEmpty())
        return masterFailed(QLatin1String(kLastSyncFile) + QStringLiteral(" could not be written: ") +
                            problem);

    const auto entries = client.list();
    if (!entries)
        return masterFailed(QStringLiteral("The FTP could not be listed: ") + client.lastError());
    bool replaced = false;
    for (const FtpEntry& entry : *entries) {
        if (!entry.name.startsWith(QLatin1String(kMasterMarkerPrefix)) || entry.name == marker)
            continue;
        const MsgResult answer = dialogs().ask(
            QStringLiteral(
                "A MASTER already exists or you computer information has changed.  You should backup "
                "up your Outlook data before changing master roles!  The computer name and local IP "
                "of the current Master are:\r\n\r\n") +
                entry.name +
                QStringLiteral(
                    "\r\n\r\nYou MUST make the previous MASTER a SLAVE otherwise both computers will "
                    "try to sync as MASTER's. This can affect your Outlook data file in unwanted ways. "
                    "Are you sure you want this computer to be the master?"),
            MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Confirm Edit"));
        if (answer != MsgResult::Yes) {
            client.disconnect();
            return false;
        }
        if (!client.remove(entry.name))
            return masterFailed(QStringLiteral("The old master's file could not be deleted from the FTP: ") +
                                client.lastError());
        replaced = true;
        break;
    }
    // Here no other computer's marker is left; when this computer's own is there, all is in order.
    const bool ownMarker = std::any_of(entries->begin(), entries->end(),
                                       [&](const FtpEntry& entry) { return entry.name == marker; });
    if (replaced || !ownMarker) {
        if (!client.put(programFile(QLatin1String(kLastSyncFile)), marker))
            return masterFailed(QStringLiteral("The master's file could not be uploaded to the FTP: ") +
                                client.lastError());
    }
    client.disconnect();
    dialogs().message(
        QStringLiteral("This computer is now the MASTER. Be sure no other computers sync as a MASTER."));
    return true;
}

} // namespace qel
