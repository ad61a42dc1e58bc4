#pragma once
// The desktop control against the real PIM store in the test's private data folder: Outlook is
// installed and running, and the test reads what the control wrote through the object model.

#include <string>
#include <utility>
#include <vector>

#include "Platform/Outlook/register.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"

namespace lumora::testing {

class OutlookControlTest : public DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        pim::registerPimClasses(Registry::instance());
        install("Outlook.Application");
        control = create("LumoraControl2005.LumoraCtrl2005");
    }

    // The calls a person's own Outlook (or another process) makes.
    Object mapi() { return create("Outlook.Application").getObject("GetNamespace", "MAPI"); }
    Object defaultFolder(int32_t type) { return mapi().getObject("GetDefaultFolder", type); }
    Object admin() { return create("Lumora.PimAdmin"); }
    Object item(const std::string& entryId) { return mapi().getObject("GetItemFromID", entryId); }
    std::string userProperty(const Object& of, const std::string& name) {
        Object property = of.getObject("UserProperties").getObject("Find", name);
        return property.isNothing() ? "<none>" : property.value().toString();
    }

    // A new item of the folder's own kind (or `type`) with these values and text user properties, saved.
    using Values = std::vector<std::pair<std::string, Variant>>;
    Object savedItem(const Object& folder, const Values& values, const Values& marks = {}, Variant type = Variant()) {
        Object item = folder.getObject("Items").getObject("Add", type);
        for (const auto& [name, value] : values) item.put(name, value);
        for (const auto& [name, value] : marks)
            item.getObject("UserProperties").getObject("Add", name, 1).put("Value", value);
        item.call("Save");
        return item;
    }

    // A control member called with every argument by reference, as page script passes them.
    Variant callWith(const std::string& member, std::vector<Variant>& arguments) {
        return control.invoke(member, MemberKind::Method, arguments);
    }

    void setFaults(const RegistryFaults& faults) { Registry::instance().setFaults(faults); }
    const std::vector<desktop::ShowRequest>& shown() { return desktop().transcript().shown; }

    Object control;
};

}  // namespace lumora::testing
