#pragma once

#include "platform/HotKey.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace qel {

// One global hot key of the main window (VBHotKey1, hotCopy2Call, hotEmail): the four modifier
// flags and the virtual-key code it is set to, and whether it is armed. Arming takes the key from
// the desktop through the HotKey seam; pressed() fires only while it is armed. A key that cannot
// be taken (no X11, another program holds it, not a key at all) leaves the control unarmed and
// says why in the debug log. The key goes back to the desktop when the control is disarmed or
// destroyed. Its Tag (Tag.h) is free text, as on every control.
class HotKeyControl : public QObject {
    Q_OBJECT
public:
    explicit HotKeyControl(const QString& name, QObject* parent = nullptr);
    ~HotKeyControl() override;
    HotKeyControl(const HotKeyControl&) = delete;
    HotKeyControl& operator=(const HotKeyControl&) = delete;

    HotKeyModifiers modifiers;
    int virtualKey = 0; // a Windows virtual-key code (65 is A, 112 is F1 ...); 0: none chosen

    // Arms (takes the key with the modifiers set now) or disarms the hot key. Arming an armed
    // key takes it afresh with the current flags.
    void setEnabled(bool on);
    // True while armed: the key is held for the program and presses arrive.
    bool isEnabled() const { return mArmed; }
    // The seam's id of this control, unique in the process (reloaded windows never share one).
    int id() const { return mId; }
    // "Ctrl+Alt+" and the key's name from the preferences' list ("Ctrl+Alt+A key.").
    QString describe() const;

Q_SIGNALS:
    void pressed();

private:
    void disarm();

    const int mId;
    QPointer<HotKey> mSource; // the hot keys it listens to (the seam's implementation when armed)
    bool mArmed = false;
};

} // namespace qel
