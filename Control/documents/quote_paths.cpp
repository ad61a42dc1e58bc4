#include "quote_paths.hpp"

namespace lumora::control {

namespace {

constexpr std::string_view kSeparators = "/\\";

}  // namespace

std::string BaseFileName(std::string_view path) {
    // Separators and the dot are single bytes in UTF-8, so cutting at them keeps every
    // other character whole.
    std::string_view name = path;
    if (const size_t lastSeparator = name.find_last_of(kSeparators); lastSeparator != std::string_view::npos)
        name.remove_prefix(lastSeparator + 1);
    return std::string(name.substr(0, name.find('.')));
}

std::string FolderOfPath(std::string_view path) {
    const size_t lastSeparator = path.find_last_of(kSeparators);
    if (lastSeparator == std::string_view::npos) return std::string();
    return std::string(path.substr(0, lastSeparator));
}

std::string FileNameOfPath(std::string_view path) {
    const size_t lastSeparator = path.find_last_of(kSeparators);
    if (lastSeparator == std::string_view::npos) return std::string(path);
    return std::string(path.substr(lastSeparator + 1));
}

}  // namespace lumora::control
