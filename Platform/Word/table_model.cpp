#include "table_model.hpp"

#include "Automation/error.hpp"
#include "wordml.hpp"
#include "word_errors.hpp"

namespace lumora::word::table {

std::vector<XmlNode*> rows(XmlNode* table) {
    std::vector<XmlNode*> out;
    for (xmlNode* child = table->children; child; child = child->next)
        if (ml::is(child, "tr")) out.push_back(child);
    return out;
}

std::vector<XmlNode*> cells(XmlNode* row) {
    std::vector<XmlNode*> out;
    for (xmlNode* child = row->children; child; child = child->next)
        if (ml::is(child, "tc")) out.push_back(child);
    return out;
}

int32_t columnCount(XmlNode* table) {
    int32_t grid = 0;
    for (xmlNode* column = ml::firstElement(ml::firstChild(table, "tblGrid")); column; column = ml::nextElement(column))
        if (ml::is(column, "gridCol")) ++grid;
    if (grid > 0) return grid;
    int32_t widest = 0;
    for (XmlNode* row : rows(table)) widest = std::max(widest, static_cast<int32_t>(cells(row).size()));
    return widest;
}

XmlNode* cell(XmlNode* table, int32_t row, int32_t column) {
    const auto allRows = rows(table);
    if (row < 1 || row > static_cast<int32_t>(allRows.size())) raise(WordError::NoSuchMember);
    const auto rowCells = cells(allRows[static_cast<size_t>(row - 1)]);
    if (column < 1 || column > static_cast<int32_t>(rowCells.size())) raise(WordError::NoSuchMember);
    return rowCells[static_cast<size_t>(column - 1)];
}

namespace {

// An empty cell shaped like `model`: its properties, and one empty paragraph with the
// properties of its first paragraph and the run properties of that paragraph's first run.
xmlNode* emptyCellLike(xmlNode* model) {
    xmlDoc* doc = model->doc;
    xmlNode* fresh = ml::make(doc, "tc");
    if (xmlNode* properties = ml::firstChild(model, "tcPr")) xmlAddChild(fresh, ml::copy(properties));
    xmlNode* paragraph = ml::make(doc, "p");
    xmlAddChild(fresh, paragraph);
    if (xmlNode* first = ml::firstChild(model, "p")) {
        if (xmlNode* properties = ml::firstChild(first, "pPr")) xmlAddChild(paragraph, ml::copy(properties));
        if (xmlNode* runProperties = ml::firstChild(ml::firstChild(first, "r"), "rPr")) {
            xmlNode* run = ml::make(doc, "r");
            xmlAddChild(run, ml::copy(runProperties));
            xmlAddChild(paragraph, run);
        }
    }
    return fresh;
}

}  // namespace

XmlNode* addRow(XmlNode* table, XmlNode* before) {
    const auto allRows = rows(table);
    if (allRows.empty()) raise(WordError::NoSuchMember);
    xmlNode* model = before ? before : allRows.back();
    xmlNode* row = ml::make(model->doc, "tr");
    for (const char* kept : {"tblPrEx", "trPr"})
        if (xmlNode* properties = ml::firstChild(model, kept)) xmlAddChild(row, ml::copy(properties));
    for (XmlNode* modelCell : cells(model)) xmlAddChild(row, emptyCellLike(modelCell));
    if (before)
        xmlAddPrevSibling(before, row);
    else
        xmlAddNextSibling(allRows.back(), row);
    return row;
}


}  // namespace lumora::word::table
