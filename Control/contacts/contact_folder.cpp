// The Outlook contact folder that CRM contacts are written into, and writing one contact from
// arguments or from the page's form.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/private_operations.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

namespace {

// The contact folder is only there after SetContactFolder has succeeded on this control.
bool contactFolderMissing(const ControlState& state, std::string_view message) {
    if (!state.TargetFolder.isNothing()) return false;
    tell(message);
    return true;
}

}  // namespace

Variant SetContactFolder(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    state.MatchedSubfolder = 0;
    state.ContactFolderName = params.str(0);
    state.ContactIndexBuilt = false;
    return outlookWorkNotAvailable(state, OutlookWay::Create, "SetContactFolder",
                                   [](const Error&) {
                                       tell(msg::OutlookNotInstalled);
                                       return emptyResult();
                                   },
                                   [](const Error&) {
                                       tell(msg::ContactsFolderNotFound);
                                       return emptyResult();
                                   });
}

Variant AddContact(LumoraCtrl2005& control, Params&) {
    // No error trap: without a contact folder the message is shown and the next step fails back
    // to the calling script, as does any other error.
    ControlState& state = control.state();
    contactFolderMissing(state, msg::AddContactWithoutFolder);
    state.TargetFolder.get("Items");
    workNotAvailable("AddContact");
}

Variant AddContactAll(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return trapped(
        [&]() -> Variant {
            contactFolderMissing(state, msg::AddContactAllWithoutFolder);
            state.TargetFolder.get("Items");
            workNotAvailable("AddContactAll");
        },
        [](const Error&) { return falseResult(); });
}

Variant CheckForFolder(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    auto onFailure = [&](const Error&) {
        cleanUpOutlook(state);
        return falseResult();
    };
    return outlookWorkNotAvailable(state, OutlookWay::Create, "CheckForFolder", onFailure, onFailure);
}

Variant AddUpdateContactXML(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return trapped(
        [&]() -> Variant {
            if (contactFolderMissing(state, msg::AddUpdateContactXmlWithoutFolder)) return falseResult();
            workNotAvailable("AddUpdateContactXML");
        },
        [](const Error& e) {
            tell(std::string(msg::ExportingContactFailed) + e.description());
            return falseResult();
        });
}

}  // namespace lumora::control
