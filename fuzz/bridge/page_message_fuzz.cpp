// Fuzz target for what a page sends the bridge: size and nesting screening, JSON, the JSON-RPC
// shape and every request's parameters, and the id recovery used for refusals. Whatever comes
// in, the reader answers with a request, an answer, an event or a refusal, never a crash.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Host/bridge/page_message.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    lumora::bridge::MessageLimits limits;
    limits.maxBytes = 64 * 1024;
    limits.maxDepth = 16;
    auto message = lumora::bridge::readPageMessage(text, limits);
    if (auto* refusal = std::get_if<lumora::bridge::Refusal>(&message)) {
        // A refusal's reply must always be serialisable for the page.
        (void)refusal->reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    (void)lumora::bridge::refuseOversized(text.substr(0, 4096), size, limits);
    return 0;
}
