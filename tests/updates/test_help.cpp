// The Help menu: the manual opened through the desktop (and shown in the welcome window where the
// desktop cannot), a missing manual told, the web site, the About window with the sync timer marked
// busy while it is open, and the manual's own pages whose links all lead somewhere.

#include "UpdatesTesting.h"
#include "updates/Manual.h"
#include "updates/frmAbout.h"
#include "updates/frmHelp.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

using namespace updatestest;

class HelpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        qeltest::freshSettings(QStringLiteral("help"));
        qel::setManualFolders({});
    }

    // F1's command opens the manual's first page through the desktop; where the desktop cannot
    // open it, the welcome window shows that page, and its links lead on through the manual.
    void theManualOpensInTheBrowserOrInTheWelcomeWindow() {
        qeltest::SeamScope seams;
        Harness h({5, 6, 0});
        h.updates->registerHelpFile();
        const QString manual = h.updates->helpFile();
        QCOMPARE(QFileInfo(manual).fileName(), QStringLiteral("QELHelp.html"));
        QVERIFY(QFileInfo(manual).isFile());
        h.updates->menuInstructions_Click();
        QCOMPARE(seams.shell.opened(), QStringList{manual});
        QVERIFY(!h.updates->welcomeWindow());

        seams.shell.setResult(false);
        h.updates->menuInstructions_Click();
        qel::frmHelp* welcome = h.updates->welcomeWindow();
        QVERIFY(welcome && welcome->isVisible());
        QCOMPARE(welcome->windowTitle(), QStringLiteral("Instructions and Help"));
        QCOMPARE(welcome->RichTextBox1->source(), QUrl::fromLocalFile(manual));
        QVERIFY(welcome->RichTextBox1->toPlainText().contains(QStringLiteral("Vantrel")));
        const QUrl next =
            QUrl::fromLocalFile(QFileInfo(manual).absolutePath() + QStringLiteral("/cardfile.html"));
        welcome->RichTextBox1->setSource(next);
        QVERIFY(welcome->RichTextBox1->toPlainText().contains(QStringLiteral("letter")));
        QVERIFY(seams.dialogs.prompts().isEmpty());
    }

    // No manual anywhere: a message says so; the welcome window of a missing file stays empty.
    void aMissingManualIsTold() {
        qeltest::SeamScope seams;
        const QString empty = qeltest::sandboxRoot() + QStringLiteral("/no-manual");
        QDir().mkpath(empty);
        qel::setManualFolders({empty});
        Harness h({5, 6, 0});
        h.updates->registerHelpFile();
        QCOMPARE(h.updates->helpFile(), QString());
        seams.dialogs.expectMessage(
            QStringLiteral("The help file QELHelp.html was not found beside the program."));
        h.updates->menuInstructions_Click();
        QVERIFY(seams.shell.opened().isEmpty());
        qel::frmHelp welcome;
        welcome.load(empty + QStringLiteral("/QELHelp.html"));
        QCOMPARE(welcome.RichTextBox1->toPlainText(), QString());
        qel::setManualFolders({});
    }

    void theWebSiteOpensThroughTheDesktop() {
        qeltest::SeamScope seams;
        Harness h({5, 6, 0});
        h.updates->menuWeb_Click();
        QCOMPARE(seams.shell.opened(), QStringList{qel::kWebSite});
    }

    // The About window is modal, names the version and the libraries, and the sync timer is busy
    // only while it is open.
    void aboutShowsTheVersionAndTheLibraries() {
        qeltest::SeamScope seams;
        Harness h({5, 6, 12});
        QString tagWhileOpen;
        seams.dialogs.expectExec(
            [&](QDialog& dialog) {
                tagWhileOpen = qel::Tag(&h.syncTimer);
                auto& about = static_cast<qel::frmAbout&>(dialog);
                if (about.windowTitle() != QStringLiteral("About Vantrel") ||
                    about.lblVersion->text() != QStringLiteral("Vantrel Version 5.6.12"))
                    return -1;
                about.cmdOK->click();
                return about.result();
            },
            QStringLiteral("frmAbout"));
        h.updates->menuAbout_Click();
        QCOMPARE(tagWhileOpen, qel::kSyncingTag);
        QCOMPARE(qel::Tag(&h.syncTimer), QString());
        QVERIFY(seams.dialogs.verify());
        const QString thanks = qel::frmAbout::acknowledgement();
        for (const char* library : {"Qt 6", "SQLite", "SQLiteCpp", "libcurl", "OpenSSL", "libical",
                                    "QtKeychain", "LGPL", "public domain"})
            QVERIFY2(thanks.contains(QLatin1String(library)), library);
    }

    // Every page of the manual is well-formed enough to show, and every link between its pages
    // (and to an anchor) leads to a page and an anchor that exist.
    void everyLinkOfTheManualLeadsSomewhere() {
        const QString folder = QFileInfo(qel::manualFile()).absolutePath();
        QVERIFY(!folder.isEmpty());
        static const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
        QStringList broken;
        int pages = 0;
        QDirIterator it(folder, {QStringLiteral("*.html")});
        while (it.hasNext()) {
            const QString page = it.next();
            ++pages;
            QFile file(page);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            QVERIFY2(text.contains(QStringLiteral("<title>")), qPrintable(page));
            for (auto m = href.globalMatch(text); m.hasNext();) {
                const QString link = m.next().captured(1);
                if (link.contains(QStringLiteral("://")) || link.startsWith(QStringLiteral("mailto:")))
                    continue;
                const QString target = link.section(QLatin1Char('#'), 0, 0);
                const QString id = link.section(QLatin1Char('#'), 1);
                const QString targetFile = target.isEmpty() ? page : folder + QLatin1Char('/') + target;
                QFile linked(targetFile);
                if (!linked.open(QIODevice::ReadOnly)) {
                    broken << QFileInfo(page).fileName() + QStringLiteral(" -> ") + link;
                    continue;
                }
                if (!id.isEmpty() &&
                    !QString::fromUtf8(linked.readAll()).contains(QStringLiteral("id=\"%1\"").arg(id)))
                    broken << QFileInfo(page).fileName() + QStringLiteral(" -> ") + link;
            }
        }
        QVERIFY(pages >= 5);
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QStringLiteral(", "))));
    }
};

QEL_TEST_MAIN(HelpTest)
#include "test_help.moc"
