// Contacts written through the control, read back from the store: AddContact's trimming, hyphen
// and street rules and its marks; AddContactAll from a page form; large and unusual values; and
// failures that leave nothing half-saved.

#include <gtest/gtest.h>

#include "contact_fixture.hpp"

namespace lumora {
namespace {

const std::string kCrLf = "\r\n";

class ContactWritingTest : public testing::ContactControlTest {
protected:
    void SetUp() override {
        ContactControlTest::SetUp();
        setContactFolder("Contacts");
    }
};

TEST_F(ContactWritingTest, AddContactTrimsMapsHyphensToEmptyAndTellsTheCaller) {
    addContact("  Lee  ", "Permanent",
               {Variant(" ann@example.com"), Variant("Ann "), Variant(" - "), Variant("-"), Variant("+44 1"),
                Variant("-"), Variant(""), Variant("Line 2"), Variant("-"), Variant(" City "), Variant("State"),
                Variant("PC 1"), Variant("UK")},
               "C-42");
    Object contact = onlyContact();
    EXPECT_EQ(contact.get("Title"), Variant(""));
    EXPECT_EQ(contact.get("FirstName"), Variant("Ann"));
    EXPECT_EQ(contact.get("LastName"), Variant("Lee"));
    EXPECT_EQ(contact.get("JobTitle"), Variant(""));
    EXPECT_EQ(contact.get("Email1Address"), Variant("ann@example.com"));
    EXPECT_EQ(contact.get("BusinessTelephoneNumber"), Variant("+44 1"));
    EXPECT_EQ(contact.get("MobileTelephoneNumber"), Variant(""));
    EXPECT_EQ(contact.get("CompanyName"), Variant("Acme"));
    EXPECT_EQ(contact.get("BusinessAddressStreet"), Variant(kCrLf + "Line 2"));
    EXPECT_EQ(contact.get("BusinessAddressCity"), Variant(" City "));  // unchanged
    EXPECT_EQ(contact.get("BusinessAddressCountry"), Variant("UK"));
    EXPECT_EQ(contact.get("User1"), Variant("Lumora"));
    EXPECT_EQ(contact.get("User2"), Variant("Perm"));
    EXPECT_EQ(userProperty(contact, "LUMORAID"), "C-42");
    EXPECT_EQ(userProperty(contact, "Lumora"), "true");
    // The caller's variables hold the values as written.
    EXPECT_EQ(arguments[1], Variant("Lee"));
    EXPECT_EQ(arguments[6], Variant(""));
    EXPECT_EQ(arguments[12], Variant(""));
    EXPECT_EQ(arguments[13], Variant(" City "));
}

TEST_F(ContactWritingTest, OnlyExactlyTemporaryMakesATemporaryContactWithoutCrmId) {
    addContact("Temp", "Temporary");
    addContact("Perm", "temporary");
    std::vector<Variant> items = contactsFolder().getObject("Items").elements();
    ASSERT_EQ(items.size(), 2u);
    Object temporary = items[0].toObject();
    EXPECT_EQ(temporary.get("User2"), Variant("Temp"));
    EXPECT_EQ(temporary.getObject("UserProperties").count(), 0);
    Object permanent = items[1].toObject();
    EXPECT_EQ(permanent.get("User2"), Variant("Perm"));
    EXPECT_EQ(userProperty(permanent, "LUMORAID"), "C-1");
}

TEST_F(ContactWritingTest, MegabyteValuesQuotesAndCharactersOutsideTheBasicPlaneSurvive) {
    const std::string large(1 << 20, 'x');
    const std::string name = "O'Brien \"Bob\" \xF0\x9F\x98\x80 \xF0\x90\x90\x80";
    addContact(name, "Permanent", {Variant(large), Variant(name), Variant(), Variant(large)});
    Object contact = onlyContact();
    EXPECT_EQ(contact.get("LastName"), Variant(name));
    EXPECT_EQ(contact.get("FirstName"), Variant(name));
    EXPECT_EQ(contact.get("Email1Address").toString().size(), large.size());
    EXPECT_EQ(contact.get("JobTitle"), Variant(large));
}

TEST_F(ContactWritingTest, WithoutAContactFolderNothingIsWrittenAndTheScriptGetsTheError) {
    control.call("CleanUpOutlook");
    EXPECT_AUTOMATION_ERROR(addContact("Nobody", "Permanent"), 91);
    expectLastBox("SetContactFolder() has not been run. Run this before calling AddContact()", "LumoraControl2005");
    Variant document(page("<input id=\"LASTNAME\" value=\"x\">"));
    EXPECT_EQ(control.call("AddContactAll", document), Variant(false));
    expectLastBox("SetContactFolder() has not been run. Run this before calling AddContactAll()", "LumoraControl2005");
    EXPECT_EQ(contactsFolder().getObject("Items").count(), 0);
}

TEST_F(ContactWritingTest, AddContactAllWritesEveryFormFieldAndTheCrmMarks) {
    Variant document(page(formPage({})));
    EXPECT_EQ(control.call("AddContactAll", document), Variant(true));
    Object contact = onlyContact();
    EXPECT_EQ(contact.get("FullName"), Variant("Dr Ann May Lee PhD"));
    EXPECT_EQ(contact.get("Department"), Variant("R&D"));
    EXPECT_EQ(contact.get("CompanyName"), Variant("Acme"));
    EXPECT_EQ(contact.get("BusinessAddressStreet"), Variant(kCrLf + "Unit 2" + kCrLf + "Dock Rd"));
    EXPECT_EQ(contact.get("HomeAddressStreet"), Variant("1 High St" + kCrLf + "Flat 3"));
    EXPECT_EQ(contact.get("AssistantTelephoneNumber"), Variant("4"));
    EXPECT_EQ(contact.get("Sensitivity"), Variant(int32_t{2}));
    EXPECT_EQ(contact.get("Birthday"), Variant(Date{949998.0}));  // left at "no date"
    EXPECT_EQ(contact.get("NickName"), Variant("Annie"));
    EXPECT_EQ(contact.get("User1"), Variant("Lumora"));
    EXPECT_EQ(contact.get("User2"), Variant("Perm"));
    EXPECT_EQ(contact.get("User3"), Variant("AC-77"));
    EXPECT_EQ(userProperty(contact, "LUMORAID"), "AC-77");
    EXPECT_EQ(userProperty(contact, "Lumora"), "true");
    EXPECT_EQ(contact.get("Body"), Variant("Met at the fair."));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ContactWritingTest, SensitivityNamesMatchExactly) {
    for (const auto& [name, number] : std::vector<std::pair<std::string, int32_t>>{
             {"Confidential", 3}, {"Normal", 0}, {"Personal", 1}, {"private", 0}, {"", 0}}) {
        Variant document(page(formPage({{"SENSITIVITY", name}})));
        EXPECT_EQ(control.call("AddContactAll", document), Variant(true));
        Object items = contactsFolder().getObject("Items");
        EXPECT_EQ(items.item(items.count()).get("Sensitivity"), Variant(number)) << name;
    }
}

TEST_F(ContactWritingTest, AFormMissingAnElementOrWithABadDateSavesNothing) {
    for (const char* leftOut : {"TITLE", "SENSITIVITY", "ACC_ID", "DETAILS"}) {
        Variant document(page(formPage({}, leftOut)));
        EXPECT_EQ(control.call("AddContactAll", document), Variant(false)) << leftOut;
    }
    Variant badDate(page(formPage({{"BIRTHDAY", "not a date"}})));
    EXPECT_EQ(control.call("AddContactAll", badDate), Variant(false));
    Variant notADocument("a text");
    EXPECT_EQ(control.call("AddContactAll", notADocument), Variant(false));
    EXPECT_EQ(contactsFolder().getObject("Items").count(), 0);
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
}  // namespace lumora
