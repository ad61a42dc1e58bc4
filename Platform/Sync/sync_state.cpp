#include "sync_state.hpp"

namespace lumora::sync {

using pim::PimStore;
using pim::Statement;

// The statement cache keys statements by their text's address: every text here is a literal.
namespace {

SyncBinding readBinding(Statement& row) {
    return {row.integer(0), row.text(1), row.text(2), row.text(3), row.text(4), row.integer(5)};
}

SyncedItem readSynced(Statement& row) { return {row.integer(0), row.text(1), row.text(2), row.text(3)}; }

}  // namespace

void bindFolder(PimStore& store, const SyncBinding& binding) {
    std::optional<SyncBinding> bound = bindingOfFolder(store, binding.folder);
    if (bound && bound->account == binding.account && bound->collectionUrl == binding.collectionUrl) return;
    auto write = store.beginWrite("sync binding");
    store.statements()("DELETE FROM sync_items WHERE folder = ?").bind(1, binding.folder).run();
    store.statements()(
        "INSERT OR REPLACE INTO sync_bindings(folder, account, collection_url, sync_token, ctag, push_cursor)"
        " VALUES(?, ?, ?, ?, ?, (SELECT IFNULL(MAX(id), 0) FROM journal))")
        .bind(1, binding.folder)
        .bind(2, binding.account)
        .bind(3, binding.collectionUrl)
        .bind(4, binding.syncToken)
        .bind(5, binding.ctag)
        .run();
    write.commit();
}

std::optional<SyncBinding> bindingOfFolder(PimStore& store, int64_t folder) {
    Statement& row = store.statements()(
        "SELECT folder, account, collection_url, sync_token, ctag, push_cursor FROM sync_bindings WHERE folder = ?");
    row.bind(1, folder);
    if (!row.step()) return std::nullopt;
    return readBinding(row);
}

std::vector<SyncBinding> bindingsOfAccount(PimStore& store, std::string_view account) {
    Statement& rows = store.statements()(
        "SELECT folder, account, collection_url, sync_token, ctag, push_cursor FROM sync_bindings WHERE account = ?"
        " ORDER BY folder");
    rows.bind(1, account);
    std::vector<SyncBinding> bindings;
    while (rows.step()) bindings.push_back(readBinding(rows));
    return bindings;
}

void rememberPosition(PimStore& store, int64_t folder, std::string_view syncToken, std::string_view ctag) {
    store.statements()("UPDATE sync_bindings SET sync_token = ?, ctag = ? WHERE folder = ?")
        .bind(1, syncToken)
        .bind(2, ctag)
        .bind(3, folder)
        .run();
}

void advancePushCursor(PimStore& store, int64_t folder, int64_t entry) {
    store.statements()("UPDATE sync_bindings SET push_cursor = MAX(push_cursor, ?) WHERE folder = ?")
        .bind(1, entry)
        .bind(2, folder)
        .run();
}

std::optional<SyncedItem> syncedItemAt(PimStore& store, int64_t folder, std::string_view href) {
    Statement& row = store.statements()("SELECT item, href, etag, server_text FROM sync_items WHERE folder = ? AND href = ?");
    row.bind(1, folder).bind(2, href);
    if (!row.step()) return std::nullopt;
    return readSynced(row);
}

std::optional<SyncedItem> syncedItemOf(PimStore& store, int64_t item) {
    Statement& row = store.statements()("SELECT item, href, etag, server_text FROM sync_items WHERE item = ?");
    row.bind(1, item);
    if (!row.step()) return std::nullopt;
    return readSynced(row);
}

std::optional<int64_t> syncedFolderOf(PimStore& store, int64_t item) {
    Statement& row = store.statements()("SELECT folder FROM sync_items WHERE item = ?");
    row.bind(1, item);
    if (!row.step()) return std::nullopt;
    return row.integer(0);
}

std::map<std::string, std::string> knownEtags(PimStore& store, int64_t folder) {
    Statement& rows = store.statements()("SELECT href, etag FROM sync_items WHERE folder = ?");
    rows.bind(1, folder);
    std::map<std::string, std::string> etags;
    while (rows.step()) etags.emplace(rows.text(0), rows.text(1));
    return etags;
}

void rememberSyncedItem(PimStore& store, int64_t folder, const SyncedItem& synced) {
    // One address names one item: an item the server moved to another address is found there.
    store.statements()("DELETE FROM sync_items WHERE folder = ? AND href = ? AND item <> ?")
        .bind(1, folder)
        .bind(2, synced.href)
        .bind(3, synced.item)
        .run();
    store.statements()("INSERT OR REPLACE INTO sync_items(item, folder, href, etag, server_text) VALUES(?, ?, ?, ?, ?)")
        .bind(1, synced.item)
        .bind(2, folder)
        .bind(3, synced.href)
        .bind(4, synced.etag)
        .bind(5, synced.serverText)
        .run();
}

void forgetSyncedItem(PimStore& store, int64_t item) {
    store.statements()("DELETE FROM sync_items WHERE item = ?").bind(1, item).run();
}

}  // namespace lumora::sync

namespace lumora::sync {

void unbindFolder(PimStore& store, int64_t folder) {
    auto write = store.beginWrite("sync unbinding");
    store.statements()("DELETE FROM sync_items WHERE folder = ?").bind(1, folder).run();
    store.statements()("DELETE FROM sync_bindings WHERE folder = ?").bind(1, folder).run();
    write.commit();
}

}  // namespace lumora::sync
