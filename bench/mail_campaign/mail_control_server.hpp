#pragma once
// Registers the mail-campaign control's classes from its built library, as the system does when
// the control is installed; the benches then create it by name like a page does.

#include "Automation/server.hpp"
#include "Automation/shared_library.hpp"

namespace lumora::bench {

inline bool registerMailControl() {
    SharedLibrary library(LUMORA_MAIL_CONTROL_LIBRARY);
    auto registerServer = reinterpret_cast<DllRegisterServerFn>(library.symbol("DllRegisterServer"));
    return registerServer && registerServer() == kOk;
}

}  // namespace lumora::bench
