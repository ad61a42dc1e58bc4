#pragma once
// The segments of a story's index in document order, held like the story's text with a gap at
// the last edit. An edit puts its re-read segments in at the gap, and the segments after the gap
// keep their starts counted back from the story's end, so an edit neither moves them nor
// rewrites their starts. Edits in document order (tags replaced one after another, a list table
// filled row by row) then cost what they touch, not the length of what follows them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "story.hpp"

namespace lumora::word {

// A stretch of the story's text and the markup node it comes from.
struct Story::Segment {
    enum Kind : uint8_t { Text, Tab, Break, ParagraphEnd, CellEnd };
    int32_t start = 0;
    int32_t length = 0;
    Kind kind = Text;
    XmlNode* node = nullptr;       // w:t, w:tab, w:br; the w:p for the ends
    XmlNode* paragraph = nullptr;  // the w:p the segment belongs to
    XmlNode* cell = nullptr;       // the w:tc holding the paragraph, or nullptr
    int32_t end() const { return start + length; }
};

class SegmentList {
public:
    using Segment = Story::Segment;

    size_t size() const { return m_items.size() - m_gapLength; }
    bool empty() const { return size() == 0; }
    // The segment at index, its start a position in the story.
    Segment operator[](size_t index) const;
    // The last segment; the list is not empty.
    Segment back() const { return (*this)[size() - 1]; }

    // Adds a segment after the last (its start where the last ends).
    void append(const Segment& segment);
    // Replaces the last segment, which may grow (a paragraph's end becoming its cell's end).
    void replaceBack(const Segment& segment);
    // Replaces `count` segments from `from` by those of `fresh`, whose starts count from `offset`;
    // the segments after them move by the difference in length.
    void replace(size_t from, size_t count, const SegmentList& fresh, int32_t offset);

    // The index of the segment holding position, or size() when none does.
    size_t indexAt(int32_t position) const;
    // The index of the paragraph's first segment, or size() when the paragraph has none. Looked
    // for outward from the last edit, where script nearly always works next.
    size_t firstOf(const XmlNode* paragraph) const;

private:
    size_t physical(size_t index) const { return index < m_gapStart ? index : index + m_gapLength; }
    int32_t startAt(size_t physicalIndex) const;
    void moveGap(size_t to);

    std::vector<Segment> m_items;
    size_t m_gapStart = 0;
    size_t m_gapLength = 0;
    int32_t m_length = 0;  // where the last segment ends: the stored starts after the gap count back from here
};

}  // namespace lumora::word
