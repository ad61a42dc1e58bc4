// A visible spreadsheet stays open for the user: when script lets go of it, its workbooks are
// written as .xlsx files under fresh names in the documents folder and shown. Files are read
// back with openpyxl.

#include <gtest/gtest.h>

#include <fstream>

#include "Automation/error.hpp"
#include "Automation/registry.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Excel/register.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/spreadsheet_reader.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using testing::cellOf;
using testing::readXlsx;

class ShownWorkbookTest : public ::testing::Test {
protected:
    void SetUp() override {
        excel::registerExcelClasses(Registry::instance());
        Registry::instance().setDataFolder(data.path());
    }

    // A visible Excel with one workbook, the sheet filled by `fill`, then released.
    void showOneWorkbook(const std::function<void(const Object& sheet)>& fill) {
        Object excel = Registry::instance().createObject("Excel.Application");
        excel.put("Visible", true);
        fill(excel.getObject("Workbooks").call("Add").toObject().getObject("Worksheets", 1));
        excel.release();
    }

    std::vector<std::string> documentNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(documents())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path documents() const { return data.path() / "documents"; }
    const std::vector<desktop::ShowRequest>& shown() { return headless.transcript().shown; }

    tests::TempFolder data;
    desktop::HeadlessDesktop headless{desktop::SystemConfig{{}, {}, std::string("en_GB")}};
    desktop::ScopedDesktop scope{headless};
};

TEST_F(ShownWorkbookTest, ReleasedVisibleWorkbookIsWrittenAndShownAsARealSpreadsheet) {
    Object kept;
    showOneWorkbook([&](const Object& sheet) {
        const Object caption = sheet.getObject("Cells", 1, 2);
        caption.getObject("Font").put("Bold", true);
        caption.put("Value", "Price");
        caption.put("ColumnWidth", "20");
        sheet.getObject("Cells", 3, 2).put("Value", 12.5);
        sheet.getObject("Cells", 4, 2).put("Value", "12.50");
        sheet.getObject("Cells", 5, 2).put("Value", "@SUM(A1:A9)");
        sheet.getObject("Cells", 6, 2).put("Value", Variant(Date{46000.5}));
        sheet.getObject("Cells", 7, 2).put("Value", true);
        kept = sheet.getObject("Cells", 8, 2);
    });
    // A cell script still holds keeps its application open: nothing is shown yet.
    EXPECT_TRUE(shown().empty());
    kept.release();

    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].kind, "workbook");
    EXPECT_EQ(shown()[0].title, "Book1.xlsx");
    EXPECT_EQ(shown()[0].file, documents() / "Book1.xlsx");
    EXPECT_EQ(documentNames(), std::vector<std::string>{"Book1.xlsx"});  // no scratch file left

    const nlohmann::json book = readXlsx(documents() / "Book1.xlsx");
    EXPECT_EQ(book["sheets"][0]["name"], "Sheet1");
    // ECMA-376-1 §18.3.1.13: the file keeps a width with the cell's padding, so the 20
    // characters the user sees are stored as 20 + 5/7, in 256ths.
    EXPECT_EQ(book["sheets"][0]["widths"]["B"], 20.7109375);
    EXPECT_EQ(cellOf(book, 1, 2), nlohmann::json::parse(R"j([1, 2, "Price", "s", true])j"));
    EXPECT_EQ(cellOf(book, 3, 2), nlohmann::json::parse(R"j([3, 2, 12.5, "n", false])j"));
    EXPECT_EQ(cellOf(book, 4, 2), nlohmann::json::parse(R"j([4, 2, 12.5, "n", false])j"));
    EXPECT_EQ(book["sheets"][0]["formats"], nlohmann::json::parse(R"j({"B4": "0.00", "B6": "yyyy-mm-dd hh:mm:ss"})j"));
    EXPECT_EQ(cellOf(book, 5, 2), nlohmann::json::parse(R"j([5, 2, "@SUM(A1:A9)", "s", false])j"));
    EXPECT_EQ(cellOf(book, 6, 2), nlohmann::json::parse(R"j([6, 2, "2025-12-09T12:00:00", "d", false])j"));
    EXPECT_EQ(cellOf(book, 7, 2), nlohmann::json::parse(R"j([7, 2, true, "b", false])j"));
    EXPECT_EQ(book["sheets"][0]["formulas"], 0);
}

