// QELUpdater's run on folders of its own: finding the installation in each probed place, the folder
// window, the question while the program runs (its lock held by the program's own code in a second
// process), a copy that fails half-way leaving the old files as they were, and a good update that
// starts the new program minimised.

#include "Form1.h"
#include "Updater.h"
#include "app/Program.h"
#include "app/Vantrel.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <iostream>
#include <string>

using qelupdater::Form1;
using qelupdater::Updater;

namespace {

const QString kInUse =
    QStringLiteral("Vantrel is in use. Please close it and then continue. Would you like to continue?");

// The updater's prompts through the scripted dialogs (any prompt nobody expected fails the test);
// onAsk runs before a question is answered.
class ScriptedUi : public qelupdater::UpdaterUi {
public:
    qeltest::ScriptedDialogs dialogs;
    std::function<void()> onAsk;
    void message(const QString& text) override { dialogs.message(text, QStringLiteral("QEL Updater")); }
    bool ask(const QString& text) override {
        if (onAsk)
            onAsk();
        return dialogs.ask(text, qel::MsgButtons::YesNo, qel::MsgIcon::Question,
                           QStringLiteral("QEL Updater")) == qel::MsgResult::Yes;
    }
    int exec(QDialog& dialog) override { return dialogs.exec(dialog); }
};

void write(const QString& path, const QByteArray& bytes, bool program = false) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    if (program)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                            QFileDevice::ExeOther);
}

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A program that writes its arguments and which copy it is to started.txt in its own folder.
QByteArray program(const char* which) {
    return QByteArray("#!/bin/sh\necho \"") + which + " $*\" > \"$(dirname \"$0\")/started.txt\"\n";
}

// A folder laid out as an installation (or the update package) of `which` ("old", "new").
void layOut(const QString& folder, const char* which) {
    write(folder + QStringLiteral("/QEL"), program(which), true);
    write(folder + QStringLiteral("/resources/help/QELHelp.html"), QByteArray("<p>manual ") + which + "</p>");
    write(folder + QStringLiteral("/resources/templates/EmptyContacts.mdb"), QByteArray("template ") + which);
}

// The files of a folder (relative), to prove that nothing was added or changed.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), read(path));
    }
    return files;
}

QString freshFolder(const QString& tag) {
    static int serial = 0;
    const QString dir = qeltest::sandboxRoot() + QStringLiteral("/updater/%1-%2").arg(tag).arg(++serial);
    QDir().mkpath(dir);
    return dir;
}

// The new package, and two default installation folders (the prefix's and the user's own).
struct Setup {
    Setup() {
        package = freshFolder(QStringLiteral("package"));
        layOut(package, "new");
        write(package + QStringLiteral("/resources/help/cardfile.html"), "<p>cards</p>");
        prefix = freshFolder(QStringLiteral("prefix"));
        user = freshFolder(QStringLiteral("user"));
        lock = freshFolder(QStringLiteral("run")) + QStringLiteral("/Vantrel.lock");
    }
    Updater updater() { return Updater(ui, package, {prefix, user}, lock); }
    // The program started by the updater: "new m" when the new copy started minimised.
    static QByteArray started(const QString& folder) {
        const QString marker = folder + QStringLiteral("/started.txt");
        if (!QTest::qWaitFor([&] { return QFile::exists(marker) && !read(marker).isEmpty(); }, 10000))
            return "<not started>";
        return read(marker).trimmed();
    }
    bool updated(const QString& folder) const {
        return read(folder + QStringLiteral("/QEL")) == program("new") &&
               read(folder + QStringLiteral("/resources/help/QELHelp.html")) == "<p>manual new</p>" &&
               read(folder + QStringLiteral("/resources/help/cardfile.html")) == "<p>cards</p>" &&
               read(folder + QStringLiteral("/resources/templates/EmptyContacts.mdb")) == "template new" &&
               QFileInfo(folder + QStringLiteral("/QEL")).isExecutable();
    }

