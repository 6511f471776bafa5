// The main window's key table on the real window: letters, the keypad's 1 and 2, Esc with and
// without "Confirm exit", Ctrl's first-name mode, Shift's red marking of the controls with a
// Shift double-click, and keys let go that the window never saw pressed.

#include "TrayTesting.h"
#include "core/Tag.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

using apptest::Run;
using apptest::saveFlag;

namespace {

// The controls Shift marks: the three address boxes, the e-mail list, the sixteen phone boxes.
QList<QWidget*> shiftControls(const qel::Vantrel* w) {
    QList<QWidget*> controls{w->txtBusinessAddress, w->txtHomeAddress, w->txtOtherAddress, w->lstEmail};
    for (QLineEdit* box : w->txtNumber)
        controls << box;
    return controls;
}

// One key event as the platform sends it, with the modifiers held at that moment (QTest's own
// release lets go of the modifiers as well).
void send(QWidget* widget, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(type, key, modifiers);
    QApplication::sendEvent(widget, &event);
}

int marked(const qel::Vantrel* w) {
    int count = 0;
    for (const QWidget* control : shiftControls(w))
        count += qel::Vantrel::isShiftMarked(control) ? 1 : 0;
    return count;
}

} // namespace

class KeysTest : public QObject, protected apptest::WindowCase {
    Q_OBJECT

    qel::Vantrel* start() {
        mRun = std::make_unique<Run>(apptest::makeStore(mStores));
        if (!mRun->start())
            return nullptr;
        qel::Vantrel* w = mRun->window();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            return nullptr;
        w->cmbContacts->setFocus();
        return w;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(mStores.isValid()); }
    void init() { beginCase(QStringLiteral("keys")); }
    void cleanup() { endCase(); }

