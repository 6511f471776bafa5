#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qel {

// The fix dialog of the rescan: the line in error, the contact, and its whole special-day text
// to correct. Save hides it; the rescan then reads txtQELDays.
class frmFix : public QDialog {
    Q_OBJECT
public:
    explicit frmFix(QWidget* parent = nullptr);

    QLabel* lblError;
    QLabel* lblName;
    QLabel* lblInstruction;
    QPlainTextEdit* txtQELDays;
    QPushButton* cmdSave;

public Q_SLOTS:
    void cmdSave_Click();
};

} // namespace qel
