#include <gtest/gtest.h>

#include "Platform/Dav/change_listing.hpp"
#include "dav_test_support.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora::dav {

class DavResourcesOnRadicale : public ::testing::Test {
protected:
    void SetUp() override { m_client.makeCalendar(m_calendar, "Calendar", "VEVENT"); }

    std::string member(const std::string& name) const { return m_calendar + name; }
    std::string putEvent(const std::string& name, const std::string& summary) {
        return m_client.put(member(name), eventText(name, summary), kCalendarType, WriteCondition::createOnly());
    }
    KnownState rememberedAfter(const ChangeList& changes, KnownState known) const {
        known.syncToken = changes.syncToken;
        for (const MemberVersion& v : changes.changed) known.etags[v.url] = v.etag;
        for (const std::string& url : changes.removed) known.etags.erase(url);
        return known;
    }

    test::RadicaleServer m_server;
    DavClient m_client = aliceOn(m_server);
    std::string m_calendar = m_server.url("/alice/calendar/");
};

TEST_F(DavResourcesOnRadicale, WritesAreGuardedByTheEtagTheyWereReadAt) {
    std::string first = putEvent("a.ics", "First");
    ASSERT_FALSE(first.empty());
    EXPECT_DAV_ERROR(putEvent("a.ics", "Again"), DavError::AlreadyExists, member("a.ics"));

    DavReply read = m_client.get(member("a.ics"));
    EXPECT_EQ(read.etag, first);
    EXPECT_NE(read.body.find("SUMMARY:First"), std::string::npos);

    std::string second = m_client.put(member("a.ics"), eventText("a.ics", "Second"), kCalendarType,
                                      WriteCondition::ifMatch(first));
    EXPECT_NE(second, first);
    // A writer still holding the first version changes and removes nothing.
    EXPECT_DAV_ERROR(m_client.put(member("a.ics"), eventText("a.ics", "Stale"), kCalendarType,
                                  WriteCondition::ifMatch(first)),
                     DavError::PreconditionFailed, member("a.ics"));
    EXPECT_DAV_ERROR(m_client.remove(member("a.ics"), WriteCondition::ifMatch(first)), DavError::PreconditionFailed,
                     member("a.ics"));
    EXPECT_NE(m_client.get(member("a.ics")).body.find("SUMMARY:Second"), std::string::npos);

    m_client.remove(member("a.ics"), WriteCondition::ifMatch(second));
    EXPECT_DAV_ERROR(m_client.get(member("a.ics")), DavError::NotFound, member("a.ics"));
}

TEST_F(DavResourcesOnRadicale, SyncTokensListExactlyWhatChanged) {
    std::string etagA = putEvent("a.ics", "A");
    putEvent("b.ics", "B");
    ChangeList initial = listChanges(m_client, m_calendar, {});
    EXPECT_EQ(initial.method, ListingMethod::FullSyncCollection);
    EXPECT_EQ(initial.changed.size(), 2u);
    EXPECT_TRUE(initial.removed.empty());
    ASSERT_FALSE(initial.syncToken.empty());
    KnownState known = rememberedAfter(initial, {});
    EXPECT_EQ(known.etags[member("a.ics")], etagA);

    ChangeList nothing = listChanges(m_client, m_calendar, known);
    EXPECT_EQ(nothing.method, ListingMethod::SyncCollection);
    EXPECT_TRUE(nothing.changed.empty());
    EXPECT_TRUE(nothing.removed.empty());
    EXPECT_EQ(nothing.syncToken, initial.syncToken);

    std::string etagB = m_client.put(member("b.ics"), eventText("b.ics", "B2"), kCalendarType,
                                     WriteCondition::ifMatch(known.etags[member("b.ics")]));
    m_client.remove(member("a.ics"), WriteCondition::ifMatch(etagA));
    ChangeList after = listChanges(m_client, m_calendar, known);
    EXPECT_EQ(after.changed, (std::vector<MemberVersion>{{member("b.ics"), etagB}}));
    EXPECT_EQ(after.removed, std::vector<std::string>{member("a.ics")});
    EXPECT_NE(after.syncToken, initial.syncToken);

    // A token the server no longer knows gives a full listing, compared with what is remembered.
    KnownState expired = known;
    expired.syncToken = "http://radicale.org/ns/sync/0000";
    ChangeList full = listChanges(m_client, m_calendar, expired);
    EXPECT_EQ(full.method, ListingMethod::FullSyncCollection);
    EXPECT_EQ(full.changed, (std::vector<MemberVersion>{{member("b.ics"), etagB}}));
    EXPECT_EQ(full.removed, std::vector<std::string>{member("a.ics")});
    EXPECT_EQ(full.syncToken, after.syncToken);
}

TEST_F(DavResourcesOnRadicale, ChangedMembersAreFetchedInBatches) {
    const std::vector<std::string> names{"one.ics", "two.ics", "three.ics"};
    std::vector<std::string> urls;
    for (const std::string& name : names) {
        putEvent(name, "Event " + name);
        urls.push_back(member(name));
    }
    urls.push_back(member("never-there.ics"));
    std::vector<DavResource> fetched = fetchMembers(m_client, m_calendar, CollectionKind::Calendar, urls, 2);
    ASSERT_EQ(fetched.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fetched[i].href, urls[i]);
        EXPECT_EQ(fetched[i].status, 200);
        EXPECT_FALSE(fetched[i].etag.empty());
        EXPECT_NE(fetched[i].calendarData.find("UID:" + names[i]), std::string::npos) << i;
    }
    EXPECT_EQ(fetched[3].href, urls[3]);
    EXPECT_EQ(fetched[3].status, 404);
    EXPECT_TRUE(fetched[3].calendarData.empty());
}

TEST_F(DavResourcesOnRadicale, AnEventMadeByAnotherClientShowsInTheChangeListing) {
    KnownState known = rememberedAfter(listChanges(m_client, m_calendar, {}), {});
    auto added = testing::runCommand(testing::systemPython() + " '" +
                                     (testing::testSupportFolder() / "caldav_add_event.py").string() + "' '" +
                                     m_calendar + "' alice alice-secret other-client-1 'Booked elsewhere'");
    ASSERT_TRUE(added.succeeded) << added.output;

    ChangeList changes = listChanges(m_client, m_calendar, known);
    ASSERT_EQ(changes.changed.size(), 1u);
    EXPECT_TRUE(changes.removed.empty());
    std::vector<DavResource> fetched =
        fetchMembers(m_client, m_calendar, CollectionKind::Calendar, {changes.changed[0].url});
    ASSERT_EQ(fetched.size(), 1u);
    EXPECT_EQ(fetched[0].etag, changes.changed[0].etag);
    EXPECT_NE(fetched[0].calendarData.find("UID:other-client-1"), std::string::npos);
    EXPECT_NE(fetched[0].calendarData.find("SUMMARY:Booked elsewhere"), std::string::npos);
}

}  // namespace lumora::dav
