#include "markup_limits.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "html_errors.hpp"

namespace lumora::html {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <size_t N>
bool oneOf(std::string_view name, const std::array<std::string_view, N>& names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

constexpr std::array<std::string_view, 18> kVoid{"area",  "base",   "basefont", "bgsound", "br",    "col",
                                                 "embed", "frame",  "hr",       "img",     "input", "keygen",
                                                 "link",  "meta",   "param",    "source",  "track", "wbr"};
constexpr std::array<std::string_view, 9> kRawText{"script", "style",    "textarea", "title", "xmp",
                                                   "iframe", "noembed", "noframes", "noscript"};
constexpr std::array<std::string_view, 14> kFormatting{"a",     "b",     "big",    "code", "em", "font", "i",
                                                       "nobr",  "s",     "small",  "strike", "strong", "tt", "u"};
constexpr std::array<std::string_view, 7> kMarkers{"td", "th", "caption", "applet", "marquee", "object", "template"};
// Elements that bound the search for an element "in scope".
constexpr std::array<std::string_view, 11> kScope{"applet", "caption", "html",  "table", "td",  "th",
                                                  "marquee", "object", "template", "svg", "math"};
constexpr std::array<std::string_view, 33> kClosesParagraph{
    "address", "article", "aside",  "blockquote", "center", "details", "dialog", "dir",  "div",    "dl",    "fieldset",
    "figcaption", "figure", "footer", "form",   "h1",      "h2",      "h3",     "h4",   "h5",     "h6",    "header",
    "hgroup",  "hr",      "main",   "menu",       "nav",    "ol",      "p",      "pre",  "section", "table", "ul"};

// Follows the elements the tree builder keeps open, and the formatting elements it would
// re-open after they were closed implicitly.
class OpenElements {
public:
    OpenElements(const MarkupLimits& limits) : m_limits(limits) {}

    void start(std::string name, bool selfClosing) {
        if (oneOf(name, kVoid)) return;
        closeImplied(name);
        if (selfClosing && inForeignContent()) return;
        bool formatting = oneOf(name, kFormatting);
        if (formatting) m_active.push_back(Active{name, true});
        if (oneOf(name, kMarkers)) m_active.push_back(Active{{}, false});
        if (name == "svg" || name == "math") ++m_foreignOpen;
        m_open.push_back(Open{std::move(name), formatting});
        if (m_open.size() + m_offStack > m_limits.maxDepth) throw htmlError(HtmlError::NestedTooDeeply, m_limits.maxDepth);
    }

    void end(const std::string& name) {
        if (oneOf(name, kFormatting)) {
            // A formatting element closed after it was implicitly closed leaves the list.
            for (size_t i = m_active.size(); i-- > 0 && !m_active[i].name.empty();) {
                if (m_active[i].name == name) {
                    if (!m_active[i].onStack) {
                        --m_offStack;
                        m_active.erase(m_active.begin() + static_cast<ptrdiff_t>(i));
                        return;
                    }
                    break;
                }
            }
        }
        for (size_t i = m_open.size(); i-- > 0;) {
            if (m_open[i].name == name) {
                popTo(i);
                break;
            }
        }
        if (oneOf(name, kMarkers)) clearToMarker();
    }

    // Inside svg or math markup: "/>" closes an element and no element holds raw text.
    bool inForeignContent() const { return m_foreignOpen > 0; }

private:
    struct Open {
        std::string name;
        bool formatting;
    };
    struct Active {
        std::string name;  // empty for a marker
        bool onStack;
    };

    // The index of `name` when it is open within the scope bounded by `extraBoundaries`.
    template <size_t N>
    std::optional<size_t> inScope(std::string_view name, const std::array<std::string_view, N>& extraBoundaries) const {
        for (size_t i = m_open.size(); i-- > 0;) {
            if (m_open[i].name == name) return i;
            if (oneOf(m_open[i].name, kScope) || oneOf(m_open[i].name, extraBoundaries)) return std::nullopt;
        }
        return std::nullopt;
    }

    void closeIfInScope(std::string_view name) {
        static constexpr std::array<std::string_view, 1> kNone{""};
        if (auto at = inScope(name, kNone)) popTo(*at);
    }

    void closeImplied(const std::string& name) {
        static constexpr std::array<std::string_view, 3> kList{"ol", "ul", "button"};
        static constexpr std::array<std::string_view, 2> kRow{"tr", "table"};
        static constexpr std::array<std::string_view, 1> kTable{"table"};
        if (oneOf(name, kClosesParagraph) || name == "li" || name == "dd" || name == "dt") {
            static constexpr std::array<std::string_view, 1> kButton{"button"};
            if (auto at = inScope("p", kButton)) popTo(*at);
        }
        if (name == "li") {
            if (auto at = inScope("li", kList)) popTo(*at);
        } else if (name == "dd" || name == "dt") {
            closeIfInScope("dd");
            closeIfInScope("dt");
        } else if (name == "option" || name == "optgroup") {
            if (!m_open.empty() && m_open.back().name == "option") popTo(m_open.size() - 1);
            if (name == "optgroup" && !m_open.empty() && m_open.back().name == "optgroup") popTo(m_open.size() - 1);
        } else if (name == "tr") {
            if (auto at = inScope("tr", kTable)) popTo(*at);
        } else if (name == "td" || name == "th") {
            if (auto at = inScope("td", kRow)) popTo(*at);
            if (auto at = inScope("th", kRow)) popTo(*at);
        } else if (name == "tbody" || name == "thead" || name == "tfoot") {
            for (std::string_view section : {"tbody", "thead", "tfoot"})
                if (auto at = inScope(section, kTable)) popTo(*at);
        } else if (name == "a" || name == "nobr") {
            closeIfInScope(name);
        } else if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
            if (!m_open.empty() && m_open.back().name.size() == 2 && m_open.back().name[0] == 'h') popTo(m_open.size() - 1);
        }
    }

    // Closes the open element at `index` and everything opened after it.
    void popTo(size_t index) {
        while (m_open.size() > index) {
            const Open& top = m_open.back();
            if (top.formatting) markOffStack(top.name);
            if (top.name == "svg" || top.name == "math") --m_foreignOpen;
            m_open.pop_back();
        }
    }

    void markOffStack(const std::string& name) {
        for (size_t i = m_active.size(); i-- > 0 && !m_active[i].name.empty();) {
            if (m_active[i].name == name && m_active[i].onStack) {
                m_active[i].onStack = false;
                ++m_offStack;
                return;
            }
        }
    }

    void clearToMarker() {
        while (!m_active.empty()) {
            Active last = std::move(m_active.back());
            m_active.pop_back();
            if (last.name.empty()) return;
            if (!last.onStack) --m_offStack;
        }
    }

    const MarkupLimits& m_limits;
    std::vector<Open> m_open;
    std::vector<Active> m_active;
    size_t m_offStack = 0;
    size_t m_foreignOpen = 0;
};

// The position after the comment, declaration or processing instruction at `at` ("<!" or "<?").
size_t skipMarkupDeclaration(std::string_view markup, size_t at) {
    if (markup.compare(at, 4, "<!--") == 0) {
        // "<!-->" and "<!--->" end at once, and "--!>" ends a comment too, as the tokenizer reads them.
        if (markup.compare(at + 4, 1, ">") == 0) return at + 5;
        if (markup.compare(at + 4, 2, "->") == 0) return at + 6;
        size_t end = markup.find("-->", at + 4);
        size_t bangEnd = markup.find("--!>", at + 4);
        if (bangEnd < end) return bangEnd + 4;
        return end == std::string_view::npos ? markup.size() : end + 3;
    }
    size_t end = markup.find('>', at);
    return end == std::string_view::npos ? markup.size() : end + 1;
}

struct TagToken {
    std::string name;
    size_t end = 0;  // after the ">"
    bool selfClosing = false;
};

// Reads a tag from its name at `at`, counting its attributes as the tokenizer splits them.
TagToken readTag(std::string_view markup, size_t at, const MarkupLimits& limits) {
    TagToken tag;
    size_t i = at;
    while (i < markup.size() && !isSpace(markup[i]) && markup[i] != '/' && markup[i] != '>') tag.name += lower(markup[i++]);
    size_t attributes = 0;
    for (;;) {
        while (i < markup.size() && (isSpace(markup[i]) || markup[i] == '/')) {
            tag.selfClosing = markup[i] == '/';
            ++i;
        }
        if (i >= markup.size() || markup[i] == '>') break;
        tag.selfClosing = false;
        if (++attributes > limits.maxAttributes) throw htmlError(HtmlError::TooManyAttributes, limits.maxAttributes);
        ++i;  // a name's first character may be anything, "=" included
        while (i < markup.size() && !isSpace(markup[i]) && markup[i] != '/' && markup[i] != '>' && markup[i] != '=') ++i;
        while (i < markup.size() && isSpace(markup[i])) ++i;
        if (i >= markup.size() || markup[i] != '=') continue;
        ++i;
        while (i < markup.size() && isSpace(markup[i])) ++i;
        if (i < markup.size() && (markup[i] == '"' || markup[i] == '\'')) {
            size_t close = markup.find(markup[i], i + 1);
            i = close == std::string_view::npos ? markup.size() : close + 1;
        } else {
            while (i < markup.size() && !isSpace(markup[i]) && markup[i] != '>') ++i;
        }
    }
    tag.end = std::min(i + 1, markup.size());
    return tag;
}

// The position of the end tag closing a raw-text element ("</script"), or the end.
size_t rawTextEnd(std::string_view markup, size_t from, std::string_view name) {
    for (size_t at = markup.find("</", from); at != std::string_view::npos; at = markup.find("</", at + 2)) {
        if (at + 2 + name.size() > markup.size()) break;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k) same = lower(markup[at + 2 + k]) == name[k];
        if (same) return at;
    }
    return markup.size();
}

}  // namespace

