// Importing Outlook contacts into the CRM: the contact folders, the contacts of one folder in
// alphabetical order, and one contact's details.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/private_operations.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

Variant GetContactFolderList(LumoraCtrl2005& control, Params&) {
    return outlookWorkNotAvailable(control.state(), OutlookWay::Create, "GetContactFolderList", outlookNotInstalled,
                                   [](const Error&) {
                                       tell(msg::ContactsFolderNotFoundQuoted);
                                       return emptyText();
                                   });
}

Variant GetFolderContactItems(LumoraCtrl2005& control, Params&) {
    return outlookWorkNotAvailable(control.state(), OutlookWay::Create, "GetFolderContactItems",
                                   outlookNotInstalled, [](const Error&) {
                                       tell(msg::GetFolderContactItemsFailed);
                                       return emptyText();
                                   });
}

Variant ImportContact(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return outlookWorkNotAvailable(
        state, OutlookWay::Create, "ImportContact",
        [&](const Error& e) {
            cleanUpOutlook(state);
            return outlookNotInstalled(e);
        },
        [&](const Error& e) {
            tell(std::string(msg::ImportContactFailed) + "\r\n" + e.description() + "\r\n" +
                 std::string(step::GettingRequiredFolder));
            cleanUpOutlook(state);
            return emptyText();
        });
}

}  // namespace lumora::control
