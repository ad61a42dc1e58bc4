// Feeds arbitrary bytes to the template cleaner: input starting like a zip is read as a whole
// package; any other input is cut at "\n=====\n" into the parts a template's links live in
// (the main part's relationships, the main part, an SVG image, the package's relationships, a
// compressed image), so the fuzzer reaches every rule without inventing zip archives. Any input
// may be refused; none may crash, hang or leak, and what the cleaner leaves must hold no way
// out: no external relationship but a hyperlink, no SVG image with an href beyond itself.

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "Platform/Word/package.hpp"
#include "Platform/Word/template_cleaner.hpp"

namespace {

using namespace lumora::word;

constexpr std::string_view kSeparator = "\n=====\n";
constexpr const char* kParts[] = {"word/_rels/document.xml.rels", "word/document.xml", "word/media/image1.svg", "_rels/.rels",
                                  "word/media/image2.emz"};

Package packageFor(std::string_view bytes) {
    if (bytes.substr(0, 2) == "PK") return Package::fromBytes(bytes, "fuzz");
    Package package;
    for (const char* name : kParts) {
        const size_t end = std::min(bytes.find(kSeparator), bytes.size());
        package.put(name, std::string(bytes.substr(0, end)));
        if (end == bytes.size()) break;
        bytes.remove_prefix(end + kSeparator.size());
    }
    return package;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t\r\n\f");
    return start == std::string::npos ? "" : text.substr(start, text.find_last_not_of(" \t\r\n\f") - start + 1);
}

std::string attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string out = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return out;
}

void check(bool holds) {
    if (!holds) std::abort();
}

// Walks what the cleaner left as a reader would parse it (no entities, no network).
void checkNode(xmlNode* node, bool inRelationships) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        const std::string name = reinterpret_cast<const char*>(node->name);
        if (inRelationships && name == "Relationship" && lower(attribute(node, "TargetMode")) == "external") {
            const std::string type = lower(attribute(node, "Type"));
            check(type.size() >= 10 && type.compare(type.size() - 10, 10, "/hyperlink") == 0);
        }
        if (!inRelationships)
            for (xmlAttr* a = node->properties; a; a = a->next) {
                if (strcasecmp(reinterpret_cast<const char*>(a->name), "href") != 0) continue;
                xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
                const std::string href = lower(trimmed(value ? reinterpret_cast<const char*>(value) : ""));
                xmlFree(value);
                check(href.rfind("#", 0) == 0 || (href.rfind("data:image/", 0) == 0 && href.rfind("data:image/svg", 0) != 0));
            }
        checkNode(node->children, inRelationships);
    }
}

bool hasSvg(xmlNode* node) {
    for (; node; node = node->next)
        if (node->type == XML_ELEMENT_NODE &&
            (strcasecmp(reinterpret_cast<const char*>(node->name), "svg") == 0 || hasSvg(node->children)))
            return true;
    return false;
}

void checkLeftovers(const Package& package) {
    for (const Package::Entry& entry : package.entries()) {
        const bool relationships = entry.name.size() > 5 && entry.name.compare(entry.name.size() - 5, 5, ".rels") == 0;
        const bool image = entry.name.rfind("word/media/", 0) == 0;
        if (!relationships && !image) continue;
        xmlDoc* doc = xmlReadMemory(entry.bytes.data(), static_cast<int>(entry.bytes.size()), nullptr, nullptr,
                                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        if (!doc) continue;
        if (relationships || hasSvg(doc->children)) checkNode(doc->children, relationships);
        xmlFreeDoc(doc);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        Package package = packageFor(bytes);
        removeOutsideReferences(package);
        checkLeftovers(package);
    } catch (const std::exception&) {
        // Refusing a package is an expected outcome.
    }
    return 0;
}
