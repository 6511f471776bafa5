// The actions on bare controls: e-mail presses and double-clicks, the copy-to-e-mail hot key, maps
// and directions from the "me" contact, copy, copy to the text editor and print (to a PDF file).
// What reaches the desktop is read from the seams' doubles; the settings through the store.

#include "ActionsTesting.h"
#include "core/Tag.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>

using namespace actionstest;
using qel::MsgResult;

namespace {

QString clipboardText() {
    return QApplication::clipboard()->text();
}

void setClipboard(const QString& text) {
    QApplication::clipboard()->setText(text);
}

QString storedMe() {
    return qel::GetSetting(QStringLiteral("Misc"), QStringLiteral("Me"));
}

// Fills the card with a contact of a home number, a business address and one e-mail address.
void fillCard(Harness& h) {
    h.show(QStringLiteral("Ann Adams"));
    h.controls.txtNumber[0]->setText(QStringLiteral("555-0100"));
    h.controls.txtBusinessAddress->setPlainText(QStringLiteral("1 Main St\nSpringfield"));
    h.emails->item(0)->setText(QStringLiteral("ann@example.com"));
}

const QString kFilledCard = QStringLiteral("Contact information for Ann Adams\r\n"
                                           "\r\nHome Telephone: 555-0100"
                                           "\r\n\r\nMailing Address(es):\r\n"
                                           "\r\n1 Main St\r\nSpringfield"
                                           "\r\n\r\nE-mail Address(es):\r\n"
                                           "\r\nEmail#1: ann@example.com"
                                           "\r\n\r\n--Provided by Vantrel--");

} // namespace

class ActionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qeltest::freshSettings(QStringLiteral("actions")); }

    // Right-click copies the entry under the pointer and says so, a second notice under the first;
    // an empty entry copies nothing, plays nothing and leaves the focus.
    void rightClickCopiesAnAddress() {
        qeltest::SeamScope seams;
        Harness h;
        h.emails->item(0)->setText(QStringLiteral("ann@example.com"));
        h.emails->item(1)->setText(QStringLiteral("ann@work.example"));
        h.form.show();
        setClipboard(QStringLiteral("before"));
        const auto at = [&](int row) { return h.emails->visualItemRect(h.emails->item(row)).center(); };

        QTest::mouseClick(h.emails->viewport(), Qt::RightButton, {}, at(2));
        QCOMPARE(clipboardText(), QStringLiteral("before"));
        QVERIFY(seams.sound.played().isEmpty());
        QCOMPARE(h.miscTimerStarts, 0);

        QTest::mouseClick(h.emails->viewport(), Qt::RightButton, {}, at(0));
        QCOMPARE(clipboardText(), QStringLiteral("ann@example.com"));
        QCOMPARE(h.status->text(), QStringLiteral("ann@example.com has been copied to the clipboard"));
        QTest::mouseClick(h.emails->viewport(), Qt::RightButton, {}, at(1));
        QCOMPARE(clipboardText(), QStringLiteral("ann@work.example"));
        QCOMPARE(h.status->text(), QStringLiteral("ann@example.com has been copied to the clipboard\r\n\r\n"
                                                  "ann@work.example has been copied to the clipboard"));
        QCOMPARE(seams.sound.played(), QStringList({"ding.wav", "ding.wav"}));
        QCOMPARE(h.miscTimerStarts, 2);
        QCOMPARE(h.form.focusWidget(), h.contacts);
    }

    // A plain double-click writes with the mail program, one after a press with Shift (or Ctrl or
    // Alt) with web mail; the invert option swaps them; AOL composes nothing.
    void doubleClickComposesByShiftAndInvert() {
        qeltest::SeamScope seams;
        Harness h;
        h.emails->item(0)->setText(QStringLiteral("ann+news@example.com"));
        h.form.show();
        const QPoint at = h.emails->visualItemRect(h.emails->item(0)).center();
        const auto doubleClick = [&](Qt::KeyboardModifiers held) {
            QTest::mouseClick(h.emails->viewport(), Qt::LeftButton, held, at);
            h.actions->lstEmail_DblClick(0);
        };
        const QString mailto = QStringLiteral("mailto:ann+news@example.com");
        const QString gmail = QStringLiteral(
            "https://mail.google.com/gmail?view=cm&fs=1&tearoff=1&to=ann%2Bnews@example.com&fs=1");

        doubleClick({});
        doubleClick(Qt::ShiftModifier);
        doubleClick(Qt::AltModifier);
        QCOMPARE(seams.shell.opened(), QStringList({mailto, gmail, gmail}));
        QCOMPARE(qel::Tag(h.emails), QString()); // read and cleared
        QCOMPARE(h.keyUps, 3);

        // A Shift press that was not followed by a double-click does not stick to the next one.
        seams.shell.clear();
        QTest::mouseClick(h.emails->viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
        doubleClick({});
        QCOMPARE(seams.shell.opened(), QStringList({mailto}));

        seams.shell.clear();
        h.settings.invertWebEmail = true;
        h.settings.webEmail = 1;
        doubleClick({});
        doubleClick(Qt::ShiftModifier);
        QCOMPARE(
            seams.shell.opened(),
            QStringList({QStringLiteral(
                             "https://mail.live.com/secure/start?action=compose&to=ann%2Bnews@example.com"),
                         mailto}));

        seams.shell.clear();
        h.settings.webEmail = 2;
        seams.dialogs.expectMessage(QStringLiteral("Not ready yet :("));
        doubleClick({});
        QVERIFY(seams.dialogs.verify());
        QVERIFY(seams.shell.opened().isEmpty());
    }

    void hotKeyWritesToTheClipboardsAddress() {
        qeltest::SeamScope seams;
        Harness h;
        setClipboard(QStringLiteral("  bob@example.com\n"));
        h.actions->mailClipboardAddress();
        setClipboard(QStringLiteral("not an address"));
        h.actions->mailClipboardAddress();
        setClipboard(QStringLiteral("bob@localhost")); // no "."
        h.actions->mailClipboardAddress();
        QCOMPARE(seams.shell.opened(), QStringList({"mailto:bob@example.com", "mailto:", "mailto:"}));

        seams.shell.clear();
        h.settings.invertWebEmail = true;
        h.actions->mailClipboardAddress();
        setClipboard(QStringLiteral("bob@example.com"));
        h.actions->mailClipboardAddress();
        QCOMPARE(
            seams.shell.opened(),
            QStringList({"https://mail.google.com/gmail?view=cm&fs=1&tearoff=1&to=&fs=1",
                         "https://mail.google.com/gmail?view=cm&fs=1&tearoff=1&to=bob@example.com&fs=1"}));
    }

    void addressDoubleClickOpensTheMap() {
        qeltest::SeamScope seams;
        Harness h;
        h.controls.txtHomeAddress->setPlainText(QStringLiteral("1 Main St & 2nd\nSpringfield"));
        h.actions->txtHomeAddress_DblClick();
        QCOMPARE(seams.shell.opened(),
                 QStringList({"https://maps.google.com/maps?q=1+Main+St+%26+2nd+Springfield"}));
        QCOMPARE(h.keyUps, 1);
        // Empty, or while editing: nothing opens, the Shift mark is painted back.
        h.actions->txtOtherAddress_DblClick();
        h.editing = true;
        h.actions->txtHomeAddress_DblClick();
        QCOMPARE(seams.shell.opened().size(), 1);
        QCOMPARE(h.keyUps, 3);
    }

    // Directions start at the "me" contact's chosen address; without one, the user is told and a
    // "me" contact that is gone or lacks the address is forgotten.
    void directionsFromMe() {
        qeltest::SeamScope seams;
        Harness h;
        h.controls.txtBusinessAddress->setPlainText(QStringLiteral("1 Main St\nSpringfield"));
        Harness::markShift(h.controls.txtBusinessAddress);

        seams.dialogs.expectMessage(
            QStringLiteral("You must set a contact as 'you' before using this feature (tools menu)."));
        h.actions->txtBusinessAddress_DblClick();
        QVERIFY(seams.dialogs.verify());

        // A "me" contact that has been deleted.
        qel::SaveSetting(QStringLiteral("Misc"), QStringLiteral("Me"), QStringLiteral("Zed Zorn"));
        h.settings.load();
        seams.dialogs
            .expectMessage(
                QStringLiteral("No contact named 'Zed Zorn' was found.  It is no longer strored as 'you'."))
            .expectMessage(
                QStringLiteral("You must set a contact as 'you' before using this feature (tools menu)."));
        h.actions->txtBusinessAddress_DblClick();
        QCOMPARE(h.settings.me(), QString());
        QCOMPARE(storedMe(), QString());
        h.actions->txtBusinessAddress_DblClick();
        QVERIFY(seams.dialogs.verify());

        // A "me" contact without the address the preferences name.
        h.addContact(QStringLiteral("Me"), QStringLiteral("Myself"), ol::prop::BusinessAddress,
                     QStringLiteral("7 Work Way\nCapital City"));
        h.settings.setMe(QStringLiteral("Me Myself"));
        qel::SaveSetting(QStringLiteral("Misc"), QStringLiteral("Me"), QStringLiteral("Me Myself"));
        h.settings.fromAddressType = 1;
        seams.dialogs.expectMessage(QStringLiteral(
            "No Home Address was found for Me Myself.  You should change your driving direction address in "
            "the "
            "preferences (MISC tab) or add your address.  This contact has been unset as 'me'."));
        h.actions->txtBusinessAddress_DblClick();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(storedMe(), QString());
        QVERIFY(seams.shell.opened().isEmpty());

        h.settings.setMe(QStringLiteral("Me Myself"));
        h.settings.fromAddressType = 0;
        h.actions->txtBusinessAddress_DblClick();
        QCOMPARE(
            seams.shell.opened(),
            QStringList({"https://maps.google.com/maps?q=7+Work+Way+Capital+City+to+1+Main+St+Springfield"}));
        QCOMPARE(h.settings.me(), QStringLiteral("Me Myself"));
    }

    void copyNeedsAContactAndPutsTheCardOnTheClipboard() {
        qeltest::SeamScope seams;
        Harness h;
        setClipboard(QStringLiteral("held before"));
        h.show(QStringLiteral("<No Contacts>"));
        seams.dialogs.expectMessage(QStringLiteral("Please select a contact to copy to the clipboard."))
            .expectMessage(QStringLiteral("Please select a contact to copy to the clipboard."));
        h.actions->menuCopy_Click();
        h.actions->menuCopyText_Click(); // stops after the message: no file, nothing opened
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(clipboardText(), QStringLiteral("held before"));
        QVERIFY(!QFile::exists(qel::programFile(QStringLiteral("ContactPaste.txt"))));
        QVERIFY(seams.shell.opened().isEmpty());

        fillCard(h);
        h.actions->menuCopy_Click();
        QCOMPARE(clipboardText(), kFilledCard);
    }

    void copyToTheTextEditorWritesTheFileAndOpensIt() {
        qeltest::SeamScope seams;
        Harness h;
        const QString path = qel::programFile(QStringLiteral("ContactPaste.txt"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x')); // a longer file before: replaced whole
        old.close();
        fillCard(h);
        h.actions->menuCopyText_Click();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), kFilledCard + QStringLiteral("\r\n"));
        QCOMPARE(seams.shell.opened(), QStringList({path}));
    }

    void printWritesTheCardIn14Points() {
        qeltest::SeamScope seams;
        Harness h;
        const QString pdf = freshDir(QStringLiteral("print")) + QStringLiteral("/card.pdf");
        h.printer = [pdf] {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return printer;
        };
        h.show(QStringLiteral("<No Contacts>"));
        seams.dialogs.expectMessage(QStringLiteral("Please select a contact to print."));
        h.actions->menuPrint_Click();
        QVERIFY(seams.dialogs.verify());
        QVERIFY(!QFile::exists(pdf));

        fillCard(h);
        h.actions->menuPrint_Click();
        QVERIFY(QFile::exists(pdf));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY2(text.waitForFinished(30000) && text.exitCode() == 0, "pdftotext (poppler-utils) is needed");
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(!printed.contains(QRegularExpression(QStringLiteral("\\n\\s+1\\s*$"))), "no page number");
        for (const QString& line :
             {QStringLiteral("Contact information for Ann Adams"), QStringLiteral("Home Telephone: 555-0100"),
              QStringLiteral("1 Main St"), QStringLiteral("Email#1: ann@example.com"),
              QStringLiteral("--Provided by Vantrel--")})
            QVERIFY2(printed.contains(line), qPrintable(printed));
        // 14-point text: the font size as the PDF's text states it.
        QProcess boxes;
        boxes.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        QVERIFY(boxes.waitForFinished(30000));
        const QString words = QString::fromUtf8(boxes.readAllStandardOutput());
        const QRegularExpression word(
            QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">Contact<"));
        const QRegularExpressionMatch m = word.match(words);
        QVERIFY2(m.hasMatch(), qPrintable(words.left(600)));
        const double height = m.captured(2).toDouble() - m.captured(1).toDouble();
        QVERIFY2(height > 13 && height < 20, qPrintable(QString::number(height))); // 14 pt and its line gap
    }

    void printWithoutAPrinterSaysSo() {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a default printer");
        qeltest::SeamScope seams;
        Harness h;
        fillCard(h);
        seams.dialogs.expectMessage(QStringLiteral("There is no printer to print to."));
        h.actions->menuPrint_Click();
        QVERIFY(seams.dialogs.verify());
    }
};

QEL_TEST_MAIN(ActionsTest)
#include "test_actions.moc"
