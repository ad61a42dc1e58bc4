#include "error.hpp"

#include "error_table.hpp"

#include <new>
#include <utility>

namespace lumora {

Error::Error(int32_t number, std::string description, std::string source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)) {}

Error::Error(RuntimeError error, std::string source)
    : Error(static_cast<int32_t>(error), standardDescription(static_cast<int32_t>(error)), std::move(source)) {}

Error Error::objectError(int32_t offset, std::string description, std::string source) {
    return Error(kObjectErrorBase + offset, std::move(description), std::move(source));
}

Error Error::fromException(const std::exception& e) {
    if (auto* err = dynamic_cast<const Error*>(&e)) return *err;
    if (dynamic_cast<const std::bad_alloc*>(&e)) return Error(RuntimeError::OutOfMemory);
    // Library failures carry their own text; number 5 is how script sees "the call went wrong".
    return Error(static_cast<int32_t>(RuntimeError::InvalidProcedureCall), e.what());
}

std::string Error::standardDescription(int32_t number) {
    switch (number) {
#define LUMORA_RUNTIME_ERROR_CASE(name, value, description) \
    case value: return description;
        LUMORA_RUNTIME_ERRORS(LUMORA_RUNTIME_ERROR_CASE)
#undef LUMORA_RUNTIME_ERROR_CASE
    }
    return {};
}

void raise(RuntimeError error, std::string source) { throw Error(error, std::move(source)); }

void raise(Error error) { throw std::move(error); }

Error composeError(int32_t number, std::string_view source, std::string_view description, std::string_view detail) {
    std::string text(description.empty() ? Error::standardDescription(number) : std::string(description));
    if (auto mark = text.find("{}"); mark != std::string::npos) {
        text.replace(mark, 2, detail);
    } else if (!detail.empty()) {
        // A detail completes the sentence, so the full stop moves after it.
        while (!text.empty() && text.back() == '.') text.pop_back();
        text.append(": ").append(detail);
    }
    return Error(number, std::move(text), std::string(source));
}

}  // namespace lumora
