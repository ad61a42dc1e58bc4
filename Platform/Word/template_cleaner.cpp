#include "template_cleaner.hpp"

#include <libxml/tree.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Automation/vb/text.hpp"
#include "Platform/Xml/parser.hpp"
#include "svg_references.hpp"
#include "wordml.hpp"
#include "xml_part.hpp"

namespace lumora::word {

namespace {

// The relationship namespaces of the transitional and the strict vocabulary.
constexpr const char* kStrictRelationships = "http://purl.oclc.org/ooxml/officeDocument/relationships";

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A relationship id as written in an attribute, without the white space around it.
std::string idIn(std::string_view text) { return std::string(vb::asciiTrimmed(text)); }

// The last segment of a relationship type ("…/relationships/hyperlink" -> "hyperlink").
std::string typeName(std::string_view type) {
    const size_t slash = type.rfind('/');
    return vb::asciiLower(slash == std::string_view::npos ? type : type.substr(slash + 1));
}

// "word/_rels/document.xml.rels" -> "word/document.xml"; "_rels/.rels" -> "" (the package).
std::string sourceOf(std::string_view relationshipsPart) {
    const size_t folder = relationshipsPart.rfind("_rels/");
    std::string source(relationshipsPart.substr(0, folder == std::string_view::npos ? 0 : folder));
    const size_t start = folder == std::string_view::npos ? 0 : folder + 6;
    source += relationshipsPart.substr(start, relationshipsPart.size() - start - 5);
    return source;
}

// The part an internal target names, resolved against its source part's folder (the Open
// Packaging Conventions, 9.3: a target is a relative reference, "/" starting at the package's root); nullopt
// when it is no part name at all: a scheme, a network path, a backslash, a query or fragment,
// or a climb above the root.
std::optional<std::string> resolveInside(const std::string& source, std::string_view target) {
    if (target.empty() || target.find_first_of("\\?#") != std::string_view::npos || target.rfind("//", 0) == 0)
        return std::nullopt;
    const size_t colon = target.find(':');
    if (colon != std::string_view::npos && target.substr(0, colon).find('/') == std::string_view::npos) return std::nullopt;
    const std::optional<std::string> decoded = vb::percentDecoded(target);
    if (!decoded || decoded->find('\0') != std::string::npos || decoded->find('\\') != std::string::npos) return std::nullopt;
    const size_t slash = source.rfind('/');
    const std::string path = decoded->front() == '/' ? *decoded : source.substr(0, slash == std::string::npos ? 0 : slash + 1) + *decoded;
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (segments.empty()) return std::nullopt;
            segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string name;
    for (const std::string& segment : segments) name += (name.empty() ? "" : "/") + segment;
    if (name.empty()) return std::nullopt;
    return name;
}

// Hyperlinks may leave the package: a PDF keeps them as links a reader clicks, and nothing is
// fetched. Parts whose content the converter imports as a document of its own (with whatever
// that links to) may not, even from inside the package.
bool mayLeave(const std::string& type) { return type == "hyperlink"; }
bool importsADocument(const std::string& type) { return type == "afchunk" || type == "subdocument"; }

// The elements that name a hyperlink relationship as a hyperlink.
bool namesAHyperlink(const xmlNode* element) {
    const char* name = reinterpret_cast<const char*>(element->name);
    for (const char* hyperlink : {"hyperlink", "hlinkClick", "hlinkHover", "hlinkMouseOver"})
        if (std::strcmp(name, hyperlink) == 0) return true;
    return false;
}

// An attribute that names a relationship: r:id, r:embed, r:link … and VML's o:relid.
bool namesARelationship(const xmlAttr* attribute) {
    if (attribute->ns && attribute->ns->href) {
        const char* ns = reinterpret_cast<const char*>(attribute->ns->href);
        if (std::strcmp(ns, ml::kRelationships) == 0 || std::strcmp(ns, kStrictRelationships) == 0) return true;
    }
    return std::strcmp(reinterpret_cast<const char*>(attribute->name), "relid") == 0;
}

class PackageCleaner {
public:
    explicit PackageCleaner(Package& package) : m_package(package) {
        for (const Package::Entry& entry : package.entries()) m_names.insert(vb::asciiLower(entry.name));
    }

