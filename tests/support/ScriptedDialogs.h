#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace qeltest {

// A Dialogs double: records every prompt and answers it from a script. Each prompt takes the next
// scripted expectation; a prompt nobody scripted, or one that does not match the next expectation,
// fails the running test with the prompt's kind and text and gets the cautious answer (No / Cancel,
// no file, a rejected dialog), so the code under test runs on and never waits for a user.
// Expectations still waiting when verify() runs (the destructor calls it) fail the test as well.
class ScriptedDialogs : public qel::Dialogs {
public:
    enum class Kind { Message, Question, Choice, Input, OpenFile, SaveFile, Exec };

    struct Prompt {
        Kind kind = Kind::Message;
        QString text; // message text, question, input prompt; open-file: its title; exec: dialog's objectName
        QString title;
        qel::MsgIcon icon = qel::MsgIcon::None;
        qel::MsgButtons buttons = qel::MsgButtons::Ok;
        QStringList captions;  // choice: the button captions
        QString defaultText;   // input: the default text
        QString filter;        // open and save file
        QString startDir;      // open file: its folder; save file: the proposed path
        QString dialogClass;   // exec: the dialog's class name
        bool scripted = false; // it was answered by an expectation
    };

    using ExecScript = std::function<int(QDialog&)>;
    using FailureHandler = std::function<void(const QString&)>;

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Expectations, matched in order. A text matches when it equals the prompt's text or is a part
    // of it; an empty text matches any.
    ScriptedDialogs& expectMessage(const QString& textOrPart);
    ScriptedDialogs& expectQuestion(const QString& textOrPart, qel::MsgResult answer);
    ScriptedDialogs& expectChoice(const QString& textOrPart, int answer);
    // answer std::nullopt: the user presses Cancel.
    ScriptedDialogs& expectInput(const QString& promptOrPart, std::optional<QString> answer);
    // answer "": the user cancels. titleOrPart matches the dialog's title.
    ScriptedDialogs& expectOpenFile(const QString& answer, const QString& titleOrPart = QString());
    // answer "": the user cancels. titleOrPart matches the dialog's title.
    ScriptedDialogs& expectSaveFile(const QString& answer, const QString& titleOrPart = QString());
    // script gets the dialog (it may fill fields and press buttons) and returns exec's result.
    // nameOrClass matches the dialog's objectName or class name; empty matches any dialog.
    ScriptedDialogs& expectExec(ExecScript script, const QString& nameOrClass = QString());

    // Everything shown so far, in order.
    const QList<Prompt>& prompts() const { return mPrompts; }
    QStringList texts() const;
    int pending() const { return static_cast<int>(mScript.size()); }
    // The problems met so far (unexpected prompts, unused expectations).
    const QStringList& failures() const { return mFailures; }
    // Reports every expectation not yet used and forgets it; true when all was in order.
    bool verify();
    // Replaces QTest::qFail (tests of this double).
    void setFailureHandler(FailureHandler handler) { mOnFailure = std::move(handler); }

    // qel::Dialogs
    void message(const QString& text, const QString& title = QString(),
                 qel::MsgIcon icon = qel::MsgIcon::None) override;
    qel::MsgResult ask(const QString& text, qel::MsgButtons buttons, qel::MsgIcon icon,
                       const QString& title) override;
    int choose(const QString& text, const QString& title, const QStringList& buttons,
               qel::MsgIcon icon) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter, const QString& startDir) override;
    QString saveFile(const QString& title, const QString& filter, const QString& startPath) override;
    int exec(QDialog& dialog) override;

    static QString kindName(Kind kind);

private:
    struct Expectation {
        Kind kind;
        QString match;
        qel::MsgResult result = qel::MsgResult::Ok;
        int index = 0;
        std::optional<QString> text;
        ExecScript script;
    };

    // Takes the expectation for a prompt, or reports the prompt and returns nothing.
    std::optional<Expectation> take(Prompt& prompt);
    // The open-file or save-file dialog: the scripted path, "" for a cancel.
    QString fileDialog(Kind kind, const QString& title, const QString& filter, const QString& start);
    void fail(const QString& problem);

    QList<Prompt> mPrompts;
    QList<Expectation> mScript;
    QStringList mFailures;
    FailureHandler mOnFailure;
};

} // namespace qeltest
