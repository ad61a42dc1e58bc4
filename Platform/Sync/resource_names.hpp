#pragma once
// The address a new item gets in its collection: a file name made of its UID, as other clients
// name theirs, with whatever is not safe in a path segment replaced.

#include <string>

#include "Platform/Outlook/item_kinds.hpp"

namespace lumora::sync {

// A UID longer than this (or empty) gives a random name instead.
inline constexpr size_t kMaxResourceNameLength = 120;

// collectionUrl + name + ".ics" (an appointment or task) or ".vcf" (a contact).
std::string newResourceUrl(const std::string& collectionUrl, const std::string& uid, pim::ItemClass itemClass);

}  // namespace lumora::sync
