#include "markup_limits.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dom.hpp"
#include "html_errors.hpp"

namespace lumora::html {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <size_t N>
bool oneOf(std::string_view name, const std::array<std::string_view, N>& names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

constexpr auto kVoid = std::to_array<std::string_view>({"area",  "base",   "basefont", "bgsound", "br",    "col",
                                                 "embed", "frame",  "hr",       "img",     "input", "keygen",
                                                 "link",  "meta",   "param",    "source",  "track", "wbr"});
constexpr auto kRawText = std::to_array<std::string_view>({"script", "style",    "textarea", "title", "xmp",
                                                   "iframe", "noembed", "noframes", "noscript"});
constexpr auto kFormatting = std::to_array<std::string_view>({"a",     "b",     "big",    "code", "em", "font", "i",
                                                       "nobr",  "s",     "small",  "strike", "strong", "tt", "u"});
constexpr auto kMarkers = std::to_array<std::string_view>({"td", "th", "caption", "applet", "marquee", "object", "template"});
// Elements that bound the search for an element "in scope".
constexpr auto kScope = std::to_array<std::string_view>({"applet", "caption", "html",  "table", "td",  "th",
                                                  "marquee", "object", "template", "svg", "math"});
constexpr auto kClosesParagraph = std::to_array<std::string_view>({
    "address", "article", "aside",  "blockquote", "center", "details", "dialog", "dir",  "div",    "dl",    "fieldset",
    "figcaption", "figure", "footer", "form",   "h1",      "h2",      "h3",     "h4",   "h5",     "h6",    "header",
    "hgroup",  "hr",      "main",   "menu",       "nav",    "ol",      "p",      "pre",  "section", "table", "ul"});

// The "special" elements: an end tag of another element is not matched across one of them.
constexpr auto kSpecial = std::to_array<std::string_view>({
    "address", "applet",   "area",     "article", "aside",   "base",      "basefont", "bgsound", "blockquote",
    "body",    "br",       "button",   "caption", "center",  "col",       "colgroup", "dd",      "details",
    "dir",     "div",      "dl",       "dt",      "embed",   "fieldset",  "figcaption", "figure", "footer",
    "form",    "frame",    "frameset", "h1",      "h2",      "h3",        "h4",       "h5",      "h6",
    "head",    "header",   "hgroup",   "hr",      "html",    "iframe",    "img",      "input",   "keygen",
    "li",      "link",     "listing",  "main",    "marquee", "menu",      "meta",     "nav",     "noembed",
    "noframes", "noscript", "object",  "ol",      "p",       "param",     "plaintext", "pre",    "script",
    "section", "select",   "source",   "style",   "summary", "table",     "tbody",    "td",      "template",
    "textarea", "tfoot",   "th",       "thead",   "title",   "tr",        "track",    "ul",      "wbr",
    "xmp",     "svg",      "math"});
constexpr auto kTableParts = std::to_array<std::string_view>({"tbody", "thead", "tfoot", "tr", "td", "th", "caption"});

// Start tags after which the tree builder does not re-open formatting elements.
constexpr auto kNoReconstruct = std::to_array<std::string_view>({
    "li",     "dd",       "dt",      "plaintext", "listing", "html",  "body",     "head",    "base",    "basefont",
    "bgsound", "link",    "meta",    "noframes",  "script",  "style", "template", "title",   "frameset", "textarea",
    "iframe", "noembed",  "noscript", "param",    "source",  "track", "caption",  "col",     "colgroup", "frame",
    "tbody",  "td",       "tfoot",   "th",        "thead",   "tr",    "image",    "optgroup", "isindex"});

// Follows the elements the tree builder keeps open, and the formatting elements it would
// re-open after they were closed implicitly, counting the elements it would make and the
// open elements it would look through.
class OpenElements {
public:
    explicit OpenElements(const MarkupLimits& limits) : m_limits(limits) {}

    void start(std::string name, std::string_view attributes, bool selfClosing) {
        count(1);
        m_work += m_open.size();
        if (m_work > m_limits.maxNestingWork) raise(HtmlError::TooComplex, std::to_string(m_limits.maxNestingWork));
        if (!oneOf(name, kClosesParagraph) && !oneOf(name, kNoReconstruct)) reconstruct();
        if (oneOf(name, kVoid)) return;
        closeImplied(name);
        if (selfClosing && inForeignContent()) return;
        uint64_t id = 0;
        if (oneOf(name, kFormatting)) id = addActive(name, attributes);
        if (oneOf(name, kMarkers)) m_active.push_back(Active{{}, {}, false, 0});
        push(std::move(name), id);
    }

    // Text in the body re-opens the formatting elements closed implicitly before it.
    void text() { reconstruct(); }

    void end(const std::string& name) {
        if (oneOf(name, kFormatting)) {
            // A formatting element closed after it was implicitly closed only leaves the list.
            for (size_t i = m_active.size(); i-- > 0 && !m_active[i].name.empty();) {
                if (m_active[i].name == name) {
                    if (m_active[i].onStack) break;
                    --m_offStack;
                    m_active.erase(m_active.begin() + static_cast<ptrdiff_t>(i));
                    return;
                }
            }
        }
        std::optional<size_t> at;
        if (name == "p") {
            at = inScope(name, Button);
        } else if (name == "li") {
            at = inScope(name, List);
        } else if (oneOf(name, kTableParts) || name == "table") {
            at = inTableScope(name);
        } else if (oneOf(name, kSpecial) || oneOf(name, kFormatting)) {
            at = inScope(name);
        } else {
            // Any other end tag closes the nearest element of its name, unless a special
            // element lies in between: then the tree builder ignores it.
            for (size_t i = m_open.size(); i-- > 0;) {
                if (m_open[i].name == name) {
                    at = i;
                    break;
                }
                if (m_open[i].bounds & Special) break;
            }
        }
        if (!at) return;
        // A formatting element closed over others is mended by cloning: up to eight rounds,
        // each cloning it and a few of the elements above it.
        size_t above = m_open.size() - 1 - *at;
        if (m_open[*at].activeId != 0 && above > 0) count(std::min<size_t>(above, 8) * 4);
        // The element closed by its own end tag leaves the list of formatting elements too.
        popTo(*at, m_open[*at].activeId);
    }

    // Inside svg or math markup: "/>" closes an element and no element holds raw text.
    bool inForeignContent() const { return m_foreignOpen > 0; }

private:
    // What an open element bounds when the tree builder looks for an element "in scope".
    enum Boundary : uint8_t { Scope = 1, List = 2, Button = 4, Table = 8, Special = 16, Marker = 32 };

    struct Open {
        std::string name;
        uint64_t activeId;  // its entry in the list of formatting elements, 0 for none
        uint8_t bounds;
    };
    struct Active {
        std::string name;        // empty for a marker
        std::string attributes;  // as written: equal text means equal attributes
        bool onStack;
        uint64_t id;
    };

    // Lists a formatting element. As the tree builder does, only the three latest entries with
    // the same name and attributes are kept.
    uint64_t addActive(const std::string& name, std::string_view attributes) {
        size_t same = 0;
        size_t earliest = m_active.size();
        for (size_t i = m_active.size(); i-- > 0 && !m_active[i].name.empty();) {
            if (m_active[i].name == name && m_active[i].attributes == attributes) {
                ++same;
                earliest = i;
            }
        }
        if (same >= 3) {
            if (!m_active[earliest].onStack) --m_offStack;
            m_active.erase(m_active.begin() + static_cast<ptrdiff_t>(earliest));
        }
        m_active.push_back(Active{name, std::string(attributes), true, ++m_nextId});
        return m_nextId;
    }

    static uint8_t boundsOf(std::string_view name) {
        uint8_t bounds = oneOf(name, kScope) ? Scope : 0;
        if (name == "ol" || name == "ul") bounds |= List;
        if (name == "button") bounds |= Button;
        if (name == "table" || name == "html" || name == "template") bounds |= Table;
        if (oneOf(name, kSpecial)) bounds |= Special;
        if (oneOf(name, kMarkers)) bounds |= Marker;
        return bounds;
    }

    void push(std::string name, uint64_t activeId) {
        if (name == "svg" || name == "math") ++m_foreignOpen;
        uint8_t bounds = boundsOf(name);
        m_open.push_back(Open{std::move(name), activeId, bounds});
        if (m_open.size() + m_offStack > m_limits.maxDepth) raise(HtmlError::NestedTooDeeply, std::to_string(m_limits.maxDepth));
    }

    void count(size_t added) {
        m_elements += added;
        if (m_elements > m_limits.maxElements) raise(HtmlError::TooManyElements, std::to_string(m_limits.maxElements));
    }

    // The tree builder clones every formatting element that is active but no longer open and
    // opens the clones again: each is one more element, and they nest.
    void reconstruct() {
        if (m_offStack == 0) return;
        count(m_offStack);
        size_t firstAfterMarker = m_active.size();
        while (firstAfterMarker > 0 && !m_active[firstAfterMarker - 1].name.empty()) --firstAfterMarker;
        size_t reopened = 0;
        for (size_t i = firstAfterMarker; i < m_active.size(); ++i) {
            if (m_active[i].onStack) continue;
            m_active[i].onStack = true;
            ++reopened;
            push(m_active[i].name, m_active[i].id);
        }
        m_offStack -= reopened;
    }

    // The index of `name` when it is open within the scope the boundaries give.
    std::optional<size_t> inScope(std::string_view name, uint8_t boundaries = 0) const {
        for (size_t i = m_open.size(); i-- > 0;) {
            if (m_open[i].name == name) return i;
            if (m_open[i].bounds & (Scope | boundaries)) return std::nullopt;
        }
        return std::nullopt;
    }

    // The same within a table: only the table itself (or the document) bounds the search.
    std::optional<size_t> inTableScope(std::string_view name) const {
        for (size_t i = m_open.size(); i-- > 0;) {
            if (m_open[i].name == name) return i;
            if (m_open[i].bounds & Table) return std::nullopt;
        }
        return std::nullopt;
    }

    void closeInScope(std::string_view name, uint8_t boundaries = 0) {
        if (auto at = inScope(name, boundaries)) popTo(*at);
    }

    void closeInTableScope(std::initializer_list<std::string_view> names) {
        for (std::string_view name : names)
            if (auto at = inTableScope(name)) popTo(*at);
    }

    void closeImplied(const std::string& name) {
        if (oneOf(name, kClosesParagraph) || name == "li" || name == "dd" || name == "dt") closeInScope("p", Button);
        if (name == "li") {
            closeInScope("li", List);
        } else if (name == "dd" || name == "dt") {
            closeInScope("dd");
            closeInScope("dt");
        } else if (name == "option" || name == "optgroup") {
            if (!m_open.empty() && m_open.back().name == "option") popTo(m_open.size() - 1);
            if (name == "optgroup" && !m_open.empty() && m_open.back().name == "optgroup") popTo(m_open.size() - 1);
        } else if (name == "tr") {
            closeInTableScope({"td", "th", "tr"});
        } else if (name == "td" || name == "th") {
            closeInTableScope({"td", "th"});
        } else if (name == "tbody" || name == "thead" || name == "tfoot" || name == "caption") {
            closeInTableScope({"td", "th", "tr", "tbody", "thead", "tfoot", "caption"});
        } else if (name == "a" || name == "nobr") {
            closeInScope(name);
        } else if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
            if (!m_open.empty() && m_open.back().name.size() == 2 && m_open.back().name[0] == 'h') popTo(m_open.size() - 1);
        }
    }

    // Closes the open element at `index` and everything opened after it. The formatting
    // elements among them stay listed, to be re-opened, except the one `closing` names.
    void popTo(size_t index, uint64_t closing = 0) {
        while (m_open.size() > index) {
            const Open& top = m_open.back();
            if (top.activeId != 0) leaveStack(top.activeId, top.activeId == closing);
            if (top.name == "svg" || top.name == "math") --m_foreignOpen;
            // Closing a cell (or another marker element) forgets the formatting opened in it.
            if (top.bounds & Marker) clearToMarker();
            m_open.pop_back();
        }
    }

    void leaveStack(uint64_t id, bool closed) {
        for (size_t i = m_active.size(); i-- > 0;) {
            if (m_active[i].id != id) continue;
            if (closed) {
                m_active.erase(m_active.begin() + static_cast<ptrdiff_t>(i));
            } else if (m_active[i].onStack) {
                m_active[i].onStack = false;
                ++m_offStack;
            }
            return;
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
    size_t m_elements = 0;
    size_t m_work = 0;
    uint64_t m_nextId = 0;
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
    std::string_view attributes;  // the text between the name and the end of the tag
    size_t end = 0;  // after the ">"
    bool selfClosing = false;
};

// Reads a tag from its name at `at`, counting its attributes as the tokenizer splits them.
TagToken readTag(std::string_view markup, size_t at, const MarkupLimits& limits) {
    TagToken tag;
    size_t i = at;
    while (i < markup.size() && !isHtmlSpace(markup[i]) && markup[i] != '/' && markup[i] != '>') tag.name += lower(markup[i++]);
    size_t attributes = 0;
    size_t attributesFrom = i;
    for (;;) {
        while (i < markup.size() && (isHtmlSpace(markup[i]) || markup[i] == '/')) {
            tag.selfClosing = markup[i] == '/';
            ++i;
        }
        if (i >= markup.size() || markup[i] == '>') break;
        tag.selfClosing = false;
        if (++attributes > limits.maxAttributes) raise(HtmlError::TooManyAttributes, std::to_string(limits.maxAttributes));
        ++i;  // a name's first character may be anything, "=" included
        while (i < markup.size() && !isHtmlSpace(markup[i]) && markup[i] != '/' && markup[i] != '>' && markup[i] != '=') ++i;
        while (i < markup.size() && isHtmlSpace(markup[i])) ++i;
        if (i >= markup.size() || markup[i] != '=') continue;
        ++i;
        while (i < markup.size() && isHtmlSpace(markup[i])) ++i;
        if (i < markup.size() && (markup[i] == '"' || markup[i] == '\'')) {
            size_t close = markup.find(markup[i], i + 1);
            i = close == std::string_view::npos ? markup.size() : close + 1;
        } else {
            while (i < markup.size() && !isHtmlSpace(markup[i]) && markup[i] != '>') ++i;
        }
    }
    tag.attributes = markup.substr(attributesFrom, i - attributesFrom);
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
    if (markup.size() > limits.maxBytes) raise(HtmlError::DocumentTooLarge, std::to_string(limits.maxBytes));
    OpenElements open(limits);
    auto textBefore = [&](size_t from, size_t to) {
        std::string_view between = markup.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from);
        if (std::any_of(between.begin(), between.end(), [](char c) { return !isHtmlSpace(c); })) open.text();
    };
    size_t at = markup.find('<');
    textBefore(0, at);
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
            open.start(tag.name, tag.attributes, tag.selfClosing);
            resume = tag.end;
            // Raw text is skipped only where the tokenizer treats it so; elsewhere its tags count.
            bool foreign = open.inForeignContent();
            if (tag.name == "plaintext" && !foreign) return;  // everything after it is text
            if (oneOf(tag.name, kRawText) && !foreign) resume = rawTextEnd(markup, resume, tag.name);
        }
        at = markup.find('<', resume);
        textBefore(resume, at);
    }
}

}  // namespace lumora::html
