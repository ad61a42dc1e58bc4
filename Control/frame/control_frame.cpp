// The control frame's own members: the server-name property and the Outlook
// clean-up, with the Outlook failure result the "open" members share.

#include <limits>

#include "Automation/vb/strings.hpp"
#include "control_errors.hpp"
#include "Control/frame/control_messages.hpp"
#include "failure_forms.hpp"
#include "members.hpp"
#include "private_operations.hpp"

namespace lumora::control {

namespace {

// The address has the form "http://" + host + "/" + path; the host (with its
// port, if any) is what lies between the scheme and the first "/" after it. The
// arithmetic is that of a 16-bit length, so an address too short, too long or
// without a "/" after the host fails.
std::string hostOfServerAddress(const std::string& address) {
    constexpr int32_t kSchemeLength = 7;  // "http://"
    const int32_t remaining = vb::len(address) - kSchemeLength;
    if (remaining > std::numeric_limits<int16_t>::max()) raise(RuntimeError::Overflow);
    const std::string rest = vb::right(address, remaining);
    return vb::left(rest, vb::inStr(rest, "/") - 1);
}

std::string serverNameMessage() {
    return std::string(msg::ServerNameFailureStart) + std::to_string(kServerNameMessageNumber) +
           std::string(msg::ServerNameFailureEnd);
}

}  // namespace

Variant ServerName(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    // The host is only replaced once it has been read whole.
    if (tryLocal([&] { state.server.ServerHost = hostOfServerAddress(params.str(0)); })) tell(serverNameMessage());
    return emptyResult();
}

void cleanUpOutlook(ControlState& state) {
    // The order matters to Outlook: properties and items go before their folders,
    // the namespace before the application. Releasing a reference cannot fail
    // here, so the "errors ignored" of this routine has nothing left to ignore.
    state.outlook.ItemUserProperty.release();
    state.outlook.CurrentItem.release();
    state.outlook.CurrentAppointment.release();
    state.outlook.MailItem.release();
    state.outlook.ContactItem.release();
    state.outlook.DefaultFolder.release();
    state.contactFolder.TargetFolder.release();
    state.outlook.SubFolder.release();
    state.outlook.MapiNamespace.release();
    state.outlook.OutlookApp.release();
}

Variant CleanUpOutlook(LumoraCtrl2005& control, Params&) {
    cleanUpOutlook(control.state());
    return emptyResult();
}

std::string OutlookErrorResult(const StepText&, int16_t code, const Error& pending) {
    if (pending.number() == static_cast<int32_t>(RuntimeError::CantCreateObject)) return std::string(msg::NoOutlook);
    return std::to_string(code);
}

Variant outlookOpenFailure(ControlState& state, std::string_view step, int16_t code, const Error& pending) {
    Variant result(OutlookErrorResult(StepText(step), code, pending));
    cleanUpOutlook(state);
    return result;
}

}  // namespace lumora::control
