// Editing a story: a replacement changes the markup of the paragraphs it touches, in place, so
// everything else in the part stays byte for byte what it was. Only what it touched is read
// again (the stretch of its paragraph, or whole paragraphs when it joins or splits them), so a
// paragraph grown long by earlier values costs an edit nothing; the index after it moves by the
// change in length.

#include <algorithm>

#include "Automation/error.hpp"
#include "story_index.hpp"
#include "text_budget.hpp"
#include "wordml.hpp"
#include "word_errors.hpp"
#include "xml_part.hpp"

namespace lumora::word {

namespace {

using Segment = Story::Segment;

// Where inserted text goes: a w:t and a code point offset in it.
struct Anchor {
    xmlNode* text = nullptr;
    size_t offset = 0;
};

// The characters a replacement may carry: line ends become "\r", and what XML cannot hold
// (other control characters, non-characters) is dropped rather than written into a part that
// no reader would open again.
std::u32string cleanInsert(std::u32string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'\r') {
            out += U'\r';
            if (i + 1 < text.size() && text[i + 1] == U'\n') ++i;
        } else if (c == U'\n') {
            out += U'\r';
        } else if (c == U'\t' || c == U'\v' || c == U'\f' || c >= 0x20) {
            if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF) continue;
            out += c;
        }
    }
    return out;
}

// Run properties fit for a new run: copied, without the revision marks a paragraph mark's
// properties may carry.
xmlNode* runPropertiesFrom(const xmlNode* properties) {
    if (!properties) return nullptr;
    xmlNode* copied = ml::copy(properties);
    xmlNodeSetName(copied, reinterpret_cast<const xmlChar*>("rPr"));
    for (xmlNode* child = copied->children; child;) {
        xmlNode* next = child->next;
        for (const char* mark : {"ins", "del", "moveFrom", "moveTo", "rPrChange"})
            if (ml::is(child, mark)) {
                ml::remove(child);
                break;
            }
        child = next;
    }
    return copied;
}

xmlNode* newRunLike(xmlDoc* doc, const xmlNode* properties) {
    xmlNode* run = ml::make(doc, "r");
    if (xmlNode* copied = runPropertiesFrom(properties)) xmlAddChild(run, copied);
    return run;
}

// The run properties a paragraph's new text takes: those of its last run, else its mark's.
const xmlNode* paragraphRunProperties(const xmlNode* paragraph) {
    for (const xmlNode* child = paragraph->last; child; child = child->prev)
        if (ml::is(child, "r")) return ml::firstChild(child, "rPr");
    return ml::firstChild(ml::firstChild(paragraph, "pPr"), "rPr");
}

void removeIfEmptyRun(XmlPart& part, xmlNode* run) {
    if (!ml::is(run, "r")) return;
    for (xmlNode* child = run->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && !ml::is(child, "rPr")) return;
    part.discarded.take(run);
}

void removeContent(XmlPart& part, xmlNode* node) {
    xmlNode* run = node->parent;
    part.discarded.take(node);
    removeIfEmptyRun(part, run);
}

// Joins the paragraph after into paragraph: its content moves over, its properties go, except
// a section break its mark carried, which the joined paragraph's mark now ends the section with.
void mergeParagraphs(XmlPart& part, xmlNode* paragraph, xmlNode* after) {
    if (xmlNode* sectionBreak = ml::firstChild(ml::firstChild(after, "pPr"), "sectPr")) {
        xmlNode* properties = ml::firstChild(paragraph, "pPr");
        if (!properties) {
            properties = ml::make(paragraph->doc, "pPr");
            if (paragraph->children)
                xmlAddPrevSibling(paragraph->children, properties);
            else
                xmlAddChild(paragraph, properties);
        }
        if (xmlNode* own = ml::firstChild(properties, "sectPr")) part.discarded.take(own);
        xmlUnlinkNode(sectionBreak);
        xmlAddChild(properties, sectionBreak);
    }
    for (xmlNode* child = after->children; child;) {
        xmlNode* next = child->next;
        if (!ml::is(child, "pPr")) {
            xmlUnlinkNode(child);
            xmlAddChild(paragraph, child);
        }
        child = next;
    }
    part.discarded.take(after);
}

