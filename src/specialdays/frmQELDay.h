#pragma once

#include <QDialog>
#include <array>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

namespace qel {

struct BrowserControls;
class SettingsModel;
class SpecialDayEngine;

// "QEL Days": adds a special-day line for the card's contact with a calendar (first tab), or
// edits all its lines by hand (second tab). Works on the contact whose EntryID is the card's txtID.
class frmQELDay : public QDialog {
    Q_OBJECT
public:
    frmQELDay(SpecialDayEngine& engine, const BrowserControls& card, QWidget* parent = nullptr);

    QTabBar* TabStrip1;
    std::array<QFrame*, 2> fmeQEL{};
    QCalendarWidget* Calendar1;
    QCheckBox* chkNoYear;
    QComboBox* cmbType;
    QLineEdit* txtOther;
    QLineEdit* txtEvent;
    QCheckBox* chkLastNameSkip;
    QPushButton* cmdAdd;
    QPlainTextEdit* txtQEL;
    QLabel* lblContact;
    QPushButton* cmdSave;
    QPushButton* cmdClose;

    // The text of txtQEL with CR LF between its lines.
    QString lines() const;

public Q_SLOTS:
    void TabStrip1_Click();
    void cmbType_Click();
    void cmdAdd_Click();
    void cmdSave_Click();
    void cmdClose_Click();

private:
    void setBusy(bool busy);
    // Stores the whole text in the contact's field; false (told) when the store refused.
    bool storeLines(const QString& text);

    SpecialDayEngine& mEngine;
    const BrowserControls& mCard;
};

} // namespace qel
