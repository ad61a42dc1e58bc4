#include "insert_file.hpp"

#include "Automation/error.hpp"
#include "Automation/vb/text.hpp"
#include "Automation/vb/utf8.hpp"
#include "Platform/Html/html_parser.hpp"
#include "block_markup.hpp"
#include "document_files.hpp"
#include "html_import.hpp"
#include "text_span.hpp"
#include "word_errors.hpp"
#include "wordml.hpp"
#include "xml_part.hpp"

namespace lumora::word {

namespace fs = std::filesystem;

namespace {

enum class FileKind { WebPage, Text, Package, Unreadable };

// What the file is, by its name as the word processor's converters choose, and by its bytes:
// a package whatever its name, and nothing holding zero bytes outside UTF-16 is text.
FileKind kindOf(const fs::path& file, std::string_view bytes) {
    if (bytes.substr(0, 2) == "PK") return FileKind::Package;
    const bool utf16 = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
    if (!utf16 && bytes.find('\0') != std::string_view::npos) return FileKind::Unreadable;
    const std::string extension = vb::asciiLower(file.extension().string());
    if (extension == ".htm" || extension == ".html" || extension == ".xhtml") return FileKind::WebPage;
    if (extension == ".txt") return FileKind::Text;
    return FileKind::Unreadable;
}

int32_t twipsAttribute(const xmlNode* element, const char* name, int32_t fallback) {
    return element ? markupInteger(ml::attr(element, name)).value_or(fallback) : fallback;
}

// The room a table put at the position has: its cell's width, or the page's less its margins.
int32_t textWidthAt(Story& story, DocxDocument& docx, int32_t position) {
    if (xmlNode* cell = story.cellAt(position)) {
        xmlNode* width = ml::firstChild(ml::firstChild(cell, "tcPr"), "tcW");
        if (width && ml::attr(width, "type") == "dxa")
            if (auto twips = markupInteger(ml::attr(width, "w")); twips && *twips > 0) return *twips;
    }
    xmlNode* section = ml::firstChild(docx.main().root(), "sectPr");
    xmlNode* page = ml::firstChild(section, "pgSz");
    xmlNode* margins = ml::firstChild(section, "pgMar");
    if (!page) return kDefaultTextWidth;
    const int32_t width = twipsAttribute(page, "w", 11906) - twipsAttribute(margins, "left", 1440) -
                          twipsAttribute(margins, "right", 1440);
    return width > 0 ? width : kDefaultTextWidth;
}

// A text file's characters; the line end closing its last line makes no paragraph of its own.
std::u32string textOfFile(std::string_view bytes) {
    std::u32string text = vb::utf8::decode(html::decodeDocumentBytes(bytes));
    if (!text.empty() && text.back() == U'\n') text.pop_back();
    if (!text.empty() && text.back() == U'\r') text.pop_back();
    return text;
}

}  // namespace

void insertFile(TextSpan& span, const std::string& pagePath, const Variant& range) {
    if (!range.isAbsent() && !range.toString().empty())
        raise(WordError::BadArgument, "only whole files can be inserted");
    Location& place = span.location();
    const fs::path file = span.instance()->resolve(pagePath);
    checkReadable(file);
    const std::string bytes = readWholeFile(file, kImportedMarkupLimit);
    Story& story = *place.story;
    int32_t end = 0;
    switch (kindOf(file, bytes)) {
        case FileKind::Package: raise(WordError::NotInsertable, file.filename().string());
        case FileKind::Unreadable: raise(WordError::NotAPackage, file.filename().string());
        case FileKind::Text: end = story.replace(place.span->start, place.span->end, textOfFile(bytes)); break;
        case FileKind::WebPage: {
            // Read and made into markup whole before the document changes.
            const ImportedContent content = importHtml(html::decodeDocumentBytes(bytes));
            DocxDocument& docx = span.docx();
            const xml::NodeHandle blocks =
                blockMarkup(story.part()->doc.get(), content, textWidthAt(story, docx, place.span->start));
            docx.noteStructureEdit(story);
            end = story.insertBlocks(place.span->start, place.span->end, blocks.get());
            break;
        }
    }
    place.span->start = place.span->end = end;
}

}  // namespace lumora::word
