#include "markup_prescan.hpp"

#include <cstdint>

namespace lumora::xml {

namespace {

// Sum over all start tags of (attributes in the tag) squared. A document of a million
// elements with ten attributes each costs 1e8; a single element may have about 14,000.
constexpr uint64_t kAttributeWorkLimit = 200'000'000;

bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}

class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    // The next character that is not a zero byte (so UTF-16 text scans as its ASCII letters).
    bool next(char& c) {
        while (m_pos < m_text.size()) {
            c = m_text[m_pos++];
            if (c != '\0') return true;
        }
        return false;
    }
    // The next character outside a quoted value ('...' or "..."), which is skipped whole.
    bool nextUnquoted(char& c) {
        while (next(c)) {
            if (c != '"' && c != '\'') return true;
            char quote = c;
            while (next(c) && c != quote) {
            }
        }
        return false;
    }
    bool startsWith(std::string_view marker) {
        size_t pos = m_pos;
        for (char wanted : marker) {
            while (pos < m_text.size() && m_text[pos] == '\0') ++pos;
            if (pos >= m_text.size() || m_text[pos] != wanted) return false;
            ++pos;
        }
        return true;
    }
    void skipPast(std::string_view marker) {
        char c;
        while (!startsWith(marker) && next(c)) {
        }
        for (size_t i = 0; i < marker.size() && next(c); ++i) {
        }
    }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

// Counts the '=' of a tag outside quoted values, up to its closing '>'.
uint64_t attributesInTag(Scanner& scan) {
    uint64_t count = 0;
    char c;
    while (scan.nextUnquoted(c) && c != '>')
        if (c == '=') ++count;
    return count;
}

// A declaration such as <!DOCTYPE ... [ ... ]>: skipped with its internal subset.
void skipDeclaration(Scanner& scan) {
    int depth = 0;
    char c;
    while (scan.nextUnquoted(c)) {
        if (c == '[') ++depth;
        else if (c == ']') --depth;
        else if (c == '>' && depth <= 0) return;
    }
}

}  // namespace

bool attributeWorkWithinLimit(std::string_view text) {
    Scanner scan(text);
    uint64_t work = 0;
    char c;
    while (scan.next(c)) {
        if (c != '<') continue;
        if (scan.startsWith("!--")) {
            scan.skipPast("-->");
        } else if (scan.startsWith("![CDATA[")) {
            scan.skipPast("]]>");
        } else if (scan.startsWith("?")) {
            scan.skipPast("?>");
        } else if (scan.startsWith("!")) {
            skipDeclaration(scan);
        } else {
            char first;
            if (!scan.next(first) || !isNameStart(first)) continue;
            uint64_t n = attributesInTag(scan);
            work += n * n;
            if (work > kAttributeWorkLimit) return false;
        }
    }
    return true;
}

}  // namespace lumora::xml
