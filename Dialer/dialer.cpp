#include "dialer.hpp"

#include "Automation/class_ids.hpp"
#include "Automation/deliverables.hpp"
#include "Automation/parameter_string.hpp"
#include "Automation/registry.hpp"
#include "Automation/shared_texts.hpp"
#include "Automation/traps.hpp"
#include "Automation/typed_members.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Dialer/dialer_messages.hpp"

namespace lumora::dialer {

namespace {

// TAPI's constants for a voice call to a telephone number.
constexpr int32_t kAddressTypePhoneNumber = 1;
constexpr int32_t kMediaTypeAudio = 8;
constexpr int32_t kDisconnectNormal = 0;

// Every box of the dialer has the OK button only and no icon.
void tell(std::string_view text, std::string_view title) {
    desktop::current().messageBox({std::string(text), std::string(title), desktop::mb::OkOnly});
}

bool nameContains(const std::string& addressName, const std::string& device) {
    return vb::inStr(1, vb::lCase(addressName), vb::lCase(device)) > 0;
}

std::string deviceNotFoundMessage(const std::string& device, const std::string& deviceList) {
    std::string text(msg::DeviceNotFoundStart);
    text += device;
    text += msg::DeviceNotFoundMiddle;
    text += text::LineBreak;
    text += text::LineBreak;
    text += deviceList;
    text += text::LineBreak;
    text += msg::DeviceNotFoundEnd;
    return text;
}

Variant MakeCall(Dialer& self, Params& params) {
    StepText currentStep;
    const auto failure = tryLocal([&] {
        currentStep = step::CreatingTapiObject;
        self.telephony() = Registry::instance().createObject(progid::Telephony);
        currentStep = step::InitializingTapiObject;
        self.telephony().call("Initialize");
        currentStep = step::GettingAddressList;
        Object addresses = self.telephony().get("Addresses").toObject();

        // The parameters are read only once the telephony object is up.
        currentStep = step::GettingParameters;
        const std::vector<std::string> parts = splitParameters(params[0].toString());
        const std::string number = GetParameter(parts, "number");
        const std::string device = GetParameter(parts, "tapidevice");

        currentStep = step::CheckingParameters;
        if (device.empty()) {
            tell(msg::DeviceParameterEmpty, msg::DeviceParameterEmptyTitle);
            return;
        }

        // Every address is listed for the message; the first whose name contains
        // the device, in the collection's order, is the one dialled on.
        currentStep = step::FindingAddress;
        int32_t found = 0;
        std::string deviceList;
        const int32_t count = addresses.get("Count").toI4();
        for (int32_t i = 1; i <= count; ++i) {
            Object address = addresses.get("Item", i).toObject();
            if (found == 0 && nameContains(address.get("AddressName").toString(), device)) found = i;
            deviceList += msg::DeviceListEntryStart;
            deviceList += address.get("AddressName").toString();
            deviceList += text::LineBreak;
        }
        if (found == 0) {
            tell(deviceNotFoundMessage(device, deviceList), msg::DeviceNotFoundTitle);
            return;
        }

        currentStep = step::SettingAddress;
        Object address = addresses.get("Item", found).toObject();
        currentStep = step::CreatingCall;
        self.currentCall() = address.call("CreateCall", number, kAddressTypePhoneNumber, kMediaTypeAudio).toObject();
        currentStep = step::ConnectingCall;
        // A synchronous connect: MakeCall returns when the connect request has finished.
        self.currentCall().call("Connect", true);
    });
    if (failure) tell(stepFailureText(currentStep, *failure), text::ErrorTitle);
    // Success is always reported to the caller; problems were told in the boxes.
    return Variant();
}

// Ends the current call with the normal disconnect code. Without a current call, or when the
// line cannot end it, nothing happens: a hang-up request never troubles the user.
Variant HangupCall(Dialer& self, Params&) {
    ResumeNext ignoring;
    ignoring([&] {
        if (self.currentCall()) self.currentCall().call("Disconnect", kDisconnectNormal);
    });
    return Variant();
}

Variant GetVersion(Dialer&, Params&) {
    return trapped([] { return Variant(deliverables::versionText(deliverables::kDialer.version)); },
                   [](const Error& e) { return Variant(std::string(msg::VersionFailurePrefix) + e.description()); });
}

TypeInfo buildTypeInfo() {
    TypeInfo info("Dialer");
    info.add(typedMember<Dialer>("MakeCall", 0x60030000, MemberKind::Method, {param("sParameters")}, &MakeCall));
    info.add(typedMember<Dialer>("GetVersion", 0x60030001, MemberKind::Method, {}, &GetVersion));
    info.add(typedMember<Dialer>("HangupCall", 0x60030002, MemberKind::Method, {}, &HangupCall));
    return info;
}

}  // namespace

const TypeInfo& Dialer::typeInfo() const {
    static const TypeInfo info = buildTypeInfo();
    return info;
}

}  // namespace lumora::dialer
