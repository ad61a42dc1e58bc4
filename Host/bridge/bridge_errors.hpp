#pragma once
// The bridge's own failures as a page sees them: JSON-RPC 2.0 error objects. Every code and
// text lives in this one table; code elsewhere names the entry.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace lumora::bridge {

enum class BridgeError {
    ParseError,        // the message is not JSON
    InvalidRequest,    // JSON, but not a JSON-RPC 2.0 request
    RequestTooLarge,   // over the message size limit
    RequestTooDeep,    // arrays and objects nested past the limit
    BatchNotSupported,
    BinaryMessage,
    MethodNotFound,
    InvalidParams,
    InternalError,
    Automation,        // the member failed: data carries number, description and source
    TooManyQueued,     // the page has too many calls waiting
    ResultTooLarge,    // an answer too big for the transport (native messaging)
    NotCreatable,      // a class pages may not create: data carries the automation error (429)
};

struct BridgeErrorEntry {
    int32_t code;
    const char* text;
};

const BridgeErrorEntry& entryOf(BridgeError error);

// {"code": …, "message": text + ": " + detail} (the detail left out when empty), with data when given.
nlohmann::json errorObject(BridgeError error, std::string_view detail = {},
                           const nlohmann::json& data = nullptr);
// A whole JSON-RPC error response.
nlohmann::json errorResponse(const nlohmann::json& id, BridgeError error, std::string_view detail = {},
                             const nlohmann::json& data = nullptr);

}  // namespace lumora::bridge
