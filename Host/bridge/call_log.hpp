#pragma once
// The call log of `lumora serve --verbose`: one line per request a page made, with the member, a
// short form of its arguments, the result or the error, and the time it took. Values are cut to
// 80 characters, so a page sending a whole document does not flood the terminal.

#include <chrono>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "page_message.hpp"

namespace lumora::bridge {

inline constexpr size_t kLoggedValueLength = 80;

// A value in the one JSON encoding, cut to kLoggedValueLength characters ("…" ends a cut one).
std::string loggedValue(const nlohmann::json& value);

// "page 2: GetTemplateList("/tmp/t/", "business") -> "Welcome.dotx\\" (1.2 ms)". outcome is the
// answer's result object, or its error object when failed is true.
std::string callLogLine(uint64_t page, const PageRequest& request, bool failed, const nlohmann::json& outcome,
                        std::chrono::microseconds took);

}  // namespace lumora::bridge
