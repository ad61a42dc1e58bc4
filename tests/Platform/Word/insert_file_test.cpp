// Selection.InsertFile as the quote builder calls it: a web page's line table put where the
// template's marker paragraph was, seen afterwards by the table members, Find and tag
// replacement, written into the saved package and read back by LibreOffice; text files, the
// places a file can go, and files that cannot come in.

#include <cstdlib>
#include <fstream>

#include "Platform/Word/office_converter.hpp"
#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string kLineTable =
    "<!DOCTYPE html><html><head><title>Lines</title><style>td { color: red }</style>"
    "<script>document.write('injected')</script></head><body>\n"
    "<p align=\"center\"><b>Quote lines</b> for   <i>Acme</i></p>\n<!-- QuoteRowStart -->\n"
    "<table border=\"1\" style=\"width:100%\"><colgroup><col width=\"50%\"><col style=\"width: 25%\"><col></colgroup>\n"
    "<thead><tr><th>Item</th><th>Qty</th><th style=\"text-align:right\">Price</th></tr></thead>\n<tbody>\n"
    "<tr><td colspan=\"3\" style=\"font-weight:700\">Hardware</td></tr>\n"
    "<tr><td>Widget<br />blue</td><td align=\"center\">2</td><td align=\"right\">10&nbsp;EUR</td></tr>\n"
    "<tr><td><em>Gadget</em></td><td align=\"center\">1</td><td align=\"right\">5&nbsp;EUR</td></tr>\n"
    "<tr><td>Service &lt;Name&gt;</td><td align=\"center\">3</td><td align=\"right\">30&nbsp;EUR</td></tr>\n"
    "</tbody></table>\n<p style=\"text-align: justify\">Prices exclude VAT.</p>\n"
    "<img src=\"file:///etc/hostname\" alt=\"Logo\"> <a href=\"http://127.0.0.1:9/terms\">terms</a>\n</body></html>";

