#pragma once
// One groupware account's sync: every folder bound to one of its collections is pulled, then
// pushed (collection_pull.hpp, collection_push.hpp), so that the server's changes settle any
// conflict before the person's go out. A collection that fails (no network, a refused password or
// right, a server error) is reported with its failure and the others still sync; what it had
// applied before the failure stays, and what it had not yet sent is still pending.
//
// The sync writes outside any automation call, each write a journal entry of its own: called
// within a call, it first settles what the call wrote, then works on a connection of its own to
// the same store on a thread of its own, and waits for it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Automation/error.hpp"
#include "Platform/Dav/dav_client.hpp"
#include "sync_reports.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

struct CollectionSync {
    int64_t folder = 0;
    std::string collectionUrl;
    int32_t created = 0;
    int32_t updated = 0;
    int32_t removed = 0;  // moved to Deleted Items
    int32_t pushed = 0;
    int32_t deleted = 0;  // removed from the server
    std::vector<SkippedResource> skipped;
    std::vector<SyncConflict> conflicts;
    std::optional<Error> failure;  // set when the collection's sync stopped
};

struct AccountSyncResult {
    std::string account;
    std::vector<CollectionSync> collections;  // in the order of their folders
    bool succeeded() const;                   // no collection failed
};

enum class SyncSteps {
    PullAndPush,
    // Only what the journal says changed here, in the folders that have something to send: what a
    // call's change costs, right after the call. A 412 still lets the server's version win.
    PushOnly,
};

AccountSyncResult syncAccount(pim::PimStore& store, dav::DavClient& client, std::string_view accountName,
                              SyncSteps steps = SyncSteps::PullAndPush);

}  // namespace lumora::sync
