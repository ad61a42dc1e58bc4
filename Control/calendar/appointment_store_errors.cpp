#include "appointment_store_errors.hpp"

#include <cstdint>
#include <string_view>

#include "Control/frame/control_messages.hpp"

namespace lumora::control {

namespace {

struct StoreErrorMessage {
    uint32_t number;
    std::string_view message;
};

// Tested in this order; the first match wins.
constexpr StoreErrorMessage kStoreErrorMessages[] = {
    {0x80040124, msg::StoreAccountDisabled},
    {0x8004010B, msg::StoreBusy},
    {0x80004005, msg::StoreSendingLimit},
    {0x80040116, msg::StoreDiskError},
    {0x8004011D, msg::StoreInsufficientPermissions},
    {0x80040123, msg::StoreAccessPermissions},
    {0x80040111, msg::StoreWorkstationAccountInvalid},
    {0x80040115, msg::StoreNetworkFailure},
    {0x80040102, msg::StoreSubsystemOutOfDate},
    {0x8004010D, msg::StoreDiskFull},
    {0x8007000E, msg::StoreNotEnoughMemory},
    {0x8004010E, msg::StoreNotEnoughResources},
    {kStoreNotFound, msg::StoreAppointmentNotFound},
    {0x80040502, msg::StoreTransportCannotHandle},
    {0x80040120, msg::StorePasswordMustChange},
    {0x80040121, msg::StorePasswordExpired},
    {0x80040114, msg::StoreAsyncInProgress},
    {0x8004011C, msg::StoreLogonNotConfigured},
    {0x80040106, msg::StoreCdoMissing},
    {0x80040110, msg::StoreOleIncompatible},
    {0x80040107, msg::StoreInvalidEntryId},
};

}  // namespace

std::string appointmentStoreErrorMessage(const Error& error) {
    const auto number = static_cast<uint32_t>(error.number());
    for (const StoreErrorMessage& row : kStoreErrorMessages)
        if (row.number == number) return std::string(row.message);
    std::string text(msg::UnknownStoreErrorStart);
    text += std::to_string(error.number());
    text += msg::UnknownStoreErrorEnd;
    text += error.description();
    return text;
}

}  // namespace lumora::control
