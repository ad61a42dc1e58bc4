// Shares as the server offers them, bound in the store: each owner a mailbox whose default
// folder of the collection's kind follows it, shared to read or to write as the server says;
// a share the server stops offering is unshared and unbound, its items kept.

#include <gtest/gtest.h>

#include "Platform/Sync/shared_bindings.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::sync {
namespace {

using pim::FolderType;

dav::SharedCollection share(std::string owner, std::string url, dav::CollectionKind kind,
                            std::vector<std::string> components, bool writable) {
    dav::SharedCollection shared;
    shared.collection.url = std::move(url);
    shared.collection.kind = kind;
    shared.collection.components = std::move(components);
    shared.ownerUser = std::move(owner);
    shared.writable = writable;
    return shared;
}

class SharedBindingsTest : public ::testing::Test {
protected:
    int64_t folderOf(std::string_view owner, FolderType type) {
        return m_store.defaultFolder(m_store.mailboxByName(owner)->id, type).id;
    }
    std::optional<pim::ShareAccess> accessTo(std::string_view owner, FolderType type) {
        return m_store.shareAccess(m_store.mailboxByName(owner)->id, type, m_store.currentMailbox().id);
    }

    lumora::tests::TempFolder m_data;
    pim::PimStore m_store{m_data.path()};
};

TEST_F(SharedBindingsTest, EachShareFollowsItsOwnersDefaultFolderOfItsKind) {
    using enum dav::CollectionKind;
    const std::vector<dav::SharedCollection> offered = {
        share("alice", "http://127.0.0.1:1/alice/team/", Calendar, {"VEVENT", "VTODO"}, false),
        share("alice", "http://127.0.0.1:1/alice/todo/", Calendar, {"VTODO"}, true),
        share("alice", "http://127.0.0.1:1/alice/more/", Calendar, {"VEVENT"}, true),  // beside her Calendar
        share("carol", "http://127.0.0.1:1/carol/book/", AddressBook, {}, true),
        share("carol", "http://127.0.0.1:1/carol/journal/", Calendar, {"VJOURNAL"}, true),
    };
    const std::vector<SyncBinding> bound = bindSharedCollections(m_store, "bob", offered);
    ASSERT_EQ(bound.size(), 4u);
    EXPECT_EQ(bindingOfFolder(m_store, folderOf("alice", FolderType::Calendar))->collectionUrl, offered[0].collection.url);
    EXPECT_EQ(bindingOfFolder(m_store, folderOf("alice", FolderType::Tasks))->collectionUrl, offered[1].collection.url);
    EXPECT_EQ(bindingOfFolder(m_store, folderOf("carol", FolderType::Contacts))->collectionUrl, offered[3].collection.url);
    EXPECT_EQ(accessTo("alice", FolderType::Calendar), pim::ShareAccess::ReadOnly);
    EXPECT_EQ(accessTo("alice", FolderType::Tasks), pim::ShareAccess::ReadWrite);
    EXPECT_EQ(accessTo("carol", FolderType::Contacts), pim::ShareAccess::ReadWrite);
    EXPECT_EQ(accessTo("carol", FolderType::Calendar), std::nullopt);
    // Her further calendar is a subfolder of her Calendar, which she lets bob change in it alone.
    const std::vector<pim::FolderRow> inCalendar = m_store.subfolders(folderOf("alice", FolderType::Calendar));
    ASSERT_EQ(inCalendar.size(), 1u);
    EXPECT_EQ(inCalendar[0].name, "more");
    EXPECT_EQ(bindingOfFolder(m_store, inCalendar[0].id)->collectionUrl, offered[2].collection.url);
    EXPECT_TRUE(m_store.isWritable(inCalendar[0].id));
    EXPECT_FALSE(m_store.isWritable(folderOf("alice", FolderType::Calendar)));
    // Offered again, in another order, nothing changes: her Calendar keeps the calendar it follows.
    const std::vector<dav::SharedCollection> reordered = {offered[2], offered[0], offered[1], offered[3], offered[4]};
    EXPECT_EQ(bindSharedCollections(m_store, "bob", reordered).size(), 4u);
    EXPECT_EQ(bindingsOfAccount(m_store, "bob").size(), 4u);
    EXPECT_EQ(bindingOfFolder(m_store, folderOf("alice", FolderType::Calendar))->collectionUrl,
              offered[0].collection.url);
    EXPECT_EQ(m_store.subfolders(folderOf("alice", FolderType::Calendar)).size(), 1u);
}

TEST_F(SharedBindingsTest, AShareNoLongerOfferedIsUnsharedAndUnboundAndItsItemsStay) {
    const int64_t own = m_store.defaultFolder(m_store.currentMailbox().id, FolderType::Calendar).id;
    bindFolder(m_store, {own, "bob", "http://127.0.0.1:1/bob/calendar/", "", ""});
    bindSharedCollections(m_store, "bob",
                          {share("alice", "http://127.0.0.1:1/alice/team/", dav::CollectionKind::Calendar, {}, false)});
    pim::ItemRecord standup;
    standup.folder = folderOf("alice", FolderType::Calendar);
    standup.itemClass = pim::ItemClass::Appointment;
    standup.values["Subject"] = Variant("Standup");
    {
        pim::PimStore::ServerCopyWrites serverCopy(m_store);
        m_store.saveItem(standup, {"Subject"});
    }

    EXPECT_TRUE(bindSharedCollections(m_store, "bob", {}).empty());
    EXPECT_EQ(accessTo("alice", FolderType::Calendar), std::nullopt);
    EXPECT_FALSE(bindingOfFolder(m_store, standup.folder).has_value());
    EXPECT_EQ(m_store.itemIds(standup.folder), std::vector<int64_t>{standup.id});
    // The person's own folders keep following the account.
    EXPECT_TRUE(bindingOfFolder(m_store, own).has_value());
}

}  // namespace
}  // namespace lumora::sync
