#include "server_wins.hpp"

#include "Platform/Outlook/dav_marks.hpp"
#include "Platform/Outlook/dav_resources.hpp"
#include "server_entries.hpp"

namespace lumora::sync {

using pim::PimStore;

namespace {

using StoreWrite = pim::StoreTransactions::Write;

std::string subjectOf(const pim::ItemRecord& item) {
    for (const char* field : {"Subject", "FullName", "FileAs"}) {
        auto value = item.values.find(field);
        if (value != item.values.end() && !value->second.toString().empty()) return value->second.toString();
    }
    return {};
}

// Commits the conflict's write and names the conflict by the item as it is now and the entry
// the write made: an entry that touched nothing is dropped, and then there is nothing to undo.
SyncConflict committedConflict(PimStore& store, StoreWrite& write, SyncConflict::Kind kind, const pim::ItemRecord& item) {
    const int64_t entry = store.journal().entryBeingWritten();
    write.commit();
    pim::Statement& row = store.statements()("SELECT 1 FROM journal WHERE id = ?");
    row.bind(1, entry);
    const bool kept = entry != 0 && row.step();
    return {kind, item.entryId, subjectOf(item), kept ? entry : 0};
}

}  // namespace

pim::UidMatcher serverItemMatcher(PimStore& store, int64_t folder) {
    pim::UidMatcher matcher(store, store.mailboxOfFolder(folder), pim::resourceFieldsOf, pim::isMarkUserProperty);
    matcher.matchOnlyIn(folder);
    return matcher;
}

std::optional<int64_t> currentFolderOf(PimStore& store, int64_t item) {
    pim::Statement& row = store.statements()("SELECT folder FROM items WHERE id = ?");
    row.bind(1, item);
    if (!row.step()) return std::nullopt;
    return row.integer(0);
}

SyncConflict takeServerVersion(PimStore& store, const SyncBinding& binding, std::optional<int64_t> item,
                               pim::ItemRecord serverItem, SyncedItem synced) {
    auto write = store.beginWrite(kConflictJournalWhat);
    const std::optional<int64_t> folder = item ? currentFolderOf(store, *item) : std::nullopt;
    const SyncConflict::Kind kind =
        folder == binding.folder ? SyncConflict::Kind::ChangedOnBoth : SyncConflict::Kind::DeletedHereChangedThere;
    if (!folder) {
        if (item) forgetSyncedItem(store, *item);
        item.reset();
    } else if (*folder != binding.folder) {
        store.moveItem(*item, binding.folder);
    }
    pim::UidMatcher matcher = serverItemMatcher(store, binding.folder);
    const size_t position = matcher.add(std::move(serverItem), binding.folder, item);
    matcher.save();
    const pim::ItemRecord& saved = matcher.items()[position];
    synced.item = saved.id;
    rememberSyncedItem(store, binding.folder, synced);
    return committedConflict(store, write, kind, saved);
}

SyncConflict keepLocalVersionInDeletedItems(PimStore& store, int64_t item) {
    auto write = store.beginWrite(kConflictJournalWhat);
    forgetSyncedItem(store, item);
    store.deleteItem(item);
    return committedConflict(store, write, SyncConflict::Kind::ChangedHereDeletedThere, store.loadItem(item));
}

}  // namespace lumora::sync