    void lettersAndTheKeypad() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        // A letter with Shift held is still the letter.
        QTest::keyClick(w->cmbContacts, Qt::Key_Z, Qt::ShiftModifier);
        QCOMPARE(w->mLetterCode, qint16(26));
        QCOMPARE(w->txtName->text(), QStringLiteral("Zed Zulu"));
        QTest::keyClick(w->cmbContacts, Qt::Key_1, Qt::KeypadModifier);
        QCOMPARE(w->mLetterCode, qint16(27));
        QTest::keyClick(w->cmbContacts, Qt::Key_Left);
        QCOMPARE(w->mLetterCode, qint16(26));
        QTest::keyClick(w->cmbContacts, Qt::Key_2, Qt::KeypadModifier);
        QVERIFY(w->chkExtra->isChecked());
        QTest::keyClick(w->cmbContacts, Qt::Key_2, Qt::KeypadModifier);
        QVERIFY(!w->chkExtra->isChecked());
        // Each key leaves the focus on the contact list.
        QVERIFY(w->cmbContacts->hasFocus());
        // Keys the table does not know do nothing.
        QTest::keyClick(w->cmbContacts, Qt::Key_F5);
        QTest::keyClick(w->cmbContacts, Qt::Key_3);
        QCOMPARE(w->mLetterCode, qint16(26));
    }

    void escWithConfirmExitGoesToTheTray() {
        saveFlag("General", "ConfirmExit");
        qel::Vantrel* w = start();
        QVERIFY(w);
        QTest::keyClick(w->cmbContacts, Qt::Key_Escape);
        apptest::settle();
        QVERIFY(w->isInTray());
        QVERIFY(!w->isVisible());
        QVERIFY(!w->isUnloaded());
        QCOMPARE(mSeams->dialogs.prompts().size(), 0); // no "Are you sure" either
    }

    void escWithoutConfirmExitEndsTheProgram() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        QTest::keyClick(w->cmbContacts, Qt::Key_M);
        QTest::keyClick(w->cmbContacts, Qt::Key_Escape);
        QVERIFY(w->isUnloaded());
        apptest::settle();
        QVERIFY(mRun->program->isFinished());
        QCOMPARE(mSeams->dialogs.prompts().size(), 0);
        QCOMPARE(apptest::cache(QStringLiteral("LetterCode")), QStringLiteral("13"));
    }

    void escNeverEndsAnEdit() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        apptest::enterEditing(w);
        QVERIFY(w->isEditing());
        w->txtName->setFocus();
        QTest::keyClick(w->txtName, Qt::Key_Escape);
        QVERIFY(!w->isUnloaded());
        QVERIFY(w->isVisible());
        QVERIFY(w->isEditing());
    }

    void aReleaseWithoutItsPressDoesNothing() {
        // Esc that closed a message box comes up in the window: the program stays.
        qel::Vantrel* w = start();
        QVERIFY(w);
        QTest::keyRelease(w->cmbContacts, Qt::Key_Escape);
        QVERIFY(!w->isUnloaded());
        QTest::keyRelease(w->cmbContacts, Qt::Key_Z);
        QCOMPARE(w->mLetterCode, qint16(1));
        // The next full key press acts as usual.
        QTest::keyClick(w->cmbContacts, Qt::Key_Z);
        QCOMPARE(w->mLetterCode, qint16(26));
    }

    void ctrlTypesAheadWithoutChangingTheTab() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        QComboBox* list = w->cmbContacts;
        send(list, QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        QVERIFY(!w->lblLetterMode->isHidden());
        QCOMPARE(w->lblLetterMode->text(), QStringLiteral("First Name Mode Is On"));
        send(list, QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier);
        send(list, QEvent::KeyRelease, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(w->mLetterCode, qint16(1));
        QCOMPARE(list->currentText(), QStringLiteral("Bob Archer"));
        QCOMPARE(w->txtName->text(), QStringLiteral("Bob Archer"));
        QVERIFY(!w->lblLetterMode->isHidden()); // Ctrl still held
        // Round the end of the list to the first B again.
        send(list, QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
        send(list, QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(list->currentText(), QStringLiteral("Ann Archer"));
        QCOMPARE(w->mLetterCode, qint16(1));
        // Ctrl let go; the platform reports it still held with its own release.
        send(list, QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
        QVERIFY(w->lblLetterMode->isHidden());
        QTest::keyClick(w->cmbContacts, Qt::Key_B);
        QCOMPARE(w->mLetterCode, qint16(2));
    }

    void shiftMarksThePhoneAddressAndEmailControls() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        const QColor phoneInk = w->txtNumber[0]->palette().color(QPalette::Text);
        const QColor addressInk = w->txtHomeAddress->palette().color(QPalette::Text);
        QVERIFY(phoneInk != QColor(255, 0, 0));
        QCOMPARE(marked(w), 0);

        QComboBox* list = w->cmbContacts;
        send(list, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(marked(w), 20);
        QCOMPARE(w->txtNumber[15]->palette().color(QPalette::Text), QColor(255, 0, 0));
        QVERIFY(!qel::Vantrel::isShiftMarked(w->txtName)); // the name has no Shift variant
        // Shift and Ctrl together keep the marking (and turn on the first-name mode).
        send(list, QEvent::KeyPress, Qt::Key_Control, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(marked(w), 20);
        QVERIFY(!w->lblLetterMode->isHidden());
        send(list, QEvent::KeyRelease, Qt::Key_Control, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(marked(w), 20);
        QVERIFY(w->lblLetterMode->isHidden());

        // Shift let go: the controls get their own colour back.
        send(list, QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(marked(w), 0);
        QCOMPARE(w->txtNumber[0]->palette().color(QPalette::Text), phoneInk);
        QCOMPARE(w->txtHomeAddress->palette().color(QPalette::Text), addressInk);

        // Shift with Alt is the menus' and marks nothing.
        send(list, QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        send(list, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier | Qt::AltModifier);
        QCOMPARE(marked(w), 0);
        send(list, QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier | Qt::AltModifier);
        send(list, QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);

        // A Shift double-click elsewhere ends with the key-up step without a key.
        send(list, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(marked(w), 20);
        QVERIFY(!w->Form_KeyUp(0, Qt::NoModifier));
        QCOMPARE(marked(w), 0);
        QCOMPARE(w->mLetterCode, qint16(1));
    }

    void keysLetGoDuringTheHotKeySecondAreIgnored() {
        qel::Vantrel* w = start();
        QVERIFY(w);
        w->ignoreHotKeyChord();
        QTest::keyClick(w->cmbContacts, Qt::Key_M);
        QTest::keyClick(w->cmbContacts, Qt::Key_Right);
        QTest::keyClick(w->cmbContacts, Qt::Key_Escape);
        QCOMPARE(w->mLetterCode, qint16(1));
        QVERIFY(!w->isUnloaded());
        // Ctrl and Shift still come and go.
        QTest::keyPress(w->cmbContacts, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(marked(w), 20);
        QTest::keyRelease(w->cmbContacts, Qt::Key_Shift);
        QCOMPARE(marked(w), 0);
        mSeams->clock.advanceSecs(1);
        QTRY_VERIFY(qel::Tag(w->VBHotKey1).isEmpty());
        QTest::keyClick(w->cmbContacts, Qt::Key_M);
        QCOMPARE(w->mLetterCode, qint16(13));
    }
};

QEL_TEST_MAIN(KeysTest)
#include "test_keys.moc"
