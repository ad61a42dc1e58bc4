#pragma once
// What the store remembers of its sync with a groupware server: which default folder (Calendar,
// Tasks or Contacts of a mailbox) follows which collection of which account, where the last
// sync left off, and for each item the folder shares with the server its resource's address,
// etag and the server's last text. The writes go into the caller's write (PimStore::beginWrite).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Outlook/pim_store.hpp"

namespace lumora::sync {

struct SyncBinding {
    int64_t folder = 0;
    std::string account;        // the account's name in accounts.json
    std::string collectionUrl;
    std::string syncToken;      // "" before the first sync, or where the server offers none
    std::string ctag;
    // The last journal entry whose changes to the folder's items have been pushed; a folder bound
    // anew starts at the journal's end, so only what changes after the binding is sent.
    int64_t pushCursor = 0;
};

struct SyncedItem {
    int64_t item = 0;
    std::string href;
    std::string etag;
    std::string serverText;
};

// Binds the folder to the collection in a write of its own. A folder bound anew (another
// account or collection) forgets what it shared with the old one, so that its next pull is a
// full one; binding it again to the same collection changes nothing.
void bindFolder(pim::PimStore& store, const SyncBinding& binding);
// Ends the folder's binding in a write of its own; its items stay, as the person's own.
void unbindFolder(pim::PimStore& store, int64_t folder);
std::optional<SyncBinding> bindingOfFolder(pim::PimStore& store, int64_t folder);
std::vector<SyncBinding> bindingsOfAccount(pim::PimStore& store, std::string_view account);

// Within the caller's write.
void rememberPosition(pim::PimStore& store, int64_t folder, std::string_view syncToken, std::string_view ctag);
void advancePushCursor(pim::PimStore& store, int64_t folder, int64_t entry);
std::optional<SyncedItem> syncedItemAt(pim::PimStore& store, int64_t folder, std::string_view href);
std::optional<SyncedItem> syncedItemOf(pim::PimStore& store, int64_t item);
// The bound folder whose collection holds the item's resource; nullopt when none does.
std::optional<int64_t> syncedFolderOf(pim::PimStore& store, int64_t item);
// Resource address -> etag of every item the folder shares with the server.
std::map<std::string, std::string> knownEtags(pim::PimStore& store, int64_t folder);
void rememberSyncedItem(pim::PimStore& store, int64_t folder, const SyncedItem& synced);
void forgetSyncedItem(pim::PimStore& store, int64_t item);

}  // namespace lumora::sync
