#include "strings.hpp"

#include <limits>
#include <optional>

#include "../error.hpp"
#include "case_folding.hpp"
#include "utf8.hpp"

namespace lumora::vb {

namespace {

void requireArgument(bool valid) {
    if (!valid) raise(RuntimeError::InvalidProcedureCall);
}

int32_t toLong(size_t value) {
    if (value > static_cast<size_t>(std::numeric_limits<int32_t>::max())) raise(RuntimeError::Overflow);
    return static_cast<int32_t>(value);
}

// A text prepared for searching: its code points, and the sequence the search runs over, which
// is the same code points for a binary comparison and their case folding for a text comparison.
// Folding may turn one code point into several ("ß" into "ss"), so each searched entry records
// the code point it came from, and a match counts only when it starts and ends on the
// boundaries of whole source code points.
class SearchText {
public:
    SearchText(std::string_view text, CompareMethod compare) : m_chars(utf8::decode(text)) {
        if (compare == CompareMethod::Binary) return;
        m_folded.reserve(m_chars.size());
        m_origin.reserve(m_chars.size());
        m_first.reserve(m_chars.size() + 1);
        for (size_t i = 0; i < m_chars.size(); ++i) {
            m_first.push_back(m_folded.size());
            appendFolded(m_folded, m_chars[i]);
            m_origin.resize(m_folded.size(), static_cast<uint32_t>(i));
        }
        m_first.push_back(m_folded.size());
    }

    const std::u32string& chars() const { return m_chars; }
    size_t size() const { return m_chars.size(); }

    struct Match {
        size_t begin;  // code point indices of the source text, end exclusive
        size_t end;
    };

    // The first match beginning at or after code point `from`.
    std::optional<Match> findForward(std::u32string_view needle, size_t from) const {
        const std::u32string_view hay = searched();
        for (size_t i = searchedIndex(from);; ++i) {
            i = hay.find(needle, i);
            if (i == std::u32string_view::npos) return std::nullopt;
            if (isBoundary(i) && isBoundary(i + needle.size())) return Match{sourceIndex(i), sourceIndex(i + needle.size())};
        }
    }

    // The last match ending at or before code point `end`.
    std::optional<Match> findBackward(std::u32string_view needle, size_t end) const {
        const std::u32string_view hay = searched();
        const size_t limit = searchedIndex(end);
        if (needle.size() > limit) return std::nullopt;
        for (size_t i = limit - needle.size();; --i) {
            i = hay.rfind(needle, i);
            if (i == std::u32string_view::npos) return std::nullopt;
            if (isBoundary(i) && isBoundary(i + needle.size())) return Match{sourceIndex(i), sourceIndex(i + needle.size())};
            if (i == 0) return std::nullopt;
        }
    }

private:
    bool folding() const { return !m_first.empty(); }
    std::u32string_view searched() const { return folding() ? m_folded : m_chars; }
    size_t searchedIndex(size_t source) const { return folding() ? m_first[std::min(source, size())] : source; }
    size_t sourceIndex(size_t searched) const {
        if (!folding()) return searched;
        return searched < m_origin.size() ? m_origin[searched] : size();
    }
    bool isBoundary(size_t searched) const {
        if (!folding() || searched == 0 || searched >= m_origin.size()) return true;
        return m_origin[searched] != m_origin[searched - 1];
    }

