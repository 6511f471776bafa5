#include "Screens.h"

#include "Program.h"
#include "Vantrel.h"
#include "frmWait.h"

#include "actions/frmSMS.h"
#include "browser/ContactBrowser.h"
#include "core/Settings.h"
#include "editing/frmNotes.h"
#include "editing/frmUser.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <cstdio>

namespace qel {

bool saveScreen(QWidget& window, const QString& outDir, const QString& name) {
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    const QString file = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

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
