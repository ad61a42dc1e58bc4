#pragma once
// The desktop control's own errors: every number, source and description it raises itself lives
// in this table. Code names the entry; it never retypes the text.

#include <cstdint>
#include <string_view>

#include "Automation/error.hpp"

namespace lumora::control {

enum class ControlError {
    // A member reached its outside application, but the work it asks for is not available in
    // this build of the control. Script sees the standard "action not supported" error.
    NotAvailable,
};

struct OwnErrorEntry {
    ControlError id;
    int32_t number;
    const char* description;
};

inline constexpr OwnErrorEntry kOwnErrors[] = {
    {ControlError::NotAvailable, 445, "Object doesn't support this action"},
};

// Every error the control raises itself names its routine: "ROZUzuvOrivAriz." + routine.
inline constexpr std::string_view kErrorSourcePrefix = "ROZUzuvOrivAriz.";

// The number the server-name message quotes: the automation object-error base itself,
// whatever went wrong.
inline constexpr int32_t kServerNameMessageNumber = kObjectErrorBase;

Error ownError(ControlError id, std::string_view routine);
[[noreturn]] void raiseOwn(ControlError id, std::string_view routine);

}  // namespace lumora::control
