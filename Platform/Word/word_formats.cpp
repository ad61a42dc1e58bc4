#include "word_formats.hpp"

#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cctype>
#include <utility>

#include "wordml.hpp"

namespace lumora::word {

namespace {

constexpr int kMaxTwips = 31680;       // 22 inches, the largest page the markup allows
constexpr int kMaxHalfPoints = 3276;   // 1638 points

std::optional<int> number(const std::string& text, int low, int high) {
    const std::optional<int> value = markupInteger(text);
    if (!value) return std::nullopt;
    return std::clamp(*value, low, high);
}

std::optional<int> twipsAttribute(const xmlNode* element, const char* name) {
    if (!element) return std::nullopt;
    return number(ml::attr(element, name), -kMaxTwips, kMaxTwips);
}

// A toggle such as w:b: on when present, unless its value switches it off.
std::optional<bool> toggle(const xmlNode* properties, const char* name) {
    const xmlNode* flag = ml::firstChild(properties, name);
    if (!flag) return std::nullopt;
    const std::string value = ml::attr(flag, "val");
    return !(value == "0" || value == "false" || value == "off" || value == "none");
}

// The named highlight colours (ECMA-376-1, 17.18.40).
std::optional<std::string> highlightColor(const std::string& name) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kColors{{
        {"black", "#000000"},     {"blue", "#0000FF"},        {"cyan", "#00FFFF"},     {"green", "#00FF00"},
        {"magenta", "#FF00FF"},   {"red", "#FF0000"},         {"yellow", "#FFFF00"},   {"white", "#FFFFFF"},
        {"darkBlue", "#000080"},  {"darkCyan", "#008080"},    {"darkGreen", "#008000"}, {"darkMagenta", "#800080"},
        {"darkRed", "#800000"},   {"darkYellow", "#808000"},  {"darkGray", "#808080"}, {"lightGray", "#C0C0C0"},
        {"none", "transparent"},
    }};
    for (const auto& [word, css] : kColors)
        if (word == name) return std::string(css);
    return std::nullopt;
}

std::optional<std::string> fontOf(const xmlNode* fonts, const ThemeFonts& theme) {
    if (!fonts) return std::nullopt;
    // A theme role, where given, wins over the name written beside it.
    for (const char* role : {"asciiTheme", "hAnsiTheme"}) {
        const std::string value = ml::attr(fonts, role);
        if (value.rfind("major", 0) == 0 && !theme.major.empty()) return theme.major;
        if (value.rfind("minor", 0) == 0 && !theme.minor.empty()) return theme.minor;
    }
    for (const char* script : {"ascii", "hAnsi"}) {
        std::string name = ml::attr(fonts, script);
        if (!name.empty()) return name;
    }
    return std::nullopt;
}

template <class T>
void take(std::optional<T>& below, const std::optional<T>& above) {
    if (above) below = above;
}

}  // namespace

std::optional<int> markupInteger(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty()) return std::nullopt;
    return value;
}

