#pragma once

#include "Seam.h"

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace qel {

enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

// Every prompt the program shows goes through here, so a test can record and answer it.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message with an OK button.
    virtual void message(const QString& text, const QString& title = QString(),
                         MsgIcon icon = MsgIcon::None) = 0;
    // A question with the given buttons; returns the button pressed.
    virtual MsgResult ask(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) = 0;
    // A message with buttons of custom captions; returns the 0-based index of the one pressed.
    virtual int choose(const QString& text, const QString& title, const QStringList& buttons,
                       MsgIcon icon) = 0;
    // An input box with a default text; std::nullopt when the user pressed Cancel.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;
    // The open-file dialog; "" when the user cancelled. filter as in QFileDialog.
    virtual QString openFile(const QString& title, const QString& filter, const QString& startDir) = 0;
    // The save-file dialog, starting at `startPath` (a folder or a proposed file); "" when the user
    // cancelled. A seam that shows none (a console) answers as a user who cancelled.
    virtual QString saveFile(const QString& /*title*/, const QString& /*filter*/,
                             const QString& /*startPath*/) {
        return QString();
    }
    // Shows one of our own dialogs modally; returns QDialog::exec's result.
    virtual int exec(QDialog& dialog) = 0;
};

using DialogsSeam = Seam<Dialogs>;
inline Dialogs& dialogs() {
    return DialogsSeam::get();
}

} // namespace qel
