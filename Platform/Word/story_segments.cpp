// The story's segments with a gap at the last edit.

#include "story_segments.hpp"

namespace lumora::word {

namespace {

// Room left behind an edit that needed more, so the following edits rarely grow the list.
constexpr size_t kSpareGap = 64;

}  // namespace

int32_t SegmentList::startAt(size_t physicalIndex) const {
    const int32_t stored = m_items[physicalIndex].start;
    return physicalIndex < m_gapStart ? stored : stored + m_length;
}

SegmentList::Segment SegmentList::operator[](size_t index) const {
    const size_t at = physical(index);
    Segment segment = m_items[at];
    segment.start = startAt(at);
    return segment;
}

// The segments crossing the gap change how their starts are kept (from the story's start before
// the gap, back from its end after it), whether or not the gap has room in it.
void SegmentList::moveGap(size_t to) {
    if (to < m_gapStart) {
        for (size_t i = m_gapStart; i-- > to;) {
            Segment segment = m_items[i];
            segment.start -= m_length;
            m_items[i + m_gapLength] = segment;
        }
    } else {
        for (size_t i = m_gapStart; i < to; ++i) {
            Segment segment = m_items[i + m_gapLength];
            segment.start += m_length;
            m_items[i] = segment;
        }
    }
    m_gapStart = to;
}

void SegmentList::append(const Segment& segment) {
    moveGap(size());
    if (m_gapLength > 0) {
        m_items[m_gapStart] = segment;
        --m_gapLength;
    } else {
        m_items.push_back(segment);
    }
    ++m_gapStart;
    m_length = segment.end();
}

void SegmentList::replaceBack(const Segment& segment) {
    moveGap(size());
    m_items[m_gapStart - 1] = segment;
    m_length = segment.end();
}

void SegmentList::replace(size_t from, size_t count, const SegmentList& fresh, int32_t offset) {
    const int32_t oldStart = from < size() ? (*this)[from].start : m_length;
    const int32_t oldEnd = count > 0 ? (*this)[from + count - 1].end() : oldStart;
    // The replaced segments join the gap, which then takes the fresh ones.
    moveGap(from + count);
    m_gapStart = from;
    m_gapLength += count;
    if (m_gapLength < fresh.size()) {
        const size_t grow = fresh.size() - m_gapLength + kSpareGap + size() / 16;
        m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(m_gapStart), grow, Segment{});
        m_gapLength += grow;
    }
    for (size_t k = 0; k < fresh.size(); ++k) {
        Segment segment = fresh[k];
        segment.start += offset;
        m_items[m_gapStart++] = segment;
        --m_gapLength;
    }
    // The segments after the gap count back from the end, which moves by the change in length.
    m_length += fresh.m_length - (oldEnd - oldStart);
}

size_t SegmentList::indexAt(int32_t position) const {
    // The last segment starting at or before position.
    size_t low = 0;
    size_t high = size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (startAt(physical(middle)) <= position)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0) return size();
    const size_t found = low - 1;
    return position < (*this)[found].end() ? found : size();
}

size_t SegmentList::firstOf(const XmlNode* paragraph) const {
    const size_t count = size();
    size_t found = count;
    for (size_t above = m_gapStart, below = m_gapStart; found == count && (above < count || below > 0);) {
        if (above < count && m_items[physical(above)].paragraph == paragraph)
            found = above;
        else if (below > 0 && m_items[physical(below - 1)].paragraph == paragraph)
            found = below - 1;
        ++above;
        if (below > 0) --below;
    }
    if (found == count) return count;
    while (found > 0 && m_items[physical(found - 1)].paragraph == paragraph) --found;
    return found;
}

}  // namespace lumora::word
