#pragma once

#include "core/Progress.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qel {

// The progress window of long operations ("Please Wait..."). An operation loads it, sets the
// range of ProgressBar1, shows it, reports each item with setStatus() and tests cancelled()
// after it; at its end it unloads the window. A nested operation finds the window loaded and
// shares it, bar and cancel flag included.
class frmWait : public QDialog {
    Q_OBJECT
public:
    // The loaded window; a fresh one (hidden, bar at 0, cancel flag empty) when none is loaded.
    static frmWait* load(QWidget* parent = nullptr);
    // The loaded window, or nullptr.
    static frmWait* loaded();
    // Closes and destroys the loaded window (if any); the next load() starts afresh.
    static void unload();

    QLabel* Label1;
    QLabel* lblStatus;
    QProgressBar* ProgressBar1;
    QPushButton* cmdCancel; // its Tag is the cancel flag: "Cancel" once pressed

    // Sets lblStatus's caption; every call is a change and runs lblStatus_Change.
    void setStatus(const QString& text);
    QString status() const;
    // True once the user pressed Cancel.
    bool cancelled() const;

public Q_SLOTS:
    void cmdCancel_Click();
    void lblStatus_Change();

private:
    explicit frmWait(QWidget* parent);
    void Form_Load();
};

// frmWait as a long run's progress: loaded on first use, shown when the run begins.
class WaitProgress : public Progress {
public:
    explicit WaitProgress(QWidget* window) : mWindow(window) {}
    void begin(int count) override;
    void setStatus(const QString& text) override { frmWait::load(mWindow)->setStatus(text); }
    bool cancelled() const override { return frmWait::loaded() && frmWait::loaded()->cancelled(); }

private:
    QWidget* mWindow;
};

} // namespace qel
