// A process killed (SIGKILL) in the middle of a run of contact saves leaves a store that passes
// SQLite's integrity check and holds every contact whose save had returned.

#include <set>
#include <string>

#include "Platform/Outlook/sqlite_handles.hpp"
#include "pim_fixture.hpp"
#include "tests/support/killed_writer.hpp"

namespace lumora::pim::tests {
namespace {

constexpr size_t kSavesBeforeKill = 40;

TEST_F(PimTest, KilledInARunOfSavesTheStoreIsIntactAndHoldsEveryReturnedSave) {
    const std::set<std::string> returned = lumora::testing::killInTheMiddleOfWrites(kSavesBeforeKill, [](auto report) {
        Object contacts = Registry::instance()
                              .createObject("Outlook.Application")
                              .getObject("GetNamespace", "MAPI")
                              .getObject("GetDefaultFolder", 10);
        for (int i = 0;; ++i) {
            Object contact = contacts.getObject("Items").getObject("Add");
            contact.put("LastName", "Contact " + std::to_string(i));
            contact.put("User1", "Lumora");
            contact.call("Save");
            report(contact.get("EntryID").toString());
        }
    });
    ASSERT_GE(returned.size(), kSavesBeforeKill);

    PimStore reopened = store();
    Statement check(reopened.database(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), "ok");
    for (const std::string& entryId : returned) EXPECT_TRUE(reopened.itemIdByEntryId(entryId)) << entryId;
    int64_t contacts = reopened.defaultFolder(reopened.currentMailbox().id, FolderType::Contacts).id;
    EXPECT_GE(reopened.itemIds(contacts).size(), returned.size());
}

}  // namespace
}  // namespace lumora::pim::tests
