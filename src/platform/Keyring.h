#pragma once

// The desktop's secret service, where the stored passwords go when one answers. The program runs
// on the QtKeychain implementation (QtKeychainKeyring.h); without one installed (tools, tests) there
// is no keyring and every call fails, which leaves the passwords in the settings file.

#include <QString>

namespace qel {

class Keyring {
public:
    virtual ~Keyring() = default;
    enum class Status {
        Found,
        NotFound,   // the keyring answered: no secret under that name
        Unavailable // no secret service, or it refused
    };
    // The secret stored under `name` into `secret` (left as it is unless Found).
    virtual Status read(const QString& name, QString& secret) = 0;
    // True once the keyring holds `secret` under `name`.
    virtual bool write(const QString& name, const QString& secret) = 0;
    // True once the keyring holds nothing under `name` (also when it held nothing before).
    virtual bool remove(const QString& name) = 0;
};

// The keyring in use; a keyring that is never available when none has been installed.
Keyring& keyring();
// Installs `implementation` (nullptr: none) and returns the one it replaces.
Keyring* setKeyring(Keyring* implementation);

} // namespace qel
