#pragma once
// The desktop control raises no numbered errors of its own: work this build does not offer stops
// with the runtime's "action not supported" error, its source naming the routine.

#include <cstdint>
#include <string_view>

#include "Automation/deliverables.hpp"
#include "Automation/error.hpp"

namespace lumora::control {

// The number the server-name message quotes: the automation object-error base itself,
// whatever went wrong.
inline constexpr int32_t kServerNameMessageNumber = kObjectErrorBase;

inline Error notAvailable(std::string_view routine) {
    return Error(RuntimeError::ActionNotSupported, deliverables::routineSource(routine));
}

}  // namespace lumora::control
