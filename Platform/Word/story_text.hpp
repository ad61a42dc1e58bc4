#pragma once
// A story's characters and their case-folded twin, held with a gap where the last edit was.
// Tags are replaced in document order, so an edit moves only the characters between it and the
// edit before, not everything after it in both copies. Positions are those of the text without
// the gap; finding reads the two sides of the gap and the few characters that span it.

#include <string>
#include <string_view>

namespace lumora::word {

class StoryText {
public:
    static constexpr size_t npos = std::u32string_view::npos;

    size_t size() const { return m_plain.size() - m_gapLength; }
    bool empty() const { return size() == 0; }
    char32_t at(size_t position) const { return m_plain[physical(position)]; }
    char32_t foldedAt(size_t position) const { return m_folded[physical(position)]; }

    // Adds characters at the end, folding them for finds that ignore case.
    void append(std::u32string_view text);
    // Replaces `count` characters at `start` by all of `with`.
    void replace(size_t start, size_t count, const StoryText& with);
    std::u32string characters(size_t start, size_t end) const;

    // The first start at or after `from` of `needle` lying within [start, end), or npos; the
    // folded twin is searched when `folded` (the needle then folded already). A search for the
    // needle of the last forward search, from inside the stretch that search passed over
    // without finding it, goes on from that stretch's end.
    size_t findForward(std::u32string_view needle, bool folded, size_t start, size_t end, size_t from) const;
    // The last such start at or before `upTo`, or npos.
    size_t findBackward(std::u32string_view needle, bool folded, size_t start, size_t end, size_t upTo) const;

private:
    size_t physical(size_t position) const { return position < m_gapStart ? position : position + m_gapLength; }
    void moveGap(size_t to);
    // findForward's search itself, from `from` on.
    size_t findUnpassed(std::u32string_view needle, bool folded, size_t start, size_t end, size_t from) const;
    bool matchesAt(std::u32string_view needle, bool folded, size_t position) const;
    // A stretch of characters without the gap in it, as a view.
    std::u32string_view stretch(bool folded, size_t start, size_t end) const;

    // Shortens the passed stretch to end before any occurrence an edit at `position` may have made.
    void forgetFrom(size_t position);

    std::u32string m_plain;
    std::u32string m_folded;
    size_t m_gapStart = 0;
    size_t m_gapLength = 0;
    // No occurrence of `needle` starts in [from, until). The letters find each occurrence of a
    // tag from the story's start and replace it there, so without this each find would read
    // again all the text before it: quadratic in a value holding the tag thousands of times.
    struct Passed {
        std::u32string needle;
        bool folded = false;
        size_t from = 0;
        size_t until = 0;
    };
    mutable Passed m_passed;
};

}  // namespace lumora::word