class InsertFileTest : public WordTest {
protected:
    std::filesystem::path writeFile(const std::string& name, const std::string& bytes) {
        const auto file = folder.path() / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    Object selection() { return app.getObject("Selection"); }
    // The quote builder's steps: find the marker, take its paragraph, delete it, insert the file.
    void insertAtMarker(const std::string& name) {
        const Object find = selection().getObject("Find");
        find.put("MatchCase", false);
        find.put("Forward", true);
        find.put("Wrap", 1);
        find.put("Text", "<htmltable>");
        find.call("Execute");
        ASSERT_TRUE(find.get("Found").toBool());
        selection().call("MoveDown", Named{"Unit", 4}, Named{"Count", 1}, Named{"Extend", 1});
        selection().call("Delete", Named{"Count", 0});
        app.call("ChangeFileOpenDirectory", folder.path().string());
        selection().call("InsertFile", Named{"FileName", name}, Named{"Range", ""}, Named{"ConfirmConversions", false},
                         Named{"Link", false}, Named{"Attachment", false});
    }
    std::string cellText(const Object& table, int row, int column) {
        return table.call("Cell", row, column).toObject().getObject("Range").get("Text").toString();
    }
    std::string documentText(const Object& document) { return document.getObject("Content").get("Text").toString(); }
    // The error number InsertFile of that file gives, the document left as it was.
    int32_t refusal(const Object& document, const std::string& path) {
        const std::string before = documentText(document);
        int32_t number = 0;
        try {
            selection().call("InsertFile", path);
        } catch (const Error& e) {
            number = e.number();
        }
        EXPECT_EQ(documentText(document), before) << path;
        return number;
    }
};

TEST_F(InsertFileTest, AQuoteLineTableTakesTheMarkerParagraphsPlaceAsARealTable) {
    writeFile("lines.htm", kLineTable);
    Object document = addDocument(paragraph("Dear <Name>,") + paragraph("<htmltable>lines.htm") + paragraph("Kind regards"));
    insertAtMarker("lines.htm");

    // The selection stands after the inserted content, at the next paragraph's start.
    selection().call("TypeText", "Yours, ");
    const Object tables = document.getObject("Tables");
    ASSERT_EQ(tables.count(), 1);
    const Object table = tables.call("Item", 1).toObject();
    EXPECT_EQ(table.getObject("Rows").count(), 5);
    EXPECT_EQ(table.getObject("Columns").get("Count").toI4(), 3);
    EXPECT_EQ(cellText(table, 1, 3), "Price\r\a");
    EXPECT_EQ(cellText(table, 2, 1), "Hardware\r\a");
    EXPECT_EQ(cellText(table, 3, 1), "Widget\vblue\r\a");
    EXPECT_EQ(cellText(table, 3, 3), "10\u00a0EUR\r\a");
    EXPECT_EQ(documentText(document),
              "Dear <Name>,\rQuote lines for Acme\r"
              "Item\r\aQty\r\aPrice\r\aHardware\r\aWidget\vblue\r\a2\r\a10\u00a0EUR\r\a"
              "Gadget\r\a1\r\a5\u00a0EUR\r\aService <Name>\r\a3\r\a30\u00a0EUR\r\a"
              "Prices exclude VAT.\rLogo terms\rYours, Kind regards\r");

    // The tags in the inserted cells are replaced like those the template had.
    typeOverEach(document, "<Name>", "Anna Smith");
    EXPECT_EQ(cellText(table, 5, 1), "Service Anna Smith\r\a");

    const std::string xml = savedPart(document);
    EXPECT_THAT(xml, HasSubstr("<w:tblGrid><w:gridCol w:w=\"4513\"/><w:gridCol w:w=\"2257\"/><w:gridCol w:w=\"2256\"/></w:tblGrid>"));
    EXPECT_THAT(xml, HasSubstr("<w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"));
    EXPECT_THAT(xml, HasSubstr("<w:trPr><w:tblHeader/></w:trPr>"));
    EXPECT_THAT(xml, HasSubstr("<w:gridSpan w:val=\"3\"/></w:tcPr><w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"0\"/></w:pPr>"
                               "<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Hardware</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:jc w:val=\"right\"/></w:pPr><w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Price</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:t xml:space=\"preserve\">Widget</w:t></w:r><w:r><w:br/></w:r>"));
    EXPECT_THAT(xml, HasSubstr("<w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">Gadget</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Quote lines</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:pPr><w:jc w:val=\"both\"/></w:pPr>"));
    // Nothing of the head, the script or the style, and no reference to anything outside.
    for (const char* absent : {"injected", "red", "Lines<", "hostname", "127.0.0.1"}) EXPECT_THAT(xml, Not(HasSubstr(absent)));

    if (!word::officeInstalled()) GTEST_SKIP() << "LibreOffice is not installed";
    const auto docx = folder.path() / "quote.docx";
    document.call("SaveAs", docx.string());
    const auto pdf = word::convertOnce(docx, folder.path(), "pdf");
    const auto textFile = folder.path() / "quote.txt";
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf.string() + "' '" + textFile.string() + "'").c_str()), 0);
    const std::string text = fileText(textFile);
    size_t at = 0;
    for (const char* piece : {"Dear Anna Smith", "Quote lines for Acme", "Item", "Qty", "Price", "Hardware", "Widget", "2", "10",
                              "EUR", "blue", "Gadget", "1", "5", "Service Anna Smith", "3", "30", "Prices exclude VAT.",
                              "Logo terms", "Yours, Kind regards"}) {
        const size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece << " after " << at << " in\n" << text;
        at = found + std::string_view(piece).size();
    }
}

