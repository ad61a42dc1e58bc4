// The quote table of the page exported to a workbook: every caption and value in its cell, in a
// file that openpyxl and LibreOffice Calc read back; bad pages answer False without a word.

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "Platform/Excel/register.hpp"
#include "Platform/Html/register.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"
#include "tests/support/spreadsheet_reader.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::cellOf;
using testing::readXlsx;

std::string quotePage(const std::string& rows) {
    return "<html><body><p>Quote 4711</p><table id=\"QuoteTable\">\n<tbody>\n" + rows + "\n</tbody></table></body></html>";
}

const std::string kCaptions = "<tr><th>Product</th><th>Qty</th><th>Price</th><th>price</th></tr>";
const std::string kLines =
    "<tr><td>Widget</td><td>2</td><td>10.00</td><td>12.00</td></tr>\n"
    "<tr><td>Gadget <b>XL</b></td><td>1</td><td>99.50</td><td>1,099.50</td></tr>";

class ExcelQuoteTest : public testing::DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        html::registerHtmlClasses(Registry::instance());
        excel::registerExcelClasses(Registry::instance());
        install("Excel.Application");
        control = create("LumoraControl2005.LumoraCtrl2005");
    }

    Object page(const std::string& markup) {
        Object document = create("Lumora.HTMLDocument");
        document.call("write", markup);
        return document;
    }

    // CreateExcelApp, then ExcelQuote, as the page calls them. The page keeps the Excel it was
    // given, as pages do; the workbook is shown when the export lets go of it all the same.
    Variant exportQuote(const std::string& markup, const std::string& columns) {
        pageExcel = control.call("CreateExcelApp").toObject();
        return exportWithoutStarting(markup, columns);
    }
    Variant exportWithoutStarting(const std::string& markup, const std::string& columns) {
        Variant document(page(markup));
        Variant names(columns);
        return control.call("ExcelQuote", ByRef{document}, ByRef{names});
    }

    fs::path book(int number) const { return documents() / ("Book" + std::to_string(number) + ".xlsx"); }
    fs::path documents() const { return dataFolder() / "documents"; }
    const std::vector<desktop::ShowRequest>& shown() { return desktop().transcript().shown; }

    Object control;
    Object pageExcel;
};

TEST_F(ExcelQuoteTest, CaptionsInBoldWithWidthTwentyRowTwoEmptyAndLinesFromRowThree) {
    EXPECT_EQ(exportQuote(quotePage(kCaptions + kLines), "product#~PRICE#~Discount#~"), Variant(true));

    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].kind, "workbook");
    EXPECT_EQ(shown()[0].file, book(1));
    const json workbook = readXlsx(book(1));
    EXPECT_EQ(cellOf(workbook, 1, 1), json::parse(R"j([1, 1, "Product", "s", true])j"));
    // Both "Price" and "price" match; the later page column is the one that stays.
    EXPECT_EQ(cellOf(workbook, 1, 2), json::parse(R"j([1, 2, "price", "s", true])j"));
    EXPECT_EQ(cellOf(workbook, 3, 1), json::parse(R"j([3, 1, "Widget", "s", false])j"));
    EXPECT_EQ(cellOf(workbook, 3, 2), json::parse(R"j([3, 2, 12, "n", false])j"));
    EXPECT_EQ(cellOf(workbook, 4, 1)[2], "Gadget XL");
    EXPECT_EQ(cellOf(workbook, 4, 2)[2], 1099.5);
    EXPECT_EQ(workbook["sheets"][0]["cells"].size(), 6u);  // row 2 and the unmatched column empty
    EXPECT_EQ(workbook["sheets"][0]["widths"], json::parse(R"j({"A": 20.7109375, "B": 20.7109375})j"));
    EXPECT_TRUE(boxes().empty());

    // The first export released the control's Excel: a second one without CreateExcelApp fails.
    EXPECT_EQ(exportWithoutStarting(quotePage(kCaptions + kLines), "Product#~"), Variant(false));
    EXPECT_EQ(shown().size(), 1u);
}

