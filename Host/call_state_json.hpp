#pragma once
// A call's report as JSON, as the page's `call.state` notification carries it and as the
// command line's transcript records it: {call, line, number, state, reason?, seconds?, notice?}.

#include <nlohmann/json.hpp>

#include "Platform/Desktop/call_states.hpp"

namespace lumora::host {

nlohmann::json callStateJson(const desktop::CallState& state);

}  // namespace lumora::host
