// Choosing the contact folder through the control on a real store: which folder is chosen, the
// purge of temporary CRM contacts, CheckForFolder, and an absent Outlook or a damaged store.

#include <gtest/gtest.h>

#include <fstream>

#include "contact_fixture.hpp"

namespace lumora {
namespace {

class ContactFolderTest : public testing::ContactControlTest {};

TEST_F(ContactFolderTest, ContactsMeansTheDefaultFolderAndAnUnknownNameFallsBackToIt) {
    Object crm = contactsFolder().getObject("Folders").getObject("Add", "CRM", 10);
    contactsFolder().getObject("Folders").call("Add", "Contacts", 10);

    setContactFolder("Contacts");
    EXPECT_EQ(addContact("Default", "Permanent"), Variant());
    setContactFolder("crm");  // names match exactly: no subfolder, so the default folder
    addContact("Also default", "Permanent");
    setContactFolder("CRM");
    addContact("In CRM", "Permanent");

    EXPECT_EQ(lastNames(contactsFolder()), (std::vector<std::string>{"Default", "Also default"}));
    EXPECT_EQ(lastNames(crm), std::vector<std::string>{"In CRM"});
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ContactFolderTest, AFolderNameWithANulIsThatWholeNameNeverAShorterOne) {
    Object crm = contactsFolder().getObject("Folders").getObject("Add", "CRM", 10);
    const std::string withNul("CRM\0Private", 11);
    setContactFolder(withNul);  // no folder has that name: the default folder, as for any unknown name
    addContact("Default", "Permanent");
    EXPECT_EQ(lastNames(contactsFolder()), std::vector<std::string>{"Default"});
    EXPECT_EQ(lastNames(crm), std::vector<std::string>{});
    EXPECT_TRUE(boxes().empty());

    // Such a folder is not made, under that name or a shorter one.
    EXPECT_EQ(control.call("CheckForFolder", withNul), Variant(false));
    Object folders = contactsFolder().getObject("Folders");
    EXPECT_EQ(folders.count(), 1);
    EXPECT_AUTOMATION_ERROR(folders.call("Add", std::string("Work\0", 5), 10), 5);
    EXPECT_EQ(folders.count(), 1);
}

TEST_F(ContactFolderTest, PurgeDeletesConsecutiveTemporaryCrmContactsAndNothingElse) {
    Object folder = contactsFolder();
    setContactFolder("Contacts");
    addContact("Kept first", "Permanent");
    for (const char* name : {"Temp 1", "Temp 2", "Temp 3"}) addContact(name, "Temporary");
    Object foreign = folder.getObject("Items").getObject("Add");  // "Temp" but not written by the CRM
    foreign.put("LastName", "Foreign temp");
    foreign.put("User2", "Temp");
    foreign.call("Save");
    Object note = folder.getObject("Items").getObject("Add", "IPM.Note");
    note.put("Subject", "Not a contact");
    note.call("Save");
    addContact("Temp 4", "Temporary");

    setContactFolder("Contacts");
    EXPECT_EQ(lastNames(folder), (std::vector<std::string>{"Kept first", "Foreign temp", "Not a contact"}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ContactFolderTest, CheckForFolderCreatesTheSubfolderOnceAndReleasesTheContactFolder) {
    setContactFolder("Contacts");
    EXPECT_EQ(control.call("CheckForFolder", "Lumora \"CRM\" \xF0\x9F\x93\x87"), Variant(true));
    EXPECT_EQ(control.call("CheckForFolder", "Lumora \"CRM\" \xF0\x9F\x93\x87"), Variant(true));
    Object folders = contactsFolder().getObject("Folders");
    ASSERT_EQ(folders.count(), 1);
    EXPECT_EQ(folders.item(1).get("Name"), Variant("Lumora \"CRM\" \xF0\x9F\x93\x87"));
    EXPECT_EQ(folders.item(1).get("DefaultItemType"), Variant(int32_t{2}));

    // CleanUpOutlook at its end let go of the contact folder chosen before.
    EXPECT_AUTOMATION_ERROR(addContact("Late", "Permanent"), 91);
    expectLastBox("SetContactFolder() has not been run. Run this before calling AddContact()", "LumoraControl2005");

    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(control.call("CheckForFolder", "Other"), Variant(false));
}

TEST_F(ContactFolderTest, AbsentOutlookAndDamagedStoreAreToldAndKeepTheEarlierFolder) {
    setContactFolder("Contacts");
    setFaults(testing::machineWithoutOutsideApplications());
    setContactFolder("Contacts");
    expectLastBox("Outlook does not appear to be installed", "LumoraControl2005");
    install("Outlook.Application");
    EXPECT_EQ(addContact("Still chosen", "Permanent"), Variant());
    EXPECT_EQ(lastNames(contactsFolder()), std::vector<std::string>{"Still chosen"});

    control.call("CleanUpOutlook");
    Registry::instance().forgetRunningInstances();
    const std::string garbage(8192, '\x5a');
    std::ofstream(dataFolder() / "pim.sqlite", std::ios::binary | std::ios::trunc) << garbage;
    std::filesystem::remove(dataFolder() / "pim.sqlite-wal");
    setContactFolder("Contacts");
    expectLastBox("Could not find contacts folder", "LumoraControl2005");
    EXPECT_EQ(control.call("CheckForFolder", "CRM"), Variant(false));
    std::ifstream in(dataFolder() / "pim.sqlite", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

}  // namespace
}  // namespace lumora
