#pragma once

#include "Seam.h"

#include <QObject>
#include <QString>

namespace qel {

// The modifier keys held together with a hot key. `win` is the Windows key (Super on X11).
struct HotKeyModifiers {
    bool win = false;
    bool shift = false;
    bool alt = false;
    bool ctrl = false;

    bool none() const { return !win && !shift && !alt && !ctrl; }
    friend bool operator==(const HotKeyModifiers&, const HotKeyModifiers&) = default;
};

// "Ctrl+Alt+Shift+Win+" for the modifiers that are held ("" for none), to put before a key's name.
inline QString hotKeyModifiersText(HotKeyModifiers modifiers) {
    QString text;
    if (modifiers.ctrl)
        text += QStringLiteral("Ctrl+");
    if (modifiers.alt)
        text += QStringLiteral("Alt+");
    if (modifiers.shift)
        text += QStringLiteral("Shift+");
    if (modifiers.win)
        text += QStringLiteral("Win+");
    return text;
}

// Keys that reach the program anywhere on the desktop, also while its window is hidden in the tray.
// A hot key is known by an id of the caller's choice; its key is a Windows virtual-key code, as the
// preferences store them (65 is A, 112 is F1 ...).
class HotKey : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Takes the key with exactly these modifiers as hot key `id`; a key registered before under the
    // same id is given up first. Returns false when the key cannot be had (not a key, taken by another
    // program or by another of our ids, no desktop to take it from); lastError() then says why.
    virtual bool registerHotKey(int id, int virtualKey, HotKeyModifiers modifiers) = 0;
    // Gives the key of `id` back to the desktop; nothing happens for an id not registered.
    virtual void unregisterHotKey(int id) = 0;
    virtual void unregisterAll() = 0;
    virtual bool isRegistered(int id) const = 0;
    // Why the last registerHotKey() failed, a line for the debug log; "" after a success.
    virtual QString lastError() const = 0;

Q_SIGNALS:
    // The key of hot key `id` went down with its modifiers / came up again. A key held down fires
    // pressed() once, not once per repeat.
    void pressed(int id);
    void released(int id);
};

using HotKeySeam = Seam<HotKey>;
inline HotKey& hotKey() {
    return HotKeySeam::get();
}

} // namespace qel