// Spanned rows, nested tables, widths in points and pixels, and a table without borders.
TEST_F(InsertFileTest, SpannedRowsNestedTablesAndGivenWidthsBecomeTheGridTheyDescribe) {
    writeFile("grid.html",
              "<table><tr><td rowspan=\"2\" width=\"72pt\" valign=\"middle\">Group</td><td style=\"width:96px\">a</td>"
              "<td>x</td></tr><tr><td>b<table border=\"0\"><tr><td>inner</td></tr></table></td><td>y</td></tr></table>");
    Object document = addDocument(paragraph("Before") + paragraph("After"));
    document.call("Range", 0, 0).toObject().call("Select");
    selection().call("InsertFile", (folder.path() / "grid.html").string());

    const Object table = document.getObject("Tables").call("Item", 1).toObject();
    EXPECT_EQ(table.getObject("Rows").count(), 2);
    EXPECT_EQ(cellText(table, 2, 2), "b\rinner\r\a\r\a");  // a table in a cell is followed by its paragraph
    EXPECT_THROW(table.call("Cell", 2, 1), Error);          // the second row's first cell lies under the spanned one
    EXPECT_EQ(cellText(table, 2, 3), "y\r\a");
    const std::string xml = savedPart(document);
    // 72pt and 96px are 1440 twips; the third column takes what is left of the page.
    EXPECT_THAT(xml, HasSubstr("<w:gridCol w:w=\"1440\"/><w:gridCol w:w=\"1440\"/><w:gridCol w:w=\"6146\"/>"));
    EXPECT_THAT(xml, HasSubstr("<w:vMerge w:val=\"restart\"/><w:vAlign w:val=\"center\"/>"));
    EXPECT_THAT(xml, HasSubstr("<w:tcW w:w=\"1440\" w:type=\"dxa\"/><w:vMerge/></w:tcPr><w:p>"));
    EXPECT_THAT(xml, HasSubstr("<w:top w:val=\"nil\"/>"));
    EXPECT_THAT(xml, Not(HasSubstr("w:val=\"single\"")));
    EXPECT_EQ(documentText(document).substr(0, 5), "Group");
    EXPECT_THAT(documentText(document), HasSubstr("y\r\aBefore\rAfter\r"));
}

