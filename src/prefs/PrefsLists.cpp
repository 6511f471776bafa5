#include "PrefsLists.h"

#include "core/SettingsCatalogue.h"
#include "outlook/Outlook.h"

namespace qel::prefs {

namespace {
std::array<HotKeyEntry, kHotKeyCount> buildHotKeys() {
    std::array<HotKeyEntry, kHotKeyCount> list;
    size_t at = 0;
    const auto add = [&](int code, const QString& text) { list[at++] = HotKeyEntry{code, text}; };
    const char* mouse[] = {"Left mouse button.",
                           "Right mouse button.",
                           "CANCEL key.",
                           "Middle mouse button (three-button mouse).",
                           "First x mouse button (five-button mouse).",
                           "Second x mouse button (five-button mouse)."};
    for (int i = 0; i < 6; ++i)
        add(1 + i, QLatin1String(mouse[i]));
    add(8, QStringLiteral("BACKSPACE key."));
    add(9, QStringLiteral("TAB key."));
    add(18, QStringLiteral("ALT key."));
    add(19, QStringLiteral("PAUSE key."));
    add(20, QStringLiteral("CAPS LOCK key."));
    add(27, QStringLiteral("ESC key."));
    add(32, QStringLiteral("SPACEBAR key."));
    add(33, QStringLiteral("PAGE UP key."));
    add(33, QStringLiteral("PAGE UP key."));
    add(34, QStringLiteral("PAGE DOWN key."));
    add(34, QStringLiteral("PAGE DOWN key."));
    add(35, QStringLiteral("END key."));
    add(36, QStringLiteral("HOME key."));
    const char* arrows[] = {"LEFT ARROW key.", "UP ARROW key.", "RIGHT ARROW key.", "DOWN ARROW key."};
    for (int i = 0; i < 4; ++i)
        add(37 + i, QLatin1String(arrows[i]));
    add(41, QStringLiteral("SELECT key."));
    add(42, QStringLiteral("PRINT key."));
    add(44, QStringLiteral("PRINT SCREEN key."));
    add(45, QStringLiteral("INS key."));
    add(46, QStringLiteral("DEL key."));
    for (int i = 0; i < 10; ++i)
        add(48 + i, QString::number(i) + QStringLiteral(" key."));
    for (int i = 0; i < 26; ++i)
        add(65 + i, QString(QChar(u'A' + i)) + QStringLiteral(" key."));
    for (int i = 0; i < 10; ++i)
        add(96 + i, QString::number(i) + QStringLiteral(" key on the numeric keypad."));
    const char* keypad[] = {"Multiply key.", "Add key.",     "Separator key.",
                            "Subtract key.", "Decimal key.", "Divide key."};
    for (int i = 0; i < 6; ++i)
        add(106 + i, QLatin1String(keypad[i]));
    for (int i = 0; i < 24; ++i)
        add(112 + i, QStringLiteral("F%1 key.").arg(i + 1));
    add(144, QStringLiteral("NUM LOCK key."));
    add(145, QStringLiteral("SCROLL LOCK key."));
    const char* media[] = {
        "Browser back key",   "Browser forward key",   "Browser refresh key",  "Browser stop key",
        "Browser search key", "Browser favorites key", "Browser home key",     "Volume mute key",
        "Volume down key",    "Volume up key",         "Media next track key", "Media previous track key",
        "Media Stop key",     "Media play pause key",  "Launch mail key",      "Select media key"};
    for (int i = 0; i < 16; ++i)
        add(166 + i, QLatin1String(media[i]) + QStringLiteral("."));
    add(250, QStringLiteral("PLAY key."));
    add(251, QStringLiteral("ZOOM key."));
    Q_ASSERT(at == list.size());
    return list;
}
} // namespace

const std::array<HotKeyEntry, kHotKeyCount>& hotKeyList() {
    static const std::array<HotKeyEntry, kHotKeyCount> list = buildHotKeys();
    return list;
}

QStringList syncTimeList() {
    return qel::syncTimeList();
}

QStringList labelColourNames() {
    QStringList names;
    for (int label = 0; label < ol::kLabelCount; ++label)
        names << ol::labelName(label);
    return names;
}

QString labelColourHex(int label) {
    return ol::labelColour(label);
}

QStringList webEmailNames() {
    return {QStringLiteral("Gmail"), QStringLiteral("Hotmail"), QStringLiteral("AOL")};
}

QStringList customFieldNames() {
    return {QStringLiteral("User1"), QStringLiteral("User2"), QStringLiteral("User3"),
            QStringLiteral("User4")};
}

QStringList fromAddressNames() {
    return {QStringLiteral("Business Address"), QStringLiteral("Home Address"),
            QStringLiteral("Other Address")};
}

QStringList cellFieldCaptions() {
    return {QStringLiteral("Home Phone"),        QStringLiteral("Mobile Phone"),
            QStringLiteral("Business Phone"),    QStringLiteral("Business Fax"),
            QStringLiteral("Home2 Phone"),       QStringLiteral("Car Phone"),
            QStringLiteral("Business2 Phone"),   QStringLiteral("Home Fax"),
            QStringLiteral("Primary Phone"),     QStringLiteral("Pager"),
            QStringLiteral("Company Main"),      QStringLiteral("Other Fax"),
            QStringLiteral("Callback"),          QStringLiteral("ISDN"),
            QStringLiteral("Assistant's Phone"), QStringLiteral("Other Phone"),
            QStringLiteral("Email Address #1"),  QStringLiteral("Email Address #2"),
            QStringLiteral("Email Address #3")};
}

} // namespace qel::prefs
