#include "transcript.hpp"

#include "Host/call_state_json.hpp"
#include "Host/window_json.hpp"

namespace lumora::host::cli {

namespace {

using nlohmann::json;

json windowSpecJson(const desktop::WindowSpec& windowSpec) {
    return {{"name", wellFormedText(windowSpec.name)},
            {"caption", wellFormedText(windowSpec.caption)},
            {"labels", labelsJson(windowSpec.labels)},
            {"buttons", buttonsJson(windowSpec.buttons)},
            {"timerIntervalMs", windowSpec.timerIntervalMs},
            {"heightTwips", windowSpec.heightTwips}};
}

json updateJson(const desktop::WindowUpdate& update) {
    json out = json::object();
    if (update.caption) out["caption"] = wellFormedText(*update.caption);
    if (!update.labels.empty()) out["labels"] = labelsJson(update.labels);
    if (!update.buttons.empty()) out["buttons"] = buttonsJson(update.buttons);
    if (update.timerIntervalMs) out["timerIntervalMs"] = *update.timerIntervalMs;
    if (update.heightTwips) out["heightTwips"] = *update.heightTwips;
    return out;
}

const char* eventKindName(desktop::WindowEventKind kind) {
    switch (kind) {
        case desktop::WindowEventKind::Click: return "click";
        case desktop::WindowEventKind::Timer: return "timer";
        case desktop::WindowEventKind::Closed: return "closed";
    }
    return "";
}

json windowJson(const desktop::WindowRecord& window) {
    json events = json::array();
    for (const auto& event : window.events) {
        json e{{"kind", eventKindName(event.kind)}};
        if (!event.control.empty()) e["control"] = wellFormedText(event.control);
        events.push_back(std::move(e));
    }
    json updates = json::array();
    for (const auto& update : window.updates) updates.push_back(updateJson(update));
    return {{"id", window.id},         {"opened", windowSpecJson(window.windowSpec)}, {"updates", std::move(updates)},
            {"events", std::move(events)}, {"final", windowSpecJson(window.state)}, {"closed", window.closed}};
}

}  // namespace

json errorJson(const Error& error) {
    return {{"number", error.number()},
            {"description", wellFormedText(error.description())},
            {"source", wellFormedText(error.source())}};
}

json transcriptEntry(size_t step, const StepOutcome& outcome, const desktop::Transcript& seen,
                     const std::vector<desktop::CallState>& calls) {
    json boxes = json::array();
    for (const auto& box : seen.messageBoxes)
        boxes.push_back({{"text", wellFormedText(box.request.text)},
                         {"title", wellFormedText(box.request.title)},
                         {"buttons", box.request.buttons},
                         {"answer", box.answer}});
    json windows = json::array();
    for (const auto& window : seen.windows) windows.push_back(windowJson(window));
    json shown = json::array();
    for (const auto& item : seen.shown)
        shown.push_back({{"kind", wellFormedText(item.kind)},
                         {"title", wellFormedText(item.title)},
                         {"file", wellFormedText(item.file.string())},
                         {"detail", wellFormedText(item.detail)}});
    json opened = json::array();
    for (const auto& file : seen.opened) opened.push_back(wellFormedText(file.string()));
    json keys = json::array();
    for (const auto& press : seen.keys) keys.push_back(press);
    json callStates = json::array();
    for (const auto& state : calls) callStates.push_back(callStateJson(state));

    return {{"step", step},
            {"result", outcome.result},
            {"byref", outcome.byref},
            {"error", outcome.error ? errorJson(*outcome.error) : json(nullptr)},
            {"messageBoxes", std::move(boxes)},
            {"windows", std::move(windows)},
            {"shown", std::move(shown)},
            {"opened", std::move(opened)},
            {"keys", std::move(keys)},
            {"calls", std::move(callStates)}};
}

}  // namespace lumora::host::cli