// A deletion that takes a whole paragraph, from its start through its mark, leaves the paragraph
// whose mark stays as it was: the joined paragraph takes that one's properties. The deleted
// paragraph's go (with a section break its mark ended, which went with the mark). A deletion
// from inside a paragraph keeps that paragraph's, as the word processor does when it joins.
void keepPropertiesOfTheParagraphAfter(XmlPart& part, xmlNode* paragraph, xmlNode* after) {
    if (xmlNode* own = ml::firstChild(paragraph, "pPr")) part.discarded.take(own);
    if (xmlNode* properties = ml::firstChild(after, "pPr")) {
        xmlUnlinkNode(properties);
        if (paragraph->children)
            xmlAddPrevSibling(paragraph->children, properties);
        else
            xmlAddChild(paragraph, properties);
    }
}

// Inserts text at the anchor, splitting runs for tabs and breaks and paragraphs for "\r".
// Returns how many paragraphs were added after the anchor's.
int32_t insertAt(XmlPart& part, const Anchor& anchor, std::u32string_view text) {
    xmlDoc* doc = anchor.text->doc;
    const std::u32string existing = toU32(ml::text(anchor.text));
    const std::u32string_view whole(existing);
    xmlNode* run = anchor.text->parent;
    xmlNode* paragraph = run;
    while (paragraph && !ml::is(paragraph, "p")) paragraph = paragraph->parent;

    const size_t firstSpecial = text.find_first_of(U"\t\v\f\r");
    const std::u32string_view leading = text.substr(0, firstSpecial);
    ml::setText(anchor.text, toUtf8(std::u32string(whole.substr(0, anchor.offset)) + std::u32string(leading)));
    xmlNode* next = anchor.text->next;
    if (anchor.offset < whole.size()) {
        xmlNode* rest = ml::make(doc, "t");
        ml::setText(rest, toUtf8(whole.substr(anchor.offset)));
        xmlAddNextSibling(anchor.text, rest);
        next = rest;
    }
    const auto place = [&](xmlNode* node) {
        if (next)
            xmlAddPrevSibling(next, node);
        else
            xmlAddChild(run, node);
    };

    int32_t paragraphsAdded = 0;
    size_t at = firstSpecial;
    while (at != std::u32string_view::npos && at < text.size()) {
        const char32_t c = text[at];
        if (c == U'\t') {
            place(ml::make(doc, "tab"));
        } else if (c == U'\v' || c == U'\f' || (c == U'\r' && run->parent != paragraph)) {
            // A paragraph cannot be split inside a hyperlink or field: a line break stands in.
            xmlNode* br = ml::make(doc, "br");
            if (c == U'\f') xmlNewNsProp(br, br->ns, reinterpret_cast<const xmlChar*>("type"), reinterpret_cast<const xmlChar*>("page"));
            place(br);
        } else {
            xmlNode* split = ml::make(doc, "p");
            if (xmlNode* properties = ml::firstChild(paragraph, "pPr")) {
                xmlAddChild(split, ml::copy(properties));
                // A section break belongs to the mark that ends the section: now the new paragraph's.
                if (xmlNode* sectionBreak = ml::firstChild(properties, "sectPr")) part.discarded.take(sectionBreak);
            }
            xmlAddNextSibling(paragraph, split);
            xmlNode* splitRun = newRunLike(doc, ml::firstChild(run, "rPr"));
            xmlAddChild(split, splitRun);
            for (xmlNode* moving = next; moving;) {
                xmlNode* following = moving->next;
                xmlUnlinkNode(moving);
                xmlAddChild(splitRun, moving);
                moving = following;
            }
            for (xmlNode* moving = run->next; moving;) {
                xmlNode* following = moving->next;
                xmlUnlinkNode(moving);
                xmlAddChild(split, moving);
                moving = following;
            }
            paragraph = split;
            run = splitRun;
            ++paragraphsAdded;
        }
        const size_t following = text.find_first_of(U"\t\v\f\r", at + 1);
        const std::u32string_view chunk = text.substr(at + 1, following == std::u32string_view::npos ? std::u32string_view::npos : following - at - 1);
        if (!chunk.empty()) {
            xmlNode* node = ml::make(doc, "t");
            ml::setText(node, toUtf8(chunk));
            place(node);
        }
        at = following;
    }
    return paragraphsAdded;
}

