// "Color Appointments": one restriction of the calendar per criterion of the preferences, and the
// label of every appointment it selects written through the label session.

#include "CalendarTools.h"

#include "core/Tag.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>

namespace qel {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

CalendarTools::CalendarTools(StoreMembers members, ToolControls controls, const SettingsModel& settings,
                             ToolHooks hooks, QObject* parent)
    : QObject(parent), m(members), mUi(controls), mSettings(settings), mHooks(std::move(hooks)) {}

Progress* CalendarTools::progress() const {
    return mHooks.loadProgress ? mHooks.loadProgress() : nullptr;
}

void CalendarTools::status(const QString& text) const {
    if (Progress* p = progress())
        p->setStatus(text);
}

void CalendarTools::menuAppointments_Click() {
    colourAppointments(Tag(mUi.menuAppointments) == kNoMessages);
}

void CalendarTools::endColouring(const std::shared_ptr<ol::MapiSession>& session) {
    if (session)
        session->Logoff();
    if (mHooks.unloadProgress)
        mHooks.unloadProgress();
    // Inside a sync the window stays hidden and the sync keeps its own busy mark.
    if (Tag(mUi.menuTools) == kSyncingTag)
        return;
    if (mHooks.setWindowShown)
        mHooks.setWindowShown(true);
    setTag(mUi.SyncTimer, QString());
}

CalendarTools::ColourCounts CalendarTools::colourAppointments(bool quiet) {
    ColourCounts counts;
    if (!m.gOlApp || ol::versionNumber(m.gOlApp->Version()) <= 9) {
        endColouring(nullptr);
        return counts;
    }
    setTag(mUi.SyncTimer, kSyncingTag);

    QString list;
    for (const QString& criterion : mSettings.colourFilters) {
        if (!criterion.isEmpty())
            list += kCrLf + criterion;
    }
    if (list.isEmpty()) {
        if (!quiet)
            dialogs().message(QStringLiteral(
                "You do not have any criteria defined in your Appointment Coloring settings."));
        endColouring(nullptr);
        return counts;
    }
    if (!quiet &&
        dialogs().ask(
            QStringLiteral("This will add a label color to all appointments using the search criteria:") +
                kCrLf + list + kCrLf + kCrLf + QStringLiteral("Do you want to continue?"),
            MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Color Appointments")) != MsgResult::Yes) {
        endColouring(nullptr);
        return counts;
    }

    std::shared_ptr<ol::MapiSession> session;
    for (int i = 0; i < kColorCount; ++i) {
        const QString& criterion = mSettings.colourFilters[size_t(i)];
        if (criterion.isEmpty())
            continue;
        ol::ItemsPtr selected;
        try {
            selected = m.gOlCalendarFolder ? m.gOlCalendarFolder->Items()->Restrict(criterion) : nullptr;
        } catch (const ol::Error&) {
            selected.reset();
        }
        if (!selected) {
            if (!quiet)
                dialogs().message(QStringLiteral("There is an error in your syntax for Appointment color #") +
                                  QString::number(i) + QStringLiteral(". This one will be skipped."));
            status(QStringLiteral("Syntax error in Appointment color #") + QString::number(i));
            continue;
        }
        counts.perCriterion[size_t(i)] = selected->Count();
        counts.total += selected->Count();

        if (mHooks.setWindowShown)
            mHooks.setWindowShown(false);
        if (Progress* p = progress())
            p->begin(selected->Count());
        // A session of its own per criterion; the one before is logged off.
        if (session)
            session->Logoff();
        try {
            session = ol::MapiSession::create(m.gOlApp);
            session->Logon();
        } catch (const ol::Error&) {
            session.reset();
            if (!quiet)
                dialogs().message(
                    QStringLiteral("The label colors cannot be written: the label session is not "
                                   "available.  No Appointments have been colored."));
            status(QStringLiteral("Coloring stopped: no label session."));
            endColouring(nullptr);
            counts = ColourCounts{};
            return counts;
        }

        for (const ol::ItemPtr& appointment : selected) {
            if (Progress* p = progress(); p && p->cancelled()) {
                if (!quiet)
                    dialogs().message(
                        QStringLiteral("Aborted by user.  Not all Appointments have been colored."));
                status(QStringLiteral("Coloring aborted by user."));
                endColouring(session);
                return counts;
            }
            status(QStringLiteral("Coloring appointment for ") + appointment->Subject());
            try {
                auto message = session->GetMessage(appointment->EntryID(), appointment->Parent()->StoreID());
                try {
                    ol::setLabelField(*message, i);
                } catch (const ol::Error&) {
                    // The label could not be written: the appointment is updated without it.
                }
                message->Update();
            } catch (const ol::Error&) {
                // Gone or not writable meanwhile: the run goes on with the next appointment.
            }
        }
    }

    if (!quiet) {
        if (counts.total == 0)
            dialogs().message(
                QStringLiteral("No Appointments were found.  Check your search criteria or make sure "
                               "you have Appointments in you calendar."));
        else if (counts.total == 1)
            dialogs().message(QStringLiteral("1 Appointment has been colored!"));
        else
            dialogs().message(QString::number(counts.total) +
                              QStringLiteral(" Appointments have been colored!"));
    }
    status(QStringLiteral("Appointments colored"));
    endColouring(session);
    return counts;
}

} // namespace qel
