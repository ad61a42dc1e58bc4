#pragma once
// The spreadsheet's own errors: one table. Script sees Excel's numbers, so a caller written
// against the real application tests them the same way.

#include <string_view>

#include "Automation/error_table.hpp"

namespace lumora::excel {

inline constexpr std::string_view kExcelErrorSource = "Lumora.Excel";

enum class ExcelError {
    ObjectDefined,       // a row, column or width outside the sheet's limits
    ColumnWidth,         // a width outside 0 to 255
    WholeSheetValue,     // a value, font or width asked of every cell at once
    NotANumber,          // a number that no cell can hold (infinite, not a number)
    FileNotWritten,      // the workbook's file could not be written
};

// Excel answers an unusable address or value with 1004, whatever the member.
inline constexpr int32_t kApplicationDefinedError = 1004;

inline constexpr ErrorEntry<ExcelError> kExcelErrors[] = {
    {ExcelError::ObjectDefined, kApplicationDefinedError, kExcelErrorSource, "Application-defined or object-defined error"},
    {ExcelError::ColumnWidth, kApplicationDefinedError, kExcelErrorSource, "Unable to set the ColumnWidth property of the Range class"},
    {ExcelError::WholeSheetValue, kApplicationDefinedError, kExcelErrorSource, "Application-defined or object-defined error: every cell of the sheet at once is not supported"},
    {ExcelError::NotANumber, kApplicationDefinedError, kExcelErrorSource, "Application-defined or object-defined error: a cell cannot hold {}"},
    {ExcelError::FileNotWritten, RuntimeError::PathFileAccessError, kExcelErrorSource, ""},
};

constexpr std::span<const ErrorEntry<ExcelError>> errorTable(ExcelError) { return kExcelErrors; }

}  // namespace lumora::excel
