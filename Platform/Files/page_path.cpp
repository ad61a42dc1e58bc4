#include "page_path.hpp"

#include <algorithm>
#include <system_error>
#include <vector>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "drive_map.hpp"
#include "page_reach.hpp"

namespace lumora::files {

namespace fs = std::filesystem;

namespace {

bool isDriveLetterPath(std::string_view text) {
    return text.size() >= 2 && text[1] == ':' && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

bool isSharePath(std::string_view text) { return text.size() >= 2 && isPathSeparator(text[0]) && isPathSeparator(text[1]); }

std::vector<std::string_view> components(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = start;
        while (end < text.size() && !isPathSeparator(text[end])) ++end;
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The entry of `folder` named `name` without regard to case, when only another spelling exists.
std::string spellingOnDisk(const fs::path& folder, std::string_view name) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(folder / std::string(name), error))) return std::string(name);
    std::string match;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (vb::equalsNoCase(entry, name) && (match.empty() || entry < match)) match = entry;
    }
    return match.empty() ? std::string(name) : match;
}

// Walks the components below a drive's root: "." stays, ".." goes up but never above the root.
fs::path underRoot(const fs::path& root, std::string_view rest) {
    std::vector<std::string> kept;
    for (std::string_view part : components(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        kept.emplace_back(part);
    }
    fs::path local = root;
    for (const std::string& part : kept) local /= spellingOnDisk(local, part);
    return local;
}

// The folder a drive or share stands for; 76 when it is not mapped. A folder mapped to be made
// on first use is made now.
fs::path mappedRoot(std::string_view drive) {
    auto mapping = DriveMap::instance().mapping(drive);
    if (!mapping) raise(RuntimeError::PathNotFound);
    if (mapping->creation == FolderCreation::OnFirstUse) {
        std::error_code ignored;
        fs::create_directories(mapping->root, ignored);
    }
    return mapping->root;
}

// A path outside what the page may reach does not exist for it, like an unmapped drive.
PagePath reachable(PagePath path) {
    if (!PageReach::allows(path.local)) raise(RuntimeError::PathNotFound);
    return path;
}

fs::path withoutTrailingSeparator(fs::path path) {
    while (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
    return path;
}

}  // namespace

bool isPathSeparator(char c) { return c == '\\' || c == '/'; }

bool holdsControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool endsWithSeparator(std::string_view text) { return !text.empty() && isPathSeparator(text.back()); }

PagePath resolvePagePath(std::string_view text) {
    if (text.empty()) raise(RuntimeError::InvalidProcedureCall);
    if (holdsControlCharacter(text)) raise(RuntimeError::BadFileNameOrNumber);

    if (isDriveLetterPath(text)) {
        fs::path root = mappedRoot(text.substr(0, 2));
        return reachable(PagePath{withoutTrailingSeparator(underRoot(root, text.substr(2))), PathStyle::Windows});
    }
    if (isSharePath(text)) {
        std::vector<std::string_view> parts = components(text);
        if (parts.size() < 2) raise(RuntimeError::PathNotFound);
        fs::path root = mappedRoot("\\\\" + std::string(parts[0]) + "\\" + std::string(parts[1]));
        // The rest begins after the share's name.
        size_t shareEnd = static_cast<size_t>(parts[1].data() - text.data()) + parts[1].size();
        return reachable(PagePath{withoutTrailingSeparator(underRoot(root, text.substr(shareEnd))), PathStyle::Windows});
    }

    std::string local(text);
    for (char& c : local)
        if (c == '\\') c = '/';
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(local), error);
    if (error) raise(RuntimeError::PathNotFound);
    return reachable(PagePath{withoutTrailingSeparator(absolute.lexically_normal()), PathStyle::Local});
}

std::string pageText(const fs::path& local, PathStyle style) {
    if (style == PathStyle::Local) return local.string();
    auto mapping = DriveMap::instance().mappingHolding(local);
    if (!mapping) return local.string();
    std::string text = mapping->drive;
    bool isDrive = text.size() == 2;
    fs::path relative = local.lexically_relative(mapping->root);
    bool first = true;
    for (const fs::path& part : relative) {
        if (part.empty() || part == ".") continue;
        text += '\\';
        text += part.string();
        first = false;
    }
    // A drive's root is written with its separator ("C:\"), as the page's system writes it.
    if (first && isDrive) text += '\\';
    return text;
}

}  // namespace lumora::files
