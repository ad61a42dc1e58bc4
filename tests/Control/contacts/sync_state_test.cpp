// The synchronisation state of Outlook items through the control on a real store: stamping an
// imported item, finding the item of a CRM id, removing or unmarking it, and the list of
// contacts not yet in the CRM with its exact record form.

#include <gtest/gtest.h>

#include "contact_fixture.hpp"

namespace lumora {
namespace {

constexpr int32_t kTasks = 13;
constexpr int32_t kDeletedItems = 3;
const std::string kGuid = "12345678-1234-1234-1234-123456789012";

class SyncStateTest : public testing::ContactControlTest {
protected:
    Object contact(const Object& folder, const std::string& last, const Values& marks,
                   const std::string& company = "") {
        return savedItem(folder, {{"FirstName", "Ann"}, {"LastName", last}, {"CompanyName", company}}, marks);
    }
    Object subfolder(const std::string& name) {
        return contactsFolder().getObject("Folders").getObject("Add", name, 10);
    }
    std::string storeId() { return contactsFolder().get("StoreID").toString(); }
    Variant check(const std::string& crmId, const std::string& type) {
        return control.call("CheckIfSynchronised", crmId, type);
    }
    Variant unsynced(const std::string& folderId = "") { return control.call("GetUnsyncedContacts", folderId); }
    static std::string id(const Object& item) { return item.get("EntryID").toString(); }
};

TEST_F(SyncStateTest, SetImportIdStampsTheContactOrTaskOfAnyCaseAndNothingElse) {
    Object ann = contact(contactsFolder(), "Lee", {});
    Object task = savedItem(defaultFolder(kTasks), {{"Subject", "Call"}});
    EXPECT_EQ(control.call("SetImportID", "C-\"{1}\" \xF0\x9F\x98\x80", id(ann), "Contact"), Variant(""));
    EXPECT_EQ(control.call("SetImportID", "T-1", id(task), "TASK"), Variant(""));
    EXPECT_EQ(control.call("SetImportID", "X-1", id(task), "appointment"), Variant(""));
    EXPECT_EQ(userProperty(item(id(ann)), "LUMORAID"), "C-\"{1}\" \xF0\x9F\x98\x80");
    EXPECT_EQ(userProperty(item(id(ann)), "Lumora"), "<none>");
    EXPECT_EQ(userProperty(item(id(task)), "LUMORAID"), "T-1");

    EXPECT_EQ(control.call("SetImportID", "C-2", "{no such id}", "contact"),
              Variant("An error occurred setting the item id for the Outlook item. Please contact your system "
                      "administrator"));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SyncStateTest, CheckIfSynchronisedNamesTheFolderOfTheItemOfTheCrmId) {
    Object other = subfolder("Other");
    contact(contactsFolder(), "Lee", {{"LUMORAID", "c-1"}});
    contact(other, "Ray", {{"LUMORAID", "C-1"}});
    savedItem(defaultFolder(kTasks), {{"Subject", "Call Ann"}}, {{"LUMORAID", "T-1"}});
    savedItem(defaultFolder(kTasks).getObject("Folders").getObject("Add", "Later", kTasks), {{"Subject", "Later"}},
              {{"LUMORAID", "T-2"}});

    EXPECT_EQ(check("c-1", "contact"), Variant("Ann Lee in folder Contacts."));
    EXPECT_EQ(check("C-1", "CONTACT"), Variant("Ann Ray in folder Other"));
    EXPECT_EQ(check("C-9", "Contact"), Variant("false"));
    EXPECT_EQ(check("T-1", "appointment"), Variant("Call Ann in folder Tasks."));
    EXPECT_EQ(check("T-2", ""), Variant("Later in folder Later"));
    EXPECT_EQ(check("C-1", "task"), Variant("false"));

    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(check("C-1", "contact"), Variant("unknown"));
}

TEST_F(SyncStateTest, RemoveContactDeletesOrUnmarksEveryItemOfTheCrmIdOnce) {
    Object other = subfolder("Other");
    for (const char* last : {"One", "Two"}) contact(contactsFolder(), last, {{"LUMORAID", "C-1"}, {"Lumora", "true"}});
    contact(contactsFolder(), "Kept", {{"LUMORAID", "C-2"}, {"Lumora", "true"}});
    contact(other, "Three", {{"LUMORAID", "C-1"}});

    EXPECT_EQ(control.call("RemoveContact", "C-1", true),
              Variant("The associated Outlook contact was successfully deleted from"));
    EXPECT_EQ(lastNames(contactsFolder()), std::vector<std::string>{"Kept"});
    EXPECT_EQ(lastNames(other), std::vector<std::string>{});
    EXPECT_EQ(defaultFolder(kDeletedItems).getObject("Items").count(), 3);
    EXPECT_EQ(check("C-1", "contact"), Variant("false"));

    const std::string unmarked = "The contact was successfully unsynchronized from its associated Outlook Contact";
    EXPECT_EQ(control.call("RemoveContact", "C-2", false), Variant(unmarked));
    Object kept = contactsFolder().getObject("Items").item(1);
    EXPECT_EQ(userProperty(kept, "LUMORAID"), "");
    EXPECT_EQ(userProperty(kept, "Lumora"), "");
    EXPECT_EQ(control.call("RemoveContact", "C-404", false), Variant(unmarked));

    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(control.call("RemoveContact", "C-2", true),
              Variant("Lumora failed to unsynchronize the Outlook contact. Please contact your system administrator"));
}

TEST_F(SyncStateTest, UnsyncedContactsAreThoseWithACompanyAndWithoutALongIdOrTheMark) {
    EXPECT_EQ(unsynced(), Variant(storeId() + "<-!->"));
    contact(contactsFolder(), "Guid", {{"LUMORAID", kGuid}}, "Acme");
    contact(contactsFolder(), "Capital", {{"LUMORAID", "C-1"}, {"Lumora", "TRUE"}}, "Acme");
    contact(contactsFolder(), "No company", {});
    Object markOnly = contact(contactsFolder(), "Mark|only", {{"Lumora", "true"}}, "Acme|Ltd");
    Object full = savedItem(contactsFolder(),
        {{"FirstName", "B\xF0\x9F\x98\x80"}, {"LastName", "Full"}, {"CompanyName", "Co"}, {"Email1Address", "e1"},
         {"Email2Address", "e2"}, {"Email3Address", "e3"}, {"JobTitle", "jt"}, {"Department", "dp"}, {"Title", "Dr"},
         {"ManagerName", "mn"}, {"MiddleName", "md"}, {"Suffix", "sf"}, {"AssistantName", "an"},
         {"AssistantTelephoneNumber", "at"}, {"BusinessTelephoneNumber", "bt"}, {"MobileTelephoneNumber", "mt"},
         {"HomeTelephoneNumber", "ht"}, {"BusinessFaxNumber", "bf"}, {"BusinessAddressStreet", "b1\r\nb2\rb3\nb4"},
         {"BusinessAddressCity", "bc"}, {"BusinessAddressState", "bs"}, {"BusinessAddressPostalCode", "bp"},
         {"BusinessAddressCountry", "bn"}, {"HomeAddressStreet", "h1"}, {"HomeAddressCity", "hc"},
         {"HomeAddressState", "hs"}, {"HomeAddressPostalCode", "hp"}, {"HomeAddressCountry", "hn"},
         {"WebPage", "w|p"}}, {{"LUMORAID", "C-3"}});

    const std::string smile = "B\xF0\x9F\x98\x80";
    EXPECT_EQ(unsynced(), Variant(storeId() + "<-!->" + "Markonly, Ann|Ann|Markonly|" + id(markOnly) +
                                  "|AcmeLtd||||||||||||||||||||||||||||||#~" + "Full, " + smile + "|" + smile +
                                  "|Full|" + id(full) + "|Co|e1|e2|e3|jt|dp|Dr|mn|md|sf|an|at|bt|mt|ht|bf|b1|b2|b3|"
                                  "bc|bs|bp|bn|h1|||hc|hs|hp|hn|w|p#~"));
}

TEST_F(SyncStateTest, AFolderIdLosesItsStrayMarksAndAnUnknownOneIsTold) {
    Object other = subfolder("Other");
    contact(other, "Ray", {}, "Acme");
    std::vector<Variant> arguments = {Variant(id(other) + "#")};
    EXPECT_EQ(callWith("GetUnsyncedContacts", arguments).toString().find("Ray, Ann|Ann|Ray|"), storeId().size() + 5);
    EXPECT_EQ(arguments[0], Variant(id(other)));

    EXPECT_EQ(unsynced("\"{00FF}\""), Variant(""));
    expectLastBox("The operation failed. An object could not be found.", "LumoraControl2005");
}

}  // namespace
}  // namespace lumora
