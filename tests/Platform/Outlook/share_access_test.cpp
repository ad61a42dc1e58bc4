// What a share lets its grantee do: items of another user's folder shared to read only are not
// saved, deleted or moved (the store's access error, nothing written), except as the server's
// copy arriving; a share that lets the grantee write, and shares of older stores, do as before. A
// folder with an access of its own decides for itself and the folders inside it.

#include <gtest/gtest.h>

#include "Platform/Outlook/pim_errors.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/sqlite_handles.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::pim {
namespace {

constexpr int32_t kAccessDenied = static_cast<int32_t>(0x80040123);

ItemRecord appointmentIn(int64_t folder, std::string subject) {
    ItemRecord item;
    item.folder = folder;
    item.itemClass = ItemClass::Appointment;
    item.values["Subject"] = Variant(std::move(subject));
    return item;
}

class ShareAccessTest : public ::testing::Test {
protected:
    int64_t calendarOf(const MailboxRow& mailbox) { return m_store.defaultFolder(mailbox.id, FolderType::Calendar).id; }
    std::string subjectOf(int64_t id) { return m_store.loadItem(id).values.at("Subject").toString(); }

    lumora::tests::TempFolder m_folder;
    PimStore m_store{m_folder.path()};
    MailboxRow m_me = m_store.currentMailbox();
    MailboxRow m_alice = m_store.addMailbox("alice");
};

TEST_F(ShareAccessTest, AFolderSharedToReadOnlyRefusesEveryChangeAndKeepsWhatItHolds) {
    const int64_t hers = calendarOf(m_alice);
    const int64_t inside = m_store.addFolder(hers, "Team", 1).id;
    ItemRecord review = appointmentIn(hers, "Review");
    m_store.saveItem(review, {"Subject"});
    ItemRecord mine = appointmentIn(calendarOf(m_me), "Mine");
    m_store.saveItem(mine, {"Subject"});
    m_store.setShared(m_alice.id, FolderType::Calendar, m_me.id, true, ShareAccess::ReadOnly);
    EXPECT_EQ(m_store.shareAccess(m_alice.id, FolderType::Calendar, m_me.id), ShareAccess::ReadOnly);
    EXPECT_FALSE(m_store.isWritable(inside));
    EXPECT_TRUE(m_store.isWritable(calendarOf(m_me)));

    try {
        review.values["Subject"] = Variant("Changed");
        m_store.saveItem(review, {"Subject"});
        ADD_FAILURE() << "a change to alice's read-only calendar was saved";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kAccessDenied);
        EXPECT_EQ(e.description(), "The folder of alice is shared with you to read only; nothing was changed");
    }
    ItemRecord added = appointmentIn(inside, "New");
    EXPECT_AUTOMATION_ERROR(m_store.saveItem(added, {"Subject"}), kAccessDenied);
    EXPECT_AUTOMATION_ERROR(m_store.deleteItem(review.id), kAccessDenied);
    EXPECT_AUTOMATION_ERROR(m_store.moveItem(review.id, calendarOf(m_me)), kAccessDenied);
    EXPECT_AUTOMATION_ERROR(m_store.moveItem(mine.id, hers), kAccessDenied);
    // A batch with one refused item saves none of them.
    mine.values["Subject"] = Variant("Mine, changed");
    std::vector<ItemRecord> batch{mine, appointmentIn(hers, "Batch")};
    EXPECT_AUTOMATION_ERROR(m_store.saveItems(batch, {{"Subject"}, {"Subject"}}), kAccessDenied);

    EXPECT_EQ(subjectOf(review.id), "Review");
    EXPECT_EQ(subjectOf(mine.id), "Mine");
    EXPECT_EQ(m_store.itemIds(hers), std::vector<int64_t>{review.id});
    EXPECT_TRUE(m_store.itemIds(inside).empty());
    EXPECT_EQ(m_store.itemIds(calendarOf(m_me)), std::vector<int64_t>{mine.id});

