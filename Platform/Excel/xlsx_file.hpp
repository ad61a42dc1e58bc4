#pragma once
// Writes a workbook as an Office Open XML spreadsheet (.xlsx, ECMA-376) with libxlsxwriter.

#include <filesystem>

#include "excel_instance.hpp"

namespace lumora::excel {

// Writes `workbook` to `file`, replacing it; the library's scratch files go to `scratchFolder`.
// Text is always written as a string cell, never as a formula, whatever it begins with ("=",
// "+", "-", "@"): the spreadsheet shows it as typed and evaluates nothing (OWASP: CSV and
// formula injection). Numbers carry their cell's number format. Error 75 when the file cannot
// be written.
void writeXlsx(const Workbook& workbook, const std::filesystem::path& file, const std::filesystem::path& scratchFolder);

}  // namespace lumora::excel
