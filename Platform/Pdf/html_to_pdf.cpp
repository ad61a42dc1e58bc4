#include "html_to_pdf.hpp"

#include <unistd.h>

#include <atomic>

#include "Automation/cancellation.hpp"
#include "Platform/Word/office_converter.hpp"
#include "browser_converter.hpp"
#include "page_folder.hpp"
#include "pdf_errors.hpp"

namespace lumora::pdf {

namespace fs = std::filesystem;

namespace {

std::atomic<std::chrono::milliseconds::rep> g_timeLimit{
    std::chrono::duration_cast<std::chrono::milliseconds>(kConversionTimeLimit).count()};

void checkPage(const fs::path& page) {
    std::error_code error;
    if (!fs::is_regular_file(page, error) || ::access(page.c_str(), R_OK) != 0)
        raise(PdfError::PageNotFound, page.string());
    if (fs::file_size(page, error) > kMaxPageFileBytes) raise(PdfError::PageTooLarge, page.filename().string());
}

std::string convertWithOffice(const fs::path& page) {
    try {
        return word::convertWebPageToPdf(page);
    } catch (const Error& error) {
        checkCancelled();
        raise(PdfError::ConversionFailed, error.description());
    }
}

}  // namespace

bool converterInstalled() { return browserInstalled() || word::officeInstalled(); }

std::string convertPageToPdf(const fs::path& page) {
    checkPage(page);
    if (browserInstalled()) return printWithBrowser(page, conversionTimeLimit());
    if (word::officeInstalled()) return convertWithOffice(page);
    raise(PdfError::NoConverter);
}

void setConversionTimeLimit(std::chrono::milliseconds limit) { g_timeLimit = limit.count(); }

std::chrono::milliseconds conversionTimeLimit() { return std::chrono::milliseconds(g_timeLimit.load()); }

}  // namespace lumora::pdf
