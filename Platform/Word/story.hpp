#pragma once
// One story of a document (the main text, a header or footer, a text box) as the character
// positions script works with: every visible character of the story's runs, "\t" for a tab,
// "\v" for a line break, "\r" ending each paragraph and "\r\a" ending each table cell's last
// paragraph. Positions count code points.
//
// The text is an index over the story's markup, built once and then kept current: an edit
// changes the markup of the paragraphs it touches, re-reads only what it touched, and shifts
// what follows, so finding the next tag never walks the document again. Ranges that script holds
// are tracked spans the story moves along with its edits, as the word processor's ranges move.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script_constants.hpp"

struct _xmlNode;

namespace lumora::word {

using XmlNode = _xmlNode;
struct XmlPart;
class TextBudget;

// A script-held range's positions, moved by the story's edits.
struct Span {
    int32_t start = 0;
    int32_t end = 0;
};

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool forward = true;
};

class Story {
public:
    // root: w:body, w:hdr, w:ftr or w:txbxContent, inside `part`. The story's characters count
    // against the document's budget, which every edit that adds some asks first.
    Story(XmlNode* root, XmlPart* part, int32_t type, TextBudget& budget);
    ~Story();
    Story(const Story&) = delete;
    Story& operator=(const Story&) = delete;

    int32_t type() const { return m_type; }
    XmlNode* root() const { return m_root; }
    XmlPart* part() const { return m_part; }

    int32_t length();
    std::u32string characters(int32_t start, int32_t end);
    char32_t characterAt(int32_t position);
    std::string textOf(int32_t start, int32_t end);

    // The first occurrence of `needle` within [start, end) (the last, searching backward).
    std::optional<Span> find(std::u32string_view needle, int32_t start, int32_t end, const FindOptions& options);

    // Replaces [start, end) by `replacement`; the new text takes the formatting of the first
    // replaced character (or of the text just before an insertion). "\r" or "\n" in the
    // replacement starts a paragraph, "\t" is a tab, "\v" a line break; characters XML cannot
    // hold are dropped. Returns the end of the inserted text. Error 5904 when the range crosses
    // a table cell's boundary or takes a cell's end mark, DocumentTooLarge when the document's
    // text would pass its limit; either before anything changes. The story's final paragraph
    // mark is never deleted.
    int32_t replace(int32_t start, int32_t end, std::u32string_view replacement);
    // Replaces [start, end) by the paragraphs and tables that are the children of `blocks` (an
    // element not linked into the document), moving them out of it, and returns the position
    // after them. They stand as blocks of their own: the paragraph at the insertion point is
    // split there, and a table always has a paragraph after it. Content of one paragraph alone
    // joins the text at the insertion point instead, taking its paragraph's layout. Errors as
    // replace's, before anything changes.
    int32_t insertBlocks(int32_t start, int32_t end, XmlNode* blocks);
    // How many more characters the document may take.
    int64_t room() const;
    // Counts characters about to come in other than by replace (a table's new row), refused as
    // an edit's would be.
    void takeRoom(int64_t characters);

    // The table cell (w:tc) holding the position, or nullptr outside tables.
    XmlNode* cellAt(int32_t position);
    // The run (w:r) holding the character at position, nullptr where it is no run's (a
    // paragraph mark); a new field takes its formatting from it.
    XmlNode* runAt(int32_t position);
    // The positions of an element's content: a paragraph, a table, a row or a cell.
    std::optional<Span> spanOf(const XmlNode* element);
    // The paragraph end after position: the position just past its "\r" (or "\r\a").
    int32_t paragraphEndAfter(int32_t position);

    // Markup changed outside replace (rows added or removed): the index is rebuilt when next used.
    void markStructureChanged();
    // A row just put into a table of this story, whose characters takeRoom has counted: its
    // cells are indexed where it stands, so a table filled row by row is not read again whole
    // after every new row. Falls back to markStructureChanged where the row's place is not plain.
    void rowAdded(XmlNode* row, int64_t counted);

    std::shared_ptr<Span> track(int32_t start, int32_t end);

    // The index's parts, defined for the story's own source files (story_index.hpp).
    struct Segment;
    struct Index;

private:
    void ensureIndex();
    size_t segmentAt(int32_t position) const;
    void shiftTracked(int32_t start, int32_t end, int32_t newEnd);

    XmlNode* m_root;
    XmlPart* m_part;
    int32_t m_type;
    TextBudget& m_budget;
    int64_t m_counted = 0;  // the characters this story has counted in the budget
    std::unique_ptr<Index> m_index;
    std::vector<std::weak_ptr<Span>> m_tracked;
};

// Simple case folding, one code point to one, so folded text keeps its positions.
char32_t foldCase(char32_t c);
std::u32string toU32(std::string_view utf8);
std::string toUtf8(std::u32string_view text);

}  // namespace lumora::word