// Where text inserted before a tab, break or paragraph end goes when no text precedes it in
// its paragraph: the run that ends the paragraph (an empty run keeps the formatting a cell or
// line was given), or a new run formatted like the paragraph's last.
Anchor anchorBefore(const Segment& at) {
    xmlDoc* doc = at.node->doc;
    xmlNode* text = ml::make(doc, "t");
    if (at.kind == Segment::Tab || at.kind == Segment::Break) {
        xmlAddPrevSibling(at.node, text);
        return Anchor{text, 0};
    }
    xmlNode* last = at.paragraph->last;
    while (last && last->type != XML_ELEMENT_NODE) last = last->prev;
    if (ml::is(last, "r")) {
        xmlNode* lastInRun = last->last;
        while (lastInRun && lastInRun->type != XML_ELEMENT_NODE) lastInRun = lastInRun->prev;
        if (ml::is(lastInRun, "t")) {
            xmlFreeNode(text);
            return Anchor{lastInRun, toU32(ml::text(lastInRun)).size()};
        }
        xmlAddChild(last, text);
        return Anchor{text, 0};
    }
    xmlNode* run = newRunLike(doc, paragraphRunProperties(at.paragraph));
    xmlAddChild(at.paragraph, run);
    xmlAddChild(run, text);
    return Anchor{text, 0};
}

// The most characters an edit rewrites of a text it changes: a longer one is split into pieces
// of this size first. A value holding a tag thousands of times would otherwise be written out
// again whole for each of them.
constexpr int32_t kTextPiece = 1024;

void splitLongText(XmlPart& part, SegmentList& segments, size_t at) {
    if (at >= segments.size()) return;
    const Segment segment = segments[at];
    if (segment.kind != Segment::Text || segment.length <= kTextPiece) return;
    const std::u32string content = toU32(ml::text(segment.node));
    SegmentList pieces;
    xmlNode* previous = segment.node;
    for (size_t from = 0; from < content.size(); from += kTextPiece) {
        const std::u32string_view piece = std::u32string_view(content).substr(from, kTextPiece);
        xmlNode* node = segment.node;
        if (from > 0) {
            node = ml::make(segment.node->doc, "t");
            xmlAddNextSibling(previous, node);
        }
        ml::setText(node, toUtf8(piece));
        previous = node;
        Segment pieceSegment = segment;
        pieceSegment.start = static_cast<int32_t>(from);
        pieceSegment.length = static_cast<int32_t>(piece.size());
        pieceSegment.node = node;
        pieces.append(pieceSegment);
    }
    segments.replace(at, 1, pieces, segment.start);
    ++part.edits;
}

// A deletion stays within one cell (or outside tables): it takes no cell's end mark, and joins
// no paragraph to one in another cell or table. Error 5904 otherwise.
void checkDeletion(const SegmentList& segments, size_t first, size_t last) {
    for (size_t i = first; i <= last; ++i) {
        const Segment segment = segments[i];
        if (segment.cell != segments[first].cell || segment.kind == Segment::CellEnd)
            raise(WordError::RangeCannotBeEdited);
        if (segment.kind == Segment::ParagraphEnd && segments[i + 1].cell != segment.cell)
            raise(WordError::RangeCannotBeEdited);
    }
}

