#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace qel::prefs {

// One entry of the hot-key lists: its description and the virtual-key code kept in the hidden
// twin list. The stored setting is the entry's position.
struct HotKeyEntry {
    int code;
    QString description;
};
constexpr int kHotKeyCount = 124;
const std::array<HotKeyEntry, kHotKeyCount>& hotKeyList();

// The 96 times of day of the timed sync, every 15 minutes from "06:00 AM" to "05:45 AM".
QStringList syncTimeList();

// The label colours, positions 0 to 10 = appointment label numbers.
QStringList labelColourNames();
// A colour close to each label colour, for the swatches of the colour lists.
QString labelColourHex(int label);

// The web mail services, custom fields and driving-direction start addresses.
QStringList webEmailNames();
QStringList customFieldNames();
QStringList fromAddressNames();

// The captions of chkCell 0..18.
QStringList cellFieldCaptions();

} // namespace qel::prefs
