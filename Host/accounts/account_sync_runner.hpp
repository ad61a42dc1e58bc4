#pragma once
// A sync of one groupware account as `lumora pim sync`, the demo page and `lumora serve` run it:
// the password from the credential store, the caller's connection to the PIM store (used outside
// any automation call, so that the sync's writes are journaled as the server's), one sync of
// the data folder at a time (SyncLock), and what came of it kept with the account: when a sync
// last went well, else its error and when the background tries again. Failed syncs in a row are
// retried after 30 s, 1 min, 2 min ... up to 30 min, so a server that is away is not hammered.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Sync/account_sync.hpp"

namespace lumora::host {

enum class SyncScope {
    SharesAndChanges,    // the account's collections and the shares colleagues offer found again, then each
                         // collection's pull and push
    Changes,             // each collection's pull and push
    PendingChangesOnly,  // only the push of what changed here, and nothing when nothing did
};

struct AccountSyncReport {
    std::string account;
    // What each collection did; nullopt when the sync could not start (no password, server away)
    // or when there was nothing to push.
    std::optional<sync::AccountSyncResult> result;
    // How a person names each collection's folder ("Calendar", "Calendar of alice"), in the
    // result's order.
    std::vector<std::string> folderLabels;
    std::string error;  // why the sync, or one of its collections, failed; empty when all went well
    bool failed() const { return !error.empty(); }
};

// The delay before the background's next attempt after `failures` failed syncs in a row.
std::chrono::milliseconds retryDelay(int64_t failures);

// Errors: NoSuchAccount, and the account file's; a failure of the sync itself is the report's.
AccountSyncReport runAccountSync(const std::filesystem::path& dataFolder, pim::PimStore& store,
                                 const std::string& account, SyncScope scope);

}  // namespace lumora::host
