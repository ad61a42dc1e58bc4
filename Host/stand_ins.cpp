#include "stand_ins.hpp"

#include "Automation/registry.hpp"
// registerEachStandIn: one call per library declared with lumora_stand_in in its CMakeLists.txt.
#include "stand_in_list.inc"

namespace lumora::host {

void registerStandIns() { registerEachStandIn(Registry::instance()); }

}  // namespace lumora::host
