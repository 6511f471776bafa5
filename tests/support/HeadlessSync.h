#pragma once

#include <QProcess>
#include <QString>

namespace qeltest {

// What a run of the real program ended with.
struct HeadlessOutcome {
    int exitCode = -1; // -1: it did not end in time; -2: it crashed
    QString out;
    QString err;
};

// Runs `program` --dir HOME/stores --sync as a scheduled job would: HOME, the XDG folders and
// QEL_HOME (HOME/program) under `home`, no display of any kind.
inline HeadlessOutcome runHeadlessSync(const QString& program, const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("QEL_HOME"), home + QStringLiteral("/program"));
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    QProcess qel;
    qel.setProcessEnvironment(env);
    qel.start(program, {QStringLiteral("--dir"), home + QStringLiteral("/stores"), QStringLiteral("--sync")});
    HeadlessOutcome outcome;
    if (!qel.waitForFinished(120000)) {
        qel.kill();
        qel.waitForFinished();
        return outcome;
    }
    outcome.exitCode = qel.exitStatus() == QProcess::NormalExit ? qel.exitCode() : -2;
    outcome.out = QString::fromUtf8(qel.readAllStandardOutput());
    outcome.err = QString::fromUtf8(qel.readAllStandardError());
    return outcome;
}

} // namespace qeltest
