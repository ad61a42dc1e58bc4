// Undoing what the control's contact members did, as the person at the command line does: the
// purge of SetContactFolder comes back whole and in order, and the contact AddContactAll made
// goes to Deleted Items.

#include <gtest/gtest.h>

#include "Automation/top_level_call.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/store_history.hpp"
#include "contact_fixture.hpp"

namespace lumora {
namespace {

constexpr int32_t kDeletedItemsFolder = 3;

class ContactHistoryTest : public testing::ContactControlTest {
protected:
    // The member called as a page's bridge call is: one top-level call.
    Variant callAsPage(const std::string& member, const Variant& argument) {
        const TopLevelCall unitOfWork("LumoraControl2005.LumoraCtrl2005." + member);
        return control.call(member, argument);
    }
    pim::PimStore& store() {
        if (!m_store) m_store = pim::PimStore::shared(dataFolder());
        return *m_store;
    }
    pim::HistoryEntry newestEntry() { return pim::listHistory(store(), {1, {}}).at(0); }
    pim::UndoResult undo(int64_t entry) {
        const TopLevelCall unitOfWork("lumora pim undo " + std::to_string(entry));
        return pim::undoEntry(store(), entry, false);
    }
    // Each item of the folder in position order: its name, the CRM's marks and its id property.
    std::vector<std::string> marked(const Object& folder) {
        std::vector<std::string> rows;
        for (const Variant& each : folder.getObject("Items").elements()) {
            const Object item = each.toObject();
            rows.push_back(item.get("LastName").toString() + "|" + item.get("User1").toString() + "|" +
                           item.get("User2").toString() + "|" + userProperty(item, "LUMORAID"));
        }
        return rows;
    }

    std::shared_ptr<pim::PimStore> m_store;
};

TEST_F(ContactHistoryTest, UndoingAPurgeBringsEveryTemporaryContactBackInItsPlaceAndRedoPurgesAgain) {
    setContactFolder("Contacts");
    int id = 0;
    for (const char* name : {"Kept 1", "Temp 1", "Temp 2", "Kept 2", "Temp 3"})
        addContact(name, std::string(name).starts_with("Temp") ? "Temporary" : "Permanent", {}, "C-" + std::to_string(++id));
    // A person's own user property on one of them.
    Object visited = contactsFolder().getObject("Items").item(3);
    visited.getObject("UserProperties").getObject("Add", "LUMORAID", 1).put("Value", "visited");
    visited.call("Save");
    const std::vector<std::string> before = marked(contactsFolder());
    ASSERT_EQ(before.size(), 5u);
    ASSERT_EQ(before[2], "Temp 2|Lumora|Temp|visited");

    callAsPage("SetContactFolder", Variant("Contacts"));
    EXPECT_EQ(lastNames(contactsFolder()), (std::vector<std::string>{"Kept 1", "Kept 2"}));
    const pim::HistoryEntry purge = newestEntry();
    EXPECT_EQ(purge.what, "LumoraControl2005.LumoraCtrl2005.SetContactFolder");
    EXPECT_EQ(purge.moved, 3);

    const pim::UndoResult undone = undo(purge.id);
    EXPECT_EQ(undone.putBack, 3);
    EXPECT_TRUE(undone.skipped.empty());
    EXPECT_EQ(marked(contactsFolder()), before);
    EXPECT_EQ(defaultFolder(kDeletedItemsFolder).getObject("Items").count(), 0);
    pim::Statement remembered(store().database(), "SELECT COUNT(*) FROM items WHERE deleted_from IS NOT NULL");
    ASSERT_TRUE(remembered.step());
    EXPECT_EQ(remembered.integer(0), 0);

    // Undoing the undo is the purge again; the purge itself is now refused, its items moved since.
    EXPECT_EQ(undo(undone.entry).putBack, 3);
    EXPECT_EQ(lastNames(contactsFolder()), (std::vector<std::string>{"Kept 1", "Kept 2"}));
    EXPECT_EQ(lastNames(defaultFolder(kDeletedItemsFolder)), (std::vector<std::string>{"Temp 1", "Temp 2", "Temp 3"}));
    const pim::UndoResult refused = undo(purge.id);
    EXPECT_EQ(refused.putBack, 0);
    EXPECT_EQ(refused.skipped.size(), 3u);
}

TEST_F(ContactHistoryTest, UndoingAddContactAllPutsTheContactInDeletedItems) {
    setContactFolder("Contacts");
    Variant document(page(formPage({{"ACC_ID", "AC-7"}})));
    ASSERT_EQ(callAsPage("AddContactAll", document), Variant(true));
    const pim::HistoryEntry added = newestEntry();
    EXPECT_EQ(added.created, 1);

    EXPECT_EQ(undo(added.id).putBack, 1);
    EXPECT_EQ(contactsFolder().getObject("Items").count(), 0);
    const Object trash = defaultFolder(kDeletedItemsFolder);
    ASSERT_EQ(lastNames(trash), std::vector<std::string>{"Lee"});
    EXPECT_EQ(userProperty(trash.getObject("Items").item(1), "LUMORAID"), "AC-7");
}

}  // namespace
}  // namespace lumora
