#include "frmUser.h"

#include "frmNotes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel {

frmUser::frmUser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmUser"));
    setWindowTitle(QStringLiteral("Edit Outlook User Defined Fields"));
    setModal(true);

    lblExplain =
        new QLabel(QStringLiteral("Below are the four user fields and their current values.  You may "
                                  "change any of them and click save to return to QEL.  Otherwise "
                                  "you may cancel and make no changes."),
                   this);
    lblExplain->setObjectName(QStringLiteral("lblExplain"));
    lblExplain->setWordWrap(true);

    auto* fields = new QGridLayout;
    for (int i = 1; i <= 4; ++i) {
        auto* label = new QLabel(QStringLiteral("User%1").arg(i), this);
        label->setObjectName(QStringLiteral("lblUser%1").arg(i));
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        auto* box = new QPlainTextEdit(this);
        box->setObjectName(QStringLiteral("txtUser%1").arg(i));
        box->setTabChangesFocus(true);
        // A field holds a few lines (special days are kept one per line).
        box->setFixedHeight(box->fontMetrics().lineSpacing() * 3 + 12);
        label->setBuddy(box);
        fields->addWidget(label, i - 1, 0);
        fields->addWidget(box, i - 1, 1);
        lblUser[static_cast<size_t>(i)] = label;
        txtUser[static_cast<size_t>(i)] = box;
    }
    fields->setColumnStretch(1, 1);

    cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdSave, &QPushButton::clicked, this, &frmUser::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmUser::cmdCancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblExplain);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setMinimumWidth(440);
}

QString frmUser::userField(int index) const {
    if (index < 1 || index > 4)
        return {};
    return storeLineBreaks(txtUser[static_cast<size_t>(index)]->toPlainText());
}

void frmUser::setUserField(int index, const QString& text) {
    if (index >= 1 && index <= 4)
        txtUser[static_cast<size_t>(index)]->setPlainText(text);
}

void frmUser::cmdSave_Click() {
    if (saveFields)
        saveFields();
    done(QDialog::Accepted);
}

void frmUser::cmdCancel_Click() {
    done(QDialog::Rejected);
}

} // namespace qel