    std::u32string m_chars;
    std::u32string m_folded;
    std::vector<uint32_t> m_origin;  // per folded entry: the source code point
    std::vector<size_t> m_first;     // per source code point: its first folded entry, plus the end
};

std::u32string needleFor(std::string_view find, CompareMethod compare) {
    return compare == CompareMethod::Text ? folded(find) : utf8::decode(find);
}

std::string slice(const std::u32string& chars, size_t begin, size_t end) {
    return utf8::encode(std::u32string_view(chars).substr(begin, end - begin));
}

}  // namespace

int32_t len(std::string_view text) { return toLong(utf8::length(text)); }

std::string left(std::string_view text, int32_t length) {
    requireArgument(length >= 0);
    return utf8::wellFormed(text.substr(0, utf8::offsetOf(text, static_cast<size_t>(length))));
}

std::string right(std::string_view text, int32_t length) {
    requireArgument(length >= 0);
    const size_t total = utf8::length(text);
    if (static_cast<size_t>(length) >= total) return utf8::wellFormed(text);
    return utf8::wellFormed(text.substr(utf8::offsetOf(text, total - static_cast<size_t>(length))));
}

std::string mid(std::string_view text, int32_t start) {
    requireArgument(start >= 1);
    return utf8::wellFormed(text.substr(utf8::offsetOf(text, static_cast<size_t>(start - 1))));
}

std::string mid(std::string_view text, int32_t start, int32_t length) {
    requireArgument(start >= 1 && length >= 0);
    const std::string_view rest = text.substr(utf8::offsetOf(text, static_cast<size_t>(start - 1)));
    return utf8::wellFormed(rest.substr(0, utf8::offsetOf(rest, static_cast<size_t>(length))));
}

int32_t inStr(std::string_view text, std::string_view find, CompareMethod compare) {
    return inStr(1, text, find, compare);
}

int32_t inStr(int32_t start, std::string_view text, std::string_view find, CompareMethod compare) {
    requireArgument(start >= 1);
    if (text.empty()) return 0;
    const size_t from = static_cast<size_t>(start - 1);
    if (find.empty()) return from <= utf8::length(text) ? start : 0;
    const SearchText hay(text, compare);
    if (from >= hay.size()) return 0;
    const auto match = hay.findForward(needleFor(find, compare), from);
    return match ? toLong(match->begin + 1) : 0;
}

int32_t inStrRev(std::string_view text, std::string_view find, int32_t start, CompareMethod compare) {
    requireArgument(start == -1 || start >= 1);
    if (text.empty()) return 0;
    const SearchText hay(text, compare);
    if (start > 0 && static_cast<size_t>(start) > hay.size()) return 0;
    const size_t end = start == -1 ? hay.size() : static_cast<size_t>(start);
    if (find.empty()) return toLong(end);
    const auto match = hay.findBackward(needleFor(find, compare), end);
    return match ? toLong(match->begin + 1) : 0;
}

std::string replace(std::string_view text, std::string_view find, std::string_view replacement, int32_t start,
                    int32_t count, CompareMethod compare) {
    requireArgument(start >= 1 && count >= -1);
    if (find.empty() || count == 0) return mid(text, start);
    const SearchText hay(text, compare);
    const std::u32string needle = needleFor(find, compare);
    const std::string insert = utf8::wellFormed(replacement);
    std::string out;
    size_t position = static_cast<size_t>(start - 1);
    for (int32_t done = 0; position < hay.size() && (count == -1 || done < count); ++done) {
        const auto match = hay.findForward(needle, position);
        if (!match) break;
        out += slice(hay.chars(), position, match->begin);
        out += insert;
        position = match->end;
    }
    if (position < hay.size()) out += slice(hay.chars(), position, hay.size());
    return out;
}

std::vector<std::string> split(std::string_view text, std::string_view delimiter, int32_t limit,
                               CompareMethod compare) {
    requireArgument(limit >= -1);
    std::vector<std::string> parts;
    if (text.empty() || limit == 0) return parts;
    if (delimiter.empty()) {
        parts.push_back(utf8::wellFormed(text));
        return parts;
    }
    const SearchText hay(text, compare);
    const std::u32string needle = needleFor(delimiter, compare);
    size_t position = 0;
    while (limit == -1 || parts.size() + 1 < static_cast<size_t>(limit)) {
        const auto match = hay.findForward(needle, position);
        if (!match) break;
        parts.push_back(slice(hay.chars(), position, match->begin));
        position = match->end;
    }
    parts.push_back(slice(hay.chars(), position, hay.size()));
    return parts;
}

Array toArray(std::vector<std::string> parts) {
    Array array;
    array.items.reserve(parts.size());
    for (auto& part : parts) array.items.emplace_back(std::move(part));
    return array;
}

std::string join(const std::vector<std::string>& parts, std::string_view delimiter) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += delimiter;
        out += parts[i];
    }
    return utf8::wellFormed(out);
}

std::string join(const Array& parts, std::string_view delimiter) {
    std::vector<std::string> texts;
    texts.reserve(parts.items.size());
    for (const Variant& item : parts.items) texts.push_back(item.toString());
    return join(texts, delimiter);
}

std::string lTrim(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : utf8::wellFormed(text.substr(first));
}

std::string rTrim(std::string_view text) {
    const size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : utf8::wellFormed(text.substr(0, last + 1));
}

std::string trim(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return utf8::wellFormed(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

int32_t ascW(std::string_view text) {
    requireArgument(!text.empty());
    size_t offset = 0;
    return static_cast<int32_t>(utf8::next(text, offset));
}

std::string chrW(int32_t codePoint) {
    // Script's character codes are 16-bit: the negative ones are the upper half read as signed.
    if (codePoint >= -32768 && codePoint < 0) codePoint += 65536;
    requireArgument(codePoint >= 0 && codePoint <= 0x10FFFF && !(codePoint >= 0xD800 && codePoint <= 0xDFFF));
    std::string out;
    utf8::append(out, static_cast<char32_t>(codePoint));
    return out;
}

std::string space(int32_t count) {
    requireArgument(count >= 0);
    return std::string(static_cast<size_t>(count), ' ');
}

std::string strDup(int32_t count, std::string_view character) {
    requireArgument(count >= 0 && !character.empty());
    return strDup(count, ascW(character));
}

std::string strDup(int32_t count, int32_t codePoint) {
    requireArgument(count >= 0);
    const std::string one = chrW(codePoint);
    std::string out;
    out.reserve(one.size() * static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) out += one;
    return out;
}

}  // namespace lumora::vb
