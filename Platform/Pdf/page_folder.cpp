#include "page_folder.hpp"

#include <fstream>
#include <vector>

#include "Automation/vb/strings.hpp"
#include "Automation/vb/utf8.hpp"
#include "Platform/Files/drive_map.hpp"

namespace lumora::pdf {

namespace fs = std::filesystem;

namespace {

struct TypeByExtension {
    std::string_view extension;
    std::string_view type;
};

constexpr TypeByExtension kContentTypes[] = {
    {".htm", "text/html"},       {".html", "text/html"},     {".css", "text/css"},       {".js", "text/javascript"},
    {".png", "image/png"},       {".jpg", "image/jpeg"},     {".jpeg", "image/jpeg"},    {".gif", "image/gif"},
    {".svg", "image/svg+xml"},   {".webp", "image/webp"},    {".bmp", "image/bmp"},      {".ico", "image/x-icon"},
    {".woff", "font/woff"},      {".woff2", "font/woff2"},   {".ttf", "font/ttf"},       {".otf", "font/otf"},
};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The path of a URL with its escapes undone; nullopt for a broken escape or a NUL.
std::optional<std::string> unescapedPath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            out += path[i];
            continue;
        }
        if (i + 2 >= path.size()) return std::nullopt;
        const int high = hexValue(path[i + 1]), low = hexValue(path[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// Escapes everything but unreserved characters and "/", so that any file name makes an address.
std::string escapedPath(std::string_view path) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~' || c == '/') {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
    return out;
}

// A page that is well-formed UTF-8 is read as UTF-8 (a plain ASCII page reads the same either
// way); any other is left to its own declaration, as a browser opening the file would.
std::string contentTypeOf(const fs::path& file, std::string_view bytes) {
    const std::string extension = vb::lCase(file.extension().string());
    for (const TypeByExtension& known : kContentTypes) {
        if (known.extension != extension) continue;
        if (known.type == "text/html" && vb::utf8::isWellFormed(bytes)) return "text/html; charset=utf-8";
        return std::string(known.type);
    }
    return "application/octet-stream";
}

std::optional<std::string> readUpTo(const fs::path& file, size_t limit) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error || size > limit) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // A file that grew meanwhile is read no further than it was when measured.
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

}  // namespace

PageFolder::PageFolder(const fs::path& page) {
    const fs::path real = fs::canonical(page);
    m_folder = real.parent_path();
    m_pageUrl = std::string(kPageOrigin) + "/" + escapedPath(real.filename().string());
}

std::optional<PageFile> PageFolder::fileFor(std::string_view url) {
    const std::string origin = std::string(kPageOrigin) + "/";
    if (!url.starts_with(origin)) return std::nullopt;
    std::string_view path = url.substr(origin.size());
    path = path.substr(0, path.find_first_of("?#"));
    const std::optional<std::string> unescaped = unescapedPath(path);
    if (!unescaped || unescaped->empty()) return std::nullopt;
    // Escapes may spell out separators and ".." that the browser did not resolve: each part of
    // the path must be a plain name.
    fs::path relative;
    for (const auto& part : fs::path(*unescaped)) {
        const std::string name = part.string();
        if (name.empty() || name == "/") continue;
        if (name == "." || name == "..") return std::nullopt;
        relative /= part;
    }
    if (relative.empty()) return std::nullopt;
    std::error_code error;
    const fs::path file = fs::canonical(m_folder / relative, error);
    if (error || !files::folderHolds(m_folder, file) || !fs::is_regular_file(file, error)) return std::nullopt;
    const size_t allowance = std::min(kMaxPageFileBytes, kMaxPageTotalBytes - std::min(m_bytesServed, kMaxPageTotalBytes));
    std::optional<std::string> bytes = readUpTo(file, allowance);
    if (!bytes) return std::nullopt;
    m_bytesServed += bytes->size();
    std::string type = contentTypeOf(file, *bytes);
    return PageFile{std::move(*bytes), std::move(type)};
}

}  // namespace lumora::pdf
