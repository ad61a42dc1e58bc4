// Importing Outlook contacts into the CRM: the contact folders, the contacts of one folder in
// alphabetical order, and one contact's details.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

Variant GetContactFolderList(LumoraCtrl2005& control, Params&) {
    return outlookListNotAvailable(control.state(), "GetContactFolderList", msg::ContactsFolderNotFoundQuoted);
}

Variant GetFolderContactItems(LumoraCtrl2005& control, Params&) {
    return outlookListNotAvailable(control.state(), "GetFolderContactItems", msg::GetFolderContactItemsFailed);
}

Variant ImportContact(LumoraCtrl2005& control, Params&) {
    return outlookImportNotAvailable(control.state(), "ImportContact", msg::ImportContactFailed,
                                     step::GettingRequiredFolder);
}

}  // namespace lumora::control
