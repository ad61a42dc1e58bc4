// The marks that tie Outlook items to CRM records: stamping an imported item, finding the item
// of a CRM id, unsynchronising or deleting a contact, and listing contacts not yet in the CRM.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/private_operations.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

namespace {

// Failures are answered with a fixed text after Outlook is released; no message is shown.
Variant syncWorkNotAvailable(ControlState& state, std::string_view routine, std::string_view failureText) {
    auto onFailure = [&](const Error&) {
        cleanUpOutlook(state);
        return Variant(failureText);
    };
    return outlookWorkNotAvailable(state, OutlookWay::Create, routine, onFailure, onFailure);
}

}  // namespace

Variant SetImportID(LumoraCtrl2005& control, Params&) {
    return syncWorkNotAvailable(control.state(), "SetImportID", msg::SetImportIdFailed);
}

Variant CheckIfSynchronised(LumoraCtrl2005& control, Params&) {
    return syncWorkNotAvailable(control.state(), "CheckIfSynchronised", msg::SynchronisationUnknown);
}

Variant RemoveContact(LumoraCtrl2005& control, Params&) {
    return syncWorkNotAvailable(control.state(), "RemoveContact", msg::RemoveContactFailed);
}

Variant GetUnsyncedContacts(LumoraCtrl2005& control, Params&) {
    return outlookScanNotAvailable(control.state(), "GetUnsyncedContacts", emptyText());
}

}  // namespace lumora::control
