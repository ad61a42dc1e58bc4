// Headers and footers filled per record: each a copy of the template's part with the record's
// values, under a name and relationship id of its own.

#include "merge_story_parts.hpp"

#include <algorithm>
#include <optional>

#include "Automation/error.hpp"
#include "part_relationships.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace {

constexpr const char* kContentTypesPart = "[Content_Types].xml";

bool isStoryReference(const xmlNode* node) { return ml::is(node, "headerReference") || ml::is(node, "footerReference"); }

void collectReferences(xmlNode* node, std::vector<xmlNode*>& out) {
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (isStoryReference(child))
            out.push_back(child);
        else
            collectReferences(child, out);
    }
}

xmlAttr* relationshipIdOf(xmlNode* reference) {
    for (xmlAttr* attribute = reference->properties; attribute; attribute = attribute->next)
        if (attribute->ns && xmlStrEqual(attribute->ns->href, BAD_CAST ml::kRelationships) &&
            xmlStrEqual(attribute->name, BAD_CAST "id"))
            return attribute;
    return nullptr;
}

// The element of a relationships or content-types part whose `key` attribute is `value`.
xmlNode* entryWhere(const XmlPart& part, const char* key, const std::string& value) {
    for (xmlNode* entry = ml::firstElement(xmlDocGetRootElement(part.doc.get())); entry; entry = ml::nextElement(entry))
        if (ml::attrIn(entry, nullptr, key) == value) return entry;
    return nullptr;
}

// "word/header1.xml" -> "word/header1-r12.xml".
std::string recordPartName(const std::string& part, size_t record) {
    const size_t dot = part.rfind('.');
    const size_t slash = part.rfind('/');
    const size_t stem = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? part.size() : dot;
    return part.substr(0, stem) + "-r" + std::to_string(record + 1) + part.substr(stem);
}

std::string lastSegment(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A header whose every paragraph was a suppressed blank line keeps one empty paragraph, since a
// header or footer part holds at least one block.
void keepOneBlock(xmlNode* root) {
    if (!ml::firstElement(root)) xmlAddChild(root, ml::make(root->doc, "p"));
}

}  // namespace

struct RecordStoryParts::Template {
    std::string id;           // the relationship id the sections reference it by
    std::string part;         // its part name
    XmlPart markup;
    xmlNode* relationship = nullptr;  // its entry in the main part's relationships
    std::string contentType;  // its own declared content type, "" when the extension's default serves
    std::optional<std::string> ownRelationships;  // the part's relationships (pictures), if any
};

RecordStoryParts::RecordStoryParts(Package& package, std::string mainPart, const std::vector<xmlNode*>& sections,
                                   FieldValues& values, const MergeOptions& options)
    : m_package(package), m_mainPart(std::move(mainPart)), m_values(values), m_options(options) {
    std::vector<xmlNode*> references;
    for (xmlNode* section : sections) collectReferences(section, references);
    const std::string relationshipsName = Package::relationshipsOf(m_mainPart);
    if (references.empty() || !m_package.has(relationshipsName)) return;
    const PartRelationships relationships = PartRelationships::read(m_package, m_mainPart);
    m_relationships = std::make_unique<XmlPart>(parsePart(relationshipsName, *m_package.find(relationshipsName)));
    if (const std::string* types = m_package.find(kContentTypesPart))
        m_contentTypes = std::make_unique<XmlPart>(parsePart(kContentTypesPart, *types));
    values.setRecord(0);
    for (xmlNode* reference : references) {
        xmlAttr* idAttribute = relationshipIdOf(reference);
        const std::string id = idAttribute ? ml::valueOf(idAttribute) : std::string();
        if (id.empty() || std::any_of(m_templates.begin(), m_templates.end(), [&](const auto& t) { return t->id == id; }))
            continue;
        const std::optional<std::string> part = relationships.partNamed(m_package, id);
        if (!part) continue;
        XmlPart markup = parsePart(*part, *m_package.find(*part));
        // A trial fill of a copy tells whether the part holds merge fields at all.
        const xml::DocHandle trial(xmlCopyDoc(markup.doc.get(), 1));
        if (!trial) throw std::bad_alloc();
        if (fillBlock(xmlDocGetRootElement(trial.get()), values, options).fields == 0) continue;
        auto entry = std::make_unique<Template>(
            Template{id, *part, std::move(markup), entryWhere(*m_relationships, "Id", id), {}, std::nullopt});
        if (m_contentTypes)
            if (xmlNode* override = entryWhere(*m_contentTypes, "PartName", "/" + *part))
                entry->contentType = ml::attrIn(override, nullptr, "ContentType");
        if (const std::string* own = m_package.find(Package::relationshipsOf(*part))) entry->ownRelationships = *own;
        if (entry->relationship) m_templates.push_back(std::move(entry));
    }
    if (m_templates.empty()) return;
    for (const Package::Entry& entry : m_package.entries()) m_takenNames.push_back(entry.name);
    for (xmlNode* r = ml::firstElement(xmlDocGetRootElement(m_relationships->doc.get())); r; r = ml::nextElement(r))
        m_takenNames.push_back(ml::attrIn(r, nullptr, "Id"));
    std::sort(m_takenNames.begin(), m_takenNames.end());
}

