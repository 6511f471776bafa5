#include "platform/Platform.h"
#include "platform/X11HotKey.h"
#include "prefs/PrefsLists.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>

#if QEL_HAVE_X11
// After the Qt headers: Xlib's macros (None, Bool, KeyPress ...) would spoil them.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#endif

namespace {

using qel::HotKeyModifiers;

// Set in the environment of the child run that works against the Xvfb server.
constexpr char kChildVariable[] = "QEL_X11_HOTKEY_CHILD";
const QStringList kChildTests{QStringLiteral("productionHotKeysUseTheApplicationsDisplay"),
                              QStringLiteral("childPressedFiresForItsOwnChordOnly"),
                              QStringLiteral("childKeyTakenByAnotherProgramIsRefused"),
                              QStringLiteral("childListedKeysOnTheServersKeyboard")};

bool inChild() {
    return !qEnvironmentVariableIsEmpty(kChildVariable);
}

HotKeyModifiers ctrlAlt() {
    HotKeyModifiers modifiers;
    modifiers.ctrl = true;
    modifiers.alt = true;
    return modifiers;
}

QList<int> ids(const QSignalSpy& spy) {
    QList<int> result;
    for (const QList<QVariant>& arguments : spy)
        result << arguments.at(0).toInt();
    return result;
}

#if QEL_HAVE_X11

int gLastXError = 0;
int recordXError(Display*, XErrorEvent* error) {
    gLastXError = error->error_code;
    return 0;
}

// A second client of the test's X server: presses keys through XTest, the way a user would, and
// grabs keys the way another program would.
class OtherClient {
public:
    OtherClient() : mDisplay(XOpenDisplay(nullptr)) {}
    ~OtherClient() {
        if (mDisplay)
            XCloseDisplay(mDisplay);
    }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool connected() const { return mDisplay != nullptr; }

    // Presses the modifiers, presses and releases the key, releases the modifiers.
    void chord(const QList<KeySym>& modifiers, KeySym key) {
        for (const KeySym modifier : modifiers)
            fake(modifier, true);
        fake(key, true);
        fake(key, false);
        for (qsizetype at = modifiers.size() - 1; at >= 0; --at)
            fake(modifiers.at(at), false);
        XSync(mDisplay, False);
    }
    void down(KeySym key) {
        fake(key, true);
        XSync(mDisplay, False);
    }
    void up(KeySym key) {
        fake(key, false);
        XSync(mDisplay, False);
    }
    void tap(KeySym key) {
        down(key);
        up(key);
    }

    // Grabs the key on the root window; returns the X error (0 for none).
    int grab(KeySym key, unsigned modifiers) {
        return checked([&] {
            XGrabKey(mDisplay, XKeysymToKeycode(mDisplay, key), modifiers, DefaultRootWindow(mDisplay), False,
                     GrabModeAsync, GrabModeAsync);
        });
    }
    void ungrab(KeySym key, unsigned modifiers) {
        XUngrabKey(mDisplay, XKeysymToKeycode(mDisplay, key), modifiers, DefaultRootWindow(mDisplay));
        XSync(mDisplay, False);
    }

private:
    void fake(KeySym key, bool press) {
        XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, key), press ? True : False, CurrentTime);
    }
    template <typename F> int checked(F request) {
        XSync(mDisplay, False);
        gLastXError = 0;
        XErrorHandler previous = XSetErrorHandler(recordXError);
        request();
        XSync(mDisplay, False);
        XSetErrorHandler(previous);
        return gLastXError;
    }

    Display* mDisplay;
};

#endif

} // namespace

class TestX11HotKey : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
#if !QEL_HAVE_X11
        QSKIP("this build has no X11 support, so no hot keys");
