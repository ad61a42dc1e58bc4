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

namespace {

// The cell's w:vMerge, if it takes part in a vertical merge.
xmlNode* verticalMerge(const xmlNode* cell) { return ml::firstChild(ml::firstChild(cell, "tcPr"), "vMerge"); }

}  // namespace

bool continuesMerge(const XmlNode* cell) {
    const xmlNode* merge = verticalMerge(cell);
    return merge && ml::attr(merge, "val") != "restart";
}

bool inVerticalMerge(const XmlNode* cell) { return verticalMerge(cell) != nullptr; }

XmlNode* cell(const std::vector<XmlNode*>& tableRows, int32_t row, int32_t column) {
    if (row < 1 || row > static_cast<int32_t>(tableRows.size())) raise(WordError::NoSuchMember);
    const auto rowCells = cells(tableRows[static_cast<size_t>(row - 1)]);
    if (column < 1 || column > static_cast<int32_t>(rowCells.size())) raise(WordError::NoSuchMember);
    XmlNode* found = rowCells[static_cast<size_t>(column - 1)];
    // Like a grid column covered by a horizontal span, a cell covered by the merged cell above
    // is no member of the table; the first row has nothing above to continue.
    if (row > 1 && continuesMerge(found)) raise(WordError::NoSuchMember);
    return found;
}

namespace {

// An empty cell shaped like `model`: its properties, and one empty paragraph with the
// properties of its first paragraph and the run properties of that paragraph's first run.
// A new row joins a vertical merge only when it goes inside one: before a row that continues
// it. Appended at the end, or put above a merge's first row, its cell stands on its own.
xmlNode* emptyCellLike(xmlNode* model, bool insideMerge) {
    xmlDoc* doc = model->doc;
    xmlNode* fresh = ml::make(doc, "tc");
    if (xmlNode* properties = ml::firstChild(model, "tcPr")) {
        xmlAddChild(fresh, ml::copy(properties));
        if (!(insideMerge && continuesMerge(model)))
            if (xmlNode* merge = verticalMerge(fresh)) ml::remove(merge);
    }
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

XmlNode* modelRow(XmlNode* table, XmlNode* before) {
    if (before) return before;
    // From the table's end: a list table grows by thousands of rows.
    xmlNode* last = table->last;
    while (last && !ml::is(last, "tr")) last = last->prev;
    if (!last) raise(WordError::NoSuchMember);
    return last;
}

XmlNode* addRow(XmlNode* table, XmlNode* before) {
    xmlNode* model = modelRow(table, before);
    xmlNode* row = ml::make(model->doc, "tr");
    for (const char* kept : {"tblPrEx", "trPr"})
        if (xmlNode* properties = ml::firstChild(model, kept)) xmlAddChild(row, ml::copy(properties));
    for (XmlNode* modelCell : cells(model)) xmlAddChild(row, emptyCellLike(modelCell, before != nullptr));
    if (before)
        xmlAddPrevSibling(before, row);
    else
        xmlAddNextSibling(model, row);
    return row;
}

}  // namespace lumora::word::table
