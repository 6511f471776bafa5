#pragma once

// The controls the card gains for editing a contact: the save and cancel buttons, which show only
// while a contact is being edited (their visibility is the window's edit mode), and the hidden
// box holding the name the contact had when editing began.

#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

namespace qel {

struct BrowserControls;

// Texts of the editor that more than one command compares or shows.
namespace editortext {
const QString kSaveEdits = QStringLiteral("Save Edits");
const QString kAddContact = QStringLiteral("Add Contact");
const QString kCancelEdits = QStringLiteral("Cancel Edits");
const QString kSelectContact = QStringLiteral("Please select a contact!");
} // namespace editortext

struct EditorControls {
    QPushButton* cmdSave = nullptr;   // "Save Edits", or "Add Contact" while a new contact is entered
    QPushButton* cmdCancel = nullptr; // "Cancel Edits"
    QLineEdit* txtName2 = nullptr;    // hidden: the full name when editing began

    // Whether the container of detail panes was open, and on which tab, when editing began: the
    // rebuilt window comes back with it as it was.
    bool containerOpenBeforeEdit = false;
    int containerTabBeforeEdit = 1;

    // Creates the controls hidden on the card `form`, in the place of the contact list and its
    // arrows (which edit mode hides).
    void buildEditorControls(QWidget* form, const BrowserControls& card);

    bool adding() const;
};

} // namespace qel
