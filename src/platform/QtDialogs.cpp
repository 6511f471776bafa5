#include "Platform.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace qel {

namespace {

QWidget* owner() {
    return QApplication::activeWindow();
}

QString boxTitle(const QString& title) {
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtDialogs::message(const QString& text, const QString& title, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), boxTitle(title), text, QMessageBox::Ok, owner());
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

MsgResult QtDialogs::ask(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    switch (buttons) {
    case MsgButtons::Ok:
        break;
    case MsgButtons::OkCancel:
        standard = QMessageBox::Ok | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        standard = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
        break;
    case MsgButtons::YesNoCancel:
        standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    }
    QMessageBox box(boxIcon(icon), boxTitle(title), text, standard, owner());
    box.setEscapeButton(escape);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        return MsgResult::Ok;
    }
}

int QtDialogs::choose(const QString& text, const QString& title, const QStringList& buttons, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), boxTitle(title), text, QMessageBox::NoButton, owner());
    QList<QAbstractButton*> added;
    for (const QString& caption : buttons)
        added.append(box.addButton(caption, QMessageBox::ActionRole));
    if (!added.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(added.first()));
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title,
                                        const QString& defaultText) {
    QInputDialog box(owner());
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(boxTitle(title));
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

QString QtDialogs::openFile(const QString& title, const QString& filter, const QString& startDir) {
    return QFileDialog::getOpenFileName(owner(), title, startDir, filter);
}

QString QtDialogs::saveFile(const QString& title, const QString& filter, const QString& startPath) {
    return QFileDialog::getSaveFileName(owner(), title, startPath, filter);
}

int QtDialogs::exec(QDialog& dialog) {
    return dialog.exec();
}

} // namespace qel
