#pragma once
// Finding an account's calendars and address books from nothing but a server address, user
// and password, as phone clients do: the address itself, else /.well-known/caldav and
// /.well-known/carddav (RFC 6764) with their redirects, name the account's principal; the
// principal names the homes (RFC 4791 6.2.1, RFC 6352 7.1.1) whose members are the collections.

#include <string>
#include <string_view>
#include <vector>

#include "dav_client.hpp"

namespace lumora::dav {

struct AccountHomes {
    std::string principal;
    std::string calendarHome;     // "" when the server keeps no calendars
    std::string addressBookHome;  // "" when the server keeps no address books
    // Where the server lists its principals (RFC 3744 5.8); empty when it does not say.
    std::vector<std::string> principalCollections;
};

struct DavCollection {
    std::string url;
    std::string displayName;
    CollectionKind kind = CollectionKind::Calendar;
    // A calendar's components ("VEVENT", "VTODO"); empty when the server did not restrict them.
    std::vector<std::string> components;
    std::string ctag;
    std::string syncToken;
    bool supportsSync = false;
    // The principal that owns it (RFC 3744 5.1); "" when the server did not say.
    std::string owner;
    // Whether the account may change its members (write, write-content or all among the
    // account's privileges, RFC 3744 5.4). A collection whose privileges the server does not
    // report counts as writable only when it is the account's own.
    bool writable = true;
    // Offered by another principal: owned by one that is not the account's.
    bool sharedByOther = false;

    // Whether a calendar takes this kind of component (any, when it names none).
    bool holds(std::string_view component) const;
};

// A calendar or address book as a PROPFIND of PropertySet::Collections reported it, judged
// against the principal of the account that asked.
DavCollection collectionFrom(const DavResource& resource, std::string_view accountPrincipal);

// Throws NoPrincipal when no address names the principal, NoHomeSet when the principal names
// neither home; a redirect to another server moves the client there.
AccountHomes discoverHomes(DavClient& client);

// The calendars and address books in the account's homes (each home read once), the account's
// own and those other principals offer there alike (sharedByOther).
std::vector<DavCollection> listCollections(DavClient& client, const AccountHomes& homes);

// Creates what an account without collections lacks, as a phone does on first use: a calendar
// for events, a task list and an address book. Returns the collections afterwards.
std::vector<DavCollection> ensureDefaultCollections(DavClient& client, const AccountHomes& homes);

}  // namespace lumora::dav