#endif
    }

    // The keys of the preferences' hot-key lists: every entry is a key X knows, or is refused
    // with a reason that names it. Only the mouse buttons are refused.
    void everyListedCodeMapsToAKeyOrIsRefused() {
        QSet<int> refused;
        QHash<quint32, int> codeOfKeysym;
        QList<QPair<int, int>> shared;
        for (const qel::prefs::HotKeyEntry& entry : qel::prefs::hotKeyList()) {
            const qel::X11KeyMapping mapping = qel::x11KeyForVirtualKey(entry.code);
            QVERIFY2((mapping.keysym != 0) != !mapping.refusal.isEmpty(), qPrintable(entry.description));
            if (!mapping.keysym) {
                refused << entry.code;
                QVERIFY2(mapping.refusal.contains(QStringLiteral("mouse button")),
                         qPrintable(mapping.refusal));
                QVERIFY2(mapping.refusal.contains(QString::number(entry.code)), qPrintable(mapping.refusal));
                continue;
            }
            // A symbol X has a name for, so the server's keyboard can have a key for it.
            const QString name = qel::x11KeysymName(mapping.keysym);
            QVERIFY2(!name.startsWith(QStringLiteral("keysym")), qPrintable(entry.description));
            if (mapping.alternative)
                QVERIFY2(!qel::x11KeysymName(mapping.alternative).startsWith(QStringLiteral("keysym")),
                         qPrintable(entry.description));
            const int earlier = codeOfKeysym.value(mapping.keysym, entry.code);
            if (earlier != entry.code)
                shared << qMakePair(earlier, entry.code);
            codeOfKeysym.insert(mapping.keysym, entry.code);
        }
        QCOMPARE(refused, (QSet<int>{1, 2, 4, 5, 6}));
        // Two codes share a key only where X has one key for both: print / print screen and
        // play / play-pause.
        QCOMPARE(shared, (QList<QPair<int, int>>{{42, 44}, {179, 250}}));
    }

    // Checked against Xlib's own names of the symbols.
    void keyGroupsMapToTheirNamedSymbols_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        for (int i = 0; i < 26; ++i)
            QTest::addRow("letter %c", 'A' + i) << 'A' + i << QString(QChar(u'a' + i));
        for (int i = 0; i < 10; ++i) {
            QTest::addRow("digit %d", i) << '0' + i << QString::number(i);
            QTest::addRow("keypad %d", i) << 96 + i << QStringLiteral("KP_%1").arg(i);
        }
        for (int i = 1; i <= 24; ++i)
            QTest::addRow("F%d", i) << 111 + i << QStringLiteral("F%1").arg(i);
        const QList<QPair<int, const char*>> named{{8, "BackSpace"},
                                                   {9, "Tab"},
                                                   {27, "Escape"},
                                                   {32, "space"},
                                                   {33, "Prior"},
                                                   {34, "Next"},
                                                   {35, "End"},
                                                   {36, "Home"},
                                                   {37, "Left"},
                                                   {38, "Up"},
                                                   {39, "Right"},
                                                   {40, "Down"},
                                                   {45, "Insert"},
                                                   {46, "Delete"},
                                                   {106, "KP_Multiply"},
                                                   {107, "KP_Add"},
                                                   {109, "KP_Subtract"},
                                                   {110, "KP_Decimal"},
                                                   {111, "KP_Divide"},
                                                   {144, "Num_Lock"},
                                                   {145, "Scroll_Lock"},
                                                   {173, "XF86AudioMute"},
                                                   {174, "XF86AudioLowerVolume"},
                                                   {175, "XF86AudioRaiseVolume"},
                                                   {180, "XF86Mail"}};
        for (const auto& [code, name] : named)
            QTest::addRow("%s", name) << code << QString::fromLatin1(name);
    }
    void keyGroupsMapToTheirNamedSymbols() {
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(qel::x11KeysymName(qel::x11KeyForVirtualKey(code).keysym), name);
    }

    void codesOutsideTheListAreRefused() {
        for (const int code : {0, 7, 10, 91, 255, 256, -1, 1000}) {
            const qel::X11KeyMapping mapping = qel::x11KeyForVirtualKey(code);
            QCOMPARE(mapping.keysym, 0u);
            QVERIFY2(mapping.refusal.contains(QString::number(code)), qPrintable(mapping.refusal));
        }
    }

    // Under the offscreen platform of the tests there is no X display: nothing is grabbed, nothing
    // counts as registered, and the reason is the same for every key.
    void withoutAnX11DisplayEveryRegistrationFails() {
        if (inChild())
            QSKIP("the child runs under an X server");
        qel::X11HotKey hotKeys;
        QVERIFY(!hotKeys.hasDisplay());
        for (const qel::prefs::HotKeyEntry& entry : qel::prefs::hotKeyList()) {
            QVERIFY(!hotKeys.registerHotKey(7, entry.code, ctrlAlt()));
            QCOMPARE(hotKeys.lastError(), QStringLiteral("no X11 display"));
            QVERIFY(!hotKeys.isRegistered(7));
        }
        hotKeys.unregisterHotKey(7);
        hotKeys.unregisterAll();
    }

    // The program's hot keys are X11 ones, on the display of the application where it has one (in
    // the child under Xvfb) and none under the offscreen platform.
    void productionHotKeysUseTheApplicationsDisplay() {
        qel::Dialogs* previousDialogs = qel::DialogsSeam::set(nullptr);
        qel::Clock* previousClock = qel::ClockSeam::set(nullptr);
        qel::Shell* previousShell = qel::ShellSeam::set(nullptr);
        qel::Sound* previousSound = qel::SoundSeam::set(nullptr);
        qel::HotKey* previousHotKeys = qel::HotKeySeam::set(nullptr);
        const auto restore = qScopeGuard([&] {
            qel::DialogsSeam::set(previousDialogs);
            qel::ClockSeam::set(previousClock);
            qel::ShellSeam::set(previousShell);
            qel::SoundSeam::set(previousSound);
            qel::HotKeySeam::set(previousHotKeys);
        });
        qel::installProductionSeams();
        auto* hotKeys = dynamic_cast<qel::X11HotKey*>(&qel::hotKey());
        QVERIFY(hotKeys);
        QCOMPARE(hotKeys->hasDisplay(), inChild());
        QCOMPARE(hotKeys->registerHotKey(1, 'Q', ctrlAlt()), inChild());
        QCOMPARE(hotKeys->isRegistered(1), inChild());
        hotKeys->unregisterAll();
        QVERIFY(!hotKeys->isRegistered(1));
    }

    // The real thing: a virtual X server, this program as its client through Qt's xcb platform,
    // keys pressed through XTest by another client. The checks run in a child process, since this
    // one runs on the offscreen platform.
    void endToEndUnderXvfb() {
        if (inChild())
            QSKIP("this is the child");
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            QSKIP("no Xvfb on the PATH: the X11 hot keys cannot be tried against an X server here");

        // Xvfb picks a free display itself and writes its number to the descriptor named.
        QProcess server;
        server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("320x240x24")});
        if (!server.waitForStarted(10000))
            QSKIP(qPrintable(QStringLiteral("Xvfb would not start: ") + server.errorString()));
        const auto stopServer = qScopeGuard([&server] {
            server.terminate();
            if (!server.waitForFinished(5000))
                server.kill();
            server.waitForFinished(5000);
        });
        QByteArray number;
        QElapsedTimer waited;
        waited.start();
        while (!number.contains('\n') && server.state() == QProcess::Running && waited.elapsed() < 20000) {
            server.waitForReadyRead(500);
            number += server.readAllStandardOutput();
        }
        if (!number.contains('\n'))
            QSKIP(qPrintable(QStringLiteral("Xvfb did not come up: ") +
                             QString::fromLocal8Bit(server.readAllStandardError())));
        const QString display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), kChildTests);
        if (!child.waitForFinished(120000)) {
            child.kill();
            child.waitForFinished(5000);
            QFAIL(qPrintable(QStringLiteral("the child under Xvfb hung:\n") +
                             QString::fromUtf8(child.readAll())));
        }
        const QString output = QString::fromUtf8(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
        for (const QString& test : kChildTests) // ran, and did not skip
            QVERIFY2(output.contains(QStringLiteral("PASS   : TestX11HotKey::") + test + QLatin1Char('(')),
                     qPrintable(output));
    }

