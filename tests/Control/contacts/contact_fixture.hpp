#pragma once
// The contact members of the control on a real store: choosing the folder, writing contacts
// from arguments or from a page, and reading back what the folder holds.

#include <map>
#include <string>
#include <vector>

#include "Platform/Html/register.hpp"
#include "tests/Control/support/outlook_fixture.hpp"

namespace lumora::testing {

constexpr int32_t kContactsFolder = 10;

class ContactControlTest : public OutlookControlTest {
protected:
    void SetUp() override {
        OutlookControlTest::SetUp();
        html::registerHtmlClasses(Registry::instance());
    }

    Object contactsFolder() { return defaultFolder(kContactsFolder); }
    void setContactFolder(const std::string& name) { control.call("SetContactFolder", name); }

    // AddContact with the four required arguments and, by position, the optional ones.
    Variant addContact(const std::string& lastName, const std::string& contactType,
                       std::vector<Variant> optional = {}, const std::string& id = "C-1") {
        arguments = {Variant(id), Variant(lastName), Variant(contactType), Variant("Acme")};
        for (Variant& value : optional) arguments.push_back(std::move(value));
        return callWith("AddContact", arguments);
    }

    // Each item's LastName, or the Subject of an item that is not a contact.
    std::vector<std::string> lastNames(const Object& folder) {
        std::vector<std::string> names;
        for (const Variant& item : folder.getObject("Items").elements()) {
            const Object it = item.toObject();
            names.push_back(it.get(it.get("Class").toI4() == 40 ? "LastName" : "Subject").toString());
        }
        return names;
    }
    Object onlyContact() {
        Object items = contactsFolder().getObject("Items");
        EXPECT_EQ(items.count(), 1);
        return items.item(1);
    }

    // A page's contact form with every field AddContactAll reads: the overrides replace values,
    // `leftOut` names a field the form lacks.
    static std::string formPage(const std::map<std::string, std::string>& overrides, const std::string& leftOut = "") {
        std::map<std::string, std::string> values = {
            {"TITLE", "Dr"}, {"FIRSTNAME", "Ann"}, {"LASTNAME", "Lee"}, {"JOBTITLE", "CTO"}, {"DEPARTMENT", "R&D"},
            {"AC_NAME", "Acme"}, {"BUSINESSADDRESSSTREET", ""}, {"BUSINESSADDRESSSTREET2", "Unit 2"},
            {"BUSINESSADDRESSSTREET3", "Dock Rd"}, {"BUSINESSADDRESSCITY", "Leeds"}, {"BUSINESSADDRESSSTATE", ""},
            {"BUSINESSADDRESSPOSTALCODE", "LS1"}, {"BUSINESSADDRESSCOUNTRY", "UK"}, {"EMAIL1ADDRESS", "ann@acme.test"},
            {"EMAIL2ADDRESS", ""}, {"EMAIL3ADDRESS", ""}, {"BUSINESSTELEPHONENUMBER", "1"}, {"BUSINESSFAXNUMBER", "2"},
            {"MOBILETELEPHONENUMBER", "3"}, {"WEBPAGE", "acme.test"}, {"MANAGERNAME", "Bo"}, {"REFERREDBY", "Cy"},
            {"ASSISTANTNAME", "Di"}, {"ASSISTANTTELEPHONENUMBER", "4"}, {"HOMEADDRESSSTREET", "1 High St"},
            {"HOMEADDRESSSTREET2", ""}, {"HOMEADDRESSSTREET3", "Flat 3"}, {"HOMEADDRESSCITY", "York"},
            {"HOMEADDRESSSTATE", ""}, {"HOMEADDRESSPOSTALCODE", "Y1"}, {"HOMEADDRESSCOUNTRY", "UK"},
            {"SENSITIVITY", "Private"}, {"SUFFIX", "PhD"}, {"HOMETELEPHONENUMBER", "5"}, {"HOMEFAXNUMBER", "6"},
            {"PERSONALHOMEPAGE", "ann.test"}, {"BIRTHDAY", ""}, {"HOBBY", "Chess"}, {"NICKNAME", "Annie"},
            {"SPOUSE", "Ed"}, {"MIDDLENAME", "May"}, {"ANNIVERSARY", ""}, {"ACC_ID", "AC-77"}};
        for (const auto& [id, value] : overrides) values[id] = value;
        std::string markup = "<html><body><form>";
        for (const auto& [id, value] : values)
            if (id != leftOut) markup += "<input id=\"" + id + "\" value=\"" + value + "\">\n";
        if (leftOut != "DETAILS") markup += "<textarea id=\"DETAILS\">Met at the fair.</textarea>";
        return markup + "</form></body></html>";
    }

    Object page(const std::string& markup) {
        Object document = create("Lumora.HTMLDocument");
        document.call("write", markup);
        return document;
    }

    std::vector<Variant> arguments;  // the caller's variables of the last AddContact
};

}  // namespace lumora::testing
