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

TEST_F(WebPageTest, OnlyLinksAReaderMaySafelyFollowAreLinksAndTheRestIsPlainText) {
    const std::vector<std::pair<std::string, std::string>> targets{
        {"web", "https://www.example.com/?a=1&amp;b=2"}, {"mail", "mailto:anne@northwind.example"}, {"call", "tel:+441134960000"},
        {"script", "javascript:alert(1)"},              {"shout", "JaVaScRiPt:alert(2)"},          {"tabbed", "java&#9;script:alert(3)"},
        {"local", "file:///etc/passwd"},                {"data", "data:text/html,hi"},              {"relative", "page.htm"}};
    DocxParts parts;
    for (const auto& [id, target] : targets) {
        parts.extraRelationships += externalRelationship(id, "hyperlink", target);
        parts.body += "<w:p><w:hyperlink r:id=\"" + id + "\"><w:r><w:t>" + id + " link</w:t></w:r></w:hyperlink></w:p>";
    }
    parts.body += R"(<w:p><w:bookmarkStart w:id="0" w:name="terms"/><w:r><w:t>Terms</w:t></w:r><w:bookmarkEnd w:id="0"/>)"
                  R"(<w:bookmarkStart w:id="1" w:name="_GoBack"/><w:bookmarkEnd w:id="1"/></w:p>)"
                  R"(<w:p><w:hyperlink w:anchor="terms"><w:r><w:t>see the terms</w:t></w:r></w:hyperlink></w:p>)"
                  R"(<w:p><w:hyperlink r:id="unknown"><w:r><w:t>nowhere</w:t></w:r></w:hyperlink></w:p>)";
    const fs::path page = savePage(addDocument(parts));
    const std::string html = fileText(page);
    EXPECT_THAT(html, HasSubstr(R"(<a href="https://www.example.com/?a=1&amp;b=2">web link</a>)"));
    EXPECT_THAT(html, HasSubstr(R"(<span id="terms"></span>Terms</p>)"));
    EXPECT_THAT(html, Not(HasSubstr("_GoBack")));
    const nlohmann::json read = parsed(page);
    EXPECT_TRUE(read["wellFormed"]) << read["problem"];
    EXPECT_EQ(read["links"], (nlohmann::json{"https://www.example.com/?a=1&b=2", "mailto:anne@northwind.example",
                                             "tel:+441134960000", "#terms"}));
    for (const char* text : {"script link", "shout link", "tabbed link", "local link", "data link", "relative link", "nowhere"})
        EXPECT_THAT(read["text"].get<std::string>(), HasSubstr(text));
}

TEST_F(WebPageTest, TablesDrawTheBordersShadingAndMergesTheDocumentDefinesAndNoLinesWithoutThem) {
    const std::string cell = R"(<w:tc><w:p><w:r><w:t>plain</w:t></w:r></w:p></w:tc>)";
    DocxParts parts = withBody(
        // Borders from the table style, one side taken off by the cell, a shaded cell spanning two
        // columns, and a merge down two rows.
        R"(<w:tbl><w:tblPr><w:tblStyle w:val="Grid"/><w:jc w:val="center"/></w:tblPr>)"
        R"(<w:tr><w:tc><w:tcPr><w:gridSpan w:val="2"/><w:shd w:val="clear" w:fill="DEEAF6"/></w:tcPr><w:p/></w:tc>)"
        R"(<w:tc><w:tcPr><w:vMerge w:val="restart"/><w:tcBorders><w:right w:val="nil"/></w:tcBorders><w:vAlign w:val="center"/></w:tcPr><w:p/></w:tc></w:tr>)"
        R"(<w:tr>)" + cell + cell + R"(<w:tc><w:tcPr><w:vMerge/></w:tcPr><w:p/></w:tc></w:tr></w:tbl>)" +
        // The table's own borders over the style's: none at all.
        R"(<w:tbl><w:tblPr><w:tblStyle w:val="Grid"/><w:tblBorders><w:top w:val="nil"/><w:left w:val="none"/>)"
        R"(<w:bottom w:val="nil"/><w:right w:val="nil"/><w:insideH w:val="nil"/><w:insideV w:val="nil"/></w:tblBorders></w:tblPr>)"
        R"(<w:tr>)" + cell + R"(</w:tr></w:tbl>)" +
        // No style and no borders of its own: the default table style, which has none.
        R"(<w:tbl><w:tblPr/><w:tr>)" + cell + R"(</w:tr></w:tbl><w:p/>)");
    parts.extraRelationships = kStylesRelationship;
    parts.extra.emplace_back("word/styles.xml", stylesPart(
        R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:tblPr><w:tblCellMar><w:left w:w="108" w:type="dxa"/>)"
        R"(<w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style>)"
        R"(<w:style w:type="table" w:styleId="Grid"><w:basedOn w:val="TableNormal"/><w:tblPr><w:tblBorders>)"
        R"(<w:top w:val="single" w:sz="4" w:color="auto"/><w:left w:val="single" w:sz="4" w:color="auto"/>)"
        R"(<w:bottom w:val="single" w:sz="12" w:color="1F6F8B"/><w:right w:val="single" w:sz="4" w:color="auto"/>)"
        R"(<w:insideH w:val="dashed" w:sz="4" w:color="808080"/><w:insideV w:val="double" w:sz="4" w:color="auto"/>)"
        R"(</w:tblBorders></w:tblPr></w:style>)"));
    const fs::path page = savePage(addDocument(parts));
    const std::string html = fileText(page);
    EXPECT_THAT(html, HasSubstr(R"(<table style="border-collapse:collapse;margin:0 auto">)"));
    EXPECT_THAT(html, HasSubstr(R"(<td colspan="2" style="border-top:0.5pt solid #000000;border-left:0.5pt solid #000000;)"
                                R"(border-bottom:0.5pt dashed #808080;border-right:2.25pt double #000000;padding:0 5.4pt 0 5.4pt;)"
                                R"(vertical-align:top;background-color:#DEEAF6">)"));
    EXPECT_THAT(html, HasSubstr(R"(<td rowspan="2" style="border-top:0.5pt solid #000000;border-left:2.25pt double #000000;)"
                                R"(border-bottom:1.5pt solid #1F6F8B;padding:0 5.4pt 0 5.4pt;vertical-align:middle">)"));
    const nlohmann::json read = parsed(page);
    EXPECT_TRUE(read["wellFormed"]) << read["problem"];
    ASSERT_EQ(read["cells"].size(), 6u);  // two, two (the merged cell below is not drawn), one, one
    for (size_t c = 4; c < 6; ++c) EXPECT_EQ(read["cells"][c], "padding:0 5.4pt 0 5.4pt;vertical-align:top");
}

TEST_F(WebPageTest, PicturesInsideThePackageAreFilesBesideThePageAndAnyOtherIsItsDescription) {
    const std::string png(host::sampleLogoPng());
    const std::string jpeg = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) + "rest of the picture";
    DocxParts parts = withBody(
        "<w:p>" + picture("logo", "Logo") + picture("logoAgain", "Logo again") + picture("photo", "A &lt;b&gt; &quot;photo&quot;") +
        picture("chart", "Chart of sales") + picture("outside", "Picture from outside", "link") +
        picture("climbing", "Climbing picture") +
        R"(<w:r><w:pict><v:shape style="position:absolute;width:72pt;height:36pt" alt="Stamp"><v:imagedata r:id="logo"/></v:shape></w:pict></w:r>)"
        "</w:p>");
    parts.extraRelationships = imageRelationship("logo", "media/logo.png") + imageRelationship("logoAgain", "/word/media/logo.png") +
                               imageRelationship("photo", "media/photo.jpeg") + imageRelationship("chart", "media/chart.emf") +
                               externalRelationship("outside", "image", "http://127.0.0.1:9/picture.png") +
                               imageRelationship("climbing", "../../../../etc/hostname");
    parts.extra = {{"word/media/logo.png", png}, {"word/media/photo.jpeg", jpeg}, {"word/media/chart.emf", " EMF picture"}};
    const fs::path page = savePage(addDocument(parts), "Schreiben an Jürgen.htm");
    const std::string html = fileText(page);
    const std::string folderUrl = "Schreiben%20an%20J%C3%BCrgen_files/";
    EXPECT_THAT(html, HasSubstr("<img src=\"" + folderUrl + "image001.png\" width=\"100\" height=\"50\" alt=\"Logo\">"
                                "<img src=\"" + folderUrl + "image001.png\" width=\"100\" height=\"50\" alt=\"Logo again\">"
                                "<img src=\"" + folderUrl + "image002.jpg\" width=\"100\" height=\"50\" alt=\"A &lt;b&gt; &quot;photo&quot;\">"
                                "Chart of salesPicture from outsideClimbing picture"
                                "<img src=\"" + folderUrl + "image001.png\" width=\"96\" height=\"48\" alt=\"Stamp\">"));
    const fs::path pictures = folder.path() / "Schreiben an Jürgen_files";
    EXPECT_EQ(namesIn(pictures), (std::vector<std::string>{"image001.png", "image002.jpg"}));
    EXPECT_EQ(fileText(pictures / "image001.png"), png);
    EXPECT_EQ(fileText(pictures / "image002.jpg"), jpeg);
    EXPECT_TRUE(parsed(page)["wellFormed"]);
}

TEST_F(WebPageTest, ASaveThatCannotCompleteLeavesThePageAndItsFolderAsTheyWere) {
    DocxParts parts = withBody("<w:p>" + picture("logo", "Logo") + "</w:p>");
    parts.extraRelationships = imageRelationship("logo", "media/logo.png");
    parts.extra = {{"word/media/logo.png", std::string(host::sampleLogoPng())}};
    const Object document = addDocument(parts);
    const auto saveFails = [&](const std::string& name) {
        try {
            savePage(document, name);
        } catch (const Error& e) {
            return e.number() == 75;
        }
        return false;
    };

    // The folder's name taken by a file of the user's.
    std::ofstream(folder.path() / "Notes_files") << "mine";
    EXPECT_TRUE(saveFails("Notes.htm"));
    EXPECT_FALSE(fs::exists(folder.path() / "Notes.htm"));
    EXPECT_EQ(fileText(folder.path() / "Notes_files"), "mine");

    // The page cannot replace what holds its name, after its folder was ready: the earlier
    // folder comes back as it was.
    fs::create_directories(folder.path() / "Letter.htm" / "inside");
    fs::create_directories(folder.path() / "Letter_files");
    std::ofstream(folder.path() / "Letter_files" / "earlier.png") << "earlier";
    EXPECT_TRUE(saveFails("Letter.htm"));
    EXPECT_EQ(namesIn(folder.path() / "Letter_files"), std::vector<std::string>{"earlier.png"});
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"Letter.htm", "Letter_files", "Notes_files", "letter.dotx"}));
}

