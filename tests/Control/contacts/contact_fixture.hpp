#pragma once
// The contact members of the control on a real store: choosing the folder, writing contacts
// from arguments or from a page, and reading back what the folder holds.

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

    Object page(const std::string& markup) {
        Object document = create("Lumora.HTMLDocument");
        document.call("write", markup);
        return document;
    }

    std::vector<Variant> arguments;  // the caller's variables of the last AddContact
};

}  // namespace lumora::testing
