#pragma once
// Every text the dialer shows, and the step texts its failure message quotes.

#include <string_view>

namespace lumora::dialer {

namespace msg {
using T = std::string_view;
inline constexpr T StepFailurePrefix = "An error occured whilst ";
inline constexpr T StepFailureSeparator = ": ";
inline constexpr T ErrorTitle = "Error";
inline constexpr T DeviceParameterEmpty = "The parameter 'tapidevice' was empty!";
inline constexpr T DeviceParameterEmptyTitle = "Parameter empty";
inline constexpr T DeviceNotFoundStart = "Device '";
inline constexpr T DeviceNotFoundMiddle = "' not found/part-matched in device list:";
inline constexpr T DeviceNotFoundEnd = "Please check this TAPI or TSP device is installed.";
inline constexpr T DeviceNotFoundTitle = "Device not found";
inline constexpr T DeviceListEntryStart = " - ";
inline constexpr T LineBreak = "\r\n";
inline constexpr T VersionFailurePrefix = "Error: ";
}  // namespace msg

namespace step {
using T = std::string_view;
inline constexpr T CreatingTapiObject = "creating TAPI object";
inline constexpr T InitializingTapiObject = "initializing TAPI object";
inline constexpr T GettingAddressList = "getting tapi address list";
inline constexpr T GettingParameters = "getting parameters";
inline constexpr T CheckingParameters = "checking parameters";
inline constexpr T FindingAddress = "finding address in TAPI list";
inline constexpr T SettingAddress = "setting TAPI address from list";
inline constexpr T CreatingCall = "creating call";
inline constexpr T ConnectingCall = "connecting call";
}  // namespace step

}  // namespace lumora::dialer
