#include "page_message.hpp"

#include <limits>

#include "bridge_errors.hpp"

namespace lumora::bridge {
namespace {

using nlohmann::json;

// A forward reader over JSON text that understands just enough (strings, nesting) to skip values.
class Cursor {
public:
    explicit Cursor(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) ++m_pos;
    }
    bool take(char c) {
        skipSpace();
        if (peek() != c) return false;
        ++m_pos;
        return true;
    }
    // A string at the cursor, returned raw (escapes left in); nullopt when unterminated.
    std::optional<std::string_view> string() {
        skipSpace();
        if (peek() != '"') return std::nullopt;
        size_t start = ++m_pos;
        while (!atEnd()) {
            char c = m_text[m_pos];
            if (c == '\\') {
                m_pos += 2;
                continue;
            }
            if (c == '"') return m_text.substr(start, m_pos++ - start);
            ++m_pos;
        }
        return std::nullopt;
    }
    // A scalar's raw text (number, true, false, null).
    std::string_view scalar() {
        skipSpace();
        size_t start = m_pos;
        while (!atEnd()) {
            char c = peek();
            if (c == ',' || c == '}' || c == ']' || c == ' ' || c == '\n' || c == '\r' || c == '\t') break;
            ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }
    // Skips any value; false when the text ends first.
    bool skipValue() {
        skipSpace();
        char c = peek();
        if (c == '"') return string().has_value();
        if (c != '{' && c != '[') return !scalar().empty();
        size_t depth = 0;
        while (!atEnd()) {
            c = peek();
            if (c == '"') {
                if (!string()) return false;
                continue;
            }
            ++m_pos;
            if (c == '{' || c == '[') ++depth;
            if ((c == '}' || c == ']') && --depth == 0) return true;
        }
        return false;
    }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

struct ParamError {
    std::string detail;
};

const json& member(const json& params, const char* name) {
    static const json kNull;
    auto it = params.find(name);
    return it == params.end() ? kNull : *it;
}

std::string requireString(const json& params, const char* name) {
    const json& value = member(params, name);
    if (!value.is_string() || value.get_ref<const std::string&>().empty())
        throw ParamError{std::string("\"") + name + "\" must be a non-empty string"};
    return value.get<std::string>();
}

int64_t requireObjectId(const json& params) {
    const json& value = member(params, "object");
    if (value.is_number_integer()) return value.get<int64_t>();
    // The page may pass the encoded object itself.
    if (value.is_object() && value.size() == 1 && value.contains("$object") && value["$object"].is_number_integer())
        return value["$object"].get<int64_t>();
    throw ParamError{"\"object\" must be an object id"};
}

json optionalArray(const json& params, const char* name) {
    const json& value = member(params, name);
    if (value.is_null()) return json::array();
    if (!value.is_array()) throw ParamError{std::string("\"") + name + "\" must be an array"};
    return value;
}

json optionalObject(const json& params, const char* name) {
    const json& value = member(params, name);
    if (value.is_null()) return json::object();
    if (!value.is_object()) throw ParamError{std::string("\"") + name + "\" must be an object"};
    return value;
}

std::optional<Operation> operationOf(const std::string& method) {
    if (method == "create") return Operation::Create;
    if (method == "call") return Operation::Call;
    if (method == "get") return Operation::Get;
    if (method == "put") return Operation::Put;
    if (method == "release") return Operation::Release;
    if (method == "item.save") return Operation::ItemSave;
    if (method == "item.close") return Operation::ItemClose;
    return std::nullopt;
}

PageMessage readRequest(json& message, json id, bool wantsAnswer) {
    auto refuse = [&](BridgeError error, std::string_view detail) -> PageMessage {
        return Refusal{wantsAnswer ? errorResponse(id, error, detail) : json()};
    };
    const std::string& method = message["method"].get_ref<const std::string&>();

    if (method == "click" || method == "closed") {
        const json& params = message.contains("params") ? message["params"] : json();
        const json& window = member(params, "window");
        if (!window.is_number_integer()) return refuse(BridgeError::InvalidParams, "\"window\" must be a window id");
        PageEvent event{method, static_cast<int32_t>(window.get<int64_t>()), {}};
        if (method == "click") {
            const json& control = member(params, "control");
            if (!control.is_string()) return refuse(BridgeError::InvalidParams, "\"control\" must be a button name");
            event.control = control.get<std::string>();
        }
        return event;
    }

    auto operation = operationOf(method);
    if (!operation) return refuse(BridgeError::MethodNotFound, method);

    json params = message.contains("params") ? std::move(message["params"]) : json::object();
    if (!params.is_object()) return refuse(BridgeError::InvalidParams, "params must be an object");

    PageRequest request;
    request.wantsAnswer = wantsAnswer;
    request.operation = *operation;
    try {
        switch (*operation) {
        case Operation::Create:
            request.progId = requireString(params, "progId");
            break;
        case Operation::Release:
            request.object = requireObjectId(params);
            break;
        case Operation::Put:
            if (!params.contains("value")) throw ParamError{"\"value\" is required"};
            request.value = std::move(params["value"]);
            [[fallthrough]];
        case Operation::Call:
        case Operation::Get:
            request.object = requireObjectId(params);
            request.member = requireString(params, "member");
            request.args = optionalArray(params, "args");
            request.named = optionalObject(params, "named");
            break;
        case Operation::ItemSave:
            request.value = optionalObject(params, "fields");
            for (const auto& [name, value] : request.value.items())
                if (!value.is_string()) throw ParamError{"\"fields\" must map field names to strings"};
            [[fallthrough]];
        case Operation::ItemClose: {
            const json& item = member(params, "item");
            if (!item.is_number_integer()) throw ParamError{"\"item\" must be an item window id"};
            request.object = item.get<int64_t>();
            break;
        }
        }
    } catch (const ParamError& e) {
        return refuse(BridgeError::InvalidParams, method + ": " + e.detail);
    }
    request.id = std::move(id);
    return request;
}

}  // namespace

bool nestsDeeperThan(std::string_view text, size_t maxDepth) {
    size_t depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > maxDepth) return true;
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        }
    }
    return false;
}

