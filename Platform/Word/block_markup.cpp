#include "block_markup.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "wordml.hpp"

namespace lumora::word {

namespace {

// The narrowest and widest column written: a column the page made narrower would not show
// a character, and the widest page the word processor lays out is 22 inches.
constexpr int32_t kNarrowestColumn = 120;
constexpr int32_t kWidestColumn = 22 * 1440;
// What a cell's default margins (0.075 inch each side) take from a table nested in it.
constexpr int32_t kCellMargins = 2 * 108;

xmlNode* add(xmlNode* parent, const char* local) {
    xmlNode* node = ml::make(parent->doc, local);
    xmlAddChild(parent, node);
    return node;
}

void setAttribute(xmlNode* node, const char* local, const std::string& value) {
    xmlNewNsProp(node, node->ns, reinterpret_cast<const xmlChar*>(local), reinterpret_cast<const xmlChar*>(value.c_str()));
}

xmlNode* addValued(xmlNode* parent, const char* local, const std::string& value) {
    xmlNode* node = add(parent, local);
    setAttribute(node, "val", value);
    return node;
}

xmlNode* addWidth(xmlNode* parent, const char* local, int32_t twips) {
    xmlNode* node = add(parent, local);
    setAttribute(node, "w", std::to_string(twips));
    setAttribute(node, "type", "dxa");
    return node;
}

const char* justification(Alignment alignment) {
    switch (alignment) {
        case Alignment::Center: return "center";
        case Alignment::Right: return "right";
        case Alignment::Justify: return "both";
        default: return "left";
    }
}

void writeRun(xmlNode* paragraph, const ImportedRun& run) {
    xmlNode* r = add(paragraph, "r");
    if (run.bold || run.italic) {
        xmlNode* properties = add(r, "rPr");
        if (run.bold) add(properties, "b");
        if (run.italic) add(properties, "i");
    }
    if (run.lineBreak) {
        add(r, "br");
        return;
    }
    // Tabs kept by preformatted text are tab elements between the texts.
    size_t at = 0;
    while (at <= run.text.size()) {
        const size_t tab = std::min(run.text.find('\t', at), run.text.size());
        if (tab > at) ml::setText(add(r, "t"), std::string_view(run.text).substr(at, tab - at));
        if (tab < run.text.size()) add(r, "tab");
        at = tab + 1;
    }
}

void writeParagraph(xmlNode* container, const ImportedParagraph& paragraph) {
    xmlNode* p = add(container, "p");
    if (paragraph.inCell || paragraph.alignment) {
        xmlNode* properties = add(p, "pPr");
        if (paragraph.inCell) {
            xmlNode* spacing = add(properties, "spacing");
            setAttribute(spacing, "before", "0");
            setAttribute(spacing, "after", "0");
        }
        if (paragraph.alignment) addValued(properties, "jc", justification(*paragraph.alignment));
    }
    for (const ImportedRun& run : paragraph.runs) writeRun(p, run);
}

void writeBlocks(xmlNode* container, const ImportedContent& blocks, int32_t textWidth);

// A cell's place in the grid: the imported cell, or the continuation of one spanning rows from
// above (cell null, continues true), or an empty cell filling a gap before such a continuation.
struct Placed {
    const ImportedCell* cell = nullptr;
    int32_t column = 0;
    int32_t span = 1;
    bool continues = false;
    bool startsMerge = false;
};

struct Grid {
    std::vector<std::vector<Placed>> rows;
    int32_t columns = 0;
};

// Lays the cells out as the page's table model does: each row's cells take the first columns
// not held by a cell spanning rows from above.
Grid placeCells(const ImportedTable& table) {
    struct Cover {
        int32_t rowsLeft = 0;
        int32_t span = 1;
    };
    std::vector<Cover> covers;  // by the column a row-spanning cell starts in
    Grid grid;
    const auto rowCount = static_cast<int32_t>(table.rows.size());
    for (int32_t r = 0; r < rowCount; ++r) {
        std::vector<Placed> placed;
        std::vector<std::pair<int32_t, Cover>> started;
        int32_t column = 0;
        const auto coveredAt = [&](int32_t c) { return c < static_cast<int32_t>(covers.size()) && covers[static_cast<size_t>(c)].rowsLeft > 0; };
        const auto skipCovered = [&] {
            while (coveredAt(column)) {
                const int32_t span = covers[static_cast<size_t>(column)].span;
                placed.push_back(Placed{nullptr, column, span, true, false});
                column += span;
            }
        };
        for (const ImportedCell& cell : table.rows[static_cast<size_t>(r)].cells) {
            skipCovered();
            const int32_t rows = cell.rowSpan == 0 ? rowCount - r : std::min(cell.rowSpan, rowCount - r);
            placed.push_back(Placed{&cell, column, cell.columnSpan, false, rows > 1});
            if (rows > 1) started.emplace_back(column, Cover{rows - 1, cell.columnSpan});
            column += cell.columnSpan;
        }
        // Cells spanning down into this row after its last own cell: a gap before one is filled.
        for (int32_t c = column; c < static_cast<int32_t>(covers.size()); ++c) {
            if (!coveredAt(c)) continue;
            for (; column < c; ++column) placed.push_back(Placed{nullptr, column, 1, false, false});
            skipCovered();
            c = column - 1;
        }
        for (Cover& cover : covers)
            if (cover.rowsLeft > 0) --cover.rowsLeft;
        for (const auto& [at, cover] : started) {
            if (covers.size() <= static_cast<size_t>(at)) covers.resize(static_cast<size_t>(at) + 1);
            covers[static_cast<size_t>(at)] = cover;
        }
        grid.columns = std::max(grid.columns, column);
        grid.rows.push_back(std::move(placed));
    }
    return grid;
}

int32_t twipsOf(const ImportedWidth& width, int32_t whole) {
    const double twips = width.unit == ImportedWidth::Percent ? whole * width.value / 100 : width.value;
    return static_cast<int32_t>(std::lround(std::clamp(twips, 0.0, double{kWidestColumn})));
}

// The grid's column widths: those the page gave (its column elements, else the first cell
// alone in a column that states one), the rest sharing what is left of the table's width, which
// is what the page gave it or the whole room.
std::vector<int32_t> columnWidths(const ImportedTable& table, const Grid& grid, int32_t room) {
    const auto columns = static_cast<size_t>(grid.columns);
    std::vector<std::optional<ImportedWidth>> given(table.columnWidths.begin(),
                                                    table.columnWidths.begin() + static_cast<ptrdiff_t>(std::min(columns, table.columnWidths.size())));
    given.resize(columns);
    for (const auto& row : grid.rows)
        for (const Placed& place : row)
            if (place.cell && place.span == 1 && place.cell->width && !given[static_cast<size_t>(place.column)])
                given[static_cast<size_t>(place.column)] = place.cell->width;
    const int32_t whole = table.width ? twipsOf(*table.width, room) : room;
    std::vector<int32_t> widths(columns, 0);
    int64_t known = 0;
    size_t unknown = 0;
    for (size_t c = 0; c < columns; ++c) {
        if (given[c]) {
            widths[c] = twipsOf(*given[c], whole);
            known += widths[c];
        } else {
            ++unknown;
        }
    }
    if (unknown > 0) {
        const int64_t share = (whole - known) / static_cast<int64_t>(unknown);
        for (size_t c = 0; c < columns; ++c)
            if (!given[c]) widths[c] = static_cast<int32_t>(std::max<int64_t>(share, kNarrowestColumn));
    } else if (table.width && known > 0) {
        // A table width the columns do not add up to wins, as it does in a browser.
        for (int32_t& width : widths) width = static_cast<int32_t>(int64_t{width} * whole / known);
    }
    for (int32_t& width : widths) width = std::clamp(width, kNarrowestColumn, kWidestColumn);
    return widths;
}

void writeBorders(xmlNode* tableProperties, bool visible) {
    xmlNode* borders = add(tableProperties, "tblBorders");
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        xmlNode* border = addValued(borders, side, visible ? "single" : "nil");
        if (!visible) continue;
        setAttribute(border, "sz", "4");
        setAttribute(border, "space", "0");
        setAttribute(border, "color", "auto");
    }
}

void writeCell(xmlNode* row, const Placed& place, const std::vector<int32_t>& widths) {
    xmlNode* cell = add(row, "tc");
    xmlNode* properties = add(cell, "tcPr");
    int32_t width = 0;
    for (int32_t c = place.column; c < place.column + place.span && c < static_cast<int32_t>(widths.size()); ++c)
        width += widths[static_cast<size_t>(c)];
    addWidth(properties, "tcW", width);
    if (place.span > 1) addValued(properties, "gridSpan", std::to_string(place.span));
    if (place.startsMerge) addValued(properties, "vMerge", "restart");
    if (place.continues) add(properties, "vMerge");
    if (place.cell && place.cell->verticalAlignment) {
        const VerticalAlignment align = *place.cell->verticalAlignment;
        addValued(properties, "vAlign", align == VerticalAlignment::Center ? "center" : align == VerticalAlignment::Bottom ? "bottom" : "top");
    }
    if (place.cell) writeBlocks(cell, place.cell->blocks, std::max(width - kCellMargins, kNarrowestColumn));
    // A cell ends with a paragraph, even one holding only a table or nothing.
    xmlNode* last = cell->last;
    if (!ml::is(last, "p")) writeParagraph(cell, ImportedParagraph{{}, std::nullopt, true});
}

void writeTable(xmlNode* container, const ImportedTable& table, int32_t room) {
    const Grid grid = placeCells(table);
    if (grid.columns == 0) return;
    const std::vector<int32_t> widths = columnWidths(table, grid, room);
    int32_t total = 0;
    for (int32_t width : widths) total += width;

    xmlNode* t = add(container, "tbl");
    xmlNode* properties = add(t, "tblPr");
    addWidth(properties, "tblW", total);
    writeBorders(properties, table.borders);
    // The columns keep the widths the page gave rather than being fitted to their contents.
    xmlNode* layout = add(properties, "tblLayout");
    setAttribute(layout, "type", "fixed");
    xmlNode* columns = add(t, "tblGrid");
    for (int32_t width : widths) setAttribute(add(columns, "gridCol"), "w", std::to_string(width));

    for (size_t r = 0; r < grid.rows.size(); ++r) {
        const std::vector<Placed>& placed = grid.rows[r];
        if (placed.empty()) continue;  // a row without cells has nothing to show
        xmlNode* row = add(t, "tr");
        const int32_t after = grid.columns - (placed.back().column + placed.back().span);
        if (after > 0 || table.rows[r].header) {
            xmlNode* rowProperties = add(row, "trPr");
            if (after > 0) addValued(rowProperties, "gridAfter", std::to_string(after));
            if (table.rows[r].header) add(rowProperties, "tblHeader");
        }
        for (const Placed& place : placed) writeCell(row, place, widths);
    }
}

void writeBlocks(xmlNode* container, const ImportedContent& blocks, int32_t textWidth) {
    for (const ImportedBlock& block : blocks) {
        if (const auto* paragraph = std::get_if<ImportedParagraph>(&block.content))
            writeParagraph(container, *paragraph);
        else
            writeTable(container, std::get<ImportedTable>(block.content), textWidth);
    }
}

}  // namespace

xml::NodeHandle blockMarkup(xml::XmlDoc* doc, const ImportedContent& content, int32_t textWidth) {
    xml::NodeHandle container(ml::make(doc, "body"));
    writeBlocks(container.get(), content, textWidth);
    return container;
}

}  // namespace lumora::word