bool isEndMark(const Segment& segment) {
    return segment.kind == Segment::ParagraphEnd || segment.kind == Segment::CellEnd;
}

// What an edit reads again: `count` segments from `from`, and the segments and text that take
// their place.
struct Reread {
    size_t from = 0;
    size_t count = 0;
    Story::Index fresh;
};

// The stretch of one paragraph from segment `first` to `last`, its end mark left out: the
// content between the untouched segments on either side, however long the paragraph.
Reread rereadStretch(const SegmentList& segments, size_t first, size_t last) {
    Reread out;
    out.from = first;
    const size_t next = isEndMark(segments[last]) ? last : last + 1;
    out.count = next - first;
    xmlNode* paragraph = segments[first].paragraph;
    xmlNode* after = first > 0 && segments[first - 1].paragraph == paragraph ? segments[first - 1].node : nullptr;
    xmlNode* before = isEndMark(segments[next]) ? nullptr : segments[next].node;
    indexStretch(paragraph, segments[first].cell, after, before, out.fresh);
    return out;
}

// The paragraphs from the first touched to the last, with the one joined to it when its mark
// was deleted and those split from it by the inserted text.
Reread rereadParagraphs(const SegmentList& segments, size_t firstSegment, size_t lastSegment, bool deleted,
                        int32_t paragraphsAdded) {
    xmlNode* firstParagraph = segments[firstSegment].paragraph;
    size_t from = firstSegment;
    while (from > 0 && segments[from - 1].paragraph == firstParagraph) --from;
    size_t to = lastSegment;
    if (deleted && segments[lastSegment].kind == Segment::ParagraphEnd) ++to;
    while (to + 1 < segments.size() && segments[to + 1].paragraph == segments[to].paragraph) ++to;
    const bool endsCell = segments[to].kind == Segment::CellEnd;
    Reread out;
    out.from = from;
    out.count = to + 1 - from;
    xmlNode* paragraph = firstParagraph;
    for (int32_t k = 0; k <= paragraphsAdded && paragraph; ++k) {
        indexParagraph(paragraph, segments[firstSegment].cell, endsCell && k == paragraphsAdded, out.fresh);
        paragraph = ml::nextElement(paragraph);
    }
    return out;
}

}  // namespace

