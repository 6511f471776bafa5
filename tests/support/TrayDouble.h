#pragma once

// Header only: tests that include it link qel_platform.
#include "platform/Tray.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

namespace qeltest {

// The tray for a test: installed while it lives (the previous tray comes back after), it keeps
// the icon, the tool tip and whether the icon is shown, records every menu popped up, and lets
// the test press the mouse on the icon.
class TrayDouble : public qel::Tray {
public:
    TrayDouble() : mPrevious(qel::TraySeam::set(this)) {}
    ~TrayDouble() override { qel::TraySeam::set(mPrevious); }
    TrayDouble(const TrayDouble&) = delete;
    TrayDouble& operator=(const TrayDouble&) = delete;

    void add() override {
        mAdded = true;
        ++mAdds;
    }
    void remove() override {
        mAdded = false;
        ++mRemoves;
    }
    bool isAdded() const override { return mAdded; }
    bool isAvailable() const override { return mAvailable; }
    void setIcon(const QIcon& icon) override { mIcon = icon; }
    QIcon icon() const override { return mIcon; }
    void setToolTip(const QString& text) override {
        mToolTip = text;
        mToolTips.append(text);
    }
    QString toolTip() const override { return mToolTip; }
    void popUp(QMenu& menu, QAction* defaultItem) override {
        mPopUps.append(menu.objectName());
        mDefaultItems.append(defaultItem ? defaultItem->objectName() : QString());
    }

    // A desktop without a tray (the default is a desktop with one).
    void setAvailable(bool available) { mAvailable = available; }

    // The user's mouse on the icon.
    void press(int button) {
        if (listener())
            listener()->trayMouseDown(button);
    }
    void doubleClick() {
        if (listener())
            listener()->trayDoubleClick();
    }

    int adds() const { return mAdds; }
    int removes() const { return mRemoves; }
    const QStringList& toolTips() const { return mToolTips; } // every tool tip set, in order
    const QStringList& popUps() const { return mPopUps; }     // objectName of each menu popped up
    const QStringList& defaultItems() const { return mDefaultItems; }

private:
    qel::Tray* mPrevious;
    QIcon mIcon;
    QString mToolTip;
    QStringList mToolTips, mPopUps, mDefaultItems;
    bool mAdded = false;
    bool mAvailable = true;
    int mAdds = 0;
    int mRemoves = 0;
};

} // namespace qeltest
