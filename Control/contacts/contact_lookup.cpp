// Finding the Outlook contact that stands for a CRM contact, through the contact temporary index,
// and checking that the row found still stands for the item at its position.

#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "contact_folder.hpp"
#include "contact_xml_upsert.hpp"

namespace lumora::control {

namespace {

using Result = ContactLookup::Result;

bool isCrmIdOf(const std::string& value, const std::string& id) {
    return vb::equalsNoCase(value, id) || vb::equalsNoCase(value, "{" + id + "}");
}

// An id match is only trusted when the item at the row's position carries that id: a delete or a
// move since the index was built shifts the items under its rows, and the person then chooses the
// contact folder again to rebuild it.
Result checkedIdMatch(ControlState& state, const std::string& id) {
    const Object properties = state.outlook.ContactItem.getObject("UserProperties");
    state.outlook.ItemUserProperty = properties.getObject("Find", kLumoraIdProperty);
    if (state.outlook.ItemUserProperty.isNothing()) {
        tell(msg::ContactIndexRowWithoutId);
        return Result::Failed;
    }
    if (!isCrmIdOf(state.outlook.ItemUserProperty.get("Value").toString(), id)) {
        tell(msg::ContactIndexRowOtherId);
        return Result::Failed;
    }
    return Result::Found;
}

}  // namespace

ContactLookup CheckOutLookContactExists(ControlState& state, const std::string& id, const std::string& firstName,
                                        const std::string& lastName, const std::string& email,
                                        bool& emailNameMatching) {
    return trapped(
        [&]() -> ContactLookup {
            ContactTempIndex& index = state.contactFolder.TempIndex;
            if (!index.built()) {
                if (contactFolderMissing(state, msg::ContactLookupWithoutFolder)) return {Result::Failed};
                // A folder found empty has nothing to match.
                if (index.build(state.contactFolder.TargetFolder.getObject("Items"), state.outlook.ContactItem) == 0)
                    return {Result::None};
            }
            if (firstName.empty() || lastName.empty() || email.empty()) emailNameMatching = false;
            std::optional<ContactNames> names;
            if (emailNameMatching) names = ContactNames{firstName, lastName, email};
            const std::optional<ContactIndexMatch> match = index.find(id, names);
            if (!match) return {Result::None};
            state.outlook.ContactItem = state.contactFolder.TargetFolder.getObject("Items").item(match->position);
            if (match->kind == ContactIndexMatch::Kind::LumoraId) return {checkedIdMatch(state, id), match->position};
            return {Result::Found, match->position};
        },
        [](const Error& e) -> ContactLookup {
            tell(std::string(msg::ContactLookupFailed) + e.description());
            return {Result::Failed};
        });
}

}  // namespace lumora::control
