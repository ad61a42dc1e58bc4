// A template that links pictures from outside its package, exported to PDF through LibreOffice:
// the PDF holds none of them (file:// URL, absolute path, "../" climb, an SVG's <image>, a
// page on a loopback server, a hyperlink's id borrowed by a picture) while the picture inside
// the package and the hyperlink stay; the server hears nothing; the converter runs in a network
// namespace of its own; the document saved as .docx keeps every link as the template had it.

#include <dirent.h>
#include <unistd.h>

#include <fstream>

#include "Platform/Desktop/sandbox.hpp"
#include "Platform/Word/office_converter.hpp"
#include "tests/support/http_server_fixture.hpp"
#include "tests/support/linked_template.hpp"
#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string pdfText(const fs::path& pdf) {
    const auto text = pdf.parent_path() / (pdf.stem().string() + ".txt");
    if (std::system(("pdftotext '" + pdf.string() + "' '" + text.string() + "'").c_str()) != 0) return "<pdftotext failed>";
    return fileText(text);
}

// The network namespaces of the LibreOffice this process keeps warm (found by the pipe it
// accepts on, whose name holds this process's id).
std::vector<std::string> converterNetworkNamespaces() {
    std::vector<std::string> found;
    const std::string pipe = "--accept=pipe,name=lumora-office-" + std::to_string(::getpid()) + ";";
    for (const auto& entry : fs::directory_iterator("/proc")) {
        if (fileText(entry.path() / "cmdline").find(pipe) == std::string::npos) continue;
        std::error_code error;
        const fs::path ns = fs::read_symlink(entry.path() / "ns" / "net", error);
        if (!error) found.push_back(ns.string());
    }
    return found;
}

class OutsideLinksTest : public WordTest {};

TEST_F(OutsideLinksTest, APdfHoldsNothingFromOutsideAndTheSavedDocumentKeepsEveryLink) {
    if (!word::officeInstalled()) GTEST_SKIP() << "LibreOffice is not installed";
    tests::TempFolder outside;
    const fs::path requests = outside.path() / "requests.log";
    test::LoopbackHttpServer server(outside.path() / "web", outside.path() / "uploads", requests);
    const LinkedTemplate linked = templateLinkingOutside(outside.path(), outside.path() / "web", server.url(""));
    const fs::path templatePath = templateFile(linked.parts);
    const Object document = app.getObject("Documents").call("Add", templatePath.string()).toObject();

    const fs::path pdf = folder.path() / "letter.pdf";
    document.call("ExportAsFixedFormat", Named{"OutputFileName", pdf.string()}, Named{"ExportFormat", 17});
    const std::multiset<std::string> images = pdfImageSizes(pdf);
    EXPECT_EQ(images.count(linked.insideSize), 1u);
    for (const std::string& size : linked.outsideSizes) EXPECT_EQ(images.count(size), 0u) << "a picture of " << size << " came in";
    const std::string text = pdfText(pdf);
    EXPECT_THAT(text, ::testing::HasSubstr("Letter with pictures from outside"));
    EXPECT_THAT(text, ::testing::HasSubstr("the hyperlink stays"));
    EXPECT_EQ(fileText(requests), "");

    if (desktop::sandbox::confinedCommand({"/usr/bin/true"}, {{}, outside.path()})) {
        std::error_code error;
        const std::string own = fs::read_symlink("/proc/self/ns/net", error).string();
        const std::vector<std::string> converters = converterNetworkNamespaces();
        ASSERT_FALSE(converters.empty());
        for (const std::string& ns : converters) EXPECT_NE(ns, own);
    }

    const fs::path kept = folder.path() / "kept.docx";
    document.call("SaveAs", kept.string());
    EXPECT_EQ(readEntry(kept, "word/_rels/document.xml.rels"), readEntry(templatePath, "word/_rels/document.xml.rels"));
    EXPECT_EQ(readEntry(kept, "word/media/drawing.svg"), readEntry(templatePath, "word/media/drawing.svg"));
    EXPECT_EQ(readEntry(kept, "word/document.xml"), readEntry(templatePath, "word/document.xml"));
}

}  // namespace
}  // namespace lumora::testing