    void run() {
        std::vector<std::string> relationshipParts;
        for (const Package::Entry& entry : m_package.entries())
            if (endsWith(vb::asciiLower(entry.name), ".rels")) relationshipParts.push_back(entry.name);
        for (const std::string& name : relationshipParts) cleanRelationships(name);
        std::vector<std::string> others;
        for (const Package::Entry& entry : m_package.entries())
            if (!endsWith(vb::asciiLower(entry.name), ".rels") && entry.name != "[Content_Types].xml") others.push_back(entry.name);
        for (const std::string& name : others)
            if (std::optional<std::string> cleaned = cleanedSvg(*m_package.find(name))) m_package.put(name, std::move(*cleaned));
    }

private:
    bool isPart(const std::string& name) const { return m_names.count(vb::asciiLower(name)) > 0; }

    void cleanRelationships(const std::string& name) {
        const std::string source = sourceOf(name);
        std::optional<XmlPart> part;
        try {
            part.emplace(parsePart(name, *m_package.find(name)));
        } catch (const std::exception&) {
            m_package.remove(name);  // unreadable here may still be read there: no relationships at all
            return;
        }
        std::set<std::string> hyperlinks;
        bool changed = false;
        xmlNode* root = xmlDocGetRootElement(part->doc.get());
        for (xmlNode* relationship = ml::firstElement(root); relationship;) {
            xmlNode* next = ml::nextElement(relationship);
            const std::string type = typeName(ml::attrIn(relationship, nullptr, "Type"));
            const std::string target = ml::attrIn(relationship, nullptr, "Target");
            const bool external = vb::asciiLower(ml::attrIn(relationship, nullptr, "TargetMode")) == "external";
            bool keep = false;
            if (external) {
                keep = mayLeave(type);
                if (keep) hyperlinks.insert(idIn(ml::attrIn(relationship, nullptr, "Id")));
            } else {
                const std::optional<std::string> inside = resolveInside(source, target);
                keep = inside && isPart(*inside) && !importsADocument(type);
            }
            if (!keep) {
                ml::remove(relationship);
                changed = true;
            }
            relationship = next;
        }
        if (!hyperlinks.empty() && !keepOnlyHyperlinkUses(source, hyperlinks)) {
            // A source the cleaner cannot read may still name them in ways it cannot see.
            for (xmlNode* relationship = ml::firstElement(root); relationship;) {
                xmlNode* next = ml::nextElement(relationship);
                if (hyperlinks.count(idIn(ml::attrIn(relationship, nullptr, "Id")))) ml::remove(relationship);
                relationship = next;
            }
            changed = true;
        }
        if (changed) m_package.put(name, serializePart(*part));
    }

    // Takes out every naming of a hyperlink relationship in source by anything but a
    // hyperlink; false when source is not a part the cleaner can read.
    bool keepOnlyHyperlinkUses(const std::string& source, const std::set<std::string>& hyperlinks) {
        const std::string* bytes = m_package.find(source);
        if (!bytes) return true;  // nothing names them
        std::optional<XmlPart> part;
        try {
            part.emplace(parsePart(source, *bytes));
        } catch (const std::exception&) {
            return false;
        }
        bool changed = false;
        std::vector<xmlNode*> pending{xmlDocGetRootElement(part->doc.get())};
        while (!pending.empty()) {
            xmlNode* element = pending.back();
            pending.pop_back();
            if (!namesAHyperlink(element))
                for (xmlAttr* attribute = element->properties; attribute;) {
                    xmlAttr* next = attribute->next;
                    if (namesARelationship(attribute) && hyperlinks.count(idIn(ml::valueOf(attribute)))) {
                        xmlRemoveProp(attribute);
                        changed = true;
                    }
                    attribute = next;
                }
            for (xmlNode* child = element->children; child; child = child->next)
                if (child->type == XML_ELEMENT_NODE) pending.push_back(child);
        }
        if (changed) m_package.put(source, serializePart(*part));
        return true;
    }

    Package& m_package;
    std::set<std::string> m_names;
};

}  // namespace

void removeOutsideReferences(Package& package) { PackageCleaner(package).run(); }

}  // namespace lumora::word
