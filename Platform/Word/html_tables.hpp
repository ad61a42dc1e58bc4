#pragma once
// A table's layout as the web page draws it: its borders and shading as the document defines
// them (the table style's chain, the table's own w:tblBorders, each cell's w:tcBorders), cell
// widths, padding and vertical alignment, horizontally merged cells as colspan and vertically
// merged ones as rowspan. A table whose borders are nil or never defined draws no lines,
// as the word processor shows it.

#include <string>
#include <vector>

#include "style_sheet.hpp"

namespace lumora::word {

struct HtmlCell {
    XmlNode* cell = nullptr;  // w:tc, whose blocks go inside
    int columnSpan = 1;
    int rowSpan = 1;
    std::string css;
};

struct HtmlTable {
    std::string css;
    std::vector<std::vector<HtmlCell>> rows;
};

HtmlTable layoutTable(XmlNode* table, const StyleSheet& styles);

}  // namespace lumora::word
