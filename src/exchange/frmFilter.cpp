#include "frmFilter.h"

#include "core/NumberText.h"
#include "platform/Dialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <cmath>

namespace qel {

namespace {
QLineEdit* filterBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMinimumWidth(260);
    box->setPlaceholderText(QStringLiteral("No filter"));
    return box;
}
} // namespace

frmFilter::frmFilter(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFilter"));
    setWindowTitle(QStringLiteral("Sync and Import/Export Filters"));

    auto* intro = new QLabel(
        QStringLiteral("Limit the items that are exported and imported. A filter compares a property with a "
                       "value, for example [Categories] = 'Work', and filters can be joined with AND and OR. "
                       "Leave a box empty for no filter."),
        this);
    intro->setObjectName(QStringLiteral("lblIntro"));
    intro->setWordWrap(true);

    auto* export_ = new QGroupBox(QStringLiteral("Export filters"), this);
    export_->setObjectName(QStringLiteral("fraExport"));
    auto* import_ = new QGroupBox(QStringLiteral("Import filters"), this);
    import_->setObjectName(QStringLiteral("fraImport"));

    txtExportContactSQL = filterBox(export_, "txtExportContactSQL");
    txtExportCalendarSQL = filterBox(export_, "txtExportCalendarSQL");
    txtExportTasksSQL = filterBox(export_, "txtExportTasksSQL");
    txtExportNotesSQL = filterBox(export_, "txtExportNotesSQL");
    txtImportContactSQL = filterBox(import_, "txtImportContactSQL");
    txtImportCalendarSQL = filterBox(import_, "txtImportCalendarSQL");
    txtImportTasksSQL = filterBox(import_, "txtImportTasksSQL");
    txtImportNotesSQL = filterBox(import_, "txtImportNotesSQL");

    const auto fillGroup = [](QGroupBox* group, const std::array<QLineEdit*, 4>& boxes) {
        auto* grid = new QGridLayout(group);
        const char* captions[] = {"Contacts:", "Calendar:", "Tasks:", "Notes:"};
        for (int row = 0; row < 4; ++row) {
            auto* label = new QLabel(QLatin1String(captions[row]), group);
            label->setBuddy(boxes[static_cast<size_t>(row)]);
            grid->addWidget(label, row, 0);
            grid->addWidget(boxes[static_cast<size_t>(row)], row, 1);
        }
        grid->setColumnStretch(1, 1);
    };
    fillGroup(export_, {txtExportContactSQL, txtExportCalendarSQL, txtExportTasksSQL, txtExportNotesSQL});
    fillGroup(import_, {txtImportContactSQL, txtImportCalendarSQL, txtImportTasksSQL, txtImportNotesSQL});

    auto* rangeLabel =
        new QLabel(QStringLiteral("Export calendar items up to this many months ahead:"), this);
    txtDateRange = new QLineEdit(this);
    txtDateRange->setObjectName(QStringLiteral("txtDateRange"));
    txtDateRange->setMaximumWidth(80);
    rangeLabel->setBuddy(txtDateRange);
    auto* rangeNote = new QLabel(QStringLiteral("(recurring items are always exported)"), this);

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(rangeLabel);
    rangeRow->addWidget(txtDateRange);
    rangeRow->addWidget(rangeNote);
    rangeRow->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(export_);
    layout->addWidget(import_);
    layout->addLayout(rangeRow);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &frmFilter::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFilter::cmdCancel_Click);
}

void frmFilter::cmdOk_Click() {
    const auto value = numberValue(txtDateRange->text());
    const double rounded = value ? roundHalfEven(*value) : 0;
    // A value beyond what the export window can hold is no more usable than a non-number.
    if (!value || !std::isfinite(rounded) || std::fabs(rounded) > kMaxMonths) {
        dialogs().message(QStringLiteral("Please enter a valid integer for number of months"));
        return;
    }
    if (rounded == 0) {
        dialogs().message(QStringLiteral("Number of months cannot be zero!  Please enter 1 or more."));
        return;
    }
    mMonths = static_cast<int>(std::fabs(rounded));
    txtDateRange->setText(QString::number(mMonths));
    accept();
}

std::array<QLineEdit*, 4> frmFilter::exportBoxes() const {
    return {txtExportContactSQL, txtExportCalendarSQL, txtExportTasksSQL, txtExportNotesSQL};
}

std::array<QLineEdit*, 4> frmFilter::importBoxes() const {
    return {txtImportContactSQL, txtImportCalendarSQL, txtImportTasksSQL, txtImportNotesSQL};
}

void frmFilter::loadFilters(const SyncFilters& filters) {
    for (size_t i = 0; i < 4; ++i) {
        exportBoxes()[i]->setText(filters.exportFilter[i]);
        importBoxes()[i]->setText(filters.importFilter[i]);
    }
    txtDateRange->setText(filters.dateRange);
}

SyncFilters frmFilter::filters() const {
    SyncFilters filters;
    for (size_t i = 0; i < 4; ++i) {
        filters.exportFilter[i] = exportBoxes()[i]->text();
        filters.importFilter[i] = importBoxes()[i]->text();
    }
    filters.dateRange = txtDateRange->text();
    return filters;
}

void frmFilter::cmdCancel_Click() {
    reject();
}

} // namespace qel
