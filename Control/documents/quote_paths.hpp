#pragma once
// The names a quote takes from its paths: the base name of the file a mailed quote travels as,
// and the folder and file parts of the temporary HTML table that Word inserts. A page writes
// paths as its user's system does, so "\" and "/" both separate folders.

#include <string>
#include <string_view>

namespace lumora::control {

// The file name without its folders and without everything from its first ".":
// "C:/quotes/Q7" gives "Q7", "Q-1001.final.doc" gives "Q-1001".
std::string BaseFileName(std::string_view path);

// The text before the last "/" or "\"; "" when the path has neither.
std::string FolderOfPath(std::string_view path);

// The text after the last "/" or "\"; the whole path when it has neither.
std::string FileNameOfPath(std::string_view path);

}  // namespace lumora::control