json recoverId(std::string_view text) {
    Cursor cursor(text);
    if (!cursor.take('{')) return nullptr;
    while (true) {
        auto key = cursor.string();
        if (!key || !cursor.take(':')) return nullptr;
        cursor.skipSpace();
        if (*key == "id") {
            if (cursor.peek() == '"') {
                auto value = cursor.string();
                if (!value) return nullptr;
                try {
                    return json::parse("\"" + std::string(*value) + "\"");
                } catch (const json::exception&) {
                    return nullptr;
                }
            }
            std::string_view raw = cursor.scalar();
            try {
                json value = json::parse(raw);
                return value.is_number() ? value : json();
            } catch (const json::exception&) {
                return nullptr;
            }
        }
        if (!cursor.skipValue()) return nullptr;
        if (!cursor.take(',')) return nullptr;
    }
}

Refusal refuseOversized(std::string_view prefix, size_t size, const MessageLimits& limits) {
    std::string detail = std::to_string(size) + " bytes, the limit is " + std::to_string(limits.maxBytes) + " bytes";
    return Refusal{errorResponse(recoverId(prefix), BridgeError::RequestTooLarge, detail)};
}

PageMessage readPageMessage(std::string_view text, const MessageLimits& limits) {
    if (text.size() > limits.maxBytes) return refuseOversized(text.substr(0, 4096), text.size(), limits);
    if (nestsDeeperThan(text, limits.maxDepth))
        return Refusal{errorResponse(recoverId(text), BridgeError::RequestTooDeep,
                                     "more than " + std::to_string(limits.maxDepth) + " levels")};

    json message;
    try {
        message = json::parse(text);
    } catch (const json::exception& e) {
        // Not only syntax: a number too large for a double (1e400) is refused as well. The
        // library's message starts with its own exception tag; the page needs only the rest.
        std::string what = e.what();
        if (auto close = what.find("] "); close != std::string::npos) what.erase(0, close + 2);
        return Refusal{errorResponse(recoverId(text), BridgeError::ParseError, what)};
    }

    if (message.is_array()) return Refusal{errorResponse(nullptr, BridgeError::BatchNotSupported)};
    if (!message.is_object()) return Refusal{errorResponse(nullptr, BridgeError::InvalidRequest, "not an object")};

    json id = message.contains("id") ? message["id"] : json();
    bool hasId = message.contains("id");
    if (hasId && !id.is_string() && !id.is_number() && !id.is_null())
        return Refusal{errorResponse(nullptr, BridgeError::InvalidRequest, "\"id\" must be a string or a number")};
    auto version = message.find("jsonrpc");
    if (version == message.end() || *version != "2.0")
        return Refusal{errorResponse(id, BridgeError::InvalidRequest, "\"jsonrpc\" must be \"2.0\"")};

    auto method = message.find("method");
    if (method == message.end()) {
        // An answer to one of the bridge's own requests.
        if (!hasId) return Refusal{errorResponse(nullptr, BridgeError::InvalidRequest, "no method and no id")};
        if (message.contains("result")) return PageAnswer{std::move(id), std::move(message["result"])};
        if (message.contains("error")) return PageAnswer{std::move(id), nullptr};
        return Refusal{errorResponse(id, BridgeError::InvalidRequest, "no method, result or error")};
    }
    if (!method->is_string())
        return Refusal{errorResponse(id, BridgeError::InvalidRequest, "\"method\" must be a string")};
    return readRequest(message, std::move(id), hasId);
}

}  // namespace lumora::bridge