void checkMarkupLimits(std::string_view markup, const MarkupLimits& limits) {
    if (markup.size() > limits.maxBytes) throw htmlError(HtmlError::DocumentTooLarge, limits.maxBytes);
    OpenElements open(limits);
    size_t elements = 0;
    size_t at = markup.find('<');
    while (at != std::string_view::npos && at + 1 < markup.size()) {
        char next = markup[at + 1];
        size_t resume = at + 1;
        if (next == '!' || next == '?') {
            resume = skipMarkupDeclaration(markup, at);
        } else if (next == '/' && at + 2 < markup.size() && isLetter(markup[at + 2])) {
            TagToken tag = readTag(markup, at + 2, limits);
            open.end(tag.name);
            resume = tag.end;
        } else if (isLetter(next)) {
            TagToken tag = readTag(markup, at + 1, limits);
            if (++elements > limits.maxElements) throw htmlError(HtmlError::TooManyElements, limits.maxElements);
            open.start(tag.name, tag.selfClosing);
            resume = tag.end;
            // Raw text is skipped only where the tokenizer treats it so; elsewhere its tags count.
            bool foreign = open.inForeignContent();
            if (tag.name == "plaintext" && !foreign) return;  // everything after it is text
            if (oneOf(tag.name, kRawText) && !foreign) resume = rawTextEnd(markup, resume, tag.name);
        }
        at = markup.find('<', resume);
    }
}

}  // namespace lumora::html
