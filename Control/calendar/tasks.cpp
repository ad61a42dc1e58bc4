// Outlook tasks: showing one, and the folder list, task list and task details of the import.

#include "Automation/vb/convert.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/import_lists.hpp"
#include "Control/frame/members.hpp"
#include "Platform/Outlook/item_properties.hpp"
#include "appointment_store_errors.hpp"

namespace lumora::control {

namespace {

constexpr int16_t kOpenTaskCode = 8;

constexpr ImportFolders kTaskFolders{pim::FolderType::Tasks, pim::ItemType::Task, msg::DefaultTasksFolder};
constexpr ListedItems kListedTasks{pim::ItemClass::Task, "Subject", "Subject"};
constexpr ItemImport kTaskImport{msg::ImportTaskFailed, pim::FolderType::Tasks, step::AccessingChosenFolder,
                                 step::AccessingChosenTask, step::RetrievingTaskInformation,
                                 step::CleaningUpOutlookAfterTask, &OutlookReferences::CurrentItem};

// How the import page receives each of a task's details.
enum class DetailForm {
    AsRead,       // text, or a number in decimal
    Flag,         // "1" for True, "0" for False
    Date,         // "yyyy-MM-dd HH:mm:ss.000"; a date never set reads as the year 4501
    DateOrEmpty,  // as Date, but empty for a date never set
};

struct TaskDetail {
    std::string_view member;
    DetailForm form;
};

// The task's details in the order the import page reads them; the task's own entry id and its
// folder's follow.
constexpr TaskDetail kTaskDetails[] = {
    {"BillingInformation", DetailForm::AsRead}, {"body", DetailForm::AsRead},
    {"complete", DetailForm::Flag},             {"DateCompleted", DetailForm::DateOrEmpty},
    {"DueDate", DetailForm::Date},              {"Importance", DetailForm::AsRead},
    {"PercentComplete", DetailForm::AsRead},    {"Sensitivity", DetailForm::AsRead},
    {"StartDate", DetailForm::Date},            {"Status", DetailForm::AsRead},
    {"Subject", DetailForm::AsRead},            {"TeamTask", DetailForm::Flag},
};

constexpr std::string_view kDatePattern = "yyyy-MM-dd HH:mm:ss";
constexpr std::string_view kNoMilliseconds = ".000";

std::string detailText(const Variant& value, DetailForm form) {
    switch (form) {
    case DetailForm::AsRead: return value.toString();
    case DetailForm::Flag: return value.toBool() ? "1" : "0";
    case DetailForm::Date:
    case DetailForm::DateOrEmpty: break;
    }
    const std::string date = vb::formatDate(value.toDate(), kDatePattern);
    if (form == DetailForm::DateOrEmpty && date == vb::formatDate(pim::kNoDate, kDatePattern)) return {};
    return date + std::string(kNoMilliseconds);
}

// The fourteen details: every one followed by the delimiter except the folder's entry id, the last.
void appendTaskDetails(std::string& details, const Object& task, const Object& folder, StepText&) {
    for (const TaskDetail& detail : kTaskDetails) appendValue(details, detailText(task.get(detail.member), detail.form));
    appendValue(details, task.get("EntryID").toString());
    details += folder.get("EntryID").toString();
}

// What a page is told when the store does not hand the task over.
Variant taskNotOpened(const Error& error) {
    if (static_cast<uint32_t>(error.number()) == kStoreNotFound) return Variant(msg::TaskNotFound);
    return Variant(msg::TaskNotYours);
}

}  // namespace

Variant OpenTask(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    OutlookReferences& outlook = state.outlook;
    if (tryLocal([&] { reachOutlook(outlook, OutlookWay::Create); })) return Variant(msg::NoOutlook);
    return trapped(
        [&]() -> Variant {
            openMapiNamespace(outlook);
            outlook.DefaultFolder =
                outlook.MapiNamespace.call("GetDefaultFolder", static_cast<int32_t>(pim::FolderType::Tasks)).toObject();
            outlook.DefaultStoreID = outlook.DefaultFolder.get("StoreID").toString();
            if (auto error = tryLocal([&] {
                    outlook.CurrentItem =
                        outlook.MapiNamespace.call("GetItemFromID", params.str(0), outlook.DefaultStoreID).toObject();
                }))
                return taskNotOpened(*error);
            outlook.CurrentItem.call("display");
            cleanUpOutlook(state);
            return emptyText();
        },
        [&](const Error& e) { return outlookOpenFailure(state, step::OpeningTask, kOpenTaskCode, e); });
}

Variant GetTaskFolderList(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return importListMember(state, msg::TasksFolderNotFound, [&](std::string& appended) {
        return folderList(state.outlook, kTaskFolders, EmptySubfolders::LeftOut, appended);
    });
}

Variant GetFolderTaskItems(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return importListMember(state, msg::GetFolderTaskItemsFailed, [&](std::string&) {
        // The folder read becomes the control's chosen folder, the one the contact members write into.
        state.contactFolder.TargetFolder =
            chosenFolder(state.outlook, pim::FolderType::Tasks, params, 0, FolderIdForm::WithoutHashes);
        return itemList(listedItems(state.outlook, state.contactFolder.TargetFolder, kListedTasks));
    });
}

Variant ImportTask(LumoraCtrl2005& control, Params& params) {
    return importDetails(control.state(), params, kTaskImport, appendTaskDetails);
}

}  // namespace lumora::control
