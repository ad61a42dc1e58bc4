#pragma once
// Files of the data folder that only their owner may read or write (account settings and, where
// no keyring runs, passwords). A file is written whole to a new file made with those rights from
// the start, then renamed over the old one, so no moment shows a half-written file or one others
// may read. A file that others may read or write is refused rather than trusted or silently
// narrowed: someone may have read it already, and the person should know.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumora::host {

// The file's bytes; nullopt when there is none. Errors: PrivateFileExposed, PrivateFileUnreadable
// (not a file, larger than maxBytes, unreadable).
std::optional<std::string> readOwnerFile(const std::filesystem::path& file, uintmax_t maxBytes);
// Errors: PrivateFileNotSaved; the old file is then as it was and no new one is left behind.
void writeOwnerFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace lumora::host
