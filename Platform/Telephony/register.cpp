#include "register.hpp"

#include "Automation/class_ids.hpp"
#include "telephony_objects.hpp"

namespace lumora::telephony {

void registerTelephonyClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{std::string(progid::Telephony), std::string(clsid::Telephony), {},
                                       [] { return makeObject<Tapi>(); }, false});
}

}  // namespace lumora::telephony
