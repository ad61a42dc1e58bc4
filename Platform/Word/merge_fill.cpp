// Filling merge fields with a record's values, and leaving out the lines left blank.

#include "merge_fill.hpp"

#include <vector>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "merge_fields.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace {

bool isFieldChar(const xmlNode* run, const char* type) {
    const xmlNode* mark = ml::is(run, "r") ? ml::firstChild(run, "fldChar") : nullptr;
    return mark && ml::attr(mark, "fldCharType") == type;
}

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

}  // namespace

const std::string& FieldValues::valueOf(const std::string& name) {
    auto found = m_columns.find(name);
    if (found == m_columns.end()) {
        const auto column = m_data.columnOf(name);
        if (!column) raise(WordError::UnknownMergeField, name);
        found = m_columns.emplace(name, *column).first;
    }
    return m_data.records[m_record][found->second];
}

FilledBlock fillBlock(xmlNode* block, FieldValues& values, const MergeOptions& options) {
    FilledBlock filled;
    std::vector<xmlNode*> paragraphs;
    collectParagraphs(block, paragraphs);
    // Innermost first: a text box's paragraph is settled before the paragraph anchoring it.
    for (auto it = paragraphs.rbegin(); it != paragraphs.rend(); ++it) {
        xmlNode* paragraph = *it;
        ParagraphFields counted;
        fillFields(paragraph, values, counted);
        filled.fields += counted.fields;
        if (options.suppressBlankLines && counted.fields > 0 && !counted.anyValue && holdsOnlyBlanks(paragraph) &&
            !isCellsOnlyParagraph(paragraph)) {
            if (paragraph == block) {
                ml::remove(paragraph);
                filled.kept = false;
                return filled;
            }
            ml::remove(paragraph);
        }
    }
    return filled;
}


}  // namespace lumora::word
