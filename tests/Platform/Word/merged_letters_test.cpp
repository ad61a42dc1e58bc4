// The merged letters as a document: headers and footers that hold merge fields made per letter
// (read back by LibreOffice and pdftotext, page by page), shared ones left shared, and the
// letters shown and saved as made while they stay a document scripts can search and edit.

#include <set>

#include "Platform/Word/office_converter.hpp"
#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string mergeField(const std::string& name) {
    return "<w:fldSimple w:instr=\" MERGEFIELD " + name + " \"><w:r><w:rPr><w:b/></w:rPr><w:t>\u00AB" + name +
           "\u00BB</w:t></w:r></w:fldSimple>";
}

std::string fieldParagraph(const std::string& before, const std::string& name) {
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + before + "</w:t></w:r>" + mergeField(name) + "</w:p>";
}

class MergedLettersTest : public WordTest {
protected:
    // A letter with the recipient in its header, a shared footer, and a body of two fields.
    Object letter(const std::string& header = fieldParagraph("Letter for ", "NAME")) {
        DocxParts parts = withBody(fieldParagraph("Dear ", "NAME") + fieldParagraph("", "CITY") + paragraph("Regards"));
        parts.headers = {{"default", header}};
        parts.footers = {{"default", paragraph("Acme Letters Ltd")}};
        return addDocument(parts);
    }
    void mergeWith(Object& document, const std::string& csv) {
        const auto file = folder.path() / "data.csv";
        std::ofstream(file, std::ios::binary) << csv;
        document.getObject("MailMerge").call("OpenDataSource", file.string());
        document.getObject("MailMerge").call("Execute");
    }
    Object merged() { return app.getObject("ActiveDocument"); }
    static std::vector<std::string> idsOf(const std::string& xml, const std::string& reference) {
        std::vector<std::string> ids;
        for (size_t at = xml.find("<w:" + reference); at != std::string::npos; at = xml.find("<w:" + reference, at + 1)) {
            const size_t id = xml.find("r:id=\"", at) + 6;
            ids.push_back(xml.substr(id, xml.find('"', id) - id));
        }
        return ids;
    }
};

