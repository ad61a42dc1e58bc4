#pragma once
// Registers "Scripting.FileSystemObject" (and its class id) with the class registry.

#include "Automation/registry.hpp"

namespace lumora::files {

void registerFileClasses(Registry& registry);

}  // namespace lumora::files
