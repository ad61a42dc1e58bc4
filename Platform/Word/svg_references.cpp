#include "svg_references.hpp"

#include <libxml/tree.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Automation/vb/text.hpp"
#include "Platform/Xml/limits.hpp"
#include "Platform/Xml/parser.hpp"
#include "wordml.hpp"
#include "xml_part.hpp"

namespace lumora::word {

namespace {

constexpr std::string_view kEmptySvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="1" height="1"/>)";
constexpr std::string_view kSpace = " \t\r\n\f";

bool startsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

bool isGzip(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f && static_cast<unsigned char>(bytes[1]) == 0x8b;
}

// Whether text holds needle (lower case ASCII) in any case.
bool containsFolded(std::string_view text, std::string_view needle) {
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           }) != text.end();
}

// Whether the bytes may be read as an SVG image: XML text (a '<' after an optional byte order
// mark and white space) that mentions an svg element, as a converter's format sniffing looks for
// one. UTF-16 and UTF-32 text (zero bytes among the first four, with or without a byte order
// mark) is looked at without its zero bytes. Anything else (a PNG that happens to hold "<svg"
// in its data) no XML reader takes.
bool looksLikeSvg(std::string_view bytes) {
    std::string text;
    if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF") || bytes.substr(0, 4).find('\0') != std::string_view::npos) {
        text.assign(bytes);
        std::erase(text, '\0');
        if (startsWith(text, "\xFF\xFE") || startsWith(text, "\xFE\xFF")) text.erase(0, 2);
        bytes = text;
    } else if (startsWith(bytes, "\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const size_t first = bytes.find_first_not_of(kSpace);
    return first != std::string_view::npos && bytes[first] == '<' && containsFolded(bytes, "<svg");
}

// The bytes a gzip stream unpacks to, up to the limit a package entry has; what came out
// before a damaged stream or the limit is returned as well, since a reader may use it.
std::string gunzipped(std::string_view bytes) {
    constexpr size_t kLimit = xml::kMaxDocumentBytes;
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(std::min<size_t>(bytes.size(), UINT32_MAX));
    std::string out;
    char buffer[16384];
    int status = Z_OK;
    while (status == Z_OK && out.size() < kLimit) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    }
    inflateEnd(&stream);
    return out;
}

bool named(const xmlChar* name, const char* wanted) {
    return name && strcasecmp(reinterpret_cast<const char*>(name), wanted) == 0;
}
bool isNamed(const xmlNode* node, const char* wanted) { return named(node->name, wanted); }

void setValue(xmlAttr* attribute, const std::string& value) {
    xmlSetNsProp(attribute->parent, attribute->ns, attribute->name, reinterpret_cast<const xmlChar*>(value.c_str()));
}

// Elements whose content reaches outside by other means than href: HTML inside the image, and
// script, which no conversion runs.
bool isForeign(const xmlNode* element) { return isNamed(element, "foreignObject") || isNamed(element, "script"); }

void cleanAttributes(xmlNode* element) {
    for (xmlAttr* attribute = element->properties; attribute;) {
        xmlAttr* next = attribute->next;
        const std::string value = ml::valueOf(attribute);
        const bool inXmlNamespace =
            attribute->ns && attribute->ns->href && std::strcmp(reinterpret_cast<const char*>(attribute->ns->href),
                                                                reinterpret_cast<const char*>(XML_XML_NAMESPACE)) == 0;
        if (named(attribute->name, "href") || named(attribute->name, "src")) {
            if (!staysInside(value)) xmlRemoveProp(attribute);
        } else if (inXmlNamespace && named(attribute->name, "base")) {
            xmlRemoveProp(attribute);
        } else if (named(attribute->name, "style") || containsFolded(value, "url")) {
            const std::string css = neutralisedCss(value);
            if (css != value) setValue(attribute, css);
        }
        attribute = next;
    }
}

// A style sheet's text, made safe in place; anything but text inside it goes.
void cleanStyleSheet(xmlNode* style) {
    const std::string safe = neutralisedCss(ml::text(style));
    while (style->children) ml::remove(style->children);
    if (!safe.empty()) xmlAddChild(style, xmlNewDocText(style->doc, reinterpret_cast<const xmlChar*>(safe.c_str())));
}

