#include "html_tables.hpp"

#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <optional>

#include "html_styles.hpp"
#include "table_model.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

enum Side { Top, Left, Bottom, Right, InsideH, InsideV, kSides };
constexpr std::array<std::array<const char*, 2>, kSides> kSideNames{
    {{"top", "top"}, {"left", "start"}, {"bottom", "bottom"}, {"right", "end"}, {"insideH", "insideH"}, {"insideV", "insideV"}}};
constexpr const char* kCssSides[] = {"top", "left", "bottom", "right"};

// Each side's CSS border ("0.5pt solid #000000", "none"), where something defines it.
using Borders = std::array<std::optional<std::string>, kSides>;
// Each side's padding in twips.
using Margins = std::array<std::optional<int>, 4>;

int integer(const std::string& text, int fallback) { return markupInteger(text).value_or(fallback); }

// One border element (ECMA-376-1, 17.4.38 and its siblings): w:val the line, w:sz its width
// in eighths of a point, w:color its colour.
std::string borderCss(const xmlNode* border) {
    const std::string line = ml::attr(border, "val");
    if (line.empty() || line == "nil" || line == "none") return "none";
    const double points = std::clamp(integer(ml::attr(border, "sz"), 4), 2, 96) / 8.0;
    std::string style = "solid";
    if (line == "double") style = "double";
    else if (line == "dotted") style = "dotted";
    else if (line.find("dash") != std::string::npos) style = "dashed";
    else if (line == "inset" || line == "outset") style = line;
    // A double line needs room for two lines and the gap between them.
    const double width = style == "double" ? std::max(points * 3, 2.25) : points;
    const std::optional<std::string> color = hexColor(ml::attr(border, "color"));
    return decimal(width) + "pt " + style + " #" + color.value_or("000000");
}

void readBorders(const xmlNode* borders, Borders& into) {
    if (!borders) return;
    for (int side = 0; side < kSides; ++side)
        for (const char* name : kSideNames[side])
            if (const xmlNode* border = ml::firstChild(borders, name)) {
                into[side] = borderCss(border);
                break;
            }
}

void readMargins(const xmlNode* margins, Margins& into) {
    if (!margins) return;
    for (int side = 0; side < 4; ++side)
        for (const char* name : kSideNames[side])
            if (const xmlNode* margin = ml::firstChild(margins, name)) {
                if (ml::attr(margin, "type") == "dxa" || ml::attr(margin, "type").empty())
                    into[side] = std::clamp(integer(ml::attr(margin, "w"), 0), 0, 31680);
                break;
            }
}

// A width element (w:tblW, w:tcW) as CSS: twips as points, fiftieths of a percent (or "50%")
// as a percentage; empty for auto.
std::string widthCss(const xmlNode* width) {
    if (!width) return {};
    const std::string type = ml::attr(width, "type");
    const std::string value = ml::attr(width, "w");
    if (type == "pct") {
        const double percent = value.find('%') != std::string::npos ? integer(value.substr(0, value.find('%')), 0)
                                                                     : integer(value, 0) / 50.0;
        return percent > 0 ? decimal(std::min(percent, 100.0)) + "%" : std::string();
    }
    if (type == "dxa" || type.empty()) {
        const int twips = std::clamp(integer(value, 0), 0, 31680);
        return twips > 0 ? twipsAsPoints(twips) : std::string();
    }
    return {};
}

void declare(std::string& css, const std::string& property, const std::string& value) {
    if (!css.empty()) css += ';';
    css += property + ":" + value;
}

struct TableLook {
    Borders borders;
    Margins margins{std::nullopt, 108, std::nullopt, 108};  // the word processor's own cell margins
};

TableLook tableLook(const xmlNode* tblPr, const StyleSheet& styles) {
    TableLook look;
    for (const XmlNode* styleProperties : styles.tableStyleProperties(styleIdOf(tblPr, "tblStyle"))) {
        readBorders(ml::firstChild(styleProperties, "tblBorders"), look.borders);
        readMargins(ml::firstChild(styleProperties, "tblCellMar"), look.margins);
    }
    readBorders(ml::firstChild(tblPr, "tblBorders"), look.borders);
    readMargins(ml::firstChild(tblPr, "tblCellMar"), look.margins);
    return look;
}

