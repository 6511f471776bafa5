#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qel {

// The user-field window ("Edit Outlook User Defined Fields"): the shown contact's four user fields,
// kept filled by the card. Other commands read the boxes as the current contact's user fields.
// Closing only hides it, so unsaved text stays until the next contact is selected.
class frmUser : public QDialog {
    Q_OBJECT
public:
    explicit frmUser(QWidget* parent = nullptr);

    QLabel* lblExplain;
    std::array<QLabel*, 5> lblUser{};         // items 1..4: "User1" .. "User4" (0 unused)
    std::array<QPlainTextEdit*, 5> txtUser{}; // items 1..4 (0 unused)
    QPushButton* cmdSave;                     // "Save"
    QPushButton* cmdCancel;                   // "Cancel"

    // Writes the four boxes to the shown contact (set by the main window). Save runs it and hides
    // the window; there is no question first.
    std::function<void()> saveFields;

    // User field 1..4 as the store keeps it (CR LF between lines); "" for any other index.
    QString userField(int index) const;
    void setUserField(int index, const QString& text);

public Q_SLOTS:
    void cmdSave_Click();
    void cmdCancel_Click();
};

} // namespace qel
