#include "register.hpp"

#include "Automation/class_ids.hpp"
#include "pim_admin.hpp"
#include "pim_session.hpp"

namespace lumora::pim {

void registerPimClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{std::string(progid::Outlook), std::string(), {},
                                       [] { return makeObject<PimApplication>(); }, true});
    registry.registerBuiltin(
        ClassInfo{std::string(progid::PimAdmin), std::string(), {}, [] { return makeObject<PimAdmin>(); }, false});
}

}  // namespace lumora::pim
