#include "store_schema.hpp"

#include <string>

#include "item_kinds.hpp"
#include "sqlite_handles.hpp"

namespace lumora::pim {

namespace {

// Version 1 had no version mark (0); version 2 added the trash columns and the journal;
// version 3 the items' UIDs; version 4 the attachments' content ids; version 5 the state of the
// default folders kept in step with a groupware server, and whether a share lets its grantee
// change what the folder holds.
constexpr int kSchemaVersion = 6;

constexpr std::string_view kTables = R"sql(
CREATE TABLE IF NOT EXISTS mailboxes(
  id INTEGER PRIMARY KEY, store_id TEXT NOT NULL UNIQUE, user_name TEXT NOT NULL UNIQUE COLLATE NOCASE,
  is_current INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS folders(
  id INTEGER PRIMARY KEY, entry_id TEXT NOT NULL UNIQUE, mailbox INTEGER NOT NULL REFERENCES mailboxes(id),
  parent INTEGER REFERENCES folders(id), name TEXT NOT NULL, default_item_type INTEGER NOT NULL,
  folder_type INTEGER);
CREATE INDEX IF NOT EXISTS folders_by_parent ON folders(parent, id);
CREATE UNIQUE INDEX IF NOT EXISTS default_folders ON folders(mailbox, folder_type) WHERE folder_type IS NOT NULL;
CREATE TABLE IF NOT EXISTS items(
  id INTEGER PRIMARY KEY AUTOINCREMENT, entry_id TEXT NOT NULL UNIQUE,
  folder INTEGER NOT NULL REFERENCES folders(id), class INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS items_by_folder ON items(folder, id);
CREATE TABLE IF NOT EXISTS item_values(
  item INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, name TEXT NOT NULL, kind INTEGER NOT NULL, value,
  PRIMARY KEY(item, name)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS user_properties(
  item INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, position INTEGER NOT NULL, name TEXT NOT NULL,
  type INTEGER NOT NULL, kind INTEGER NOT NULL, value, PRIMARY KEY(item, position)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS folder_fields(
  folder INTEGER NOT NULL REFERENCES folders(id), name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL,
  PRIMARY KEY(folder, name)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS shares(
  owner INTEGER NOT NULL REFERENCES mailboxes(id), folder_type INTEGER NOT NULL,
  grantee INTEGER NOT NULL REFERENCES mailboxes(id), writable INTEGER NOT NULL DEFAULT 1,
  PRIMARY KEY(owner, folder_type, grantee)) WITHOUT ROWID;
-- A folder of another mailbox whose access is its own rather than its default folder's share: a
-- colleague's further calendar the server shares to read only beside one it lets the person change.
CREATE TABLE IF NOT EXISTS folder_access(
  folder INTEGER PRIMARY KEY REFERENCES folders(id) ON DELETE CASCADE, writable INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS selection(position INTEGER PRIMARY KEY, entry_id TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS recipients(
  item INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, position INTEGER NOT NULL, type INTEGER NOT NULL,
  name TEXT NOT NULL, PRIMARY KEY(item, position)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS attachments(
  item INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, position INTEGER NOT NULL, file_name TEXT NOT NULL,
  data BLOB NOT NULL, content_id TEXT, PRIMARY KEY(item, position));
CREATE TABLE IF NOT EXISTS injected_faults(member TEXT PRIMARY KEY COLLATE NOCASE, number INTEGER NOT NULL);

-- One entry per top-level call that changed items: when (milliseconds since 1970), what made it,
-- how many items it created, changed, moved and removed for good, and the entry it undid.
CREATE TABLE IF NOT EXISTS journal(
  id INTEGER PRIMARY KEY AUTOINCREMENT, at INTEGER NOT NULL, what TEXT NOT NULL,
  created INTEGER NOT NULL DEFAULT 0, changed INTEGER NOT NULL DEFAULT 0, moved INTEGER NOT NULL DEFAULT 0,
  removed INTEGER NOT NULL DEFAULT 0, undoes INTEGER);
-- Each item an entry touched, once: the folder it was in before the entry and after it, and
-- whether the entry created it, changed it (its old values are kept below) or removed it for good.
-- Items are named by id and entry id rather than referenced, since an entry outlives what it removed.
CREATE TABLE IF NOT EXISTS journal_items(
  entry INTEGER NOT NULL REFERENCES journal(id) ON DELETE CASCADE, item INTEGER NOT NULL, entry_id TEXT NOT NULL,
  class INTEGER NOT NULL, folder_before INTEGER NOT NULL, folder_after INTEGER NOT NULL,
  created INTEGER NOT NULL DEFAULT 0, changed INTEGER NOT NULL DEFAULT 0, removed INTEGER NOT NULL DEFAULT 0,
  user_properties_kept INTEGER NOT NULL DEFAULT 0, PRIMARY KEY(entry, item)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS journal_items_by_item ON journal_items(item, entry);
-- A changed property's value before the entry; kind NULL when the item had no value for it.
CREATE TABLE IF NOT EXISTS journal_values(
  entry INTEGER NOT NULL, item INTEGER NOT NULL, name TEXT NOT NULL, kind INTEGER, value,
  PRIMARY KEY(entry, item, name), FOREIGN KEY(entry, item) REFERENCES journal_items(entry, item) ON DELETE CASCADE)
  WITHOUT ROWID;
-- The whole list of user properties before the entry, for items whose list it changed.
CREATE TABLE IF NOT EXISTS journal_user_properties(
  entry INTEGER NOT NULL, item INTEGER NOT NULL, position INTEGER NOT NULL, name TEXT NOT NULL,
  type INTEGER NOT NULL, kind INTEGER NOT NULL, value, PRIMARY KEY(entry, item, position),
  FOREIGN KEY(entry, item) REFERENCES journal_items(entry, item) ON DELETE CASCADE) WITHOUT ROWID;

-- A default folder kept in step with a collection of a groupware account (the account by its
-- name in accounts.json), with what the server gave to resume from: its sync token, else its ctag;
-- and the last journal entry whose changes to the folder's items have reached the server. A
-- calendar that takes events and tasks alike is followed by both the Calendar and Tasks.
CREATE TABLE IF NOT EXISTS sync_bindings(
  folder INTEGER PRIMARY KEY REFERENCES folders(id), account TEXT NOT NULL, collection_url TEXT NOT NULL,
  sync_token TEXT NOT NULL DEFAULT '', ctag TEXT NOT NULL DEFAULT '', push_cursor INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS sync_bindings_by_account ON sync_bindings(account, folder);
-- Each item a bound folder shares with the server: its resource's address and etag, and the
-- server's last text of it, which a change made here is written over so that the lines another
-- program keeps there survive. An item removed for good keeps its row (no reference to items)
-- until its removal has reached the server, which needs the address and etag.
CREATE TABLE IF NOT EXISTS sync_items(
  item INTEGER PRIMARY KEY,
  folder INTEGER NOT NULL REFERENCES sync_bindings(folder), href TEXT NOT NULL, etag TEXT NOT NULL,
  server_text TEXT NOT NULL, UNIQUE(folder, href));
)sql";

int schemaVersion(Database& db) {
    Statement version(db, "PRAGMA user_version");
    version.step();
    return static_cast<int>(version.integer(0));
}

bool hasColumn(Database& db, std::string_view table, std::string_view column) {
    Statement columns(db, "SELECT 1 FROM pragma_table_info(?) WHERE name = ?");
    columns.bind(1, table).bind(2, column);
    return columns.step();
}

}  // namespace

void prepareSchema(Database& db) {
    if (schemaVersion(db) >= kSchemaVersion) return;
    Transaction transaction(db);
    if (schemaVersion(db) >= kSchemaVersion) return;  // another process upgraded it while we waited
    db.execute(kTables);
    // Where a deleted item came from, and when, while it lies in Deleted Items.
    if (!hasColumn(db, "items", "deleted_from")) db.execute("ALTER TABLE items ADD COLUMN deleted_from INTEGER");
    if (!hasColumn(db, "items", "deleted_at")) db.execute("ALTER TABLE items ADD COLUMN deleted_at INTEGER");
    // The identity other programs know an item by (iCalendar and vCard UID), matched on import.
    // Items of older stores take the UID their exports carried until now, so that those files,
    // imported again, find them: the entry id, as a URN for a contact.
    if (!hasColumn(db, "items", "uid")) {
        db.execute("ALTER TABLE items ADD COLUMN uid TEXT");
        db.execute("UPDATE items SET uid = CASE class WHEN " + std::to_string(static_cast<int>(ItemClass::Contact)) +
                   " THEN 'urn:lumora:' || entry_id ELSE entry_id END");
    }
    db.execute("CREATE INDEX IF NOT EXISTS items_by_uid ON items(uid)");
    // The id an HTML body names an attachment by to show it in place; none for older attachments.
    if (!hasColumn(db, "attachments", "content_id")) db.execute("ALTER TABLE attachments ADD COLUMN content_id TEXT");
    // Shares made before a share could be read-only let their grantee change items, and still do.
    if (!hasColumn(db, "shares", "writable"))
        db.execute("ALTER TABLE shares ADD COLUMN writable INTEGER NOT NULL DEFAULT 1");
    db.execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
    transaction.commit();
}

}  // namespace lumora::pim
