#pragma once
// Character and paragraph formatting as the markup states it (w:rPr, w:pPr), each property
// present or not, so that the levels a word processor stacks (document defaults, paragraph
// style and the styles it is based on, character style, direct formatting) can be laid over
// one another: a property a level leaves out is the one below it.

#include <optional>
#include <string>

struct _xmlNode;

namespace lumora::word {

// The theme's two fonts, which w:rFonts names by role (asciiTheme="minorHAnsi").
struct ThemeFonts {
    std::string major;
    std::string minor;
};

enum class VerticalPosition { Baseline, Superscript, Subscript };

struct RunFormat {
    std::optional<std::string> font;
    std::optional<int> halfPoints;         // w:sz
    std::optional<std::string> color;      // six hex digits
    std::optional<std::string> highlight;  // a CSS colour, or "transparent" for none
    std::optional<std::string> shading;    // six hex digits, or "transparent" for none
    std::optional<bool> bold, italic, underline, strike, caps, smallCaps, hidden;
    std::optional<VerticalPosition> position;

    // This format with every property that `above` states taken from it.
    void overlay(const RunFormat& above);
};

enum class Alignment { Left, Center, Right, Justify };
enum class LineRule { Auto, Exact, AtLeast };

// Lengths are in twentieths of a point (twips), as the markup gives them.
struct ParagraphFormat {
    std::optional<Alignment> alignment;
    std::optional<int> indentLeft, indentRight;
    std::optional<int> firstLine;  // negative for a hanging indent
    std::optional<int> spaceBefore, spaceAfter;
    std::optional<int> line;  // 240ths of a line when the rule is Auto, twips otherwise
    std::optional<LineRule> lineRule;
    std::optional<std::string> shading;

    void overlay(const ParagraphFormat& above);
};

// What an element states; an absent element states nothing.
RunFormat readRunFormat(const _xmlNode* runProperties, const ThemeFonts& theme);
ParagraphFormat readParagraphFormat(const _xmlNode* paragraphProperties);

// The style an element of properties names (w:pStyle, w:rStyle, w:tblStyle), "" when none.
std::string styleIdOf(const _xmlNode* properties, const char* element);

// A whole number as the markup writes it ("720"); nullopt for anything else.
std::optional<int> markupInteger(const std::string& text);

// A colour value of the markup ("FF0000", "auto") as six hex digits; nullopt for auto or junk.
std::optional<std::string> hexColor(const std::string& value);
// A w:shd element's fill as six hex digits, "transparent" for none or auto; nullopt when absent.
std::optional<std::string> shadingFill(const _xmlNode* shading);

}  // namespace lumora::word
