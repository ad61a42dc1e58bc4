#pragma once
// The floor of a sync: the requests a pull sends, sent as they are with nothing parsed or stored.
// Each is built before the clock runs, sent through the client's plain request and its answer's
// body dropped, so that what remains is the server's work and the transport's.

#include <string>
#include <string_view>
#include <vector>

#include "Platform/Dav/dav_client.hpp"

namespace lumora::bench {

// The listing of a collection's members from the token (all of them for an empty one).
dav::DavRequest listingRequest(const std::string& collectionUrl, std::string_view syncToken);

// A first pull's requests: the listing from no token, then the members fetched by multiget in
// the pull's order (by address) and batch size.
std::vector<dav::DavRequest> firstPullRequests(const std::string& collectionUrl, dav::CollectionKind kind,
                                               std::vector<std::string> memberPaths);

// Sends each request; throws std::runtime_error when one is not answered with the status the
// pull or push expects (207 for a report, 2xx for a write), so that a floor that failed fast is
// never taken for a fast one.
void sendRaw(dav::DavClient& client, const std::vector<dav::DavRequest>& requests);

}  // namespace lumora::bench
