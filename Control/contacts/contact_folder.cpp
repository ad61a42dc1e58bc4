// The Outlook contact folder that CRM contacts are written into: choosing it (and purging the
// temporary contacts an earlier visit left there), and making sure a named subfolder exists.

#include "contact_folder.hpp"

#include "Automation/shared_texts.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/item_walk.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/crm_marks.hpp"
#include "Control/frame/private_operations.hpp"

namespace lumora::control {

namespace {

constexpr int32_t kContactsFolder = static_cast<int32_t>(pim::FolderType::Contacts);

// The subfolder of the default contacts folder with that exact name; the last one wins, as
// the scan does not stop at a match. 0 for none.
int16_t matchingSubfolder(const Object& folders, const std::string& name) {
    int16_t matched = 0;
    const int32_t count = folders.get("count").toI4();
    for (int32_t i = 1; i <= count; ++i)
        if (folders.item(i).get("Name").toString() == name) matched = static_cast<int16_t>(i);
    return matched;
}

bool isTemporaryCrmContact(const Object& item) {
    // Only contacts have the User fields; other items are passed over without asking them.
    return item.get("Class").toI4() == kContactItemClass && item.get("User2").toString() == msg::TemporaryContact &&
           item.get("User1").toString() == msg::LumoraMark;
}

// Deletes the temporary CRM contacts.
void purgeTemporaryContacts(ControlState& state) {
    walkItems(state.contactFolder.TargetFolder.getObject("Items"), state.outlook.LoopItem, [](const Object& item) {
        if (isTemporaryCrmContact(item)) item.call("Delete");
    });
    state.outlook.LoopItem.release();
}

}  // namespace

bool contactFolderMissing(const ControlState& state, std::string_view message) {
    if (!state.contactFolder.TargetFolder.isNothing()) return false;
    tell(message);
    return true;
}

void appendLine(const Object& item, std::string_view member, const std::string& line) {
    item.put(member, item.get(member).toString() + std::string(text::LineBreak) + line);
}

void addTextUserProperty(const Object& item, std::string_view name, const Variant& value) {
    item.getObject("UserProperties").call("Add", name, kTextProperty).toObject().put("Value", value);
}

void addCrmIdProperties(const Object& item, const Variant& crmId) {
    addTextUserProperty(item, kLumoraIdProperty, crmId);
    addTextUserProperty(item, kSynchronisedProperty, Variant(msg::LumoraMarkTrue));
}

Variant SetContactFolder(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    state.contactFolder.MatchedSubfolder = 0;
    state.contactFolder.ContactFolderName = params.str(0);
    state.contactFolder.TempIndex.clear();
    if (tryLocal([&] {
            reachOutlook(state.outlook, OutlookWay::Create);
            openMapiNamespace(state.outlook);
        })) {
        tell(msg::OutlookNotInstalled);
        return emptyResult();
    }
    return trapped(
        [&]() -> Variant {
            state.outlook.DefaultFolder = state.outlook.MapiNamespace.call("GetDefaultFolder", kContactsFolder).toObject();
            if (state.contactFolder.ContactFolderName != msg::DefaultContactsFolder) {
                const Object folders = state.outlook.DefaultFolder.getObject("Folders");
                state.contactFolder.MatchedSubfolder = matchingSubfolder(folders, state.contactFolder.ContactFolderName);
                state.contactFolder.TargetFolder = state.contactFolder.MatchedSubfolder ? folders.item(state.contactFolder.MatchedSubfolder) : state.outlook.DefaultFolder;
            } else {
                state.contactFolder.TargetFolder = state.outlook.DefaultFolder;
            }
            purgeTemporaryContacts(state);
            return emptyResult();
        },
        [](const Error&) {
            tell(msg::ContactsFolderNotFound);
            return emptyResult();
        });
}

Variant CheckForFolder(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return trapped(
        [&]() -> Variant {
            const std::string name = params[0].toString();
            reachOutlook(state.outlook, OutlookWay::Create);
            openMapiNamespace(state.outlook);
            state.outlook.DefaultFolder = state.outlook.MapiNamespace.call("GetDefaultFolder", kContactsFolder).toObject();
            const Object folders = state.outlook.DefaultFolder.getObject("Folders");
            if (matchingSubfolder(folders, name) == 0) folders.call("Add", name, kContactsFolder);
            cleanUpOutlook(state);
            return Variant(true);
        },
        [&](const Error&) {
            cleanUpOutlook(state);
            return falseResult();
        });
}

}  // namespace lumora::control