std::optional<std::string> hexColor(const std::string& value) {
    if (value.size() != 6 || !std::all_of(value.begin(), value.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    std::string upper = value;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::optional<std::string> shadingFill(const xmlNode* shading) {
    if (!shading) return std::nullopt;
    if (std::optional<std::string> fill = hexColor(ml::attr(shading, "fill"))) return fill;
    return std::string("transparent");
}

std::string styleIdOf(const xmlNode* properties, const char* element) {
    return ml::attr(ml::firstChild(properties, element), "val");
}

RunFormat readRunFormat(const xmlNode* rPr, const ThemeFonts& theme) {
    RunFormat format;
    if (!rPr) return format;
    format.font = fontOf(ml::firstChild(rPr, "rFonts"), theme);
    if (const xmlNode* size = ml::firstChild(rPr, "sz")) format.halfPoints = number(ml::attr(size, "val"), 1, kMaxHalfPoints);
    if (const xmlNode* color = ml::firstChild(rPr, "color")) {
        const std::string value = ml::attr(color, "val");
        format.color = value == "auto" ? std::string("auto") : hexColor(value);
    }
    if (const xmlNode* highlight = ml::firstChild(rPr, "highlight")) format.highlight = highlightColor(ml::attr(highlight, "val"));
    format.shading = shadingFill(ml::firstChild(rPr, "shd"));
    format.bold = toggle(rPr, "b");
    format.italic = toggle(rPr, "i");
    format.underline = toggle(rPr, "u");
    format.strike = toggle(rPr, "strike");
    if (std::optional<bool> doubled = toggle(rPr, "dstrike"); doubled && *doubled) format.strike = true;
    format.caps = toggle(rPr, "caps");
    format.smallCaps = toggle(rPr, "smallCaps");
    format.hidden = toggle(rPr, "vanish");
    if (const xmlNode* vertical = ml::firstChild(rPr, "vertAlign")) {
        const std::string value = ml::attr(vertical, "val");
        format.position = value == "superscript" ? VerticalPosition::Superscript
                          : value == "subscript" ? VerticalPosition::Subscript
                                                 : VerticalPosition::Baseline;
    }
    return format;
}

void RunFormat::overlay(const RunFormat& above) {
    take(font, above.font);
    take(halfPoints, above.halfPoints);
    take(color, above.color);
    take(highlight, above.highlight);
    take(shading, above.shading);
    take(bold, above.bold);
    take(italic, above.italic);
    take(underline, above.underline);
    take(strike, above.strike);
    take(caps, above.caps);
    take(smallCaps, above.smallCaps);
    take(hidden, above.hidden);
    take(position, above.position);
}

ParagraphFormat readParagraphFormat(const xmlNode* pPr) {
    ParagraphFormat format;
    if (!pPr) return format;
    if (const xmlNode* jc = ml::firstChild(pPr, "jc")) {
        const std::string value = ml::attr(jc, "val");
        if (value == "left" || value == "start") format.alignment = Alignment::Left;
        else if (value == "center") format.alignment = Alignment::Center;
        else if (value == "right" || value == "end") format.alignment = Alignment::Right;
        else if (value == "both" || value == "distribute") format.alignment = Alignment::Justify;
    }
    if (const xmlNode* ind = ml::firstChild(pPr, "ind")) {
        format.indentLeft = twipsAttribute(ind, "left");
        if (!format.indentLeft) format.indentLeft = twipsAttribute(ind, "start");
        format.indentRight = twipsAttribute(ind, "right");
        if (!format.indentRight) format.indentRight = twipsAttribute(ind, "end");
        format.firstLine = twipsAttribute(ind, "firstLine");
        if (std::optional<int> hanging = twipsAttribute(ind, "hanging")) format.firstLine = -*hanging;
    }
    if (const xmlNode* spacing = ml::firstChild(pPr, "spacing")) {
        format.spaceBefore = twipsAttribute(spacing, "before");
        format.spaceAfter = twipsAttribute(spacing, "after");
        format.line = twipsAttribute(spacing, "line");
        const std::string rule = ml::attr(spacing, "lineRule");
        if (rule == "exact") format.lineRule = LineRule::Exact;
        else if (rule == "atLeast") format.lineRule = LineRule::AtLeast;
        else if (format.line) format.lineRule = LineRule::Auto;
    }
    format.shading = shadingFill(ml::firstChild(pPr, "shd"));
    return format;
}

void ParagraphFormat::overlay(const ParagraphFormat& above) {
    take(alignment, above.alignment);
    take(indentLeft, above.indentLeft);
    take(indentRight, above.indentRight);
    take(firstLine, above.firstLine);
    take(spaceBefore, above.spaceBefore);
    take(spaceAfter, above.spaceAfter);
    take(line, above.line);
    take(lineRule, above.lineRule);
    take(shading, above.shading);
}

}  // namespace lumora::word
