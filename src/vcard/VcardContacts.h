#pragma once

// Contacts as vCards and back.
//
// Every contact property with a vCard counterpart is written as it (N, FN, ORG, TITLE, ROLE, the
// numbers as TEL by type, the three addresses as ADR, EMAIL, URL, BDAY, ANNIVERSARY, NOTE,
// CATEGORIES, NICKNAME, the spouse, children, manager and assistant ...); every other property
// the contact holds is written as "X-QEL-<property>", so a contact written and read again by this
// program comes back with every property it had. The card's UID is the contact's own UID when it
// came from a card, else its EntryID; reading a card whose UID is that of a contact of the folder
// updates that contact instead of adding another.

#include "VcardFormat.h"

#include "outlook/Outlook.h"

#include <QString>
#include <vector>

namespace qel::vcard {

// Where a contact keeps the UID of the card it was read from (a named property).
inline const QString kUidSet = QStringLiteral("QEL.vCard");
inline const QString kUidTag = QStringLiteral("UID");

// The UID a card of this contact carries.
QString uidOf(const ol::Item& contact);

// One contact as a card. `scratch` is an unsaved contact of any folder that the writer may
// overwrite: it works out which derived values (full name, full addresses, subject, file-as)
// the components alone would not give back.
QByteArray cardOf(const ol::Item& contact, Version version, ol::Item& scratch);

// Gives `contact` the properties of the card: those the card does not name are cleared (an
// update takes the card as the whole contact); named properties other than the UID are kept.
void applyCard(const Card& card, ol::Item& contact);

struct ExportSummary {
    int contacts = 0;
    QStringList files; // the files written
};

// Writes the contacts of `folder` (distribution lists and other items are left out) to `path`:
// a file (a name ending in ".vcf", or an existing file) gets every card, a folder one file per
// contact named by its UID. Nothing is changed unless every file is written: the file is replaced
// whole, a folder's files are written aside and moved in at the end. Throws VcardError.
ExportSummary exportContacts(const ol::FolderPtr& folder, const QString& path, Version version);

// Every card of `path`: a .vcf file, or every .vcf file of a folder (by name). Throws VcardError
// naming the file and line of the first fault, or a folder without any .vcf file.
std::vector<Card> readCards(const QString& path);

struct ImportSummary {
    int created = 0;
    int updated = 0;
};

// Writes the cards into `folder` in one transaction: all or nothing. Throws VcardError for a
// card that cannot be stored (naming its file and line); store errors pass as ol::Error.
ImportSummary importCards(const ol::FolderPtr& folder, const std::vector<Card>& cards);

// The summary lines of the file commands: "Exported 3 contacts to FILE." / "Imported 5 contacts
// from FILE (2 new, 3 updated)."
QString exportSummaryText(const ExportSummary& summary, const QString& path);
QString importSummaryText(const ImportSummary& summary, const QString& path);

} // namespace qel::vcard
