// The story's characters with a gap at the last edit, and finding across that gap.

#include "story_text.hpp"

#include "story.hpp"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace lumora::word {

namespace {

// Room left behind an edit that needed more, so the following edits rarely grow the buffer.
constexpr size_t kSpareGap = 256;

// The first occurrence of needle in scope at or after `from`, or npos. wchar_t holds a code point
// on this platform, so wmemchr can run ahead to each candidate first character many characters
// at a step; only there is the rest of the needle compared.
size_t findOnward(std::u32string_view scope, std::u32string_view needle, size_t from) {
    static_assert(sizeof(wchar_t) == sizeof(char32_t));
    if (needle.size() > scope.size()) return StoryText::npos;
    const auto* data = reinterpret_cast<const wchar_t*>(scope.data());
    const auto first = static_cast<wchar_t>(needle.front());
    const size_t lastStart = scope.size() - needle.size();
    // Tags share their opening ("<FIELD"), so the rest is compared from its end, where they differ.
    const auto restMatches = [&](size_t at) {
        for (size_t k = needle.size() - 1; k > 0; --k)
            if (scope[at + k] != needle[k]) return false;
        return true;
    };
    for (size_t at = from; at <= lastStart; ++at) {
        const wchar_t* hit = std::wmemchr(data + at, first, lastStart - at + 1);
        if (!hit) break;
        at = static_cast<size_t>(hit - data);
        if (restMatches(at)) return at;
    }
    return StoryText::npos;
}

}  // namespace

void StoryText::moveGap(size_t to) {
    if (to == m_gapStart || m_gapLength == 0) {
        m_gapStart = to;
        return;
    }
    for (std::u32string* buffer : {&m_plain, &m_folded}) {
        char32_t* data = buffer->data();
        if (to < m_gapStart)
            std::memmove(data + to + m_gapLength, data + to, (m_gapStart - to) * sizeof(char32_t));
        else
            std::memmove(data + m_gapStart, data + m_gapStart + m_gapLength, (to - m_gapStart) * sizeof(char32_t));
    }
    m_gapStart = to;
}

void StoryText::forgetFrom(size_t position) {
    const size_t reach = m_passed.needle.empty() ? 0 : m_passed.needle.size() - 1;
    m_passed.until = std::min(m_passed.until, position > reach ? position - reach : 0);
}

void StoryText::append(std::u32string_view text) {
    forgetFrom(size());
    moveGap(size());
    m_plain.resize(size());
    m_folded.resize(m_plain.size());
    m_gapLength = 0;
    m_plain += text;
    for (char32_t c : text) m_folded += foldCase(c);
    m_gapStart = m_plain.size();
}

void StoryText::replace(size_t start, size_t count, const StoryText& with) {
    const size_t added = with.size();
    forgetFrom(start);
    moveGap(start);
    // The replaced characters now follow the gap: they join it.
    m_gapLength += count;
    if (m_gapLength < added) {
        const size_t grow = added - m_gapLength + kSpareGap + size() / 16;
        m_plain.insert(m_gapStart, grow, U'\0');
        m_folded.insert(m_gapStart, grow, U'\0');
        m_gapLength += grow;
    }
    for (size_t i = 0; i < added; ++i) {
        m_plain[m_gapStart + i] = with.at(i);
        m_folded[m_gapStart + i] = with.foldedAt(i);
    }
    m_gapStart += added;
    m_gapLength -= added;
}

std::u32string StoryText::characters(size_t start, size_t end) const {
    std::u32string out;
    out.reserve(end - start);
    const size_t split = std::clamp(m_gapStart, start, end);
    out += stretch(false, start, split);
    out += stretch(false, split, end);
    return out;
}

std::u32string_view StoryText::stretch(bool folded, size_t start, size_t end) const {
    const std::u32string& buffer = folded ? m_folded : m_plain;
    if (start >= end) return {};
    return std::u32string_view(buffer).substr(physical(start), end - start);
}

bool StoryText::matchesAt(std::u32string_view needle, bool folded, size_t position) const {
    for (size_t k = 0; k < needle.size(); ++k)
        if ((folded ? foldedAt(position + k) : at(position + k)) != needle[k]) return false;
    return true;
}

size_t StoryText::findForward(std::u32string_view needle, bool folded, size_t start, size_t end, size_t from) const {
    const size_t n = needle.size();
    if (n == 0 || end < start || end - start < n) return npos;
    from = std::max(from, start);
    const size_t lastStart = end - n;
    if (from > lastStart) return npos;
    size_t passedFrom = from;
    if (m_passed.folded == folded && m_passed.from <= from && from < m_passed.until && m_passed.needle == needle) {
        passedFrom = m_passed.from;
        from = m_passed.until;
        if (from > lastStart) return npos;
    }
    const size_t found = findUnpassed(needle, folded, start, end, from);
    if (m_passed.needle != needle) m_passed.needle = needle;
    m_passed.folded = folded;
    m_passed.from = passedFrom;
    m_passed.until = found == npos ? lastStart + 1 : found;
    return found;
}

size_t StoryText::findUnpassed(std::u32string_view needle, bool folded, size_t start, size_t end, size_t from) const {
    const size_t n = needle.size();
    const size_t lastStart = end - n;
    const size_t gap = std::clamp(m_gapStart, start, end);
    // Before the gap: starts whose whole match lies before it.
    if (from < gap) {
        const size_t found = findOnward(stretch(folded, start, gap), needle, from - start);
        if (found != npos) return start + found;
    }
    // Starts whose match spans the gap.
    const size_t spanFirst = std::max({from, start, gap >= n ? gap - n + 1 : size_t{0}});
    for (size_t at = spanFirst; at < gap && at <= lastStart; ++at)
        if (matchesAt(needle, folded, at)) return at;
    // After the gap.
    const size_t afterFrom = std::max(from, gap);
    const size_t found = findOnward(stretch(folded, gap, end), needle, afterFrom - gap);
    return found == npos ? npos : gap + found;
}

size_t StoryText::findBackward(std::u32string_view needle, bool folded, size_t start, size_t end, size_t upTo) const {
    const size_t n = needle.size();
    if (n == 0 || end < start || end - start < n) return npos;
    upTo = std::min(upTo, end - n);
    if (upTo < start) return npos;
    const size_t gap = std::clamp(m_gapStart, start, end);
    // After the gap.
    if (upTo >= gap) {
        const std::u32string_view after = stretch(folded, gap, end);
        const size_t found = after.rfind(needle, upTo - gap);
        if (found != npos) return gap + found;
    }
    // Starts whose match spans the gap.
    const size_t spanFirst = std::max(start, gap >= n ? gap - n + 1 : size_t{0});
    for (size_t at = std::min(upTo + 1, gap); at-- > spanFirst;)
        if (matchesAt(needle, folded, at)) return at;
    // Before the gap.
    const std::u32string_view before = stretch(folded, start, gap);
    const size_t found = before.rfind(needle, upTo - start);
    return found == npos ? npos : start + found;
}

char32_t foldCase(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

}  // namespace lumora::word
