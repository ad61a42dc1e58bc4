#pragma once
// The file-system object's path-name functions. They work on the text alone, as script's do:
// nothing is looked up on disk, "\" and "/" both separate, and a drive ("C:") or share
// ("\\server\share") at the start is kept whole.

#include <string>
#include <string_view>

namespace lumora::files {

// "C:\Quotes\lines.htm" -> "lines.htm"; trailing separators are ignored ("C:\Quotes\" -> "Quotes").
std::string fileNamePart(std::string_view path);
// "C:\Quotes\lines.htm" -> "C:\Quotes"; "C:\Quotes" -> "C:\"; "lines.htm" -> "".
std::string parentFolderPart(std::string_view path);
// "report.final.docx" -> "docx"; "" when the name has no ".".
std::string extensionPart(std::string_view path);
// "C:\Quotes\report.final.docx" -> "report.final".
std::string baseNamePart(std::string_view path);
// "C:" for a drive path, "\\server\share" for a share, "" otherwise.
std::string driveNamePart(std::string_view path);
// Joins with one separator: "\" unless the path is written with "/" only.
std::string buildPath(std::string_view path, std::string_view name);
// The absolute form without "." and "..": drive and share paths lexically, local paths from
// the current folder.
std::string absolutePathName(std::string_view path);

}  // namespace lumora::files
