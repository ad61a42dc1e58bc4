// The object model as a late-bound caller sees it, on a real store: items of each class saved
// and found again, folder walks that delete as they go, shared folders, the explorer selection,
// displayed items and the registry's injected faults.

#include <string>

#include "Automation/vb/dates.hpp"
#include "Platform/Outlook/item_kinds.hpp"
#include "pim_fixture.hpp"

namespace lumora::pim::tests {
namespace {

constexpr int32_t kNotFound = static_cast<int32_t>(0x8004010F);

Object newContact(Object folder, const std::string& lastName, const std::string& kind) {
    Object contact = folder.getObject("Items").getObject("Add");
    contact.put("LastName", lastName);
    contact.put("User1", "Lumora");
    contact.put("User2", kind);
    contact.call("Save");
    return contact;
}

TEST_F(PimTest, AppointmentIsSavedWithUserPropertiesAndFoundByIdInItsStoreOnly) {
    Object appointment = outlook().getObject("CreateItem", 1);
    const std::string entryId = appointment.get("EntryID").toString();  // before the first save, kept by it
    EXPECT_GE(entryId.size(), 48u);
    EXPECT_EQ(appointment.get("Class"), Variant(int32_t{26}));
    appointment.put("subject", "Review");  // any case
    appointment.put("Start", Date{46000.5});
    Object acid = appointment.getObject("UserProperties").getObject("Add", "ACID", 1, true);
    acid.putValue(Variant("A-17"));
    appointment.getObject("UserProperties").getObject("Add", "guid", 1, true);
    appointment.call("save");
    EXPECT_EQ(appointment.get("EntryID"), Variant(entryId));

    std::string storeId = defaultFolder(9).get("StoreID").toString();
    Object found = mapi().getObject("GetItemFromID", entryId, storeId);
    EXPECT_EQ(found.get("Subject"), Variant("Review"));
    EXPECT_EQ(found.get("Start"), Variant(Date{46000.5}));
    EXPECT_EQ(found.getObject("UserProperties").getObject("Find", "acid").value(), Variant("A-17"));
    EXPECT_EQ(found.getObject("UserProperties").getObject("Find", "guid").value(), Variant(""));
    EXPECT_TRUE(found.getObject("UserProperties").getObject("Find", "USTID").isNothing());
    EXPECT_EQ(found.getObject("Parent").get("DefaultItemType"), Variant(int32_t{1}));
    EXPECT_EQ(mapi().getObject("GetItemFromID", entryId).get("Subject"), Variant("Review"));

    EXPECT_AUTOMATION_ERROR(mapi().call("GetItemFromID", "00AB"), kNotFound);
    std::string otherStore = store().addMailbox("Pat Lee").storeId;
    EXPECT_AUTOMATION_ERROR(mapi().call("GetItemFromID", entryId, otherStore), kNotFound);
    // Deleted, it is found in Deleted Items; deleted there, it is gone.
    found.call("Delete");
    Object trashed = mapi().getObject("GetItemFromID", entryId, storeId);
    EXPECT_EQ(trashed.getObject("Parent").get("Name"), Variant("Deleted Items"));
    trashed.call("Delete");
    EXPECT_AUTOMATION_ERROR(mapi().call("GetItemFromID", entryId, storeId), kNotFound);
}

TEST_F(PimTest, ANewAppointmentTakesTheNextHalfHourAndItsEndFollowsItsStartUntilSet) {
    const std::pair<Date, Date> slots[] = {
        {civilDate(2026, 12, 8, 9, 10), civilDate(2026, 12, 8, 9, 30)},
        {civilDate(2026, 12, 8, 9, 30), civilDate(2026, 12, 8, 10, 0)},  // the half hour itself is past
        {civilDate(2026, 12, 31, 23, 45), civilDate(2027, 1, 1, 0, 0)},
    };
    for (const auto& [now, start] : slots) {
        desktop::HeadlessDesktop clock(desktop::SystemConfig{now});
        desktop::ScopedDesktop scope(clock);
        Object appointment = outlook().getObject("CreateItem", 1);
        EXPECT_EQ(appointment.get("Start"), Variant(start));
        EXPECT_EQ(appointment.get("End"), Variant(vb::dateAdd("n", 30, start)));
    }
    Object appointment = defaultFolder(9).getObject("Items").getObject("Add");
    appointment.put("Start", civilDate(2027, 3, 1, 14, 0));
    EXPECT_EQ(appointment.get("End"), Variant(civilDate(2027, 3, 1, 14, 30)));
    appointment.put("End", civilDate(2027, 3, 1, 16, 0));
    appointment.put("Start", civilDate(2027, 3, 1, 15, 0));  // an end set is kept
    EXPECT_EQ(appointment.get("End"), Variant(civilDate(2027, 3, 1, 16, 0)));
    appointment.call("Save");
    Object saved = mapi().getObject("GetItemFromID", appointment.get("EntryID"));
    EXPECT_EQ(saved.get("Start"), Variant(civilDate(2027, 3, 1, 15, 0)));
    EXPECT_EQ(saved.get("End"), Variant(civilDate(2027, 3, 1, 16, 0)));
}

TEST_F(PimTest, SavingAnItemWithoutReadingItsUserPropertiesKeepsThem) {
    Object task = outlook().getObject("CreateItem", 3);
    task.getObject("UserProperties").getObject("Add", "USTID", 1).putValue(Variant("{T-1}"));
    task.call("Save");
    Object again = mapi().getObject("GetItemFromID", task.get("EntryID"));
    again.put("PercentComplete", 50);
    again.call("Save");
    Object read = mapi().getObject("GetItemFromID", task.get("EntryID"));
    EXPECT_EQ(read.get("PercentComplete"), Variant(int32_t{50}));
    EXPECT_EQ(read.getObject("UserProperties").getObject("Item", "USTID").value(), Variant("{T-1}"));
}

TEST_F(PimTest, PurgeWalkDeletingTemporaryContactsSeesEveryItemOnce) {
    Object folder = defaultFolder(10).getObject("Folders").getObject("Add", "CRM", 10);
    EXPECT_EQ(folder.get("DefaultItemType"), Variant(int32_t{2}));
    EXPECT_EQ(defaultFolder(10).getObject("Folders").getObject("Item", "crm").get("EntryID"), folder.get("EntryID"));
    for (const char* kind : {"Temp", "Temp", "Perm", "Temp", "Perm", "Temp"}) newContact(folder, kind, kind);

    int32_t i = 1;
    int32_t n = folder.getObject("Items").count();
    while (i <= n) {
        Object item = folder.getObject("Items").item(i);
        if (item.get("Class") == Variant(int32_t{40}) && item.get("User2") == Variant("Temp")) {
            item.call("Delete");
            n = folder.getObject("Items").count();
        } else {
            ++i;
        }
    }
    std::vector<std::string> left;
    for (const Variant& item : folder.getObject("Items").elements()) left.push_back(item.toObject().get("LastName").toString());
    EXPECT_EQ(left, (std::vector<std::string>{"Perm", "Perm"}));
    PimStore reader = store();
    EXPECT_EQ(reader.itemIds(reader.folderByEntryId(folder.get("EntryID").toString())->id).size(), 2u);
    EXPECT_AUTOMATION_ERROR(folder.getObject("Items").item(3), 9);
}

TEST_F(PimTest, ContactNamesAreComposedUntilSetAndStreetsKeepTheirLines) {
    Object contact = outlook().getObject("CreateItem", 2);
    contact.put("FirstName", "Ana");
    contact.put("LastName", "O'Neil");
    contact.put("BusinessAddressStreet", "1 Quay\r\nUnit 4");
    EXPECT_EQ(contact.get("FullName"), Variant("Ana O'Neil"));
    EXPECT_EQ(contact.get("FileAs"), Variant("O'Neil, Ana"));
    contact.put("FileAs", "Ana at the quay");
    contact.call("Save");
    Object read = mapi().getObject("GetItemFromID", contact.get("EntryID"));
    EXPECT_EQ(read.get("FileAs"), Variant("Ana at the quay"));
    EXPECT_EQ(read.get("BusinessAddressStreet"), Variant("1 Quay\r\nUnit 4"));
    EXPECT_AUTOMATION_ERROR(read.put("Birthday", "not a date"), 13);
    EXPECT_AUTOMATION_ERROR(outlook().call("CreateItem", 9), 5);
}

TEST_F(PimTest, AnotherUsersCalendarOpensOnlyOnceShared) {
    MailboxRow pat = store().addMailbox("Pat Lee");
    Object nobody = mapi().getObject("CreateRecipient", "Nobody Here");
    EXPECT_EQ(nobody.call("Resolve"), Variant(false));
    EXPECT_EQ(nobody.get("Resolved"), Variant(false));
    Object recipient = mapi().getObject("CreateRecipient", "pat lee");
    EXPECT_EQ(recipient.call("Resolve"), Variant(true));
    EXPECT_AUTOMATION_ERROR(mapi().call("GetSharedDefaultFolder", recipient, 9), 0x8004011D);

    int64_t me = store().currentMailbox().id;
    store().setShared(pat.id, FolderType::Calendar, me, true);
    Object calendar = mapi().getObject("GetSharedDefaultFolder", recipient, 9);
    EXPECT_EQ(calendar.get("StoreID"), Variant(pat.storeId));
    EXPECT_NE(calendar.get("StoreID"), defaultFolder(9).get("StoreID"));
    EXPECT_EQ(mapi().getObject("CurrentUser").get("Name"), Variant(store().currentMailbox().userName));
}

TEST_F(PimTest, SelectionListsTheSelectedItemsThatStillExist) {
    Object contacts = defaultFolder(10);
    Object first = newContact(contacts, "First", "Perm");
    Object gone = newContact(contacts, "Gone", "Perm");
    Object second = newContact(contacts, "Second", "Perm");
    store().setSelection({second.get("EntryID").toString(), gone.get("EntryID").toString(),
                          first.get("EntryID").toString()});
    gone.call("Delete");
    Object selection = outlook().getObject("ActiveExplorer").getObject("selection");
    ASSERT_EQ(selection.count(), 2);
    EXPECT_EQ(selection.item(1).get("LastName"), Variant("Second"));
    EXPECT_EQ(selection.item(2).getObject("Parent").get("StoreID"), contacts.get("StoreID"));
}

TEST_F(PimTest, DisplayHandsTheItemWithItsFieldsToTheDesktop) {
    Object appointment = outlook().getObject("CreateItem", 1);
    appointment.put("Subject", "Site visit");
    appointment.put("Location", "Dock 3");
    appointment.getObject("UserProperties").getObject("Add", "ACID", 1, true).putValue(Variant("A-9"));
    appointment.call("Display");
    ASSERT_EQ(m_desktop.transcript().shown.size(), 1u);
    const desktop::ShowRequest& shown = m_desktop.transcript().shown[0];
    EXPECT_EQ(shown.kind, "appointment");
    EXPECT_EQ(shown.title, "Site visit");
    EXPECT_EQ(shown.detail,
              "Subject: Site visit\nStart: 2026-12-08 09:30:00\nEnd: 2026-12-08 10:00:00\nLocation: Dock 3\nACID: A-9\n");
    EXPECT_TRUE(store().itemIds(store().defaultFolder(store().currentMailbox().id, FolderType::Calendar).id).empty());
}

TEST_F(PimTest, AnInjectedStoreErrorFailsTheNextGetItemFromIdOnce) {
    Object appointment = outlook().getObject("CreateItem", 1);
    appointment.call("Save");
    Variant entryId = appointment.get("EntryID");
    Object admin = Registry::instance().createObject("Lumora.PimAdmin");
    admin.call("FailNext", "getitemfromid", static_cast<int32_t>(0x80040116));
    EXPECT_AUTOMATION_ERROR(mapi().call("GetItemFromID", entryId), 0x80040116);
    EXPECT_EQ(mapi().getObject("GetItemFromID", entryId).get("Class"), Variant(int32_t{26}));
    admin.call("FailNext", "GetItemFromID", int32_t{-2147219968});
    EXPECT_AUTOMATION_ERROR(mapi().call("GetItemFromID", entryId), -2147219968);
    EXPECT_AUTOMATION_ERROR(admin.call("FailNext", "Display", 5), 5);
}

TEST_F(PimTest, TheRegistrysInjectedFaultsReachTheApplication) {
    Registry::instance().setFaults(RegistryFaults{{"Outlook.Application"}, {}, {}});
    EXPECT_AUTOMATION_ERROR(outlook(), 429);
    Registry::instance().setFaults(RegistryFaults{{}, {"Outlook.Application"}, {}});
    EXPECT_AUTOMATION_ERROR(Registry::instance().getObject("Outlook.Application"), 429);
    Registry::instance().setFaults(RegistryFaults{{}, {}, {"Outlook.Application"}});
    EXPECT_AUTOMATION_ERROR(outlook(), 429);
    EXPECT_FALSE(outlook().isNothing());
}

}  // namespace
}  // namespace lumora::pim::tests
