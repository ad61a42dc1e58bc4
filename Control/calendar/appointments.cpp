// Appointments linked to CRM accounts: a new appointment, linking the selected one, and opening
// one by entry id.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/private_operations.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

Variant NewAppointment(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    auto onFailure = [&](const Error& e) {
        Variant result(OutlookErrorResult(StepText(std::string(step::CreatingAppointment)), 7, e));
        cleanUpOutlook(state);
        return result;
    };
    return outlookWorkNotAvailable(state, OutlookWay::CreateWithFallback, "NewAppointment", onFailure, onFailure);
}

Variant AddAppointment(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    StepText step;
    return trapped(
        [&]() -> Variant {
            step = std::string(step::GettingOutlookApplication);
            reachOutlook(state, OutlookWay::Attach);
            step = std::string(step::GettingMapiNamespace);
            openMapiNamespace(state);
            workNotAvailable("AddAppointment");
        },
        [&](const Error& e) {
            Variant result(stepFailureText(step, e));
            cleanUpOutlook(state);
            return result;
        });
}

Variant OpenAppointment(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return outlookWorkNotAvailable(
        state, OutlookWay::Create, "OpenAppointment", [](const Error&) { return Variant(msg::NoOutlook); },
        [&](const Error& e) {
            Variant result(OutlookErrorResult(StepText(std::string(step::OpeningAppointment)), 9, e));
            cleanUpOutlook(state);
            return result;
        });
}

}  // namespace lumora::control
