#include "host_errors.hpp"

#include <string>

namespace lumora::host {

namespace {

constexpr const char* kSource = "Lumora Desktop";

struct HostErrorEntry {
    HostError which;
    RuntimeError number;
    const char* description;  // detail, when given, follows after ": "
};

constexpr HostErrorEntry kHostErrors[] = {
    {HostError::ValueNestedTooDeep, RuntimeError::InvalidProcedureCall, "Value nested more than 64 levels deep"},
    {HostError::ArrayTooLarge, RuntimeError::InvalidProcedureCall, "Array longer than 1000000 elements"},
    {HostError::TooManyObjects, RuntimeError::OutOfMemory, "Too many objects kept in this session (100000)"},
    {HostError::ArgumentsNotArray, RuntimeError::InvalidProcedureCall, "Arguments must be a JSON array"},
    {HostError::NamedNotObject, RuntimeError::InvalidProcedureCall, "Named arguments must be a JSON object"},
    {HostError::XmlNotLoaded, RuntimeError::InvalidProcedureCall, "The XML document could not be loaded"},
    {HostError::BadDateText, RuntimeError::TypeMismatch, "Type mismatch: a date must read yyyy-MM-ddTHH:mm:ss"},
};

}  // namespace

Error hostError(HostError which, std::string_view detail) {
    for (const auto& entry : kHostErrors) {
        if (entry.which != which) continue;
        std::string description = entry.description;
        if (!detail.empty()) description.append(": ").append(detail);
        return Error(static_cast<int32_t>(entry.number), std::move(description), kSource);
    }
    return Error(RuntimeError::InvalidProcedureCall, kSource);
}

}  // namespace lumora::host
