// The container of detail panes under the card: the tab strip TabStrip1 over the panes
// fmeQuick(0..4), closed by cmdHide ("X") and opened again by a click on a tab.

#include "Vantrel.h"

#include <QFrame>
#include <QPushButton>
#include <QTabBar>

namespace qel {

void Vantrel::TabStrip1_Click() {
    const int selected = TabStrip1->currentIndex();
    if (!cmdHide->isHidden()) {
        for (size_t i = 0; i < fmeQuick.size(); ++i)
            fmeQuick[i]->setVisible(int(i) == selected);
        return;
    }
    // Closed: open it on the selected pane.
    cmdHide->setVisible(true);
    for (QFrame* pane : fmeQuick)
        pane->setVisible(true);
    if (selected >= 0)
        fmeQuick[size_t(selected)]->raise();
}

void Vantrel::cmdHide_Click() {
    for (QFrame* pane : fmeQuick)
        pane->setVisible(false);
    cmdHide->setVisible(false);
}

} // namespace qel
