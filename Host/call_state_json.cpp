#include "call_state_json.hpp"

#include "window_json.hpp"

namespace lumora::host {

nlohmann::json callStateJson(const desktop::CallState& state) {
    nlohmann::json out{{"call", state.call},
                       {"line", wellFormedText(state.line)},
                       {"number", wellFormedText(state.number)},
                       {"state", state.state}};
    if (!state.reason.empty()) out["reason"] = wellFormedText(state.reason);
    if (state.seconds) out["seconds"] = *state.seconds;
    if (!state.notice.empty()) out["notice"] = wellFormedText(state.notice);
    return out;
}

}  // namespace lumora::host
