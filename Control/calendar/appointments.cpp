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
        Variant result(OutlookErrorResult(StepText(step::CreatingAppointment), 7, e));
        cleanUpOutlook(state);
        return result;
    };
    return outlookWorkNotAvailable(state, OutlookWay::CreateWithFallback, "NewAppointment", onFailure, onFailure);
}

Variant AddAppointment(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    StepText currentStep;
    return trapped(
        [&]() -> Variant {
            currentStep = step::GettingOutlookApplication;
            reachOutlook(state, OutlookWay::Attach);
            currentStep = step::GettingMapiNamespace;
            openMapiNamespace(state);
            workNotAvailable("AddAppointment");
        },
        [&](const Error& e) {
            Variant result(stepFailureText(currentStep, e));
            cleanUpOutlook(state);
            return result;
        });
}

Variant OpenAppointment(LumoraCtrl2005& control, Params&) {
    return outlookOpenNotAvailable(control.state(), "OpenAppointment", step::OpeningAppointment, 9);
}

}  // namespace lumora::control
