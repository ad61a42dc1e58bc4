#pragma once
// What the File and Folder objects report about an entry: its times as civil local dates,
// its size and its attribute bits.

#include <cstdint>
#include <filesystem>

#include "Automation/error.hpp"
#include "Automation/variant.hpp"

namespace lumora::files {

enum class EntryTime { Created, LastModified, LastAccessed };

// Attribute bits as script reads them.
namespace attribute {
inline constexpr int32_t Normal = 0, ReadOnly = 1, Hidden = 2, Directory = 16, Archive = 32;
}

// 53 (files) or 76 (folders) when the entry is gone; `missing` says which.
Date entryTime(const std::filesystem::path& entry, EntryTime which, RuntimeError missing);
// A file's size, or a folder's: everything in it, in every subfolder.
Variant entrySize(const std::filesystem::path& entry, RuntimeError missing);
int32_t entryAttributes(const std::filesystem::path& entry, RuntimeError missing);
// Only the read-only bit can change on this system; the others are ignored.
void setEntryAttributes(const std::filesystem::path& entry, int32_t attributes, RuntimeError missing);

}  // namespace lumora::files
