// The quote's line table, as the page shows it, copied into a new workbook of the Excel that
// CreateExcelApp started: one worksheet column per chosen page column, its caption in bold in the
// first row, the lines from the third row down. Excel is left open for the user.

#include <algorithm>
#include <optional>
#include <vector>

#include "Automation/cancellation.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"

namespace lumora::control {

namespace {

constexpr std::string_view kColumnDelimiter = "#~";
constexpr std::string_view kQuoteTableId = "QuoteTable";
constexpr std::string_view kCaptionColumnWidth = "20";

// The page's line table: the rows of the table's first section, each row's child nodes being
// its cells in column order. A row's cells are looked up once, however many columns are chosen.
class PageTable {
public:
    explicit PageTable(const Object& document) {
        const Object table = document.call("getElementById", kQuoteTableId).toObject();
        const Object body = table.getObject("children").item(0);
        m_rows = body.getObject("childNodes");
        m_rowCount = m_rows.get("length").toI4();
        // A section without rows still has a first row to ask for: Nothing, so the export stops.
        m_cells.resize(static_cast<size_t>(std::max(m_rowCount, 1)));
        m_columnCount = cellsOf(1).get("length").toI4();
    }

    int32_t rowCount() const { return m_rowCount; }
    int32_t columnCount() const { return m_columnCount; }

    // The text of a cell as shown (row and column 1-based).
    std::string text(int32_t row, int32_t column) {
        return cellsOf(row).item(column - 1).get("innerText").toString();
    }

private:
    const Object& cellsOf(int32_t row) {
        std::optional<Object>& cells = m_cells.at(static_cast<size_t>(row - 1));
        if (!cells) cells = m_rows.item(row - 1).getObject("childNodes");
        return *cells;
    }

    Object m_rows;
    int32_t m_rowCount = 0;
    int32_t m_columnCount = 0;
    std::vector<std::optional<Object>> m_cells;
};

void exportColumns(PageTable& page, const std::vector<std::string>& names, const Object& sheet) {
    // The sheet's cells, reached once: cells.item(r, c) is then one call per cell.
    const Object cells = sheet.getObject("cells");
    auto cellAt = [&](int32_t row, int32_t column) { return cells.getObject("item", row, column); };
    // The piece after the last delimiter is no column name: "Product#~Price" exports Product only.
    for (size_t k = 0; k + 1 < names.size(); ++k) {
        const std::string wanted = vb::lCase(names[k]);
        const auto sheetColumn = static_cast<int32_t>(k + 1);
        // Every page column with that caption is written; a later one overwrites an earlier.
        for (int32_t column = 1; column <= page.columnCount(); ++column) {
            const std::string caption = page.text(1, column);
            if (vb::lCase(caption) != wanted) continue;
            const Object captionCell = cellAt(1, sheetColumn);
            captionCell.getObject("Font").put("Bold", true);
            captionCell.put("Value", caption);
            captionCell.put("columnwidth", kCaptionColumnWidth);
            for (int32_t row = 2; row <= page.rowCount(); ++row) {
                checkCancelled();
                cellAt(row + 1, sheetColumn).put("Value", page.text(row, column));
            }
        }
    }
}

}  // namespace

Variant ExcelQuote(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    Object workbook;
    Object sheet;
    // Silent: any failure releases Excel and answers False; what was written stays, and Excel,
    // once shown, stays open with it.
    auto releaseAll = [&] {
        sheet.release();
        workbook.release();
        state.excel.ExcelApp.release();
    };
    return trapped(
        [&]() -> Variant {
            const std::vector<std::string> names = vb::split(params.str(1), kColumnDelimiter);
            PageTable page(params[0].toObject());
            state.excel.ExcelApp.put("Visible", true);
            workbook = state.excel.ExcelApp.getObject("Workbooks").call("Add").toObject();
            sheet = workbook.getObject("Worksheets", 1);
            exportColumns(page, names, sheet);
            releaseAll();
            return Variant(true);
        },
        [&](const Error&) {
            releaseAll();
            return falseResult();
        });
}

}  // namespace lumora::control
