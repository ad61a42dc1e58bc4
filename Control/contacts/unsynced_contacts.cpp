// The Outlook contacts not yet in the CRM, listed for the page to offer them for import.

#include <array>

#include "Automation/shared_texts.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/crm_marks.hpp"
#include "Control/frame/item_walk.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/unsynced_list.hpp"
#include "Platform/Outlook/item_kinds.hpp"

namespace lumora::control {

namespace {

using pim::FolderType;
using pim::ItemClass;

// A street as the three lines the page takes: line breaks of any convention, further lines dropped.
std::array<std::string, 3> streetLines(const std::string& street) {
    std::array<std::string, 3> lines;
    if (street.empty()) return lines;
    const std::string unified = vb::replace(vb::replace(street, text::LineBreak, "\n"), "\r", "\n");
    const std::vector<std::string> parts = vb::split(unified, "\n");
    for (size_t i = 0; i < lines.size() && i < parts.size(); ++i) lines[i] = parts[i];
    return lines;
}

constexpr std::string_view kPlainFields[] = {
    "Email1Address", "Email2Address", "Email3Address", "JobTitle", "Department", "title", "ManagerName",
    "MiddleName", "Suffix", "AssistantName", "AssistantTelephoneNumber", "BusinessTelephoneNumber",
    "MobileTelephoneNumber", "HomeTelephoneNumber", "BusinessFaxNumber"};

struct AddressBlock {
    std::string_view street;
    std::array<std::string_view, 4> rest;  // city, state, postal code, country
};
constexpr AddressBlock kAddressBlocks[] = {
    {"businessaddressstreet",
     {"businessaddresscity", "businessaddressstate", "businessaddresspostalcode", "businessaddresscountry"}},
    {"HomeAddressStreet", {"HomeAddressCity", "HomeAddressState", "HomeAddressPostalCode", "HomeAddressCountry"}},
};

UnsyncedRecord contactRecord(const Object& item) {
    UnsyncedRecord record;
    record.cleaned(item, "FileAs")
        .cleaned(item, "FirstName")
        .cleaned(item, "LastName")
        .field(item, "EntryID")
        .cleaned(item, "CompanyName");
    for (std::string_view member : kPlainFields) record.field(item, member);
    for (const AddressBlock& block : kAddressBlocks) {
        for (const std::string& line : streetLines(item.get(block.street).toString())) record.field(line);
        for (std::string_view member : block.rest) record.field(item, member);
    }
    record.field(item, "WebPage");
    return record;
}

// The folder GetUnsyncedContacts lists: the default contacts folder, or the folder of the id
// the page gives, which may carry a stray "#" from the folder list's end (the caller's variable
// loses it too).
void openListedFolder(ControlState& state, Params& params) {
    openDefaultFolder(state.outlook, OutlookWay::CreateWithFallback, FolderType::Contacts);
    if (params.str(0).empty()) {
        state.contactFolder.TargetFolder = state.outlook.DefaultFolder;
        return;
    }
    params.writeBack(0, Variant(vb::replace(params.str(0), msg::FolderIdStrayMark, "")));
    state.contactFolder.TargetFolder = state.outlook.MapiNamespace.call("GetFolderFromID", params[0]).toObject();
}

}  // namespace

Variant GetUnsyncedContacts(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return unsyncedScan(state, [&] {
        openListedFolder(state, params);
        const Object& folder = state.contactFolder.TargetFolder;
        const Object items = folder.getObject("Items");
        UnsyncedList list(folder.get("StoreID").toString(), static_cast<size_t>(items.count()) + 1);
        walkItems(items, state.outlook.ContactItem, [&](const Object& item) {
            if (item.get("Class").toI4() != static_cast<int32_t>(ItemClass::Contact)) return;
            const bool synchronised = isSynchronised(item, mark::ContactId);
            if (!item.get("CompanyName").toString().empty() && !synchronised) list.add(contactRecord(item));
        });
        return list.text();
    });
}

}  // namespace lumora::control
