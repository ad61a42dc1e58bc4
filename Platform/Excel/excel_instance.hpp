#pragma once
// One running spreadsheet application: its workbooks and whether the user sees it. Every script
// object of the instance holds it, so it ends when the last reference goes. A visible instance
// stays open for the user: its workbooks are then written as .xlsx files and shown to them. An
// instance nobody sees, or one told to quit, ends without a trace.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "worksheet.hpp"

namespace lumora::excel {

struct Workbook {
    std::string name;  // "Book1", counted per instance as the application names new workbooks
    std::vector<std::shared_ptr<Worksheet>> sheets;
    // The user's file a workbook was opened from; it is shown as it is, never written over.
    std::filesystem::path openedFrom;
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

    // Closes every workbook without saving or showing it.
    void quit();

private:
    bool m_visible = false;
    int32_t m_booksMade = 0;
    std::vector<std::shared_ptr<Workbook>> m_workbooks;
};

}  // namespace lumora::excel
