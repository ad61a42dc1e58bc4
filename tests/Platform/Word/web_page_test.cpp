// The web page (SaveAs format 8) of real documents, read back as text and by Python's own HTML
// parser: the sample letter looks like the letter (fonts, colours, alignment, its logo in the
// folder beside the page, a table without lines), styles resolve as the word processor resolves
// them, links are only what a reader may safely follow, and a failed save changes nothing.

#include <fstream>

#include "Host/sample_package.hpp"
#include "Host/sample_template.hpp"
#include "tests/support/support_commands.hpp"
#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kStylesRelationship =
    R"(<Relationship Id="rIdStyles" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)";

std::string stylesPart(const std::string& content) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:styles " + kWordNamespaces + ">" + content + "</w:styles>";
}

std::string externalRelationship(const std::string& id, const std::string& type, const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" +
           type + "\" Target=\"" + target + "\" TargetMode=\"External\"/>";
}

std::string imageRelationship(const std::string& id, const std::string& target) {
    return "<Relationship Id=\"" + id +
           "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"" + target + "\"/>";
}

// A picture in the line, drawn from the relationship `id`.
std::string picture(const std::string& id, const std::string& description, const std::string& attribute = "embed") {
    return "<w:r><w:drawing><wp:inline><wp:extent cx=\"952500\" cy=\"476250\"/><wp:docPr id=\"1\" name=\"p\" descr=\"" +
           description +
           "\"/><a:graphic><a:graphicData><a:blip r:" + attribute + "=\"" + id +
           "\"/></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
}

class WebPageTest : public WordTest {
protected:
    fs::path savePage(const Object& document, const std::string& name = "Letter.htm") {
        const fs::path page = folder.path() / name;
        document.call("SaveAs", Named{"FileName", page.string()}, Named{"FileFormat", 8});
        return page;
    }
    std::string pageOf(const DocxParts& parts) { return fileText(savePage(addDocument(parts))); }
    nlohmann::json parsed(const fs::path& page) {
        return readWithSupportScript("read_html.py", page, "Python's html.parser", nlohmann::json::object());
    }
};

TEST_F(WebPageTest, TheSampleLetterLooksLikeTheLetterWithItsLogoBesideThePageAndATableWithoutLines) {
    const Object document = app.getObject("Documents").call("Add", host::writeSampleTemplate(folder.path()).string()).toObject();
    typeOverEach(document, "<CONTACT>", "Anne Dodsworth");
    const fs::path page = savePage(document, "Welcome Letter.htm");
    const std::string html = fileText(page);

    EXPECT_THAT(html, HasSubstr("<meta charset=\"utf-8\">"));
    EXPECT_THAT(html, HasSubstr("<p style=\"margin:0;line-height:110%;font-family:'Arial',sans-serif;font-size:11pt\">"
                                "Dear <b>Anne Dodsworth</b>,</p>"));
    EXPECT_THAT(html, HasSubstr("<p style=\"margin:6pt 0 6pt 0;text-align:center;line-height:110%;font-family:'Arial',"
                                "sans-serif;font-size:16pt;color:#1F6F8B\"><b>Welcome to Lumora</b></p>"));
    EXPECT_THAT(html, HasSubstr("<img src=\"Welcome%20Letter_files/image001.png\" width=\"144\" height=\"48\" alt=\"Lumora logo\">"));
    EXPECT_EQ(namesIn(folder.path() / "Welcome Letter_files"), std::vector<std::string>{"image001.png"});
    EXPECT_EQ(fileText(folder.path() / "Welcome Letter_files" / "image001.png"), host::sampleLogoPng());
    EXPECT_THAT(html, HasSubstr("<a href=\"mailto:care@lumora.example\"><span style=\"color:#0563C1\"><u>care@lumora.example"));

    const nlohmann::json read = parsed(page);
    EXPECT_EQ(read["doctype"], "DOCTYPE html");
    EXPECT_TRUE(read["wellFormed"]) << read["problem"];
    ASSERT_EQ(read["images"].size(), 1u);
    EXPECT_EQ(read["images"][0]["src"], "Welcome%20Letter_files/image001.png");
    EXPECT_EQ(read["links"], (nlohmann::json{"mailto:care@lumora.example", "https://www.lumora.example/"}));
    EXPECT_THAT(read["text"].get<std::string>(), HasSubstr("Dear Anne Dodsworth, Welcome to Lumora Thank you"));
    ASSERT_EQ(read["tables"].size(), 1u);
    EXPECT_EQ(read["tables"][0], "border-collapse:collapse;width:285pt");
    for (const auto& cell : read["cells"]) EXPECT_THAT(cell.get<std::string>(), Not(HasSubstr("border"))) << cell;

    // Saved again under the same name, the folder is replaced and nothing else is left beside it.
    savePage(document, "Welcome Letter.htm");
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"Welcome Letter.htm", "Welcome Letter_files", "Welcome letter.dotx"}));
}

