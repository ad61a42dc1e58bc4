#pragma once
// Writes a workbook as an Office Open XML spreadsheet (.xlsx, ECMA-376) with libxlsxwriter.

#include <filesystem>

#include "excel_instance.hpp"

namespace lumora::excel {

// Writes `workbook` to `file`, replacing it; the library's scratch files go to `scratchFolder`.
// Text is always written as text, never as a formula: text that a formula would begin with
// ("=", "+", "-", "@") is marked so the spreadsheet keeps it as typed even when the user edits
// the cell (OWASP: CSV and formula injection). Error 75 when the file cannot be written.
void writeXlsx(const Workbook& workbook, const std::filesystem::path& file, const std::filesystem::path& scratchFolder);

}  // namespace lumora::excel
