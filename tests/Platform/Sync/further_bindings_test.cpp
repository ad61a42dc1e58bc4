// The person's calendars and address books beyond the defaults, on a real radicale: each is
// followed by a subfolder of its kind's default folder and syncs like the defaults; an item the
// person moves from one bound folder to another leaves the first collection for the second; a
// collection gone from the server leaves its subfolder and items behind.

#include <gtest/gtest.h>

#include <tuple>

#include "Platform/Sync/account_sync.hpp"
#include "Platform/Sync/default_bindings.hpp"
#include "Platform/Sync/further_bindings.hpp"
#include "radicale_store_fixture.hpp"

namespace lumora::sync {
namespace {

using pim::FolderType;

constexpr std::string_view kAccount = "work";

std::string eventText(const std::string& uid, const std::string& summary) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Another device//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTAMP:20261201T080000Z\r\nDTSTART:20261224T090000Z\r\nDTEND:20261224T100000Z\r\nSUMMARY:" +
           summary + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

class FurtherBindingsTest : public RadicaleStoreTest {
protected:
    void SetUp() override {
        m_client.makeCalendar(m_calendarUrl, "Work", "VEVENT");
        m_client.makeAddressBook(m_contactsUrl, "Contacts");
        bindDefaultFolders(m_store, std::string(kAccount), {m_calendarUrl, "", m_contactsUrl});
    }

    std::vector<SyncBinding> bindFurther() {
        const std::vector<dav::DavCollection> collections =
            dav::listCollections(m_client, dav::discoverHomes(m_client));
        return bindFurtherCollections(m_store, std::string(kAccount), collections,
                                      boundDefaultCollections(m_store, kAccount));
    }
    std::optional<pim::FolderRow> subfolder(FolderType parent, std::string_view name) {
        for (const pim::FolderRow& folder : m_store.subfolders(folderOf(parent)))
            if (folder.name == name) return folder;
        return std::nullopt;
    }
    std::string followedBy(int64_t folder) {
        const std::optional<SyncBinding> bound = bindingOfFolder(m_store, folder);
        return bound ? bound->collectionUrl : std::string();
    }
    AccountSyncResult sync() {
        AccountSyncResult result = syncAccount(m_store, m_client, kAccount);
        for (const CollectionSync& collection : result.collections)
            EXPECT_FALSE(collection.failure) << collection.failure->description();
        return result;
    }
    int status(const std::string& href) { return m_client.send({"GET", href, {}, {}, std::nullopt, {}}).status; }

