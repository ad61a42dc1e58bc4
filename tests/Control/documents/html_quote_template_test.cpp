// The HTML table template of a quote: fetched from the Word template's folder or web server into
// the temporary folder, and filled there with the quote's lines, group rows and cell values.
// Broken templates are refused and their file is left as it was.

#include <gtest/gtest.h>

#include "Automation/traps.hpp"
#include "Automation/vb/dates.hpp"
#include "Control/documents/html_quote_template.hpp"
#include "quotes_fixture.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/support/http_server_fixture.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;

const std::string kLineRow = "<!-- QuoteRowStart --><tr><td>&lt;DESCRIPTION&gt;</td><td>&lt;QTY&gt;</td>"
                             "<td>&lt;qty&gt;</td></tr><!-- QuoteRowEnd -->";

// The line row filled, and the line break the template has after it.
std::string filledRow(const std::string& description, const std::string& qty, const std::string& lineBreak) {
    return "<!-- QuoteRowStart --><tr><td>" + description + "</td><td>" + qty +
           "</td><td>&lt;qty&gt;</td></tr><!-- QuoteRowEnd -->" + lineBreak;
}
const std::string kGroupRow = "<!-- QuoteGroupStart --><tr><th>Group &lt;GROUP&gt;</th></tr><!-- QuoteGroupEnd -->";

class HtmlQuoteTemplate : public Quotes {
protected:
    // Fills a copy of `html` for the record and returns what the file then holds.
    std::string filled(const std::string& html, std::string_view record) {
        const fs::path copy = tmp() / "05lines.htm";
        writeFile(copy, html);
        control::FillHtmlTemplate(copy.string(), recordDocument(record));
        return fileBytes(copy);
    }
};

TEST_F(HtmlQuoteTemplate, LinesFillTheLineRowUnderAGroupRowWheneverTheGroupChangesBeyondCapitals) {
    const std::string html = "<table>\r\n" + kLineRow + "\r\n<p>between the rows</p>\r\n" + kGroupRow +
                             "\r\n</table>\r\n";
    // Lower-case placeholders are the template's own text; the group field is named by its label.
    auto line = [](const std::string& description, const std::string& qty) {
        return filledRow(description, qty, "\r\n");
    };
    auto group = [](const std::string& g) {
        return "<!-- QuoteGroupStart --><tr><th>Group " + g + "</th></tr><!-- QuoteGroupEnd -->\r\n";
    };
    EXPECT_EQ(filled(html, quoteRecord(std::string(kQuoteFields) + std::string(kThreeLines))),
              "<table>\r\n" + group("A") + line("Desk", "2") + line("Chair", "4") + group("B") + line("Lamp", "1") +
                  "</table>\r\n");

    // A group row without a placeholder is told, and stays in the table as written.
    EXPECT_EQ(filled("<table>\n" + kLineRow + "\n<!-- QuoteGroupStart --><tr/><!-- QuoteGroupEnd -->\n</table>",
                     quoteRecord(std::string(kQuoteFields) + R"(<quoterows><l description="Desk"/></quoterows>)")),
              "<table>\n" + filledRow("Desk", "", "\n") + "<!-- QuoteGroupStart --><tr/><!-- QuoteGroupEnd -->\n</table>");
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"The html template group line is incorrect"});
}

TEST_F(HtmlQuoteTemplate, AQuoteWithoutLinesKeepsTheTemplatesOwnBytesAroundAnEmptyTable) {
    // Line feeds alone, accented text and a byte that is no UTF-8: all kept, nothing of the
    // line after the end marker lost.
    const std::string html = "<p>Angebot f\xC3\xBCr M\xFCller</p>\n<table>\n" + kLineRow + "\n</table>";
    for (const std::string_view lines : {"", "<quoterows/>"})
        EXPECT_EQ(filled(html, quoteRecord(lines)), "<p>Angebot f\xC3\xBCr M\xFCller</p>\n<table>\n</table>");
}

