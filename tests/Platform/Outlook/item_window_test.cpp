// An item displayed where the Desktop has item windows: the window holds the item, a new one
// exists only there until the window saves it, and a value that does not fit changes nothing.

#include "pim_fixture.hpp"
#include "tests/support/item_window_desktop.hpp"

namespace lumora::pim::tests {
namespace {

class ItemWindowTest : public PimTest {
protected:
    ItemWindowTest() : m_windows(m_pages) {}
    size_t calendarCount() {
        return store().itemIds(store().defaultFolder(store().currentMailbox().id, FolderType::Calendar).id).size();
    }
    lumora::testing::ItemWindowDesktop m_pages;
    desktop::ScopedDesktop m_windows;
};

TEST_F(ItemWindowTest, ANewAppointmentExistsOnlyInItsWindowUntilSaved) {
    {
        Object appointment = outlook().getObject("CreateItem", 1);
        appointment.put("Subject", "Kick-off");
        appointment.call("Display");
    }  // the caller lets go of it, as a control cleaning up does
    ASSERT_EQ(m_pages.windows.size(), 1u);
    desktop::ItemWindow& window = *m_pages.windows[0];
    EXPECT_EQ(window.kind(), "appointment");
    EXPECT_EQ(window.entryId(), "");
    EXPECT_TRUE(m_desktop.transcript().shown.empty());  // no file: the window shows it
    EXPECT_EQ(calendarCount(), 0u);

    EXPECT_AUTOMATION_ERROR(window.save({{"Subject", "Kick-off 2"}, {"End", "next week"}}), 13);
    EXPECT_AUTOMATION_ERROR(window.save({{"EntryID", "00"}}), 5);  // not a field of the window
    EXPECT_EQ(calendarCount(), 0u);
    EXPECT_EQ(window.title(), "Kick-off");

    window.save({{"Start", "2026-12-10T09:00:00"}, {"AllDayEvent", "true"}, {"Location", "Room 4 \"Ost\""}});
    EXPECT_EQ(calendarCount(), 1u);
    Object saved = mapi().getObject("GetItemFromID", window.entryId());
    EXPECT_EQ(saved.get("Subject"), Variant("Kick-off"));
    EXPECT_EQ(saved.get("Location"), Variant("Room 4 \"Ost\""));
    EXPECT_EQ(saved.get("AllDayEvent"), Variant(true));
}

TEST_F(ItemWindowTest, AMailWindowShowsItsAddressLinesAndAttachmentsAndSavesToDrafts) {
    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("BCC", "ann@example.com;bo@example.com;");
    mail.call("Display");
    ASSERT_EQ(m_pages.windows.size(), 1u);
    std::vector<desktop::ItemField> fields = m_pages.windows[0]->fields();
    ASSERT_EQ(fields.size(), 6u);
    EXPECT_EQ(fields[2].name, "BCC");
    EXPECT_EQ(fields[2].value, "ann@example.com; bo@example.com");
    EXPECT_EQ(fields[5].name, "Attachments");
    EXPECT_TRUE(fields[5].readOnly);
    m_pages.windows[0]->save({{"Subject", "Offer"}});
    EXPECT_EQ(mapi().getObject("GetItemFromID", m_pages.windows[0]->entryId()).get("BCC"),
              Variant("ann@example.com; bo@example.com"));
}

}  // namespace
}  // namespace lumora::pim::tests
