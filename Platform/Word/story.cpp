// Reading a story: its text, finding in it, and where elements and cells lie.

#include <algorithm>

#include "story_index.hpp"
#include "text_budget.hpp"
#include "wordml.hpp"

namespace lumora::word {

Story::Story(XmlNode* root, XmlPart* part, int32_t type, TextBudget& budget)
    : m_root(root), m_part(part), m_type(type), m_budget(budget) {}
Story::~Story() = default;

void Story::ensureIndex() {
    if (m_index && !m_index->stale) return;
    auto index = std::make_unique<Index>();
    indexBlocks(m_root, nullptr, *index);
    // Every story ends with a paragraph mark, even one whose markup holds no paragraph.
    if (index->text.empty()) index->text.append(U"\r");
    m_index = std::move(index);
    const auto length = static_cast<int64_t>(m_index->text.size());
    m_budget.count(length - m_counted);
    m_counted = length;
}

int64_t Story::room() const { return m_budget.room(); }

void Story::takeRoom(int64_t characters) {
    // The story counts once it has been read; a stale index counts what it held plus what was
    // taken since, so it is not read again for every new row.
    if (!m_index) ensureIndex();
    m_budget.take(characters);
    m_counted += characters;
}

int32_t Story::length() {
    ensureIndex();
    return static_cast<int32_t>(m_index->text.size());
}

std::u32string Story::characters(int32_t start, int32_t end) {
    const int32_t size = length();
    start = std::clamp(start, 0, size);
    end = std::clamp(end, start, size);
    return m_index->text.characters(static_cast<size_t>(start), static_cast<size_t>(end));
}

char32_t Story::characterAt(int32_t position) {
    ensureIndex();
    return m_index->text.at(static_cast<size_t>(position));
}

std::string Story::textOf(int32_t start, int32_t end) { return toUtf8(characters(start, end)); }

size_t Story::segmentAt(int32_t position) const { return m_index->segments.indexAt(position); }

XmlNode* Story::runAt(int32_t position) {
    ensureIndex();
    const size_t at = segmentAt(position);
    if (at >= m_index->segments.size()) return nullptr;
    const Segment segment = m_index->segments[at];
    if (segment.kind == Segment::ParagraphEnd || segment.kind == Segment::CellEnd || !segment.node) return nullptr;
    xmlNode* run = segment.node->parent;
    return run && ml::is(run, "r") ? run : nullptr;
}

namespace {

bool isWordCharacter(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c == U'_' || c > 0x7F;
}

}  // namespace

std::optional<Span> Story::find(std::u32string_view needle, int32_t start, int32_t end, const FindOptions& options) {
    ensureIndex();
    if (needle.empty()) return std::nullopt;
    const StoryText& haystack = m_index->text;
    std::u32string folded;
    if (!options.matchCase) {
        folded.reserve(needle.size());
        for (char32_t c : needle) folded += foldCase(c);
        needle = folded;
    }
    const bool folds = !options.matchCase;
    const int32_t size = static_cast<int32_t>(haystack.size());
    start = std::clamp(start, 0, size);
    end = std::clamp(end, start, size);
    const auto from = static_cast<size_t>(start);
    const auto to = static_cast<size_t>(end);
    const auto charAt = [&](size_t at) { return folds ? haystack.foldedAt(at) : haystack.at(at); };
    const auto isWhole = [&](size_t at) {
        const bool before = at == 0 || !isWordCharacter(charAt(at - 1));
        const size_t after = at + needle.size();
        return before && (after >= haystack.size() || !isWordCharacter(charAt(after)));
    };
    const auto found = [&](size_t at) {
        return Span{static_cast<int32_t>(at), static_cast<int32_t>(at + needle.size())};
    };
    constexpr size_t npos = StoryText::npos;
    if (options.forward) {
        for (size_t at = haystack.findForward(needle, folds, from, to, from); at != npos;
             at = haystack.findForward(needle, folds, from, to, at + 1))
            if (!options.wholeWord || isWhole(at)) return found(at);
    } else {
        for (size_t at = haystack.findBackward(needle, folds, from, to, npos); at != npos;
             at = at == 0 ? npos : haystack.findBackward(needle, folds, from, to, at - 1))
            if (!options.wholeWord || isWhole(at)) return found(at);
    }
    return std::nullopt;
}

XmlNode* Story::cellAt(int32_t position) {
    ensureIndex();
    const size_t found = segmentAt(position);
    return found < m_index->segments.size() ? m_index->segments[found].cell : nullptr;
}

namespace {

// The first (or last) paragraph within element in document order, text boxes excluded.
xmlNode* edgeParagraph(xmlNode* element, bool first) {
    if (ml::is(element, "p")) return element;
    if (ml::is(element, "txbxContent")) return nullptr;
    for (xmlNode* child = first ? element->children : element->last; child; child = first ? child->next : child->prev)
        if (child->type == XML_ELEMENT_NODE)
            if (xmlNode* found = edgeParagraph(child, first)) return found;
    return nullptr;
}

}  // namespace

std::optional<Span> Story::spanOf(const XmlNode* element) {
    ensureIndex();
    xmlNode* first = edgeParagraph(const_cast<XmlNode*>(element), true);
    xmlNode* last = edgeParagraph(const_cast<XmlNode*>(element), false);
    if (!first || !last) return std::nullopt;
    const SegmentList& segments = m_index->segments;
    const size_t begin = segments.firstOf(first);
    size_t end = last == first ? begin : segments.firstOf(last);
    if (begin == segments.size() || end == segments.size() || end < begin) return std::nullopt;
    // The last paragraph's end mark closes the span.
    while (end + 1 < segments.size() && segments[end].kind != Segment::ParagraphEnd && segments[end].kind != Segment::CellEnd)
        ++end;
    return Span{segments[begin].start, segments[end].end()};
}

int32_t Story::paragraphEndAfter(int32_t position) {
    ensureIndex();
    const SegmentList& segments = m_index->segments;
    for (size_t i = segmentAt(position); i < segments.size(); ++i)
        if (segments[i].kind == Segment::ParagraphEnd || segments[i].kind == Segment::CellEnd) return segments[i].end();
    return length();
}

void Story::markStructureChanged() {
    if (m_index) m_index->stale = true;
}

std::shared_ptr<Span> Story::track(int32_t start, int32_t end) {
    auto span = std::make_shared<Span>(Span{start, end});
    std::erase_if(m_tracked, [](const std::weak_ptr<Span>& s) { return s.expired(); });
    m_tracked.push_back(span);
    return span;
}

void Story::shiftTracked(int32_t start, int32_t end, int32_t newEnd) {
    const int32_t delta = newEnd - end;
    std::erase_if(m_tracked, [](const std::weak_ptr<Span>& s) { return s.expired(); });
    for (const auto& weak : m_tracked) {
        auto span = weak.lock();
        if (!span) continue;
        if (start == end) {
            // Text put in at a point goes before a range starting there and after one ending there.
            const bool startsAtOrAfter = span->start >= start;
            if (startsAtOrAfter) span->start += delta;
            if (span->end > start || (span->end == start && startsAtOrAfter)) span->end += delta;
            continue;
        }
        // A range over replaced text keeps its outer edges; edges inside go to the new text's.
        const auto moved = [&](int32_t position, bool isEnd) {
            if (position >= end) return position + delta;
            if (position > start) return isEnd ? newEnd : start;
            return position;
        };
        span->start = moved(span->start, false);
        span->end = std::max(span->start, moved(span->end, true));
    }
}

}  // namespace lumora::word
