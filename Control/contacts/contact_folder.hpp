#pragma once
// The contact folder that SetContactFolder chooses, as the members writing into it see it.

#include <string_view>

#include "Control/frame/control.hpp"

namespace lumora::control {

inline constexpr int32_t kContactItemClass = 40;

// True, after telling the person the member's own message, when SetContactFolder has not
// chosen a contact folder on this control (or CleanUpOutlook has released it since).
bool contactFolderMissing(const ControlState& state, std::string_view message);

// Appends a line to a multi-line field: its current value, CR LF, then the line.
void appendLine(const Object& item, std::string_view member, const std::string& line);

}  // namespace lumora::control