void cleanTree(xmlDoc* doc) {
    if (xmlDtd* dtd = doc->intSubset) {
        xmlUnlinkNode(reinterpret_cast<xmlNode*>(dtd));
        xmlFreeDtd(dtd);
    }
    doc->intSubset = doc->extSubset = nullptr;
    std::vector<xmlNode*> pending;
    for (xmlNode* child = doc->children; child; child = child->next) pending.push_back(child);
    std::vector<xmlNode*> dropped;
    while (!pending.empty()) {
        xmlNode* node = pending.back();
        pending.pop_back();
        if (node->type == XML_PI_NODE || (node->type == XML_ELEMENT_NODE && isForeign(node)) || node->type == XML_ENTITY_REF_NODE) {
            dropped.push_back(node);
            continue;
        }
        if (node->type != XML_ELEMENT_NODE) continue;
        cleanAttributes(node);
        if (isNamed(node, "style")) {
            cleanStyleSheet(node);
            continue;
        }
        for (xmlNode* child = node->children; child; child = child->next) pending.push_back(child);
    }
    for (xmlNode* node : dropped) ml::remove(node);
}

bool hasSvgElement(const xmlNode* node) {
    for (; node; node = node->next)
        if (node->type == XML_ELEMENT_NODE && (isNamed(node, "svg") || hasSvgElement(node->children))) return true;
    return false;
}

std::optional<std::string> cleanedPlainSvg(std::string_view bytes) {
    if (!looksLikeSvg(bytes)) return std::nullopt;
    xml::ParseOptions options;
    options.whitespace = xml::Whitespace::Preserve;
    options.encoding = xml::SourceEncoding::AsDeclared;
    xml::ParseOutcome outcome = xml::parseXml(bytes, options);
    if (outcome.failure) return std::string(kEmptySvg);
    // Parts that merely mention svg (a word-processing part with an svg-prefixed element) are
    // not drawn as images.
    if (!hasSvgElement(outcome.doc->children)) return std::nullopt;
    XmlPart part{"image.svg", std::move(outcome.doc), 1, {}};
    cleanTree(part.doc.get());
    return serializePart(part);
}

}  // namespace

bool staysInside(std::string_view reference) {
    const std::string text = vb::asciiLower(vb::asciiTrimmed(reference));
    if (startsWith(text, "#")) return true;
    return startsWith(text, "data:image/") && !startsWith(text, "data:image/svg");
}

std::string neutralisedCss(std::string_view css) {
    const std::string folded = vb::asciiLower(css);
    if (folded.find('\\') != std::string::npos) return {};
    for (const char* unsafe : {"@import", "image(", "image-set(", "src("})
        if (folded.find(unsafe) != std::string::npos) return {};
    std::string out;
    size_t done = 0;
    for (size_t at = folded.find("url("); at != std::string::npos; at = folded.find("url(", done)) {
        size_t start = at + 4;
        size_t end;
        if (const size_t first = folded.find_first_not_of(kSpace, start);
            first != std::string::npos && (folded[first] == '"' || folded[first] == '\'')) {
            const size_t close = folded.find(folded[first], first + 1);
            if (close == std::string::npos) return {};
            start = first + 1;
            end = close;
            const size_t paren = folded.find_first_not_of(kSpace, close + 1);
            if (paren == std::string::npos || folded[paren] != ')') return {};
            out += css.substr(done, at - done);
            out += staysInside(css.substr(start, end - start)) ? std::string(css.substr(at, paren + 1 - at)) : "none";
            done = paren + 1;
        } else {
            end = folded.find(')', start);
            if (end == std::string::npos) return {};
            out += css.substr(done, at - done);
            out += staysInside(css.substr(start, end - start)) ? std::string(css.substr(at, end + 1 - at)) : "none";
            done = end + 1;
        }
    }
    out += css.substr(done);
    return out;
}

std::optional<std::string> cleanedSvg(std::string_view bytes) {
    if (!isGzip(bytes)) return cleanedPlainSvg(bytes);
    const std::string unpacked = gunzipped(bytes);
    // Stored unpacked: a converter sniffs the content, not the name.
    return cleanedPlainSvg(unpacked);
}

}  // namespace lumora::word
