// Which converter a machine has: Chromium first; LibreOffice where Chromium is missing; and
// where neither is installed, the objects cannot be created, so callers offer to install one.
// A program is missing here as on a machine without it: not on PATH.

#include "Platform/Pdf/browser_converter.hpp"
#include "Platform/Word/office_converter.hpp"
#include "pdf_fixture.hpp"
#include "tests/Platform/Desktop/environment_guard.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;

// A PATH holding every program of /usr/bin except those named.
std::string pathWithout(const std::filesystem::path& bin, const std::set<std::string>& missing) {
    std::filesystem::create_directories(bin);
    for (const auto& entry : std::filesystem::directory_iterator("/usr/bin"))
        if (!missing.count(entry.path().filename().string()))
            std::filesystem::create_symlink(entry.path(), bin / entry.path().filename());
    return bin.string();
}

TEST_F(PdfTest, WithoutChromiumLibreOfficeConvertsThePage) {
    if (!word::officeInstalled()) GTEST_SKIP() << "LibreOffice is not installed";
    EnvironmentGuard environment;
    environment.set("PATH", pathWithout(folder.path() / "bin", {"chromium"}));
    const int browserStarts = pdf::browserStarts();
    const int officeStarts = word::officeStarts();
    const std::string text = pdfText(convert(page(kQuotePage)));
    EXPECT_THAT(text, HasSubstr("Quote Q-1042"));
    EXPECT_THAT(text, HasSubstr("Prepared for Anna Smith, Caf\xC3\xA9 Lumi\xC3\xA8re"));
    EXPECT_THAT(text, HasSubstr("Total due: 3,600.00"));
    EXPECT_EQ(pdf::browserStarts(), browserStarts);
    EXPECT_GT(word::officeStarts(), officeStarts);
}

TEST_F(PdfTest, WithNeitherConverterTheObjectsCannotBeCreated) {
    EnvironmentGuard environment;
    environment.set("PATH", pathWithout(folder.path() / "bin", {"chromium", "soffice", "libreoffice", "lowriter"}));
    for (const char* progId : {"AcroExch.App", "AcroExch.AVDoc"}) {
        try {
            Registry::instance().createObject(progId);
            ADD_FAILURE() << progId << " was created";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 429);
            EXPECT_THAT(e.description(), HasSubstr("no PDF converter (Chromium or LibreOffice) is installed"));
        }
    }
    // Documents need no converter: they open existing PDFs and make blank ones.
    EXPECT_NO_THROW(Registry::instance().createObject("AcroExch.PDDoc"));
}

}  // namespace
}  // namespace lumora::testing
