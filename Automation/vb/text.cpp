#include "text.hpp"

namespace lumora::vb {

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view asciiTrimmed(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n\f";
    const size_t start = text.find_first_not_of(kSpace);
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(kSpace) - start + 1);
}

}  // namespace lumora::vb
