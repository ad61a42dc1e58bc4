// The deliverable LumoraControl2005 as an in-process server: registration into the per-user
// registry and the class object of LumoraCtrl2005.

#include "Automation/deliverables.hpp"
#include "control.hpp"

namespace {

lumora::ClassFactory controlFactory() {
    return [] { return lumora::makeObject<lumora::control::LumoraCtrl2005>(); };
}

const lumora::ServerClass kClasses[] = {
    {lumora::deliverables::kDesktopControl.progId, lumora::deliverables::kDesktopControl.classId, &controlFactory},
};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
