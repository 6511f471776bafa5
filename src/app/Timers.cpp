// The small timers of the main window: the status label that clears itself and the tray icon's
// animation while a sync runs.

#include "Vantrel.h"

#include "platform/Tray.h"
#include "platform/TrayIcons.h"

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QToolBar>

namespace qel {

namespace {

constexpr int kMiscTicksShown = 5; // ticks the text stays; the one after clears it

// The upcoming special-days strip (Toolbar1) shows a day when its first button has a tool tip.
bool specialDayShown(const QObject& window) {
    const auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    if (!toolbar || toolbar->actions().isEmpty())
        return false;
    return !toolbar->actions().constFirst()->toolTip().isEmpty();
}

} // namespace

void Vantrel::MISCTimer_Timer() {
    if (mMiscTicks < kMiscTicksShown) {
        ++mMiscTicks;
        return;
    }
    lblMisc->clear();
    mMiscTicks = 0;
    MISCTimer->stop();
}

void Vantrel::AniTimer_Timer() {
    // Syncing frames 5 and 6, or 7 and 8 with a special day coming up.
    const bool special = specialDayShown(*this);
    const int first = special ? 7 : 6;
    const int second = special ? 8 : 5;
    const bool showsFirst = tray().icon().cacheKey() == icons::trayPicture(first).cacheKey();
    tray().setIcon(icons::trayPicture(showsFirst ? second : first));
}

} // namespace qel
