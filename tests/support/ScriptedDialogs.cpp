#include "ScriptedDialogs.h"

#include <QDialog>
#include <QTest>

namespace qeltest {

namespace {

using qel::MsgButtons;
using qel::MsgResult;

bool matches(const QString& expected, const QString& actual) {
    return expected.isEmpty() || actual == expected || actual.contains(expected);
}

QString describe(const ScriptedDialogs::Prompt& prompt) {
    QString text =
        ScriptedDialogs::kindName(prompt.kind) + QStringLiteral(" \"") + prompt.text + QLatin1Char('"');
    if (!prompt.title.isEmpty())
        text += QStringLiteral(" (title \"") + prompt.title + QStringLiteral("\")");
    return text;
}

MsgResult cautiousAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::YesNo:
        return MsgResult::No;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
        break;
    }
    return MsgResult::Cancel;
}

bool offers(MsgButtons buttons, MsgResult answer) {
    switch (buttons) {
    case MsgButtons::Ok:
        return answer == MsgResult::Ok;
    case MsgButtons::OkCancel:
        return answer == MsgResult::Ok || answer == MsgResult::Cancel;
    case MsgButtons::YesNo:
        return answer == MsgResult::Yes || answer == MsgResult::No;
    case MsgButtons::YesNoCancel:
        return answer != MsgResult::Ok;
    }
    return false;
}

} // namespace

ScriptedDialogs::ScriptedDialogs() {
    mOnFailure = [](const QString& problem) {
        QTest::qFail(problem.toUtf8().constData(), __FILE__, __LINE__);
    };
}

ScriptedDialogs::~ScriptedDialogs() {
    verify();
}

QString ScriptedDialogs::kindName(Kind kind) {
    switch (kind) {
    case Kind::Message:
        return QStringLiteral("message");
    case Kind::Question:
        return QStringLiteral("question");
    case Kind::Choice:
        return QStringLiteral("choice");
    case Kind::Input:
        return QStringLiteral("input box");
    case Kind::OpenFile:
        return QStringLiteral("open-file dialog");
    case Kind::SaveFile:
        return QStringLiteral("save-file dialog");
    case Kind::Exec:
        return QStringLiteral("dialog");
    }
    return {};
}

ScriptedDialogs& ScriptedDialogs::expectMessage(const QString& textOrPart) {
    mScript.append({Kind::Message, textOrPart});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectQuestion(const QString& textOrPart, MsgResult answer) {
    Expectation e{Kind::Question, textOrPart};
    e.result = answer;
    mScript.append(std::move(e));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectChoice(const QString& textOrPart, int answer) {
    Expectation e{Kind::Choice, textOrPart};
    e.index = answer;
    mScript.append(std::move(e));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(const QString& promptOrPart, std::optional<QString> answer) {
    Expectation e{Kind::Input, promptOrPart};
    e.text = std::move(answer);
    mScript.append(std::move(e));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectOpenFile(const QString& answer, const QString& titleOrPart) {
    Expectation e{Kind::OpenFile, titleOrPart};
    e.text = answer;
    mScript.append(std::move(e));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectSaveFile(const QString& answer, const QString& titleOrPart) {
    Expectation e{Kind::SaveFile, titleOrPart};
    e.text = answer;
    mScript.append(std::move(e));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectExec(ExecScript script, const QString& nameOrClass) {
    Expectation e{Kind::Exec, nameOrClass};
    e.script = std::move(script);
    mScript.append(std::move(e));
    return *this;
}

QStringList ScriptedDialogs::texts() const {
    QStringList all;
    for (const Prompt& prompt : mPrompts)
        all.append(prompt.text);
    return all;
}

bool ScriptedDialogs::verify() {
    const bool clean = mFailures.isEmpty() && mScript.isEmpty();
    for (const Expectation& e : std::as_const(mScript))
        fail(QStringLiteral("Expected %1 \"%2\" was never shown").arg(kindName(e.kind), e.match));
    mScript.clear();
    return clean;
}

void ScriptedDialogs::fail(const QString& problem) {
    mFailures.append(problem);
    if (mOnFailure)
        mOnFailure(problem);
}

std::optional<ScriptedDialogs::Expectation> ScriptedDialogs::take(Prompt& prompt) {
    if (mScript.isEmpty()) {
        fail(QStringLiteral("Unexpected %1").arg(describe(prompt)));
        mPrompts.append(prompt);
        return std::nullopt;
    }
    const Expectation& next = mScript.first();
    const bool same =
        next.kind == prompt.kind && (matches(next.match, prompt.text) ||
                                     (prompt.kind == Kind::Exec && matches(next.match, prompt.dialogClass)));
    if (!same) {
        fail(QStringLiteral("Unexpected %1; the script expected %2 \"%3\"")
                 .arg(describe(prompt), kindName(next.kind), next.match));
        mPrompts.append(prompt);
        return std::nullopt;
    }
    prompt.scripted = true;
    mPrompts.append(prompt);
    return mScript.takeFirst();
}

void ScriptedDialogs::message(const QString& text, const QString& title, qel::MsgIcon icon) {
    Prompt prompt{Kind::Message, text, title, icon};
    take(prompt);
}

MsgResult ScriptedDialogs::ask(const QString& text, MsgButtons buttons, qel::MsgIcon icon,
                               const QString& title) {
    Prompt prompt{Kind::Question, text, title, icon, buttons};
    const auto e = take(prompt);
    if (!e)
        return cautiousAnswer(buttons);
    if (!offers(buttons, e->result)) {
        fail(QStringLiteral("The scripted answer is not a button of %1").arg(describe(prompt)));
        return cautiousAnswer(buttons);
    }
    return e->result;
}

int ScriptedDialogs::choose(const QString& text, const QString& title, const QStringList& buttons,
                            qel::MsgIcon icon) {
    Prompt prompt{Kind::Choice, text, title, icon};
    prompt.captions = buttons;
    const auto e = take(prompt);
    if (!e)
        return -1;
    if (e->index < 0 || e->index >= buttons.size()) {
        fail(QStringLiteral("The scripted button %1 is not one of the %2 buttons of %3")
                 .arg(e->index)
                 .arg(buttons.size())
                 .arg(describe(prompt)));
        return -1;
    }
    return e->index;
}

std::optional<QString> ScriptedDialogs::input(const QString& prompt, const QString& title,
                                              const QString& defaultText) {
    Prompt record{Kind::Input, prompt, title};
    record.defaultText = defaultText;
    const auto e = take(record);
    return e ? e->text : std::nullopt;
}

QString ScriptedDialogs::fileDialog(Kind kind, const QString& title, const QString& filter,
                                    const QString& start) {
    Prompt prompt{kind, title, title};
    prompt.filter = filter;
    prompt.startDir = start;
    const auto e = take(prompt);
    return e ? e->text.value_or(QString()) : QString();
}

QString ScriptedDialogs::openFile(const QString& title, const QString& filter, const QString& startDir) {
    return fileDialog(Kind::OpenFile, title, filter, startDir);
}

QString ScriptedDialogs::saveFile(const QString& title, const QString& filter, const QString& startPath) {
    return fileDialog(Kind::SaveFile, title, filter, startPath);
}

int ScriptedDialogs::exec(QDialog& dialog) {
    Prompt prompt{Kind::Exec, dialog.objectName(), dialog.windowTitle()};
    prompt.dialogClass = QString::fromLatin1(dialog.metaObject()->className());
    const auto e = take(prompt);
    if (!e)
        return QDialog::Rejected;
    return e->script ? e->script(dialog) : QDialog::Rejected;
}

} // namespace qeltest
