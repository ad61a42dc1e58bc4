#include "drive_map.hpp"

#include <algorithm>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"

namespace lumora::files {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool folderHolds(const std::filesystem::path& folder, const std::filesystem::path& path) {
    auto [folderEnd, pathAt] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    // A trailing separator gives the folder an empty last component; it holds the same paths.
    return folderEnd == folder.end() || (std::next(folderEnd) == folder.end() && folderEnd->empty());
}

DriveMap& DriveMap::instance() {
    static DriveMap map;
    return map;
}

std::optional<std::string> DriveMap::driveKey(std::string_view drive) {
    if (drive.size() == 1 && isAsciiLetter(drive[0])) return vb::uCase(drive) + ":";
    if (drive.size() == 2 && isAsciiLetter(drive[0]) && drive[1] == ':') return vb::uCase(drive);
    if (drive.size() < 5 || !isSeparator(drive[0]) || !isSeparator(drive[1])) return std::nullopt;
    std::string_view rest = drive.substr(2);
    while (!rest.empty() && isSeparator(rest.back())) rest.remove_suffix(1);
    size_t split = rest.find_first_of("\\/");
    if (split == 0 || split == std::string_view::npos || split + 1 >= rest.size()) return std::nullopt;
    std::string_view server = rest.substr(0, split);
    std::string_view share = rest.substr(split + 1);
    if (share.find_first_of("\\/") != std::string_view::npos) return std::nullopt;
    return "\\\\" + std::string(server) + "\\" + std::string(share);
}

void DriveMap::set(std::string_view drive, const std::filesystem::path& root, FolderCreation creation) {
    auto key = driveKey(drive);
    if (!key || !root.is_absolute()) raise(RuntimeError::InvalidProcedureCall);
    std::lock_guard lock(m_mutex);
    auto existing = std::find_if(m_mappings.begin(), m_mappings.end(),
                                 [&](const DriveMapping& m) { return vb::equalsNoCase(m.drive, *key); });
    std::filesystem::path normalRoot = root.lexically_normal();
    if (existing != m_mappings.end()) {
        *existing = DriveMapping{*key, normalRoot, creation};
    } else {
        m_mappings.push_back(DriveMapping{*key, normalRoot, creation});
    }
}

void DriveMap::clear(std::string_view drive) {
    auto key = driveKey(drive);
    if (!key) return;
    std::lock_guard lock(m_mutex);
    std::erase_if(m_mappings, [&](const DriveMapping& m) { return vb::equalsNoCase(m.drive, *key); });
}

void DriveMap::clearAll() {
    std::lock_guard lock(m_mutex);
    m_mappings.clear();
}

std::optional<std::filesystem::path> DriveMap::root(std::string_view drive) const {
    auto found = mapping(drive);
    if (!found) return std::nullopt;
    return found->root;
}

std::optional<DriveMapping> DriveMap::mapping(std::string_view drive) const {
    auto key = driveKey(drive);
    if (!key) return std::nullopt;
    std::lock_guard lock(m_mutex);
    for (const auto& mapping : m_mappings)
        if (vb::equalsNoCase(mapping.drive, *key)) return mapping;
    return std::nullopt;
}

std::optional<DriveMapping> DriveMap::mappingHolding(const std::filesystem::path& local) const {
    std::lock_guard lock(m_mutex);
    const DriveMapping* best = nullptr;
    size_t bestLength = 0;
    for (const auto& mapping : m_mappings) {
        size_t length = mapping.root.native().size();
        if (folderHolds(mapping.root, local) && (!best || length > bestLength)) {
            best = &mapping;
            bestLength = length;
        }
    }
    if (!best) return std::nullopt;
    return *best;
}

std::vector<DriveMapping> DriveMap::mappings() const {
    std::lock_guard lock(m_mutex);
    return m_mappings;
}

}  // namespace lumora::files
