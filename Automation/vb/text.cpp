#include "text.hpp"

#include <cctype>

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

std::optional<std::string> percentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return std::nullopt;
        out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
        i += 2;
    }
    return out;
}

}  // namespace lumora::vb
