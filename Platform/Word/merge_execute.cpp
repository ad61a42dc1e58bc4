// The merged document: the main body's markup copied per record with its merge fields filled.

#include "merge_execute.hpp"

#include <unordered_map>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Xml/limits.hpp"
#include "merge_fields.hpp"
#include "text_budget.hpp"
#include "word_errors.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

constexpr std::string_view kRecordsMark = "lumora-merged-records";

struct BufferFree {
    void operator()(xmlBuffer* buffer) const noexcept { xmlBufferFree(buffer); }
};

bool isFieldChar(const xmlNode* run, const char* type) {
    const xmlNode* mark = ml::is(run, "r") ? ml::firstChild(run, "fldChar") : nullptr;
    return mark && ml::attr(mark, "fldCharType") == type;
}

// One record's values by merge field name, the names looked up once per run.
class FieldValues {
public:
    explicit FieldValues(const MergeData& data) : m_data(data) {}
    void setRecord(size_t record) { m_record = record; }
    const std::string& valueOf(const std::string& name) {
        auto found = m_columns.find(name);
        if (found == m_columns.end()) {
            const auto column = m_data.columnOf(name);
            if (!column) raise(WordError::UnknownMergeField, name);
            found = m_columns.emplace(name, *column).first;
        }
        return m_data.records[m_record][found->second];
    }

private:
    const MergeData& m_data;
    std::unordered_map<std::string, size_t> m_columns;
    size_t m_record = 0;
};

// The value as a run in the field's formatting; lines of the value become line breaks.
xmlNode* valueRun(xmlDoc* doc, const xmlNode* formatting, const std::string& value) {
    xmlNode* run = ml::make(doc, "r");
    if (const xmlNode* properties = formatting ? ml::firstChild(formatting, "rPr") : nullptr)
        xmlAddChild(run, ml::copy(properties));
    size_t start = 0;
    while (true) {
        const size_t lineEnd = value.find_first_of("\r\n", start);
        ml::setText(xmlAddChild(run, ml::make(doc, "t")), value.substr(start, lineEnd - start));
        if (lineEnd == std::string::npos) break;
        start = lineEnd + (value.compare(lineEnd, 2, "\r\n") == 0 ? 2 : 1);
        xmlAddChild(run, ml::make(doc, "br"));
    }
    return run;
}

struct ParagraphFields {
    int fields = 0;
    bool anyValue = false;
};

// Replaces `first` .. `last` (siblings) by the value's run.
void replaceField(xmlNode* first, xmlNode* last, const xmlNode* formatting, const std::string& value) {
    // The run is made before the field goes, since the field holds the formatting.
    if (!value.empty()) xmlAddPrevSibling(first, valueRun(first->doc, formatting, value));
    for (xmlNode* node = first; node;) {
        xmlNode* next = node == last ? nullptr : node->next;
        ml::remove(node);
        node = next;
    }
}

void fillFields(xmlNode* container, FieldValues& values, ParagraphFields& counted) {
    for (xmlNode* child = container->children; child;) {
        xmlNode* next = child->next;
        if (child->type != XML_ELEMENT_NODE || ml::is(child, "p")) {
            child = next;
            continue;
        }
        if (ml::is(child, "fldSimple")) {
            if (auto name = mergeFieldName(ml::attr(child, "instr"))) {
                const std::string& value = values.valueOf(*name);
                replaceField(child, child, ml::firstChild(child, "r"), value);
                ++counted.fields;
                counted.anyValue |= !value.empty();
                child = next;
                continue;
            }
        } else if (isFieldChar(child, "begin")) {
            // The field's runs up to its own end, nested fields counted; its result's first run
            // gives the formatting.
            std::string instruction;
            xmlNode* end = nullptr;
            xmlNode* formatting = nullptr;
            bool inResult = false;
            int depth = 0;
            for (xmlNode* node = child; node && !end; node = node->next) {
                if (isFieldChar(node, "begin")) ++depth;
                if (depth == 1 && isFieldChar(node, "separate")) inResult = true;
                if (isFieldChar(node, "end") && --depth == 0) end = node;
                if (depth == 1 && !inResult)
                    if (xmlNode* text = ml::is(node, "r") ? ml::firstChild(node, "instrText") : nullptr)
                        instruction += ml::text(text);
                if (inResult && !formatting && ml::is(node, "r") && ml::firstChild(node, "t")) formatting = node;
            }
            auto name = end ? mergeFieldName(instruction) : std::nullopt;
            if (name) {
                const std::string& value = values.valueOf(*name);
                next = end->next;
                replaceField(child, end, formatting ? formatting : child, value);
                ++counted.fields;
                counted.anyValue |= !value.empty();
                child = next;
                continue;
            }
        }
        fillFields(child, values, counted);
        child = next;
    }
}

