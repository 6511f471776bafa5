#pragma once

#include "HotKey.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QString>

struct xcb_connection_t;

namespace qel {

// What X calls the key of a Windows virtual-key code: its keysym, or why there is none
// (keysym 0 with a reason, for mouse buttons and codes that are no key at all).
struct X11KeyMapping {
    quint32 keysym = 0;
    quint32 alternative = 0; // the symbol of the same key on keyboards that lack `keysym`, or 0
    QString refusal;
};
X11KeyMapping x11KeyForVirtualKey(int virtualKey);

// The keysym's X name ("F5", "KP_Add", "XF86AudioMute"), or its number in hex when X has no name.
QString x11KeysymName(quint32 keysym);

// Hot keys of an X11 desktop: each key is grabbed on the root window of the program's own X
// connection (the one of the Qt xcb platform) with its modifiers, also with Caps Lock and Num Lock
// on, and its presses are picked out of that connection's events by a native event filter. Under
// any other Qt platform (offscreen, wayland) there is nothing to grab from and every registration
// fails with "no X11 display". X gives a grab up by itself when the program ends.
class X11HotKey : public HotKey, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit X11HotKey(QObject* parent = nullptr);
    ~X11HotKey() override;
    X11HotKey(const X11HotKey&) = delete;
    X11HotKey& operator=(const X11HotKey&) = delete;

    bool registerHotKey(int id, int virtualKey, HotKeyModifiers modifiers) override;
    void unregisterHotKey(int id) override;
    void unregisterAll() override;
    bool isRegistered(int id) const override;
    QString lastError() const override { return mLastError; }

    // True when there is an X display to grab keys from.
    bool hasDisplay() const { return mConnection != nullptr; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        int id = 0;
        quint8 keycode = 0;
        quint16 modifiers = 0;   // X modifier mask without Lock and Num Lock
        QList<quint16> variants; // the Lock and Num Lock states grabbed besides
        bool down = false;       // pressed() sent, released() not yet
        quint32 lastPress = 0;   // X time of the last press or repeat
    };

    bool fail(const QString& reason);
    void ungrab(const Grab& grab);
    bool keyStillDown(quint8 keycode) const;

    xcb_connection_t* mConnection = nullptr;
    quint32 mRoot = 0;
    quint16 mNumLockMask = 0; // as found at the last registration
    QList<Grab> mGrabs;
    QString mLastError;
};

} // namespace qel
