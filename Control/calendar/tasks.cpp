// Outlook tasks: showing one, and the folder list, task list and task details of the import.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/private_operations.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

Variant OpenTask(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return outlookWorkNotAvailable(
        state, OutlookWay::Create, "OpenTask", [](const Error&) { return Variant(msg::NoOutlook); },
        [&](const Error& e) {
            Variant result(OutlookErrorResult(StepText(std::string(step::OpeningTask)), 8, e));
            cleanUpOutlook(state);
            return result;
        });
}

Variant GetTaskFolderList(LumoraCtrl2005& control, Params&) {
    return outlookWorkNotAvailable(control.state(), OutlookWay::Create, "GetTaskFolderList", outlookNotInstalled,
                                   [](const Error&) {
                                       tell(msg::TasksFolderNotFound);
                                       return emptyText();
                                   });
}

Variant GetFolderTaskItems(LumoraCtrl2005& control, Params&) {
    return outlookWorkNotAvailable(control.state(), OutlookWay::Create, "GetFolderTaskItems", outlookNotInstalled,
                                   [](const Error&) {
                                       tell(msg::GetFolderTaskItemsFailed);
                                       return emptyText();
                                   });
}

Variant ImportTask(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return outlookWorkNotAvailable(
        state, OutlookWay::Create, "ImportTask",
        [&](const Error& e) {
            cleanUpOutlook(state);
            return outlookNotInstalled(e);
        },
        [&](const Error& e) {
            tell(std::string(msg::ImportTaskFailed) + "\r\n" + e.description() + "\r\n" +
                 std::string(step::AccessingChosenFolder));
            cleanUpOutlook(state);
            return emptyText();
        });
}

}  // namespace lumora::control
