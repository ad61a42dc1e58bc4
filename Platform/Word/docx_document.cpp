#include "docx_document.hpp"

#include <algorithm>
#include <map>

#include "Automation/error.hpp"
#include "table_model.hpp"
#include "wordml.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace {

// "word/document.xml" and a relationship target "header1.xml" or "/word/header1.xml".
std::string resolveTarget(const std::string& source, const std::string& target) {
    if (!target.empty() && target.front() == '/') return target.substr(1);
    const size_t slash = source.rfind('/');
    std::string folder = slash == std::string::npos ? "" : source.substr(0, slash + 1);
    std::string rest = target;
    while (rest.rfind("../", 0) == 0) {
        rest.erase(0, 3);
        if (!folder.empty()) folder.pop_back();
        const size_t up = folder.rfind('/');
        folder = up == std::string::npos ? "" : folder.substr(0, up + 1);
    }
    return folder + rest;
}

int32_t storyTypeOf(bool header, const std::string& kind) {
    if (kind == "even") return header ? kEvenPagesHeaderStory : kEvenPagesFooterStory;
    if (kind == "first") return header ? kFirstPageHeaderStory : kFirstPageFooterStory;
    return header ? kPrimaryHeaderStory : kPrimaryFooterStory;
}

bool underFallback(const xmlNode* node) {
    for (node = node->parent; node; node = node->parent)
        if (ml::isIn(node, ml::kMarkupCompatibility, "Fallback")) return true;
    return false;
}

void collectElements(xmlNode* node, std::string_view local, std::vector<xmlNode*>& out) {
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (ml::is(child, local)) {
            out.push_back(child);
            continue;  // a text box in a text box belongs to the inner story
        }
        collectElements(child, local, out);
    }
}

void collectTables(xmlNode* container, std::vector<xmlNode*>& out) {
    for (xmlNode* child = container->children; child; child = child->next) {
        if (ml::is(child, "tbl"))
            out.push_back(child);
        else if (ml::is(child, "sdt"))
            if (xmlNode* content = ml::firstChild(child, "sdtContent")) collectTables(content, out);
    }
}

}  // namespace

std::unique_ptr<DocxDocument> DocxDocument::open(const std::filesystem::path& file) {
    return fromPackage(Package::fromFile(file), file.string());
}

std::unique_ptr<DocxDocument> DocxDocument::fromPackage(Package package, const std::string& label) {
    std::unique_ptr<DocxDocument> document(new DocxDocument());
    document->m_package = std::move(package);
    // The main part is where the package's relationships say; word/document.xml otherwise.
    std::string mainName = "word/document.xml";
    if (document->m_package.has("_rels/.rels")) {
        XmlPart& rels = document->addPart("_rels/.rels");
        for (xmlNode* r = ml::firstElement(xmlDocGetRootElement(rels.doc.get())); r; r = ml::nextElement(r)) {
            const std::string type = ml::attrIn(r, nullptr, "Type");
            if (type.size() >= 14 && type.compare(type.size() - 14, 14, "/officeDocument") == 0) {
                const std::string target = resolveTarget("", ml::attrIn(r, nullptr, "Target"));
                if (document->m_package.has(target)) mainName = target;
            }
        }
    }
    if (!document->m_package.has(mainName)) raise(WordError::NoMainDocument, label);
    document->m_mainName = mainName;
    XmlPart& main = document->addPart(mainName);
    xmlNode* body = ml::firstChild(xmlDocGetRootElement(main.doc.get()), "body");
    if (!body) raise(WordError::BadPart, mainName + ": the document has no body");
    document->m_stories.push_back(std::make_unique<Story>(body, &main, kMainTextStory, document->m_textBudget));
    document->m_main = document->m_stories.back().get();
    document->readHeadersAndFooters(mainName);
    document->collectTextFrames(*document->m_main);
    for (const Section& section : document->m_sections)
        for (Story* story : section.stories)
            if (story && std::none_of(document->m_frames.begin(), document->m_frames.end(),
                                      [&](const auto& entry) { return entry.first == story; }))
                document->collectTextFrames(*story);
    return document;
}

XmlPart& DocxDocument::addPart(const std::string& name) {
    for (const auto& part : m_parts)
        if (part->name == name) return *part;
    const std::string* bytes = m_package.find(name);
    if (!bytes) raise(WordError::BadPart, name + ": missing from the package");
    m_parts.push_back(std::make_unique<XmlPart>(parsePart(name, *bytes)));
    return *m_parts.back();
}

void DocxDocument::readHeadersAndFooters(const std::string& mainName) {
    const std::string relsName = Package::relationshipsOf(mainName);
    std::vector<std::pair<std::string, std::string>> targets;  // id, part name
    if (m_package.has(relsName)) {
        XmlPart& rels = addPart(relsName);
        for (xmlNode* r = ml::firstElement(xmlDocGetRootElement(rels.doc.get())); r; r = ml::nextElement(r))
            if (ml::attrIn(r, nullptr, "TargetMode") != "External")
                targets.emplace_back(ml::attrIn(r, nullptr, "Id"), resolveTarget(mainName, ml::attrIn(r, nullptr, "Target")));
    }
    std::vector<xmlNode*> sectionProperties;
    collectElements(m_main->root(), "sectPr", sectionProperties);
    // A section's properties sit in its last paragraph; the body's own come last.
    std::map<std::string, Story*> storiesByPart;
    for (xmlNode* properties : sectionProperties) {
        Section section;
        for (xmlNode* reference = properties->children; reference; reference = reference->next) {
            const bool header = ml::is(reference, "headerReference");
            if (!header && !ml::is(reference, "footerReference")) continue;
            const std::string id = ml::attrIn(reference, ml::kRelationships, "id");
            auto target = std::find_if(targets.begin(), targets.end(), [&](const auto& t) { return t.first == id; });
            if (target == targets.end() || !m_package.has(target->second)) continue;
            Story*& story = storiesByPart[target->second];
            if (!story) {
                XmlPart& part = addPart(target->second);
                m_stories.push_back(std::make_unique<Story>(xmlDocGetRootElement(part.doc.get()), &part,
                                                            storyTypeOf(header, ml::attr(reference, "type")),
                                                            m_textBudget));
                story = m_stories.back().get();
            }
            section.stories[static_cast<size_t>(story->type() - kEvenPagesHeaderStory)] = story;
        }
        m_sections.push_back(section);
    }
}

