// Importing contacts through the control on a real store: the folder list and its stray "#",
// the contact list in name order through the stylesheet in the temporary folder, one contact's
// details with its street lines, and what a bad folder or contact id, a failing sort or an
// absent Outlook give.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "Automation/vb/strings.hpp"
#include "Platform/Files/register.hpp"
#include "Platform/Xml/register.hpp"
#include "contact_fixture.hpp"

namespace lumora {
namespace {

constexpr int32_t kMailFolder = 6;
constexpr int32_t kDistributionList = 7;
const std::string kCard = "\xF0\x9F\x93\x87";  // a character outside the Basic Multilingual Plane

class ContactImportTest : public testing::ContactControlTest {
protected:
    // The sort runs through the XML document object and writes its stylesheet with the
    // file-system object, as on a workstation where the host registered both.
    void SetUp() override {
        ContactControlTest::SetUp();
        xml::registerXmlClasses(Registry::instance());
        files::registerFileClasses(Registry::instance());
    }

    Object subfolder(const std::string& name, int32_t type = testing::kContactsFolder) {
        return contactsFolder().getObject("Folders").getObject("Add", name, type);
    }
    std::string saveContact(const Object& folder, const std::map<std::string, std::string>& values) {
        Object contact = folder.getObject("Items").getObject("Add", int32_t{2});
        for (const auto& [name, value] : values) contact.put(name, value);
        contact.call("Save");
        return contact.get("EntryID").toString();
    }
    std::string saveNamed(const Object& folder, const std::string& first, const std::string& last) {
        return saveContact(folder, {{"FirstName", first}, {"LastName", last}});
    }
    std::string importContact(const std::string& folderId, const std::string& contactId) {
        return control.call("ImportContact", folderId, contactId).toString();
    }
    std::filesystem::path stylesheetFile() { return dataFolder() / "temp" / "Lumora.xsl"; }
};

// The details split as the page splits them, without the empty piece after the last delimiter.
std::vector<std::string> detailsOf(const std::string& details) {
    std::vector<std::string> values = vb::split(details, "#~");
    EXPECT_TRUE(!values.empty() && values.back().empty()) << details;
    if (!values.empty()) values.pop_back();
    return values;
}

TEST_F(ContactImportTest, FolderListNamesContactSubfoldersAfterTheDefaultFolderAndEndsInAStrayHash) {
    EXPECT_EQ(control.call("GetContactFolderList"), Variant("Contacts#~"));

    const Object a = subfolder("A \"x\" {1} " + kCard);
    subfolder("Mail under contacts", kMailFolder);
    const Object b = subfolder("B");
    saveNamed(b, "Bo", "Brown");
    const std::string listed = "Contacts#~#~A \"x\" {1} " + kCard + "#~" + a.get("EntryID").toString() + "#~B#~" +
                               b.get("EntryID").toString() + "#";
    EXPECT_EQ(control.call("GetContactFolderList"), Variant(listed));
    EXPECT_EQ(control.call("GetContactFolderList", "Import"), Variant(listed));  // only the exact word

    // "import" leaves out a folder without items; with nothing left, the default folder alone.
    EXPECT_EQ(control.call("GetContactFolderList", "import"),
              Variant("Contacts#~#~B#~" + b.get("EntryID").toString() + "#"));
    b.getObject("Items").item(1).call("Delete");
    EXPECT_EQ(control.call("GetContactFolderList", "import"), Variant("Contacts#~"));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ContactImportTest, ContactListIsSortedByFullNameAndLeavesOutUnnamedContactsListsAndOtherItems) {
    const Object folder = contactsFolder();
    const std::string zoe = saveNamed(folder, "Zoe", "Adams");
    const std::string first = saveNamed(folder, "Ann", "Lee");
    saveContact(folder, {{"FirstName", "No last name"}});
    Object list = folder.getObject("Items").getObject("Add", kDistributionList);
    list.put("DLName", "Everyone");
    list.call("Save");
    Object note = folder.getObject("Items").getObject("Add", "IPM.Note");
    note.put("Subject", "Not a contact");
    note.call("Save");
    const std::string bo = saveContact(folder, {{"LastName", "Brown"}, {"FullName", "Bo " + kCard + " Brown"}});
    const std::string second = saveNamed(folder, "Ann", "Lee");  // the same name keeps the folder's order

    EXPECT_EQ(control.call("GetFolderContactItems", ""),
              Variant("Ann Lee#~" + first + "#~Ann Lee#~" + second + "#~Bo " + kCard + " Brown#~" + bo +
                      "#~Zoe Adams#~" + zoe + "#~"));
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(stylesheetFile()));  // left for the next sort
}

TEST_F(ContactImportTest, ContactListOfAFolderByIdCleansTheIdAndMakesItTheContactFolder) {
    const Object crm = subfolder("CRM");
    const std::string big(1 << 20, 'x');  // a 1 MB name survives the sort whole
    const std::string id = saveNamed(crm, "Ann", big);
    std::vector<Variant> arguments = {Variant(crm.get("EntryID").toString() + "#")};
    EXPECT_EQ(callWith("GetFolderContactItems", arguments), Variant("Ann " + big + "#~" + id + "#~"));
    EXPECT_EQ(arguments[0], crm.get("EntryID"));

    // The contact members now write into the folder just listed.
    addContact("Written", "Permanent");
    EXPECT_EQ(lastNames(crm), (std::vector<std::string>{big, "Written"}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ContactImportTest, ContactListOfAFolderWithoutListedContactsIsEmptyWithoutAMessage) {
    saveContact(contactsFolder(), {{"FirstName", "Unnamed"}});
    EXPECT_EQ(control.call("GetFolderContactItems", ""), Variant(""));
    EXPECT_EQ(control.call("GetFolderContactItems", subfolder("Empty").get("EntryID")), Variant(""));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ContactImportTest, ContactListOfAFolderThatIsNotThereOrASortThatFailsIsTold) {
    saveNamed(contactsFolder(), "Ann", "Lee");
    for (const char* id : {"{\"00FF\"}", "#", "'); DROP TABLE items; --"}) {
        std::vector<Variant> arguments = {Variant(id)};
        EXPECT_EQ(callWith("GetFolderContactItems", arguments), Variant("")) << id;
        expectLastBox("An error occurred running GetFolderContactItems", "LumoraControl2005");
    }

    // The stylesheet cannot be written where a folder has taken its name.
    std::filesystem::create_directory(stylesheetFile());
    const size_t before = boxes().size();
    EXPECT_EQ(control.call("GetFolderContactItems", ""), Variant(""));
    EXPECT_EQ(boxes().size(), before + 1);
    expectLastBox("An error occurred running GetFolderContactItems", "LumoraControl2005");

    // A stylesheet an earlier sort left, whatever became of it, is replaced.
    std::filesystem::remove(stylesheetFile());
    std::ofstream(stylesheetFile()) << "<broken";
    EXPECT_NE(control.call("GetFolderContactItems", "").toString(), "");
    EXPECT_EQ(boxes().size(), before + 1);
}

TEST_F(ContactImportTest, PagesSortingAtOnceEachReadAWholeStylesheet) {
    for (int i = 0; i < 5; ++i) saveNamed(contactsFolder(), "Ann", "Lee " + std::to_string(i));
    const Variant expected = control.call("GetFolderContactItems", "");
    ASSERT_NE(expected, Variant(""));
    // Each page has a worker thread of its own; all of them write the one stylesheet file.
    std::atomic<int> wrong{0};
    auto page = [&] {
        desktop::ScopedDesktop sameDesktop(desktop());
        const Object own = create("LumoraControl2005.LumoraCtrl2005");
        for (int i = 0; i < 300; ++i)  // enough rounds for the two pages to overlap
            if (own.call("GetFolderContactItems", "") != expected) ++wrong;
    };
    std::thread first(page), second(page);
    first.join();
    second.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ContactImportTest, DetailsHoldTwentyFiveValuesWithStreetsInThreeLines) {
    const Object crm = subfolder("CRM");
    const std::string id = saveContact(
        crm, {{"Title", "Dr"}, {"FirstName", "Ann"}, {"LastName", "Lee " + kCard}, {"JobTitle", "CTO"},
              {"Department", "R&D"}, {"Email1Address", "ann@acme.test"}, {"BusinessTelephoneNumber", "1"},
              {"BusinessFaxNumber", "2"}, {"MobileTelephoneNumber", "3"},
              {"BusinessAddressStreet", "12 Dock Road, Leeds"}, {"BusinessAddressCity", "Leeds"},
              {"BusinessAddressPostalCode", "LS1"}, {"BusinessAddressState", "Yorks"},
              {"BusinessAddressCountry", "UK"}, {"HomeAddressStreet", "Flat 3\r\n1 High St,Old Town,York"},
              {"HomeAddressCity", "York"}, {"HomeAddressPostalCode", "Y1"}, {"HomeAddressState", "N Yorks"},
              {"HomeAddressCountry", "England"}});
    const std::string folderId = crm.get("EntryID").toString();
    EXPECT_EQ(detailsOf(importContact(folderId, id)),
              (std::vector<std::string>{"Dr", "Ann", "Lee " + kCard, "CTO", "R&D", "ann@acme.test", "1", "2", "3", id,
                                        folderId, "12 Dock Road", " Leeds", "", "Leeds", "LS1", "Yorks", "UK",
                                        "Flat 3", "\n1 High St", " Old Town York", "York", "Y1", "N Yorks",
                                        "England"}));
    EXPECT_TRUE(boxes().empty());

    // A street without a break is one line; an empty contact still gives every delimiter.
    const std::string plain = saveContact(contactsFolder(), {{"HomeAddressStreet", "1 High St"}});
    const std::vector<std::string> values = detailsOf(importContact("", plain));
    ASSERT_EQ(values.size(), 25u);
    EXPECT_EQ(values[10], contactsFolder().get("EntryID"));
    EXPECT_EQ((std::vector<std::string>(values.begin() + 18, values.begin() + 21)),
              (std::vector<std::string>{"1 High St", "", ""}));
    EXPECT_EQ(std::count(values.begin(), values.end(), ""), 22);
}

TEST_F(ContactImportTest, DetailsOfAContactOrFolderThatIsNotThereNameTheStepAndReleaseOutlook) {
    const std::string id = saveNamed(contactsFolder(), "Ann", "Lee");
    setContactFolder("Contacts");
    EXPECT_EQ(importContact("", id + "\"}"), "");
    expectLastBox("An error occurred running ImportContact.  Further Information:\r\nObject variable or With block "
                  "variable not set\r\nRetrieving basic details from contact",
                  "LumoraControl2005");

    // The folder id is used as it is given: the list's stray "#" finds no folder here.
    EXPECT_EQ(importContact(contactsFolder().get("EntryID").toString() + "#", id), "");
    expectLastBox("An error occurred running ImportContact.  Further Information:\r\nThe operation failed. An "
                  "object could not be found.\r\nGetting Required Folder",
                  "LumoraControl2005");

    // Outlook was let go, the contact folder with it.
    EXPECT_AUTOMATION_ERROR(addContact("Late", "Permanent"), 91);

    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(importContact("", id), "");
    EXPECT_EQ(control.call("GetContactFolderList"), Variant(""));
    EXPECT_EQ(control.call("GetFolderContactItems", ""), Variant(""));
    expectLastBox("Outlook does not appear to be installed", "LumoraControl2005");
}

}  // namespace
}  // namespace lumora
