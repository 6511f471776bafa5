#include "SpecialDays.h"

#include "ReminderTimes.h"
#include "frmFix.h"
#include "frmQELDay.h"
#include "frmRemind.h"

#include "core/Named.h"
#include "core/SettingsModel.h"
#include "core/Tag.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Sound.h"
#include "platform/Tray.h"
#include "platform/TrayIcons.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace qel {

namespace {

const QString kNoMessage = QStringLiteral("No Message");
const QString kCrLf = QStringLiteral("\r\n");
const QString kRemindHint =
    QStringLiteral("<type a message here and then click set to be reminded at the set time>");

// Hourglass and a disabled window for as long as it lives.
class BusyWindow {
public:
    explicit BusyWindow(QWidget* window) : mWindow(window) {
        if (mWindow)
            mWindow->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyWindow() {
        if (mWindow)
            mWindow->setEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    QPointer<QWidget> mWindow;
};

} // namespace

// The host's progress window, hiding the main window when the run begins.
class SpecialDays::HidingProgress : public Progress {
public:
    HidingProgress(SpecialDays& owner, Progress* window) : mOwner(owner), mWindow(window) {}
    void begin(int count) override {
        if (mOwner.mHooks.setWindowShown)
            mOwner.mHooks.setWindowShown(false);
        if (mWindow)
            mWindow->begin(count);
    }
    void setStatus(const QString& text) override {
        if (mWindow)
            mWindow->setStatus(text);
    }
    bool cancelled() const override { return mWindow && mWindow->cancelled(); }

private:
    SpecialDays& mOwner;
    Progress* mWindow;
};

SpecialDays::SpecialDays(BrowserControls& card, SpecialDayControls ui, StoreMembers members,
                         const SettingsModel& settings, QWidget* window, SpecialDayHooks hooks,
                         QObject* parent)
    : QObject(parent), mCard(card), mUi(ui), m(members), mSettings(settings), mWindow(window),
      mHooks(std::move(hooks)), mEngine(members, settings, ui.MsgBoxEx1) {
    // The day strip.
    Toolbar1 = named(new QToolBar(QStringLiteral("Upcoming QEL Days"), window), QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (int k = 0; k < 7; ++k) {
        if (k > 0)
            Toolbar1->addSeparator();
        QAction* day = named(new QAction(Toolbar1), QStringLiteral("Toolbar1Day%1").arg(k));
        Toolbar1->addAction(day);
        connect(day, &QAction::triggered, this, [this, k] { Toolbar1_ButtonClick(k); });
        mDays[size_t(k)] = day;
    }

    // The reminder pane: the message, the choice, Set/Clear and the status.
    QFrame* pane = mCard.fmeQuick[3];
    const int rowY = (pane->height() - 28) / 2;
    cmdRemind = named(new QPushButton(QStringLiteral("Set"), pane), QStringLiteral("cmdRemind"));
    cmdRemind->setToolTip(QStringLiteral("Click here to set a reminder"));
    lblTimer = named(new QLabel(pane), QStringLiteral("lblTimer"));
    lblTimer->setTextFormat(Qt::PlainText);
    if (mUi.txtRemind && mUi.cmbRemind) {
        mUi.txtRemind->setGeometry(8, rowY, 250, 28);
        mUi.txtRemind->setToolTip(QStringLiteral("Enter a message here and click set"));
        mUi.cmbRemind->setGeometry(264, rowY, 120, 28);
        mUi.cmbRemind->clear();
        mUi.cmbRemind->addItems(remindChoices());
        mUi.txtRemind->installEventFilter(this);
    }
    cmdRemind->setGeometry(390, rowY, 60, 28);
    lblTimer->setGeometry(456, 2, pane->width() - 460, pane->height() - 4);
    lblTimer->setWordWrap(true);
    connect(cmdRemind, &QPushButton::clicked, this, &SpecialDays::cmdRemind_Click);
    if (mCard.cmdQELDay)
        connect(mCard.cmdQELDay, &QPushButton::clicked, this, &SpecialDays::cmdQELDay_Click);
}

SpecialDays::~SpecialDays() {
    if (mRemind) {
        mRemind->onSnooze = {};
        mRemind->onUnload = {};
    }
}

bool SpecialDays::quiet(QObject* command) const {
    return Tag(command) == kNoMessage;
}

// The end of every special-day command: unless a sync runs, the window comes back and the sync
// timer's busy mark goes.
void SpecialDays::leaveCommand() {
    if (Tag(mUi.menuTools) == kSyncingTag)
        return;
    if (mHooks.setWindowShown)
        mHooks.setWindowShown(true);
    setTag(mUi.SyncTimer, QString());
}

// --- Add/Edit ------------------------------------------------------------------------------------

void SpecialDays::menuQELDay_Click() {
    SyncingScope busy(mUi.SyncTimer);
    if (mCard.cmbContacts->currentText() == browsertext::kNoContacts) {
        dialogs().message(QStringLiteral("Please select a contact to edit or add a Happy Day."));
        return;
    }
    if (!m.gNoRedemption) {
        try {
            m.gSafeCalendar =
                ol::SafeItem::create(m.gOlApp, QStringLiteral("Redemption.SafeAppointmentItem"));
        } catch (const ol::Error&) {
            m.gSafeCalendar.reset();
        }
    }
    frmQELDay dialog(mEngine, mCard, mWindow);
    dialogs().exec(dialog);
    if (mHooks.refreshCard)
        mHooks.refreshCard();
}

void SpecialDays::cmdQELDay_Click() {
    menuQELDay_Click();
    mCard.cmbContacts->setFocus();
}

// --- Rescan and removal --------------------------------------------------------------------------

void SpecialDays::menuRescan_Click() {
    const bool interactive = !quiet(mUi.menuRescan);
    setTag(mUi.SyncTimer, kSyncingTag);
    mRescanning = true;
    setTag(mUi.menuQELRemove, kNoMessage);
    menuQELRemove_Click();
    setTag(mUi.menuQELRemove, QString());
    mRescanning = false;
    QCoreApplication::processEvents();

    HidingProgress progress(*this, mHooks.loadProgress ? mHooks.loadProgress() : nullptr);
    mEngine.setProgress(&progress);
    RescanResult result;
    try {
        result = mEngine.rescanContacts([this](int line, const QString& subject, const QString& text) {
            frmFix fix(mWindow);
            fix.lblError->setText(QStringLiteral("Error on Line:") + QString::number(line));
            fix.lblName->setText(QStringLiteral("QEL Day For: ") + subject);
            fix.txtQELDays->setPlainText(QString(text).replace(kCrLf, QStringLiteral("\n")));
            dialogs().exec(fix);
            return std::optional<QString>(fix.txtQELDays->toPlainText().replace(QLatin1Char('\n'), kCrLf));
        });
        if (result.contacts == 0) {
            if (interactive)
                dialogs().message(QStringLiteral("You have no QELDays."));
        } else if (!result.stopped) {
            if (result.cancelled) {
                if (interactive)
                    dialogs().message(
                        QStringLiteral("Cancelled by user.  QEL Days will need to be rescanned."));
            } else {
                setTag(mUi.menuUpcomingQELDay, kNoMessage);
                menuUpcomingQELDay_Click();
                setTag(mUi.menuUpcomingQELDay, QString());
                const QString done = QStringLiteral("Re-Scan complete. ") + QString::number(result.added) +
                                     QStringLiteral(" QEL Days added");
                if (interactive)
                    dialogs().message(done);
                progress.setStatus(done);
            }
        }
        if (mHooks.rescanned)
            mHooks.rescanned();
    } catch (const ol::Error& e) {
        if (interactive)
            dialogs().message(QStringLiteral("The QEL Days could not be rescanned: ") + e.message());
    }
    mEngine.setProgress(nullptr);
    if (mHooks.unloadProgress)
        mHooks.unloadProgress();
    mEngine.setMarker(QString());
    if (mCard.cmbContacts->isVisible())
        mCard.cmbContacts->setFocus();
    leaveCommand();
}

void SpecialDays::menuQELRemove_Click() {
    const bool interactive = !quiet(mUi.menuQELRemove);
    setTag(mUi.SyncTimer, kSyncingTag);
    QCoreApplication::processEvents();
    int removed = 0;
    {
        BusyWindow busy(mWindow);
        if (interactive) {
            const QString question =
                mSettings.qelDayPast
                    ? QStringLiteral("This will remove all QEL Day entries occurring after today.  Do you "
                                     "want to continue?")
                    : QStringLiteral("This will remove all QEL Day entries.  Do you want to continue?");
            if (dialogs().ask(question, MsgButtons::YesNo, MsgIcon::Question,
                              QStringLiteral("QEL Day Removal")) != MsgResult::Yes) {
                setTag(mUi.SyncTimer, QString());
                return;
            }
        }
        try {
            removed = mEngine.removeQELDays(mSettings.qelDayPast);
        } catch (const ol::Error& e) {
            if (interactive)
                dialogs().message(QStringLiteral("The QEL Days could not be removed: ") + e.message());
        }
    }
    if (interactive)
        dialogs().message(removed == 1 ? QStringLiteral("1 QEL Day was removed")
                                       : QString::number(removed) + QStringLiteral(" QEL Days were removed"));
    if (!mRescanning)
        leaveCommand();
}

// --- The coming week -------------------------------------------------------------------------

void SpecialDays::menuUpcomingQELDay_Click() {
    const bool interactive = !quiet(mUi.menuUpcomingQELDay);
    std::array<UpcomingDay, 7> week;
    for (int k = 0; k < 7; ++k)
        week[size_t(k)].date = clock().today().addDays(k);
    try {
        week = mEngine.upcoming();
    } catch (const ol::Error&) {
        // No calendar to look in: the strip shows the week without special days.
    }
    bool found = false;
    bool today = false;
    for (int k = 0; k < 7; ++k) {
        const UpcomingDay& day = week[size_t(k)];
        QAction* button = mDays[size_t(k)];
        const QString weekday = QLocale::c().toString(day.date, QStringLiteral("ddd"));
        button->setText(weekday + QStringLiteral("   "));
        setTag(button, day.date.toString(QStringLiteral("MM/dd/yyyy")));
        if (QMenu* old = button->menu()) {
            button->setMenu(nullptr);
            old->deleteLater();
        }
        if (!day.entries.empty()) {
            button->setText(weekday + QLatin1Char(' '));
            auto* menu = new QMenu(Toolbar1);
            for (const UpcomingDay::Entry& entry : day.entries) {
                auto* item = new QAction(entry.text, menu);
                setTag(item, entry.entryId);
                connect(item, &QAction::triggered, this,
                        [this, id = entry.entryId] { Toolbar1_ButtonMenuClick(id); });
                menu->insertAction(menu->actions().value(0), item);
            }
            button->setMenu(menu);
            found = true;
            today = today || k == 0;
        }
        // The special-day picture on a day that has special days, none on the others.
        button->setIcon(day.entries.empty() ? QIcon() : icons::trayPicture(3));
        // A plain button, or a drop-down one when the day has special days.
        if (auto* widget = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(button)))
            widget->setPopupMode(button->menu() ? QToolButton::MenuButtonPopup : QToolButton::DelayedPopup);
        const size_t n = day.entries.size();
        button->setToolTip(n == 0   ? QStringLiteral("Sorry, no QEL Days")
                           : n == 1 ? QStringLiteral("1 QEL Day!")
                                    : QString::number(n) + QStringLiteral(" QEL Days!"));
    }
    // The fifth card tab carries the special-day picture while the week has special days.
    if (mCard.TabStrip1 && mCard.TabStrip1->count() >= 5)
        mCard.TabStrip1->setTabIcon(4, found ? icons::trayPicture(3) : QIcon());
    if (found) {
        if (mHooks.inTray && mHooks.inTray() && mHooks.restoreFromTray)
            mHooks.restoreFromTray();
        setIcons(3);
        if (interactive && mHooks.selectTab)
            mHooks.selectTab(5);
        if (today) {
            sound().play(QStringLiteral("Tada.wav"));
            if (mUi.lblMisc)
                mUi.lblMisc->setText(QStringLiteral("QEL Day Today!"));
        }
    } else {
        if (interactive)
            dialogs().message(QStringLiteral("No upcoming QEL Days :("));
        setIcons(1);
    }
}

void SpecialDays::setUpImages() {
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Toolbar1->setIconSize(QSize(16, 16));
    if (mCard.TabStrip1)
        mCard.TabStrip1->setIconSize(QSize(16, 16));
}

void SpecialDays::setIcons(int picture) {
    const QIcon icon = icons::trayPicture(picture);
    tray().setIcon(icon);
    if (mWindow)
        mWindow->setWindowIcon(icon);
}

void SpecialDays::Toolbar1_ButtonClick(int k) {
    dialogs().message(QStringLiteral("Will eventually open calendar to ") + Tag(mDays[size_t(k)]));
}

void SpecialDays::Toolbar1_ButtonMenuClick(const QString& entryId) {
    if (!mEngine.openContact(entryId))
        dialogs().message(
            QStringLiteral("Contact not found. The QEL Day may have been created on another computer."));
}

// --- The reminder ----------------------------------------------------------------------------

void SpecialDays::menuRemind_Click() {
    if (mCard.lblLetterMode)
        mCard.lblLetterMode->hide();
    if (mHooks.selectTab)
        mHooks.selectTab(4);
    mUi.txtRemind->clear();
    mUi.txtRemind->setFocus();
}

bool SpecialDays::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mUi.txtRemind) {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (mHooks.setKeyPreview)
                mHooks.setKeyPreview(false);
            break;
        case QEvent::FocusOut:
            if (mHooks.setKeyPreview && !(mHooks.editing && mHooks.editing()))
                mHooks.setKeyPreview(true);
            break;
        case QEvent::MouseButtonPress:
            if (mUi.txtRemind->text() == kRemindHint)
                mUi.txtRemind->clear();
            break;
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat()) {
                cmdRemind_Click();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

QString SpecialDays::remainingStatus() const {
    const QDateTime due = dueTimeFromText(Tag(mUi.RemindTimer));
    return QStringLiteral("QEL Reminder:") + kCrLf + kCrLf + mUi.txtRemind->text() + QStringLiteral(" (") +
           remainingText(clock().now(), due) + QLatin1Char(')');
}

void SpecialDays::setReminder(const QDateTime& due) {
    setTag(mUi.RemindTimer, dueTimeText(due));
    mUi.RemindTimer->start();
    mUi.txtRemind->setEnabled(false);
    mUi.cmbRemind->setEnabled(false);
    cmdRemind->setText(QStringLiteral("Clear"));
    cmdRemind->setToolTip(QStringLiteral("Click here to unset the timer"));
}

void SpecialDays::clearReminder() {
    cmdRemind->setToolTip(QStringLiteral("Click here to set a reminder"));
    cmdRemind->setText(QStringLiteral("Set"));
    mUi.txtRemind->setEnabled(true);
    mUi.txtRemind->setToolTip(QStringLiteral("Enter a message here and click set"));
    mUi.cmbRemind->setEnabled(true);
    mUi.RemindTimer->stop();
    lblTimer->clear();
}

void SpecialDays::cmdRemind_Click() {
    if (cmdRemind->text() == QLatin1String("Clear")) {
        clearReminder();
        return;
    }
    const std::optional<QDateTime> due = remindDueTime(mUi.cmbRemind->currentIndex(), clock().now());
    if (!due) {
        dialogs().message(QStringLiteral("Please choose a valid time!"));
        return;
    }
    setReminder(*due);
    lblTimer->setText(QStringLiteral("QEL Reminder set for ") + Tag(mUi.RemindTimer) + QLatin1Char(':') +
                      kCrLf + kCrLf + mUi.txtRemind->text());
    mCard.cmbContacts->setFocus();
}

void SpecialDays::RemindTimer_Timer() {
    const QDateTime now = clock().now();
    const QDateTime due = dueTimeFromText(Tag(mUi.RemindTimer));
    if (now < due) {
        lblTimer->setText(remainingStatus());
        return;
    }
    auto* window = new frmRemind(mWindow);
    window->lblMessage->setText(mUi.txtRemind->text());
    window->lblTime->setText(dueTimeText(now));
    window->onSnooze = [this] { snooze(); };
    window->onUnload = [this] { cmdRemind->setEnabled(true); };
    mRemind = window;
    mUi.RemindTimer->stop();
    clearReminder();
    cmdRemind->setEnabled(false);
    window->show();
}

void SpecialDays::snooze() {
    setReminder(clock().now().addSecs(5 * 60));
    lblTimer->setText(remainingStatus());
}

} // namespace qel
