#pragma once
// Registers "Outlook.Application" with the class registry: one running instance per apartment,
// subject to the registry's injected faults (absent, not running, first creation failing).

#include "Automation/registry.hpp"

namespace lumora::pim {

void registerPimClasses(Registry& registry);

}  // namespace lumora::pim
