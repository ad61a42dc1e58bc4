#include "xlsx_file.hpp"

#include <xlsxwriter.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <utility>

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

// The formats cells need, made once per workbook on first use (the workbook owns them): bold or
// not, with a number format or General.
class Formats {
public:
    explicit Formats(lxw_workbook* workbook) : m_workbook(workbook) {}

    lxw_format* of(bool bold, const std::string& numberFormat) {
        if (!bold && numberFormat.empty()) return nullptr;
        lxw_format*& format = m_made[{bold, numberFormat}];
        if (!format) {
            format = workbook_add_format(m_workbook);
            if (bold) format_set_bold(format);
            if (!numberFormat.empty()) format_set_num_format(format, numberFormat.c_str());
        }
        return format;
    }

private:
    lxw_workbook* m_workbook;
    std::map<std::pair<bool, std::string>, lxw_format*> m_made;
};

std::string dateFormat(double days) {
    return days != std::floor(days) ? "yyyy-mm-dd hh:mm:ss" : "yyyy-mm-dd";
}

lxw_error writeCell(lxw_worksheet* sheet, Formats& formats, CellAddress address, const Cell& cell) {
    const auto row = static_cast<lxw_row_t>(address.row - 1);
    const auto column = static_cast<lxw_col_t>(address.column - 1);
    const Variant& value = cell.value;
    lxw_format* const format = formats.of(cell.bold, cell.numberFormat);
    switch (value.type()) {
        case VarType::String:
            if (!value.str().empty()) return worksheet_write_string(sheet, row, column, value.str().c_str(), format);
            break;
        case VarType::Bool: return worksheet_write_boolean(sheet, row, column, value.toBool() ? 1 : 0, format);
        case VarType::I2:
        case VarType::I4:
        case VarType::R8: return worksheet_write_number(sheet, row, column, value.toR8(), format);
        case VarType::Date: {
            // The file counts days from the same epoch as automation dates.
            const double days = value.toDate().days;
            return worksheet_write_number(sheet, row, column, days, formats.of(cell.bold, dateFormat(days)));
        }
        default: break;
    }
    if (format) return worksheet_write_blank(sheet, row, column, format);
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
