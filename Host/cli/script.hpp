#pragma once
// A `lumora run` script: {"now": "…"?, "steps": [ … ]}, read and checked as a whole before any
// step runs, so a mistake in step 7 never leaves steps 0 to 6 half done.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Automation/registry.hpp"
#include "Automation/variant.hpp"
#include "Platform/Desktop/headless_desktop.hpp"

namespace lumora::host::cli {

enum class StepKind { Create, Call, Get, Put, Set };

struct ScriptStep {
    StepKind kind = StepKind::Call;
    std::string target;                      // create: the ProgID; call, get, put: the object's name
    std::string member;
    nlohmann::json args = nlohmann::json::array();  // values; {"$object": NAME} names an object
    nlohmann::json named = nlohmann::json::object();
    nlohmann::json value;                    // put: the value assigned
    std::vector<int16_t> answers;            // message-box answers, in order
    std::vector<desktop::ScriptedClick> clicks;
    std::string as;                          // names the result; empty: not named
    RegistryFaults faults;                   // set
};

struct Script {
    std::optional<Date> now;
    std::vector<ScriptStep> steps;
};

// A script that cannot run; the message names the step: "step 3: 'member' must be a string".
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

Script parseScript(const nlohmann::json& document);

}  // namespace lumora::host::cli
