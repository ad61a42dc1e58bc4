#pragma once
// Registers "AcroExch.App", "AcroExch.AVDoc" and "AcroExch.PDDoc" with the class registry.

#include "Automation/registry.hpp"

namespace lumora::pdf {

void registerPdfClasses(Registry& registry);

}  // namespace lumora::pdf
