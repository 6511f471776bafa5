#include "frmFix.h"

#include "core/Named.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel {

frmFix::frmFix(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFix"));
    setWindowTitle(QStringLiteral("Fix QEL Day"));
    setModal(true);
    lblError = named(new QLabel(this), QStringLiteral("lblError"));
    lblName = named(new QLabel(this), QStringLiteral("lblName"));
    lblInstruction = named(new QLabel(this), QStringLiteral("lblInstruction"));
    lblInstruction->setWordWrap(true);
    lblInstruction->setText(
        QStringLiteral("\"Please fix the error below and click fix to try again. If you are unable to repair "
                       "the QEL Day then "
                       "you can choose skip or cancel and then you can remove this contact's QEL Day\""));
    txtQELDays = named(new QPlainTextEdit(this), QStringLiteral("txtQELDays"));
    txtQELDays->setLineWrapMode(QPlainTextEdit::NoWrap);
    cmdSave = named(new QPushButton(QStringLiteral("Save"), this), QStringLiteral("cmdSave"));
    connect(cmdSave, &QPushButton::clicked, this, &frmFix::cmdSave_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblError);
    layout->addWidget(lblName);
    layout->addWidget(lblInstruction);
    layout->addWidget(txtQELDays, 1);
    layout->addWidget(cmdSave, 0, Qt::AlignRight);
    resize(460, 320);
}

void frmFix::cmdSave_Click() {
    accept(); // hides the dialog: the rescan reads the text
}

} // namespace qel