TEST_F(ExcelQuoteTest, OnlyNamesFollowedByTheDelimiterAreExported) {
    EXPECT_EQ(exportQuote(quotePage(kCaptions + kLines), "Product#~Price"), Variant(true));
    const json workbook = readXlsx(book(1));
    EXPECT_EQ(cellOf(workbook, 1, 1)[2], "Product");
    EXPECT_EQ(cellOf(workbook, 1, 2), nullptr);

    // A table with its caption row alone gives captions and no values.
    EXPECT_EQ(exportQuote(quotePage(kCaptions), "Qty#~"), Variant(true));
    EXPECT_EQ(readXlsx(book(2))["sheets"][0]["cells"], json::parse(R"j([[1, 1, "Qty", "s", true]])j"));
}

TEST_F(ExcelQuoteTest, PagesWithoutAQuoteTableOrRowsGiveFalseAndWriteNothing) {
    EXPECT_EQ(exportQuote("<table id=\"Lines\"><tr><td>Product</td></tr></table>", "Product#~"), Variant(false));
    EXPECT_EQ(exportQuote("<table id=\"QuoteTable\"></table>", "Product#~"), Variant(false));
    EXPECT_EQ(exportQuote("<div id=\"QuoteTable\"></div>", "Product#~"), Variant(false));
    control.call("CreateExcelApp");
    Variant notADocument("QuoteTable");
    Variant names("Product#~");
    EXPECT_EQ(control.call("ExcelQuote", ByRef{notADocument}, ByRef{names}), Variant(false));

    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(fs::exists(documents()) && !fs::is_empty(documents()));
}

TEST_F(ExcelQuoteTest, AnExportStoppedHalfWayShowsTheWorkbookAsItStands) {
    // The second line lacks its Qty cell: the export stops there, with False and no message.
    const std::string shortLine = "<tr><td>Widget</td></tr>";
    EXPECT_EQ(exportQuote(quotePage(kCaptions + shortLine), "Product#~Qty#~"), Variant(false));
    EXPECT_TRUE(boxes().empty());
    ASSERT_EQ(shown().size(), 1u);
    const json workbook = readXlsx(book(1));
    EXPECT_EQ(cellOf(workbook, 3, 1)[2], "Widget");
    EXPECT_EQ(cellOf(workbook, 1, 2)[2], "Qty");
    EXPECT_EQ(cellOf(workbook, 3, 2), nullptr);
}

