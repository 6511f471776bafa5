#pragma once

#include "Keyring.h"

namespace qel {

// The desktop's secret service through QtKeychain, under the service name "QEL". Each call waits
// for its answer (at most a few seconds) in a local event loop. Without a session bus (no
// DBUS_SESSION_BUS_ADDRESS and no bus socket in the runtime folder) it answers Unavailable at once,
// rather than have a bus started for it.
class QtKeychainKeyring : public Keyring {
public:
    Status read(const QString& name, QString& secret) override;
    bool write(const QString& name, const QString& secret) override;
    bool remove(const QString& name) override;

    // A session bus to ask on.
    static bool sessionBusPresent();
};

} // namespace qel
