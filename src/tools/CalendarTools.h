#pragma once

// The calendar and phone tools of the main window: "Color Appointments" gives the calendar's
// appointments the label colours of the criteria in the preferences, written through the label
// session; "Create Cell Phone List" copies the current folder's contacts, cut down to the fields
// ticked in the preferences, into another contact folder. Both work on the members and controls
// they are handed and report through the progress window.

#include "core/Progress.h"
#include "core/SettingsModel.h"
#include "outlook/Outlook.h"
#include "outlook/StoreMembers.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QTimer;

namespace qel {

// The controls whose tags the tools read and set.
struct ToolControls {
    QObject* menuAppointments = nullptr; // "No Messages": colour without message boxes
    QObject* menuCell = nullptr;         // "Syncing" while the cell phone list is made
    QObject* menuTools = nullptr;        // "Syncing" while a sync runs: the window stays hidden
    QTimer* SyncTimer = nullptr;         // "Syncing" while a tool runs: no timed sync meanwhile
};

// What the tools need of the rest of the program. Every hook may be left empty.
using ToolHooks = LongRunHooks;

// The tag of menuAppointments that asks for a run without message boxes.
inline const QString kNoMessages = QStringLiteral("No Messages");

class CalendarTools : public QObject {
    Q_OBJECT
public:
    CalendarTools(StoreMembers members, ToolControls controls, const SettingsModel& settings, ToolHooks hooks,
                  QObject* parent = nullptr);

    // One count per criterion (the appointments it selected), and their total.
    struct ColourCounts {
        std::array<int, kColorCount> perCriterion{};
        int total = 0;
    };
    // Colours the calendar folder's appointments by the criteria of the preferences: every
    // appointment that criterion i selects gets label i, so the highest matching index wins. A
    // criterion the store rejects is skipped (with its message) and the run goes on. quiet: no
    // message box at all (the sync after its run). Cancel in the progress window stops at once;
    // the labels already written stay.
    ColourCounts colourAppointments(bool quiet);
    // The number of contacts the last cell phone list copied (0 until one ran to its end).
    int lastCellCount() const { return mCellCount; }

public Q_SLOTS:
    // "Color Appointments": colourAppointments, quiet while the command's tag is "No Messages".
    void menuAppointments_Click();
    // "Create Cell Phone List".
    void menuCell_Click();

private:
    // The end of every colouring run past its first checks: the session goes, the progress window
    // goes and, unless a sync runs, the window comes back and the sync timer's mark goes.
    void endColouring(const std::shared_ptr<ol::MapiSession>& session);
    // The cell phone list between its introduction and its end step.
    void makeCellList();
    // Copies the ticked fields of one contact onto a new contact of `target`; saved when at least
    // one field was copied. Returns whether it was.
    bool copyCellContact(const ol::ItemPtr& contact, const ol::FolderPtr& target);
    Progress* progress() const;
    void status(const QString& text) const;

    StoreMembers m;
    ToolControls mUi;
    const SettingsModel& mSettings;
    ToolHooks mHooks;
    int mCellCount = 0;
};

} // namespace qel
