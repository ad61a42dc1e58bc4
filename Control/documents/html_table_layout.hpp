#pragma once
// The layout of a quote's HTML table template: the text before the line row, the line row
// between its markers, the optional group-heading row after it, and the rest. The template is
// kept byte for byte outside the rows the quote's lines expand; the markers and placeholders
// are ASCII, so they are found in UTF-8 (or any other ASCII-based encoding) without decoding.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora::control {

// How long a filled template may grow: far more than a quote's line table ever takes (some
// hundred bytes a line), and small enough for Word to take in. Beyond it the fill is refused
// before the memory is taken.
inline constexpr size_t kMaxFilledTemplateBytes = size_t{8} << 20;

// The parts of a template, as views into its text.
struct TableTemplateLayout {
    std::string_view head;        // everything before the line row's start marker
    std::string_view lineRow;     // start marker to end marker, with the line break after it
    std::string_view groupRow;    // the same for the group-heading row; empty without grouping
    std::string groupField;       // the group row's first placeholder name, as written
    bool groupRowIncorrect = false;  // a group row without a placeholder: filled without groups
    std::string_view tail;        // everything after the last row used
};

// Finds the rows of `html`. A group row without a placeholder leaves grouping off and stays in
// the tail, as written. Errors: LineRowNotMarked when the line row's start marker is missing
// or no end marker follows it; GroupRowNotMarked when a group row does not come after the line
// row or has no end marker after its start.
TableTemplateLayout tableTemplateLayout(std::string_view html);

// A placeholder as an HTML editor writes a typed tag: "&lt;" + name + "&gt;".
std::string placeholderOf(std::string_view name);

// Error FilledTemplateTooLarge, naming the limit.
[[noreturn]] void refuseFilledTemplate();

// A text that refuses to grow past kMaxFilledTemplateBytes (FilledTemplateTooLarge), checked
// before each piece is added or built, so no oversized text is ever made.
class BoundedHtml {
public:
    void append(std::string_view piece);
    // The bytes still free.
    size_t room() const { return kMaxFilledTemplateBytes - m_text.size(); }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// `text` with every `placeholder` replaced by `value`, left to right, when the result fits in
// `room` bytes; FilledTemplateTooLarge otherwise.
std::string replacedWithin(std::string_view text, std::string_view placeholder, std::string_view value, size_t room);

}  // namespace lumora::control
