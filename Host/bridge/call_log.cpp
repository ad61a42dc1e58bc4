#include "call_log.hpp"

#include <cstdio>

#include "Automation/vb/utf8.hpp"

namespace lumora::bridge {

using nlohmann::json;

namespace {

std::string argumentList(const json& args) {
    std::string text;
    for (const json& arg : args) text += (text.empty() ? "" : ", ") + loggedValue(arg);
    return text;
}

std::string whatWasAsked(const PageRequest& request) {
    switch (request.operation) {
    case Operation::Create:
        return "create " + loggedValue(request.progId);
    case Operation::Call:
        return request.member + "(" + argumentList(request.args) + ")";
    case Operation::Get:
        return "get " + request.member + (request.args.empty() ? "" : "(" + argumentList(request.args) + ")");
    case Operation::Put:
        return "put " + request.member + (request.args.empty() ? "" : "(" + argumentList(request.args) + ")") +
               " = " + loggedValue(request.value);
    case Operation::Release:
        return "release object " + std::to_string(request.object);
    case Operation::ItemSave:
        return "save item window " + std::to_string(request.object);
    case Operation::ItemClose:
        return "close item window " + std::to_string(request.object);
    }
    return {};
}

std::string whatCameBack(const PageRequest& request, bool failed, const json& outcome) {
    if (failed) {
        const json& data = outcome.value("data", json::object());
        if (data.contains("number"))
            return "error " + data["number"].dump() + ": " + loggedValue(data.value("description", ""));
        return "error " + outcome.value("code", json(0)).dump() + ": " + loggedValue(outcome.value("message", ""));
    }
    if (request.operation == Operation::Create) return "object " + outcome.value("object", json()).dump();
    if (outcome.contains("result")) return loggedValue(outcome["result"]);
    return "done";
}

std::string milliseconds(std::chrono::microseconds took) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", static_cast<double>(took.count()) / 1000.0);
    return text;
}

}  // namespace

std::string loggedValue(const json& value) {
    std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
    if (vb::utf8::length(text) <= kLoggedValueLength) return text;
    return text.substr(0, vb::utf8::offsetOf(text, kLoggedValueLength - 1)) + "…";
}

std::string callLogLine(uint64_t page, const PageRequest& request, bool failed, const json& outcome,
                        std::chrono::microseconds took) {
    return "page " + std::to_string(page) + ": " + whatWasAsked(request) + " -> " +
           whatCameBack(request, failed, outcome) + " (" + milliseconds(took) + ")";
}

}  // namespace lumora::bridge