TEST_F(WebPageTest, BrokenOrEndlessStylesLeaveTheTextItsDirectFormatting) {
    const std::string body = R"(<w:p><w:pPr><w:pStyle w:val="S0"/></w:pPr><w:r><w:rPr><w:color w:val="FF0000"/></w:rPr><w:t>Red</w:t></w:r></w:p>)";
    // A chain longer than any document needs: styles past the limit are not followed.
    std::string chain;
    for (int n = 0; n < 100; ++n)
        chain += "<w:style w:type=\"paragraph\" w:styleId=\"S" + std::to_string(n) + "\"><w:basedOn w:val=\"S" +
                 std::to_string(n + 1) + "\"/>" + (n == 99 ? "<w:pPr><w:jc w:val=\"center\"/></w:pPr>" : "") +
                 (n == 0 ? "<w:rPr><w:sz w:val=\"30\"/></w:rPr>" : "") + "</w:style>";
    for (const std::string& styles : std::vector<std::string>{stylesPart(chain), "<w:styles><unclosed>",
                                      R"(<?xml version="1.0"?><!DOCTYPE w:styles [<!ENTITY e SYSTEM "file:///etc/hostname">]>)"
                                      R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">&e;</w:styles>)"}) {
        DocxParts parts = withBody(body);
        parts.extraRelationships = kStylesRelationship;
        parts.extra.emplace_back("word/styles.xml", styles);
        const fs::path page = savePage(addDocument(parts));
        const std::string html = fileText(page);
        EXPECT_THAT(html, HasSubstr("<span style=\"color:#FF0000\">Red</span></p>")) << styles.substr(0, 60);
        EXPECT_THAT(html, Not(HasSubstr("text-align:center")));
        EXPECT_TRUE(parsed(page)["wellFormed"]);
    }
}