std::string tableCss(const xmlNode* tblPr) {
    std::string css = "border-collapse:collapse";
    if (const std::string width = widthCss(ml::firstChild(tblPr, "tblW")); !width.empty()) declare(css, "width", width);
    const std::string alignment = ml::attr(ml::firstChild(tblPr, "jc"), "val");
    if (alignment == "center") declare(css, "margin", "0 auto");
    else if (alignment == "right" || alignment == "end") declare(css, "margin-left", "auto");
    else if (const xmlNode* indent = ml::firstChild(tblPr, "tblInd"))
        if (const int twips = std::clamp(integer(ml::attr(indent, "w"), 0), -31680, 31680); twips != 0)
            declare(css, "margin-left", twipsAsPoints(twips));
    if (std::optional<std::string> fill = shadingFill(ml::firstChild(tblPr, "shd")); fill && *fill != "transparent")
        declare(css, "background-color", "#" + *fill);
    return css;
}

int gridSpan(const xmlNode* tcPr) { return std::clamp(integer(ml::attr(ml::firstChild(tcPr, "gridSpan"), "val"), 1), 1, 1000); }

struct PlacedCell {
    XmlNode* cell;
    int column;  // the first grid column it covers
    int span;
};

std::vector<PlacedCell> placeCells(XmlNode* row) {
    std::vector<PlacedCell> placed;
    int column = std::clamp(integer(ml::attr(ml::firstChild(ml::firstChild(row, "trPr"), "gridBefore"), "val"), 0), 0, 1000);
    for (XmlNode* cell : table::cells(row)) {
        const int span = gridSpan(ml::firstChild(cell, "tcPr"));
        placed.push_back({cell, column, span});
        column += span;
    }
    return placed;
}

std::string cellCss(const PlacedCell& placed, const TableLook& look, bool firstRow, bool lastRow, int lastColumn) {
    const xmlNode* tcPr = ml::firstChild(placed.cell, "tcPr");
    Borders sides{};
    sides[Top] = firstRow ? look.borders[Top] : look.borders[InsideH];
    sides[Bottom] = lastRow ? look.borders[Bottom] : look.borders[InsideH];
    sides[Left] = placed.column == 0 ? look.borders[Left] : look.borders[InsideV];
    sides[Right] = placed.column + placed.span > lastColumn ? look.borders[Right] : look.borders[InsideV];
    readBorders(ml::firstChild(tcPr, "tcBorders"), sides);
    Margins margins = look.margins;
    readMargins(ml::firstChild(tcPr, "tcMar"), margins);

    std::string css;
    if (const std::string width = widthCss(ml::firstChild(tcPr, "tcW")); !width.empty()) declare(css, "width", width);
    for (int side = 0; side < 4; ++side)
        if (sides[side] && *sides[side] != "none") declare(css, std::string("border-") + kCssSides[side], *sides[side]);
    declare(css, "padding", boxTwips(margins[Top].value_or(0), margins[Right].value_or(0), margins[Bottom].value_or(0),
                                     margins[Left].value_or(0)));
    const std::string vertical = ml::attr(ml::firstChild(tcPr, "vAlign"), "val");
    declare(css, "vertical-align", vertical == "center" ? "middle" : vertical == "bottom" ? "bottom" : "top");
    if (std::optional<std::string> fill = shadingFill(ml::firstChild(tcPr, "shd")); fill && *fill != "transparent")
        declare(css, "background-color", "#" + *fill);
    return css;
}

}  // namespace

HtmlTable layoutTable(XmlNode* tbl, const StyleSheet& styles) {
    const xmlNode* tblPr = ml::firstChild(tbl, "tblPr");
    const TableLook look = tableLook(tblPr, styles);
    HtmlTable out;
    out.css = tableCss(tblPr);

    std::vector<std::vector<PlacedCell>> grid;
    int lastColumn = 0;
    for (XmlNode* row : table::rows(tbl)) {
        grid.push_back(placeCells(row));
        for (const PlacedCell& placed : grid.back()) lastColumn = std::max(lastColumn, placed.column + placed.span - 1);
    }
    for (size_t r = 0; r < grid.size(); ++r) {
        out.rows.emplace_back();
        for (const PlacedCell& placed : grid[r]) {
            if (r > 0 && table::continuesMerge(placed.cell)) continue;  // drawn by the cell above
            int rowSpan = 1;
            if (table::inVerticalMerge(placed.cell))
                for (size_t below = r + 1; below < grid.size(); ++below) {
                    auto same = std::find_if(grid[below].begin(), grid[below].end(),
                                             [&](const PlacedCell& other) { return other.column == placed.column; });
                    if (same == grid[below].end() || !table::continuesMerge(same->cell)) break;
                    ++rowSpan;
                }
            const bool lastRow = r + static_cast<size_t>(rowSpan) == grid.size();
            out.rows.back().push_back(
                HtmlCell{placed.cell, placed.span, rowSpan, cellCss(placed, look, r == 0, lastRow, lastColumn)});
        }
    }
    return out;
}

}  // namespace lumora::word
