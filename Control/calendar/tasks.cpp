// Outlook tasks: showing one, and the folder list, task list and task details of the import.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

Variant OpenTask(LumoraCtrl2005& control, Params&) {
    return outlookOpenNotAvailable(control.state(), "OpenTask", step::OpeningTask, 8);
}

Variant GetTaskFolderList(LumoraCtrl2005& control, Params&) {
    return outlookListNotAvailable(control.state(), "GetTaskFolderList", msg::TasksFolderNotFound);
}

Variant GetFolderTaskItems(LumoraCtrl2005& control, Params&) {
    return outlookListNotAvailable(control.state(), "GetFolderTaskItems", msg::GetFolderTaskItemsFailed);
}

Variant ImportTask(LumoraCtrl2005& control, Params&) {
    return outlookImportNotAvailable(control.state(), "ImportTask", msg::ImportTaskFailed, step::AccessingChosenFolder);
}

}  // namespace lumora::control
