#include <gtest/gtest.h>

#include <algorithm>

#include "Platform/Dav/account_discovery.hpp"
#include "dav_test_support.hpp"

namespace lumora::dav {

class DavAccountOnRadicale : public ::testing::Test {
protected:
    test::RadicaleServer m_server;

    static const DavCollection* named(const std::vector<DavCollection>& collections, std::string_view displayName) {
        auto found = std::ranges::find(collections, displayName, &DavCollection::displayName);
        return found == collections.end() ? nullptr : &*found;
    }
};

TEST_F(DavAccountOnRadicale, ANewAccountIsDiscoveredAndGetsTheDefaultCollectionsOnce) {
    DavClient alice = aliceOn(m_server);
    AccountHomes homes = discoverHomes(alice);
    EXPECT_EQ(homes.principal, m_server.url("/alice/"));
    EXPECT_EQ(homes.calendarHome, m_server.url("/alice/"));
    EXPECT_EQ(homes.addressBookHome, m_server.url("/alice/"));
    EXPECT_TRUE(listCollections(alice, homes).empty());

    std::vector<DavCollection> created = ensureDefaultCollections(alice, homes);
    ASSERT_EQ(created.size(), 3u);
    const DavCollection* calendar = named(created, "Calendar");
    const DavCollection* tasks = named(created, "Tasks");
    const DavCollection* contacts = named(created, "Contacts");
    ASSERT_TRUE(calendar && tasks && contacts);
    EXPECT_EQ(calendar->url, m_server.url("/alice/calendar/"));
    EXPECT_EQ(calendar->components, std::vector<std::string>{"VEVENT"});
    EXPECT_TRUE(calendar->holds("VEVENT"));
    EXPECT_FALSE(calendar->holds("VTODO"));
    EXPECT_EQ(tasks->components, std::vector<std::string>{"VTODO"});
    EXPECT_EQ(contacts->kind, CollectionKind::AddressBook);
    EXPECT_EQ(contacts->url, m_server.url("/alice/contacts/"));
    for (const DavCollection& c : created) {
        EXPECT_TRUE(c.supportsSync) << c.url;
        EXPECT_FALSE(c.syncToken.empty()) << c.url;
        EXPECT_FALSE(c.ctag.empty()) << c.url;
    }
    // A second start finds them and creates nothing more.
    EXPECT_EQ(ensureDefaultCollections(alice, homes).size(), 3u);
}

TEST_F(DavAccountOnRadicale, AnAddressWithoutDavFallsBackToTheWellKnownAddresses) {
    // alice may not read /nothing/; the server's /.well-known/caldav redirects to its root.
    DavClient alice = aliceOn(m_server, "/nothing/");
    EXPECT_EQ(discoverHomes(alice).principal, m_server.url("/alice/"));
}

TEST_F(DavAccountOnRadicale, AWrongPasswordAndARefusedWriteAreErrorsOfTheirOwn) {
    DavClient intruder({m_server.url("/"), "alice", "wrong"});
    EXPECT_DAV_ERROR(discoverHomes(intruder), DavError::Unauthorized, m_server.url("/"));

    DavClient alice = aliceOn(m_server);
    alice.makeCalendar(m_server.url("/alice/shared/"), "Shared", "VEVENT");
    alice.makeCalendar(m_server.url("/alice/private/"), "Private", "VEVENT");
    std::string event = m_server.url("/alice/shared/meeting.ics");
    alice.put(event, eventText("meeting", "Team meeting"), kCalendarType, WriteCondition::createOnly());

    // bob reads alice's shared calendar, and may change nothing in it nor read her private one.
    DavClient bob = bobOn(m_server);
    EXPECT_NE(bob.get(event).body.find("SUMMARY:Team meeting"), std::string::npos);
    EXPECT_DAV_ERROR(bob.put(event, eventText("meeting", "Mine now"), kCalendarType, WriteCondition::unconditional()),
                     DavError::Forbidden, "403 Forbidden to PUT " + event);
    EXPECT_DAV_ERROR(bob.remove(event, WriteCondition::unconditional()), DavError::Forbidden,
                     "403 Forbidden to DELETE " + event);
    std::string privateCalendar = m_server.url("/alice/private/");
    EXPECT_DAV_ERROR(bob.propfind(privateCalendar, Depth::One, PropertySet::MemberEtags), DavError::Forbidden,
                     "403 Forbidden to PROPFIND " + privateCalendar);
    EXPECT_NE(alice.get(event).body.find("SUMMARY:Team meeting"), std::string::npos);
}

}  // namespace lumora::dav