RecordStoryParts::~RecordStoryParts() = default;

std::string RecordStoryParts::uniqueName(const std::string& wanted) {
    std::string name = wanted;
    while (std::binary_search(m_takenNames.begin(), m_takenNames.end(), name)) name += "x";
    return name;
}

void RecordStoryParts::fillRecord(size_t record, xmlNode* markup) {
    if (m_templates.empty()) return;
    std::vector<xmlNode*> references;
    collectReferences(markup, references);
    for (const auto& source : m_templates) {
        const std::string part = uniqueName(recordPartName(source->part, record));
        const std::string id = uniqueName(source->id + "-r" + std::to_string(record + 1));
        XmlPart filled{part, xml::DocHandle(xmlCopyDoc(source->markup.doc.get(), 1)), 0, {}};
        if (!filled.doc) throw std::bad_alloc();
        xmlNode* root = xmlDocGetRootElement(filled.doc.get());
        fillBlock(root, m_values, m_options);
        keepOneBlock(root);
        m_package.add(part, serializePart(filled));
        if (source->ownRelationships) m_package.add(Package::relationshipsOf(part), *source->ownRelationships);

        xmlNode* relationship = xmlAddNextSibling(source->relationship, ml::copy(source->relationship));
        xmlSetProp(relationship, BAD_CAST "Id", BAD_CAST id.c_str());
        std::string target = ml::attrIn(source->relationship, nullptr, "Target");
        target = target.substr(0, target.size() - lastSegment(target).size()) + lastSegment(part);
        xmlSetProp(relationship, BAD_CAST "Target", BAD_CAST target.c_str());
        if (!source->contentType.empty()) {
            xmlNode* root = xmlDocGetRootElement(m_contentTypes->doc.get());
            xmlNode* override = xmlNewChild(root, root->ns, BAD_CAST "Override", nullptr);
            xmlSetProp(override, BAD_CAST "PartName", BAD_CAST("/" + part).c_str());
            xmlSetProp(override, BAD_CAST "ContentType", BAD_CAST source->contentType.c_str());
        }
        for (xmlNode* reference : references)
            if (xmlAttr* attribute = relationshipIdOf(reference); attribute && ml::valueOf(attribute) == source->id)
                xmlSetNsProp(reference, attribute->ns, BAD_CAST "id", BAD_CAST id.c_str());
    }
}

void RecordStoryParts::finish() {
    if (m_templates.empty()) return;
    m_package.put(m_relationships->name, serializePart(*m_relationships));
    if (m_contentTypes) m_package.put(m_contentTypes->name, serializePart(*m_contentTypes));
}

}  // namespace lumora::word
