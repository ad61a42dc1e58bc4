#pragma once
// A worksheet as the stand-in keeps it: the cells written (value and bold) and the column
// widths set. Cells keep exactly what was written, so Value reads back what script put, and
// the .xlsx writer reads the same cells in row order.

#include <compare>
#include <cstdint>
#include <map>
#include <string>

#include "Automation/variant.hpp"
#include "Platform/Desktop/desktop.hpp"

namespace lumora::excel {

// The sheet's limits, as the file format and the user's spreadsheet program have them.
inline constexpr int32_t kMaxRows = 1048576;
inline constexpr int32_t kMaxColumns = 16384;
// A cell holds at most this many characters (UTF-16 code units, as the spreadsheet counts them).
inline constexpr size_t kMaxCellCharacters = 32767;
inline constexpr double kDefaultColumnWidth = 8.43;
inline constexpr double kMaxColumnWidth = 255;

// 1-based, as script addresses cells.
struct CellAddress {
    int32_t row = 1;
    int32_t column = 1;
    friend auto operator<=>(const CellAddress&, const CellAddress&) = default;
};

struct Cell {
    Variant value;  // Empty, Bool, a number, Date or String
    bool bold = false;
    std::string numberFormat;  // empty: General
};

// Text cut to what one cell holds, never inside a character.
std::string cutToCellLimit(std::string text);

class Worksheet {
public:
    explicit Worksheet(std::string name) : m_name(std::move(name)) {}

    const std::string& name() const { return m_name; }

    // 1004 for an address outside the sheet.
    static CellAddress checkedAddress(int64_t row, int64_t column);

    Variant value(CellAddress address) const;
    // Numbers stay numbers, and text that reads as a number in the user's locale becomes one
    // with the number format it was typed in (see cell_number.hpp); all other text stays text,
    // whole: nothing written is ever read as a formula. Empty and Null clear the cell's value.
    // Objects and arrays give 13.
    void setValue(CellAddress address, const Variant& value, const desktop::NumberConventions& conventions);
    // The cell's number format in the file's notation, "General" when none was set.
    std::string numberFormat(CellAddress address) const;
    bool bold(CellAddress address) const;
    void setBold(CellAddress address, bool bold);

    double columnWidth(int32_t column) const;
    // 1004 outside 0 to 255.
    void setColumnWidth(int32_t column, double width);

    // How many times the sheet was changed: a workbook shown unchanged is not shown again.
    uint64_t changes() const { return m_changes; }
    const std::map<CellAddress, Cell>& cells() const { return m_cells; }
    const std::map<int32_t, double>& columnWidths() const { return m_widths; }

private:
    std::string m_name;
    std::map<CellAddress, Cell> m_cells;
    std::map<int32_t, double> m_widths;
    uint64_t m_changes = 0;
};

}  // namespace lumora::excel
