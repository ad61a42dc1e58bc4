// The deliverable LumoraMailControl (type library LumoraMailContl) as an in-process server:
// registration into the per-user registry and the class object of LumoraMailCtrl.

#include "Automation/deliverables.hpp"
#include "mail_control.hpp"

namespace {

using lumora::deliverables::kMailControl;

const lumora::ServerClass kClasses[] = {
    {kMailControl.progId, kMailControl.classId, &lumora::deliverables::factoryOf<lumora::mail::LumoraMailCtrl>},
};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
