// register and unregister: an in-process server library's self-registration, as regsvr32 does it.

#include <cstdio>
#include <iostream>

#include "Host/server_library.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

int runRegistrationCommand(const std::string& command, Registration what, const CliOptions& options,
                           const std::vector<std::string>& rawArgs) {
    auto args = positionalArgs(command, rawArgs);
    if (args.size() != 1) throw UsageError(command + " needs one library: lumora " + command + " LIBRARY");
    // The deliverables are not registered on the side here: unregistering one must stick.
    prepareHost(options, false);
    int32_t hresult = runRegistration(args[0], what);
    const char* entry = what == Registration::Register ? "DllRegisterServer" : "DllUnregisterServer";
    if (hresult != 0) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<uint32_t>(hresult));
        std::cerr << "lumora: " << command << ": " << entry << " in " << args[0] << " failed with " << code << '\n';
        return kExitFailed;
    }
    std::cout << entry << " in " << args[0] << " succeeded.\n";
    return kExitOk;
}

const CommandRegistration kRegister{
    {"register", "register LIBRARY", "registers an in-process server library for this user",
     [](const CliOptions& options, const std::vector<std::string>& args) {
         return runRegistrationCommand("register", Registration::Register, options, args);
     }}};
const CommandRegistration kUnregister{
    {"unregister", "unregister LIBRARY", "removes an in-process server library's registration",
     [](const CliOptions& options, const std::vector<std::string>& args) {
         return runRegistrationCommand("unregister", Registration::Unregister, options, args);
     }}};

}  // namespace

}  // namespace lumora::host::cli
