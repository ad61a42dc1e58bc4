#pragma once
// What a person is told when the store refuses to hand over an appointment by its entry id:
// the messaging store's error numbers, each with the sentence that explains it.

#include <cstdint>
#include <string>

#include "Automation/error.hpp"

namespace lumora::control {

// The store's "not found": the item was deleted, or its entry id names no item.
inline constexpr uint32_t kStoreNotFound = 0x8004010F;

// The message for the error's number; a number the table lacks gives the unknown-error text
// with the number in signed decimal and the error's own description.
std::string appointmentStoreErrorMessage(const Error& error);

}  // namespace lumora::control
