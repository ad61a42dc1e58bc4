#include "excel_instance.hpp"

#include "shown_workbook.hpp"

namespace lumora::excel {

ExcelInstance::~ExcelInstance() {
    if (!m_visible) return;
    // showWorkbook never throws: a workbook that cannot be written is still reported to the user.
    for (const auto& workbook : m_workbooks) showWorkbook(*workbook);
}

std::shared_ptr<Workbook> ExcelInstance::addWorkbook() {
    auto workbook = std::make_shared<Workbook>();
    workbook->name = "Book" + std::to_string(++m_booksMade);
    workbook->sheets.push_back(std::make_shared<Worksheet>("Sheet1"));
    m_workbooks.push_back(workbook);
    return workbook;
}

std::shared_ptr<Workbook> ExcelInstance::openWorkbook(const std::filesystem::path& file) {
    auto workbook = std::make_shared<Workbook>();
    workbook->name = file.filename().string();
    workbook->sheets.push_back(std::make_shared<Worksheet>("Sheet1"));
    workbook->openedFrom = file;
    m_workbooks.push_back(workbook);
    return workbook;
}

void ExcelInstance::quit() {
    m_workbooks.clear();
    m_visible = false;
}

}  // namespace lumora::excel