    // The server's own copy arrives all the same.
    {
        PimStore::ServerCopyWrites serverCopy(m_store);
        review.values["Subject"] = Variant("Moved by alice");
        m_store.saveItem(review, {"Subject"});
    }
    EXPECT_EQ(subjectOf(review.id), "Moved by alice");
    EXPECT_AUTOMATION_ERROR(m_store.deleteItem(review.id), kAccessDenied);
}

TEST_F(ShareAccessTest, AWritableShareAndNoShareAtAllLetChangesThrough) {
    const int64_t hers = calendarOf(m_alice);
    m_store.setShared(m_alice.id, FolderType::Calendar, m_me.id, true, ShareAccess::ReadOnly);
    m_store.setShared(m_alice.id, FolderType::Calendar, m_me.id, true);  // a share made by hand lets the grantee write
    EXPECT_EQ(m_store.shareAccess(m_alice.id, FolderType::Calendar, m_me.id), ShareAccess::ReadWrite);
    ItemRecord review = appointmentIn(hers, "Review");
    m_store.saveItem(review, {"Subject"});

    m_store.setShared(m_alice.id, FolderType::Calendar, m_me.id, true, ShareAccess::ReadOnly);
    EXPECT_FALSE(m_store.isWritable(hers));
    m_store.setShared(m_alice.id, FolderType::Calendar, m_me.id, false);
    EXPECT_EQ(m_store.shareAccess(m_alice.id, FolderType::Calendar, m_me.id), std::nullopt);
    m_store.deleteItem(review.id);
    EXPECT_TRUE(m_store.itemIds(hers).empty());
}

TEST_F(ShareAccessTest, AFolderWithAnAccessOfItsOwnDecidesForItselfAndWhatItHolds) {
    const int64_t hers = calendarOf(m_alice);
    const int64_t board = m_store.addFolder(hers, "Board", 1).id;
    const int64_t minutes = m_store.addFolder(board, "Minutes", 1).id;
    m_store.setShared(m_alice.id, FolderType::Calendar, m_me.id, true, ShareAccess::ReadWrite);
    m_store.setFolderAccess(board, ShareAccess::ReadOnly);
    EXPECT_TRUE(m_store.isWritable(hers));
    EXPECT_FALSE(m_store.isWritable(board));
    EXPECT_FALSE(m_store.isWritable(minutes));
    ItemRecord meeting = appointmentIn(board, "Board meeting");
    EXPECT_AUTOMATION_ERROR(m_store.saveItem(meeting, {"Subject"}), kAccessDenied);
    EXPECT_TRUE(m_store.itemIds(board).empty());

    // The other way round: a folder bob may change inside a calendar he only reads.
    m_store.setShared(m_alice.id, FolderType::Calendar, m_me.id, true, ShareAccess::ReadOnly);
    m_store.setFolderAccess(board, ShareAccess::ReadWrite);
    EXPECT_FALSE(m_store.isWritable(hers));
    EXPECT_TRUE(m_store.isWritable(minutes));
    m_store.saveItem(meeting, {"Subject"});
    EXPECT_EQ(subjectOf(meeting.id), "Board meeting");
    // Without an access of its own, the calendar's share decides again.
    m_store.setFolderAccess(board, std::nullopt);
    EXPECT_FALSE(m_store.isWritable(board));
}

TEST_F(ShareAccessTest, SharesOfAnOlderStoreStillLetTheirGranteeWrite) {
    m_store.setShared(m_alice.id, FolderType::Calendar, m_me.id, true);
    {
        Database db(m_folder.path() / kStoreFileName);
        db.execute("ALTER TABLE shares DROP COLUMN writable; PRAGMA user_version = 4");
    }
    PimStore upgraded(m_folder.path());
    EXPECT_EQ(upgraded.shareAccess(m_alice.id, FolderType::Calendar, m_me.id), ShareAccess::ReadWrite);
    ItemRecord review = appointmentIn(upgraded.defaultFolder(m_alice.id, FolderType::Calendar).id, "Review");
    upgraded.saveItem(review, {"Subject"});
    EXPECT_NE(review.id, 0);
}

}  // namespace
}  // namespace lumora::pim
