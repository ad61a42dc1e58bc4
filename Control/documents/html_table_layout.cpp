#include "html_table_layout.hpp"

#include "Control/frame/control_errors.hpp"

namespace lumora::control {

namespace {

constexpr std::string_view kLineRowStart = "<!-- QuoteRowStart -->";
constexpr std::string_view kLineRowEnd = "<!-- QuoteRowEnd -->";
constexpr std::string_view kGroupRowStart = "<!-- QuoteGroupStart -->";
constexpr std::string_view kGroupRowEnd = "<!-- QuoteGroupEnd -->";
constexpr std::string_view kPlaceholderOpen = "&lt;";
constexpr std::string_view kPlaceholderClose = "&gt;";

// Where a row ends: after its end marker and the one line break that follows it (CR LF, LF or
// CR), whichever the template was saved with, and nothing more.
size_t rowEndAfter(std::string_view html, size_t endMarker, std::string_view marker) {
    size_t end = endMarker + marker.size();
    if (html.substr(end, 2) == "\r\n") return end + 2;
    if (end < html.size() && (html[end] == '\n' || html[end] == '\r')) return end + 1;
    return end;
}

void fillGroupRow(TableTemplateLayout& layout, std::string_view html, size_t lineRowEnd) {
    const size_t start = html.find(kGroupRowStart);
    if (start == std::string_view::npos) return;
    const size_t endMarker = html.find(kGroupRowEnd);
    if (start < lineRowEnd || endMarker == std::string_view::npos || endMarker < start)
        raise(ControlError::GroupRowNotMarked);
    const size_t end = rowEndAfter(html, endMarker, kGroupRowEnd);
    const std::string_view row = html.substr(start, end - start);
    const size_t open = row.find(kPlaceholderOpen);
    const size_t close = open == std::string_view::npos ? open : row.find(kPlaceholderClose, open + kPlaceholderOpen.size());
    if (close == std::string_view::npos) {
        layout.groupRowIncorrect = true;
        return;
    }
    layout.groupRow = row;
    layout.groupField = std::string(row.substr(open + kPlaceholderOpen.size(), close - open - kPlaceholderOpen.size()));
    layout.tail = html.substr(end);
}

}  // namespace

TableTemplateLayout tableTemplateLayout(std::string_view html) {
    const size_t start = html.find(kLineRowStart);
    const size_t endMarker = html.find(kLineRowEnd);
    // The first end marker must close the line row: one before it would cut the template apart.
    if (start == std::string_view::npos || endMarker == std::string_view::npos || endMarker < start)
        raise(ControlError::LineRowNotMarked);
    const size_t end = rowEndAfter(html, endMarker, kLineRowEnd);
    TableTemplateLayout layout;
    layout.head = html.substr(0, start);
    layout.lineRow = html.substr(start, end - start);
    layout.tail = html.substr(end);
    fillGroupRow(layout, html, end);
    return layout;
}

std::string placeholderOf(std::string_view name) {
    std::string placeholder(kPlaceholderOpen);
    placeholder += name;
    placeholder += kPlaceholderClose;
    return placeholder;
}

void refuseFilledTemplate() { raise(ControlError::FilledTemplateTooLarge, std::to_string(kMaxFilledTemplateBytes)); }

void BoundedHtml::append(std::string_view piece) {
    if (piece.size() > room()) refuseFilledTemplate();
    m_text += piece;
}

std::string replacedWithin(std::string_view text, std::string_view placeholder, std::string_view value, size_t room) {
    if (placeholder.empty()) return std::string(text);
    size_t occurrences = 0;
    for (size_t at = text.find(placeholder); at != std::string_view::npos; at = text.find(placeholder, at + placeholder.size()))
        ++occurrences;
    if (occurrences == 0) return std::string(text);
    // Counted first, so a value repeated in many placeholders is refused before it is copied.
    const size_t kept = text.size() - occurrences * placeholder.size();
    if (kept > room || (value.size() != 0 && occurrences > (room - kept) / value.size())) refuseFilledTemplate();
    std::string out;
    out.reserve(kept + occurrences * value.size());
    size_t from = 0;
    for (size_t at = text.find(placeholder); at != std::string_view::npos; at = text.find(placeholder, from)) {
        out.append(text.substr(from, at - from)).append(value);
        from = at + placeholder.size();
    }
    out.append(text.substr(from));
    return out;
}

}  // namespace lumora::control
