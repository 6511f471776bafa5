// The main window's side of the sync: the sync made on the window's tags and members, its timer's
// ticks, the status command, and the progress window it reports to.

#include "Vantrel.h"
#include "frmWait.h"

#include "core/Tag.h"
#include "platform/Clock.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace qel {

void Vantrel::buildSync() {
    SyncHooks hooks;
    static_cast<LongRunHooks&>(hooks) = longRunHooks();
    hooks.showConnecting = [this](bool on) {
        if (!on) {
            frmWait::unload();
            return;
        }
        frmWait* wait = frmWait::load(this);
        wait->Label1->setText(QStringLiteral("Connecting to FTP..."));
        wait->cmdCancel->hide();
        wait->ProgressBar1->hide();
        wait->show();
        wait->repaint();
    };
    hooks.setIcon = [this](SyncIcon picture) { setSyncIcon(picture); };
    hooks.setTrayStatus = [](const QString& text) { tray().setToolTip(text); };
    hooks.rescanQuietly = [this] {
        mSpecialDays->engine().setMarker(kMarkerSkip);
        setTag(menuRescan, QStringLiteral("No Message"));
        menuRescan_Click();
        setTag(menuRescan, QString());
    };
    hooks.upcomingQuietly = [this] {
        setTag(menuUpcomingQELDay, QStringLiteral("No Message"));
        menuUpcomingQELDay_Click();
        setTag(menuUpcomingQELDay, QString());
    };
    hooks.colourQuietly = [this] {
        setTag(menuAppointments, kNoMessages);
        menuAppointments_Click();
        setTag(menuAppointments, QString());
    };
    hooks.minimised = [this] { return isMinimized() || mInTray; };
    hooks.refreshCard = [this] { mBrowser->cmbContacts_Click(); };
    hooks.focusList = [this] {
        if (cmbContacts && cmbContacts->isVisible())
            cmbContacts->setFocus();
    };
    SyncControls controls;
    controls.menuSync = menuSync;
    controls.SyncTimer = SyncTimer;
    controls.menuTools = menuTools;
    controls.menuTraySync = menuTraySync;
    mSync = std::make_unique<FtpSync>(controls, storeMembers(), settings(), hooks);
    mSyncSchedule = std::make_unique<SyncSchedule>(settings());
}

void Vantrel::menuSync_Click() {
    // The window may be rebuilt by a handler that runs inside the sync: the sync object outlives it
    // until the deferred rebuild.
    const QPointer<Vantrel> self(this);
    if (settings().sync || !settings().davSync)
        mSync->run();
    if (self && !mUnloaded)
        davSync();
}

void Vantrel::menuStatus_Click() {
    if (!settings().sync && !settings().davSync) {
        dialogs().message(QStringLiteral("Sync is disabled.  Please enable it in preferences."));
        return;
    }
    dialogs().message(tray().toolTip());
}

void Vantrel::SyncTimer_Timer() {
    if (mSyncSchedule->tick(clock().now(), Tag(SyncTimer) == kSyncingTag))
        timedSync();
}

void Vantrel::timedSync() {
    const QPointer<Vantrel> self(this);
    setTag(menuSync, QStringLiteral("Timer Sync"));
    if (mInTray || isMinimized()) {
        menuTrayShow_Click();
        if (!self || mUnloaded)
            return;
        setWindowState(windowState() | Qt::WindowMinimized);
    }
    if (settings().sync)
        mSync->run();
    if (!self)
        return;
    setTag(SyncTimer, QString());
    if (!mUnloaded)
        davSync();
    if (!self)
        return;
    setTag(menuSync, QString());
    setTag(SyncTimer, QString());
    if (!mUnloaded)
        setWindowState(windowState() | Qt::WindowMinimized);
}

} // namespace qel
