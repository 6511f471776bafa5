#include "frmWait.h"

#include "core/DebugLog.h"
#include "core/Tag.h"
#include "platform/Tray.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

namespace qel {

namespace {

QPointer<frmWait>& current() {
    static QPointer<frmWait> window;
    return window;
}

const QString kCancel = QStringLiteral("Cancel");

} // namespace

frmWait* frmWait::load(QWidget* parent) {
    if (!current())
        current() = new frmWait(parent);
    return current();
}

frmWait* frmWait::loaded() {
    return current();
}

void frmWait::unload() {
    frmWait* window = current();
    current() = nullptr;
    if (!window)
        return;
    window->hide();
    // Deferred: the operation that unloads it may have been called from one of its handlers.
    window->deleteLater();
}

frmWait::frmWait(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(QStringLiteral("Please Wait..."));
    setModal(false);

    Label1 = new QLabel(QStringLiteral("Progress:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumWidth(320);
    lblStatus->setTextFormat(Qt::PlainText);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &frmWait::cmdCancel_Click);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(lblStatus, 0, 1);
    layout->addWidget(ProgressBar1, 1, 0, 1, 2);
    layout->addWidget(cmdCancel, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    Form_Load();
}

void frmWait::Form_Load() {
    ProgressBar1->setValue(0);
    setTag(cmdCancel, QString());
}

void frmWait::setStatus(const QString& text) {
    lblStatus->setText(text);
    lblStatus_Change();
}

QString frmWait::status() const {
    return lblStatus->text();
}

bool frmWait::cancelled() const {
    return Tag(cmdCancel) == kCancel;
}

void frmWait::cmdCancel_Click() {
    setTag(cmdCancel, kCancel);
    cmdCancel->setEnabled(false);
}

void frmWait::lblStatus_Change() {
    // The one point where a long loop lets the user be heard: a click on Cancel runs here.
    QPointer<frmWait> self(this);
    QCoreApplication::processEvents();
    if (!self)
        return; // unloaded by a handler that ran meanwhile
    // The bar stays full once the operation reports more steps than it announced.
    if (ProgressBar1->value() < ProgressBar1->maximum())
        ProgressBar1->setValue(std::max(ProgressBar1->value() + 1, ProgressBar1->minimum()));
    const QString text = lblStatus->text();
    tray().setToolTip(text);
    if (debugOn())
        debugCarrier()->setCarrierText(text + QStringLiteral("\r\n"));
}

void WaitProgress::begin(int count) {
    frmWait* wait = frmWait::load(mWindow);
    wait->ProgressBar1->setMinimum(0);
    wait->ProgressBar1->setValue(0);
    wait->ProgressBar1->setMaximum(count);
    wait->show();
}

} // namespace qel
