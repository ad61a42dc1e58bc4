#include "worksheet.hpp"

#include <cmath>
#include <optional>

#include "Automation/error.hpp"
#include "cell_number.hpp"
#include "excel_errors.hpp"

namespace lumora::excel {

std::string cutToCellLimit(std::string text) {
    if (text.size() <= kMaxCellCharacters) return text;  // fewer bytes than the limit's characters
    size_t units = 0;
    size_t position = 0;
    while (position < text.size()) {
        const auto lead = static_cast<unsigned char>(text[position]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        // Characters beyond the basic plane take two code units in the file's count.
        const size_t characterUnits = length == 4 ? 2 : 1;
        if (units + characterUnits > kMaxCellCharacters) break;
        units += characterUnits;
        position += length;
    }
    text.resize(std::min(position, text.size()));
    return text;
}

CellAddress Worksheet::checkedAddress(int64_t row, int64_t column) {
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) raise(ExcelError::ObjectDefined);
    return CellAddress{static_cast<int32_t>(row), static_cast<int32_t>(column)};
}

Variant Worksheet::value(CellAddress address) const {
    const auto found = m_cells.find(address);
    return found == m_cells.end() ? Variant() : found->second.value;
}

void Worksheet::setValue(CellAddress address, const Variant& value, const desktop::NumberConventions& conventions) {
    Variant kept;
    std::optional<std::string> format;
    switch (value.type()) {
        case VarType::Empty:
        case VarType::Null:
        case VarType::Missing: break;
        case VarType::String:
            if (const std::optional<CellNumber> number = readCellNumber(value.str(), conventions)) {
                kept = Variant(number->value);
                format = number->format;
            } else {
                kept = Variant(cutToCellLimit(value.str()));
            }
            break;
        case VarType::R8:
            if (!std::isfinite(value.toR8())) raise(ExcelError::NotANumber, value.toString());
            kept = value;
            break;
        case VarType::Bool:
        case VarType::I2:
        case VarType::I4:
        case VarType::Date: kept = value; break;
        case VarType::Object:
        case VarType::Array: raise(RuntimeError::TypeMismatch);
    }
    Cell& cell = m_cells[address];
    cell.value = std::move(kept);
    // A number typed as text brings its format; other values keep the cell's format, as a
    // formatted cell keeps its format whatever is put in it.
    if (format) cell.numberFormat = std::move(*format);
    ++m_changes;
}

std::string Worksheet::numberFormat(CellAddress address) const {
    const auto found = m_cells.find(address);
    return found == m_cells.end() || found->second.numberFormat.empty() ? "General" : found->second.numberFormat;
}

bool Worksheet::bold(CellAddress address) const {
    const auto found = m_cells.find(address);
    return found != m_cells.end() && found->second.bold;
}

void Worksheet::setBold(CellAddress address, bool bold) {
    m_cells[address].bold = bold;
    ++m_changes;
}

double Worksheet::columnWidth(int32_t column) const {
    const auto found = m_widths.find(column);
    return found == m_widths.end() ? kDefaultColumnWidth : found->second;
}

void Worksheet::setColumnWidth(int32_t column, double width) {
    if (!(width >= 0 && width <= kMaxColumnWidth)) raise(ExcelError::ColumnWidth);
    m_widths[column] = width;
    ++m_changes;
}

}  // namespace lumora::excel