    std::string m_calendarUrl = m_server.url("/alice/work/");
    std::string m_contactsUrl = m_server.url("/alice/contacts/");
    std::string m_holidaysUrl = m_server.url("/alice/holidays/");
};

TEST_F(FurtherBindingsTest, EachFurtherCollectionIsASubfolderOfItsKindNamedAsTheServerNamesIt) {
    m_client.makeCalendar(m_holidaysUrl, "Holidays", "VEVENT");
    m_client.makeCalendar(m_server.url("/alice/errands/"), "Errands", "VTODO");
    m_client.makeAddressBook(m_server.url("/alice/suppliers/"), "Suppliers");
    // A folder of the name the person made is taken over; one of a second "Holidays" is not.
    const int64_t ownHolidays = m_store.addFolder(folderOf(FolderType::Calendar), "holidays", 1).id;
    m_client.makeCalendar(m_server.url("/alice/holidays-2/"), "Holidays", "VEVENT");

    EXPECT_EQ(bindFurther().size(), 4u);
    EXPECT_EQ(followedBy(ownHolidays), m_holidaysUrl);
    EXPECT_EQ(followedBy(subfolder(FolderType::Calendar, "Holidays (2)")->id), m_server.url("/alice/holidays-2/"));
    EXPECT_EQ(followedBy(subfolder(FolderType::Tasks, "Errands")->id), m_server.url("/alice/errands/"));
    const pim::FolderRow suppliers = *subfolder(FolderType::Contacts, "Suppliers");
    EXPECT_EQ(followedBy(suppliers.id), m_server.url("/alice/suppliers/"));
    EXPECT_EQ(suppliers.defaultItemType, static_cast<int32_t>(pim::ItemType::Contact));
    EXPECT_EQ(m_store.subfolders(folderOf(FolderType::Calendar)).size(), 2u);

    // Found again, nothing changes.
    EXPECT_EQ(bindFurther().size(), 4u);
    EXPECT_EQ(m_store.subfolders(folderOf(FolderType::Calendar)).size(), 2u);
    EXPECT_EQ(bindingsOfAccount(m_store, kAccount).size(), 6u);
}

TEST_F(FurtherBindingsTest, ASubfolderSyncsAndAnItemMovedIntoItLeavesTheDefaultCollection) {
    m_client.makeCalendar(m_holidaysUrl, "Holidays", "VEVENT");
    bindFurther();
    m_client.put(m_holidaysUrl + "xmas.ics", eventText("xmas-1", "Christmas"), "text/calendar; charset=utf-8",
                 dav::WriteCondition::createOnly());
    m_client.put(m_calendarUrl + "offsite.ics", eventText("offsite-1", "Team offsite"),
                 "text/calendar; charset=utf-8", dav::WriteCondition::createOnly());
    sync();
    const int64_t holidays = subfolder(FolderType::Calendar, "Holidays")->id;
    ASSERT_EQ(m_store.itemIds(holidays).size(), 1u);
    EXPECT_EQ(m_store.loadItem(m_store.itemIds(holidays)[0]).values.at("Subject").toString(), "Christmas");
    ASSERT_EQ(m_store.itemIds(folderOf(FolderType::Calendar)).size(), 1u);

    // The person swaps them, each into the other folder: each is in the other collection only,
    // under its UID, whichever folder's push comes first.
    const int64_t offsite = m_store.itemIds(folderOf(FolderType::Calendar))[0];
    const int64_t christmas = m_store.itemIds(holidays)[0];
    m_store.moveItem(offsite, holidays);
    m_store.moveItem(christmas, folderOf(FolderType::Calendar));
    sync();
    EXPECT_EQ(status(m_calendarUrl + "offsite.ics"), 404);
    EXPECT_EQ(status(m_holidaysUrl + "xmas.ics"), 404);
    for (auto [item, collection, uid] : {std::tuple{offsite, m_holidaysUrl, "UID:offsite-1"},
                                         std::tuple{christmas, m_calendarUrl, "UID:xmas-1"}}) {
        const SyncedItem there = *syncedItemOf(m_store, item);
        EXPECT_EQ(there.href.rfind(collection, 0), 0u) << there.href;
        EXPECT_NE(m_client.get(there.href).body.find(uid), std::string::npos) << there.href;
    }
    // Nothing comes back as new on either side, and nothing was removed here.
    const AccountSyncResult again = sync();
    for (const CollectionSync& collection : again.collections)
        EXPECT_EQ(collection.created + collection.updated + collection.removed + collection.pushed, 0);
    EXPECT_EQ(m_store.itemIds(holidays), std::vector<int64_t>{offsite});
    EXPECT_EQ(m_store.itemIds(folderOf(FolderType::Calendar)), std::vector<int64_t>{christmas});
}

TEST_F(FurtherBindingsTest, ACollectionGoneFromTheServerLeavesItsSubfolderAndItemsHere) {
    m_client.makeCalendar(m_holidaysUrl, "Holidays", "VEVENT");
    bindFurther();
    m_client.put(m_holidaysUrl + "xmas.ics", eventText("xmas-1", "Christmas"), "text/calendar; charset=utf-8",
                 dav::WriteCondition::createOnly());
    sync();
    const int64_t holidays = subfolder(FolderType::Calendar, "Holidays")->id;
    m_client.send({"DELETE", m_holidaysUrl, {}, {}, std::nullopt, {}});

    EXPECT_TRUE(bindFurther().empty());
    EXPECT_FALSE(bindingOfFolder(m_store, holidays));
    EXPECT_EQ(m_store.itemIds(holidays).size(), 1u);
    // The defaults still follow their collections.
    EXPECT_EQ(followedBy(folderOf(FolderType::Calendar)), m_calendarUrl);
    EXPECT_EQ(followedBy(folderOf(FolderType::Contacts)), m_contactsUrl);
}

}  // namespace
}  // namespace lumora::sync