TEST_F(WebPageTest, HiddenTextEmptyLinesNestedLinksAndTheNameOfThePageStayReadableMarkup) {
    DocxParts parts = withBody(
        R"(<w:p><w:r><w:t>Shown</w:t></w:r><w:r><w:rPr><w:vanish/></w:rPr><w:t>hidden</w:t></w:r></w:p>)"
        R"(<w:p><w:pPr><w:rPr><w:sz w:val="48"/></w:rPr></w:pPr></w:p>)"
        R"(<w:p><w:hyperlink r:id="web"><w:r><w:t>outer </w:t></w:r><w:hyperlink r:id="web"><w:r><w:t>inner</w:t></w:r>)"
        R"(</w:hyperlink></w:hyperlink></w:p>)");
    parts.extraRelationships = externalRelationship("web", "hyperlink", "https://example.com/");
    const fs::path page = savePage(addDocument(parts), "Smith & <Co>.htm");
    const std::string html = fileText(page);
    EXPECT_THAT(html, HasSubstr("<title>Smith &amp; &lt;Co&gt;</title>"));
    EXPECT_THAT(html, Not(HasSubstr("hidden")));
    // An empty paragraph is as high as its mark's text says.
    EXPECT_THAT(html, HasSubstr("<p style=\"margin:0;font-size:24pt\">&nbsp;</p>"));
    // A link inside a link would end the outer one in a browser: the inner one is its text.
    EXPECT_THAT(html, HasSubstr("<a href=\"https://example.com/\">outer inner</a>"));
    EXPECT_TRUE(parsed(page)["wellFormed"]);
}

}  // namespace
}  // namespace lumora::testing
