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

void indexRun(xmlNode* run, xmlNode* paragraph, xmlNode* cell, Story::Index& index) {
    using S = Story::Segment;
    for (xmlNode* child = run->children; child; child = child->next) {
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
}

void indexInline(xmlNode* container, xmlNode* paragraph, xmlNode* cell, Story::Index& index) {
    for (xmlNode* child = container->children; child; child = child->next) {
        if (ml::is(child, "r"))
            indexRun(child, paragraph, cell, index);
        else if (isInlineWrapper(child))
            indexInline(child, paragraph, cell, index);
    }
}

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
