// Mail merge on real files: merge fields put into a template over its tags, data sources made,
// filled and attached (a data-source document and comma-separated data files), the merged
// letters made and read back by LibreOffice and pdftotext.

#include "Platform/Word/office_converter.hpp"
#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class MailMergeTest : public WordTest {
protected:
    // A letter whose tags become merge fields the way the campaign control makes them.
    Object letter(const std::string& body = {}) {
        DocxParts parts = withBody(
            body.empty() ? paragraph({{"Dear ", ""}, {"<NAME>", "<w:b/>"}, {",", ""}}) + paragraph("<STREET>") +
                               paragraph({{"<CITY>", ""}, {" ", ""}}) + paragraph("Kind regards")
                         : body);
        parts.headers = {{"default", paragraph("Acme Letters")}};
        Object document = addDocument(parts);
        for (const char* tag : {"NAME", "STREET", "CITY"}) {
            Object range = document.getObject("Content");
            const Object find = range.getObject("Find");
            find.put("Text", std::string("<") + tag + ">");
            find.put("Wrap", 0);
            while (find.call("Execute").toBool())
                range.getObject("Fields").call("Add", range, 59, tag[0] + std::string(tag + 1));
        }
        return document;
    }
    std::filesystem::path csvFile(const std::string& text, const std::string& name = "data.csv") {
        const auto file = folder.path() / name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    int32_t failure(const std::function<void()>& call) {
        try {
            call();
        } catch (const Error& e) {
            return e.number();
        }
        return 0;
    }
    Object merged() { return app.getObject("ActiveDocument"); }
    void requireOffice() {
        if (!word::officeInstalled()) GTEST_SKIP() << "LibreOffice is not installed";
    }
};

TEST_F(MailMergeTest, TagsBecomeMergeFieldsThatShowTheirNamesInTheTemplateAndInLibreOffice) {
    Object document = letter();
    EXPECT_EQ(document.getObject("Content").get("Text").toString(),
              "Dear \u00ABNAME\u00BB,\r\u00ABSTREET\u00BB\r\u00ABCITY\u00BB \rKind regards\r");
    // The second way in: MailMerge.Fields.Add over a range.
    Object end = document.call("Range", 5, 5).toObject();
    document.getObject("MailMerge").getObject("Fields").call("Add", end, "Title");
    EXPECT_EQ(document.getObject("MailMerge").getObject("Fields").get("Count").toI4(), 4);

    const std::string xml = savedPart(document);
    EXPECT_THAT(xml, HasSubstr("w:instr=\" MERGEFIELD NAME \""));
    EXPECT_THAT(xml, HasSubstr("w:instr=\" MERGEFIELD Title \""));
    // The tag's bold stays on the field's result.
    EXPECT_THAT(xml, HasSubstr("MERGEFIELD NAME \"><w:r><w:rPr><w:b/></w:rPr>"));

    requireOffice();
    const auto pdf = folder.path() / "template.pdf";
    document.call("ExportAsFixedFormat", pdf.string(), 17);
    const std::string text = pdfText(pdf);
    EXPECT_THAT(text, HasSubstr("NAME"));
    EXPECT_THAT(text, HasSubstr("CITY"));
}

TEST_F(MailMergeTest, CreatedDataSourceIsFilledRowByRowSavedAndReadBack) {
    Object document = letter();
    const auto source = folder.path() / "CRMMergeData.doc";
    document.getObject("MailMerge").call("CreateDataSource", Named{"Name", source.string()},
                                         Named{"HeaderRecord", "NAME,STREET,CITY"});
    // Filled as the campaign control fills it: a row added after each recipient, the last one dropped.
    Object data = app.getObject("Documents").call("Open", source.string()).toObject();
    Object table = data.call("Tables", 1).toObject();
    const std::vector<std::vector<std::string>> rows = {{"Zoë Ng", "1 Main St", "Leeds"}, {"Łukasz", "", "Kraków"}};
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < 3; ++c)
            if (!rows[r][c].empty())
                table.call("Cell", static_cast<int32_t>(r + 2), static_cast<int32_t>(c + 1))
                    .toObject()
                    .getObject("Range")
                    .call("InsertAfter", rows[r][c]);
        table.getObject("Rows").call("Add");
    }
    table.getObject("Rows").getObject("Last").call("Delete");
    data.call("save");
    data.call("Close", false);
    EXPECT_EQ(app.getObject("Documents").get("Count").toI4(), 1);

    Object fields = document.getObject("MailMerge").getObject("DataSource").getObject("DataFields");
    ASSERT_EQ(fields.get("Count").toI4(), 3);
    EXPECT_EQ(fields.call("Item", 1).toObject().get("Name").toString(), "NAME");
    EXPECT_EQ(fields.call("Item", "city").toObject().get("Value").toString(), "Leeds");

    document.getObject("MailMerge").call("Execute", Named{"Pause", false});
    ASSERT_EQ(app.getObject("Documents").get("Count").toI4(), 2);
    // The merged letters are the newest document, item 1.
    EXPECT_EQ(app.getObject("Documents").call("Item", 1).toObject().get("Name").toString(),
              merged().get("Name").toString());
    const std::string text = merged().getObject("Content").get("Text").toString();
    EXPECT_THAT(text, HasSubstr("Dear Zoë Ng,\r1 Main St\rLeeds \r"));
    // Łukasz has no street: the line goes.
    EXPECT_THAT(text, HasSubstr("Dear Łukasz,\rKraków \r"));
}

