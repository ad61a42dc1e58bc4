// The deliverable LumoraGenTAPI30 as an in-process server: registration into the per-user
// registry and the class object of Dialer.

#include "Automation/deliverables.hpp"
#include "dialer.hpp"

namespace {

lumora::ClassFactory dialerFactory() {
    return [] { return lumora::makeObject<lumora::dialer::Dialer>(); };
}

const lumora::ServerClass kClasses[] = {
    {lumora::deliverables::kDialer.progId, lumora::deliverables::kDialer.classId, &dialerFactory},
};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
