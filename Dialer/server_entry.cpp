// The deliverable LumoraGenTAPI30 as an in-process server: registration into the per-user
// registry and the class object of Dialer.

#include "Automation/deliverables.hpp"
#include "dialer.hpp"

namespace {

using lumora::deliverables::kDialer;

const lumora::ServerClass kClasses[] = {
    {kDialer.progId, kDialer.classId, &lumora::deliverables::factoryOf<lumora::dialer::Dialer>,
     lumora::ClassKind::Dialer},
};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
