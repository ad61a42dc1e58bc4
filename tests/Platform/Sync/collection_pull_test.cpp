#include <gtest/gtest.h>

#include <algorithm>

#include "Platform/Sync/collection_pull.hpp"
#include "radicale_store_fixture.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora::sync {

using dav::WriteCondition;
using pim::FolderType;
using pim::ItemRecord;
using pim::tests::civilDate;

// A store whose Calendar and Contacts follow alice's collections.
class PullFromRadicale : public RadicaleStoreTest {
protected:
    void SetUp() override {
        m_client.makeCalendar(m_calendarUrl, "Calendar", "VEVENT");
        m_client.makeAddressBook(m_contactsUrl, "Contacts");
        bindFolder(m_store, {folderOf(FolderType::Calendar), "work", m_calendarUrl, "", ""});
        bindFolder(m_store, {folderOf(FolderType::Contacts), "work", m_contactsUrl, "", ""});
    }

    PullResult pull(FolderType type) { return pullCollection(m_store, m_client, *bindingOfFolder(m_store, folderOf(type))); }

    std::string putCalendarResource(const std::string& name, const std::string& text) {
        return m_client.put(m_calendarUrl + name, text, dav::kCalendarType, WriteCondition::unconditional());
    }
    // Through python3-caldav, a client that is not ours.
    void addEventElsewhere(const std::string& uid, const std::string& summary) {
        lumora::testing::CommandResult added = lumora::testing::runCommand(
            lumora::testing::systemPython() + " " + (lumora::testing::testSupportFolder() / "caldav_add_event.py").string() + " " +
            m_calendarUrl + " alice alice-secret " + uid + " '" + summary + "'");
        ASSERT_TRUE(added.succeeded) << added.output;
    }
    ItemRecord itemWithUid(const std::string& uid, pim::ItemClass itemClass) {
        std::vector<int64_t> ids = m_store.itemIdsByUid(m_store.currentMailbox().id, itemClass, uid);
        EXPECT_EQ(ids.size(), 1u) << uid;
        ItemRecord item = m_store.loadItem(ids.at(0));
        m_store.loadUserProperties(item);
        return item;
    }

    std::string m_calendarUrl = m_server.url("/alice/calendar/");
    std::string m_contactsUrl = m_server.url("/alice/contacts/");
};

constexpr std::string_view kMarkedEvent =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Lumora tests//EN\r\nBEGIN:VEVENT\r\nUID:review\r\n"
    "DTSTAMP:20260105T090000Z\r\nDTSTART:20260112T090000Z\r\nDTEND:20260112T100000Z\r\nSUMMARY:Review\r\n"
    "X-LUMORA-PROP-ACID:{8A1F}\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

constexpr std::string_view kMarkedCard =
    "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:6d1f0c1e-0000-4000-8000-000000000001\r\nFN:Ada Example\r\n"
    "N:Example;Ada;;;\r\nEMAIL:ada@example.com\r\nX-LUMORA-USER1:Lumora\r\nEND:VCARD\r\n";

TEST_F(PullFromRadicale, ServerChangesArriveInPlaceAndRemovalsGoToDeletedItems) {
    addEventElsewhere("standup", "Standup");
    std::string reviewEtag = putCalendarResource("review.ics", std::string(kMarkedEvent));
    m_client.put(m_contactsUrl + "ada.vcf", std::string(kMarkedCard), "text/vcard; charset=utf-8",
                 WriteCondition::createOnly());

    PullResult events = pull(FolderType::Calendar);
    EXPECT_EQ(events.created, 2);
    EXPECT_TRUE(events.skipped.empty());
    EXPECT_TRUE(events.positionRemembered);
    EXPECT_EQ(pull(FolderType::Contacts).created, 1);
    EXPECT_EQ(pim::listHistory(m_store, {1, std::nullopt}).at(0).what, kPullJournalWhat);

    ItemRecord review = itemWithUid("review", pim::ItemClass::Appointment);
    EXPECT_EQ(review.folder, folderOf(FolderType::Calendar));
    EXPECT_EQ(review.values.at("Subject").toString(), "Review");
    ASSERT_EQ(review.userProperties.size(), 1u);
    EXPECT_EQ(review.userProperties[0].name, "ACID");
    EXPECT_EQ(review.userProperties[0].value.toString(), "{8A1F}");
    ItemRecord ada = itemWithUid("urn:uuid:6d1f0c1e-0000-4000-8000-000000000001", pim::ItemClass::Contact);
    EXPECT_EQ(ada.values.at("FirstName").toString(), "Ada");
    EXPECT_EQ(ada.values.at("Email1Address").toString(), "ada@example.com");
    EXPECT_EQ(ada.values.at("User1").toString(), "Lumora");
    EXPECT_EQ(itemWithUid("standup", pim::ItemClass::Appointment).values.at("Subject").toString(), "Standup");
    std::optional<SyncedItem> synced = syncedItemOf(m_store, review.id);
    ASSERT_TRUE(synced);
    EXPECT_EQ(synced->href, m_calendarUrl + "review.ics");
    EXPECT_EQ(synced->etag, reviewEtag);

    // Nothing changed on the server: nothing is written, not even an empty journal entry.
    const size_t entries = journalSize();
    EXPECT_TRUE(pull(FolderType::Calendar).changedNothing());
    EXPECT_TRUE(pull(FolderType::Contacts).changedNothing());
    EXPECT_EQ(journalSize(), entries);

    // A field the resource does not carry and a user property of the person's own stay.
    ItemRecord local = m_store.loadItem(review.id);
    m_store.loadUserProperties(local);
    local.userProperties.push_back({"Note", 1, Variant("mine"), false});
    m_store.saveItem(local, {});
    std::string changed(kMarkedEvent);
    changed.replace(changed.find("SUMMARY:Review"), 14, "SUMMARY:Review moved");
    putCalendarResource("review.ics", changed);
    PullResult update = pull(FolderType::Calendar);
    // The person's edit is not yet pushed: the server's version wins it, in an entry of its own.
    EXPECT_EQ(update.conflicts.size(), 1u);
    EXPECT_EQ(update.created + update.updated, 0);
    ItemRecord moved = itemWithUid("review", pim::ItemClass::Appointment);
    EXPECT_EQ(moved.entryId, review.entryId);
    EXPECT_EQ(moved.values.at("Subject").toString(), "Review moved");
    EXPECT_EQ(moved.userProperties.size(), 2u);

    m_client.remove(m_calendarUrl + "review.ics", WriteCondition::unconditional());
    EXPECT_EQ(pull(FolderType::Calendar).removed, 1);
    ItemRecord deleted = m_store.loadItem(review.id);
    EXPECT_EQ(deleted.folder, folderOf(FolderType::DeletedItems));
    EXPECT_FALSE(syncedItemOf(m_store, review.id));
}