// A paragraph ending the first section, whose headers and footers are the package's rId1, rId2 …
// in the order given, with a first page of its own.
std::string firstSectionWithTitlePage(const std::vector<std::string>& references) {
    std::string section = "<w:p><w:pPr><w:sectPr>";
    for (size_t i = 0; i < references.size(); ++i)
        section += "<w:" + references[i] + " r:id=\"rId" + std::to_string(i + 1) + "\"/>";
    return section + "<w:titlePg/></w:sectPr></w:pPr></w:p>";
}

TEST_F(WebPageTest, AFirstPageOfItsOwnShowsItsOwnHeaderAndFooterAndOtherwiseThePrimaryOnes) {
    DocxParts parts = withBody(paragraph("Body"));
    parts.headers = {{"default", paragraph("Continuation header")}, {"first", paragraph("Letterhead")}};
    parts.footers = {{"default", paragraph("Page footer")}, {"first", paragraph("Registered office")}};
    const std::string primary = pageOf(parts);
    EXPECT_THAT(primary, HasSubstr("Continuation header"));
    EXPECT_THAT(primary, HasSubstr("Page footer"));
    EXPECT_THAT(primary, Not(HasSubstr("Letterhead")));

    parts.body += firstSectionWithTitlePage({R"(headerReference w:type="default")", R"(headerReference w:type="first")",
                                             R"(footerReference w:type="default")", R"(footerReference w:type="first")"});
    const std::string first = pageOf(parts);
    EXPECT_THAT(first, HasSubstr("Letterhead"));
    EXPECT_THAT(first, HasSubstr("Registered office"));
    EXPECT_THAT(first, Not(HasSubstr("Continuation header")));
    EXPECT_THAT(first, Not(HasSubstr("Page footer")));

    // A first page of its own without a header of its own has none, as the word processor shows it.
    parts.body = paragraph("Body") + firstSectionWithTitlePage({R"(headerReference w:type="default")",
                                                                R"(footerReference w:type="default")",
                                                                R"(footerReference w:type="first")"});
    parts.headers = {{"default", paragraph("Continuation header")}};
    const std::string withoutFirstHeader = pageOf(parts);
    EXPECT_THAT(withoutFirstHeader, Not(HasSubstr("<div class=\"header\">")));
    EXPECT_THAT(withoutFirstHeader, HasSubstr("Registered office"));
}

