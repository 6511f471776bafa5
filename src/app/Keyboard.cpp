// The main window's keys (its key preview, Vantrel::eventFilter): Shift marks the controls whose
// double-click has a Shift variant, Ctrl turns on the first-name mode, Esc leaves (to the tray
// when "Confirm exit" is on), and the browser's keys move between the letters and views.

#include "Vantrel.h"
#include "core/Tag.h"

#include "prefs/frmPrefs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <vector>

namespace qel {

namespace {

const QString kIgnoreKey = QStringLiteral("Ignore Key");
const QColor kShiftColour(255, 0, 0);           // colour 255
constexpr char kNormalText[] = "qelNormalText"; // a marked control's own text colour

// The shift state of the key events: 1 Shift, 2 Ctrl, 4 Alt, summed.
int shiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) +
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) + (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

bool shiftHeld(int state) {
    return state == 1 || state == 3 || state == 7;
}

} // namespace

bool Vantrel::isShiftMarked(const QWidget* control) {
    return control && control->palette().color(QPalette::Text) == kShiftColour;
}

void Vantrel::paintShiftMark(bool on) {
    std::vector<QWidget*> controls{txtBusinessAddress, txtHomeAddress, txtOtherAddress, lstEmail};
    controls.insert(controls.end(), txtNumber.begin(), txtNumber.end());
    for (QWidget* control : controls) {
        if (!control || isShiftMarked(control) == on)
            continue;
        QPalette palette = control->palette();
        if (on) {
            control->setProperty(kNormalText, palette.color(QPalette::Text));
            palette.setColor(QPalette::Text, kShiftColour);
        } else {
            const QColor normal = control->property(kNormalText).value<QColor>();
            palette.setColor(QPalette::Text, normal.isValid() ? normal : QColor(Qt::black));
        }
        control->setPalette(palette);
    }
}

void Vantrel::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    mBrowser->keyDown(key, modifiers); // Ctrl: the first-name mode
    if (shiftHeld(shiftState(modifiers)))
        paintShiftMark(true);
}

bool Vantrel::Form_KeyUp(int key, Qt::KeyboardModifiers modifiers) {
    if (!shiftHeld(shiftState(modifiers)))
        paintShiftMark(false);
    const bool acts = key != 0 && !mUnloaded && !mInTray && !isMinimized() && Tag(VBHotKey1) != kIgnoreKey;
    if (!acts) {
        if (!modifiers.testFlag(Qt::ControlModifier))
            lblLetterMode->hide();
        return false;
    }
    if (key == Qt::Key_Escape) {
        if (!modifiers.testFlag(Qt::ControlModifier))
            lblLetterMode->hide();
        // Never while a contact is being edited: leaving would lose the edit.
        if (isEditing() || !mPrefs)
            return true;
        if (settings().confirmExit)
            showMinimized(); // to the tray
        else
            ExitProgram(false);
        return true;
    }
    return mBrowser->keyUp(key, modifiers);
}

} // namespace qel
