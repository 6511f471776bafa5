#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qel {

// Line breaks as the contact store keeps them in long texts (notes, user fields): CR LF.
QString storeLineBreaks(const QString& text);

// The notes window: the shown contact's notes (its Body), kept filled by the card and shown by
// "View/Edit Contact Notes". It lives hidden between uses, so unsaved text stays until the next
// contact is selected. Save asks first; the tag of cmdSave carries the answer ("Save") to the
// command that showed the window, which writes the notes.
class frmNotes : public QDialog {
    Q_OBJECT
public:
    explicit frmNotes(QWidget* parent = nullptr);

    static const QString kSaveTag;

    QLabel* lblExplain;
    QPlainTextEdit* txtNotes;
    QPushButton* cmdSave;  // "Save"; its Tag is "Save" once the user confirmed
    QPushButton* cmdClose; // "Close/Cancel"

    // The contact the notes belong to: the caption and the save question name it.
    void setContactName(const QString& name);
    QString contactName() const { return mContactName; }

    // The notes as the store keeps them (CR LF line breaks).
    QString notes() const;
    void setNotes(const QString& text);

public Q_SLOTS:
    void cmdSave_Click();
    void cmdClose_Click();

private:
    QString mContactName;
};

} // namespace qel
