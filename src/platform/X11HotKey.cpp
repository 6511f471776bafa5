#include "X11HotKey.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>

#if QEL_HAVE_X11
// After the Qt headers: Xlib defines macros (None, Bool, KeyPress ...) that Qt's headers also use.
#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>
#endif

namespace qel {

namespace {

QString codeText(int virtualKey) {
    return QStringLiteral("virtual-key code %1").arg(virtualKey);
}

X11KeyMapping refuse(const QString& reason) {
    return X11KeyMapping{0, 0, reason};
}

} // namespace

#if QEL_HAVE_X11

namespace {

constexpr int kBadAccess = 10;         // X error: the key is grabbed by another client
constexpr quint32 kRepeatGapMs = 2000; // far more than the gap between two repeats of a held key

X11KeyMapping mouseButton(int virtualKey, const char* button) {
    return refuse(QStringLiteral("%1 is the %2, not a key of the keyboard; only keys can be hot keys")
                      .arg(codeText(virtualKey), QLatin1String(button)));
}

} // namespace

X11KeyMapping x11KeyForVirtualKey(int virtualKey) {
    const auto key = [](quint32 keysym) { return X11KeyMapping{keysym, 0, QString()}; };
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return key(XK_a + quint32(virtualKey - 'A')); // the key's own (unshifted) symbol
    if (virtualKey >= '0' && virtualKey <= '9')
        return key(XK_0 + quint32(virtualKey - '0'));
    if (virtualKey >= 96 && virtualKey <= 105)
        return key(XK_KP_0 + quint32(virtualKey - 96));
    if (virtualKey >= 112 && virtualKey <= 135)
        return key(XK_F1 + quint32(virtualKey - 112)); // F1 .. F24
    switch (virtualKey) {
    case 1:
        return mouseButton(virtualKey, "left mouse button");
    case 2:
        return mouseButton(virtualKey, "right mouse button");
    case 4:
        return mouseButton(virtualKey, "middle mouse button");
    case 5:
        return mouseButton(virtualKey, "first x mouse button");
    case 6:
        return mouseButton(virtualKey, "second x mouse button");
    case 3:
        return key(XK_Cancel);
    case 8:
        return key(XK_BackSpace);
    case 9:
        return key(XK_Tab);
    case 18:
        return key(XK_Alt_L);
    case 19:
        return key(XK_Pause);
    case 20:
        return key(XK_Caps_Lock);
    case 27:
        return key(XK_Escape);
    case 32:
        return key(XK_space);
    case 33:
        return key(XK_Prior);
    case 34:
        return key(XK_Next);
    case 35:
        return key(XK_End);
    case 36:
        return key(XK_Home);
    case 37:
        return key(XK_Left);
    case 38:
        return key(XK_Up);
    case 39:
        return key(XK_Right);
    case 40:
        return key(XK_Down);
    case 41:
        return key(XK_Select);
    case 42: // X has one print key, the one that also serves as Print Screen
    case 44:
        return key(XK_Print);
    case 45:
        return key(XK_Insert);
    case 46:
        return key(XK_Delete);
    case 106:
        return key(XK_KP_Multiply);
    case 107:
        return key(XK_KP_Add);
    case 108:
        return key(XK_KP_Separator);
    case 109:
        return key(XK_KP_Subtract);
    case 110:
        return key(XK_KP_Decimal);
    case 111:
        return key(XK_KP_Divide);
    case 144:
        return key(XK_Num_Lock);
    case 145:
        return key(XK_Scroll_Lock);
    case 166:
        return key(XF86XK_Back);
    case 167:
        return key(XF86XK_Forward);
    case 168: // XF86Refresh only on old keyboard descriptions
        return X11KeyMapping{XF86XK_Reload, XF86XK_Refresh, QString()};
    case 169: // the evdev keyboards of today give the browser's stop key the symbol Cancel
        return X11KeyMapping{XF86XK_Stop, XK_Cancel, QString()};
    case 170:
        return key(XF86XK_Search);
    case 171:
        return key(XF86XK_Favorites);
    case 172:
        return key(XF86XK_HomePage);
    case 173:
        return key(XF86XK_AudioMute);
    case 174:
        return key(XF86XK_AudioLowerVolume);
    case 175:
        return key(XF86XK_AudioRaiseVolume);
    case 176:
        return key(XF86XK_AudioNext);
    case 177:
        return key(XF86XK_AudioPrev);
    case 178:
        return key(XF86XK_AudioStop);
    case 179:
    case 250: // X keyboards give the play key and the play/pause key the same symbol
        return key(XF86XK_AudioPlay);
    case 180:
        return key(XF86XK_Mail);
    case 181:
        return key(XF86XK_AudioMedia);
    case 251:
        return key(XF86XK_ZoomIn);
    default:
        return refuse(QStringLiteral("%1 is no key that X11 can grab").arg(codeText(virtualKey)));
    }
}

QString x11KeysymName(quint32 keysym) {
    if (const char* name = XKeysymToString(keysym))
        return QString::fromLatin1(name);
    return QStringLiteral("keysym 0x%1").arg(keysym, 0, 16);
}

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// The server's keyboard mapping at one moment: the symbols of every keycode, level by level.
class KeyboardMap {
public:
    explicit KeyboardMap(xcb_connection_t* connection) {
        const xcb_setup_t* setup = xcb_get_setup(connection);
        mMin = setup->min_keycode;
        const int count = setup->max_keycode - setup->min_keycode + 1;
        Reply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, mMin, quint8(count)), nullptr));
        if (!reply)
            return;
        mPerKeycode = reply->keysyms_per_keycode;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
        mKeysyms.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply.get()));
    }

    // The keycode that gives `keysym`, preferring one where it needs no Shift or other level; 0 for none.
    quint8 keycodeOf(quint32 keysym) const {
        for (int level = 0; level < mPerKeycode; ++level)
            for (size_t at = size_t(level); at < mKeysyms.size(); at += size_t(mPerKeycode))
                if (mKeysyms[at] == keysym)
                    return quint8(mMin + at / size_t(mPerKeycode));
        return 0;
    }

    bool gives(quint8 keycode, quint32 keysym) const {
        if (keycode < mMin || mPerKeycode == 0)
            return false;
        const size_t first = size_t(keycode - mMin) * size_t(mPerKeycode);
        for (size_t at = first; at < first + size_t(mPerKeycode) && at < mKeysyms.size(); ++at)
            if (mKeysyms[at] == keysym)
                return true;
        return false;
    }

