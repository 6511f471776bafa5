#pragma once

// The small builders and converters the preferences' tabs share.

#include "core/SettingsModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>
#include <initializer_list>

namespace qel::prefsui {

void say(const QString& text); // a message with OK
QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption);
QLineEdit* lineEdit(QWidget* parent, const QString& name);
QComboBox* comboBox(QWidget* parent, const QString& name, const QStringList& entries);
QLabel* label(QWidget* parent, const QString& caption, const QString& name = QString());
QGroupBox* group(QWidget* parent, const QString& title, const QString& name);
QFrame* frameLine(QWidget* parent);

// A list position of the settings is applied only when it names an entry of the list; anything
// else leaves the list as it is.
void loadIndex(QComboBox* list, int position);
// A hot key of the settings into its enable box, modifier boxes and key list, and back.
void loadHotKey(const HotKeyChoice& key, QCheckBox* use, const std::array<QCheckBox*, 4>& modifiers,
                QComboBox* list);
HotKeyChoice hotKeyOf(const QCheckBox* use, const std::array<QCheckBox*, 4>& modifiers,
                      const QComboBox* list);

void enableAll(const std::initializer_list<QWidget*>& widgets, bool enabled);
template <size_t N> inline void enableAll(const std::array<QCheckBox*, N>& boxes, bool enabled) {
    for (QCheckBox* box : boxes)
        box->setEnabled(enabled);
}
template <size_t N> inline bool anyChecked(const std::array<QCheckBox*, N>& boxes) {
    for (QCheckBox* box : boxes) {
        if (box->isChecked())
            return true;
    }
    return false;
}

// A hot-key block: the enable box, the modifiers, "+", the key list (with its hidden twin of key
// codes, which follows it position for position) and the caution.
QGridLayout* hotkeyBlock(QWidget* parent, QCheckBox* enable, std::array<QCheckBox*, 4>& modifiers,
                         const QString& modifierName, QComboBox*& list, const QString& listName,
                         QComboBox*& codes, const QString& codesName);

} // namespace qel::prefsui
