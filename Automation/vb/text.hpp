#pragma once
// Character-level helpers that member lookup and the script string functions share.

#include <optional>
#include <string>
#include <string_view>

namespace lumora::vb {

// Lower case of ASCII letters only: member names and ProgIDs are ASCII.
std::string asciiLower(std::string_view text);
// The text without ASCII white space (space, tab, line breaks, form feed) at either end, as
// markup readers take attribute values and URLs.
std::string_view asciiTrimmed(std::string_view text);
// The text with every "%" and two hex digits (a URL's escapes, RFC 3986) made the byte they
// stand for; nullopt when a "%" is not followed by two hex digits.
std::optional<std::string> percentDecoded(std::string_view text);
// Inline: every late-bound call by name compares one member name.
inline bool asciiEqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace lumora::vb
