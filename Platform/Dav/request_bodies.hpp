#pragma once
// The XML bodies of the requests this client sends: which properties a PROPFIND asks for, the
// sync-collection and multiget reports, and the bodies that create collections. Every text a
// caller supplies (a display name, an href) is escaped here.

#include <string>
#include <string_view>
#include <vector>

namespace lumora::dav {

// The properties one kind of PROPFIND asks for.
enum class PropertySet {
    Principal,    // current-user-principal
    Homes,        // calendar-home-set, addressbook-home-set, displayname, principal-collection-set
    Collections,  // resourcetype, displayname, getctag, sync-token, components, supported reports,
                  // owner, current-user-privilege-set
    MemberEtags,  // resourcetype, getetag
    Ctag,         // getctag, sync-token
    PrincipalListing,  // resourcetype, displayname
};

enum class CollectionKind { Calendar, AddressBook };

std::string propfindBody(PropertySet set);
// RFC 6578: members changed since the token (all members for an empty token), with etags.
std::string syncCollectionBody(std::string_view syncToken);
// RFC 4791 7.9 / RFC 6352 8.7: the data and etags of the given member paths.
std::string multigetBody(CollectionKind kind, const std::vector<std::string>& paths);
// RFC 4791 5.3.1: a calendar holding one kind of component ("VEVENT", "VTODO").
std::string makeCalendarBody(std::string_view displayName, std::string_view component);
// RFC 5689: an extended MKCOL creating an address book.
std::string makeAddressBookBody(std::string_view displayName);

}  // namespace lumora::dav
