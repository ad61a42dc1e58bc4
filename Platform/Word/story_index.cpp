// Building a story's index from its markup: which elements carry visible text, which are
// skipped (deleted revisions, field instructions, drawings whose text boxes are stories of their
// own), and where paragraphs and cells end.

#include "story_index.hpp"

#include "Automation/vb/utf8.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

void append(Story::Index& index, Story::Segment::Kind kind, xmlNode* node, xmlNode* paragraph, xmlNode* cell,
            std::u32string_view text) {
    if (text.empty()) return;
    Story::Segment segment;
    segment.start = static_cast<int32_t>(index.text.size());
    segment.length = static_cast<int32_t>(text.size());
    segment.kind = kind;
    segment.node = node;
    segment.paragraph = paragraph;
    segment.cell = cell;
    index.segments.append(segment);
    index.text.append(text);
}

// Containers whose runs are visible text of the paragraph they sit in.
bool isInlineWrapper(const xmlNode* node) {
    for (const char* name : {"hyperlink", "ins", "smartTag", "sdt", "sdtContent", "customXml", "fldSimple", "moveTo",
                             "dir", "bdo"})
        if (ml::is(node, name)) return true;
    return false;
}

// One child of a run: text, a tab, a break; anything else has no characters.
void indexRunChild(xmlNode* child, xmlNode* paragraph, xmlNode* cell, Story::Index& index) {
    using S = Story::Segment;
    if (ml::is(child, "t"))
        append(index, S::Text, child, paragraph, cell, toU32(ml::text(child)));
    else if (ml::is(child, "tab"))
        append(index, S::Tab, child, paragraph, cell, U"\t");
    else if (ml::is(child, "br"))
        append(index, S::Break, child, paragraph, cell, ml::attr(child, "type") == "page" ? U"\f" : U"\v");
    else if (ml::is(child, "cr"))
        append(index, S::Break, child, paragraph, cell, U"\v");
    else if (ml::is(child, "noBreakHyphen"))
        append(index, S::Break, child, paragraph, cell, U"\x1e");
}

void indexRun(xmlNode* run, xmlNode* paragraph, xmlNode* cell, Story::Index& index) {
    for (xmlNode* child = run->children; child; child = child->next) indexRunChild(child, paragraph, cell, index);
}

// The node after `node` in the order the paragraph's content is read: into a run or an inline
// wrapper met among the paragraph's content (when `enter`), and out of each at its end.
xmlNode* nextInParagraph(xmlNode* node, xmlNode* paragraph, bool enter) {
    if (enter && node->children && !ml::is(node->parent, "r") && (ml::is(node, "r") || isInlineWrapper(node)))
        return node->children;
    for (; node != paragraph; node = node->parent)
        if (node->next) return node->next;
    return nullptr;
}

void indexInline(xmlNode* container, xmlNode* paragraph, xmlNode* cell, Story::Index& index) {
    for (xmlNode* child = container->children; child; child = child->next) {
        if (ml::is(child, "r"))
            indexRun(child, paragraph, cell, index);
        else if (isInlineWrapper(child))
            indexInline(child, paragraph, cell, index);
    }
}

}  // namespace

void indexRow(xmlNode* row, Story::Index& index) {
    for (xmlNode* child = row->children; child; child = child->next) {
        if (ml::is(child, "tc")) {
            indexBlocks(child, child, index);
            // The cell's last paragraph ends the cell.
            if (!index.segments.empty() && index.segments.back().kind == Story::Segment::ParagraphEnd &&
                index.segments.back().cell == child) {
                Story::Segment end = index.segments.back();
                end.kind = Story::Segment::CellEnd;
                end.length = 2;
                index.segments.replaceBack(end);
                index.text.append(U"\a");
            }
        } else if (ml::is(child, "sdt") || ml::is(child, "customXml")) {
            xmlNode* content = ml::is(child, "sdt") ? ml::firstChild(child, "sdtContent") : child;
            if (content) indexRow(content, index);
        }
    }
}

namespace {

void indexTable(xmlNode* table, Story::Index& index) {
    for (xmlNode* child = table->children; child; child = child->next) {
        if (ml::is(child, "tr"))
            indexRow(child, index);
        else if (ml::is(child, "sdt") || ml::is(child, "customXml")) {
            xmlNode* content = ml::is(child, "sdt") ? ml::firstChild(child, "sdtContent") : child;
            if (content) indexTable(content, index);
        }
    }
}

}  // namespace

void indexParagraph(xmlNode* paragraph, xmlNode* cell, bool endsCell, Story::Index& index) {
    indexInline(paragraph, paragraph, cell, index);
    append(index, endsCell ? Story::Segment::CellEnd : Story::Segment::ParagraphEnd, paragraph, paragraph, cell,
           endsCell ? U"\r\a" : U"\r");
}

void indexStretch(xmlNode* paragraph, xmlNode* cell, xmlNode* after, xmlNode* before, Story::Index& index) {
    xmlNode* node = after ? nextInParagraph(after, paragraph, false) : paragraph->children;
    for (; node && node != before; node = nextInParagraph(node, paragraph, true))
        if (ml::is(node->parent, "r")) indexRunChild(node, paragraph, cell, index);
}

void indexBlocks(xmlNode* container, xmlNode* cell, Story::Index& index) {
    for (xmlNode* child = container->children; child; child = child->next) {
        if (ml::is(child, "p"))
            indexParagraph(child, cell, false, index);
        else if (ml::is(child, "tbl"))
            indexTable(child, index);
        else if (ml::is(child, "sdt")) {
            if (xmlNode* content = ml::firstChild(child, "sdtContent")) indexBlocks(content, cell, index);
        } else if (ml::is(child, "customXml"))
            indexBlocks(child, cell, index);
    }
}

std::u32string toU32(std::string_view utf8) { return vb::utf8::decode(utf8); }
std::string toUtf8(std::u32string_view text) { return vb::utf8::encode(text); }

}  // namespace lumora::word
