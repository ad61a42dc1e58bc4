#include "shown_workbook.hpp"

#include "excel_errors.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Desktop/documents_folder.hpp"
#include "Platform/Desktop/new_document.hpp"
#include "xlsx_file.hpp"

namespace lumora::excel {

namespace fs = std::filesystem;

fs::path saveInDocuments(const Workbook& workbook) {
    const fs::path folder = desktop::ensureDocumentsFolder();
    return desktop::keepInDocuments("Book", ".xlsx", [&](const fs::path& scratch) { writeXlsx(workbook, scratch, folder); });
}

void showWorkbook(const Workbook& workbook) noexcept {
    try {
        if (!workbook.openedFrom.empty()) {
            desktop::current().show(desktop::ShowRequest{"workbook", workbook.name, workbook.openedFrom, {}});
            return;
        }
        try {
            const fs::path file = saveInDocuments(workbook);
            desktop::current().show(desktop::ShowRequest{"workbook", file.filename().string(), file, {}});
        } catch (const Error& e) {
            desktop::current().show(desktop::ShowRequest{"workbook", workbook.name, {}, e.description()});
        } catch (const std::exception& e) {
            desktop::current().show(
                desktop::ShowRequest{"workbook", workbook.name, {}, Error::fromException(e).description()});
        }
    } catch (...) {
        // The Desktop itself failed (a page gone away): there is no one left to show it to.
    }
}

}  // namespace lumora::excel
