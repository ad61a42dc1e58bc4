#pragma once
// Reading one message from a page: limits first (size, nesting), then JSON, then the JSON-RPC
// 2.0 shape and the parameters of each request. Runs on the transport's thread, so it is cheap
// and never touches an object; whatever it refuses comes back with the error reply to send.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <variant>

namespace lumora::bridge {

struct MessageLimits {
    size_t maxBytes = 8u << 20;  // 8 MiB
    size_t maxDepth = 64;        // arrays and objects inside each other
};

enum class Operation { Create, Call, Get, Put, Release, ItemSave, ItemClose };

// A request the page's worker runs: create {progId}, call/get {object, member, args, named},
// put {object, member, args, value}, release {object}; an item window's item.save
// {item, fields} and item.close {item}, with the window's id in object and the fields in value.
struct PageRequest {
    nlohmann::json id;          // null for a notification (no answer wanted)
    bool wantsAnswer = true;
    Operation operation = Operation::Call;
    std::string progId;
    int64_t object = 0;
    std::string member;
    nlohmann::json args = nlohmann::json::array();
    nlohmann::json named = nlohmann::json::object();
    nlohmann::json value;       // put only
};

// The page's answer to a request the bridge sent it (a message box).
struct PageAnswer {
    nlohmann::json id;
    nlohmann::json result;      // null when the page answered with an error
};

// A notification from the page about a window: "click" {window, control} or "closed" {window}.
struct PageEvent {
    std::string method;
    int32_t window = 0;
    std::string control;
};

// A message that is not taken. reply is the error response to send, null when none is due
// (an unknown notification).
struct Refusal {
    nlohmann::json reply;
};

using PageMessage = std::variant<PageRequest, PageAnswer, PageEvent, Refusal>;

PageMessage readPageMessage(std::string_view text, const MessageLimits& limits = {});

// The refusal of a message that was over the size limit and was not kept. prefix: its first
// bytes, from which the request's id is recovered when it comes first.
Refusal refuseOversized(std::string_view prefix, size_t size, const MessageLimits& limits = {});

// True when arrays and objects nest deeper than maxDepth anywhere in the text (strings are
// skipped properly, so brackets inside them do not count).
bool nestsDeeperThan(std::string_view text, size_t maxDepth);

// The top-level "id" of a JSON-RPC message read from the start of text without parsing the
// rest: null when it cannot be found before the first nested value it would have to skip.
nlohmann::json recoverId(std::string_view text);

}  // namespace lumora::bridge
