// Putting whole paragraphs and tables into a story. Like a replacement, the insertion changes
// the markup in place; the story reads its text again afterwards, as after a structure edit.

#include <algorithm>

#include "story_index.hpp"
#include "text_budget.hpp"
#include "wordml.hpp"
#include "xml_part.hpp"

namespace lumora::word {

namespace {

// The single paragraph the blocks consist of, or nullptr.
xmlNode* onlyParagraph(xmlNode* blocks) {
    xmlNode* first = ml::firstElement(blocks);
    return ml::is(first, "p") && !ml::nextElement(first) ? first : nullptr;
}

// Moves a paragraph's content (everything but its properties) to the start of another's.
void moveContentToStart(xmlNode* from, xmlNode* to) {
    xmlNode* properties = ml::firstChild(to, "pPr");
    xmlNode* anchor = properties ? properties->next : to->children;
    for (xmlNode* child = from->children; child;) {
        xmlNode* next = child->next;
        if (!ml::is(child, "pPr")) {
            xmlUnlinkNode(child);
            if (anchor)
                xmlAddPrevSibling(anchor, child);
            else
                xmlAddChild(to, child);
        }
        child = next;
    }
}

}  // namespace

int32_t Story::insertBlocks(int32_t start, int32_t end, XmlNode* blocks) {
    // What the blocks bring is asked of the budget before anything changes: their text, a
    // paragraph mark where the insertion point's paragraph is split, and one for a paragraph
    // after a final table.
    Index counted;
    indexBlocks(blocks, nullptr, counted);
    const auto characters = static_cast<int64_t>(counted.text.size());
    ensureIndex();
    if (characters + 2 > room() + std::max(0, end - start)) refuseGrowth();

    int32_t position = start;
    if (start < end) position = replace(start, end, U"");
    position = std::clamp(position, 0, length() - 1);
    if (!ml::firstElement(blocks)) return position;

    xmlNode* paragraph = m_index->segments[segmentAt(position)].paragraph;
    const bool atParagraphStart = position == 0 || m_index->segments[segmentAt(position - 1)].paragraph != paragraph;
    xmlNode* before = paragraph;  // the paragraph the blocks go in front of, when there is one
    xmlNode* after = nullptr;     // else the one they follow
    bool split = false;
    int32_t contentStart = position;
    if (!atParagraphStart) {
        replace(position, position, U"\r");
        if (characterAt(position) == U'\r') {
            split = true;
            contentStart = position + 1;
            before = m_index->segments[segmentAt(contentStart)].paragraph;
        } else {
            // Inside a hyperlink or field a paragraph is not split: the blocks follow the paragraph.
            replace(position, position + 1, U"");
            contentStart = paragraphEndAfter(position);
            before = nullptr;
            after = paragraph;
            if (!ml::is(blocks->last, "p")) xmlAddChild(blocks, ml::make(paragraph->doc, "p"));
        }
    }

    const int32_t lengthBefore = length();
    takeRoom(characters);
    xmlNode* joined = before ? onlyParagraph(blocks) : nullptr;
    if (joined) {
        moveContentToStart(joined, before);
    } else {
        for (xmlNode* child = blocks->children; child;) {
            xmlNode* next = child->next;
            xmlUnlinkNode(child);
            if (before)
                xmlAddPrevSibling(before, child);
            else
                after = xmlAddNextSibling(after, child);
            child = next;
        }
    }
    ++m_part->edits;
    markStructureChanged();
    const int32_t added = length() - lengthBefore;
    shiftTracked(contentStart, contentStart, contentStart + added);
    if (joined && split) {
        // The text joins the paragraph it was put into: the mark the split made goes again.
        replace(contentStart - 1, contentStart, U"");
        return contentStart - 1 + added;
    }
    return contentStart + added;
}

void Story::rowAdded(XmlNode* row, int64_t counted) {
    if (!m_index || m_index->stale) return;
    SegmentList& segments = m_index->segments;
    // The new row's text goes after the previous row's last cell end, or before the next row's
    // first paragraph; rows inside content controls or cells without paragraphs are read whole.
    size_t at = segments.size();
    xmlNode* previous = row->prev;
    while (previous && previous->type != XML_ELEMENT_NODE) previous = previous->prev;
    xmlNode* next = ml::nextElement(row);
    auto lastParagraph = [](xmlNode* tableRow) -> xmlNode* {
        xmlNode* cell = tableRow->last;
        while (cell && !ml::is(cell, "tc")) cell = cell->prev;
        xmlNode* paragraph = cell ? cell->last : nullptr;
        while (paragraph && !ml::is(paragraph, "p")) paragraph = paragraph->prev;
        return paragraph;
    };
    auto firstParagraph = [](xmlNode* tableRow) -> xmlNode* {
        xmlNode* cell = ml::firstChild(tableRow, "tc");
        return cell ? ml::firstChild(cell, "p") : nullptr;
    };
    if (previous && ml::is(previous, "tr")) {
        xmlNode* paragraph = lastParagraph(previous);
        size_t first = paragraph ? segments.firstOf(paragraph) : segments.size();
        while (first < segments.size() && segments[first].kind != Segment::CellEnd) ++first;
        at = first < segments.size() ? first + 1 : segments.size() + 1;
    } else if (next && ml::is(next, "tr")) {
        xmlNode* paragraph = firstParagraph(next);
        at = paragraph ? segments.firstOf(paragraph) : segments.size() + 1;
    } else {
        at = segments.size() + 1;
    }
    if (at > segments.size()) {
        markStructureChanged();
        return;
    }
    Index fresh;
    indexRow(row, fresh);
    // A row after the story's last cell end (a table closing the story) goes at the text's end.
    const int32_t position = at < segments.size() ? segments[at].start : static_cast<int32_t>(m_index->text.size());
    const auto added = static_cast<int64_t>(fresh.text.size());
    segments.replace(at, 0, fresh.segments, position);
    m_index->text.replace(static_cast<size_t>(position), 0, fresh.text);
    m_budget.count(added - counted);
    m_counted += added - counted;
    shiftTracked(position, position, position + static_cast<int32_t>(added));
}

}  // namespace lumora::word
