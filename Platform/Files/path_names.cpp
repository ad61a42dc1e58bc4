#include "path_names.hpp"

#include <filesystem>
#include <vector>

#include "page_path.hpp"

namespace lumora::files {

namespace {

// The length of the drive or share that begins the path, 0 when there is none.
size_t rootLength(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        return 2;
    if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        size_t at = 2;
        for (int part = 0; part < 2 && at < path.size(); ++part) {
            while (at < path.size() && !isPathSeparator(path[at])) ++at;
            if (part == 0 && at < path.size()) ++at;
        }
        return at;
    }
    return 0;
}

// The path without trailing separators, unless they are all that follows the drive.
std::string_view trimmed(std::string_view path) {
    size_t root = rootLength(path);
    while (path.size() > root + 1 && isPathSeparator(path.back())) path.remove_suffix(1);
    if (root == 0 && path.size() > 1 && isPathSeparator(path.back())) path.remove_suffix(1);
    return path;
}

char separatorOf(std::string_view path) {
    bool slash = path.find('/') != std::string_view::npos;
    bool backslash = path.find('\\') != std::string_view::npos;
    return slash && !backslash && rootLength(path) == 0 ? '/' : '\\';
}

}  // namespace

std::string fileNamePart(std::string_view path) {
    size_t root = rootLength(path);
    std::string_view text = trimmed(path).substr(root);
    size_t cut = text.find_last_of("\\/");
    std::string_view name = cut == std::string_view::npos ? text : text.substr(cut + 1);
    return std::string(name);
}

std::string parentFolderPart(std::string_view path) {
    size_t root = rootLength(path);
    std::string_view text = trimmed(path);
    size_t cut = text.find_last_of("\\/");
    if (cut == std::string_view::npos || cut < root) return std::string(text.substr(0, root));
    if (cut + 1 == text.size()) return {};  // only the root was given: it has no parent
    // The separator right after a drive letter belongs to the parent ("C:\x" -> "C:\", "/x" -> "/");
    // a share is its own root ("\\server\share\x" -> "\\server\share").
    if (cut == root) return std::string(text.substr(0, root > 2 ? root : cut + 1));
    std::string_view parent = text.substr(0, cut);
    while (parent.size() > root + 1 && isPathSeparator(parent.back())) parent.remove_suffix(1);
    return std::string(parent);
}

std::string extensionPart(std::string_view path) {
    std::string name = fileNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string baseNamePart(std::string_view path) {
    std::string name = fileNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string driveNamePart(std::string_view path) {
    size_t root = rootLength(path);
    std::string drive(path.substr(0, root));
    if (root > 2) {
        while (!drive.empty() && isPathSeparator(drive.back())) drive.pop_back();
    }
    return drive;
}

std::string buildPath(std::string_view path, std::string_view name) {
    while (!name.empty() && isPathSeparator(name.front())) name.remove_prefix(1);
    if (path.empty()) return std::string(name);
    std::string joined(path);
    bool needsSeparator = !endsWithSeparator(path) && !(rootLength(path) == 2 && path.size() == 2);
    if (needsSeparator && !name.empty()) joined += separatorOf(path);
    joined += name;
    return joined;
}

std::string absolutePathName(std::string_view path) {
    size_t root = rootLength(path);
    if (root == 0) {
        std::string local(path.empty() ? "." : path);
        std::error_code ignored;
        std::filesystem::path absolute = std::filesystem::absolute(local, ignored).lexically_normal();
        std::string text = absolute.string();
        if (text.size() > 1 && text.back() == '/') text.pop_back();
        return text;
    }
    std::vector<std::string_view> kept;
    std::string_view rest = path.substr(root);
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = start;
        while (end < rest.size() && !isPathSeparator(rest[end])) ++end;
        std::string_view part = rest.substr(start, end - start);
        if (part == "..") {
            if (!kept.empty()) kept.pop_back();
        } else if (!part.empty() && part != ".") {
            kept.push_back(part);
        }
        start = end + 1;
    }
    std::string text(path.substr(0, root));
    while (text.size() > 2 && isPathSeparator(text.back())) text.pop_back();
    for (char& c : text)
        if (c == '/') c = '\\';
    if (kept.empty() && root == 2) return text + "\\";
    for (std::string_view part : kept) {
        text += '\\';
        text += part;
    }
    return text;
}

}  // namespace lumora::files
