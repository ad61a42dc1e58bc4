// The in-line line table through Word's table object model (Rows.Count, Rows.Add, Columns.Count,
// Cell(r, c).Range) and the record document's DOM.

#include "quote_inline_table.hpp"

#include <string>
#include <utility>
#include <vector>

#include "Automation/cancellation.hpp"
#include "Automation/vb/strings.hpp"
#include "quote_builder.hpp"

namespace lumora::control {

namespace {

constexpr std::string_view kQuoteFieldNode = "quotefield";

Object cellRange(const Object& table, int32_t row, int32_t column) {
    return table.call("Cell", row, column).toObject().getObject("Range");
}

// The key of a column: its header cell's text, lower-cased and made a key.
std::string columnKey(const Object& table, int32_t column) {
    return QuoteHeaderKey(vb::lCase(cellRange(table, 1, column).get("Text").toString()));
}

int32_t columnCount(const Object& table) { return table.getObject("Columns").get("Count").toI4(); }

// A line's attributes by name and value, in document order.
std::vector<std::pair<std::string, std::string>> attributesOf(const Object& line) {
    std::vector<std::pair<std::string, std::string>> attributes;
    for (const Variant& item : line.getObject("attributes").elements()) {
        const Object attribute = item.toObject();
        attributes.emplace_back(attribute.get("nodeName").toString(), attribute.get("nodeValue").toString());
    }
    return attributes;
}

// The caption a matching quote field gives its column: its label, or its name when the label
// is empty.
std::string captionOf(const Object& field) {
    std::string caption = NullToText(field.call("getAttribute", "label"));
    if (caption.empty()) caption = NullToText(field.call("getAttribute", "name"));
    return caption;
}

// The column key has "_" for every blank of the header cell, so a field tagged "Unit Price"
// names the column headed <Unit Price> once its blanks are read the same way.
bool tagMatches(const std::string& tag, const std::string& key) {
    const std::string lowered = vb::lCase(tag);
    return lowered == key || vb::replace(lowered, "_", " ") == key || vb::replace(lowered, " ", "_") == key;
}

}  // namespace

void fillInlineLines(const Object& table, const Object& quoteRows) {
    if (quoteRows.isNothing()) return;
    const std::vector<Variant> lines = quoteRows.getObject("childNodes").elements();
    if (lines.empty()) return;
    const Object rows = table.getObject("Rows");
    for (int32_t row = rows.get("Count").toI4() + 1; row <= static_cast<int32_t>(lines.size()) + 1; ++row) {
        checkCancelled();
        rows.call("Add");
    }
    // The header row is not written here, so each column's key is read once for all lines.
    const int32_t columns = columnCount(table);
    std::vector<std::string> keys;
    for (int32_t column = 1; column <= columns; ++column) keys.push_back(columnKey(table, column));

    int32_t row = 2;
    for (const Variant& line : lines) {
        checkCancelled();
        const auto attributes = attributesOf(line.toObject());
        for (int32_t column = 1; column <= columns; ++column) {
            const std::string wanted = vb::replace(keys[static_cast<size_t>(column - 1)], " ", "_");
            for (const auto& [name, value] : attributes) {
                if (name != wanted) continue;
                cellRange(table, row, column).put("Text", value);
                break;
            }
        }
        ++row;
    }
}

void fillInlineHeaders(const Object& table, const Object& recordDocument) {
    const Object quoteFields = recordDocument.call("selectSingleNode", "Data/quotefields").toObject();
    const std::vector<Variant> fields = quoteFields.getObject("childNodes").elements();
    const int32_t columns = columnCount(table);
    for (int32_t column = 1; column <= columns; ++column) {
        const std::string key = columnKey(table, column);
        for (const Variant& item : fields) {
            const Object field = item.toObject();
            if (field.get("nodeName").toString() != kQuoteFieldNode) continue;
            const std::string tag = NullToText(field.call("getAttribute", "templatetag"));
            if (tag.empty() || !tagMatches(tag, key)) continue;
            // Later matching fields overwrite earlier ones.
            cellRange(table, 1, column).call("Delete");
            cellRange(table, 1, column).put("Text", captionOf(field));
        }
    }
}

}  // namespace lumora::control