int32_t Story::replace(int32_t start, int32_t end, std::u32string_view replacement) {
    ensureIndex();
    Index& index = *m_index;
    auto& segments = index.segments;
    const int32_t size = static_cast<int32_t>(index.text.size());
    if (segments.empty()) raise(WordError::RangeCannotBeEdited);
    start = std::clamp(start, 0, size - 1);
    end = std::clamp(end, start, size - 1);  // the final paragraph mark stays
    const std::u32string inserted = cleanInsert(replacement);
    if (start == end && inserted.empty()) return start;

    if (start < end) checkDeletion(segments, segmentAt(start), segmentAt(end - 1));

    // The document's budget is asked before the markup changes, so a refused edit changes nothing.
    const int64_t growth = static_cast<int64_t>(inserted.size()) - (end - start);
    if (growth > 0) m_budget.take(growth);

    // The texts the edit rewrites are split first when long: where it starts and ends, and the
    // text before it when inserted text joins that one.
    if (start < end) splitLongText(*m_part, segments, segmentAt(end - 1));
    splitLongText(*m_part, segments, segmentAt(start));
    if (start > 0 && segments[segmentAt(start)].kind != Segment::Text)
        splitLongText(*m_part, segments, segmentAt(start - 1));
    const size_t firstSegment = segmentAt(start);
    const size_t lastSegment = start < end ? segmentAt(end - 1) : firstSegment;

    xmlNode* firstParagraph = segments[firstSegment].paragraph;
    // An edit inside one paragraph that joins it to none reads again only what it touched.
    const bool withinParagraph = segments[lastSegment].paragraph == firstParagraph &&
                                 !(start < end && segments[lastSegment].kind == Segment::ParagraphEnd);

    Anchor anchor;
    size_t anchorSegment = firstSegment;
    if (!inserted.empty()) {
        const Segment& at = segments[firstSegment];
        if (at.kind == Segment::Text) {
            anchor = Anchor{at.node, static_cast<size_t>(start - at.start)};
        } else if (firstSegment > 0 && segments[firstSegment - 1].kind == Segment::Text &&
                   segments[firstSegment - 1].paragraph == at.paragraph) {
            anchorSegment = firstSegment - 1;
            anchor = Anchor{segments[anchorSegment].node, static_cast<size_t>(segments[anchorSegment].length)};
        } else {
            anchor = anchorBefore(at);
        }
    }

    if (start < end && !withinParagraph) {
        // The paragraph whose mark ends the joined one.
        xmlNode* kept = segments[lastSegment].kind == Segment::ParagraphEnd ? segments[lastSegment + 1].paragraph
                                                                            : segments[lastSegment].paragraph;
        size_t paragraphFirst = firstSegment;
        while (paragraphFirst > 0 && segments[paragraphFirst - 1].paragraph == firstParagraph) --paragraphFirst;
        if (start <= segments[paragraphFirst].start && kept != firstParagraph)
            keepPropertiesOfTheParagraphAfter(*m_part, firstParagraph, kept);
    }
    for (size_t i = lastSegment + 1; i-- > firstSegment && start < end;) {
        const Segment& segment = segments[i];
        const size_t low = static_cast<size_t>(std::max(start, segment.start) - segment.start);
        const size_t high = static_cast<size_t>(std::min(end, segment.end()) - segment.start);
        if (segment.kind == Segment::Text && low == 0 && high == static_cast<size_t>(segment.length) &&
            segment.node != anchor.text) {
            removeContent(*m_part, segment.node);
        } else if (segment.kind == Segment::Text) {
            std::u32string content = toU32(ml::text(segment.node));
            content.erase(low, high - low);
            if (content.empty() && segment.node != anchor.text)
                removeContent(*m_part, segment.node);
            else
                ml::setText(segment.node, toUtf8(content));
        } else if (segment.kind == Segment::Tab || segment.kind == Segment::Break) {
            removeContent(*m_part, segment.node);
        } else if (segment.kind == Segment::ParagraphEnd) {
            mergeParagraphs(*m_part, segment.paragraph, segments[i + 1].paragraph);
        }
    }
    const int32_t paragraphsAdded = inserted.empty() ? 0 : insertAt(*m_part, anchor, inserted);
    ++m_part->edits;

    const Reread reread = withinParagraph && paragraphsAdded == 0
                              ? rereadStretch(segments, std::min(anchorSegment, firstSegment), lastSegment)
                              : rereadParagraphs(segments, firstSegment, lastSegment, start < end, paragraphsAdded);
    const Index& fresh = reread.fresh;
    const size_t next = reread.from + reread.count;
    const int32_t oldStart = segments[reread.from].start;
    const int32_t oldEnd = next < segments.size() ? segments[next].start : static_cast<int32_t>(index.text.size());
    const int32_t delta = static_cast<int32_t>(fresh.text.size()) - (oldEnd - oldStart);
    segments.replace(reread.from, reread.count, fresh.segments, oldStart);
    m_budget.count(delta - std::max<int64_t>(growth, 0));
    m_counted += delta;
    index.text.replace(static_cast<size_t>(oldStart), static_cast<size_t>(oldEnd - oldStart), fresh.text);

    const int32_t newEnd = end + delta;
    shiftTracked(start, end, newEnd);
    return newEnd;
}

}  // namespace lumora::word