bool holdsOnlyBlanks(const xmlNode* node) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (ml::is(child, "t") && !vb::trim(ml::text(child)).empty()) return false;
        if (ml::is(child, "drawing") || ml::is(child, "pict") || ml::is(child, "object") || ml::is(child, "sectPr"))
            return false;
        if (!holdsOnlyBlanks(child)) return false;
    }
    return true;
}

// A cell keeps its last paragraph, whatever it holds.
bool isCellsOnlyParagraph(const xmlNode* paragraph) {
    if (!paragraph->parent || !ml::is(paragraph->parent, "tc")) return false;
    for (const xmlNode* sibling = paragraph->parent->children; sibling; sibling = sibling->next)
        if (sibling != paragraph && ml::is(sibling, "p")) return false;
    return true;
}

void collectParagraphs(xmlNode* node, std::vector<xmlNode*>& out) {
    if (ml::is(node, "p")) out.push_back(node);
    for (xmlNode* child = node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) collectParagraphs(child, out);
}

// Fills one copied block; returns false when the block itself was dropped as a blank line.
bool fillBlock(xmlNode* block, FieldValues& values, const MergeOptions& options) {
    std::vector<xmlNode*> paragraphs;
    collectParagraphs(block, paragraphs);
    // Innermost first: a text box's paragraph is settled before the paragraph anchoring it.
    for (auto it = paragraphs.rbegin(); it != paragraphs.rend(); ++it) {
        xmlNode* paragraph = *it;
        ParagraphFields counted;
        fillFields(paragraph, values, counted);
        if (options.suppressBlankLines && counted.fields > 0 && !counted.anyValue && holdsOnlyBlanks(paragraph) &&
            !isCellsOnlyParagraph(paragraph)) {
            if (paragraph == block) {
                ml::remove(paragraph);
                return false;
            }
            ml::remove(paragraph);
        }
    }
    return true;
}

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

}  // namespace

std::unique_ptr<DocxDocument> mergeDocument(DocxDocument& mainDocument, const MergeData& data,
                                            const MergeOptions& options) {
    Package package = mainDocument.packageAsSaved();
    const std::string& partName = mainDocument.mainPartName();
    XmlPart part = parsePart(partName, *package.find(partName));
    xmlDoc* doc = part.doc.get();
    xmlNode* body = ml::firstChild(xmlDocGetRootElement(doc), "body");
    if (!body) raise(WordError::NoMainDocument, partName);
    xmlNode* finalSection = body->last;
    while (finalSection && finalSection->type != XML_ELEMENT_NODE) finalSection = finalSection->prev;
    if (finalSection && !ml::is(finalSection, "sectPr")) finalSection = nullptr;

    std::vector<xmlNode*> blocks;
    for (xmlNode* child = ml::firstElement(body); child; child = ml::nextElement(child))
        if (child != finalSection) blocks.push_back(child);
    xmlNode* anchor = xmlNewDocComment(doc, BAD_CAST std::string(kRecordsMark).c_str());
    if (finalSection)
        xmlAddPrevSibling(finalSection, anchor);
    else
        xmlAddChild(body, anchor);

    FieldValues values(data);
    std::string records;
    const std::unique_ptr<xmlBuffer, BufferFree> buffer(xmlBufferCreate());
    if (!buffer) throw std::bad_alloc();
    for (size_t record = 0; record < data.records.size(); ++record) {
        values.setRecord(record);
        xmlNode* boundary = anchor->prev;  // the copies go between it and the anchor
        xmlNode* lastKept = nullptr;
        for (xmlNode* block : blocks) {
            xmlNode* copy = xmlAddPrevSibling(anchor, ml::copy(block));
            if (fillBlock(copy, values, options)) lastKept = copy;
        }
        if (record + 1 < data.records.size()) endSection(lastKept, anchor, finalSection);
        // The record's markup is written out and its nodes freed before the next record.
        for (xmlNode* node = boundary ? boundary->next : body->children; node != anchor;) {
            xmlNode* next = node->next;
            xmlBufferEmpty(buffer.get());
            xmlNodeDump(buffer.get(), doc, node, 0, 0);
            records.append(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                           static_cast<size_t>(xmlBufferLength(buffer.get())));
            ml::remove(node);
            node = next;
        }
        // Letters past what a document part may hold are refused now, before the memory is taken.
        if (records.size() > xml::kMaxDocumentBytes) refuseGrowth();
    }
    for (xmlNode* block : blocks) ml::remove(block);
    if (finalSection && data.records.size() > 1) {
        xmlNode* section = recordSection(finalSection, doc);
        xmlReplaceNode(finalSection, section);
        xmlFreeNode(finalSection);
    }

    std::string markup = serializePart(part);
    const std::string mark = "<!--" + std::string(kRecordsMark) + "-->";
    const size_t at = markup.find(mark);
    markup.replace(at, mark.size(), records);
    records = std::string();
    package.put(partName, std::move(markup));
    return DocxDocument::fromPackage(std::move(package), "merged letters");
}

}  // namespace lumora::word
