#pragma once

// The text-message dialog ("Select Service Provider"): turns a phone number into the address of the
// carrier's e-mail-to-SMS gateway and hands a mailto: link to the default e-mail program. Its
// settings are the section SMS; the carrier may come from, and go back to, a user field of the
// contact (through the user-field editor, which saves it with the contact).

#include "Carriers.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qel {

class frmSMS : public QDialog {
    Q_OBJECT
public:
    explicit frmSMS(const QList<Carrier>& carriers, QWidget* parent = nullptr);

    QLabel* lblTo;
    QLineEdit* txtTo; // its tag holds the number's digits
    QLabel* lblProvider;
    QComboBox* cmbProvider;  // the carriers' names
    QComboBox* cmbProvider2; // hidden: their domains, in the same order
    QGroupBox* fmeSettings;  // "Settings"
    QCheckBox* chkRemind;
    QCheckBox* chkSearch;
    QComboBox* cmbUser; // "User1" .. "User4"
    QCheckBox* chkSig;
    QPlainTextEdit* txtSig;
    QLabel* lblNote;
    QLabel* lblExplain;
    QPushButton* cmdLookup;
    QPushButton* cmdOther;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    // The contact's user field 1..4 as the user-field editor holds it, and writing one there.
    std::function<QString(int)> userField;
    std::function<void(int, const QString&)> setUserField;

    // Fills the dialog for a number: the settings of section SMS, the number's digits as the
    // address, and, when asked to, the carrier named by the contact's user field.
    void prepare(const QString& digits);

public Q_SLOTS:
    void cmbProvider_Click();
    void chkSearch_Click();
    void chkSig_Click();
    void cmdLookup_Click();
    void cmdOther_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    // Selects the carrier of that name (letter case and blanks around ignored); false when the
    // list has none of that name.
    bool selectCarrier(const QString& name);
    void writeCarrierToUserField();
};

} // namespace qel
