#pragma once
// The index behind a Story: its text and, for every stretch of it, the markup node it comes
// from. Shared by the story's reading, finding and editing source files only.

#include <libxml/tree.h>

#include <string>
#include <vector>

#include "story.hpp"
#include "story_text.hpp"

namespace lumora::word {

struct Story::Segment {
    enum Kind : uint8_t { Text, Tab, Break, ParagraphEnd, CellEnd };
    int32_t start = 0;
    int32_t length = 0;
    Kind kind = Text;
    xmlNode* node = nullptr;       // w:t, w:tab, w:br; the w:p for the ends
    xmlNode* paragraph = nullptr;  // the w:p the segment belongs to
    xmlNode* cell = nullptr;       // the w:tc holding the paragraph, or nullptr
    int32_t end() const { return start + length; }
};

struct Story::Index {
    StoryText text;  // with its case-folded twin, for finds ignoring case
    std::vector<Segment> segments;
    bool stale = false;
};

// Appends the segments and text of one paragraph, starting at text.size().
void indexParagraph(xmlNode* paragraph, xmlNode* cell, bool endsCell, Story::Index& index);
// Appends a whole story container (w:body, w:hdr, w:ftr, w:txbxContent, w:tc).
void indexBlocks(xmlNode* container, xmlNode* cell, Story::Index& index);

}  // namespace lumora::word