#if QEL_HAVE_X11
    void childPressedFiresForItsOwnChordOnly() {
        if (!inChild())
            QSKIP("runs in the child of endToEndUnderXvfb");
        OtherClient user;
        QVERIFY(user.connected());
        qel::X11HotKey hotKeys;
        QVERIFY(hotKeys.hasDisplay());
        QSignalSpy pressed(&hotKeys, &qel::HotKey::pressed);
        QSignalSpy released(&hotKeys, &qel::HotKey::released);
        const QList<KeySym> ctrlAltKeys{XK_Control_L, XK_Alt_L};

        QVERIFY2(hotKeys.registerHotKey(1, 'K', ctrlAlt()), qPrintable(hotKeys.lastError()));
        QCOMPARE(hotKeys.lastError(), QString());
        QVERIFY2(hotKeys.registerHotKey(2, 'L', ctrlAlt()), qPrintable(hotKeys.lastError()));
        QVERIFY(hotKeys.isRegistered(1) && hotKeys.isRegistered(2) && !hotKeys.isRegistered(3));

        user.chord(ctrlAltKeys, XK_k);
        QTRY_COMPARE_WITH_TIMEOUT(ids(released), QList<int>{1}, 5000);
        QCOMPARE(ids(pressed), QList<int>{1});

        // The other modifiers, or some missing, are another chord. A press of hot key 2 after them
        // shows that everything before it has been seen.
        user.chord({XK_Control_L}, XK_k);
        user.chord({XK_Control_L, XK_Alt_L, XK_Shift_L}, XK_k);
        user.chord({}, XK_k);
        user.chord(ctrlAltKeys, XK_l);
        QTRY_COMPARE_WITH_TIMEOUT(ids(pressed), (QList<int>{1, 2}), 5000);

        // Caps Lock or Num Lock on: still the same hot key.
        user.tap(XK_Caps_Lock);
        user.chord(ctrlAltKeys, XK_k);
        user.tap(XK_Caps_Lock);
        user.tap(XK_Num_Lock);
        user.chord(ctrlAltKeys, XK_k);
        user.tap(XK_Num_Lock);
        QTRY_COMPARE_WITH_TIMEOUT(ids(pressed), (QList<int>{1, 2, 1, 1}), 5000);

        // Held down for a while: one press, one release.
        pressed.clear();
        released.clear();
        user.down(XK_Control_L);
        user.down(XK_Alt_L);
        user.down(XK_k);
        QTest::qWait(1200); // longer than the server's delay before a held key repeats
        QCOMPARE(ids(released), QList<int>{});
        user.up(XK_k);
        user.up(XK_Alt_L);
        user.up(XK_Control_L);
        QTRY_COMPARE_WITH_TIMEOUT(ids(released), QList<int>{1}, 5000);
        QCOMPARE(ids(pressed), QList<int>{1});

        // The Windows key is Super.
        HotKeyModifiers winShift;
        winShift.win = true;
        winShift.shift = true;
        QVERIFY2(hotKeys.registerHotKey(3, 116, winShift), qPrintable(hotKeys.lastError())); // F5
        user.chord({XK_Super_L, XK_Shift_L}, XK_F5);
        QTRY_COMPARE_WITH_TIMEOUT(ids(pressed), (QList<int>{1, 3}), 5000);

        // Given back: the key does nothing any more; the other hot keys still work.
        hotKeys.unregisterHotKey(1);
        QVERIFY(!hotKeys.isRegistered(1));
        user.chord(ctrlAltKeys, XK_k);
        user.chord(ctrlAltKeys, XK_l);
        QTRY_COMPARE_WITH_TIMEOUT(ids(pressed), (QList<int>{1, 3, 2}), 5000);

        // Registered again under its id with another key: the old key is given back.
        QVERIFY(hotKeys.registerHotKey(2, 'M', ctrlAlt()));
        user.chord(ctrlAltKeys, XK_l);
        user.chord(ctrlAltKeys, XK_m);
        QTRY_COMPARE_WITH_TIMEOUT(ids(pressed), (QList<int>{1, 3, 2, 2}), 5000);
        QVERIFY(user.grab(XK_l, ControlMask | Mod1Mask) == 0); // nobody holds it now

        // One chord, one id: a second id for the same chord is refused, saying which has it.
        QVERIFY(!hotKeys.registerHotKey(4, 'M', ctrlAlt()));
        QVERIFY2(hotKeys.lastError().contains(QStringLiteral("Ctrl+Alt+M")), qPrintable(hotKeys.lastError()));
        QVERIFY2(hotKeys.lastError().contains(QStringLiteral("hot key 2")), qPrintable(hotKeys.lastError()));
        QVERIFY(!hotKeys.isRegistered(4));

        hotKeys.unregisterAll();
        QVERIFY(!hotKeys.isRegistered(2) && !hotKeys.isRegistered(3));
        QCOMPARE(user.grab(XK_m, ControlMask | Mod1Mask), 0);
        QCOMPARE(user.grab(XK_F5, ShiftMask | Mod4Mask | LockMask), 0);
    }

    void childKeyTakenByAnotherProgramIsRefused() {
        if (!inChild())
            QSKIP("runs in the child of endToEndUnderXvfb");
        OtherClient other;
        OtherClient third;
        QVERIFY(other.connected() && third.connected());
        qel::X11HotKey hotKeys;

        QCOMPARE(other.grab(XK_j, ControlMask | Mod1Mask), 0);
        QVERIFY(!hotKeys.registerHotKey(5, 'J', ctrlAlt()));
        QVERIFY2(hotKeys.lastError().contains(QStringLiteral("BadAccess")), qPrintable(hotKeys.lastError()));
        QVERIFY2(hotKeys.lastError().contains(QStringLiteral("Ctrl+Alt+J")), qPrintable(hotKeys.lastError()));
        QVERIFY(!hotKeys.isRegistered(5));
        other.ungrab(XK_j, ControlMask | Mod1Mask);
        QVERIFY2(hotKeys.registerHotKey(5, 'J', ctrlAlt()), qPrintable(hotKeys.lastError()));
        QCOMPARE(hotKeys.lastError(), QString());

        // Taken only with Caps Lock on: refused as a whole, and the states grabbed before the
        // refusal are given back.
        QCOMPARE(other.grab(XK_h, ControlMask | Mod1Mask | LockMask), 0);
        QVERIFY(!hotKeys.registerHotKey(6, 'H', ctrlAlt()));
        QVERIFY2(hotKeys.lastError().contains(QStringLiteral("BadAccess")), qPrintable(hotKeys.lastError()));
        QCOMPARE(third.grab(XK_h, ControlMask | Mod1Mask), 0);
    }

    // Every entry of the preferences' lists against the keyboard of a real server: mouse buttons and
    // symbols this keyboard has no key for are refused and say so; the keys of every keyboard work.
    void childListedKeysOnTheServersKeyboard() {
        if (!inChild())
            QSKIP("runs in the child of endToEndUnderXvfb");
        qel::X11HotKey hotKeys;
        HotKeyModifiers all;
        all.win = all.shift = all.alt = all.ctrl = true;
        QStringList missing;
        QSet<int> grabbed;
        for (const qel::prefs::HotKeyEntry& entry : qel::prefs::hotKeyList()) {
            if (hotKeys.registerHotKey(9, entry.code, all)) {
                grabbed << entry.code;
                hotKeys.unregisterHotKey(9);
                continue;
            }
            const QString reason = hotKeys.lastError();
            if (QList<int>{1, 2, 4, 5, 6}.contains(entry.code)) {
                QVERIFY2(reason.contains(QStringLiteral("mouse button")), qPrintable(reason));
                continue;
            }
            QVERIFY2(reason.contains(QStringLiteral("no key of this keyboard")), qPrintable(reason));
            missing << entry.description;
        }
        qInfo("keys this server's keyboard lacks: %s", qPrintable(missing.join(QLatin1Char(' '))));
        QSet<int> everyKeyboard{8,  9,  19, 27, 32,  33,  34,  35,  36,  37, 38,
                                39, 40, 45, 46, 106, 107, 109, 110, 111, 144};
        for (int code = '0'; code <= '9'; ++code)
            everyKeyboard << code;
        for (int code = 'A'; code <= 'Z'; ++code)
            everyKeyboard << code;
        for (int code = 96; code <= 105; ++code) // keypad digits
            everyKeyboard << code;
        for (int code = 112; code <= 123; ++code) // F1 .. F12
            everyKeyboard << code;
        for (const int code : std::as_const(everyKeyboard))
            QVERIFY2(grabbed.contains(code), qPrintable(QString::number(code)));
    }
#endif
};

QEL_TEST_MAIN(TestX11HotKey)
#include "test_x11_hotkey.moc"
