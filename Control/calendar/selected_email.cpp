// The e-mails selected in Outlook, as identities or as text records, for the CRM's add button.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/private_operations.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

namespace {

// Both members attach to the running Outlook with errors ignored. Outlook not running gives the
// not-installed message; an unexpected attach error is shown and then passed over.
Variant selectionWorkNotAvailable(ControlState& state, std::string_view routine) {
    ResumeNext ignoring;
    ignoring([&] { reachOutlook(state.outlook, OutlookWay::Attach); });
    if (ignoring.number() == static_cast<int32_t>(RuntimeError::CantCreateObject)) {
        ignoring([&] { reachOutlook(state.outlook, OutlookWay::Create); });
        cleanUpOutlook(state);
        tell(msg::CannotAddEmailNoOutlook, Icon::Information, Title::own(msg::CannotAddEmailTitle));
        return Variant(msg::NoOutlookSelection);
    }
    if (ignoring.failed()) tell(ignoring.pending()->description());
    ignoring([&] { openMapiNamespace(state.outlook); });
    // Reading the selection is the first step under a trap of its own.
    return trapped([&]() -> Variant { workNotAvailable(routine); },
                   [&](const Error&) {
                       cleanUpOutlook(state);
                       tell(msg::SelectionUnreadable, Icon::Information, Title::own(msg::SelectionUnreadableTitle));
                       return Variant(msg::NoOutlookSelection);
                   });
}

}  // namespace

Variant GetOutlookSelection(LumoraCtrl2005& control, Params&) {
    return selectionWorkNotAvailable(control.state(), "GetOutlookSelection");
}

Variant GetOutlookSelectionString(LumoraCtrl2005& control, Params&) {
    return selectionWorkNotAvailable(control.state(), "GetOutlookSelectionString");
}

}  // namespace lumora::control