TEST_F(MergedLettersTest, EachLetterHasItsOwnHeaderWhileTheFooterStaysShared) {
    Object document = letter();
    mergeWith(document, "NAME,CITY\nZoë Ng,Leeds\nŁukasz,Kraków\nAnn <&> Co,York\n");
    const auto file = folder.path() / "letters.docx";
    merged().call("SaveAs", file.string());

    const std::string xml = readEntry(file, "word/document.xml");
    const std::vector<std::string> headers = idsOf(xml, "headerReference");
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(std::set<std::string>(headers.begin(), headers.end()).size(), 3u);
    const std::vector<std::string> footers = idsOf(xml, "footerReference");
    ASSERT_EQ(footers.size(), 3u);
    EXPECT_EQ(std::set<std::string>(footers.begin(), footers.end()).size(), 1u);
    // Each header part is declared, related and filled in the field's formatting.
    const std::string types = readEntry(file, "[Content_Types].xml");
    const std::string rels = readEntry(file, "word/_rels/document.xml.rels");
    const std::vector<std::string> names = {"Zoë Ng", "Łukasz", "Ann &lt;&amp;&gt; Co"};
    for (size_t record = 0; record < names.size(); ++record) {
        const std::string part = "header1-r" + std::to_string(record + 1) + ".xml";
        EXPECT_THAT(types, HasSubstr("/word/" + part));
        EXPECT_THAT(rels, HasSubstr("Id=\"" + headers[record] + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"" + part));
        const std::string header = readEntry(file, "word/" + part);
        EXPECT_THAT(header, HasSubstr("<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">" + names[record] + "</w:t>"));
        EXPECT_THAT(header, Not(HasSubstr("MERGEFIELD")));
    }

    if (!word::officeInstalled()) GTEST_SKIP() << "LibreOffice is not installed";
    const auto pdf = folder.path() / "letters.pdf";
    merged().call("ExportAsFixedFormat", pdf.string(), 17);
    const std::string text = pdfText(pdf);
    std::vector<std::string> pages;
    for (size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos; start = end + 1)
        pages.push_back(text.substr(start, end - start));
    ASSERT_EQ(pages.size(), 3u);
    const std::vector<std::string> shown = {"Zoë Ng", "Łukasz", "Ann <&> Co"};
    for (size_t page = 0; page < pages.size(); ++page) {
        EXPECT_THAT(pages[page], HasSubstr("Letter for " + shown[page]));
        EXPECT_THAT(pages[page], HasSubstr("Acme Letters Ltd"));
        for (size_t other = 0; other < shown.size(); ++other) {
            if (other != page) EXPECT_THAT(pages[page], Not(HasSubstr("for " + shown[other])));
        }
    }
}

TEST_F(MergedLettersTest, HeaderFieldsAreSuppressedLikeTheBodysAndAnUnknownOneMakesNothing) {
    // A header line whose only field is empty goes; the header keeps a paragraph of its own.
    Object document = letter(fieldParagraph("", "TITLE"));
    mergeWith(document, "NAME,CITY,TITLE\nAnna,Leeds,\nBen,York,Dr\n");
    const auto file = folder.path() / "letters.docx";
    merged().call("SaveAs", file.string());
    EXPECT_EQ(visibleText(readEntry(file, "word/header1-r1.xml")), "|");
    EXPECT_EQ(visibleText(readEntry(file, "word/header1-r2.xml")), "Dr|");

    Object unknown = letter(fieldParagraph("For ", "NICKNAME"));
    const int32_t before = app.getObject("Documents").get("Count").toI4();
    try {
        mergeWith(unknown, "NAME,CITY\nAnna,Leeds\n");
        ADD_FAILURE() << "merged with a field the data does not name";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kObjectErrorBase + 0x1611);
    }
    EXPECT_EQ(app.getObject("Documents").get("Count").toI4(), before);
}

TEST_F(MergedLettersTest, LettersAreShownAsMadeAndStayADocumentForScripts) {
    Object document = letter();
    mergeWith(document, "NAME,CITY\nAnna,Leeds\nBen,York\n");
    document.call("Close", false);
    app.put("Visible", true);
    ASSERT_EQ(headless.transcript().shown.size(), 1u);
    const auto shownFile = headless.transcript().shown[0].file;
    EXPECT_EQ(visibleText(readEntry(shownFile, "word/document.xml")),
              "Dear Anna|Leeds|Regards|Dear Ben|York|Regards|");
    EXPECT_TRUE(merged().get("Saved").toBool() == false);

    // Touched by script, the letters read in: the selection, Find and Replace, and a save after.
    Object selection = app.getObject("Selection");
    EXPECT_EQ(selection.get("Start").toI4(), 0);
    Object content = merged().getObject("Content");
    EXPECT_EQ(content.get("Text").toString(), "Dear Anna\rLeeds\rRegards\rDear Ben\rYork\rRegards\r");
    Object find = content.getObject("Find");
    find.put("Text", "Regards");
    find.getObject("Replacement").put("Text", "Yours");
    find.call("Execute", Named{"Replace", 2});
    EXPECT_EQ(savedText(merged()), "Dear Anna|Leeds|Yours|Dear Ben|York|Yours|");
    EXPECT_EQ(savedText(merged(), "word/header1-r2.xml"), "Letter for Ben|");

    // Closed unread, the letters are gone; a script still holding them is told so.
    mergeWith(document = letter(), "NAME,CITY\nCy,Bath\n");
    Object unread = merged();
    unread.call("Close", false);
    try {
        unread.getObject("Content");
        ADD_FAILURE() << "a closed document answered";
    } catch (const Error& e) {
        EXPECT_NE(e.number(), 0);
    }
}

}  // namespace
}  // namespace lumora::testing
