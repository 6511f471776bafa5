#include "Updater.h"

#include "Form1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <utility>

namespace qelupdater {

namespace {

const QString kNewSuffix = QStringLiteral(".qelupdate-new"); // a copy waiting to be renamed into place
const QString kOldSuffix = QStringLiteral(".qelupdate-old"); // an old file kept aside until the end

QString failure(const QString& file, const QString& target, const QString& why) {
    return QStringLiteral("The update could not be completed: %1 could not be copied into %2 (%3). "
                          "Vantrel was left as it was.")
        .arg(file, QDir::toNativeSeparators(target), why);
}

// A file's own permissions, or read and write for its owner and reading for all when unknown.
QFileDevice::Permissions permissionsOf(const QString& file) {
    const QFileDevice::Permissions own = QFileInfo(file).permissions();
    return own.toInt() != 0 ? own
                            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                  QFileDevice::ReadOther;
}

} // namespace

Updater::Updater(UpdaterUi& ui, QString source, QStringList installFolders, QString lockPath)
    : mUi(ui), mSource(std::move(source)), mInstallFolders(std::move(installFolders)),
      mLockPath(std::move(lockPath)) {}

QStringList Updater::defaultInstallFolders() {
    return {QStringLiteral(QEL_INSTALL_BINDIR), QDir::homePath() + QStringLiteral("/.local/bin")};
}

QString Updater::defaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/Vantrel.lock");
}

QString Updater::findInstallation() const {
    QString found;
    for (const QString& folder : mInstallFolders)
        if (QFileInfo(QDir(folder).filePath(kProgramFile)).isFile())
            found = folder;
    return found;
}

bool Updater::programRunning() const {
    if (!QFileInfo::exists(mLockPath))
        return false;
    QLockFile lock(mLockPath);
    lock.setStaleLockTime(0); // only a lock whose process has gone is stale
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    return lock.error() == QLockFile::LockFailedError;
}

QStringList Updater::files() const {
    QStringList list{kProgramFile};
    const QDir manual(QDir(mSource).filePath(kManualFolder));
    for (const QString& page : manual.entryList(QDir::Files, QDir::Name))
        list << kManualFolder + QLatin1Char('/') + page;
    list << kTemplateFile;
    return list;
}

QString Updater::placeOf(const QString& installFolder, const QString& file) {
    // An installed program (bin/QEL) reads its resources from the prefix's share/vantrel; a
    // program folder of its own keeps them in "resources" beside the program.
    const QDir folder(installFolder);
    const QString prefix = QStringLiteral("resources/");
    if (file.startsWith(prefix) && !folder.exists(QStringLiteral("resources")) &&
        folder.exists(QStringLiteral("../share/vantrel")))
        return QStringLiteral("../share/vantrel/") + file.mid(prefix.size());
    return file;
}

QString Updater::copyInto(const QString& target) const {
    const QStringList list = files();
    const QDir source(mSource);
    struct Into {
        QDir folder;
        QString filePath(const QString& file) const {
            return QDir::cleanPath(folder.filePath(placeOf(folder.path(), file)));
        }
    } into{QDir(target)};
    if (list.size() < 3) // no manual page
        return failure(kManualFolder, target, QStringLiteral("the new manual is missing from ") + mSource);
    for (const QString& file : list)
        if (!QFileInfo(source.filePath(file)).isFile())
            return failure(file, target,
                           QStringLiteral("it is missing from ") + QDir::toNativeSeparators(mSource));

    // 1. Every new file beside its target under a temporary name.
    QStringList copied;
    const auto dropCopies = [&] {
        for (const QString& file : std::as_const(copied))
            QFile::remove(into.filePath(file) + kNewSuffix);
    };
    for (const QString& file : list) {
        const QString to = into.filePath(file);
        const QString temporary = to + kNewSuffix;
        if (!QDir().mkpath(QFileInfo(to).absolutePath())) {
            dropCopies();
            return failure(file, target, QStringLiteral("its folder cannot be made"));
        }
        QFile::remove(temporary); // left by an earlier run that was killed
        QFile from(source.filePath(file));
        if (!from.copy(temporary)) {
            const QString why = from.errorString();
            QFile::remove(temporary);
            dropCopies();
            return failure(file, target, why);
        }
        copied << file;
        QFile::setPermissions(temporary, permissionsOf(source.filePath(file)));
    }

    // 2. Into place: each old file aside, the new one in its name. A failed rename puts back
    //    every file moved so far.
    QStringList placed;    // renamed into place
    QStringList keptAside; // their old files, kept aside
    const auto rollBack = [&] {
        for (qsizetype i = placed.size() - 1; i >= 0; --i) {
            const QString to = into.filePath(placed[i]);
            QFile::remove(to);
            if (keptAside.contains(placed[i]))
                QFile::rename(to + kOldSuffix, to);
        }
        dropCopies();
    };
    for (const QString& file : list) {
        const QString to = into.filePath(file);
        QFile::remove(to + kOldSuffix);
        const bool hadOld = QFileInfo::exists(to);
        if (hadOld) {
            QFile old(to);
            if (!old.rename(to + kOldSuffix)) {
                const QString why = old.errorString();
                rollBack();
                return failure(file, target, why);
            }
            keptAside << file;
        }
        QFile fresh(to + kNewSuffix);
        if (!fresh.rename(to)) {
            const QString why = fresh.errorString();
            if (hadOld)
                QFile::rename(to + kOldSuffix, to);
            keptAside.removeAll(file);
            rollBack();
            return failure(file, target, why);
        }
        placed << file;
    }
    for (const QString& file : std::as_const(keptAside))
        QFile::remove(into.filePath(file) + kOldSuffix);
    return {};
}

bool Updater::startProgram(const QString& target) const {
    // "m": the program starts minimised to the tray.
    return QProcess::startDetached(QDir(target).filePath(kProgramFile), {QStringLiteral("m")}, target);
}

int Updater::run() {
    QString folder = findInstallation();
    QString decision = QStringLiteral("Okay");
    if (folder.isEmpty()) {
        Form1 window(mUi);
        mUi.exec(window);
        decision = window.decision();
        folder = window.Dir1->path();
    }
    if (decision != QLatin1String("Okay")) {
        mUi.message(QStringLiteral("Update cancelled by the user"));
        return 1;
    }
    while (programRunning()) {
        if (!mUi.ask(QStringLiteral("Vantrel is in use. Please close it and then continue. Would you like to "
                                    "continue?")))
            return 1;
    }
    const QString problem = copyInto(folder);
    if (!problem.isEmpty()) {
        mUi.message(problem);
        return 1;
    }
    mUi.message(QStringLiteral("Update Completed"));
    if (!startProgram(folder)) {
        mUi.message(QStringLiteral("Vantrel was updated but could not be started from ") +
                    QDir::toNativeSeparators(folder) + QStringLiteral(". Please start it yourself."));
        return 1;
    }
    return 0;
}

} // namespace qelupdater
