#pragma once

#include "Seam.h"

#include <QIcon>
#include <QString>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace qel {

// Receives the tray icon's mouse events (the main window while it is loaded).
class TrayListener {
public:
    virtual ~TrayListener() = default;
    // A mouse button went down on the icon: 1 left, 2 right, 4 middle.
    virtual void trayMouseDown(int button) = 0;
    virtual void trayDoubleClick() = 0;
};

// The program's icon in the system tray. It keeps its picture and tool tip also while it is not
// shown and where the desktop has no tray at all, since the tool tip is the program's last status.
class Tray {
public:
    virtual ~Tray() = default;

    // Shows the icon (where the desktop has a tray) / takes it away again.
    virtual void add() = 0;
    virtual void remove() = 0;
    virtual bool isAdded() const = 0;
    // The desktop shows a tray: an added icon can be seen and clicked. Where it does not, the
    // program must leave the user another way back to a minimised window.
    virtual bool isAvailable() const = 0;

    virtual void setIcon(const QIcon& icon) = 0;
    virtual QIcon icon() const = 0;
    virtual void setToolTip(const QString& text) = 0;
    virtual QString toolTip() const = 0;

    // Pops the menu up at the mouse pointer, `defaultItem` (may be null) shown as the default.
    virtual void popUp(QMenu& menu, QAction* defaultItem) = 0;

    void setListener(TrayListener* listener) { mListener = listener; }
    TrayListener* listener() const { return mListener; }

private:
    TrayListener* mListener = nullptr;
};

using TraySeam = Seam<Tray>;
inline Tray& tray() {
    return TraySeam::get();
}

// QSystemTrayIcon behind the seam. The icon object is made on the first add(), so a run that never
// goes to the tray never talks to the desktop's tray host.
class QtTray : public Tray {
public:
    QtTray();
    ~QtTray() override;

    void add() override;
    void remove() override;
    bool isAdded() const override { return mAdded; }
    bool isAvailable() const override;
    void setIcon(const QIcon& icon) override;
    QIcon icon() const override { return mIcon; }
    void setToolTip(const QString& text) override;
    QString toolTip() const override { return mToolTip; }
    void popUp(QMenu& menu, QAction* defaultItem) override;

private:
    QSystemTrayIcon* mSystemIcon = nullptr;
    QIcon mIcon;
    QString mToolTip;
    bool mAdded = false;
};

// Installs a QtTray as the tray of the process (once, after the QApplication exists).
void installProductionTray();

} // namespace qel
