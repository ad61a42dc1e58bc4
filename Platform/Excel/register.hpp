#pragma once
// Registers "Excel.Application" with the class registry.

#include "Automation/registry.hpp"

namespace lumora::excel {

void registerExcelClasses(Registry& registry);

}  // namespace lumora::excel
