#include "PrefsUi.h"

#include "PrefsLists.h"
#include "core/Named.h"
#include "platform/Dialogs.h"

namespace qel::prefsui {

namespace {

const QString kHotkeyCaution =
    QStringLiteral("Be sure to choose a hotkey that is not aleady in use. Not all have been tested.");

} // namespace

void say(const QString& text) {
    dialogs().message(text);
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption) {
    return named(new QCheckBox(caption, parent), name);
}

QLineEdit* lineEdit(QWidget* parent, const QString& name) {
    return named(new QLineEdit(parent), name);
}

QComboBox* comboBox(QWidget* parent, const QString& name, const QStringList& entries) {
    auto* combo = named(new QComboBox(parent), name);
    combo->addItems(entries);
    return combo;
}

QLabel* label(QWidget* parent, const QString& caption, const QString& name) {
    auto* l = new QLabel(caption, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

QGroupBox* group(QWidget* parent, const QString& title, const QString& name) {
    return named(new QGroupBox(title, parent), name);
}

// A list position of the settings is applied only when it names an entry of the list; anything
// else leaves the list as it is.
void loadIndex(QComboBox* list, int position) {
    if (position >= 0 && position < list->count())
        list->setCurrentIndex(position);
}

void loadHotKey(const HotKeyChoice& key, QCheckBox* use, const std::array<QCheckBox*, 4>& modifiers,
                QComboBox* list) {
    use->setChecked(key.use);
    for (size_t i = 0; i < 4; ++i)
        modifiers[i]->setChecked(key.modifiers[i]);
    loadIndex(list, key.key);
}

HotKeyChoice hotKeyOf(const QCheckBox* use, const std::array<QCheckBox*, 4>& modifiers,
                      const QComboBox* list) {
    HotKeyChoice key;
    key.use = use->isChecked();
    for (size_t i = 0; i < 4; ++i)
        key.modifiers[i] = modifiers[i]->isChecked();
    key.key = list->currentIndex();
    return key;
}

void enableAll(const std::initializer_list<QWidget*>& widgets, bool enabled) {
    for (QWidget* w : widgets)
        w->setEnabled(enabled);
}
QFrame* frameLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// A hot-key block: the enable box, the modifiers, "+", the key list and the caution.
QGridLayout* hotkeyBlock(QWidget* parent, QCheckBox* enable, std::array<QCheckBox*, 4>& modifiers,
                         const QString& modifierName, QComboBox*& list, const QString& listName,
                         QComboBox*& codes, const QString& codesName) {
    QStringList hotkeyTexts, hotkeyCodes;
    for (const auto& entry : prefs::hotKeyList()) {
        hotkeyTexts << entry.description;
        hotkeyCodes << QString::number(entry.code);
    }
    auto* grid = new QGridLayout;
    if (enable)
        grid->addWidget(enable, 0, 0, 1, 6);
    const QString captions[4] = {QStringLiteral("Windows Key"), QStringLiteral("Shift"),
                                 QStringLiteral("Alt"), QStringLiteral("Ctrl")};
    for (int i = 0; i < 4; ++i) {
        modifiers[static_cast<size_t>(i)] = checkBox(parent, modifierName + QString::number(i), captions[i]);
        grid->addWidget(modifiers[static_cast<size_t>(i)], 1, i);
    }
    grid->addWidget(label(parent, QStringLiteral("+")), 1, 4);
    list = comboBox(parent, listName, hotkeyTexts);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(26);
    list->setMaxVisibleItems(16);
    grid->addWidget(list, 1, 5);
    grid->setColumnStretch(5, 1);
    codes = comboBox(parent, codesName, hotkeyCodes);
    codes->hide();
    auto* caution = label(parent, kHotkeyCaution);
    caution->setWordWrap(true);
    grid->addWidget(caution, 2, 0, 1, 6);
    // The twin follows the visible list position for position.
    QComboBox* twin = codes;
    QObject::connect(list, &QComboBox::currentIndexChanged, twin,
                     [twin](int index) { twin->setCurrentIndex(index); });
    return grid;
}

} // namespace qel::prefsui
