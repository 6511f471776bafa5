#include "frmNotes.h"

#include "core/Tag.h"
#include "platform/Dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace qel {

const QString frmNotes::kSaveTag = QStringLiteral("Save");

QString storeLineBreaks(const QString& text) {
    static const QRegularExpression anyBreak(QStringLiteral("\r\n|\r|\n|\u2029"));
    QString result = text;
    result.replace(anyBreak, QStringLiteral("\r\n"));
    return result;
}

frmNotes::frmNotes(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNotes"));
    setWindowTitle(QStringLiteral("Notes"));
    setModal(true);

    lblExplain = new QLabel(QStringLiteral("Edit the notes below and click save to save these changes in "
                                           "Outlook. Click Close/Cancel to close this window and cancel the "
                                           "edits made."),
                            this);
    lblExplain->setObjectName(QStringLiteral("lblExplain"));
    lblExplain->setWordWrap(true);
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setTabChangesFocus(true);
    txtNotes->setMinimumSize(420, 220);
    cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("Close/Cancel"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    connect(cmdSave, &QPushButton::clicked, this, &frmNotes::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmNotes::cmdClose_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblExplain);
    layout->addWidget(txtNotes, 1);
    layout->addLayout(buttons);
}

void frmNotes::setContactName(const QString& name) {
    mContactName = name;
    setWindowTitle(QStringLiteral("Notes for ") + name);
}

QString frmNotes::notes() const {
    return storeLineBreaks(txtNotes->toPlainText());
}

void frmNotes::setNotes(const QString& text) {
    txtNotes->setPlainText(text);
}

void frmNotes::cmdSave_Click() {
    const QString question =
        QStringLiteral("This will change the information for ") + mContactName +
        QStringLiteral(" stored in your contact folder in OUTLOOK and cannot be undone!") +
        QLatin1Char('\n') + QStringLiteral("Are you sure?");
    if (dialogs().ask(question, MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Confirm Edit")) ==
        MsgResult::Yes)
        setTag(cmdSave, kSaveTag);
    // Whatever the answer, the window goes; the text stays for the next opening.
    done(QDialog::Accepted);
}

void frmNotes::cmdClose_Click() {
    done(QDialog::Rejected);
}

} // namespace qel
