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

// The upcoming special-days strip (Toolbar1) shows a special day: one of its buttons has a tool
// tip that counts some (a day without any says "Sorry, no QEL Days").
bool specialDayShown(const QObject& window) {
    for (const QToolBar* toolbar : window.findChildren<QToolBar*>(QStringLiteral("Toolbar1"))) {
        for (const QAction* button : toolbar->actions()) {
            const QString tip = button->toolTip();
            if (!button->isSeparator() && !tip.isEmpty() && tip != QLatin1String("Sorry, no QEL Days") &&
                tip != button->text())
                return true;
        }
    }
    return false;
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

// The sync's pictures: the normal and error ones on the tray and the window, the syncing one on the
// tray only, animated by AniTimer while the sync runs.
void Vantrel::setSyncIcon(SyncIcon picture) {
    const int special = specialDayShown(*this) ? 2 : 0;
    if (picture == SyncIcon::Syncing) {
        tray().setIcon(icons::trayPicture(5 + special));
        AniTimer->start();
        return;
    }
    AniTimer->stop();
    const QIcon icon = icons::trayPicture((picture == SyncIcon::Error ? 2 : 1) + special);
    tray().setIcon(icon);
    setWindowIcon(icon);
}

} // namespace qel
