#include "change_listing.hpp"

#include <algorithm>
#include <set>

#include "dav_address.hpp"

namespace lumora::dav {

namespace {

bool isMember(const DavResource& resource, const std::string& collectionUrl) {
    return !resource.isCollection && resource.href != collectionUrl && asCollectionAddress(resource.href) != collectionUrl;
}

// A member is worth fetching when the store does not hold the version the server lists (or the
// server names no version at all).
bool isNewTo(const KnownState& known, const DavResource& member) {
    auto remembered = known.etags.find(member.href);
    return member.etag.empty() || remembered == known.etags.end() || remembered->second != member.etag;
}

// Compares a listing of every member with what the store remembers.
void compareFullListing(const std::vector<DavResource>& members, const std::string& collectionUrl,
                        const KnownState& known, ChangeList& changes) {
    std::set<std::string> present;
    for (const DavResource& member : members) {
        if (!member.found() || !isMember(member, collectionUrl)) continue;
        present.insert(member.href);
        if (isNewTo(known, member)) changes.changed.push_back({member.href, member.etag});
    }
    for (const auto& [url, etag] : known.etags)
        if (!present.contains(url)) changes.removed.push_back(url);
}

// RFC 6578 3.2: an unknown or expired token is answered 403 (or 409) with DAV:valid-sync-token.
bool isInvalidToken(const DavReply& reply) {
    return (reply.status == 403 || reply.status == 409) && reply.body.find("valid-sync-token") != std::string::npos;
}

// The answers of a server that does not offer the report at all.
bool isReportUnsupported(const DavReply& reply) {
    return reply.status == 400 || reply.status == 403 || reply.status == 405 || reply.status == 415 ||
           reply.status == 501;
}

ChangeList byEtags(DavClient& client, const std::string& collectionUrl, const KnownState& known) {
    ChangeList changes;
    changes.method = ListingMethod::EtagComparison;
    for (const DavResource& self : client.propfind(collectionUrl, Depth::Zero, PropertySet::Ctag).responses)
        if (self.found() && !self.ctag.empty()) changes.ctag = self.ctag;
    if (!changes.ctag.empty() && changes.ctag == known.ctag) return changes;
    Multistatus listing = client.propfind(collectionUrl, Depth::One, PropertySet::MemberEtags);
    compareFullListing(listing.responses, collectionUrl, known, changes);
    return changes;
}

}  // namespace

ChangeList listChanges(DavClient& client, const std::string& collectionUrl, const KnownState& known) {
    std::string collection = asCollectionAddress(collectionUrl);
    auto syncReport = [&](const std::string& token) {
        return client.send({"REPORT", collection, syncCollectionBody(token), {}, Depth::Zero, {}});
    };
    DavReply reply = syncReport(known.syncToken);
    bool full = known.syncToken.empty();
    if (!full && isInvalidToken(reply)) {
        reply = syncReport({});
        full = true;
    }
    if (reply.status != 207) {
        if (isReportUnsupported(reply) && !isInvalidToken(reply)) return byEtags(client, collection, known);
        client.failedStatus(reply, "REPORT");
    }
    Multistatus listing = client.multistatusOf(reply, "REPORT");
    ChangeList changes;
    changes.syncToken = listing.syncToken;
    changes.more = listing.truncated;
    if (full) {
        changes.method = ListingMethod::FullSyncCollection;
        compareFullListing(listing.responses, collection, known, changes);
        return changes;
    }
    for (const DavResource& member : listing.responses) {
        if (!isMember(member, collection)) continue;
        if (member.status == 404) {
            changes.removed.push_back(member.href);
            continue;
        }
        if (member.found() && isNewTo(known, member)) changes.changed.push_back({member.href, member.etag});
    }
    return changes;
}

std::vector<DavResource> fetchMembers(DavClient& client, const std::string& collectionUrl, CollectionKind kind,
                                      const std::vector<std::string>& memberUrls, size_t batchSize) {
    std::vector<DavResource> fetched;
    batchSize = std::max<size_t>(batchSize, 1);
    for (size_t start = 0; start < memberUrls.size(); start += batchSize) {
        std::vector<std::string> paths;
        for (size_t i = start; i < std::min(memberUrls.size(), start + batchSize); ++i)
            paths.push_back(pathOf(memberUrls[i]));
        Multistatus batch = client.report(asCollectionAddress(collectionUrl), Depth::One, multigetBody(kind, paths));
        // Servers answer in an order of their own; the caller gets the order it asked in, and
        // anything it did not ask for after that.
        auto rank = [&](const DavResource& r) {
            auto asked = std::find(memberUrls.begin() + static_cast<std::ptrdiff_t>(start), memberUrls.end(), r.href);
            return asked - memberUrls.begin();
        };
        std::stable_sort(batch.responses.begin(), batch.responses.end(),
                         [&](const DavResource& a, const DavResource& b) { return rank(a) < rank(b); });
        for (DavResource& resource : batch.responses) fetched.push_back(std::move(resource));
    }
    return fetched;
}

}  // namespace lumora::dav
