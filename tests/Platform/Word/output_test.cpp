// What the word processor writes: the web page (format 8), PDF through LibreOffice (read back
// with pdftotext and pdfimages) from a copy that cannot reach outside, documents handed to the
// user when Word is made visible, and legacy .doc files opened through LibreOffice.

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "Platform/Desktop/sandbox.hpp"
#include "Platform/Word/office_converter.hpp"
#include "tests/support/http_server_fixture.hpp"
#include "tests/support/linked_template.hpp"
#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The network namespaces of the LibreOffice this process keeps warm (found by the pipe it
// accepts on, whose name holds this process's id).
std::vector<std::string> converterNetworkNamespaces() {
    std::vector<std::string> found;
    const std::string pipe = "--accept=pipe,name=lumora-office-" + std::to_string(::getpid()) + ";";
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        if (fileText(entry.path() / "cmdline").find(pipe) == std::string::npos) continue;
        std::error_code error;
        const std::filesystem::path ns = std::filesystem::read_symlink(entry.path() / "ns" / "net", error);
        if (!error) found.push_back(ns.string());
    }
    return found;
}

class OutputTest : public WordTest {
protected:
    Object letter() {
        DocxParts parts = withBody(paragraph({{"Dear ", ""}, {"<Name>", "<w:b/>"}, {", ", ""}, {"thanks", "<w:i/>"}, {" & ", "<w:u w:val=\"single\"/>"}}) +
                                   table({{paragraph("Item"), paragraph("<script>")}}) + paragraph(""));
        parts.headers = {{"default", paragraph("Acme Head Office")}};
        Object document = addDocument(parts);
        typeOverEach(document, "<Name>", "Anna Smith");
        return document;
    }
    void requireOffice() {
        if (!word::officeInstalled()) GTEST_SKIP() << "LibreOffice is not installed";
    }
};

TEST_F(OutputTest, FormatEightWritesAnEscapedWebPageWithRunsTablesAndHeaders) {
    const Object document = letter();
    const auto page = folder.path() / "Letter05_09.htm";
    document.call("SaveAs", Named{"FileName", page.string()}, Named{"FileFormat", 8});
    const std::string html = fileText(page);
    // Without styles the text is the word processor's default size, and paragraphs have no margins.
    const std::string plain = "<p style=\"margin:0;font-size:10pt\">";
    EXPECT_THAT(html, HasSubstr("<div class=\"header\">\n" + plain + "Acme Head Office</p>"));
    EXPECT_THAT(html, HasSubstr(plain + "Dear <b>Anna Smith</b>, <i>thanks</i><u> &amp; </u></p>"));
    const std::string cell = "<td style=\"width:100pt;padding:0 5.4pt 0 5.4pt;vertical-align:top\">";
    EXPECT_THAT(html, HasSubstr("<tr>" + cell + plain + "Item</p>\n</td>" + cell + plain + "&lt;script&gt;</p>\n</td></tr>"));
    EXPECT_THAT(html, Not(HasSubstr("<script>")));
}

