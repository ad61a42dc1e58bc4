#include "excel_instance.hpp"

#include "Platform/Desktop/desktop.hpp"
#include "shown_workbook.hpp"

namespace lumora::excel {

uint64_t Workbook::changes() const {
    uint64_t total = 0;
    for (const auto& sheet : sheets) total += sheet->changes();
    return total;
}

ExcelInstance::~ExcelInstance() {
    for (const auto& workbook : m_workbooks) showIfChanged(*workbook, Moment::ExcelEnds);
}

std::shared_ptr<Workbook> ExcelInstance::newWorkbook(std::string name, std::filesystem::path openedFrom) {
    auto workbook = std::make_shared<Workbook>();
    workbook->name = std::move(name);
    workbook->sheets.push_back(std::make_shared<Worksheet>("Sheet1"));
    workbook->openedFrom = std::move(openedFrom);
    m_workbooks.push_back(workbook);
    return workbook;
}

std::shared_ptr<Workbook> ExcelInstance::addWorkbook() { return newWorkbook("Book" + std::to_string(++m_booksMade), {}); }

std::shared_ptr<Workbook> ExcelInstance::openWorkbook(const std::filesystem::path& file) {
    return newWorkbook(file.filename().string(), file);
}

void ExcelInstance::showIfChanged(Workbook& workbook, Moment moment) noexcept {
    const uint64_t changes = workbook.changes();
    if (!m_visible || workbook.shownAtChange == changes) return;
    if (moment == Moment::WorkbookLetGo && changes == 0) return;
    // A workbook that fails to be written is shown with the reason, and not again unchanged.
    workbook.shownAtChange = changes;
    showWorkbook(workbook);
}

const desktop::NumberConventions& ExcelInstance::numberConventions() {
    if (!m_numberConventions) m_numberConventions = desktop::current().numberConventions();
    return *m_numberConventions;
}

void ExcelInstance::quit() {
    m_workbooks.clear();
    m_visible = false;
}

std::shared_ptr<WorkbookHold> WorkbookHold::of(const std::shared_ptr<ExcelInstance>& excel,
                                               const std::shared_ptr<Workbook>& workbook) {
    if (auto held = workbook->hold.lock()) return held;
    auto hold = std::make_shared<WorkbookHold>(excel, workbook);
    workbook->hold = hold;
    return hold;
}

}  // namespace lumora::excel
