#include "Screens.h"

#include "Program.h"
#include "Vantrel.h"
#include "frmWait.h"

#include "actions/frmSMS.h"
#include "browser/ContactBrowser.h"
#include "core/Settings.h"
#include "core/Tag.h"
#include "editing/frmNotes.h"
#include "editing/frmUser.h"
#include "outlook/dialogs/ItemWindow.h"
#include "platform/Clock.h"
#include "specialdays/frmFix.h"
#include "specialdays/frmQELDay.h"
#include "specialdays/frmRemind.h"
#include "sync/SyncFiles.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <cstdio>

namespace qel {

bool saveScreen(QWidget& window, const QString& outDir, const QString& name) {
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    // A caption may hold a slash ("CardDAV / CalDAV"): it must not name a folder.
    const QString file = outDir + QLatin1Char('/') +
                         QString(name).replace(QLatin1Char('/'), QLatin1Char('-')) + QStringLiteral(".png");
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

namespace {

// Renders the first question asked (or, with `messages`, the first message shown) as the message
// box the desktop shows it in (outDir/NAME.png) and answers it Yes; everything else goes to the
// dialogs in place.
class QuestionShot : public Dialogs {
public:
    QuestionShot(const QString& outDir, const QString& name, bool messages = false)
        : mOutDir(outDir), mName(name), mPrevious(DialogsSeam::set(this)), mMessages(messages) {}
    ~QuestionShot() override { DialogsSeam::set(mPrevious); }
    QuestionShot(const QuestionShot&) = delete;
    QuestionShot& operator=(const QuestionShot&) = delete;
    bool ok = false;

    void message(const QString& text, const QString& title, MsgIcon icon) override {
        if (!mMessages || mShown) {
            mPrevious->message(text, title, icon);
            return;
        }
        mShown = true;
        QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QApplication::applicationDisplayName() : title,
                        text, QMessageBox::Ok);
        ok = saveScreen(box, mOutDir, mName);
    }
    MsgResult ask(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override {
        if (mShown)
            return mPrevious->ask(text, buttons, icon, title);
        mShown = true;
        QMessageBox box(icon == MsgIcon::Question ? QMessageBox::Question : QMessageBox::NoIcon, title, text,
                        QMessageBox::Yes | QMessageBox::No);
        ok = saveScreen(box, mOutDir, mName);
        return MsgResult::Yes;
    }
    int choose(const QString& text, const QString& title, const QStringList& buttons, MsgIcon icon) override {
        return mPrevious->choose(text, title, buttons, icon);
    }
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override {
        return mPrevious->input(prompt, title, defaultText);
    }
    QString openFile(const QString& title, const QString& filter, const QString& startDir) override {
        return mPrevious->openFile(title, filter, startDir);
    }
    int exec(QDialog& dialog) override { return mPrevious->exec(dialog); }

private:
    QString mOutDir, mName;
    Dialogs* mPrevious;
    bool mMessages;
    bool mShown = false;
};

} // namespace

bool renderAppScreens(const QString& storeDir, const QString& outDir) {
    QtTray localTray; // never added: nothing reaches the desktop's tray
    Tray* previousTray = TraySeam::set(&localTray);

    // The contact folder pane open, as a user who has been choosing a folder left it.
    SaveSetting(QStringLiteral("Cache"), QStringLiteral("ContainerState"), QStringLiteral("1"));
    SaveSetting(QStringLiteral("Cache"), QStringLiteral("ContainerTab"), QStringLiteral("2"));
    SaveSetting(QStringLiteral("Cache"), QStringLiteral("CurrentFolder"),
                QStringLiteral("Personal Folders\\Contacts"));

    CommandLine line;
    line.storeDir = storeDir;
    bool ok = false;
    {
        Program program(line);
        if (program.start()) {
            Vantrel* window = program.window();
            ok = saveScreen(*window, outDir, QStringLiteral("Vantrel"));
            ContactBrowser& browser = window->browser();
            // A card with a special day, on the letter M when it has one.
            window->mLetterCode = 13;
            browser.LetterChange();
            for (int i = 0; i < window->cmbContacts->count() && window->cmdQELDay->isHidden(); ++i)
                window->cmbContacts->setCurrentIndex(i);
            browser.selectTab(1);
            ok = saveScreen(*window, outDir, QStringLiteral("Vantrel-normal")) && ok;
            // Shift held: the controls whose double-click has a Shift variant are marked.
            window->Form_KeyDown(Qt::Key_Shift, Qt::ShiftModifier);
            ok = saveScreen(*window, outDir, QStringLiteral("Vantrel-shift")) && ok;
            window->Form_KeyUp(0, Qt::NoModifier);
            window->chkExtra->setChecked(true);
            ok = saveScreen(*window, outDir, QStringLiteral("Vantrel-extra")) && ok;
            window->chkExtra->setChecked(false);
            for (int tab = 1; tab <= 5; ++tab) {
                browser.selectTab(tab);
                ok = saveScreen(*window, outDir, QStringLiteral("Vantrel-pane-%1").arg(tab)) && ok;
            }

            // The tray menu as it pops up from the icon, "Show" in bold as its default.
            window->menuTray->setDefaultAction(window->menuTrayShow);
            window->menuTray->popup(QPoint(0, 0));
            ok = saveScreen(*window->menuTray, outDir, QStringLiteral("Vantrel-tray-menu")) && ok;
            window->menuTray->hide();

            frmWait* wait = frmWait::load(window);
            wait->ProgressBar1->setRange(0, 12);
            for (const char* step : {"Exporting contacts...", "Exporting Ann Archer", "Exporting Ben Bell",
                                     "Exporting Carla Cortez", "Exporting Dev Desai"})
                wait->setStatus(QLatin1String(step));
            ok = saveScreen(*wait, outDir, QStringLiteral("frmWait")) && ok;
            frmWait::unload();

            // The shown contact's side windows, as its card filled them.
            frmNotes* notes = window->notesWindow();
            notes->setContactName(window->txtName->text());
            ok = saveScreen(*notes, outDir, QStringLiteral("frmNotes")) && ok;
            notes->hide();
            frmUser* user = window->userWindow();
            ok = saveScreen(*user, outDir, QStringLiteral("frmUser")) && ok;
            user->hide();

            // The text-message dialog for a number, with a signature as a user keeps one.
            SaveSetting(QStringLiteral("SMS"), QStringLiteral("Sig"), QStringLiteral("Yes"));
            SaveSetting(QStringLiteral("SMS"), QStringLiteral("SigText"), QStringLiteral("Ann\r\n555-0100"));
            {
                frmSMS sms(loadCarriers(), window);
                sms.prepare(QStringLiteral("5551234567"));
                ok = saveScreen(sms, outDir, QStringLiteral("frmSMS")) && ok;
            }

            // The special days: the dialog's two tabs, the fix dialog, a reminder come due, and the
            // day strip filled with days of the coming week.
            SpecialDays& days = window->specialDays();
            {
                frmQELDay dialog(days.engine(), *window, window);
                ok = saveScreen(dialog, outDir, QStringLiteral("frmQELDay-1")) && ok;
                dialog.TabStrip1->setCurrentIndex(1);
                ok = saveScreen(dialog, outDir, QStringLiteral("frmQELDay-2")) && ok;
            }
            {
                frmFix fix(window);
                fix.lblError->setText(QStringLiteral("Error on Line:2"));
                fix.lblName->setText(QStringLiteral("QEL Day For: ") + window->txtName->text());
                fix.txtQELDays->setPlainText(QStringLiteral("1/1/1970\n*Anniversary .Us 6/20 1998\n"));
                ok = saveScreen(fix, outDir, QStringLiteral("frmFix")) && ok;
            }
            {
                frmRemind remind(window);
                remind.Timer1->stop();
                remind.lblMessage->setText(QStringLiteral("Call Ann about the picnic"));
                remind.lblTime->setText(clock().now().toString(QStringLiteral("M/d/yyyy h:mm:ss AP")));
                ok = saveScreen(remind, outDir, QStringLiteral("frmRemind")) && ok;
            }
            const QDate today = clock().today();
            for (int k : {0, 2, 2, 5})
                days.engine().AddQELDay(window->txtID->text(),
                                        QStringLiteral("*Anniversary .Day_%1 ").arg(k) +
                                            today.addDays(k)
                                                .toString(QStringLiteral("MM/dd/yyyy"))
                                                .replace(6, 4, QStringLiteral("2001")),
                                        window->txtLast->text(), window->txtFirst->text());
            setTag(window->menuUpcomingQELDay, QStringLiteral("No Message"));
            days.menuUpcomingQELDay_Click();
            setTag(window->menuUpcomingQELDay, QString());
            ok = saveScreen(*window, outDir, QStringLiteral("Vantrel-upcoming")) && ok;

            // The colouring's confirmation, and an appointment it coloured in the store's item window.
            {
                ol::ItemPtr meeting = window->gOlCalendarFolder->Items()->Add(ol::olAppointmentItem);
                meeting->set(ol::prop::Subject, QStringLiteral("Plan the garden"));
                meeting->set(ol::prop::Location, QStringLiteral("Home"));
                meeting->set(ol::prop::Start, QDateTime(today.addDays(3), QTime(10, 0)));
                meeting->set(ol::prop::End, QDateTime(today.addDays(3), QTime(11, 30)));
                meeting->Save();
                QuestionShot shot(outDir, QStringLiteral("Confirm-Colors"));
                window->tools().colourAppointments(false);
                ok = shot.ok && ok;
                ol::ItemWindow item(window->gOlNameSpace->GetItemFromID(meeting->EntryID()));
                ok = saveScreen(item, outDir, QStringLiteral("ItemWindow-Appointment")) && ok;
            }

            // "View Last Sync Status" after a sync.
            {
                window->settings().sync = true;
                tray().setToolTip(QStringLiteral("Last Sync:") + generalDate(clock().now()));
                QuestionShot shot(outDir, QStringLiteral("Sync-Status"), true);
                window->menuStatus_Click();
                ok = shot.ok && ok;
            }

            // The card as an editor (the window ends without leaving edit mode).
            window->menuEdit_Click();
            ok = saveScreen(*window, outDir, QStringLiteral("Vantrel-edit")) && ok;
            window->ExitProgram(false);
        } else {
            std::fprintf(stderr, "the main window did not start\n");
        }
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TraySeam::set(previousTray);
    return ok;
}

} // namespace qel
