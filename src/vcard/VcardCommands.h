#pragma once

// The main window's File menu commands "Export Contacts as vCard...", "Import vCard..." and
// "Export Calendar as iCalendar...": a file dialog through the dialogs seam, the engine, and the
// outcome as a message.

#include "outlook/Outlook.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace qel {

struct VcardHooks {
    // Ends the window and loads it again, so the contact list shows what an import changed.
    std::function<void()> reload;
};

class VcardCommands {
public:
    // `contactFolder` is the window's member (read at each command); `syncMark` the object that
    // carries the "Syncing" mark while a command works on the store (the main window's sync timer).
    VcardCommands(const ol::FolderPtr& contactFolder, QObject* syncMark, VcardHooks hooks);
    // With the window's calendar folder member as well, for the iCalendar export.
    VcardCommands(const ol::FolderPtr& contactFolder, const ol::FolderPtr& calendarFolder, QObject* syncMark,
                  VcardHooks hooks);

    // Asks for a .vcf file and writes every contact of the contact folder to it as vCard 3.0.
    void menuExportVcard_Click();
    // Asks for a .vcf file and reads its cards into the contact folder (all or nothing); contacts
    // of the same UID are updated. The window reloads after a successful import.
    void menuImportVcard_Click();
    // Asks whether the whole calendar or only the QEL Days, then for an .ics file, and writes the
    // appointments to it (replaced whole or not at all).
    void menuExportIcs_Click();

    static QString exportTitle() { return QStringLiteral("Export Contacts as vCard"); }
    static QString importTitle() { return QStringLiteral("Import vCard"); }
    static QString icsTitle() { return QStringLiteral("Export Calendar as iCalendar"); }

private:
    bool busy() const;
    const ol::FolderPtr& mContactFolder;
    const ol::FolderPtr& mCalendarFolder;
    QPointer<QObject> mSyncMark;
    VcardHooks mHooks;
};

} // namespace qel
