#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "support/TestEnvironment.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtEndian>
#include <functional>

namespace {

// Runs handle on the next modal window once it is shown; closes it anyway if handle leaves it open,
// so a test never waits for a user.
void onNextModal(std::function<void(QWidget*)> handle) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, handle]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll->stop();
        poll->deleteLater();
        handle(modal);
        QTimer::singleShot(2000, modal, [modal]() {
            if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
                dialog->reject();
        });
    });
    poll->start();
}

QAbstractButton* buttonCaptioned(QMessageBox* box, const QString& caption) {
    for (QAbstractButton* button : box->buttons()) {
        if (button->text().remove(QLatin1Char('&')) == caption)
            return button;
    }
    return nullptr;
}

} // namespace

// Catches the URLs QDesktopServices hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void openUrl(const QUrl& url) { urls.append(url); }
};

class TestDesktop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void messageBoxesShowTextTitleIconAndButtons() {
        QGuiApplication::setApplicationDisplayName(QStringLiteral("QEL"));
        qel::QtDialogs dialogs;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            icon = box->icon();
            title = box->windowTitle();
            text = box->text();
            QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
            box->button(QMessageBox::Ok)->click();
        });
        dialogs.message(QStringLiteral("Export finished."), QString(), qel::MsgIcon::Exclamation);
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(title, QStringLiteral("QEL")); // no title: the program's name
        QCOMPARE(text, QStringLiteral("Export finished."));

        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            icon = box->icon();
            title = box->windowTitle();
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(dialogs.ask(QStringLiteral("Are you sure you want to close Vantrel?"),
                             qel::MsgButtons::YesNo, qel::MsgIcon::Question, QStringLiteral("Exit")),
                 qel::MsgResult::No);
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(title, QStringLiteral("Exit"));

        onNextModal([](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(dialogs.ask(QStringLiteral("Save?"), qel::MsgButtons::YesNoCancel, qel::MsgIcon::Critical,
                             QStringLiteral("t")),
                 qel::MsgResult::Cancel);
    }

    void customButtonsReturnTheIndexPressed() {
        qel::QtDialogs dialogs;
        QStringList captions;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            for (QAbstractButton* button : box->buttons())
                captions.append(button->text());
            QAbstractButton* fix = buttonCaptioned(box, QStringLiteral("Fix"));
            QVERIFY(fix);
            fix->click();
        });
        const int pressed = dialogs.choose(
            QStringLiteral("Bad line"), QStringLiteral("QEL Day"),
            {QStringLiteral("Skip"), QStringLiteral("Fix"), QStringLiteral("Exit")}, qel::MsgIcon::None);
        QCOMPARE(pressed, 1);
        captions.sort();
        QCOMPARE(captions, QStringList({"Exit", "Fix", "Skip"}));
    }

    void inputBoxTellsCancelFromAnEmptyAnswer() {
        qel::QtDialogs dialogs;
        QString label;
        QString preset;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QInputDialog*>(w);
            QVERIFY(box);
            label = box->labelText();
            preset = box->textValue();
            box->setTextValue(QString());
            box->accept();
        });
        QCOMPARE(dialogs.input(QStringLiteral("New folder name:"), QStringLiteral("Folder"),
                               QStringLiteral("Work")),
                 std::optional(QString()));
        QCOMPARE(label, QStringLiteral("New folder name:"));
        QCOMPARE(preset, QStringLiteral("Work"));

        onNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QCOMPARE(dialogs.input(QStringLiteral("Name:"), QString(), QStringLiteral("x")), std::nullopt);
    }

    void openFileDialogUsesTitleFilterAndFolder() {
        qel::QtDialogs dialogs;
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("in.mdb")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString title;
        QStringList filters;
        QString folder;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QFileDialog*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            filters = box->nameFilters();
            folder = box->directory().absolutePath();
            // selectFile leaves the name box alone while it has focus, so type the name in
            // the box itself, as a user would.
            auto* nameBox = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(nameBox);
            nameBox->setText(QFileInfo(file.fileName()).fileName());
            static_cast<QDialog*>(box)->accept(); // QFileDialog::accept takes the typed file
        });
        const QString chosen = dialogs.openFile(QStringLiteral("Import Database"),
                                                QStringLiteral("Access Database (*.mdb)"), dir.path());
        QCOMPARE(chosen, file.fileName());
        QCOMPARE(title, QStringLiteral("Import Database"));
        QCOMPARE(filters, QStringList{QStringLiteral("Access Database (*.mdb)")});
        QCOMPARE(folder, QDir(dir.path()).absolutePath());

        onNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QCOMPARE(dialogs.openFile(QStringLiteral("Import"), QString(), dir.path()), QString());
    }

    void execShowsOurDialogModally() {
        qel::QtDialogs dialogs;
        QDialog dialog;
        bool wasModal = false;
        onNextModal([&](QWidget* w) {
            wasModal = w == &dialog;
            dialog.accept();
        });
        QCOMPARE(dialogs.exec(dialog), int(QDialog::Accepted));
        QVERIFY(wasModal);
    }

    void shellOpensUrlsAsTheyAreAndPathsAsFileUrls() {
        UrlCatcher catcher;
        for (const char* scheme : {"file", "mailto", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "openUrl");
        QTemporaryDir dir;
        const QString oddPath = dir.filePath(QStringLiteral("my file #1?.txt"));
        QFile odd(oddPath);
        QVERIFY(odd.open(QIODevice::WriteOnly));
        odd.close();
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QFile colon(QStringLiteral("ab:c.txt")); // an existing file whose name looks like a URL
        QVERIFY(colon.open(QIODevice::WriteOnly));
        colon.close();

        qel::DesktopShell shell;
        QVERIFY(shell.open(oddPath));
        QVERIFY(shell.open(QStringLiteral("Debug.txt")));
        QVERIFY(shell.open(QStringLiteral("ab:c.txt")));
        QVERIFY(shell.open(QStringLiteral("mailto:someone@example.com?subject=Hello%20there")));
        QVERIFY(shell.open(QStringLiteral("https://maps.example.com/?q=1+Main+St#top")));
        QVERIFY(!shell.open(QString()));
        QDir::setCurrent(before);
        for (const char* scheme : {"file", "mailto", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

        QCOMPARE(catcher.urls.size(), 5);
        QCOMPARE(catcher.urls.at(0).toLocalFile(), oddPath);
        QCOMPARE(catcher.urls.at(1).toLocalFile(),
                 QDir(dir.path()).absoluteFilePath(QStringLiteral("Debug.txt")));
        QCOMPARE(catcher.urls.at(2).toLocalFile(),
                 QDir(dir.path()).absoluteFilePath(QStringLiteral("ab:c.txt")));
        QCOMPARE(catcher.urls.at(3).toString(QUrl::FullyEncoded),
                 QStringLiteral("mailto:someone@example.com?subject=Hello%20there"));
        QCOMPARE(catcher.urls.at(4).toString(QUrl::FullyEncoded),
                 QStringLiteral("https://maps.example.com/?q=1+Main+St#top"));
    }

    void programFolderFollowsQelHomeThenTheExecutable() {
        const QByteArray home = qgetenv("QEL_HOME");
        QVERIFY(!home.isEmpty()); // the test environment sets it
        QCOMPARE(qel::programFolder(), QDir(QString::fromLocal8Bit(home)).absolutePath());
        QCOMPARE(qel::programFile(QStringLiteral("Debug.txt")),
                 QDir(QString::fromLocal8Bit(home)).absoluteFilePath(QStringLiteral("Debug.txt")));

        const QString fresh = qeltest::sandboxRoot() + QStringLiteral("/not/yet/there");
        qputenv("QEL_HOME", fresh.toLocal8Bit());
        QCOMPARE(qel::programFolder(), fresh);
        QVERIFY(QFileInfo(fresh).isDir()); // created

        qunsetenv("QEL_HOME");
        QCOMPARE(qel::programFolder(),
                 QCoreApplication::applicationDirPath()); // the build folder is writable

        const QString chosen = qeltest::sandboxRoot() + QStringLiteral("/chosen");
        qel::setProgramFolder(chosen);
        QCOMPARE(qel::programFolder(), chosen);
        qel::setProgramFolder(QString());
        qputenv("QEL_HOME", home);
        QCOMPARE(qel::programFolder(), QDir(QString::fromLocal8Bit(home)).absolutePath());
    }

    void soundsAreFoundInTheProgramFolderAndMissingOnesAreSilent() {
        const QString ding = qel::programFile(QStringLiteral("ding.wav"));
        QFile file(ding);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(qel::soundFile(QStringLiteral("ding.wav")), ding);
        QCOMPARE(qel::soundFile(QStringLiteral("no-such-sound.wav")), QString());
        QCOMPARE(qel::soundFile(QString()), QString());
        qel::QtSound sound;
        sound.play(QStringLiteral("no-such-sound.wav")); // nothing happens, nothing breaks
        QFile::remove(ding);
    }

    // The three sounds the program plays ship with it: each is found, and is a PCM wave with sound
    // in it (not an empty or silent file), small enough to ship.
    void theProgramsSoundsAreShippedAsWaves_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("end of list") << QStringLiteral("chimes.wav");
        QTest::newRow("ding") << QStringLiteral("ding.wav");
        QTest::newRow("tada") << QStringLiteral("Tada.wav");
    }
    void theProgramsSoundsAreShippedAsWaves() {
        QFETCH(QString, name);
        const QString path = qel::soundFile(name);
        QVERIFY2(!path.isEmpty(), qPrintable(name));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        QVERIFY(wav.size() < 100 * 1024);
        const auto u16 = [&wav](qsizetype at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
        const auto u32 = [&wav](qsizetype at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
        QVERIFY(wav.size() > 44);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(qsizetype(u32(4)), wav.size() - 8);
        QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
        // The chunks: a PCM format, then samples.
        int bits = 0;
        QByteArray data;
        for (qsizetype at = 12; at + 8 <= wav.size();) {
            const QByteArray id = wav.mid(at, 4);
            const qsizetype size = u32(at + 4);
            QVERIFY2(at + 8 + size <= wav.size(), id.constData());
            if (id == "fmt ") {
                QCOMPARE(u16(at + 8), quint16(1)); // PCM
                QVERIFY(u16(at + 10) == 1 || u16(at + 10) == 2);
                QVERIFY(u32(at + 12) >= 8000);
                bits = u16(at + 22);
            } else if (id == "data") {
                data = wav.mid(at + 8, size);
            }
            at += 8 + size + (size & 1);
        }
        QCOMPARE(bits, 16);
        QVERIFY(data.size() >= 4000); // a fifth of a second at the least
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < data.size(); i += 2)
            loudest = qMax(loudest, qAbs(int(qFromLittleEndian<qint16>(data.constData() + i))));
        QVERIFY2(loudest > 8000, qPrintable(QString::number(loudest)));
    }

    void aMissingSoundIsSaidOnceAndPlaysNothing() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("chimes\\.wav")));
        qel::QtSound sound;
        sound.play(QStringLiteral("chimes.wav")); // found: no warning
        const QRegularExpression missing(QStringLiteral("the sound gone\\.wav was not found"));
        QTest::ignoreMessage(QtWarningMsg, missing);
        sound.play(QStringLiteral("gone.wav"));
        QTest::failOnWarning(missing);
        sound.play(QStringLiteral("gone.wav")); // once is enough
    }

    void productionSeamsAreInstalled() {
        qel::Dialogs* previousDialogs = qel::DialogsSeam::set(nullptr);
        qel::Clock* previousClock = qel::ClockSeam::set(nullptr);
        qel::Shell* previousShell = qel::ShellSeam::set(nullptr);
        qel::Sound* previousSound = qel::SoundSeam::set(nullptr);
        qel::installProductionSeams();
        QVERIFY(dynamic_cast<qel::QtDialogs*>(&qel::dialogs()));
        QVERIFY(dynamic_cast<qel::DesktopShell*>(&qel::shell()));
        QVERIFY(dynamic_cast<qel::QtSound*>(&qel::sound()));
        QVERIFY(qAbs(qel::clock().now().secsTo(QDateTime::currentDateTime())) < 5);
        qel::DialogsSeam::set(previousDialogs);
        qel::ClockSeam::set(previousClock);
        qel::ShellSeam::set(previousShell);
        qel::SoundSeam::set(previousSound);
    }
};

QEL_TEST_MAIN(TestDesktop)
#include "test_desktop.moc"
