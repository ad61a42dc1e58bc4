// Hostile and broken templates: each is refused with its own error when a document is made
// from it, and nothing is written anywhere.

#include <fstream>

#include "Platform/Word/package.hpp"
#include "tests/support/http_server_fixture.hpp"
#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;

class DocxReaderTest : public WordTest {
protected:
    // The error Documents.Add gives for the template file.
    Error addFails(const std::filesystem::path& file) { return addFails(file.string()); }
    Error addFails(const std::string& templatePath) {
        try {
            app.getObject("Documents").call("Add", templatePath);
        } catch (const Error& e) {
            return e;
        }
        ADD_FAILURE() << "the template was accepted";
        return Error(0, "");
    }
    std::filesystem::path packageWith(const std::vector<std::pair<std::string, std::string>>& entries) {
        const auto file = folder.path() / "hostile.dotx";
        writeZip(file, entries);
        return file;
    }
    std::string xmlPart(const std::string& body) {
        return "<?xml version=\"1.0\"?>" + body;
    }
};

TEST_F(DocxReaderTest, AFileThatIsNotAZipIsRefusedAsNotAPackage) {
    const auto file = folder.path() / "letter.dotx";
    std::ofstream(file) << "Dear Sir, this is plain text.";
    const Error e = addFails(file);
    EXPECT_EQ(e.number(), kObjectErrorBase + 0x1601);
    EXPECT_THAT(e.description(), HasSubstr("is not a Word document package"));
    EXPECT_EQ(app.getObject("Documents").count(), 0);
}

TEST_F(DocxReaderTest, AZipWithoutTheMainDocumentPartIsRefused) {
    DocxParts parts = withBody(paragraph("x"));
    parts.withoutDocument = true;
    const Error e = addFails(templateFile(parts));
    EXPECT_THAT(e.description(), HasSubstr("has no main document part (word/document.xml)"));
}

TEST_F(DocxReaderTest, AZipBombIsRefusedBeforeItIsUnpacked) {
    DocxParts parts = withBody(paragraph("x"));
    parts.extra = {{"word/media/huge.bin", std::string(size_t{40} << 20, '\0')}};
    const Error e = addFails(templateFile(parts));
    EXPECT_THAT(e.description(), HasSubstr("unpacks beyond the allowed size"));
}

TEST_F(DocxReaderTest, ATableOfThousandsOfLikeRowsPacksTightlyAndStillReads) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 10'000; ++i) rows.push_back({paragraph("Name" + std::to_string(i)), paragraph("Town"), paragraph("")});
    const Object document = app.getObject("Documents").call("Add", templateFile(withBody(table(rows))).string()).toObject();
    EXPECT_EQ(document.getObject("Tables").call("Item", 1).toObject().getObject("Rows").count(), 10'000);
}

TEST_F(DocxReaderTest, EntriesBeyondTheSizeLimitsAreRefusedWhatTheirRatio) {
    std::string random(4096, '\0');
    for (size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919u) >> 3);
    const auto file = packageWith({{"word/document.xml", random}});
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    word::PackageLimits tight;
    tight.maxEntryBytes = 1024;
    try {
        word::Package::fromBytes(bytes, "small", tight);
        FAIL() << "an entry beyond the limit was read";
    } catch (const Error& e) {
        EXPECT_THAT(e.description(), HasSubstr("small unpacks beyond"));
    }
}

TEST_F(DocxReaderTest, PathTraversalEntryNamesAreRefusedAndNothingIsWritten) {
    for (const std::string name : {"../evil.xml", "word/../../evil.xml", "/etc/evil.xml", "word\\..\\evil.xml"}) {
        DocxParts parts = withBody(paragraph("x"));
        parts.extra = {{name, "<evil/>"}};
        const Error e = addFails(templateFile(parts));
        EXPECT_THAT(e.description(), HasSubstr("unsafe name")) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path().parent_path() / "evil.xml"));
    EXPECT_TRUE(word::isSafeEntryName("word/media/image1.png"));
}

TEST_F(DocxReaderTest, ExternalEntitiesAndEntityExpansionInThePartsAreRefused) {
    const std::string xxe = "<!DOCTYPE w:document [<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>"
                            "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                            "<w:body><w:p><w:r><w:t>&secret;</w:t></w:r></w:p></w:body></w:document>";
    const Error external = addFails(packageWith({{"word/document.xml", xmlPart(xxe)}}));
    EXPECT_THAT(external.description(), HasSubstr("Cannot read the document part word/document.xml: "));

    std::string laughs = "<!DOCTYPE w:document [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c) {
        std::string value;
        for (int i = 0; i < 10; ++i) value += std::string("&") + static_cast<char>(c - 1) + ";";
        laughs += std::string("<!ENTITY ") + c + " \"" + value + "\">";
    }
    laughs += "]><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
              "<w:body><w:p><w:r><w:t>&j;</w:t></w:r></w:p></w:body></w:document>";
    const Error expansion = addFails(packageWith({{"word/document.xml", xmlPart(laughs)}}));
    EXPECT_THAT(expansion.description(), HasSubstr("Cannot read the document part"));
}

TEST_F(DocxReaderTest, AMissingTemplateIsFileNotFound) {
    const Error e = addFails(folder.path() / "absent.dotx");
    EXPECT_EQ(e.number(), 53);
}

// A CRM may keep its templates on a web server: the package is fetched from the address, and
// what is not a package there is refused as a file of the same kind would be.
TEST_F(DocxReaderTest, ATemplateAtAWebAddressIsFetchedAndReadLikeAFile) {
    tests::TempFolder web;
    test::LoopbackHttpServer server(web.path() / "root", web.path() / "uploads");
    writeDocx(web.path() / "root" / "Quote.docx", withBody(paragraph("Quote <QUOTENUMBER>")));
    const Object document =
        app.getObject("Documents").call("Add", server.url("/files/Quote.docx")).toObject();
    EXPECT_EQ(document.getObject("Content").get("Text").toString(), "Quote <QUOTENUMBER>\r");

    EXPECT_EQ(addFails(server.url("/files/Absent.docx")).number(), 53);
    EXPECT_EQ(addFails(server.url("/status/500")).number(), 53);
    std::ofstream(web.path() / "root" / "page.htm") << "<html>not a package</html>";
    EXPECT_EQ(addFails(server.url("/files/page.htm")).number(), kObjectErrorBase + 0x1601);
    EXPECT_EQ(app.getObject("Documents").count(), 1);
}

}  // namespace
}  // namespace lumora::testing
