#pragma once
// Settling a conflict the server's way, each in a write of its own journaled as
// kConflictJournalWhat: undoing that one entry brings back exactly the person's version, which
// is then a local change like any other and goes to the server with the next sync.

#include <optional>

#include "Platform/Outlook/uid_matcher.hpp"
#include "sync_reports.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

// The matcher that writes the server's items into a bound folder: the fields and marks a resource
// carries replace those of the folder's item of its UID; the rest of the item stays.
pim::UidMatcher serverItemMatcher(pim::PimStore& store, int64_t folder);

// The folder the item is in; nullopt when it was removed for good.
std::optional<int64_t> currentFolderOf(pim::PimStore& store, int64_t item);

// The server's version of a shared item becomes the folder's: `item` (where the person has it,
// even in Deleted Items or another folder) is brought back and updated; without it (removed for
// good here) the server's version arrives as a new item. `synced` is what the server holds now.
SyncConflict takeServerVersion(pim::PimStore& store, const SyncBinding& binding, std::optional<int64_t> item,
                               pim::ItemRecord serverItem, SyncedItem synced);

// The server removed an item the person changed: it goes to Deleted Items as the person left it.
SyncConflict keepLocalVersionInDeletedItems(pim::PimStore& store, int64_t item);

}  // namespace lumora::sync
