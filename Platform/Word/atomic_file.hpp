#pragma once
// Writing a file so that it is either the complete new content or left as it was: the content
// goes to a scratch file beside the target, which then replaces the target in one rename.

#include <filesystem>
#include <functional>
#include <string_view>

namespace lumora::word {

// `write` fills the scratch path; any failure (its own error, or the rename's) removes the
// scratch file and raises FileNotWritten naming the target, unless `write` raised first.
void replaceAtomically(const std::filesystem::path& target, const std::function<void(const std::filesystem::path&)>& write);
void writeBytesAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace lumora::word
