#pragma once
// Bringing what changed in a collection on the server into the folder bound to it: new and
// changed members are read as items and created, or updated in place by their address or UID
// (the entry id, the fields the resource does not carry and the user properties other than the
// CRM's marks stay); a member removed on the server moves its item to Deleted Items, never
// further. Everything else a pull applies is one store write, journaled as kPullJournalWhat so
// that what came from the server is told apart from the person's own changes and not sent back.
//
// A member that cannot be read is skipped and named, and the rest arrives; the server's new sync
// token is remembered only when every change was applied, so that the next pull lists the
// skipped members again. A calendar bound to both the Calendar and Tasks lists each folder the
// other's members too: those are passed over quietly.
//
// A new version of an item the person has changed since the last push, or has moved out of the
// folder or deleted, is a conflict the server wins, in an entry of its own (server_wins.hpp); so
// is a removal on the server of an item the person changed, which goes to Deleted Items.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Dav/dav_client.hpp"
#include "server_entries.hpp"
#include "sync_reports.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

// A listing cut short by the server is resumed this many times within one pull.
inline constexpr int kMaxListingRounds = 100;

struct PullResult {
    int32_t created = 0;
    int32_t updated = 0;
    int32_t removed = 0;  // moved to Deleted Items
    std::vector<SkippedResource> skipped;
    std::vector<SyncConflict> conflicts;
    bool positionRemembered = false;  // the new token or ctag was stored
    bool changedNothing() const {
        return created == 0 && updated == 0 && removed == 0 && skipped.empty() && conflicts.empty();
    }
};

// Raises PimError::BadItemType when the bound folder holds no appointments, tasks or contacts,
// and the DAV client's errors when the server cannot be listed; then nothing is applied.
PullResult pullCollection(pim::PimStore& store, dav::DavClient& client, const SyncBinding& binding);

}  // namespace lumora::sync
