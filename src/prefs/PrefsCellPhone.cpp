// The preferences' "Cell Phone" tab: its controls, their load from the settings and their way back,
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

void frmPrefs::buildCellPhoneTab(QWidget* tab) {
    const QStringList captions = prefs::cellFieldCaptions();
    auto* fields = group(tab, QStringLiteral("Fields"), QStringLiteral("fraCellFields"));
    auto* grid = new QGridLayout(fields);
    for (int i = 0; i < 19; ++i) {
        chkCell[static_cast<size_t>(i)] = checkBox(fields, QStringLiteral("chkCell%1").arg(i), captions[i]);
        grid->addWidget(chkCell[static_cast<size_t>(i)], i % 7, i / 7);
    }
    txtCellSQL = lineEdit(tab, QStringLiteral("txtCellSQL"));
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(fields);
    layout->addWidget(label(tab, QStringLiteral("Additional Criteria (use an SQL-style filter)")));
    layout->addWidget(txtCellSQL);
    layout->addWidget(
        label(tab, QStringLiteral("e.g. [Categories] = 'Work', would only include your work contacts")));
    layout->addStretch(1);
}

void frmPrefs::loadCellPhoneTab() {
    const SettingsModel& m = mSettings;
    for (size_t i = 0; i < chkCell.size(); ++i)
        chkCell[i]->setChecked(m.cellFields[i]);
    txtCellSQL->setText(m.cellSQL);
}

void frmPrefs::storeCellPhoneTab() {
    SettingsModel& m = mSettings;
    for (size_t i = 0; i < chkCell.size(); ++i)
        m.cellFields[i] = chkCell[i]->isChecked();
    m.cellSQL = txtCellSQL->text();
}

} // namespace qel
