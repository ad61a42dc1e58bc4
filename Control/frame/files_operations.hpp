#pragma once
// The private operations behind the control's file and web-transfer members: opening a file in
// its associated program, reading a local file for upload, reading a web page and listing the
// templates a web folder's listing page links to. None is reachable through the interface.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumora::control {

// The characters after the last ".", trimmed and in lower case; a path without "." gives the
// whole path trimmed and in lower case.
std::string FileExtension(std::string_view path);

// Opens a page's path in its associated program. "" when it was opened, otherwise the reason
// for the ShellExecute-style code. Programs, scripts and launchers are never started: they give
// the "access was denied" reason.
std::string ShellOpenFile(std::string_view path);

// The reason text for a ShellExecute-style code; "" for a success code (33 or more).
std::string shellOpenReason(int32_t code);

// The largest file an upload sends; a larger one is not read at all.
inline constexpr size_t kMaxUploadBytes = size_t{256} << 20;

// The bytes of a local file exactly as stored, so a binary document reaches the server
// unchanged; "" when the file cannot be read, is not a regular file or is larger than
// kMaxUploadBytes.
std::string ReadTextFile(std::string_view path);

// The body of a web page, fetched fresh from the server, as text. Transport failures throw.
std::string ReadUrl(std::string_view address);

// The texts of the links on a web folder's listing page, joined by "\": at most
// kMaxListedTemplates texts, leaving out empty ones and those beginning with "[" (the parent
// folder link). A page with more than kMaxCollectedLinks links fails. Failures are told to the
// user and give "".
inline constexpr size_t kMaxCollectedLinks = 1001;
inline constexpr size_t kMaxListedTemplates = 1000;
std::string WebTemplateList(std::string_view address);

}  // namespace lumora::control
