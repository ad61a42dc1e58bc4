#pragma once
// Reads a produced .docx back for the tests: a part's XML as stored, and the visible text of
// its paragraphs in document order (table cells and text boxes included, each paragraph once).

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zip.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lumora::testing {

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct XmlDocFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

// The part's bytes; "<no package>" or "<no part>" when it cannot be read.
inline std::string docxPart(const std::filesystem::path& package, const std::string& name) {
    int status = 0;
    std::unique_ptr<zip_t, ZipDiscard> archive(zip_open(package.c_str(), ZIP_RDONLY, &status));
    if (!archive) return "<no package>";
    zip_stat_t stat;
    if (zip_stat(archive.get(), name.c_str(), 0, &stat) != 0) return "<no part>";
    std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen(archive.get(), name.c_str(), 0));
    std::string text(stat.size, '\0');
    if (!file || zip_fread(file.get(), text.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
        return "<short read>";
    return text;
}

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

}  // namespace lumora::testing
