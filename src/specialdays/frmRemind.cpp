#include "frmRemind.h"

#include "core/Named.h"
#include "platform/Sound.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace qel {

frmRemind::frmRemind(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRemind"));
    setWindowTitle(QStringLiteral("QEL Reminder"));
    setAttribute(Qt::WA_DeleteOnClose);
    lblMessage = named(new QLabel(this), QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    lblMessage->setTextFormat(Qt::PlainText);
    QFont big = lblMessage->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    lblMessage->setFont(big);
    lblTime = named(new QLabel(this), QStringLiteral("lblTime"));
    cmdDismiss = named(new QPushButton(QStringLiteral("Dismiss"), this), QStringLiteral("cmdDismiss"));
    cmdSnooze = named(new QPushButton(QStringLiteral("Snooze"), this), QStringLiteral("cmdSnooze"));
    connect(cmdDismiss, &QPushButton::clicked, this, &frmRemind::cmdDismiss_Click);
    connect(cmdSnooze, &QPushButton::clicked, this, &frmRemind::cmdSnooze_Click);
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblMessage, 0, 0, 1, 2);
    layout->addWidget(lblTime, 1, 0, 1, 2);
    layout->addWidget(cmdDismiss, 2, 0);
    layout->addWidget(cmdSnooze, 2, 1);
    resize(360, 160);

    Timer1 = named(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmRemind::Timer1_Timer);
    Timer1->start();
}

frmRemind::~frmRemind() {
    unloadOnce();
}

void frmRemind::Timer1_Timer() {
    ++mTicks;
    if (mTicks > 29)
        Timer1->stop();
    if (mTicks % 5 == 0)
        sound().play(QStringLiteral("ding.wav"));
}

void frmRemind::cmdDismiss_Click() {
    close();
}

void frmRemind::cmdSnooze_Click() {
    if (onSnooze)
        onSnooze();
    close();
}

void frmRemind::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    unloadOnce();
    QDialog::closeEvent(event);
}

void frmRemind::unloadOnce() {
    if (mUnloaded)
        return;
    mUnloaded = true;
    if (onUnload)
        onUnload();
}

} // namespace qel
