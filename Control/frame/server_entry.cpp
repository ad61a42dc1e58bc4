// The deliverable LumoraControl2005 as an in-process server: registration into the per-user
// registry and the class object of LumoraCtrl2005.

#include "Automation/deliverables.hpp"
#include "control.hpp"

namespace {

using lumora::deliverables::kDesktopControl;

const lumora::ServerClass kClasses[] = {
    {kDesktopControl.progId, kDesktopControl.classId, &lumora::deliverables::factoryOf<lumora::control::LumoraCtrl2005>},
};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
