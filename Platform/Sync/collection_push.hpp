#pragma once
// Sending the person's changes to a bound folder's items to the collection it follows (the
// pending changes, pending_changes.hpp), oldest first: an item in the folder is written over the
// server's last text of it (resourceText), only over the version the store knows (If-Match) or,
// new, only where nothing is yet (If-None-Match: *); an item moved out, deleted or removed for
// good is removed from the server, again only over the known version. The server's trash, if it
// keeps one, is its own business.
//
// The binding's push cursor moves past each item as it is sent, so that a failure (no network, a
// refused password, a server error) stops the push, raised to the caller, with everything not
// yet sent still pending for the next sync. A 412 shows the server changed the item meanwhile:
// the server's version wins, as in a pull (server_wins.hpp).

#include <cstdint>
#include <vector>

#include "Platform/Dav/dav_client.hpp"
#include "pending_changes.hpp"
#include "sync_reports.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

struct PushResult {
    int32_t pushed = 0;   // written to the server
    int32_t deleted = 0;  // removed from it
    std::vector<SkippedResource> skipped;  // items that cannot be a resource, named by entry id
    std::vector<SyncConflict> conflicts;
};

// The binding's cursor is read again from the store, so a binding the caller read before a
// pull is fine.
PushResult pushCollection(pim::PimStore& store, dav::DavClient& client, const SyncBinding& binding,
                          PendingReach reach = PendingReach::WithNeverSent);

}  // namespace lumora::sync
