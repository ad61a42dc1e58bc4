#pragma once
// Members whose work this build of the control does not yet offer still behave like the rest
// of the interface: they reach their outside application first, exactly as their full body
// will, so an absent application gives the member's own failure result, and they then stop
// with the NotAvailable error, which their trap turns into the same kind of failure result.

#include <string_view>
#include <utility>

#include "Automation/traps.hpp"
#include "control.hpp"
#include "control_errors.hpp"
#include "Control/frame/control_messages.hpp"
#include "failure_forms.hpp"
#include "outside_apps.hpp"
#include "private_operations.hpp"

namespace lumora::control {

[[noreturn]] inline void workNotAvailable(std::string_view routine) { raise(notAvailable(routine)); }

// An Outlook member with two traps: `onUnreachable` handles a failure to reach Outlook or its
// namespace, `onFailure` every later failure. Members with one trap pass the same handler twice.
template <class OnUnreachable, class OnFailure>
Variant outlookWorkNotAvailable(ControlState& state, OutlookWay way, std::string_view routine,
                                OnUnreachable&& onUnreachable, OnFailure&& onFailure) {
    if (auto error = tryLocal([&] {
            reachOutlook(state.outlook, way);
            openMapiNamespace(state.outlook);
        }))
        return onUnreachable(*error);
    return trapped([&]() -> Variant { workNotAvailable(routine); }, std::forward<OnFailure>(onFailure));
}

}  // namespace lumora::control
