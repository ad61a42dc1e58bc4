// The direct letter merge's building blocks through the control's public members and
// RunCampaign: the header record and column list, the data-source table filled by the word
// processor stand-in on a real .docx, and the stage texts for bad documents and templates.

#include <gtest/gtest.h>

#include "letter_campaign_fixture.hpp"
#include "tests/Control/support/docx_reader.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;

std::string cell(const std::string& text) { return testing::paragraph(text); }

class MergeDocumentTest : public testing::LetterCampaignTest {
protected:
    void SetUp() override {
        LetterCampaignTest::SetUp();
        install("Scripting.FileSystemObject");
        writeTemplate("<w:p><w:r><w:t>Dear &lt;FirstName&gt;</w:t></w:r></w:p>");
    }
    Object document(const std::string& markup) { return recipientDocument(markup); }
    std::string direct(const std::string& markup, const std::string& templateFile) {
        return runLetterCampaign(markup, templateFile, "");
    }
    // BuildFieldList's header record and the column list it hands back.
    std::pair<std::string, std::vector<std::string>> fieldList(const std::string& markup) {
        Object doc = document(markup);
        Variant columns;
        const std::string header =
            mail.call("BuildFieldList", doc, doc.getObject("selectSingleNode", "MAIL_CAMPAIGN/fieldlist"), ByRef{columns})
                .toString();
        std::vector<std::string> names;
        for (const Variant& name : columns.array().items) names.push_back(name.toString());
        return {header, names};
    }
};

TEST_F(MergeDocumentTest, FieldListNamesModelRecordColumnsAndEndsWithAnEmptyEntry) {
    auto [header, columns] = fieldList(
        "<MAIL_CAMPAIGN><r><FirstName>Ann</FirstName><City>Rome</City><Phone>1</Phone></r>"
        "<fieldlist><f fieldname=\"firstname\" mergeheader=\"Old\"/><f fieldname=\"FIRSTNAME\" mergeheader=\"First\"/>"
        "<f fieldname=\"City\" mergeheader=\"Town\"/></fieldlist></MAIL_CAMPAIGN>");
    // Letter case does not matter and the later entry wins; a field without entry adds ",".
    EXPECT_EQ(header, "First,Town,");
    EXPECT_EQ(columns, (std::vector<std::string>{"FirstName", "City", "Phone", ""}));
}

TEST_F(MergeDocumentTest, FieldListEntryWithoutMergeHeaderFailsAsInvalidUseOfNull) {
    const std::string markup =
        "<MAIL_CAMPAIGN><r><FirstName>Ann</FirstName></r><fieldlist><f fieldname=\"FirstName\"/></fieldlist></MAIL_CAMPAIGN>";
    EXPECT_THROW(fieldList(markup), Error);
    EXPECT_EQ(direct(markup, templatePath), "Error reading supplied XML: Invalid use of Null");
}

TEST_F(MergeDocumentTest, TemplateAndFieldListChecksReturnTheirStageTexts) {
    const std::string records = "<MAIL_CAMPAIGN><r><FirstName>Ann</FirstName></r></MAIL_CAMPAIGN>";
    EXPECT_EQ(direct(records, (dataFolder() / "missing.docx").string()),
              "Error in MailCrtl:Runcampaign: Template Doc does not exist/Cannot be accessed");
    EXPECT_EQ(direct(records, templatePath), "Error reading supplied XML: Could not locate fieldlist");
    // Remote templates are the word processor's to fetch: the check is skipped.
    EXPECT_EQ(direct(records, "HTTP://crm.example.com/letter.docx"), "Error reading supplied XML: Could not locate fieldlist");
    EXPECT_EQ(direct(records, "Ftp://crm.example.com/letter.docx"), "Error reading supplied XML: Could not locate fieldlist");
}

TEST_F(MergeDocumentTest, MergeDocTableHoldsHeaderRowAndOneRowPerRecipient) {
    const std::string markup =
        "<MAIL_CAMPAIGN><r><FirstName>Ann</FirstName><City>Köln</City></r>"
        "<fieldlist><f fieldname=\"FirstName\" mergeheader=\"First\"/><f fieldname=\"City\" mergeheader=\"Town\"/></fieldlist>"
        "<r><City>Rome</City><Extra>x</Extra></r></MAIL_CAMPAIGN>";
    // A campaign sets the data-source path; the page then builds the document itself.
    install("Word.Application");
    direct(markup, templatePath);
    const fs::path dataSource = dataFolder() / "temp" / "CRMMergeData.doc";
    testing::writeDocx(dataSource, testing::withBody(testing::table({{cell("First"), cell("Town"), cell("")}, {cell(""), cell(""), cell("")}})));

    Object doc = document(markup);
    Variant columns(Array{0, {Variant("FirstName"), Variant("City"), Variant("")}});
    mail.call("BuildMergeDoc", doc, columns, create("Word.Application"));

    const auto tables = testing::tablesOf(testing::readEntry(dataSource, "word/document.xml"));
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0], (testing::TableRows{{"First", "Town", ""}, {"Ann", "Köln", ""}, {"", "Rome", ""}}));
}

TEST_F(MergeDocumentTest, DirectMergeLeavesLettersHoldingEachRecipientsValuesOpen) {
    install("Word.Application");
    writeTemplate("<w:p><w:r><w:t>Dear &lt;firstname&gt; of &lt;Firm&gt;,</w:t></w:r></w:p>"
                  "<w:p><w:r><w:t>we write to &lt;FirstName&gt; again.</w:t></w:r></w:p>");
    const std::string markup =
        "<MAIL_CAMPAIGN><r><FirstName>Ann</FirstName><Company>Smith, Jones &amp; \"Co\"</Company></r>"
        "<fieldlist><f fieldname=\"FirstName\" mergeheader=\"First\"/>"
        "<f fieldname=\"Company\" mergeheader=\"Company\" templatetag=\"Firm\"/></fieldlist>"
        "<r><FirstName>Zoë</FirstName><Company>Ωmega</Company></r></MAIL_CAMPAIGN>";
    EXPECT_EQ(direct(markup, templatePath), "Success");
    ASSERT_FALSE(desktop().transcript().shown.empty());
    const std::string text = testing::documentTextThroughLibreOffice(desktop().transcript().shown.back().file, dataFolder());
    for (const std::string line : {"Dear Ann of Smith, Jones & \"Co\",", "we write to Ann again.", "Dear Zoë of Ωmega,",
                                   "we write to Zoë again."})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find("<"), std::string::npos) << text;
}

}  // namespace
}  // namespace lumora
