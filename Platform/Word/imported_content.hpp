#pragma once
// Content read from a file to be inserted into a story, before it becomes markup: paragraphs of
// formatted runs and tables of such paragraphs. A reader (the web page reader) fills it; the
// block writer turns it into the word-processing markup of the document it goes into.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "word_formats.hpp"

namespace lumora::word {

struct ImportedRun {
    std::string text;  // UTF-8, only characters the markup can hold
    bool bold = false;
    bool italic = false;
    bool lineBreak = false;  // a line break instead of text
};

struct ImportedParagraph {
    std::vector<ImportedRun> runs;
    std::optional<Alignment> alignment;
    bool inCell = false;  // cell paragraphs keep no spacing around them, as a web page's cells have none
};

// A width as the page gave it: a length in twips, or a share of what holds it.
struct ImportedWidth {
    enum Unit { Twips, Percent };
    Unit unit = Twips;
    double value = 0;
};

enum class VerticalAlignment { Top, Center, Bottom };

struct ImportedBlock;

struct ImportedCell {
    std::vector<ImportedBlock> blocks;
    int32_t columnSpan = 1;
    int32_t rowSpan = 1;  // 0 for "to the end of the table"
    std::optional<ImportedWidth> width;
    std::optional<VerticalAlignment> verticalAlignment;
};

struct ImportedRow {
    std::vector<ImportedCell> cells;
    bool header = false;  // a heading row repeated on each page the table runs over
};

struct ImportedTable {
    std::vector<ImportedRow> rows;
    std::vector<std::optional<ImportedWidth>> columnWidths;  // from the page's column elements
    std::optional<ImportedWidth> width;
    bool borders = false;
};

struct ImportedBlock {
    std::variant<ImportedParagraph, ImportedTable> content;
};

using ImportedContent = std::vector<ImportedBlock>;

}  // namespace lumora::word
