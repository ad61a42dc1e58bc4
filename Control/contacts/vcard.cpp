// Sending a contact from the page's form as a vCard in a new e-mail.

#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

Variant CreateContactAsvCard(LumoraCtrl2005& control, Params&) {
    // Silent: any failure answers False and saves nothing.
    auto onFailure = [](const Error&) { return falseResult(); };
    return outlookWorkNotAvailable(control.state(), OutlookWay::Create, "CreateContactAsvCard", onFailure, onFailure);
}

}  // namespace lumora::control
