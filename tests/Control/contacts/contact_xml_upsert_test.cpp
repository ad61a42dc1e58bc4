// AddUpdateContactXML on a real store: what a record writes, which existing contact it finds (by
// CRM id or by names and e-mail, first in folder order), that the contacts it writes are found
// by the next record, the out-of-step checks, and records that are told and save nothing.

#include <gtest/gtest.h>

#include "Automation/cancellation.hpp"
#include "Platform/Xml/register.hpp"
#include "contact_fixture.hpp"

namespace lumora {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
const std::string kCrLf = "\r\n";
const std::string kTitle = "LumoraControl2005";

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string record(const std::string& id, const Fields& fields) {
    std::string xml = "<record id=\"" + escaped(id) + "\">";
    for (const auto& [name, value] : fields) xml += "<field name=\"" + name + "\" value=\"" + escaped(value) + "\"/>";
    return xml + "</record>";
}

class ContactXmlUpsertTest : public testing::ContactControlTest {
protected:
    void SetUp() override {
        ContactControlTest::SetUp();
        xml::registerXmlClasses(Registry::instance());
        setContactFolder("Contacts");
    }
    Variant upsert(const std::string& xml, Variant overwriteIdMatch = Variant(true),
                   Variant overwriteEmailNameMatch = Variant(true)) {
        arguments = {Variant(xml), std::move(overwriteIdMatch), std::move(overwriteEmailNameMatch)};
        return callWith("AddUpdateContactXML", arguments);
    }
    Variant upsert(const std::string& id, const std::string& first, const std::string& last, const std::string& email) {
        return upsert(record(id, {{"FIRSTNAME", first}, {"LASTNAME", last}, {"EMAIL1ADDRESS", email}}));
    }
    // A contact as a person's Outlook holds it, with a CRM id only when given one.
    Object storedContact(const std::string& last, const std::string& lumoraId = "", const std::string& email3 = "") {
        Object contact = contactsFolder().getObject("Items").getObject("Add");
        contact.put("FirstName", "Ann");
        contact.put("LastName", last);
        contact.put("Email3Address", email3);
        if (!lumoraId.empty()) contact.getObject("UserProperties").getObject("Add", "LUMORAID", 1).put("Value", lumoraId);
        contact.call("Save");
        return contact;
    }
    Object at(int32_t position) { return contactsFolder().getObject("Items").item(position); }
    int32_t count() { return contactsFolder().getObject("Items").count(); }
};

TEST_F(ContactXmlUpsertTest, ANewContactGetsEveryFieldJoinedStreetsAndTheCrmMarks) {
    EXPECT_EQ(upsert(record("C-1", {{"ACCOUNT_NAME", "Acme"}, {"TITLE", "Dr"}, {"FIRSTNAME", "Ann"},
                                    {"LASTNAME", "Lee"}, {"BUSINESSADDRESSSTREET", "1 Dock Rd"},
                                    {"HOMEADDRESSSTREET", "Flat 3"}, {"HOMEADDRESSSTREET3", "York"},
                                    {"BUSINESSHOMEPAGE", "acme.test"}, {"EMAIL3ADDRESS", "ann@acme.test"},
                                    {"ASSISTANTTELEPHONENUMBER", "4"}, {"unknown", "x"}}),
                     Variant(int32_t{1}), Variant("0")),
              Variant(true));
    EXPECT_EQ(arguments[1], Variant(true));  // the caller's flags now hold Booleans
    EXPECT_EQ(arguments[2], Variant(false));
    Object contact = onlyContact();
    EXPECT_EQ(contact.get("FullName"), Variant("Dr Ann Lee"));
    EXPECT_EQ(contact.get("CompanyName"), Variant("Acme"));
    EXPECT_EQ(contact.get("BusinessAddressStreet"), Variant("1 Dock Rd" + kCrLf + kCrLf));
    EXPECT_EQ(contact.get("HomeAddressStreet"), Variant("Flat 3" + kCrLf + kCrLf + "York"));
    EXPECT_EQ(contact.get("BusinessHomePage"), Variant("acme.test"));
    EXPECT_EQ(contact.get("WebPage"), Variant("acme.test"));
    EXPECT_EQ(contact.get("Email3Address"), Variant("ann@acme.test"));
    EXPECT_EQ(contact.get("AssistantTelephoneNumber"), Variant("4"));
    EXPECT_EQ(contact.get("User1").toString() + contact.get("User2").toString() + contact.get("User3").toString(),
              "LumoraPermC-1");
    EXPECT_EQ(userProperty(contact, "LUMORAID"), "C-1");
    EXPECT_EQ(userProperty(contact, "Lumora"), "true");
    EXPECT_TRUE(boxes().empty());

    // An update rewrites every field: what the record leaves out is cleared.
    EXPECT_EQ(upsert(record("c-1", {{"LASTNAME", "Lee-Smith"}})), Variant(true));
    contact = onlyContact();
    EXPECT_EQ(contact.get("FullName"), Variant("Lee-Smith"));
    EXPECT_EQ(contact.get("WebPage"), Variant(""));
    EXPECT_EQ(contact.get("BusinessAddressStreet"), Variant(kCrLf + kCrLf));
    EXPECT_EQ(contact.getObject("UserProperties").count(), 2);
    EXPECT_EQ(userProperty(contact, "LUMORAID"), "c-1");
}

TEST_F(ContactXmlUpsertTest, IdsMatchBareOrBracedInAnyCaseAndTheFirstRowInFolderOrderWins) {
    storedContact("Names", "", "ANN@ACME.TEST");
    storedContact("Braced", "{crm-7}");
    storedContact("Bare", "CRM-8");
    EXPECT_EQ(upsert("Crm-7", "Ann", "Braced 2", ""), Variant(true));
    EXPECT_EQ(arguments[2], Variant(false));  // an empty e-mail turns names matching off
    EXPECT_EQ(upsert("crm-8", "Ann", "Bare 2", ""), Variant(true));
    // The names row comes first, so it wins over the later id row.
    EXPECT_EQ(upsert("crm-8", "aNN", "names", "ann@acme.test"), Variant(true));
    EXPECT_EQ(lastNames(contactsFolder()), (std::vector<std::string>{"names", "Braced 2", "Bare 2"}));
    // A match left alone when overwriting is not asked for.
    EXPECT_EQ(upsert(record("CRM-7", {{"LASTNAME", "Ignored"}}), Variant(false)), Variant(true));
    EXPECT_EQ(at(2).get("LastName"), Variant("Braced 2"));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ContactXmlUpsertTest, ContactsItWritesAreFoundByTheNextRecordWithoutChoosingTheFolderAgain) {
    EXPECT_EQ(upsert("N-1", "Bo", "Day", "bo@x.test"), Variant(true));
    EXPECT_EQ(upsert("N-1", "Bo", "Day", "bo@x.test"), Variant(true));
    storedContact("Added by the person");  // the folder grew since the index was built
    EXPECT_EQ(upsert("N-2", "Cy", "Eve", "cy@x.test"), Variant(true));
    EXPECT_EQ(upsert("N-2", "Cy", "Eve-Ross", "cy@y.test"), Variant(true));
    // The changed names are known too: another id with them is the same person.
    EXPECT_EQ(upsert("N-3", "CY", "eve-ross", "CY@Y.TEST"), Variant(true));
    EXPECT_EQ(lastNames(contactsFolder()), (std::vector<std::string>{"Day", "Added by the person", "eve-ross"}));
    EXPECT_EQ(userProperty(at(3), "LUMORAID"), "N-3");
}

TEST_F(ContactXmlUpsertTest, ADeletedContactPutsTheIndexOutOfStepUntilTheFolderIsChosenAgain) {
    storedContact("Person's first");
    upsert("C-1", "Ann", "One", "");
    storedContact("Person's own");
    upsert("C-2", "Ann", "Two", "");
    at(1).call("Delete");
    EXPECT_EQ(upsert("C-1", "Ann", "One again", ""), Variant(false));
    expectLastBox("Contact temporary index appears to be out of step!", kTitle);
    upsert("C-9", "Ann", "Nine", "");  // made, but not entered over a row that no longer stands for its item
    EXPECT_EQ(upsert("C-2", "Ann", "Two again", ""), Variant(false));
    expectLastBox("Contact temporary index is out of step!", kTitle);
    EXPECT_EQ(lastNames(contactsFolder()), (std::vector<std::string>{"One", "Person's own", "Two", "Nine"}));

    setContactFolder("Contacts");
    EXPECT_EQ(upsert("C-2", "Ann", "Two again", ""), Variant(true));
    EXPECT_EQ(upsert("C-9", "Ann", "Nine again", ""), Variant(true));
    EXPECT_EQ(lastNames(contactsFolder()), (std::vector<std::string>{"One", "Person's own", "Two again", "Nine again"}));
}

TEST_F(ContactXmlUpsertTest, BadRecordsAreToldAndSaveNothing) {
    Object mail = contactsFolder().getObject("Items").getObject("Add", "IPM.Note");
    mail.put("Subject", "Not a contact");
    mail.getObject("UserProperties").getObject("Add", "LUMORAID", 1).put("Value", "M-1");
    mail.call("Save");
    {
        // A page that went away while the index was being built.
        CancelFlag pageGone;
        pageGone.cancel();
        const ScopedCancelFlag scope(pageGone);
        EXPECT_EQ(upsert("C-1", "Ann", "Lee", ""), Variant(false));
        expectLastBox("Error occured in CheckOutLookContactExists(): User interrupt occurred", kTitle);
    }
    const std::string failed = "Error exporting contact to Outlook: ";
    const std::pair<std::string, std::string> cases[] = {
        {"<record id=\"\"><field name=\"LASTNAME\" value=\"Lee\"/></record>", "Failed to get contact id from XML feed!"},
        {"<record><field name=\"LASTNAME\" value=\"Lee\"/></record>", failed + "Invalid use of Null"},
        {"<record id=\"1\"><field name=\"LASTNAME\" value=\"Lee\">", failed + "Object variable or With block variable not set"},
        {"<!DOCTYPE record [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><record id=\"1\">"
         "<field name=\"LASTNAME\" value=\"&e;\"/></record>", failed + "Object variable or With block variable not set"},
        {"<record id=\"1\"><field name=\"FIRSTNAME\" value=\"\"/></record>",
         "FirstName and LastName appear to be blank, skipping this record."},
        {record("m-1", {{"LASTNAME", "Lee"}}), failed + "Object doesn't support this property or method"},
    };
    for (const auto& [xml, message] : cases) {
        EXPECT_EQ(upsert(xml), Variant(false)) << xml;
        expectLastBox(message, kTitle);
    }
    EXPECT_EQ(lastNames(contactsFolder()), std::vector<std::string>{"Not a contact"});

    control.call("CleanUpOutlook");
    EXPECT_EQ(upsert("C-1", "Ann", "Lee", ""), Variant(false));
    expectLastBox("SetContactFolder() has not been run. Run this before calling AddUpdateContactXml()", kTitle);
    EXPECT_EQ(count(), 1);
}

TEST_F(ContactXmlUpsertTest, AFieldWithoutValueIsToldEachTimeItIsReadAndWrittenEmpty) {
    EXPECT_EQ(upsert("<record id=\"C-1\"><field name=\"FIRSTNAME\"/><field name=\"LASTNAME\" value=\"Lee\"/>"
                     "<field name=\"LASTNAME\" value=\"Second\"/></record>"),
              Variant(true));
    ASSERT_EQ(boxes().size(), 3u);  // read for the blank test, the lookup and the write
    expectLastBox("Error occured in GetXMLFieldValue(): Invalid use of Null", kTitle);
    EXPECT_EQ(onlyContact().get("FullName"), Variant("Lee"));
}

TEST_F(ContactXmlUpsertTest, QuotesBracesMegabytesAndAstralCharactersSurviveAndMatch) {
    const std::string id = "{O'Neil \"7\"}";
    const std::string large(1 << 20, 'j');
    const std::string upper = "\xF0\x90\x90\x80 \xF0\x9F\x98\x80";  // DESERET CAPITAL LONG I, an emoji
    const std::string lower = "\xF0\x90\x90\xA8 \xF0\x9F\x98\x80";
    EXPECT_EQ(upsert(record(id, {{"FIRSTNAME", upper}, {"LASTNAME", "O'Neil"}, {"EMAIL1ADDRESS", "o@x.test"},
                                 {"JOBTITLE", large}})),
              Variant(true));
    EXPECT_EQ(upsert(record("other", {{"FIRSTNAME", lower}, {"LASTNAME", "o'neil"}, {"EMAIL1ADDRESS", "O@X.TEST"}})),
              Variant(true));
    Object contact = onlyContact();
    EXPECT_EQ(contact.get("FirstName"), Variant(lower));
    EXPECT_EQ(userProperty(contact, "LUMORAID"), "other");

    // The first contact now stands for "other", so the id is a new contact, found when it comes again.
    EXPECT_EQ(upsert(record(id, {{"LASTNAME", upper}, {"JOBTITLE", large}})), Variant(true));
    EXPECT_EQ(upsert(record(id, {{"LASTNAME", upper}, {"JOBTITLE", large + "!"}})), Variant(true));
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(at(2).get("JobTitle"), Variant(large + "!"));
    EXPECT_EQ(userProperty(at(2), "LUMORAID"), id);
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
}  // namespace lumora
