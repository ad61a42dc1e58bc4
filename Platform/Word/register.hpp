#pragma once
// Registers "Word.Application" with the class registry.

#include "Automation/registry.hpp"

namespace lumora::word {

void registerWordClasses(Registry& registry);

}  // namespace lumora::word
