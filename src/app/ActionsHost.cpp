// The main window's side of the actions on the shown contact: it hands them the card's controls
// and hooks, forwards its menu commands, the card's double-clicks and the two clipboard hot keys.

#include "Vantrel.h"

#include "editing/frmUser.h"

#include <QPointer>
#include <QTimer>

namespace qel {

void Vantrel::buildActions() {
    ActionControls controls;
    controls.txtNumber = txtNumber;
    controls.lstEmail = lstEmail;
    controls.lstWebSite = lstWebSite;
    controls.txtBusinessAddress = txtBusinessAddress;
    controls.txtHomeAddress = txtHomeAddress;
    controls.txtOtherAddress = txtOtherAddress;
    controls.cmbContacts = cmbContacts;
    controls.lblMisc = lblMisc;
    ActionHooks hooks;
    hooks.editing = [this] { return isEditing(); };
    hooks.shiftMarked = [](const QWidget* control) { return isShiftMarked(control); };
    hooks.keyUp = [this] { Form_KeyUp(0, {}); };
    hooks.startMiscTimer = [this] {
        mMiscTicks = 0;
        MISCTimer->start();
    };
    hooks.userField = [this](int index) { return userWindow()->userField(index); };
    hooks.setUserField = [this](int index, const QString& text) { userWindow()->setUserField(index, text); };
    mActions =
        std::make_unique<ContactActions>(controls, gOlContactFolder, settings(), SyncTimer, this, hooks);
}

void Vantrel::composeMail(int entry) {
    mActions->lstEmail_DblClick(entry);
}

void Vantrel::txtNumber_DblClick(int index) {
    mActions->txtNumber_DblClick(index);
}

void Vantrel::txtAddress_DblClick(QPlainTextEdit* box) {
    mActions->txtAddress_DblClick(box);
}

void Vantrel::menuPrint_Click() {
    mActions->menuPrint_Click();
}

void Vantrel::menuCopy_Click() {
    mActions->menuCopy_Click();
}

void Vantrel::menuCopyText_Click() {
    mActions->menuCopyText_Click();
}

void Vantrel::hotCopy2Call_Pressed() {
    if (mUnloaded)
        return;
    const QPointer<Vantrel> self(this);
    if (mInTray || isMinimized())
        menuTrayShow_Click();
    if (!self || mUnloaded)
        return;
    raise();
    activateWindow();
    if (hotCopy2Call->isEnabled())
        ignoreHotKeyChord([this] { mActions->callClipboardNumber(); });
}

void Vantrel::hotEmail_Pressed() {
    if (!mUnloaded && hotEmail->isEnabled())
        ignoreHotKeyChord([this] { mActions->mailClipboardAddress(); });
}

} // namespace qel
