// The special days on a window of their own: frmQELDay's add and manual save, the removal's
// question, the day strip, and the reminder from Set to Dismiss or Snooze, on a fixed clock with
// every prompt scripted. What the store holds is read through a fresh connection.

#include "SpecialDaysTesting.h"
#include "platform/TrayIcons.h"

#include "core/Tag.h"
#include "specialdays/ReminderTimes.h"
#include "specialdays/SpecialDays.h"
#include "specialdays/frmQELDay.h"
#include "support/StoreUiDouble.h"
#include "support/TrayDouble.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace daystest;
using qel::MsgResult;

namespace {

// The special days on a card, with the window's controls and hooks recorded.
struct Window : Harness {
    explicit Window(const QString& tag) : Harness(tag) {
        card.buildBrowserControls(&form);
        txtRemind = new QLineEdit(card.fmeQuick[3]);
        cmbRemind = new QComboBox(card.fmeQuick[3]);
        qel::SpecialDayControls c;
        c.menuRescan = &menuRescan;
        c.menuQELRemove = &menuQELRemove;
        c.menuUpcomingQELDay = &menuUpcomingQELDay;
        c.menuTools = &menuTools;
        c.MsgBoxEx1 = &marker;
        c.SyncTimer = &syncTimer;
        c.lblMisc = &lblMisc;
        c.txtRemind = txtRemind;
        c.cmbRemind = cmbRemind;
        c.RemindTimer = &remindTimer;
        qel::SpecialDayHooks hooks;
        hooks.refreshCard = [this] { ++refreshes; };
        hooks.selectTab = [this](int tab) { selectedTab = tab; };
        special = std::make_unique<qel::SpecialDays>(card, c, storeMembers(), settings, &form, hooks);
    }

    // Shows the contact on the card as the browser would.
    void showOnCard(const ol::ItemPtr& contact) {
        card.cmbContacts->addItem(contact->Subject());
        card.txtName->setText(contact->Subject());
        card.txtFirst->setText(contact->text(ol::prop::FirstName));
        card.txtLast->setText(contact->text(ol::prop::LastName));
        card.txtID->setText(contact->EntryID());
    }

    QString storedLines(const ol::ItemPtr& contact) const {
        return ol::Application::create(dir)
            ->GetNamespace()
            ->GetItemFromID(contact->EntryID())
            ->text(ol::prop::User1);
    }

    QWidget form;
    qel::BrowserControls card;
    QAction menuRescan, menuQELRemove, menuUpcomingQELDay;
    QObject menuTools;
    QTimer syncTimer, remindTimer;
    QLabel lblMisc;
    QLineEdit* txtRemind;
    QComboBox* cmbRemind;
    qeltest::TrayDouble tray;
    std::unique_ptr<qel::SpecialDays> special;
    int refreshes = 0;
    int selectedTab = 0;
};

// The progress window: records the status lines; asks to stop once `cancelAfter` lines were shown.
struct ProgressDouble : qel::Progress {
    void begin(int count) override { steps = count; }
    void setStatus(const QString& text) override { lines << text; }
    bool cancelled() const override { return cancelAfter >= 0 && lines.size() >= cancelAfter; }
    int steps = -1;
    int cancelAfter = -1;
    QStringList lines;
};

QStringList menuTexts(QAction* button) {
    QStringList out;
    if (button->menu()) {
        for (QAction* entry : button->menu()->actions())
            out << entry->text();
    }
    return out;
}

} // namespace

class SpecialDaysWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Add builds the line from the controls, makes its appointments and stores the line; an
    // "other" event without its kind is refused and stores nothing.
    void addFromTheCalendar() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Window w(QStringLiteral("add"));
        const ol::ItemPtr ann =
            w.addContact(QStringLiteral("Ann"), QStringLiteral("Van Dyke"), QStringLiteral("1/1/2001"));
        w.showOnCard(ann);
        seams.dialogs.expectExec(
            [&](QDialog& d) {
                auto& dialog = static_cast<qel::frmQELDay&>(d);
                [&] {
                    QCOMPARE(dialog.txtEvent->text(), QStringLiteral("Ann"));
                    QCOMPARE(dialog.lines(), QStringLiteral("1/1/2001"));
                    dialog.Calendar1->setSelectedDate(QDate(1990, 7, 4));
                    dialog.cmbType->setCurrentIndex(2);
                    QVERIFY(dialog.txtOther->isVisibleTo(&dialog));
                    dialog.txtEvent->setText(QStringLiteral("Big Day"));
                    seams.dialogs.expectMessage(QStringLiteral("You picked an 'other' event type."));
                    dialog.cmdAdd->click();
                    QCOMPARE(dialog.lines(), QStringLiteral("1/1/2001"));
                    dialog.txtOther->setText(QStringLiteral("Bar Mitzvah"));
                    dialog.chkLastNameSkip->setChecked(true);
                    seams.dialogs.expectMessage(QStringLiteral("QEL Day added and contact saved!"));
                    dialog.cmdAdd->click();
                    QCOMPARE(dialog.lines(), QStringLiteral("1/1/2001\r\n*Bar_Mitzvah .Big_Day 07/04/1990"));
                }();
                return 0;
            },
            QStringLiteral("frmQELDay"));
        w.special->menuQELDay_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(w.refreshes, 1);
        QCOMPARE(qel::Tag(&w.syncTimer), QString());
        QCOMPARE(w.storedLines(ann), QStringLiteral("1/1/2001\r\n*Bar_Mitzvah .Big_Day 07/04/1990"));
        QCOMPARE(w.dayTexts(), (QStringList{QStringLiteral("2024-07-04 00:00 Big Day's Bar Mitzvah (34)"),
                                            QStringLiteral("2025-07-04 00:00 Big Day's Bar Mitzvah (35)")}));
    }

    // The manual save: a stray line feed and a wrong token count change nothing; a good text
    // replaces the contact's appointments (others' stay) and is stored.
    void manualSaveChecksBeforeItChanges() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Window w(QStringLiteral("save"));
        const ol::ItemPtr ann =
            w.addContact(QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("1/1/2001"));
        w.addContact(QStringLiteral("Bo"), QStringLiteral("Other"), QStringLiteral("2/2/2002"));
        w.engine->rescanContacts({});
        const QStringList before = w.dayTexts();
        QCOMPARE(before.size(), 5);
        w.showOnCard(ann);
        qel::frmQELDay dialog(*w.engine, w.card);
        dialog.txtQEL->setPlainText(QStringLiteral("3/3/2003\n"));
        seams.dialogs.expectMessage(
            QStringLiteral("There seems to be a stray line feed at the end of your QEL Day list."));
        dialog.cmdSave->click();
        dialog.txtQEL->setPlainText(QStringLiteral("3/3/2003\n* Two\n*A x y 1/1/2000"));
        seams.dialogs.expectMessage(
            QStringLiteral("You appear to have an extra space or an incorrect format"));
        dialog.cmdSave->click();
        dialog.txtQEL->setPlainText(QStringLiteral("3/3/2003\n3/3 2003"));
        seams.dialogs.expectMessage(
            QStringLiteral("You appear to have an extra space or an incorrect format"));
        dialog.cmdSave->click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(w.dayTexts(), before);
        QCOMPARE(w.storedLines(ann), QStringLiteral("1/1/2001"));

        dialog.txtQEL->setPlainText(QStringLiteral("3/3/2003\n*A .Us 9/9/1999"));
        seams.dialogs.expectMessage(QStringLiteral("Contact saved and QEL Day editted!"));
        dialog.cmdSave->click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(w.storedLines(ann), QStringLiteral("3/3/2003\r\n*A .Us 9/9/1999"));
        const QStringList after = w.dayTexts();
        QCOMPARE(after.filter(QStringLiteral("Bo Other")).size(), 2);
        QCOMPARE(after.filter(QStringLiteral("Ann Lee's Birthday")),
                 (QStringList{QStringLiteral("2025-03-03 00:00 Ann Lee's Birthday (22)"),
                              QStringLiteral("2026-03-03 00:00 Ann Lee's Birthday (23)")}));
        QCOMPARE(after.filter(QStringLiteral("Us's Anniversary")).size(), 2);
    }

    // Remove answered No keeps everything; Yes removes and counts.
    void removeAsksFirst() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Window w(QStringLiteral("remove"));
        w.addContact(QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("1/1/2001"));
        w.engine->rescanContacts({});
        seams.dialogs.expectQuestion(
            QStringLiteral("This will remove all QEL Day entries.  Do you want to continue?"), MsgResult::No);
        w.special->menuQELRemove_Click();
        QCOMPARE(w.days().size(), size_t(3));
        QVERIFY(w.form.isEnabled());
        QCOMPARE(qel::Tag(&w.syncTimer), QString());
        seams.dialogs.expectQuestion(QStringLiteral("This will remove all QEL Day entries."), MsgResult::Yes)
            .expectMessage(QStringLiteral("3 QEL Days were removed"));
        w.special->menuQELRemove_Click();
        QVERIFY(seams.dialogs.verify());
        QVERIFY(w.days().empty());
    }

    // The rescan from its menu: a bad line's Fix goes through frmFix, the corrected contact is made
    // again from its first line and the count told is what the calendar holds; a cancel after the
    // first contact keeps what was made, says so, and leaves no scan reminder.
    void rescanFromTheMenuWithFixAndCancel() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15));
        Window w(QStringLiteral("rescan"));
        ProgressDouble progress;
        w.special.reset();
        qel::SpecialDayHooks hooks;
        hooks.loadProgress = [&progress] { return &progress; };
        qel::SpecialDayControls c;
        c.menuRescan = &w.menuRescan;
        c.menuQELRemove = &w.menuQELRemove;
        c.menuUpcomingQELDay = &w.menuUpcomingQELDay;
        c.menuTools = &w.menuTools;
        c.MsgBoxEx1 = &w.marker;
        c.SyncTimer = &w.syncTimer;
        c.lblMisc = &w.lblMisc;
        w.special =
            std::make_unique<qel::SpecialDays>(w.card, c, w.storeMembers(), w.settings, &w.form, hooks);
        const ol::ItemPtr ann = w.addContact(QStringLiteral("Ann"), QStringLiteral("Able"),
                                             QStringLiteral("1/1/2001\r\n* Broken"));
        w.addContact(QStringLiteral("Bo"), QStringLiteral("Best"), QStringLiteral("6/20/1950"));

        seams.dialogs
            .expectChoice(QStringLiteral("* Broken"), 2) // Fix
            .expectExec(
                [](QDialog& d) {
                    auto* text = d.findChild<QPlainTextEdit*>(QStringLiteral("txtQELDays"));
                    if (text)
                        text->setPlainText(QStringLiteral("1/1/2001\n* Al 2/2/1999"));
                    return int(QDialog::Accepted);
                },
                QStringLiteral("frmFix"))
            .expectMessage(QStringLiteral("Re-Scan complete. 6 QEL Days added"));
        w.special->menuRescan_Click();
        QVERIFY(seams.dialogs.verify());
        QCOMPARE(progress.steps, 2);
        QCOMPARE(w.storedLines(ann), QStringLiteral("1/1/2001\r\n* Al 2/2/1999"));
        QCOMPARE(w.days().size(), size_t(6 + 1)); // what was told, and the scan reminder
        QCOMPARE(qel::Tag(&w.syncTimer), QString());
        QCOMPARE(qel::Tag(&w.marker), QString());

        // Cancel once the first contact's status line is up: that contact's days stay.
        progress = ProgressDouble();
        progress.cancelAfter = 1;
        seams.dialogs.expectMessage(
            QStringLiteral("Cancelled by user.  QEL Days will need to be rescanned."));
        w.special->menuRescan_Click();
        QVERIFY(seams.dialogs.verify());
        const std::vector<Day> kept = w.days();
        QVERIFY(!kept.empty() && kept.size() < size_t(6));
        for (const Day& d : kept)
            QVERIFY2(d.subject != QStringLiteral("QEL Day Scan Needed!"), qPrintable(d.subject));
        QCOMPARE(qel::Tag(&w.syncTimer), QString());
    }

    // The strip: nothing; several on one day (the last found on top); one today.
    void theDayStrip() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15)); // a Saturday
        Window w(QStringLiteral("strip"));
        seams.dialogs.expectMessage(QStringLiteral("No upcoming QEL Days :("));
        w.special->menuUpcomingQELDay_Click();
        QVERIFY(seams.dialogs.verify());
        for (int k = 0; k < 7; ++k) {
            QAction* b = w.special->dayButton(k);
            QCOMPARE(b->toolTip(), QStringLiteral("Sorry, no QEL Days"));
            QVERIFY(!b->menu());
            QCOMPARE(qel::Tag(b), QDate(2024, 6, 15).addDays(k).toString(QStringLiteral("MM/dd/yyyy")));
        }
        QCOMPARE(w.special->dayButton(0)->text(), QStringLiteral("Sat   "));

        w.addContact(QStringLiteral("Ann"), QStringLiteral("Lee"),
                     QStringLiteral("6/17/2000\r\n*A .Us 6/17"));
        w.addContact(QStringLiteral("Bo"), QStringLiteral("Day"), QStringLiteral("6/15/1950"));
        w.engine->rescanContacts({});
        w.special->menuUpcomingQELDay_Click();
        QAction* monday = w.special->dayButton(2);
        QCOMPARE(monday->text(), QStringLiteral("Mon "));
        QCOMPARE(monday->toolTip(), QStringLiteral("2 QEL Days!"));
        QCOMPARE(menuTexts(monday), (QStringList{QStringLiteral("Us's Anniversary"),
                                                 QStringLiteral("Ann Lee's Birthday (24)")}));
        QCOMPARE(w.special->dayButton(0)->toolTip(), QStringLiteral("1 QEL Day!"));
        // Days with special days carry the special-day picture; the others none.
        QCOMPARE(monday->icon().cacheKey(), qel::icons::trayPicture(3).cacheKey());
        QVERIFY(w.special->dayButton(1)->icon().isNull());
        QCOMPARE(seams.sound.played(), QStringList{QStringLiteral("Tada.wav")});
        QCOMPARE(w.lblMisc.text(), QStringLiteral("QEL Day Today!"));
        QCOMPARE(w.selectedTab, 5);

        // An entry opens its contact (the one whose id it carries); one whose contact is gone says so.
        auto ui = std::make_shared<qeltest::ScriptedStoreUi>();
        w.gOlApp->setUi(ui);
        monday->menu()->actions().at(1)->trigger(); // "Ann Lee's Birthday (24)"
        QCOMPARE(ui->displayed, QStringList{QStringLiteral("Ann Lee")});
        seams.dialogs.expectMessage(QStringLiteral("Contact not found."));
        w.special->Toolbar1_ButtonMenuClick(QStringLiteral("no-such-id"));
    }

    // The due times of the choices, the remaining-time text across an hour.
    void reminderTimes() {
        QCOMPARE(qel::remindChoices().size(), 57);
        QCOMPARE(qel::remindChoices().at(9), QStringLiteral("8:00 AM"));
        QCOMPARE(qel::remindChoices().at(40), QStringLiteral("11:30 PM"));
        QCOMPARE(qel::remindChoices().at(41), QStringLiteral("12:00 AM"));
        QCOMPARE(qel::remindChoices().at(56), QStringLiteral("7:30 AM"));
        const QDateTime tenOTwo = at(2024, 6, 15, 10, 2);
        QCOMPARE(*qel::remindDueTime(0, tenOTwo), at(2024, 6, 15, 10, 7));
        QCOMPARE(*qel::remindDueTime(7, tenOTwo), at(2024, 6, 15, 12, 2));
        QVERIFY(!qel::remindDueTime(8, tenOTwo));
        const int eleven = int(qel::remindChoices().indexOf(QStringLiteral("11:00 AM")));
        QCOMPARE(*qel::remindDueTime(eleven, at(2024, 6, 15, 13, 0)), at(2024, 6, 16, 11, 0)); // across noon
        QCOMPARE(*qel::remindDueTime(eleven, QDateTime(QDate(2024, 6, 15), QTime(11, 0, 30))),
                 at(2024, 6, 16, 11, 0)); // the same minute: tomorrow
        QCOMPARE(*qel::remindDueTime(eleven, at(2024, 6, 15, 10, 59)), at(2024, 6, 15, 11, 0));
        QCOMPARE(*qel::remindDueTime(41, at(2024, 12, 31, 23, 45)), at(2025, 1, 1, 0, 0)); // across midnight
        QCOMPARE(qel::remainingText(at(2024, 6, 15, 10, 0), at(2024, 6, 15, 12, 0)),
                 QStringLiteral("2 hour(s) remaining"));
        QCOMPARE(qel::remainingText(at(2024, 6, 15, 10, 15), at(2024, 6, 15, 11, 0)),
                 QStringLiteral("45 minutes(s) remaining"));
        const QDateTime due = at(2024, 6, 15, 23, 30);
        QCOMPARE(qel::dueTimeFromText(qel::dueTimeText(due)), due);
    }

    // Set, a tick before the time, the tick at it (frmRemind rings at 5 .. 30 s), Snooze, Dismiss.
    void reminderFromSetToDismiss() {
        qeltest::SeamScope seams;
        seams.clock.setNow(at(2024, 6, 15, 10, 2));
        Window w(QStringLiteral("remind"));
        seams.dialogs.expectMessage(QStringLiteral("Please choose a valid time!"));
        w.cmbRemind->setCurrentIndex(8);
        w.special->cmdRemind_Click();
        QVERIFY(!w.remindTimer.isActive());

        w.txtRemind->setText(QStringLiteral("Call Ann"));
        w.cmbRemind->setCurrentIndex(0);
        w.special->cmdRemind_Click();
        QVERIFY(w.remindTimer.isActive());
        QCOMPARE(w.special->cmdRemind->text(), QStringLiteral("Clear"));
        QVERIFY(!w.txtRemind->isEnabled());
        QVERIFY(w.special->lblTimer->text().startsWith(QStringLiteral("QEL Reminder set for ")));

        seams.clock.setNow(at(2024, 6, 15, 10, 6, 30));
        w.special->RemindTimer_Timer();
        QVERIFY(!w.special->reminderWindow());
        QVERIFY(w.special->lblTimer->text().endsWith(QStringLiteral("Call Ann (1 minutes(s) remaining)")));

        seams.clock.setNow(at(2024, 6, 15, 10, 7));
        w.special->RemindTimer_Timer();
        QPointer<qel::frmRemind> ringing = w.special->reminderWindow();
        QVERIFY(ringing);
        QCOMPARE(ringing->lblMessage->text(), QStringLiteral("Call Ann"));
        QVERIFY(!w.remindTimer.isActive());
        QCOMPARE(w.special->cmdRemind->text(), QStringLiteral("Set"));
        QVERIFY(!w.special->cmdRemind->isEnabled());
        for (int tick = 0; tick < 35 && ringing->Timer1->isActive(); ++tick)
            ringing->Timer1_Timer();
        QCOMPARE(ringing->ticks(), 30);
        QCOMPARE(seams.sound.played(), QStringList(6, QStringLiteral("ding.wav")));
        QVERIFY(!ringing->Timer1->isActive());

        // Snooze: five minutes on, running again, the message kept.
        ringing->cmdSnooze->click();
        QTRY_VERIFY(!ringing);
        QVERIFY(w.special->cmdRemind->isEnabled());
        QVERIFY(w.remindTimer.isActive());
        QCOMPARE(qel::dueTimeFromText(qel::Tag(&w.remindTimer)), at(2024, 6, 15, 10, 12));
        QVERIFY(w.special->lblTimer->text().endsWith(QStringLiteral("Call Ann (5 minutes(s) remaining)")));

        seams.clock.setNow(at(2024, 6, 15, 10, 12));
        w.special->RemindTimer_Timer();
        ringing = w.special->reminderWindow();
        QVERIFY(ringing);
        ringing->cmdDismiss->click();
        QTRY_VERIFY(!ringing);
        QVERIFY(w.special->cmdRemind->isEnabled());
        QVERIFY(!w.remindTimer.isActive());
        QVERIFY(w.txtRemind->isEnabled());
    }
};

QEL_TEST_MAIN(SpecialDaysWindowTest)
#include "test_window.moc"
