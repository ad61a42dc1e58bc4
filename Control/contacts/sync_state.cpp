// The marks that tie Outlook items to CRM records: stamping an imported item, finding the item
// of a CRM id, and unsynchronising or deleting a contact.

#include "Automation/cancellation.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/crm_marks.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/item_walk.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"
#include "Platform/Outlook/item_kinds.hpp"

namespace lumora::control {

namespace {

using pim::FolderType;
using pim::ItemType;

bool holdsItemsOf(const Object& folder, ItemType type) {
    return folder.get("DefaultItemType").toI4() == static_cast<int32_t>(type);
}

// The item of a CRM id carries it, exactly, as its LUMORAID.
bool isItemOfCrmId(const Object& item, const std::string& crmId) { return markValue(item, mark::ContactId) == crmId; }

// Where CheckIfSynchronised looks for the item of a CRM id: a default folder and its direct
// subfolders of that folder's kind, the reference it holds each item in, and how it names a find.
struct SyncSearch {
    FolderType folder;
    ItemType subfolderItems;
    Object OutlookReferences::*holder;
    std::string_view nameMember;
    std::string_view inDefaultFolder;
};

constexpr SyncSearch kContactSearch{FolderType::Contacts, ItemType::Contact, &OutlookReferences::ContactItem,
                                    "FullName", msg::InDefaultContactsFolder};
constexpr SyncSearch kTaskSearch{FolderType::Tasks, ItemType::Task, &OutlookReferences::CurrentItem, "Subject",
                                 msg::InDefaultTasksFolder};

// True when an item of the folder carries the CRM id; the first one found is left in `holder`.
bool findItemOfCrmId(const Object& folder, Object& holder, const std::string& crmId) {
    const Object items = folder.getObject("Items");
    const int32_t count = items.count();
    for (int32_t position = 1; position <= count; ++position) {
        checkCancelled();
        holder = items.item(position);
        if (isItemOfCrmId(holder, crmId)) return true;
    }
    return false;
}

std::string whereSynchronised(ControlState& state, const SyncSearch& search, const std::string& crmId) {
    openDefaultFolder(state.outlook, OutlookWay::Create, search.folder);
    Object& holder = state.outlook.*search.holder;
    if (findItemOfCrmId(state.outlook.DefaultFolder, holder, crmId))
        return holder.get(search.nameMember).toString() + std::string(search.inDefaultFolder);
    const Object folders = state.outlook.DefaultFolder.getObject("Folders");
    const int32_t count = folders.count();
    for (int32_t position = 1; position <= count; ++position) {
        state.outlook.SubFolder = folders.item(position);
        if (holdsItemsOf(state.outlook.SubFolder, search.subfolderItems) &&
            findItemOfCrmId(state.outlook.SubFolder, holder, crmId))
            return holder.get(search.nameMember).toString() + std::string(msg::InSubfolder) +
                   state.outlook.SubFolder.get("Name").toString();
    }
    return std::string(msg::NotSynchronised);
}

// Unsynchronising keeps the properties and empties them, so the CRM's fields stay on the item.
void unsynchronise(ControlState& state, const Object& item) {
    for (std::string_view name : {mark::Lumora, mark::ContactId}) {
        state.outlook.ItemUserProperty = item.getObject("UserProperties").call("Find", name).toObject();
        if (!state.outlook.ItemUserProperty.isNothing()) state.outlook.ItemUserProperty.put("Value", Variant(""));
    }
    item.call("save");
}

// The failure form of these members: Outlook released, and the member's own text.
auto releasedWith(ControlState& state, std::string_view text) {
    return [&state, text](const Error&) {
        cleanUpOutlook(state);
        return Variant(text);
    };
}

enum RemoveArgument : size_t { ContactCrmId, DeleteMode };

}  // namespace

Variant SetImportID(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return trapped(
        [&]() -> Variant {
            reachOutlook(state.outlook, OutlookWay::Create);
            openMapiNamespace(state.outlook);
            const std::string itemType = vb::lCase(params.str(2));
            Object* item = itemType == msg::ContactItemType ? &state.outlook.ContactItem
                           : itemType == msg::TaskItemType  ? &state.outlook.CurrentItem
                                                            : nullptr;
            if (item) {
                *item = state.outlook.MapiNamespace.call("GetItemFromID", params[1]).toObject();
                const Object crmId =
                    item->getObject("UserProperties").call("Add", mark::ContactId, kTextProperty).toObject();
                crmId.put("Value", params[0]);
                item->call("save");
            }
            cleanUpOutlook(state);
            return emptyText();
        },
        releasedWith(state, msg::SetImportIdFailed));
}

Variant CheckIfSynchronised(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return trapped(
        [&]() -> Variant {
            const SyncSearch& search = vb::lCase(params.str(1)) == msg::ContactItemType ? kContactSearch : kTaskSearch;
            Variant result(whereSynchronised(state, search, params.str(0)));
            cleanUpOutlook(state);
            return result;
        },
        releasedWith(state, msg::SynchronisationUnknown));
}

Variant RemoveContact(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return trapped(
        [&]() -> Variant {
            const std::string& crmId = params.str(ContactCrmId);
            const bool deleting = params.boolean(DeleteMode);
            openDefaultFolder(state.outlook, OutlookWay::Create, FolderType::Contacts);
            const Object folders = state.outlook.DefaultFolder.getObject("Folders");
            auto removeFrom = [&](const Object& folder) {
                walkItems(folder.getObject("Items"), state.outlook.ContactItem, [&](const Object& item) {
                    if (!isItemOfCrmId(item, crmId)) return;
                    if (deleting) item.call("Delete");
                    else unsynchronise(state, item);
                });
            };
            removeFrom(state.outlook.DefaultFolder);
            const int32_t count = folders.count();
            for (int32_t position = 1; position <= count; ++position) {
                state.outlook.SubFolder = folders.item(position);
                if (holdsItemsOf(state.outlook.SubFolder, ItemType::Contact)) removeFrom(state.outlook.SubFolder);
            }
            cleanUpOutlook(state);
            return Variant(deleting ? msg::ContactDeleted : msg::ContactUnsynchronised);
        },
        releasedWith(state, msg::RemoveContactFailed));
}

}  // namespace lumora::control
