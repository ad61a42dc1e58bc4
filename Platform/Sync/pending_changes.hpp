#pragma once
// The local changes a bound folder has still to send to its collection, read from the store's
// journal: the items touched by the person's entries after the binding's push cursor (not by the
// server's own, server_entries.hpp) that are in the folder now or were shared with the server
// from it, so that a move out, a delete and a removal for good count as well as an edit. An item
// whose latest change is a conflict the server won has nothing left to send. An appointment, task
// or contact of the folder the server has never had is always pending (latestEntry 0): what the
// folder held before it was bound goes up with the first sync.

#include <cstdint>
#include <string_view>
#include <vector>

#include "sync_state.hpp"

namespace lumora::sync {

struct PendingChange {
    int64_t item = 0;
    int64_t latestEntry = 0;  // the last of the person's entries that touched it
};

enum class PendingReach {
    WithNeverSent,  // everything: what a whole sync sends and what the person is told is waiting
    // Only what the journal names: the check and the push right after a call, which must not walk
    // every item of a large folder. What it leaves out goes with the next whole sync.
    JournalOnly,
};

// Oldest latest change first, so that pushing them in order lets the cursor follow.
std::vector<PendingChange> pendingChangesOf(pim::PimStore& store, const SyncBinding& binding,
                                            PendingReach reach = PendingReach::WithNeverSent);
// Of every folder the account binds: what `lumora pim account list` and the page show.
int64_t pendingChanges(pim::PimStore& store, std::string_view account,
                       PendingReach reach = PendingReach::WithNeverSent);

}  // namespace lumora::sync