TEST_F(ExcelQuoteTest, OverlongCellsAreCutAndPageFormulasStayText) {
    const std::string hostile = "<tr><td>" + std::string(40000, 'x') + "</td><td>=HYPERLINK(\"http://evil.example\",\"Click\")</td>"
                                "<td>+cmd|' /C calc'!A0</td><td>@SUM(A1:A9)</td></tr>";
    EXPECT_EQ(exportQuote(quotePage(kCaptions + hostile), "Product#~Qty#~Price#~"), Variant(true));

    const json workbook = readXlsx(book(1));
    EXPECT_EQ(cellOf(workbook, 3, 1)[2], json::parse(R"j({"length": 32767, "start": "xxxxxxxxxxxxxxxxxxxx"})j"));
    EXPECT_EQ(cellOf(workbook, 3, 2), json::parse(R"j([3, 2, "=HYPERLINK(\"http://evil.example\",\"Click\")", "s", false])j"));
    EXPECT_EQ(cellOf(workbook, 3, 3)[2], "@SUM(A1:A9)");  // the later "price" column
    EXPECT_EQ(workbook["sheets"][0]["formulas"], 0);
}

TEST_F(ExcelQuoteTest, LibreOfficeCalcOpensTheExport) {
    const std::string formula = "<tr><td>=1+1</td><td>3</td><td>4</td><td>5</td></tr>";
    ASSERT_EQ(exportQuote(quotePage(kCaptions + kLines + formula), "Product#~Qty#~"), Variant(true));
    const auto csv = testing::calcCsv(book(1), dataFolder());
    if (!csv) GTEST_SKIP() << "LibreOffice is not installed (scripts/install-deps.sh --with-tests installs it)";
    EXPECT_EQ(*csv, "Product,Qty\n,\nWidget,2\nGadget XL,1\n=1+1,3\n");
}

// A quote as a customer's page shows it in the person's locale: amounts, quantities, discounts
// and codes side by side. Lines: product, code, qty, price, discount, total.
std::string amountsPage(const std::vector<std::array<std::string, 6>>& lines) {
    std::string rows = "<tr><th>Product</th><th>Code</th><th>Qty</th><th>Price</th><th>Discount</th><th>Total</th></tr>";
    for (const auto& line : lines) {
        rows += "<tr>";
        for (const std::string& cell : line) rows += "<td>" + cell + "</td>";
        rows += "</tr>";
    }
    return quotePage(rows);
}

TEST_F(ExcelQuoteTest, AmountsBecomeNumbersWithTheirFormatsAndCodesAndFormulasStayText) {
    const std::string page = amountsPage({
        {"Widget", "007", "2", "1,234.50", "5%", "£2,469.00"},
        {"Gadget", "1234567890123456", "10", "0.99", "12.5 %", "£9.90"},
        {"=1+1", "@SUM(A1:A9)", "-5", "+5", "-2+3", "-£3.00"},
    });
    ASSERT_EQ(exportQuote(page, "Product#~Code#~Qty#~Price#~Discount#~Total#~"), Variant(true));

    const json workbook = readXlsx(book(1));
    const json& sheet = workbook["sheets"][0];
    EXPECT_EQ(cellOf(workbook, 3, 3), json::parse(R"j([3, 3, 2, "n", false])j"));
    EXPECT_EQ(sheet["formats"], json::parse(R"j({"D3": "#,##0.00", "E3": "0%", "F3": "\"£\"#,##0.00",
                                                  "D4": "0.00", "E4": "0.0 %", "F4": "\"£\"0.00"})j"));
    EXPECT_EQ(cellOf(workbook, 3, 4)[2], 1234.5);
    EXPECT_EQ(cellOf(workbook, 3, 5)[2], 0.05);
    EXPECT_EQ(cellOf(workbook, 4, 5)[2], 0.125);
    // Codes, formula leads and signed amounts are the page's text, exactly.
    for (const auto& [row, column, text] : std::vector<std::tuple<int, int, std::string>>{
             {3, 2, "007"}, {4, 2, "1234567890123456"}, {5, 1, "=1+1"}, {5, 2, "@SUM(A1:A9)"},
             {5, 3, "-5"}, {5, 4, "+5"}, {5, 5, "-2+3"}, {5, 6, "-£3.00"}})
        EXPECT_EQ(cellOf(workbook, row, column), json::array({row, column, text, "s", false})) << text;
    EXPECT_EQ(sheet["formulas"], 0);
}

TEST_F(ExcelQuoteTest, GermanAmountsAreReadWithTheirOwnSeparatorsAndSymbol) {
    desktop::SystemConfig config = desktop().system().config();
    config.locale = "de_DE";
    desktop::HeadlessDesktop german(config);
    desktop::ScopedDesktop scope(german);
    ASSERT_EQ(exportQuote(amountsPage({{"Widget", "0815", "3", "1.234,50", "19 %", "3.703,50 €"}}),
                          "Price#~Discount#~Total#~"),
              Variant(true));
    const json workbook = readXlsx(book(1));
    EXPECT_EQ(cellOf(workbook, 3, 1)[2], 1234.5);
    EXPECT_EQ(cellOf(workbook, 3, 2)[2], 0.19);
    EXPECT_EQ(cellOf(workbook, 3, 3)[2], 3703.5);
    EXPECT_EQ(workbook["sheets"][0]["formats"], json::parse(R"j({"A3": "#,##0.00", "B3": "0 %",
                                                                  "C3": "#,##0.00 \"€\""})j"));
}

// The customer sums the exported price column: Calc recalculates the sum over the very cells the
// export wrote, and it comes to the quote's total.
TEST_F(ExcelQuoteTest, ASumOverTheExportedPricesRecalculatedByCalcIsTheQuotesTotal) {
    const std::string page = amountsPage({{"Widget", "A1", "2", "1,234.50", "", ""},
                                          {"Gadget", "B2", "10", "0.99", "", ""},
                                          {"Cable", "C3", "1", "£15.01", "", ""}});
    ASSERT_EQ(exportQuote(page, "Price#~"), Variant(true));
    const fs::path summed = dataFolder() / "summed.xlsx";
    testing::addFormula(book(1), summed, "A6", "=SUM(A3:A5)");
    const auto csv = testing::calcCsv(summed, dataFolder());
    if (!csv) GTEST_SKIP() << "LibreOffice is not installed (scripts/install-deps.sh --with-tests installs it)";
    EXPECT_EQ(*csv, "Price\n\n1234.5\n0.99\n15.01\n1250.5\n");
}

}  // namespace
}  // namespace lumora
