// The sample quotes: one letter on the house letterhead in two forms. Quote.docx carries its
// line table: the document's last table, whose header cells hold the columns' tags and whose
// second row is the empty first line row. QuoteHtml.docx names an HTML table template instead,
// QuoteLines.htm beside it, whose marked rows are repeated per line and per section.

#include <string>
#include <vector>

#include "sample_letterhead.hpp"
#include "sample_template.hpp"

namespace lumora::host {

namespace {

struct LineColumn {
    std::string_view tag;
    int width;  // twentieths of a point; the four fill the A4 page's text width
    bool number;
};

constexpr LineColumn kLineColumns[] = {
    {"<description>", 4526, false}, {"<quantity>", 1300, true}, {"<unit_price>", 1600, true}, {"<amount>", 1600, true}};

// The house colour, lightened, behind the header row.
constexpr std::string_view kHeaderShade = "DCEBF0";

std::string cellParagraph(std::string_view style, const std::string& runs, bool number) {
    std::string properties = style.empty() ? "" : "<w:pStyle w:val=\"" + std::string(style) + "\"/>";
    if (number) properties += "<w:jc w:val=\"right\"/>";
    if (!properties.empty()) properties = "<w:pPr>" + properties + "</w:pPr>";
    return runs.empty() && properties.empty() ? paragraph() : "<w:p>" + properties + runs + "</w:p>";
}

std::string lineCell(const LineColumn& column, const std::string& shading, std::string_view style,
                     const std::string& runs) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(column.width) + "\" w:type=\"dxa\"/>" + shading +
           "</w:tcPr>" + cellParagraph(style, runs, column.number) + "</w:tc>";
}

// The line table: a header row of column tags, shaded and repeated on every page, then the empty
// first line row in plain text, whose look the rows added for the further lines copy. The header
// is bold by its paragraph style, so the captions that replace the tags (the cell emptied, then
// its text set) are bold too. Numbers stand at the right of their cells.
std::string lineTable() {
    std::string grid;
    std::string header;
    std::string firstLine;
    const std::string shading = "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"" + std::string(kHeaderShade) + "\"/>";
    for (const LineColumn& column : kLineColumns) {
        grid += "<w:gridCol w:w=\"" + std::to_string(column.width) + "\"/>";
        header += lineCell(column, shading, "TableHeading", run(column.tag));
        firstLine += lineCell(column, {}, {}, {});
    }
    std::string borders;
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        borders += std::string("<w:") + side + " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"8FA9B5\"/>";
    return R"(<w:tbl><w:tblPr><w:tblW w:w="9026" w:type="dxa"/><w:tblBorders>)" + borders +
           R"(</w:tblBorders><w:tblLayout w:type="fixed"/><w:tblCellMar><w:top w:w="40" w:type="dxa"/>)"
           R"(<w:bottom w:w="40" w:type="dxa"/></w:tblCellMar><w:tblLook w:val="0000"/></w:tblPr><w:tblGrid>)" +
           grid + "</w:tblGrid><w:tr><w:trPr><w:tblHeader/></w:trPr>" + header + "</w:tr><w:tr>" + firstLine +
           "</w:tr></w:tbl>";
}

std::string labelledLine(std::string_view label, std::string_view tag) {
    return paragraph(run(label, RunStyle::Bold) + run(tag));
}

// The total stands under the amounts, at the right.
std::string totalLine() {
    return "<w:p><w:pPr><w:spacing w:before=\"120\"/><w:jc w:val=\"right\"/></w:pPr>" +
           run("Total excluding VAT: ", RunStyle::Bold) + run("<TOTAL>", RunStyle::Bold) + "</w:p>";
}

// The quote letter with `lines` where its line table goes. Nothing after the lines is a table,
// so an in-line line table stays the document's last.
std::string quoteBody(const std::string& lines) {
    return paragraphs({"<CONTACT>", "<COMPANY>", "<ADDRESS1>", "<ADDRESS2>", "<TOWN>", ""}) +
           headingParagraph("Quote <QUOTENUMBER>") + labelledLine("Date: ", "<QUOTEDATE>") +
           labelledLine("Valid until: ", "<VALIDUNTIL>") + paragraphs({""}) +
           paragraph(run("Dear ") + run("<CONTACT>", RunStyle::Bold) + run(",")) +
           paragraphs({"", "Thank you for your enquiry. We are pleased to offer the following:", ""}) + lines +
           totalLine() +
           paragraphs({"", "Prices are in pounds sterling. Delivery is within ten working days of your order.",
                       "", "Kind regards,", "The Lumora team"});
}

TemplateExtras quoteExtras() {
    TemplateExtras extras = letterheadExtras();
    extras.mainPart = MainPart::Document;
    return extras;
}

std::filesystem::path writeQuote(const std::filesystem::path& folder, std::string_view name, const std::string& lines) {
    const std::filesystem::path target = folder / name;
    writePackage(target, templateParts(quoteBody(lines), letterheadHeader("Our ref: <ACCOUNTREF>"), letterheadFooter(),
                                       quoteExtras()));
    return target;
}

// The line table as HTML: a header row, the line row between its markers, and the section's
// heading row, spanning the four columns, between its own; each placeholder is a quote field's
// name in capitals. The line ends are CR LF: the rows are cut out at the markers together with
// the two characters after each end marker.
constexpr std::string_view kQuoteLines =
    "<!DOCTYPE html>\r\n"
    "<html>\r\n"
    "<head>\r\n"
    "<meta charset=\"utf-8\">\r\n"
    "<title>Quote lines</title>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">\r\n"
    "<col width=\"49%\"><col width=\"15%\"><col width=\"17%\"><col width=\"19%\">\r\n"
    "<tr>"
    "<th align=\"left\" width=\"49%\">Description</th>"
    "<th align=\"right\" width=\"15%\">Quantity</th>"
    "<th align=\"right\" width=\"17%\">Unit price</th>"
    "<th align=\"right\" width=\"19%\">Amount</th>"
    "</tr>\r\n"
    "<!-- QuoteRowStart -->\r\n"
    "<tr>"
    "<td>&lt;DESCRIPTION&gt;</td>"
    "<td align=\"right\">&lt;QUANTITY&gt;</td>"
    "<td align=\"right\">&lt;UNIT_PRICE&gt;</td>"
    "<td align=\"right\">&lt;AMOUNT&gt;</td>"
    "</tr>\r\n"
    "<!-- QuoteRowEnd -->\r\n"
    "<!-- QuoteGroupStart -->\r\n"
    "<tr><td colspan=\"4\"><b>&lt;SECTION&gt;</b></td></tr>\r\n"
    "<!-- QuoteGroupEnd -->\r\n"
    "</table>\r\n"
    "</body>\r\n"
    "</html>\r\n";

}  // namespace

std::string_view sampleQuoteLines() { return kQuoteLines; }

std::filesystem::path writeQuoteTemplate(const std::filesystem::path& folder) {
    return writeQuote(folder, kQuoteTemplateName, lineTable());
}

std::filesystem::path writeQuoteHtmlTemplate(const std::filesystem::path& folder) {
    writeTextFile(folder / kQuoteLinesName, kQuoteLines);
    return writeQuote(folder, kQuoteHtmlTemplateName, paragraph(run("<htmltable>" + std::string(kQuoteLinesName))));
}

}  // namespace lumora::host
