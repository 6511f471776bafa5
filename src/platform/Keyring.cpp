#include "Keyring.h"

namespace qel {

namespace {

class NoKeyring : public Keyring {
public:
    Status read(const QString&, QString&) override { return Status::Unavailable; }
    bool write(const QString&, const QString&) override { return false; }
    bool remove(const QString&) override { return false; }
};

Keyring*& installed() {
    static Keyring* current = nullptr;
    return current;
}

} // namespace

Keyring& keyring() {
    static NoKeyring none;
    return installed() ? *installed() : none;
}

Keyring* setKeyring(Keyring* implementation) {
    Keyring* previous = installed();
    installed() = implementation;
    return previous;
}

} // namespace qel
