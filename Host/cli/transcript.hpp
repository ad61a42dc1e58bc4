#pragma once
// One entry of a `lumora run` or `lumora call` transcript: what a step returned and everything
// a person would have seen while it ran. The field names are a stable format that scripts and
// tests read:
//   {"step", "result", "byref", "error", "messageBoxes", "windows", "shown", "opened", "keys"}

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>

#include "Automation/error.hpp"
#include "Platform/Desktop/headless_desktop.hpp"

namespace lumora::host::cli {

struct StepOutcome {
    nlohmann::json result;                          // encoded; Empty when the step raised
    nlohmann::json byref = nlohmann::json::array(); // encoded final values of the arguments
    std::optional<Error> error;
};

// `calls` are the reports of phone calls that came while the step ran.
nlohmann::json transcriptEntry(size_t step, const StepOutcome& outcome, const desktop::Transcript& seen,
                               const std::vector<desktop::CallState>& calls = {});

// {"number", "description", "source"}; the number as script's Err.Number shows it (signed).
nlohmann::json errorJson(const Error& error);

}  // namespace lumora::host::cli
