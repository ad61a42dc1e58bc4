#pragma once
// Bringing what changed in a collection on the server into the folder bound to it: new and
// changed members are read as items and created, or updated in place by their address or UID
// (the entry id, the fields the resource does not carry and the user properties stay); a member
// removed on the server moves its item to Deleted Items, never further. Everything a pull
// applies is one store write, journaled as kPullJournalWhat so that what came from the server is
// told apart from the person's own changes and not sent back.
//
// A member that cannot be read is skipped and named, and the rest arrives; the server's new sync
// token is remembered only when every change was applied, so that the next pull lists the
// skipped members again.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Dav/dav_client.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

inline constexpr std::string_view kPullJournalWhat = "server pull";

// A listing cut short by the server is resumed this many times within one pull.
inline constexpr int kMaxListingRounds = 100;

struct SkippedResource {
    std::string href;
    std::string reason;
};

struct PullResult {
    int32_t created = 0;
    int32_t updated = 0;
    int32_t removed = 0;  // moved to Deleted Items
    std::vector<SkippedResource> skipped;
    bool positionRemembered = false;  // the new token or ctag was stored
    bool changedNothing() const { return created == 0 && updated == 0 && removed == 0 && skipped.empty(); }
};

// Raises PimError::BadItemType when the bound folder holds no appointments, tasks or contacts,
// and the DAV client's errors when the server cannot be listed; then nothing is applied.
PullResult pullCollection(pim::PimStore& store, dav::DavClient& client, const SyncBinding& binding);

}  // namespace lumora::sync
