#include "frmQELDay.h"

#include "SpecialDayEngine.h"
#include "browser/BrowserControls.h"
#include "core/Named.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace qel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QLabel* hint(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmQELDay::frmQELDay(SpecialDayEngine& engine, const BrowserControls& card, QWidget* parent)
    : QDialog(parent), mEngine(engine), mCard(card) {
    setObjectName(QStringLiteral("frmQELDay"));
    setWindowTitle(QStringLiteral("QEL Days"));
    setModal(true);

    TabStrip1 = named(new QTabBar(this), QStringLiteral("TabStrip1"));
    TabStrip1->addTab(QStringLiteral("Add QELDay"));
    TabStrip1->addTab(QStringLiteral("Manually Edit QELDay"));
    for (size_t i = 0; i < fmeQEL.size(); ++i) {
        fmeQEL[i] = named(new QFrame(this), QStringLiteral("fmeQEL%1").arg(i));
        fmeQEL[i]->setFrameShape(QFrame::StyledPanel);
    }

    // The Add tab.
    QFrame* add = fmeQEL[0];
    Calendar1 = named(new QCalendarWidget(add), QStringLiteral("Calendar1"));
    Calendar1->setGridVisible(true);
    Calendar1->setSelectedDate(clock().today());
    chkNoYear = named(new QCheckBox(QStringLiteral("Check here if the year is unknown"), add),
                      QStringLiteral("chkNoYear"));
    cmbType = named(new QComboBox(add), QStringLiteral("cmbType"));
    cmbType->addItems({QStringLiteral("Birthday"), QStringLiteral("Anniversary"), QStringLiteral("Other")});
    txtOther = named(new QLineEdit(add), QStringLiteral("txtOther"));
    txtOther->setToolTip(QStringLiteral("The kind of event"));
    txtEvent = named(new QLineEdit(add), QStringLiteral("txtEvent"));
    chkLastNameSkip = named(new QCheckBox(QStringLiteral("Check here to omit contact's last name"), add),
                            QStringLiteral("chkLastNameSkip"));
    cmdAdd = named(new QPushButton(QStringLiteral("Add"), add), QStringLiteral("cmdAdd"));
    auto* addLayout = new QGridLayout(add);
    addLayout->addWidget(
        hint(add, QStringLiteral("Choose a date, event type and an event name. Then click add.  "
                                 "(close this window to return to Vantrel)")),
        0, 0, 1, 3);
    addLayout->addWidget(Calendar1, 1, 0, 1, 3);
    addLayout->addWidget(chkNoYear, 2, 0, 1, 3);
    addLayout->addWidget(new QLabel(QStringLiteral("Event type:"), add), 3, 0);
    addLayout->addWidget(cmbType, 3, 1);
    addLayout->addWidget(txtOther, 3, 2);
    addLayout->addWidget(new QLabel(QStringLiteral("Event name:"), add), 4, 0);
    addLayout->addWidget(txtEvent, 4, 1, 1, 2);
    addLayout->addWidget(chkLastNameSkip, 5, 0, 1, 3);
    addLayout->addWidget(cmdAdd, 6, 2, Qt::AlignRight);

    // The Edit tab.
    QFrame* edit = fmeQEL[1];
    lblContact = named(new QLabel(edit), QStringLiteral("lblContact"));
    txtQEL = named(new QPlainTextEdit(edit), QStringLiteral("txtQEL"));
    txtQEL->setLineWrapMode(QPlainTextEdit::NoWrap);
    cmdSave = named(new QPushButton(QStringLiteral("Save"), edit), QStringLiteral("cmdSave"));
    cmdClose =
        named(new QPushButton(QStringLiteral("Cancel Manual Edit/Close"), edit), QStringLiteral("cmdClose"));
    auto* editLayout = new QGridLayout(edit);
    editLayout->addWidget(
        hint(edit,
             QStringLiteral("You can manually edit a QEL Day below. Edit the box below and then click save.  "
                            "If you have made a mistake you can cancel the edit and return to Vantrel by "
                            "clicking Cancel.")),
        0, 0, 1, 2);
    editLayout->addWidget(lblContact, 1, 0, 1, 2);
    editLayout->addWidget(txtQEL, 2, 0, 1, 2);
    editLayout->addWidget(
        hint(edit,
             QStringLiteral("Examples: \"1/1/2001\" (birthday using the contact's first and last name), "
                            "\"* Name1 1/1/2001\" (birthday using the contact's last name and Name1 as the "
                            "first name), \"* .Name1_Name2 1/1/2001\" (birthday using Name1 Name2). An "
                            "underscore (_) will be replaced with a space in the appointment subject line. "
                            "An & will be replaced with \" and \". See the help file for more examples")),
        3, 0, 1, 2);
    editLayout->addWidget(cmdSave, 4, 0);
    editLayout->addWidget(cmdClose, 4, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip1);
    for (QFrame* frame : fmeQEL)
        layout->addWidget(frame, 1);
    resize(460, 520);

    connect(TabStrip1, &QTabBar::currentChanged, this, &frmQELDay::TabStrip1_Click);
    connect(cmbType, &QComboBox::currentIndexChanged, this, &frmQELDay::cmbType_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmQELDay::cmdAdd_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmQELDay::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmQELDay::cmdClose_Click);

    // Form_Load.
    TabStrip1_Click();
    lblContact->setText(QStringLiteral("Current QEL Days entries for:") + mCard.txtName->text());
    txtEvent->setText(mCard.txtFirst->text());
    QString text;
    try {
        const ol::ItemPtr contact = mEngine.contact(mCard.txtID->text());
        text = contact->Get(mEngine.fieldName()).toString();
    } catch (const ol::Error&) {
        // The contact has gone: the box starts empty and a save will tell.
    }
    txtQEL->setPlainText(QString(text).replace(kCrLf, QStringLiteral("\n")));
    cmbType->setCurrentIndex(0);
    cmbType_Click();
}

