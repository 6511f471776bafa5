// The preferences' "Appointment Colors" tab: its controls, their load from the settings and their way back,
// and its handlers.

#include "frmPrefs.h"

#include "PrefsLists.h"
#include "PrefsUi.h"
#include "core/Named.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QButtonGroup>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace qel {

using namespace prefsui;

void frmPrefs::buildAppointmentColorsTab(QWidget* tab) {
    chkApptColor =
        checkBox(tab, QStringLiteral("chkApptColor"), QStringLiteral("Color appointments on every sync"));
    auto* grid = new QGridLayout;
    const QStringList colours = prefs::labelColourNames();
    for (int i = 0; i <= 10; ++i) {
        const size_t at = static_cast<size_t>(i);
        lblColor[at] = label(tab, i == 0 ? QStringLiteral("#0 No Color") : QStringLiteral("#%1").arg(i),
                             QStringLiteral("lblColor%1").arg(i));
        lblColor[at]->setToolTip(colours[i]);
        lblColor[at]->setMinimumWidth(90);
        auto* swatch = new QLabel(tab);
        QPixmap pixmap(14, 14);
        pixmap.fill(QColor(prefs::labelColourHex(i)));
        swatch->setPixmap(pixmap);
        swatch->setToolTip(colours[i]);
        txtApptSQL[at] = lineEdit(tab, QStringLiteral("txtApptSQL%1").arg(i));
        txtApptSQL[at]->setMinimumWidth(360);
        grid->addWidget(swatch, i, 0);
        grid->addWidget(lblColor[at], i, 1);
        grid->addWidget(txtApptSQL[at], i, 2);
    }
    grid->setColumnStretch(2, 1);
    auto* note = label(tab, QStringLiteral("Rows in bold are the label colors used by QEL Days."));
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(chkApptColor);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addStretch(1);
}

void frmPrefs::loadAppointmentColorsTab() {
    const SettingsModel& m = mSettings;
    chkApptColor->setChecked(m.apptColorSync);
    for (size_t i = 0; i < txtApptSQL.size(); ++i)
        txtApptSQL[i]->setText(m.colourFilters[i]);
}

void frmPrefs::storeAppointmentColorsTab() {
    SettingsModel& m = mSettings;
    m.apptColorSync = chkApptColor->isChecked();
    for (size_t i = 0; i < txtApptSQL.size(); ++i)
        m.colourFilters[i] = txtApptSQL[i]->text();
}

void frmPrefs::markColourRows(const std::array<int, 3>& colours) {
    for (int colour = 1; colour <= 10; ++colour) {
        const bool used = std::find(colours.begin(), colours.end(), colour) != colours.end();
        QLabel* caption = lblColor[static_cast<size_t>(colour)];
        caption->setFrameShape(used ? QFrame::Box : QFrame::NoFrame);
        QFont font = caption->font();
        font.setBold(used);
        caption->setFont(font);
        QLineEdit* filter = txtApptSQL[static_cast<size_t>(colour)];
        QPalette palette = filter->palette();
        palette.setColor(QPalette::Text, used ? QColor(Qt::red) : QColor(Qt::black));
        filter->setPalette(palette);
    }
}

} // namespace qel
