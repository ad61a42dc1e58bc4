#pragma once
// One shape for the table of a deliverable's or stand-in's own errors. Each lists, once, the
// entry code names, its number, its source and its description:
//
//     enum class PimError { FolderNotFound, ... };
//     inline constexpr ErrorEntry<PimError> kPimErrors[] = {
//         {PimError::FolderNotFound, kObjectErrorBase + 0x301, "Lumora.PIM", "The folder {} does not exist"},
//         {PimError::Unsupported, RuntimeError::ActionNotSupported, "Lumora.PIM", ""},
//     };
//     constexpr std::span<const ErrorEntry<PimError>> errorTable(PimError) { return kPimErrors; }
//
// and code raises an entry by name: raise(PimError::FolderNotFound, path).

#include <concepts>
#include <span>
#include <string_view>
#include <type_traits>

#include "error.hpp"

namespace lumora {

// An entry's number: a runtime error by name, or a number of the deliverable's own.
struct ErrorNumber {
    constexpr ErrorNumber(int32_t number) : value(number) {}
    constexpr ErrorNumber(RuntimeError error) : value(static_cast<int32_t>(error)) {}
    int32_t value;
};

template <class Id>
struct ErrorEntry {
    Id id;
    ErrorNumber number;
    std::string_view source;
    // "{}" marks where a call's detail goes; without it a detail follows after ": ". An empty
    // description takes the runtime's standard description of the number.
    std::string_view description;
};

// The error of one entry with the caller's detail put in its place.
Error composeError(int32_t number, std::string_view source, std::string_view description, std::string_view detail);

// An enum whose table is found, by argument-dependent lookup, as errorTable(Id).
template <class Id>
concept OwnErrorId = std::is_enum_v<Id> && requires(Id id) {
    { errorTable(id) } -> std::convertible_to<std::span<const ErrorEntry<Id>>>;
};

template <OwnErrorId Id>
Error errorOf(Id id, std::string_view detail = {}) {
    for (const ErrorEntry<Id>& entry : errorTable(id))
        if (entry.id == id) return composeError(entry.number.value, entry.source, entry.description, detail);
    return Error(RuntimeError::InvalidProcedureCall);
}

template <OwnErrorId Id>
[[noreturn]] void raise(Id id, std::string_view detail = {}) {
    throw errorOf(id, detail);
}

}  // namespace lumora
