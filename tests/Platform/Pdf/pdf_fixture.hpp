#pragma once
// The PDF converter driven as the desktop control drives it: a quote page written into a
// private folder, opened in a view, its document saved as a PDF, everything closed; the PDF read
// back with poppler's pdftotext and pdfimages.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "Automation/error.hpp"
#include "Automation/registry.hpp"
#include "Platform/Pdf/register.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/linked_template.hpp"

namespace lumora::testing {

inline std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline void writeFile(const std::filesystem::path& file, std::string_view text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// What a poppler tool prints about the file, or a marker when the tool failed.
inline std::string popplerOutput(const std::string& tool, const std::filesystem::path& pdf) {
    const auto out = pdf.parent_path() / (pdf.stem().string() + "." + tool + ".txt");
    const std::string command = tool + " '" + pdf.string() + "' " + (tool == "pdftotext" ? "'" + out.string() + "'" : "> '" + out.string() + "'");
    if (std::system(command.c_str()) != 0) return "<" + tool + " failed>";
    return fileText(out);
}
inline std::string pdfText(const std::filesystem::path& pdf) { return popplerOutput("pdftotext", pdf); }
// The page count pdfinfo reads; 0 when it cannot read the file.
inline int pdfPageCount(const std::filesystem::path& pdf) {
    const std::string info = popplerOutput("pdfinfo", pdf);
    const auto at = info.find("\nPages:");
    return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 8);
}

// A small quote as the control writes it: one HTML body.
inline constexpr std::string_view kQuotePage =
    "<html><head><title>Quote Q-1042</title></head><body>"
    "<h1>Quote Q-1042</h1><p>Prepared for Anna Smith, Caf\xC3\xA9 Lumi\xC3\xA8re</p>"
    "<table><tr><td>Seminar seats</td><td>3</td><td>1,200.00</td></tr></table>"
    "<p>Total due: 3,600.00</p></body></html>";

class PdfTest : public ::testing::Test {
protected:
    void SetUp() override { pdf::registerPdfClasses(Registry::instance()); }

    std::filesystem::path page(std::string_view html, const std::string& name = "quote.htm") {
        const auto file = folder.path() / name;
        writeFile(file, html);
        return file;
    }

    // The control's sequence: open the page in a view, wait for the application to count it,
    // take the active view's document, create and save it, close everything. The save's result.
    bool convert(const std::string& pagePath, const std::string& pdfPath) {
        const Object app = Registry::instance().createObject("AcroExch.App");
        const Object view = Registry::instance().createObject("AcroExch.AVDoc");
        view.call("open", pagePath, 1);
        for (int polls = 0; app.call("GetNumAVDocs").toI4() == 0; ++polls)
            if (polls > 1000) throw std::runtime_error("the view never counted");
        const Object active = app.call("GetActiveDoc").toObject();
        if (!active.call("isValid").toBool()) throw std::runtime_error("the active view is not valid");
        const Object document = active.call("GetPDDoc").toObject();
        document.call("Create");
        const bool saved = document.call("save", 1, pdfPath).toBool();
        document.call("Close");
        view.call("Close", true);
        app.call("Exit");
        return saved;
    }
    std::filesystem::path convert(const std::filesystem::path& htm) {
        const auto pdf = htm.parent_path() / (htm.stem().string() + ".pdf");
        if (!convert(htm.string(), pdf.string())) throw std::runtime_error("the save returned False");
        return pdf;
    }

    tests::TempFolder folder;
};

}  // namespace lumora::testing
