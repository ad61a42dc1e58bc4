#include "shown_workbook.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>

#include "excel_errors.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Desktop/documents_folder.hpp"
#include "xlsx_file.hpp"

namespace lumora::excel {

namespace fs = std::filesystem;

namespace {

// Removes a scratch file however the save ends.
struct ScratchFile {
    fs::path path;
    ~ScratchFile() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
};

std::string scratchName() {
    std::random_device random;
    const uint64_t bits = (static_cast<uint64_t>(random()) << 32) | random();
    return "~workbook-" + std::to_string(bits) + ".xlsx";
}

// Creates the file empty unless it exists; false when it does. Error 75 for any other failure.
bool reserveName(const fs::path& file) {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor >= 0) {
        ::close(descriptor);
        return true;
    }
    if (errno == EEXIST) return false;
    raise(ExcelError::FileNotWritten, file.string());
}

}  // namespace

fs::path saveInDocuments(const Workbook& workbook) {
    const fs::path folder = desktop::ensureDocumentsFolder();
    // Written whole under a name of its own first, then linked under the first free BookN.xlsx:
    // a link never replaces an existing file, so two pages saving at once each get their own.
    ScratchFile scratch{folder / scratchName()};
    writeXlsx(workbook, scratch.path, folder);
    for (int32_t number = 1;; ++number) {
        const fs::path target = folder / ("Book" + std::to_string(number) + ".xlsx");
        std::error_code error;
        fs::create_hard_link(scratch.path, target, error);
        if (!error) return target;
        if (error == std::errc::file_exists) continue;
        // A folder without hard links: the name is taken by creating it empty and exclusively,
        // and the finished file then replaces that placeholder in one step.
        if (!reserveName(target)) continue;
        fs::rename(scratch.path, target, error);
        if (!error) return target;
        fs::remove(target, error);
        raise(ExcelError::FileNotWritten, target.string());
    }
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
