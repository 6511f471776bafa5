// Joint commits of two stores: the second store's changes travel in the first store's commit,
// and a later open writes them into the second store when the process died in between.
//
// Tables, made when first needed (a store without them is as good as before):
//   joint_pending(id, peer_store, changes) in the first store: the second store's changes, kept
//       until the second store holds them;
//   joint_done(id) in the second store: written in the same commit as the changes, so a reader
//       of both knows whether the second commit happened.

#define SQLITE_ENABLE_SESSION 1
#define SQLITE_ENABLE_PREUPDATE_HOOK 1
#include "StoreInternal.h"

#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

namespace ol {
namespace detail {
namespace {

void forget(SQLite::Database& db, const char* sql, const std::string& id) {
    try {
        SQLite::Statement q(db, sql);
        q.bind(1, id);
        q.exec();
    } catch (const std::exception&) {
        // A row left behind is finished work: the next open removes or ignores it.
    }
}

// A changed row the changes no longer fit: an item changed since is still replaced or deleted
// as the batch did; an item that is gone stays gone; a row that another writer took is kept.
int onConflict(void*, int conflict, sqlite3_changeset_iter*) {
    return conflict == SQLITE_CHANGESET_DATA ? SQLITE_CHANGESET_REPLACE : SQLITE_CHANGESET_OMIT;
}

} // namespace

// Writes the pending changes `id` into `peer` unless it holds them already. Returns false when
// it could not (the pending row stays for the next open).
static bool completeOne(AppState& app, StoreState& peer, const std::string& id,
                        const std::vector<char>& changes) {
    try {
        peer.ensureWritable();
        SQLite::Database& db = *peer.db;
        db.exec("BEGIN IMMEDIATE");
        try {
            db.exec("CREATE TABLE IF NOT EXISTS joint_done(id TEXT PRIMARY KEY)");
            SQLite::Statement done(db, "SELECT 1 FROM joint_done WHERE id = ?");
            done.bind(1, id);
            if (!done.executeStep()) {
                const int rc =
                    sqlite3changeset_apply(db.getHandle(), int(changes.size()),
                                           const_cast<char*>(changes.data()), nullptr, onConflict, nullptr);
                if (rc != SQLITE_OK)
                    throw SQLite::Exception(db.getHandle(), rc);
                SQLite::Statement mark(db, "INSERT INTO joint_done(id) VALUES (?)");
                mark.bind(1, id);
                mark.exec();
                app.warning(QStringLiteral("Changes to %1 that were cut off before they were saved have "
                                           "been completed.")
                                .arg(peer.file));
            }
            db.exec("COMMIT");
        } catch (...) {
            db.exec("ROLLBACK");
            throw;
        }
        return true;
    } catch (const std::exception& e) {
        app.warning(QStringLiteral("Changes to %1 that were cut off before they were saved could not be "
                                   "completed yet: %2")
                        .arg(peer.file, QString::fromUtf8(e.what())));
        return false;
    }
}

std::shared_ptr<void> startRecording(StoreState& store) {
    sqlite3_session* session = nullptr;
    int rc = sqlite3session_create(store.db->getHandle(), "main", &session);
    for (const char* table : {"folders", "items"}) {
        if (rc == SQLITE_OK)
            rc = sqlite3session_attach(session, table);
    }
    if (rc != SQLITE_OK) {
        if (session)
            sqlite3session_delete(session);
        throw Error(
            kErrStoreFile,
            QStringLiteral("The changes to %1 cannot be recorded (%2).").arg(store.file, sqlite3_errstr(rc)));
    }
    return std::shared_ptr<void>(session,
                                 [](void* s) { sqlite3session_delete(static_cast<sqlite3_session*>(s)); });
}

void completeJointCommits(AppState& app) {
    for (const std::shared_ptr<StoreState>& store : app.stores) {
        std::vector<std::tuple<std::string, QString, std::vector<char>>> pending;
        try {
            if (!store->db->tableExists("joint_pending"))
                continue;
            SQLite::Statement q(*store->db, "SELECT id, peer_store, changes FROM joint_pending");
            while (q.executeStep()) {
                const SQLite::Column blob = q.getColumn(2);
                const char* data = static_cast<const char*>(blob.getBlob());
                pending.emplace_back(q.getColumn(0).getString(),
                                     QString::fromStdString(q.getColumn(1).getString()),
                                     std::vector<char>(data, data + blob.getBytes()));
            }
        } catch (const std::exception&) {
            continue;
        }
        for (const auto& [id, peerId, changes] : pending) {
            StoreState* peer = nullptr;
            for (const std::shared_ptr<StoreState>& other : app.stores) {
                if (other->storeId == peerId)
                    peer = other.get();
            }
            if (!peer) {
                app.warning(QStringLiteral("%1 holds changes for another store that is not open; they are "
                                           "kept until it is.")
                                .arg(store->file));
                continue;
            }
            if (!completeOne(app, *peer, id, changes))
                continue;
            forget(*store->db, "DELETE FROM joint_pending WHERE id = ?", id);
            forget(*peer->db, "DELETE FROM joint_done WHERE id = ?", id);
        }
    }
}

} // namespace detail

void Batch::commitWith(Batch& recorded, const std::function<void()>& between) {
    if (!mOpen || !recorded.mOpen || !recorded.mRecording || recorded.mStore == mStore)
        throw Error(kErrInvalidArgument,
                    QStringLiteral("commitWith needs an open recorded batch of another store."));
    auto* session = static_cast<sqlite3_session*>(recorded.mRecording.get());
    int size = 0;
    void* data = nullptr;
    if (const int rc = sqlite3session_changeset(session, &size, &data); rc != SQLITE_OK)
        throw Error(kErrStoreFile, QStringLiteral("The changes to %1 cannot be recorded (%2).")
                                       .arg(recorded.mStore->file, sqlite3_errstr(rc)));
    const std::unique_ptr<void, void (*)(void*)> changes(data, sqlite3_free);
    if (size == 0) {
        commit();
        if (between)
            between();
        recorded.commit();
        return;
    }
    const std::string id = detail::newEntryId().toStdString();
    try {
        SQLite::Database& first = *mStore->db;
        first.exec("CREATE TABLE IF NOT EXISTS joint_pending(id TEXT PRIMARY KEY, peer_store TEXT NOT NULL, "
                   "changes BLOB NOT NULL)");
        SQLite::Statement keep(first, "INSERT INTO joint_pending(id, peer_store, changes) VALUES (?, ?, ?)");
        keep.bind(1, id);
        keep.bind(2, recorded.mStore->storeId.toStdString());
        keep.bind(3, data, size);
        keep.exec();
        SQLite::Database& second = *recorded.mStore->db;
        second.exec("CREATE TABLE IF NOT EXISTS joint_done(id TEXT PRIMARY KEY)");
        SQLite::Statement mark(second, "INSERT INTO joint_done(id) VALUES (?)");
        mark.bind(1, id);
        mark.exec();
    } catch (const std::exception& e) {
        detail::throwStoreError(*mStore, e);
    }
    commit();
    if (between)
        between();
    try {
        recorded.commit();
    } catch (const Error& e) {
        // The first store is committed with the changes for the second: write them now, or at
        // the next open.
        const std::vector<char> copy(static_cast<const char*>(data), static_cast<const char*>(data) + size);
        recorded.abandon();
        const std::shared_ptr<detail::AppState> app = mStore->app.lock();
        if (!app || !detail::completeOne(*app, *recorded.mStore, id, copy))
            throw Error(
                kErrStoreFile,
                QStringLiteral("%1 Its changes are kept and are saved the next time the stores are opened.")
                    .arg(e.message()));
    }
    detail::forget(*mStore->db, "DELETE FROM joint_pending WHERE id = ?", id);
    detail::forget(*recorded.mStore->db, "DELETE FROM joint_done WHERE id = ?", id);
}

} // namespace ol