private:
    quint8 mMin = 8;
    int mPerKeycode = 0;
    std::vector<xcb_keysym_t> mKeysyms;
};

// The modifier bits of the keys that are not fixed by the protocol (Alt, Super, Num Lock may sit on
// any of Mod1..Mod5), read from the server's modifier mapping.
struct ModifierBits {
    quint16 alt = XCB_MOD_MASK_1;
    quint16 super = XCB_MOD_MASK_4;
    quint16 numLock = XCB_MOD_MASK_2;
};

ModifierBits readModifierBits(xcb_connection_t* connection, const KeyboardMap& keyboard) {
    ModifierBits bits;
    Reply<xcb_get_modifier_mapping_reply_t> reply(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!reply)
        return bits; // the usual layout
    const int perModifier = reply->keycodes_per_modifier;
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const auto findBit = [&](std::initializer_list<quint32> keysyms, quint16 fallback) -> quint16 {
        for (int modifier = 3; modifier < 8; ++modifier) // Mod1 .. Mod5
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
                for (const quint32 keysym : keysyms)
                    if (keycode && keyboard.gives(keycode, keysym))
                        return quint16(1u << modifier);
            }
        return fallback;
    };
    bits.alt = findBit({XK_Alt_L, XK_Alt_R}, bits.alt);
    bits.super = findBit({XK_Super_L, XK_Super_R}, bits.super);
    bits.numLock = findBit({XK_Num_Lock}, bits.numLock);
    return bits;
}

