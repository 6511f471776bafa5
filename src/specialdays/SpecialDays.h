#pragma once

// The special days and the reminder on the main window: "Add/Edit QEL Day" and the card's QEL Day
// button (frmQELDay), the rescan with its progress and fix dialog, the removal, the day strip of
// the coming week (Toolbar1) and the one-shot reminder (the fourth card tab, RemindTimer,
// frmRemind). It works on the controls and members it is handed; the engine does the store's work.

#include "SpecialDayEngine.h"
#include "browser/BrowserControls.h"
#include "frmRemind.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolBar;
class QWidget;

namespace qel {

// The main window's controls the special days work on besides the card's.
struct SpecialDayControls {
    QAction* menuRescan = nullptr;
    QAction* menuQELRemove = nullptr;
    QAction* menuUpcomingQELDay = nullptr;
    QObject* menuTools = nullptr; // "Syncing" while a sync runs
    QObject* MsgBoxEx1 = nullptr; // the error-choice marker in its tag
    QTimer* SyncTimer = nullptr;  // "Syncing" while a special-day command runs
    QLabel* lblMisc = nullptr;
    QLineEdit* txtRemind = nullptr;
    QComboBox* cmbRemind = nullptr;
    QTimer* RemindTimer = nullptr;
};

// What the special days need of the rest of the program. Every hook may be left empty.
struct SpecialDayHooks : LongRunHooks {
    std::function<void()> refreshCard;       // cmbContacts_Click
    std::function<bool()> inTray;            // the window is minimised to the tray
    std::function<void()> restoreFromTray;   // the tray's "Show"
    std::function<void(int)> selectTab;      // selects a card tab (1..5)
    std::function<void(bool)> setKeyPreview; // the window's key preview
    std::function<bool()> editing;           // a contact is being edited
    std::function<void()> rescanned;         // a rescan has run (whole or cancelled): the calendar changed
};

class SpecialDays : public QObject {
    Q_OBJECT
public:
    SpecialDays(BrowserControls& card, SpecialDayControls ui, StoreMembers members,
                const SettingsModel& settings, QWidget* window, SpecialDayHooks hooks,
                QObject* parent = nullptr);
    ~SpecialDays() override;

    SpecialDayEngine& engine() { return mEngine; }

    // The day strip: seven day buttons at positions 1, 3, .. 13 (separators between). Made with
    // the object; the window places it.
    QToolBar* Toolbar1 = nullptr;
    QAction* dayButton(int k) const { return mDays[size_t(k)]; }
    // Start-up: the strip and the card's tabs show the program's pictures (a day with special days
    // and the "Upcoming QEL Days" tab carry the special-day picture).
    void setUpImages();
    // The reminder's own controls, made in the fourth card pane.
    QPushButton* cmdRemind = nullptr;
    QLabel* lblTimer = nullptr;
    frmRemind* reminderWindow() const { return mRemind; }

    bool eventFilter(QObject* watched, QEvent* event) override;

public Q_SLOTS:
    void menuQELDay_Click();
    void cmdQELDay_Click();
    void menuRescan_Click();
    void menuQELRemove_Click();
    void menuUpcomingQELDay_Click();
    void Toolbar1_ButtonClick(int k);
    void Toolbar1_ButtonMenuClick(const QString& entryId);

    void menuRemind_Click();
    void cmdRemind_Click();
    void RemindTimer_Timer();
    // frmRemind's Snooze: five more minutes.
    void snooze();

private:
    class HidingProgress;
    bool quiet(QObject* command) const;
    void leaveCommand();
    void setIcons(int picture);
    void setReminder(const QDateTime& due);
    void clearReminder();
    QString remainingStatus() const;

    BrowserControls& mCard;
    SpecialDayControls mUi;
    StoreMembers m;
    const SettingsModel& mSettings;
    QWidget* mWindow;
    SpecialDayHooks mHooks;
    SpecialDayEngine mEngine;
    std::array<QAction*, 7> mDays{};
    bool mRescanning = false;
    QPointer<frmRemind> mRemind;
};

} // namespace qel
