#include "html_styles.hpp"

#include <array>
#include <cstdio>
#include <string_view>

#include "html_escape.hpp"

namespace lumora::word {

namespace {

// Word's own size when nothing in the document gives one (ECMA-376-1, 17.3.2.38).
constexpr int kDefaultHalfPoints = 20;

// A font name fit to stand quoted in a CSS declaration inside an attribute: characters that
// could close the quote, the declaration or the attribute are dropped.
std::string cssFontName(const std::string& name) {
    std::string out;
    for (char c : name)
        if (static_cast<unsigned char>(c) >= 0x20 && std::string_view("'\"\\;{}<>&()").find(c) == std::string_view::npos)
            out += c;
    return out;
}

// The generic family a browser falls back on when the font is not installed.
const char* genericFamily(const std::string& name) {
    static constexpr std::array<std::string_view, 10> kSerif{"Times New Roman", "Cambria",        "Georgia",
                                                            "Garamond",        "Book Antiqua",   "Liberation Serif",
                                                            "DejaVu Serif",    "Palatino Linotype", "Constantia",
                                                            "Century Schoolbook"};
    static constexpr std::array<std::string_view, 5> kMonospace{"Courier New", "Consolas", "Courier", "Liberation Mono",
                                                               "DejaVu Sans Mono"};
    for (std::string_view serif : kSerif)
        if (name == serif) return "serif";
    for (std::string_view mono : kMonospace)
        if (name == mono) return "monospace";
    return "sans-serif";
}

void declare(std::string& css, std::string_view property, const std::string& value) {
    if (!css.empty()) css += ';';
    css += property;
    css += ':';
    css += value;
}

std::string fontFamily(const std::string& font) {
    const std::string name = cssFontName(font);
    if (name.empty()) return genericFamily(font);
    return "'" + name + "'," + genericFamily(font);
}

std::string colorValue(const std::string& color) { return color == "auto" ? "#000000" : "#" + color; }

std::string fontSize(int halfPoints) { return decimal(halfPoints / 2.0) + "pt"; }

// The colour behind a run's text: its highlight, else its shading; empty for none.
std::string background(const RunFormat& run) {
    for (const std::optional<std::string>& fill : {run.highlight, run.shading})
        if (fill && *fill != "transparent") return fill->front() == '#' ? *fill : "#" + *fill;
    return {};
}

// The text's font, size and colour, as a paragraph states them for all its runs.
void declareText(std::string& css, const RunFormat& text) {
    if (text.font) declare(css, "font-family", fontFamily(*text.font));
    declare(css, "font-size", fontSize(text.halfPoints.value_or(kDefaultHalfPoints)));
    if (text.color && *text.color != "auto") declare(css, "color", colorValue(*text.color));
}

void declareLineHeight(std::string& css, const ParagraphFormat& paragraph, const RunFormat& text) {
    if (!paragraph.line || *paragraph.line <= 0) return;
    const LineRule rule = paragraph.lineRule.value_or(LineRule::Auto);
    if (rule == LineRule::Auto) {
        // Single spacing is the font's own line height, which "normal" gives too.
        if (*paragraph.line != 240) declare(css, "line-height", decimal(*paragraph.line * 100.0 / 240) + "%");
        return;
    }
    // CSS has no "at least": the height is given only where it is more than the text's own.
    const double textPoints = text.halfPoints.value_or(kDefaultHalfPoints) / 2.0;
    if (rule == LineRule::Exact || *paragraph.line / 20.0 > textPoints * 1.15)
        declare(css, "line-height", twipsAsPoints(*paragraph.line));
}

}  // namespace

std::string decimal(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string twipsAsPoints(int twips) { return twips == 0 ? "0" : decimal(twips / 20.0) + "pt"; }

std::string boxTwips(int top, int right, int bottom, int left) {
    if (top == 0 && right == 0 && bottom == 0 && left == 0) return "0";
    return twipsAsPoints(top) + " " + twipsAsPoints(right) + " " + twipsAsPoints(bottom) + " " + twipsAsPoints(left);
}

std::string paragraphCss(const ParagraphFormat& paragraph, const RunFormat& text) {
    std::string css;
    // The browser's own paragraph margins are never the document's: they are always stated.
    declare(css, "margin",
            boxTwips(paragraph.spaceBefore.value_or(0), paragraph.indentRight.value_or(0), paragraph.spaceAfter.value_or(0),
                     paragraph.indentLeft.value_or(0)));
    if (paragraph.firstLine && *paragraph.firstLine != 0) declare(css, "text-indent", twipsAsPoints(*paragraph.firstLine));
    if (paragraph.alignment && *paragraph.alignment != Alignment::Left) {
        static constexpr const char* kAlign[] = {"left", "center", "right", "justify"};
        declare(css, "text-align", kAlign[static_cast<int>(*paragraph.alignment)]);
    }
    declareLineHeight(css, paragraph, text);
    if (paragraph.shading && *paragraph.shading != "transparent") declare(css, "background-color", "#" + *paragraph.shading);
    declareText(css, text);
    return css;
}

RunMarkup runMarkup(const RunFormat& run, const RunFormat& paragraphText) {
    std::string css;
    if (run.font && run.font != paragraphText.font) declare(css, "font-family", fontFamily(*run.font));
    if (run.halfPoints.value_or(kDefaultHalfPoints) != paragraphText.halfPoints.value_or(kDefaultHalfPoints))
        declare(css, "font-size", fontSize(run.halfPoints.value_or(kDefaultHalfPoints)));
    if (run.color.value_or("auto") != paragraphText.color.value_or("auto")) declare(css, "color", colorValue(run.color.value_or("auto")));
    if (const std::string fill = background(run); !fill.empty()) declare(css, "background-color", fill);
    if (run.caps.value_or(false)) declare(css, "text-transform", "uppercase");
    if (run.smallCaps.value_or(false)) declare(css, "font-variant", "small-caps");

    RunMarkup markup;
    if (!css.empty()) {
        markup.open = "<span style=\"" + escaped(css) + "\">";
        markup.close = "</span>";
    }
    const auto wrap = [&](bool on, const char* tag) {
        if (!on) return;
        markup.open += std::string("<") + tag + ">";
        markup.close = std::string("</") + tag + ">" + markup.close;
    };
    wrap(run.bold.value_or(false), "b");
    wrap(run.italic.value_or(false), "i");
    wrap(run.underline.value_or(false), "u");
    wrap(run.strike.value_or(false), "s");
    wrap(run.position == VerticalPosition::Superscript, "sup");
    wrap(run.position == VerticalPosition::Subscript, "sub");
    return markup;
}

}  // namespace lumora::word
