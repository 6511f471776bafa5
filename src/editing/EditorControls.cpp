#include "EditorControls.h"

#include "browser/BrowserControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace qel {

void EditorControls::buildEditorControls(QWidget* form, const BrowserControls& card) {
    // The row of the contact list: the list and its arrows make way for the two buttons.
    const QRect row = card.cmbContacts->geometry();
    constexpr int kButtonWidth = 128;
    constexpr int kGap = 8;

    cmdSave = new QPushButton(editortext::kSaveEdits, form);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setGeometry(row.x(), row.y(), kButtonWidth, row.height());
    cmdSave->setToolTip(QStringLiteral("Write the card's fields to the contact"));
    cmdSave->setStyleSheet(QStringLiteral("QPushButton#cmdSave { background: #2f6f5f; color: white;"
                                          " border: 1px solid #24574a; border-radius: 6px;"
                                          " font-weight: bold; padding: 2px 10px; }"
                                          "QPushButton#cmdSave:hover { background: #3a8472; }"));
    cmdSave->hide();

    cmdCancel = new QPushButton(editortext::kCancelEdits, form);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(row.x() + kButtonWidth + kGap, row.y(), kButtonWidth, row.height());
    cmdCancel->setToolTip(QStringLiteral("Throw the edits away"));
    cmdCancel->hide();

    txtName2 = new QLineEdit(form);
    txtName2->setObjectName(QStringLiteral("txtName2"));
    txtName2->hide();
}

bool EditorControls::adding() const {
    return cmdSave->text() == editortext::kAddContact;
}

} // namespace qel
