#pragma once
// Paths as a page writes them, and the local paths they stand for. A page may use "\" or "/"
// as separators, a drive letter ("C:\Templates\Quote.dot"), a network share
// ("\\server\share\Letters") or a local path as the Desktop gives it ("/tmp/lumora/x.htm").
// Drives and shares reach the disk only through the DriveMap; everything a member reports
// back (a folder's Path, a file's Path) is written in the style the page used.

#include <filesystem>
#include <string>
#include <string_view>

namespace lumora::files {

enum class PathStyle {
    Local,    // a path of this system ("/tmp/x/y.txt"), reported with "/"
    Windows,  // a drive or share path, reported with its drive and "\"
};

struct PagePath {
    std::filesystem::path local;  // absolute and normalised, without a trailing separator
    PathStyle style = PathStyle::Local;
};

// Resolves a page's path. Errors: 5 for an empty path, 52 for a path holding a character no
// file name on the page's system may hold (a control character, NUL included), 76 for a drive
// or share that is not mapped and for a path outside what the page may reach (page_reach.hpp).
// On a mapped drive ".." stops at the drive's root, and a component that does not exist in the
// letter case given is matched without regard to case, as on the page's system.
PagePath resolvePagePath(std::string_view text);

// The text the page sees for a local path written in `style`.
std::string pageText(const std::filesystem::path& local, PathStyle style);

bool isPathSeparator(char c);
// True when the text holds a character below U+0020: the page's system allows none of them in a
// name, and a name holding one (a line break, a tab) is one a person cannot tell from another.
bool holdsControlCharacter(std::string_view text);
bool endsWithSeparator(std::string_view text);

}  // namespace lumora::files
