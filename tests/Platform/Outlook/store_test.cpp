// The PIM store on a real SQLite file: default folders, item order, values and user
// properties read back by a second connection, and files it must refuse without damage.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "Platform/Outlook/pim_errors.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/sqlite_handles.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::pim {
namespace {

ItemRecord contactIn(int64_t folder, std::string lastName) {
    ItemRecord item;
    item.folder = folder;
    item.itemClass = ItemClass::Contact;
    item.values["LastName"] = Variant(std::move(lastName));
    return item;
}

class StoreTest : public ::testing::Test {
protected:
    lumora::tests::TempFolder m_folder;
};

TEST_F(StoreTest, MailboxHasTheDefaultFoldersWithTheirItemTypesAndLongHexIds) {
    PimStore store(m_folder.path());
    MailboxRow me = store.currentMailbox();
    EXPECT_EQ(me.storeId.size(), 96u);
    EXPECT_EQ(me.storeId.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(store.defaultFolder(me.id, FolderType::Calendar).defaultItemType, 1);
    EXPECT_EQ(store.defaultFolder(me.id, FolderType::Contacts).name, "Contacts");
    EXPECT_EQ(store.defaultFolder(me.id, FolderType::Tasks).defaultItemType, 3);
    EXPECT_EQ(store.defaultFolder(me.id, FolderType::Inbox).defaultItemType, 0);
    EXPECT_AUTOMATION_ERROR(store.defaultFolder(me.id, static_cast<FolderType>(99)), 5);
    // The same mailbox, and the same ids, on reopening.
    PimStore again(m_folder.path());
    EXPECT_EQ(again.currentMailbox().storeId, me.storeId);
    EXPECT_EQ(again.defaultFolder(me.id, FolderType::Contacts).entryId,
              store.defaultFolder(me.id, FolderType::Contacts).entryId);
}

TEST_F(StoreTest, ADeleteMovesToDeletedItemsAndOnlyADeleteThereIsFinal) {
    PimStore store(m_folder.path());
    int64_t contacts = store.defaultFolder(store.currentMailbox().id, FolderType::Contacts).id;
    std::vector<ItemRecord> saved;
    for (const char* name : {"Ames", "Bell", "Cole"}) {
        saved.push_back(contactIn(contacts, name));
        store.saveItem(saved.back(), {"LastName"});
    }
    EXPECT_EQ(store.itemIds(contacts).size(), 3u);
    store.deleteItem(saved[1].id);
    ASSERT_EQ(store.itemIds(contacts).size(), 2u);
    EXPECT_EQ(store.loadItem(store.itemIds(contacts)[1]).values.at("LastName"), Variant("Cole"));
    const int64_t trash = store.defaultFolder(store.currentMailbox().id, FolderType::DeletedItems).id;
    EXPECT_EQ(store.loadItem(saved[1].id).folder, trash);
    EXPECT_EQ(store.loadItem(saved[1].id).values.at("LastName"), Variant("Bell"));
    // Back where it was, in its old position.
    store.moveItem(saved[1].id, contacts);
    EXPECT_EQ(store.loadItem(store.itemIds(contacts)[1]).values.at("LastName"), Variant("Bell"));
    store.deleteItem(saved[1].id);
    // In a folder inside Deleted Items, a delete is final as in Deleted Items itself.
    const int64_t kept = store.addFolder(trash, "Kept", 2).id;
    store.moveItem(saved[1].id, kept);
    store.deleteItem(saved[1].id);
    EXPECT_AUTOMATION_ERROR(store.loadItem(saved[1].id), 0x8004010F);
    EXPECT_AUTOMATION_ERROR(store.deleteItem(saved[1].id), 0x8004010F);
    EXPECT_TRUE(store.itemIds(kept).empty());
}

// What a folder lies in is found by walking up its parents: a shared calendar's subfolder is in
// view for the grantee, and a damaged store whose parents form a loop still answers.
TEST_F(StoreTest, AFolderIsJudgedByTheFoldersItLiesInEvenWhenItsParentsFormALoop) {
    PimStore store(m_folder.path());
    const MailboxRow me = store.currentMailbox();
    const MailboxRow other = store.addMailbox("Pat Lee");
    const int64_t meetings = store.addFolder(store.defaultFolder(other.id, FolderType::Calendar).id, "Meetings", 1).id;
    EXPECT_FALSE(store.isVisibleTo(meetings, me.id));
    store.setShared(other.id, FolderType::Calendar, me.id, true);
    EXPECT_TRUE(store.isVisibleTo(meetings, me.id));
    EXPECT_TRUE(store.isVisibleTo(meetings, other.id));
    EXPECT_FALSE(store.isInDeletedItems(meetings));

    const int64_t outer = store.addFolder(store.defaultFolder(me.id, FolderType::Contacts).id, "Outer", 2).id;
    const int64_t inner = store.addFolder(outer, "Inner", 2).id;
    store.database().execute("UPDATE folders SET parent = " + std::to_string(inner) + " WHERE id = " +
                             std::to_string(outer));
    EXPECT_FALSE(store.isVisibleTo(inner, other.id));
    ItemRecord lost = contactIn(inner, "Lost");
    store.saveItem(lost, {"LastName"});
    store.deleteItem(lost.id);
    EXPECT_EQ(store.loadItem(lost.id).folder, store.defaultFolder(me.id, FolderType::DeletedItems).id);
}

TEST_F(StoreTest, SavingAnItemAnotherProcessDeletedFailsAndWritesNothing) {
    PimStore store(m_folder.path());
    int64_t contacts = store.defaultFolder(store.currentMailbox().id, FolderType::Contacts).id;
    ItemRecord item = contactIn(contacts, "Eve");
    store.saveItem(item, {"LastName"});
    {
        PimStore other(m_folder.path());
        other.deleteItem(item.id);
        other.deleteItem(item.id);
    }
    item.values["FirstName"] = Variant("Late");
    EXPECT_AUTOMATION_ERROR(store.saveItem(item, {"FirstName"}), 0x8004010F);
    Statement orphans(store.database(), "SELECT COUNT(*) FROM item_values");
    ASSERT_TRUE(orphans.step());
    EXPECT_EQ(orphans.integer(0), 0);
    EXPECT_TRUE(store.itemIds(contacts).empty());
}

TEST_F(StoreTest, AnotherConnectionsWritesAreSeenByTheCachedOrder) {
    PimStore reader(m_folder.path());
    int64_t contacts = reader.defaultFolder(reader.currentMailbox().id, FolderType::Contacts).id;
    EXPECT_TRUE(reader.itemIds(contacts).empty());
    PimStore writer(m_folder.path());
    ItemRecord item = contactIn(contacts, "Dunn");
    item.userProperties.push_back({"ACID", 1, Variant("A-1"), true});
    writer.saveItem(item, {"LastName"});
    ASSERT_EQ(reader.itemIds(contacts).size(), 1u);
    ItemRecord read = reader.loadItem(reader.itemIds(contacts)[0]);
    EXPECT_EQ(read.entryId, item.entryId);
    reader.loadUserProperties(read);
    ASSERT_EQ(read.userProperties.size(), 1u);
    EXPECT_EQ(read.userProperties[0].value, Variant("A-1"));
    writer.deleteItem(item.id);
    EXPECT_TRUE(reader.itemIds(contacts).empty());
}

TEST_F(StoreTest, ValuesKeepTheirTypesQuotesAndCharactersOutsideTheBasicPlane) {
    PimStore store(m_folder.path());
    int64_t tasks = store.defaultFolder(store.currentMailbox().id, FolderType::Tasks).id;
    ItemRecord task;
    task.folder = tasks;
    task.itemClass = ItemClass::Task;
    task.values = {{"Subject", Variant("O'Brien \"quoted\" \xF0\x9F\x98\x80")},
                   {"DueDate", Variant(Date{949998.0})},
                   {"Complete", Variant(true)},
                   {"PercentComplete", Variant(int32_t{40})},
                   {"Body", Variant(std::string(1 << 20, 'x'))}};
    store.saveItem(task, {"Subject", "DueDate", "Complete", "PercentComplete", "Body"});
    ItemRecord read = PimStore(m_folder.path()).loadItem(task.id);
    EXPECT_EQ(read.itemClass, ItemClass::Task);
    for (const auto& [name, value] : task.values) EXPECT_EQ(read.values.at(name), value) << name;
    EXPECT_EQ(read.values.at("DueDate").type(), VarType::Date);
}

TEST_F(StoreTest, ACorruptFileIsRefusedAndLeftAsItWas) {
    std::string garbage(8192, '\x5a');
    std::ofstream(m_folder.path() / kStoreFileName, std::ios::binary) << garbage;
    EXPECT_AUTOMATION_ERROR(PimStore store(m_folder.path()), 0x8004011B);
    std::ifstream in(m_folder.path() / kStoreFileName, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

// The opening runs in a child that, under root, drops to an unprivileged user: root writes
// read-only files.
TEST_F(StoreTest, AReadOnlyFileIsRefusedWithoutWriting) {
    { PimStore store(m_folder.path()); }
    std::filesystem::path file = m_folder.path() / kStoreFileName;
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    auto before = std::filesystem::last_write_time(file);
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        try {
            PimStore store(m_folder.path());
        } catch (const Error& e) {
            _exit(e.number() == static_cast<int32_t>(0x80070005) ? 0 : 3);
        }
        _exit(4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(std::filesystem::last_write_time(file), before);
}

TEST_F(StoreTest, SharesAndSelectionAreKeptForOtherProcesses) {
    PimStore store(m_folder.path());
    MailboxRow me = store.currentMailbox();
    MailboxRow other = store.addMailbox("Pat Lee");
    EXPECT_EQ(store.addMailbox("PAT LEE").storeId, other.storeId);
    store.setShared(other.id, FolderType::Calendar, me.id, true);
    store.setSelection({"AA", "BB"});
    PimStore reader(m_folder.path());
    EXPECT_TRUE(reader.isShared(other.id, FolderType::Calendar, me.id));
    EXPECT_FALSE(reader.isShared(other.id, FolderType::Contacts, me.id));
    EXPECT_EQ(reader.selection(), (std::vector<std::string>{"AA", "BB"}));
    store.setShared(other.id, FolderType::Calendar, me.id, false);
    EXPECT_FALSE(reader.isShared(other.id, FolderType::Calendar, me.id));
}

}  // namespace
}  // namespace lumora::pim
