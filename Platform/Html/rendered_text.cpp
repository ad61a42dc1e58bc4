#include "rendered_text.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#include "Automation/vb/text.hpp"
#include "form_controls.hpp"

namespace lumora::html {

namespace {

constexpr std::array<std::string_view, 11> kNotRendered{"script", "style",    "head", "title",   "meta", "link",
                                                        "template", "noscript", "datalist", "base", "param"};
// Replaced elements: they show something, but not the text of their children.
constexpr std::array<std::string_view, 11> kOpaque{"textarea", "input", "img",    "iframe", "object", "video",
                                                   "audio",    "canvas", "embed", "svg",    "math"};
constexpr std::array<std::string_view, 44> kBlocks{
    "address", "article", "aside",   "blockquote", "body",   "caption", "center",   "dd",     "details",
    "dialog",  "dir",     "div",     "dl",         "dt",     "fieldset", "figcaption", "figure", "footer",
    "form",    "frameset", "h1",     "h2",         "h3",     "h4",      "h5",       "h6",     "header",
    "hgroup",  "hr",      "html",    "legend",     "li",     "listing", "main",     "menu",   "nav",
    "ol",      "optgroup", "option", "pre",        "section", "summary", "table",   "ul"};
constexpr std::array<std::string_view, 4> kPreformatted{"pre", "listing", "plaintext", "xmp"};

bool isIn(std::string_view name, auto const& names) { return std::find(names.begin(), names.end(), name) != names.end(); }

// Builds the text from content, blanks that may collapse, and required line breaks.
class TextBuilder {
public:
    void content(std::string_view text) {
        if (text.empty()) return;
        if (m_pendingBreaks > 0) {
            m_out.append(static_cast<size_t>(m_pendingBreaks), '\n');
            m_atLineStart = true;
        } else if (m_pendingSpace && !m_atLineStart) {
            m_out += ' ';
        }
        m_pendingBreaks = 0;
        m_pendingSpace = false;
        m_out += text;
        m_atLineStart = text.back() == '\n';
    }
    void blank() { m_pendingSpace = true; }
    // A break the layout requires: consecutive ones merge, and none is written at either end.
    void requireBreaks(int count) {
        if (!m_out.empty()) m_pendingBreaks = std::max(m_pendingBreaks, count);
        m_pendingSpace = false;
    }
    // A line break or tab that is itself text (<br>, the gap between cells).
    void literal(char c) {
        m_pendingSpace = false;
        content(std::string_view(&c, 1));
        m_atLineStart = true;
    }
    void startOfLine() {
        m_pendingSpace = false;
        m_atLineStart = true;
    }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
    int m_pendingBreaks = 0;
    bool m_pendingSpace = false;
    bool m_atLineStart = true;
};

void appendText(TextBuilder& out, std::string_view text, bool preformatted) {
    if (preformatted) {
        out.content(text);
        return;
    }
    size_t at = 0;
    while (at < text.size()) {
        if (isHtmlSpace(text[at])) {
            out.blank();
            while (at < text.size() && isHtmlSpace(text[at])) ++at;
            continue;
        }
        size_t end = at;
        while (end < text.size() && !isHtmlSpace(text[end])) ++end;
        out.content(text.substr(at, end - at));
        at = end;
    }
}

bool isLastCellOfRow(const Node& cell) {
    if (!cell.parent) return true;
    const auto& siblings = cell.parent->children;
    auto self = std::find_if(siblings.begin(), siblings.end(), [&](const auto& n) { return n.get() == &cell; });
    return std::none_of(std::next(self), siblings.end(), [](const auto& n) { return n->is("td") || n->is("th"); });
}

void collect(TextBuilder& out, const Node& node, bool preformatted) {
    for (const auto& child : node.children) {
        if (child->type == NodeType::Text) {
            appendText(out, child->data, preformatted);
            continue;
        }
        if (!child->isElement() || isNotRendered(*child)) continue;
        const Node& element = *child;
        bool html = element.ns == Namespace::Html;
        if (html && element.name == "br") {
            out.literal('\n');
            continue;
        }
        if (html && isIn(element.name, kOpaque)) {
            out.blank();
            continue;
        }
        bool cell = element.is("td") || element.is("th");
        bool row = element.is("tr");
        int breaks = element.is("p") ? 2 : (html && (isIn(element.name, kBlocks) || row)) ? 1 : 0;
        if (breaks) out.requireBreaks(breaks);
        if (cell) out.startOfLine();
        collect(out, element, preformatted || (html && isIn(element.name, kPreformatted)));
        if (cell) {
            out.startOfLine();
            if (!isLastCellOfRow(element)) out.literal('\t');
        }
        if (breaks) out.requireBreaks(breaks);
    }
}

std::string lowerWithoutBlanks(std::string_view text) {
    std::string out = vb::asciiLower(text);
    std::erase_if(out, isHtmlSpace);
    return out;
}

}  // namespace

bool isNotRendered(const Node& element) {
    if (element.ns == Namespace::Html && isIn(element.name, kNotRendered)) return true;
    if (element.hasAttribute("hidden")) return true;
    if (element.is("input") && inputType(element) == "hidden") return true;
    const std::string* style = element.attribute("style");
    return style && lowerWithoutBlanks(*style).find("display:none") != std::string::npos;
}

bool isBlockElement(const Node& element) {
    return element.ns == Namespace::Html && (element.name == "p" || isIn(element.name, kBlocks));
}

bool isPreformatted(const Node& element) { return element.ns == Namespace::Html && isIn(element.name, kPreformatted); }

bool isReplaced(const Node& element) { return element.ns == Namespace::Html && isIn(element.name, kOpaque); }

std::string renderedText(const Node& node) {
    // Something not rendered has no layout to follow: its text is all of its text.
    if (node.isElement() && isNotRendered(node)) return node.textContent();
    if (node.type == NodeType::Text) return node.data;
    TextBuilder out;
    bool preformatted = node.ns == Namespace::Html && (isIn(node.name, kPreformatted) || node.is("textarea"));
    collect(out, node, preformatted);
    return out.take();
}

}  // namespace lumora::html
