// What a page's calls reach of another user's mailbox: the folders shared with the current
// user now and nothing else, however the page names them, while the local user reaches all.

#include <thread>

#include "Platform/Files/page_reach.hpp"
#include "pim_fixture.hpp"

namespace lumora::pim::tests {
namespace {

constexpr int32_t kNotShared = static_cast<int32_t>(0x8004011D);
constexpr int32_t kNotFound = static_cast<int32_t>(0x8004010F);

// Pat Lee's mailbox with an appointment, a contact and a mail; Pat shares the calendar only.
class PageViewTest : public PimTest {
protected:
    PageViewTest() {
        PimStore pim = store();
        const MailboxRow pat = pim.addMailbox("Pat Lee");
        m_patCalendar = pim.defaultFolder(pat.id, FolderType::Calendar).entryId;
        m_patContacts = pim.defaultFolder(pat.id, FolderType::Contacts).entryId;
        m_appointment = patItem(m_patCalendar, "Subject", "Board meeting");
        m_contact = patItem(m_patContacts, "LastName", "Private");
        m_mail = patItem(pim.defaultFolder(pat.id, FolderType::Inbox).entryId, "Subject", "Salary review");
        pim.setShared(pat.id, FolderType::Calendar, pim.currentMailbox().id, true);
    }

    // Made by the local user, who reaches every mailbox.
    std::string patItem(const std::string& folder, const std::string& name, const std::string& value) {
        Object item = mapi().getObject("GetFolderFromID", folder).getObject("Items").getObject("Add");
        item.put(name, value);
        item.call("Save");
        return item.get("EntryID").toString();
    }
    Object item(const std::string& entryId) { return mapi().getObject("GetItemFromID", entryId); }
    Variant storedValue(const std::string& entryId, const std::string& name) {
        PimStore pim = store();
        return pim.loadItem(*pim.itemIdByEntryId(entryId)).values.at(name);
    }
    void withdrawShare() {
        PimStore pim = store();
        pim.setShared(pim.mailboxByName("Pat Lee")->id, FolderType::Calendar, pim.currentMailbox().id, false);
    }

    std::string m_patCalendar, m_patContacts, m_appointment, m_contact, m_mail;
};

TEST_F(PageViewTest, APageReachesTheSharedCalendarAndNoOtherFolderOfItsOwner) {
    files::PageReach page({});
    Object admin = Registry::instance().createObject("Lumora.PimAdmin");
    EXPECT_EQ(item(m_appointment).get("Subject"), Variant("Board meeting"));
    EXPECT_EQ(mapi().getObject("GetFolderFromID", m_patCalendar).getObject("Items").count(), 1);
    EXPECT_EQ(admin.call("Items", m_patCalendar).array().items.size(), 1u);

    for (const std::string& hidden : {m_contact, m_mail}) {
        EXPECT_AUTOMATION_ERROR(item(hidden), kNotShared);
        EXPECT_AUTOMATION_ERROR(admin.call("Display", hidden), kNotShared);
        EXPECT_AUTOMATION_ERROR(admin.call("Select", hidden), kNotShared);
    }
    try {
        item(m_contact);
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "You do not have permission to open this folder of Pat Lee");
    }
    EXPECT_AUTOMATION_ERROR(mapi().call("GetFolderFromID", m_patContacts), kNotShared);
    EXPECT_AUTOMATION_ERROR(admin.call("Items", m_patContacts), kNotShared);
    EXPECT_AUTOMATION_ERROR(item("00FF"), kNotFound);  // an id nobody has stays "not found"
    EXPECT_TRUE(m_desktop.transcript().shown.empty());
    EXPECT_TRUE(store().selection().empty());

    // A folder made inside the shared calendar is shared with it.
    Object inner = mapi().getObject("GetFolderFromID", m_patCalendar).getObject("Folders").getObject("Add", "Trips");
    EXPECT_EQ(mapi().getObject("GetFolderFromID", inner.get("EntryID")).get("Name"), Variant("Trips"));
}

TEST_F(PageViewTest, AWithdrawnShareClosesRememberedIdsAndItemsHeldOpen) {
    files::PageReach page({});
    Object appointment = item(m_appointment);
    Object calendar = mapi().getObject("GetFolderFromID", m_patCalendar);
    appointment.put("Subject", "Board meeting, moved");
    appointment.call("Save");

    withdrawShare();
    EXPECT_AUTOMATION_ERROR(item(m_appointment), kNotShared);
    EXPECT_AUTOMATION_ERROR(mapi().call("GetFolderFromID", m_patCalendar), kNotShared);
    EXPECT_AUTOMATION_ERROR(calendar.getObject("Items").count(), kNotShared);
    appointment.put("Subject", "Cancelled");
    EXPECT_AUTOMATION_ERROR(appointment.call("Save"), kNotShared);
    EXPECT_AUTOMATION_ERROR(appointment.call("Delete"), kNotShared);
    EXPECT_AUTOMATION_ERROR(appointment.call("Display"), kNotShared);
    EXPECT_AUTOMATION_ERROR(appointment.getObject("UserProperties").count(), kNotShared);  // not read before
    EXPECT_EQ(storedValue(m_appointment, "Subject"), Variant("Board meeting, moved"));
}

TEST_F(PageViewTest, TheLocalUserReachesEveryMailboxAndAPagesSelectionLeavesOutWhatItCannotSee) {
    Object admin = Registry::instance().createObject("Lumora.PimAdmin");
    admin.call("Select", m_mail, m_appointment);
    Object contact = item(m_contact);
    contact.put("FirstName", "Sam");
    contact.call("Save");
    EXPECT_EQ(storedValue(m_contact, "FirstName"), Variant("Sam"));
    EXPECT_EQ(admin.call("Items", m_patContacts).array().items.size(), 1u);

    files::PageReach page({});
    Object selection = outlook().getObject("ActiveExplorer").getObject("Selection");
    ASSERT_EQ(selection.count(), 1);
    EXPECT_EQ(selection.item(1).get("EntryID"), Variant(m_appointment));

    // Another thread of the same process, the command line's, is not the page's.
    Variant lastName;
    std::thread commandLine([&] { lastName = item(m_contact).get("LastName"); });
    commandLine.join();
    EXPECT_EQ(lastName, Variant("Private"));
}

}  // namespace
}  // namespace lumora::pim::tests
