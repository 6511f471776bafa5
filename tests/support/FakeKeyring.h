#pragma once

// Header only: tests that include it link qel_platform_seams (through qel_core or qel_platform).
#include "platform/Keyring.h"

#include <QHash>

namespace qeltest {

// A keyring in memory, installed while it lives (the previous one comes back after). It can be
// switched off (no secret service: every call fails) or made to refuse writes only.
class FakeKeyring : public qel::Keyring {
public:
    FakeKeyring() : mPrevious(qel::setKeyring(this)) {}
    ~FakeKeyring() override { qel::setKeyring(mPrevious); }
    FakeKeyring(const FakeKeyring&) = delete;
    FakeKeyring& operator=(const FakeKeyring&) = delete;

    Status read(const QString& name, QString& secret) override {
        if (!available)
            return Status::Unavailable;
        if (!secrets.contains(name))
            return Status::NotFound;
        secret = secrets.value(name);
        return Status::Found;
    }
    bool write(const QString& name, const QString& secret) override {
        if (!available || refuseWrites)
            return false;
        secrets.insert(name, secret);
        return true;
    }
    bool remove(const QString& name) override {
        if (!available)
            return false;
        secrets.remove(name);
        return true;
    }

    bool available = true;
    bool refuseWrites = false;
    QHash<QString, QString> secrets;

private:
    qel::Keyring* mPrevious;
};

} // namespace qeltest