QString frmQELDay::lines() const {
    return txtQEL->toPlainText().replace(QLatin1Char('\n'), kCrLf);
}

void frmQELDay::TabStrip1_Click() {
    const int index = TabStrip1->currentIndex();
    for (int i = 0; i < int(fmeQEL.size()); ++i)
        fmeQEL[size_t(i)]->setVisible(i == index);
}

void frmQELDay::cmbType_Click() {
    txtOther->setVisible(cmbType->currentIndex() == 2);
}

void frmQELDay::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    for (QWidget* w :
         {static_cast<QWidget*>(cmdAdd), static_cast<QWidget*>(cmdSave), static_cast<QWidget*>(cmdClose)})
        w->setEnabled(!busy);
    setEnabled(!busy);
}

bool frmQELDay::storeLines(const QString& text) {
    try {
        const ol::ItemPtr contact = mEngine.contact(mCard.txtID->text());
        contact->Set(mEngine.fieldName(), text);
        contact->Save();
        return true;
    } catch (const ol::Error& e) {
        dialogs().message(QStringLiteral("The contact could not be saved: ") + e.message());
        return false;
    }
}

void frmQELDay::cmdAdd_Click() {
    setBusy(true);
    const QString date = Calendar1->selectedDate().toString(
        chkNoYear->isChecked() ? QStringLiteral("MM/dd") : QStringLiteral("MM/dd/yyyy"));
    txtEvent->setText(txtEvent->text().replace(QLatin1Char(' '), QLatin1Char('_')));
    txtOther->setText(txtOther->text().replace(QLatin1Char(' '), QLatin1Char('_')));
    const QString dot = chkLastNameSkip->isChecked() ? QStringLiteral(".") : QString();
    const QString name = dot + txtEvent->text();
    QString line;
    switch (cmbType->currentIndex()) {
    case 0:
        line = QStringLiteral("* ") + name + QLatin1Char(' ') + date;
        break;
    case 1:
        line = QStringLiteral("*Anniversary ") + name + QLatin1Char(' ') + date;
        break;
    default:
        if (txtOther->text().isEmpty()) {
            dialogs().message(QStringLiteral(
                "You picked an 'other' event type. This requires an event type to be typed in the box "
                "to the right of the event type combobox.  A blank entry cannot be used as it is the "
                "default event type"));
            mEngine.setMarker(QString());
            setBusy(false);
            return;
        }
        line = QLatin1Char('*') + txtOther->text() + QLatin1Char(' ') + name + QLatin1Char(' ') + date;
        break;
    }
    mEngine.AddQELDay(mCard.txtID->text(), line, mCard.txtLast->text(), mCard.txtFirst->text());
    QString text = lines();
    if (!text.isEmpty())
        text += kCrLf;
    text += line;
    txtQEL->setPlainText(QString(text).replace(kCrLf, QStringLiteral("\n")));
    if (storeLines(text))
        dialogs().message(QStringLiteral("QEL Day added and contact saved!"));
    mEngine.setMarker(QString());
    setBusy(false);
}

void frmQELDay::cmdSave_Click() {
    const QString text = lines();
    if (text.endsWith(QLatin1Char('\n'))) {
        dialogs().message(
            QStringLiteral("There seems to be a stray line feed at the end of your QEL Day list.  "
                           "Please delete this feed and try again."));
        return;
    }
    setBusy(true);
    if (firstMalformedLine(text) >= 0) {
        dialogs().message(
            QStringLiteral("You appear to have an extra space or an incorrect format in one of your "
                           "entries.  Please fix this and try again (see the help file for examples)."));
    } else {
        bool stored = false;
        try {
            mEngine.removeContactDays(mCard.txtID->text());
            stored = storeLines(text);
        } catch (const ol::Error& e) {
            dialogs().message(QStringLiteral("The old QEL Days could not be removed: ") + e.message());
        }
        bool stopped = false;
        if (stored) {
            const QString last = QString(mCard.txtLast->text()).replace(QLatin1Char(' '), QLatin1Char('_'));
            const QString first = QString(mCard.txtFirst->text()).replace(QLatin1Char(' '), QLatin1Char('_'));
            for (const QString& line : specialDayLines(text)) {
                mEngine.AddQELDay(mCard.txtID->text(), line, last, first);
                if (mEngine.marker() == kMarkerExit) {
                    stopped = true;
                    break;
                }
            }
            if (!stopped)
                dialogs().message(QStringLiteral("Contact saved and QEL Day editted!"));
        }
    }
    mEngine.setMarker(QString());
    setBusy(false);
}

void frmQELDay::cmdClose_Click() {
    reject();
}

} // namespace qel
