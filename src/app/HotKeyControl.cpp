#include "HotKeyControl.h"

#include "Vantrel.h"

#include "core/DebugLog.h"
#include "prefs/PrefsLists.h"

namespace qel {

namespace {

int nextId() {
    static int last = 0;
    return ++last;
}

QString keyName(int virtualKey) {
    for (const prefs::HotKeyEntry& entry : prefs::hotKeyList())
        if (entry.code == virtualKey)
            return entry.description;
    return QStringLiteral("virtual-key code %1").arg(virtualKey);
}

} // namespace

HotKeyControl::HotKeyControl(const QString& name, QObject* parent) : QObject(parent), mId(nextId()) {
    setObjectName(name);
}

HotKeyControl::~HotKeyControl() {
    disarm();
}

QString HotKeyControl::describe() const {
    return hotKeyModifiersText(modifiers) + (virtualKey ? keyName(virtualKey) : QStringLiteral("(no key)"));
}

void HotKeyControl::setEnabled(bool on) {
    if (!on) {
        disarm();
        return;
    }
    HotKey& keys = hotKey();
    if (mSource != &keys) {
        if (mSource)
            disconnect(mSource, nullptr, this, nullptr);
        mSource = &keys;
        connect(&keys, &HotKey::pressed, this, [this](int id) {
            if (id == mId && mArmed)
                Q_EMIT pressed();
        });
    }
    // registerHotKey gives up a key held under the same id first.
    mArmed = keys.registerHotKey(mId, virtualKey, modifiers);
    if (!mArmed) {
        debug(QStringLiteral(":Hotkey ") + objectName() + QStringLiteral(" (") + describe() +
              QStringLiteral(") could not be registered: ") + keys.lastError());
    }
}

void HotKeyControl::disarm() {
    if (mArmed && mSource)
        mSource->unregisterHotKey(mId);
    mArmed = false;
}

} // namespace qel