    ScriptedUi ui;
    QString package, prefix, user, lock;
};

} // namespace

class UpdaterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The prefix's folder alone, the user's own alone, and both (the user's own, probed last, is
    // the one updated): each found without the folder window, updated whole and started minimised.
    void theInstallationIsFoundInEachProbedPlace() {
        for (int installed : {1, 2, 3}) {
            Setup s;
            if (installed & 1)
                layOut(s.prefix, "old");
            if (installed & 2)
                layOut(s.user, "old");
            const QString expected = installed & 2 ? s.user : s.prefix;
            Updater updater = s.updater();
            QCOMPARE(updater.findInstallation(), expected);
            const QString other = expected == s.user ? s.prefix : s.user;
            const auto before = snapshot(other);
            s.ui.dialogs.expectMessage(QStringLiteral("Update Completed"));
            QCOMPARE(updater.run(), 0);
            QVERIFY(s.updated(expected));
            QCOMPARE(Setup::started(expected), QByteArray("new m"));
            QCOMPARE(snapshot(other), before); // the other one is untouched
            for (const QString& file : snapshot(expected).keys())
                QVERIFY2(!file.contains(QStringLiteral(".qelupdate")), qPrintable(file));
            QVERIFY(s.ui.dialogs.verify());
        }
    }

    // A package installed into a prefix (bin/QEL, its resources in share/vantrel): the manual and
    // the template are replaced where the program reads them, and nothing lands beside it.
    void anInstalledLayoutIsUpdatedWhereTheProgramReads() {
        Setup s;
        const QString bin = s.prefix + QStringLiteral("/bin");
        const QString share = s.prefix + QStringLiteral("/share/vantrel");
        write(bin + QStringLiteral("/QEL"), program("old"), true);
        write(share + QStringLiteral("/help/QELHelp.html"), "<p>manual old</p>");
        write(share + QStringLiteral("/templates/EmptyContacts.mdb"), "template old");
        Updater updater(s.ui, s.package, {bin}, s.lock);
        s.ui.dialogs.expectMessage(QStringLiteral("Update Completed"));
        QCOMPARE(updater.run(), 0);
        QCOMPARE(read(bin + QStringLiteral("/QEL")), program("new"));
        QCOMPARE(read(share + QStringLiteral("/help/QELHelp.html")), QByteArray("<p>manual new</p>"));
        QCOMPARE(read(share + QStringLiteral("/help/cardfile.html")), QByteArray("<p>cards</p>"));
        QCOMPARE(read(share + QStringLiteral("/templates/EmptyContacts.mdb")), QByteArray("template new"));
        QVERIFY(!QFileInfo::exists(bin + QStringLiteral("/resources")));
        QCOMPARE(Setup::started(bin), QByteArray("new m"));
        QVERIFY(s.ui.dialogs.verify());
    }

    // Nowhere installed: the folder window. "Okay" is enabled only on a folder holding the program,
    // a disk that cannot be read is told and the window goes back to "/", and Okay updates the
    // chosen folder.
    void theFolderWindowEnablesOkayOnlyOnTheProgramsFolder() {
        Setup s;
        const QString elsewhere = freshFolder(QStringLiteral("elsewhere"));
        const QString chosen = elsewhere + QStringLiteral("/apps/qel");
        layOut(chosen, "old");
        QStringList seen;
        s.ui.dialogs.expectExec(
            [&](QDialog& dialog) {
                auto& form = static_cast<Form1&>(dialog);
                seen << form.windowTitle() << form.Dir1->path() << QString::number(form.cmdOK->isEnabled());
                form.Drive1->addItem(QStringLiteral("/no/such/disk"));
                form.Drive1_Change(form.Drive1->count() - 1); // "Disc not accessible."
                seen << form.Dir1->path() << form.Drive1->currentText();
                form.Dir1->setPath(elsewhere + QStringLiteral("/apps"));
                seen << QString::number(form.cmdOK->isEnabled());
                form.Dir1->open(QStringLiteral("qel"));
                seen << QString::number(form.cmdOK->isEnabled());
                form.Dir1->open(QStringLiteral(".."));
                seen << QString::number(form.cmdOK->isEnabled());
                form.Dir1->open(QStringLiteral("qel"));
                form.cmdOK->click();
                return form.result();
            },
            QStringLiteral("Form1"));
        s.ui.dialogs.expectMessage(QStringLiteral("Disc not accessible."));
        s.ui.dialogs.expectMessage(QStringLiteral("Update Completed"));
        QCOMPARE(s.updater().run(), 0);
        QCOMPARE(seen, QStringList({QStringLiteral("QEL Updater"), QStringLiteral("/"), QStringLiteral("0"),
                                    QStringLiteral("/"), QStringLiteral("/"), QStringLiteral("0"),
                                    QStringLiteral("1"), QStringLiteral("0")}));
        QVERIFY(s.updated(chosen));
        QCOMPARE(Setup::started(chosen), QByteArray("new m"));
    }

    // Cancel, and a window closed without a choice: "Update cancelled by the user", nothing copied.
    void aCancelledChoiceCopiesNothing() {
        for (bool pressCancel : {true, false}) {
            Setup s;
            const QString elsewhere = freshFolder(QStringLiteral("elsewhere"));
            layOut(elsewhere, "old");
            const auto before = snapshot(elsewhere);
            s.ui.dialogs.expectExec(
                [&](QDialog& dialog) {
                    auto& form = static_cast<Form1&>(dialog);
                    form.Dir1->setPath(elsewhere);
                    if (pressCancel)
                        form.cmcCancel->click();
                    return QDialog::Rejected;
                },
                QStringLiteral("Form1"));
            s.ui.dialogs.expectMessage(QStringLiteral("Update cancelled by the user"));
            QCOMPARE(s.updater().run(), 1);
            QCOMPARE(snapshot(elsewhere), before);
        }
    }

    // The program runs (its own start-up code holds the lock, in another process): the question
    // comes; No ends without copying or another message; closing the program and answering Yes
    // completes the update.
    void aRunningProgramIsAskedToClose() {
        QCOMPARE(Updater::defaultLockPath(), qel::Program::defaultInstanceLockPath());
        Setup s;
        s.lock = Updater::defaultLockPath();
        layOut(s.user, "old");
        QProcess running;
        running.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock")});
        QVERIFY(running.waitForReadyRead(10000));
        QCOMPARE(running.readLine().trimmed(), QByteArray("LOCKED"));
        QVERIFY(s.updater().programRunning());

        const auto before = snapshot(s.user);
        s.ui.dialogs.expectQuestion(kInUse, qel::MsgResult::No);
        QCOMPARE(s.updater().run(), 1);
        QCOMPARE(snapshot(s.user), before);
        QVERIFY(s.ui.dialogs.verify());

        s.ui.dialogs.expectQuestion(kInUse, qel::MsgResult::Yes);
        s.ui.dialogs.expectQuestion(kInUse, qel::MsgResult::Yes);
        s.ui.dialogs.expectMessage(QStringLiteral("Update Completed"));
        int asked = 0;
        s.ui.onAsk = [&] {
            if (++asked == 2) { // the user closes the program before the second answer
                running.closeWriteChannel();
                QVERIFY(running.waitForFinished(10000));
            }
        };
        QCOMPARE(s.updater().run(), 0);
        QCOMPARE(asked, 2);
        QVERIFY(s.updated(s.user));
        QCOMPARE(Setup::started(s.user), QByteArray("new m"));
    }

    // A copy that fails half-way (the template's folder cannot be made after the program and the
    // manual were copied) and a file missing from the package: the message names the file and why,
    // the installation keeps every old file and gets no new one, and nothing is started.
    void aFailedCopyLeavesTheOldProgramAsItWas() {
        {
            Setup s;
            write(s.user + QStringLiteral("/QEL"), program("old"), true);
            write(s.user + QStringLiteral("/resources/help/QELHelp.html"), "<p>manual old</p>");
            write(s.user + QStringLiteral("/resources/templates"), "a file where the folder belongs");
            const auto before = snapshot(s.user);
            s.ui.dialogs.expectMessage(
                QStringLiteral("resources/templates/EmptyContacts.mdb could not be copied"));
            QCOMPARE(s.updater().run(), 1);
            const QString told = s.ui.dialogs.prompts().constLast().text;
            QVERIFY2(told.contains(QStringLiteral("its folder cannot be made")) &&
                         told.contains(QStringLiteral("Vantrel was left as it was.")),
                     qPrintable(told));
            QCOMPARE(snapshot(s.user), before);
            QTest::qWait(200);
            QVERIFY(!QFile::exists(s.user + QStringLiteral("/started.txt")));
        }
        {
            Setup s;
            layOut(s.user, "old");
            QFile::remove(s.package + QStringLiteral("/resources/templates/EmptyContacts.mdb"));
            const auto before = snapshot(s.user);
            s.ui.dialogs.expectMessage(
                QStringLiteral("resources/templates/EmptyContacts.mdb could not be copied"));
            QCOMPARE(s.updater().run(), 1);
            QVERIFY(s.ui.dialogs.prompts().constLast().text.contains(QStringLiteral("it is missing from")));
            QCOMPARE(snapshot(s.user), before);
        }
    }

    // A rename into place that fails after others went through (the old template cannot be moved
    // aside: immutable, which stops root too) puts back every file placed so far: the old program
    // and manual as they were, no copy left behind, nothing started.
    void aFailedRenameRollsBackWhatWasPlaced() {
        Setup s;
        layOut(s.user, "old");
        const QString stuck = s.user + QStringLiteral("/resources/templates/EmptyContacts.mdb");
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), stuck}) != 0)
            QSKIP("this file system or user cannot make a file immutable (chattr +i)");
        const auto before = snapshot(s.user);
        s.ui.dialogs.expectMessage(
            QStringLiteral("resources/templates/EmptyContacts.mdb could not be copied"));
        const int result = s.updater().run();
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), stuck});
        QCOMPARE(result, 1);
        QVERIFY(
            s.ui.dialogs.prompts().constLast().text.contains(QStringLiteral("Vantrel was left as it was.")));
        QCOMPARE(snapshot(s.user), before);
        QTest::qWait(200);
        QVERIFY(!QFile::exists(s.user + QStringLiteral("/started.txt")));
    }

    // The window as the user sees it: its caption, buttons and help line.
    void theWindowHasItsControls() {
        ScriptedUi ui;
        Form1 form(ui);
        QCOMPARE(form.cmdOK->text(), QStringLiteral("Okay"));
        QCOMPARE(form.cmcCancel->text(), QStringLiteral("Cancel"));
        QVERIFY(form.lblHelp->text().startsWith(QStringLiteral("Choose a local disk above")));
        QCOMPARE(form.decision(), QString());
        QVERIFY(form.Drive1->count() >= 1 && form.Drive1->itemText(0) == QStringLiteral("/"));
    }
};

// "--hold-lock": the second process of the in-use case. It claims the program's single-instance
// lock with the program's own code, says "LOCKED", and holds it until its input closes.
int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--hold-lock") == 0) {
        QCoreApplication app(argc, argv);
        qel::Program program{qel::CommandLine{}};
        if (!program.claimInstance())
            return 1;
        std::cout << "LOCKED" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        return 0;
    }
    qeltest::isolateEnvironment();
    QApplication app(argc, argv);
    UpdaterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_updater.moc"
