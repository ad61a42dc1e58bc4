// The list data of the seminar record: finding the list a Word table's header names, and
// filling that table with one row per list item through Word's table object model
// (Columns.Count, Rows.Count, Rows.Add, Cell(r, c).Range.Text).

#include <cstdint>
#include <string>
#include <vector>

#include "Automation/cancellation.hpp"
#include "Automation/vb/strings.hpp"
#include "record_tags.hpp"

namespace lumora::control {

namespace {

constexpr int32_t kElementNode = 1;

// The element children of a node: the items of a list and the fields of an item.
std::vector<Object> elementChildrenOf(const Object& node) {
    std::vector<Object> children;
    for (const Variant& child : node.getObject("childNodes").elements()) {
        Object object = child.toObject();
        if (object.get("nodeType").toI4() == kElementNode) children.push_back(std::move(object));
    }
    return children;
}

// An XPath string literal holding `text`, whatever quotes it contains (XPath 1.0 has no
// escapes inside literals, so a text with both kinds is built with concat()).
std::string xpathLiteral(const std::string& text) {
    if (text.find('\'') == std::string::npos) return "'" + text + "'";
    if (text.find('"') == std::string::npos) return "\"" + text + "\"";
    std::string joined = "concat(";
    size_t start = 0;
    for (size_t quote = text.find('\''); quote != std::string::npos; quote = text.find('\'', start)) {
        joined += "'" + text.substr(start, quote - start) + "', \"'\", ";
        start = quote + 1;
    }
    return joined + "'" + text.substr(start) + "')";
}

Object cellRange(const Object& table, int32_t row, int32_t column) {
    return table.call("Cell", row, column).toObject().getObject("Range");
}

// The key of a column whose header reads "<list_key>": the lower-cased text between the first
// "_" and the closing bracket. "" for a header of any other form.
std::string columnKey(const std::string& header) {
    if (vb::left(header, 1) != "<" || vb::right(header, 1) != ">") return std::string();
    const int32_t underscore = vb::inStr(header, "_");
    if (underscore == 0) return std::string();
    return vb::lCase(vb::mid(header, underscore + 1, vb::len(header) - underscore - 1));
}

bool fieldMatches(const Object& field, const std::string& key) {
    for (const char* attribute : {"templatetag", "templatetag2", "label"})
        if (vb::lCase(GetAttributeText(field, attribute)) == key) return true;
    return false;
}

// Writes, for each keyed column, the named attribute of every matching field of the item into
// the cell of that row; the last match wins.
void writeItemRow(const Object& table, int32_t row, const std::vector<std::string>& keys, const Object& item,
                  const char* attribute) {
    const std::vector<Object> fields = elementChildrenOf(item);
    for (size_t column = 1; column < keys.size(); ++column) {
        if (keys[column].empty()) continue;
        for (const Object& field : fields)
            if (fieldMatches(field, keys[column]))
                cellRange(table, row, static_cast<int32_t>(column)).put("Text", GetAttributeText(field, attribute));
    }
}

}  // namespace

std::string CleanCellText(std::string_view text) {
    std::string cleaned(text);
    // Control characters are single bytes in UTF-8, so no multi-byte character is touched.
    for (char& c : cleaned)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return vb::trim(cleaned);
}

Object FindListItems(const Object& recordDocument, std::string_view headerTag) {
    std::string key = vb::mid(headerTag, 2);
    const int32_t underscore = vb::inStr(key, "_");
    key = underscore <= 1 ? vb::left(key, vb::len(key) - 1) : vb::left(key, underscore - 1);
    const std::string path = "record/listitemname[@listkey=" + xpathLiteral(key) + "]";
    return recordDocument.call("selectSingleNode", path).toObject();
}

void FillListTable(const Object& table, const Object& listElement) {
    const int32_t columns = table.getObject("Columns").get("Count").toI4();
    std::vector<std::string> keys(static_cast<size_t>(columns) + 1);
    for (int32_t column = 1; column <= columns; ++column)
        keys[static_cast<size_t>(column)] =
            columnKey(CleanCellText(cellRange(table, 1, column).get("Text").toString()));

    const std::vector<Object> items = elementChildrenOf(listElement);
    const Object rows = table.getObject("Rows");
    for (int32_t row = rows.get("Count").toI4(); row <= static_cast<int32_t>(items.size()); ++row) {
        checkCancelled();
        rows.call("Add");
    }

    int32_t row = 2;
    for (const Object& item : items) {
        checkCancelled();
        writeItemRow(table, row++, keys, item, "value");
    }
    if (!items.empty()) writeItemRow(table, 1, keys, items.front(), "label");
}

}  // namespace lumora::control