// The modifier bits that tell hot keys apart: Shift, Control and Mod1..Mod5, without Num Lock.
quint16 significantBits(quint16 state, quint16 numLock) {
    const quint16 all = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_2 |
                        XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;
    return quint16(state & all & ~numLock);
}

} // namespace

X11HotKey::X11HotKey(QObject* parent) : HotKey(parent) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || xcb_connection_has_error(connection))
        return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    mConnection = connection;
    mRoot = screen->root;
    // A held key then repeats as presses only. Without it X repeats a held key as release and
    // press pairs, and a pair still queued when the key goes up would read as a second press.
    if (Display* display = x11->display())
        XkbSetDetectableAutoRepeat(display, True, nullptr);
    app->installNativeEventFilter(this);
}

X11HotKey::~X11HotKey() {
    // The connection ends with the application; grabs of an ended connection are gone already.
    if (mConnection && QCoreApplication::instance())
        unregisterAll();
}

bool X11HotKey::fail(const QString& reason) {
    mLastError = reason;
    return false;
}

bool X11HotKey::registerHotKey(int id, int virtualKey, HotKeyModifiers modifiers) {
    mLastError.clear();
    unregisterHotKey(id);
    if (!mConnection)
        return fail(QStringLiteral("no X11 display"));
    const X11KeyMapping mapping = x11KeyForVirtualKey(virtualKey);
    if (!mapping.keysym)
        return fail(mapping.refusal);
    // "Ctrl+Alt+P", "Win+F5": letters as they are printed on the keys.
    QString keyName = x11KeysymName(mapping.keysym);
    if (keyName.size() == 1)
        keyName = keyName.toUpper();
    const QString keyText = hotKeyModifiersText(modifiers) + keyName;

    const KeyboardMap keyboard(mConnection);
    quint8 keycode = keyboard.keycodeOf(mapping.keysym);
    if (!keycode && mapping.alternative)
        keycode = keyboard.keycodeOf(mapping.alternative);
    if (!keycode)
        return fail(QStringLiteral("%1: no key of this keyboard gives %2 (%3)")
                        .arg(keyText, x11KeysymName(mapping.keysym), codeText(virtualKey)));
    const ModifierBits bits = readModifierBits(mConnection, keyboard);
    mNumLockMask = bits.numLock;

    Grab grab;
    grab.id = id;
    grab.keycode = keycode;
    if (modifiers.shift)
        grab.modifiers |= XCB_MOD_MASK_SHIFT;
    if (modifiers.ctrl)
        grab.modifiers |= XCB_MOD_MASK_CONTROL;
    if (modifiers.alt)
        grab.modifiers |= bits.alt;
    if (modifiers.win)
        grab.modifiers |= bits.super;
    grab.modifiers = significantBits(grab.modifiers, mNumLockMask);

    for (const Grab& other : std::as_const(mGrabs))
        if (other.keycode == grab.keycode && other.modifiers == grab.modifiers)
            return fail(
                QStringLiteral("%1 is hot key %2 of this program already").arg(keyText).arg(other.id));

    // Caps Lock and Num Lock count as modifiers to X: the key is grabbed once for each of their
    // states, so that it works whichever of them is on. All or nothing.
    QList<quint16> variants{0, XCB_MOD_MASK_LOCK};
    if (mNumLockMask)
        variants << mNumLockMask << quint16(mNumLockMask | XCB_MOD_MASK_LOCK);
    QList<quint16> grabbed;
    for (const quint16 variant : std::as_const(variants)) {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(
            mConnection, 0 /* events go to the root, never to our windows */, mRoot,
            quint16(grab.modifiers | variant), grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        Reply<xcb_generic_error_t> error(xcb_request_check(mConnection, cookie));
        if (error) {
            for (const quint16 done : std::as_const(grabbed))
                xcb_ungrab_key(mConnection, grab.keycode, mRoot, quint16(grab.modifiers | done));
            xcb_flush(mConnection);
            if (error->error_code == kBadAccess)
                return fail(QStringLiteral("%1 is already grabbed by another program (X error BadAccess)")
                                .arg(keyText));
            return fail(
                QStringLiteral("%1 could not be grabbed (X error %2)").arg(keyText).arg(error->error_code));
        }
        grabbed << variant;
    }
    grab.variants = grabbed;
    mGrabs << grab;
    return true;
}

void X11HotKey::ungrab(const Grab& grab) {
    for (const quint16 variant : grab.variants)
        xcb_ungrab_key(mConnection, grab.keycode, mRoot, quint16(grab.modifiers | variant));
    xcb_flush(mConnection);
}

void X11HotKey::unregisterHotKey(int id) {
    for (qsizetype at = 0; at < mGrabs.size(); ++at)
        if (mGrabs.at(at).id == id) {
            ungrab(mGrabs.takeAt(at));
            return;
        }
}

void X11HotKey::unregisterAll() {
    while (!mGrabs.isEmpty())
        ungrab(mGrabs.takeLast());
}

bool X11HotKey::isRegistered(int id) const {
    for (const Grab& grab : mGrabs)
        if (grab.id == id)
            return true;
    return false;
}

bool X11HotKey::keyStillDown(quint8 keycode) const {
    Reply<xcb_query_keymap_reply_t> reply(
        xcb_query_keymap_reply(mConnection, xcb_query_keymap(mConnection), nullptr));
    return reply && (reply->keys[keycode / 8] & (1u << (keycode % 8)));
}

bool X11HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!mConnection || mGrabs.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Key press and release events share one layout.
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (key->event != mRoot)
        return false; // a key of one of our own windows: Qt's

    for (Grab& grab : mGrabs) {
        if (grab.keycode != key->detail)
            continue;
        if (type == XCB_KEY_PRESS) {
            if (significantBits(key->state, mNumLockMask) != grab.modifiers)
                continue;
            // A held key repeats: one press is enough. A press long after the last one while the
            // key counts as down means its release went elsewhere (another program took the
            // keyboard meanwhile): that is a new press.
            const bool repeat = grab.down && key->time - grab.lastPress < kRepeatGapMs;
            grab.lastPress = key->time;
            if (repeat)
                return true;
            grab.down = true;
        } else {
            if (!grab.down)
                continue;
            // X repeats a held key as release and press pairs: a release of a key that is still
            // down is one of those.
            if (keyStillDown(grab.keycode))
                return true;
            grab.down = false;
        }
        // Delivered from the event loop rather than from inside Qt's event processing, so a
        // handler may wait and pump events.
        const int id = grab.id;
        const bool press = type == XCB_KEY_PRESS;
        QMetaObject::invokeMethod(
            this,
            [this, id, press] {
                if (press)
                    Q_EMIT pressed(id);
                else
                    Q_EMIT released(id);
            },
            Qt::QueuedConnection);
        return true;
    }
    return false;
}

#else // built without X11: no desktop to grab keys from

X11KeyMapping x11KeyForVirtualKey(int virtualKey) {
    return refuse(QStringLiteral("%1: this build has no X11 support").arg(codeText(virtualKey)));
}

QString x11KeysymName(quint32 keysym) {
    return QStringLiteral("keysym 0x%1").arg(keysym, 0, 16);
}

X11HotKey::X11HotKey(QObject* parent) : HotKey(parent) {}
X11HotKey::~X11HotKey() = default;

bool X11HotKey::fail(const QString& reason) {
    mLastError = reason;
    return false;
}

bool X11HotKey::registerHotKey(int, int, HotKeyModifiers) {
    return fail(QStringLiteral("no X11 display"));
}
void X11HotKey::unregisterHotKey(int) {}
void X11HotKey::unregisterAll() {}
bool X11HotKey::isRegistered(int) const {
    return false;
}
void X11HotKey::ungrab(const Grab&) {}
bool X11HotKey::keyStillDown(quint8) const {
    return false;
}
bool X11HotKey::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

#endif

} // namespace qel
