#include "server_wins.hpp"

#include "Platform/Outlook/dav_marks.hpp"
#include "Platform/Outlook/dav_resources.hpp"
#include "server_entries.hpp"

namespace lumora::sync {

using pim::PimStore;

namespace {

std::string subjectOf(const pim::ItemRecord& item) {
    for (const char* field : {"Subject", "FullName", "FileAs"}) {
        auto value = item.values.find(field);
        if (value != item.values.end() && !value->second.toString().empty()) return value->second.toString();
    }
    return {};
}

// The entry the running write makes, as it stands after the commit: an entry that touched
// nothing is dropped, and then there is nothing to undo.
int64_t committedEntry(PimStore& store, int64_t entry) {
    if (entry == 0) return 0;
    pim::Statement& row = store.statements()("SELECT 1 FROM journal WHERE id = ?");
    row.bind(1, entry);
    return row.step() ? entry : 0;
}

}  // namespace

pim::UidMatcher serverItemMatcher(PimStore& store, int64_t folder) {
    return pim::UidMatcher(store, store.mailboxOfFolder(folder), pim::resourceFieldsOf, pim::isMarkUserProperty);
}

std::optional<int64_t> currentFolderOf(PimStore& store, int64_t item) {
    pim::Statement& row = store.statements()("SELECT folder FROM items WHERE id = ?");
    row.bind(1, item);
    if (!row.step()) return std::nullopt;
    return row.integer(0);
}

SyncConflict takeServerVersion(PimStore& store, const SyncBinding& binding, std::optional<int64_t> item,
                               pim::ItemRecord serverItem, SyncedItem synced) {
    SyncConflict conflict;
    auto write = store.beginWrite(kConflictJournalWhat);
    const std::optional<int64_t> folder = item ? currentFolderOf(store, *item) : std::nullopt;
    conflict.kind = folder == binding.folder ? SyncConflict::Kind::ChangedOnBoth : SyncConflict::Kind::DeletedHereChangedThere;
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
    conflict.entryId = saved.entryId;
    conflict.subject = subjectOf(saved);
    const int64_t entry = store.journal().entryBeingWritten();
    write.commit();
    conflict.journalEntry = committedEntry(store, entry);
    return conflict;
}

SyncConflict keepLocalVersionInDeletedItems(PimStore& store, int64_t item) {
    SyncConflict conflict;
    conflict.kind = SyncConflict::Kind::ChangedHereDeletedThere;
    auto write = store.beginWrite(kConflictJournalWhat);
    forgetSyncedItem(store, item);
    store.deleteItem(item);
    const pim::ItemRecord moved = store.loadItem(item);
    conflict.entryId = moved.entryId;
    conflict.subject = subjectOf(moved);
    const int64_t entry = store.journal().entryBeingWritten();
    write.commit();
    conflict.journalEntry = committedEntry(store, entry);
    return conflict;
}

}  // namespace lumora::sync