TEST_F(OutputTest, UnknownSaveFormatsAreRefusedAndNothingIsWritten) {
    const Object document = letter();
    const auto file = folder.path() / "odd.rtf";
    EXPECT_THROW(document.call("SaveAs", file.string(), 6), Error);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(OutputTest, ExportAsFixedFormatWritesAPdfThatReadsAsTheLetter) {
    requireOffice();
    const Object document = letter();
    const auto pdf = folder.path() / "letter.pdf";
    document.call("ExportAsFixedFormat", Named{"OutputFileName", pdf.string()}, Named{"ExportFormat", 17});
    const std::string text = pdfText(pdf);
    EXPECT_THAT(text, HasSubstr("Dear Anna Smith, thanks &"));
    EXPECT_THAT(text, HasSubstr("Acme Head Office"));
    // A second export reuses the converter that the first one started.
    const int starts = word::officeStarts();
    const auto again = folder.path() / "again.pdf";
    document.call("ExportAsFixedFormat", Named{"OutputFileName", again.string()}, Named{"ExportFormat", 17});
    EXPECT_THAT(pdfText(again), HasSubstr("Anna Smith"));
    EXPECT_EQ(word::officeStarts(), starts);
}

// A template linking pictures from outside its package (tests/support/linked_template.hpp): the
// PDF holds none of them while the picture inside and the hyperlink stay, the loopback server
// hears nothing, LibreOffice runs in a network namespace of its own, and the document saved as
// .docx keeps every link as the template had it.
TEST_F(OutputTest, APdfHoldsNothingFromOutsideTheTemplateAndTheSavedDocumentKeepsEveryLink) {
    requireOffice();
    tests::TempFolder outside;
    const std::filesystem::path requests = outside.path() / "requests.log";
    test::LoopbackHttpServer server(outside.path() / "web", outside.path() / "uploads", requests);
    const LinkedTemplate linked = templateLinkingOutside(outside.path(), outside.path() / "web", server.url(""));
    const std::filesystem::path templatePath = templateFile(linked.parts);
    const Object document = app.getObject("Documents").call("Add", templatePath.string()).toObject();

    const std::filesystem::path pdf = folder.path() / "letter.pdf";
    document.call("ExportAsFixedFormat", Named{"OutputFileName", pdf.string()}, Named{"ExportFormat", 17});
    const std::multiset<std::string> images = pdfImageSizes(pdf);
    EXPECT_EQ(images.count(linked.insideSize), 1u);
    for (const std::string& size : linked.outsideSizes) EXPECT_EQ(images.count(size), 0u) << "a picture of " << size << " came in";
    const std::string text = pdfText(pdf);
    EXPECT_THAT(text, HasSubstr("Letter with pictures from outside"));
    EXPECT_THAT(text, HasSubstr("the hyperlink stays"));
    EXPECT_EQ(fileText(requests), "");

    if (desktop::sandbox::confinedCommand({"/usr/bin/true"}, {{}, outside.path()})) {
        std::error_code error;
        const std::string own = std::filesystem::read_symlink("/proc/self/ns/net", error).string();
        const std::vector<std::string> converters = converterNetworkNamespaces();
        ASSERT_FALSE(converters.empty());
        for (const std::string& ns : converters) EXPECT_NE(ns, own);
    }

    const std::filesystem::path kept = folder.path() / "kept.docx";
    document.call("SaveAs", kept.string());
    EXPECT_EQ(readEntry(kept, "word/_rels/document.xml.rels"), readEntry(templatePath, "word/_rels/document.xml.rels"));
    EXPECT_EQ(readEntry(kept, "word/media/drawing.svg"), readEntry(templatePath, "word/media/drawing.svg"));
    EXPECT_EQ(readEntry(kept, "word/document.xml"), readEntry(templatePath, "word/document.xml"));
}

TEST_F(OutputTest, WithoutLibreOfficePdfExportAndLegacyFilesRaiseSoCallersFallBack) {
    const Object document = letter();
    const auto legacy = folder.path() / "old.doc";
    std::ofstream(legacy, std::ios::binary) << std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) << "binary body";
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", folder.path().c_str(), 1);
    const auto pdf = folder.path() / "letter.pdf";
    std::string exportFailure, legacyFailure;
    try {
        document.call("ExportAsFixedFormat", Named{"OutputFileName", pdf.string()}, Named{"ExportFormat", 17});
    } catch (const Error& e) {
        exportFailure = e.description();
    }
    try {
        app.getObject("Documents").call("Add", legacy.string());
    } catch (const Error& e) {
        legacyFailure = e.description();
    }
    setenv("PATH", path.c_str(), 1);
    EXPECT_THAT(exportFailure, HasSubstr("PDF export needs LibreOffice"));
    EXPECT_THAT(legacyFailure, HasSubstr("The legacy document old.doc can only be opened through LibreOffice"));
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(OutputTest, LegacyDocTemplatesOpenThroughLibreOffice) {
    requireOffice();
    const auto source = folder.path() / "legacy.docx";
    writeDocx(source, withBody(paragraph("Legacy <Tag> text")));
    const auto doc = word::convertOnce(source, folder.path(), "doc");
    ASSERT_TRUE(std::filesystem::exists(doc));
    const Object document = app.getObject("Documents").call("Add", doc.string()).toObject();
    document.call("Select");
    typeOverEach(document, "<Tag>", "converted");
    EXPECT_THAT(savedText(document), HasSubstr("Legacy converted text"));
}

TEST_F(OutputTest, VisibleHandsEveryOpenDocumentToTheDesktop) {
    const Object changed = letter();
    const auto own = folder.path() / "own.docx";
    writeDocx(own, withBody(paragraph("Mine")));
    app.getObject("Documents").call("Open", own.string());
    app.put("Visible", true);
    const auto& shown = headless.transcript().shown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, "document");
    EXPECT_EQ(shown[0].file, data.path() / "documents" / "Document1.docx");
    EXPECT_EQ(visibleText(readEntry(shown[0].file, "word/document.xml")), "Dear Anna Smith, thanks & |Item|<script>||");
    // A document opened and left unchanged is the user's own file, shown as it is.
    EXPECT_EQ(shown[1].file, own);
    // Made visible again unchanged, nothing is shown twice; a change shows it anew.
    app.put("Visible", true);
    EXPECT_EQ(headless.transcript().shown.size(), 2u);
    typeOverEach(changed, "Item", "Line");
    app.put("Visible", true);
    ASSERT_EQ(headless.transcript().shown.size(), 3u);
    EXPECT_EQ(headless.transcript().shown[2].file, data.path() / "documents" / "Document2.docx");
}

TEST_F(OutputTest, AnInvisibleWordThatQuitsShowsNothing) {
    letter();
    app.call("Quit", 0);
    app.release();
    EXPECT_TRUE(headless.transcript().shown.empty());
}

}  // namespace
}  // namespace lumora::testing
