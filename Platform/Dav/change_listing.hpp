#pragma once
// What changed in one collection since the local store last looked: by sync-collection
// (RFC 6578) from the token it remembers, or, where the server offers no such report, by
// comparing the collection's ctag and then every member's etag with what it remembers. The
// changed members are then fetched in batches by multiget.

#include <map>
#include <string>
#include <vector>

#include "dav_client.hpp"

namespace lumora::dav {

// What the local store remembers of a collection after its last sync.
struct KnownState {
    std::string syncToken;
    std::string ctag;
    std::map<std::string, std::string> etags;  // member address → etag
};

struct MemberVersion {
    std::string url;
    std::string etag;
    friend bool operator==(const MemberVersion&, const MemberVersion&) = default;
};

enum class ListingMethod { SyncCollection, FullSyncCollection, EtagComparison };

struct ChangeList {
    std::vector<MemberVersion> changed;  // new, or with another etag than the one remembered
    std::vector<std::string> removed;
    std::string syncToken;  // to remember for the next listing ("" when the server has none)
    std::string ctag;
    // The server cut the listing short: list again from the new token for the rest.
    bool more = false;
    ListingMethod method = ListingMethod::SyncCollection;
};

ChangeList listChanges(DavClient& client, const std::string& collectionUrl, const KnownState& known);

// The members' data (calendar-data or address-data) with their etags, asked for in batches of
// batchSize, in the order asked. A member gone meanwhile comes back with its 404 status and no data.
inline constexpr size_t kMultigetBatch = 50;
std::vector<DavResource> fetchMembers(DavClient& client, const std::string& collectionUrl, CollectionKind kind,
                                      const std::vector<std::string>& memberUrls, size_t batchSize = kMultigetBatch);

}  // namespace lumora::dav
