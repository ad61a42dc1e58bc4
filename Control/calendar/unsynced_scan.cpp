// The scan for recent appointments and tasks not yet in the CRM, and marking an item as
// synchronised once the CRM has stored it.

#include "Automation/vb/convert.hpp"
#include "Automation/vb/dates.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/crm_marks.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/item_walk.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"
#include "Control/frame/unsynced_list.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Outlook/item_kinds.hpp"

namespace lumora::control {

namespace {

using pim::FolderType;
using pim::ItemClass;

constexpr std::string_view kLongDate = "yyyy-MM-dd HH:mm:ss";
constexpr std::string_view kSortableMinute = "yyyyMMddHHmm";
constexpr int32_t kScanMonths = 3;

// What a scan looks for: the default folder it walks, the class of item it reports, which date
// is the item's start, how it tells a synchronised item and how it writes one up.
struct ScanKind {
    FolderType folder;
    ItemClass itemClass;
    std::string_view start;
    bool (*synchronised)(const Object& item);
    UnsyncedRecord (*record)(const Object& item);
};

std::string date(const Object& item, std::string_view member, std::string_view pattern) {
    return vb::formatDate(item.get(member).toDate(), pattern);
}
std::string number(const Object& item, std::string_view member) { return std::to_string(item.get(member).toI4()); }

UnsyncedRecord appointmentRecord(const Object& item) {
    UnsyncedRecord record;
    record.field(date(item, "Start", kSortableMinute))
        .cleaned(item, "Subject")
        .field(date(item, "Start", kLongDate))
        .field(date(item, "End", kLongDate))
        .cleaned(item, "Location")
        .field(item, "EntryID")
        .cleaned(item, "body");
    return record;
}

UnsyncedRecord taskRecord(const Object& item) {
    UnsyncedRecord record;
    record.cleaned(item, "Subject")
        .field(item, "EntryID")
        .field(number(item, "Status"))
        .field(number(item, "Importance"))
        .field(number(item, "PercentComplete"))
        .field(date(item, "StartDate", kLongDate))
        .field(date(item, "DueDate", kLongDate))
        .cleaned(item, "Body")
        .cleaned(item, "Companies");
    return record;
}

bool taskSynchronised(const Object& item) { return isSynchronised(item, mark::TaskId); }

constexpr ScanKind kAppointmentScan{FolderType::Calendar, ItemClass::Appointment, "Start", carriesLumoraMark,
                                    appointmentRecord};
constexpr ScanKind kTaskScan{FolderType::Tasks, ItemClass::Task, "StartDate", taskSynchronised, taskRecord};

// An item of the scan's class whose start day lies after the cut-off day. An item without a
// start reads Outlook's far-future placeholder, so it is always inside.
bool inScanWindow(const ScanKind& kind, const Object& item, Date cutOff) {
    if (item.get("Class").toI4() != static_cast<int32_t>(kind.itemClass)) return false;
    return vb::dateDiff("d", cutOff, item.get(kind.start).toDate()) > 0;
}

// The default folder is walked twice: once to count what lies in the window, once to write up
// the unsynchronised items among them.
std::string scanDefaultFolder(ControlState& state, const ScanKind& kind) {
    openDefaultFolder(state.outlook, OutlookWay::CreateWithFallback, kind.folder);
    state.contactFolder.TargetFolder = state.outlook.DefaultFolder;
    const Date cutOff = vb::dateAdd("m", -kScanMonths, desktop::current().now());
    const Object items = state.contactFolder.TargetFolder.getObject("Items");
    Object item;
    int32_t inWindow = 0;
    walkItems(items, item, [&](const Object& each) { inWindow += inScanWindow(kind, each, cutOff); });
    UnsyncedList list(state.contactFolder.TargetFolder.get("StoreID").toString(), static_cast<size_t>(inWindow));
    walkItems(items, item, [&](const Object& each) {
        if (inScanWindow(kind, each, cutOff) && !kind.synchronised(each)) list.add(kind.record(each));
    });
    return list.text();
}

bool isActivityType(std::string_view itemType) {
    for (std::string_view activity : {msg::ActivityItemType, msg::TaskItemType, msg::AccountActivityItemType,
                                      msg::ContactActivityItemType, msg::OpportunityActivityItemType,
                                      msg::ProjectActivityItemType})
        if (itemType == activity) return true;
    return false;
}

// A task's CRM id is kept in braces, whether or not the page sent them.
std::string inBraces(const std::string& id) { return vb::left(id, 1) == "{" ? id : "{" + id + "}"; }

enum SetItemArgument : size_t { ItemType, StoreId, OutlookId, AccountId, ItemId };

void writeMarks(ControlState& state, const Params& params) {
    const Object& item = state.outlook.CurrentItem;
    state.outlook.LumoraProperty = findOrAddTextProperty(item, mark::Lumora);
    state.outlook.LumoraProperty.put("Value", Variant(msg::LumoraMarkTrue));
    const std::string& itemType = params.str(ItemType);
    if (itemType == msg::AppointmentItemType) {
        findOrAddTextProperty(item, mark::Guid).put("Value", params[ItemId]);
        findOrAddTextProperty(item, mark::AccountId).put("Value", params[AccountId]);
    } else if (isActivityType(itemType)) {
        findOrAddTextProperty(item, mark::TaskId).put("Value", Variant(inBraces(params.str(ItemId))));
    } else if (itemType == msg::ContactItemType) {
        findOrAddTextProperty(item, mark::ContactId).put("Value", params[ItemId]);
    }
}

}  // namespace

Variant GetUnsyncedAppts(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return unsyncedScan(state, [&] { return scanDefaultFolder(state, kAppointmentScan); });
}

Variant GetUnsyncedTasks(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return unsyncedScan(state, [&] { return scanDefaultFolder(state, kTaskScan); });
}

Variant SetItemAsLumora(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    // The property found is only needed while the marks are written; held past the member, it
    // would keep the item and the store it came from open between calls.
    auto releaseMark = [&] { state.outlook.LumoraProperty.release(); };
    return trapped(
        [&]() -> Variant {
            reachOutlook(state.outlook, OutlookWay::CreateWithFallback);
            openMapiNamespace(state.outlook);
            state.outlook.CurrentItem =
                state.outlook.MapiNamespace.call("GetItemFromID", params[OutlookId], params[StoreId]).toObject();
            writeMarks(state, params);
            state.outlook.CurrentItem.call("save");
            releaseMark();
            cleanUpOutlook(state);
            return Variant(true);
        },
        [&](const Error& e) {
            // Nothing is stored before the save, which writes all the marks or none.
            tell(e.description());
            releaseMark();
            cleanUpOutlook(state);
            return falseResult();
        });
}

}  // namespace lumora::control
