#pragma once
// Registers "TAPI.TAPI" (and its class id) with the class registry.

#include "Automation/registry.hpp"

namespace lumora::telephony {

void registerTelephonyClasses(Registry& registry);

}  // namespace lumora::telephony