TEST_F(WebPageTest, StylesResolveFromTheDefaultsThroughBasedOnChainsToDirectFormattingAndLoopsEnd) {
    DocxParts parts = withBody(
        R"(<w:p><w:pPr><w:pStyle w:val="Quote"/></w:pPr><w:r><w:t>Styled</w:t></w:r>)"
        R"(<w:r><w:rPr><w:rStyle w:val="Strong"/><w:sz w:val="28"/></w:rPr><w:t>strong</w:t></w:r></w:p>)"
        R"(<w:p><w:pPr><w:jc w:val="right"/><w:ind w:left="720" w:hanging="360"/><w:spacing w:before="240" w:line="360" w:lineRule="exact"/></w:pPr>)"
        R"(<w:r><w:rPr><w:highlight w:val="yellow"/><w:strike/><w:vertAlign w:val="superscript"/><w:caps/></w:rPr><w:t>1st</w:t></w:r>)"
        R"(<w:r><w:rPr><w:shd w:val="clear" w:fill="D9D9D9"/><w:color w:val="C00000"/><w:rFonts w:ascii="Cour&quot;ier New;x"/></w:rPr><w:t>code</w:t></w:r></w:p>)"
        R"(<w:p><w:pPr><w:pStyle w:val="LoopA"/></w:pPr><w:r><w:t>loop</w:t></w:r></w:p>)");
    parts.extraRelationships = kStylesRelationship;
    parts.extra.emplace_back("word/styles.xml", stylesPart(
        R"(<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:asciiTheme="minorHAnsi"/><w:sz w:val="22"/></w:rPr></w:rPrDefault>)"
        R"(<w:pPrDefault><w:pPr><w:spacing w:after="160"/></w:pPr></w:pPrDefault></w:docDefaults>)"
        R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:rPr><w:color w:val="222222"/></w:rPr></w:style>)"
        R"(<w:style w:type="paragraph" w:styleId="Base"><w:basedOn w:val="Normal"/><w:pPr><w:ind w:left="567"/></w:pPr><w:rPr><w:i/></w:rPr></w:style>)"
        R"(<w:style w:type="paragraph" w:styleId="Quote"><w:basedOn w:val="Base"/><w:pPr><w:jc w:val="center"/></w:pPr><w:rPr><w:rFonts w:ascii="Georgia"/></w:rPr></w:style>)"
        R"(<w:style w:type="character" w:styleId="Strong"><w:rPr><w:b/><w:i w:val="0"/></w:rPr></w:style>)"
        R"(<w:style w:type="paragraph" w:styleId="LoopA"><w:basedOn w:val="LoopB"/><w:rPr><w:u w:val="single"/></w:rPr></w:style>)"
        R"(<w:style w:type="paragraph" w:styleId="LoopB"><w:basedOn w:val="LoopA"/><w:rPr><w:color w:val="00B050"/></w:rPr></w:style>)"));
    parts.extra.emplace_back("word/theme/theme1.xml",
        R"(<a:theme xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main"><a:themeElements><a:fontScheme>)"
        R"(<a:majorFont><a:latin typeface="Cambria"/></a:majorFont><a:minorFont><a:latin typeface="Calibri"/></a:minorFont>)"
        R"(</a:fontScheme></a:themeElements></a:theme>)");
    const std::string html = pageOf(parts);
    // The paragraph style over its base over Normal over the defaults; the character style turns
    // italic off again and direct formatting sets the size.
    EXPECT_THAT(html, HasSubstr(R"(<p style="margin:0 0 8pt 28.35pt;text-align:center;font-family:'Georgia',serif;font-size:11pt;color:#222222"><i>Styled</i>)"
                                R"(<span style="font-size:14pt"><b>strong</b></span></p>)"));
    // A hanging indent, exact line height; highlight, strike-through, superscript and capitals; a
    // font name that tries to leave its declaration keeps only its harmless characters.
    EXPECT_THAT(html, HasSubstr(R"(<p style="margin:12pt 0 8pt 36pt;text-indent:-18pt;text-align:right;line-height:18pt;font-family:'Calibri',sans-serif;font-size:11pt;color:#222222">)"
                                R"(<span style="background-color:#FFFF00;text-transform:uppercase"><s><sup>1st</sup></s></span>)"
                                R"(<span style="font-family:'Courier Newx',sans-serif;color:#C00000;background-color:#D9D9D9">code</span></p>)"));
    // A basedOn loop ends where a style comes round again: both styles of the loop still apply.
    EXPECT_THAT(html, HasSubstr(R"(color:#00B050"><u>loop</u></p>)"));
}

}  // namespace
}  // namespace lumora::testing
