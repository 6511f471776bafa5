// The window's keys that move between letters and views: arrows, "1", "2", the letters, and the
// first-name mode while Ctrl is held.

#include "ContactBrowser.h"

#include "outlook/Collation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace qel {

void ContactBrowser::keyDown(int, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier)
        mUi.lblLetterMode->show();
}

bool ContactBrowser::keyUp(int key, Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::ControlModifier))
        mUi.lblLetterMode->hide();
    if (!isWindowKey(key, modifiers))
        return false;
    bool handled = true;
    if (key == Qt::Key_Left) {
        cmdLeft_Click();
    } else if (key == Qt::Key_Right) {
        cmdRight_Click();
    } else if (key == Qt::Key_1) { // the main row's and the keypad's
        m.mLetterCode = kMiscCode;
        LetterChange();
    } else if (key == Qt::Key_2) {
        mUi.chkExtra->setChecked(!mUi.chkExtra->isChecked());
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        if (!mUi.lblLetterMode->isHidden()) {
            mUi.cmbContacts->setFocus();
            selectByFirstLetter(QChar(key));
        } else {
            m.mLetterCode = static_cast<qint16>(key - Qt::Key_A + 1);
            LetterChange();
        }
    } else {
        handled = false;
    }
    if (handled)
        mUi.cmbContacts->setFocus();
    return handled;
}

bool ContactBrowser::isWindowKey(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::AltModifier)
        return false;
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_1 || key == Qt::Key_2 ||
           (key >= Qt::Key_A && key <= Qt::Key_Z);
}

void ContactBrowser::selectByFirstLetter(QChar letter) {
    QComboBox* list = mUi.cmbContacts;
    const QString wanted = ol::foldKey(QString(letter));
    const int count = list->count();
    for (int step = 1; step <= count; ++step) {
        const int index = (list->currentIndex() + step) % count;
        if (ol::foldKey(list->itemText(index).left(1)) == wanted) {
            if (index != list->currentIndex())
                list->setCurrentIndex(index);
            return;
        }
    }
}

} // namespace qel
