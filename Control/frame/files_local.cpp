// The local side of the file members: a path's extension, opening a file in its associated
// program, and reading a file's bytes for upload. Page paths ("C:\Docs\Quote.pdf") reach the
// disk only through the drive table of the file layer.

#include <array>
#include <filesystem>
#include <span>

#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Files/file_handle.hpp"
#include "Platform/Files/page_path.hpp"
#include "Control/frame/control_messages.hpp"
#include "files_operations.hpp"

namespace lumora::control {

namespace {

// The code the shell gives for a page path that does not lead to a file.
int32_t unresolvedPathCode(const Error& error) {
    switch (static_cast<RuntimeError>(error.number())) {
        case RuntimeError::PathNotFound: return desktop::shell::PathNotFound;
        case RuntimeError::InvalidProcedureCall:
        case RuntimeError::BadFileNameOrNumber:
        case RuntimeError::FileNotFound: return desktop::shell::FileNotFound;
        default: return 0;
    }
}

}  // namespace

std::string FileExtension(std::string_view path) {
    const int32_t dot = vb::inStrRev(path, ".");
    return vb::lCase(vb::trim(dot > 0 ? vb::mid(path, dot + 1) : std::string(path)));
}

std::string shellOpenReason(int32_t code) {
    namespace shell = desktop::shell;
    if (code >= 33) return std::string();
    switch (code) {
        case shell::FileNotFound: return std::string(msg::OpenFileNotFound);
        case shell::PathNotFound: return std::string(msg::OpenFilePathNotFound);
        case shell::AccessDenied: return std::string(msg::OpenFileAccessDenied);
        case shell::SharingViolation: return std::string(msg::OpenFileSharingViolation);
        case shell::AssociationIncomplete: return std::string(msg::OpenFileIncompleteAssociation);
        case shell::NoAssociation: return std::string(msg::OpenFileNoAssociation);
        default: return std::string(msg::OpenFileUnknownError);
    }
}

std::string ShellOpenFile(std::string_view path) {
    // The desktop refuses anything that would run as a program (code 5), since the page, not
    // the user, names the file.
    const int32_t code = trapped(
        [&] {
            const files::PagePath file = files::resolvePagePath(path);
            return desktop::current().shellOpen(file.local);
        },
        unresolvedPathCode);
    return shellOpenReason(code);
}

std::string ReadTextFile(std::string_view path) {
    // The file is read as bytes, not as text: a text reading would change a binary document
    // (PDF, DOCX) on its way to the server.
    return trapped(
        [&] {
            const files::PagePath file = files::resolvePagePath(path);
            if (!std::filesystem::is_regular_file(file.local)) return std::string();
            files::FileHandle handle =
                files::FileHandle::open(file.local, files::FileHandle::Access::Read,
                                        files::FileHandle::Creation::OpenExisting);
            if (handle.size() > kMaxUploadBytes) return std::string();
            std::string content;
            std::array<char, 64 * 1024> buffer;
            while (const size_t got = handle.read(std::span<char>(buffer))) {
                content.append(buffer.data(), got);
                // A file still growing while it is read is refused like one too large.
                if (content.size() > kMaxUploadBytes) return std::string();
            }
            return content;
        },
        [](const Error&) { return std::string(); });
}

}  // namespace lumora::control
