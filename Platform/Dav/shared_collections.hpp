#pragma once
// The calendars and address books of other users that an account may read, found the two ways
// groupware servers offer them: as collections in the account's own homes that another principal
// owns (how most servers present a share), and in the homes of the other principals the server
// lists (RFC 3744 principal-collection-set) and lets the account read. Each is named with its
// owner's user name and whether the account may change it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "account_discovery.hpp"

namespace lumora::dav {

// A server with many users lists them all; only this many other principals are visited (two or
// three requests each), and only this many principal listings read, so that finding shares
// stays a matter of seconds.
inline constexpr size_t kMaxSharingPrincipals = 25;
inline constexpr size_t kMaxPrincipalListings = 2;

struct SharedCollection {
    DavCollection collection;
    std::string ownerUser;  // the owner's user name, as other users of the server address them
    bool writable = false;
};

// The owner's user name from its principal's address: the last segment of its path, decoded
// ("/principals/users/j%20doe/" gives "j doe"); "" when the path has none.
std::string userOfPrincipal(std::string_view principalUrl);

// ownCollections are those listCollections gave for homes (they are not read again). Principals
// and homes the account may not read are passed over; a failure of the server otherwise throws
// as the client does.
std::vector<SharedCollection> findSharedCollections(DavClient& client, const AccountHomes& homes,
                                                    const std::vector<DavCollection>& ownCollections);

}  // namespace lumora::dav
