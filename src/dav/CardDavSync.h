#pragma once

// Two-way sync of a local contact folder with a CardDAV address book (RFC 6352), and finding the
// address books and calendars of an account. No widgets: progress and cancel come through
// `Progress`, the server through `DavHttp`.
//
// What the folder keeps (ol::Folder records, keyed by the address book's address, so another
// address book starts afresh): for each remote card "CardDAV|<book>|href|<path>" = the local
// EntryID, the card's ETag and a hash of the local contact's card as it was last in step with the
// server; and "CardDAV|<book>|token", the collection's sync token.
//
// What a run promises:
// - The changes since the last sync are read with sync-collection (RFC 6578) when the server has
//   it, else from a PROPFIND of every card's ETag.
// - Every write is conditional: a change with If-Match on the ETag last seen, a new card with
//   If-None-Match: *, a removal with If-Match. A 412 answer means someone changed the card
//   meanwhile: it is fetched again and handled as a conflict, never overwritten.
// - A contact changed on both sides since the last sync is a conflict: the newer version (the
//   local change time against the card's REV; a card without REV counts as the newer) stays in
//   place, the other is kept as a new contact with the category "Sync Conflict" added, which the
//   sync then uploads like any new contact. Nothing is lost. Both sides saying the same (the same
//   edit made on each) is no conflict: the two are linked again.
// - A record is written only after the server confirmed the write, and a downloaded contact and
//   its record commit together. A run cut off anywhere leaves records that are true; the next run
//   finds a contact whose upload the server confirmed but whose record was lost by its 412 on
//   If-None-Match, fetches the card and links the two when they say the same; a change the server
//   took whose record was lost comes back as a card that says what the contact says, and is linked
//   the same way. Nothing doubles.
// - A card that cannot be read as a contact (the debug log says why) is left alone on both sides:
//   not taken, not removed here or there, and counted in the status.
// - A change sent to a card keeps what the card holds beyond a contact's fields (a photo, a
//   birthday without a year, another program's properties) as the server has it.
// - A write the server refuses for that card alone (4xx: too large, a UID it holds elsewhere, a
//   card it does not accept) does not stop the run: it is counted, logged and tried again next time;
//   the run then reports not being in step.
// - The sync token is stored only at the end of a run that went through and took every change
//   it was told of (not one that left a card alone, or missed one gone before it was fetched).
// - The password never reaches a status line, an error text or the log.

#include "DavHttp.h"

#include "outlook/Outlook.h"

#include <QList>
#include <QString>
#include <QUrl>

namespace qel {
class Progress;
}

namespace qel::dav {

// The category a conflict's other version is kept under.
inline const QString kConflictCategory = QStringLiteral("Sync Conflict");

struct DavCollection {
    QUrl url;
    QString name; // the display name, else the last path segment
};

struct DavDiscovery {
    QList<DavCollection> addressBooks;
    QList<DavCollection> calendars;
    QString error; // "" when the account was found
};

// .well-known/carddav (and caldav), else the address itself: the current user principal, its
// address book and calendar home sets, and the collections in them.
DavDiscovery discover(DavHttp& http, const QUrl& server);

struct DavSyncSummary {
    bool ok = false;
    bool cancelled = false;
    QString error;            // why the run stopped ("" when it went through)
    int downloaded = 0;       // new contacts from the server
    int updatedHere = 0;      // contacts changed from the server
    int deletedHere = 0;      // contacts removed because the server removed them
    int uploaded = 0;         // new cards on the server
    int updatedThere = 0;     // cards changed on the server
    int deletedThere = 0;     // cards removed from the server
    int conflicts = 0;        // contacts changed on both sides
    int unreadable = 0;       // cards the vCard mapping refused: left alone on both sides
    int refused = 0;          // writes of single cards the server refused: kept here, sent again
    bool incremental = false; // the changes came from sync-collection
    // "CardDAV: 3 new here, 2 new on the server." and sentences for conflicts and unreadable cards.
    QString statusText() const;
};

class ContactSync {
public:
    ContactSync(DavHttp& http, const QUrl& addressBook, ol::FolderPtr folder);
    void setProgress(Progress* progress) { mProgress = progress; }
    // Local writes are committed in groups of this many (and at the end, and when a run stops).
    void setCommitEvery(int count) { mCommitEvery = count; }
    DavSyncSummary run();

private:
    struct Impl;
    DavHttp& mHttp;
    QUrl mBook;
    ol::FolderPtr mFolder;
    Progress* mProgress = nullptr;
    int mCommitEvery = 200;
};

} // namespace qel::dav
