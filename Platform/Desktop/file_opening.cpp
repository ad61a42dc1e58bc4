#include "file_opening.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <string_view>

#include "child_process.hpp"
#include "desktop.hpp"
#include "posix_handles.hpp"

namespace lumora::desktop::opening {

namespace fs = std::filesystem;

namespace {

// How long the desktop's MIME helpers may take; they normally answer in a fraction of a second.
constexpr std::chrono::seconds kQueryTimeout{5};
constexpr size_t kSniffBytes = 4096;

// Extensions of programs, scripts, launchers, shortcuts and installers on Linux and on the
// systems whose files users bring along. Lower case, without the dot.
constexpr std::array<std::string_view, 57> kProgramExtensions = {
    "sh", "bash", "zsh", "ksh", "csh", "tcsh", "fish", "command", "run", "bin", "elf", "out", "so",
    "appimage", "desktop", "py", "pyw", "pyc", "pyo", "pyz", "pl", "pm", "rb", "php", "lua", "tcl",
    "js", "jse", "mjs", "vbs", "vbe", "wsf", "wsh", "ps1", "psm1", "hta", "exe", "com", "bat",
    "cmd", "msi", "msp", "scr", "pif", "cpl", "lnk", "reg", "jar", "jnlp", "deb", "rpm", "snap",
    "flatpak", "flatpakref", "apk", "app", "appref-ms",
};

// MIME subtypes (the part after "/", whatever the top-level type) of the same.
constexpr std::array<std::string_view, 40> kProgramSubtypes = {
    "x-sharedlib", "x-shellscript", "x-sh", "x-csh", "x-ksh", "x-zsh", "x-fish", "x-desktop",
    "x-perl", "x-python", "x-python3", "x-python-code", "x-ruby", "x-php", "x-tcl", "x-lua",
    "javascript", "x-javascript", "ecmascript", "vbscript", "x-vbscript", "x-powershell",
    "x-bat", "x-msdownload", "x-msdos-program", "x-msi", "x-ms-installer", "x-ms-shortcut",
    "x-ms-application", "hta", "java-archive", "x-java-archive", "x-java-jnlp-file",
    "vnd.appimage", "x-iso9660-appimage", "vnd.debian.binary-package", "x-deb", "x-rpm",
    "x-redhat-package-manager", "vnd.flatpak.ref",
};

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return lower;
}

std::string trimmedLine(std::string text) {
    if (const size_t end = text.find_first_of(";\r\n"); end != std::string::npos) text.erase(end);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.erase(0, 1);
    return text;
}

int32_t codeOfMissing(const fs::path& file, int error) {
    switch (error) {
    case ENOENT: {
        const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
        std::error_code ec;
        return fs::is_directory(folder, ec) ? shell::FileNotFound : shell::PathNotFound;
    }
    case ENOTDIR:
    case ENAMETOOLONG: return shell::PathNotFound;
    case ELOOP: return shell::FileNotFound;
    default: return shell::AccessDenied;  // EACCES, EPERM and anything unexpected: refuse
    }
}

// Magic numbers of files that start a program when opened: ELF binaries, "#!" scripts,
// Windows executables (a compatibility layer would run them), desktop launchers and
// package installers.
bool looksLikeProgram(std::string_view head) {
    static constexpr std::array<std::string_view, 6> kMagic = {
        "\x7f" "ELF", "#!", "MZ", "[Desktop Entry]", "!<arch>\ndebian", "\xed\xab\xee\xdb",
    };
    for (std::string_view magic : kMagic) {
        if (head.starts_with(magic)) return true;
    }
    // A launcher may open with comments before its group header.
    return head.find("\n[Desktop Entry]") != std::string_view::npos;
}

bool isExecutableMode(mode_t mode) {
    return (mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

}  // namespace

bool hasProgramExtension(const fs::path& file) {
    const std::string extension = file.extension().string();
    if (extension.size() < 2) return false;
    const std::string lower = lowerAscii(std::string_view(extension).substr(1));
    return std::find(kProgramExtensions.begin(), kProgramExtensions.end(), lower) != kProgramExtensions.end();
}

bool isProgramMimeType(const std::string& mimeType) {
    const std::string lower = lowerAscii(trimmedLine(mimeType));
    const size_t slash = lower.find('/');
    const std::string_view subtype = slash == std::string::npos ? std::string_view(lower) : std::string_view(lower).substr(slash + 1);
    if (subtype.find("executable") != std::string_view::npos) return true;
    return std::find(kProgramSubtypes.begin(), kProgramSubtypes.end(), subtype) != kProgramSubtypes.end();
}

Checked checkFile(const fs::path& file) {
    if (file.empty()) return {shell::FileNotFound, {}};
    // Look before opening: opening a device or a pipe can have effects of its own.
    struct stat before {};
    if (::stat(file.c_str(), &before) != 0) return {codeOfMissing(file, errno), {}};
    if (!S_ISREG(before.st_mode) && !S_ISDIR(before.st_mode)) return {shell::AccessDenied, {}};
    if (S_ISREG(before.st_mode) && isExecutableMode(before.st_mode)) return {shell::AccessDenied, {}};

    std::error_code ec;
    fs::path resolved = fs::canonical(file, ec);
    if (ec) return {shell::AccessDenied, {}};
    if (S_ISDIR(before.st_mode)) return {shell::Ok, resolved};  // a folder opens in the file manager
    if (hasProgramExtension(file) || hasProgramExtension(resolved)) return {shell::AccessDenied, {}};

    const posix::FileDescriptor fd(::open(resolved.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return {shell::AccessDenied, {}};
    // The file read must be the file looked at, not one swapped in between.
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || opened.st_dev != before.st_dev || opened.st_ino != before.st_ino ||
        !S_ISREG(opened.st_mode) || isExecutableMode(opened.st_mode))
        return {shell::AccessDenied, {}};
    std::string head(kSniffBytes, '\0');
    const ssize_t n = ::pread(fd.get(), head.data(), head.size(), 0);
    if (n < 0) return {shell::AccessDenied, {}};
    head.resize(static_cast<size_t>(n));
    if (looksLikeProgram(head)) return {shell::AccessDenied, {}};
    return {shell::Ok, resolved};
}

int32_t launchAssociated(const fs::path& resolved) {
    const std::string path = resolved.string();
    const std::optional<std::string> type = process::captureOutput({"xdg-mime", "query", "filetype", path}, kQueryTimeout);
    if (!type) return shell::NoAssociation;
    const std::string mimeType = trimmedLine(*type);
    if (mimeType.empty()) return shell::NoAssociation;
    // The desktop may know the file as a program by its content where the checks above did not.
    if (isProgramMimeType(mimeType)) return shell::AccessDenied;

    const std::optional<std::string> application =
        process::captureOutput({"xdg-mime", "query", "default", mimeType}, kQueryTimeout);
    if (!application || trimmedLine(*application).empty()) return shell::NoAssociation;

    // The path is absolute, so the opener can never read it as an option.
    return process::startDetached({"xdg-open", path}) ? shell::Ok : shell::NoAssociation;
}

int32_t launchLink(const std::string& uri, bool launch) {
    // A scheme is a letter followed by letters, digits, "+", "-" or "."; anything else could be
    // read by the opener as a path or an option.
    const size_t colon = uri.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(uri[0])))
        return shell::NoAssociation;
    for (size_t i = 1; i < colon; ++i) {
        const char c = uri[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return shell::NoAssociation;
    }
    for (unsigned char c : uri)
        if (c < 0x20 || c == 0x7f) return shell::NoAssociation;
    const std::string scheme = lowerAscii(uri.substr(0, colon));
    // A file link would open local files past the checks that shellOpen makes.
    if (scheme == "file") return shell::AccessDenied;
    if (!launch) return shell::Ok;
    const std::optional<std::string> application =
        process::captureOutput({"xdg-mime", "query", "default", "x-scheme-handler/" + scheme}, kQueryTimeout);
    if (!application || trimmedLine(*application).empty()) return shell::NoAssociation;
    return process::startDetached({"xdg-open", uri}) ? shell::Ok : shell::NoAssociation;
}

}  // namespace lumora::desktop::opening