void DocxDocument::collectTextFrames(Story& container) {
    std::vector<xmlNode*> contents;
    collectElements(container.root(), "txbxContent", contents);
    std::vector<Story*> frames;
    for (xmlNode* content : contents) {
        if (underFallback(content)) continue;
        m_stories.push_back(std::make_unique<Story>(content, container.part(), kTextFrameStory, m_textBudget));
        Story* frame = m_stories.back().get();
        frames.push_back(frame);
        // The same box's fallback picture, when the drawing carries one: the fallback branch's
        // text boxes stand in the order of the drawing's.
        xmlNode* choice = content->parent;
        while (choice && !ml::isIn(choice, ml::kMarkupCompatibility, "Choice")) choice = choice->parent;
        if (!choice || !ml::isIn(choice->parent, ml::kMarkupCompatibility, "AlternateContent")) continue;
        std::vector<xmlNode*> drawn, fallback;
        collectElements(choice, "txbxContent", drawn);
        for (xmlNode* branch = ml::firstElement(choice->parent); branch; branch = ml::nextElement(branch))
            if (ml::isIn(branch, ml::kMarkupCompatibility, "Fallback")) collectElements(branch, "txbxContent", fallback);
        const size_t at = static_cast<size_t>(std::find(drawn.begin(), drawn.end(), content) - drawn.begin());
        if (at < drawn.size() && at < fallback.size()) m_fallbacks.emplace_back(frame, fallback[at]);
    }
    m_frames.emplace_back(&container, std::move(frames));
}

const std::vector<Story*>& DocxDocument::textFrames(const Story& container) const {
    static const std::vector<Story*> none;
    for (const auto& [story, frames] : m_frames)
        if (story == &container) return frames;
    return none;
}

std::vector<Story*> DocxDocument::firstStories() const {
    std::vector<Story*> stories{m_main};
    if (!textFrames(*m_main).empty()) stories.push_back(textFrames(*m_main).front());
    for (int32_t type = kEvenPagesHeaderStory; type <= kFirstPageFooterStory; ++type)
        if (Story* story = storyOfType(type)) stories.push_back(story);
    return stories;
}

Story* DocxDocument::storyOfType(int32_t type) const {
    if (type == kMainTextStory) return m_main;
    if (type == kTextFrameStory) return textFrames(*m_main).empty() ? nullptr : textFrames(*m_main).front();
    if (type < kEvenPagesHeaderStory || type > kFirstPageFooterStory) return nullptr;
    for (const Section& section : m_sections)
        if (Story* story = section.story(type)) return story;
    return nullptr;
}

Story* DocxDocument::nextOfType(const Story& story) const {
    if (story.type() == kTextFrameStory) {
        const auto& frames = textFrames(*m_main);
        auto at = std::find(frames.begin(), frames.end(), &story);
        return at != frames.end() && at + 1 != frames.end() ? *(at + 1) : nullptr;
    }
    if (story.type() < kEvenPagesHeaderStory || story.type() > kFirstPageFooterStory) return nullptr;
    bool passed = false;
    for (const Section& section : m_sections) {
        Story* candidate = section.story(story.type());
        if (passed && candidate && candidate != &story) return candidate;
        if (candidate == &story) passed = true;
    }
    return nullptr;
}

std::vector<XmlNode*> DocxDocument::tables() const {
    std::vector<XmlNode*> out;
    collectTables(m_main->root(), out);
    return out;
}

const std::vector<XmlNode*>& DocxDocument::rowsOf(XmlNode* table) {
    if (m_rowsRead.table != table || m_rowsRead.atStructureEdit != m_structureEdits)
        m_rowsRead = RowsRead{table, m_structureEdits, table::rows(table)};
    return m_rowsRead.rows;
}

uint64_t DocxDocument::edits() const {
    uint64_t total = 0;
    for (const auto& part : m_parts) total += part->edits;
    return total;
}

DocxDocument::~DocxDocument() {
    for (XmlNode* node : m_discarded) xmlFreeNode(node);
}

void DocxDocument::discard(XmlNode* node) {
    if (!node->parent) return;  // already out
    xmlUnlinkNode(node);
    m_discarded.push_back(node);
    ++m_structureEdits;
}

void DocxDocument::checkPresent(const XmlNode* node) const {
    const xmlNode* up = node;
    while (up->parent) up = up->parent;
    if (up->type != XML_DOCUMENT_NODE) raise(WordError::ObjectDeleted);
}

void DocxDocument::noteRowAdded(Story& story, XmlNode* row, int64_t counted) {
    ++m_structureEdits;
    story.rowAdded(row, counted);
    if (story.part()) ++story.part()->edits;
}

void DocxDocument::noteStructureEdit(Story& story) {
    ++m_structureEdits;
    story.markStructureChanged();
    if (story.part()) ++story.part()->edits;
}

}  // namespace lumora::word
