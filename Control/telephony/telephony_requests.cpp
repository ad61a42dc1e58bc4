// Telephony requests: placing and ending calls through a dialer object that the
// page names by ProgID, asking a dialer for its version, and listing the workstation's telephony addresses.

#include "Automation/parameter_string.hpp"
#include "Automation/shared_texts.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"

namespace lumora::control {

Variant MakeCall(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    StepText currentStep;
    const auto failure = tryLocal([&] {
        currentStep = step::SplittingParameters;
        const std::vector<std::string> pieces = splitParameters(params[0].toString());
        if (pieces.size() < 2) {
            tell(msg::InsufficientParameters);
            return;
        }
        currentStep = step::GettingParameters;
        const std::string dialerProgId = GetParameter(pieces, "object");
        if (dialerProgId.empty()) {
            tell(msg::ObjectParameterMissing);
            return;
        }
        currentStep = step::CreatingDialerObject;
        // A dialer that cannot be created leaves the stored one in place.
        state.dialer.Dialer = createDialer(dialerProgId);
        currentStep = step::MakingCall;
        // The dialer receives the whole string as the page passed it, "object" piece included.
        state.dialer.Dialer.call("MakeCall", params[0]);
    });
    if (failure) tell(stepFailureText(currentStep, *failure), Icon::None, Title::own(text::ErrorTitle));
    return emptyResult();
}

Variant HangupCall(LumoraCtrl2005& control, Params&) {
    // Any failure is passed over: no dialer yet, a dialer without the member, a failing member.
    ResumeNext ignoring;
    ignoring([&] { control.state().dialer.Dialer.call("HangupCall"); });
    return emptyResult();
}

Variant GetDialerVersion(LumoraCtrl2005&, Params& params) {
    return trapped(
        [&] {
            // A fresh instance, never the stored dialer.
            Object dialer = createDialer(params[0].toString());
            Variant version(dialer.call("GetVersion").toString());
            dialer.release();
            return version;
        },
        [](const Error& e) { return Variant(e.description()); });
}

Variant GetTapiDrivers(LumoraCtrl2005&, Params&) {
    return trapped(
        [] {
            Object tapi = createApplication(progid::Telephony);
            tapi.call("Initialize");
            Object addresses = tapi.get("Addresses").toObject();
            const int32_t count = addresses.get("count").toI4();
            std::string names;
            for (int32_t i = 1; i <= count; ++i) {
                Object address = addresses.get("item", i).toObject();
                if (!names.empty()) names += msg::TapiAddressSeparator;
                names += address.get("AddressName").toString();
            }
            // The telephony object is released, not shut down.
            return Variant(names);
        },
        [](const Error&) { return emptyText(); });
}

}  // namespace lumora::control
