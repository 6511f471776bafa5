#pragma once

// The updater's run: find the installed program (the default installation folders, probed in a
// fixed order, or the folder the user chooses), wait while the program runs, copy the new files
// from the updater's own folder into it, and start the updated program minimised.
//
// The copy is all or nothing: every file is first copied to a temporary name beside its target,
// and only when all copies have succeeded are they renamed into place (each old file kept aside
// until the last rename, and put back should one fail). On any failure the installation is left as
// it was and the user is told which file failed and why.

#include <QString>
#include <QStringList>

class QDialog;

namespace qelupdater {

// The program file, the manual's folder and the exchange template, relative to a program folder.
inline const QString kProgramFile = QStringLiteral("QEL");
inline const QString kManualFolder = QStringLiteral("resources/help");
inline const QString kTemplateFile = QStringLiteral("resources/templates/EmptyContacts.mdb");

// Everything the updater shows or asks, so that a test can answer it.
class UpdaterUi {
public:
    virtual ~UpdaterUi() = default;
    virtual void message(const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool ask(const QString& text) = 0;
    // Shows a window of the updater modally; returns QDialog::exec's result.
    virtual int exec(QDialog& dialog) = 0;
};

class Updater {
public:
    // Where a file of the package (named as in kManualFolder, kTemplateFile) goes in an
    // installation folder, relative to it.
    static QString placeOf(const QString& installFolder, const QString& file);

    // source: the folder holding the new files (the updater's own); installFolders: the default
    // installation folders in the order they are probed; lockPath: the program's single-instance
    // lock file.
    Updater(UpdaterUi& ui, QString source, QStringList installFolders, QString lockPath);

    // The install prefix's program folder, then the user's own (~/.local/bin).
    static QStringList defaultInstallFolders();
    // Where the running program keeps its single-instance lock: Vantrel.lock in the user's runtime
    // folder (the temporary folder where there is none).
    static QString defaultLockPath();

    // The whole run; the process's exit status (0: updated and started).
    int run();

    // The last of the default folders that holds the program; "" when none does.
    QString findInstallation() const;
    // The program holds its single-instance lock.
    bool programRunning() const;
    // The files to copy, relative to the source and the installation folder, in copy order.
    QStringList files() const;
    // Copies files() from the source into `target`, all or nothing. "" on success, else the
    // message that names the file and why.
    QString copyInto(const QString& target) const;
    // Starts the installation's program minimised; false when it could not be started.
    bool startProgram(const QString& target) const;

private:
    UpdaterUi& mUi;
    QString mSource;
    QStringList mInstallFolders;
    QString mLockPath;
};

} // namespace qelupdater
