// The store's history on a real store file: undoing an entry puts values, user properties and
// folders back and is itself undoable; items a later entry touched are left alone unless forced;
// the trash restores where a folder is gone; an older store gains journal and trash; pruning
// keeps the journal within its bounds.

#include <gtest/gtest.h>

#include "Automation/top_level_call.hpp"
#include "Platform/Outlook/pim_item.hpp"
#include "Platform/Outlook/sqlite_handles.hpp"
#include "Platform/Outlook/store_history.hpp"
#include "Platform/Outlook/store_trash.hpp"
#include "pim_fixture.hpp"

namespace lumora::pim::tests {
namespace {

class StoreHistoryTest : public PimTest {
protected:
    PimStore& shared() {
        if (!m_shared) m_shared = PimStore::shared(m_data.path());
        return *m_shared;
    }
    int64_t folderOf(FolderType type) { return shared().defaultFolder(shared().currentMailbox().id, type).id; }

    int64_t saveContact(std::unordered_map<std::string, Variant> values, const std::string& call) {
        ItemRecord contact;
        contact.folder = folderOf(FolderType::Contacts);
        contact.itemClass = ItemClass::Contact;
        contact.values = std::move(values);
        contact.userProperties = {UserPropertyRow{"LUMORAID", 1, Variant("C-1")}};
        std::vector<std::string> names;
        for (const auto& [name, value] : contact.values) names.push_back(name);
        const TopLevelCall unitOfWork(call);
        shared().saveItem(contact, names);
        return contact.id;
    }
    void rename(int64_t id, const std::string& lastName, const std::string& call) {
        ItemRecord item = shared().loadItem(id);
        item.values["LastName"] = Variant(lastName);
        const TopLevelCall unitOfWork(call);
        shared().saveItem(item, {"LastName"});
    }
    int64_t newestEntry() { return listHistory(shared(), {1, {}}).at(0).id; }
    UndoResult undo(int64_t entry, bool force = false) {
        const TopLevelCall unitOfWork("lumora pim undo " + std::to_string(entry));
        return undoEntry(shared(), entry, force);
    }
    std::string lastName(int64_t id) { return textValue(shared().loadItem(id), "LastName"); }

