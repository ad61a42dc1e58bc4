// The spreadsheet stand-in as script drives it: workbooks, worksheets and cells that keep what
// was written, and the sheet's limits answered with the application's own error 1004.

#include <gtest/gtest.h>

#include "Automation/error.hpp"
#include "Automation/registry.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Excel/register.hpp"
#include "Platform/Excel/worksheet.hpp"

namespace lumora {
namespace {

class ExcelApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        excel::registerExcelClasses(Registry::instance());
        excel = Registry::instance().createObject("Excel.Application");
        sheet = excel.getObject("Workbooks").call("Add").toObject().getObject("Worksheets", 1);
    }

    int32_t errorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const Error& e) {
            return e.number();
        }
        return 0;
    }

    // Nothing of these tests is visible, so nothing is written or shown when they end.
    desktop::HeadlessDesktop headless{desktop::SystemConfig{{}, {}, std::string("en_GB")}};
    desktop::ScopedDesktop scope{headless};
    Object excel;
    Object sheet;
};

TEST_F(ExcelApplicationTest, CellsKeepWhatWasWrittenWithTheirTypes) {
    const Object cells = sheet.getObject("cells");
    cells.getObject("item", 1, 1).put("Value", "12.50");
    cells.getObject("item", 1, 2).put("Value", 12.5);
    cells.getObject("item", 1, 3).put("Value", int16_t{7});
    cells.getObject("item", 1, 4).put("Value", "=HYPERLINK(\"http://x\")");
    cells.getObject("item", 1, 5).put("Value", "01/02/2026");

    // Cells(r, c) and cells.item(r, c) reach the same cell. Text that reads as a number is one,
    // shown with the decimals it was typed with.
    EXPECT_EQ(sheet.getObject("Cells", 1, 1).get("Value"), Variant(12.5));
    EXPECT_EQ(sheet.getObject("Cells", 1, 1).get("NumberFormat"), Variant("0.00"));
    EXPECT_EQ(sheet.getObject("Cells", 1, 2).get("NumberFormat"), Variant("General"));
    EXPECT_EQ(sheet.getObject("Cells", 1, 2).get("Value"), Variant(12.5));
    EXPECT_EQ(sheet.getObject("Cells", 1, 3).get("Value"), Variant(int16_t{7}));
    // Text stays exactly as written: no formula, no date guessed from it.
    EXPECT_EQ(sheet.getObject("Cells", 1, 4).get("Value"), Variant("=HYPERLINK(\"http://x\")"));
    EXPECT_EQ(sheet.getObject("Cells", 1, 5).get("Value"), Variant("01/02/2026"));
    EXPECT_TRUE(sheet.getObject("Cells", 9, 9).get("Value").isEmpty());

    // Item counts from the range's own first cell.
    EXPECT_EQ(sheet.getObject("Cells", 1, 2).getObject("Item", 1, 2).get("Value"), Variant(int16_t{7}));
}

TEST_F(ExcelApplicationTest, FontAndColumnWidthBelongToTheirCellAndColumn) {
    const Object caption = sheet.getObject("Cells", 1, 2);
    caption.getObject("Font").put("Bold", true);
    caption.put("columnwidth", "20");
    EXPECT_EQ(caption.getObject("Font").get("Bold"), Variant(true));
    EXPECT_EQ(sheet.getObject("Cells", 2, 1).getObject("Font").get("Bold"), Variant(false));
    EXPECT_EQ(sheet.getObject("Cells", 7, 2).get("ColumnWidth"), Variant(20.0));
    EXPECT_EQ(sheet.getObject("Cells", 7, 3).get("ColumnWidth"), Variant(excel::kDefaultColumnWidth));
}

TEST_F(ExcelApplicationTest, CollectionsCountAndReachTheirItems) {
    EXPECT_EQ(excel.getObject("Workbooks").count(), 1);
    const Object second = excel.getObject("Workbooks").call("Add").toObject();
    EXPECT_EQ(second.get("Name"), Variant("Book2"));
    EXPECT_EQ(excel.getObject("Workbooks").count(), 2);
    EXPECT_EQ(excel.getObject("Workbooks", 2).get("Name"), Variant("Book2"));
    EXPECT_EQ(second.getObject("Worksheets").count(), 1);
    EXPECT_EQ(second.getObject("Worksheets", "sheet1").get("Name"), Variant("Sheet1"));
    EXPECT_EQ(errorOf([&] { second.getObject("Worksheets", 2); }), 9);
    EXPECT_EQ(errorOf([&] { excel.getObject("Workbooks", "Book3"); }), 9);
    EXPECT_EQ(excel.get("Visible"), Variant(false));
}

TEST_F(ExcelApplicationTest, AddressesWidthsAndValuesOutsideTheSheetGive1004) {
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells", 0, 1); }), 1004);
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells", 1, excel::kMaxColumns + 1); }), 1004);
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells", excel::kMaxRows, 1).getObject("Item", 2, 1); }), 1004);
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells", 1, 1).put("ColumnWidth", 256); }), 1004);
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells", 1, 1).put("ColumnWidth", "wide"); }), 13);
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells").get("Value"); }), 1004);
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells", 1, 1).put("Value", Variant(Object(excel))); }), 13);
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells", 1, 1).put("Value", std::numeric_limits<double>::infinity()); }),
              1004);
    // The last addressable cell is fine.
    EXPECT_EQ(errorOf([&] { sheet.getObject("Cells", excel::kMaxRows, excel::kMaxColumns).put("Value", 1); }), 0);
}

TEST_F(ExcelApplicationTest, TextIsCutToWhatACellHoldsNeverInsideACharacter) {
    const Object cell = sheet.getObject("Cells", 1, 1);
    cell.put("Value", std::string(40000, 'x'));
    EXPECT_EQ(vb::len(cell.get("Value").str()), 32767);

    // Characters beyond the basic plane count twice, as the file counts them; one that would
    // straddle the limit is left out whole.
    const std::string grin = "\xF0\x9F\x98\x80";
    std::string text = std::string(32766, 'y');
    for (int i = 0; i < 3; ++i) text += grin;
    cell.put("Value", text);
    EXPECT_EQ(cell.get("Value").str(), std::string(32766, 'y'));

    std::string accented;
    for (int i = 0; i < 32768; ++i) accented += "\xC3\xA9";
    cell.put("Value", accented);
    EXPECT_EQ(vb::len(cell.get("Value").str()), 32767);
}

}  // namespace
}  // namespace lumora
