#pragma once

#include "platform/Ftp.h"

namespace qel {

// The preferences' two steps on the FTP server, run through the program's FTP client (ftp()) with
// the server and login the dialog shows.
class PrefsFtpSteps {
public:
    // Test FTP Settings: connects, disconnects again and says whether the connection succeeded (the
    // dialog shows the message).
    bool testFtp(const FtpSettings& server);

    // Becoming the sync master: connects, resets LastSync.dat to "First Sync", and makes sure the
    // server's master marker ("MASTER-" + identity) is this computer's: another computer's marker is
    // replaced only when the user confirms it. Shows every message itself. true: the role may be
    // saved; false: nothing may be written (LastSync.dat may have been reset already).
    bool becomeMaster(const FtpSettings& server);
};

} // namespace qel
