// The sample quotes read back as the quote builder reads them: the in-line template's last table
// with the column tags in its header row and the empty first line row, the other template's
// marker naming the HTML table beside it, that table's markers and placeholders, and the record
// holding every tag and column they name.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "Host/sample_template.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/docx_files.hpp"

namespace lumora::tests {
namespace {

using testing::readEntry;

std::set<std::string> matchesOf(const std::string& text, const std::string& pattern) {
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator(); ++it)
        found.insert((*it)[1]);
    return found;
}

std::string templateText(const std::filesystem::path& file) {
    return readEntry(file, "word/document.xml") + readEntry(file, "word/header1.xml") +
           readEntry(file, "word/footer1.xml");
}

class SampleQuote : public ::testing::Test {
protected:
    TempFolder temp;
    host::SampleDocuments written = host::writeSampleDocuments(temp.path());
    const std::string record{host::sampleQuoteRecord()};
};

TEST_F(SampleQuote, InLineTemplatesLastTableHasTheColumnTagsOverAnEmptyLineRow) {
    EXPECT_EQ(written.quoteTemplate, temp.path() / "Quote.docx");
    EXPECT_NE(readEntry(written.quoteTemplate, "[Content_Types].xml")
                  .find("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"),
              std::string::npos);
    const std::string body = readEntry(written.quoteTemplate, "word/document.xml");
    const size_t table = body.rfind("<w:tbl>");
    ASSERT_NE(table, std::string::npos);
    EXPECT_EQ(body.find("<w:tbl>"), table) << "the line table is the only table, so the last";
    const std::string lineTable = body.substr(table, body.find("</w:tbl>", table) - table);
    const size_t secondRow = lineTable.find("</w:tr><w:tr>");
    ASSERT_NE(secondRow, std::string::npos);
    const std::string header = lineTable.substr(0, secondRow), firstLine = lineTable.substr(secondRow);
    EXPECT_EQ(matchesOf(header, "&lt;([a-z_]+)&gt;"),
              (std::set<std::string>{"description", "quantity", "unit_price", "amount"}));
    EXPECT_EQ(firstLine.find("<w:r>"), std::string::npos) << firstLine;
    EXPECT_EQ(firstLine.find("<w:b/>"), std::string::npos) << firstLine;
    EXPECT_EQ(lineTable.find("<w:tr>", secondRow + 13), std::string::npos) << "two rows only";
    // The total and closing text follow the table.
    EXPECT_NE(body.find("&lt;TOTAL&gt;", table), std::string::npos);
}

TEST_F(SampleQuote, HtmlTemplateNamesItsLineTableWhichStandsBesideItWithItsMarkers) {
    EXPECT_EQ(written.quoteHtmlTemplate, temp.path() / "QuoteHtml.docx");
    const std::string body = readEntry(written.quoteHtmlTemplate, "word/document.xml");
    EXPECT_EQ(body.find("<w:tbl>"), std::string::npos);
    // The marker and the file name in one run, the whole of its paragraph.
    EXPECT_NE(body.find("<w:p><w:r><w:t xml:space=\"preserve\">&lt;htmltable&gt;QuoteLines.htm</w:t></w:r></w:p>"),
              std::string::npos);

    ASSERT_EQ(written.quoteLines, temp.path() / "QuoteLines.htm");
    const std::string html(host::sampleQuoteLines());
    std::ifstream file(written.quoteLines, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), html);
    // In order, each end marker followed by the line break the builder skips with it.
    size_t at = 0;
    for (const char* marker : {"<!-- QuoteRowStart -->\r\n", "<!-- QuoteRowEnd -->\r\n", "<!-- QuoteGroupStart -->\r\n",
                               "<!-- QuoteGroupEnd -->\r\n"}) {
        const size_t found = html.find(marker, at);
        ASSERT_NE(found, std::string::npos) << marker;
        EXPECT_EQ(html.find(marker, found + 1), std::string::npos) << marker << " more than once";
        at = found;
    }
    const size_t rowEnd = html.find("<!-- QuoteRowEnd -->"), groupStart = html.find("<!-- QuoteGroupStart -->");
    EXPECT_EQ(matchesOf(html.substr(0, rowEnd), "&lt;([A-Z_]+)&gt;"),
              (std::set<std::string>{"DESCRIPTION", "QUANTITY", "UNIT_PRICE", "AMOUNT"}));
    EXPECT_EQ(matchesOf(html.substr(groupStart), "&lt;([A-Z_]+)&gt;"), std::set<std::string>{"SECTION"});
    EXPECT_NE(html.find("colspan=\"4\""), std::string::npos);
}

TEST_F(SampleQuote, RecordHoldsEveryTagAndColumnTheTemplatesName) {
    std::set<std::string> tags = matchesOf(templateText(written.quoteTemplate), "&lt;([A-Z0-9]+)&gt;");
    tags.merge(matchesOf(templateText(written.quoteHtmlTemplate), "&lt;([A-Z0-9]+)&gt;"));
    EXPECT_EQ(tags.size(), 10u);
    const std::set<std::string> fieldTags = matchesOf(record, "<field name=\"[a-z0-9]+\" templatetag=\"([A-Z0-9]+)\"");
    EXPECT_EQ(fieldTags, tags);

    // The in-line table's column tags and the HTML table's placeholders are the quote fields'.
    const std::set<std::string> columnTags = matchesOf(record, "<quotefield name=\"[a-z_]+\" label=\"[^\"]+\" templatetag=\"([a-z_]+)\"");
    for (const char* column : {"description", "quantity", "unit_price", "amount", "section"}) {
        EXPECT_TRUE(columnTags.contains(column)) << column;
        EXPECT_FALSE(matchesOf(record, std::string("<quoterow[^>]* ") + column + "=\"([^\"]*)\"").empty()) << column;
    }
}

}  // namespace
}  // namespace lumora::tests
