#include "bridge_errors.hpp"

#include <array>

namespace lumora::bridge {
namespace {

// Codes from -32768 to -32000 are JSON-RPC's own; the server-defined ones follow -32000.
constexpr std::array<BridgeErrorEntry, 13> kEntries{{
    {-32700, "Parse error"},
    {-32600, "Invalid request"},
    {-32600, "Request too large"},
    {-32600, "Request nested too deeply"},
    {-32600, "Batch requests are not supported, send one request per message"},
    {-32600, "Binary messages are not supported, send JSON text"},
    {-32601, "Method not found"},
    {-32602, "Invalid params"},
    {-32603, "Internal error"},
    {-32000, "Automation error"},
    {-32001, "Too many calls waiting"},
    {-32002, "Result too large for this connection"},
    {-32003, "Pages may not create"},
}};

}  // namespace

const BridgeErrorEntry& entryOf(BridgeError error) { return kEntries.at(static_cast<size_t>(error)); }

nlohmann::json errorObject(BridgeError error, std::string_view detail, const nlohmann::json& data) {
    const BridgeErrorEntry& entry = entryOf(error);
    std::string message = entry.text;
    if (!detail.empty()) message += ": " + std::string(detail);
    nlohmann::json object{{"code", entry.code}, {"message", message}};
    if (!data.is_null()) object["data"] = data;
    return object;
}

nlohmann::json errorResponse(const nlohmann::json& id, BridgeError error, std::string_view detail,
                             const nlohmann::json& data) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"error", errorObject(error, detail, data)}};
}

}  // namespace lumora::bridge
