#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace qel {

// "QEL Reminder": the message of a reminder that has come due and when it fired; rings
// "ding.wav" at 5, 10, .. 30 seconds. Dismiss closes it; Snooze sets the reminder five minutes on.
class frmRemind : public QDialog {
    Q_OBJECT
public:
    explicit frmRemind(QWidget* parent = nullptr);
    ~frmRemind() override;

    QLabel* lblMessage;
    QLabel* lblTime;
    QPushButton* cmdDismiss;
    QPushButton* cmdSnooze;
    QTimer* Timer1;
    int ticks() const { return mTicks; }

    std::function<void()> onSnooze; // the main window's snooze
    std::function<void()> onUnload; // the main window enables cmdRemind again

public Q_SLOTS:
    void Timer1_Timer();
    void cmdDismiss_Click();
    void cmdSnooze_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void unloadOnce();
    int mTicks = 0;
    bool mUnloaded = false;
};

} // namespace qel