TEST_F(HtmlQuoteTemplate, ValuesBecomeCellTextAndComeFromTheTagWhenTheNameGivesNone) {
    EXPECT_EQ(control::HtmlText("Line one\r\nLine two"), "Line one<br />Line two");
    EXPECT_EQ(control::HtmlText("a  b\tc&#xD&#xAd"), "a&nbsp;&nbsp;b&nbsp;&nbsp;&nbsp;&nbsp;c<br />d");
    // Markup in a value is text: it shows as written instead of swallowing the cell.
    EXPECT_EQ(control::HtmlText("Cable <2 m> & R&D\r\n"), "Cable &lt;2 m&gt; &amp; R&amp;D<br />");
    const Object record = recordDocument(
        quoteRecord(R"(<quoterows><l price="" unit_price="9.50"/><l price="7"/></quoterows>)"));
    EXPECT_EQ(control::QuoteRowValue(1, record, "PRICE", "UNIT_PRICE"), "9.50");
    EXPECT_EQ(control::QuoteRowValue(2, record, "PRICE", "UNIT_PRICE"), "7");
    EXPECT_EQ(control::QuoteRowValue(2, record, "", "PRICE"), "");
    EXPECT_EQ(control::QuoteRowValue(3, record, "PRICE", ""), "");
}

TEST_F(HtmlQuoteTemplate, BrokenTemplatesAndOversizedLinesAreRefusedAndTheFileKept) {
    // The line's 10 MB description is set through the DOM: the parser takes no attribute that long.
    const Object record = recordDocument(quoteRecord(std::string(kQuoteFields) + "<quoterows><l/></quoterows>"));
    record.call("selectSingleNode", "Data/quoterows/l").toObject().call("setAttribute", "description",
                                                                         std::string(10 << 20, 'x'));
    const std::string rowStart = "<!-- QuoteRowStart -->", rowEnd = "<!-- QuoteRowEnd -->";
    const std::vector<std::pair<std::string, int32_t>> templates = {
        {"<table><tr><td>&lt;DESCRIPTION&gt;</td></tr></table>", 5},
        {rowEnd + "<tr/>" + rowStart, 5},
        {kLineRow + "<!-- QuoteGroupStart --><tr><th>&lt;GROUP&gt;</th></tr>", 5},
        {"<!-- QuoteGroupStart -->&lt;GROUP&gt;<!-- QuoteGroupEnd -->" + kLineRow, 5},
        {"<table>" + kLineRow + "</table>", 7},  // a 10 MB description
    };
    const fs::path copy = tmp() / "05lines.htm";
    for (const auto& [html, number] : templates) {
        writeFile(copy, html);
        EXPECT_AUTOMATION_ERROR(control::FillHtmlTemplate(copy.string(), record), number);
        EXPECT_EQ(fileBytes(copy), html);
    }
}

TEST_F(HtmlQuoteTemplate, FetchedOverHttpOrCopiedFromTheFolderTheTemplateFillsAlike) {
    desktop.system().pinNow(vb::timeSerial(14, 5, 9));
    const fs::path site = temp.path() / "site";
    writeFile(site / "lines.htm", "<table>\r\n" + kLineRow + "\r\n</table>\r\n");
    test::LoopbackHttpServer server(site, temp.path() / "uploads");
    const std::string record = quoteRecord(std::string(kQuoteFields) + std::string(kThreeLines));

    const std::string copied = control::FetchHtmlTemplate((site / "quote.dotx").string(), "lines.htm");
    EXPECT_EQ(copied, (tmp() / "59lines.htm").string());
    control::FillHtmlTemplate(copied, recordDocument(record));
    const std::string fromFolder = fileBytes(copied);
    const std::string fetched =
        control::FetchHtmlTemplate("HTTP" + server.url("/files\\quote.dotx").substr(4), "lines.htm");
    control::FillHtmlTemplate(fetched, recordDocument(record));
    EXPECT_EQ(fileBytes(fetched), fromFolder);
    EXPECT_NE(fromFolder.find("<td>Lamp</td>"), std::string::npos);

    // No template served, none on disk, or a name leading elsewhere: no copy is left.
    fs::remove(copied);
    const auto notServed = tryLocal([&] { control::FetchHtmlTemplate(server.url("/files/quote.dotx"), "none.htm"); });
    ASSERT_TRUE(notServed);
    EXPECT_EQ(notServed->number(), 53);
    EXPECT_EQ(notServed->description(), "The web server did not send the html table template: 404 Not Found");
    EXPECT_AUTOMATION_ERROR(control::FetchHtmlTemplate((site / "quote.dotx").string(), "none.htm"), 53);
    EXPECT_AUTOMATION_ERROR(control::FetchHtmlTemplate((site / "quote.dotx").string(), "../lines.htm"), 76);
    EXPECT_TRUE(fs::is_empty(tmp()));
}

}  // namespace
}  // namespace lumora
