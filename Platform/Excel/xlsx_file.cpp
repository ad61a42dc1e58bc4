#include "xlsx_file.hpp"

#include <xlsxwriter.h>

#include <array>
#include <cmath>
#include <memory>

#include "excel_errors.hpp"

namespace lumora::excel {

namespace {

// An unfinished workbook is closed (and its partial file left for the caller to remove) when
// writing stops half-way; a finished one is closed by hand to learn whether the file was made.
struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const noexcept { workbook_close(workbook); }
};
using WorkbookHandle = std::unique_ptr<lxw_workbook, WorkbookCloser>;

[[noreturn]] void notWritten(const std::filesystem::path& file, lxw_error error) {
    raise(ExcelError::FileNotWritten, file.string() + ": " + lxw_strerror(error));
}

// The formats cells need, made once per workbook on first use (the workbook owns them).
class Formats {
public:
    explicit Formats(lxw_workbook* workbook) : m_workbook(workbook) {}

    lxw_format* of(bool bold, bool date, bool dateWithTime) {
        const size_t index = (bold ? 1 : 0) | (date ? 2 : 0) | (dateWithTime ? 4 : 0);
        if (index == 0) return nullptr;
        lxw_format*& format = m_made[index];
        if (!format) {
            format = workbook_add_format(m_workbook);
            if (bold) format_set_bold(format);
            if (date) format_set_num_format(format, dateWithTime ? "yyyy-mm-dd hh:mm:ss" : "yyyy-mm-dd");
        }
        return format;
    }

private:
    lxw_workbook* m_workbook;
    std::array<lxw_format*, 8> m_made{};
};

lxw_error writeCell(lxw_worksheet* sheet, Formats& formats, CellAddress address, const Cell& cell) {
    const auto row = static_cast<lxw_row_t>(address.row - 1);
    const auto column = static_cast<lxw_col_t>(address.column - 1);
    const Variant& value = cell.value;
    switch (value.type()) {
        case VarType::String:
            if (!value.str().empty())
                return worksheet_write_string(sheet, row, column, value.str().c_str(), formats.of(cell.bold, false, false));
            break;
        case VarType::Bool:
            return worksheet_write_boolean(sheet, row, column, value.toBool() ? 1 : 0, formats.of(cell.bold, false, false));
        case VarType::I2:
        case VarType::I4:
        case VarType::R8: return worksheet_write_number(sheet, row, column, value.toR8(), formats.of(cell.bold, false, false));
        case VarType::Date: {
            // The file counts days from the same epoch as automation dates.
            const double days = value.toDate().days;
            const bool withTime = days != std::floor(days);
            return worksheet_write_number(sheet, row, column, days, formats.of(cell.bold, true, withTime));
        }
        default: break;
    }
    if (cell.bold) return worksheet_write_blank(sheet, row, column, formats.of(true, false, false));
    return LXW_NO_ERROR;
}

}  // namespace

void writeXlsx(const Workbook& workbook, const std::filesystem::path& file, const std::filesystem::path& scratchFolder) {
    std::string scratch = scratchFolder.string();
    lxw_workbook_options options{};
    options.tmpdir = scratch.data();
    WorkbookHandle handle(workbook_new_opt(file.c_str(), &options));
    if (!handle) notWritten(file, LXW_ERROR_CREATING_XLSX_FILE);
    Formats formats(handle.get());
    for (const auto& sheet : workbook.sheets) {
        lxw_worksheet* written = workbook_add_worksheet(handle.get(), sheet->name().c_str());
        if (!written) notWritten(file, LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
        for (const auto& [column, width] : sheet->columnWidths()) {
            const auto index = static_cast<lxw_col_t>(column - 1);
            if (lxw_error error = worksheet_set_column(written, index, index, width, nullptr)) notWritten(file, error);
        }
        for (const auto& [address, cell] : sheet->cells())
            if (lxw_error error = writeCell(written, formats, address, cell)) notWritten(file, error);
    }
    if (lxw_error error = workbook_close(handle.release())) notWritten(file, error);
}

}  // namespace lumora::excel
