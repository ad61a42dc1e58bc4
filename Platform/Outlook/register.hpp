#pragma once
// Registers "Outlook.Application" with the class registry: one running instance per apartment,
// subject to the registry's injected faults (absent, not running, first creation failing), and
// "Lumora.PimAdmin", which acts as the person at the PIM.

#include "Automation/registry.hpp"

namespace lumora::pim {

void registerPimClasses(Registry& registry);

}  // namespace lumora::pim