TEST_F(ShownWorkbookTest, AWorkbookIsShownWhenScriptLetsGoOfItAndAgainOnlyWhenChanged) {
    Object excel = Registry::instance().createObject("Excel.Application");
    excel.put("Visible", true);
    Object workbook = excel.getObject("Workbooks").call("Add").toObject();
    workbook.getObject("Worksheets", 1).getObject("Cells", 1, 1).put("Value", "first");
    workbook.release();
    ASSERT_EQ(shown().size(), 1u);  // while Excel itself is still held

    excel.getObject("Workbooks", 1).get("Name");
    EXPECT_EQ(shown().size(), 1u);
    excel.getObject("Workbooks", 1).getObject("Worksheets", 1).getObject("Cells", 2, 1).put("Value", "second");
    EXPECT_EQ(shown().size(), 2u);
    excel.release();
    EXPECT_EQ(documentNames(), (std::vector<std::string>{"Book1.xlsx", "Book2.xlsx"}));
    EXPECT_EQ(cellOf(readXlsx(documents() / "Book2.xlsx"), 2, 1)[2], "second");
}

TEST_F(ShownWorkbookTest, FreshNamesNeverReplaceTheUsersFiles) {
    fs::create_directories(documents());
    std::ofstream(documents() / "Book1.xlsx") << "the user's own";
    showOneWorkbook([](const Object& sheet) { sheet.getObject("Cells", 1, 1).put("Value", "first"); });
    showOneWorkbook([](const Object& sheet) { sheet.getObject("Cells", 1, 1).put("Value", "second"); });

    EXPECT_EQ(documentNames(), (std::vector<std::string>{"Book1.xlsx", "Book2.xlsx", "Book3.xlsx"}));
    std::ifstream own(documents() / "Book1.xlsx");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(own), {}), "the user's own");
    EXPECT_EQ(cellOf(readXlsx(documents() / "Book3.xlsx"), 1, 1)[2], "second");
}

TEST_F(ShownWorkbookTest, AnExcelNobodySeesOrOneThatQuitLeavesNoTrace) {
    Object hidden = Registry::instance().createObject("Excel.Application");
    hidden.getObject("Workbooks").call("Add");
    hidden.release();

    Object quitting = Registry::instance().createObject("Excel.Application");
    quitting.put("Visible", true);
    quitting.getObject("Workbooks").call("Add");
    quitting.call("Quit");
    quitting.release();

    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(fs::exists(documents()) && !fs::is_empty(documents()));
}

TEST_F(ShownWorkbookTest, AnOpenedWorkbookIsTheUsersOwnFileShownAsItIs) {
    const fs::path own = data.path() / "Prices.xls";
    std::ofstream(own) << "the user's own";
    Object excel = Registry::instance().createObject("Excel.Application");
    Object workbooks = excel.getObject("Workbooks");
    EXPECT_EQ(workbooks.call("Open", own.string()).toObject().get("Name"), Variant("Prices.xls"));
    for (auto [path, number] : {std::pair{data.path() / "Missing.xls", 53}, {data.path() / "gone" / "Missing.xls", 76}}) {
        try {
            workbooks.call("Open", path.string());
            ADD_FAILURE() << path;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), number) << path;
        }
    }
    excel.put("Visible", true);
    workbooks.release();
    excel.release();

    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].file, own);
    EXPECT_FALSE(fs::exists(documents()));
}

TEST_F(ShownWorkbookTest, AWorkbookThatCannotBeWrittenIsStillShownWithTheReason) {
    std::ofstream(documents()) << "a file where the folder should be";
    showOneWorkbook([](const Object& sheet) { sheet.getObject("Cells", 1, 1).put("Value", 1); });

    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].title, "Book1");
    EXPECT_TRUE(shown()[0].file.empty());
    EXPECT_EQ(shown()[0].detail, "Path not found");
}

}  // namespace
}  // namespace lumora
