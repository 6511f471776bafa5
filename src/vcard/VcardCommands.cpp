#include "VcardCommands.h"

#include "IcsExport.h"
#include "VcardContacts.h"

#include "core/Tag.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QStandardPaths>

namespace qel {

namespace {

const QString kFilter = QStringLiteral("vCard files (*.vcf *.vcard);;All files (*)");
const QString kIcsFilter = QStringLiteral("iCalendar files (*.ics);;All files (*)");

// A window without a calendar folder member: the iCalendar export finds none.
const ol::FolderPtr& noFolder() {
    static const ol::FolderPtr none;
    return none;
}

QString documents() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(dir).exists() ? dir : QDir::homePath();
}

} // namespace

VcardCommands::VcardCommands(const ol::FolderPtr& contactFolder, QObject* syncMark, VcardHooks hooks)
    : VcardCommands(contactFolder, noFolder(), syncMark, std::move(hooks)) {}

VcardCommands::VcardCommands(const ol::FolderPtr& contactFolder, const ol::FolderPtr& calendarFolder,
                             QObject* syncMark, VcardHooks hooks)
    : mContactFolder(contactFolder), mCalendarFolder(calendarFolder), mSyncMark(syncMark),
      mHooks(std::move(hooks)) {}

bool VcardCommands::busy() const {
    if (Tag(mSyncMark) != kSyncingTag)
        return false;
    dialogs().message(QStringLiteral("Another operation is running; try again when it has finished."),
                      QStringLiteral("vCard"), MsgIcon::Exclamation);
    return true;
}

void VcardCommands::menuExportVcard_Click() {
    if (busy() || !mContactFolder)
        return;
    QString path = dialogs().saveFile(
        exportTitle(), kFilter, QDir(documents()).filePath(mContactFolder->Name() + QStringLiteral(".vcf")));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".vcf");
    SyncingScope syncing(mSyncMark);
    try {
        const vcard::ExportSummary summary = vcard::exportContacts(mContactFolder, path, vcard::Version::V3);
        dialogs().message(vcard::exportSummaryText(summary, QDir::toNativeSeparators(path)), exportTitle(),
                          MsgIcon::Information);
    } catch (const vcard::VcardError& e) {
        dialogs().message(e.message(), exportTitle(), MsgIcon::Critical);
    } catch (const ol::Error& e) {
        dialogs().message(e.message(), exportTitle(), MsgIcon::Critical);
    }
}

void VcardCommands::menuImportVcard_Click() {
    if (busy() || !mContactFolder)
        return;
    const QString path = dialogs().openFile(importTitle(), kFilter, documents());
    if (path.isEmpty())
        return;
    bool imported = false;
    {
        SyncingScope syncing(mSyncMark);
        try {
            const std::vector<vcard::Card> cards = vcard::readCards(path);
            const vcard::ImportSummary summary = vcard::importCards(mContactFolder, cards);
            dialogs().message(vcard::importSummaryText(summary, QDir::toNativeSeparators(path)),
                              importTitle(), MsgIcon::Information);
            imported = true;
        } catch (const vcard::VcardError& e) {
            dialogs().message(e.message() + QStringLiteral("\r\n\r\nNothing was imported."), importTitle(),
                              MsgIcon::Critical);
        } catch (const ol::Error& e) {
            dialogs().message(e.message() + QStringLiteral("\r\n\r\nNothing was imported."), importTitle(),
                              MsgIcon::Critical);
        }
    }
    if (imported && mHooks.reload)
        mHooks.reload();
}

void VcardCommands::menuExportIcs_Click() {
    if (busy())
        return;
    if (!mCalendarFolder) {
        dialogs().message(QStringLiteral("No calendar folder is open."), icsTitle(), MsgIcon::Exclamation);
        return;
    }
    const int which = dialogs().choose(
        QStringLiteral("Export every appointment of %1, or only the QEL Days?").arg(mCalendarFolder->Name()),
        icsTitle(),
        {QStringLiteral("All Appointments"), QStringLiteral("QEL Days Only"), QStringLiteral("Cancel")},
        MsgIcon::Question);
    if (which != 0 && which != 1)
        return;
    const bool specialDaysOnly = which == 1;
    QString path = dialogs().saveFile(
        icsTitle(), kIcsFilter,
        QDir(documents())
            .filePath((specialDaysOnly ? QStringLiteral("QELDays") : mCalendarFolder->Name()) +
                      QStringLiteral(".ics")));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ics");
    SyncingScope syncing(mSyncMark);
    try {
        const ical::IcsSummary summary = ical::exportCalendar(mCalendarFolder, path, specialDaysOnly);
        dialogs().message(QStringLiteral("Exported %1 appointment(s) to %2.")
                              .arg(summary.events)
                              .arg(QDir::toNativeSeparators(path)),
                          icsTitle(), MsgIcon::Information);
    } catch (const vcard::VcardError& e) {
        dialogs().message(e.message(), icsTitle(), MsgIcon::Critical);
    } catch (const ol::Error& e) {
        dialogs().message(e.message(), icsTitle(), MsgIcon::Critical);
    }
}

} // namespace qel
