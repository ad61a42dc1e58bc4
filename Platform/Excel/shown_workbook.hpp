#pragma once
// Showing a workbook to the user: it is written as a .xlsx under a fresh name in the user's
// Lumora documents folder (Book1.xlsx, Book2.xlsx …) and handed to the Desktop, which opens it
// in the person's spreadsheet program, records it, or offers it for download to the page.

#include <filesystem>

#include "excel_instance.hpp"

namespace lumora::excel {

// The file written. Never overwrites a file of the folder, and never leaves a half-written
// one under a workbook's name. Errors: 76 without a documents folder, 75 when writing fails.
std::filesystem::path saveInDocuments(const Workbook& workbook);

// saveInDocuments, then Desktop::show; a workbook opened from a file shows that file. Never throws: a workbook that could not be written is
// still shown, without a file and with the reason, so the user learns what became of it.
void showWorkbook(const Workbook& workbook) noexcept;

}  // namespace lumora::excel
