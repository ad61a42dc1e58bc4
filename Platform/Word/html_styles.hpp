#pragma once
// Resolved formatting written as inline CSS. Mail clients drop style sheets more often than
// not, so every paragraph and run carries what it looks like in its own style attribute: a
// paragraph its margins, indents, alignment, line spacing and the font, size and colour its
// style gives its text; a run only what differs from its paragraph, with bold, italic,
// underline, strike-through, superscript and subscript as the elements that say them.

#include <string>

#include "word_formats.hpp"

namespace lumora::word {

// A length in twips as CSS points ("5.4pt", "0").
std::string twipsAsPoints(int twips);
// Four sides' lengths in twips as the value of a CSS box shorthand (margin, padding): "0" when
// all are zero, else top, right, bottom and left.
std::string boxTwips(int top, int right, int bottom, int left);
// A number with at most two decimals and no trailing zeros ("10.5", "11").
std::string decimal(double value);

// The declarations of a paragraph's style attribute (without the attribute itself).
std::string paragraphCss(const ParagraphFormat& paragraph, const RunFormat& text);

// The markup around a run's text: what opens it and what closes it, both empty for text that
// looks like its paragraph.
struct RunMarkup {
    std::string open;
    std::string close;
};
RunMarkup runMarkup(const RunFormat& run, const RunFormat& paragraphText);

}  // namespace lumora::word
