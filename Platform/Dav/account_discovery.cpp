#include "account_discovery.hpp"

#include <algorithm>

#include "Platform/Xml/limits.hpp"
#include "dav_address.hpp"
#include "dav_errors.hpp"

namespace lumora::dav {

namespace {

// The principal named at url, following redirects (each address vetted again); "" when the
// address answers without one.
std::string principalAt(DavClient& client, std::string url) {
    for (int hop = 0; hop <= xml::kMaxRedirects; ++hop) {
        DavReply reply = client.send({"PROPFIND", url, propfindBody(PropertySet::Principal), {}, Depth::Zero, {}});
        if (reply.redirected()) {
            checkTransport(reply.location);
            if (originOf(reply.location) != originOf(url)) client.moveTo(reply.location);
            url = reply.location;
            continue;
        }
        if (reply.status != 207) return {};
        for (const DavResource& resource : parseMultistatus(reply.body, reply.url).responses)
            if (!resource.currentUserPrincipal.empty()) return resource.currentUserPrincipal;
        return {};
    }
    raise(DavError::TooManyRedirects, displayAddress(url));
}

std::string findPrincipal(DavClient& client) {
    std::string base = client.baseUrl();
    if (std::string principal = principalAt(client, base); !principal.empty()) return principal;
    for (std::string_view service : {"/.well-known/caldav", "/.well-known/carddav"})
        if (std::string principal = principalAt(client, resolveHref(base, service)); !principal.empty())
            return principal;
    raise(DavError::NoPrincipal, displayAddress(base));
}

}  // namespace

DavCollection collectionFrom(const DavResource& resource, std::string_view accountPrincipal) {
    DavCollection collection;
    collection.url = asCollectionAddress(resource.href);
    collection.displayName = resource.displayName;
    collection.kind = resource.isCalendar ? CollectionKind::Calendar : CollectionKind::AddressBook;
    collection.components = resource.components;
    collection.ctag = resource.ctag;
    collection.syncToken = resource.syncToken;
    collection.supportsSync = !resource.syncToken.empty() ||
                              std::ranges::find(resource.supportedReports, "sync-collection") !=
                                  resource.supportedReports.end();
    collection.owner = resource.owner.empty() ? std::string() : asCollectionAddress(resource.owner);
    collection.sharedByOther = !collection.owner.empty() && collection.owner != asCollectionAddress(accountPrincipal);
    if (resource.privileges.empty()) {
        collection.writable = !collection.sharedByOther;
    } else {
        collection.writable = std::ranges::any_of(resource.privileges, [](const std::string& privilege) {
            return privilege == "write" || privilege == "write-content" || privilege == "all";
        });
    }
    return collection;
}

namespace {

bool anyHolding(const std::vector<DavCollection>& collections, CollectionKind kind, std::string_view component) {
    return std::ranges::any_of(collections, [&](const DavCollection& c) {
        return c.kind == kind && (kind == CollectionKind::AddressBook || c.holds(component));
    });
}

// Creates a collection under home named after base, or base-2, base-3, ... when the name is
// taken by something that is not what we need.
template <class Create>
void createNamed(DavClient& client, const std::string& home, std::string_view base, Create create) {
    for (int attempt = 1; attempt <= 5; ++attempt) {
        std::string name = std::string(base) + (attempt == 1 ? "" : "-" + std::to_string(attempt));
        std::string url = resolveHref(home, name + "/");
        try {
            create(url);
            return;
        } catch (const Error&) {
            // Only a name in use is worth another try; a refusal of the account is final.
            DavReply probe = client.send({"PROPFIND", url, propfindBody(PropertySet::Ctag), {}, Depth::Zero, {}});
            if (probe.status != 207) throw;
        }
    }
    raise(DavError::CannotCreateCollection, displayAddress(resolveHref(home, std::string(base) + "/")));
}

}  // namespace

bool DavCollection::holds(std::string_view component) const {
    return components.empty() || std::ranges::find(components, component) != components.end();
}

AccountHomes discoverHomes(DavClient& client) {
    AccountHomes homes;
    homes.principal = findPrincipal(client);
    for (const DavResource& resource : client.propfind(homes.principal, Depth::Zero, PropertySet::Homes).responses) {
        if (homes.calendarHome.empty() && !resource.calendarHomes.empty())
            homes.calendarHome = asCollectionAddress(resource.calendarHomes.front());
        if (homes.addressBookHome.empty() && !resource.addressBookHomes.empty())
            homes.addressBookHome = asCollectionAddress(resource.addressBookHomes.front());
        if (homes.principalCollections.empty()) homes.principalCollections = resource.principalCollections;
    }
    if (homes.calendarHome.empty() && homes.addressBookHome.empty())
        raise(DavError::NoHomeSet, "calendars and address books");
    return homes;
}

std::vector<DavCollection> listCollections(DavClient& client, const AccountHomes& homes) {
    std::vector<std::string> places;
    for (const std::string& home : {homes.calendarHome, homes.addressBookHome})
        if (!home.empty() && std::ranges::find(places, home) == places.end()) places.push_back(home);
    std::vector<DavCollection> collections;
    for (const std::string& home : places)
        for (const DavResource& resource : client.propfind(home, Depth::One, PropertySet::Collections).responses)
            if (resource.found() && (resource.isCalendar || resource.isAddressBook))
                collections.push_back(collectionFrom(resource, homes.principal));
    return collections;
}

std::vector<DavCollection> ensureDefaultCollections(DavClient& client, const AccountHomes& homes) {
    std::vector<DavCollection> collections = listCollections(client, homes);
    bool created = false;
    if (!homes.calendarHome.empty()) {
        if (!anyHolding(collections, CollectionKind::Calendar, "VEVENT")) {
            createNamed(client, homes.calendarHome, "calendar",
                        [&](const std::string& url) { client.makeCalendar(url, "Calendar", "VEVENT"); });
            created = true;
        }
        if (!anyHolding(collections, CollectionKind::Calendar, "VTODO")) {
            createNamed(client, homes.calendarHome, "tasks",
                        [&](const std::string& url) { client.makeCalendar(url, "Tasks", "VTODO"); });
            created = true;
        }
    }
    if (!homes.addressBookHome.empty() && !anyHolding(collections, CollectionKind::AddressBook, {})) {
        createNamed(client, homes.addressBookHome, "contacts",
                    [&](const std::string& url) { client.makeAddressBook(url, "Contacts"); });
        created = true;
    }
    return created ? listCollections(client, homes) : collections;
}

}  // namespace lumora::dav
