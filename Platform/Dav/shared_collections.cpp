#include "shared_collections.hpp"

#include <algorithm>
#include <set>
#include <span>

#include "dav_address.hpp"

namespace lumora::dav {

namespace {

// A PROPFIND whose refusal (or any answer but a multistatus) means "nothing here for this
// account" rather than a failure: the server decides what each account may see. An address on
// another server is passed over too, since the account's password goes only to its own.
std::vector<DavResource> readableAt(DavClient& client, const std::string& url, Depth depth, PropertySet set) {
    if (originOf(url) != originOf(client.baseUrl())) return {};
    DavReply reply = client.send({"PROPFIND", url, propfindBody(set), {}, depth, {}});
    if (reply.status != 207) return {};
    return parseMultistatus(reply.body, reply.url).responses;
}

bool mayRead(const DavResource& resource) {
    return resource.privileges.empty() || std::ranges::any_of(resource.privileges, [](const std::string& privilege) {
               return privilege == "read" || privilege == "all";
           });
}

class ShareFinder {
public:
    ShareFinder(DavClient& client, const AccountHomes& homes)
        : m_client(client), m_ownPrincipal(asCollectionAddress(homes.principal)) {}

    void addFromOwnHomes(const std::vector<DavCollection>& ownCollections) {
        for (const DavCollection& collection : ownCollections)
            if (collection.sharedByOther) add(collection, collection.owner);
    }

    void addFromOtherPrincipals(const std::vector<std::string>& principalCollections) {
        std::vector<std::string> principals;
        const size_t listings = std::min(principalCollections.size(), kMaxPrincipalListings);
        for (const std::string& listing : std::span(principalCollections).first(listings))
            for (const DavResource& resource : readableAt(m_client, listing, Depth::One, PropertySet::PrincipalListing)) {
                const std::string principal = asCollectionAddress(resource.href);
                if (resource.found() && resource.isPrincipal && principal != m_ownPrincipal &&
                    std::ranges::find(principals, principal) == principals.end() &&
                    principals.size() < kMaxSharingPrincipals)
                    principals.push_back(principal);
            }
        for (const std::string& principal : principals) addFromHomesOf(principal);
    }

    std::vector<SharedCollection> found() && { return std::move(m_found); }

private:
    void addFromHomesOf(const std::string& principal) {
        // The first home of each kind, as for the account's own (discoverHomes): a principal
        // naming many costs no more requests.
        std::vector<std::string> homes;
        for (const DavResource& resource : readableAt(m_client, principal, Depth::Zero, PropertySet::Homes))
            for (const auto* set : {&resource.calendarHomes, &resource.addressBookHomes})
                if (!set->empty() && std::ranges::find(homes, asCollectionAddress(set->front())) == homes.end())
                    homes.push_back(asCollectionAddress(set->front()));
        for (const std::string& home : homes)
            for (const DavResource& resource : readableAt(m_client, home, Depth::One, PropertySet::Collections))
                if (resource.found() && (resource.isCalendar || resource.isAddressBook) && mayRead(resource)) {
                    DavCollection collection = collectionFrom(resource, m_ownPrincipal);
                    // A server that does not name owners has the home's principal own what lies
                    // there; without privileges reported, the account may then only read it.
                    if (collection.owner.empty() && resource.privileges.empty()) collection.writable = false;
                    const std::string owner = collection.owner.empty() ? principal : collection.owner;
                    if (owner != m_ownPrincipal) add(collection, owner);
                }
    }

    void add(DavCollection collection, const std::string& ownerPrincipal) {
        if (!m_seen.insert(collection.url).second) return;
        std::string user = userOfPrincipal(ownerPrincipal);
        if (user.empty()) return;
        collection.sharedByOther = true;
        SharedCollection shared{std::move(collection), std::move(user), false};
        shared.writable = shared.collection.writable;
        m_found.push_back(std::move(shared));
    }

    DavClient& m_client;
    const std::string m_ownPrincipal;
    std::set<std::string> m_seen;
    std::vector<SharedCollection> m_found;
};

}  // namespace

std::string userOfPrincipal(std::string_view principalUrl) { return lastSegmentOf(principalUrl); }

std::vector<SharedCollection> findSharedCollections(DavClient& client, const AccountHomes& homes,
                                                    const std::vector<DavCollection>& ownCollections) {
    ShareFinder finder(client, homes);
    finder.addFromOwnHomes(ownCollections);
    finder.addFromOtherPrincipals(homes.principalCollections);
    return std::move(finder).found();
}

}  // namespace lumora::dav
