// Other users' collections an account may read: those another principal owns in the account's
// own homes, and those in the homes of the principals the server lists, against a real
// radicale where alice shares one calendar with bob to read.

#include <gtest/gtest.h>

#include "Platform/Dav/shared_collections.hpp"
#include "dav_test_support.hpp"

namespace lumora::dav {

TEST(SharedCollections, TheOwnerIsNamedByThePrincipalsLastPathSegment) {
    EXPECT_EQ(userOfPrincipal("https://dav.example.com/principals/users/j%20doe/"), "j doe");
    EXPECT_EQ(userOfPrincipal("http://127.0.0.1:5232/alice"), "alice");
    EXPECT_EQ(userOfPrincipal("http://127.0.0.1:5232/100%25/"), "100%");
    EXPECT_EQ(userOfPrincipal("http://127.0.0.1:5232/50%/"), "50%");
    EXPECT_EQ(userOfPrincipal("http://127.0.0.1:5232/"), "");
}

// How most groupware servers offer a share: a collection in the account's home that another
// principal owns, with what the account may do with it.
TEST(SharedCollections, ACollectionAnotherPrincipalOwnsInTheOwnHomeIsAShare) {
    const std::string home = "http://127.0.0.1:9/dav/calendars/bob/";
    const Multistatus listed = parseMultistatus(
        R"(<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav">)"
        R"(<d:response><d:href>/dav/calendars/bob/work/</d:href><d:propstat><d:prop>)"
        R"(<d:resourcetype><d:collection/><c:calendar/></d:resourcetype><d:owner><d:href>/dav/principals/bob/</d:href></d:owner>)"
        R"(</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>)"
        R"(<d:response><d:href>/dav/calendars/bob/carol-team/</d:href><d:propstat><d:prop>)"
        R"(<d:resourcetype><d:collection/><c:calendar/></d:resourcetype><d:owner><d:href>/dav/principals/carol/</d:href></d:owner>)"
        R"(<d:current-user-privilege-set><d:privilege><d:read/></d:privilege></d:current-user-privilege-set>)"
        R"(</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>)"
        R"(<d:response><d:href>/dav/calendars/bob/dan-plans/</d:href><d:propstat><d:prop>)"
        R"(<d:resourcetype><d:collection/><c:calendar/></d:resourcetype><d:owner><d:href>/dav/principals/dan/</d:href></d:owner>)"
        R"(<d:current-user-privilege-set><d:privilege><d:read/></d:privilege><d:privilege><d:write-content/></d:privilege>)"
        R"(</d:current-user-privilege-set></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>)"
        R"(</d:multistatus>)",
        home);
    const std::string principal = "http://127.0.0.1:9/dav/principals/bob/";
    std::vector<DavCollection> own;
    for (const DavResource& resource : listed.responses) own.push_back(collectionFrom(resource, principal));
    ASSERT_EQ(own.size(), 3u);
    EXPECT_FALSE(own[0].sharedByOther);
    EXPECT_TRUE(own[0].writable);  // the account's own, whether or not privileges are reported

    // No principal listing: nothing is asked of the server.
    DavClient client({"http://127.0.0.1:9/dav/", "bob", "secret"});
    const std::vector<SharedCollection> shares = findSharedCollections(client, {principal, home, "", {}}, own);
    ASSERT_EQ(shares.size(), 2u);
    EXPECT_EQ(shares[0].ownerUser, "carol");
    EXPECT_EQ(shares[0].collection.url, home + "carol-team/");
    EXPECT_FALSE(shares[0].writable);
    EXPECT_EQ(shares[1].ownerUser, "dan");
    EXPECT_TRUE(shares[1].writable);
}

TEST(SharedCollections, BobReadsAlicesSharedCalendarOnlyAndMayNotChangeIt) {
    test::RadicaleServer server;
    DavClient alice = aliceOn(server);
    alice.makeCalendar(server.url("/alice/shared/"), "Team", "VEVENT");
    alice.makeCalendar(server.url("/alice/private/"), "Private", "VEVENT");
    alice.makeAddressBook(server.url("/alice/contacts/"), "Contacts");

    DavClient bob = bobOn(server);
    const AccountHomes homes = discoverHomes(bob);
    EXPECT_EQ(homes.principalCollections, std::vector<std::string>{server.url("/")});
    const std::vector<DavCollection> own = ensureDefaultCollections(bob, homes);
    for (const DavCollection& collection : own) EXPECT_FALSE(collection.sharedByOther) << collection.url;

    const std::vector<SharedCollection> shares = findSharedCollections(bob, homes, own);
    ASSERT_EQ(shares.size(), 1u);
    EXPECT_EQ(shares[0].ownerUser, "alice");
    EXPECT_EQ(shares[0].collection.url, server.url("/alice/shared/"));
    EXPECT_EQ(shares[0].collection.displayName, "Team");
    EXPECT_EQ(shares[0].collection.kind, CollectionKind::Calendar);
    EXPECT_FALSE(shares[0].writable);
    // The server agrees: bob's write is refused.
    auto refused = errorFrom([&] {
        bob.put(server.url("/alice/shared/x.ics"), eventText("x", "X"), kCalendarType, WriteCondition::createOnly());
    });
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->number(), errorOf(DavError::Forbidden, "").number());

    // alice shares nothing with herself, and sees bob's principal only as far as the server lets her.
    const AccountHomes aliceHomes = discoverHomes(alice);
    EXPECT_TRUE(findSharedCollections(alice, aliceHomes, listCollections(alice, aliceHomes)).empty());
}

}  // namespace lumora::dav
