#pragma once

// Header only: tests that include it link qel_platform.
#include "platform/HotKey.h"

#include <QHash>
#include <QList>
#include <QString>

namespace qeltest {

// The hot keys for a test: installed while it lives (the previous ones come back after), it keeps the
// registered keys, records every registration and release, can refuse keys, and lets the test press a
// registered hot key. Like the real ones, a key fires only while it is registered.
class HotKeyDouble : public qel::HotKey {
public:
    struct Registration {
        int id = 0;
        int virtualKey = 0;
        qel::HotKeyModifiers modifiers;
    };

    HotKeyDouble() : mPrevious(qel::HotKeySeam::set(this)) {}
    ~HotKeyDouble() override { qel::HotKeySeam::set(mPrevious); }
    HotKeyDouble(const HotKeyDouble&) = delete;
    HotKeyDouble& operator=(const HotKeyDouble&) = delete;

    bool registerHotKey(int id, int virtualKey, qel::HotKeyModifiers modifiers) override {
        mLastError.clear();
        mActive.remove(id);
        mRegistrations.append(Registration{id, virtualKey, modifiers});
        if (!mRefuseAll.isEmpty())
            mLastError = mRefuseAll;
        else if (mRefusedKeys.contains(virtualKey))
            mLastError = mRefusedKeys.value(virtualKey);
        else {
            for (const Registration& other : std::as_const(mActive))
                if (other.virtualKey == virtualKey && other.modifiers == modifiers)
                    mLastError = QStringLiteral("already hot key %1").arg(other.id);
        }
        if (!mLastError.isEmpty())
            return false;
        mActive.insert(id, Registration{id, virtualKey, modifiers});
        return true;
    }
    void unregisterHotKey(int id) override {
        if (mActive.remove(id))
            mUnregistered.append(id);
    }
    void unregisterAll() override {
        const QList<int> ids = mActive.keys();
        for (const int id : ids)
            unregisterHotKey(id);
    }
    bool isRegistered(int id) const override { return mActive.contains(id); }
    QString lastError() const override { return mLastError; }

    // Every later registration fails with `reason` ("no X11 display"); "" takes that back.
    void refuseAll(const QString& reason) { mRefuseAll = reason; }
    // Registrations of this key fail with `reason` (taken by another program).
    void refuseKey(int virtualKey, const QString& reason) { mRefusedKeys.insert(virtualKey, reason); }

    // The user presses / lets go of hot key `id`; returns false (and fires nothing) when it is not
    // registered.
    bool press(int id) {
        if (!isRegistered(id))
            return false;
        Q_EMIT pressed(id);
        return true;
    }
    bool release(int id) {
        if (!isRegistered(id))
            return false;
        Q_EMIT released(id);
        return true;
    }

    // The key registered as `id` now (id 0 and virtual key 0 when none).
    Registration registered(int id) const { return mActive.value(id); }
    // Every registration tried, in order, also the refused ones.
    const QList<Registration>& registrations() const { return mRegistrations; }
    // The ids given back, in order.
    const QList<int>& unregistered() const { return mUnregistered; }

private:
    qel::HotKey* mPrevious;
    QHash<int, Registration> mActive;
    QList<Registration> mRegistrations;
    QList<int> mUnregistered;
    QHash<int, QString> mRefusedKeys;
    QString mRefuseAll;
    QString mLastError;
};

} // namespace qeltest