    std::shared_ptr<PimStore> m_shared;
};

TEST_F(StoreHistoryTest, UndoPutsBackValuesAndUserPropertiesAndUndoingTheUndoRedoes) {
    const int64_t id = saveContact({{"LastName", Variant("Lee")}, {"Email1Address", Variant("lee@example.com")}}, "make");
    ItemRecord edited = shared().loadItem(id);
    shared().loadUserProperties(edited);
    edited.values["LastName"] = Variant("Li");
    edited.values.erase("Email1Address");
    edited.values["JobTitle"] = Variant("CTO");
    edited.userProperties.push_back(UserPropertyRow{"Extra", 1, Variant("x")});
    {
        const TopLevelCall unitOfWork("edit");
        shared().saveItem(edited, {"LastName", "Email1Address", "JobTitle"});
    }
    const int64_t edit = newestEntry();

    const UndoResult undone = undo(edit);
    EXPECT_EQ(undone.putBack, 1);
    EXPECT_TRUE(undone.skipped.empty());
    ItemRecord back = shared().loadItem(id);
    shared().loadUserProperties(back);
    EXPECT_EQ(textValue(back, "LastName"), "Lee");
    EXPECT_EQ(textValue(back, "Email1Address"), "lee@example.com");
    EXPECT_FALSE(back.values.contains("JobTitle"));
    ASSERT_EQ(back.userProperties.size(), 1u);
    EXPECT_EQ(back.userProperties[0].name, "LUMORAID");
    const HistoryEntry entry = listHistory(shared(), {1, {}}).at(0);
    EXPECT_EQ(entry.id, undone.entry);
    EXPECT_EQ(entry.undoes, edit);
    EXPECT_EQ(entry.what, "lumora pim undo " + std::to_string(edit));
    EXPECT_EQ(entry.changed, 1);

    const UndoResult redone = undo(undone.entry);
    EXPECT_EQ(redone.putBack, 1);
    ItemRecord again = shared().loadItem(id);
    shared().loadUserProperties(again);
    EXPECT_EQ(textValue(again, "LastName"), "Li");
    EXPECT_FALSE(again.values.contains("Email1Address"));
    EXPECT_EQ(textValue(again, "JobTitle"), "CTO");
    EXPECT_EQ(again.userProperties.size(), 2u);

    // The item's own history, newest first, found by its entry id.
    std::vector<int64_t> ids;
    for (const HistoryEntry& each : listHistory(shared(), {3, back.entryId})) ids.push_back(each.id);
    EXPECT_EQ(ids, (std::vector<int64_t>{redone.entry, undone.entry, edit}));
    EXPECT_TRUE(listHistory(shared(), {20, std::string("00FF")}).empty());
}

TEST_F(StoreHistoryTest, ItemsALaterEntryTouchedWaitForForceAndItemsRemovedForGoodAreNamed) {
    const int64_t first = saveContact({{"LastName", Variant("Ann")}}, "make ann");
    const int64_t second = saveContact({{"LastName", Variant("Bo")}}, "make bo");
    {
        const TopLevelCall both("rename both");
        rename(first, "Ann 2", "");
        rename(second, "Bo 2", "");
    }
    const int64_t renamedBoth = newestEntry();
    rename(first, "Ann 3", "rename ann again");
    const int64_t later = newestEntry();

    const UndoResult refused = undo(renamedBoth);
    EXPECT_EQ(refused.putBack, 1);
    ASSERT_EQ(refused.skipped.size(), 1u);
    EXPECT_EQ(refused.skipped[0].entryId, shared().loadItem(first).entryId);
    EXPECT_EQ(refused.skipped[0].reason, UndoSkip::Reason::TouchedLater);
    EXPECT_EQ(refused.skipped[0].laterEntry, later);
    EXPECT_EQ(lastName(first), "Ann 3");
    EXPECT_EQ(lastName(second), "Bo");

    EXPECT_EQ(undo(renamedBoth, true).putBack, 2);
    EXPECT_EQ(lastName(first), "Ann");

    // Deleted twice in one call: into the trash, then for good.
    const std::string entryId = shared().loadItem(second).entryId;
    {
        const TopLevelCall unitOfWork("delete bo for good");
        shared().deleteItem(second);
        shared().deleteItem(second);
    }
    const int64_t removal = newestEntry();
    EXPECT_EQ(listHistory(shared(), {1, {}}).at(0).removed, 1);
    const UndoResult lost = undo(removal);
    EXPECT_EQ(lost.putBack, 0);
    EXPECT_EQ(lost.entry, 0);
    ASSERT_EQ(lost.skipped.size(), 1u);
    EXPECT_EQ(lost.skipped[0].entryId, entryId);
    EXPECT_EQ(lost.skipped[0].reason, UndoSkip::Reason::RemovedForGood);
    EXPECT_EQ(newestEntry(), removal);  // an undo that did nothing leaves no entry...
    rename(first, "Ann 4", "rename after");
    EXPECT_EQ(listHistory(shared(), {1, {}}).at(0).undoes, 0);  // ...and marks none as undoing

    EXPECT_THROW(undo(removal + 1000), Error);
}

TEST_F(StoreHistoryTest, TrashRestoresToTheClassFolderWhenItsOwnIsGoneAndUndoSaysSo) {
    const int64_t contacts = folderOf(FolderType::Contacts);
    const int64_t crm = shared().addFolder(contacts, "CRM", 2).id;
    ItemRecord contact;
    contact.folder = crm;
    contact.itemClass = ItemClass::Contact;
    contact.values = {{"FirstName", Variant("Ann")}, {"LastName", Variant("Lee")}};
    shared().saveItem(contact, {"FirstName", "LastName"});
    {
        const TopLevelCall unitOfWork("delete");
        shared().deleteItem(contact.id);
    }
    const int64_t deletion = newestEntry();
    const int64_t kept = shared().addFolder(folderOf(FolderType::DeletedItems), "Kept", 2).id;
    shared().database().execute("DELETE FROM folders WHERE id = " + std::to_string(crm));
    // Filed away within the trash, it still remembers where it came from.
    shared().moveItem(contact.id, kept);

    const std::vector<TrashItem> trash = listTrash(shared());
    ASSERT_EQ(trash.size(), 1u);
    EXPECT_EQ(trash[0].entryId, contact.entryId);
    EXPECT_EQ(trash[0].name, "Lee, Ann");
    EXPECT_TRUE(trash[0].cameFromGone);
    EXPECT_GT(trash[0].deletedAt, 0);

    const UndoResult undone = undo(deletion, true);
    ASSERT_EQ(undone.skipped.size(), 1u);
    EXPECT_EQ(undone.skipped[0].reason, UndoSkip::Reason::FolderGone);

    const RestoreResult restored = restoreFromTrash(shared(), {contact.entryId, "00FF"});
    ASSERT_EQ(restored.restored.size(), 1u);
    EXPECT_EQ(restored.restored[0].folder, "Contacts");
    EXPECT_EQ(restored.unknown, std::vector<std::string>{"00FF"});
    EXPECT_EQ(shared().loadItem(contact.id).folder, contacts);
    EXPECT_EQ(restoreFromTrash(shared(), {contact.entryId}).notInTrash, std::vector<std::string>{contact.entryId});
    Statement forgotten(shared().database(), "SELECT deleted_from IS NULL AND deleted_at IS NULL FROM items WHERE id = ?");
    forgotten.bind(1, contact.id);
    ASSERT_TRUE(forgotten.step());
    EXPECT_EQ(forgotten.integer(0), 1);

    // A damaged store whose folders are each other's parents ends the walk up from them.
    const int64_t a = shared().addFolder(contacts, "A", 2).id;
    const int64_t b = shared().addFolder(a, "B", 2).id;
    shared().database().execute("UPDATE folders SET parent = " + std::to_string(b) + " WHERE id = " + std::to_string(a));
    EXPECT_FALSE(shared().isInDeletedItems(b));
    EXPECT_TRUE(shared().isInDeletedItems(kept));
}

TEST_F(StoreHistoryTest, AWriteFailingInsideALargerOneLeavesTheFolderOrderAsStored) {
    const int64_t id = saveContact({{"LastName", Variant("Lee")}}, "make");
    const int64_t contacts = folderOf(FolderType::Contacts);
    const int64_t trash = folderOf(FolderType::DeletedItems);
    ASSERT_EQ(shared().itemIds(contacts), std::vector<int64_t>{id});
    ASSERT_TRUE(shared().itemIds(trash).empty());
    for (const bool whole : {false, true}) {
        const TopLevelCall unitOfWork("failing");
        try {
            auto write = whole ? shared().beginWholeWrite("outer") : shared().beginWrite("outer");
            shared().moveItem(id, trash);
            throw std::runtime_error("fails after the move");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(shared().itemIds(contacts), std::vector<int64_t>{id}) << whole;
        EXPECT_TRUE(shared().itemIds(trash).empty()) << whole;
    }
    EXPECT_EQ(shared().loadItem(id).folder, contacts);
}

TEST_F(StoreHistoryTest, AnOlderStoreKeepsItsItemsAndGainsJournalTrashAndUids) {
    const int64_t id = saveContact({{"LastName", Variant("Lee")}}, "make");
    const std::string entryId = shared().loadItem(id).entryId;
    m_shared.reset();
    {
        Database db(m_data.path() / kStoreFileName);
        db.execute(
            "DROP TABLE journal_user_properties; DROP TABLE journal_values; DROP TABLE journal_items;"
            " DROP TABLE journal; ALTER TABLE items DROP COLUMN deleted_from; ALTER TABLE items DROP COLUMN deleted_at;"
            " DROP INDEX items_by_uid; ALTER TABLE items DROP COLUMN uid; PRAGMA user_version = 0");
    }
    EXPECT_EQ(lastName(id), "Lee");
    Statement version(shared().database(), "PRAGMA user_version");
    ASSERT_TRUE(version.step());
    EXPECT_EQ(version.integer(0), 6);
    Statement syncTables(shared().database(), "SELECT COUNT(*) FROM sqlite_master WHERE name IN"
                                              " ('sync_bindings', 'sync_items', 'folder_access')");
    ASSERT_TRUE(syncTables.step());
    EXPECT_EQ(syncTables.integer(0), 3);
    EXPECT_TRUE(listHistory(shared(), {}).empty());
    // The UID its exports carried before the store kept UIDs, so that those files find it.
    EXPECT_EQ(shared().loadItem(id).uid, "urn:lumora:" + entryId);

    {
        const TopLevelCall unitOfWork("delete");
        shared().deleteItem(id);
    }
    ASSERT_EQ(listTrash(shared()).size(), 1u);
    EXPECT_EQ(listTrash(shared())[0].cameFrom, "Contacts");
    EXPECT_EQ(undo(newestEntry()).putBack, 1);
    EXPECT_EQ(shared().loadItem(id).folder, folderOf(FolderType::Contacts));
}

TEST_F(StoreHistoryTest, PruningKeepsTheNewestEntriesWithinTheAge) {
    std::vector<int64_t> entries;
    const int64_t id = saveContact({{"LastName", Variant("0")}}, "make");
    entries.push_back(newestEntry());
    for (int i = 1; i < 6; ++i) {
        rename(id, std::to_string(i), "rename");
        entries.push_back(newestEntry());
    }
    const JournalBounds bounds{90, 3};
    EXPECT_EQ(pruneJournal(shared().statements(), JournalBounds{90, 6}, true), 0);
    Statement age(shared().database(), "UPDATE journal SET at = at - 91 * 86400000 WHERE id <= ?");
    age.bind(1, entries[1]).run();
    EXPECT_EQ(pruneJournal(shared().statements(), bounds, true), 3);  // two too old, one beyond the count
    std::vector<int64_t> kept;
    for (const HistoryEntry& entry : listHistory(shared(), {})) kept.push_back(entry.id);
    EXPECT_EQ(kept, (std::vector<int64_t>{entries[5], entries[4], entries[3]}));
    Statement orphans(shared().database(), "SELECT COUNT(*) FROM journal_items WHERE entry < ?");
    orphans.bind(1, entries[3]);
    ASSERT_TRUE(orphans.step());
    EXPECT_EQ(orphans.integer(0), 0);
    EXPECT_EQ(pruneJournal(shared().statements(), bounds, false), 0);
}

}  // namespace
}  // namespace lumora::pim::tests
