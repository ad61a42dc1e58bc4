// The scan for recent appointments and tasks not yet in the CRM, and marking an item as
// synchronised once the CRM has stored it.

#include "Control/frame/members.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

Variant GetUnsyncedAppts(LumoraCtrl2005& control, Params&) {
    return outlookScanNotAvailable(control.state(), "GetUnsyncedAppts", emptyText());
}

Variant GetUnsyncedTasks(LumoraCtrl2005& control, Params&) {
    return outlookScanNotAvailable(control.state(), "GetUnsyncedTasks", emptyText());
}

Variant SetItemAsLumora(LumoraCtrl2005& control, Params&) {
    return outlookScanNotAvailable(control.state(), "SetItemAsLumora", falseResult());
}

}  // namespace lumora::control
