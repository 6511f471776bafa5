#pragma once

#include "core/SettingsModel.h"

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;

namespace qel {

// The filter editor: the eight export and import filters and the months of the appointment
// window. The preferences fill the boxes, show it modally and, when it was accepted, copy the
// filters and months() back into their own boxes of the same names.
class frmFilter : public QDialog {
    Q_OBJECT
public:
    explicit frmFilter(QWidget* parent = nullptr);

    QLineEdit* txtExportContactSQL;
    QLineEdit* txtExportCalendarSQL;
    QLineEdit* txtExportTasksSQL;
    QLineEdit* txtExportNotesSQL;
    QLineEdit* txtImportContactSQL;
    QLineEdit* txtImportCalendarSQL;
    QLineEdit* txtImportTasksSQL;
    QLineEdit* txtImportNotesSQL;
    QLineEdit* txtDateRange;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    // The boxes from the settings model's filters, and the filters as edited (the months as cmdOk
    // left them: a whole positive number once the dialog was accepted).
    void loadFilters(const SyncFilters& filters);
    SyncFilters filters() const;

    // The months to keep after cmdOk accepted the dialog: the absolute value of the typed number
    // rounded half to even (2.6 -> 3, 2.5 -> 2, -2 -> 2).
    int months() const { return mMonths; }

    // The largest number of months accepted; larger values are refused like a non-number.
    static constexpr int kMaxMonths = 32767;

public Q_SLOTS:
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    std::array<QLineEdit*, 4> exportBoxes() const;
    std::array<QLineEdit*, 4> importBoxes() const;
    int mMonths = 0;
};

} // namespace qel