TEST_F(PullFromRadicale, AnUnreadableResourceIsSkippedAndNamedWhileTheOthersArrive) {
    putCalendarResource("good.ics", dav::eventText("good", "Good"));
    // A journal entry in the calendar the Calendar folder follows: the server keeps it, no folder can.
    putCalendarResource("task.ics",
                        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Lumora tests//EN\r\nBEGIN:VJOURNAL\r\nUID:task\r\n"
                        "DTSTAMP:20260105T090000Z\r\nSUMMARY:Not an event\r\nEND:VJOURNAL\r\nEND:VCALENDAR\r\n");

    PullResult first = pull(FolderType::Calendar);
    EXPECT_EQ(first.created, 1);
    ASSERT_EQ(first.skipped.size(), 1u);
    EXPECT_EQ(first.skipped[0].href, m_calendarUrl + "task.ics");
    EXPECT_FALSE(first.skipped[0].reason.empty());
    EXPECT_FALSE(first.positionRemembered);
    EXPECT_EQ(bindingOfFolder(m_store, folderOf(FolderType::Calendar))->syncToken, "");

    // The next pull lists it again; what arrived is not fetched or made twice.
    PullResult again = pull(FolderType::Calendar);
    EXPECT_EQ(again.created + again.updated, 0);
    EXPECT_EQ(again.skipped.size(), 1u);
    EXPECT_EQ(m_store.itemIds(folderOf(FolderType::Calendar)).size(), 1u);
}

TEST_F(PullFromRadicale, AServerItemIsTheBoundFoldersNeverACopyKeptElsewhere) {
    ItemRecord copy{.uid = "good", .folder = m_store.addFolder(folderOf(FolderType::Calendar), "Archive", 1).id,
                    .itemClass = pim::ItemClass::Appointment};
    copy.values["Subject"] = Variant("Archived");
    m_store.saveItem(copy, {"Subject"});
    putCalendarResource("good.ics", dav::eventText("good", "Good"));
    EXPECT_EQ(pull(FolderType::Calendar).created, 1);
    EXPECT_EQ(m_store.loadItem(copy.id).values.at("Subject").toString(), "Archived");
}

TEST_F(PullFromRadicale, AFolderBoundToAnotherCollectionForgetsWhatItSharedWithTheFirst) {
    putCalendarResource("good.ics", dav::eventText("good", "Good"));
    pull(FolderType::Calendar);
    const int64_t calendar = folderOf(FolderType::Calendar);
    EXPECT_EQ(knownEtags(m_store, calendar).size(), 1u);
    bindFolder(m_store, {calendar, "work", m_calendarUrl, "", ""});  // the same: kept
    EXPECT_FALSE(bindingOfFolder(m_store, calendar)->syncToken.empty());
    bindFolder(m_store, {calendar, "home", m_calendarUrl, "", ""});
    EXPECT_TRUE(knownEtags(m_store, calendar).empty());
    EXPECT_TRUE(bindingOfFolder(m_store, calendar)->syncToken.empty());
}

}  // namespace lumora::sync
