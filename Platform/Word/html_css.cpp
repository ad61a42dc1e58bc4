#include "html_css.hpp"

#include <charconv>
#include <vector>

#include "Automation/vb/text.hpp"

namespace lumora::word {

namespace {

struct Declaration {
    std::string property;
    std::string value;
};

std::vector<Declaration> declarations(std::string_view style) {
    std::vector<Declaration> out;
    size_t at = 0;
    while (at <= style.size()) {
        const size_t end = std::min(style.find(';', at), style.size());
        const std::string_view declaration = style.substr(at, end - at);
        const size_t colon = declaration.find(':');
        if (colon != std::string_view::npos) {
            std::string value = vb::asciiLower(vb::asciiTrimmed(declaration.substr(colon + 1)));
            if (const size_t important = value.find("!important"); important != std::string::npos)
                value = std::string(vb::asciiTrimmed(std::string_view(value).substr(0, important)));
            out.push_back({vb::asciiLower(vb::asciiTrimmed(declaration.substr(0, colon))), std::move(value)});
        }
        at = end + 1;
    }
    return out;
}

bool isZeroWidth(std::string_view word) {
    const auto length = htmlLength(word);
    return word == "0" || (length && length->value == 0);
}

// A border value ("1px solid #000", "none") draws a line unless it says none, hidden or zero.
bool borderValueDraws(std::string_view value, bool needsStyle) {
    bool styled = false;
    size_t at = 0;
    while (at < value.size()) {
        const size_t end = std::min(value.find(' ', at), value.size());
        const std::string_view word = value.substr(at, end - at);
        if (word == "none" || word == "hidden" || isZeroWidth(word)) return false;
        for (std::string_view style : {"solid", "dotted", "dashed", "double", "groove", "ridge", "inset", "outset"})
            if (word == style) styled = true;
        at = end + 1;
    }
    return styled || !needsStyle;
}

}  // namespace

std::optional<std::string> cssProperty(std::string_view style, std::string_view property) {
    std::optional<std::string> found;
    for (Declaration& declaration : declarations(style))
        if (declaration.property == property) found = std::move(declaration.value);
    return found;
}

std::optional<ImportedWidth> htmlLength(std::string_view text) {
    text = vb::asciiTrimmed(text);
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || number < 0) return std::nullopt;
    const std::string unit = vb::asciiLower(vb::asciiTrimmed(std::string_view(end, text.data() + text.size() - end)));
    constexpr double kTwipsPerInch = 1440;
    if (unit == "%") return ImportedWidth{ImportedWidth::Percent, number};
    double perUnit = 0;
    if (unit.empty() || unit == "px") perUnit = kTwipsPerInch / 96;
    else if (unit == "pt") perUnit = 20;
    else if (unit == "in") perUnit = kTwipsPerInch;
    else if (unit == "cm") perUnit = kTwipsPerInch / 2.54;
    else if (unit == "mm") perUnit = kTwipsPerInch / 25.4;
    else return std::nullopt;
    return ImportedWidth{ImportedWidth::Twips, number * perUnit};
}

bool cssDrawsBorder(std::string_view style) {
    for (const Declaration& declaration : declarations(style)) {
        const std::string& property = declaration.property;
        if (property == "border" || property == "border-top" || property == "border-bottom" ||
            property == "border-left" || property == "border-right" || property == "border-style")
            if (borderValueDraws(declaration.value, property != "border-style")) return true;
    }
    return false;
}

}  // namespace lumora::word