TEST_F(MailMergeTest, CommaSeparatedDataFileWithQuotesLineBreaksAndUtf8) {
    Object document = letter();
    const auto data = csvFile(
        "\xEF\xBB\xBFNAME,STREET,CITY\r\n"
        "\"Zoë \"\"Z\"\" Ng\",\"Flat 2, 1 Main St\",Leeds\r\n"
        "\"李\",\"Line one\r\nLine two\",\"Beijing\"\n"
        "Łukasz,,\"Kraków\"");
    Object mailMerge = document.getObject("MailMerge");
    mailMerge.call("OpenDataSource", Named{"Name", data.string()});
    EXPECT_EQ(mailMerge.getObject("DataSource").get("RecordCount").toI4(), 3);
    EXPECT_EQ(mailMerge.getObject("DataSource").getObject("DataFields").call("Item", 1).toObject().get("Value").toString(),
              "Zoë \"Z\" Ng");

    mailMerge.put("SuppressBlankLines", true);
    mailMerge.call("Execute");
    const Object letters = merged();
    const std::string xml = savedPart(letters);
    // One section per record: two breaks in paragraphs, the last the body's own.
    size_t breaks = 0;
    for (size_t at = xml.find("<w:type w:val=\"nextPage\"/>"); at != std::string::npos;
         at = xml.find("<w:type w:val=\"nextPage\"/>", at + 1))
        ++breaks;
    EXPECT_EQ(breaks, 3u);
    EXPECT_THAT(xml, HasSubstr("<w:headerReference"));
    EXPECT_THAT(xml, Not(HasSubstr("MERGEFIELD")));
    EXPECT_THAT(xml, HasSubstr("Line one</w:t><w:br/><w:t xml:space=\"preserve\">Line two"));
    EXPECT_THAT(xml, HasSubstr("<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Zoë \"Z\" Ng</w:t>"));
    EXPECT_EQ(visibleText(xml),
              "Dear Zoë \"Z\" Ng,|Flat 2, 1 Main St|Leeds |Kind regards|"
              "Dear 李,|Line oneLine two|Beijing |Kind regards|"
              "Dear Łukasz,|Kraków |Kind regards|");

    requireOffice();
    const auto pdf = folder.path() / "letters.pdf";
    letters.call("ExportAsFixedFormat", pdf.string(), 17);
    const std::string text = pdfText(pdf);
    for (const char* name : {"Zoë \"Z\" Ng", "李", "Łukasz", "Acme Letters"}) EXPECT_THAT(text, HasSubstr(name));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 3);  // a page per letter
}

TEST_F(MailMergeTest, BlankLinesAreKeptWhenNotSuppressed) {
    Object document = letter();
    document.getObject("MailMerge").call("OpenDataSource", csvFile("NAME,STREET,CITY\nAnna,,\nBen,2 High St,York\n").string());
    document.getObject("MailMerge").put("SuppressBlankLines", false);
    document.getObject("MailMerge").call("Execute");
    EXPECT_EQ(merged().getObject("Content").get("Text").toString(),
              "Dear Anna,\r\r \rKind regards\rDear Ben,\r2 High St\rYork \rKind regards\r");
}

TEST_F(MailMergeTest, BadInputGivesTheWordErrorAndChangesNothing) {
    Object document = letter();
    Object mailMerge = document.getObject("MailMerge");
    EXPECT_EQ(failure([&] { mailMerge.call("Execute"); }), kObjectErrorBase + 0x1610);  // no data source yet
    EXPECT_EQ(failure([&] { mailMerge.call("OpenDataSource", (folder.path() / "none.csv").string()); }), 53);
    EXPECT_EQ(failure([&] { mailMerge.call("OpenDataSource", csvFile(std::string("PK\x03\x04zz", 6), "x.csv").string()); }),
              kObjectErrorBase + 0x1601);
    EXPECT_EQ(failure([&] { mailMerge.call("OpenDataSource", csvFile(std::string("a\0b", 3), "bin.dat").string()); }),
              kObjectErrorBase + 0x160F);
    // A document without a table is no data source.
    const auto plain = templateFile(withBody(paragraph("no table")), "plain.docx");
    EXPECT_EQ(failure([&] { mailMerge.call("OpenDataSource", plain.string()); }), kObjectErrorBase + 0x160F);
    EXPECT_EQ(failure([&] {
                  mailMerge.call("CreateDataSource", Named{"Name", (folder.path() / "missing" / "d.doc").string()},
                                 Named{"HeaderRecord", "A"});
              }),
              76);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));

    // A merge field the data does not name: nothing is made.
    mailMerge.call("OpenDataSource", csvFile("NAME,CITY\nAnna,Leeds\n").string());
    EXPECT_EQ(failure([&] { mailMerge.call("Execute"); }), kObjectErrorBase + 0x1611);
    EXPECT_EQ(app.getObject("Documents").get("Count").toI4(), 1);
}

TEST_F(MailMergeTest, ComplexFieldsInATemplateAreMergedInTheirResultFormatting) {
    const std::string field =
        "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> MERGEFIELD \"First Name\" \\* MERGEFORMAT "
        "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:rPr><w:i/></w:rPr><w:t>«First "
        "Name»</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t>!</w:t></w:r></w:p>";
    Object document = addDocument(field);
    document.getObject("MailMerge").call("OpenDataSource", csvFile("First Name\nAnna\n").string());
    document.getObject("MailMerge").call("Execute");
    const std::string xml = savedPart(merged());
    EXPECT_THAT(xml, HasSubstr("<w:r><w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">Anna</w:t></w:r><w:r><w:t>!</w:t>"));
    EXPECT_THAT(xml, Not(HasSubstr("fldChar")));
}

}  // namespace
}  // namespace lumora::testing
