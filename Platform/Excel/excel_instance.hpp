#pragma once
// One running spreadsheet application: its workbooks and whether the user sees it. A visible
// instance stays open for the user, so what script leaves in it is shown: a workbook is written
// as a .xlsx file and shown when script lets go of its last object of that workbook (the export
// releasing its sheet and workbook), and any workbook still unshown when the instance itself
// ends. An instance nobody sees, or one told to quit, ends without a trace.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "worksheet.hpp"

namespace lumora::excel {

class WorkbookHold;

struct Workbook {
    std::string name;  // "Book1", counted per instance as the application names new workbooks
    std::vector<std::shared_ptr<Worksheet>> sheets;
    // The user's file a workbook was opened from; it is shown as it is, never written over.
    std::filesystem::path openedFrom;
    // The changes made when it was last shown; nothing when it never was.
    std::optional<uint64_t> shownAtChange;
    std::weak_ptr<WorkbookHold> hold;

    uint64_t changes() const;
};

class ExcelInstance {
public:
    ExcelInstance() = default;
    ~ExcelInstance();
    ExcelInstance(const ExcelInstance&) = delete;
    ExcelInstance& operator=(const ExcelInstance&) = delete;

    bool visible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

    // A new workbook with one empty sheet, "Sheet1".
    std::shared_ptr<Workbook> addWorkbook();
    // A workbook standing for an existing file of the user's, named after it.
    std::shared_ptr<Workbook> openWorkbook(const std::filesystem::path& file);
    const std::vector<std::shared_ptr<Workbook>>& workbooks() const { return m_workbooks; }

    // Shows the workbook when the user sees this instance and has not seen the workbook as it
    // is now. When script lets go of a workbook it has not changed yet (a new book it reached
    // through a passing reference) nothing is shown; the user sees it when Excel ends.
    enum class Moment { WorkbookLetGo, ExcelEnds };
    void showIfChanged(Workbook& workbook, Moment moment) noexcept;

    // Closes every workbook without saving or showing it.
    void quit();

    // How the user's locale writes numbers, read from the Desktop once, when text is first put
    // into a cell: as a spreadsheet program reads the regional settings when it starts.
    const desktop::NumberConventions& numberConventions();

private:
    std::shared_ptr<Workbook> newWorkbook(std::string name, std::filesystem::path openedFrom);

    bool m_visible = false;
    int32_t m_booksMade = 0;
    std::optional<desktop::NumberConventions> m_numberConventions;
    std::vector<std::shared_ptr<Workbook>> m_workbooks;
};

// Script's hold on one workbook, shared by every script object that reaches into it (the
// workbook, its sheets, cells and fonts); it keeps the instance alive. When the last such
// object goes, the workbook is shown if the user sees Excel.
class WorkbookHold {
public:
    // The hold of that workbook: the one script objects share now, or a new one.
    static std::shared_ptr<WorkbookHold> of(const std::shared_ptr<ExcelInstance>& excel,
                                            const std::shared_ptr<Workbook>& workbook);
    WorkbookHold(std::shared_ptr<ExcelInstance> excel, std::shared_ptr<Workbook> workbook)
        : m_excel(std::move(excel)), m_workbook(std::move(workbook)) {}
    ~WorkbookHold() { m_excel->showIfChanged(*m_workbook, ExcelInstance::Moment::WorkbookLetGo); }
    WorkbookHold(const WorkbookHold&) = delete;
    WorkbookHold& operator=(const WorkbookHold&) = delete;

    const std::shared_ptr<ExcelInstance>& instance() const { return m_excel; }
    const std::shared_ptr<Workbook>& workbook() const { return m_workbook; }

private:
    std::shared_ptr<ExcelInstance> m_excel;
    std::shared_ptr<Workbook> m_workbook;
};

}  // namespace lumora::excel
