// The merged document: the main body's markup copied per record with its merge fields filled.

#include "merge_execute.hpp"

#include <unordered_map>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Xml/limits.hpp"
#include "merge_story_parts.hpp"
#include "text_budget.hpp"
#include "word_errors.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

constexpr std::string_view kRecordsMark = "lumora-merged-records";

struct BufferFree {
    void operator()(xmlBuffer* buffer) const noexcept { xmlBufferFree(buffer); }
};

// The section properties ending one record: the main document's, starting on a new page.
xmlNode* recordSection(const xmlNode* finalSection, xmlDoc* doc) {
    xmlNode* section = finalSection ? ml::copy(finalSection) : ml::make(doc, "sectPr");
    if (xmlNode* type = ml::firstChild(section, "type")) ml::remove(type);
    xmlNode* type = ml::make(doc, "type");
    xmlNewNsProp(type, type->ns, BAD_CAST "val", BAD_CAST "nextPage");
    xmlNode* before = ml::firstElement(section);
    while (before && (ml::is(before, "headerReference") || ml::is(before, "footerReference") ||
                      ml::is(before, "footnotePr") || ml::is(before, "endnotePr")))
        before = ml::nextElement(before);
    if (before)
        xmlAddPrevSibling(before, type);
    else
        xmlAddChild(section, type);
    return section;
}

void endSection(xmlNode* lastBlock, xmlNode* anchor, const xmlNode* finalSection) {
    xmlDoc* doc = anchor->doc;
    xmlNode* paragraph = lastBlock && ml::is(lastBlock, "p") ? lastBlock : nullptr;
    if (paragraph) {
        xmlNode* properties = ml::firstChild(paragraph, "pPr");
        if (properties && ml::firstChild(properties, "sectPr")) paragraph = nullptr;  // ends a section already
    }
    if (!paragraph) paragraph = xmlAddPrevSibling(anchor, ml::make(doc, "p"));
    xmlNode* properties = ml::firstChild(paragraph, "pPr");
    if (!properties) {
        properties = ml::make(doc, "pPr");
        if (paragraph->children)
            xmlAddPrevSibling(paragraph->children, properties);
        else
            xmlAddChild(paragraph, properties);
    }
    xmlNode* section = recordSection(finalSection, doc);
    xmlAddChild(properties, section);
    // The section properties come last in the paragraph's properties, with only its change after.
    if (xmlNode* change = ml::firstChild(properties, "pPrChange")) {
        xmlUnlinkNode(change);
        xmlAddChild(properties, change);
    }
}

// The section properties in a part of the letter: a paragraph's, or the body's own.
void collectSections(xmlNode* node, std::vector<xmlNode*>& out) {
    if (ml::is(node, "sectPr")) {
        out.push_back(node);
        return;
    }
    for (xmlNode* child = node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) collectSections(child, out);
}

}  // namespace

Package mergeDocument(DocxDocument& mainDocument, const MergeData& data, const MergeOptions& options) {
    Package package = mainDocument.packageAsSaved();
    const std::string partName = mainDocument.mainPartName();
    XmlPart part = parsePart(partName, *package.find(partName));
    xmlDoc* doc = part.doc.get();
    xmlNode* root = xmlDocGetRootElement(doc);
    xmlNode* body = ml::firstChild(root, "body");
    if (!body) raise(WordError::NoMainDocument, partName);
    xmlNode* finalSection = body->last;
    while (finalSection && finalSection->type != XML_ELEMENT_NODE) finalSection = finalSection->prev;
    if (finalSection && !ml::is(finalSection, "sectPr")) finalSection = nullptr;

    // The letter leaves the body, which is written once around a mark; each record's copy is
    // written in at the mark as it is made, so the merged part is only ever held as its text.
    std::vector<xmlNode*> letter;
    for (xmlNode* child = body->children; child;) {
        xmlNode* next = child->next;
        xmlUnlinkNode(child);
        if (child->type == XML_ELEMENT_NODE)
            letter.push_back(child);
        else
            xmlFreeNode(child);
        child = next;
    }
    xmlAddChild(body, xmlNewDocComment(doc, BAD_CAST std::string(kRecordsMark).c_str()));
    xmlNode* anchor = body->children;
    const std::string skeleton = serializePart(part);
    const std::string mark = "<!--" + std::string(kRecordsMark) + "-->";
    const size_t markAt = skeleton.find(mark);
    // The letter is kept under the root, where the namespaces it uses are declared, so its
    // copies declare none of their own.
    xmlNode* original = xmlAddChild(root, ml::make(doc, "body"));
    std::vector<xmlNode*> blocks, sections;
    for (xmlNode* node : letter) {
        xmlAddChild(original, node);
        if (node != finalSection) blocks.push_back(node);
        collectSections(node, sections);
    }

    FieldValues values(data);
    const size_t count = data.records.size();
    // Without records there is no letter whose header could be filled.
    RecordStoryParts storyParts(package, partName, count > 0 ? sections : std::vector<xmlNode*>{}, values, options);
    std::string markup = skeleton.substr(0, markAt);
    const std::unique_ptr<xmlBuffer, BufferFree> buffer(xmlBufferCreate());
    if (!buffer) throw std::bad_alloc();
    for (size_t record = 0; record < count; ++record) {
        values.setRecord(record);
        xmlNode* lastKept = nullptr;
        for (xmlNode* block : blocks) {
            xmlNode* copy = xmlAddPrevSibling(anchor, ml::copy(block));
            if (fillBlock(copy, values, options).kept) lastKept = copy;
        }
        if (record + 1 < count)
            endSection(lastKept, anchor, finalSection);
        else if (finalSection)
            xmlAddPrevSibling(anchor, count > 1 ? recordSection(finalSection, doc) : ml::copy(finalSection));
        storyParts.fillRecord(record, body);
        // The record's markup is written out and its nodes freed before the next record.
        for (xmlNode* node = body->children; node != anchor;) {
            xmlNode* next = node->next;
            xmlBufferEmpty(buffer.get());
            xmlNodeDump(buffer.get(), doc, node, 0, 0);
            markup.append(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                          static_cast<size_t>(xmlBufferLength(buffer.get())));
            ml::remove(node);
            node = next;
        }
        // Letters past what a document part may hold are refused now, before the memory is taken.
        if (markup.size() > xml::kMaxDocumentBytes) refuseGrowth();
        // The first letter tells about how long the rest will be: the text grows once, not by doubling.
        if (record == 0 && count > 1)
            markup.reserve(std::min(markup.size() + (markup.size() - markAt) * (count - 1) / 8 * 9, xml::kMaxDocumentBytes) +
                           skeleton.size());
    }
    if (count == 0 && finalSection) {
        xmlAddPrevSibling(anchor, ml::copy(finalSection));
        xmlBufferEmpty(buffer.get());
        xmlNodeDump(buffer.get(), doc, anchor->prev, 0, 0);
        markup.append(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                      static_cast<size_t>(xmlBufferLength(buffer.get())));
    }
    markup.append(skeleton, markAt + mark.size());
    package.put(partName, std::move(markup));
    storyParts.finish();
    return package;
}

}  // namespace lumora::word
