#include "html_import.hpp"

#include <algorithm>
#include <charconv>

#include "Automation/vb/text.hpp"
#include "Platform/Html/html_parser.hpp"
#include "Platform/Html/rendered_text.hpp"
#include "html_css.hpp"

namespace lumora::word {

namespace {

using html::Node;
using html::NodeType;

// A colspan beyond this is taken as this, and a rowspan likewise, as browsers clamp them.
constexpr int32_t kMaxColumnSpan = 1000;
constexpr int32_t kMaxRowSpan = 65534;

// The formatting an element hands down to the text inside it.
struct Context {
    bool bold = false;
    bool italic = false;
    bool preformatted = false;
    std::optional<Alignment> alignment;
    std::optional<VerticalAlignment> verticalAlignment;
};

std::string styleOf(const Node& element) {
    const std::string* style = element.attribute("style");
    return style ? *style : std::string();
}

std::string attributeOf(const Node& element, std::string_view name) {
    const std::string* value = element.attribute(name);
    return value ? vb::asciiLower(vb::asciiTrimmed(*value)) : std::string();
}

std::optional<int32_t> wholeNumber(std::string_view text) {
    text = vb::asciiTrimmed(text);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

std::optional<Alignment> alignmentNamed(std::string_view name) {
    if (name == "left" || name == "start") return Alignment::Left;
    if (name == "center" || name == "middle") return Alignment::Center;
    if (name == "right" || name == "end") return Alignment::Right;
    if (name == "justify") return Alignment::Justify;
    return std::nullopt;
}

std::optional<VerticalAlignment> verticalAlignmentNamed(std::string_view name) {
    if (name == "top") return VerticalAlignment::Top;
    if (name == "middle" || name == "center") return VerticalAlignment::Center;
    if (name == "bottom") return VerticalAlignment::Bottom;
    return std::nullopt;
}

bool isHeading(const Node& element) {
    return element.ns == html::Namespace::Html && element.name.size() == 2 && element.name[0] == 'h' &&
           element.name[1] >= '1' && element.name[1] <= '6';
}

// The width an element asks for: its CSS width, else its width attribute.
std::optional<ImportedWidth> widthOf(const Node& element) {
    if (auto css = cssProperty(styleOf(element), "width"))
        if (auto width = htmlLength(*css)) return width;
    if (const std::string* attribute = element.attribute("width")) return htmlLength(*attribute);
    return std::nullopt;
}

// The context inside an element: its tag's and its inline style's bold and italic, and for
// blocks and table parts their alignment.
Context contextInside(const Node& element, Context context) {
    const std::string& name = element.name;
    if (name == "b" || name == "strong" || name == "th" || isHeading(element)) context.bold = true;
    if (name == "i" || name == "em" || name == "cite" || name == "dfn" || name == "var") context.italic = true;
    if (html::isPreformatted(element)) context.preformatted = true;
    if (name == "center") context.alignment = Alignment::Center;
    const std::string style = styleOf(element);
    if (auto weight = cssProperty(style, "font-weight")) {
        if (*weight == "bold" || *weight == "bolder") context.bold = true;
        else if (*weight == "normal" || *weight == "lighter") context.bold = false;
        else if (auto number = wholeNumber(*weight)) context.bold = *number >= 700;
    }
    // A heading cell's text is centred unless the page aligns it.
    if (name == "th" && !context.alignment) context.alignment = Alignment::Center;
    if (auto fontStyle = cssProperty(style, "font-style"))
        context.italic = *fontStyle == "italic" || *fontStyle == "oblique";
    // A table's align places the table, not its text.
    if (html::isBlockElement(element) || name == "tr" || name == "td" || name == "th" || name == "tbody" ||
        name == "thead" || name == "tfoot") {
        if (name != "table")
            if (auto align = alignmentNamed(attributeOf(element, "align"))) context.alignment = align;
        if (auto textAlign = cssProperty(style, "text-align"))
            if (auto align = alignmentNamed(*textAlign)) context.alignment = align;
        if (auto align = verticalAlignmentNamed(attributeOf(element, "valign"))) context.verticalAlignment = align;
        if (auto css = cssProperty(style, "vertical-align"))
            if (auto align = verticalAlignmentNamed(*css)) context.verticalAlignment = align;
    }
    return context;
}

bool isHtmlSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// U+FFFE and U+FFFF, which no XML part may hold, as UTF-8.
bool isNonCharacterAt(std::string_view text, size_t at) {
    return text.compare(at, 2, "\xEF\xBF") == 0 && at + 2 < text.size() &&
           (text[at + 2] == '\xBE' || text[at + 2] == '\xBF');
}

// Builds the paragraphs and tables of one flow: the page's body, or one table cell.
class FlowBuilder {
public:
    explicit FlowBuilder(bool inCell) : m_inCell(inCell) {}

    void children(const Node& parent, const Context& context) {
        for (const auto& child : parent.children) node(*child, context);
    }

    ImportedContent finish() {
        endParagraph();
        return std::move(m_blocks);
    }

private:
    void node(const Node& node, const Context& context) {
        if (node.type == NodeType::Text) {
            text(node.data, context);
            return;
        }
        if (!node.isElement() || node.ns != html::Namespace::Html || html::isNotRendered(node)) return;
        if (node.name == "br") {
            lineBreak(context);
            return;
        }
        if (node.name == "img") {
            // Nothing is fetched: the picture is its alternative text, as a browser shows it
            // when the picture cannot be had.
            if (const std::string* alt = node.attribute("alt")) text(*alt, context);
            return;
        }
        if (html::isReplaced(node)) return;
        const Context inside = contextInside(node, context);
        if (node.name == "table") {
            endParagraph();
            table(node, inside);
            return;
        }
        const bool block = html::isBlockElement(node) || isHeading(node);
        if (block) endParagraph();
        children(node, inside);
        if (block) endParagraph();
    }

    void text(std::string_view text, const Context& context) {
        runFor(context);
        for (size_t at = 0; at < text.size(); ++at) {
            const unsigned char c = static_cast<unsigned char>(text[at]);
            if (context.preformatted && (c == '\n' || c == '\r')) {
                if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
                lineBreak(context);
                runFor(context);
                continue;
            }
            if (isHtmlSpace(c) && !context.preformatted) {
                m_pendingSpace = true;
                continue;
            }
            if (c < 0x20 && c != '\t') continue;  // no XML part holds other control characters
            if (isNonCharacterAt(text, at)) {
                at += 2;
                continue;
            }
            std::string& run = m_paragraph.runs.back().text;
            if (m_pendingSpace && m_hasText) run += ' ';
            m_pendingSpace = false;
            m_hasText = true;
            run += static_cast<char>(c);
        }
    }

    // The run text with this formatting goes into: the paragraph's last when it looks the same.
    std::string& runFor(const Context& context) {
        if (m_paragraph.runs.empty()) m_paragraph.alignment = context.alignment;
        if (m_paragraph.runs.empty() || m_paragraph.runs.back().lineBreak ||
            m_paragraph.runs.back().bold != context.bold || m_paragraph.runs.back().italic != context.italic)
            m_paragraph.runs.push_back(ImportedRun{{}, context.bold, context.italic, false});
        return m_paragraph.runs.back().text;
    }

    void lineBreak(const Context& context) {
        if (m_paragraph.runs.empty()) m_paragraph.alignment = context.alignment;
        m_paragraph.runs.push_back(ImportedRun{{}, context.bold, context.italic, true});
        m_pendingSpace = false;
        m_hasText = false;
    }

    void endParagraph() {
        std::erase_if(m_paragraph.runs, [](const ImportedRun& run) { return !run.lineBreak && run.text.empty(); });
        // A break that ends a block makes no line of its own in a browser.
        if (m_paragraph.runs.size() > 1 && m_paragraph.runs.back().lineBreak) m_paragraph.runs.pop_back();
        if (!m_paragraph.runs.empty()) {
            if (m_paragraph.runs.size() == 1 && m_paragraph.runs.back().lineBreak) m_paragraph.runs.clear();
            m_paragraph.inCell = m_inCell;
            m_blocks.push_back(ImportedBlock{std::move(m_paragraph)});
        }
        m_paragraph = ImportedParagraph{};
        m_pendingSpace = false;
        m_hasText = false;
    }

    void table(const Node& element, const Context& context);
    void rows(const Node& section, const Context& context, bool header, ImportedTable& table);
    ImportedCell cell(const Node& element, const Context& context, ImportedTable& table);

    bool m_inCell;
    ImportedContent m_blocks;
    ImportedParagraph m_paragraph;
    bool m_pendingSpace = false;  // white space seen since the last text, collapsed to one blank
    bool m_hasText = false;       // text since the paragraph's start or its last line break
};

void addColumns(const Node& element, std::vector<std::optional<ImportedWidth>>& widths) {
    const int32_t span = std::clamp(wholeNumber(attributeOf(element, "span")).value_or(1), 1, kMaxColumnSpan);
    const auto width = widthOf(element);
    for (int32_t k = 0; k < span && widths.size() < static_cast<size_t>(kMaxColumnSpan); ++k) widths.push_back(width);
}

void FlowBuilder::table(const Node& element, const Context& context) {
    ImportedTable table;
    table.width = widthOf(element);
    table.borders = wholeNumber(attributeOf(element, "border")).value_or(0) > 0 ||
                    (element.hasAttribute("border") && attributeOf(element, "border").empty()) ||
                    cssDrawsBorder(styleOf(element));
    std::vector<const Node*> footers;
    for (const auto& child : element.children) {
        const Node& part = *child;
        if (!part.isElement() || html::isNotRendered(part)) continue;
        if (part.name == "caption") {
            Context caption = contextInside(part, context);
            if (!caption.alignment) caption.alignment = Alignment::Center;
            children(part, caption);
            endParagraph();
        } else if (part.name == "colgroup") {
            bool hasColumns = false;
            for (const auto& column : part.children)
                if (column->is("col")) {
                    addColumns(*column, table.columnWidths);
                    hasColumns = true;
                }
            if (!hasColumns) addColumns(part, table.columnWidths);
        } else if (part.name == "col") {
            addColumns(part, table.columnWidths);
        } else if (part.name == "thead") {
            rows(part, contextInside(part, context), true, table);
        } else if (part.name == "tfoot") {
            footers.push_back(&part);  // drawn below the body wherever it stands
        } else if (part.name == "tbody") {
            // The parser puts rows written directly in a table into a tbody of their own.
            rows(part, contextInside(part, context), false, table);
        }
    }
    for (const Node* footer : footers) rows(*footer, contextInside(*footer, context), false, table);
    if (!table.rows.empty()) m_blocks.push_back(ImportedBlock{std::move(table)});
}

void FlowBuilder::rows(const Node& section, const Context& context, bool header, ImportedTable& table) {
    for (const auto& child : section.children) {
        if (!child->is("tr") || html::isNotRendered(*child)) continue;
        const Context inRow = contextInside(*child, context);
        ImportedRow row;
        row.header = header;
        for (const auto& cellNode : child->children)
            if ((cellNode->is("td") || cellNode->is("th")) && !html::isNotRendered(*cellNode))
                row.cells.push_back(cell(*cellNode, inRow, table));
        table.rows.push_back(std::move(row));
    }
}

ImportedCell FlowBuilder::cell(const Node& element, const Context& context, ImportedTable& table) {
    const Context inside = contextInside(element, context);
    ImportedCell cell;
    cell.columnSpan = std::clamp(wholeNumber(attributeOf(element, "colspan")).value_or(1), 1, kMaxColumnSpan);
    cell.rowSpan = std::clamp(wholeNumber(attributeOf(element, "rowspan")).value_or(1), 0, kMaxRowSpan);
    cell.width = widthOf(element);
    cell.verticalAlignment = inside.verticalAlignment;
    if (cssDrawsBorder(styleOf(element))) table.borders = true;
    FlowBuilder flow(true);
    flow.children(element, inside);
    cell.blocks = flow.finish();
    return cell;
}

}  // namespace

ImportedContent importHtml(std::string_view markup) {
    html::MarkupLimits limits;
    limits.maxBytes = kImportedMarkupLimit;
    // A quote's line has a few elements a cell: thousands of lines take a few hundred thousand.
    limits.maxElements = 1'000'000;
    limits.maxNestingWork = 100'000'000;
    const std::shared_ptr<html::Tree> tree = html::parseDocument(markup, limits);
    const Node* body = nullptr;
    for (const auto& top : tree->document->children)
        if (top->is("html"))
            for (const auto& part : top->children)
                if (part->is("body")) body = part.get();
    FlowBuilder flow(false);
    if (body) flow.children(*body, contextInside(*body, Context{}));
    return flow.finish();
}

}  // namespace lumora::word
