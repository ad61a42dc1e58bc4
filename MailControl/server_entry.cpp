// The deliverable LumoraMailControl (type library LumoraMailContl) as an in-process server:
// registration into the per-user registry and the class object of LumoraMailCtrl.

#include "Automation/deliverables.hpp"
#include "mail_control.hpp"

namespace {

lumora::ClassFactory mailControlFactory() {
    return [] { return lumora::makeObject<lumora::mail::LumoraMailCtrl>(); };
}

const lumora::ServerClass kClasses[] = {
    {lumora::deliverables::kMailControl.progId, lumora::deliverables::kMailControl.classId, &mailControlFactory},
};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
