#include "raw_sync_requests.hpp"

#include <algorithm>
#include <stdexcept>

#include "Platform/Dav/change_listing.hpp"
#include "Platform/Dav/request_bodies.hpp"

namespace lumora::bench {

dav::DavRequest listingRequest(const std::string& collectionUrl, std::string_view syncToken) {
    return {"REPORT", collectionUrl, dav::syncCollectionBody(syncToken), {}, dav::Depth::Zero, {}};
}

std::vector<dav::DavRequest> firstPullRequests(const std::string& collectionUrl, dav::CollectionKind kind,
                                               std::vector<std::string> memberPaths) {
    std::vector<dav::DavRequest> requests{listingRequest(collectionUrl, "")};
    std::sort(memberPaths.begin(), memberPaths.end());
    for (size_t start = 0; start < memberPaths.size(); start += dav::kMultigetBatch) {
        const auto first = memberPaths.begin() + static_cast<std::ptrdiff_t>(start);
        const auto last = memberPaths.begin() +
                          static_cast<std::ptrdiff_t>(std::min(memberPaths.size(), start + dav::kMultigetBatch));
        requests.push_back({"REPORT", collectionUrl, dav::multigetBody(kind, {first, last}), {}, dav::Depth::One, {}});
    }
    return requests;
}

void sendRaw(dav::DavClient& client, const std::vector<dav::DavRequest>& requests) {
    for (const dav::DavRequest& request : requests) {
        const dav::DavReply reply = client.send(request);
        const bool expected = request.method == "REPORT" ? reply.status == 207 : reply.succeeded();
        if (!expected)
            throw std::runtime_error(request.method + " " + request.url + " answered " + std::to_string(reply.status));
    }
}

}  // namespace lumora::bench
