// The store's writes inside a top-level call: another connection sees none of them until the
// call ends or the person is about to wait, a write that fails leaves none of itself while the
// call's other writes stay, and the call leaves one journal entry however its writes went. The
// call's reads see one state of the store until it waits for the person or writes.

#include <gtest/gtest.h>

#include "Automation/top_level_call.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/sqlite_handles.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::pim {
namespace {

class StoreCallTest : public ::testing::Test {
protected:
    StoreCallTest() : m_store(m_folder.path()), m_reader(m_folder.path()) {
        m_contacts = m_store.defaultFolder(m_store.currentMailbox().id, FolderType::Contacts).id;
    }

    ItemRecord save(const std::string& lastName) {
        ItemRecord item;
        item.folder = m_contacts;
        item.itemClass = ItemClass::Contact;
        item.values["LastName"] = Variant(lastName);
        m_store.saveItem(item, {"LastName"});
        return item;
    }
    // A save that fails inside its write: the item is gone.
    void saveGone() {
        ItemRecord gone;
        gone.id = 1'000'000;
        gone.folder = m_contacts;
        gone.itemClass = ItemClass::Contact;
        EXPECT_AUTOMATION_ERROR(m_store.saveItem(gone, {"LastName"}), 0x8004010F);
    }
    // As another process reads the file.
    int64_t seen(const std::string& sql) {
        Statement query(m_reader.database(), sql);
        return query.step() ? query.integer(0) : -1;
    }
    int64_t itemsSeen() { return seen("SELECT COUNT(*) FROM items"); }
    // As another process writes the file: a contact added in a transaction of its own.
    void addElsewhere() {
        Database other(m_folder.path() / kStoreFileName);
        Statement add(other, "INSERT INTO items(entry_id, folder, class) VALUES(?, ?, 40)");
        add.bind(1, newHexId(24)).bind(2, m_contacts).run();
    }
    size_t contactsRead() { return m_store.itemIds(m_contacts).size(); }

    lumora::tests::TempFolder m_folder;
    PimStore m_store;
    PimStore m_reader;
    int64_t m_contacts = 0;
};

TEST_F(StoreCallTest, ACallsWritesAreSeenTogetherWhenItEndsAsOneJournalEntry) {
    {
        const TopLevelCall call("import");
        saveGone();  // its first write fails: nothing of it, and the call goes on
        save("Ames");
        saveGone();  // a later one fails: the writes before it stay
        save("Bell");
        EXPECT_EQ(itemsSeen(), 0);
    }
    EXPECT_EQ(itemsSeen(), 2);
    EXPECT_EQ(seen("SELECT COUNT(*) FROM journal WHERE what = 'import' AND created = 2"), 1);
    EXPECT_EQ(seen("SELECT COUNT(*) FROM journal"), 1);
}

TEST_F(StoreCallTest, BeforeThePersonWaitsTheCallsWritesAreCommittedAndTheCallGoesOnInItsEntry) {
    {
        const TopLevelCall call("ask between saves");
        save("Ames");
        TopLevelCall::beforePersonWaits();
        EXPECT_EQ(itemsSeen(), 1);
        saveGone();  // fails as the first write after the wait
        save("Bell");
        EXPECT_EQ(itemsSeen(), 1);
    }
    EXPECT_EQ(itemsSeen(), 2);
    EXPECT_EQ(seen("SELECT COUNT(*) FROM journal_items WHERE created"), 2);
    EXPECT_EQ(seen("SELECT COUNT(*) FROM journal WHERE what = 'ask between saves' AND created = 2"), 1);
    EXPECT_EQ(seen("SELECT COUNT(*) FROM journal"), 1);
}

TEST_F(StoreCallTest, ACallReadsTheStoreAsItFoundItUntilThePersonWaitsOrItWrites) {
    save("Ames");
    {
        const TopLevelCall call("walk");
        EXPECT_EQ(contactsRead(), 1u);
        addElsewhere();
        EXPECT_EQ(contactsRead(), 1u);
        TopLevelCall::beforePersonWaits();
        EXPECT_EQ(contactsRead(), 2u);
        addElsewhere();
        EXPECT_EQ(contactsRead(), 2u);
        save("Bell");  // written to the store as it is now, and the folder's order follows it
        EXPECT_EQ(contactsRead(), 4u);
        EXPECT_EQ(itemsSeen(), 3);
    }
    EXPECT_EQ(itemsSeen(), 4);
    addElsewhere();
    EXPECT_EQ(contactsRead(), 5u);  // outside a call every read sees the latest
}

}  // namespace
}  // namespace lumora::pim
