#include "Tray.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace qel {

QtTray::QtTray() = default;

QtTray::~QtTray() {
    delete mSystemIcon;
}

void QtTray::add() {
    mAdded = true;
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return; // no tray host: the icon lives on in this object only
    if (!mSystemIcon) {
        mSystemIcon = new QSystemTrayIcon;
        mSystemIcon->setIcon(mIcon);
        mSystemIcon->setToolTip(mToolTip);
        QObject::connect(mSystemIcon, &QSystemTrayIcon::activated, mSystemIcon,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             TrayListener* target = listener();
                             if (!target)
                                 return;
                             switch (reason) {
                             case QSystemTrayIcon::Trigger:
                                 target->trayMouseDown(1);
                                 break;
                             case QSystemTrayIcon::Context:
                                 target->trayMouseDown(2);
                                 break;
                             case QSystemTrayIcon::MiddleClick:
                                 target->trayMouseDown(4);
                                 break;
                             case QSystemTrayIcon::DoubleClick:
                                 target->trayDoubleClick();
                                 break;
                             case QSystemTrayIcon::Unknown:
                                 break;
                             }
                         });
    }
    mSystemIcon->show();
}

bool QtTray::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::remove() {
    mAdded = false;
    if (mSystemIcon)
        mSystemIcon->hide();
}

void QtTray::setIcon(const QIcon& icon) {
    mIcon = icon;
    if (mSystemIcon)
        mSystemIcon->setIcon(icon);
}

void QtTray::setToolTip(const QString& text) {
    mToolTip = text;
    if (mSystemIcon)
        mSystemIcon->setToolTip(text);
}

void QtTray::popUp(QMenu& menu, QAction* defaultItem) {
    menu.setDefaultAction(defaultItem);
    menu.popup(QCursor::pos());
}

void installProductionTray() {
    static QtTray* const tray = new QtTray; // kept for the whole process, like the other seams
    TraySeam::set(tray);
}

} // namespace qel
