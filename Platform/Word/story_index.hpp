#pragma once
// The index behind a Story: its text and, for every stretch of it, the markup node it comes
// from. Shared by the story's reading, finding and editing source files only.

#include <libxml/tree.h>

#include "story.hpp"
#include "story_segments.hpp"
#include "story_text.hpp"

namespace lumora::word {

struct Story::Index {
    StoryText text;  // with its case-folded twin, for finds ignoring case
    SegmentList segments;
    bool stale = false;
};

// Appends the segments and text of one paragraph, starting at text.size().
void indexParagraph(xmlNode* paragraph, xmlNode* cell, bool endsCell, Story::Index& index);
// Appends the segments and text of the paragraph's content after the content node `after` and
// before the content node `before` (nullptr: from the paragraph's start, to its end), its end
// mark left out.
void indexStretch(xmlNode* paragraph, xmlNode* cell, xmlNode* after, xmlNode* before, Story::Index& index);
// Appends a table row's cells, each ending with its cell's end mark.
void indexRow(xmlNode* row, Story::Index& index);
// Appends a whole story container (w:body, w:hdr, w:ftr, w:txbxContent, w:tc).
void indexBlocks(xmlNode* container, xmlNode* cell, Story::Index& index);

}  // namespace lumora::word
