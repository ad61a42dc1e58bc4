#pragma once
// The visible text of a saved part's paragraphs in document order, one string per paragraph:
// table cells and text boxes included, a text box's paragraphs apart from the paragraph that
// anchors it; and the cells of its tables, row by row. Parts are read from the package with
// tests/support/docx_files.hpp.

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <string>
#include <vector>

namespace lumora::testing {

struct XmlDocFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

inline bool isWordElement(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name);
}

// The text of a paragraph's own runs (w:t, w:tab as "\t"), not of paragraphs nested in it.
inline void collectRunText(const xmlNode* node, std::string& out) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (isWordElement(child, "p") || isWordElement(child, "txbxContent")) continue;
        if (isWordElement(child, "t")) {
            if (xmlChar* text = xmlNodeGetContent(child)) {
                out += reinterpret_cast<const char*>(text);
                xmlFree(text);
            }
        } else if (isWordElement(child, "tab")) {
            out += '\t';
        } else {
            collectRunText(child, out);
        }
    }
}

inline void collectParagraphs(const xmlNode* node, std::vector<std::string>& out) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (isWordElement(child, "p")) {
            std::string text;
            collectRunText(child, text);
            out.push_back(text);
        }
        collectParagraphs(child, out);
    }
}

// The visible text of every paragraph of the part, in document order.
inline std::vector<std::string> paragraphTexts(const std::string& partXml) {
    std::unique_ptr<xmlDoc, XmlDocFree> document(
        xmlReadMemory(partXml.data(), static_cast<int>(partXml.size()), nullptr, nullptr, XML_PARSE_NONET));
    std::vector<std::string> out;
    if (document) collectParagraphs(xmlDocGetRootElement(document.get()), out);
    return out;
}

// The rows of every top-level table of the part, in document order: each row its cells' texts,
// a cell's paragraphs joined by "\n".
using TableRows = std::vector<std::vector<std::string>>;
inline void collectTables(const xmlNode* node, std::vector<TableRows>& out) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (!isWordElement(child, "tbl")) {
            collectTables(child, out);
            continue;
        }
        TableRows& rows = out.emplace_back();
        for (const xmlNode* row = child->children; row; row = row->next) {
            if (!isWordElement(row, "tr")) continue;
            std::vector<std::string>& cells = rows.emplace_back();
            for (const xmlNode* cell = row->children; cell; cell = cell->next) {
                if (!isWordElement(cell, "tc")) continue;
                std::vector<std::string> paragraphs;
                collectParagraphs(cell, paragraphs);
                std::string text;
                for (size_t i = 0; i < paragraphs.size(); ++i) text += (i ? "\n" : "") + paragraphs[i];
                cells.push_back(text);
            }
        }
    }
}

inline std::vector<TableRows> tablesOf(const std::string& partXml) {
    std::unique_ptr<xmlDoc, XmlDocFree> document(
        xmlReadMemory(partXml.data(), static_cast<int>(partXml.size()), nullptr, nullptr, XML_PARSE_NONET));
    std::vector<TableRows> out;
    if (document) collectTables(xmlDocGetRootElement(document.get()), out);
    return out;
}

}  // namespace lumora::testing
