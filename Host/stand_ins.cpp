#include "stand_ins.hpp"

#include "Automation/registry.hpp"
#include "Host/accounts/line_passwords.hpp"
#include "Host/accounts/pim_sync_object.hpp"
// registerEachStandIn: one call per library declared with lumora_stand_in in its CMakeLists.txt.
#include "stand_in_list.inc"

namespace lumora::host {

void registerStandIns() {
    registerEachStandIn(Registry::instance());
    registerAccountClasses(Registry::instance());
    keepLinePasswordsInCredentialStore();
}

}  // namespace lumora::host
