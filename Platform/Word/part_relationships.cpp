#include "part_relationships.hpp"

#include <libxml/tree.h>

#include "Automation/vb/text.hpp"
#include "wordml.hpp"
#include "xml_part.hpp"

namespace lumora::word {

std::string relationshipTypeName(std::string_view type) {
    const size_t slash = type.rfind('/');
    return vb::asciiLower(slash == std::string_view::npos ? type : type.substr(slash + 1));
}

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

PartRelationships PartRelationships::read(const Package& package, const std::string& part) {
    PartRelationships out;
    out.m_source = part;
    const std::string name = Package::relationshipsOf(part);
    const std::string* bytes = package.find(name);
    if (!bytes) return out;
    std::optional<XmlPart> parsed;
    try {
        parsed.emplace(parsePart(name, *bytes));
    } catch (const std::exception&) {
        return out;
    }
    for (xmlNode* r = ml::firstElement(xmlDocGetRootElement(parsed->doc.get())); r; r = ml::nextElement(r))
        out.m_relationships.push_back(Relationship{std::string(vb::asciiTrimmed(ml::attrIn(r, nullptr, "Id"))),
                                                   relationshipTypeName(ml::attrIn(r, nullptr, "Type")),
                                                   ml::attrIn(r, nullptr, "Target"),
                                                   vb::asciiLower(ml::attrIn(r, nullptr, "TargetMode")) == "external"});
    return out;
}

const Relationship* PartRelationships::find(std::string_view id) const {
    const std::string_view wanted = vb::asciiTrimmed(id);
    for (const Relationship& relationship : m_relationships)
        if (relationship.id == wanted) return &relationship;
    return nullptr;
}

std::optional<std::string> PartRelationships::partNamed(const Package& package, std::string_view id) const {
    const Relationship* relationship = find(id);
    return relationship ? partOf(package, *relationship) : std::nullopt;
}

std::optional<std::string> PartRelationships::partOfType(const Package& package, std::string_view type) const {
    for (const Relationship& relationship : m_relationships)
        if (relationship.type == type)
            if (std::optional<std::string> name = partOf(package, relationship)) return name;
    return std::nullopt;
}

std::optional<std::string> PartRelationships::partOf(const Package& package, const Relationship& relationship) const {
    if (relationship.external) return std::nullopt;
    std::optional<std::string> name = resolveInside(m_source, relationship.target);
    if (!name || !package.has(*name)) return std::nullopt;
    return name;
}

}  // namespace lumora::word