// Blanks collapse as a browser shows them, preformatted text keeps its lines and tabs, heading
// cells are bold and centred unless the page says otherwise, and characters no document part
// may hold are left out.
TEST_F(InsertFileTest, TextReadsAsTheBrowserShowsItWithTheLookThePageGaveIt) {
    writeFile("look.htm",
              "<div style=\"text-align:right\"><h3>Title</h3><p>\n  spaced \t <span> out </span>&#1;&#xFFFE;</p><p></p></div>"
              "<pre>a\tb\nc</pre><div align=\"justify\">Block<br>line<br></div>"
              "<table style=\"border: 0\"><tr><th>Head</th><th style=\"font-weight:normal;text-align:left\">Plain</th>"
              "<td style=\"border-bottom:1px dotted\"><span style=\"font-style:italic\">It</span></td></tr></table>");
    Object document = addDocument(paragraph("Text"));
    document.call("Range", 0, 0).toObject().call("Select");
    selection().call("InsertFile", (folder.path() / "look.htm").string());
    EXPECT_EQ(documentText(document), "Title\rspaced out\ra\tb\vc\rBlock\vline\rHead\r\aPlain\r\aIt\r\aText\r");
    const std::string xml = savedPart(document);
    EXPECT_THAT(xml, HasSubstr("<w:jc w:val=\"right\"/></w:pPr><w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Title</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:t xml:space=\"preserve\">a</w:t><w:tab/><w:t xml:space=\"preserve\">b</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:jc w:val=\"both\"/>"));
    EXPECT_THAT(xml, HasSubstr("<w:jc w:val=\"center\"/></w:pPr><w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Head</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:jc w:val=\"left\"/></w:pPr><w:r><w:t xml:space=\"preserve\">Plain</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">It</w:t>"));
    // A cell's border asks for the grid even where the table's own style has none.
    EXPECT_THAT(xml, HasSubstr("<w:insideV w:val=\"single\""));
}

TEST_F(InsertFileTest, ContentGoesWhereTheSelectionWasSplittingParagraphsOnlyForBlocks) {
    writeFile("table.htm", "<table><tr><td>cell</td></tr></table>");
    writeFile("words.htm", "<html><body>  <b>bold</b> words  </body></html>");
    writeFile("lines.txt", "one\r\ntwo\n");
    Object document = addDocument(paragraph({{"abcdef", "<w:i/>"}}) + paragraph("End"));
    const Object range = document.call("Range", 3, 3).toObject();
    range.call("Select");
    app.call("ChangeFileOpenDirectory", folder.path().string());
    selection().call("InsertFile", "table.htm");
    // A table splits the paragraph; the selection then stands at the second half.
    EXPECT_EQ(documentText(document), "abc\rcell\r\adef\rEnd\r");
    EXPECT_EQ(selection().get("Start").toI4(), 10);

    // Content of one paragraph joins the text in place of the selection.
    document.call("Range", 10, 12).toObject().call("Select");
    selection().call("InsertFile", "words.htm");
    EXPECT_EQ(documentText(document), "abc\rcell\r\abold wordsf\rEnd\r");
    EXPECT_EQ(selection().get("Start").toI4(), 20);
    selection().call("InsertFile", "lines.txt");
    EXPECT_EQ(documentText(document), "abc\rcell\r\abold wordsone\rtwof\rEnd\r");

    // A table at the document's very end leaves a paragraph after it.
    const int32_t end = document.getObject("Content").get("End").toI4();
    document.call("Range", end - 1, end - 1).toObject().call("Select");
    selection().call("InsertFile", "table.htm");
    EXPECT_THAT(documentText(document), ::testing::EndsWith("End\rcell\r\a\r"));
    const std::string xml = savedPart(document);
    EXPECT_THAT(xml, HasSubstr("<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">bold</w:t>"));
    const std::string afterTable = xml.substr(xml.rfind("</w:tbl>"));
    EXPECT_EQ(afterTable.find("<w:p>"), 8u);
    EXPECT_EQ(afterTable.find("</w:p>") + 6, afterTable.find("<w:sectPr>"));
}

TEST_F(InsertFileTest, FilesThatCannotComeInGiveTheirErrorAndChangeNothing) {
    Object document = addDocument(paragraph("Letter") + paragraph("Closing"));
    document.call("Range", 2, 2).toObject().call("Select");
    EXPECT_EQ(refusal(document, (folder.path() / "missing.htm").string()), 53);
    EXPECT_EQ(refusal(document, (folder.path() / "nowhere" / "lines.htm").string()), 76);
    EXPECT_EQ(refusal(document, writeFile("picture.htm", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)).string()),
              kObjectErrorBase + 0x1601);
    EXPECT_EQ(refusal(document, writeFile("letter.rtf", "{\\rtf1 Hello}").string()), kObjectErrorBase + 0x1601);
    EXPECT_EQ(refusal(document, templateFile(withBody(paragraph("Other")), "other.docx").string()), kObjectErrorBase + 0x160E);
    std::string nested;
    for (int i = 0; i < 5000; ++i) nested += "<div><span>";
    EXPECT_EQ(refusal(document, writeFile("nested.htm", nested + "deep").string()), kObjectErrorBase + 0x212);
    try {
        selection().call("InsertFile", writeFile("ok.htm", "<p>x</p>").string(), "bookmark");
        ADD_FAILURE() << "a part of a file was inserted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 5);
    }
    EXPECT_EQ(documentText(document), "Letter\rClosing\r");
}

TEST_F(InsertFileTest, ACellOfTenMegabytesComesInWhole) {
    const std::string big(10u << 20, 'x');
    writeFile("big.htm", "<table border=1><tr><td>Long</td><td>" + big + "</td></tr></table><p>&lt;Tag&gt;</p>");
    Object document = addDocument(paragraph("Quote"));
    document.call("Range", 0, 0).toObject().call("Select");
    app.call("ChangeFileOpenDirectory", folder.path().string());
    selection().call("InsertFile", "big.htm");
    const Object table = document.getObject("Tables").call("Item", 1).toObject();
    EXPECT_EQ(cellText(table, 1, 2).size(), big.size() + 2);
    typeOverEach(document, "<Tag>", "found");
    const std::string text = documentText(document);
    EXPECT_EQ(text.substr(text.size() - 16), "xx\r\afound\rQuote\r");
}

}  // namespace
}  // namespace lumora::testing
